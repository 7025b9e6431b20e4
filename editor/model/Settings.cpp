// Loading and saving the settings file "zun2012.ini".
#include "editor/model/Settings.h"

#include "editor/model/Documents.h"
#include "editor/model/ProjectFile.h"
#include "editor/model/ProjectLine.h"
#include "editor/model/ProjectModel.h"
#include "editor/model/Prompt.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

const char* const Section = "QVsetting";
const char* const DefaultIniName = "zun2012.ini";
const char* const DefaultInstRule = "u_%M_%D";
const char* const DefaultWireRule = "%P";

constexpr std::array<const char*, 8> FontSections = {"FA", "FB", "FC", "FD",
                                                     "FE", "FF", "FG", "FH"};

std::array<FontValue*, 8> Fonts(ProjectModel& m) {
    return {&m.MduFont, &m.InFont,      &m.OutFont,         &m.InoutFont,
            &m.VarFont, &m.ParaMduFont, &m.AppMisc.HdlFont, &m.AppMisc.MsgFont};
}

std::array<int*, 12> Colours(ProjectModel& m) {
    return {&m.BackColor,      &m.PointedBrush,   &m.PointedPen, &m.FriendBrush,
            &m.FriendPen,      &m.UnmatchedColor, &m.WireColor,  &m.WireEndColor,
            &m.SmartWireColor, &m.SmartMarkColor, &m.LoneColor,  &m.MainPrtColor};
}

constexpr std::array<const char*, 12> ColourKeys = {"E01", "E02", "E03", "E04", "E05", "E06",
                                                    "E07", "E08", "E09", "E10", "E11", "E11A"};
constexpr std::array<int, 12> ColourDefaults = {static_cast<int>(0x80000016u),
                                                0xFF8080,
                                                0x0000FF,
                                                0x93D8EC,
                                                0x275242,
                                                0xE1E1E1,
                                                0xC0C0C0,
                                                0x408000,
                                                0x0000FF,
                                                0x0000FF,
                                                0x0000FF,
                                                0x0000FF};

std::array<int*, 16> Sizes(ProjectModel& m) {
    return {&m.AutoScrollStep, &m.LeftMargin,    &m.TopMargin,  &m.MduMargin,
            &m.ColMargin,      &m.MduPrtMargin,  &m.PrtMargin,  &m.WireEndSize,
            &m.MaxViewHeight,  &m.CompactMargin, &m.SizeF11,    &m.TitleHeight,
            &m.PrtHeight,      &m.PrtWidth,      &m.RightSlack, &m.BottomSlack};
}

constexpr std::array<int, 16> SizeDefaults = {20,  6, 6,  10, 10, 3,  0, 4,
                                              800, 5, 60, 15, 15, 40, 6, 6};

std::string SizeKey(int i) {
    std::string k = "F";
    if (i < 10)
        k += '0';
    return k + std::to_string(i);
}

std::string RecentKey(int n) {
    return "RecnetProject" + std::to_string(n);
}

std::string WithoutChars(std::string text, const char* chars) {
    std::string out;
    for (char c : text) {
        bool drop = false;
        for (const char* p = chars; *p; ++p)
            drop = drop || c == *p;
        if (!drop)
            out.push_back(c);
    }
    return out;
}

// Tells the user that the settings file could not be written, and the log why; answers false
// for the caller.
bool ReportFailedWrite(ProjectModel& m, EditorServices& services, const std::string& path,
                       const IoStatus& status) {
    LogFailedWrite(m, status);
    if (services.prompt)
        services.prompt->Message(
            "Fail to modify the file " + path +
                ". If you do not have such privilege, try to start ZUN2012 with another INI file "
                "by the command line option \"-ini\".",
            "ZUN2012", MessageKind::Error);
    return false;
}

} // namespace

std::string DefaultIniPath(const ProjectModel& model) {
    if (platform::ProbeDirectoryWritable(model.AppDir))
        return model.AppDir + DefaultIniName;
    return platform::UserConfigDir() + DefaultIniName;
}

std::string DefaultWorkDir(const ProjectModel& model) {
    if (platform::ProbeDirectoryWritable(model.AppDir))
        return model.AppDir;
    std::string dir = platform::UserCacheDir();
    platform::MakeDirectories(dir);
    return dir;
}

const std::string& LocateIniFile(ProjectModel& model) {
    if (model.IniPath.empty() || !platform::FileExists(model.IniPath))
        model.IniPath = DefaultIniPath(model);
    return model.IniPath;
}

bool GuestbookDue(long long today, long long recnet) {
    // Both come from a hand-editable file: compare without overflow.
    return today > recnet + 30;
}

