// The hand-off's private directory, made and checked with lstat so no link or foreign directory
// is ever followed.
#include "platform/HandOffPlace.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::size_t MaxNamespaceLength = 32;

bool IsNamespaceChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
}

bool IsUsableDirectory(const char* path) {
    struct stat st {};
    return path != nullptr && path[0] == '/' && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

// Creates the directory 0700 when it is missing, then accepts it only as a real directory of
// this user that nobody else may enter.
IoStatus EnsurePrivateDirectory(const std::string& dir) {
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return IoStatus::Fail("cannot create " + dir + ": " + std::strerror(errno));
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0)
        return IoStatus::Fail("cannot examine " + dir + ": " + std::strerror(errno));
    if (S_ISLNK(st.st_mode))
        return IoStatus::Fail(dir + " is a symbolic link");
    if (!S_ISDIR(st.st_mode))
        return IoStatus::Fail(dir + " is not a directory");
    if (st.st_uid != ::geteuid())
        return IoStatus::Fail(dir + " belongs to another user");
    if ((st.st_mode & 077) != 0)
        return IoStatus::Fail(dir + " is open to other users");
    return IoStatus::Ok();
}

} // namespace

std::string HandOffNamespace() {
    const char* value = std::getenv("ZUN_HANDOFF_NS");
    if (value == nullptr)
        return "default";
    std::string ns = value;
    if (ns.empty() || ns.size() > MaxNamespaceLength || ns == "." || ns == "..")
        return {};
    for (char c : ns)
        if (!IsNamespaceChar(c))
            return {};
    return ns;
}

IoStatus OpenHandOffPlace(HandOffPlace& place) {
    place = HandOffPlace{};
    std::string ns = HandOffNamespace();
    if (ns.empty())
        return IoStatus::Fail("ZUN_HANDOFF_NS is not a usable name");
    const uid_t uid = ::geteuid();

    std::string base;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (IsUsableDirectory(runtime)) {
        base = WithSlash(runtime) + "zun";
    } else {
        const char* tmp = std::getenv("TMPDIR");
        base = WithSlash(IsUsableDirectory(tmp) ? tmp : "/tmp") + "zun-" + std::to_string(uid);
    }
    std::string dir = base + "/" + ns + "/";
    // A socket's whole path, its terminating zero included, must fit sun_path.
    if (dir.size() + HandOffSocketNameLength + 1 > sizeof(sockaddr_un::sun_path))
        return IoStatus::Fail(dir + " is too long for a socket address");
    if (IoStatus st = EnsurePrivateDirectory(base); !st)
        return st;
    if (IoStatus st = EnsurePrivateDirectory(dir.substr(0, dir.size() - 1)); !st)
        return st;
    place.dir = std::move(dir);
    place.ns = std::move(ns);
    place.uid = uid;
    return IoStatus::Ok();
}

} // namespace platform
