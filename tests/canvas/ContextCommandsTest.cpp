// The context menu's dispatcher on small projects: the exact lines after each command, Undo
// giving back the lines before it, and the commands that change nothing leaving the undo copy
// and the modified flag alone.
#include "MenuFixture.h"
#include "support/FileFixtures.h"

#include "editor/canvas/PropertiesPresenter.h"
#include "editor/model/Documents.h"

namespace {

const char* const ThreeOutputs = "TOP\t\ttop\n"
                                 "OUTPUT\t7\t0\ta\n"
                                 "OUTPUT\t7\t0\tb\n"
                                 "OUTPUT\t7\t0\tc\n"
                                 "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
                                 "OUTPUT\t7\t0\tqa\n"
                                 "OUTPUT\t7\t0\tqb\n"
                                 "OUTPUT\t7\t0\tqc\n"
                                 "WIRE\tu1\tqa\ttop\ta\ta\n"
                                 "WIRE\tu1\tqb\ttop\tb\tb\n"
                                 "WIRE\tu1\tqc\ttop\tc\tc\n";

DialogStep<CombineDialog> PressOk() {
    return [](CombineDialog&) { return true; };
}

} // namespace

TEST_F(Menu, CombiningThreeBytesMakesOneBusWithASliceAndANetForEach) {
    LoadText(ThreeOutputs);
    const Lines before = StoredText(m.LineList);
    Select({{"top", "a"}, {"top", "b"}, {"top", "c"}});
    OnPort("top", "a");
    dialogs.Comb = {PressOk()};
    Choose("Combine...");
    ASSERT_EQ(dialogs.CombShown.size(), 1u);
    EXPECT_EQ(dialogs.CombShown[0][0].Msb, 23);
    EXPECT_EQ(dialogs.CombShown[0][2].Lsb, 0);
    EXPECT_EQ(Text(),
              (Lines{"TOP||top", "OUTPUT|23|0|bus_out|Y", "MODULE|core|u1|/src/core.v|verilog",
                     "OUTPUT|7|0|qa", "OUTPUT|7|0|qb", "OUTPUT|7|0|qc", "WIRE|u1|qa|top|bus_out|W0",
                     "WIRE|u1|qb|top|bus_out|W1", "WIRE|u1|qc|top|bus_out|W2",
                     "ASSIGN| bus_out [23:16] = W0 ", "ASSIGN| bus_out [15:8] = W1 ",
                     "ASSIGN| bus_out [7:0] = W2 "}));
    EXPECT_TRUE(m.SelList.empty());
    EXPECT_TRUE(P("top", "bus_out").Combined);
    ExpectUndoGivesBack(before);
}

TEST_F(Menu, TheBusTakesItsBitsInTheOrderTheRowsWereDraggedTo) {
    LoadText(ThreeOutputs);
    Select({{"top", "a"}, {"top", "b"}, {"top", "c"}});
    OnPort("top", "b");
    dialogs.Comb = {[](CombineDialog& d) {
        d.StringGrid1RowMoved(3, 1);
        d.LabeledEdit1 = "q bus";
        return true;
    }};
    Choose("Combine...");
    EXPECT_EQ(Assigns(), (Lines{" qbus [23:16] = W0 ", " qbus [15:8] = W1 ", " qbus [7:0] = W2 "}));
    EXPECT_EQ(Wires(), (Lines{"u1 qa top qbus W1", "u1 qb top qbus W2", "u1 qc top qbus W0"}));
    EXPECT_TRUE(Sound());
}

TEST_F(Menu, AnInputBusDrivesEachNetFromItsSlice) {
    LoadText("TOP\t\ttop\nINPUT\t3\t0\ti\nINPUT\t\t\tj\n"
             "MODULE\tcore\tu1\t/src/core.v\tverilog\nINPUT\t3\t0\td\nINPUT\t\t\te\n"
             "WIRE\tu1\td\ttop\ti\ti\nWIRE\tu1\te\ttop\tj\tj\n");
    const Lines before = StoredText(m.LineList);
    Select({{"top", "i"}, {"top", "j"}});
    OnPort("top", "j");
    dialogs.Comb = {PressOk()};
    Choose("Combine...");
    EXPECT_EQ(Text(), (Lines{"TOP||top", "INPUT|4|0|bus_in|Y", "MODULE|core|u1|/src/core.v|verilog",
                             "INPUT|3|0|d", "INPUT|||e", "WIRE|u1|d|top|bus_in|W0",
                             "WIRE|u1|e|top|bus_in|W1", "ASSIGN| W0 = bus_in [4:1] ",
                             "ASSIGN| W1 = bus_in [0:0] "}));
    ExpectUndoGivesBack(before);
}

