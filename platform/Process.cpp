// Program start with posix_spawn and a wait on a pidfd (or a polling wait where there is none).
#include "platform/Process.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// Owns the attributes and file actions of one spawn, so every exit path releases them.
class SpawnSetup {
public:
    SpawnSetup() {
        attrOk_ = posix_spawnattr_init(&attr_) == 0;
        actionsOk_ = posix_spawn_file_actions_init(&actions_) == 0;
    }
    ~SpawnSetup() {
        if (attrOk_)
            posix_spawnattr_destroy(&attr_);
        if (actionsOk_)
            posix_spawn_file_actions_destroy(&actions_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    // Returns 0 or the errno of the step that failed. errorFile: the descriptor that takes the
    // program's standard error, or -1.
    int Prepare(const ProcessRequest& request, int errorFile) {
        if (!attrOk_ || !actionsOk_)
            return ENOMEM;
        // A group of its own lets the watchdog kill whatever the program started as well. Signal
        // mask and dispositions start clean, whatever the editor (or its GUI library) set.
        short flags = POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
        sigset_t none;
        sigset_t all;
        sigemptyset(&none);
        sigfillset(&all);
        int rc = posix_spawnattr_setflags(&attr_, flags);
        if (rc == 0)
            rc = posix_spawnattr_setpgroup(&attr_, 0);
        if (rc == 0)
            rc = posix_spawnattr_setsigmask(&attr_, &none);
        if (rc == 0)
            rc = posix_spawnattr_setsigdefault(&attr_, &all);
        if (rc == 0)
            rc =
                posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        if (rc == 0 && request.discardOutput) {
            rc = posix_spawn_file_actions_addopen(&actions_, STDOUT_FILENO, "/dev/null", O_WRONLY,
                                                  0);
            if (rc == 0)
                rc = posix_spawn_file_actions_adddup2(&actions_, STDOUT_FILENO, STDERR_FILENO);
        }
        if (rc == 0 && errorFile >= 0)
            rc = posix_spawn_file_actions_adddup2(&actions_, errorFile, STDERR_FILENO);
        if (rc == 0 && !request.workingDirectory.empty())
            rc = posix_spawn_file_actions_addchdir_np(&actions_, request.workingDirectory.c_str());
        return rc;
    }

    posix_spawnattr_t* Attr() { return &attr_; }
    posix_spawn_file_actions_t* Actions() { return &actions_; }

private:
    posix_spawnattr_t attr_{};
    posix_spawn_file_actions_t actions_{};
    bool attrOk_ = false;
    bool actionsOk_ = false;
};

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

ProcessResult FromStatus(int status) {
    ProcessResult result;
    if (WIFSIGNALED(status)) {
        result.end = ProcessEnd::Crashed;
        result.signal = WTERMSIG(status);
    } else {
        result.end = ProcessEnd::Exited;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return result;
}

// Reaps the child; a status nobody can tell (SIGCHLD ignored by someone) counts as an exit.
ProcessResult Reap(pid_t pid) {
    int status = 0;
    for (;;) {
        pid_t r = waitpid(pid, &status, 0);
        if (r == pid)
            return FromStatus(status);
        if (r < 0 && errno == EINTR)
            continue;
        ProcessResult unknown;
        unknown.end = ProcessEnd::Exited;
        unknown.exitCode = -1;
        unknown.message = "exit status not available";
        return unknown;
    }
}

ProcessResult KillGroup(pid_t pid) {
    kill(-pid, SIGKILL);
    kill(pid, SIGKILL);
    Reap(pid);
    ProcessResult result;
    result.end = ProcessEnd::TimedOut;
    return result;
}

// Milliseconds left until the deadline, at least 0; -1 for "no deadline".
int MillisecondsLeft(bool limited, Clock::time_point deadline) {
    if (!limited)
        return -1;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0)
        return 0;
    // A second at a time keeps the poll's int in range for any watchdog.
    return left.count() > 1000 ? 1000 : static_cast<int>(left.count());
}

ProcessResult WaitOnPidfd(pid_t pid, int pidfd, bool limited, Clock::time_point deadline) {
    for (;;) {
        int wait = MillisecondsLeft(limited, deadline);
        if (limited && wait == 0)
            return KillGroup(pid);
        pollfd p{pidfd, POLLIN, 0};
        int r = poll(&p, 1, wait);
        if (r > 0)
            return Reap(pid);
        if (r < 0 && errno != EINTR)
            break;
    }
    // poll itself failed: fall back to reaping without the watchdog's help.
    return Reap(pid);
}

ProcessResult WaitPolling(pid_t pid, bool limited, Clock::time_point deadline) {
    long pauseNs = 1'000'000;
    for (;;) {
        int status = 0;
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return FromStatus(status);
        if (r < 0 && errno != EINTR)
            return Reap(pid);
        if (limited && Clock::now() >= deadline)
            return KillGroup(pid);
        timespec pause{0, pauseNs};
        nanosleep(&pause, nullptr);
        if (pauseNs < 20'000'000)
            pauseNs *= 2;
    }
}

// Up to limit bytes of the file from its start.
std::string ReadFromStart(int fd, std::size_t limit) {
    std::string text(limit, '\0');
    std::size_t got = 0;
    while (got < limit) {
        ssize_t n = pread(fd, text.data() + got, limit - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    text.resize(got);
    return text;
}

} // namespace

ProcessResult RunProcess(const ProcessRequest& request) {
    ProcessResult failed;
    failed.end = ProcessEnd::FailedToStart;
    if (request.program.empty()) {
        failed.message = "no program given";
        failed.reason = failed.message;
        return failed;
    }

    FileDescriptor errorFile(
        request.captureStandardError ? memfd_create("zun-standard-error", MFD_CLOEXEC) : -1);
    if (request.captureStandardError && errorFile.Get() < 0) {
        failed.reason = std::strerror(errno);
        failed.message = "can not prepare the start: " + failed.reason;
        return failed;
    }
    SpawnSetup setup;
    if (int rc = setup.Prepare(request, errorFile.Get()); rc != 0) {
        failed.reason = std::strerror(rc);
        failed.message = "can not prepare the start: " + failed.reason;
        return failed;
    }

    std::vector<char*> argv;
    argv.reserve(request.arguments.size() + 2);
    argv.push_back(const_cast<char*>(request.program.c_str()));
    for (const std::string& a : request.arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    pid_t pid = -1;
    int rc = posix_spawn(&pid, request.program.c_str(), setup.Actions(), setup.Attr(), argv.data(),
                         environ);
    if (rc != 0) {
        failed.reason = std::strerror(rc);
        failed.message = request.program + ": " + failed.reason;
        return failed;
    }

    bool limited = request.timeout.count() > 0;
    Clock::time_point deadline = Clock::now() + request.timeout;
    FileDescriptor pidfd(static_cast<int>(syscall(SYS_pidfd_open, pid, 0)));
    ProcessResult result = pidfd.Get() >= 0 ? WaitOnPidfd(pid, pidfd.Get(), limited, deadline)
                                            : WaitPolling(pid, limited, deadline);
    if (errorFile.Get() >= 0)
        result.standardError = ReadFromStart(errorFile.Get(), kCapturedErrorBytes);
    return result;
}

std::string DescribeProcessResult(const ProcessResult& result) {
    switch (result.end) {
    case ProcessEnd::Exited:
        return "exit status " + std::to_string(result.exitCode);
    case ProcessEnd::Crashed:
        return "signal " + std::to_string(result.signal);
    case ProcessEnd::TimedOut:
        return "time-out";
    case ProcessEnd::FailedToStart:
        return "not started: " + result.message;
    }
    return {};
}

} // namespace platform
