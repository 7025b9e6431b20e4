// Conditional compilation of Verilog text: defines, conditionals and includes followed as a
// compiler follows them when no macro is given on its command line.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qve {

// Reads a file whole in text mode, or nothing when it cannot be read.
using FileReader = std::function<std::optional<std::string>(const std::string& path)>;

// Where the `include directives of one source file find their files, and what is defined before
// the source begins.
struct IncludeFiles {
    // The source file's path as the job received it: a relative include is looked for in the
    // folder of the file that names it, then in the current directory.
    std::string sourcePath;
    // Unset: no file can be read, and every `include reads as empty.
    FileReader read;
    // The names defined before the source's first line: those of the sources read before it in
    // the same job, which a compiler reads as one compilation unit.
    std::vector<std::string> predefined;
};

// Includes nest at most this deep, and one file goes into one source at most this often; past
// either bound an `include reads as empty, so a cycle ends and the text stays bounded.
inline constexpr int kMaxIncludeDepth = 32;
inline constexpr int kMaxIncludesOfOneFile = 100;
// The bytes that includes may put into one source, all files and repetitions together. A few
// large headers pulled in many times each would otherwise multiply a job's memory (five headers
// of a megabyte, a hundred times each, are half a gigabyte); past the bound an `include reads as
// empty and the prepared text says so.
inline constexpr std::size_t kMaxIncludedBytes = 32u * 1024u * 1024u;

// The reader restricted to regular files: a folder, a device or a pipe is no file to include
// (reading /dev/zero would never end).
FileReader RegularFilesOnly(FileReader read);

// One reading of a file's text into a prepared text: the source itself, or one `include.
struct TextRun {
    // The source's path as given, or the included file as it was found.
    std::string path;
    // The names defined where the reading began, sorted; shared by runs that began alike.
    std::shared_ptr<const std::vector<std::string>> definedAtStart;
};

// A module header that stands in a branch not taken, with the macro that decided the branch.
struct DroppedModule {
    std::string name;
    std::string path;
    std::string macro;
    // Dropped because the macro is defined (`ifndef, or the `else of a taken `ifdef); otherwise
    // because it is not.
    bool macroDefined = false;

    bool operator==(const DroppedModule&) const = default;
};

// A Verilog text prepared by PrepareVerilog, with where its pieces came from.
struct PreparedVerilog {
    std::string text;
    // runs[0] is the source; the others in the order the includes were read.
    std::vector<TextRun> runs;
    // (position in text, run index) in text order: the text from a position to the next one's
    // came from that run.
    std::vector<std::pair<std::size_t, std::size_t>> pieces;
    std::vector<DroppedModule> dropped;
    // kMaxIncludedBytes stopped an include.
    bool includedBytesCapped = false;
    // The names defined after the last line, sorted: what the next source of a job starts with.
    std::vector<std::string> definedAtEnd;

    // The run whose text stands at the position.
    const TextRun& RunAt(std::size_t position) const;
};

// The Verilog text (comments removed, TABs blanks, LF line ends) as a compiler reads it with the
// names of includes.predefined defined before it and none given on its command line.
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
PreparedVerilog PrepareVerilog(std::string_view text, const IncludeFiles& includes);

// The text of PrepareVerilog alone.
std::string PreprocessVerilog(std::string_view text, const IncludeFiles& includes);

} // namespace qve
