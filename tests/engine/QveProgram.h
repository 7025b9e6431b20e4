// The built qve run as a process, as the editor runs it: an argument vector, standard output and
// standard error kept, and a time limit, so a run that would hang fails its test instead.
#pragma once

#include "support/ChildProcess.h"
#include "support/FileFixtures.h"

#include <chrono>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace qve::testing {

struct QveRun {
    // The exit status, 128 + the signal for a crash, -1 when it could not run.
    int exitStatus = -1;
    bool timedOut = false;
    std::string standardOutput;
    std::string standardError;
};

// The build's own qve, or the one ZUN_QVE names: a driver run by hand against another build.
inline std::string QvePath() {
    if (const char* other = std::getenv("ZUN_QVE"); other != nullptr && *other != '\0')
        return other;
    return std::string(ZUN_BUILD_DIR) + "/qve";
}

// Runs qve with the argument vector (no shell) in the directory; fileSizeLimit > 0 caps the size
// of the files it may write, as a full disk would, and memoryLimit > 0 its address space, as a
// machine out of memory would. Its two streams go to files in the directory,
// removed again.
inline QveRun RunQve(const std::vector<std::string>& arguments, const std::string& directory,
                     std::chrono::milliseconds timeLimit = std::chrono::minutes(2),
                     long fileSizeLimit = 0, long memoryLimit = 0) {
    std::string outPath = directory + "/qve-stdout.txt";
    std::string errPath = directory + "/qve-stderr.txt";
    std::vector<std::string> argv = {QvePath()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ChildRun run{argv, directory, outPath, errPath, static_cast<rlim_t>(fileSizeLimit)};
    run.timeLimit = timeLimit;
    run.memoryLimit = static_cast<rlim_t>(memoryLimit);
    int status = RunChild(run);
    QveRun result;
    result.timedOut = status == kChildTimedOut;
    if (status >= 0)
        result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.standardOutput = ReadBytes(outPath);
    result.standardError = ReadBytes(errPath);
    ::unlink(outPath.c_str());
    ::unlink(errPath.c_str());
    return result;
}

} // namespace qve::testing
