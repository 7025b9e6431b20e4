// Engine runs: argument vectors by job, the run through the platform layer, the outcome table.
#include "editor/hdl/EngineRunner.h"

#include "platform/TextFile.h"

#include <cerrno>
#include <cstdlib>

using namespace platform;

const char* const GenerationFailed = "Generation failed.";

namespace {

constexpr std::string_view ModuleScanCode = "0x1898a5";
constexpr std::string_view ProjectTextCode = "0x1898b5";
constexpr std::string_view FinishVerilogCode = "0x1898c5";
constexpr std::string_view FinishVhdlCode = "0x1898d5";

constexpr const char* CantReadSources = "Can't read HDL source files.";
constexpr const char* OperationFailed = "Operation failed.";
constexpr const char* CantReadFiles = "Internal error. Can't read files. Error-0x155.";

constexpr std::chrono::milliseconds DefaultWatchdog = std::chrono::minutes(5);

// What each failure digit of the engine means, for the line that tells the user why a job left no
// output.
struct EngineCode {
    char digit;
    const char* cause;
};
constexpr EngineCode EngineCodes[] = {
    {'2', "The HDL engine could not read one of its input files: it is missing, unreadable, or no "
          "regular file (a folder, a device or a pipe)."},
    {'3', "The HDL engine was started with too few arguments."},
    {'4', "The HDL engine could not write its output file into the work directory."},
    {'5', "The HDL engine could not compile one of its search patterns."},
    {'6', "The HDL engine ran out of memory, or out of room for matching, on these sources."},
    {'7', "The HDL engine refused an instance count that is no whole number or more than it "
          "makes of one module."},
    {'8', "The HDL engine could not use the generated files: a width that is no whole number or "
          "out of bounds, or no place for the internal signals."},
    {'9', "The HDL engine stopped on an internal error."},
};

std::string WithSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/')
        dir.push_back('/');
    return dir;
}

bool IsFinishing(EngineJob job) {
    return job == EngineJob::FinishVerilog || job == EngineJob::FinishVhdl;
}

} // namespace

std::string EngineFailureCause(const platform::ProcessResult& run) {
    // The engine writes one digit and a line end; anything else is no code of its.
    std::string_view text = run.standardError;
    if (!text.empty() && text.back() == '\n')
        text.remove_suffix(1);
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    if (text.size() == 1)
        for (const EngineCode& code : EngineCodes)
            if (code.digit == text.front())
                return code.cause;
    if (run.end == ProcessEnd::Exited && run.exitCode == 0 && text.empty())
        return "The HDL engine ended without an error and without its output file.";
    return "The HDL engine failed without a code it is known to give (" +
           DescribeProcessResult(run) + ").";
}

std::chrono::milliseconds EngineWatchdogFromEnvironment() {
    const char* text = std::getenv("ZUN_ENGINE_WATCHDOG_MS");
    if (text == nullptr || *text == '\0')
        return DefaultWatchdog;
    errno = 0;
    char* end = nullptr;
    long long ms = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || ms <= 0)
        return DefaultWatchdog;
    return std::chrono::milliseconds(ms);
}

EngineRunner::EngineRunner(std::string appDir, std::string workDir)
    : appDir_(WithSlash(std::move(appDir))), workDir_(WithSlash(std::move(workDir))),
      watchdog_(EngineWatchdogFromEnvironment()) {}

void EngineRunner::SetDirectories(std::string appDir, std::string workDir) {
    appDir_ = WithSlash(std::move(appDir));
    workDir_ = WithSlash(std::move(workDir));
    directoriesSource_ = nullptr;
}

std::string EngineRunner::AppDir() const {
    return directoriesSource_ ? WithSlash(directoriesSource_().first) : appDir_;
}

std::string EngineRunner::WorkDir() const {
    return directoriesSource_ ? WithSlash(directoriesSource_().second) : workDir_;
}

std::string EngineRunner::ProgramPath() const {
    return AppDir() + "qve";
}

