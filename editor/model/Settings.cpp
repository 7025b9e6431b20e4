// Loading and saving the settings file "zun2012.ini".
#include "editor/model/Settings.h"

#include "editor/model/Documents.h"
#include "editor/model/ProjectFile.h"
#include "editor/model/ProjectLine.h"
#include "editor/model/ProjectModel.h"
#include "editor/model/Prompt.h"
#include "editor/model/SettingsDialog.h"
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

// Steps 4 and 5 of the load: rules that would not make legal names fall back to the defaults.
void CheckNamingRules(ProjectModel& m, EditorServices&) {
    if (!InstNameRuleLegal(m.InstNameRule)) {
        m.InstNameRule = DefaultInstRule;
        m.LogError("Found illegal naming rule for new instances.");
    }
    if (!WireNameRuleLegal(m.WireNameRule)) {
        m.WireNameRule = DefaultWireRule;
        m.LogError("Found illegal naming rule for new wires.");
    }
}

// Step 6: a replace pattern anchored at both ends is dropped.
void CheckReplacePatterns(ProjectModel& m, EditorServices&) {
    for (std::string& s : m.ReplaceFrom) {
        if (HasBothAnchors(s)) {
            s.clear();
            m.LogError("^ and $ can not appear at the same time in naming rules.");
        }
    }
}

// Step 9: the work directory ends with "/" and must be writable.
void CheckWorkDir(ProjectModel& m, EditorServices& services) {
    m.WorkDir = WithDirSeparator(m.WorkDir);
    if (!IsWorkDirWritable(m.WorkDir)) {
        std::string text = UnwritableWorkDirText(m.WorkDir);
        m.LogError(text);
        if (services.OpenSettingsDialog)
            services.OpenSettingsDialog();
        else if (services.prompt)
            services.prompt->Message(text, "ZUN2012", MessageKind::Error);
    }
}

// The accessor of a member of the model.
template <auto Member> auto& Of(ProjectModel& m) {
    return m.*Member;
}

using K = SettingKind;
using P = ProjectModel;

// The keys of one font: its section holds F1 to F8.
struct FontKey {
    const char* key = "";
    int& (*integer)(FontValue&) = nullptr;
    bool& (*flag)(FontValue&) = nullptr;
    std::string& (*text)(FontValue&) = nullptr;
};

template <auto Member> auto& FontOf(FontValue& f) {
    return f.*Member;
}

// The defaults are those of a FontValue as it is made.
const std::array<FontKey, 8> kFontKeys = {{
    {.key = "F1", .integer = &FontOf<&FontValue::Charset>},
    {.key = "F2", .text = &FontOf<&FontValue::Face>},
    {.key = "F3", .integer = &FontOf<&FontValue::Color>},
    {.key = "F4", .integer = &FontOf<&FontValue::Size>},
    {.key = "F5", .flag = &FontOf<&FontValue::Bold>},
    {.key = "F6", .flag = &FontOf<&FontValue::Italic>},
    {.key = "F7", .flag = &FontOf<&FontValue::Underline>},
    {.key = "F8", .flag = &FontOf<&FontValue::StrikeOut>},
}};

SettingKey Font(const char* section, FontValue& (*font)(ProjectModel&)) {
    return {.section = section, .kind = K::Font, .font = font};
}
SettingKey Integer(const char* key, int& (*member)(ProjectModel&), int fallback) {
    return {.section = Section, .key = key, .integer = member, .integerDefault = fallback};
}
SettingKey Flag(const char* key, bool& (*member)(ProjectModel&), bool fallback) {
    return {
        .section = Section, .key = key, .kind = K::Flag, .flag = member, .flagDefault = fallback};
}
SettingKey Text(const char* key, std::string& (*member)(ProjectModel&), const char* fallback = "") {
    return {
        .section = Section, .key = key, .kind = K::Text, .text = member, .textDefault = fallback};
}
SettingKey Pattern(const char* key, std::string& (*member)(ProjectModel&)) {
    return {.section = Section, .key = key, .kind = K::Pattern, .text = member};
}
SettingKey Recent(const char* key, int slot) {
    return {.section = Section,
            .key = key,
            .kind = K::Recent,
            .savedBy = SavedBy::Recent,
            .integerDefault = slot};
}
template <typename Row> Row Then(Row row, void (*check)(ProjectModel&, EditorServices&)) {
    row.afterRead = check;
    return row;
}

