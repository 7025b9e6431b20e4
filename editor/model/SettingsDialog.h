// The Settings dialog without its window: the checks its Apply shares with the settings loader,
// the dialog's controls as plain values filled from the members, and Apply, which takes the
// controls' values into the members in its fixed order and runs what must follow.
#pragma once

#include "editor/model/FontValue.h"

#include <array>
#include <functional>
#include <string>

class ProjectModel;
class Prompt;

// A naming rule for new instances: without its "%" signs a legal identifier, and holding "%D".
bool InstNameRuleLegal(const std::string& rule);
// A naming rule for new wires: without its "%" signs a legal identifier.
bool WireNameRuleLegal(const std::string& rule);
// A replace text as it is kept: every blank, then every TAB removed.
std::string CleanReplaceText(const std::string& text);
// A replace pattern may anchor at the start or at the end, not at both.
bool HasBothAnchors(const std::string& pattern);
// A directory name ending in the separator "/": a trailing backslash becomes one, a name without
// either gets one; an empty name stays empty.
std::string WithDirSeparator(std::string dir);
// What the user reads when a work directory can not be written.
std::string UnwritableWorkDirText(const std::string& dir);

// The dialog edits members of the settings file; each control names the settings key of its
// member, and the table of keys (Settings.h) says which member that is.

// One colour box of the "Color" page: its label, its key, and whether it stands beside the box
// before it.
struct ColorBoxRow {
    const char* Caption;
    const char* Key;
    bool Beside;
};
// The twelve boxes from "Total Background:" to "Main Port:".
const std::array<ColorBoxRow, 12>& ColorBoxRows();

// One number edit of the "Size" page: caption, key and the range of its arrows.
struct SizeSpinRow {
    const char* Caption;
    const char* Key;
    int Low;
    int High;
};
// The ten rows from "Auto scrolling step(pixels):" to "MBMP in compact view:".
const std::array<SizeSpinRow, 10>& SizeSpinRows();

// The drop-down texts of the value of open top-level outputs.
inline constexpr std::array<const char*, 4> AssignOpenOutItems = {"0", "1", "Z", "NONE"};

// The values of the dialog's controls.
struct SettingsControls {
    // The fonts of the settings file's font sections "FA" to "FH", in their order: MduFont,
    // InFont, OutFont, InoutFont, VarFont, ParaMduFont, HdlFont, MsgFont.
    std::array<FontValue, 8> Fonts;
    // ColorBoxRows' colours, BackColor to MainPrtColor.
    std::array<int, 12> Colors{};
    // SizeSpinRows' members, each within its row's range.
    std::array<int, 10> Sizes{};
    bool InternalEditor = true;
    std::string EditorProgram;
    std::string EditorParams;
    bool ConfirmParam = true;
    bool StrictRule = true;
    std::string AssignOpenOut; // one of AssignOpenOutItems
    std::string WorkDir;
    bool DirectConn = true;
    std::string ProxyHost;
    std::string ProxyPort; // decimal text
    std::string ProxyUser;
    std::string ProxyPassword;
    std::string InstNameRule;
    std::string WireNameRule;
    std::array<std::string, 3> ReplaceFrom;
    std::array<std::string, 3> ReplaceWith;
    // "Default": ticked and greyed without a project, so that Apply always writes the file then.
    bool Default = false;
    bool DefaultEnabled = true;
    // Greyed while the present work directory can not be written.
    bool CancelEnabled = true;
};

// Fills the controls from the members; a size outside its spin's range shows as the nearest end.
SettingsControls LoadControls(const ProjectModel& model);

// What Apply runs after it has taken the values, in its order. Every member must be set.
struct SettingsApplyHooks {
    std::function<void()> FontsChanged; // the memos take HdlFont and MsgFont
    std::function<void()> Rebuild;      // the rebuild with the dialog as sender
    std::function<void()> SaveSettings; // the full save, only when "Default" is ticked
    std::function<void()> UpdateProjectState;
    std::function<void()> ZoomRecheck; // a zoom step of 0
    // A canvas font changed with a project open: the boxes take the sizes that a new project
    // takes from its fonts, before the rebuild lays the project out again.
    std::function<void()> FitSizesToFonts;
};

// Apply: false (and nothing applied) when the work directory of the controls can not be
// written, which the prompt tells. Illegal rules keep the previous ones and are logged; the rest
// of the values are applied all the same.
bool ApplySettings(ProjectModel& model, Prompt& prompt, const SettingsControls& controls,
                   const SettingsApplyHooks& hooks);
