// Mapping lone and undriven ports to the top level, and the connection listing, on the wiring
// project and, against the commands' step-by-step descriptions, on seeded designs.
#include "RandomDesign.h"
#include "TopPortNames.h"
#include "model/WiringFixture.h"

#include "editor/canvas/LonePorts.h"
#include "editor/model/Nets.h"
#include "editor/model/TopLevel.h"

#include <algorithm>
#include <random>

namespace {

struct MapKindCase {
    const char* name;
    char kind;
    Lines mapped; // new top ports, in order, after the six the project has
    Lines log;    // between the action line and "Done."
};

const char* const WideRefused = "Error: Can not map to top port: wide (u1).";

const MapKindCase MapKindCases[] = {
    {"inputs", 'I', {"u1_clk", "u1_d", "u2_clk", "u2_d", "u3_clk", "u3_d"}, {WideRefused}},
    {"outputs", 'O', {"u1_q", "u1_o_valid", "u1_irq_n", "u2_q", "u3_q"}, {}},
    {"inouts", 'B', {"u1_pad", "u2_pad", "u3_pad"}, {}},
    {"every kind, variant ports too",
     AllKinds,
     {"u1_clk", "u1_d", "u1_q", "u1_o_valid", "u1_irq_n", "u1_pad", "u1_any", "u2_clk", "u2_d",
      "u2_q", "u2_pad", "u3_clk", "u3_d", "u3_q", "u3_pad"},
     {WideRefused}},
};

class MapKinds : public Wiring, public ::testing::WithParamInterface<MapKindCase> {};

// The step-by-step description of the four map commands: one mapping and one rebuild at a time.
int MapOneAtATime(ProjectModel& m, char kind) {
    int n = 0;
    for (std::size_t i = 0; i < m.PortList.size(); ++i) {
        const port p = m.PortList[i];
        if (p.OwnerName != m.TopName && (kind == AllKinds || p.Kind == kind) && p.Lone &&
            MapPortToTop(m, p, m.FirstMduLine, "", true)) {
            ++n;
            m.UpdatePicExecute(RebuildSender::MainWindow);
        }
    }
    return n;
}

} // namespace

TEST_P(MapKinds, MapOnlyLoneInstancePortsOfTheKind) {
    const MapKindCase& c = GetParam();
    m.TopNameRule = "%M_%P";
    const Lines before = StoredText(m.LineList);
    EXPECT_EQ(MapLonePortsOfKind(m, c.kind), static_cast<int>(c.mapped.size()));
    Lines expected = {"clk", "din", "dout", "io", "v", "cb"};
    expected.insert(expected.end(), c.mapped.begin(), c.mapped.end());
    EXPECT_EQ(TopPortNames(m), expected);
    EXPECT_EQ(LogLines(), c.log);
    // Each new top port has its module port's direction and width and one wire to it.
    for (const std::string& name : c.mapped) {
        const port& top = P("top", name);
        const std::string inst = name.substr(0, 2);
        const port& from = P(inst, name.substr(3));
        EXPECT_EQ(top.Kind, from.Kind) << name;
        EXPECT_EQ(top.WidthText, from.WidthText) << name;
        EXPECT_FALSE(from.Lone) << name;
        EXPECT_TRUE(IsConnected(m, from, top)) << name;
    }
    EXPECT_TRUE(Sound());
    EXPECT_EQ(Wires().size(), c.mapped.size());
    EXPECT_EQ(StoredText(m.LineList).size(), before.size() + 2 * c.mapped.size());
}

INSTANTIATE_TEST_SUITE_P(LonePorts, MapKinds, ::testing::ValuesIn(MapKindCases), CaseName());

TEST_F(Wiring, MappingWithoutLonePortsStillTakesTheSnapshotAndLogsBothLines) {
    m.LineList = LinesFromText("TOP\t\ttop\nINPUT\t\t\tclk\n");
    Rebuild();
    m.Modified = false;
    MapAllOrphansExecute(m);
    EXPECT_EQ(LogLines(), (Lines{"--Action: Map all the internal lone ports to top level.",
                                 "--Action: Done. 0 port(s) mapped."}));
    EXPECT_TRUE(m.UndoEnabled());
    EXPECT_TRUE(m.Modified);
}