const std::vector<SettingKey> kKeys = {
    // 2. The fonts, each a section of its own.
    Font("FA", &Of<&P::MduFont>),
    Font("FB", &Of<&P::InFont>),
    Font("FC", &Of<&P::OutFont>),
    Font("FD", &Of<&P::InoutFont>),
    Font("FE", &Of<&P::VarFont>),
    Font("FF", &Of<&P::ParaMduFont>),
    Font("FG", [](P& m) -> FontValue& { return m.AppMisc.HdlFont; }),
    Font("FH", [](P& m) -> FontValue& { return m.AppMisc.MsgFont; }),
    // 3. Colours, layout sizes, then E12 to E27 in key order.
    Integer("E01", &Of<&P::BackColor>, static_cast<int>(0x80000016u)),
    Integer("E02", &Of<&P::PointedBrush>, 0xFF8080),
    Integer("E03", &Of<&P::PointedPen>, 0x0000FF),
    Integer("E04", &Of<&P::FriendBrush>, 0x93D8EC),
    Integer("E05", &Of<&P::FriendPen>, 0x275242),
    Integer("E06", &Of<&P::UnmatchedColor>, 0xE1E1E1),
    Integer("E07", &Of<&P::WireColor>, 0xC0C0C0),
    Integer("E08", &Of<&P::WireEndColor>, 0x408000),
    Integer("E09", &Of<&P::SmartWireColor>, 0x0000FF),
    Integer("E10", &Of<&P::SmartMarkColor>, 0x0000FF),
    Integer("E11", &Of<&P::LoneColor>, 0x0000FF),
    Integer("E11A", &Of<&P::MainPrtColor>, 0x0000FF),
    Integer("F01", &Of<&P::AutoScrollStep>, 20),
    Integer("F02", &Of<&P::LeftMargin>, 6),
    Integer("F03", &Of<&P::TopMargin>, 6),
    Integer("F04", &Of<&P::MduMargin>, 10),
    Integer("F05", &Of<&P::ColMargin>, 10),
    Integer("F06", &Of<&P::MduPrtMargin>, 3),
    Integer("F07", &Of<&P::PrtMargin>, 0),
    Integer("F08", &Of<&P::WireEndSize>, 4),
    Integer("F09", &Of<&P::MaxViewHeight>, 800),
    Integer("F10", &Of<&P::CompactMargin>, 5),
    Integer("F11", &Of<&P::SizeF11>, 60),
    Integer("F12", &Of<&P::TitleHeight>, 15),
    Integer("F13", &Of<&P::PrtHeight>, 15),
    Integer("F14", &Of<&P::PrtWidth>, 40),
    Integer("F15", &Of<&P::RightSlack>, 6),
    Integer("F16", &Of<&P::BottomSlack>, 6),
    Flag("E12", &Of<&P::InternalEditor>, true),
    Text("E13", &Of<&P::EditorProgram>),
    Text("E14", &Of<&P::EditorParams>),
    Flag("E15", &Of<&P::ConfirmParam>, true),
    {.section = Section, .key = "E16", .kind = K::WorkDir, .text = &Of<&P::WorkDir>},
    Flag("E17", &Of<&P::StrictRule>, true),
    // 8. The value of open top-level outputs.
    {.section = Section,
     .key = "E18",
     .kind = K::Letter,
     .letter = &Of<&P::AssignOpenOut>,
     .textDefault = "N"},
    Flag("E19", &Of<&P::DirectConn>, true),
    Text("E20", &Of<&P::ProxyHost>),
    Integer("E21", &Of<&P::ProxyPort>, 8080),
    Text("E22", &Of<&P::ProxyUser>),
    Text("E23", &Of<&P::ProxyPassword>),
    // "E24" and "E25" (a server list) have no use in the editor: they are neither read nor written.
    Text("E26", &Of<&P::InstNameRule>, DefaultInstRule),
    // 4 and 5. The naming rules are checked once both are read.
    Then(Text("E27", &Of<&P::WireNameRule>, DefaultWireRule), CheckNamingRules),
    // 6. Replace patterns and their replacements.
    Pattern("E28", [](P& m) -> std::string& { return m.ReplaceFrom[0]; }),
    Pattern("E29", [](P& m) -> std::string& { return m.ReplaceFrom[1]; }),
    Pattern("E30", [](P& m) -> std::string& { return m.ReplaceFrom[2]; }),
    Pattern("E31", [](P& m) -> std::string& { return m.ReplaceWith[0]; }),
    Pattern("E32", [](P& m) -> std::string& { return m.ReplaceWith[1]; }),
    Then(Pattern("E33", [](P& m) -> std::string& { return m.ReplaceWith[2]; }),
         CheckReplacePatterns),
    // 7. Generation choices and the module editor; 9. then the work directory is checked.
    {.section = Section,
     .key = "GenBox",
     .savedBy = SavedBy::Recent,
     .integer = [](P& m) -> int& { return m.AppMisc.GenBox; }},
    Then(SettingKey{.section = Section,
                    .key = "NewModuleProgram",
                    .kind = K::Program,
                    .savedBy = SavedBy::Never,
                    .text = [](P& m) -> std::string& { return m.AppMisc.NewModuleProgram; },
                    .textDefault = "qem"},
         CheckWorkDir),
    // 10 and 11. Recent projects and the guestbook day.
    Recent("RecnetProject1", 0),
    Recent("RecnetProject2", 1),
    Recent("RecnetProject3", 2),
    Recent("RecnetProject4", 3),
    Recent("RecnetProject5", 4),
    Recent("RecnetProject6", 5),
    Recent("RecnetProject7", 6),
    Recent("RecnetProject8", 7),
    Recent("RecnetProject9", 8),
    {.section = Section,
     .key = "Recnet",
     .kind = K::Guestbook,
     .savedBy = SavedBy::Recent,
     .integer = [](P& m) -> int& { return m.AppMisc.Recnet; }},
};

