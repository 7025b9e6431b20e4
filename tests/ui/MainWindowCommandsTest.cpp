// The main window's menus and tool bar against the expected commands, and the enabling of
// the project commands with and without a project.
#include "MainWindowFixture.h"

#include "editor/app/TDrvForm.h"
#include "editor/model/Commands.h"

#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QToolBar>
#include <QToolButton>

#include <stdexcept>

void MainWindowTest::HandleEverything() {
    for (const CommandDef& c : CommandTable()) {
        const std::string name(c.name);
        form->SetHandler(name, [this, name] { ++runs[name]; });
    }
}

namespace {

// One row of a menu as the user sees it: "-" is a separator; a submenu has children.
struct MenuRow {
    std::string caption;
    std::string shortcut;
    std::string hint; // tool tip; empty = the action shows no hint of its own
    bool checkable = false;
    bool checked = false;
    bool visible = true;
    std::vector<MenuRow> children;
    bool submenu = false;
};

MenuRow Row(std::string caption, std::string shortcut = "", std::string hint = "") {
    return {
        std::move(caption), std::move(shortcut), std::move(hint), false, false, true, {}, false};
}
MenuRow Hidden(MenuRow r) {
    r.visible = false;
    return r;
}
MenuRow Sep() {
    return Row("-");
}
MenuRow Sub(std::string caption, std::vector<MenuRow> children) {
    MenuRow r = Row(std::move(caption));
    r.children = std::move(children);
    r.submenu = true;
    return r;
}

// The expected menus: the five of the menu bar, in order.
const std::vector<MenuRow> kMenus = {
    Sub("&File",
        {Row("New Project", "Ctrl+N", "New Project"), Row("&Open Project...", "Ctrl+O", "Open"),
         Row("Save Project", "Ctrl+S", "Save Project"), Row("Save Project &As...", "", "Save As"),
         Row("Close Project"), Sep(), Row("Add Module"),
         Sub("Import Top Port", {Row("From HDL Source"), Row("From Custom Ports List")}), Sep(),
         Row("Generate HDL Code", "F9", "Generate HDL Code"),
         Hidden(Row("Generate VHDL Code", "F10", "Generate VHDL code.")), Sep(),
         Sub("Recent Projects", {}), Sep(), Row("E&xit", "", "Exit")}),
    Sub("&Edit", {Row("Undo", "Ctrl+Z", "Undo"), Row("Redo", "Ctrl+Y", "Redo")}),
    Sub("&View", {Row("Settings...", "", "Settings"),
                  [] {
                      MenuRow r = Row("Show Top name box");
                      r.checkable = true;
                      r.checked = true;
                      return r;
                  }()}),
    Sub("&Tools", {Row("Update Module..."), Row("Build file list", "", "Build file list."),
                   Row("All I/O Summary"), Hidden(Row("Tardix")),
                   Sub("Generate Test Fixture", {Row("By Verilog"), Row("By VHDL")}),
                   Sub("Map To Top",
                       {Row("All Lone Ports"), Row("Input Lone Ports"), Row("Output Lone Ports"),
                        Row("Inout Lone Ports"), Row("Internal Undrived Chains")})}),
    Sub("&Help", {Row("Help", "F1", "Show help."),
                  Hidden(Row("&Fernholt Home Page", "", "Visit Fernholt home page.")),
                  Row("&ZUN Home Page", "", "Visit ZUN homepage."), Row("Guestbook Online"),
                  Row("License"), Row("About...")}),
};

void CompareMenu(const QList<QAction*>& actions, const std::vector<MenuRow>& rows,
                 const std::string& where) {
    ASSERT_EQ(static_cast<std::size_t>(actions.size()), rows.size()) << where;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QAction* a = actions[static_cast<int>(i)];
        const MenuRow& r = rows[i];
        const std::string at = where + " > item " + std::to_string(i) + " " + r.caption;
        if (r.caption == "-") {
            EXPECT_TRUE(a->isSeparator()) << at;
            continue;
        }
        EXPECT_EQ(a->text().toStdString(), r.caption) << at;
        EXPECT_EQ(a->menu() != nullptr, r.submenu) << at;
        if (r.submenu) {
            CompareMenu(a->menu()->actions(), r.children, at);
            continue;
        }
        EXPECT_EQ(a->shortcut().toString().toStdString(), r.shortcut) << at;
        if (!r.hint.empty()) {
            EXPECT_EQ(a->toolTip().toStdString(), r.hint) << at;
        }
        EXPECT_EQ(a->isCheckable(), r.checkable) << at;
        EXPECT_EQ(a->isChecked(), r.checked) << at;
        EXPECT_EQ(a->isVisible(), r.visible) << at;
    }
}

