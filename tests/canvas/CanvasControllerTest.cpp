// The canvas's mouse handling: hit test, selection, highlighting, drags of wires, instances and
// ports, panning, auto-scroll, hover texts and double-clicks, each edit undoable.
#include "CanvasFixture.h"

#include "editor/model/Nets.h"

namespace {

const std::pair<int, int> Empty{400, 300};

} // namespace

// ---- hit test

namespace {

struct HitCase {
    const char* name;
    int dx; // offset from the top module's first port box's left edge
    int dy; // offset from its top edge
    char kind;
    const char* what; // "inst.port" or an instance name for 'M'
};

} // namespace

class HitTestBorders : public Canvas, public ::testing::WithParamInterface<HitCase> {};

TEST_P(HitTestBorders, FindTheObjectUnderThePoint) {
    const HitCase& t = GetParam();
    // Headers touch the first port row; ports stand two pixels apart; u1.d is collapsed.
    m.MduPrtMargin = 0;
    m.PrtMargin = 2;
    Load();
    m.LineList[P("u1", "d").LineIndex][FieldCollapsed] = "Y";
    Rebuild();
    const port& first = P("top", "clk");
    int index = -1;
    const char kind = c.HitTest(first.X + t.dx, first.Y + t.dy, index);
    EXPECT_EQ(kind, t.kind);
    if (t.kind == 'M') {
        EXPECT_EQ(m.MduList[index].InstName, t.what);
    }
    if (t.kind == 'P') {
        EXPECT_EQ(m.PortList[index].OwnerName + "." + m.PortList[index].Name, t.what);
    }
}

// The top module's header spans y 6 to 21 and its first port y 21 to 36, the next one from 38;
// u1 stands 50 to the right, its collapsed d at y 38 alone, then q from 40.
const HitCase HitCases[] = {
    {"left of the left margin", -1, 8, 'N', ""},
    {"above the top margin", 0, -16, 'N', ""},
    {"the header's top left corner", 0, -15, 'M', "top"},
    {"the header's bottom line before the port", 0, 0, 'M', "top"},
    {"one below the header", 0, 1, 'P', "top.clk"},
    {"the port's bottom line", 0, 15, 'P', "top.clk"},
    {"the gap between two ports", 0, 16, 'N', ""},
    {"the next port's top line", 0, 17, 'P', "top.din"},
    {"the port's right edge", 40, 8, 'P', "top.clk"},
    {"right of the port", 41, 8, 'N', ""},
    {"the collapsed port's only line", 50, 17, 'P', "u1.d"},
    {"just below the collapsed port", 50, 18, 'N', ""},
    {"the port after it", 50, 19, 'P', "u1.q"},
};

INSTANTIATE_TEST_SUITE_P(Canvas, HitTestBorders, ::testing::ValuesIn(HitCases), CaseName());

TEST_F(Canvas, HitTestKeepsToTheMargins) {
    m.LeftMargin = 20;
    m.TopMargin = 20;
    int index = -1;
    EXPECT_EQ(c.HitTest(19, 30, index), 'N');
    EXPECT_EQ(c.HitTest(30, 19, index), 'N');
}

// ---- wires by dragging

TEST_F(Canvas, DraggingAPortOntoAnotherDrawsTheWire) {
    const Lines before = StoredText(m.LineList);
    Drag(At("u1", "q"), At("u2", "d"));
    // The port released on is the first end: with both ends lone it heads the new net.
    EXPECT_EQ(Wires(), Lines{"u2 d u1 q d"});
    EXPECT_EQ(panels[WirePanel], "Input:d[7:0](u2) -Drawn.");
    EXPECT_EQ(c.MouseMode, '0');
    EXPECT_TRUE(m.SelList.empty());
    ExpectUndoable(before);
}

TEST_F(Canvas, ReleasingOnThePressedPortDrawsNothing) {
    const Lines before = StoredText(m.LineList);
    Drag(At("u1", "q"), At("u1", "q"));
    ExpectUntouched(before);
    EXPECT_EQ(panels[WirePanel].find("-Drawn."), std::string::npos);
}

TEST_F(Canvas, ARefusedWireIsNotDrawnAndNotAnEdit) {
    const Lines before = StoredText(m.LineList);
    Drag(At("u1", "q"), At("u2", "q"));
    ExpectUntouched(before);
    EXPECT_EQ(panels[WirePanel], "Output:q[7:0](u2)");
}

