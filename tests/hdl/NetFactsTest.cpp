// The net answers that the generators ask, against plain walks of the lines: the index of every
// wire end on designs large enough to grow it past its first size, and the loads of the top's
// outputs found in two walks without that index.
#include "editor/hdl/NetFacts.h"

#include "model/ModelText.h"

#include <gtest/gtest.h>

#include <random>
#include <span>
#include <string>
#include <vector>

namespace {

// A top with ports of every kind and instances whose ports share a few names, wired by WIRE
// lines between random ports: heads of every kind, ports on several nets, a line from a port to
// itself, lines to ports that do not exist and suggestions.
void LoadWiredDesign(ProjectModel& m, unsigned seed, int instances, int wires) {
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    static const char* const names[] = {"clk", "d", "q", "en", "data", "irq"};
    static const char* const keywords[] = {"INPUT", "OUTPUT", "BIDIR", "KVAR", "OUTPUT_B"};
    ProjectLines& lines = m.LineList;
    lines = {MakeLine({"TOP", "", "top"})};
    std::vector<std::pair<std::string, std::string>> ends;
    for (int k = 0; k < 6; ++k) {
        const std::string name = "t" + std::to_string(k);
        lines.push_back(MakeLine({k < 3 ? "OUTPUT" : keywords[pick(4)], "", "", name}));
        ends.emplace_back("top", name);
    }
    for (int i = 0; i < instances; ++i) {
        const std::string inst = "u" + std::to_string(i);
        lines.push_back(MakeLine({"MODULE", "m", inst, "/src/m.v", "verilog"}));
        for (int k = 0; k < 1 + pick(5); ++k) {
            lines.push_back(MakeLine({keywords[pick(5)], "", "", names[(k + i) % 6]}));
            ends.emplace_back(inst, names[(k + i) % 6]);
        }
    }
    ends.emplace_back("u0", "nowhere");
    for (int w = 0; w < wires; ++w) {
        const auto& a = ends[static_cast<std::size_t>(pick(static_cast<int>(ends.size())))];
        const auto& b =
            pick(20) == 0 ? a : ends[static_cast<std::size_t>(pick(static_cast<int>(ends.size())))];
        ProjectLine line = MakeLine({"WIRE", a.first, a.second, b.first, b.second, "n"});
        if (pick(10) == 0)
            line[FieldSuggestion] = "S";
        lines.push_back(line);
    }
    m.PrjOpen = true;
    m.UpdatePicExecute(RebuildSender::MainWindow);
    m.ClearLog();
}

// The marked wire lines with the port at end A, or at either end, in line order.
std::vector<int> Walk(const ProjectModel& m, const std::string& inst, const std::string& name,
                      bool headOnly) {
    std::vector<int> found;
    for (std::size_t i = 0; i < m.LineList.size(); ++i) {
        const ProjectLine& l = m.LineList[i];
        if (l[FieldKind] == "W" &&
            ((l[1] == inst && l[2] == name) || (!headOnly && l[3] == inst && l[4] == name)))
            found.push_back(static_cast<int>(i));
    }
    return found;
}

} // namespace

TEST(NetIndexOfADesign, AnswersAsAWalkOfTheLines) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        ProjectModel m;
        LoadWiredDesign(m, seed, 10 * static_cast<int>(seed), 40 * static_cast<int>(seed));
        // Without the rebuild's wires to size it by, the index grows as it goes.
        if (seed % 2)
            m.WireList.clear();
        const NetIndex nets(m);
        std::vector<std::pair<std::string, std::string>> asked = {{"u0", "nowhere"},
                                                                  {"top", "none"}};
        for (const port& p : m.PortList)
            asked.emplace_back(p.OwnerName, p.Name);
        int wired = 0;
        for (const auto& [inst, name] : asked) {
            const std::vector<int> all = Walk(m, inst, name, false);
            const std::span<const int> lines = nets.LinesOf(inst, name);
            const std::span<const int> headed = nets.LinesHeadedBy(inst, name);
            EXPECT_EQ(std::vector<int>(lines.begin(), lines.end()), all)
                << seed << " " << inst << "." << name;
            EXPECT_EQ(std::vector<int>(headed.begin(), headed.end()), Walk(m, inst, name, true))
                << seed << " " << inst << "." << name;
            EXPECT_EQ(nets.FirstLineOf(inst, name), all.empty() ? -1 : all.front());
            wired += !all.empty();
        }
        EXPECT_GT(wired, 10) << seed;
    }
}

TEST(TopOutputLoads, AnswerAsHasLoad) {
    int loaded = 0;
    int open = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        ProjectModel m;
        LoadWiredDesign(m, seed, 3 + static_cast<int>(seed % 6), 5 + static_cast<int>(seed));
        const mdu* top = m.TopRecord();
        ASSERT_NE(top, nullptr);
        const TopOutputLoads loads(m, *top);
        for (const port& p : m.PortList) {
            const bool expected = IsTopPort(m, p) && p.Kind == 'O' && HasLoad(m, p);
            EXPECT_EQ(loads.HasLoad(p), expected) << seed << " " << p.OwnerName << "." << p.Name;
            if (IsTopPort(m, p) && p.Kind == 'O')
                ++(expected ? loaded : open);
        }
    }
    // Both answers were met often enough to mean something.
    EXPECT_GT(loaded, 10);
    EXPECT_GT(open, 10);
}

TEST(TopOutputLoads, TheNetsOfATop) {
    ProjectModel m;
    LoadProject(m, "TOP\t\ttop\n"
                   "OUTPUT\t\t\tread\n"   // driven by u1, read by u2
                   "OUTPUT\t\t\theads\n"  // heads a net to an input
                   "OUTPUT\t\t\tdriven\n" // driven by u1 alone
                   "OUTPUT\t\t\ttotop\n"  // its net reaches only the top
                   "OUTPUT\t\t\tlone\n"   // no wire
                   "INPUT\t\t\tin\n"      // an input of the top is no output
                   "MODULE\tm\tu1\t/m.v\tverilog\n"
                   "OUTPUT\t\t\tq\n"
                   "OUTPUT\t\t\tr\n"
                   "MODULE\tm\tu2\t/m.v\tverilog\n"
                   "INPUT\t\t\td\n"
                   "INPUT\t\t\te\n"
                   "WIRE\tu1\tq\ttop\tread\tn1\n"
                   "WIRE\tu1\tq\tu2\td\tn1\n"
                   "WIRE\ttop\theads\tu2\te\tn2\n"
                   "WIRE\tu1\tr\ttop\tdriven\tn3\n"
                   "WIRE\ttop\ttotop\ttop\tin\tn4\n");
    const TopOutputLoads loads(m, *m.TopRecord());
    const std::pair<const char*, bool> cases[] = {{"read", true},    {"heads", true},
                                                  {"driven", false}, {"totop", false},
                                                  {"lone", false},   {"in", false}};
    for (const auto& [name, expected] : cases) {
        const int k = m.FindPortQuiet("top", name);
        ASSERT_GE(k, 0) << name;
        EXPECT_EQ(loads.HasLoad(m.PortList[static_cast<std::size_t>(k)]), expected) << name;
    }
    const int q = m.FindPortQuiet("u1", "q");
    EXPECT_FALSE(loads.HasLoad(m.PortList[static_cast<std::size_t>(q)])) << "not a top port";
}