TEST_F(MainWindowTest, MenusShowEveryCommandInOrderWithCaptionShortcutHintAndState) {
    CompareMenu(form->menuBar()->actions(), kMenus, "menu bar");
}

TEST_F(MainWindowTest, LongHintsGoToTheStatusBarText) {
    EXPECT_EQ(form->Action("OpenProject")->statusTip().toStdString(), "Opens an existing file");
    EXPECT_EQ(form->Action("FileSaveAs1")->statusTip().toStdString(),
              "Saves the active project with a new name");
    EXPECT_EQ(form->Action("FileExit1")->statusTip().toStdString(), "Quits the application");
}

TEST_F(MainWindowTest, TheRebuildCommandHasItsShortcutWithoutAMenuItem) {
    QAction* a = form->Action("UpdatePic");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->shortcut().toString().toStdString(), "F5");
    EXPECT_TRUE(form->actions().contains(a));
}

struct ButtonRow {
    const char* button; // nullptr for a separator
    const char* hint;
    bool check;
    int group;
    bool down;
};

// The expected tool bar, from left to right.
const std::vector<ButtonRow> kToolBar = {
    {"ToolButton24", "New Project", false, 0, false},
    {"ToolButton1", "Open", false, 0, false},
    {"ToolButton7", "Save Project", false, 0, false},
    {"ToolButton3", "Settings", false, 0, false},
    {nullptr, nullptr, false, 0, false},
    {"ToolButton8", "View Mode", true, 1, false},
    {"ToolButton9", "WireEdit Mode", true, 1, true},
    {"ToolButton28", "TopMap Mode", true, 1, false},
    {nullptr, nullptr, false, 0, false},
    {"ToolButton10", "Enable/Disable SmartLink", true, 0, true},
    {"ToolButton19", "Show Ports Linked Together", true, 0, true},
    {"ToolButton20", "Show Port Width", true, 0, false},
    {"ToolButton22", "Show Wires", true, 0, true},
    {"ToolButton23", "Show Lone Ports", true, 0, false},
    {nullptr, nullptr, false, 0, false},
    {"ToolButton18", "Show Port Properties Window", true, 0, true},
    {"ToolButton25", "Show Smart Link Window", true, 0, true},
    {"ToolButton27", "Show Information Window", true, 0, true},
    {nullptr, nullptr, false, 0, false},
    {"ToolButton35", "Normal View", true, 2, true},
    {"ToolButton2", "Compact View", true, 2, false},
    {"ToolButton36", "Custom View", true, 2, false},
    {nullptr, nullptr, false, 0, false},
    {"ToolButton11", "Actual Ports Size", false, 0, false},
    {"ToolButton12", "Full View", false, 0, false},
    {"ToolButton13", "Zoom In", false, 0, false},
    {"ToolButton14", "Zoom Out", false, 0, false},
    {"ToolButton15", "Zoom In Horizontally", false, 0, false},
    {"ToolButton16", "Zoom Out Horizontally", false, 0, false},
    {"ToolButton17", "Zoom In Vertically", false, 0, false},
    {"ToolButton4", "Zoom Out Vertically", false, 0, false},
    {nullptr, nullptr, false, 0, false},
    {"ToolButton21", "Undo", false, 0, false},
    {"ToolButton26", "Redo", false, 0, false},
    {nullptr, nullptr, false, 0, false},
    {"ToolButton32", "Generate HDL Code", false, 0, false},
};

