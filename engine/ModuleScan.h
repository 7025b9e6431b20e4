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

// The module list's lines beyond the "F" and "M" pairs; older readers skip them, as they skip
// every line that begins with another letter.
// Before an "F0-" line: the names defined where the file of the module that follows begins
// (blank-separated, sorted), in force for the modules after it until the next such line.
inline constexpr const char* kDefinedLine = "D-";
// A module of a branch not taken, because the macro is not defined ("C0-") or is ("C1-"):
// module, TAB, file, TAB, macro.
inline constexpr const char* kDroppedUndefinedLine = "C0-";
inline constexpr const char* kDroppedDefinedLine = "C1-";
// A source skipped because it holds a NUL byte: its path.
inline constexpr const char* kBinaryLine = "B-";
// A source whose includes reached kMaxIncludedBytes: its path, TAB, the bound in bytes.
inline constexpr const char* kIncludeCapLine = "L-";

// arguments: A0 = code + output path, then source path and kind pairs. The sources form one
// compilation unit: a name defined in one is defined in those after it. A module that an
// included file holds is listed under that file's own path, and each module once however often
// its file is read.
JobResult ModuleScanJob(const std::vector<std::string>& arguments);

} // namespace qve
