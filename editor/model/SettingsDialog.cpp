// Filling the Settings dialog's controls from the members and applying them.
#include "editor/model/SettingsDialog.h"

#include "editor/model/Documents.h"
#include "editor/model/ProjectLine.h"
#include "editor/model/ProjectModel.h"
#include "editor/model/Prompt.h"
#include "editor/model/Settings.h"

#include <algorithm>
#include <stdexcept>

namespace {

std::string Without(const std::string& text, char c) {
    std::string out = text;
    std::erase(out, c);
    return out;
}

const std::array<ColorBoxRow, 12> kColorRows = {{
    {"Total Background:", "E01", false},
    {"Port pointed to(Background):", "E02", false},
    {"(Pen):", "E03", true},
    {"Friend ports(Background):", "E04", false},
    {"(Pen):", "E05", true},
    {"Unmatched ports:", "E06", false},
    {"Wire:", "E07", false},
    {"(End):", "E08", true},
    {"SmartLink Wire:", "E09", false},
    {"(Mark):", "E10", true},
    {"Lone Ports:", "E11", false},
    {"Main Port:", "E11A", false},
}};

const std::array<SizeSpinRow, 10> kSizeRows = {{
    {"Auto scrolling step(pixels):", "F01", 1, 100},
    {"Left margin:", "F02", 1, 300},
    {"Top margin:", "F03", 1, 300},
    {"Margin between modules:", "F04", 1, 300},
    {"Columns margin within a module:", "F05", 1, 300},
    {"Margin between module and port:", "F06", 1, 300},
    {"Margin between ports:", "F07", 0, 100},
    {"Size of wire ends:", "F08", 1, 50},
    {"Max view area height:", "F09", 300, 32760},
    {"MBMP in compact view:", "F10", 1, 300},
}};

// The integer member under a key; the dialog names only keys that the table holds.
int& IntegerMember(ProjectModel& m, const char* key) {
    const SettingKey* k = FindSettingKey(key);
    if (!k || !k->integer)
        throw std::logic_error(std::string("no integer setting ") + key);
    return k->integer(m);
}

// The first six of the dialog's fonts draw the schematic; the last two are the HDL and message
// fonts of the memos.
constexpr std::size_t CanvasFonts = 6;

std::array<FontValue*, 8> DialogFonts(ProjectModel& m) {
    std::array<FontValue*, 8> fonts{};
    std::size_t n = 0;
    for (const SettingKey& k : SettingsKeys())
        if (k.kind == SettingKind::Font) {
            if (n == fonts.size())
                throw std::logic_error("more fonts in the settings than the dialog shows");
            fonts[n++] = &k.font(m);
        }
    if (n != fonts.size())
        throw std::logic_error("fewer fonts in the settings than the dialog shows");
    return fonts;
}

std::array<int*, 12> DialogColors(ProjectModel& m) {
    std::array<int*, 12> colors{};
    for (std::size_t i = 0; i < kColorRows.size(); ++i)
        colors[i] = &IntegerMember(m, kColorRows[i].Key);
    return colors;
}

} // namespace

bool InstNameRuleLegal(const std::string& rule) {
    return IsLegalIdent(Without(rule, '%')) && rule.find("%D") != std::string::npos;
}

bool WireNameRuleLegal(const std::string& rule) {
    return IsLegalIdent(Without(rule, '%'));
}

std::string CleanReplaceText(const std::string& text) {
    return Without(Without(text, ' '), '\t');
}

bool HasBothAnchors(const std::string& pattern) {
    return pattern.find('^') != std::string::npos && pattern.find('$') != std::string::npos;
}

std::string WithDirSeparator(std::string dir) {
    // Work files are named WorkDir + file name, so a backslash written on Windows must become
    // a real separator.
    if (!dir.empty() && dir.back() == '\\')
        dir.back() = '/';
    else if (!dir.empty() && dir.back() != '/')
        dir += '/';
    return dir;
}

std::string UnwritableWorkDirText(const std::string& dir) {
    return "Can not write to the directory " + dir + ". Please set a valid work directory.";
}

const std::array<ColorBoxRow, 12>& ColorBoxRows() {
    return kColorRows;
}

const std::array<SizeSpinRow, 10>& SizeSpinRows() {
    return kSizeRows;
}

