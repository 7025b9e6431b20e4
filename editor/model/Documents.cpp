// Opening documents and tools with the shell, and the work-directory test.
#include "editor/model/Documents.h"

#include "editor/model/ProjectModel.h"
#include "editor/model/Prompt.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

const char* const HomePageAddress = "https://zun.example.org/";
const char* const GuestbookAddress = "https://zun.example.org/guestbook/";
const char* const OnlineDocBase = "https://zun.example.org/doc/";

const char* const GuideDocument = "doc/guide.htm";
const char* const SmartLinkDocument = "doc/smtlnk.htm";
const char* const ConfirmDocument = "doc/confirm.htm";
const char* const LicenseDocument = "doc/license.txt";
const char* const TardixProgram = "tardix";

// A page, file or address handed to the desktop's opener. When the opener itself cannot be
// started the user asked for something and sees nothing happen: a message box says why.
bool OpenWithDesktop(ProjectModel& model, EditorServices& services, const std::string& target) {
    IoStatus st = services.ShellOpen(target);
    if (st)
        return true;
    const std::string text = "Can not open " + target + ": " + st.message;
    model.LogError(text);
    if (services.prompt)
        services.prompt->Message(text + ".", "", MessageKind::Error);
    return false;
}

void OpenDocument(ProjectModel& model, EditorServices& services, const std::string& target,
                  bool isWebAddress, const std::string& suffix) {
    if (isWebAddress) {
        OpenWithDesktop(model, services, target + suffix);
        return;
    }
    std::string local = model.AppDir + target;
    if (platform::FileExists(local)) {
        OpenWithDesktop(model, services, local + suffix);
        return;
    }
    if (services.prompt &&
        services.prompt->YesNo("The specified file not found. Would you want to view it online?",
                               "Confirm"))
        OpenWithDesktop(model, services, OnlineDocBase + target + suffix);
}

void HelpDocExecute(ProjectModel& model, EditorServices& services) {
    OpenDocument(model, services, GuideDocument, false);
}

void VisitFeedbackExecute(ProjectModel& model, EditorServices& services) {
    OpenDocument(model, services, GuestbookAddress, true);
}

void VisitQvExecute(ProjectModel& model, EditorServices& services) {
    OpenDocument(model, services, HomePageAddress, true);
}

void License1Click(ProjectModel& model, EditorServices& services) {
    std::string path = model.AppDir + LicenseDocument;
    if (platform::FileExists(path))
        OpenWithDesktop(model, services, path);
    else if (services.prompt)
        services.prompt->Message("File missing.");
}

void Tardix1Click(ProjectModel& model, EditorServices& services) {
    // A program is started, not handed to the desktop's opener, which would only show it.
    std::string path = model.AppDir + TardixProgram;
    if (!platform::FileExists(path)) {
        if (services.prompt)
            services.prompt->Message("Program tardix missing.");
        return;
    }
    IoStatus st = services.Spawn({path});
    if (!st)
        model.LogError(st.message);
}

bool IsWorkDirWritable(const std::string& directory) {
    if (directory.empty())
        return false;
    // Settings written on Windows end the directory with a backslash.
    char last = directory.back();
    bool separator = last == '/' || last == '\\';
    std::string dir = separator ? directory.substr(0, directory.size() - 1) : directory;
    if (dir.empty())
        dir.assign(1, '/');
    return platform::DirectoryExists(dir) && platform::ProbeDirectoryWritable(dir);
}

std::string AboutVersionText() {
    return "V2.0.12";
}

std::vector<std::string> AboutMakerLines() {
    return {"ZUN2012, the top-level assembler for Verilog and VHDL designs.",
            "Made by the ZUN developers.", "Free software; see Help > License."};
}