TEST_F(Canvas, ARefusedMappingByDraggingOntoATopPortIsNotDrawn) {
    Load("WIRE\tu1\tq\tu2\td\tnq\n");
    const Lines before = StoredText(m.LineList);
    Drag(At("u2", "d"), At("top", "v"));
    ExpectUntouched(before);
    EXPECT_EQ(panels[WirePanel], "Variant:v(top)");
}

TEST_F(Canvas, DraggingBetweenTwoNetsJoinsThem) {
    m.StrictRule = false;
    Load("WIRE\tu1\to_valid\tu2\tclk\tna\n"
         "WIRE\tu3\tclk\tu1\tclk\tnb\n");
    const Lines before = StoredText(m.LineList);
    Drag(At("u1", "clk"), At("u2", "clk"));
    EXPECT_EQ(Wires(),
              (Lines{"u1 o_valid u2 clk na", "u1 o_valid u1 clk na", "u1 o_valid u3 clk na"}));
    ExpectUndoable(before);
}

TEST_F(Canvas, ReleasingAWireOnEmptyCanvasEndsTheGesture) {
    const Lines before = StoredText(m.LineList);
    Press(At("u1", "q"));
    EXPECT_EQ(c.MouseMode, '3');
    EXPECT_EQ(cursor, WireCursor);
    Release(Empty);
    EXPECT_EQ(c.MouseMode, '0');
    EXPECT_TRUE(m.SelList.empty());
    ExpectUntouched(before);
}

// ---- TopMap Mode

TEST_F(Canvas, ATopMapClickMapsThePortAsAnUndoableEdit) {
    view.EditMode = 'T';
    const Lines before = StoredText(m.LineList);
    Click(At("u1", "q"));
    EXPECT_EQ(Wires(), Lines{"u1 q top q q"});
    EXPECT_GE(m.FindPortQuiet("top", "q"), 0);
    ExpectUndoable(before);
}

TEST_F(Canvas, ARefusedTopMapClickTellsWhyAndEditsNothing) {
    view.EditMode = 'T';
    const Lines before = StoredText(m.LineList);
    Click(At("u1", "clk"));
    ExpectUntouched(before);
    EXPECT_EQ(panels[HoverPanel], "clk already exists.");
}

TEST_F(Canvas, TopMapModeOnAHeaderStillDragsButTheReleaseMovesNothing) {
    view.EditMode = 'T';
    const Lines before = StoredText(m.LineList);
    Press(Header("u3"));
    EXPECT_EQ(c.MouseMode, '2');
    Move(Header("u1"));
    Release(Header("u1"));
    ExpectUntouched(before);
    EXPECT_EQ(cursor, TopMapCursor) << "the mode's cursor comes back";
}

// ---- instance drag and drop

TEST_F(Canvas, DroppingAnInstanceOnAHeaderMovesItsBlockBeforeIt) {
    const Lines before = StoredText(m.LineList);
    Drag(Header("u3"), Header("u1"));
    EXPECT_EQ(m.MduList[1].InstName, "u3");
    EXPECT_EQ(m.MduList[2].InstName, "u1");
    EXPECT_EQ(LogLines().back(), "Info: Move module(3) to module(1).");
    ExpectUndoable(before);
}

TEST_F(Canvas, DroppingAnInstanceOnAPortPutsItCompactAfterTheOwner) {
    const Lines before = StoredText(m.LineList);
    Drag(Header("u1"), At("u2", "d"));
    EXPECT_EQ(m.MduList[1].InstName, "u2");
    EXPECT_EQ(m.MduList[2].InstName, "u1");
    EXPECT_TRUE(m.MduList[2].Compact);
    EXPECT_EQ(m.ViewMode, '3');
    EXPECT_EQ(viewModeChanges, 1);
    ExpectUndoable(before);
}

TEST_F(Canvas, DroppingACompactInstanceOnEmptyCanvasIsAnUndoableEdit) {
    m.ViewMode = '3';
    Load();
    m.LineList[m.MduList[m.FindInstance("u2")].LineIndex][5] = "Y";
    Rebuild();
    const Lines before = StoredText(m.LineList);
    Press(Header("u2"));
    Move(Header("u2"));
    Move(Empty);
    Release(Empty);
    EXPECT_FALSE(m.MduList[m.FindInstance("u2")].Compact);
    ExpectUndoable(before);
}

