// The file hand-off between editors and launchers, the part both programs share: the three
// named blocks, the message and its values, the request record, the result codes, and the two
// routines that post a request and close the blocks. No Qt: the launcher links this too.
#pragma once

#include "platform/HandOffPlace.h"
#include "platform/MessageWindow.h"
#include "platform/SharedBlock.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

using platform::WindowHandle;

inline constexpr std::string_view InstanceBlockName = "ZUN M1"; // the receiver's window
inline constexpr std::string_view RequestBlockName = "ZUN M2";  // one pending request
inline constexpr std::string_view StartLockName = "ZUN M3";     // a launcher starts an editor
inline constexpr std::size_t InstanceBlockSize = 4;
inline constexpr std::size_t RequestBlockSize = 2052;
inline constexpr std::size_t RequestPathField = 2048;
inline constexpr std::size_t StartLockSize = 1;

// The hand-off message and the values of its long parameter.
inline constexpr std::uint32_t OpenRequestMsg = 0x463;
inline constexpr std::int32_t RequestWaiting = 0; // requester to receiver
inline constexpr std::int32_t RequestTaken = 1;   // receiver to requester
inline constexpr std::int32_t LauncherStart = 2;  // a launcher to itself
// Receiver to requester: this editor no longer takes files (its wizard went past its first
// page or closed); the requester goes on as if there were no receiver.
inline constexpr std::int32_t RequestRefused = 3;

// Result codes of the hand-off routines.
inline constexpr int InstanceNotCreated = 1;
inline constexpr int RequestNotCreated = 2; // also: the request block could not be opened
inline constexpr int InstanceNotMapped = 3;
inline constexpr int RequestNotMapped = 4;
inline constexpr int HandOffDone = 5;
// The receiver's window was gone when the request was posted; the request block is closed.
inline constexpr int ReceiverGone = 6;
inline constexpr int RequestPending = 7;
// The editor's file was kept: its path does not fit a request, and a receiver exists.
inline constexpr int PathKept = 8;
inline constexpr int StartLockNotCreated = 9;
inline constexpr int StartLockHeld = 10;
inline constexpr int RequestPosted = 12;

// The request a requester builds: bytes 0-2047 the path, zero-terminated; bytes 2048-2051 the
// window that is to get the answer. A path is never cut: one that does not fit makes no record.
class OpenRequest {
public:
    OpenRequest() = default;
    static std::optional<OpenRequest> For(const std::string& path, WindowHandle window);
    static OpenRequest FromBlock(const unsigned char* block);

    void WriteTo(unsigned char* block) const;
    // The path, or nothing when the field holds no terminating zero.
    std::optional<std::string> Path() const;
    WindowHandle Window() const;

private:
    std::array<unsigned char, RequestBlockSize> bytes_{};
};

// The path as the receiver must see it: the receiver runs in another directory, so a relative
// path is made absolute against this process's current directory. Nothing when it cannot be.
std::optional<std::string> AbsoluteHandOffPath(const std::string& path);

// Time as the hand-off waits on it; tests give a clock of their own.
class HandOffClock {
public:
    virtual ~HandOffClock() = default;
    virtual std::chrono::steady_clock::time_point Now() const = 0;
    virtual void Sleep(std::chrono::milliseconds duration) = 0;
    // Waits at most timeout for a message to the window; true when one waits.
    virtual bool WaitForMessage(const platform::MessageWindow& window,
                                std::chrono::milliseconds timeout) = 0;
};
HandOffClock& SystemHandOffClock();

struct HandOffTimings {
    std::chrono::milliseconds editorRetry{2000}; // editor requester, while a request is pending
    int editorTries = 5;
    std::chrono::milliseconds launcherStep{10}; // before every launcher try and back-off
    std::chrono::milliseconds startPoll{100};   // for the started editor's instance block
    int startPolls = 1000;
    // How long a launcher waits for another's pending request to go, and for its own answer,
    // before it starts an editor with its command line; a second editor waits as long for its
    // answer before it goes on alone.
    std::chrono::milliseconds launcherBound{30000};
};
// The standard timings; ZUN_HANDOFF_WAIT_MS (a positive number) shortens the launcher's bound.
HandOffTimings HandOffTimingsFromEnvironment();

// One program's handles and views of the three blocks, with its message window.
class HandOffBlocks {
public:
    HandOffBlocks(platform::MessageWindow& window, HandOffClock& clock, HandOffTimings timings);

    // The place must be set (and the window created in it) before any block is used.
    void SetPlace(platform::HandOffPlace place) { place_ = std::move(place); }
    const platform::HandOffPlace& Place() const { return place_; }
    platform::MessageWindow& Window() { return window_; }
    HandOffClock& Clock() { return clock_; }
    const HandOffTimings& Timings() const { return timings_; }

    platform::SharedBlock& Instance() { return instance_; }
    platform::SharedBlock& Request() { return request_; }
    platform::SharedBlock& StartLock() { return startLock_; }

    // openOnly: joins the pending request block and maps it (5, 2 when there is none, 4).
    // Else creates the block, fills it with the request and posts RequestWaiting to the window
    // named in the mapped instance block: 5, 2, 4, 6 (the post found no window; the block is
    // closed again), 7 (another request is pending; left alone).
    int PostOpenRequest(bool openOnly, std::string_view name, const OpenRequest& request);
    // 's' the request block, 'm' the instance block, 'l' the start lock, 'a' all three. A
    // receiver closing the instance block first clears its own window out of it.
    void CloseSharedBlocks(char which);

    // The window named in the mapped instance block while that window exists, else 0.
    WindowHandle LiveReceiver() const;
    // A registering editor's look at the instance block and its write, in one step under a
    // lock on the place, so that two editors registering at once never both become the
    // receiver: makes or joins the block and, when it names no live window or only passOver (a
    // receiver that refused this program), writes this program's window into it: 5. When a
    // live receiver is named: 0, and receiver is set to it. 1 when the block could not be
    // made (or the place not locked), 3 when it could not be mapped.
    int ClaimInstance(std::string_view name, WindowHandle passOver, WindowHandle& receiver);

private:
    platform::MessageWindow& window_;
    HandOffClock& clock_;
    HandOffTimings timings_;
    platform::HandOffPlace place_;
    platform::SharedBlock instance_;
    platform::SharedBlock request_;
    platform::SharedBlock startLock_;
};
