// Highlight marks without a rebuild: ClearMarks finds every marked line however the lines moved,
// and the refresh gives the records the rebuild would give, or says it cannot.
#include "RecordsText.h"
#include "WiringFixture.h"

#include "editor/model/Nets.h"

#include <algorithm>

namespace {

class Marks : public Wiring {
protected:
    void SetUp() override {
        Load("WIRE\tu1\tq\tu2\td\tn_q\n"
             "WIRE\tu1\tq\tu3\td\tn_q\n");
    }
    // The records a rebuild of the lines now gives.
    std::vector<std::string> Rebuilt() {
        ProjectModel fresh;
        fresh.PrjOpen = true;
        fresh.LineList = m.LineList;
        fresh.UpdatePicExecute(RebuildSender::MainWindow);
        return RecordsText(fresh);
    }
    int LineOf(const std::string& inst, const std::string& name) { return P(inst, name).LineIndex; }
    void MarkSome() {
        m.SetMark(static_cast<std::size_t>(LineOf("u1", "q")), FieldBrush, "255");
        m.SetMark(static_cast<std::size_t>(LineOf("u1", "q")), FieldPen, "0");
        m.SetMark(static_cast<std::size_t>(LineOf("u2", "d")), FieldCollapsed, "Y");
        m.SetMark(static_cast<std::size_t>(m.MduList[1].LineIndex), FieldBrush, "65280");
        m.SetMark(static_cast<std::size_t>(m.MduList[1].LineIndex), FieldPen, "16777215");
    }
    std::size_t MarkedLines() const {
        return static_cast<std::size_t>(
            std::count_if(m.LineList.begin(), m.LineList.end(),
                          [](const ProjectLine& l) { return l.CarriesMarks(); }));
    }
};

} // namespace

TEST_F(Marks, MarkedLinesMovedWithoutARebuildAreClearedAllTheSame) {
    struct Move {
        const char* name;
        void (*move)(ProjectLines&);
    } moves[] = {
        {"a block rotated",
         [](ProjectLines& l) { std::rotate(l.begin() + 1, l.begin() + 9, l.end()); }},
        {"two lines swapped", [](ProjectLines& l) { std::swap(l[9], l[2]); }},
        {"one line moved over another", [](ProjectLines& l) { l[3] = std::move(l[10]); }},
        {"one line copied over another", [](ProjectLines& l) { l[4] = l[10]; }},
        {"a line inserted", [](ProjectLines& l) { l.insert(l.begin(), l[10]); }},
        {"lines reversed", [](ProjectLines& l) { std::reverse(l.begin(), l.end()); }},
    };
    for (const Move& mv : moves) {
        Load("WIRE\tu1\tq\tu2\td\tn_q\n");
        m.ClearMarks();
        MarkSome();
        ASSERT_GT(MarkedLines(), 0u);
        mv.move(m.LineList);
        m.ClearMarks();
        EXPECT_EQ(MarkedLines(), 0u) << mv.name;
    }
}

TEST_F(Marks, AMarkWrittenStraightIntoALineIsClearedToo) {
    m.ClearMarks();
    MarkSome();
    m.LineList[5][FieldPen] = "7";
    m.LineList[6][FieldCollapsed] = "Y";
    m.ClearMarks();
    EXPECT_EQ(MarkedLines(), 0u);
}

TEST_F(Marks, TheRefreshGivesTheRecordsOfARebuild) {
    MarkSome();
    bool changed = false;
    // A collapsed port moves the ports below it: that is the rebuild's.
    EXPECT_FALSE(m.RefreshMarks(changed));
    Rebuild();
    // Clearing it moves them back.
    m.ClearMarks();
    EXPECT_FALSE(m.RefreshMarks(changed));
    Rebuild();
    m.SetMark(static_cast<std::size_t>(LineOf("u1", "q")), FieldBrush, "255");
    m.SetMark(static_cast<std::size_t>(LineOf("u1", "q")), FieldPen, "0");
    m.SetMark(static_cast<std::size_t>(m.MduList[1].LineIndex), FieldBrush, "65280");
    m.SetMark(static_cast<std::size_t>(m.MduList[1].LineIndex), FieldPen, "16777215");
    ASSERT_TRUE(m.RefreshMarks(changed));
    EXPECT_TRUE(changed);
    EXPECT_EQ(RecordsText(m), Rebuilt());
    EXPECT_EQ(P("u1", "q").BrushColor, 255);
    m.ClearMarks();
    ASSERT_TRUE(m.RefreshMarks(changed));
    EXPECT_TRUE(changed);
    EXPECT_EQ(RecordsText(m), Rebuilt());
    ASSERT_TRUE(m.RefreshMarks(changed));
    EXPECT_FALSE(changed) << "nothing new since the last refresh";
}

TEST_F(Marks, TheRefreshCannotServeWhenMoreThanMarksChangedOrTheRebuildWouldReport) {
    struct Case {
        const char* name;
        void (*change)(ProjectModel& model);
    } cases[] = {
        {"a line appended",
         [](ProjectModel& model) {
             model.InsertLine(-1, {"ASSIGN", " a = b "});
         }},
        {"a stored field written", [](ProjectModel& model) { model.LineList[9][3] = "renamed"; }},
        {"two lines swapped",
         [](ProjectModel& model) { std::swap(model.LineList[9], model.LineList[10]); }},
        {"suggestions went and came, as many",
         [](ProjectModel& model) {
             model.InsertLine(-1, {"WIRE", "u1", "clk", "u2", "clk", "s"});
             model.LineList.back()[FieldSuggestion] = "S";
             DropSuggestionLines(model);
             model.InsertLine(-1, {"ASSIGN", " a = b "});
         }},
        {"a port collapsed",
         [](ProjectModel& model) {
             model.SetMark(static_cast<std::size_t>(model.PortList[3].LineIndex), FieldCollapsed,
                           "Y");
         }},
        {"a mark written straight into a line",
         [](ProjectModel& model) {
             model.LineList[static_cast<std::size_t>(model.PortList[3].LineIndex)][8] = "1";
         }},
    };
    for (const Case& c : cases) {
        SetUp();
        c.change(m);
        bool changed = false;
        EXPECT_FALSE(m.RefreshMarks(changed)) << c.name;
    }
    // Two top modules: every rebuild says so again, so a refresh may not stand in for one.
    m.LineList.push_back(MakeLine({"TOP", "", "second"}));
    m.UpdatePicExecute(RebuildSender::MainWindow);
    bool changed = false;
    EXPECT_FALSE(m.RefreshMarks(changed));
}