TEST_F(Wiring, EachMapActionLogsItsOwnLineAndTheCount) {
    const struct {
        int (*execute)(ProjectModel&);
        const char* action;
        const char* done;
    } actions[] = {
        {MapInputsExecute, "Map all the internal input lone ports to top level.", "1"},
        {MapOutputsExecute, "Map all the internal output lone ports to top level.", "3"},
        {MapInoutsExecute, "Map all the internal inout lone ports to top level.", "1"},
        {MapAllOrphansExecute, "Map all the internal lone ports to top level.", "6"},
    };
    for (const auto& a : actions) {
        Load();
        EXPECT_EQ(std::to_string(a.execute(m)), a.done);
        ASSERT_GE(LogLines().size(), 2u);
        EXPECT_EQ(LogLines().front(), std::string("--Action: ") + a.action);
        EXPECT_EQ(LogLines().back(), std::string("--Action: Done. ") + a.done + " port(s) mapped.");
        EXPECT_TRUE(m.UndoEnabled());
    }
}

// With the rule "%P" the pool of names collides: most mappings are refused as taken, and the
// names taken by earlier mappings of the same command count.
TEST_F(Wiring, ANameTakenByAnEarlierMappingOfTheSameCommandIsRefused) {
    EXPECT_EQ(MapLonePortsOfKind(m, 'O'), 3);
    EXPECT_EQ(TopPortNames(m),
              (Lines{"clk", "din", "dout", "io", "v", "cb", "q", "o_valid", "irq_n"}));
    EXPECT_EQ(LogLines(), (Lines{"Warning: Can't add. q already exists.",
                                 "Warning: Can't add. q already exists."}));
}

TEST_F(Wiring, ATopPortThatAWireAlreadyEndsOnGetsTheMappedPortOnItsNet) {
    // A wire names the top port ghost, which has no line: mapping a port to that name joins it.
    Load("WIRE\tu1\tq\ttop\tghost\tnetx\n");
    ProjectModel literal;
    literal.LineList = m.LineList;
    literal.PrjOpen = true;
    literal.TopNameRule = m.TopNameRule = "ghost";
    literal.UpdatePicExecute(RebuildSender::MainWindow);
    literal.ClearLog();
    EXPECT_EQ(MapLonePortsOfKind(m, 'I'), 1);
    EXPECT_EQ(MapOneAtATime(literal, 'I'), 1);
    EXPECT_EQ(StoredText(m.LineList), StoredText(literal.LineList));
    EXPECT_EQ(Wires().back(), "u1 q u1 clk netx");
}

TEST(LonePortsOracle, MappingAllAtOnceGivesTheLinesAndLogOfOneMappingAtATime) {
    const char* const rules[] = {"%P", "%M_%P", "%P[0]", "a %P", "x_%P"};
    int mappings = 0;
    for (unsigned seed = 1; seed <= 80; ++seed) {
        for (char kind : {AllKinds, 'I', 'O', 'B'}) {
            ProjectModel fast;
            ProjectModel slow;
            LoadRandomDesign(fast, seed);
            LoadRandomDesign(slow, seed);
            fast.TopNameRule = slow.TopNameRule = rules[seed % 5];
            fast.UpdatePicExecute(RebuildSender::MainWindow);
            slow.UpdatePicExecute(RebuildSender::MainWindow);
            const int n = MapLonePortsOfKind(fast, kind);
            EXPECT_EQ(n, MapOneAtATime(slow, kind)) << "seed " << seed << " kind " << kind;
            ASSERT_EQ(StoredText(fast.LineList), StoredText(slow.LineList))
                << "seed " << seed << " kind " << kind;
            ASSERT_EQ(fast.Log.Lines(), slow.Log.Lines()) << "seed " << seed << " kind " << kind;
            mappings += n;
        }
    }
    EXPECT_GT(mappings, 200) << "the designs leave too little to map";
}