TEST_F(MainWindowTest, ToolBarShowsEveryButtonInOrderWithHintKindGroupAndInitialState) {
    EXPECT_EQ(form->ToolBar1->windowTitle().toStdString(), "Tool");
    const QList<QAction*> actions = form->ToolBar1->actions();
    ASSERT_EQ(static_cast<std::size_t>(actions.size()), kToolBar.size());
    // Members of each radio group, to check that a group is one group and only that.
    std::map<int, const QActionGroup*> groups;
    for (std::size_t i = 0; i < kToolBar.size(); ++i) {
        const ButtonRow& r = kToolBar[i];
        QAction* a = actions[static_cast<int>(i)];
        const std::string at = "slot " + std::to_string(i) + " " + (r.button ? r.button : "|");
        if (!r.button) {
            EXPECT_TRUE(a->isSeparator()) << at;
            continue;
        }
        const QWidget* w = form->ToolBar1->widgetForAction(a);
        ASSERT_NE(w, nullptr) << at;
        EXPECT_EQ(w->objectName().toStdString(), r.button) << at;
        EXPECT_EQ(w->toolTip().toStdString(), r.hint) << at;
        EXPECT_EQ(a->isCheckable(), r.check) << at;
        EXPECT_EQ(a->isChecked(), r.down) << at;
        EXPECT_FALSE(a->icon().isNull()) << at;
        if (r.group == 0) {
            EXPECT_EQ(a->actionGroup(), nullptr) << at;
        } else {
            ASSERT_NE(a->actionGroup(), nullptr) << at;
            EXPECT_TRUE(a->actionGroup()->isExclusive()) << at;
            if (groups.count(r.group))
                EXPECT_EQ(groups[r.group], a->actionGroup()) << at;
            else
                groups[r.group] = a->actionGroup();
        }
    }
    EXPECT_NE(groups[1], groups[2]);
}

TEST_F(MainWindowTest, StatusBarHasFourPanelsOfTheGivenWidths) {
    const std::array<int, 4> widths = {310, 310, 120, 100};
    for (int i = 0; i < 4; ++i) {
        auto* panel = form->findChild<QWidget*>(QString("Panel%1").arg(i));
        ASSERT_NE(panel, nullptr) << i;
        EXPECT_EQ(panel->width(), widths[static_cast<std::size_t>(i)]) << i;
    }
}

TEST_F(MainWindowTest, TheWindowIs842By624AndTheInformationWindowDocksAtTheBottom151High) {
    EXPECT_EQ(form->size(), QSize(842, 624));
    form->show();
    QApplication::processEvents();
    EXPECT_EQ(form->dockWidgetArea(form->InfoWindow), Qt::BottomDockWidgetArea);
    EXPECT_FALSE(form->InfoWindow->isFloating());
    EXPECT_EQ(form->InfoWindow->height(), 151);
    // The canvas fills what the tool bar, the dock panel and the status bar leave.
    EXPECT_GT(form->ScrollBox1->height(), 624 / 2);
}

TEST_F(MainWindowTest, PressingARadioButtonReleasesTheOthersOfItsGroupAndSetsTheState) {
    HandleEverything();
    form->Model.PrjOpen = true;
    form->UpdateProjectState('n');
    form->Action("ToolButton28")->trigger();
    EXPECT_FALSE(form->Action("ToolButton9")->isChecked());
    EXPECT_TRUE(form->Action("ToolButton28")->isChecked());
    EXPECT_EQ(form->View.EditMode, 'T');
    EXPECT_EQ(runs["ToolButton28"], 1);
    form->Action("ToolButton2")->trigger();
    EXPECT_EQ(form->Model.ViewMode, '2');
    EXPECT_FALSE(form->Action("ToolButton35")->isChecked());
    form->ClickButton("ToolButton2", false); // a pressed radio button stays down
    EXPECT_TRUE(form->Action("ToolButton2")->isChecked());
    EXPECT_EQ(form->Model.ViewMode, '2');
}

TEST_F(MainWindowTest, CheckButtonsSetTheirStateAndTheHandlersReadIt) {
    HandleEverything();
    form->Model.PrjOpen = true;
    form->UpdateProjectState('n');
    EXPECT_FALSE(form->View.PortWidth);
    form->Action("ToolButton20")->trigger();
    EXPECT_TRUE(form->View.PortWidth);
    EXPECT_TRUE(form->Down("ToolButton20"));
    form->Action("ToolButton22")->trigger();
    EXPECT_FALSE(form->View.Wires);
    form->Action("ToolButton10")->trigger();
    EXPECT_FALSE(form->View.SmartLink);
}

TEST_F(MainWindowTest, TheViewButtonFollowsAViewModeSetByTheModel) {
    form->Model.ViewMode = '3';
    form->SyncCheckButtons();
    EXPECT_TRUE(form->Action("ToolButton36")->isChecked());
    EXPECT_FALSE(form->Action("ToolButton35")->isChecked());
}

