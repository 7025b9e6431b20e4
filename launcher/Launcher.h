// zunl: hands the file after "-new" to an editor whose wizard waits for files, or starts the
// editor "zun" from its own folder with its own command line. It never shows a window; its
// message window stands for the hidden one a desktop program would have.
#pragma once

#include "editor/hdl/handoff/HandOffProtocol.h"
#include "platform/IoStatus.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The message a launcher posts itself to end, as a closed window would.
inline constexpr std::uint32_t LauncherDestroyMsg = 0x0002;

class Launcher {
public:
    // commandLine: the arguments after the program name, as they came; programDir: the
    // launcher's own folder, ending with "/".
    Launcher(std::vector<std::string> commandLine, std::string programDir,
             HandOffClock& clock = SystemHandOffClock(),
             HandOffTimings timings = HandOffTimingsFromEnvironment());
    ~Launcher();
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // The one message the launcher shows (text, caption); stderr when unset.
    std::function<void(const std::string& text, const std::string& caption)> ShowError;
    // Starts the editor with argv; platform::SpawnDetached unless a test sets another.
    std::function<IoStatus(const std::vector<std::string>& argv)> StartProgram;

    // The whole run: its window, the start message to itself, the poll loop. Returns the
    // process exit code, 0 in every case.
    int LauncherMain();
    // One message to the window.
    void LauncherWndProc(const platform::WindowMessage& message);
    void OnLauncherRequest(std::int32_t lParam);
    void RunLauncher();
    int HandOverOrStart(std::string_view instanceName, std::string_view requestName,
                        std::string_view lockName, const OpenRequest& request);

    const std::vector<std::string>& CommandLine() const { return commandLine_; }
    const std::string& TargetPath() const { return targetPath_; }
    bool Ended() const { return ended_; }
    HandOffBlocks& Blocks() { return blocks_; }

private:
    // Starts the editor with the launcher's command line; false when it could not start.
    bool StartEditor();
    // Hands the request over or starts the editor, until one of them is settled.
    void HandOverLoop();
    void PostDestroy();
    void Destroy();

    std::vector<std::string> commandLine_;
    std::string programDir_;
    std::string targetPath_;
    platform::MessageWindow window_;
    HandOffBlocks blocks_;
    std::optional<OpenRequest> request_;
    // While a posted request waits for its answer: when the launcher stops waiting, and the
    // receiver that has it.
    std::optional<std::chrono::steady_clock::time_point> answerDeadline_;
    WindowHandle receiver_ = 0;
    // A receiver that refused this request; it counts as none from then on.
    WindowHandle refusedBy_ = 0;
    bool started_ = false;
    bool ended_ = false;
};
