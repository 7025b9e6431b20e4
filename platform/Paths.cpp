// Program directory, per-user directories and the write probe, on POSIX.
#include "platform/Paths.h"

#include "platform/TextFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

std::string UserDir(const char* xdgVariable, const char* homeFallback) {
    const char* xdg = std::getenv(xdgVariable);
    // A relative value is not valid for these variables and is ignored.
    if (xdg && xdg[0] == '/')
        return WithSlash(xdg) + "zun/";
    const char* home = std::getenv("HOME");
    std::string base = home && home[0] ? home : "/tmp";
    return WithSlash(base) + homeFallback + "zun/";
}

} // namespace

std::string ProgramDir() {
    std::vector<char> buf(PATH_MAX + 1);
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) {
        char* cwd = ::getcwd(nullptr, 0);
        std::string dir = cwd ? cwd : ".";
        std::free(cwd);
        return WithSlash(dir);
    }
    std::string exe(buf.data(), static_cast<std::size_t>(n));
    return DirectoryOf(exe);
}

std::string UserConfigDir() {
    return UserDir("XDG_CONFIG_HOME", ".config/");
}

std::string UserCacheDir() {
    return UserDir("XDG_CACHE_HOME", ".cache/");
}

std::string CurrentDirectory() {
    std::vector<char> cwd(PATH_MAX);
    while (::getcwd(cwd.data(), cwd.size()) == nullptr) {
        if (errno != ERANGE)
            return {};
        cwd.resize(cwd.size() * 2);
    }
    return WithSlash(cwd.data());
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty())
        return path;
    std::string absolute = path;
    if (path[0] != '/') {
        const std::string cwd = CurrentDirectory();
        if (cwd.empty())
            return path;
        absolute = cwd + path;
    }
    // The folded path so far, and where each of its components starts (at its "/").
    std::string out;
    std::vector<std::size_t> starts;
    std::size_t start = 0;
    while (start <= absolute.size()) {
        std::size_t end = absolute.find('/', start);
        if (end == std::string::npos)
            end = absolute.size();
        const std::string_view part(absolute.data() + start, end - start);
        start = end + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (starts.empty())
                continue; // "/.." is "/"
            struct stat st {};
            const bool link = ::lstat(out.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
            if (!link && out.compare(starts.back(), std::string::npos, "/..") != 0) {
                out.resize(starts.back());
                starts.pop_back();
                continue;
            }
        }
        starts.push_back(out.size());
        out += '/';
        out += part;
    }
    return out.empty() ? std::string("/") : out;
}

IoStatus MakeDirectories(const std::string& dir) {
    if (dir.empty())
        return IoStatus::Fail("cannot create a directory without a name");
    std::string path;
    std::size_t pos = 0;
    while (pos <= dir.size()) {
        std::size_t slash = dir.find('/', pos);
        if (slash == std::string::npos)
            slash = dir.size();
        path = dir.substr(0, slash);
        pos = slash + 1;
        if (path.empty())
            continue;
        if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
            return IoStatus::Fail("cannot create directory " + path + ": " + std::strerror(errno));
    }
    if (!DirectoryExists(dir))
        return IoStatus::Fail("cannot create directory " + dir);
    return IoStatus::Ok();
}

bool ProbeDirectoryWritable(const std::string& dir) {
    if (!DirectoryExists(dir))
        return false;
    std::string pattern = WithSlash(dir) + ".zun-probe-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0)
        return false;
    bool ok = ::write(fd, "   ", 3) == 3;
    ok = ::close(fd) == 0 && ok;
    ok = ::unlink(name.data()) == 0 && ok;
    return ok;
}

} // namespace platform