std::string EngineRunner::WorkFile(std::string_view name) const {
    return WorkDir() + std::string(name);
}

std::string_view EngineRunner::OutputFileName(EngineJob job) {
    switch (job) {
    case EngineJob::ModuleScan:
        return EngineWorkFiles[0];
    case EngineJob::ProjectText:
        return EngineWorkFiles[5];
    case EngineJob::FinishVerilog:
    case EngineJob::FinishVhdl:
        return EngineWorkFiles[3];
    }
    return {};
}

std::vector<std::string>
EngineRunner::ModuleScanArguments(const std::vector<ScanSource>& sources) const {
    std::vector<std::string> args;
    args.reserve(1 + 2 * sources.size());
    args.push_back(std::string(ModuleScanCode) + WorkFile(OutputFileName(EngineJob::ModuleScan)));
    for (const ScanSource& s : sources) {
        args.push_back(s.path);
        args.push_back(std::to_string(s.kind));
    }
    return args;
}

std::vector<std::string> EngineRunner::ProjectTextArguments(const std::string& topSelector) const {
    return {std::string(ProjectTextCode) + WorkFile(OutputFileName(EngineJob::ProjectText)),
            topSelector, WorkFile("cfg.tmp")};
}

std::vector<std::string> EngineRunner::FinishArguments(EngineJob job) const {
    std::string_view code = job == EngineJob::FinishVhdl ? FinishVhdlCode : FinishVerilogCode;
    return {std::string(code) + WorkFile(OutputFileName(EngineJob::FinishVerilog)),
            WorkFile("prj.tmp"), WorkFile("obj.tmp")};
}

bool EngineRunner::RunEngineAndWait(const std::vector<std::string>& arguments) {
    if (pendingEvents_)
        pendingEvents_();
    ProcessRequest request;
    request.program = ProgramPath();
    request.arguments = arguments;
    request.timeout = watchdog_;
    // The engine's only words are an error digit on standard error, kept to tell why a job left
    // no output.
    request.discardOutput = true;
    request.captureStandardError = true;
    if (pendingEvents_)
        pendingEvents_();
    lastRun_ = RunProcess(request);
    return lastRun_.end == ProcessEnd::Exited;
}

void EngineRunner::DeleteTempFiles() const {
    for (std::string_view name : EngineWorkFiles) {
        std::string path = WorkFile(name);
        if (FileExists(path))
            RemoveFile(path);
    }
}

EngineOutcome EngineRunner::RunJob(EngineJob job, const std::vector<std::string>& arguments) {
    EngineOutcome outcome;
    outcome.report = IsFinishing(job) ? EngineReport::ErrorLog : EngineReport::MessageBox;
    std::string outputPath = WorkFile(OutputFileName(job));
    RemoveFile(outputPath);

    bool ran = RunEngineAndWait(arguments);
    outcome.process = lastRun_;
    if (!ran) {
        // A crashed or killed engine may have left half an output behind.
        DeleteTempFiles();
        outcome.status = EngineStatus::RunFailed;
        outcome.message = IsFinishing(job) ? CantReadFiles : CantReadSources;
        outcome.detail = lastRun_.end == ProcessEnd::FailedToStart
                             ? "The HDL engine " + ProgramPath() +
                                   " could not be started: " + lastRun_.reason + "."
                             : "The HDL engine did not finish its job (" +
                                   DescribeProcessResult(lastRun_) + ").";
        return outcome;
    }
    bool there = FileExists(outputPath);
    if (IoStatus read; !there || !(read = ReadWholeFile(outputPath, outcome.output))) {
        outcome.output.clear();
        outcome.status = EngineStatus::NoOutput;
        outcome.message = IsFinishing(job) ? GenerationFailed : OperationFailed;
        outcome.detail = there ? "The HDL engine's output could not be read: " + read.message + "."
                               : EngineFailureCause(lastRun_);
        return outcome;
    }
    DeleteTempFiles();
    outcome.status = EngineStatus::Done;
    return outcome;
}
