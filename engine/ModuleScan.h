// The module scan job: names of the Verilog modules and VHDL entities of source files.
#pragma once

#include "engine/Job.h"
#include "engine/Preprocessor.h"

#include <string>
#include <string_view>
#include <vector>

namespace qve {

// Module names of a Verilog text (TABs already blanks, line ends LF), in text order, with its
// conditional compilation followed and its includes read from where includes says.
std::vector<std::string> ScanVerilogModules(std::string_view text,
                                            const IncludeFiles& includes = {});
// Entity names of a VHDL text (TABs already blanks), in text order.
std::vector<std::string> ScanVhdlEntities(std::string_view text);

// Whether a path may be written into the engine's line and field formats: a TAB, CR or LF in it
// would break them.
bool IsWritablePath(std::string_view path);

// arguments: A0 = code + output path, then source path and kind pairs.
JobResult ModuleScanJob(const std::vector<std::string>& arguments);

} // namespace qve
