// Named blocks of shared memory that live exactly as long as some process holds them, on POSIX
// shared memory objects.
//
// A name alone would outlive a holder that was killed. So every holder keeps a shared flock on
// its descriptor: a name nobody has locked is stale (a leftover) and counts as absent, the last
// holder to close removes the name, and each create, open and close runs under an exclusive
// flock on the place's directory so these steps never interleave between processes.
#pragma once

#include "platform/HandOffPlace.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

enum class BlockState {
    Created, // the name was new (or stale): this holder made the block, zero-filled
    Existed, // another process holds the block: this holder shares it
    Absent,  // nobody holds a block of that name (open only)
    Failed   // could not be made or opened, or the object there is not ours; see message
};

// The exclusive lock on a place under which blocks are made, joined and let go. Each step of a
// SharedBlock takes it for itself; a caller that must look at a block and then write it without
// another process in between holds one over both and hands it to the steps. The wait for it is
// bounded (5 s): a holder is never more than a few system calls long.
class PlaceLock {
public:
    explicit PlaceLock(const HandOffPlace& place);
    ~PlaceLock();
    PlaceLock(const PlaceLock&) = delete;
    PlaceLock& operator=(const PlaceLock&) = delete;

    explicit operator bool() const { return locked_; }
    const std::string& Message() const { return message_; }
    const std::string& Dir() const { return dir_; }

private:
    int fd_ = -1;
    bool locked_ = false;
    std::string dir_;
    std::string message_;
};

class SharedBlock {
public:
    SharedBlock() = default;
    ~SharedBlock() { Close(); }
    SharedBlock(SharedBlock&& other) noexcept;
    SharedBlock& operator=(SharedBlock&& other) noexcept;
    SharedBlock(const SharedBlock&) = delete;
    SharedBlock& operator=(const SharedBlock&) = delete;

    // The shared memory object of a block: "/zun.<uid>.<ns>.<name>", blanks as "_". Names are
    // letters, digits and blanks.
    static std::string ObjectName(const HandOffPlace& place, std::string_view name);

    // Makes the block of size bytes, or joins the one that a live holder has.
    BlockState Create(const HandOffPlace& place, std::string_view name, std::size_t size);
    // The same inside a lock the caller holds on the place.
    BlockState Create(const PlaceLock& held, const HandOffPlace& place, std::string_view name,
                      std::size_t size);
    // Joins the block a live holder has; Absent when there is none.
    BlockState Open(const HandOffPlace& place, std::string_view name, std::size_t size);

    // Maps the whole block for reading and writing. Fails (and touches nothing) when the
    // object's size is not the block's, so a short object never faults on access.
    bool Map();
    bool Mapped() const { return view_ != nullptr; }
    bool Held() const { return fd_ >= 0; }
    unsigned char* Data() { return static_cast<unsigned char*>(view_); }
    const unsigned char* Data() const { return static_cast<const unsigned char*>(view_); }
    std::size_t Size() const { return size_; }

    void Unmap();
    // Unmaps and lets go; the last holder removes the name. Safe when nothing is held.
    void Close();
    // The same inside a lock the caller holds on the block's place.
    void Close(const PlaceLock& held);

    // Why the last Create, Open or Map failed.
    const std::string& Message() const { return message_; }

private:
    BlockState Join(const HandOffPlace& place, std::string_view name, std::size_t size, bool create,
                    const PlaceLock* held);
    BlockState JoinLocked(const HandOffPlace& place, std::string_view name, std::size_t size,
                          bool create);
    void Release(bool locked);
    void Hold(int fd, std::size_t size, const std::string& object, const std::string& guardDir);

    int fd_ = -1;
    void* view_ = nullptr;
    std::size_t size_ = 0;
    std::string object_;
    std::string guardDir_;
    std::string message_;
};

} // namespace platform
