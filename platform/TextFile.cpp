// Whole-file text I/O on POSIX, with the write-temporary-then-rename save.
#include "platform/TextFile.h"

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
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int err = errno;
            ::close(fd);
            return Errno("cannot read", path, err);
        }
        if (n == 0)
            break;
        data.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    text = std::move(data);
    return IoStatus::Ok();
}

IoStatus WriteFileAtomic(const std::string& path, const std::string& bytes) {
    if (path.empty())
        return IoStatus::Fail("cannot write a file without a name");
    // Write through a symbolic link to the file it names, so the link survives the rename.
    std::string target = path;
    mode_t mode = 0666 & ~CurrentUmask();
    bool replacing = false;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        replacing = true;
        if (!S_ISREG(st.st_mode))
            return Errno("cannot write", path, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        if ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)
            return Errno("cannot write", path, EACCES);
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
    if (fd < 0)
        return Errno("cannot create a file in the directory of", path, errno);
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
    }
    if (!ok) {
        ::unlink(tmp.c_str());
        return Errno("cannot write", path, err);
    }
    // Make the rename itself durable; a failure here leaves a complete file either way.
    int dirFd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return IoStatus::Ok();
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
