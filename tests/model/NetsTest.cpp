// Nets in the lines: the queries, the admission rules of a wire, the naming of new nets, and the
// edits that make, join, delete and rename nets.
#include "WiringFixture.h"

#include "editor/model/Nets.h"

namespace {

struct ConnectCase {
    const char* name;
    const char* extra; // lines added to the project
    bool strict;
    bool noSelfWire;
    const char* a; // "instance.port"
    const char* b;
    bool allowed;
};

std::pair<std::string, std::string> Split(const char* end) {
    const std::string s(end);
    const std::size_t dot = s.find('.');
    return {s.substr(0, dot), s.substr(dot + 1)};
}

const ConnectCase ConnectCases[] = {
    {"two numeric ports of one span", "", true, false, "u1.q", "u2.d", true},
    {"a width that is not numeric", "", true, false, "u1.wide", "u2.d", false},
    {"the same port twice", "", true, false, "u1.q", "u1.q", false},
    {"different spans", "", true, false, "u1.q", "u2.clk", false},
    {"different spans with a variant port", "", true, false, "u1.any", "u2.d", true},
    {"two top ports", "", true, false, "top.din", "top.dout", false},
    {"a top input and a module input", "", true, false, "top.din", "u2.d", true},
    {"an inout and an input", "", true, false, "u1.pad", "u2.clk", false},
    {"two inouts", "", true, false, "u1.pad", "u2.pad", true},
    {"an inout and a variant port", "", true, false, "u1.pad", "top.v", true},
    {"two module inputs, strict", "", true, false, "u1.clk", "u2.clk", false},
    {"two module inputs, not strict", "", false, false, "u1.clk", "u2.clk", true},
    {"a top output and a module input, strict", "", true, false, "top.dout", "u2.d", false},
    {"a module input and a top output, strict", "", true, false, "u2.d", "top.dout", false},
    {"a top output and a module input, not strict", "", false, false, "top.dout", "u2.d", true},
    {"one instance, no self wire", "", true, true, "u1.q", "u1.d", false},
    {"one instance, self wires allowed", "", true, false, "u1.q", "u1.d", true},
    {"a combined bus port", "", true, false, "top.cb", "u2.clk", false},
    {"the same ports without the bus", "", true, false, "top.clk", "u2.clk", true},
    {"two outputs", "", true, false, "u1.q", "u2.q", false},
    {"an input driven through its net and an output", "WIRE\tu1\tq\tu2\td\tnq\n", true, false,
     "u2.d", "u3.q", false},
    {"an input on a net without a driver and an output", "WIRE\tu2\td\tu3\td\tnd\n", false, false,
     "u2.d", "u1.q", true},
    {"a module input on the net of a top input and an output", "WIRE\tu2\tclk\ttop\tclk\tclk\n",
     true, false, "u2.clk", "u1.o_valid", false},
};

} // namespace

class CanConnectRules : public Wiring, public ::testing::WithParamInterface<ConnectCase> {};

TEST_P(CanConnectRules, AllowOrRefuseTheWire) {
    const ConnectCase& c = GetParam();
    Load(c.extra);
    m.StrictRule = c.strict;
    m.NoSelfWire = c.noSelfWire;
    const auto [ia, pa] = Split(c.a);
    const auto [ib, pb] = Split(c.b);
    EXPECT_EQ(CanConnect(m, P(ia, pa), P(ib, pb)), c.allowed);
    // The indexed form answers as the plain one does.
    EXPECT_EQ(CanConnect(NetIndex(m), P(ia, pa), P(ib, pb)), c.allowed);
    // And so does the form that is told a's driver.
    EXPECT_EQ(CanConnect(NetIndex(m), P(ia, pa), P(ib, pb), HasDriver(m, P(ia, pa), true)),
              c.allowed);
}

INSTANTIATE_TEST_SUITE_P(Nets, CanConnectRules, ::testing::ValuesIn(ConnectCases), CaseName());

