// The editor's side of the hand-off: registration as receiver or requester, and the handling
// of the hand-off message.
#include "editor/hdl/EditorHandOff.h"

namespace {

constexpr const char* RequestUnreadable = "Memory allocation failed.(2)";

// Which of two outcomes asks more of the window.
int Weight(OpenRequestOutcome outcome) {
    switch (outcome) {
    case OpenRequestOutcome::CloseMainWindow:
        return 3;
    case OpenRequestOutcome::FileTaken:
        return 2;
    case OpenRequestOutcome::Refused:
    case OpenRequestOutcome::Unreadable:
        return 1;
    case OpenRequestOutcome::Nothing:
        break;
    }
    return 0;
}

} // namespace

EditorHandOff::EditorHandOff(HandOffClock& clock, HandOffTimings timings)
    : blocks_(window_, clock, timings) {}

EditorHandOff::~EditorHandOff() {
    blocks_.CloseSharedBlocks('a');
}

IoStatus EditorHandOff::CreateWindow() {
    platform::HandOffPlace place;
    if (IoStatus st = platform::OpenHandOffPlace(place); !st)
        return st;
    if (IoStatus st = window_.Create(place); !st)
        return st;
    blocks_.SetPlace(std::move(place));
    return IoStatus::Ok();
}

void EditorHandOff::Log(const std::string& text) {
    if (LogError)
        LogError(text);
}

int EditorHandOff::RegisterInstance(std::string_view instanceName, std::string_view requestName,
                                    const OpenRequest* request) {
    receiving_ = false;
    requestOutstanding_ = false;
    if (!window_.Valid())
        return InstanceNotCreated;
    for (int tries = 1;; ++tries) {
        // A new block, one that names no window, or a gone one, stands for no receiver: this
        // editor takes the place.
        const int claim = blocks_.ClaimInstance(instanceName, refusedBy_, receiver_);
        if (claim == HandOffDone) {
            receiving_ = true;
            return HandOffDone;
        }
        if (claim != 0)
            return claim;
        if (request == nullptr) {
            blocks_.CloseSharedBlocks('m');
            return PathKept;
        }
        const int r = blocks_.PostOpenRequest(false, requestName, *request);
        if (r == HandOffDone) {
            requestOutstanding_ = true;
            answerDeadline_ = blocks_.Clock().Now() + blocks_.Timings().launcherBound;
            return r;
        }
        if (r != RequestPending && r != ReceiverGone)
            return r;
        if (tries >= blocks_.Timings().editorTries) {
            blocks_.CloseSharedBlocks('m');
            return RequestPending;
        }
        // This runs on the editor's only thread during its start-up: a bounded number of tries.
        blocks_.Clock().Sleep(blocks_.Timings().editorRetry);
    }
}

bool EditorHandOff::HandOverNewFile(ModuleWizard& wizard) {
    CloseHandOff();
    ownRequest_.reset();
    refusedBy_ = 0;
    if (wizard.Files.size() != 1)
        return true;
    if (std::optional<std::string> path = AbsoluteHandOffPath(wizard.Files.front().path))
        ownRequest_ = OpenRequest::For(*path, window_.Handle());
    wizard.SharedOpen = true;
    const int r = RegisterInstance(InstanceBlockName, RequestBlockName,
                                   ownRequest_ ? &*ownRequest_ : nullptr);
    return r == HandOffDone || r == PathKept;
}

void EditorHandOff::CloseHandOff() {
    blocks_.CloseSharedBlocks('a');
    receiving_ = false;
    requestOutstanding_ = false;
}

OpenRequestOutcome EditorHandOff::OnOpenRequest(std::int32_t lParam, ModuleWizard& wizard) {
    switch (lParam) {
    case RequestWaiting: {
        if (blocks_.PostOpenRequest(true, RequestBlockName, OpenRequest{}) != HandOffDone) {
            Log(RequestUnreadable);
            blocks_.CloseSharedBlocks('s');
            return OpenRequestOutcome::Unreadable;
        }
        const OpenRequest request = OpenRequest::FromBlock(blocks_.Request().Data());
        const std::optional<std::string> path = request.Path();
        OpenRequestOutcome outcome = OpenRequestOutcome::Refused;
        if (!path) {
            Log(RequestUnreadable);
            outcome = OpenRequestOutcome::Unreadable;
        } else if (receiving_ && wizard.SharedOpen) {
            wizard.AddSourceFile(*path);
            wizard.SetupWizardPage();
            outcome = OpenRequestOutcome::FileTaken;
        }
        // Only a taken file is answered as taken; every other requester is told to go on
        // without this editor, so none waits for an answer that never comes.
        blocks_.Window().Post(
            request.Window(),
            {OpenRequestMsg, 0,
             outcome == OpenRequestOutcome::FileTaken ? RequestTaken : RequestRefused});
        blocks_.CloseSharedBlocks('s');
        return outcome;
    }
    case RequestTaken:
        if (!requestOutstanding_)
            return OpenRequestOutcome::Nothing;
        requestOutstanding_ = false;
        blocks_.CloseSharedBlocks('s');
        return OpenRequestOutcome::CloseMainWindow;
    case RequestRefused:
        if (!requestOutstanding_)
            return OpenRequestOutcome::Nothing;
        // The receiver stopped taking files: this editor goes on as if there were none, and
        // offers itself as the receiver while its own wizard still waits on its first page.
        refusedBy_ = receiver_;
        CloseHandOff();
        if (wizard.SharedOpen && wizard.FilePage) {
            const int r = RegisterInstance(InstanceBlockName, RequestBlockName,
                                           ownRequest_ ? &*ownRequest_ : nullptr);
            if (r != HandOffDone && r != PathKept)
                Log(HandOffRegistrationFailed);
        }
        return OpenRequestOutcome::Nothing;
    default:
        return OpenRequestOutcome::Nothing;
    }
}

OpenRequestOutcome EditorHandOff::HandlePendingMessages(ModuleWizard& wizard) {
    OpenRequestOutcome strongest = OpenRequestOutcome::Nothing;
    while (std::optional<platform::WindowMessage> message = window_.Receive()) {
        if (message->message != OpenRequestMsg)
            continue;
        OpenRequestOutcome outcome = OnOpenRequest(message->lParam, wizard);
        if (Weight(outcome) > Weight(strongest))
            strongest = outcome;
    }
    return strongest;
}

OpenRequestOutcome EditorHandOff::CheckAnswer(ModuleWizard& wizard) {
    if (!requestOutstanding_)
        return OpenRequestOutcome::Nothing;
    if (blocks_.Clock().Now() < answerDeadline_ &&
        platform::MessageWindow::Exists(blocks_.Place(), receiver_))
        return OpenRequestOutcome::Nothing;
    return OnOpenRequest(RequestRefused, wizard);
}
