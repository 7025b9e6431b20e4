// Named shared memory with "gone with its last holder", on shm_open, flock and mmap.
#include "platform/SharedBlock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

// A guard holder is never more than a few system calls long; one that is stopped (or a
// directory lock somebody keeps) must not hang the editor, so the wait has an end.
constexpr auto GuardBound = std::chrono::seconds(5);

bool IsBlockNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ';
}

bool IsBlockName(std::string_view name) {
    if (name.empty())
        return false;
    for (char c : name)
        if (!IsBlockNameChar(c))
            return false;
    return true;
}

std::string ErrnoText(const std::string& what, int err) {
    return what + ": " + std::strerror(err);
}

} // namespace

PlaceLock::PlaceLock(const HandOffPlace& place) : dir_(place.dir) {
    if (dir_.empty()) {
        message_ = "no place to lock";
        return;
    }
    fd_ = ::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ < 0) {
        message_ = ErrnoText("cannot open " + dir_, errno);
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + GuardBound;
    // Short steps first: a holder lets go within microseconds, and editors and launchers
    // starting together queue here.
    auto step = std::chrono::microseconds(50);
    for (;;) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            locked_ = true;
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            message_ = ErrnoText("cannot lock " + dir_, errno);
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            message_ = dir_ + " stayed locked by another process";
            return;
        }
        std::this_thread::sleep_for(step);
        step = std::min(step * 2, std::chrono::microseconds(1000));
    }
}

PlaceLock::~PlaceLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

SharedBlock::SharedBlock(SharedBlock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), view_(std::exchange(other.view_, nullptr)),
      size_(std::exchange(other.size_, 0)), object_(std::move(other.object_)),
      guardDir_(std::move(other.guardDir_)), message_(std::move(other.message_)) {}

SharedBlock& SharedBlock::operator=(SharedBlock&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        view_ = std::exchange(other.view_, nullptr);
        size_ = std::exchange(other.size_, 0);
        object_ = std::move(other.object_);
        guardDir_ = std::move(other.guardDir_);
        message_ = std::move(other.message_);
    }
    return *this;
}

std::string SharedBlock::ObjectName(const HandOffPlace& place, std::string_view name) {
    std::string object = "/zun." + std::to_string(place.uid) + "." + place.ns + ".";
    for (char c : name)
        object.push_back(c == ' ' ? '_' : c);
    return object;
}

BlockState SharedBlock::Create(const HandOffPlace& place, std::string_view name, std::size_t size) {
    return Join(place, name, size, true, nullptr);
}

BlockState SharedBlock::Create(const PlaceLock& held, const HandOffPlace& place,
                               std::string_view name, std::size_t size) {
    return Join(place, name, size, true, &held);
}

BlockState SharedBlock::Open(const HandOffPlace& place, std::string_view name, std::size_t size) {
    return Join(place, name, size, false, nullptr);
}

BlockState SharedBlock::Join(const HandOffPlace& place, std::string_view name, std::size_t size,
                             bool create, const PlaceLock* held) {
    if (held != nullptr && (!*held || held->Dir() != place.dir)) {
        Close();
        message_ = "the lock held is not on " + place.dir;
        return BlockState::Failed;
    }
    Release(held != nullptr);
    message_.clear();
    if (!IsBlockName(name) || size == 0 || place.dir.empty()) {
        message_ = "not a block name: " + std::string(name);
        return BlockState::Failed;
    }
    if (held != nullptr)
        return JoinLocked(place, name, size, create);
    PlaceLock lock(place);
    if (!lock) {
        message_ = lock.Message();
        return BlockState::Failed;
    }
    return JoinLocked(place, name, size, create);
}

