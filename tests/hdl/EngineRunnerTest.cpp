// The engine runner against a misbehaving stand-in engine: command lines, outcome table, work
// files.
#include "editor/hdl/EngineRunner.h"

#include "support/EngineWorkFiles.h"
#include "support/FileFixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::DescribeProcessResult;
using platform::ProcessEnd;

namespace {

class EngineRunnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        appDir_ = root_ / "program dir with blanks";
        workDir_ = root_ / "work dir";
        fs::create_directories(appDir_);
        fs::create_directories(workDir_);
        fs::copy_file(fs::path(ZUN_FAKE_ENGINE_DIR) / "qve", appDir_ / "qve");
        unsetenv("ZUN_FAKE_ENGINE_TEXT");
    }
    void TearDown() override {
        unsetenv("ZUN_FAKE_ENGINE");
        unsetenv("ZUN_FAKE_ENGINE_TEXT");
    }

    EngineRunner Runner() const {
        EngineRunner runner(appDir_.string() + "/", workDir_.string() + "/");
        runner.SetWatchdog(20s);
        return runner;
    }
    std::string Work(std::string_view name) const { return (workDir_ / name).string(); }
    void FillWorkDir() const {
        for (std::string_view name : EngineWorkFiles)
            WriteBytes(workDir_ / name, "stale " + std::string(name) + "\n");
    }
    std::vector<std::string> WorkFilesLeft() const { return EngineWorkFilesLeft(workDir_); }
    static void Engine(const char* mode) { setenv("ZUN_FAKE_ENGINE", mode, 1); }

    TempDir scratch_;
    fs::path root_{scratch_.Root()}, appDir_, workDir_;
};

TEST_F(EngineRunnerTest, EachJobGetsItsArgumentsInTheirOrder) {
    EngineRunner runner = Runner();
    std::string w = workDir_.string() + "/";
    EXPECT_EQ(
        runner.ModuleScanArguments({{"/src/a.v", 0}, {"/src/b.vhd", 1}, {"/src/with blank/c", 2}}),
        (std::vector<std::string>{"0x1898a5" + w + "qvmdu.tmp", "/src/a.v", "0", "/src/b.vhd", "1",
                                  "/src/with blank/c", "2"}));
    EXPECT_EQ(runner.ModuleScanArguments({}),
              (std::vector<std::string>{"0x1898a5" + w + "qvmdu.tmp"}));

    struct Selector {
        const char* name;
        std::string top;
    };
    for (const Selector& s :
         {Selector{"new project", "mytop"}, Selector{"add or update", ""},
          Selector{"import keeping types", "*T"}, Selector{"import as variants", "*t"}}) {
        EXPECT_EQ(runner.ProjectTextArguments(s.top),
                  (std::vector<std::string>{"0x1898b5" + w + "qvprj.zun", s.top, w + "cfg.tmp"}))
            << s.name;
    }
    EXPECT_EQ(runner.FinishArguments(EngineJob::FinishVerilog),
              (std::vector<std::string>{"0x1898c5" + w + "qvh.tmp", w + "prj.tmp", w + "obj.tmp"}));
    EXPECT_EQ(runner.FinishArguments(EngineJob::FinishVhdl),
              (std::vector<std::string>{"0x1898d5" + w + "qvh.tmp", w + "prj.tmp", w + "obj.tmp"}));
}

TEST_F(EngineRunnerTest, EngineIsTakenFromTheProgramDirectoryWhateverItsTrailingSlash) {
    EngineRunner withSlash("/opt/zun/", "/tmp/w/");
    EngineRunner without("/opt/zun", "/tmp/w");
    EXPECT_EQ(withSlash.ProgramPath(), "/opt/zun/qve");
    EXPECT_EQ(without.ProgramPath(), "/opt/zun/qve");
    EXPECT_EQ(without.WorkFile("cfg.tmp"), "/tmp/w/cfg.tmp");
}

