// The project-text job: MODULE blocks for the modules a request file names.
#pragma once

#include "engine/Job.h"

#include <string>
#include <string_view>
#include <vector>

namespace qve {

// The top-port lines that replace the whole result for "*T" (numeric widths kept) and "*t"
// (every port variant).
std::string RewriteTopPorts(std::string_view result, bool allVariant);

// arguments: A0 = code + output path, A1 = TopSelector, A2 = request file.
JobResult ProjectTextJob(const std::vector<std::string>& arguments);

} // namespace qve
