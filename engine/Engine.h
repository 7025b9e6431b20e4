// The engine's entry: one job per run, chosen by the code at the head of the first argument.
#pragma once

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

} // namespace qve