SettingsControls LoadControls(const ProjectModel& model) {
    // The table's accessors serve reading and writing alike; here they only read.
    ProjectModel& m = const_cast<ProjectModel&>(model);
    SettingsControls c;
    const auto fonts = DialogFonts(m);
    for (std::size_t i = 0; i < fonts.size(); ++i)
        c.Fonts[i] = *fonts[i];
    const auto colors = DialogColors(m);
    for (std::size_t i = 0; i < colors.size(); ++i)
        c.Colors[i] = *colors[i];
    for (std::size_t i = 0; i < kSizeRows.size(); ++i)
        c.Sizes[i] =
            std::clamp(IntegerMember(m, kSizeRows[i].Key), kSizeRows[i].Low, kSizeRows[i].High);
    c.InternalEditor = m.InternalEditor;
    c.EditorProgram = m.EditorProgram;
    c.EditorParams = m.EditorParams;
    c.ConfirmParam = m.ConfirmParam;
    c.StrictRule = m.StrictRule;
    c.AssignOpenOut = m.AssignOpenOut == '0'   ? "0"
                      : m.AssignOpenOut == '1' ? "1"
                      : m.AssignOpenOut == 'Z' ? "Z"
                                               : "NONE";
    c.WorkDir = m.WorkDir;
    c.DirectConn = m.DirectConn;
    c.ProxyHost = m.ProxyHost;
    c.ProxyPort = std::to_string(m.ProxyPort);
    c.ProxyUser = m.ProxyUser;
    c.ProxyPassword = m.ProxyPassword;
    c.InstNameRule = m.InstNameRule;
    c.WireNameRule = m.WireNameRule;
    c.ReplaceFrom = m.ReplaceFrom;
    c.ReplaceWith = m.ReplaceWith;
    c.Default = !m.PrjOpen;
    c.DefaultEnabled = m.PrjOpen;
    c.CancelEnabled = IsWorkDirWritable(m.WorkDir);
    return c;
}

bool ApplySettings(ProjectModel& m, Prompt& prompt, const SettingsControls& c,
                   const SettingsApplyHooks& hooks) {
    // 1. The work directory first: without one that can be written nothing is applied.
    if (!IsWorkDirWritable(c.WorkDir)) {
        prompt.Message(UnwritableWorkDirText(c.WorkDir), "", MessageKind::Error);
        return false;
    }
    // 2. Fonts, and the memos that show two of them.
    const auto fonts = DialogFonts(m);
    bool canvasFontChanged = false;
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        canvasFontChanged = canvasFontChanged || (i < CanvasFonts && !(*fonts[i] == c.Fonts[i]));
        *fonts[i] = c.Fonts[i];
    }
    hooks.FontsChanged();
    // 3 to 5. Colours, editor, options, the value of open outputs and the work directory.
    const auto colors = DialogColors(m);
    for (std::size_t i = 0; i < colors.size(); ++i)
        *colors[i] = c.Colors[i];
    IntegerMember(m, kSizeRows[0].Key) =
        std::clamp(c.Sizes[0], kSizeRows[0].Low, kSizeRows[0].High);
    m.InternalEditor = c.InternalEditor;
    m.EditorProgram = c.EditorProgram;
    m.EditorParams = c.EditorParams;
    m.ConfirmParam = c.ConfirmParam;
    m.StrictRule = c.StrictRule;
    m.AssignOpenOut =
        c.AssignOpenOut.empty() || c.AssignOpenOut == "NONE" ? 'N' : c.AssignOpenOut[0];
    m.WorkDir = WithDirSeparator(c.WorkDir);
    m.DirectConn = c.DirectConn;
    m.ProxyHost = c.ProxyHost;
    // 6 and 7. Naming rules: an illegal one keeps the previous rule.
    if (InstNameRuleLegal(c.InstNameRule))
        m.InstNameRule = c.InstNameRule;
    else
        m.LogError("Found illegal naming rule for new instances.");
    if (WireNameRuleLegal(c.WireNameRule))
        m.WireNameRule = c.WireNameRule;
    else
        m.LogError("Found illegal naming rule for new wires.");
    // 8. Replace patterns and their replacements.
    for (std::size_t i = 0; i < 3; ++i) {
        m.ReplaceFrom[i] = CleanReplaceText(c.ReplaceFrom[i]);
        m.ReplaceWith[i] = CleanReplaceText(c.ReplaceWith[i]);
    }
    for (std::string& from : m.ReplaceFrom) {
        if (HasBothAnchors(from)) {
            from.clear();
            m.LogError("^ and $ can not appear at the same time in naming rules.");
        }
    }
    // 9. The proxy; a port that is no number keeps the previous one.
    if (const auto port = ParseDecimal(c.ProxyPort))
        m.ProxyPort = *port;
    else
        m.LogError("Need an integer for proxy port.");
    m.ProxyUser = c.ProxyUser;
    m.ProxyPassword = c.ProxyPassword;
    // 10. The sizes of the "Size" page but the auto-scroll step, taken above.
    for (std::size_t i = 1; i < kSizeRows.size(); ++i)
        IntegerMember(m, kSizeRows[i].Key) =
            std::clamp(c.Sizes[i], kSizeRows[i].Low, kSizeRows[i].High);
    // 11 to 15. Boxes sized to the old fonts would clip the new labels: the open project is
    // laid out with the sizes a new one gets, its lines (instance and port order, compact marks)
    // and the margins kept as they are.
    if (canvasFontChanged && m.PrjOpen)
        hooks.FitSizesToFonts();
    hooks.Rebuild();
    if (c.Default)
        hooks.SaveSettings();
    m.Modified = true;
    hooks.UpdateProjectState();
    hooks.ZoomRecheck();
    hooks.Rebuild();
    return true;
}
