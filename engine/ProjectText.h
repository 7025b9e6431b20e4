// The project-text job: MODULE blocks for the modules a request file names.
#pragma once

#include "engine/Job.h"

#include <string>
#include <string_view>
#include <vector>

namespace qve {

// The instances one module line may ask for. The editor asks for a few; a count far beyond any
// design (a typing slip, or a damaged request) would build gigabytes of project text, so a larger
// one fails the job.
inline constexpr int kMaxInstanceCount = 100000;

// The top-port lines that replace the whole result for "*T" (numeric widths kept) and "*t"
// (every port variant).
std::string RewriteTopPorts(std::string_view result, bool allVariant);

// arguments: A0 = code + output path, A1 = TopSelector, A2 = request file. Besides the "R-", "F"
// and "M-" lines, a request may hold "D-" lines: the blank-separated names defined before the
// Verilog sources of the module lines after it (the module scan's list gives them), in force
// until the next such line. A module line whose count is no whole number from 0 to
// kMaxInstanceCount fails the job.
JobResult ProjectTextJob(const std::vector<std::string>& arguments);

} // namespace qve
