// Mapping module ports to the top level, the head of a net, the output-enable toggle, isolating a
// port and deleting an instance.
#include "WiringFixture.h"

#include "editor/model/Nets.h"
#include "editor/model/TopLevel.h"

TEST_F(Wiring, MappingALoneOutputAddsATopPortAndItsWire) {
    const int row = m.FirstMduLine;
    ASSERT_TRUE(MapPortToTop(m, P("u1", "q"), row, "", true));
    EXPECT_EQ(StoredText(m.LineList)[row], "OUTPUT\t7\t0\tq\t\t\t\t");
    EXPECT_EQ(Wires(), Lines{"u1 q top q q"});
    Rebuild();
    EXPECT_FALSE(P("top", "q").Lone);
    EXPECT_TRUE(Sound());
}

namespace {

struct TopNameCase {
    const char* name;
    const char* rule;
    const char* inst;
    const char* portName;
    const char* topName; // empty: refused
    const char* log;     // the one log line, or empty
};

const TopNameCase TopNameCases[] = {
    {"the port's name", "%P", "u1", "o_valid", "o_valid", ""},
    {"instance and port", "%M_%P", "u2", "clk", "u2_clk", ""},
    {"an index escaped", "%P[0]", "u1", "irq_n", "\\irq_n[0] ",
     "Warning: The top port name\"irq_n[0]\" is changed to \"\\irq_n[0] \"."},
    {"a last blank escaped", "%P ", "u1", "irq_n", "\\irq_n  ",
     "Warning: The top port name\"irq_n \" is changed to \"\\irq_n  \"."},
    {"already escaped", "\\%P ", "u1", "irq_n", "\\irq_n ", ""},
    {"an inner blank", "%P x", "u1", "irq_n", "",
     "Error: The port name \"irq_n x\" is illegal. Top port name can't have space before the "
     "last character."},
    {"empty", "", "u1", "irq_n", "", "Error: Top port name can't be empty."},
    {"taken by a top port", "%P", "u1", "clk", "", "Warning: Can't add. clk already exists."},
};

} // namespace

class TopPortNames : public Wiring, public ::testing::WithParamInterface<TopNameCase> {};

TEST_P(TopPortNames, FollowTheTopNameRule) {
    const TopNameCase& c = GetParam();
    m.StrictRule = false;
    m.TopNameRule = c.rule;
    const Lines before = StoredText(m.LineList);
    std::string status;
    const bool mapped = MapPortToTop(m, P(c.inst, c.portName), m.FirstMduLine, "", true, &status);
    EXPECT_EQ(mapped, *c.topName != 0);
    if (*c.log) {
        EXPECT_EQ(LogLines(), Lines{c.log});
    } else {
        EXPECT_TRUE(LogLines().empty());
    }
    if (!mapped) {
        EXPECT_EQ(StoredText(m.LineList), before);
        return;
    }
    EXPECT_EQ(m.LineList[m.FirstMduLine][3], c.topName);
    EXPECT_EQ(Wires(), Lines{std::string(c.inst) + " " + c.portName + " top " + c.topName + " " +
                             c.topName});
}

INSTANTIATE_TEST_SUITE_P(TopLevel, TopPortNames, ::testing::ValuesIn(TopNameCases), CaseName());

// Regression: a port whose name was escaped already was escaped again, so its top port got
// another name in Verilog and one VHDL refuses.
TEST_F(Wiring, APortNamedEscapedKeepsItsNameOnTheTop) {
    const struct {
        const char* rule;
        const char* portName;
        const char* topName;
    } cases[] = {
        {"%P", "\\clk.in", "\\clk.in "},        // Verilog, read without its closing blank
        {"%P", "\\Data.Out\\", "\\Data.Out\\"}, // a VHDL extended identifier
        {"%P", "\\ready ", "\\ready "},
        {"%P_o", "\\clk.in", "\\clk.in_o "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.rule) + " " + c.portName);
        Load("MODULE\tnet\tu4\t/src/net.v\tverilog\n"
             "OUTPUT\t\t\t\\clk.in\nOUTPUT\t1\t0\t\\Data.Out\\\nOUTPUT\t\t\t\\ready \n");
        m.TopNameRule = c.rule;
        ASSERT_TRUE(MapPortToTop(m, P("u4", c.portName), m.FirstMduLine, "", false));
        EXPECT_EQ(m.LineList[m.FirstMduLine][3], c.topName);
        EXPECT_TRUE(LogLines().empty()) << LogLines().front();
        EXPECT_EQ(Wires().back(),
                  std::string("u4 ") + c.portName + " top " + c.topName + " " + c.topName);
    }
}