namespace {

struct DropCase {
    const char* name;
    const char* dragged;
    const char* onInst; // instance of the target
    const char* onPort; // its port, or empty for its header; "-" for empty canvas
    char viewMode;
    bool compact; // the dragged instance is marked compact
    bool allowed;
};

const DropCase DropCases[] = {
    {"another header", "u3", "u1", "", '1', false, true},
    {"its own header", "u3", "u3", "", '1', false, false},
    {"the top module's header", "u3", "top", "", '1', false, false},
    {"a port of a middle instance", "u1", "u2", "d", '1', false, true},
    {"a port of the last instance", "u1", "u3", "d", '1', false, false},
    {"a port of the top module", "u1", "top", "din", '1', false, false},
    {"its own port", "u2", "u2", "d", '1', false, false},
    {"empty canvas in the normal view", "u2", "", "-", '1', true, false},
    {"empty canvas in the custom view, compact", "u2", "", "-", '3', true, true},
    {"empty canvas in the custom view, not compact", "u2", "", "-", '3', false, false},
};

} // namespace

class DropPermissions : public Canvas, public ::testing::WithParamInterface<DropCase> {};

TEST_P(DropPermissions, FollowTheTarget) {
    const DropCase& t = GetParam();
    m.ViewMode = t.viewMode;
    Load();
    if (t.compact) {
        m.LineList[m.MduList[m.FindInstance(t.dragged)].LineIndex][5] = "Y";
        Rebuild();
    }
    Press(Header(t.dragged));
    ASSERT_EQ(c.MouseMode, '2');
    Move(At("top", "clk")); // on its way to the target
    const std::string port = t.onPort;
    Move(port == "-" ? Empty : port.empty() ? Header(t.onInst) : At(t.onInst, port));
    EXPECT_EQ(c.MduDropOk, t.allowed);
    EXPECT_EQ(cursor, t.allowed ? DropAllowedCursor : DropRefusedCursor);
}

INSTANTIATE_TEST_SUITE_P(Canvas, DropPermissions, ::testing::ValuesIn(DropCases), CaseName());

TEST_F(Canvas, TheFirstInstanceIsNotDragged) {
    Press(Header("top"));
    EXPECT_EQ(c.MouseMode, '0');
}

// ---- port moves

namespace {

struct MoveCase {
    const char* name;
    std::vector<const char*> selected; // u1 and u2 ports selected before the Alt press
    const char* pressed;
    const char* hovered; // empty: nothing
    bool allowed;
};

const MoveCase MoveCases[] = {
    {"one port within its instance", {}, "u1.clk", "u1.q", true},
    {"one port into another instance", {}, "u1.wide", "u2.clk", false},
    {"a selection one place down", {"u2.clk", "u2.d"}, "u2.clk", "u2.d", true},
    {"a selection leaving its instance", {"u2.q", "u2.pad"}, "u2.q", "u2.pad", false},
    {"onto nothing", {}, "u1.clk", "", false},
    // The press is on a port outside the selection: the release moves that port alone, so the
    // selection's room does not make a move into another instance possible.
    {"an unselected port while one other is selected", {"u2.clk"}, "u1.wide", "u2.clk", false},
    {"an unselected port while two others are selected",
     {"u2.clk", "u2.d"},
     "u1.wide",
     "u2.clk",
     false},
    {"an unselected port within its instance", {"u2.clk", "u2.d"}, "u1.d", "u1.q", true},
};

} // namespace

class PortMovePermissions : public Canvas, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(PortMovePermissions, FollowWhatTheReleaseWouldMove) {
    const MoveCase& t = GetParam();
    auto at = [&](const char* end) {
        const std::string s(end);
        const std::size_t dot = s.find('.');
        return At(s.substr(0, dot), s.substr(dot + 1));
    };
    for (const char* s : t.selected)
        Click(at(s), Keys(false, true));
    ASSERT_EQ(m.SelList.size(), t.selected.size());
    Move(at(t.pressed)); // the mouse comes from the port it presses
    Press(at(t.pressed), Keys(false, false, true));
    ASSERT_EQ(c.MouseMode, '4');
    Move(*t.hovered ? at(t.hovered) : Empty, Keys(false, false, true));
    EXPECT_EQ(c.PrtMoveOk, t.allowed);
    EXPECT_EQ(cursor, t.allowed ? MoveAllowedCursor : MoveRefusedCursor);
}

