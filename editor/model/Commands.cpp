// The command table of the main window: actions, menu items and tool buttons, the five menus
// and the tool bar, each caption written once.
#include "editor/model/Commands.h"

namespace {

using K = CommandKind;
using R = EnableRule;

// name, kind, caption, shortcut, hint, long hint, checkable, group, down, hidden, state only,
// rule, glyph
const std::vector<CommandDef> kCommands = {
    {"UpdatePic", K::Action, "UpdatePic", "F5", "", "", false, 0, false, false, false, R::Untouched,
     ""},
    {"Undo", K::Action, "Undo", "Ctrl+Z", "Undo", "", false, 0, false, false, false, R::EditOnly,
     "Un"},
    {"Redo", K::Action, "Redo", "Ctrl+Y", "Redo", "", false, 0, false, false, false, R::EditOnly,
     "Re"},
    {"FileNewPrj", K::Action, "New Project", "Ctrl+N", "New Project", "", false, 0, false, false,
     false, R::Always, "New"},
    {"OpenProject", K::Action, "&Open Project...", "Ctrl+O", "Open", "Opens an existing file",
     false, 0, false, false, false, R::Always, "Opn"},
    {"FileSavePrj", K::Action, "Save Project", "Ctrl+S", "Save Project", "", false, 0, false, false,
     false, R::ProjectSaved, "Sav"},
    {"FileSaveAs1", K::Action, "Save Project &As...", "", "Save As",
     "Saves the active project with a new name", false, 0, false, false, false, R::Project, ""},
    {"ClosePrj", K::Action, "Close Project", "", "", "", false, 0, false, false, false,
     R::Untouched, ""},
    {"FileExit1", K::Action, "E&xit", "", "Exit", "Quits the application", false, 0, false, false,
     false, R::Untouched, ""},
    {"AddMdu", K::Action, "Add Module", "", "", "", false, 0, false, false, false, R::Project, ""},
    {"ImptTopPrt_HDL", K::Action, "From HDL Source", "", "", "", false, 0, false, false, false,
     R::Project, ""},
    {"ImptTopPrt_Cstm", K::Action, "From Custom Ports List", "", "", "", false, 0, false, false,
     false, R::Project, ""},
    {"GenHDL", K::Action, "Generate HDL Code", "F9", "Generate HDL Code", "", false, 0, false,
     false, false, R::Project, "HDL"},
    {"GenVHD", K::Action, "Generate VHDL Code", "F10", "Generate VHDL code.", "", false, 0, false,
     true, false, R::Never, ""},
    {"BFLst", K::Action, "Build file list", "", "Build file list.", "", false, 0, false, false,
     false, R::Project, ""},
    {"GenTstVlog", K::Action, "By Verilog", "", "", "", false, 0, false, false, false, R::Project,
     ""},
    {"GenTstVHDL", K::Action, "By VHDL", "", "", "", false, 0, false, false, false, R::Project, ""},
    {"MapAllOrphans", K::Action, "All Lone Ports", "", "", "", false, 0, false, false, false,
     R::Project, ""},
    {"MapInputs", K::Action, "Input Lone Ports", "", "", "", false, 0, false, false, false,
     R::Project, ""},
    {"MapOutputs", K::Action, "Output Lone Ports", "", "", "", false, 0, false, false, false,
     R::Project, ""},
    {"MapInouts", K::Action, "Inout Lone Ports", "", "", "", false, 0, false, false, false,
     R::Project, ""},
    {"MapUndrv", K::Action, "Internal Undrived Chains", "", "", "", false, 0, false, false, false,
     R::Project, ""},
    {"UpdateMduDef", K::Action, "Update Module...", "", "", "", false, 0, false, false, false,
     R::Project, ""},
    {"HelpDoc", K::Action, "Help", "F1", "Show help.", "", false, 0, false, false, false,
     R::Untouched, ""},
    {"VisitFeedback", K::Action, "Guestbook Online", "", "", "", false, 0, false, false, false,
     R::Untouched, ""},
    {"VisitQv", K::Action, "&ZUN Home Page", "", "Visit ZUN homepage.", "", false, 0, false, false,
     false, R::Untouched, ""},
    {"VisitFernholt", K::Action, "&Fernholt Home Page", "", "Visit Fernholt home page.", "", false,
     0, false, true, false, R::Never, ""},

    {"Settings", K::MenuItem, "Settings...", "", "Settings", "", false, 0, false, false, false,
     R::Untouched, "Set"},
    {"MV_TName", K::MenuItem, "Show Top name box", "", "", "", true, 0, true, false, false,
     R::Untouched, ""},
    {"ViewModuleSummary1", K::MenuItem, "All I/O Summary", "", "", "", false, 0, false, false,
     false, R::Project, ""},
    {"Tardix1", K::MenuItem, "Tardix", "", "", "", false, 0, false, true, false, R::Untouched, ""},
    {"License1", K::MenuItem, "License", "", "", "", false, 0, false, false, false, R::Untouched,
     ""},
    {"About1", K::MenuItem, "About...", "", "", "", false, 0, false, false, false, R::Untouched,
     ""},

    {"ToolButton8", K::ToolButton, "", "", "View Mode", "", true, 1, false, false, false,
     R::Project, "V"},
    {"ToolButton9", K::ToolButton, "", "", "WireEdit Mode", "", true, 1, true, false, false,
     R::Project, "W"},
    {"ToolButton28", K::ToolButton, "", "", "TopMap Mode", "", true, 1, false, false, false,
     R::Project, "T"},
    {"ToolButton10", K::ToolButton, "", "", "Enable/Disable SmartLink", "", true, 0, true, false,
     true, R::Project, "SL"},
    {"ToolButton19", K::ToolButton, "", "", "Show Ports Linked Together", "", true, 0, true, false,
     false, R::Project, "Lk"},
    {"ToolButton20", K::ToolButton, "", "", "Show Port Width", "", true, 0, false, false, false,
     R::Project, "Wd"},
    {"ToolButton22", K::ToolButton, "", "", "Show Wires", "", true, 0, true, false, false,
     R::Project, "Wi"},
    {"ToolButton23", K::ToolButton, "", "", "Show Lone Ports", "", true, 0, false, false, false,
     R::Project, "Lo"},
    {"ToolButton18", K::ToolButton, "", "", "Show Port Properties Window", "", true, 0, true, false,
     false, R::Untouched, "Pr"},
    {"ToolButton25", K::ToolButton, "", "", "Show Smart Link Window", "", true, 0, true, false,
     false, R::Untouched, "SW"},
    {"ToolButton27", K::ToolButton, "", "", "Show Information Window", "", true, 0, true, false,
     false, R::Untouched, "In"},
    {"ToolButton35", K::ToolButton, "", "", "Normal View", "", true, 2, true, false, false,
     R::Project, "N"},
    {"ToolButton2", K::ToolButton, "", "", "Compact View", "", true, 2, false, false, false,
     R::Project, "C"},
    {"ToolButton36", K::ToolButton, "", "", "Custom View", "", true, 2, false, false, false,
     R::Project, "Cu"},
    {"ToolButton11", K::ToolButton, "", "", "Actual Ports Size", "", false, 0, false, false, false,
     R::Project, "1:1"},
    {"ToolButton12", K::ToolButton, "", "", "Full View", "", false, 0, false, false, false,
     R::Project, "Fit"},
    {"ToolButton13", K::ToolButton, "", "", "Zoom In", "", false, 0, false, false, false,
     R::Project, "Z+"},
    {"ToolButton14", K::ToolButton, "", "", "Zoom Out", "", false, 0, false, false, false,
     R::Project, "Z-"},
    {"ToolButton15", K::ToolButton, "", "", "Zoom In Horizontally", "", false, 0, false, false,
     false, R::Project, "H+"},
    {"ToolButton16", K::ToolButton, "", "", "Zoom Out Horizontally", "", false, 0, false, false,
     false, R::Project, "H-"},
    {"ToolButton17", K::ToolButton, "", "", "Zoom In Vertically", "", false, 0, false, false, false,
     R::Project, "V+"},
    {"ToolButton4", K::ToolButton, "", "", "Zoom Out Vertically", "", false, 0, false, false, false,
     R::Project, "V-"},
};

MenuNode Item(std::string_view command) {
    return {command, "", "", {}};
}
MenuNode Separator() {
    return {"-", "", "", {}};
}
MenuNode Submenu(std::string_view caption, std::string_view name, std::vector<MenuNode> items) {
    return {"", caption, name, std::move(items)};
}

const std::vector<MenuNode> kMenus = {
    Submenu("&File", "File1",
            {Item("FileNewPrj"), Item("OpenProject"), Item("FileSavePrj"), Item("FileSaveAs1"),
             Item("ClosePrj"), Separator(), Item("AddMdu"),
             Submenu("Import Top Port", "ImportTopPort1",
                     {Item("ImptTopPrt_HDL"), Item("ImptTopPrt_Cstm")}),
             Separator(), Item("GenHDL"), Item("GenVHD"), Separator(),
             Submenu("Recent Projects", "RecentProjects1", {}), Separator(), Item("FileExit1")}),
    Submenu("&Edit", "Edit1", {Item("Undo"), Item("Redo")}),
    Submenu("&View", "View1", {Item("Settings"), Item("MV_TName")}),
    Submenu("&Tools", "Tools1",
            {Item("UpdateMduDef"), Item("BFLst"), Item("ViewModuleSummary1"), Item("Tardix1"),
             Submenu("Generate Test Fixture", "GenerateTestFixture1",
                     {Item("GenTstVlog"), Item("GenTstVHDL")}),
             Submenu("Map To Top", "MapToTop1",
                     {Item("MapAllOrphans"), Item("MapInputs"), Item("MapOutputs"),
                      Item("MapInouts"), Item("MapUndrv")})}),
    Submenu("&Help", "Help1",
            {Item("HelpDoc"), Item("VisitFernholt"), Item("VisitQv"), Item("VisitFeedback"),
             Item("License1"), Item("About1")}),
};

const std::vector<ToolSlot> kToolBar = {
    {"ToolButton24", "FileNewPrj"},
    {"ToolButton1", "OpenProject"},
    {"ToolButton7", "FileSavePrj"},
    {"ToolButton3", "Settings"},
    {"", ""},
    {"ToolButton8", "ToolButton8"},
    {"ToolButton9", "ToolButton9"},
    {"ToolButton28", "ToolButton28"},
    {"", ""},
    {"ToolButton10", "ToolButton10"},
    {"ToolButton19", "ToolButton19"},
    {"ToolButton20", "ToolButton20"},
    {"ToolButton22", "ToolButton22"},
    {"ToolButton23", "ToolButton23"},
    {"", ""},
    {"ToolButton18", "ToolButton18"},
    {"ToolButton25", "ToolButton25"},
    {"ToolButton27", "ToolButton27"},
    {"", ""},
    {"ToolButton35", "ToolButton35"},
    {"ToolButton2", "ToolButton2"},
    {"ToolButton36", "ToolButton36"},
    {"", ""},
    {"ToolButton11", "ToolButton11"},
    {"ToolButton12", "ToolButton12"},
    {"ToolButton13", "ToolButton13"},
    {"ToolButton14", "ToolButton14"},
    {"ToolButton15", "ToolButton15"},
    {"ToolButton16", "ToolButton16"},
    {"ToolButton17", "ToolButton17"},
    {"ToolButton4", "ToolButton4"},
    {"", ""},
    {"ToolButton21", "Undo"},
    {"ToolButton26", "Redo"},
    {"", ""},
    {"ToolButton32", "GenHDL"},
};

} // namespace

const std::vector<CommandDef>& CommandTable() {
    return kCommands;
}
const std::vector<MenuNode>& MainMenuTable() {
    return kMenus;
}
const std::vector<ToolSlot>& ToolBarTable() {
    return kToolBar;
}

const CommandDef* FindCommand(std::string_view name) {
    for (const CommandDef& c : kCommands)
        if (c.name == name)
            return &c;
    return nullptr;
}

bool EnabledByProjectState(EnableRule rule, bool prjOpen, bool modified, bool wasEnabled) {
    switch (rule) {
    case EnableRule::Untouched:
        return wasEnabled;
    case EnableRule::Project:
        return prjOpen;
    case EnableRule::ProjectSaved:
        return prjOpen && modified;
    case EnableRule::Always:
        return true;
    case EnableRule::EditOnly:
        return false;
    case EnableRule::Never:
        return false;
    }
    return wasEnabled;
}

std::vector<std::string_view> GroupMembers(int group) {
    std::vector<std::string_view> members;
    if (group == 0)
        return members;
    for (const CommandDef& c : kCommands)
        if (c.group == group)
            members.push_back(c.name);
    return members;
}

std::string StripMnemonic(std::string_view caption) {
    std::string out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}