TEST_F(Wiring, ATakenTopNameIsShownInTheStatusBar) {
    std::string status;
    EXPECT_FALSE(MapPortToTop(m, P("u1", "clk"), m.FirstMduLine, "", true, &status));
    EXPECT_EQ(status, "clk already exists.");
}

TEST_F(Wiring, APortOnANetNamedLikeItsNewTopPortCanBeMapped) {
    Load("WIRE\tu1\tq\tu2\td\tq\n");
    ASSERT_TRUE(MapPortToTop(m, P("u1", "q"), m.FirstMduLine, "", true)) << "q is u1.q's own net";
    EXPECT_EQ(Wires(), (Lines{"u1 q u2 d q", "u1 q top q q"}));
    Rebuild();
    EXPECT_TRUE(Sound());
    EXPECT_FALSE(MapPortToTop(m, P("u2", "q"), m.FirstMduLine, "", true)) << "q is a top port now";
    EXPECT_EQ(LogLines(), Lines{"Warning: Can't add. q already exists."});
    Rebuild();
    EXPECT_TRUE(Sound());
}

TEST_F(Wiring, MappingRefusesAWidthThatIsNotNumericAndATopPort) {
    EXPECT_FALSE(MapPortToTop(m, P("u1", "wide"), m.FirstMduLine, "", true));
    EXPECT_FALSE(MapPortToTop(m, P("top", "din"), m.FirstMduLine, "", true));
    EXPECT_EQ(LogLines(), (Lines{"Error: Can not map to top port: wide (u1).",
                                 "Error: Can not map to top port: din (top)."}));
}

TEST_F(Wiring, ADrivenInputIsMappedOnlyToAnExistingTopPort) {
    Load("WIRE\tu1\tq\tu2\td\tnq\n");
    EXPECT_FALSE(MapPortToTop(m, P("u2", "d"), m.FirstMduLine, "", true));
    EXPECT_EQ(LogLines(), Lines{"Error: Can not map to top port: d (u2). Driver already exists."});
    ASSERT_TRUE(MapPortToTop(m, P("u2", "d"), 0, "dout", false));
    EXPECT_EQ(Wires(), (Lines{"u1 q u2 d dout", "u1 q top dout dout"}));
}

TEST_F(Wiring, AMappedVariantPortKeepsItsTopPortThroughTheRebuild) {
    ASSERT_TRUE(MapPortToTop(m, P("u1", "any"), m.FirstMduLine, "", true));
    EXPECT_EQ(m.LineList[m.FirstMduLine][0], "KVAR");
    Rebuild();
    const port& top = P("top", "any");
    EXPECT_EQ(top.Kind, 'V');
    EXPECT_FALSE(top.Lone) << "the wire reaches a port";
    EXPECT_TRUE(Sound());
}

TEST_F(Wiring, AVariantTopPortTakesTheDirectionAndWidthOfWhatIsMappedToIt) {
    ASSERT_TRUE(MapPortToTop(m, P("u1", "q"), 0, "v", true));
    Rebuild();
    const port& v = P("top", "v");
    EXPECT_EQ(v.Kind, 'O');
    EXPECT_EQ(v.WidthText, "7:0");
    EXPECT_EQ(Wires(), Lines{"u1 q top v v"});
}