TEST_F(Wiring, QueriesGoByTheWireLinesOfTheLastRebuild) {
    Load("WIRE\tu1\tq\tu2\td\tnq\n"
         "WIRE\tu1\tq\tu3\td\tnq\n"
         "WIRE\tu1\tq\tu2\tq\tsug\t\t\t\t\t\t\tS\n");
    NetOfPort net;
    ASSERT_TRUE(FindNetOfPort(m, "u3", "d", net));
    EXPECT_EQ(net.Head, (NetEnd{"u1", "q"}));
    EXPECT_EQ(net.Name, "nq");
    EXPECT_TRUE(IsLonePort(m, "u2", "q")) << "a suggestion is no wire";
    EXPECT_FALSE(IsLonePort(m, "u1", "q"));
    EXPECT_TRUE(IsConnected(m, P("u2", "d"), P("u3", "d"))) << "two ends of one net";
    EXPECT_TRUE(IsConnected(m, P("u3", "d"), P("u1", "q"))) << "the head of the net";
    EXPECT_TRUE(IsConnected(m, P("u2", "q"), P("u2", "q"))) << "the same port";
    EXPECT_FALSE(IsConnected(m, P("u2", "q"), P("u1", "q"))) << "a lone port";
    // A line added since the rebuild has no mark yet.
    m.InsertLine(-1, {"WIRE", "u2", "q", "u3", "q", "late"});
    EXPECT_TRUE(IsLonePort(m, "u2", "q"));
}

TEST_F(Wiring, NamesInUseAreNetsInstancesModulesAndTopPorts) {
    Load("WIRE\tu1\tq\tu2\td\tnq\n");
    for (const char* used : {"nq", "u1", "core", "sink", "top", "din", "cb"})
        EXPECT_TRUE(NameInUse(m, used)) << used;
    for (const char* free : {"q", "pad", "nq_0", ""})
        EXPECT_FALSE(NameInUse(m, free)) << free;
}

TEST_F(Wiring, DriversAndLoadsOfANet) {
    Load("WIRE\tu1\tq\tu2\td\tnq\n"
         "WIRE\tu2\tclk\ttop\tclk\tclk\n"
         "WIRE\tu1\tpad\ttop\tio\tio\n"
         "WIRE\tu2\tpad\tu3\tpad\tpads\n");
    EXPECT_TRUE(HasDriver(m, P("u2", "d"), false)) << "an output heads its net";
    EXPECT_TRUE(HasDriver(m, P("u1", "q"), false)) << "an instance output drives";
    EXPECT_FALSE(HasDriver(m, P("u2", "clk"), false));
    EXPECT_TRUE(HasDriver(m, P("u2", "clk"), true)) << "a top input drives when asked";
    EXPECT_TRUE(HasDriver(m, P("top", "clk"), true));
    EXPECT_FALSE(HasDriver(m, P("top", "clk"), false));
    EXPECT_TRUE(HasDriver(m, P("u1", "pad"), true)) << "a top inout drives";
    EXPECT_FALSE(HasDriver(m, P("u3", "pad"), true)) << "two module inouts";
    EXPECT_FALSE(HasDriver(m, P("u3", "d"), true)) << "a port on no net";

    EXPECT_TRUE(HasLoad(m, P("u1", "q")));
    EXPECT_TRUE(HasLoad(m, P("top", "clk"))) << "the head of its net is an input";
    EXPECT_FALSE(HasLoad(m, P("top", "io")));
    EXPECT_FALSE(HasLoad(m, P("u3", "q"))) << "a port on no net";
}

