// Dispatch of the jobs by their codes, and the one place where failures become digits.
#include "engine/Engine.h"

#include "engine/Job.h"
#include "engine/ModuleScan.h"
#include "engine/ProjectText.h"
#include "engine/Regex.h"
#include "engine/TextFile.h"

#include <new>
#include <stdexcept>

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
    // FINISHING JOBS: the codes kFinishVerilogCode and kFinishVhdlCode are dispatched here (read
    // A1 and A2 with ReadTextFile, "2" when either cannot be opened, then run the job the code
    // names and hand its JobResult to Finish). Until then they are unrecognised codes.
    return {};
}

} // namespace

EngineOutcome RunEngine(const std::vector<std::string>& arguments) {
    try {
        return Dispatch(arguments);
    } catch (const RegexResourceError&) {
        return Fail(EngineError::OutputUnwritable);
    } catch (const std::bad_alloc&) {
        return Fail(EngineError::OutputUnwritable);
    } catch (const std::length_error&) {
        return Fail(EngineError::OutputUnwritable);
    }
}

} // namespace qve
