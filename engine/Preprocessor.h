// Conditional compilation of Verilog text: defines, conditionals and includes followed as a
// compiler follows them when no macro is given on its command line.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qve {

// Reads a file whole in text mode, or nothing when it cannot be read.
using FileReader = std::function<std::optional<std::string>(const std::string& path)>;

// Where the `include directives of one source file find their files.
struct IncludeFiles {
    // The source file's path as the job received it: a relative include is looked for in the
    // folder of the file that names it, then in the current directory.
    std::string sourcePath;
    // Unset: no file can be read, and every `include reads as empty.
    FileReader read;
};

// Includes nest at most this deep, and one file goes into one source at most this often; past
// either bound an `include reads as empty, so a cycle ends and the text stays bounded.
inline constexpr int kMaxIncludeDepth = 32;
inline constexpr int kMaxIncludesOfOneFile = 100;

// The reader restricted to regular files: a folder, a device or a pipe is no file to include
// (reading /dev/zero would never end).
FileReader RegularFilesOnly(FileReader read);

// The Verilog text (comments removed, TABs blanks, LF line ends) as a compiler without
// command-line defines reads it. Each source compiles alone: nothing is defined at its start.
// - `define, `undef and `undefineall change the defined names from their place on.
// - `ifdef, `ifndef, `elsif, `else and `endif keep the branch the defined names choose and drop
//   the others, nested to any depth. A branch left open runs on to the end of the text; an
//   `elsif, `else or `endif without its `ifdef is dropped.
// - `include "f" (or <f>) puts the file in its place, prepared as a source is (TABs, line ends,
//   comments) and read with the same defines and branches. A missing file reads as empty.
// - Every other directive (`timescale, `default_nettype, ...) is dropped; a macro use (`WIDTH)
//   stays as written. A macro body is never read as code.
// Each directive becomes one blank and dropped text keeps only its line ends, so no two words
// are joined. String literals and escaped identifiers are taken whole, so a backtick inside them
// is text. One pass over each text: linear in the source and what it includes.
std::string PreprocessVerilog(std::string_view text, const IncludeFiles& includes);

} // namespace qve