// Regression: a net headed by a top port, as a project file written by hand or by another tool
// has it, was judged by the head's keyword alone: a top input at the head drove none of the
// module inputs after it, and a top output at the head passed for a driver.
TEST_F(Wiring, DriversAndLoadsOfANetHeadedByATopPort) {
    Load("WIRE\ttop\tclk\tu2\tclk\tclk\n"
         "WIRE\ttop\tclk\tu3\tclk\tclk\n"
         "WIRE\ttop\tdout\tu2\td\tdout\n"
         "WIRE\ttop\tio\tu2\tpad\tio\n");
    EXPECT_TRUE(HasDriver(m, P("u2", "clk"), true));
    EXPECT_TRUE(HasDriver(m, P("u3", "clk"), true));
    EXPECT_FALSE(HasDriver(m, P("u3", "clk"), false)) << "the top drives only when asked";
    EXPECT_TRUE(HasDriver(m, P("u2", "pad"), true)) << "a top inout at the head drives";
    EXPECT_FALSE(HasDriver(m, P("u2", "d"), true)) << "a top output drives nothing";
    EXPECT_FALSE(HasDriver(m, P("top", "dout"), true));

    EXPECT_TRUE(HasLoad(m, P("top", "dout"))) << "the module input after the top output";
    EXPECT_FALSE(HasLoad(m, P("top", "io")));
    // The same answers as when a module port heads the net.
    Load("WIRE\tu2\td\ttop\tdout\tdout\nWIRE\tu2\tclk\ttop\tclk\tclk\n");
    EXPECT_FALSE(HasDriver(m, P("u2", "d"), true));
    EXPECT_TRUE(HasLoad(m, P("top", "dout")));
    EXPECT_TRUE(HasDriver(m, P("u2", "clk"), true));
}

// One index answers for many ports, and remembers what it found per net: an answer for one
// port of a net, or for one choice of topDrives, must not stand for another.
TEST_F(Wiring, OneIndexAnswersTheDriversOfEveryPortAsAFreshOneWould) {
    Load("WIRE\tu1\tq\tu2\td\tnq\n"
         "WIRE\tu1\tq\tu3\td\tnq\n"
         "WIRE\tu2\tclk\ttop\tclk\tclk\n"
         "WIRE\tu2\tclk\tu3\tclk\tclk\n"
         "WIRE\tu1\tpad\ttop\tio\tio\n"
         "WIRE\tu2\tpad\tu3\tpad\tpads\n");
    const NetIndex nets(m);
    for (bool topDrives : {true, false, true}) {
        for (const port& p : m.PortList) {
            EXPECT_EQ(HasDriver(nets, p, topDrives), HasDriver(m, p, topDrives))
                << p.OwnerName << "." << p.Name << " topDrives " << topDrives;
        }
    }
    EXPECT_TRUE(HasDriver(nets, P("u3", "clk"), true));
    EXPECT_FALSE(HasDriver(nets, P("u3", "clk"), false)) << "after the same net with topDrives";
}

TEST_F(Wiring, ADriverStaysFoundWhenTheLinesMovedSinceTheRebuild) {
    Load("WIRE\tu1\tq\tu2\td\tnq\n");
    // A top port line inserted before the instances: the records' line indexes are stale.
    m.InsertLine(m.FirstMduLine, {"INPUT", "", "", "extra"});
    EXPECT_TRUE(HasDriver(m, P("u2", "d"), false));
}