namespace {

// The step-by-step description of MapUndrv: one mapping and one rebuild at a time.
int MapUndrvOneAtATime(ProjectModel& m) {
    int n = 0;
    for (std::size_t i = 0; i < m.PortList.size(); ++i) {
        const port p = m.PortList[i];
        if (p.Lone || HasDriver(m, p, true) || !MapPortToTop(m, p, m.FirstMduLine, "", true))
            continue;
        ++n;
        m.LogInfo("Map undrived port " + p.Name + " (" + p.OwnerName + ").");
        m.UpdatePicExecute(RebuildSender::MainWindow);
    }
    return n;
}

// A seeded design with many wires, so that nets of inputs and variant ports go undriven, and an
// assignment naming some nets, so that their renaming shows there too.
void LoadUndrivenDesign(ProjectModel& m, unsigned seed) {
    LoadRandomDesign(m, seed, 8, 30);
    std::vector<std::string> nets;
    for (const wire& w : m.WireList)
        nets.push_back(w.Name);
    for (std::size_t k = 0; k + 1 < nets.size(); k += 2)
        m.LineList.push_back(MakeLine({"ASSIGN", " " + nets[k] + " = " + nets[k + 1] + " "}));
    m.UpdatePicExecute(RebuildSender::MainWindow);
}

} // namespace

// Regression: MapUndrv rebuilt the whole design after every mapping (quadratic on many undriven
// nets); mapping them on one rebuild must give the very lines and log of the literal loop.
TEST(LonePortsOracle, MappingUndrivenPortsAtOnceGivesTheLinesAndLogOfOneMappingAtATime) {
    const char* const rules[] = {"%P", "%M_%P", "%P[0]", "a %P", "x_%P", "n"};
    int mappings = 0;
    int renamedInAssigns = 0;
    for (unsigned seed = 1; seed <= 120; ++seed) {
        ProjectModel fast;
        ProjectModel slow;
        LoadUndrivenDesign(fast, seed);
        LoadUndrivenDesign(slow, seed);
        fast.TopNameRule = slow.TopNameRule = rules[seed % 6];
        const Lines before = StoredText(fast.LineList);
        const int n = MapUndrvExecute(fast);
        slow.LogAction("Map all the internal undrived input ports to top level.");
        slow.TakeUndoSnapshot();
        EXPECT_EQ(n, MapUndrvOneAtATime(slow)) << "seed " << seed;
        slow.LogAction("Done. " + std::to_string(n) + " port(s) mapped.");
        ASSERT_EQ(StoredText(fast.LineList), StoredText(slow.LineList)) << "seed " << seed;
        ASSERT_EQ(fast.Log.Lines(), slow.Log.Lines()) << "seed " << seed;
        mappings += n;
        const Lines after = StoredText(fast.LineList);
        for (const std::string& line : before)
            if (line.rfind("ASSIGN", 0) == 0 &&
                std::find(after.begin(), after.end(), line) == after.end())
                ++renamedInAssigns;
    }
    EXPECT_GT(mappings, 60) << "the designs leave too few undriven nets";
    EXPECT_GT(renamedInAssigns, 40) << "too few assignments name a mapped net";
}

TEST_F(Wiring, UndrivenNetsAreMappedOnceEachAndTheirOtherPortsAreThenDriven) {
    m.StrictRule = false;
    Load("WIRE\tu2\td\tu3\td\td\n");
    MapUndrvExecute(m);
    EXPECT_EQ(LogLines(),
              (Lines{"--Action: Map all the internal undrived input ports to top level.",
                     "Info: Map undrived port d (u2).", "--Action: Done. 1 port(s) mapped."}));
    EXPECT_EQ(Wires(), (Lines{"u2 d u3 d d", "u2 d top d d"}));
    EXPECT_EQ(P("top", "d").Kind, 'I');
    EXPECT_TRUE(HasDriver(m, P("u3", "d"), true));
    EXPECT_TRUE(m.UndoEnabled());
}

TEST_F(Wiring, AnUndrivenTopPortIsRefusedByTheMappingAndTheRestGoesOn) {
    Load("WIRE\tu2\td\ttop\tdout\tdout\nWIRE\tu1\tq\tu3\td\tnq\n");
    MapUndrvExecute(m);
    // dout is driven by nothing: the top port is refused; u2.d is mapped; u3.d's net is driven.
    EXPECT_EQ(LogLines(),
              (Lines{"--Action: Map all the internal undrived input ports to top level.",
                     "Error: Can not map to top port: dout (top).",
                     "Info: Map undrived port d (u2).", "--Action: Done. 1 port(s) mapped."}));
}

TEST_F(Wiring, MappingUndrivenPortsOfADesignThatHasNoneChangesNoLine) {
    Load("WIRE\tu1\tq\tu2\td\tnq\n");
    const Lines before = StoredText(m.LineList);
    MapUndrvExecute(m);
    EXPECT_EQ(StoredText(m.LineList), before);
    EXPECT_EQ(LogLines().back(), "--Action: Done. 0 port(s) mapped.");
}