BlockState SharedBlock::JoinLocked(const HandOffPlace& place, std::string_view name,
                                   std::size_t size, bool create) {
    const std::string object = ObjectName(place, name);
    // Two rounds at most: a stale object found by Create is removed and made afresh.
    for (int round = 0; round < 2; ++round) {
        if (create) {
            int fd = ::shm_open(object.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd >= 0) {
                if (::fchmod(fd, 0600) != 0 || ::ftruncate(fd, static_cast<off_t>(size)) != 0 ||
                    ::flock(fd, LOCK_SH | LOCK_NB) != 0) {
                    message_ = ErrnoText("cannot make " + object, errno);
                    ::shm_unlink(object.c_str());
                    ::close(fd);
                    return BlockState::Failed;
                }
                Hold(fd, size, object, place.dir);
                return BlockState::Created;
            }
            if (errno != EEXIST) {
                message_ = ErrnoText("cannot make " + object, errno);
                return BlockState::Failed;
            }
        }
        int fd = ::shm_open(object.c_str(), O_RDWR | O_CLOEXEC, 0);
        if (fd < 0) {
            if (errno == ENOENT && !create)
                return BlockState::Absent;
            message_ = ErrnoText("cannot open " + object, errno);
            return BlockState::Failed;
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0) {
            message_ = ErrnoText("cannot examine " + object, errno);
            ::close(fd);
            return BlockState::Failed;
        }
        if (st.st_uid != ::geteuid() || (st.st_mode & 077) != 0) {
            // Somebody else's object under our name: never read, written, or removed.
            message_ = object + (st.st_uid != ::geteuid() ? " belongs to another user"
                                                          : " is open to other users");
            ::close(fd);
            return BlockState::Failed;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // Nobody holds it: the leftover of a holder that was killed.
            ::shm_unlink(object.c_str());
            ::close(fd);
            if (!create)
                return BlockState::Absent;
            continue;
        }
        if (errno != EWOULDBLOCK || ::flock(fd, LOCK_SH | LOCK_NB) != 0) {
            message_ = ErrnoText("cannot lock " + object, errno);
            ::close(fd);
            return BlockState::Failed;
        }
        Hold(fd, size, object, place.dir);
        return BlockState::Existed;
    }
    message_ = object + " keeps coming back";
    return BlockState::Failed;
}

void SharedBlock::Hold(int fd, std::size_t size, const std::string& object,
                       const std::string& guardDir) {
    fd_ = fd;
    size_ = size;
    object_ = object;
    guardDir_ = guardDir;
}

bool SharedBlock::Map() {
    if (fd_ < 0) {
        message_ = "no block to map";
        return false;
    }
    if (view_ != nullptr)
        return true;
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        message_ = ErrnoText("cannot examine " + object_, errno);
        return false;
    }
    if (st.st_size != static_cast<off_t>(size_)) {
        message_ =
            object_ + " has " + std::to_string(st.st_size) + " bytes, not " + std::to_string(size_);
        return false;
    }
    void* view = ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
    if (view == MAP_FAILED) {
        message_ = ErrnoText("cannot map " + object_, errno);
        return false;
    }
    view_ = view;
    return true;
}

void SharedBlock::Unmap() {
    if (view_ != nullptr)
        ::munmap(view_, size_);
    view_ = nullptr;
}

void SharedBlock::Close() {
    Release(false);
}

void SharedBlock::Close(const PlaceLock& held) {
    Release(held && held.Dir() == guardDir_);
}

void SharedBlock::Release(bool locked) {
    if (fd_ < 0)
        return;
    Unmap();
    {
        // Without the lock the name stays; it is stale once this descriptor is closed, and the
        // next user removes it.
        std::optional<PlaceLock> lock;
        if (!locked)
            lock.emplace(HandOffPlace{guardDir_, {}, 0});
        if ((locked || *lock) && ::flock(fd_, LOCK_EX | LOCK_NB) == 0)
            ::shm_unlink(object_.c_str());
        ::close(fd_);
    }
    fd_ = -1;
    size_ = 0;
    object_.clear();
    guardDir_.clear();
}

} // namespace platform