TEST_F(Menu, ABusNamedLikeAFreeWireNameLeavesThatNameToTheBus) {
    LoadText(ThreeOutputs);
    Select({{"top", "a"}, {"top", "b"}});
    OnPort("top", "a");
    dialogs.Comb = {[](CombineDialog& d) {
        d.LabeledEdit1 = "W1";
        return true;
    }};
    Choose("Combine...");
    EXPECT_EQ(Wires(), (Lines{"u1 qa top W1 W0", "u1 qb top W1 W2", "u1 qc top c c"}));
    EXPECT_TRUE(Sound());
}

TEST_F(Menu, ARefusedBusNameKeepsTheDialogOpenAndACancelChangesNothing) {
    LoadText(ThreeOutputs);
    Select({{"top", "a"}, {"top", "b"}});
    OnPort("top", "a");
    prompt.ExpectMessage("The bus name already exists.")
        .ExpectMessage("Top port name can't be empty.");
    dialogs.Comb = {[](CombineDialog& d) {
                        d.LabeledEdit1 = "b ";
                        return true;
                    },
                    [](CombineDialog& d) {
                        d.LabeledEdit1 = " \t ";
                        return true;
                    },
                    Cancel<CombineDialog>()};
    const Lines before = StoredText(m.LineList);
    const int rebuildsBefore = rebuilds;
    Choose("Combine...");
    ExpectUntouched(before);
    EXPECT_EQ(rebuilds, rebuildsBefore + 1) << "a cancel still clears and rebuilds";
    EXPECT_TRUE(m.SelList.empty());
}

// Regression: two ports on one net were renamed one after the other, so the first slice's
// assignment named a net that the second renaming had taken away.
TEST_F(Menu, PortsOnOneNetCombineIntoSlicesDrivenByThatNet) {
    LoadText("TOP\t\ttop\nOUTPUT\t7\t0\ta\nOUTPUT\t7\t0\tb\nOUTPUT\t7\t0\tc\n"
             "MODULE\tcore\tu1\t/src/core.v\tverilog\nOUTPUT\t7\t0\tq\nOUTPUT\t7\t0\tqc\n"
             "WIRE\tu1\tq\ttop\ta\tb\nWIRE\tu1\tq\ttop\tb\tb\nWIRE\tu1\tqc\ttop\tc\tc\n");
    const Lines before = StoredText(m.LineList);
    Select({{"top", "a"}, {"top", "b"}, {"top", "c"}});
    OnPort("top", "a");
    dialogs.Comb = {PressOk()};
    Choose("Combine...");
    EXPECT_EQ(Wires(),
              (Lines{"u1 q top bus_out W0", "u1 q top bus_out W0", "u1 qc top bus_out W1"}));
    EXPECT_EQ(Assigns(),
              (Lines{" bus_out [23:16] = W0 ", " bus_out [15:8] = W0 ", " bus_out [7:0] = W1 "}));
    ExpectUndoGivesBack(before);
}

TEST_F(Menu, ABusRenamedInThePropertiesWindowKeepsItsSliceNets) {
    LoadText(ThreeOutputs);
    Select({{"top", "a"}, {"top", "b"}, {"top", "c"}});
    OnPort("top", "a");
    dialogs.Comb = {PressOk()};
    Choose("Combine...");
    WidthConfirmation widths{m, prompt};
    PropertiesPresenter page{m, prompt, widths};
    c.Properties = &page;
    page.SimulateCanvasClick = [this](int x, int y) { c.SimulateCanvasClick(x, y); };
    page.UpdatePicture = host.Rebuild;
    Click(At("top", "bus_out"));
    EXPECT_FALSE(page.WireVisible);
    const std::string before = ProjectText();
    page.NamesEdited(page.LabeledEdit1, "q_bus");
    page.Btn1Click();
    EXPECT_EQ(Text(), (Lines{"TOP||top", "OUTPUT|23|0|q_bus|Y",
                             "MODULE|core|u1|/src/core.v|verilog", "OUTPUT|7|0|qa", "OUTPUT|7|0|qb",
                             "OUTPUT|7|0|qc", "WIRE|u1|qa|top|q_bus|W0", "WIRE|u1|qb|top|q_bus|W1",
                             "WIRE|u1|qc|top|q_bus|W2", "ASSIGN| q_bus [23:16] = W0 ",
                             "ASSIGN| q_bus [15:8] = W1 ", "ASSIGN| q_bus [7:0] = W2 "}));
    EXPECT_TRUE(Sound());
    EXPECT_EQ(page.CurPrtIdx, Index("top", "q_bus"));
    EXPECT_TRUE(P("top", "q_bus").Combined);
    ExpectUndoRestores(before);
}

