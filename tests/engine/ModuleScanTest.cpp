// The module scan job: module lists, byte for byte, for the edge cases of the scan.
#include "EngineFixture.h"

#include "engine/ModuleScan.h"

namespace qve {
namespace {

using testing::EngineFixture;

struct ScanCase {
    const char* name;
    const char* source;
    const char* kind;
    // The module list with "$P" for the source path and LF for each CR LF.
    const char* expected;
};

const ScanCase kScanCases[] = {
    {"two modules one after the other", "module a; endmodule\nmodule b(); endmodule\n", "0",
     "F0-$P\nM-a\nF0-$P\nM-b\n"},
    {"closing keyword in capitals is not recognised", "module a; ENDMODULE\n", "0", ""},
    {"a word ending in module starts nothing", "submodule x; endmodule\n", "0", ""},
    {"macromodule is a module", "macromodule m (a); input a; endmodule", "0", "F0-$P\nM-m\n"},
    {"escaped name keeps its backslash", "module \\bus[0] (a); endmodule\n", "0",
     "F0-$P\nM-\\bus[0]\n"},
    {"name with dollar signs", "module a$b$ (x); endmodule\n", "0", "F0-$P\nM-a$b$\n"},
    {"module without endmodule ends the scan", "module a; endmodule module b; module c;", "0",
     "F0-$P\nM-a\n"},
    {"module and endmodule on one line without blanks", "module z;endmodule", "0", "F0-$P\nM-z\n"},
    {"tabs between keyword and name", "module\tt1\t(a);\tendmodule\n", "0", "F0-$P\nM-t1\n"},
    {"CR LF source", "module a;\r\nendmodule\r\n", "0", "F0-$P\nM-a\n"},
    {"endmodule inside a name does not close", "module a; wire xendmodule; endmodule", "0",
     "F0-$P\nM-a\n"},
    {"line comment hides a module", "// module hidden; endmodule\nmodule shown; endmodule\n", "0",
     "F0-$P\nM-shown\n"},
    {"block comment over lines hides a module",
     "/* module hidden;\n endmodule */ module shown; endmodule\n", "0", "F0-$P\nM-shown\n"},
    {"kind 1 on a Verilog file lists nothing", "module a; endmodule\n", "1", ""},
    {"kind 2 on a VHDL file lists its entities", "entity e is port (a : in std_logic); end e;\n",
     "2", "F1-$P\nM-e\n"},
    {"kind 2 on a file with both lists only the module", "module m; endmodule\nentity e is end;\n",
     "2", "F0-$P\nM-m\n"},
    {"a kind that is no number counts as Verilog", "module a; endmodule\n", "x", "F0-$P\nM-a\n"},
    {"a kind with trailing text counts as Verilog", "entity e is end;\n", "1x", ""},
    {"kind 7 is auto select", "entity e is end;\n", "7", "F1-$P\nM-e\n"},
    {"entity closed by end alone", "entity e1 is end;", "1", "F1-$P\nM-e1\n"},
    {"entity closed by end and its name", "entity e2 is end e2;", "1", "F1-$P\nM-e2\n"},
    {"entity closed by end entity", "entity e3 is end entity;", "1", "F1-$P\nM-e3\n"},
    {"entity closed by end entity and its name", "entity e4 is end entity e4 ;", "1",
     "F1-$P\nM-e4\n"},
    {"end with another name does not close", "entity e5 is end other;", "1", ""},
    {"end with another name closes at the next end that fits", "entity e6 is end other; end;", "1",
     "F1-$P\nM-e6\n"},
    {"keywords in any case", "ENTITY Big IS PORT (a : IN STD_LOGIC); END ENTITY Big;", "1",
     "F1-$P\nM-Big\n"},
    {"VHDL comment hides an entity", "-- entity h is end;\nentity s is end;", "1", "F1-$P\nM-s\n"},
    {"architecture between entities is skipped",
     "entity a is end;\narchitecture r of a is begin end;\nentity b is end b;", "1",
     "F1-$P\nM-a\nF1-$P\nM-b\n"},
    {"same name twice is listed twice", "module a; endmodule module a; endmodule", "0",
     "F0-$P\nM-a\nF0-$P\nM-a\n"},
    {"file without definitions adds nothing", "wire x;\n", "0", ""},
};

class ModuleScanGolden : public EngineFixture, public ::testing::WithParamInterface<ScanCase> {};

TEST_P(ModuleScanGolden, WritesTheModuleListByteForByte) {
    const ScanCase& c = GetParam();
    std::optional<std::string> output = Scan(c.source, c.kind);
    ASSERT_TRUE(output.has_value()) << "no module list written";
    EXPECT_EQ(*output, Golden(c.expected, PathOf("src.v")));
}

void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << c.name;
}

std::string CaseName(const ::testing::TestParamInfo<ScanCase>& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(EdgeCases, ModuleScanGolden, ::testing::ValuesIn(kScanCases), CaseName);

// Faults of reading comments before code that the scan no longer has.
const ScanCase kMendedCases[] = {
    {"an address in a block comment does not swallow the next module",
     "/* see http://x */ module a; endmodule\n/* b */ module b; endmodule\n", "0",
     "F0-$P\nM-a\nF0-$P\nM-b\n"},
    {"a block comment between keyword and name keeps them apart", "module/**/c; endmodule", "0",
     "F0-$P\nM-c\n"},
    {"a line comment marker inside a block comment ends nothing",
     "/* a // b */ module m; endmodule", "0", "F0-$P\nM-m\n"},
    {"a block comment marker after a line comment opens nothing",
     "// x /*\nmodule m; endmodule // */\n", "0", "F0-$P\nM-m\n"},
    {"a comment marker inside a string is text",
     "module s; initial $display(\"/* not\"); endmodule\nmodule t; endmodule", "0",
     "F0-$P\nM-s\nF0-$P\nM-t\n"},
    {"a line comment on the last line without a line end", "module m; endmodule // end", "0",
     "F0-$P\nM-m\n"},
    {"an unclosed block comment hides the rest", "module a; endmodule /* module b; endmodule", "0",
     "F0-$P\nM-a\n"},
    {"a module inside a macro body is no module",
     "`define M module fake; endmodule\nmodule real_one; endmodule", "0", "F0-$P\nM-real_one\n"},
    {"a lone CR ends a line comment as it does for the project text",
     "module a; endmodule // old line end\rmodule b; endmodule", "0", "F0-$P\nM-a\nF0-$P\nM-b\n"},
    {"a lone CR ends a VHDL comment as it does for the project text",
     "entity e is end; -- old line end\rentity f is end;", "1", "F1-$P\nM-e\nF1-$P\nM-f\n"},
    {"a VHDL comment on a last line without a line end", "entity e is end; -- entity f is end;",
     "1", "F1-$P\nM-e\n"},
    {"a VHDL comment marker inside a string is text",
     "entity e is constant c : string := \"--\"; end; entity f is end;", "1",
     "F1-$P\nM-e\nF1-$P\nM-f\n"},
};

INSTANTIATE_TEST_SUITE_P(MendedFaults, ModuleScanGolden, ::testing::ValuesIn(kMendedCases),
                         CaseName);

TEST_F(EngineFixture, ScanListsFilesInCommandLineOrderWithEachResolvedLanguage) {
    std::string v = Write("a.v", "module va; endmodule\n");
    std::string h = Write("b.vhd", "entity eb is end;\n");
    std::string none = Write("c.v", "// nothing\n");
    EngineOutcome outcome =
        Run({"0x1898a5" + PathOf("out.tmp"), h, "2", none, "0", v, "2", h, "1"});
    EXPECT_EQ(outcome.standardError, "");
    EXPECT_EQ(Output().value(),
              "F1-" + h + "\r\nM-eb\r\nF0-" + v + "\r\nM-va\r\nF1-" + h + "\r\nM-eb\r\n");
}

TEST_F(EngineFixture, ScanReadsAPathWithoutKindAsVerilog) {
    std::string v = Write("a.v", "module va; endmodule\n");
    EngineOutcome outcome = Run({"0x1898a5" + PathOf("out.tmp"), v});
    EXPECT_EQ(outcome.standardError, "");
    EXPECT_EQ(Output().value(), "F0-" + v + "\r\nM-va\r\n");
}

TEST_F(EngineFixture, ScanWritesThePathAsReceived) {
    Write("rel.v", "module r; endmodule\n");
    std::string relative = "./" + dir_.filename().string() + "/rel.v";
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir_.parent_path());
    EngineOutcome outcome = Run({"0x1898a5" + PathOf("out.tmp"), relative, "0"});
    std::filesystem::current_path(previous);
    EXPECT_EQ(outcome.standardError, "");
    EXPECT_EQ(Output().value(), "F0-" + relative + "\r\nM-r\r\n");
}

TEST_F(EngineFixture, ScanOfNothingWritesAnEmptyList) {
    std::string v = Write("a.v", "wire x;\n");
    EXPECT_EQ(Run({"0x1898a5" + PathOf("out.tmp"), v, "2"}).standardError, "");
    EXPECT_EQ(Output().value(), "");
}

TEST_F(EngineFixture, MissingSourceInTheMiddleDiscardsEarlierFinds) {
    std::string v = Write("a.v", "module va; endmodule\n");
    EngineOutcome outcome =
        Run({"0x1898a5" + PathOf("out.tmp"), v, "0", PathOf("gone.v"), "0", v, "0"});
    EXPECT_EQ(outcome.standardError, "2\n");
    EXPECT_NE(outcome.exitStatus, 0);
    EXPECT_FALSE(Output().has_value());
}

TEST_F(EngineFixture, ASourceThatIsNotTextListsNothingInAnyKindAndIsNamedInTheList) {
    // Regression: a binary whose bytes happened to spell a module was listed, and the wizard then
    // logged both that the empty module was ignored and that it was added. It is named on a line
    // of its own, so the wizard can say which file it skipped.
    std::string binary = "\x7f"
                         "ELF" +
                         std::string(2, '\0') + "module m; endmodule\nentity e is end;\n";
    std::string path = Write("tool.bin", binary);
    std::string text = Write("a.v", "module t; endmodule\n");
    for (const char* kind : {"0", "1", "2"}) {
        EngineOutcome outcome = Run({"0x1898a5" + PathOf("out.tmp"), path, kind, text, "0"});
        EXPECT_EQ(outcome.standardError, "") << "kind " << kind;
        EXPECT_EQ(Output().value(), "F0-" + text + "\r\nM-t\r\nB-" + path + "\r\n")
            << "kind " << kind;
    }
}

TEST_F(EngineFixture, SourcePathThatWouldBreakTheListIsRefused) {
    // Regression: a TAB, CR or LF in a path was copied into the list and split its lines.
    for (const char* bad : {"a\tb.v", "a\rb.v", "a\nb.v"}) {
        std::string path = Write(bad, "module m; endmodule\n");
        EngineOutcome outcome = Run({"0x1898a5" + PathOf("out.tmp"), path, "0"});
        EXPECT_EQ(outcome.standardError, "2\n") << "path with byte " << int(bad[1]);
        EXPECT_FALSE(Output().has_value());
    }
}

TEST(ModuleScan, DirectiveLinesHideNoModuleOfTheBranchTaken) {
    // Regression: both branches were read, so a module of the branch not taken was listed.
    std::vector<std::string> names = ScanVerilogModules(
        "`ifdef FAST\nmodule fast; endmodule\n`else\nmodule slow; endmodule\n`endif\n");
    EXPECT_EQ(names, (std::vector<std::string>{"slow"}));
}

} // namespace
} // namespace qve
