// Message windows on AF_UNIX datagram sockets: bind under a random handle, post without
// blocking, receive with the sender's credentials checked.
#include "platform/MessageWindow.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

// Every record starts with these four bytes; anything else on the socket is not ours.
constexpr unsigned char RecordMagic[4] = {'Z', 'U', 'N', 'w'};
constexpr std::size_t RecordSize = 16;
constexpr int BindTries = 16;

void PutWord(unsigned char* at, std::uint32_t value) {
    std::memcpy(at, &value, sizeof value);
}

std::uint32_t GetWord(const unsigned char* at) {
    std::uint32_t value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

bool Address(const std::string& path, sockaddr_un& address) {
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.size() + 1 > sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

std::string PathIn(const std::string& dir, WindowHandle handle) {
    char name[16];
    std::snprintf(name, sizeof name, "w%08x", static_cast<unsigned>(handle));
    return dir + name;
}

WindowHandle RandomHandle() {
    WindowHandle handle = 0;
    while (handle == 0) {
        if (::getrandom(&handle, sizeof handle, 0) != static_cast<ssize_t>(sizeof handle))
            handle = 0;
    }
    return handle;
}

// A socket name left by a window whose process was killed: nobody can bind it again, and a
// post to it can only be refused. Only sockets of this user are touched.
void RemoveStaleSocket(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == ::geteuid())
        ::unlink(path.c_str());
}

} // namespace

std::string MessageWindow::SocketPath(const HandOffPlace& place, WindowHandle handle) {
    return PathIn(place.dir, handle);
}

bool MessageWindow::Exists(const HandOffPlace& place, WindowHandle handle) {
    if (handle == 0 || place.dir.empty())
        return false;
    sockaddr_un address;
    if (!Address(SocketPath(place, handle), address))
        return false;
    int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    bool alive = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    const int err = errno;
    ::close(fd);
    if (!alive && err == ECONNREFUSED)
        RemoveStaleSocket(address.sun_path);
    return alive;
}

IoStatus MessageWindow::Create(const HandOffPlace& place) {
    Destroy();
    if (place.dir.empty())
        return IoStatus::Fail("no place for a message window");
    int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return IoStatus::Fail(std::string("cannot make a message window: ") + std::strerror(errno));
    int on = 1;
    if (::setsockopt(fd, SOL_SOCKET, SO_PASSCRED, &on, sizeof on) != 0) {
        int err = errno;
        ::close(fd);
        return IoStatus::Fail(std::string("cannot make a message window: ") + std::strerror(err));
    }
    for (int i = 0; i < BindTries; ++i) {
        WindowHandle handle = RandomHandle();
        std::string path = SocketPath(place, handle);
        sockaddr_un address;
        if (!Address(path, address)) {
            ::close(fd);
            return IoStatus::Fail(path + " is too long for a socket address");
        }
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            fd_ = fd;
            handle_ = handle;
            path_ = std::move(path);
            dir_ = place.dir;
            return IoStatus::Ok();
        }
        if (errno != EADDRINUSE) {
            int err = errno;
            ::close(fd);
            return IoStatus::Fail("cannot bind " + path + ": " + std::strerror(err));
        }
    }
    ::close(fd);
    return IoStatus::Fail("no free message window handle in " + place.dir);
}

void MessageWindow::Destroy() {
    if (fd_ < 0)
        return;
    ::close(fd_);
    ::unlink(path_.c_str());
    fd_ = -1;
    handle_ = 0;
    path_.clear();
    dir_.clear();
}

PostResult MessageWindow::Post(WindowHandle target, const WindowMessage& message) const {
    if (fd_ < 0)
        return PostResult::Failed;
    if (target == 0)
        return PostResult::Gone;
    const std::string path = PathIn(dir_, target);
    sockaddr_un address;
    if (!Address(path, address))
        return PostResult::Failed;
    unsigned char record[RecordSize];
    std::memcpy(record, RecordMagic, sizeof RecordMagic);
    PutWord(record + 4, message.message);
    PutWord(record + 8, message.wParam);
    PutWord(record + 12, static_cast<std::uint32_t>(message.lParam));
    for (;;) {
        ssize_t n = ::sendto(fd_, record, sizeof record, MSG_DONTWAIT | MSG_NOSIGNAL,
                             reinterpret_cast<const sockaddr*>(&address), sizeof address);
        if (n == static_cast<ssize_t>(sizeof record))
            return PostResult::Posted;
        if (n >= 0)
            return PostResult::Failed;
        switch (errno) {
        case EINTR:
            continue;
        case ECONNREFUSED:
            RemoveStaleSocket(path);
            return PostResult::Gone;
        case ENOENT:
        case ENOTDIR:
            return PostResult::Gone;
        case EAGAIN:
#if EWOULDBLOCK != EAGAIN
        case EWOULDBLOCK:
#endif
        case ENOBUFS:
            return PostResult::Busy;
        default:
            return PostResult::Failed;
        }
    }
}

std::optional<WindowMessage> MessageWindow::Receive() {
    if (fd_ < 0)
        return std::nullopt;
    for (;;) {
        unsigned char record[RecordSize + 1];
        alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(ucred))];
        iovec io{record, sizeof record};
        msghdr header{};
        header.msg_iov = &io;
        header.msg_iovlen = 1;
        header.msg_control = control;
        header.msg_controllen = sizeof control;
        ssize_t n = ::recvmsg(fd_, &header, MSG_DONTWAIT | MSG_CMSG_CLOEXEC);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        bool fromUs = false;
        for (cmsghdr* c = CMSG_FIRSTHDR(&header); c != nullptr; c = CMSG_NXTHDR(&header, c)) {
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_CREDENTIALS &&
                c->cmsg_len >= CMSG_LEN(sizeof(ucred))) {
                ucred credentials{};
                std::memcpy(&credentials, CMSG_DATA(c), sizeof credentials);
                fromUs = credentials.uid == ::geteuid();
            }
        }
        if (!fromUs || (header.msg_flags & (MSG_TRUNC | MSG_CTRUNC)) != 0 ||
            n != static_cast<ssize_t>(RecordSize) ||
            std::memcmp(record, RecordMagic, sizeof RecordMagic) != 0)
            continue;
        WindowMessage message;
        message.message = GetWord(record + 4);
        message.wParam = GetWord(record + 8);
        message.lParam = static_cast<std::int32_t>(GetWord(record + 12));
        return message;
    }
}

bool MessageWindow::Wait(std::chrono::milliseconds timeout) const {
    if (fd_ < 0)
        return false;
    pollfd p{fd_, POLLIN, 0};
    long long ms = timeout.count() < 0 ? 0 : timeout.count();
    for (;;) {
        int r = ::poll(&p, 1, ms > 1'000'000'000 ? 1'000'000'000 : static_cast<int>(ms));
        if (r > 0)
            return (p.revents & POLLIN) != 0;
        if (r == 0 || errno != EINTR)
            return false;
    }
}

} // namespace platform