TEST_F(Menu, CombiningVariantPortsIsAWrongPortTypeAndEndsWithoutRebuild) {
    LoadText("TOP\t\ttop\nKVAR\t\t\ta\nKVAR\t\t\tb\nMODULE\tcore\tu1\t/s.v\tverilog\n"
             "INPUT\t\t\tx\nINPUT\t\t\ty\nWIRE\tu1\tx\ttop\ta\ta\nWIRE\tu1\ty\ttop\tb\tb\n");
    Select({{"top", "a"}, {"top", "b"}});
    OnPort("top", "a");
    const Lines before = StoredText(m.LineList);
    const int rebuildsBefore = rebuilds;
    Choose("Combine...");
    EXPECT_EQ(LogLines(), Lines{"Error: Wrong port type."});
    EXPECT_EQ(rebuilds, rebuildsBefore);
    ExpectUntouched(before);
}

namespace {

// din, dout and oe wired to u1; dout's net is not named after the port.
std::string InoutProject(bool bytes) {
    const std::string w = bytes ? "\t7\t0\t" : "\t\t\t";
    return "TOP\t\ttop\nINPUT" + w + "din\nOUTPUT" + w + "dout\nOUTPUT\t\t\toe\n" +
           "MODULE\tcore\tu1\t/src/core.v\tverilog\nINPUT" + w + "d\nOUTPUT" + w +
           "q\nOUTPUT\t\t\tq_oe\n" +
           "WIRE\tu1\td\ttop\tdin\tdin\nWIRE\tu1\tq\ttop\tdout\tqnet\nWIRE\tu1\tq_"
           "oe\ttop\toe\toe\n";
}

} // namespace

TEST_F(Menu, CombiningToAnInoutDrivesItFromTheDataOutputUnderTheEnable) {
    LoadText(InoutProject(true));
    const Lines before = StoredText(m.LineList);
    Select({{"top", "din"}, {"top", "dout"}, {"top", "oe"}});
    OnPort("top", "oe");
    dialogs.Cinout = {[](CinoutDialog&) { return true; }};
    Choose("Combine to inout...");
    ASSERT_EQ(dialogs.CinoutShown.size(), 1u);
    EXPECT_EQ(dialogs.CinoutShown[0],
              (Lines{"assign iosig = (oe==1'b0)? 8'bz:dout;", "assign din = iosig;"}));
    EXPECT_EQ(Text(),
              (Lines{"TOP||top", "BIDIR|7|0|iosig|Y", "MODULE|core|u1|/src/core.v|verilog",
                     "INPUT|7|0|d", "OUTPUT|7|0|q", "OUTPUT|||q_oe", "WIRE|u1|d|top|iosig|W1",
                     "WIRE|u1|q|top|iosig|W2", "WIRE|u1|q_oe|top|iosig|W0", "ASSIGN| W1 = iosig ",
                     "ASSIGN| iosig = ( W0 ==1'b0)? 8'bz: W2 "}));
    ExpectUndoGivesBack(before);
}