INSTANTIATE_TEST_SUITE_P(Canvas, PortMovePermissions, ::testing::ValuesIn(MoveCases), CaseName());

TEST_F(Canvas, MovingOnePortReordersItsInstancesLines) {
    const Lines before = StoredText(m.LineList);
    Drag(At("u1", "clk"), At("u1", "q"), Keys(false, false, true));
    const mdu& u1 = m.MduList[m.FindInstance("u1")];
    EXPECT_EQ(m.PortList[u1.FirstPort].Name, "d");
    EXPECT_EQ(m.PortList[u1.FirstPort + 2].Name, "clk");
    ExpectUndoable(before);
}

TEST_F(Canvas, MovingASelectionMovesEveryPortOfIt) {
    const Lines before = StoredText(m.LineList);
    Click(At("u2", "clk"));
    Click(At("u2", "d"), Keys(false, true));
    Drag(At("u2", "clk"), At("u2", "d"), Keys(false, false, true));
    const mdu& u2 = m.MduList[m.FindInstance("u2")];
    std::vector<std::string> names;
    for (int k = u2.FirstPort; k <= u2.LastPort; ++k)
        names.push_back(m.PortList[k].Name);
    EXPECT_EQ(names, (Lines{"q", "clk", "d", "pad"}));
    EXPECT_TRUE(m.SelList.empty());
    ExpectUndoable(before);
}

// ---- MoveModuleLines

namespace {

const char* const Blocks = "TOP\t\ttop\n"
                           "MODULE\tm\ta\n"
                           "PARAMETER\t\t\tW\t8\n"
                           "INPUT\t\t\ti\n"
                           "KVAR\t\t\tv\n"
                           "#OUTPUT\t7\t\to\n"
                           "MODULE\tm\tb\n"
                           "INPUT\t\t\ti\n"
                           "MODULE\tm\tc\n"
                           "KVAR\t\t\tv\n"
                           "PARAMETER\t\t\tW\t4\n"
                           "BIDIR\t\t\tio\n"
                           "WIRE\ta\ti\tc\tio\tn\n";

} // namespace

TEST_F(Canvas, MoveModuleLinesCarriesParametersAndVariantPortsBothWays) {
    m.LineList = LinesFromText(Blocks);
    Rebuild();
    c.MoveModuleLines(m.MduList[3], m.MduList[1]); // c up, before a
    EXPECT_EQ(Keywords(m.LineList),
              (Lines{"TOP", "MODULE", "KVAR", "PARAMETER", "BIDIR", "MODULE", "PARAMETER", "INPUT",
                     "KVAR", "#OUTPUT", "MODULE", "INPUT", "WIRE"}));
    EXPECT_EQ(m.LineList[1][2], "c");
    Rebuild();
    ASSERT_EQ(m.MduList[2].InstName, "a");
    c.MoveModuleLines(m.MduList[2], m.MduList[3]); // a down, before b: no change of place
    c.MoveModuleLines(m.MduList[1], m.MduList[3]); // c down, before b
    EXPECT_EQ(Keywords(m.LineList),
              (Lines{"TOP", "MODULE", "PARAMETER", "INPUT", "KVAR", "#OUTPUT", "MODULE", "KVAR",
                     "PARAMETER", "BIDIR", "MODULE", "INPUT", "WIRE"}));
    EXPECT_EQ(m.LineList[6][2], "c");
    Rebuild();
    EXPECT_EQ(m.PortList[m.MduList[2].FirstPort].Kind, 'V') << "c keeps its variant port";
    EXPECT_EQ(m.MduList[1].LastPort - m.MduList[1].FirstPort, 1) << "a keeps i and v";
}

// ---- selection

