// The two finishing jobs: a generated top skeleton completed from the project's wire records.
#pragma once

#include "engine/Job.h"

#include <string>
#include <string_view>
#include <vector>

namespace qve {

enum class FinishLanguage { Verilog, Vhdl };

// Reads the connection file (A1) and the top skeleton (A2) and finishes the skeleton in the
// given language; "2" when either input cannot be read.
JobResult RunFinishJob(FinishLanguage language, const std::vector<std::string>& arguments);

// Fills the "(__)" placeholders, declares the wires and rebuilds the assignments of a Verilog
// skeleton. The result text is the finished top file (every line after a line end).
JobResult FinishVerilogJob(std::string_view connection, std::string_view skeleton);

// Fills the "=> __" associations, turns the "--Internal Signals" block into signal declarations
// and rewrites tri-states and bit ranges of a VHDL skeleton.
JobResult FinishVhdlJob(std::string_view connection, std::string_view skeleton);

} // namespace qve