// Regression: the enable's net was renamed after the data output had renamed it already, so
// the tri-state assignment named a net that no wire carried.
TEST_F(Menu, AnOutputAndEnableOnOneNetAreNamedAsThatOneNetInTheTriState) {
    LoadText("TOP\t\ttop\nINPUT\t\t\tdin\nOUTPUT\t\t\tdout\nOUTPUT\t\t\toe\n"
             "MODULE\tcore\tu1\t/src/core.v\tverilog\nINPUT\t\t\td\nOUTPUT\t\t\tq\n"
             "WIRE\tu1\td\ttop\tdin\tdin\nWIRE\tu1\tq\ttop\tdout\toe\n"
             "WIRE\tu1\tq\ttop\toe\toe\n");
    const Lines before = StoredText(m.LineList);
    Select({{"top", "din"}, {"top", "dout"}, {"top", "oe"}});
    OnPort("top", "din");
    dialogs.Cinout = {[](CinoutDialog&) { return true; }};
    Choose("Combine to inout...");
    EXPECT_EQ(Wires(), (Lines{"u1 d top iosig W1", "u1 q top iosig W2", "u1 q top iosig W2"}));
    EXPECT_EQ(Assigns(), (Lines{" W1 = iosig ", " iosig = ( W2 ==1'b0)? 1'bz: W2 "}));
    ExpectUndoGivesBack(before);
}

TEST_F(Menu, AOneBitInoutWithReverseEnableHasNoWidthAndFlipsItsEnable) {
    LoadText(InoutProject(false));
    Select({{"top", "din"}, {"top", "dout"}, {"top", "oe"}});
    OnPort("top", "din");
    dialogs.Cinout = {[](CinoutDialog& d) {
        d.CheckBox1 = true;
        d.CheckBox1Click();
        d.LabeledEdit1 = "pad ";
        d.LabeledEdit1Change();
        return true;
    }};
    Choose("Combine to inout...");
    EXPECT_EQ(Text()[1], "BIDIR|||pad|Y");
    EXPECT_EQ(Assigns(), (Lines{" W1 = pad ", " pad = ( W0 ==1'b1)? 1'bz: W2 "}));
    EXPECT_TRUE(Sound());
    // The combined inout's menu flips the enable's level and back.
    OnPort("top", "pad");
    EXPECT_EQ(menu.Items.back().Caption, "OutEn from 0 to 1");
    Choose("OutEn from 0 to 1");
    EXPECT_EQ(Assigns().back(), " pad = ( W0 ==1'b0)? 1'bz: W2 ");
    OnPort("top", "pad");
    Choose("OutEn from 1 to 0");
    EXPECT_EQ(Assigns().back(), " pad = ( W0 ==1'b1)? 1'bz: W2 ");
}

TEST_F(Menu, AnInoutNamedLikeTheFirstFreeWireNameLeavesThatNameToThePort) {
    LoadText(InoutProject(true));
    Select({{"top", "din"}, {"top", "dout"}, {"top", "oe"}});
    OnPort("top", "din");
    dialogs.Cinout = {[](CinoutDialog& d) {
        d.LabeledEdit1 = "W0";
        return true;
    }};
    Choose("Combine to inout...");
    EXPECT_EQ(Assigns(), (Lines{" W2 = W0 ", " W0 = ( W1 ==1'b0)? 8'bz: W3 "}));
    EXPECT_EQ(Wires(), (Lines{"u1 d top W0 W2", "u1 q top W0 W3", "u1 q_oe top W0 W1"}));
    EXPECT_TRUE(Sound());
}

TEST_F(Menu, ATakenInoutNameKeepsTheDialogOpen) {
    LoadText(InoutProject(true));
    Select({{"top", "din"}, {"top", "dout"}, {"top", "oe"}});
    OnPort("top", "din");
    prompt.ExpectMessage("The inout port name already exists.");
    dialogs.Cinout = {[](CinoutDialog& d) {
                          d.LabeledEdit1 = "dout";
                          return true;
                      },
                      Cancel<CinoutDialog>()};
    const Lines before = StoredText(m.LineList);
    Choose("Combine to inout...");
    ExpectUntouched(before);
}

namespace {

const char* const DuplicateProject = "TOP\t\ttop\n"
                                     "MODULE\tcore\tu_core_0\t/src/core.vhd\tvhdl\n"
                                     "PARAMETER\t\t\tW\t8\t\tK\tinteger\n"
                                     "BIDIR\t\t\tpad\n"
                                     "OUTPUT_B\t7\t0\tqb\n"
                                     "KVAR\t\t\tany\n"
                                     "INPUT\tNA\tNA\twide\t\tW-1\t0\n"
                                     "MODULE\tsink\tu2\t/src/sink.v\tverilog\n"
                                     "INPUT\t\t\tclk\n";

} // namespace

