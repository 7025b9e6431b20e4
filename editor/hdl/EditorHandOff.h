// The editor's two roles in the file hand-off: the receiver, whose wizard takes the files other
// editors and launchers hand over while it shows its first page, and the requester, a second
// editor that hands its one file to that receiver and then ends. No Qt: the window shows what
// this decides.
#pragma once

#include "editor/hdl/ModuleWizard.h"
#include "editor/hdl/handoff/HandOffProtocol.h"

#include <functional>
#include <memory>
#include <string>

// The error line of a registration that failed; the editor then works alone.
inline constexpr const char* HandOffRegistrationFailed = "Memory allocation failed.";

// What a hand-off message asks of the window.
enum class OpenRequestOutcome {
    Nothing,
    FileTaken,      // a handed file was answered and offered to the list: refresh, raise
    Refused,        // a request came while this editor takes no files; it was refused
    Unreadable,     // the request block could not be read (logged)
    CloseMainWindow // this editor's own file was taken: it ends
};

class EditorHandOff : public WizardHandOff {
public:
    explicit EditorHandOff(HandOffClock& clock = SystemHandOffClock(),
                           HandOffTimings timings = HandOffTimingsFromEnvironment());
    ~EditorHandOff() override;
    EditorHandOff(const EditorHandOff&) = delete;
    EditorHandOff& operator=(const EditorHandOff&) = delete;

    // Makes the editor's one message window in the hand-off place. Without it the editor
    // works alone: it neither receives nor hands over.
    IoStatus CreateWindow();
    platform::MessageWindow& Window() { return window_; }
    HandOffBlocks& Blocks() { return blocks_; }

    // Error lines for the message log.
    std::function<void(const std::string&)> LogError;

    // 5: this editor is the receiver, or its request was posted to the one that is; 8: a
    // receiver exists but the request (null) could not be built, so the file stays here; 1, 2,
    // 3, 4 as their names say; 7 after editorTries tries while another request stayed
    // pending. Never waits longer than those tries.
    int RegisterInstance(std::string_view instanceName, std::string_view requestName,
                         const OpenRequest* request);

    // The wizard's HandOverNewFile: offers this wizard as the receiver, or hands its one file
    // to the receiver there is. True unless that failed.
    bool HandOverNewFile(ModuleWizard& wizard);
    // The wizard's end of the registration ('a').
    void CloseHandOff() override;

    // The wizard's handler of OpenRequestMsg with its long parameter.
    OpenRequestOutcome OnOpenRequest(std::int32_t lParam, ModuleWizard& wizard);
    // Handles every message waiting in the window, in their order. The outcome that asks the
    // most of the window wins: CloseMainWindow, then FileTaken.
    OpenRequestOutcome HandlePendingMessages(ModuleWizard& wizard);
    // While this editor's request waits for its answer (the window looks every so often): a
    // receiver that has gone, or has not answered within the launchers' bound, counts as one
    // that refused, so this editor's request block no longer holds up every later requester
    // and the editor takes the receiver's place while its wizard is on its first page.
    OpenRequestOutcome CheckAnswer(ModuleWizard& wizard);

    bool Receiving() const { return receiving_; }
    bool RequestOutstanding() const { return requestOutstanding_; }

private:
    void Log(const std::string& text);

    platform::MessageWindow window_;
    HandOffBlocks blocks_;
    std::optional<OpenRequest> ownRequest_;
    // The receiver that refused this editor's request; it counts as none from then on.
    WindowHandle refusedBy_ = 0;
    WindowHandle receiver_ = 0;
    std::chrono::steady_clock::time_point answerDeadline_{};
    bool receiving_ = false;
    bool requestOutstanding_ = false;
};