TEST_F(Canvas, ShiftRangesRunFromTheLastSelectedPort) {
    m.SLHideUnmatched = false;
    auto portAt = [&](int k) {
        return std::pair<int, int>{m.PortList[k].X + 5, m.PortList[k].Y + 5};
    };
    Click(portAt(4));
    Click(portAt(9), Keys(true));
    EXPECT_EQ(m.SelList, (std::vector<int>{4, 5, 6, 7, 8, 9}));
    Click(portAt(2), Keys(true)); // from 9, the last one selected, down to 2
    const std::vector<int> expected{4, 5, 6, 7, 8, 9, 2, 3};
    EXPECT_EQ(m.SelList, expected);
    EXPECT_EQ(panels[SelectionPanel], "Sel:8");
    for (int k : expected)
        EXPECT_EQ(m.LineList[m.PortList[k].LineIndex][FieldBrush], std::to_string(m.PointedBrush));
    Click(portAt(3), Keys(true));
    EXPECT_EQ(m.SelList, expected) << "all of 3..3 is selected already";
}

TEST_F(Canvas, CtrlClickTogglesOnePort) {
    Click(At("u1", "clk"));
    Click(At("u1", "d"), Keys(false, true));
    Click(At("u1", "q"), Keys(false, true));
    EXPECT_EQ(m.SelList,
              (std::vector<int>{Index("u1", "clk"), Index("u1", "d"), Index("u1", "q")}));
    Click(At("u1", "d"), Keys(false, true));
    EXPECT_EQ(m.SelList, (std::vector<int>{Index("u1", "clk"), Index("u1", "q")}));
    EXPECT_TRUE(m.LineList[P("u1", "d").LineIndex][FieldBrush].empty()) << "its mark is gone";
    EXPECT_FALSE(m.LineList[P("u1", "q").LineIndex][FieldBrush].empty())
        << "the others are marked again";
    EXPECT_EQ(panels[SelectionPanel], "Sel:2");
    Click(At("u1", "d"), Keys(false, true));
    EXPECT_EQ(m.SelList.back(), Index("u1", "d"));
}

TEST_F(Canvas, APlainClickSelectsOnePortAndMarksItsNet) {
    m.SLHideUnmatched = false;
    Load("WIRE\tu1\tq\tu2\td\tnq\n"
         "WIRE\tu1\tq\tu3\td\tnq\n");
    Click(At("u1", "clk"));
    Click(At("u2", "d"));
    EXPECT_EQ(m.SelList, std::vector<int>{Index("u2", "d")});
    auto brush = [&](const char* inst, const char* name) {
        return m.LineList[P(inst, name).LineIndex][FieldBrush];
    };
    EXPECT_EQ(brush("u2", "d"), std::to_string(m.PointedBrush));
    EXPECT_EQ(brush("u1", "q"), std::to_string(m.MainPrtColor)) << "the head";
    EXPECT_EQ(brush("u3", "d"), std::to_string(m.FriendBrush)) << "another member";
    EXPECT_TRUE(brush("u1", "clk").empty()) << "the earlier selection's mark is gone";
    view.LinkedPorts = false;
    Click(At("u2", "d"));
    EXPECT_TRUE(brush("u3", "d").empty()) << "without Show Ports Linked Together";
    view.LinkedPorts = true;
    c.ToolButton19Click();
    EXPECT_EQ(brush("u3", "d"), std::to_string(m.FriendBrush));
}

TEST_F(Canvas, APlainClickMarksThePortsThatCannotTakeItsWire) {
    m.HiddenNoSpace = true;
    // The press hides ports above q, so another port comes under the unmoved mouse: a click is
    // still a click and draws no wire.
    Click(At("u1", "q"));
    EXPECT_TRUE(Wires().empty());
    EXPECT_EQ(m.SelList, std::vector<int>{Index("u1", "q")});
    auto line = [&](const char* inst, const char* name) {
        return m.LineList[P(inst, name).LineIndex];
    };
    EXPECT_EQ(line("u2", "q")[FieldBrush], "16777215") << "two outputs";
    EXPECT_EQ(line("u2", "q")[FieldPen], std::to_string(m.UnmatchedColor));
    EXPECT_EQ(line("u2", "q")[FieldCollapsed], "Y");
    EXPECT_TRUE(line("u2", "d")[FieldBrush].empty()) << "a port that can take it";
    EXPECT_TRUE(P("u2", "q").Collapsed);
}

