// Renaming top-level ports and nets: whatever name the port's net carries (its own, another top
// port's, a bus slice's), the port is renamed where it is named and every net keeps one name;
// the nets stay sound and Undo gives back the project text byte for byte.
#include "WiringFixture.h"

#include "editor/model/Nets.h"
#include "editor/model/TopLevel.h"

namespace {

// A top module with a plain input and output, a combined output bus, a combined input bus and a
// combined inout; u1 and u2 with ports for each.
const char* const RenameProject = "TOP\t\ttop\n"
                                  "INPUT\t7\t0\tdin\n"
                                  "OUTPUT\t7\t0\tdout\n"
                                  "OUTPUT\t15\t0\tbus_out\tY\n"
                                  "INPUT\t15\t0\tbus_in\tY\n"
                                  "BIDIR\t7\t0\tpad\tY\n"
                                  "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
                                  "INPUT\t7\t0\td\n"
                                  "OUTPUT\t7\t0\tq\n"
                                  "OUTPUT\t7\t0\tqa\n"
                                  "OUTPUT\t7\t0\tqb\n"
                                  "INPUT\t7\t0\tda\n"
                                  "INPUT\t7\t0\tdb\n"
                                  "INPUT\t7\t0\tpd\n"
                                  "OUTPUT\t7\t0\tpq\n"
                                  "OUTPUT\t\t\tpe\n"
                                  "MODULE\tsink\tu2\t/src/sink.v\tverilog\n"
                                  "INPUT\t7\t0\td\n"
                                  "OUTPUT\t7\t0\tq\n"
                                  "INPUT\t7\t0\te\n";

// The three combined ports as the combining edits leave them: a net per slice or role, named in
// the assignments.
const char* const CombinedWires = "WIRE\tu1\tqa\ttop\tbus_out\tW0\n"
                                  "WIRE\tu1\tqb\ttop\tbus_out\tW1\n"
                                  "WIRE\tu1\tda\ttop\tbus_in\tW2\n"
                                  "WIRE\tu1\tdb\ttop\tbus_in\tW3\n"
                                  "WIRE\tu1\tpd\ttop\tpad\tW5\n"
                                  "WIRE\tu1\tpq\ttop\tpad\tW6\n"
                                  "WIRE\tu1\tpe\ttop\tpad\tW4\n"
                                  "ASSIGN\t bus_out [15:8] = W0 \n"
                                  "ASSIGN\t bus_out [7:0] = W1 \n"
                                  "ASSIGN\t W2 = bus_in [15:8] \n"
                                  "ASSIGN\t W3 = bus_in [7:0] \n"
                                  "ASSIGN\t W5 = pad \n"
                                  "ASSIGN\t pad = ( W4 ==1'b0)? 8'bz: W6 \n";

class Renames : public Wiring {
protected:
    void SetUp() override { LoadText(std::string(RenameProject) + CombinedWires); }

    // The top port's line after the edit, fields 0 to 4.
    std::string TopPortLine(const std::string& name) {
        for (const std::string& line : Text())
            if (line.find("|" + name + "|") != std::string::npos || line.ends_with("|" + name))
                return line;
        return "";
    }
};

} // namespace

// Regression: a top port whose net carried another top port's name (as mapping a port of that
// net leaves it) took the new name on its own wire only, so its head headed two nets.
TEST_F(Renames, ATopPortOnANetNamedAfterAnotherTopPortKeepsTheNetWhole) {
    LoadText(std::string(RenameProject) + "WIRE\tu1\tq\tu2\td\tdout\n"
                                          "WIRE\tu1\tq\ttop\tdout\tdout\n");
    m.TopNameRule = "%P";
    m.TakeUndoSnapshot();
    ASSERT_TRUE(MapPortToTop(m, P("u1", "q"), m.FirstMduLine, "", true));
    EXPECT_EQ(Wires(), (Lines{"u1 q u2 d q", "u1 q top dout q", "u1 q top q q"}))
        << "the mapping names the net after the new port";
    EXPECT_TRUE(Sound());
    Rebuild();

    const std::string before = ProjectText();
    m.TakeUndoSnapshot();
    ASSERT_TRUE(ModifyWire(m, m.FindPortQuiet("top", "dout"), "dout2"));
    EXPECT_TRUE(Sound());
    EXPECT_EQ(Text(), (Lines{"TOP||top",
                             "INPUT|7|0|din",
                             "OUTPUT|7|0|dout2",
                             "OUTPUT|15|0|bus_out|Y",
                             "INPUT|15|0|bus_in|Y",
                             "BIDIR|7|0|pad|Y",
                             "OUTPUT|7|0|q",
                             "MODULE|core|u1|/src/core.v|verilog",
                             "INPUT|7|0|d",
                             "OUTPUT|7|0|q",
                             "OUTPUT|7|0|qa",
                             "OUTPUT|7|0|qb",
                             "INPUT|7|0|da",
                             "INPUT|7|0|db",
                             "INPUT|7|0|pd",
                             "OUTPUT|7|0|pq",
                             "OUTPUT|||pe",
                             "MODULE|sink|u2|/src/sink.v|verilog",
                             "INPUT|7|0|d",
                             "OUTPUT|7|0|q",
                             "INPUT|7|0|e",
                             "WIRE|u1|q|u2|d|q",
                             "WIRE|u1|q|top|dout2|q",
                             "WIRE|u1|q|top|q|q"}));
    EXPECT_TRUE(LogLines().empty());
    Rebuild();
    EXPECT_TRUE(Sound());
    EXPECT_FALSE(P("top", "dout2").Lone);
    ExpectUndoRestores(before);
}

