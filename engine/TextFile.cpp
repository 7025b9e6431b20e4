// Text-mode emulation and whole-file I/O on POSIX descriptors, every call checked.
#include "engine/TextFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qve {

std::string ToTextMode(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            bytes.push_back('\r');
        bytes.push_back(c);
    }
    return bytes;
}

namespace {

// Drops the CR of every CR LF pair in place, as a text-mode read does.
void DropCrOfCrLf(std::string& bytes) {
    std::size_t cr = bytes.find("\r\n");
    if (cr == std::string::npos)
        return;
    std::size_t out = cr;
    for (std::size_t in = cr; in < bytes.size(); ++in) {
        if (bytes[in] == '\r' && in + 1 < bytes.size() && bytes[in + 1] == '\n')
            continue;
        bytes[out++] = bytes[in];
    }
    bytes.resize(out);
}

} // namespace

std::string FromTextMode(std::string_view bytes) {
    std::string text(bytes);
    DropCrOfCrLf(text);
    return text;
}

std::optional<std::string> ReadTextFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string bytes;
    struct stat info {};
    std::size_t expected = 0;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
        expected = static_cast<std::size_t>(info.st_size);
    // Read straight into the text; a file that grows meanwhile is read to its end all the same.
    bytes.resize(expected + 1);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(bytes.size() * 2 + 4096);
        ssize_t got = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes.resize(used);
    DropCrOfCrLf(bytes);
    return bytes;
}

bool WriteTextFile(const std::string& path, std::string_view text) {
    if (path.empty())
        return false;
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat info {};
    bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    std::string bytes = ToTextMode(text);
    bool ok = true;
    std::size_t written = 0;
    while (ok && written < bytes.size()) {
        ssize_t put = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            ok = false;
        else
            written += static_cast<std::size_t>(put);
    }
    if (::close(fd) != 0)
        ok = false;
    if (!ok && regular)
        ::unlink(path.c_str());
    return ok;
}

} // namespace qve