namespace {

// Nets for the listing: u1.q drives u2.d and u3.d; u1.clk goes to the top's clk and to u2.clk;
// u1.o_valid reaches both u2.pad and u3.clk; u1.wide (no numeric width) reaches u3.q.
const char* const ListedNets = "WIRE\tu1\tq\tu2\td\tnq\n"
                               "WIRE\tu1\tq\tu3\td\tnq\n"
                               "WIRE\tu1\tclk\ttop\tclk\tclk\n"
                               "WIRE\tu1\tclk\tu2\tclk\tclk\n"
                               "WIRE\tu1\to_valid\tu2\tpad\tnv\n"
                               "WIRE\tu1\to_valid\tu3\tclk\tnv\n"
                               "WIRE\tu1\twide\tu3\tq\tnw\n";

// The head of a listing: the rule of "=" as long as the title, the title and the rule again.
Lines Heading(const std::string& title) {
    const std::string rule(title.size(), '=');
    return {"--Action: List Connections.", rule, title, rule};
}

Lines Join(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Lines ListingOf(ProjectModel& m, char mode, const mdu* instance, const port* p) {
    m.ClearLog();
    ListConnections(m, mode, instance, p);
    return m.Log.Lines();
}

} // namespace

TEST_F(Wiring, AnInstanceListsEachOtherInstanceWithItsPortsAndBits) {
    Load(ListedNets);
    // u2: clk, d (8 bits), pad; u3: d (8 bits), clk, q (8 bits).
    EXPECT_EQ(
        ListingOf(m, ListInstance, &m.MduList[m.FindInstance("u1")], nullptr),
        Join(Heading(" Connection Statistic of u1 (core)"),
             {" With top : 1 ports / 1 bits.", " With u2 (sink) : 3 ports / 10 bits.",
              " With u3 (sink) : 3 ports / 17 bits.", "--Action: Done. 3 instances connected."}));
    // u1: o_valid, q (8 bits) and wide, whose width is no number: one bit.
    EXPECT_EQ(ListingOf(m, ListInstance, &m.MduList[m.FindInstance("u3")], nullptr),
              Join(Heading(" Connection Statistic of u3 (sink)"),
                   {" With u1 (core) : 3 ports / 10 bits.", " With u2 (sink) : 2 ports / 9 bits.",
                    "--Action: Done. 2 instances connected."}));
}

TEST_F(Wiring, AnInstanceWhosePortsShareOneNetCountsItOnce) {
    // u2.clk and u2.pad both sit on a net that reaches u1: the second adds nothing.
    Load("WIRE\tu1\to_valid\tu2\tclk\tn2\nWIRE\tu1\to_valid\tu2\tpad\tn2\n");
    EXPECT_EQ(
        ListingOf(m, ListInstance, &m.MduList[m.FindInstance("u2")], nullptr),
        Join(Heading(" Connection Statistic of u2 (sink)"),
             {" With u1 (core) : 1 ports / 1 bits.", "--Action: Done. 1 instance connected."}));
}

TEST_F(Wiring, TheTopModuleListsWithoutAModuleName) {
    Load(ListedNets);
    EXPECT_EQ(ListingOf(m, ListInstance, m.TopRecord(), nullptr),
              Join(Heading(" Connection Statistic of top"),
                   {" With u1 (core) : 1 ports / 1 bits.", " With u2 (sink) : 1 ports / 1 bits.",
                    "--Action: Done. 2 instances connected."}));
}

TEST_F(Wiring, APortListsItsNetWithoutItsOwnInstance) {
    Load(ListedNets);
    EXPECT_EQ(
        ListingOf(m, ListPort, nullptr, &P("u1", "q")),
        Join(Heading(" Connection Statistic of q (u1)"),
             {" * Not including the instance u1 itself.", " With u2 (sink) : 1 ports / 8 bits.",
              " With u3 (sink) : 1 ports / 8 bits.", "--Action: Done. 2 instances connected."}));
    EXPECT_EQ(ListingOf(m, ListPort, nullptr, &P("u1", "d")).back(),
              "--Action: Done. 0 instance connected.");
}

TEST_F(Wiring, TheSelectionNeverListsTheInstancesOfSelectedPorts) {
    Load(ListedNets);
    // u1.q and u2.d share a net: u2 owns a selected port, so only u3 is listed, once.
    m.SelList = {m.FindPortQuiet("u1", "q"), m.FindPortQuiet("u2", "d")};
    EXPECT_EQ(
        ListingOf(m, ListSelection, nullptr, nullptr),
        Join(Heading(" Connection Statistic of the Selected Ports"),
             {" * Not including the selected ports' instances themselves.",
              " With u3 (sink) : 1 ports / 8 bits.", "--Action: Done. 1 instance connected."}));
}

namespace {

// The step-by-step description of the listing, with IsConnected asked of every pair.
Lines ListOneByOne(ProjectModel& m, char mode, const mdu* instance, const port* p) {
    struct Entry {
        int ports = 0;
        long long bits = 0;
        bool counted = true;
    };
    std::vector<Entry> tally(m.MduList.size());
    std::vector<int> sources;
    if (mode == ListInstance) {
        for (int i = instance->FirstPort; instance->FirstPort >= 0 && i <= instance->LastPort; ++i)
            sources.push_back(i);
    } else if (mode == ListPort) {
        sources.push_back(m.FindPortQuiet(p->OwnerName, p->Name));
    } else {
        sources = m.SelList;
    }
    for (std::size_t k = 0; k < sources.size(); ++k) {
        const port& s = m.PortList[sources[k]];
        if (mode == ListSelection)
            tally[s.Owner].counted = false;
        bool earlier = false;
        for (std::size_t j = 0; j < k; ++j)
            earlier = earlier || IsConnected(m, s, m.PortList[sources[j]]);
        if (earlier)
            continue;
        for (const port& q : m.PortList)
            if (q.OwnerName != s.OwnerName && (mode != ListSelection || tally[q.Owner].counted) &&
                IsConnected(m, q, s)) {
                ++tally[q.Owner].ports;
                tally[q.Owner].bits += q.Numeric ? q.Span + 1 : 1;
            }
    }
    Lines out;
    for (std::size_t i = 0; i < tally.size(); ++i)
        if (tally[i].ports && tally[i].counted)
            out.push_back(m.MduList[i].InstName + " " + std::to_string(tally[i].ports) + " " +
                          std::to_string(tally[i].bits));
    return out;
}

// The " With ..." lines of a listing, as instance, ports and bits.
Lines Listed(ProjectModel& m, char mode, const mdu* instance, const port* p) {
    Lines out;
    for (const std::string& line : ListingOf(m, mode, instance, p)) {
        if (!line.starts_with(" With "))
            continue;
        const std::string inst = line.substr(6, line.find(' ', 6) - 6);
        const std::size_t colon = line.find(" : ");
        const std::size_t slash = line.find(" ports / ");
        out.push_back(inst + " " + line.substr(colon + 3, slash - colon - 3) + " " +
                      line.substr(slash + 9, line.find(" bits.") - slash - 9));
    }
    return out;
}

} // namespace

TEST(ListConnectionsOracle, TheListingMatchesEveryPairAskedOneByOne) {
    int listed = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        ProjectModel m;
        LoadRandomDesign(m, seed, 5, 14);
        for (const mdu& d : m.MduList) {
            const Lines got = Listed(m, ListInstance, &d, nullptr);
            ASSERT_EQ(got, ListOneByOne(m, ListInstance, &d, nullptr))
                << "seed " << seed << " instance " << d.InstName;
            listed += static_cast<int>(got.size());
        }
        for (const port& p : m.PortList)
            ASSERT_EQ(Listed(m, ListPort, nullptr, &p), ListOneByOne(m, ListPort, nullptr, &p))
                << "seed " << seed << " port " << p.OwnerName << "." << p.Name;
        std::mt19937 rng(seed);
        std::vector<int> all(m.PortList.size());
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i] = static_cast<int>(i);
        std::shuffle(all.begin(), all.end(), rng);
        m.SelList.assign(all.begin(), all.begin() + static_cast<long>(all.size() / 2));
        ASSERT_EQ(Listed(m, ListSelection, nullptr, nullptr),
                  ListOneByOne(m, ListSelection, nullptr, nullptr))
            << "seed " << seed;
    }
    EXPECT_GT(listed, 50) << "the designs are too sparsely wired";
}
