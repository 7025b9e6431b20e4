// Invisible message windows for the hand-off: each is an AF_UNIX datagram socket in the
// hand-off place, named by a random 32-bit handle, that other processes of the same user post
// small message records to.
#pragma once

#include "platform/HandOffPlace.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

using WindowHandle = std::uint32_t; // 0 is no window

struct WindowMessage {
    std::uint32_t message = 0;
    std::uint32_t wParam = 0;
    std::int32_t lParam = 0;

    bool operator==(const WindowMessage&) const = default;
};

enum class PostResult {
    Posted,
    Gone, // no window of that handle exists (any more)
    Busy, // the window's queue is full; nothing was sent
    Failed
};

class MessageWindow {
public:
    MessageWindow() = default;
    ~MessageWindow() { Destroy(); }
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    // Binds a socket under a fresh random handle.
    IoStatus Create(const HandOffPlace& place);
    // Closes the socket and removes its name.
    void Destroy();

    bool Valid() const { return fd_ >= 0; }
    WindowHandle Handle() const { return handle_; }
    // For a poll or a socket notifier: readable when a message waits.
    int Descriptor() const { return fd_; }

    // Sends one record without ever blocking.
    PostResult Post(WindowHandle target, const WindowMessage& message) const;
    // The next valid message, or nothing when none waits. Records of a wrong size or form, and
    // any sent by another user, are dropped.
    std::optional<WindowMessage> Receive();
    // Waits at most timeout for a message to arrive; true when one (or more) waits.
    bool Wait(std::chrono::milliseconds timeout) const;

    // The socket path of a handle in the place: "w" and eight hexadecimal digits.
    static std::string SocketPath(const HandOffPlace& place, WindowHandle handle);
    // Whether a window of that handle exists now, found without sending it anything. The name
    // a killed window left is removed on the way.
    static bool Exists(const HandOffPlace& place, WindowHandle handle);

private:
    int fd_ = -1;
    WindowHandle handle_ = 0;
    std::string path_;
    std::string dir_;
};

} // namespace platform
