// Test helper that runs a program as a child process: an argument vector (no shell), a working
// directory, standard output and standard error into files, optional limits of file size, memory
// and time.
#pragma once

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// The tool's full path on PATH, or empty.
inline std::string FindTool(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        std::string candidate = dir + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

struct ChildRun {
    std::vector<std::string> argv; // argv[0] is the program's full path
    std::string directory;
    std::string outputFile; // may name the error file too: both streams then go into it
    std::string errorFile;
    // More than 0: no file may grow beyond this many bytes, as on a full disk.
    rlim_t fileSizeLimit = 0;
    // More than 0: the child's address space may hold no more than this many bytes, as on a
    // machine whose memory is used up.
    rlim_t memoryLimit = 0;
    // More than 0: a child still running after this long is killed, and RunChild says so.
    std::chrono::milliseconds timeLimit{0};
};

// What RunChild returns for a child that outlived its time limit.
inline constexpr int kChildTimedOut = -2;

// Waits for the child until the deadline; kChildTimedOut after killing it, else its status.
inline int WaitChildUntil(pid_t child, std::chrono::steady_clock::time_point deadline) {
    // Short pauses first: most children end within milliseconds.
    long pauseNs = 100'000;
    for (;;) {
        int status = 0;
        pid_t r = ::waitpid(child, &status, WNOHANG);
        if (r == child)
            return status;
        if (r < 0)
            return -1;
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return kChildTimedOut;
        }
        timespec pause{0, pauseNs};
        ::nanosleep(&pause, nullptr);
        if (pauseNs < 5'000'000)
            pauseNs *= 2;
    }
}

// Runs the program with standard input from /dev/null and waits for it. The wait status as
// waitpid gives it, kChildTimedOut when it outlived its time limit, or -1 when no child could
// be started or waited for.
inline int RunChild(const ChildRun& run) {
    // Everything the child needs is made before the fork: tests run this from several threads,
    // and a forked child may not allocate.
    std::vector<std::string> copies = run.argv;
    std::vector<char*> args;
    for (std::string& a : copies)
        args.push_back(a.data());
    args.push_back(nullptr);
    pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        int err = ::open(run.errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, 0);
        int out = run.outputFile == run.errorFile
                      ? err
                      : ::open(run.outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (::chdir(run.directory.c_str()) != 0)
            ::_exit(126);
        if (run.fileSizeLimit > 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            struct rlimit limit {
                run.fileSizeLimit, run.fileSizeLimit
            };
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (run.memoryLimit > 0) {
            struct rlimit limit {
                run.memoryLimit, run.memoryLimit
            };
            ::setrlimit(RLIMIT_AS, &limit);
        }
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    if (run.timeLimit.count() > 0)
        return WaitChildUntil(child, std::chrono::steady_clock::now() + run.timeLimit);
    int status = 0;
    if (::waitpid(child, &status, 0) < 0)
        return -1;
    return status;
}
