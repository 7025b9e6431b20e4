// The engine's entry: one job per run, chosen by the code at the head of the first argument.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qve {

inline constexpr const char* kModuleScanCode = "0x1898a5";
inline constexpr const char* kProjectTextCode = "0x1898b5";
inline constexpr const char* kFinishVerilogCode = "0x1898c5";
inline constexpr const char* kFinishVhdlCode = "0x1898d5";

struct EngineOutcome {
    int exitStatus = 0;
    // The failure digit and a line end, or nothing; the engine never writes to standard output.
    std::string standardError;
};

// Runs one job. arguments are A0 .. An-1, the program name left out; the output file, if any, is
// written here, so `qve` itself only copies standardError to its stream.
EngineOutcome RunEngine(const std::vector<std::string>& arguments);

// Runs a job and turns every exception that ends it into the failure digit of its cause: a
// pattern the library refused, memory or the library's matching room run out, anything else an
// internal error. An escaping exception would end the program with a runtime message on standard
// error instead of a digit.
EngineOutcome Guarded(const std::function<EngineOutcome()>& job);

} // namespace qve
