// What a job gives back to the dispatch: the whole output text, or the digit it failed with.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace qve {

// The failure digits the engine writes on standard error.
enum class EngineError : char {
    InputUnreadable = '2',
    TooFewArguments = '3',
    // Also a result that could not be built (memory, a match the library gave up on): nothing can
    // be written then either.
    OutputUnwritable = '4',
};

struct JobResult {
    std::optional<EngineError> error;
    std::string text;

    static JobResult Output(std::string text) { return {std::nullopt, std::move(text)}; }
    static JobResult Failure(EngineError error) { return {error, {}}; }
};

} // namespace qve