// Regression: the runner was made before the settings were loaded and kept an empty work
// directory, so the jobs wrote their files relative to wherever the editor was started.
TEST_F(EngineRunnerTest, DirectoriesAreTakenFromTheirSourceAtEveryRun) {
    Engine("echo");
    std::string app = "/nowhere/";
    std::string work;
    EngineRunner runner("/stale/", "/stale/");
    runner.SetDirectoriesSource([&] { return std::pair<std::string, std::string>(app, work); });
    EXPECT_EQ(runner.ProgramPath(), "/nowhere/qve");
    EXPECT_EQ(runner.WorkFile("cfg.tmp"), "cfg.tmp");

    app = appDir_.string();   // the settings loaded since: no trailing slash
    work = workDir_.string(); // nor here
    EXPECT_EQ(runner.ProgramPath(), (appDir_ / "qve").string());
    EngineOutcome outcome = runner.RunJob(EngineJob::ProjectText, runner.ProjectTextArguments(""));
    ASSERT_TRUE(outcome.Succeeded()) << DescribeProcessResult(outcome.process);
    EXPECT_EQ(outcome.output.substr(0, outcome.output.find('\n')),
              "[0x1898b5" + Work("qvprj.zun") + "]");
    EXPECT_TRUE(WorkFilesLeft().empty());

    runner.SetDirectories("/fixed", "/fixed/work");
    app = "/moved/";
    EXPECT_EQ(runner.ProgramPath(), "/fixed/qve") << "fixed directories end the source";
}

TEST_F(EngineRunnerTest, ProgramDirectoryWithBlanksStartsTheEngineWithTheJobCodeFirst) {
    Engine("echo");
    EngineRunner runner = Runner();
    EngineOutcome outcome = runner.RunJob(EngineJob::ProjectText, runner.ProjectTextArguments(""));
    ASSERT_TRUE(outcome.Succeeded()) << DescribeProcessResult(outcome.process);
    // The empty top selector is an argument of its own, not swallowed.
    EXPECT_EQ(outcome.output,
              "[0x1898b5" + Work("qvprj.zun") + "]\n[]\n[" + Work("cfg.tmp") + "]\n");
}

TEST_F(EngineRunnerTest, SuccessfulJobHandsBackItsOutputAndLeavesNoWorkFile) {
    Engine("write");
    setenv("ZUN_FAKE_ENGINE_TEXT", "F0-/src/a.v\r\nM-adder\r\n", 1);
    FillWorkDir();
    WriteBytes(workDir_ / "summary.htm", "kept");
    EngineRunner runner = Runner();
    EngineOutcome outcome =
        runner.RunJob(EngineJob::ModuleScan, runner.ModuleScanArguments({{"/src/a.v", 0}}));
    EXPECT_EQ(outcome.status, EngineStatus::Done);
    EXPECT_EQ(outcome.output, "F0-/src/a.v\r\nM-adder\r\n");
    EXPECT_EQ(outcome.message, "");
    EXPECT_TRUE(WorkFilesLeft().empty());
    EXPECT_EQ(ReadBytes(workDir_ / "summary.htm"), "kept");
}

