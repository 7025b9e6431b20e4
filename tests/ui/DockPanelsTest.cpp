// The dock panels of the main window: a tool window's button follows the window however it is
// closed or shown, a panel closes with its last client and opens for its first at the given share
// of the window, and the control bar takes tool bars only.
#include "MainWindowFixture.h"

#include "editor/app/TDrvForm.h"
#include "editor/canvas/ui/TFormSL.h"
#include "editor/canvas/ui/TPortForm.h"

#include <QApplication>
#include <QDockWidget>
#include <QScrollArea>
#include <QToolBar>

namespace {

// A dock window that notes, as it goes, whether any of its signals still reach the main window.
// (Taking those connections away here does no harm: the test has seen them.)
class WatchedDock : public QDockWidget {
public:
    WatchedDock(const char* title, const QObject* mainWindow, bool& reaches)
        : QDockWidget(title), mainWindow_(mainWindow), reaches_(reaches) {}
    ~WatchedDock() override { reaches_ = QObject::disconnect(this, nullptr, mainWindow_, nullptr); }

private:
    const QObject* mainWindow_;
    bool& reaches_;
};

class DockPanels : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        form->show();
        QApplication::processEvents();
    }
    void Settle() { QApplication::processEvents(); }
};

TEST_F(DockPanels, ClosingTheInformationWindowCollapsesTheBottomPanelAndReleasesItsButton) {
    ASSERT_EQ(form->DockPanelExtent(Qt::BottomDockWidgetArea), 151);
    const int canvas = form->ScrollBox1->height();
    // The Properties window shares the panel: while it shows, the panel stays.
    form->PropertiesForm->close();
    Settle();
    EXPECT_FALSE(form->Action("ToolButton18")->isChecked());
    EXPECT_EQ(form->DockPanelExtent(Qt::BottomDockWidgetArea), 151);
    form->InfoWindow->close();
    Settle();
    EXPECT_FALSE(form->Action("ToolButton27")->isChecked());
    EXPECT_FALSE(form->View.InfoWindow);
    EXPECT_EQ(form->DockPanelExtent(Qt::BottomDockWidgetArea), 0);
    EXPECT_GT(form->ScrollBox1->height(), canvas + 100);

    // Pressing the button opens the panel again at 5/16 of the window's height.
    form->Action("ToolButton27")->trigger();
    Settle();
    EXPECT_TRUE(form->InfoWindow->isVisible());
    EXPECT_TRUE(form->View.InfoWindow);
    EXPECT_EQ(form->InfoWindow->height(), form->height() * 5 / 16);
}

TEST_F(DockPanels, ReleasingTheButtonClosesTheWindowAndHidingItOtherwiseReleasesTheButton) {
    form->Action("ToolButton27")->trigger();
    Settle();
    EXPECT_FALSE(form->InfoWindow->isVisible());
    form->InfoWindow->show();
    Settle();
    EXPECT_TRUE(form->Action("ToolButton27")->isChecked());
    form->InfoWindow->hide();
    EXPECT_FALSE(form->Action("ToolButton27")->isChecked());
}

TEST_F(DockPanels, DockingIntoAnEmptyLeftPanelOpensItAtTwoSeventhsOfTheWidth) {
    // The right panel is left empty too, so that the window can open it below, and so is the
    // bottom one.
    form->SmartLinkForm->close();
    form->PropertiesForm->close();
    Settle();
    EXPECT_EQ(form->DockPanelExtent(Qt::LeftDockWidgetArea), 0);
    form->addDockWidget(Qt::LeftDockWidgetArea, form->InfoWindow);
    Settle();
    EXPECT_EQ(form->dockWidgetArea(form->InfoWindow), Qt::LeftDockWidgetArea);
    EXPECT_EQ(form->InfoWindow->width(), form->width() * 2 / 7);
    EXPECT_EQ(form->DockPanelExtent(Qt::BottomDockWidgetArea), 0);

    // Floating it leaves the panel without a client: the panel closes.
    form->InfoWindow->setFloating(true);
    Settle();
    EXPECT_EQ(form->DockPanelExtent(Qt::LeftDockWidgetArea), 0);
    EXPECT_TRUE(form->Action("ToolButton27")->isChecked());

    // Docked on the right, it opens that panel at the same share.
    form->InfoWindow->setFloating(false);
    form->addDockWidget(Qt::RightDockWidgetArea, form->InfoWindow);
    Settle();
    EXPECT_EQ(form->InfoWindow->width(), form->width() * 2 / 7);
}