// Ports of one name sit on every instance, and u9 has more ports than are searched in place: each
// port's line is found under its own instance, with the records fresh and once the lines moved.
TEST_F(Wiring, APortsMarkedLineIsTheOneUnderItsOwnInstance) {
    std::string big = "MODULE\tsink\tu9\t/src/sink.v\tverilog\n";
    for (int k = 0; k < 70; ++k)
        big += "INPUT\t\t\tp" + std::to_string(k) + "\n";
    big += "INPUT\t7\t0\td\n";
    Load(big);
    ASSERT_GT(m.PortList.size(), 90u);
    std::vector<int> fresh;
    for (const port& p : m.PortList) {
        fresh.push_back(p.LineIndex);
        EXPECT_EQ(MarkedPortLine(m, p.OwnerName, p.Name), p.LineIndex)
            << p.OwnerName << "." << p.Name;
    }
    EXPECT_EQ(MarkedPortLine(m, "u2", "o_valid"), -1) << "a name only another instance has";
    EXPECT_EQ(MarkedPortLine(m, "u7", "d"), -1) << "an instance that is not there";
    // Every instance's lines move down by one; the top's stay.
    const int moved = m.FirstMduLine;
    m.InsertLine(moved, {"INPUT", "", "", "extra"});
    for (std::size_t k = 0; k < m.PortList.size(); ++k) {
        const port& p = m.PortList[k];
        EXPECT_EQ(MarkedPortLine(m, p.OwnerName, p.Name), fresh[k] + (fresh[k] >= moved ? 1 : 0))
            << p.OwnerName << "." << p.Name << " after the insertion";
    }
}

namespace {

struct NamingCase {
    const char* name;
    const char* extra;
    const char* wireRule;
    std::array<const char*, 3> from;
    std::array<const char*, 3> with;
    const char* a; // the new net's head
    const char* b;
    const char* wire; // the new WIRE line's fields 1 to 5
};

const NamingCase NamingCases[] = {
    {"the port's name", "", "%P", {"", "", ""}, {"", "", ""}, "u1.q", "u2.d", "u1 q u2 d q"},
    {"a name taken by an instance",
     "MODULE\tsink\tq\n",
     "%P",
     {"", "", ""},
     {"", "", ""},
     "u1.q",
     "u2.d",
     "u1 q u2 d q_0"},
    {"a name and its first number taken",
     "MODULE\tsink\tq\nWIRE\tu2\tq\tu3\td\tq_0\n",
     "%P",
     {"", "", ""},
     {"", "", ""},
     "u1.q",
     "u2.d",
     "u1 q u2 d q_1"},
    {"a prefix rule",
     "",
     "%P",
     {"^o_", "", ""},
     {"s_", "", ""},
     "u1.o_valid",
     "u2.clk",
     "u1 o_valid u2 clk s_valid"},
    {"a suffix rule",
     "",
     "%P",
     {"", "_n$", ""},
     {"", "_b", ""},
     "u1.irq_n",
     "u2.clk",
     "u1 irq_n u2 clk irq_b"},
    {"rules that do not match",
     "",
     "%P",
     {"^x_", "_z$", ""},
     {"s_", "_b", ""},
     "u1.irq_n",
     "u2.clk",
     "u1 irq_n u2 clk irq_n"},
    {"a plain replacement",
     "",
     "%P",
     {"", "", "va"},
     {"", "", "VA"},
     "u1.o_valid",
     "u2.clk",
     "u1 o_valid u2 clk o_VAlid"},
    {"the instance and the port",
     "",
     "%M_%P",
     {"", "", ""},
     {"", "", ""},
     "u3.q",
     "u2.d",
     "u3 q u2 d u3_q"},
    {"a later rule wins",
     "",
     "%P",
     {"^o_", "va", ""},
     {"s_", "VA", ""},
     "u1.o_valid",
     "u2.clk",
     "u1 o_valid u2 clk o_VAlid"},
};

} // namespace

class NewNetNames : public Wiring, public ::testing::WithParamInterface<NamingCase> {};

TEST_P(NewNetNames, NameTheNetByTheRules) {
    const NamingCase& c = GetParam();
    Load(c.extra);
    m.WireNameRule = c.wireRule;
    for (int k = 0; k < 3; ++k) {
        m.ReplaceFrom[k] = c.from[k];
        m.ReplaceWith[k] = c.with[k];
    }
    const auto [ia, pa] = Split(c.a);
    const auto [ib, pb] = Split(c.b);
    const std::size_t before = Wires().size();
    ASSERT_TRUE(ConnectPorts(m, P(ia, pa), P(ib, pb)));
    ASSERT_EQ(Wires().size(), before + 1);
    EXPECT_EQ(Wires().back(), c.wire);
    Rebuild();
    EXPECT_TRUE(Sound());
}