// Regression: renaming a combined bus gave every slice wire the bus's name, so its assignments
// named slice nets that were gone.
TEST_F(Renames, ACombinedBusIsRenamedInItsLineAndAssignmentsAndItsSlicesKeepTheirNets) {
    const std::string before = ProjectText();
    m.TakeUndoSnapshot();
    ASSERT_TRUE(ModifyWire(m, m.FindPortQuiet("top", "bus_out"), "bus2"));
    EXPECT_TRUE(Sound());
    const Lines text = Text();
    const Lines tail(text.end() - 13, text.end());
    EXPECT_EQ(
        tail,
        (Lines{"WIRE|u1|qa|top|bus2|W0", "WIRE|u1|qb|top|bus2|W1", "WIRE|u1|da|top|bus_in|W2",
               "WIRE|u1|db|top|bus_in|W3", "WIRE|u1|pd|top|pad|W5", "WIRE|u1|pq|top|pad|W6",
               "WIRE|u1|pe|top|pad|W4", "ASSIGN| bus2 [15:8] = W0 ", "ASSIGN| bus2 [7:0] = W1 ",
               "ASSIGN| W2 = bus_in [15:8] ", "ASSIGN| W3 = bus_in [7:0] ", "ASSIGN| W5 = pad ",
               "ASSIGN| pad = ( W4 ==1'b0)? 8'bz: W6 "}));
    EXPECT_EQ(text[3], "OUTPUT|15|0|bus2|Y");
    Rebuild();
    EXPECT_TRUE(P("top", "bus2").Combined);
    EXPECT_TRUE(Sound());
    ExpectUndoRestores(before);
}

namespace {

struct RenameCase {
    const char* name;
    const char* wires; // lines after the project's own
    const char* port;  // the top port renamed
    const char* to;
    Lines wiresAfter;
    Lines assignsAfter;
};

const RenameCase RenameCases[] = {
    {"a port whose net carries its own name",
     "WIRE\tu1\tq\ttop\tdout\tdout\n"
     "WIRE\tu1\tq\tu2\td\tdout\n"
     "ASSIGN\t dout = din \n",
     "dout", "data_out", Lines{"u1 q top data_out data_out", "u1 q u2 d data_out"},
     Lines{" data_out = din "}},
    {"a port whose net reaches another top port",
     "WIRE\tu2\tq\ttop\tdout\tdout\n"
     "WIRE\tu2\tq\tu1\td\tdout\n"
     "WIRE\tu2\tq\ttop\tdin\tdout\n",
     "dout", "o", Lines{"u2 q top o o", "u2 q u1 d o", "u2 q top din o"}, Lines{}},
    {"a net name carried by two heads",
     "WIRE\tu1\tq\ttop\tdout\tdout\n"
     "WIRE\tu2\tq\tu1\td\tdout\n",
     "dout", "o", Lines{"u1 q top o o", "u2 q u1 d o"}, Lines{}},
    {"a port whose net carries a free name",
     "WIRE\tu1\tq\ttop\tdout\tWire_u1_q\n"
     "WIRE\tu1\tq\tu2\td\tWire_u1_q\n",
     "dout", "o", Lines{"u1 q top o Wire_u1_q", "u1 q u2 d Wire_u1_q"}, Lines{}},
    {"an input bus", CombinedWires, "bus_in", "bi",
     Lines{"u1 qa top bus_out W0", "u1 qb top bus_out W1", "u1 da top bi W2", "u1 db top bi W3",
           "u1 pd top pad W5", "u1 pq top pad W6", "u1 pe top pad W4"},
     Lines{" bus_out [15:8] = W0 ", " bus_out [7:0] = W1 ", " W2 = bi [15:8] ", " W3 = bi [7:0] ",
           " W5 = pad ", " pad = ( W4 ==1'b0)? 8'bz: W6 "}},
    {"a combined inout", CombinedWires, "pad", "io",
     Lines{"u1 qa top bus_out W0", "u1 qb top bus_out W1", "u1 da top bus_in W2",
           "u1 db top bus_in W3", "u1 pd top io W5", "u1 pq top io W6", "u1 pe top io W4"},
     Lines{" bus_out [15:8] = W0 ", " bus_out [7:0] = W1 ", " W2 = bus_in [15:8] ",
           " W3 = bus_in [7:0] ", " W5 = io ", " io = ( W4 ==1'b0)? 8'bz: W6 "}},
    {"a port without wires", "", "din", "i", Lines{}, Lines{}},
};

} // namespace

