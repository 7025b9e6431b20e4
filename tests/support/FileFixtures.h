// Test helpers for file work: a temporary directory removed with everything in it, whole-file
// helpers, and a run without privileges so permission tests hold when the suite runs as root.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <signal.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/zun-test-XXXXXX";
        if (!::mkdtemp(pattern))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
        // Readable and searchable for the unprivileged runs below.
        ::chmod(path_.c_str(), 0755);
    }
    ~TempDir() { RemoveTree(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The directory with a trailing "/", and without one.
    std::string Dir() const { return path_ + "/"; }
    const std::string& Root() const { return path_; }
    std::string Path(const std::string& name) const { return path_ + "/" + name; }

    // Names in the directory, "." and ".." left out.
    std::vector<std::string> Names() const { return ListNames(path_); }

    static std::vector<std::string> ListNames(const std::string& dir) {
        std::vector<std::string> names;
        if (DIR* d = ::opendir(dir.c_str())) {
            while (dirent* e = ::readdir(d)) {
                std::string n = e->d_name;
                if (n != "." && n != "..")
                    names.push_back(n);
            }
            ::closedir(d);
        }
        return names;
    }

    static void RemoveTree(const std::string& path) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0)
            return;
        if (S_ISDIR(st.st_mode)) {
            ::chmod(path.c_str(), 0755);
            for (const std::string& n : ListNames(path))
                RemoveTree(path + "/" + n);
            ::rmdir(path.c_str());
        } else {
            ::unlink(path.c_str());
        }
    }

private:
    std::string path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + path);
    if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("cannot write " + path);
    ::close(fd);
}

inline std::string ReadBytes(const std::string& path) {
    std::string out;
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return out;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0)
        out.append(buf, static_cast<std::size_t>(n));
    ::close(fd);
    return out;
}

// Runs body in a child process after prepare, and answers body's result (0 to 119), 120 when
// prepare failed, or -1 when the child did not end normally.
inline int RunInChild(const std::function<bool()>& prepare, const std::function<int()>& body) {
    pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        if (!prepare())
            ::_exit(120);
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Runs body in a child process, as the user "nobody" when the tests run as root, and answers
// its result (body's return value, 0 to 119), or -1 when the child did not end normally.
// Assertions inside body are not seen by the test: report through the result.
inline int RunUnprivileged(const std::function<int()>& body) {
    return RunInChild(
        [] {
            return ::geteuid() != 0 ||
                   (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0);
        },
        body);
}

// Runs body in a child process in which no file may grow beyond limit bytes, so writes fail
// part-way as on a full disk.
inline int RunWithFileSizeLimit(rlim_t limit, const std::function<int()>& body) {
    return RunInChild(
        [limit] {
            ::signal(SIGXFSZ, SIG_IGN);
            struct rlimit rl {
                limit, limit
            };
            return ::setrlimit(RLIMIT_FSIZE, &rl) == 0;
        },
        body);
}
