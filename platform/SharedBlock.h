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

    // Why the last Create, Open or Map failed.
    const std::string& Message() const { return message_; }

private:
    BlockState Join(const HandOffPlace& place, std::string_view name, std::size_t size,
                    bool create);
    void Hold(int fd, std::size_t size, const std::string& object, const std::string& guardDir);

    int fd_ = -1;
    void* view_ = nullptr;
    std::size_t size_ = 0;
    std::string object_;
    std::string guardDir_;
    std::string message_;
};

} // namespace platform