// The band, a Shift range and a Ctrl removal mark many ports at once; the marks must be those
// of highlighting each port in turn, also on nets that break the rules (a port on two nets, a
// line from a port to itself, a line twice) and over marks that were there before.
namespace {

struct BatchCase {
    const char* name;
    std::vector<const char*> ports; // in selection order
    bool premarked;                 // u2.d and u3.q carry marks before
};

const BatchCase BatchCases[] = {
    {"members and then the head", {"u2.d", "u3.d", "u1.q"}, false},
    {"the head and then its members", {"u1.q", "u2.d", "u3.d"}, false},
    {"one member alone", {"u3.d"}, false},
    {"a port on two nets", {"u2.q", "u1.q"}, false},
    {"ports of two nets interleaved", {"u2.d", "u2.q", "u3.d", "u3.clk", "u1.q"}, false},
    {"a port wired to itself", {"u3.q", "u2.pad"}, false},
    {"a port twice", {"u2.d", "u3.d", "u2.d"}, false},
    {"lone ports only", {"top.clk", "u1.irq_n"}, false},
    {"over earlier marks", {"u1.q", "u2.d", "u3.q", "top.din"}, true},
    {"every port of the project", {}, false},
};

} // namespace

class BatchMarks : public Canvas, public ::testing::WithParamInterface<BatchCase> {};

TEST_P(BatchMarks, AreThoseOfHighlightingEachPortInTurn) {
    const BatchCase& t = GetParam();
    Load("WIRE\tu1\tq\tu2\td\tnq\n"
         "WIRE\tu1\tq\tu3\td\tnq\n"
         "WIRE\tu2\tq\tu3\tclk\tnx\n"
         "WIRE\tu1\tq\tu2\tq\tnq\n"
         "WIRE\tu3\tq\tu3\tq\tself\n"
         "WIRE\tu3\tq\tu2\tpad\tself\n"
         "WIRE\tu1\tq\tu3\td\tnq\n");
    std::vector<int> ports;
    for (const char* end : t.ports) {
        const std::string s(end);
        ports.push_back(Index(s.substr(0, s.find('.')), s.substr(s.find('.') + 1)));
    }
    if (t.ports.empty())
        for (int k = static_cast<int>(m.PortList.size()) - 1; k >= 0; --k)
            ports.push_back(k);
    if (t.premarked) {
        m.LineList[P("u2", "d").LineIndex][FieldBrush] = "1";
        m.LineList[P("u2", "d").LineIndex][FieldPen] = "2";
        m.LineList[P("u3", "q").LineIndex][FieldBrush] = "3";
    }
    const ProjectLines start = m.LineList;
    for (int k : ports)
        c.HighlightObject('P', k, false);
    const ProjectLines oneByOne = m.LineList;
    m.LineList = start;
    c.HighlightPorts(ports);
    for (std::size_t i = 0; i < start.size(); ++i) {
        EXPECT_EQ(m.LineList[i][FieldBrush], oneByOne[i][FieldBrush]) << "line " << i;
        EXPECT_EQ(m.LineList[i][FieldPen], oneByOne[i][FieldPen]) << "line " << i;
    }
    EXPECT_NE(oneByOne, start) << "the case marks something";
}

INSTANTIATE_TEST_SUITE_P(Canvas, BatchMarks, ::testing::ValuesIn(BatchCases), CaseName());

TEST_F(Canvas, ShiftClickOnEmptyCanvasSetsTheWrapHeightBelow200Only) {
    const int before = m.MaxViewHeight;
    Click({400, 200}, Keys(true));
    EXPECT_EQ(m.MaxViewHeight, before);
    Click({400, 201}, Keys(true));
    EXPECT_EQ(m.MaxViewHeight, 201);
    EXPECT_EQ(c.MouseMode, '0');
}

TEST_F(Canvas, TheRubberBandSelectsThePortsItTouches) {
    Click(At("u3", "d"));
    const port& a = P("u1", "clk");
    const port& b = P("u2", "clk");
    Press({a.X - 2, a.Y + 10});
    EXPECT_EQ(c.MouseMode, '1');
    EXPECT_TRUE(m.SelList.empty());
    Move({b.X + 1, b.Y + 20});
    EXPECT_EQ(c.RubberRect, (std::array<int, 4>{a.X - 2, a.Y + 10, b.X + 1, b.Y + 20}));
    // Each port by a corner: u1.clk and u2.clk by their lower left, u1.d and u2.d by their
    // upper left.
    EXPECT_EQ(m.SelList, (std::vector<int>{Index("u1", "clk"), Index("u1", "d"), Index("u2", "clk"),
                                           Index("u2", "d")}));
    EXPECT_EQ(panels[SelectionPanel], "Sel:4");
    // With Ctrl the band follows the mouse and the selection stays.
    Move({b.X + 1, b.Y + 60}, Keys(false, true));
    EXPECT_EQ(m.SelList.size(), 4u);
    EXPECT_EQ(c.RubberRect[3], b.Y + 60);
    Release({b.X + 1, b.Y + 60});
    EXPECT_EQ(c.MouseMode, '0');
    EXPECT_EQ(m.SelList.size(), 4u);
}