INSTANTIATE_TEST_SUITE_P(Nets, NewNetNames, ::testing::ValuesIn(NamingCases), CaseName());

TEST_F(Wiring, ConnectingALonePortToANetExtendsItFromItsHead) {
    m.StrictRule = false;
    Load("WIRE\tu1\tq\tu2\td\tnq\n");
    ASSERT_TRUE(ConnectPorts(m, P("u3", "d"), P("u2", "d"))) << "the net's member, not its head";
    EXPECT_EQ(Wires(), (Lines{"u1 q u2 d nq", "u1 q u3 d nq"}));
    Rebuild();
    EXPECT_TRUE(Sound());
}

TEST_F(Wiring, ConnectingTwoNetsReheadsTheSecondOntoTheFirst) {
    // Two nets of inputs: one driven by u1.o_valid, one headed by u3.clk.
    m.StrictRule = false;
    Load("WIRE\tu1\to_valid\tu2\tclk\tna\n"
         "WIRE\tu3\tclk\tu1\tclk\tnb\n"
         "ASSIGN\t nb = na \n");
    ASSERT_TRUE(ConnectPorts(m, P("u2", "clk"), P("u1", "clk")));
    EXPECT_EQ(Wires(),
              (Lines{"u1 o_valid u2 clk na", "u1 o_valid u1 clk na", "u1 o_valid u3 clk na"}));
    EXPECT_EQ(Assigns(), Lines{" na = na "}) << "the assignment follows the net it named";
    Rebuild();
    EXPECT_TRUE(Sound());
}

// Regression: joining a driven net to one that reaches a top output gave the whole net the
// first net's name, so the generated top left the output undriven beside the net drawn to it.
TEST_F(Wiring, ConnectingANetToTheNetOfATopPortKeepsThePortsName) {
    m.StrictRule = false;
    Load("WIRE\tu1\tq\tu2\td\tnq\n"
         "WIRE\tu3\td\ttop\tdout\tdout\n"
         "ASSIGN\t nq = nq \n");
    ASSERT_TRUE(ConnectPorts(m, P("u2", "d"), P("u3", "d")));
    EXPECT_EQ(Wires(), (Lines{"u1 q u2 d dout", "u1 q top dout dout", "u1 q u3 d dout"}));
    EXPECT_EQ(Assigns(), Lines{" dout = dout "});
    Rebuild();
    EXPECT_TRUE(Sound());
    EXPECT_TRUE(HasDriver(m, P("top", "dout"), true));

    // The other way round the first net reaches the top already and keeps its name.
    Load("WIRE\tu1\tq\tu2\td\tnq\n"
         "WIRE\tu3\td\ttop\tdout\tdout\n");
    ASSERT_TRUE(ConnectPorts(m, P("u3", "d"), P("u2", "d")));
    EXPECT_EQ(Wires(), (Lines{"u3 d u2 d dout", "u3 d top dout dout", "u3 d u1 q dout"}));
    // Two nets that reach no top port take the first one's name, as before.
    Load("WIRE\tu1\tq\tu2\td\tnq\n"
         "WIRE\tu3\td\tu2\tclk\tnd\n");
    ASSERT_TRUE(ConnectPorts(m, P("u2", "d"), P("u3", "d")));
    EXPECT_EQ(Wires(), (Lines{"u1 q u2 d nq", "u1 q u2 clk nq", "u1 q u3 d nq"}));
}

TEST_F(Wiring, ConnectRefusesWhatIsAlreadyConnectedOrNotAllowed) {
    Load("WIRE\tu1\tq\tu2\td\tnq\n");
    const Lines before = StoredText(m.LineList);
    EXPECT_FALSE(ConnectPorts(m, P("u2", "d"), P("u1", "q"))) << "already connected";
    EXPECT_FALSE(ConnectPorts(m, P("u1", "q"), P("u3", "q"))) << "two outputs";
    EXPECT_EQ(StoredText(m.LineList), before);
}

