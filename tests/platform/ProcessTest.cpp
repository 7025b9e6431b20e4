// Program start and watchdog: argument vectors, working directory, and the four ways a run ends.
#include "platform/Process.h"

#include "support/FileFixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace platform;

namespace {

class ProcessTest : public ::testing::Test {
protected:
    // The script runs under /bin/sh, the program under test here; the code under test never
    // uses a shell itself.
    ProcessRequest Shell(const std::string& script, std::vector<std::string> args = {}) {
        ProcessRequest r;
        r.program = "/bin/sh";
        r.arguments = {"-c", script, "sh"};
        r.arguments.insert(r.arguments.end(), args.begin(), args.end());
        r.timeout = 20s;
        return r;
    }

    TempDir scratch_;
    fs::path dir_{scratch_.Root()};
};

TEST_F(ProcessTest, ArgumentsArriveOneByOneWithEmptyOnesAndBlanksKept) {
    fs::path out = dir_ / "args.txt";
    ProcessRequest r = Shell("for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > \"$OUT\"",
                             {"", "a b", "", "*T", "x\"y", "  "});
    setenv("OUT", out.c_str(), 1);
    ProcessResult result = RunProcess(r);
    unsetenv("OUT");
    ASSERT_EQ(result.end, ProcessEnd::Exited) << DescribeProcessResult(result);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(ReadBytes(out), "[]\n[a b]\n[]\n[*T]\n[x\"y]\n[  ]\n");
}

TEST_F(ProcessTest, ProgramStartsInTheGivenWorkingDirectory) {
    fs::path sub = dir_ / "with blank";
    fs::create_directories(sub);
    ProcessRequest r = Shell("pwd > here.txt");
    r.workingDirectory = sub.string();
    ASSERT_EQ(RunProcess(r).end, ProcessEnd::Exited);
    EXPECT_EQ(ReadBytes(sub / "here.txt"), sub.string() + "\n");
}

TEST_F(ProcessTest, ExitStatusIsReportedAsAnOrdinaryEnd) {
    ProcessResult result = RunProcess(Shell("exit 3"));
    EXPECT_EQ(result.end, ProcessEnd::Exited);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(DescribeProcessResult(result), "exit status 3");
}

TEST_F(ProcessTest, DeathBySignalIsACrashNotAnExit) {
    ProcessResult result = RunProcess(Shell("kill -SEGV $$"));
    EXPECT_EQ(result.end, ProcessEnd::Crashed);
    EXPECT_EQ(result.signal, SIGSEGV);
}

TEST_F(ProcessTest, StartFailuresAreValuesWithAReason) {
    struct Case {
        const char* name;
        std::string program;
        std::string workingDirectory;
    };
    fs::path notExecutable = dir_ / "plain.txt";
    std::ofstream(notExecutable) << "text\n";
    const Case cases[] = {
        {"missing program", (dir_ / "no-such-program").string(), ""},
        {"not executable", notExecutable.string(), ""},
        {"empty program", "", ""},
        {"missing working directory", "/bin/true", (dir_ / "gone").string()},
    };
    for (const Case& c : cases) {
        ProcessRequest r;
        r.program = c.program;
        r.workingDirectory = c.workingDirectory;
        r.timeout = 5s;
        ProcessResult result = RunProcess(r);
        EXPECT_EQ(result.end, ProcessEnd::FailedToStart) << c.name;
        EXPECT_FALSE(result.message.empty()) << c.name;
    }
}

TEST_F(ProcessTest, ProgramIsNotLookedUpAlongThePath) {
    ProcessRequest r;
    r.program = "true";
    r.timeout = 5s;
    EXPECT_EQ(RunProcess(r).end, ProcessEnd::FailedToStart);
}

TEST_F(ProcessTest, WatchdogKillsTheProgramAndEverythingItStarted) {
    fs::path pidFile = dir_ / "child.pid";
    ProcessRequest r = Shell("sleep 60 & echo $! > \"$1\"; wait", {pidFile.string()});
    r.timeout = 300ms;
    auto start = std::chrono::steady_clock::now();
    ProcessResult result = RunProcess(r);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(result.end, ProcessEnd::TimedOut);
    EXPECT_EQ(DescribeProcessResult(result), "time-out");
    EXPECT_LT(took, 10s);

    pid_t child = 0;
    std::ifstream(pidFile) >> child;
    ASSERT_GT(child, 0);
    // The killed grandchild stays a zombie until whoever adopted it reaps it; dead either way.
    auto dead = [child] {
        if (kill(child, 0) != 0)
            return true;
        std::string stat = ReadBytes("/proc/" + std::to_string(child) + "/stat");
        size_t close = stat.rfind(')');
        return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z';
    };
    bool gone = false;
    for (int i = 0; i < 300 && !gone; ++i) {
        gone = dead();
        if (!gone)
            std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(gone) << "the program's own child outlived the watchdog";
}

TEST_F(ProcessTest, ZeroTimeoutWaitsForTheProgramToEnd) {
    ProcessRequest r = Shell("sleep 0.3; exit 4");
    r.timeout = 0ms;
    ProcessResult result = RunProcess(r);
    EXPECT_EQ(result.end, ProcessEnd::Exited);
    EXPECT_EQ(result.exitCode, 4);
}

TEST_F(ProcessTest, StandardInputIsEmptySoAProgramReadingItDoesNotHang) {
    fs::path out = dir_ / "stdin.txt";
    ProcessRequest r = Shell("cat > \"$1\"", {out.string()});
    r.timeout = 5s;
    EXPECT_EQ(RunProcess(r).end, ProcessEnd::Exited);
    EXPECT_EQ(ReadBytes(out), "");
}

TEST_F(ProcessTest, StandardErrorIsKeptWhenAskedAndAFloodOfItNeverBlocksTheProgram) {
    ProcessRequest r = Shell("echo out; echo 7 >&2; exit 3");
    r.discardOutput = true;
    r.captureStandardError = true;
    ProcessResult result = RunProcess(r);
    ASSERT_EQ(result.end, ProcessEnd::Exited) << DescribeProcessResult(result);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.standardError, "7\n");

    // A megabyte is more than any pipe holds; the program still ends, and the first bytes stay.
    ProcessRequest flood = Shell("head -c 1048576 /dev/zero | tr '\\0' e >&2");
    flood.captureStandardError = true;
    ProcessResult flooded = RunProcess(flood);
    ASSERT_EQ(flooded.end, ProcessEnd::Exited) << DescribeProcessResult(flooded);
    EXPECT_EQ(flooded.standardError, std::string(kCapturedErrorBytes, 'e'));

    ProcessRequest plain = Shell("echo 7 >&2");
    plain.discardOutput = true;
    EXPECT_EQ(RunProcess(plain).standardError, "") << "not asked for, not kept";
}

TEST_F(ProcessTest, IgnoredSignalsInTheCallerAreNotInheritedByTheProgram) {
    // The editor may ignore SIGPIPE or SIGTERM; the engine must start with the defaults.
    struct sigaction ignore {};
    struct sigaction old {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGTERM, &ignore, &old);
    ProcessResult result = RunProcess(Shell("kill -TERM $$; exit 0"));
    sigaction(SIGTERM, &old, nullptr);
    EXPECT_EQ(result.end, ProcessEnd::Crashed);
    EXPECT_EQ(result.signal, SIGTERM);
}

} // namespace