TEST_F(Menu, DuplicateCopiesTheInstanceWithItsParametersAndPortKeywords) {
    LoadText(DuplicateProject);
    const Lines before = StoredText(m.LineList);
    OnHeader("u_core_0");
    dialogs.Dup = {[](DupNameDialog&) { return true; }};
    Choose("Duplicate");
    EXPECT_EQ(dialogs.DupShown, Lines{"u_core_1"});
    EXPECT_EQ(
        Text(),
        (Lines{"TOP||top", "MODULE|core|u_core_0|/src/core.vhd|vhdl", "PARAMETER|||W|8||K|integer",
               "BIDIR|||pad", "OUTPUT_B|7|0|qb", "KVAR|||any", "INPUT|NA|NA|wide||W-1|0",
               "MODULE|core|u_core_1|/src/core.vhd|vhdl", "PARAMETER|||W|8||K|integer",
               "BIDIR|||pad", "OUTPUT_B|7|0|qb", "KVAR|||any", "INPUT|NA|NA|wide||W-1|0",
               "MODULE|sink|u2|/src/sink.v|verilog", "INPUT|||clk"}));
    EXPECT_EQ(P("u_core_1", "pad").Kind, 'B');
    EXPECT_EQ(P("u_core_1", "any").Kind, 'V');
    ExpectUndoable(before);
}

TEST_F(Menu, DuplicateAsksAgainForATakenOrIllegalNameAndTakesItWithoutBlanks) {
    LoadText(DuplicateProject);
    OnHeader("u2");
    prompt.ExpectMessage("Illegal instance name.")
        .ExpectMessage("Illegal instance name.")
        .ExpectMessage("Illegal instance name.");
    dialogs.Dup = {TypeName("u_core_0"), TypeName("1st"), TypeName(" \t"), TypeName("new one")};
    Choose("Duplicate");
    EXPECT_EQ(m.LineList[m.MduList[m.FindInstance("newone")].LineIndex][1], "sink");
    EXPECT_EQ(Keywords(m.LineList).size(), 11u);
}

TEST_F(Menu, ACancelledDuplicateLeavesTheProjectAndItsUndoAlone) {
    LoadText(DuplicateProject);
    OnPort("u2", "clk");
    Choose("Map to top"); // an edit whose undo must survive
    ASSERT_TRUE(m.UndoEnabled());
    const ProjectLines undo = m.UndoList;
    m.Modified = false;
    const Lines before = StoredText(m.LineList);
    const int rebuildsBefore = rebuilds;
    OnHeader("u2");
    dialogs.Dup = {Cancel<DupNameDialog>()};
    Choose("Duplicate");
    EXPECT_EQ(StoredText(m.LineList), before);
    EXPECT_EQ(m.UndoList, undo);
    EXPECT_FALSE(m.Modified);
    EXPECT_EQ(rebuilds, rebuildsBefore);
}

TEST_F(Menu, IsolatingAnInstanceRemovesEveryWireOfItsPorts) {
    Load("WIRE\tu1\tq\tu2\td\tnq\nWIRE\tu1\tq\tu3\td\tnq\nWIRE\tu1\td\ttop\tdin\tdin\n"
         "WIRE\tu2\tpad\tu3\tpad\tnp\n");
    const Lines before = StoredText(m.LineList);
    OnHeader("u1");
    Choose("Isolate");
    EXPECT_EQ(Wires(), Lines{"u2 pad u3 pad np"});
    ExpectUndoable(before);
}

TEST_F(Menu, NetsLeftByIsolatingTheTopEachGetTheirOwnFreeName) {
    // The automatic names Wire_u1_q and Wire_u1_o are top ports: both nets need a W name, and
    // the second must see the first one taken.
    LoadText("TOP\t\ttop\nOUTPUT\t7\t0\ta\nOUTPUT\t\t\tb\nINPUT\t\t\tWire_u1_q\n"
             "INPUT\t\t\tWire_u1_o\nMODULE\tcore\tu1\t/s.v\tverilog\nOUTPUT\t7\t0\tq\n"
             "OUTPUT\t\t\to\nMODULE\tsink\tu2\t/t.v\tverilog\nINPUT\t7\t0\td\nINPUT\t\t\te\n"
             "WIRE\tu1\tq\ttop\ta\ta\nWIRE\tu1\tq\tu2\td\ta\nWIRE\tu1\to\ttop\tb\tb\n"
             "WIRE\tu1\to\tu2\te\tb\n");
    OnHeader("top");
    Choose("Isolate");
    EXPECT_EQ(Wires(), (Lines{"u1 q u2 d W0", "u1 o u2 e W1"}));
    // The same with the two top ports selected and isolated together.
    m.UndoExecute();
    Rebuild();
    Select({{"top", "a"}, {"top", "b"}});
    OnPort("top", "b");
    Choose("Isolate");
    EXPECT_EQ(Wires(), (Lines{"u1 q u2 d W0", "u1 o u2 e W1"}));
}

