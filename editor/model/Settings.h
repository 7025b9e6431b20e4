// The settings file: where it is, reading it into the model's members with their checks, and
// writing it in full or in part.
#pragma once

#include "editor/model/FontValue.h"

#include <string>

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

void ReadFontSection(const platform::IniFile& ini, const std::string& section, FontValue& font);
void WriteFontSection(platform::IniFile& ini, const std::string& section, const FontValue& font);

// The guestbook question is due when more than 30 days have passed since the last one.
bool GuestbookDue(long long today, long long recnet);
