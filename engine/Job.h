// What a job gives back to the dispatch: the whole output text, or the digit it failed with.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace qve {

// The failure digits the engine writes on standard error, one cause each, so the editor can name
// it. The first three are the engine's oldest and keep their meaning.
enum class EngineError : char {
    InputUnreadable = '2',
    TooFewArguments = '3',
    // The output file could not be written; nothing else.
    OutputUnwritable = '4',
    // A regular expression the library would not compile.
    PatternRefused = '5',
    // The machine's memory ran out, or the regular-expression library gave up on a match (its
    // stack, heap or match limit).
    ResourcesExhausted = '6',
    // An instance count of the request that is no whole number, or more than kMaxInstanceCount.
    InstanceCountRefused = '7',
    // An input the job read but cannot use: a width of the connection file that is no whole
    // number or beyond its bound, a VHDL top with no place for its internal signals.
    InputUnusable = '8',
    // Any other failure: a fault of the engine itself.
    InternalError = '9',
};

struct JobResult {
    std::optional<EngineError> error;
    std::string text;

    static JobResult Output(std::string text) { return {std::nullopt, std::move(text)}; }
    static JobResult Failure(EngineError error) { return {error, {}}; }
};

} // namespace qve
