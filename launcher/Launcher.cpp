// The launcher's run: its window and poll loop, the plain start of the editor, and the
// hand-over-or-start of a file after "-new".
#include "launcher/Launcher.h"

#include "platform/AsciiCase.h"
#include "platform/ShellOpen.h"
#include "platform/TextFile.h"

#include <cstdio>

namespace {

// How often a launcher waiting for its answer looks whether the receiver is still there.
constexpr std::chrono::milliseconds AnswerPoll{100};

} // namespace

Launcher::Launcher(std::vector<std::string> commandLine, std::string programDir,
                   HandOffClock& clock, HandOffTimings timings)
    : commandLine_(std::move(commandLine)), programDir_(std::move(programDir)),
      blocks_(window_, clock, timings) {
    if (!programDir_.empty() && programDir_.back() != '/')
        programDir_.push_back('/');
}

Launcher::~Launcher() {
    blocks_.CloseSharedBlocks('a');
}

int Launcher::LauncherMain() {
    platform::HandOffPlace place;
    // Without a window the launcher cannot hand anything over; it still starts the editor.
    if (platform::OpenHandOffPlace(place) && window_.Create(place))
        blocks_.SetPlace(std::move(place));
    if (!window_.Valid() || window_.Post(window_.Handle(), {OpenRequestMsg, 0, LauncherStart}) !=
                                platform::PostResult::Posted)
        RunLauncher();
    HandOffClock& clock = blocks_.Clock();
    while (!ended_) {
        if (answerDeadline_) {
            if (clock.Now() >= *answerDeadline_) {
                // No answer in time: the file still has to open, in an editor of its own.
                answerDeadline_.reset();
                blocks_.CloseSharedBlocks('a');
                StartEditor();
                PostDestroy();
                continue;
            }
            if (!platform::MessageWindow::Exists(blocks_.Place(), receiver_)) {
                OnLauncherRequest(RequestRefused);
                continue;
            }
        }
        if (!clock.WaitForMessage(window_, AnswerPoll)) {
            if (!answerDeadline_)
                Destroy(); // nothing left to wait for
            continue;
        }
        while (!ended_) {
            std::optional<platform::WindowMessage> message = window_.Receive();
            if (!message)
                break;
            LauncherWndProc(*message);
        }
    }
    return 0;
}

void Launcher::LauncherWndProc(const platform::WindowMessage& message) {
    if (message.message == LauncherDestroyMsg)
        Destroy();
    else if (message.message == OpenRequestMsg)
        OnLauncherRequest(message.lParam);
}

void Launcher::OnLauncherRequest(std::int32_t lParam) {
    if (lParam == LauncherStart) {
        if (!started_)
            RunLauncher();
        return;
    }
    if (lParam == RequestRefused) {
        // The receiver took nothing: go on as if there were none.
        if (!answerDeadline_)
            return;
        answerDeadline_.reset();
        refusedBy_ = receiver_;
        blocks_.CloseSharedBlocks('s');
        blocks_.CloseSharedBlocks('m');
        HandOverLoop();
        return;
    }
    PostDestroy();
}

void Launcher::RunLauncher() {
    started_ = true;
    const std::size_t count = commandLine_.size();
    targetPath_ = programDir_ + "zun";
    if (!platform::FileExists(targetPath_)) {
        const std::string text = "Can not find " + targetPath_ + ".";
        if (ShowError)
            ShowError(text, "Error");
        else
            std::fprintf(stderr, "%s\n", text.c_str());
        PostDestroy();
        return;
    }
    if (count >= 2 && platform::AsciiLower(commandLine_[count - 2]) == "-new") {
        blocks_.CloseSharedBlocks('m');
        blocks_.CloseSharedBlocks('s');
        // The file is the one after "-new", made absolute for a receiver elsewhere; a path
        // that does not fit a request is never cut, the editor gets it on its command line.
        if (std::optional<std::string> path = AbsoluteHandOffPath(commandLine_[count - 1]))
            request_ = OpenRequest::For(*path, window_.Handle());
        if (!request_ || !window_.Valid()) {
            StartEditor();
            PostDestroy();
            return;
        }
        HandOverLoop();
        return;
    }
    StartEditor();
    PostDestroy();
}

