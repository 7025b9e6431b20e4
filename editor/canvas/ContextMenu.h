// The canvas's context menu without a window: the items built afresh at each right click from
// what lies under the mouse, the edit mode, the selection and the SmartLink rules, and the one
// dispatcher that runs the command an item stands for.
#pragma once

#include "editor/canvas/CanvasController.h"
#include "editor/canvas/NamingDialogs.h"
#include "editor/model/Nets.h"
#include "editor/model/ProjectModel.h"
#include "editor/model/ViewState.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Command numbers, as the items' Tags carry them (without the offset of a multi-selection).
enum PopupCommand {
    CmdIsolateInstance = 0,
    CmdDeleteInstance = 1,
    CmdDuplicate = 2,
    CmdSummary = 3,
    CmdViewSource = 4,
    CmdImportTopPort = 5,
    CmdUpdateModule = 6,
    CmdListInstance = 7,
    CmdOpenQemProject = 8,
    CmdMaxClientHeight = 100,
    CmdAddModule = 101,
    CmdNewModule = 102,
    CmdMapToTop = 1000,
    CmdIsolatePort = 1001,
    CmdCombine = 1003,
    CmdCombineToInout = 1004,
    CmdDeletePort = 1005,
    CmdSetToVariant = 1006,
    CmdToggleOutEn = 1007,
    CmdSetMainPort = 1008,
    CmdApplyAllRules = 1009,
    CmdListPort = 1010,
    CmdRule = 1100,
};

// The offset of a command on every selected port, and of a rule's Tag.
inline constexpr int MultiOffset = 1000;

// One item of the menu. A command item is dispatched on Command, Multi and Rule, never on its
// Tag: the Tag of a rule far down the list (1100 + r) can be the Tag of another command.
struct PopupItem {
    std::string Caption; // "-" for a separator
    int Tag = -1;
    int Command = -1;
    bool Multi = false;
    int Rule = -1; // the index in SLRules of the rule's first text
    bool Enabled = true;
    // Bound to a main-window action instead of the dispatcher ("Add Module" and the import
    // commands); a submenu holds its items in Children.
    std::string Action;
    std::vector<PopupItem> Children;

    bool IsSeparator() const { return Caption == "-"; }
};

// What the menu reads besides the project: the hit, where the mouse was, the edit mode, and
// which commands of other parts of the editor are there.
struct PopupContext {
    char HitKind = 'N';
    int HitIdx = 0;
    int MouseY = 0;       // canvas coordinates
    int ClientHeight = 0; // of the scroll box
    bool WireEditDown = true;
    bool SummaryAvailable = false;
    bool UpdateAvailable = false;
    bool ViewSourceAvailable = false;
    bool RulesAvailable = false;
};

// The selected ports may be combined into one bus: more than one, all top-level ports of the
// first one's direction, none an inout, combined or lone.
bool CanCombine(const ProjectModel& model);
// The roles of exactly three selected top-level ports that may become one inout: the input, the
// data output (as wide as the input) and the first one-bit output, the enable; none combined or
// lone. Nothing when they do not fit.
std::optional<std::array<int, 3>> InoutRoles(const ProjectModel& model);

// The items for the context, in the menu's order. Asks the output-enable toggle of a combined
// inout which caption it takes, logging an internal error when it has no assignment.
std::vector<PopupItem> BuildPopupItems(ProjectModel& model, const PopupContext& context);

// Seams of commands that other parts of the editor bring; while one is unset its item shows
// disabled.
struct ContextMenuHooks {
    // The HTML summary of one instance, saved in the work directory and opened.
    std::function<void(const std::string& instance)> MakeModuleSummary;
    // The update of one instance's module from its source.
    std::function<void(const std::string& instance)> UpdateModuleDefinition;
    // SmartLink's proposals for a port by one rule (its index in SLRules); true when it proposed.
    std::function<bool(int portIndex, int rule, std::string& summary)> ApplySmartLinkRules;
    // The hourglass around a command.
    std::function<void(bool busy)> Busy;
};

class ContextMenu {
public:
    ContextMenu(ProjectModel& model, const ViewState& view, CanvasController& canvas,
                CanvasHost& host, MenuDialogs& dialogs, Prompt& prompt);

    ContextMenuHooks Hooks;

    // The hit when the menu opened, and the mouse there (canvas coordinates).
    char PopupHitKind = 'N';
    int PopupHitIdx = 0;
    int PopupMouseY = 0;
    std::vector<PopupItem> Items;

    // The dialogs, made once and reused.
    DupNameDialog FormDupName;
    CombineDialog FormComb;
    CinoutDialog FormCinout;

    // Builds the items for a right click at (x, y) of the canvas.
    const std::vector<PopupItem>& PopupMenu1Popup(int x, int y, int clientHeight);
    // Runs the command of an item; nothing for a separator, a submenu, an action's item or none.
    void PopupItemClick(const PopupItem* item);

private:
    enum class Outcome { Cleared, Kept, EndedEarly };
    Outcome Run(const PopupItem& item);
    Outcome RunInstanceCommand(int command);
    Outcome RunPortCommand(const PopupItem& item);
    Outcome RunSelectionCommand(const PopupItem& item);
    Outcome Duplicate(const mdu& instance);
    Outcome Combine(const port& clicked);
    Outcome CombineToInout();
    void StartModuleEditor(const std::vector<std::string>& arguments);
    // The rules an item runs: its own, or every rule for "Apply all rules".
    std::vector<int> RulesOf(const PopupItem& item) const;
    void ApplyRules(const std::vector<NetEnd>& ports, const std::vector<int>& rules);
    // The ports as (instance, name), to be found again on the records of each next rebuild.
    std::vector<NetEnd> Selected() const;
    const port* Find(const NetEnd& end) const;
    void RebuildRecords();
    // The records again once an edit removed lines, so the next port is read from fresh ones.
    void RebuildIfLineCountChanged();

    ProjectModel& model_;
    const ViewState& view_;
    CanvasController& canvas_;
    CanvasHost& host_;
    MenuDialogs& dialogs_;
    Prompt& prompt_;
    std::size_t linesAtRebuild_ = 0;
};