TEST_F(Menu, DeletingAnInstanceRemovesItsBlockAndWires) {
    Load("WIRE\tu1\tq\tu2\td\tnq\nWIRE\tu1\tq\tu3\td\tnq\n");
    const Lines before = StoredText(m.LineList);
    OnHeader("u2");
    Choose("Delete");
    EXPECT_EQ(m.FindInstance("u2"), -1);
    EXPECT_EQ(Wires(), Lines{"u1 q u3 d nq"});
    EXPECT_EQ(StoredText(m.LineList).size(), before.size() - 6);
    ExpectUndoable(before);
}

TEST_F(Menu, AnInstanceWiredToACombinedBusIsNotDeleted) {
    LoadText("TOP\t\ttop\nOUTPUT\t7\t0\tbus\tY\nMODULE\tcore\tu1\t/s.v\tverilog\n"
             "OUTPUT\t7\t0\tq\nINPUT\t\t\tclk\nMODULE\tsink\tu2\t/t.v\tverilog\n"
             "OUTPUT\t\t\tclk\nWIRE\tu1\tq\ttop\tbus\tW0\nWIRE\tu2\tclk\tu1\tclk\tclk\n"
             "ASSIGN\t bus [7:0] = W0 \n");
    OnHeader("u1");
    Choose("Delete");
    EXPECT_EQ(LogLines(),
              Lines{"Error: Can't delete a wire connected to a combined bus port of the "
                    "top module. You can delete the combined bus port first."});
    EXPECT_NE(m.FindInstance("u1"), -1);
    EXPECT_EQ(Wires(), Lines{"u1 q top bus W0"});
    EXPECT_TRUE(Sound());
}

TEST_F(Menu, MapSelectedMapsModulePortsInAnyOrderAndRefusesTopPorts) {
    m.TopNameRule = "%M_%P";
    const Lines before = StoredText(m.LineList);
    Select({{"u3", "q"}, {"top", "din"}, {"u1", "q"}});
    OnPort("u1", "q");
    Choose("Map to top");
    EXPECT_EQ(LogLines(), (Lines{"--Action: Map selected ports to top level.",
                                 "Warning: Can not map a top port. A top level port found.",
                                 "--Action: Done. 2 port(s) mapped."}));
    EXPECT_EQ(Wires(), (Lines{"u3 q top u3_q u3_q", "u1 q top u1_q u1_q"}));
    EXPECT_TRUE(m.SelList.empty());
    ExpectUndoable(before);
}

TEST_F(Menu, DeleteOnASelectionDeletesOnlyItsTopPorts) {
    Load("WIRE\tu1\td\ttop\tdin\tdin\n");
    const Lines before = StoredText(m.LineList);
    Select({{"top", "din"}, {"u1", "d"}, {"top", "clk"}});
    OnPort("top", "din");
    Choose("Delete");
    EXPECT_EQ(m.FindPortQuiet("top", "din"), -1);
    EXPECT_EQ(m.FindPortQuiet("top", "clk"), -1);
    EXPECT_NE(m.FindPortQuiet("u1", "d"), -1);
    EXPECT_TRUE(Wires().empty());
    ExpectUndoable(before);
}

TEST_F(Menu, SetToVariantTurnsLoneTopPortsVariantWithoutWidth) {
    const Lines before = StoredText(m.LineList);
    OnPort("top", "din");
    Choose("Set to Variant");
    EXPECT_EQ(Text()[2], "KVAR|||din");
    ExpectUndoable(before);
    Rebuild();
    Select({{"top", "clk"}, {"top", "dout"}, {"top", "v"}});
    OnPort("top", "clk");
    Choose("Set to Variant");
    EXPECT_EQ(Text()[1], "KVAR|||clk");
    EXPECT_EQ(Text()[3], "KVAR|||dout");
}