TEST_F(Canvas, SimulateCanvasClickSelectsAPortAsAClickWould) {
    const auto [x, y] = At("u2", "q");
    c.SimulateCanvasClick(x, y);
    EXPECT_EQ(m.SelList, std::vector<int>{Index("u2", "q")});
    EXPECT_EQ(c.MouseMode, '0');
}

// ---- hover

namespace {

struct HoverCase {
    const char* name;
    char kind;
    const char* inst;
    const char* portName; // empty for the header
    const char* text;
};

const HoverCase HoverCases[] = {
    {"the top header", 'M', "top", "", "Module:top (TOP)"},
    {"an instance header", 'M', "u1", "", "Module:u1 (core)"},
    {"a bus output", 'P', "u1", "q", "Output:q[7:0](u1)"},
    {"a one bit input", 'P', "u1", "clk", "Input:clk(u1)"},
    {"an inout", 'P', "u1", "pad", "Inout:pad(u1)"},
    {"a variant port", 'P', "u1", "any", "Variant:any(u1)"},
    {"a parameterised width", 'P', "u1", "wide", "Input:wide[W-1:0](u1)"},
    {"nothing", 'N', "", "", ""},
};

} // namespace

class HoverTexts : public Canvas, public ::testing::WithParamInterface<HoverCase> {};

TEST_P(HoverTexts, NameWhatIsUnderTheMouse) {
    const HoverCase& t = GetParam();
    panels[HoverPanel] = "old";
    panels[WirePanel] = "old";
    Move(At("u3", "d"));
    Move(t.kind == 'M' ? Header(t.inst) : t.kind == 'P' ? At(t.inst, t.portName) : Empty);
    EXPECT_EQ(panels[HoverPanel], t.text);
    EXPECT_EQ(panels[WirePanel], "");
}

INSTANTIATE_TEST_SUITE_P(Canvas, HoverTexts, ::testing::ValuesIn(HoverCases), CaseName());

TEST_F(Canvas, HoveringTheSamePortTwiceDrawsOnce) {
    Move(At("u1", "q"));
    const int once = rebuilds;
    EXPECT_EQ(m.LineList[P("u1", "q").LineIndex][FieldBrush], std::to_string(m.PointedBrush));
    Move({At("u1", "q").first + 1, At("u1", "q").second});
    EXPECT_EQ(rebuilds, once);
    Move(At("u2", "d"));
    EXPECT_EQ(rebuilds, once + 1);
    EXPECT_TRUE(m.LineList[P("u1", "q").LineIndex][FieldBrush].empty());
    EXPECT_EQ(m.LineList[P("u2", "d").LineIndex][FieldBrush], std::to_string(m.PointedBrush));
}

TEST_F(Canvas, HoveringWhileAPortIsSelectedKeepsTheMarks) {
    Click(At("u1", "q"));
    const int after = rebuilds;
    Move(At("u2", "d"));
    EXPECT_EQ(rebuilds, after);
    EXPECT_EQ(m.LineList[P("u1", "q").LineIndex][FieldBrush], std::to_string(m.PointedBrush));
    EXPECT_EQ(panels[HoverPanel], "Input:d[7:0](u2)");
}

TEST_F(Canvas, HoveringDropsTheSuggestionsOfTheLastObject) {
    Load("WIRE\tu1\tq\tu2\td\ts\t\t\t\t\t\t\tS\n");
    int asked = 0;
    host.ApplySmartLinkRules = [&](char kind, int index, int rule, std::string& summary) {
        ++asked;
        EXPECT_EQ(kind, 'P');
        EXPECT_EQ(index, Index("u3", "q"));
        EXPECT_EQ(rule, -1);
        summary = "?->Input:d(u2)";
        return true;
    };
    Move(At("u3", "q"));
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(m.SuggestList.empty());
    EXPECT_EQ(panels[WirePanel], "?->Input:d(u2)");
    view.SmartLink = false;
    Move(At("u2", "q"));
    EXPECT_EQ(asked, 1) << "SmartLink is off";
}

