// Conditional compilation of Verilog text: defines, branches, includes and their bounds.
#include "engine/Preprocessor.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace qve {
namespace {

struct TextCase {
    const char* name;
    const char* input;
    const char* expected;
};

// The text with every run of blanks made one and no blank at a line's start or end, so the
// cases show which words are kept and where the lines end.
std::string Squeezed(const std::string& text) {
    std::string out;
    bool blank = false;
    for (char c : text) {
        if (c == ' ') {
            blank = true;
            continue;
        }
        if (blank && c != '\n' && !out.empty() && out.back() != '\n')
            out.push_back(' ');
        blank = false;
        out.push_back(c);
    }
    return out;
}

TEST(Preprocessor, BranchesFollowTheNamesDefinedSoFar) {
    const TextCase cases[] = {
        {"ifdef of a name never defined takes the else branch", "`ifdef FAST a `else b `endif",
         "b"},
        {"ifndef of a name never defined takes its own branch", "`ifndef FAST a `else b `endif",
         "a"},
        {"a define before the ifdef takes its branch", "`define FAST\n`ifdef FAST a `else b `endif",
         "\na"},
        {"a define after the ifdef comes too late", "`ifdef FAST a `else b `endif\n`define FAST",
         "b\n"},
        {"a define then an undef", "`define F\n`undef F\n`ifdef F a `else b `endif", "\n\nb"},
        {"undefineall forgets every name", "`define A\n`undefineall\n`ifdef A a `else n `endif",
         "\n\nn"},
        {"elsif takes the first defined name only",
         "`define B\n`ifdef A a `elsif B b `elsif B c `else d `endif", "\nb"},
        {"elsif after a taken branch is dropped", "`define A\n`ifdef A a `elsif A b `endif", "\na"},
        {"else after elsif when nothing is defined", "`ifdef A a `elsif B b `else c `endif", "c"},
        {"a nested branch inside a dropped one stays dropped",
         "`define X\n`ifdef A `ifdef X x `else y `endif `else z `endif", "\nz"},
        {"nested branches inside a taken one",
         "`define A\n`ifndef X `ifdef A x `else y `endif `endif", "\nx"},
        {"a define inside a dropped branch defines nothing",
         "`ifdef A\n`define B\n`endif\n`ifdef B b `else n `endif", "\n\n\nn"},
        {"an undef inside a dropped branch removes nothing",
         "`define B\n`ifdef A\n`undef B\n`endif\n`ifdef B b `endif", "\n\n\n\nb"},
        {"a function-like macro is defined by its name",
         "`define MAX(a, b) ((a) > (b))\n`ifdef MAX m `endif", "\nm"},
        {"a branch left open runs on to the end", "`ifdef A\na\n`else\nb\nc", "\n\n\nb\nc"},
        {"an endif or else without its ifdef is dropped", "a `endif b `else c `elsif D d",
         "a b c d"},
        {"an else inside a dropped macro body is no else", "`ifdef A\n`define Q `else\nq\n`endif",
         "\n\n\n"},
        {"an ifdef whose name is not on its line tests nothing defined",
         "`define a\n`ifdef\na\n`else\nb\n`endif", "\n\n\n\nb\n"},
        {"a directive in a dropped branch keeps its line end",
         "`ifdef A\n`timescale 1ns/1ps\n`endif\nm", "\n\n\nm"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(Squeezed(PreprocessVerilog(c.input, {})), c.expected) << c.name;
}

TEST(Preprocessor, EachDirectiveBecomesOneBlankAndMacroUsesStay) {
    const TextCase cases[] = {
        {"dropped text keeps only its line ends", "`ifdef A\nx y\nz\n`endif", " \n\n\n "},
        {"define to the line end", "`define W 8\nwire [`W-1:0] x;", " \nwire [`W-1:0] x;"},
        {"define continued over lines", "`define M a \\\n b\nc", " \n\nc"},
        {"include that cannot be read", "`include \"defs.vh\" x", "  x"},
        {"timescale to the line end", "`timescale 1ns/1ps\nmodule", " \nmodule"},
        {"default_nettype with its word", "`default_nettype none\nx", " \nx"},
        {"macro use stays", "`WIDTH'd0", "`WIDTH'd0"},
        {"a word that only begins like a directive is a macro use", "`ifdefx a", "`ifdefx a"},
        {"directive inside a string stays", "\"`ifdef\"", "\"`ifdef\""},
        {"directive inside an escaped identifier stays", "\\a`endif b", "\\a`endif b"},
        {"resetall alone", "`resetall x", "  x"},
        {"no word is joined across a dropped branch", "a`ifdef X q`endif`ifndef X b`endif",
         "a    b "},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(PreprocessVerilog(c.input, {}), c.expected) << c.name;
}

// Files in memory; every read is counted.
class MemoryFiles {
public:
    explicit MemoryFiles(std::map<std::string, std::string> files) : files_(std::move(files)) {}

    IncludeFiles For(const std::string& source, std::vector<std::string> predefined = {}) {
        return {source,
                [this](const std::string& path) -> std::optional<std::string> {
                    ++reads_[path];
                    auto found = files_.find(path);
                    if (found == files_.end())
                        return std::nullopt;
                    return found->second;
                },
                std::move(predefined)};
    }
    std::string Run(const std::string& source) {
        return PreprocessVerilog(files_.at(source), For(source));
    }
    int Reads(const std::string& path) const {
        auto found = reads_.find(path);
        return found == reads_.end() ? 0 : found->second;
    }

private:
    std::map<std::string, std::string> files_;
    std::map<std::string, int> reads_;
};

TEST(Preprocessor, IncludesAreReadInPlaceWithTheSameDefines) {
    struct IncludeCase {
        const char* name;
        std::map<std::string, std::string> files; // the source is "d/top.v"
        const char* expected;
    };
    const IncludeCase cases[] = {
        {"the file's text stands in its place",
         {{"d/top.v", "a\n`include \"b.vh\"\nc"}, {"d/b.vh", "b\n"}},
         "a\nb\n\nc"},
        {"a define inside the included file chooses the branch",
         {{"d/top.v", "`include \"defs.vh\"\n`ifdef WIDE w `else n `endif"},
          {"d/defs.vh", "`define WIDE\n"}},
         "\n\nw"},
        {"the including file's define is seen inside the included file",
         {{"d/top.v", "`define WIDE\n`include \"ports.vh\""},
          {"d/ports.vh", "`ifdef WIDE w `else n `endif"}},
         "\nw"},
        {"a nested include is looked for beside the file that names it",
         {{"d/top.v", "`include \"sub/a.vh\""},
          {"d/sub/a.vh", "`include \"b.vh\""},
          {"d/sub/b.vh", "deep"},
          {"d/b.vh", "wrong"}},
         "deep"},
        {"the current directory when the folder has no such file",
         {{"d/top.v", "`include \"c.vh\""}, {"c.vh", "cwd"}},
         "cwd"},
        {"the folder comes before the current directory",
         {{"d/top.v", "`include \"c.vh\""}, {"c.vh", "cwd"}, {"d/c.vh", "folder"}},
         "folder"},
        {"an absolute name is read as it stands",
         {{"d/top.v", "`include \"/abs/x.vh\""}, {"/abs/x.vh", "abs"}},
         "abs"},
        {"angle brackets name a file as quotes do",
         {{"d/top.v", "`include <x.vh>"}, {"d/x.vh", "angle"}},
         "angle"},
        {"a missing include reads as empty", {{"d/top.v", "a `include \"gone.vh\" b"}}, "a b"},
        {"comments, TABs and CR of the included file are cleaned as the source's",
         {{"d/top.v", "`include \"c.vh\""}, {"d/c.vh", "x\t// `define NO\ry /* z */ w"}},
         "x\ny w"},
        {"a block comment left open ends with its file",
         {{"d/top.v", "`include \"c.vh\"\nafter"}, {"d/c.vh", "x /* open"}},
         "x\nafter"},
        {"an included file that is not text reads as empty",
         {{"d/top.v", "`include \"bin.vh\" a"},
          {"d/bin.vh", "module m;" + std::string(1, '\0') + " endmodule"}},
         "a"},
        {"a guarded pair that includes each other is read once each",
         {{"d/top.v", "`include \"a.vh\""},
          {"d/a.vh", "`ifndef A_VH\n`define A_VH\n`include \"b.vh\"\na\n`endif"},
          {"d/b.vh", "`ifndef B_VH\n`define B_VH\n`include \"a.vh\"\nb\n`endif"}},
         "\n\n\n\n\n\n\n\n\nb\n\na\n"},
        {"a branch left open in the included file runs on into the source",
         {{"d/top.v", "`include \"o.vh\"\nrest\n`endif\nend"}, {"d/o.vh", "`ifdef X\n"}},
         "\n\n\n\nend"},
    };
    for (const IncludeCase& c : cases) {
        MemoryFiles files(c.files);
        EXPECT_EQ(Squeezed(files.Run("d/top.v")), c.expected) << c.name;
    }
}

TEST(Preprocessor, AnIncludeInADroppedBranchIsNotRead) {
    MemoryFiles files({{"d/top.v", "`ifdef X\n`include \"x.vh\"\n`endif"}, {"d/x.vh", "x"}});
    EXPECT_EQ(Squeezed(files.Run("d/top.v")), "\n\n");
    EXPECT_EQ(files.Reads("d/x.vh"), 0);
}

TEST(Preprocessor, AnIncludeCycleEndsAtTheDepthBoundAndEachFileIsReadOnce) {
    MemoryFiles files({{"d/top.v", "`include \"r.vh\""}, {"d/r.vh", "r `include \"r.vh\""}});
    std::string text = files.Run("d/top.v");
    std::size_t copies = 0;
    for (char c : text)
        copies += c == 'r';
    EXPECT_EQ(copies, static_cast<std::size_t>(kMaxIncludeDepth));
    EXPECT_EQ(files.Reads("d/r.vh"), 1);
}

TEST(Preprocessor, OneFileGoesIntoOneSourceAtMostTheBoundedNumberOfTimes) {
    std::string source;
    for (int i = 0; i < kMaxIncludesOfOneFile + 50; ++i)
        source += "`include \"p.vh\"\n";
    MemoryFiles files({{"d/top.v", source}, {"d/p.vh", "p"}});
    std::string text = files.Run("d/top.v");
    std::size_t copies = 0;
    for (char c : text)
        copies += c == 'p';
    EXPECT_EQ(copies, static_cast<std::size_t>(kMaxIncludesOfOneFile));
}

TEST(Preprocessor, EachSourceStartsWithNothingDefined) {
    MemoryFiles files({{"d/a.v", "`define SEEN\n"}, {"d/b.v", "`ifdef SEEN s `else n `endif"}});
    files.Run("d/a.v");
    EXPECT_EQ(Squeezed(files.Run("d/b.v")), "n");
}

} // namespace
} // namespace qve