void ReadKey(const platform::IniFile& ini, const SettingKey& k, ProjectModel& m) {
    switch (k.kind) {
    case K::Integer:
    case K::Guestbook:
        k.integer(m) = ini.ReadInteger(k.section, k.key, k.integerDefault);
        break;
    case K::Flag:
        k.flag(m) = ini.ReadBool(k.section, k.key, k.flagDefault);
        break;
    case K::Text:
        k.text(m) = ini.ReadString(k.section, k.key, k.textDefault);
        break;
    case K::Letter: {
        const std::string text = ini.ReadString(k.section, k.key, k.textDefault);
        k.letter(m) = text.empty() ? k.textDefault[0] : text[0];
        break;
    }
    case K::Pattern:
        k.text(m) = CleanReplaceText(ini.ReadString(k.section, k.key, ""));
        break;
    case K::WorkDir: {
        std::optional<std::string> dir = ini.Find(k.section, k.key);
        k.text(m) = dir ? *dir : DefaultWorkDir(m);
        break;
    }
    case K::Program:
        k.text(m) = ini.ReadString(k.section, k.key, m.AppDir + k.textDefault);
        break;
    case K::Font:
        ReadFontSection(ini, k.section, k.font(m));
        break;
    case K::Recent: {
        if (k.integerDefault == 0)
            m.RecentList.clear();
        std::string path = ini.ReadString(k.section, k.key, "");
        if (!path.empty())
            m.RecentList.push_back(std::move(path));
        break;
    }
    }
}

