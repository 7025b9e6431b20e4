// The settings file: where it is, reading it into the model's members with their checks, and
// writing it in full or in part.
#pragma once

#include "editor/model/FontValue.h"

#include <string>
#include <string_view>
#include <vector>

struct EditorServices;
class ProjectModel;
namespace platform {
class IniFile;
}

// "zun2012.ini" in the program directory, or in the per-user configuration directory when the
// program directory can not be written (an installed program).
std::string DefaultIniPath(const ProjectModel& model);
// The program directory, or the per-user cache directory when it can not be written.
std::string DefaultWorkDir(const ProjectModel& model);
// Sets IniPath to the default file when it is empty or names no file, and answers it.
const std::string& LocateIniFile(ProjectModel& model);

// Reads the whole settings file into the members, in the fixed order, with every default and
// check. Never fails: a missing file or key gives defaults. When the work directory is not
// writable the Settings dialog is opened through services.OpenSettingsDialog.
void LoadSettings(ProjectModel& model, EditorServices& services);

// Mode 'S' writes all settings; mode 'R' the recent projects, "GenBox" and "Recnet" (and may ask
// the guestbook question); any other mode writes nothing. The file is replaced as a whole or not
// at all: on failure the user is told, and neither the file nor any member changes. True when
// the file was written.
bool SaveSettings(ProjectModel& model, EditorServices& services, char mode);

// What a key of the settings file holds, and so how it is read and written.
enum class SettingKind {
    Integer,  // signed decimal, read also as hexadecimal
    Flag,     // "1" or "0"
    Text,     // as it stands
    Letter,   // one character: the first of the text, or the default for an empty text
    Pattern,  // text without blanks and tabs (a replace pattern)
    WorkDir,  // text; a missing key gives the default work directory
    Program,  // text; the default names a program in the program directory
    Font,     // a section of its own with the keys F1 to F8
    Recent,   // one entry of the recent projects, kept in order without empty ones
    Guestbook // the day of the last guestbook question, written only as the question says
};

// Which save writes a key: every setting (mode 'S'), the remembered state (mode 'R'), or none.
enum class SavedBy { Settings, Recent, Never };

// One key of the settings file and the member it holds. The table of these drives both the
// reading and the writing, so a key is read and written under one name. The member is reached
// through the accessor of its kind.
struct SettingKey {
    const char* section = "";
    const char* key = ""; // empty for a font: the section is the font's
    SettingKind kind = SettingKind::Integer;
    SavedBy savedBy = SavedBy::Settings;
    int& (*integer)(ProjectModel&) = nullptr;
    bool& (*flag)(ProjectModel&) = nullptr;
    std::string& (*text)(ProjectModel&) = nullptr;
    char& (*letter)(ProjectModel&) = nullptr;
    FontValue& (*font)(ProjectModel&) = nullptr;
    int integerDefault = 0; // also the slot of a recent project
    bool flagDefault = false;
    const char* textDefault = "";
    // Checks that run once this key is read, with their messages (naming rules, work directory).
    void (*afterRead)(ProjectModel&, EditorServices&) = nullptr;
};

// Every key in the order LoadSettings reads it.
const std::vector<SettingKey>& SettingsKeys();
// The row of a key of section "QVsetting", or of a font by its section ("FA" to "FH"); null when
// the table has none.
const SettingKey* FindSettingKey(std::string_view name);

void ReadFontSection(const platform::IniFile& ini, const std::string& section, FontValue& font);
void WriteFontSection(platform::IniFile& ini, const std::string& section, const FontValue& font);

// The guestbook question is due when more than 30 days have passed since the last one.
bool GuestbookDue(long long today, long long recnet);