void Launcher::HandOverLoop() {
    // Another launcher starting an editor is waited for as long as any answer, no longer: one
    // that was stopped, or hangs, holds the start lock for ever.
    const auto lockDeadline = blocks_.Clock().Now() + blocks_.Timings().launcherBound;
    for (;;) {
        const int r =
            HandOverOrStart(InstanceBlockName, RequestBlockName, StartLockName, *request_);
        if (r == StartLockHeld && blocks_.Clock().Now() < lockDeadline)
            continue;
        if (r == RequestPosted) {
            answerDeadline_ = blocks_.Clock().Now() + blocks_.Timings().launcherBound;
            return;
        }
        if (r != HandOffDone) {
            // The blocks failed or stayed busy: the file opens in an editor of its own.
            blocks_.CloseSharedBlocks('a');
            StartEditor();
        }
        PostDestroy();
        return;
    }
}

int Launcher::HandOverOrStart(std::string_view instanceName, std::string_view requestName,
                              std::string_view lockName, const OpenRequest& request) {
    using platform::BlockState;
    HandOffClock& clock = blocks_.Clock();
    const HandOffTimings& timings = blocks_.Timings();

    blocks_.CloseSharedBlocks('m');
    const BlockState instance =
        blocks_.Instance().Open(blocks_.Place(), instanceName, InstanceBlockSize);
    if (instance == BlockState::Failed)
        return InstanceNotMapped;
    if (instance == BlockState::Existed) {
        if (!blocks_.Instance().Map())
            return InstanceNotMapped;
        // A block naming no window, or a gone one, is no receiver: start one instead.
        const auto deadline = clock.Now() + timings.launcherBound;
        while ((receiver_ = blocks_.LiveReceiver()) != 0 && receiver_ != refusedBy_) {
            clock.Sleep(timings.launcherStep);
            const int r = blocks_.PostOpenRequest(false, requestName, request);
            if (r == HandOffDone)
                return RequestPosted;
            if (r != RequestPending && r != ReceiverGone)
                return r;
            // Bounded: a request that never goes (or a receiver that never takes one) must
            // not keep this file from opening.
            if (clock.Now() >= deadline) {
                blocks_.CloseSharedBlocks('m');
                return RequestPending;
            }
        }
        blocks_.CloseSharedBlocks('m');
    }

    switch (blocks_.StartLock().Create(blocks_.Place(), lockName, StartLockSize)) {
    case BlockState::Failed:
    case BlockState::Absent:
        return StartLockNotCreated;
    case BlockState::Existed:
        // Another launcher is starting an editor.
        blocks_.CloseSharedBlocks('l');
        clock.Sleep(timings.launcherStep);
        return StartLockHeld;
    case BlockState::Created:
        break;
    }
    if (StartEditor()) {
        for (int i = 0; i < timings.startPolls; ++i) {
            clock.Sleep(timings.startPoll);
            const BlockState found =
                blocks_.Instance().Open(blocks_.Place(), instanceName, InstanceBlockSize);
            // Stop once the editor offers its window, and at once when the name is unusable.
            if (found == BlockState::Failed ||
                (found == BlockState::Existed && blocks_.Instance().Map() &&
                 blocks_.LiveReceiver() != 0 && blocks_.LiveReceiver() != refusedBy_))
                break;
            blocks_.CloseSharedBlocks('m');
        }
    }
    blocks_.CloseSharedBlocks('l');
    return HandOffDone;
}

bool Launcher::StartEditor() {
    std::vector<std::string> argv;
    argv.reserve(commandLine_.size() + 1);
    argv.push_back(targetPath_);
    argv.insert(argv.end(), commandLine_.begin(), commandLine_.end());
    IoStatus st = StartProgram ? StartProgram(argv) : platform::SpawnDetached(argv);
    return st.ok;
}

void Launcher::PostDestroy() {
    if (!window_.Valid() ||
        window_.Post(window_.Handle(), {LauncherDestroyMsg, 0, 0}) != platform::PostResult::Posted)
        Destroy();
}

void Launcher::Destroy() {
    blocks_.CloseSharedBlocks('a');
    answerDeadline_.reset();
    ended_ = true;
}
