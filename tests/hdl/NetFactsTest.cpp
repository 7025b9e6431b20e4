// The net answers that the generators ask, against plain walks of the lines: the index of every
// wire end on designs large enough to grow it past its first size, and the loads of the top's
// outputs found in two walks without that index.
#include "editor/hdl/NetFacts.h"

#include "model/ModelText.h"

#include <gtest/gtest.h>

#include <optional>
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

namespace {

// The wired design with the damage a hand-edited file can bring: a port named twice in one
// instance, a disabled line and an empty one inside a block, a line whose keyword only begins
// with W, and a top module named like an instance.
void LoadDamagedDesign(ProjectModel& m, unsigned seed) {
    LoadWiredDesign(m, seed, 8, 30);
    ProjectLines& lines = m.LineList;
    const auto at = [&](std::size_t i) { return lines.begin() + static_cast<std::ptrdiff_t>(i); };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i][0] == "MODULE" && lines[i][2] == "u2") {
            lines.insert(at(i + 2), MakeLine({"INPUT", "", "", lines[i + 1][3]}));
            lines.insert(at(i + 2), MakeLine({"#INPUT", "", "", "gone"}));
            lines.insert(at(i + 3), ProjectLine());
            break;
        }
    }
    lines.push_back(MakeLine({"WIREX", "u1", "d", "u3", "q", "w"}));
    lines.push_back(MakeLine({"WIRE", "u2", lines.back()[2], "u4", "clk", "x"}));
    if (seed % 3 == 0)
        lines[0][2] = "u5";
    m.UpdatePicExecute(RebuildSender::MainWindow);
    m.ClearLog();
}

std::vector<int> Lines(const NetIndex& nets, std::span<const int> wires) {
    std::vector<int> out;
    for (int w : wires)
        out.push_back(nets.WireAt(w).Line);
    return out;
}

} // namespace

TEST(NetIndexFromTheRebuild, AnswersAsTheIndexOfTheLinesWithoutLookingNamesUp) {
    for (unsigned seed = 1; seed <= 30; ++seed) {
        ProjectModel m;
        LoadDamagedDesign(m, seed);
        ASSERT_TRUE(m.NetsAsRebuilt()) << seed;
        EXPECT_FALSE(m.PortNamesUnique()) << seed;
        const NetIndex named(m);
        const NetIndex rebuilt(m, NetIndex::FromRebuild{});
        std::vector<std::pair<std::string, std::string>> asked = {{"u0", "nowhere"},
                                                                  {"top", "none"}};
        for (const port& p : m.PortList)
            asked.emplace_back(p.OwnerName, p.Name);
        for (const auto& [inst, name] : asked) {
            const std::string what = std::to_string(seed) + " " + inst + "." + name;
            const std::span<const int> a = named.LinesOf(inst, name);
            const std::span<const int> b = rebuilt.LinesOf(inst, name);
            EXPECT_EQ(std::vector<int>(a.begin(), a.end()), std::vector<int>(b.begin(), b.end()))
                << what;
            const std::span<const int> ha = named.LinesHeadedBy(inst, name);
            const std::span<const int> hb = rebuilt.LinesHeadedBy(inst, name);
            EXPECT_EQ(std::vector<int>(ha.begin(), ha.end()),
                      std::vector<int>(hb.begin(), hb.end()))
                << what;
            EXPECT_EQ(named.Keyword(inst, name), rebuilt.Keyword(inst, name)) << what;
            for (bool topDrives : {false, true})
                EXPECT_EQ(named.NetDriven(inst, name, topDrives),
                          rebuilt.NetDriven(inst, name, topDrives))
                    << what;
        }
        for (const port& p : m.PortList) {
            const std::string what = std::to_string(seed) + " " + p.OwnerName + "." + p.Name;
            const int ea = named.EndOfPort(p);
            const int eb = rebuilt.EndOfPort(p);
            EXPECT_EQ(Lines(named, named.WiresOf(ea)), Lines(rebuilt, rebuilt.WiresOf(eb))) << what;
            EXPECT_EQ(Lines(named, named.WiresHeadedBy(ea)),
                      Lines(rebuilt, rebuilt.WiresHeadedBy(eb)))
                << what;
            if (ea >= 0) {
                EXPECT_EQ(named.EndLine(ea), rebuilt.EndLine(eb)) << what;
                EXPECT_EQ(named.EndKeyword(ea), rebuilt.EndKeyword(eb)) << what;
                EXPECT_EQ(named.EndOnTop(ea), rebuilt.EndOnTop(eb)) << what;
            }
            for (bool topDrives : {false, true})
                EXPECT_EQ(HasDriver(named, p, topDrives), HasDriver(rebuilt, p, topDrives)) << what;
            EXPECT_EQ(HasLoad(named, p), HasLoad(rebuilt, p)) << what;
            for (const port& q : m.PortList) {
                if (&q - &p == 3) {
                    EXPECT_EQ(CanConnect(named, p, q), CanConnect(rebuilt, p, q)) << what;
                }
            }
        }
    }
}

TEST(NetIndexFromTheRebuild, IsGivenOutOnlyWhileTheLinesAreThoseTheRebuildRead) {
    ProjectModel m;
    LoadWiredDesign(m, 7, 10, 40);
    DropSuggestionLines(m);
    m.UpdatePicExecute(RebuildSender::MainWindow);
    std::optional<NetIndex> scratch;
    const NetIndex* first = &NetsOf(m, scratch);
    EXPECT_FALSE(scratch.has_value()) << "the rebuild's index";
    EXPECT_EQ(&NetsOf(m, scratch), first) << "kept until the next rebuild";
    // A suggestion that comes and goes at the end, and marks, leave the nets as they were; the
    // suggestions of the design are in the middle of its wires, so they went before.
    m.InsertLine(-1, {"WIRE", "u1", "d", "u2", "q", "s"});
    m.LineList.back()[FieldSuggestion] = "S";
    m.ClearMarks();
    DropSuggestionLines(m);
    EXPECT_EQ(&NetsOf(m, scratch), first);
    EXPECT_FALSE(scratch.has_value());
    // A write to a stored field, a line moved, or lines replaced: the lines decide again.
    for (int change = 0; change < 3; ++change) {
        ProjectModel edited;
        LoadWiredDesign(edited, 7, 10, 40);
        std::optional<NetIndex> own;
        NetsOf(edited, own);
        if (change == 0)
            RenameNet(edited, "n", "renamed", true);
        else if (change == 1)
            std::swap(edited.LineList[3], edited.LineList[4]);
        else
            edited.CopyLineList(&m.LineList, edited.LineList);
        NetsOf(edited, own);
        EXPECT_TRUE(own.has_value()) << "change " << change;
        edited.UpdatePicExecute(RebuildSender::MainWindow);
        own.reset();
        NetsOf(edited, own);
        EXPECT_FALSE(own.has_value()) << "after the rebuild, change " << change;
    }
}