TEST_F(Wiring, ConnectingToATopPortMapsTheModulePort) {
    ASSERT_TRUE(ConnectPorts(m, P("top", "dout"), P("u1", "q")));
    EXPECT_EQ(Wires(), Lines{"u1 q top dout dout"});
    Rebuild();
    EXPECT_TRUE(Sound());
    EXPECT_FALSE(P("top", "dout").Lone);
}

TEST_F(Wiring, ARefusedMappingIsARefusedConnection) {
    // u2.d is driven by u1.q; the variant top port would take its direction, and a driven
    // input cannot be mapped.
    Load("WIRE\tu1\tq\tu2\td\tnq\n");
    const Lines before = StoredText(m.LineList);
    EXPECT_FALSE(ConnectPorts(m, P("top", "v"), P("u2", "d")));
    EXPECT_EQ(StoredText(m.LineList), before);
    EXPECT_EQ(LogLines(), Lines{"Error: Can not map to top port: d (u2). Driver already exists."});
}

TEST_F(Wiring, JoinNetsNeedsTwoNetsWithDifferentHeads) {
    Load("WIRE\tu1\tq\tu2\td\tnq\n");
    const Lines before = StoredText(m.LineList);
    JoinNets(m, {"u1", "q"}, {"u2", "d"});
    JoinNets(m, {"u1", "q"}, {"u3", "d"});
    JoinNets(m, {"u1", "q"}, {"u1", "q"});
    EXPECT_EQ(StoredText(m.LineList), before);
}

TEST_F(Wiring, DeletingTheWireOfATopClockNamesTheRestAfterItsHead) {
    Load("WIRE\tu1\tclk\ttop\tclk\tclk\n"
         "WIRE\tu1\tclk\tu2\tclk\tclk\n");
    DeleteWire(m, "top", "clk", "u1", "clk");
    EXPECT_EQ(Wires(), Lines{"u1 clk u2 clk Wire_u1_clk"});
    EXPECT_TRUE(Sound());
    EXPECT_TRUE(LogLines().empty());
}

TEST_F(Wiring, DeletingAWireTakesAFreeNameWhenTheHeadsNameIsTaken) {
    Load("WIRE\tu1\tclk\ttop\tclk\tclk\n"
         "WIRE\tu1\tclk\tu2\tclk\tclk\n"
         "WIRE\tu2\tq\tu3\td\tWire_u1_clk\n");
    DeleteWire(m, "u1", "clk", "top", "clk");
    EXPECT_EQ(Wires(), (Lines{"u1 clk u2 clk W0", "u2 q u3 d Wire_u1_clk"}));
    EXPECT_TRUE(Sound());
}

TEST_F(Wiring, DeletingAModuleWireRenamesNothing) {
    Load("WIRE\tu1\tq\tu2\td\tnq\n"
         "WIRE\tu1\tq\tu3\td\tnq\n");
    DeleteWire(m, "u3", "d", "u1", "q");
    EXPECT_EQ(Wires(), Lines{"u1 q u2 d nq"});
    DeleteWire(m, "u3", "d", "u1", "q");
    EXPECT_EQ(Wires(), Lines{"u1 q u2 d nq"}) << "no such wire: nothing happens";
}

TEST_F(Wiring, AWireToACombinedTopBusIsNotDeleted) {
    Load("WIRE\tu2\tclk\ttop\tcb\tcb\n");
    DeleteWire(m, "u2", "clk", "top", "cb");
    EXPECT_EQ(Wires(), Lines{"u2 clk top cb cb"});
    EXPECT_EQ(LogLines(), Lines{std::string("Error: ") + CombinedBusWire});
}