TEST_F(Menu, SetAsMainPortOnEachSelectedPortHeadsItsNetInTurn) {
    Load("WIRE\tu1\tq\tu2\td\tWire_u1_q\nWIRE\tu1\tq\tu3\td\tWire_u1_q\n");
    const Lines before = StoredText(m.LineList);
    Select({{"u2", "d"}, {"u3", "d"}});
    OnPort("u2", "d");
    Choose("Set as Main Port");
    EXPECT_EQ(Wires(), (Lines{"u3 d u1 q Wire_u3_d", "u3 d u2 d Wire_u3_d"}));
    ExpectUndoable(before);
}

TEST_F(Menu, DeletingATopPortRemovesItsLineAndNamesTheNetLeft) {
    Load("WIRE\tu1\tq\ttop\tdout\tdout\nWIRE\tu1\tq\tu2\td\tdout\n");
    const Lines before = StoredText(m.LineList);
    OnPort("top", "dout");
    Choose("Delete");
    EXPECT_EQ(m.FindPortQuiet("top", "dout"), -1);
    EXPECT_EQ(Wires(), Lines{"u1 q u2 d Wire_u1_q"});
    ExpectUndoable(before);
}

TEST_F(Menu, MapToTopMapsTheClickedPort) {
    const Lines before = StoredText(m.LineList);
    OnPort("u1", "q");
    Choose("Map to top");
    EXPECT_EQ(Text()[7], "OUTPUT|7|0|q");
    EXPECT_EQ(Wires(), Lines{"u1 q top q q"});
    ExpectUndoable(before);
}

TEST_F(Menu, ARuleItemAcceptsItsProposalsAndKeepsTheSelection) {
    m.SLRules = {"", "Same Link", "\\w+", "\\w+", "\\w+", "\\b%P0\\b", ""};
    engine.CompileRules();
    const Lines before = StoredText(m.LineList);
    Select({{"u2", "q"}});
    OnPort("u1", "pad");
    Choose("Same Link");
    EXPECT_EQ(Wires(), (Lines{"u1 pad u2 pad pad", "u1 pad u3 pad pad"}));
    EXPECT_EQ(m.SelList.size(), 1u);
    ExpectUndoable(before);
}

TEST_F(Menu, ApplyAllRulesRunsEachRuleOnEachSelectedPortDroppingOldProposals) {
    m.SLRules = {"", "Same Link", "\\w+", "\\w+", "\\w+", "\\b%P0\\b", "",
                 "", "Pads",      "u1",   "pad",  "u3",   "pad",       ""};
    engine.CompileRules();
    // A proposal left by a hover over u2.q is no rule's: it is dropped, not accepted.
    m.LineList.push_back(MakeLine({"WIRE", "u2", "q", "u3", "d", "q"}));
    m.LineList.back()[FieldSuggestion] = "S";
    Rebuild();
    Select({{"u1", "pad"}, {"u2", "clk"}});
    OnPort("u1", "pad");
    EXPECT_EQ(Tags(menu.Items)[2], 2009);
    Choose("Apply all rules");
    // Same Link wires u1.pad to both other pads and u2.clk to the top's clk; Pads finds u3.pad
    // wired already.
    EXPECT_EQ(Wires(), (Lines{"u1 pad u2 pad pad", "u1 pad u3 pad pad", "u2 clk top clk clk"}));
    for (const ProjectLine& line : m.LineList)
        EXPECT_NE(line[FieldSuggestion], "S");
}

namespace {

struct ReadOnlyCase {
    const char* name;
    const char* inst; // the object right-clicked: a header (port empty), a port, or the canvas
    const char* port;
    bool selection; // u1.q and u2.q selected
    const char* caption;
};

const ReadOnlyCase ReadOnlyCases[] = {
    {"summary", "u1", "", false, "Summary"},
    {"view source", "u1", "", false, "View Source..."},
    {"list an instance", "u1", "", false, "List Connections"},
    {"open the module editor", "u1", "", false, "Open QEM Project..."},
    {"new module", "", "", false, "New Module"},
    {"list a port", "u1", "q", false, "List Connections"},
    {"list the selection", "u1", "q", true, "List Connections"},
};

class ReadOnlyCommands : public Menu, public ::testing::WithParamInterface<ReadOnlyCase> {};

} // namespace

