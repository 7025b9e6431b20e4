// Highlighting and wiring right after an edit of the nets that no rebuild followed: the lines as
// they are now decide, not what the last rebuild found.
#include "CanvasFixture.h"

#include "editor/model/Nets.h"
#include "editor/model/TopLevel.h"
#include "model/RecordsText.h"

namespace {

class NetEditsBeforeARebuild : public Canvas {
protected:
    void SetUp() override {
        Canvas::SetUp();
        Load("WIRE\tu1\tq\tu2\td\tn_q\n");
        host.RefreshMarks = [this] {
            bool changed = false;
            if (!m.RefreshMarks(changed))
                host.Rebuild();
        };
    }
    // The same lines rebuilt in a model of their own, then the same gesture.
    std::vector<std::string> MarksAfterARebuild(const std::function<void(ProjectModel&)>& edit,
                                                const std::string& inst, const std::string& name) {
        ProjectModel other;
        other.PrjOpen = true;
        other.LineList = LinesFromText(std::string(WiringProject) + "WIRE\tu1\tq\tu2\td\tn_q\n");
        other.UpdatePicExecute(RebuildSender::MainWindow);
        edit(other);
        other.UpdatePicExecute(RebuildSender::MainWindow);
        ViewState otherView = ViewState::Initial();
        CanvasHost otherHost;
        CanvasController otherCanvas(other, otherView, otherHost);
        const port& p = other.PortList[static_cast<std::size_t>(other.FindPortQuiet(inst, name))];
        otherCanvas.Image1MouseMove(MouseShift{}, p.X + 2, p.Y + 2);
        return AllFields(other.LineList);
    }
};

} // namespace

TEST_F(NetEditsBeforeARebuild, ANetRenamedThenHighlightedAndExtendedUsesTheNewName) {
    ASSERT_TRUE(RenameNet(m, "n_q", "renamed", false));
    Move(At("u2", "d"));
    EXPECT_EQ(AllFields(m.LineList),
              MarksAfterARebuild([](ProjectModel& o) { RenameNet(o, "n_q", "renamed", false); },
                                 "u2", "d"));
    EXPECT_EQ(P("u1", "q").BrushColor, m.MainPrtColor) << "the head is marked on the picture";
    // A lone port wired to the renamed net joins it under its new name.
    Press(At("u3", "d"));
    Move(At("u1", "q"));
    Release(At("u1", "q"));
    EXPECT_EQ(Wires(), (Lines{"u1 q u2 d renamed", "u1 q u3 d renamed"}));
    EXPECT_TRUE(Sound());
}

TEST_F(NetEditsBeforeARebuild, ANetReheadedThenHighlightedMarksItsNewHead) {
    ASSERT_TRUE(SetMainPort(m, P("u2", "d")));
    Move(At("u2", "d"));
    EXPECT_EQ(AllFields(m.LineList),
              MarksAfterARebuild(
                  [](ProjectModel& o) {
                      SetMainPort(o,
                                  o.PortList[static_cast<std::size_t>(o.FindPortQuiet("u2", "d"))]);
                  },
                  "u2", "d"));
    const std::string main = std::to_string(m.MainPrtColor);
    EXPECT_NE(m.LineList[static_cast<std::size_t>(P("u1", "q").LineIndex)][FieldBrush], main)
        << "the old head is a member now";
}