class TopPortRenames : public Renames, public ::testing::WithParamInterface<RenameCase> {};

TEST_P(TopPortRenames, RenameThePortWhereItIsNamedAndKeepEachNetOneName) {
    const RenameCase& c = GetParam();
    LoadText(std::string(RenameProject) + c.wires);
    const std::string before = ProjectText();
    const std::string oldLine = TopPortLine(c.port);
    m.TakeUndoSnapshot();
    ASSERT_TRUE(ModifyWire(m, m.FindPortQuiet("top", c.port), c.to));
    EXPECT_TRUE(Sound());
    EXPECT_EQ(Wires(), c.wiresAfter);
    EXPECT_EQ(Assigns(), c.assignsAfter);
    EXPECT_TRUE(LogLines().empty());
    Rebuild();
    EXPECT_EQ(m.FindPortQuiet("top", c.port), -1);
    EXPECT_GE(m.FindPortQuiet("top", c.to), 0);
    EXPECT_TRUE(Sound());
    std::string expectedLine = oldLine;
    expectedLine.replace(expectedLine.find(c.port), std::string(c.port).size(), c.to);
    EXPECT_EQ(TopPortLine(c.to), expectedLine);
    ExpectUndoRestores(before);
}

INSTANTIATE_TEST_SUITE_P(Nets, TopPortRenames, ::testing::ValuesIn(RenameCases), CaseName());

TEST_F(Renames, ARenameToANameInUseChangesNothing) {
    const std::string before = ProjectText();
    for (const char* taken : {"din", "W0", "pad"}) {
        EXPECT_FALSE(ModifyWire(m, m.FindPortQuiet("top", "bus_out"), taken)) << taken;
        EXPECT_EQ(ProjectText(), before) << taken;
    }
    EXPECT_TRUE(ModifyWire(m, m.FindPortQuiet("top", "bus_out"), "bus_out")) << "its own name";
    EXPECT_EQ(ProjectText(), before);
}

TEST_F(Renames, RenamingASliceNetRenamesItInTheBusAssignment) {
    const std::string before = ProjectText();
    m.TakeUndoSnapshot();
    ASSERT_TRUE(RenameNet(m, "W0", "hi_byte", false));
    EXPECT_TRUE(Sound());
    EXPECT_EQ(Wires().front(), "u1 qa top bus_out hi_byte");
    EXPECT_EQ(Assigns().front(), " bus_out [15:8] = hi_byte ");
    EXPECT_FALSE(RenameNet(m, "W1", "bus_out", false)) << "the bus's own name";
    EXPECT_FALSE(RenameNet(m, "W1", "W2", false)) << "another slice's net";
    Rebuild();
    EXPECT_TRUE(Sound());
    ExpectUndoRestores(before);
}

TEST_F(Renames, ARenamedInoutKeepsItsTriStateAndItsEnableToggle) {
    ASSERT_TRUE(ModifyWire(m, m.FindPortQuiet("top", "pad"), "io"));
    Rebuild();
    bool wasOne = true;
    ASSERT_TRUE(ToggleOutputEnable(m, "io", wasOne, true));
    EXPECT_FALSE(wasOne);
    EXPECT_EQ(Assigns().back(), " io = ( W4 ==1'b1)? 8'bz: W6 ");
    EXPECT_FALSE(ToggleOutputEnable(m, "pad", wasOne, false)) << "the old name is gone";
    EXPECT_TRUE(Sound());
}