TEST_P(ReadOnlyCommands, LeaveTheUndoCopyAndTheModifiedFlag) {
    const ReadOnlyCase& tc = GetParam();
    menu.Hooks.MakeModuleSummary = [](const std::string&) {};
    host.ShowSourceFile = [](const std::string&) {};
    Load("WIRE\tu1\tq\tu2\td\tnq\n");
    // An edit first, whose undo must survive the command.
    OnPort("u1", "d");
    Choose("Map to top");
    ASSERT_TRUE(m.UndoEnabled());
    const ProjectLines undo = m.UndoList;
    m.Modified = false;
    if (tc.selection)
        Select({{"u1", "q"}, {"u2", "q"}});
    if (!*tc.inst)
        RightClick({5000, 100});
    else if (!*tc.port)
        OnHeader(tc.inst);
    else
        OnPort(tc.inst, tc.port);
    Choose(tc.caption);
    EXPECT_EQ(m.UndoList, undo);
    EXPECT_TRUE(m.UndoEnabled());
    EXPECT_FALSE(m.Modified);
}

INSTANTIATE_TEST_SUITE_P(ContextCommands, ReadOnlyCommands, ::testing::ValuesIn(ReadOnlyCases),
                         CaseName());

TEST_F(Menu, TheModuleEditorStartsWithTheSourceOrAloneAndIsReportedWhenMissing) {
    TempDir dir;
    const std::string program = dir.Path("qem");
    WriteBytes(program, "");
    m.AppMisc.NewModuleProgram = program;
    OnHeader("u1");
    Choose("Open QEM Project...");
    RightClick({5000, 100});
    Choose("New Module");
    EXPECT_EQ(spawned, (std::vector<std::vector<std::string>>{{program, "-openprj", "/src/core.v"},
                                                              {program}}));
    m.AppMisc.NewModuleProgram = dir.Path("none");
    m.AppDir = "/opt/zun/";
    RightClick({5000, 100});
    Choose("New Module");
    EXPECT_EQ(spawned.size(), 2u);
    EXPECT_EQ(LogLines(), Lines{"Error: Cannot find " + dir.Path("none") +
                                ". You can download Module Editor from " + HomePageAddress +
                                " and install it to /opt/zun/."});
}

TEST_F(Menu, TheSummaryViewAndUpdateGoToTheirPartsWithTheInstance) {
    std::vector<std::string> calls;
    menu.Hooks.MakeModuleSummary = [&](const std::string& i) { calls.push_back("summary " + i); };
    menu.Hooks.UpdateModuleDefinition = [&](const std::string& i) {
        calls.push_back("update " + i);
    };
    host.ShowSourceFile = [&](const std::string& path) { calls.push_back("view " + path); };
    for (const char* caption : {"Summary", "View Source...", "Update Module..."}) {
        OnHeader("u2");
        Choose(caption);
    }
    EXPECT_EQ(calls, (Lines{"summary u2", "view /src/sink.v", "update u2"}));
}

TEST_F(Menu, HereAsMaxClientHeightKeepsTheProjectReadersRange) {
    for (const auto& [y, height] : {std::pair{400, 400}, {250, 300}, {40000, 32760}}) {
        RightClick({5000, y});
        Choose("Here as max client height.");
        EXPECT_EQ(m.MaxViewHeight, height) << y;
    }
}

// The height is saved with the project: a new one must not be lost when the project is closed
// without the question whether to save it.
TEST_F(Menu, ANewMaxClientHeightLeavesTheProjectModifiedAndTheSameOneDoesNot) {
    for (const auto& [y, modified] : {std::pair{400, true}, {400, false}, {250, true}}) {
        m.Modified = false;
        RightClick({5000, y});
        Choose("Here as max client height.");
        EXPECT_EQ(m.Modified, modified) << y;
    }
}

TEST_F(Menu, ItemsThatAreNoCommandsDoNothing) {
    const Lines before = StoredText(m.LineList);
    RightClick({5000, 100});
    menu.PopupItemClick(&menu.Items[0]); // Add Module: the action's
    menu.PopupItemClick(nullptr);
    OnHeader("top");
    menu.PopupItemClick(&menu.Items[1]); // the Import Top Port submenu
    menu.Hooks.MakeModuleSummary = nullptr;
    OnHeader("u1");
    Choose("Summary"); // disabled
    ExpectUntouched(before);
    EXPECT_EQ(rebuilds, 0);
}
