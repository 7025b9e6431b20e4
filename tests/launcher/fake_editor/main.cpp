// A stand-in for the editor zun beside a real zunl: the editor's own command-line walk and its
// Qt-free hand-off receiver and requester, without windows. It records what it was started
// with and which files its wizard lists, in the folder ZUN_FAKE_EDITOR_LOG names:
//   start-<pid>   its arguments, one per line
//   files-<pid>   the wizard's files, one per line, rewritten after every change
//   log-<pid>     its error log lines
//   ended-<pid>   "handed" when its own file was taken and it ended, "quit" otherwise
// It acts on files the test makes there: next-<pid> presses "Next", refuse-<pid> stops taking
// files while still named as the receiver, quit ends every stand-in. ZUN_FAKE_EDITOR=mute
// makes a receiver that never reads its messages, ZUN_FAKE_EDITOR=absent one that ends at once
// without ever offering its window.
#include "editor/hdl/EditorHandOff.h"
#include "editor/hdl/EngineRunner.h"
#include "editor/hdl/ModuleWizard.h"
#include "editor/model/CommandLine.h"
#include "editor/model/Prompt.h"
#include "platform/TextFile.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

class SilentPrompt : public Prompt {
public:
    void Message(const std::string&, const std::string&, MessageKind) override {}
    bool YesNo(const std::string&, const std::string&) override { return false; }
    PromptAnswer YesNoCancel(const std::string&, const std::string&) override {
        return PromptAnswer::Cancel;
    }
    std::optional<std::string> OpenFile(const FileChooser&) override { return std::nullopt; }
    std::vector<std::string> OpenFiles(const FileChooser&) override { return {}; }
    std::optional<std::string> SaveFile(const FileChooser&) override { return std::nullopt; }
};

std::string logDir;
const std::string pid = std::to_string(::getpid());

void Record(const std::string& name, const std::string& text) {
    platform::WriteFileAtomic(logDir + name + "-" + pid, text);
}

bool Exists(const std::string& name) {
    return ::access((logDir + name).c_str(), F_OK) == 0;
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines)
        text += l + "\n";
    return text;
}

std::string Files(const ModuleWizard& wizard) {
    std::vector<std::string> paths;
    for (const SourceFileRow& row : wizard.Files)
        paths.push_back(row.path);
    return Lines(paths);
}

} // namespace

int main(int argc, char** argv) {
    const char* dir = std::getenv("ZUN_FAKE_EDITOR_LOG");
    if (dir == nullptr || *dir == '\0')
        return 0;
    logDir = std::string(dir) + "/";
    std::vector<std::string> args(argv + 1, argv + argc);
    Record("start", Lines(args));

    std::vector<std::string> sources;
    for (const StartupStep& step :
         WalkCommandLine(args, "/nonexistent/zun2012.ini",
                         {platform::FileExists, [](const std::string& p) { return p; }}))
        if (step.kind == StartupStep::Kind::NewProject)
            sources = step.sources;
    const char* modeText = std::getenv("ZUN_FAKE_EDITOR");
    const std::string mode = modeText != nullptr ? modeText : "";
    if (sources.empty() || mode == "absent") {
        Record("ended", "quit\n");
        return 0;
    }

    SilentPrompt prompt;
    EngineRunner runner("/nonexistent/", "/nonexistent/");
    ModuleWizard wizard(prompt, runner);
    EditorHandOff handOff;
    std::vector<std::string> log;
    handOff.LogError = [&log](const std::string& text) {
        log.push_back(text);
        Record("log", Lines(log));
    };
    wizard.SetHandOff(&handOff);
    for (const std::string& s : sources)
        wizard.AddSourceFile(s);
    wizard.Open('N', true);
    if (IoStatus st = handOff.CreateWindow(); !st)
        std::fprintf(stderr, "%s\n", st.message.c_str());
    if (wizard.Files.size() == 1 && !handOff.HandOverNewFile(wizard))
        handOff.LogError(HandOffRegistrationFailed);
    Record("files", Files(wizard));

    const bool mute = mode == "mute";
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool nextDone = false;
    bool refuseDone = false;
    while (std::chrono::steady_clock::now() < end && !Exists("quit")) {
        if (!nextDone && Exists("next-" + pid)) {
            wizard.Next(); // the engine is missing: the scan fails, the hand-off has ended
            nextDone = true;
            Record("next-done", "\n");
        }
        if (!refuseDone && Exists("refuse-" + pid)) {
            wizard.SharedOpen = false;
            refuseDone = true;
            Record("refuse-done", "\n");
        }
        if (mute || !handOff.Window().Valid()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        if (!handOff.Window().Wait(std::chrono::milliseconds(20)))
            continue;
        OpenRequestOutcome outcome = handOff.HandlePendingMessages(wizard);
        if (outcome == OpenRequestOutcome::FileTaken)
            Record("files", Files(wizard));
        if (outcome == OpenRequestOutcome::CloseMainWindow) {
            wizard.FormClose();
            Record("ended", "handed\n");
            return 0;
        }
    }
    wizard.FormClose();
    Record("ended", "quit\n");
    return 0;
}
