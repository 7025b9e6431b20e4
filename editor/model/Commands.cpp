// The command table of the main window: actions, menu items and tool buttons, the five menus
// and the tool bar, each caption written once.
#include "editor/model/Commands.h"

#include <cassert>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

using K = CommandKind;
using R = EnableRule;

const std::vector<CommandDef> kCommands = {
    {.name = "UpdatePic", .caption = "UpdatePic", .shortcut = "F5"},
    {.name = "Undo",
     .caption = "Undo",
     .shortcut = "Ctrl+Z",
     .hint = "Undo",
     .rule = R::EditOnly,
     .glyph = "Un",
     .icon = "edit-undo"},
    {.name = "Redo",
     .caption = "Redo",
     .shortcut = "Ctrl+Y",
     .hint = "Redo",
     .rule = R::EditOnly,
     .glyph = "Re",
     .icon = "edit-redo"},
    {.name = "FileNewPrj",
     .caption = "New Project",
     .shortcut = "Ctrl+N",
     .hint = "New Project",
     .rule = R::Always,
     .glyph = "New",
     .icon = "document-new"},
    {.name = "OpenProject",
     .caption = "&Open Project...",
     .shortcut = "Ctrl+O",
     .hint = "Open",
     .longHint = "Opens an existing file",
     .rule = R::Always,
     .glyph = "Opn",
     .icon = "document-open"},
    {.name = "FileSavePrj",
     .caption = "Save Project",
     .shortcut = "Ctrl+S",
     .hint = "Save Project",
     .rule = R::ProjectSaved,
     .glyph = "Sav",
     .icon = "document-save"},
    {.name = "FileSaveAs1",
     .caption = "Save Project &As...",
     .hint = "Save As",
     .longHint = "Saves the active project with a new name",
     .rule = R::Project,
     .icon = "document-save-as"},
    {.name = "ClosePrj", .caption = "Close Project", .icon = "document-close"},
    {.name = "FileExit1",
     .caption = "E&xit",
     .hint = "Exit",
     .longHint = "Quits the application",
     .icon = "application-exit"},
    {.name = "AddMdu", .caption = "Add Module", .rule = R::Project, .icon = "list-add"},
    {.name = "ImptTopPrt_HDL", .caption = "From HDL Source", .rule = R::Project},
    {.name = "ImptTopPrt_Cstm", .caption = "From Custom Ports List", .rule = R::Project},
    {.name = "GenHDL",
     .caption = "Generate HDL Code",
     .shortcut = "F9",
     .hint = "Generate HDL Code",
     .rule = R::Project,
     .glyph = "HDL",
     .icon = "run-build"},
    {.name = "GenVHD",
     .caption = "Generate VHDL Code",
     .shortcut = "F10",
     .hint = "Generate VHDL code.",
     .hidden = true,
     .rule = R::Never},
    {.name = "BFLst", .caption = "Build file list", .hint = "Build file list.", .rule = R::Project},
    {.name = "GenTstVlog", .caption = "By Verilog", .rule = R::Project},
    {.name = "GenTstVHDL", .caption = "By VHDL", .rule = R::Project},
    {.name = "MapAllOrphans", .caption = "All Lone Ports", .rule = R::Project},
    {.name = "MapInputs", .caption = "Input Lone Ports", .rule = R::Project},
    {.name = "MapOutputs", .caption = "Output Lone Ports", .rule = R::Project},
    {.name = "MapInouts", .caption = "Inout Lone Ports", .rule = R::Project},
    {.name = "MapUndrv", .caption = "Internal Undrived Chains", .rule = R::Project},
    {.name = "UpdateMduDef",
     .caption = "Update Module...",
     .rule = R::Project,
     .icon = "view-refresh"},
    {.name = "HelpDoc",
     .caption = "Help",
     .shortcut = "F1",
     .hint = "Show help.",
     .icon = "help-contents"},
    {.name = "VisitFeedback", .caption = "Guestbook Online"},
    {.name = "VisitQv", .caption = "&ZUN Home Page", .hint = "Visit ZUN homepage."},
    {.name = "VisitFernholt",
     .caption = "&Fernholt Home Page",
     .hint = "Visit Fernholt home page.",
     .hidden = true,
     .rule = R::Never},

    {.name = "Settings",
     .kind = K::MenuItem,
     .caption = "Settings...",
     .hint = "Settings",
     .glyph = "Set",
     .icon = "configure"},
    {.name = "MV_TName",
     .kind = K::MenuItem,
     .caption = "Show Top name box",
     .checkable = true,
     .down = true},
    {.name = "ViewModuleSummary1",
     .kind = K::MenuItem,
     .caption = "All I/O Summary",
     .rule = R::Project},
    {.name = "Tardix1", .kind = K::MenuItem, .caption = "Tardix", .hidden = true},
    {.name = "License1", .kind = K::MenuItem, .caption = "License"},
    {.name = "About1", .kind = K::MenuItem, .caption = "About...", .icon = "help-about"},

    {.name = "ToolButton8",
     .kind = K::ToolButton,
     .hint = "View Mode",
     .checkable = true,
     .group = 1,
     .rule = R::Project,
     .glyph = "V",
     .icon = "view-preview"},
    {.name = "ToolButton9",
     .kind = K::ToolButton,
     .hint = "WireEdit Mode",
     .checkable = true,
     .group = 1,
     .down = true,
     .rule = R::Project,
     .glyph = "W",
     .icon = "draw-connector"},
    {.name = "ToolButton28",
     .kind = K::ToolButton,
     .hint = "TopMap Mode",
     .checkable = true,
     .group = 1,
     .rule = R::Project,
     .glyph = "T",
     .icon = "go-top"},
    {.name = "ToolButton10",
     .kind = K::ToolButton,
     .hint = "Enable/Disable SmartLink",
     .checkable = true,
     .down = true,
     .stateOnly = true,
     .rule = R::Project,
     .glyph = "SL",
     .icon = "tools-wizard"},
    {.name = "ToolButton19",
     .kind = K::ToolButton,
     .hint = "Show Ports Linked Together",
     .checkable = true,
     .down = true,
     .rule = R::Project,
     .glyph = "Lk",
     .icon = "link"},
    {.name = "ToolButton20",
     .kind = K::ToolButton,
     .hint = "Show Port Width",
     .checkable = true,
     .rule = R::Project,
     .glyph = "Wd",
     .icon = "measure"},
    {.name = "ToolButton22",
     .kind = K::ToolButton,
     .hint = "Show Wires",
     .checkable = true,
     .down = true,
     .rule = R::Project,
     .glyph = "Wi",
     .icon = "draw-polyline"},
    {.name = "ToolButton23",
     .kind = K::ToolButton,
     .hint = "Show Lone Ports",
     .checkable = true,
     .rule = R::Project,
     .glyph = "Lo",
     .icon = "format-disconnect-node"},
    {.name = "ToolButton18",
     .kind = K::ToolButton,
     .hint = "Show Port Properties Window",
     .checkable = true,
     .down = true,
     .glyph = "Pr",
     .icon = "document-properties"},
    {.name = "ToolButton25",
     .kind = K::ToolButton,
     .hint = "Show Smart Link Window",
     .checkable = true,
     .down = true,
     .glyph = "SW",
     .icon = "dialog-scripts"},
    {.name = "ToolButton27",
     .kind = K::ToolButton,
     .hint = "Show Information Window",
     .checkable = true,
     .down = true,
     .glyph = "In",
     .icon = "dialog-information"},
    {.name = "ToolButton35",
     .kind = K::ToolButton,
     .hint = "Normal View",
     .checkable = true,
     .group = 2,
     .down = true,
     .rule = R::Project,
     .glyph = "N",
     .icon = "view-list-details"},
    {.name = "ToolButton2",
     .kind = K::ToolButton,
     .hint = "Compact View",
     .checkable = true,
     .group = 2,
     .rule = R::Project,
     .glyph = "C",
     .icon = "view-list-text"},
    {.name = "ToolButton36",
     .kind = K::ToolButton,
     .hint = "Custom View",
     .checkable = true,
     .group = 2,
     .rule = R::Project,
     .glyph = "Cu",
     .icon = "view-list-icons"},
    {.name = "ToolButton11",
     .kind = K::ToolButton,
     .hint = "Actual Ports Size",
     .rule = R::Project,
     .glyph = "1:1",
     .icon = "zoom-original"},
    {.name = "ToolButton12",
     .kind = K::ToolButton,
     .hint = "Full View",
     .rule = R::Project,
     .glyph = "Fit",
     .icon = "zoom-fit-best"},
    {.name = "ToolButton13",
     .kind = K::ToolButton,
     .hint = "Zoom In",
     .rule = R::Project,
     .glyph = "Z+",
     .icon = "zoom-in"},
    {.name = "ToolButton14",
     .kind = K::ToolButton,
     .hint = "Zoom Out",
     .rule = R::Project,
     .glyph = "Z-",
     .icon = "zoom-out"},
    {.name = "ToolButton15",
     .kind = K::ToolButton,
     .hint = "Zoom In Horizontally",
     .rule = R::Project,
     .glyph = "H+",
     .icon = "zoom-in-x"},
    {.name = "ToolButton16",
     .kind = K::ToolButton,
     .hint = "Zoom Out Horizontally",
     .rule = R::Project,
     .glyph = "H-",
     .icon = "zoom-out-x"},
    {.name = "ToolButton17",
     .kind = K::ToolButton,
     .hint = "Zoom In Vertically",
     .rule = R::Project,
     .glyph = "V+",
     .icon = "zoom-in-y"},
    {.name = "ToolButton4",
     .kind = K::ToolButton,
     .hint = "Zoom Out Vertically",
     .rule = R::Project,
     .glyph = "V-",
     .icon = "zoom-out-y"},
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

const CommandDef& RequireCommand(std::string_view name) {
    if (const CommandDef* c = FindCommand(name))
        return *c;
    const std::string message = "no command \"" + std::string(name) + "\" in the command table";
    std::fprintf(stderr, "%s\n", message.c_str());
    assert(!"a command named in the code is missing from the command table");
    throw std::logic_error(message);
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