TEST_F(Wiring, MappingANetToATopPortOnANetJoinsTheNets) {
    Load("WIRE\tu1\tq\ttop\tdout\tdout\n"
         "WIRE\tu2\tq\tu3\td\tn2\n");
    ASSERT_TRUE(MapPortToTop(m, P("u3", "d"), 0, "dout", false));
    EXPECT_EQ(Wires(), (Lines{"u1 q top dout dout", "u1 q u3 d dout", "u1 q u2 q dout"}));
    // (Two outputs end on one net here: a named mapping does not test drivers.)
}

TEST_F(Wiring, AddingAPortToATopPortsNetKeepsTheNetsName) {
    Load("WIRE\tu1\tq\ttop\tdout\tnq\n");
    ASSERT_TRUE(MapPortToTop(m, P("u2", "d"), 0, "dout", false));
    EXPECT_EQ(Wires(), (Lines{"u1 q top dout nq", "u1 q u2 d nq"}));
    Rebuild();
    EXPECT_TRUE(Sound());
}

TEST_F(Wiring, SetAsMainPortReheadsTheNetAndRenamesAnAutomaticName) {
    Load("WIRE\tu1\tq\tu2\td\tWire_u1_q\n"
         "WIRE\tu1\tq\tu3\td\tWire_u1_q\n");
    ASSERT_TRUE(SetMainPort(m, P("u2", "d")));
    EXPECT_EQ(Wires(), (Lines{"u2 d u1 q Wire_u2_d", "u2 d u3 d Wire_u2_d"}));
    Rebuild();
    EXPECT_TRUE(SetMainPort(m, P("u2", "d"))) << "already the head";
    EXPECT_FALSE(SetMainPort(m, P("u1", "clk"))) << "on no net";
    EXPECT_TRUE(Sound());
}

TEST_F(Wiring, SetAsMainPortKeepsANameOfTheUsersAndRefusesATopPort) {
    Load("WIRE\tu1\tq\tu2\td\tdata\n"
         "WIRE\tu2\tclk\ttop\tclk\tclk\n");
    ASSERT_TRUE(SetMainPort(m, P("u2", "d")));
    EXPECT_EQ(Wires().front(), "u2 d u1 q data");
    EXPECT_FALSE(SetMainPort(m, P("top", "clk")));
}

TEST_F(Wiring, ToggleOutputEnableFlipsTheTestAndTwiceRestoresIt) {
    const std::string text = " io = ( W1 ==1'b1)? W3 : 1'bz ";
    Load("ASSIGN\t other = ( W1 \n"
         "ASSIGN\t" +
         text + "\n");
    bool wasOne = false;
    ASSERT_TRUE(ToggleOutputEnable(m, "io", wasOne, false));
    EXPECT_TRUE(wasOne);
    EXPECT_EQ(Assigns()[1], text) << "asking changes nothing";
    ASSERT_TRUE(ToggleOutputEnable(m, "io", wasOne, true));
    EXPECT_EQ(Assigns()[1], " io = ( W1 ==1'b0)? W3 : 1'bz ");
    ASSERT_TRUE(ToggleOutputEnable(m, "io", wasOne, true));
    EXPECT_FALSE(wasOne);
    EXPECT_EQ(Assigns()[1], text);
    EXPECT_FALSE(ToggleOutputEnable(m, "nothing", wasOne, true));
}

TEST_F(Wiring, ToggleOutputEnableWarnsOfAnAssignmentWithoutATest) {
    Load("ASSIGN\t io = ( W1 )? W3 \n");
    bool wasOne = true;
    EXPECT_FALSE(ToggleOutputEnable(m, "io", wasOne, true));
    EXPECT_EQ(LogLines(), Lines{"Warning: Found illegal assignment."});
}