// Writes the member under its key; the guestbook day is written by SaveSettings alone.
void WriteKey(platform::IniFile& ini, const SettingKey& k, ProjectModel& m) {
    switch (k.kind) {
    case K::Integer:
        ini.WriteInteger(k.section, k.key, k.integer(m));
        break;
    case K::Flag:
        ini.WriteBool(k.section, k.key, k.flag(m));
        break;
    case K::Text:
    case K::Pattern:
    case K::WorkDir:
    case K::Program:
        ini.WriteString(k.section, k.key, k.text(m));
        break;
    case K::Letter:
        ini.WriteString(k.section, k.key, std::string(1, k.letter(m)));
        break;
    case K::Font:
        WriteFontSection(ini, k.section, k.font(m));
        break;
    case K::Recent: {
        // Only the first nine entries have a key.
        const std::size_t slot = static_cast<std::size_t>(k.integerDefault);
        ini.WriteString(k.section, k.key,
                        slot < m.RecentList.size() ? m.RecentList[slot] : std::string());
        break;
    }
    case K::Guestbook:
        break;
    }
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

const std::vector<SettingKey>& SettingsKeys() {
    return kKeys;
}

const SettingKey* FindSettingKey(std::string_view name) {
    for (const SettingKey& k : kKeys)
        if ((k.kind == SettingKind::Font ? k.section : k.key) == name)
            return &k;
    return nullptr;
}

void ReadFontSection(const platform::IniFile& ini, const std::string& section, FontValue& font) {
    FontValue defaults;
    for (const FontKey& k : kFontKeys) {
        if (k.integer)
            k.integer(font) = ini.ReadInteger(section, k.key, k.integer(defaults));
        else if (k.flag)
            k.flag(font) = ini.ReadBool(section, k.key, k.flag(defaults));
        else
            k.text(font) = ini.ReadString(section, k.key, k.text(defaults));
    }
    // The size read is in points: the height in pixels follows it.
    font.SetPoints(font.Size);
}

void WriteFontSection(platform::IniFile& ini, const std::string& section, const FontValue& font) {
    FontValue value = font;
    for (const FontKey& k : kFontKeys) {
        if (k.integer)
            ini.WriteInteger(section, k.key, k.integer(value));
        else if (k.flag)
            ini.WriteBool(section, k.key, k.flag(value));
        else
            ini.WriteString(section, k.key, k.text(value));
    }
}

void LoadSettings(ProjectModel& m, EditorServices& services) {
    // 1. The file.
    std::string path = LocateIniFile(m);
    platform::IniFile ini(path);
    if (ini.Load())
        m.LogInfo("Load the INI file: " + path + ".");
    else
        m.LogError("Can not find file " + path + ".");

    // 2 to 11. Every key in its order, each check once the keys it needs are read.
    for (const SettingKey& k : kKeys) {
        ReadKey(ini, k, m);
        if (k.afterRead)
            k.afterRead(m, services);
    }
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

    const SavedBy saved = mode == 'S' ? SavedBy::Settings : SavedBy::Recent;
    for (const SettingKey& k : kKeys) {
        if (k.savedBy != saved)
            continue;
        if (k.kind != SettingKind::Guestbook) {
            WriteKey(ini, k, m);
            continue;
        }
        long long today = services.Today();
        if (recnet == 0) {
            recnet = static_cast<int>(today);
            ini.WriteInteger(k.section, k.key, recnet);
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
            ini.WriteInteger(k.section, k.key, recnet);
        }
    }

    platform::MakeDirectories(platform::DirectoryOf(path));
    platform::WriteWay way = platform::WriteWay::None;
    IoStatus st = ini.Save(&way);
    if (!st)
        return ReportFailedWrite(m, services, path, st);
    if (way == platform::WriteWay::InPlace)
        LogWrittenInPlace(m.Log, path);
    m.AppMisc.Recnet = recnet;
    return true;
}