// One row per way a job can end, for the wizard's jobs and for the finishing jobs.
TEST_F(EngineRunnerTest, OutcomeTable) {
    struct Case {
        const char* name;
        const char* engine; // fake engine mode, or nullptr for no engine at all
        EngineJob job;
        EngineStatus status;
        const char* message;
        EngineReport report;
        ProcessEnd end;
        std::vector<std::string> left; // work files still there afterwards
    };
    const std::vector<std::string> none;
    const std::vector<std::string> allButScanOutput = {"obj.tmp", "prj.tmp", "qvh.tmp", "cfg.tmp",
                                                       "qvprj.zun"};
    const std::vector<std::string> allButProjectText = {"qvmdu.tmp", "obj.tmp", "prj.tmp",
                                                        "qvh.tmp", "cfg.tmp"};
    const std::vector<std::string> allButFinished = {"qvmdu.tmp", "obj.tmp", "prj.tmp", "cfg.tmp",
                                                     "qvprj.zun"};
    const Case cases[] = {
        {"scan, engine missing", nullptr, EngineJob::ModuleScan, EngineStatus::RunFailed,
         "Can't read HDL source files.", EngineReport::MessageBox, ProcessEnd::FailedToStart, none},
        {"scan, engine crashes", "crash", EngineJob::ModuleScan, EngineStatus::RunFailed,
         "Can't read HDL source files.", EngineReport::MessageBox, ProcessEnd::Crashed, none},
        {"scan, no output", "nothing", EngineJob::ModuleScan, EngineStatus::NoOutput,
         "Operation failed.", EngineReport::MessageBox, ProcessEnd::Exited, allButScanOutput},
        {"project text, engine missing", nullptr, EngineJob::ProjectText, EngineStatus::RunFailed,
         "Can't read HDL source files.", EngineReport::MessageBox, ProcessEnd::FailedToStart, none},
        {"project text, no output keeps the request", "nothing", EngineJob::ProjectText,
         EngineStatus::NoOutput, "Operation failed.", EngineReport::MessageBox, ProcessEnd::Exited,
         allButProjectText},
        {"project text, crash", "crash", EngineJob::ProjectText, EngineStatus::RunFailed,
         "Can't read HDL source files.", EngineReport::MessageBox, ProcessEnd::Crashed, none},
        {"Verilog finish, engine missing", nullptr, EngineJob::FinishVerilog,
         EngineStatus::RunFailed, "Internal error. Can't read files. Error-0x155.",
         EngineReport::ErrorLog, ProcessEnd::FailedToStart, none},
        {"VHDL finish, no output", "nothing", EngineJob::FinishVhdl, EngineStatus::NoOutput,
         "Generation failed.", EngineReport::ErrorLog, ProcessEnd::Exited, allButFinished},
        {"VHDL finish, crash", "crash", EngineJob::FinishVhdl, EngineStatus::RunFailed,
         "Internal error. Can't read files. Error-0x155.", EngineReport::ErrorLog,
         ProcessEnd::Crashed, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.engine != nullptr) {
            Engine(c.engine);
            if (!fs::exists(appDir_ / "qve"))
                fs::copy_file(fs::path(ZUN_FAKE_ENGINE_DIR) / "qve", appDir_ / "qve");
        } else {
            fs::remove(appDir_ / "qve");
        }
        FillWorkDir();
        EngineRunner runner = Runner();
        std::vector<std::string> args =
            c.job == EngineJob::ModuleScan    ? runner.ModuleScanArguments({{"/src/a.v", 2}})
            : c.job == EngineJob::ProjectText ? runner.ProjectTextArguments("top")
                                              : runner.FinishArguments(c.job);
        EngineOutcome outcome = runner.RunJob(c.job, args);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(outcome.message, c.message);
        EXPECT_EQ(outcome.report, c.report);
        EXPECT_EQ(outcome.process.end, c.end);
        EXPECT_EQ(outcome.output, "") << "a failed job hands back no text";
        EXPECT_EQ(WorkFilesLeft(), c.left);
        EXPECT_EQ(runner.RunEngineAndWait(args), c.end == ProcessEnd::Exited);
    }
}