TEST_F(Wiring, IsolatingATopPortRenamesWhatRemainsAndDropsItsAssignments) {
    Load("WIRE\tu1\tq\ttop\tdout\tW1\n"
         "WIRE\tu1\tq\tu2\td\tW1\n"
         "ASSIGN\t dout = W1 \n"
         "ASSIGN\t y = doutx \n");
    ASSERT_TRUE(IsolatePort(m, P("top", "dout"), false));
    EXPECT_EQ(Wires(), Lines{"u1 q u2 d Wire_u1_q"});
    EXPECT_EQ(Assigns(), Lines{" y = doutx "});
    EXPECT_GE(m.GetPortLineField("top", "dout", 0).size(), 1u) << "the port line stays";
    ASSERT_TRUE(IsolatePort(m, P("top", "dout"), true));
    Rebuild();
    EXPECT_LT(m.FindPortQuiet("top", "dout"), 0);
}

TEST_F(Wiring, IsolatingAModulePortKeepsTheAssignmentsOfATopBusOfTheSameName) {
    Load("WIRE\tu1\td\ttop\tdin\tdin\n"
         "ASSIGN\t W0 = d [3:0] \n");
    ASSERT_TRUE(IsolatePort(m, P("u1", "d"), false));
    EXPECT_TRUE(Wires().empty());
    EXPECT_EQ(Assigns(), Lines{" W0 = d [3:0] "});
}

TEST_F(Wiring, APortWiredToACombinedBusIsNotDeleted) {
    Load("WIRE\tu2\tclk\ttop\tcb\tcb\n"
         "WIRE\tu2\tclk\tu3\tclk\tcb\n");
    EXPECT_FALSE(IsolatePort(m, P("u2", "clk"), true));
    EXPECT_EQ(Wires(), Lines{"u2 clk top cb cb"}) << "the other wire went, the bus's stayed";
    EXPECT_EQ(m.GetPortLineField("u2", "clk", 0), "INPUT") << "its line stays for the wire";
    EXPECT_EQ(LogLines(), Lines{std::string("Error: ") + CombinedBusWire});
    Rebuild();
    EXPECT_TRUE(Sound());
}

TEST_F(Wiring, IsolatingACombinedTopBusClearsItsMarkOnce) {
    Load("WIRE\tu2\tclk\ttop\tcb\tW1\n"
         "WIRE\tu3\tclk\ttop\tcb\tW2\n"
         "ASSIGN\t W1 = cb [1:1] \n"
         "ASSIGN\t W2 = cb [0:0] \n");
    ASSERT_TRUE(IsolatePort(m, P("top", "cb"), false));
    EXPECT_TRUE(Wires().empty());
    EXPECT_TRUE(Assigns().empty());
    EXPECT_EQ(m.GetPortLineField("top", "cb", 4), "");
    EXPECT_TRUE(LogLines().empty());
}

TEST_F(Wiring, DeleteInstanceDeletesOneModuleBlockAndNeverTheTop) {
    Load();
    const Lines before = StoredText(m.LineList);
    DeleteInstance(m, m.MduList[m.TopMdu]);
    EXPECT_EQ(StoredText(m.LineList), before);
    DeleteInstance(m, m.MduList[m.FindInstance("u2")]);
    Rebuild();
    EXPECT_LT(m.FindInstance("u2"), 0);
    EXPECT_EQ(m.MduList.size(), 3u);
    EXPECT_EQ(m.PortList[m.MduList[m.FindInstance("u3")].FirstPort].OwnerName, "u3");
    EXPECT_EQ(m.MduList[m.FindInstance("u1")].LastPort - m.MduList[m.FindInstance("u1")].FirstPort,
              7)
        << "u1 keeps its eight ports";
}

TEST_F(Wiring, DeleteInstanceTakesTheDisabledLinesOfItsBlock) {
    Load();
    // A port line disabled inside u2's block: the ports after it are u2's too.
    const int u2 = m.MduList[m.FindInstance("u2")].LineIndex;
    m.LineList[u2 + 2][0] = "#INPUT";
    m.LineList[u2 + 2][FieldKind].clear();
    DeleteInstance(m, m.MduList[m.FindInstance("u2")]);
    Rebuild();
    EXPECT_EQ(m.MduList[m.FindInstance("u1")].LastPort - m.MduList[m.FindInstance("u1")].FirstPort,
              7)
        << "no port of u2 passed to u1";
}