// ---- pan and auto-scroll

TEST_F(Canvas, ViewModeDragsTheViewWithTheMouse) {
    view.EditMode = 'V';
    scroll.X = 100;
    scroll.Y = 50;
    Press({200, 200});
    EXPECT_EQ(cursor, PanCursor);
    Move({230, 200});
    EXPECT_EQ(scroll.X, 70) << "the grabbed point stays under the mouse";
    EXPECT_EQ(scroll.Y, 50);
    Release({230, 200});
    EXPECT_EQ(cursor, ViewModeCursor);
    MouseShift none;
    Move({260, 260}, none);
    EXPECT_EQ(scroll.X, 70) << "no button, no pan";
}

TEST_F(Canvas, DraggingPastTheVisibleAreaScrollsByOneStep) {
    m.AutoScrollStep = 20;
    scroll = {100, 100, 300, 200};
    Press(At("u1", "q"));
    Move({401, 150});
    EXPECT_EQ(scroll.X, 120);
    Move({150, 301});
    EXPECT_EQ(scroll.Y, 120);
    Move({90, 150});
    EXPECT_EQ(scroll.X, 100);
    Release(Empty);
    Move({500, 500});
    EXPECT_EQ(scroll.X, 100) << "idle: no auto-scroll";
}

// ---- double-clicks

TEST_F(Canvas, DoubleClickingTheTopHeaderDoesNothing) {
    const Lines before = StoredText(m.LineList);
    DoubleClick(Header("top"));
    ExpectUntouched(before);
    EXPECT_TRUE(prompt.Shown().empty());
}

TEST_F(Canvas, DoubleClickingAHeaderWhoseSourceIsMissingSaysSo) {
    prompt.ExpectMessage("Can't open file: /src/core.v");
    DoubleClick(Header("u1"));
}

TEST_F(Canvas, DoubleClickingAHeaderOpensItsSource) {
    const std::string path = std::string(ZUN_TEST_DATA) + "/wizard/blink.vhd";
    m.LineList[m.MduList[m.FindInstance("u1")].LineIndex][3] = path;
    Rebuild();
    std::vector<std::string> shown;
    host.ShowSourceFile = [&](const std::string& p) { shown.push_back(p); };
    DoubleClick(Header("u1"));
    EXPECT_EQ(shown, Lines{path});

    EditorServices services;
    std::vector<std::vector<std::string>> started;
    services.Spawn = [&](const std::vector<std::string>& argv) {
        started.push_back(argv);
        return IoStatus::Ok();
    };
    host.services = &services;
    m.InternalEditor = false;
    m.EditorProgram = "gvim";
    m.EditorParams = "--remote-tab \"+set title=%F\"";
    DoubleClick(Header("u1"));
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], (Lines{"gvim", "--remote-tab", "+set title=" + path}));
    EXPECT_EQ(shown.size(), 1u);
}

TEST_F(Canvas, DoubleClickingANumericPortAcceptsTheSuggestions) {
    Load("WIRE\tu1\tq\tu2\td\ts1\t\t\t\t\t\t\tS\n"
         "WIRE\tu1\tq\tu3\td\ts2\t\t\t\t\t\t\tS\n");
    Lines before = StoredText(m.LineList);
    before.erase(before.end() - 2, before.end());
    DoubleClick(At("u1", "q"));
    EXPECT_EQ(Wires(), (Lines{"u1 q u2 d q", "u1 q u3 d q"}));
    EXPECT_TRUE(m.SuggestList.empty());
    ExpectUndoable(before);
}

TEST_F(Canvas, DoubleClickingAParameterisedPortAsksForItsWidths) {
    std::vector<std::string> asked;
    host.ConfirmWidths = [&](const std::string& inst) {
        asked.push_back(inst);
        return false;
    };
    const int before = rebuilds;
    DoubleClick(At("u1", "wide"));
    EXPECT_EQ(asked, Lines{"u1"});
    EXPECT_EQ(rebuilds, before + 1) << "only the release's rebuild: the dialog was cancelled";
}
