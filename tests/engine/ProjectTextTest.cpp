// The project-text job: project text, byte for byte, for the edge cases of both languages.
#include "EngineFixture.h"

#include "engine/ProjectText.h"

namespace qve {
namespace {

using testing::EngineFixture;

struct TextCase {
    const char* name;
    const char* source;
    const char* module;
    char language;
    const char* top;
    // The project text with "$P" for the source path and LF for each CR LF.
    const char* expected;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.name;
}

std::string CaseName(const ::testing::TestParamInfo<TextCase>& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

class ProjectTextGolden : public EngineFixture, public ::testing::WithParamInterface<TextCase> {};

TEST_P(ProjectTextGolden, WritesTheProjectTextByteForByte) {
    const TextCase& c = GetParam();
    std::optional<std::string> output = ProjectText(c.source, c.module, c.language, c.top);
    ASSERT_TRUE(output.has_value()) << "no project text written";
    EXPECT_EQ(*output, Golden(c.expected, PathOf(c.language == '1' ? "src.vhd" : "src.v")));
}

const TextCase kVerilogCases[] = {
    {"header names the top module", "module m(input a); endmodule", "m", '0', "top",
     "Version:\tZUN2012\t1.0\t\nTOP\t\ttop\nMODULE\tm\tu_m_0\t$P\tverilog\nINPUT\t\t\ta\t\t\t\n"},
    {"numeric range written with blanks", "module m(input [7 : 0] d); endmodule", "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nINPUT\t7\t0\td\t\t7\t0\n"},
    {"range on a parameter makes it a key parameter",
     "module m #(parameter WIDTH = 8) (output [WIDTH-1:0] q); endmodule", "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nPARAMETER\t\t\tWIDTH\t 8\t\tK\n"
     "OUTPUT\tNA\t0\tq\t\tWIDTH-1\t0\n"},
    {"parameter in no range has five fields and keeps its blank",
     "module m(a); parameter DEPTH = 16; input a; endmodule", "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nPARAMETER\t\t\tDEPTH\t 16\nINPUT\t\t\ta\t\t\t\n"},
    {"parameter range bounds are kept raw",
     "module m(a); parameter [3:0] P = 4'h5; input a; endmodule", "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nPARAMETER\t3\t0\tP\t 4'h5\nINPUT\t\t\ta\t\t\t\n"},
    {"parameter without a value is not written", "module m(a); parameter NOVAL; input a; endmodule",
     "m", '0', "", "MODULE\tm\tu_m_0\t$P\tverilog\nINPUT\t\t\ta\t\t\t\n"},
    {"inout is written as BIDIR", "module m(inout wire [1:0] io); endmodule", "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nBIDIR\t1\t0\tio\t\t1\t0\n"},
    {"header and body ports in source order sharing ranges",
     "module m(a, b, c);\n input [3:0] a, b;\n output reg c;\nendmodule", "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nINPUT\t3\t0\ta\t\t3\t0\nINPUT\t3\t0\tb\t\t3\t0\n"
     "OUTPUT\t\t\tc\t\t\t\n"},
    {"ANSI list with types and signed",
     "module m(input wire signed [15:0] x, output reg [7:0] y, input clk);\nendmodule", "m", '0',
     "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nINPUT\t15\t0\tx\t\t15\t0\nOUTPUT\t7\t0\ty\t\t7\t0\n"
     "INPUT\t\t\tclk\t\t\t\n"},
    {"block comment with declarations adds nothing",
     "module m(a);\n/* input b;\n output c; */\n input a;\nendmodule", "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nINPUT\t\t\ta\t\t\t\n"},
    {"module named as a prefix of another is found under its own name",
     "module add_two(input x); endmodule\nmodule add(input y); endmodule", "add", '0', "",
     "MODULE\tadd\tu_add_0\t$P\tverilog\nINPUT\t\t\ty\t\t\t\n"},
    {"functions and tasks declare nothing",
     "module m(a);\n input a;\n function f; input q; f = q; endfunction\n"
     " task t; input r; endtask\nendmodule",
     "m", '0', "", "MODULE\tm\tu_m_0\t$P\tverilog\nINPUT\t\t\ta\t\t\t\n"},
    {"a module with an empty body is skipped", "module m endmodule", "m", '0', "", ""},
    {"a module that is not in the source is skipped", "module m(input a); endmodule", "n", '0', "",
     ""},
    {"an escaped module name is found literally", "module \\m.x (input a); endmodule", "\\m.x", '0',
     "", "MODULE\t\\m.x\tu_\\m.x_0\t$P\tverilog\nINPUT\t\t\ta\t\t\t\n"},
    {"a lone CR ends a line comment", "module m(a); // c\rinput a; endmodule", "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nINPUT\t\t\ta\t\t\t\n"},
    {"integer and time outputs", "module m(o, t); output integer o; output time t; endmodule", "m",
     '0', "", "MODULE\tm\tu_m_0\t$P\tverilog\nOUTPUT\t\t\to\t\t\t\nOUTPUT\t\t\tt\t\t\t\n"},
    {"a declaration the pattern does not reach is not read",
     "module m(a, b); input a; input logic b; endmodule", "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nINPUT\t\t\ta\t\t\t\n"},
};

INSTANTIATE_TEST_SUITE_P(Verilog, ProjectTextGolden, ::testing::ValuesIn(kVerilogCases), CaseName);

// Faults of the literal reading that the job no longer has; each names what went wrong.
const TextCase kVerilogMended[] = {
    {"a value ends at a bracket of depth 0 only, not inside $clog2",
     "module m #(parameter DEPTH = 16, parameter AW = $clog2(DEPTH)) (input [AW-1:0] a);\n"
     "endmodule",
     "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nPARAMETER\t\t\tDEPTH\t 16\n"
     "PARAMETER\t\t\tAW\t $clog2(DEPTH)\t\tK\nINPUT\tNA\t0\ta\t\tAW-1\t0\n"},
    {"a nested bracketed value stays whole",
     "module m #(parameter DW = 32, parameter BW = ((DW+7)/8), parameter L = {2'b0, 2'b1})"
     " (input [BW-1:0] s);\nendmodule",
     "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nPARAMETER\t\t\tDW\t 32\nPARAMETER\t\t\tBW\t ((DW+7)/8)\t\tK\n"
     "PARAMETER\t\t\tL\t {2'b0, 2'b1}\nINPUT\tNA\t0\ts\t\tBW-1\t0\n"},
    {"a function call with commas in a value",
     "module m(a); parameter P = f(1, 2), Q = 3; input a; endmodule", "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nPARAMETER\t\t\tP\t f(1, 2)\nPARAMETER\t\t\tQ\t 3\n"
     "INPUT\t\t\ta\t\t\t\n"},
    {"an initial value leaves no blank on the port name",
     "module m(output reg q = 0, output reg [3:0] r = 4'd1); endmodule", "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nOUTPUT\t\t\tq\t\t\t\nOUTPUT\t3\t0\tr\t\t3\t0\n"},
    {"a bound with blanks around an expression is still numeric where it is a number",
     "module m #(parameter W = 4) (input [W-1 : 0] a); endmodule", "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nPARAMETER\t\t\tW\t 4\t\tK\nINPUT\tNA\t0\ta\t\tW-1 \t 0\n"},
    {"a bound too large for a number is not numeric",
     "module m(input [99999999999:0] a); endmodule", "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nINPUT\tNA\t0\ta\t\t99999999999\t0\n"},
    {"directive lines inside an ANSI port list keep the ports of the branch taken",
     "module m (\n input clk,\n`ifdef DBG\n output [7:0] dbg,\n`else\n output nodbg,\n`endif\n"
     " input rst\n);\nendmodule",
     "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nINPUT\t\t\tclk\t\t\t\n"
     "OUTPUT\t\t\tnodbg\t\t\t\nINPUT\t\t\trst\t\t\t\n"},
    {"an address in a block comment does not swallow the ports",
     "module m (/* see http://x */ input a, output b); endmodule", "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nINPUT\t\t\ta\t\t\t\nOUTPUT\t\t\tb\t\t\t\n"},
    {"a block comment between keyword and name keeps them apart",
     "module/**/c (input a); endmodule", "c", '0', "",
     "MODULE\tc\tu_c_0\t$P\tverilog\nINPUT\t\t\ta\t\t\t\n"},
    {"a declaration that is not read lends its range to no later declaration",
     "module m #(parameter W = 2) (input [W*2-1:0] d [0:3], inout \\bus[0] , output [7:0] e);\n"
     "endmodule",
     "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nPARAMETER\t\t\tW\t 2\nBIDIR\t\t\t\\bus[0]\t\t\t\n"
     "OUTPUT\t7\t0\te\t\t7\t0\n"},
    {"a bound with brackets of its own is read whole",
     "module m #(parameter N = 4) (input [N[1:0]:0] a, output b); endmodule", "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nPARAMETER\t\t\tN\t 4\t\tK\nINPUT\tNA\t0\ta\t\tN[1:0]\t0\n"
     "OUTPUT\t\t\tb\t\t\t\n"},
    {"a define body with declarations is not read",
     "`define PORTS input fake,\nmodule m (input a); endmodule", "m", '0', "",
     "MODULE\tm\tu_m_0\t$P\tverilog\nINPUT\t\t\ta\t\t\t\n"},
};

INSTANTIATE_TEST_SUITE_P(VerilogMended, ProjectTextGolden, ::testing::ValuesIn(kVerilogMended),
                         CaseName);

const TextCase kVhdlCases[] = {
    {"the four modes",
     "entity e is port (a : in std_logic; b : out std_logic; c : inout std_logic;"
     " d : buffer std_logic); end e;",
     "e", '1', "",
     "MODULE\te\tu_e_0\t$P\tvhdl\nINPUT\t\t\ta\t\t\t\nOUTPUT\t\t\tb\t\t\t\nBIDIR\t\t\tc\t\t\t\n"
     "OUTPUT_B\t\t\td\t\t\t\n"},
    {"a port without mode is an input", "entity e is port (a : std_logic); end;", "e", '1', "",
     "MODULE\te\tu_e_0\t$P\tvhdl\nINPUT\t\t\ta\t\t\t\n"},
    {"a vector last in the clause loses only the clause parenthesis",
     "entity e is\n port (\n  q : out std_logic_vector(7 downto 0)\n );\nend entity e;", "e", '1',
     "", "MODULE\te\tu_e_0\t$P\tvhdl\nOUTPUT\t7\t0\tq\t\t7\t0\n"},
    {"a bound in parentheses last in the clause keeps its own",
     "entity e is port (q : out std_logic_vector(7 downto (0))); end;", "e", '1', "",
     "MODULE\te\tu_e_0\t$P\tvhdl\nOUTPUT\t7\tNA\tq\t\t7\t(0)\n"},
    {"a to range keeps source order",
     "entity e is port (q : out std_logic_vector(0 to 7); r : in std_logic); end;", "e", '1', "",
     "MODULE\te\tu_e_0\t$P\tvhdl\nOUTPUT\t0\t7\tq\t\t0\t7\nINPUT\t\t\tr\t\t\t\n"},
    {"a generic in a range is a key generic",
     "entity e is generic (WIDTH : natural := 8; DEPTH : integer := 4); port (d : in"
     " std_logic_vector(WIDTH - 1 downto 0)); end;",
     "e", '1', "",
     "MODULE\te\tu_e_0\t$P\tvhdl\nPARAMETER\t\t\tWIDTH\t8\t\tK\tnatural\n"
     "PARAMETER\t\t\tDEPTH\t4\t\t\tinteger\nINPUT\tNA\t0\td\t\tWIDTH - 1\t0\n"},
    {"keywords in capitals and an exact key comparison",
     "ENTITY E IS GENERIC (W : NATURAL := 2; w2 : NATURAL); PORT (D : IN STD_LOGIC_VECTOR(w"
     " DOWNTO 0)); END ENTITY E;",
     "e", '1', "",
     "MODULE\te\tu_e_0\t$P\tvhdl\nPARAMETER\t\t\tW\t2\t\t\tNATURAL\n"
     "PARAMETER\t\t\tw2\t\t\t\tNATURAL\nINPUT\tNA\t0\tD\t\tw\t0\n"},
    {"an integer port is not listed",
     "entity e is port (n : in integer range 0 to 3; a : in std_logic); end;", "e", '1', "",
     "MODULE\te\tu_e_0\t$P\tvhdl\nINPUT\t\t\ta\t\t\t\n"},
    {"two names in one declaration share the width",
     "entity e is port (a, b : in std_logic_vector(3 downto 0)); end;", "e", '1', "",
     "MODULE\te\tu_e_0\t$P\tvhdl\nINPUT\t3\t0\ta\t\t3\t0\nINPUT\t3\t0\tb\t\t3\t0\n"},
    {"a generic without default has an empty value",
     "entity e is generic (G : positive := 1; H : boolean); port (a : in std_logic); end;", "e",
     '1', "",
     "MODULE\te\tu_e_0\t$P\tvhdl\nPARAMETER\t\t\tG\t1\t\t\tpositive\n"
     "PARAMETER\t\t\tH\t\t\t\tboolean\nINPUT\t\t\ta\t\t\t\n"},
    {"an entity without a port clause is not read", "entity e is end;", "e", '1', "", ""},
    {"signal, bus and default value are read past",
     "entity e is port (signal s : in std_logic bus := '0'; t : out std_logic); end;", "e", '1', "",
     "MODULE\te\tu_e_0\t$P\tvhdl\nINPUT\t\t\ts\t\t\t\nOUTPUT\t\t\tt\t\t\t\n"},
    {"a comment inside the port clause",
     "entity e is port (a : in std_logic; -- b : in bit;\n"
     " c : in std_logic); end;",
     "e", '1', "", "MODULE\te\tu_e_0\t$P\tvhdl\nINPUT\t\t\ta\t\t\t\nINPUT\t\t\tc\t\t\t\n"},
    {"the entity name is found in any case", "entity MyEnt is port (a : in std_logic); end;",
     "myent", '1', "", "MODULE\tmyent\tu_myent_0\t$P\tvhdl\nINPUT\t\t\ta\t\t\t\n"},
};

INSTANTIATE_TEST_SUITE_P(Vhdl, ProjectTextGolden, ::testing::ValuesIn(kVhdlCases), CaseName);

const TextCase kVhdlMended[] = {
    {"the last generic's type without default loses the clause parenthesis",
     "entity e is generic (N : natural); port (a : in std_logic_vector(N-1 downto 0)); end;", "e",
     '1', "",
     "MODULE\te\tu_e_0\t$P\tvhdl\nPARAMETER\t\t\tN\t\t\tK\tnatural\n"
     "INPUT\tNA\t0\ta\t\tN-1\t0\n"},
    {"an entity without a port clause does not take the next entity's ports",
     "entity a is generic (G : natural := 1); end a;\n"
     "entity b is port (x : in std_logic); end b;",
     "a", '1', "", ""},
    {"a vector of an attribute range is of unknown width, not one bit",
     "entity e is port (a : in std_logic_vector(t'range); b : out std_logic_vector(t'range))"
     "; end;",
     "e", '1', "",
     "MODULE\te\tu_e_0\t$P\tvhdl\nINPUT\tNA\tNA\ta\t\tt'range\tt'range\n"
     "OUTPUT\tNA\tNA\tb\t\tt'range\tt'range\n"},
    {"an unconstrained vector is of unknown width and takes no width text from its type",
     "entity e is port (a : in std_logic_vector; b : out std_logic_vector); end;", "e", '1', "",
     "MODULE\te\tu_e_0\t$P\tvhdl\nINPUT\tNA\tNA\ta\t\t\t\nOUTPUT\tNA\tNA\tb\t\t\t\n"},
    {"a comment on the last line without a line end",
     "entity e is port (a : in std_logic); end; -- last", "e", '1', "",
     "MODULE\te\tu_e_0\t$P\tvhdl\nINPUT\t\t\ta\t\t\t\n"},
};

INSTANTIATE_TEST_SUITE_P(VhdlMended, ProjectTextGolden, ::testing::ValuesIn(kVhdlMended), CaseName);

const TextCase kTopPortCases[] = {
    {"*T keeps numeric widths typed and makes parameter widths variant",
     "module m #(parameter W = 2) (input [3:0] a, output b, inout [W-1:0] c); endmodule", "m", '0',
     "*T", "INPUT\t3\t0\ta\t\t\t\t\nOUTPUT\t\t\tb\t\t\t\t\nKVAR\t\t\tc\t\t\t\t\n"},
    {"*t makes every port variant", "module m (input [3:0] a, output b); endmodule", "m", '0', "*t",
     "KVAR\t\t\ta\t\t\t\t\nKVAR\t\t\tb\t\t\t\t\n"},
    {"*T on an entity keeps buffer ports and drops generics",
     "entity e is generic (W : natural := 8); port (a : in std_logic_vector(7 downto 0);"
     " b : buffer std_logic; c : out std_logic_vector(W-1 downto 0)); end;",
     "e", '1', "*T", "INPUT\t7\t0\ta\t\t\t\t\nOUTPUT_B\t\t\tb\t\t\t\t\nKVAR\t\t\tc\t\t\t\t\n"},
};

INSTANTIATE_TEST_SUITE_P(TopPorts, ProjectTextGolden, ::testing::ValuesIn(kTopPortCases), CaseName);

TEST_F(EngineFixture, InstancesAreNamedByTheRule) {
    std::string v = Write("a.v", "module adder(input a); endmodule\n");
    std::string cfg = Write("cfg.tmp", "R-u_%M_%D\r\nF0-" + v + "\r\nM-adder\t2\r\n");
    ASSERT_EQ(Run({"0x1898b5" + PathOf("out.tmp"), "", cfg}).standardError, "");
    EXPECT_EQ(Output().value(),
              Golden("MODULE\tadder\tu_adder_0\t$P\tverilog\nINPUT\t\t\ta\t\t\t\n"
                     "MODULE\tadder\tu_adder_1\t$P\tverilog\nINPUT\t\t\ta\t\t\t\n",
                     v));
}

TEST_F(EngineFixture, RuleWithoutNumberGivesEqualNamesAndBlanksAreRemovedFromIt) {
    std::string v = Write("a.v", "module m(input a); endmodule\n");
    std::string cfg = Write("cfg.tmp", "R- i %M x \r\nF0-" + v + "\r\nM-m\t3\r\n");
    ASSERT_EQ(Run({"0x1898b5" + PathOf("out.tmp"), "", cfg}).standardError, "");
    std::string block = "MODULE\tm\timx\t" + v + "\tverilog\r\nINPUT\t\t\ta\t\t\t\r\n";
    EXPECT_EQ(Output().value(), block + block + block);
}

TEST_F(EngineFixture, EditorLinesAndUnknownLinesChangeNothing) {
    std::string v = Write("a.v", "module m(input a); endmodule\n");
    std::string plain = Write("plain.tmp", "R-%M\r\nF0-" + v + "\r\nM-m\t1\r\n");
    std::string noisy = Write("noisy.tmp", "EI-x\r\nR-%M\r\nET-1\r\nF0-" + v +
                                               "\r\nEW-2\r\nEP-3\r\nM-m\t1\r\nM-m\t1");
    ASSERT_EQ(Run({"0x1898b5" + PathOf("plain.out"), "", plain}).standardError, "");
    ASSERT_EQ(Run({"0x1898b5" + PathOf("noisy.out"), "", noisy}).standardError, "");
    // The last line of noisy.tmp has no line end and is ignored.
    EXPECT_EQ(Output("plain.out").value(), Output("noisy.out").value());
}

TEST_F(EngineFixture, NoRuleGivesEmptyInstanceNames) {
    std::string v = Write("a.v", "module m(input a); endmodule\n");
    std::string cfg = Write("cfg.tmp", "F0-" + v + "\r\nM-m\t1\r\n");
    ASSERT_EQ(Run({"0x1898b5" + PathOf("out.tmp"), "", cfg}).standardError, "");
    EXPECT_EQ(Output().value(), "MODULE\tm\t\t" + v + "\tverilog\r\nINPUT\t\t\ta\t\t\t\r\n");
}

TEST_F(EngineFixture, ACountOfZeroWritesNothing) {
    std::string v = Write("a.v", "module m(input a); endmodule\n");
    std::string cfg = Write("cfg.tmp", "R-x\r\nF0-" + v + "\r\nM-m\t0\r\n");
    ASSERT_EQ(Run({"0x1898b5" + PathOf("out.tmp"), "", cfg}).standardError, "");
    EXPECT_EQ(Output().value(), "");
}

TEST_F(EngineFixture, OneSourceServesSeveralModulesAndLanguagesFollowTheFLines) {
    std::string v = Write("a.v", "module p(input a); endmodule\nmodule q(output b); endmodule\n");
    std::string h = Write("b.vhd", "entity r is port (c : in std_logic); end;\n");
    std::string cfg = Write("cfg.tmp", "R-%M\r\nF0-" + v + "\r\nM-q\t1\r\nM-p\t1\r\nF1-" + h +
                                           "\r\nM-r\t1\r\nF0-" + v + "\r\nM-q\t1\r\n");
    ASSERT_EQ(Run({"0x1898b5" + PathOf("out.tmp"), "", cfg}).standardError, "");
    std::string q = "MODULE\tq\tq\t" + v + "\tverilog\r\nOUTPUT\t\t\tb\t\t\t\r\n";
    EXPECT_EQ(Output().value(), q + "MODULE\tp\tp\t" + v + "\tverilog\r\nINPUT\t\t\ta\t\t\t\r\n" +
                                    "MODULE\tr\tr\t" + h + "\tvhdl\r\nINPUT\t\t\tc\t\t\t\r\n" + q);
}

TEST_F(EngineFixture, OtherLanguageDigitsReadNothingButStillOpenTheSource) {
    std::string v = Write("a.v", "module m(input a); endmodule\n");
    std::string good = Write("good.tmp", "F2-" + v + "\r\nM-m\t1\r\n");
    ASSERT_EQ(Run({"0x1898b5" + PathOf("out.tmp"), "", good}).standardError, "");
    EXPECT_EQ(Output().value(), "");
    std::string bad = Write("bad.tmp", "F2-" + PathOf("gone.v") + "\r\nM-m\t1\r\n");
    EXPECT_EQ(Run({"0x1898b5" + PathOf("bad.out"), "", bad}).standardError, "2\n");
    EXPECT_FALSE(Output("bad.out").has_value());
}

TEST_F(EngineFixture, ASourceThatIsNotTextGivesNoModuleInEitherLanguage) {
    // Regression: a binary whose bytes happened to spell a module gave a block of junk ports.
    std::string binary =
        "\x7f"
        "ELF" +
        std::string(2, '\0') +
        "module m(input a); endmodule\nentity e is port (c : in std_logic); end;\n";
    std::string path = Write("tool.bin", binary);
    std::string text = Write("a.v", "module t(input b); endmodule\n");
    std::string cfg = Write("cfg.tmp", "R-%M\r\nF0-" + path + "\r\nM-m\t1\r\nF1-" + path +
                                           "\r\nM-e\t1\r\nF0-" + text + "\r\nM-t\t1\r\n");
    ASSERT_EQ(Run({"0x1898b5" + PathOf("out.tmp"), "top", cfg}).standardError, "");
    EXPECT_EQ(Output().value(), "Version:\tZUN2012\t1.0\t\r\nTOP\t\ttop\r\nMODULE\tt\tt\t" + text +
                                    "\tverilog\r\nINPUT\t\t\tb\t\t\t\r\n");
}

struct FailureCase {
    const char* name;
    std::vector<std::string> arguments; // "$O" output, "$R" request, "$V" a readable source
    const char* request;
    const char* standardError;
};

TEST_F(EngineFixture, ProjectTextFailuresLeaveNoOutput) {
    std::string v = Write("a.v", "module m(input a); endmodule\n");
    const FailureCase cases[] = {
        {"two arguments", {"$O", "top"}, "F0-$V\r\nM-m\t1\r\n", "3\n"},
        {"missing request file", {"$O", "top", "$G"}, "", "2\n"},
        {"module line before any source line", {"$O", "", "$R"}, "M-m\t1\r\n", "2\n"},
        {"missing module source", {"$O", "", "$R"}, "F0-$G\r\nM-m\t1\r\n", "2\n"},
        {"source path with a TAB", {"$O", "", "$R"}, "F0-$V\tx\r\nM-m\t1\r\n", "2\n"},
        {"source path with a CR", {"$O", "", "$R"}, "F0-$V\rx\r\nM-m\t1\r\n", "2\n"},
        {"empty output path", {"0x1898b5", "", "$R"}, "F0-$V\r\nM-m\t1\r\n", "4\n"},
    };
    for (const FailureCase& c : cases) {
        std::string request = c.request;
        for (std::size_t at; (at = request.find("$V")) != std::string::npos;)
            request.replace(at, 2, v);
        for (std::size_t at; (at = request.find("$G")) != std::string::npos;)
            request.replace(at, 2, PathOf("gone.v"));
        std::string cfg = Write("cfg.tmp", request);
        std::vector<std::string> arguments;
        for (const std::string& a : c.arguments)
            arguments.push_back(a == "$O"   ? "0x1898b5" + PathOf("out.tmp")
                                : a == "$R" ? cfg
                                : a == "$G" ? PathOf("gone.tmp")
                                            : a);
        EngineOutcome outcome = Run(arguments);
        EXPECT_EQ(outcome.standardError, c.standardError) << c.name;
        EXPECT_NE(outcome.exitStatus, 0) << c.name;
        EXPECT_FALSE(Output().has_value()) << c.name;
    }
}

TEST_F(EngineFixture, ACountWhoseBlocksCannotFitInMemoryFailsWithoutOutput) {
    // Within the count's bound, a module of many ports still asks for more than the machine has.
    std::string ports;
    for (int i = 0; i < 40000; ++i)
        ports += (i ? ", p" : "p") + std::to_string(i);
    std::string v = Write("a.v", "module m(input " + ports + "); endmodule\n");
    std::string cfg = Write("cfg.tmp", "R-%M%D\r\nF0-" + v + "\r\nM-m\t" +
                                           std::to_string(kMaxInstanceCount) + "\r\n");
    double needed = 40000.0 * 16 * kMaxInstanceCount;
    double memory = static_cast<double>(::sysconf(_SC_PHYS_PAGES)) *
                    static_cast<double>(::sysconf(_SC_PAGE_SIZE));
    if (needed < memory)
        GTEST_SKIP() << "this machine has memory for the whole result";
    EngineOutcome outcome = Run({"0x1898b5" + PathOf("out.tmp"), "", cfg});
    EXPECT_EQ(outcome.standardError, "6\n");
    EXPECT_FALSE(Output().has_value());
}

TEST(TopPortRewrite, KeepsOnlyPortLinesOfAnyCase) {
    std::string result = "Version:\tZUN2012\t1.0\t\nMODULE\tm\tu\tp\tverilog\n"
                         "PARAMETER\t\t\tW\t 1\ninput\t 3\t 0\ta\t\t3\t0\n"
                         "Bidir\t+1\t-0\tb\t\t1\t0\nOUTPUT\t3\t0\ttoo_few_fields\n";
    EXPECT_EQ(RewriteTopPorts(result, false), "INPUT\t3\t0\ta\t\t\t\t\nBIDIR\t+1\t-0\tb\t\t\t\t\n");
}

} // namespace
} // namespace qve
