// The editor's side of the HDL engine: command lines of the four jobs, the work files, the run
// under a watchdog, and what each way a job can end means for its caller.
#pragma once

#include "platform/Process.h"

#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The engine's work files, in the order DeleteTempFiles removes them.
inline constexpr std::array<std::string_view, 6> EngineWorkFiles = {
    "qvmdu.tmp", "obj.tmp", "prj.tmp", "qvh.tmp", "cfg.tmp", "qvprj.zun"};

// Logged when a finishing job left no usable top.
extern const char* const GenerationFailed;

enum class EngineJob { ModuleScan, ProjectText, FinishVerilog, FinishVhdl };

// One row of the wizard's source list as the module scan job gets it: 0 Verilog, 1 VHDL,
// 2 Auto Select.
struct ScanSource {
    std::string path;
    int kind = 2;
};

enum class EngineStatus {
    Done,      // the output file was read into EngineOutcome::output
    RunFailed, // not started, crashed or stopped by the watchdog; every work file is gone
    NoOutput   // ran to its end without leaving its output; the inputs are kept
};

// How a failure reaches the user: the wizard's jobs show a message box, the finishing jobs
// write an error line to the message log.
enum class EngineReport { MessageBox, ErrorLog };

struct EngineOutcome {
    EngineStatus status = EngineStatus::RunFailed;
    std::string output;
    std::string message; // what the user is told; empty when Done
    // The log line that says why, before the message does: RunFailed, a program that could not
    // be started or did not finish; NoOutput, the cause the engine's failure digit names. Empty
    // when Done.
    std::string detail;
    EngineReport report = EngineReport::MessageBox;
    platform::ProcessResult process;

    bool Succeeded() const { return status == EngineStatus::Done; }
};

// The cause of a run that ended without its output, by the digit the engine wrote on its
// standard error: one sentence for each digit the engine gives, and one for anything else.
std::string EngineFailureCause(const platform::ProcessResult& run);

// The watchdog for one engine run: ZUN_ENGINE_WATCHDOG_MS when it holds a positive number of
// milliseconds, else five minutes. A real job takes well under a second.
std::chrono::milliseconds EngineWatchdogFromEnvironment();

class EngineRunner {
public:
    // appDir holds the engine "qve"; workDir every work file. Both may come with or without
    // their trailing "/".
    EngineRunner(std::string appDir, std::string workDir);

    void SetDirectories(std::string appDir, std::string workDir);
    // Where the directories come from when they may change between runs (the settings can move
    // the work directory at any time): asked afresh for every path; SetDirectories drops it.
    using DirectoriesSource = std::function<std::pair<std::string, std::string>()>;
    void SetDirectoriesSource(DirectoriesSource source) { directoriesSource_ = std::move(source); }
    void SetWatchdog(std::chrono::milliseconds watchdog) { watchdog_ = watchdog; }
    std::chrono::milliseconds Watchdog() const { return watchdog_; }
    // Called just before the engine starts, so the window that started the job can repaint
    // before the editor blocks; it must not deliver user input.
    void SetPendingEventsHook(std::function<void()> hook) { pendingEvents_ = std::move(hook); }

    std::string ProgramPath() const;
    std::string WorkFile(std::string_view name) const;
    static std::string_view OutputFileName(EngineJob job);

    std::vector<std::string> ModuleScanArguments(const std::vector<ScanSource>& sources) const;
    std::vector<std::string> ProjectTextArguments(const std::string& topSelector) const;
    std::vector<std::string> FinishArguments(EngineJob job) const;

    // Starts the engine with the arguments and waits for it. True when it ran to its end (its
    // exit status is not looked at); false when it could not start, crashed or outlived the
    // watchdog. LastRun() tells which.
    bool RunEngineAndWait(const std::vector<std::string>& arguments);
    const platform::ProcessResult& LastRun() const { return lastRun_; }

    // Removes the six work files in their order, each one only if it is there; failures are
    // ignored and nothing is reported.
    void DeleteTempFiles() const;

    // A whole job after its inputs were written: the job's output is removed first (a stale one
    // must never pass for this run's), the engine runs, and the outcome is judged by the output
    // file alone. A successful read and a failed run are followed by DeleteTempFiles.
    EngineOutcome RunJob(EngineJob job, const std::vector<std::string>& arguments);

private:
    std::string AppDir() const;
    std::string WorkDir() const;

    std::string appDir_;
    std::string workDir_;
    DirectoriesSource directoriesSource_;
    std::chrono::milliseconds watchdog_;
    std::function<void()> pendingEvents_;
    platform::ProcessResult lastRun_;
};