TEST_F(Wiring, RenameNetChangesWholeNamesInWiresAndAssignments) {
    Load("WIRE\tu1\tq\tu2\td\td0\n"
         "WIRE\tu1\tq\tu3\td\td0\n"
         "WIRE\tu2\tq\tu3\tq\td00\n"
         "WIRE\tu2\tq\tu1\td\td0\t\t\t\t\t\t\tS\n"
         "ASSIGN\t d00 = d0 + d0 \n"
         "ASSIGN\t x = { d0 d0 } \n");
    EXPECT_TRUE(RenameNet(m, "d0", "d1", false));
    EXPECT_EQ(Wires(), (Lines{"u1 q u2 d d1", "u1 q u3 d d1", "u2 q u3 q d00"}));
    EXPECT_EQ(m.LineList[m.LineList.size() - 3][5], "d0") << "a suggestion keeps its name";
    EXPECT_EQ(Assigns(), (Lines{" d00 = d1 + d1 ", " x = { d1 d1 } "}));
    EXPECT_FALSE(RenameNet(m, "d1", "dout", false)) << "a top port's name";
    EXPECT_TRUE(RenameNet(m, "d1", "dout", true));
    EXPECT_EQ(Wires().front(), "u1 q u2 d dout");
}

TEST_F(Wiring, ModifyWireRenamesATopPortItsWiresAndItsNet) {
    Load("WIRE\tu1\tq\ttop\tdout\tdout\n"
         "WIRE\tu1\tq\tu2\td\tdout\n");
    const int k = m.FindPortQuiet("top", "dout");
    EXPECT_FALSE(ModifyWire(m, k, "din")) << "taken by another top port";
    EXPECT_TRUE(ModifyWire(m, k, "dout"));
    EXPECT_TRUE(ModifyWire(m, k, "data_out"));
    EXPECT_EQ(Wires(), (Lines{"u1 q top data_out data_out", "u1 q u2 d data_out"}));
    Rebuild();
    EXPECT_GE(m.FindPortQuiet("top", "data_out"), 0);
    EXPECT_TRUE(Sound());
}

TEST_F(Wiring, TwoSuggestionsForOneInputMakeOneDriver) {
    Load("WIRE\tu1\tq\tu3\td\ts1\t\t\t\t\t\t\tS\n"
         "WIRE\tu2\tq\tu3\td\ts2\t\t\t\t\t\t\tS\n");
    EXPECT_EQ(AcceptSuggestions(m), 1);
    EXPECT_EQ(Wires(), Lines{"u1 q u3 d q"});
    Rebuild();
    EXPECT_TRUE(m.SuggestList.empty()) << "the suggestions are dropped";
    EXPECT_TRUE(Sound());
}

TEST_F(Wiring, TwoSuggestionsFromOneSourceMakeOneNet) {
    Load("WIRE\tu1\tq\tu2\td\ts1\t\t\t\t\t\t\tS\n"
         "WIRE\tu1\tq\tu3\td\ts2\t\t\t\t\t\t\tS\n");
    EXPECT_EQ(AcceptSuggestions(m), 2);
    EXPECT_EQ(Wires(), (Lines{"u1 q u2 d q", "u1 q u3 d q"}));
    Rebuild();
    EXPECT_TRUE(Sound());
}

TEST_F(Wiring, DropSuggestionLinesKeepsEveryOtherLine) {
    Load("WIRE\tu1\tq\tu2\td\tnq\n"
         "WIRE\tu1\tq\tu3\td\ts2\t\t\t\t\t\t\tS\n");
    const std::size_t n = m.LineList.size();
    DropSuggestionLines(m);
    EXPECT_EQ(m.LineList.size(), n - 1);
    EXPECT_EQ(Wires(), Lines{"u1 q u2 d nq"});
    Rebuild();
    EXPECT_EQ(AcceptSuggestions(m), 0) << "nothing to accept";
}
