// The shared half of the hand-off: the request record, the clock, and the post and close
// routines on the three named blocks.
#include "editor/hdl/handoff/HandOffProtocol.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <unistd.h>

namespace {

WindowHandle ReadHandle(const unsigned char* at) {
    WindowHandle handle = 0;
    std::memcpy(&handle, at, sizeof handle);
    return handle;
}

void WriteHandle(unsigned char* at, WindowHandle handle) {
    std::memcpy(at, &handle, sizeof handle);
}

class SystemClock : public HandOffClock {
public:
    std::chrono::steady_clock::time_point Now() const override {
        return std::chrono::steady_clock::now();
    }
    void Sleep(std::chrono::milliseconds duration) override {
        std::this_thread::sleep_for(duration);
    }
    bool WaitForMessage(const platform::MessageWindow& window,
                        std::chrono::milliseconds timeout) override {
        return window.Wait(timeout);
    }
};

} // namespace

std::optional<OpenRequest> OpenRequest::For(const std::string& path, WindowHandle window) {
    if (path.size() >= RequestPathField || path.find('\0') != std::string::npos)
        return std::nullopt;
    OpenRequest request;
    std::memcpy(request.bytes_.data(), path.data(), path.size());
    WriteHandle(request.bytes_.data() + RequestPathField, window);
    return request;
}

OpenRequest OpenRequest::FromBlock(const unsigned char* block) {
    OpenRequest request;
    std::memcpy(request.bytes_.data(), block, RequestBlockSize);
    return request;
}

void OpenRequest::WriteTo(unsigned char* block) const {
    std::memcpy(block, bytes_.data(), RequestBlockSize);
}

std::optional<std::string> OpenRequest::Path() const {
    const void* zero = std::memchr(bytes_.data(), 0, RequestPathField);
    if (zero == nullptr)
        return std::nullopt;
    const auto* begin = reinterpret_cast<const char*>(bytes_.data());
    return std::string(begin, static_cast<const char*>(zero));
}

WindowHandle OpenRequest::Window() const {
    return ReadHandle(bytes_.data() + RequestPathField);
}

std::optional<std::string> AbsoluteHandOffPath(const std::string& path) {
    if (!path.empty() && path[0] == '/')
        return path;
    char* cwd = ::getcwd(nullptr, 0);
    if (cwd == nullptr)
        return std::nullopt;
    std::string dir = cwd;
    std::free(cwd);
    if (path.empty())
        return path;
    if (dir.back() != '/')
        dir.push_back('/');
    return dir + path;
}

HandOffClock& SystemHandOffClock() {
    static SystemClock clock;
    return clock;
}

HandOffTimings HandOffTimingsFromEnvironment() {
    HandOffTimings timings;
    if (const char* text = std::getenv("ZUN_HANDOFF_WAIT_MS")) {
        errno = 0;
        char* end = nullptr;
        long long ms = std::strtoll(text, &end, 10);
        if (errno == 0 && end != text && *end == '\0' && ms > 0)
            timings.launcherBound = std::chrono::milliseconds(ms);
    }
    return timings;
}

HandOffBlocks::HandOffBlocks(platform::MessageWindow& window, HandOffClock& clock,
                             HandOffTimings timings)
    : window_(window), clock_(clock), timings_(timings) {}

int HandOffBlocks::PostOpenRequest(bool openOnly, std::string_view name,
                                   const OpenRequest& request) {
    using platform::BlockState;
    if (openOnly) {
        // The receiver joins a request its requester still holds; making a fresh one here
        // would only read an empty path.
        if (request_.Open(place_, name, RequestBlockSize) != BlockState::Existed) {
            request_.Close();
            return RequestNotCreated;
        }
        return request_.Map() ? HandOffDone : RequestNotMapped;
    }
    switch (request_.Create(place_, name, RequestBlockSize)) {
    case BlockState::Failed:
    case BlockState::Absent:
        return RequestNotCreated;
    case BlockState::Existed:
        CloseSharedBlocks('s');
        return RequestPending;
    case BlockState::Created:
        break;
    }
    if (!request_.Map()) {
        // Held on, the block would stand for a request nobody is told about.
        CloseSharedBlocks('s');
        return RequestNotMapped;
    }
    request.WriteTo(request_.Data());
    const WindowHandle receiver =
        instance_.Mapped() ? ReadHandle(instance_.Data()) : WindowHandle{0};
    if (window_.Post(receiver, {OpenRequestMsg, 0, RequestWaiting}) !=
        platform::PostResult::Posted) {
        CloseSharedBlocks('s');
        return ReceiverGone;
    }
    return HandOffDone;
}

void HandOffBlocks::CloseSharedBlocks(char which) {
    if (which == 's' || which == 'a')
        request_.Close();
    if ((which == 'm' || which == 'a') && instance_.Held()) {
        if (instance_.Mapped() && window_.Valid() &&
            ReadHandle(instance_.Data()) == window_.Handle()) {
            // Under the lock, so an editor claiming the block just now is never wiped out.
            platform::PlaceLock lock(place_);
            if (ReadHandle(instance_.Data()) == window_.Handle())
                WriteHandle(instance_.Data(), 0);
            if (lock)
                instance_.Close(lock);
            else
                instance_.Close();
        } else {
            instance_.Close();
        }
    }
    if (which == 'l' || which == 'a')
        startLock_.Close();
}

WindowHandle HandOffBlocks::LiveReceiver() const {
    if (!instance_.Mapped())
        return 0;
    const WindowHandle handle = ReadHandle(instance_.Data());
    return platform::MessageWindow::Exists(place_, handle) ? handle : 0;
}

int HandOffBlocks::ClaimInstance(std::string_view name, WindowHandle passOver,
                                 WindowHandle& receiver) {
    using platform::BlockState;
    receiver = 0;
    platform::PlaceLock lock(place_);
    if (!lock)
        return InstanceNotCreated;
    if (!instance_.Held()) {
        const BlockState state = instance_.Create(lock, place_, name, InstanceBlockSize);
        if (state == BlockState::Failed || state == BlockState::Absent)
            return InstanceNotCreated;
    }
    if (!instance_.Map())
        return InstanceNotMapped;
    const WindowHandle named = LiveReceiver();
    if (named != 0 && named != passOver && named != window_.Handle()) {
        receiver = named;
        return 0;
    }
    WriteHandle(instance_.Data(), window_.Handle());
    return HandOffDone;
}