TEST_F(DockPanels, APanelWithTwoVisibleClientsStaysOpenWhenOneCloses) {
    form->PropertiesForm->close();
    auto* other = new QDockWidget("Other", form.get());
    form->addDockWidget(Qt::BottomDockWidgetArea, other);
    form->RegisterDockClient(other, "ToolButton25");
    Settle();
    EXPECT_TRUE(form->Action("ToolButton25")->isEnabled());
    EXPECT_TRUE(form->Action("ToolButton25")->isChecked());
    form->SetDockPanelVisible(Qt::BottomDockWidgetArea, false, nullptr);
    EXPECT_TRUE(other->isVisible());
    EXPECT_TRUE(form->InfoWindow->isVisible());
    other->close();
    Settle();
    EXPECT_FALSE(form->Action("ToolButton25")->isChecked());
    EXPECT_TRUE(form->InfoWindow->isVisible());
    EXPECT_GT(form->DockPanelExtent(Qt::BottomDockWidgetArea), 0);
    // The last visible client closes the panel.
    form->SetDockPanelVisible(Qt::BottomDockWidgetArea, false, nullptr);
    EXPECT_FALSE(form->InfoWindow->isVisible());
    EXPECT_FALSE(form->Action("ToolButton27")->isChecked());
}

TEST_F(DockPanels, AToolWindowButtonIsDisabledUntilItsWindowJoins) {
    // Every tool window joins at start-up; a button that loses its handler has none.
    for (const char* b : {"ToolButton18", "ToolButton25", "ToolButton27"})
        EXPECT_TRUE(form->Action(b)->isEnabled()) << b;
    form->SetHandler("ToolButton18", nullptr);
    EXPECT_FALSE(form->Action("ToolButton18")->isEnabled());
}

TEST_F(DockPanels, TheControlBarTakesToolBarsButNoToolWindowOrDialog) {
    EXPECT_TRUE(form->ControlBar1DockOver(form->ToolBar1));
    EXPECT_FALSE(form->ControlBar1DockOver(form->InfoWindow));
    QWidget dialog;
    EXPECT_FALSE(form->ControlBar1DockOver(&dialog));
    EXPECT_FALSE(form->ControlBar1DockOver(nullptr));
}

TEST_F(DockPanels, AtShutdownNoToolWindowReportsToTheMainWindowWhoseMembersAreGone) {
    // The main window's members are destroyed before its child windows; a tool window that still
    // told it of its own going made it search a list already freed, at every exit.
    bool docked = true;
    bool floating = true;
    auto* left = new WatchedDock("Left", form.get(), docked);
    auto* loose = new WatchedDock("Loose", form.get(), floating);
    form->addDockWidget(Qt::LeftDockWidgetArea, left);
    form->addDockWidget(Qt::LeftDockWidgetArea, loose);
    form->RegisterDockClient(left, "ToolButton25");
    form->RegisterDockClient(loose, "ToolButton18");
    Settle();
    loose->setFloating(true);
    form->InfoWindow->close();
    Settle();
    form.reset();
    EXPECT_FALSE(docked);
    EXPECT_FALSE(floating);
}

TEST_F(DockPanels, AToolWindowDeletedWhileTheEditorRunsLeavesItsPanelAndButton) {
    auto* other = new QDockWidget("Other", form.get());
    form->addDockWidget(Qt::LeftDockWidgetArea, other);
    form->RegisterDockClient(other, "ToolButton25");
    Settle();
    ASSERT_GT(form->DockPanelExtent(Qt::LeftDockWidgetArea), 0);
    delete other;
    Settle();
    EXPECT_EQ(form->DockPanelExtent(Qt::LeftDockWidgetArea), 0);
    // Its button reaches no window any more.
    form->Action("ToolButton25")->trigger();
    form->Action("ToolButton25")->trigger();
    Settle();
}

} // namespace
