// Test helpers for the hand-off: a private runtime directory and namespace for each test, the
// shared memory objects it left, and child processes that hold blocks or windows until they are
// told to go or are killed.
#pragma once

#include "platform/HandOffPlace.h"
#include "support/FileFixtures.h"

#include <atomic>
#include <cstdlib>
#include <functional>
#include <optional>
#include <signal.h>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Points XDG_RUNTIME_DIR and ZUN_HANDOFF_NS at places of this test alone, for this process and
// every program it starts, and puts them back afterwards.
class HandOffSandbox {
public:
    HandOffSandbox() {
        static std::atomic<int> counter{0};
        ns_ = "t" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        Save("XDG_RUNTIME_DIR", oldRuntime_);
        Save("ZUN_HANDOFF_NS", oldNs_);
        ::chmod(runtime_.Root().c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", runtime_.Root().c_str(), 1);
        ::setenv("ZUN_HANDOFF_NS", ns_.c_str(), 1);
    }
    ~HandOffSandbox() {
        for (const std::string& name : Objects())
            ::shm_unlink(("/" + name).c_str());
        Restore("XDG_RUNTIME_DIR", oldRuntime_);
        Restore("ZUN_HANDOFF_NS", oldNs_);
    }
    HandOffSandbox(const HandOffSandbox&) = delete;
    HandOffSandbox& operator=(const HandOffSandbox&) = delete;

    const std::string& Namespace() const { return ns_; }
    const TempDir& Runtime() const { return runtime_; }
    // The place the programs of this test meet in (made on first use).
    platform::HandOffPlace Place() const {
        platform::HandOffPlace place;
        if (!platform::OpenHandOffPlace(place))
            return {};
        return place;
    }
    // The directory's own entries: message window sockets.
    std::vector<std::string> Sockets() const {
        return TempDir::ListNames(runtime_.Root() + "/zun/" + ns_);
    }
    // Names in /dev/shm of this test's blocks, whoever made them.
    std::vector<std::string> Objects() const {
        std::vector<std::string> mine;
        for (const std::string& name : TempDir::ListNames("/dev/shm"))
            if (name.find("." + ns_ + ".") != std::string::npos && name.rfind("zun.", 0) == 0)
                mine.push_back(name);
        return mine;
    }

private:
    static void Save(const char* name, std::optional<std::string>& into) {
        if (const char* v = std::getenv(name))
            into = v;
    }
    static void Restore(const char* name, const std::optional<std::string>& value) {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }

    TempDir runtime_;
    std::string ns_;
    std::optional<std::string> oldRuntime_;
    std::optional<std::string> oldNs_;
};

// A forked child that runs its body, reports the body's one-byte answer, and then stays until
// it is told to exit (without any clean-up of its own) or is killed.
class ChildHolder {
public:
    explicit ChildHolder(const std::function<char()>& body) {
        int up[2];
        int down[2];
        if (::pipe(up) != 0 || ::pipe(down) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(up[0]);
            ::close(down[1]);
            char answer = body();
            (void)!::write(up[1], &answer, 1);
            char order = 0;
            (void)!::read(down[0], &order, 1);
            ::_exit(0);
        }
        ::close(up[1]);
        ::close(down[0]);
        order_ = down[1];
        if (pid_ > 0 && ::read(up[0], &answer_, 1) != 1)
            answer_ = 0;
        ::close(up[0]);
    }
    ~ChildHolder() { Kill(); }
    ChildHolder(const ChildHolder&) = delete;
    ChildHolder& operator=(const ChildHolder&) = delete;

    char Answer() const { return answer_; }
    pid_t Pid() const { return pid_; }
    // Ends the child by _exit: nothing of its own is closed or removed on the way.
    void Exit() {
        if (pid_ <= 0)
            return;
        char order = 'x';
        (void)!::write(order_, &order, 1);
        Reap();
    }
    void Kill() {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGKILL);
        Reap();
    }

private:
    void Reap() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        ::close(order_);
        pid_ = -1;
    }

    pid_t pid_ = -1;
    int order_ = -1;
    char answer_ = 0;
};