void ReadFontSection(const platform::IniFile& ini, const std::string& section, FontValue& font) {
    font.Charset = ini.ReadInteger(section, "F1", 1);
    font.Face = ini.ReadString(section, "F2", "MS Sans Serif");
    font.Color = ini.ReadInteger(section, "F3", 0x800000);
    font.Size = ini.ReadInteger(section, "F4", 8);
    font.Bold = ini.ReadBool(section, "F5", false);
    font.Italic = ini.ReadBool(section, "F6", false);
    font.Underline = ini.ReadBool(section, "F7", false);
    font.StrikeOut = ini.ReadBool(section, "F8", false);
}

void WriteFontSection(platform::IniFile& ini, const std::string& section, const FontValue& font) {
    ini.WriteInteger(section, "F1", font.Charset);
    ini.WriteString(section, "F2", font.Face);
    ini.WriteInteger(section, "F3", font.Color);
    ini.WriteInteger(section, "F4", font.Size);
    ini.WriteBool(section, "F5", font.Bold);
    ini.WriteBool(section, "F6", font.Italic);
    ini.WriteBool(section, "F7", font.Underline);
    ini.WriteBool(section, "F8", font.StrikeOut);
}

void LoadSettings(ProjectModel& m, EditorServices& services) {
    // 1. The file.
    std::string path = LocateIniFile(m);
    platform::IniFile ini(path);
    if (ini.Load())
        m.LogInfo("Load the INI file: " + path + ".");
    else
        m.LogError("Can not find file " + path + ".");

    // 2. Fonts.
    auto fonts = Fonts(m);
    for (std::size_t i = 0; i < fonts.size(); ++i)
        ReadFontSection(ini, FontSections[i], *fonts[i]);

    // 3. Colours, sizes, then E12 to E27 in key order.
    auto colours = Colours(m);
    for (std::size_t i = 0; i < colours.size(); ++i)
        *colours[i] = ini.ReadInteger(Section, ColourKeys[i], ColourDefaults[i]);
    auto sizes = Sizes(m);
    for (std::size_t i = 0; i < sizes.size(); ++i)
        *sizes[i] = ini.ReadInteger(Section, SizeKey(static_cast<int>(i) + 1), SizeDefaults[i]);
    m.InternalEditor = ini.ReadBool(Section, "E12", true);
    m.EditorProgram = ini.ReadString(Section, "E13", "");
    m.EditorParams = ini.ReadString(Section, "E14", "");
    m.ConfirmParam = ini.ReadBool(Section, "E15", true);
    std::optional<std::string> workDir = ini.Find(Section, "E16");
    m.WorkDir = workDir ? *workDir : DefaultWorkDir(m);
    m.StrictRule = ini.ReadBool(Section, "E17", true);
    std::string assign = ini.ReadString(Section, "E18", "N");
    m.DirectConn = ini.ReadBool(Section, "E19", true);
    m.ProxyHost = ini.ReadString(Section, "E20", "");
    m.ProxyPort = ini.ReadInteger(Section, "E21", 8080);
    m.ProxyUser = ini.ReadString(Section, "E22", "");
    m.ProxyPassword = ini.ReadString(Section, "E23", "");
    // "E24" and "E25" (a server list) have no use in the editor: they are neither read nor written.
    m.InstNameRule = ini.ReadString(Section, "E26", DefaultInstRule);
    m.WireNameRule = ini.ReadString(Section, "E27", DefaultWireRule);

    // 4 and 5. Naming rules.
    std::string inst = WithoutChars(m.InstNameRule, "%");
    if (!IsLegalIdent(inst) || m.InstNameRule.find("%D") == std::string::npos) {
        m.InstNameRule = DefaultInstRule;
        m.LogError("Found illegal naming rule for new instances.");
    }
    if (!IsLegalIdent(WithoutChars(m.WireNameRule, "%"))) {
        m.WireNameRule = DefaultWireRule;
        m.LogError("Found illegal naming rule for new wires.");
    }

    // 6. Replace patterns and their replacements.
    for (int i = 0; i < 3; ++i) {
        m.ReplaceFrom[i] =
            WithoutChars(ini.ReadString(Section, "E" + std::to_string(28 + i), ""), " ");
    }
    for (std::string& s : m.ReplaceFrom)
        s = WithoutChars(s, "\t");
    for (int i = 0; i < 3; ++i) {
        m.ReplaceWith[i] =
            WithoutChars(ini.ReadString(Section, "E" + std::to_string(31 + i), ""), " ");
    }
    for (std::string& s : m.ReplaceWith)
        s = WithoutChars(s, "\t");
    for (std::string& s : m.ReplaceFrom) {
        if (s.find('^') != std::string::npos && s.find('$') != std::string::npos) {
            s.clear();
            m.LogError("^ and $ can not appear at the same time in naming rules.");
        }
    }

    // 7. Generation choices and the module editor.
    m.AppMisc.GenBox = ini.ReadInteger(Section, "GenBox", 0);
    m.AppMisc.NewModuleProgram = ini.ReadString(Section, "NewModuleProgram", m.AppDir + "qem");

    // 8. Value of open top-level outputs.
    m.AssignOpenOut = assign.empty() ? 'N' : assign[0];

    // 9. Work directory.
    // The work files are named WorkDir + file name, so a backslash written on Windows, which the
    // writability test accepts, must become a real separator here.
    if (!m.WorkDir.empty() && m.WorkDir.back() == '\\')
        m.WorkDir.back() = '/';
    else if (!m.WorkDir.empty() && m.WorkDir.back() != '/')
        m.WorkDir += '/';
    if (!IsWorkDirWritable(m.WorkDir)) {
        std::string text =
            "Can not write to the directory " + m.WorkDir + ". Please set a valid work directory.";
        m.LogError(text);
        if (services.OpenSettingsDialog)
            services.OpenSettingsDialog();
        else if (services.prompt)
            services.prompt->Message(text, "ZUN2012", MessageKind::Error);
    }

    // 10 and 11. Recent projects and the guestbook day.
    m.RecentList.clear();
    for (int n = 1; n <= 9; ++n) {
        std::string p = ini.ReadString(Section, RecentKey(n), "");
        if (!p.empty())
            m.RecentList.push_back(p);
    }
    m.AppMisc.Recnet = ini.ReadInteger(Section, "Recnet", 0);
}