TEST_F(EngineRunnerTest, AProgramThatCouldNotStartIsToldApartFromAJobThatFailed) {
    // Regression: a missing or unusable engine said only "Can't read HDL source files.", as if
    // the sources were at fault.
    struct Case {
        const char* name;
        const char* engine;    // fake engine mode; nullptr: no program at all
        fs::perms permissions; // of the program when there is one
        std::string detail;    // "$E" stands for the program's path
    };
    const Case cases[] = {
        {"missing program", nullptr, fs::perms::none,
         "The HDL engine $E could not be started: No such file or directory."},
        {"program without execute permission", "write",
         fs::perms::owner_read | fs::perms::owner_write,
         "The HDL engine $E could not be started: Permission denied."},
        {"program that crashes", "crash", fs::perms::owner_all,
         "The HDL engine did not finish its job (signal 11)."},
        {"program that ends without output", "nothing", fs::perms::owner_all,
         "The HDL engine could not read one of its input files: it is missing, unreadable, or no "
         "regular file (a folder, a device or a pipe)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(appDir_ / "qve");
        if (c.engine != nullptr) {
            fs::copy_file(fs::path(ZUN_FAKE_ENGINE_DIR) / "qve", appDir_ / "qve");
            fs::permissions(appDir_ / "qve", c.permissions);
            Engine(c.engine);
        }
        EngineRunner runner = Runner();
        EngineOutcome outcome =
            runner.RunJob(EngineJob::ModuleScan, runner.ModuleScanArguments({{"/src/a.v", 0}}));
        std::string detail = c.detail;
        if (std::size_t at = detail.find("$E"); at != std::string::npos)
            detail.replace(at, 2, runner.ProgramPath());
        EXPECT_EQ(outcome.detail, detail);
        EXPECT_FALSE(outcome.message.empty()) << "the job's own message still follows";
    }
}

// Regression: a job that failed inside the engine said only "Operation failed." (or "Generation
// failed."), whatever the engine's digit said had gone wrong.
TEST_F(EngineRunnerTest, EachFailureDigitOfTheEngineIsNamedInTheDetailBeforeTheMessage) {
    struct Case {
        const char* standardError;
        const char* cause; // the beginning of the detail
    };
    const Case cases[] = {
        {"2\n", "The HDL engine could not read one of its input files"},
        {"3\n", "The HDL engine was started with too few arguments."},
        {"4\n", "The HDL engine could not write its output file"},
        {"5\n", "The HDL engine could not compile one of its search patterns."},
        {"6\n", "The HDL engine ran out of memory"},
        {"7\n", "The HDL engine refused an instance count"},
        {"8\n", "The HDL engine could not use the generated files"},
        {"9\n", "The HDL engine stopped on an internal error."},
        {"7\r\n", "The HDL engine refused an instance count"},
        {"", "The HDL engine failed without a code it is known to give (exit status 1)."},
        {"1\n", "The HDL engine failed without a code it is known to give (exit status 1)."},
        {"77\n", "The HDL engine failed without a code it is known to give (exit status 1)."},
        {"Segmentation fault\n",
         "The HDL engine failed without a code it is known to give (exit status 1)."},
    };
    Engine("fail");
    std::set<std::string> causes;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.standardError);
        setenv("ZUN_FAKE_ENGINE_TEXT", c.standardError, 1);
        for (EngineJob job : {EngineJob::ModuleScan, EngineJob::FinishVhdl}) {
            EngineRunner runner = Runner();
            std::vector<std::string> args = job == EngineJob::ModuleScan
                                                ? runner.ModuleScanArguments({{"/src/a.v", 0}})
                                                : runner.FinishArguments(job);
            EngineOutcome outcome = runner.RunJob(job, args);
            EXPECT_EQ(outcome.status, EngineStatus::NoOutput);
            EXPECT_EQ(outcome.detail.rfind(c.cause, 0), 0u) << outcome.detail;
            EXPECT_EQ(outcome.message,
                      job == EngineJob::ModuleScan ? "Operation failed." : "Generation failed.");
            causes.insert(outcome.detail);
        }
    }
    // Eight digits, eight causes, and one sentence for whatever else an engine might write.
    EXPECT_EQ(causes.size(), 9u);
}

TEST_F(EngineRunnerTest, AnEngineThatEndsWellWithoutItsOutputIsToldApartFromAFailure) {
    Engine("quiet");
    EngineRunner runner = Runner();
    EngineOutcome outcome =
        runner.RunJob(EngineJob::ModuleScan, runner.ModuleScanArguments({{"/src/a.v", 0}}));
    EXPECT_EQ(outcome.status, EngineStatus::NoOutput);
    EXPECT_EQ(outcome.detail, "The HDL engine ended without an error and without its output file.");
}

