// Starting a program with an argument vector and waiting for it under a watchdog (POSIX).
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// How a started program ended, as a value: nothing here throws.
enum class ProcessEnd {
    Exited,       // ran to its end; exitCode holds its status
    Crashed,      // ended by a signal; signal holds it
    TimedOut,     // outlived the watchdog and was killed with its process group
    FailedToStart // could not be started; message says why
};

struct ProcessResult {
    ProcessEnd end = ProcessEnd::FailedToStart;
    int exitCode = 0;
    int signal = 0;
    std::string message;
    // FailedToStart: the system's reason alone ("No such file or directory"), for messages that
    // name the program themselves.
    std::string reason;
    // What the program wrote on its standard error, when the request asked for it; at most
    // kCapturedErrorBytes of it.
    std::string standardError;
};

// The most of a program's standard error a result keeps.
inline constexpr std::size_t kCapturedErrorBytes = 4096;

struct ProcessRequest {
    // Path of the program, used as it is (no search along PATH).
    std::string program;
    // argv[1..]; each element reaches the program unchanged, an empty one stays an empty argument.
    std::vector<std::string> arguments;
    // Directory the program starts in; empty keeps the caller's.
    std::string workingDirectory;
    // Zero waits without limit.
    std::chrono::milliseconds timeout{0};
    // Standard input always comes from /dev/null; this sends standard output and error there too.
    bool discardOutput = false;
    // Standard error goes into the result instead (standard output stays as discardOutput says).
    // It is kept in a file of the memory, not a pipe, so a program that writes much never blocks
    // on a full pipe while the caller only waits.
    bool captureStandardError = false;
};

// Starts the program in a process group of its own, never through a shell, and waits until it
// ends or the watchdog kills the whole group. Blocks the calling thread.
ProcessResult RunProcess(const ProcessRequest& request);

// A short text for logs: "exit status 3", "signal 11", "time-out", or the start failure.
std::string DescribeProcessResult(const ProcessResult& result);

} // namespace platform