bool SaveSettings(ProjectModel& m, EditorServices& services, char mode) {
    if (mode != 'S' && mode != 'R')
        return false;
    std::string path = LocateIniFile(m);
    platform::IniFile ini(path);
    // A file that is there but cannot be read would be replaced by our keys alone, losing the
    // rest of it: that is a failed write as well.
    if (!ini.Load() && platform::FileExists(path)) {
        std::string unread;
        return ReportFailedWrite(m, services, path, platform::ReadWholeFile(path, unread));
    }
    int recnet = m.AppMisc.Recnet;

    if (mode == 'S') {
        auto fonts = Fonts(m);
        for (std::size_t i = 0; i < fonts.size(); ++i)
            WriteFontSection(ini, FontSections[i], *fonts[i]);
        auto colours = Colours(m);
        for (std::size_t i = 0; i < colours.size(); ++i)
            ini.WriteInteger(Section, ColourKeys[i], *colours[i]);
        ini.WriteBool(Section, "E12", m.InternalEditor);
        ini.WriteString(Section, "E13", m.EditorProgram);
        ini.WriteString(Section, "E14", m.EditorParams);
        ini.WriteBool(Section, "E15", m.ConfirmParam);
        ini.WriteString(Section, "E16", m.WorkDir);
        ini.WriteBool(Section, "E17", m.StrictRule);
        ini.WriteString(Section, "E18", std::string(1, m.AssignOpenOut));
        ini.WriteBool(Section, "E19", m.DirectConn);
        ini.WriteString(Section, "E20", m.ProxyHost);
        ini.WriteInteger(Section, "E21", m.ProxyPort);
        ini.WriteString(Section, "E22", m.ProxyUser);
        ini.WriteString(Section, "E23", m.ProxyPassword);
        ini.WriteString(Section, "E26", m.InstNameRule);
        ini.WriteString(Section, "E27", m.WireNameRule);
        for (int i = 0; i < 3; ++i)
            ini.WriteString(Section, "E" + std::to_string(28 + i), m.ReplaceFrom[i]);
        for (int i = 0; i < 3; ++i)
            ini.WriteString(Section, "E" + std::to_string(31 + i), m.ReplaceWith[i]);
        auto sizes = Sizes(m);
        for (std::size_t i = 0; i < sizes.size(); ++i)
            ini.WriteInteger(Section, SizeKey(static_cast<int>(i) + 1), *sizes[i]);
    } else {
        std::size_t n = std::min<std::size_t>(9, m.RecentList.size());
        for (std::size_t i = 0; i < 9; ++i)
            ini.WriteString(Section, RecentKey(static_cast<int>(i) + 1),
                            i < n ? m.RecentList[i] : std::string());
        ini.WriteInteger(Section, "GenBox", m.AppMisc.GenBox);
        long long today = services.Today();
        if (recnet == 0) {
            recnet = static_cast<int>(today);
            ini.WriteInteger(Section, "Recnet", recnet);
        } else if (GuestbookDue(today, recnet)) {
            if (services.ShowMainWindow)
                services.ShowMainWindow(false);
            if (services.prompt &&
                services.prompt->YesNo("Your opinion is very important to us. Do you want to "
                                       "sign our online guestbook now?",
                                       "Confirm"))
                VisitFeedbackExecute(m, services);
            if (services.ShowMainWindow)
                services.ShowMainWindow(true);
            recnet = static_cast<int>(today);
            ini.WriteInteger(Section, "Recnet", recnet);
        }
    }

    platform::MakeDirectories(platform::DirectoryOf(path));
    IoStatus st = ini.Save();
    if (!st)
        return ReportFailedWrite(m, services, path, st);
    m.AppMisc.Recnet = recnet;
    return true;
}
