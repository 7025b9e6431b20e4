// Dispatch of the jobs by their codes, and the one place where failures become digits.
#include "engine/Engine.h"

#include "engine/Finish.h"
#include "engine/Job.h"
#include "engine/ModuleScan.h"
#include "engine/ProjectText.h"
#include "engine/TextFile.h"
#include "regex/Regex.h"

#include <new>
#include <stdexcept>

using namespace rx;

namespace qve {
namespace {

// The module scan code and the output path after it.
const Regex& ModuleScanCommand() {
    static const Regex regex("^0x1898a5(.*?)$");
    return regex;
}

// The project-text code and the output path after it.
const Regex& ProjectTextCommand() {
    static const Regex regex("^0x1898b5(.*?)$");
    return regex;
}

// The Verilog finishing code and the output path after it.
const Regex& FinishVerilogCommand() {
    static const Regex regex("^0x1898c5(.*?)$");
    return regex;
}

// The VHDL finishing code and the output path after it.
const Regex& FinishVhdlCommand() {
    static const Regex regex("^0x1898d5(.*?)$");
    return regex;
}

EngineOutcome Fail(EngineError error) {
    return {1, std::string(1, static_cast<char>(error)) + "\n"};
}

EngineOutcome Finish(const JobResult& result, const std::string& outputPath) {
    if (result.error)
        return Fail(*result.error);
    if (!WriteTextFile(outputPath, result.text))
        return Fail(EngineError::OutputUnwritable);
    return {};
}

EngineOutcome Dispatch(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        return {};
    const std::string& a0 = arguments[0];
    RegexMatch match;
    if (ModuleScanCommand().Search(a0, match))
        return Finish(ModuleScanJob(arguments), std::string(match.Group(a0, 1)));
    if (ProjectTextCommand().Search(a0, match))
        return Finish(ProjectTextJob(arguments), std::string(match.Group(a0, 1)));
    if (FinishVerilogCommand().Search(a0, match))
        return Finish(RunFinishJob(FinishLanguage::Verilog, arguments),
                      std::string(match.Group(a0, 1)));
    if (FinishVhdlCommand().Search(a0, match))
        return Finish(RunFinishJob(FinishLanguage::Vhdl, arguments),
                      std::string(match.Group(a0, 1)));
    return {};
}

} // namespace

EngineOutcome Guarded(const std::function<EngineOutcome()>& job) {
    try {
        return job();
    } catch (const RegexCompileError&) {
        return Fail(EngineError::PatternRefused);
    } catch (const RegexResourceError&) {
        return Fail(EngineError::ResourcesExhausted);
    } catch (const std::bad_alloc&) {
        return Fail(EngineError::ResourcesExhausted);
    } catch (const std::length_error&) {
        // A string asked to grow past what it can hold: memory, as far as the user can tell.
        return Fail(EngineError::ResourcesExhausted);
    } catch (...) {
        return Fail(EngineError::InternalError);
    }
}

EngineOutcome RunEngine(const std::vector<std::string>& arguments) {
    return Guarded([&] { return Dispatch(arguments); });
}

} // namespace qve
