// Help pages, the licence text, the guestbook page, the delay-generator tool, the work-directory
// test, and the services these and the file commands reach the desktop through.
#pragma once

#include "platform/DayCount.h"
#include "platform/IoStatus.h"
#include "platform/ShellOpen.h"

#include <functional>
#include <string>
#include <vector>

class Prompt;
class ProjectModel;

// What the file commands need of the world outside the model. Tests replace each part.
struct EditorServices {
    Prompt* prompt = nullptr;
    // Opens a file or a web address with the desktop's application for it.
    std::function<IoStatus(const std::string& target)> ShellOpen = platform::ShellOpen;
    // Starts a program with an argument vector, without waiting for it.
    std::function<IoStatus(const std::vector<std::string>& argv)> Spawn = platform::SpawnDetached;
    platform::DayClock Today = platform::SystemDayClock();
    // Opens the Settings dialog on its "General" page, modally (the window's SettingsClick).
    // Without one, the user is told the reason in a message box.
    std::function<void()> OpenSettingsDialog;
    // Hides and shows the main window around the guestbook question.
    std::function<void(bool visible)> ShowMainWindow;
};

// Web addresses of the project's home, guestbook and online documentation folder.
extern const char* const HomePageAddress;
extern const char* const GuestbookAddress;
extern const char* const OnlineDocBase; // ends with "/"

// Relative to the program directory.
extern const char* const GuideDocument;     // "doc/guide.htm"
extern const char* const SmartLinkDocument; // "doc/smtlnk.htm"
extern const char* const ConfirmDocument;   // "doc/confirm.htm"
extern const char* const LicenseDocument;   // "doc/license.txt"
extern const char* const TardixProgram;     // "tardix"

// Opens AppDir + target, or, for a web address, the address itself; suffix (an anchor or query)
// is appended. A missing local page offers the online copy. An opener that cannot be started is
// logged and told in a message box that names the file or address.
void OpenDocument(ProjectModel& model, EditorServices& services, const std::string& target,
                  bool isWebAddress, const std::string& suffix = "");

// Opens a file or an address with the desktop's application for it; a failure is logged.
bool OpenWithDesktop(ProjectModel& model, EditorServices& services, const std::string& target);

void HelpDocExecute(ProjectModel& model, EditorServices& services);
void VisitFeedbackExecute(ProjectModel& model, EditorServices& services);
void VisitQvExecute(ProjectModel& model, EditorServices& services);
// The licence text; "File missing." when it is not there.
void License1Click(ProjectModel& model, EditorServices& services);
// Starts the delay-generator tool; "Program tardix missing." when it is not there.
void Tardix1Click(ProjectModel& model, EditorServices& services);

// Whether directory can serve as the work directory: it exists (named with or without a trailing
// "/") and a new file can be written and removed in it. The probe file has a fresh name, so no
// file of the user's is touched.
bool IsWorkDirWritable(const std::string& directory);

// The seven-character text of the About box's first label and the lines of its third label.
std::string AboutVersionText();
std::vector<std::string> AboutMakerLines();
