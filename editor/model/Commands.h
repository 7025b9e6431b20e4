// The main window's command vocabulary as data: every action, menu item and tool button with its
// caption, shortcut, hint and state, the menus and the tool bar that show them, and the rule that
// enables each one with and without a project. The windows build their widgets from this table.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// How the project state enables a command (the window caption update does this).
enum class EnableRule {
    Untouched,    // the project state never changes it
    Project,      // enabled exactly while a project is open
    ProjectSaved, // enabled while a project is open and modified (the Save command)
    Always,       // enabled with and without a project (New, Open)
    EditOnly,     // disabled by every project-state change; the edit routines enable it
    Never         // no handler of its own (or switched off for good): always disabled
};

enum class CommandKind {
    Action,    // an action of the action list, shown by menu items and tool buttons
    MenuItem,  // a menu item with a click handler of its own
    ToolButton // a tool button with a click handler of its own, or none (state only)
};

// One row of the command table. Rows name their fields; a field left out has the value given
// here (an empty text, false, 0), which is what most commands have.
struct CommandDef {
    std::string_view name{}; // the component name: action, menu item or tool button
    CommandKind kind = CommandKind::Action;
    std::string_view caption{};  // menu text with its "&" mnemonic; empty for tool buttons
    std::string_view shortcut{}; // "Ctrl+Z", "F5"; empty = none
    std::string_view hint{};     // tool tip; empty = none
    std::string_view longHint{}; // status-bar text; empty = none
    bool checkable = false;
    int group = 0;          // radio group number; 0 = none
    bool down = false;      // checked at start
    bool hidden = false;    // its menu item is hidden
    bool stateOnly = false; // a check button without a handler: only its state is read
    EnableRule rule = EnableRule::Untouched;
    std::string_view glyph{}; // the tool button's short caption, shown where no icon exists
    std::string_view icon{};  // freedesktop icon name, looked up in the icon theme; empty = none
};

// One entry of a menu: a command, a separator (command "-") or a submenu (caption and children).
struct MenuNode {
    std::string_view command; // command name, "-" for a separator, empty for a submenu
    std::string_view caption; // submenu caption
    std::string_view name;    // submenu component name
    std::vector<MenuNode> children;
};

// One place of the tool bar: a button and the command it shows; a separator has both empty.
struct ToolSlot {
    std::string_view button;
    std::string_view command;
};

const std::vector<CommandDef>& CommandTable();
// The five menus of the menu bar, in order; each top node is a submenu.
const std::vector<MenuNode>& MainMenuTable();
const std::vector<ToolSlot>& ToolBarTable();

// Nullptr when no command has that name.
const CommandDef* FindCommand(std::string_view name);
// The command of that name, for code that names a command in its source: a name missing from
// the table is a typo, so it aborts a debug build and throws std::logic_error in a release
// build, never passing unnoticed.
const CommandDef& RequireCommand(std::string_view name);

// Whether the project state enables a command of this rule; wasEnabled is the present state,
// kept for the rules that a project-state change does not touch.
bool EnabledByProjectState(EnableRule rule, bool prjOpen, bool modified, bool wasEnabled);

// Every command of a radio group, in table order.
std::vector<std::string_view> GroupMembers(int group);

// Caption without its "&" mnemonic markers ("&&" stays one "&").
std::string StripMnemonic(std::string_view caption);