// The commands a project enables (FileSavePrj follows Modified).
const std::vector<std::string> kProjectCommands = {"AddMdu",
                                                   "ImptTopPrt_Cstm",
                                                   "ImptTopPrt_HDL",
                                                   "FileNewPrj",
                                                   "OpenProject",
                                                   "FileSaveAs1",
                                                   "GenHDL",
                                                   "BFLst",
                                                   "GenTstVlog",
                                                   "GenTstVHDL",
                                                   "MapAllOrphans",
                                                   "MapInputs",
                                                   "MapOutputs",
                                                   "MapInouts",
                                                   "MapUndrv",
                                                   "UpdateMduDef",
                                                   "ViewModuleSummary1",
                                                   "ToolButton8",
                                                   "ToolButton9",
                                                   "ToolButton28",
                                                   "ToolButton10",
                                                   "ToolButton19",
                                                   "ToolButton20",
                                                   "ToolButton22",
                                                   "ToolButton23",
                                                   "ToolButton2",
                                                   "ToolButton35",
                                                   "ToolButton36",
                                                   "ToolButton4",
                                                   "ToolButton11",
                                                   "ToolButton12",
                                                   "ToolButton13",
                                                   "ToolButton14",
                                                   "ToolButton15",
                                                   "ToolButton16",
                                                   "ToolButton17"};
// Commands the project state leaves alone.
const std::vector<std::string> kFreeCommands = {"HelpDoc",   "VisitQv",      "VisitFeedback",
                                                "License1",  "About1",       "Settings",
                                                "FileExit1", "ToolButton27", "UpdatePic"};

TEST_F(MainWindowTest, WithoutAProjectOnlyNewAndOpenOfTheProjectCommandsAreEnabled) {
    HandleEverything();
    form->Model.PrjOpen = false;
    form->UpdateProjectState('n');
    for (const std::string& name : kProjectCommands) {
        const bool expected = name == "FileNewPrj" || name == "OpenProject";
        EXPECT_EQ(form->Action(name)->isEnabled(), expected) << name;
    }
    for (const char* name : {"FileSavePrj", "Undo", "Redo", "GenVHD"})
        EXPECT_FALSE(form->Action(name)->isEnabled()) << name;
    for (const std::string& name : kFreeCommands)
        EXPECT_TRUE(form->Action(name)->isEnabled()) << name;
    EXPECT_EQ(form->windowTitle().toStdString(), "ZUN2012");
}

TEST_F(MainWindowTest, WithAProjectEveryProjectCommandIsEnabledAndSaveFollowsModified) {
    HandleEverything();
    form->Model.PrjOpen = true;
    form->Model.PrjFileName = "/d/demo.zun";
    form->Model.Modified = false;
    form->UpdateProjectState('n');
    for (const std::string& name : kProjectCommands)
        EXPECT_TRUE(form->Action(name)->isEnabled()) << name;
    EXPECT_FALSE(form->Action("FileSavePrj")->isEnabled());
    EXPECT_FALSE(form->Action("Undo")->isEnabled());
    EXPECT_FALSE(form->Action("Redo")->isEnabled());
    EXPECT_FALSE(form->Action("GenVHD")->isEnabled()); // no handler of its own
    EXPECT_EQ(form->windowTitle().toStdString(), "ZUN2012 - /d/demo.zun");

    form->Model.Modified = true;
    form->UpdateProjectState('n');
    EXPECT_TRUE(form->Action("FileSavePrj")->isEnabled());
}

TEST_F(MainWindowTest, ACommandWithoutAHandlerStaysDisabledUntilItGetsOne) {
    form->Model.PrjOpen = true;
    form->UpdateProjectState('n');
    EXPECT_FALSE(form->Action("BFLst")->isEnabled());
    form->SetHandler("BFLst", [] {});
    EXPECT_TRUE(form->Action("BFLst")->isEnabled());
    // A check button is always usable: its state is what the drawing reads.
    EXPECT_TRUE(form->Action("ToolButton10")->isEnabled());
}

TEST_F(MainWindowTest, TheCloseCommandIsDisabledAtStart) {
    EXPECT_FALSE(form->Action("ClosePrj")->isEnabled());
}

TEST_F(MainWindowTest, AnExceptionEscapingACommandIsShownAndTheProgramGoesOn) {
    HandleEverything();
    form->SetHandler("HelpDoc", [] { throw std::runtime_error("The help page is broken."); });
    prompt.ExpectMessage("The help page is broken.");
    form->Action("HelpDoc")->trigger();
    EXPECT_TRUE(prompt.Done());
    form->Action("VisitQv")->trigger();
    EXPECT_EQ(runs["VisitQv"], 1);
    form->SetHandler("License1", [] { throw 42; });
    prompt.ExpectMessage(UnknownErrorText);
    EXPECT_FALSE(form->RunCommand("License1"));
}

} // namespace