TEST_F(EngineRunnerTest, StaleOutputFromAnEarlierRunIsNeverTakenForThisRunsResult) {
    Engine("nothing");
    WriteBytes(workDir_ / "qvmdu.tmp", "F0-/old/a.v\r\nM-old\r\n");
    EngineRunner runner = Runner();
    EngineOutcome outcome =
        runner.RunJob(EngineJob::ModuleScan, runner.ModuleScanArguments({{"/src/a.v", 0}}));
    EXPECT_EQ(outcome.status, EngineStatus::NoOutput);
    EXPECT_EQ(outcome.message, "Operation failed.");
    EXPECT_FALSE(fs::exists(workDir_ / "qvmdu.tmp"));
}

TEST_F(EngineRunnerTest, EngineThatOutlivesTheWatchdogIsKilledAndItsPartialOutputDeleted) {
    Engine("sleep");
    FillWorkDir();
    EngineRunner runner = Runner();
    runner.SetWatchdog(300ms);
    auto start = std::chrono::steady_clock::now();
    EngineOutcome outcome =
        runner.RunJob(EngineJob::ProjectText, runner.ProjectTextArguments("top"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
    EXPECT_EQ(outcome.status, EngineStatus::RunFailed);
    EXPECT_EQ(outcome.process.end, ProcessEnd::TimedOut);
    EXPECT_EQ(outcome.message, "Can't read HDL source files.");
    EXPECT_TRUE(WorkFilesLeft().empty());
}

TEST_F(EngineRunnerTest, DeleteTempFilesRemovesTheSixWorkFilesAndNothingElse) {
    EngineRunner runner = Runner();
    runner.DeleteTempFiles(); // none there: nothing to complain about
    FillWorkDir();
    WriteBytes(workDir_ / "summary.htm", "x");
    WriteBytes(workDir_ / "qvprj.zun.bak", "x");
    fs::create_directories(workDir_ / "sub");
    WriteBytes(workDir_ / "sub" / "cfg.tmp", "x");
    runner.DeleteTempFiles();
    EXPECT_TRUE(WorkFilesLeft().empty());
    EXPECT_TRUE(fs::exists(workDir_ / "summary.htm"));
    EXPECT_TRUE(fs::exists(workDir_ / "qvprj.zun.bak"));
    EXPECT_TRUE(fs::exists(workDir_ / "sub" / "cfg.tmp"));
}

TEST_F(EngineRunnerTest, WindowGetsToRepaintBeforeTheEditorBlocks) {
    Engine("echo");
    EngineRunner runner = Runner();
    int calls = 0;
    bool outputBeforeHook = true;
    runner.SetPendingEventsHook([&] {
        ++calls;
        outputBeforeHook = fs::exists(workDir_ / "qvmdu.tmp");
    });
    EngineOutcome outcome = runner.RunJob(EngineJob::ModuleScan, runner.ModuleScanArguments({}));
    EXPECT_TRUE(outcome.Succeeded());
    EXPECT_EQ(calls, 2);
    EXPECT_FALSE(outputBeforeHook);
}

TEST(EngineWatchdog, EnvironmentCanShortenItButNotBreakIt) {
    struct Case {
        const char* name;
        const char* value; // nullptr: unset
        std::chrono::milliseconds expected;
    };
    const std::chrono::milliseconds fiveMinutes = std::chrono::minutes(5);
    const Case cases[] = {
        {"unset", nullptr, fiveMinutes},       {"empty", "", fiveMinutes},
        {"a number", "1500", 1500ms},          {"zero", "0", fiveMinutes},
        {"negative", "-3", fiveMinutes},       {"not a number", "abc", fiveMinutes},
        {"trailing text", "12x", fiveMinutes}, {"overflow", "99999999999999999999", fiveMinutes},
    };
    for (const Case& c : cases) {
        if (c.value == nullptr)
            unsetenv("ZUN_ENGINE_WATCHDOG_MS");
        else
            setenv("ZUN_ENGINE_WATCHDOG_MS", c.value, 1);
        EXPECT_EQ(EngineWatchdogFromEnvironment(), c.expected) << c.name;
        EXPECT_EQ(EngineRunner("/a", "/b").Watchdog(), c.expected) << c.name;
    }
    unsetenv("ZUN_ENGINE_WATCHDOG_MS");
}

} // namespace
