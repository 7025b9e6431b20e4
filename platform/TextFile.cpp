// Whole-file text I/O on POSIX, with the write-temporary-then-rename save.
#include "platform/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

IoStatus Errno(const std::string& what, const std::string& path, int err) {
    return IoStatus::Fail(what + " " + path + ": " + std::strerror(err));
}

// Writes the whole buffer, going on after short writes and interrupted calls.
bool WriteAll(int fd, const char* data, std::size_t size, int& err) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Appends what is left of the file to data; 0, or the error that stopped the read.
int ReadAll(int fd, std::string& data) {
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return 0;
        data.append(buf, static_cast<std::size_t>(n));
    }
}

mode_t CurrentUmask() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

IoStatus ReadWholeFile(const std::string& path, std::string& text) {
    text.clear();
    // A folder, a FIFO, a device or a socket is no file to read whole, and opening one may block
    // (a FIFO waits for a writer) or act on the device: refused before the open.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return Errno("cannot read", path, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    // Opened without blocking all the same, in case the name is swapped for a FIFO between the
    // check and the open; the opened file is checked again. A regular file reads the same.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return Errno("cannot open", path, errno);
    if (::fstat(fd, &st) != 0) {
        int err = errno;
        ::close(fd);
        return Errno("cannot read", path, err);
    }
    if (!S_ISREG(st.st_mode)) {
        int err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return Errno("cannot read", path, err);
    }
    std::string data;
    data.reserve(static_cast<std::size_t>(st.st_size));
    if (int err = ReadAll(fd, data); err != 0) {
        ::close(fd);
        return Errno("cannot read", path, err);
    }
    ::close(fd);
    text = std::move(data);
    return IoStatus::Ok();
}

namespace {

struct AtomicAttempt {
    IoStatus status;
    // The file exists and may be written, but its directory took no temporary file or refused
    // the rename over the file.
    bool directoryRefused = false;
    std::string target; // the file itself, after symbolic links
};

bool RefusedByPermission(int err) {
    return err == EACCES || err == EPERM;
}

AtomicAttempt TryWriteAtomic(const std::string& path, const std::string& bytes) {
    AtomicAttempt attempt;
    if (path.empty()) {
        attempt.status = IoStatus::Fail("cannot write a file without a name");
        return attempt;
    }
    // Write through a symbolic link to the file it names, so the link survives the rename.
    std::string& target = attempt.target;
    target = path;
    mode_t mode = 0666 & ~CurrentUmask();
    bool replacing = false;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        replacing = true;
        if (!S_ISREG(st.st_mode)) {
            attempt.status = Errno("cannot write", path, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
            return attempt;
        }
        if ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0) {
            attempt.status = Errno("cannot write", path, EACCES);
            return attempt;
        }
        mode = st.st_mode & 07777;
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    std::string dir = DirectoryOf(target);
    std::string base = target.substr(dir.size());
    std::string pattern = dir + "." + base + ".XXXXXX";
    std::vector<char> tmpName(pattern.begin(), pattern.end());
    tmpName.push_back('\0');
    int fd = ::mkstemp(tmpName.data());
    if (fd < 0) {
        const int err = errno;
        attempt.directoryRefused = replacing && RefusedByPermission(err);
        attempt.status = Errno("cannot create a file in the directory of", path, err);
        return attempt;
    }
    std::string tmp(tmpName.data());
    int err = 0;
    bool ok = WriteAll(fd, bytes.data(), bytes.size(), err);
    if (ok && ::fchmod(fd, mode) != 0) {
        ok = false;
        err = errno;
    }
    // The replaced file keeps its owner where we may give it (the superuser saving a user's
    // file); elsewhere the new file is ours, as any rewrite would make it.
    if (ok && replacing)
        (void)!::fchown(fd, st.st_uid, st.st_gid);
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        err = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(tmp.c_str(), target.c_str()) != 0) {
        ok = false;
        err = errno;
        // A sticky directory lets us make the temporary file but not replace another's file.
        attempt.directoryRefused = RefusedByPermission(err);
    }
    if (!ok) {
        ::unlink(tmp.c_str());
        attempt.status = Errno("cannot write", path, err);
        return attempt;
    }
    // Make the rename itself durable; a failure here leaves a complete file either way.
    int dirFd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return attempt;
}

// Writes size bytes at offset, going on after short writes; answers how many went and sets err
// when not all did.
std::size_t WriteAllAt(int fd, const char* data, std::size_t size, int& err) {
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            return done;
        }
        if (n == 0) {
            err = EIO;
            return done;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

// Rewrites the file through itself. The old bytes are read first and kept: the room the new
// ones need beyond them is reserved before a byte is changed, so a full disk refuses the save
// with the file untouched; should a write fail later all the same, the part already overwritten
// is written back and the old length restored.
IoStatus WriteInPlace(const std::string& path, const std::string& bytes) {
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return Errno("cannot write", path, errno);
    struct stat st {};
    const bool unknown = ::fstat(fd, &st) != 0;
    if (unknown || !S_ISREG(st.st_mode)) {
        const int err = unknown ? errno : EINVAL;
        ::close(fd);
        return Errno("cannot write", path, err);
    }
    std::string old;
    old.reserve(static_cast<std::size_t>(st.st_size));
    if (int err = ReadAll(fd, old); err != 0) {
        ::close(fd);
        return Errno("cannot read", path, err);
    }
    const off_t oldSize = static_cast<off_t>(old.size());
    const off_t newSize = static_cast<off_t>(bytes.size());
    if (newSize > oldSize) {
        const int err = ::posix_fallocate(fd, oldSize, newSize - oldSize);
        // A file system that cannot reserve room is written without; the kept bytes still
        // stand behind the write.
        if (err != 0 && err != EOPNOTSUPP && err != ENOSYS && err != EINVAL) {
            (void)!::ftruncate(fd, oldSize);
            ::close(fd);
            return Errno("cannot write", path, err);
        }
    }
    int err = 0;
    const std::size_t written = WriteAllAt(fd, bytes.data(), bytes.size(), err);
    bool ok = written == bytes.size();
    if (ok && newSize < oldSize && ::ftruncate(fd, newSize) != 0) {
        ok = false;
        err = errno;
    }
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        err = errno;
    }
    if (ok) {
        if (::close(fd) != 0)
            return Errno("cannot write", path, errno);
        return IoStatus::Ok();
    }
    // Only what was overwritten needs to go back; the rest of the old bytes is still there.
    const std::size_t back = std::min(written, old.size());
    int restoreErr = 0;
    bool restored = WriteAllAt(fd, old.data(), back, restoreErr) == back &&
                    ::ftruncate(fd, oldSize) == 0 && ::fsync(fd) == 0;
    ::close(fd);
    return IoStatus::Fail("cannot write " + path + ": " + std::strerror(err) +
                          (restored ? "; its previous content was written back"
                                    : "; its previous content could not be written back"));
}

} // namespace

IoStatus WriteFileAtomic(const std::string& path, const std::string& bytes) {
    return TryWriteAtomic(path, bytes).status;
}

IoStatus WriteFileReplacing(const std::string& path, const std::string& bytes, WriteWay& way) {
    way = WriteWay::None;
    AtomicAttempt attempt = TryWriteAtomic(path, bytes);
    if (attempt.status) {
        way = WriteWay::Atomic;
        return attempt.status;
    }
    if (!attempt.directoryRefused)
        return attempt.status;
    IoStatus inPlace = WriteInPlace(attempt.target, bytes);
    if (inPlace)
        way = WriteWay::InPlace;
    return inPlace;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

std::string DirectoryOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace platform
