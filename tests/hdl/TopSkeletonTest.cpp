// The skeletons the full-source generators hand to the engine, and the connection file, from
// small projects: the examples line by line, the text pieces and their edge cases as tables.
#include "editor/hdl/TopGenerator.h"

#include "model/ModelText.h"
#include "platform/TextLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

std::string Blanks(std::size_t n) {
    return std::string(n, ' ');
}

class TopSkeleton : public ::testing::Test {
protected:
    void Load(const std::string& text, char assignOpenOut = 'N') {
        m.LineList = LinesFromText(text);
        m.PrjOpen = true;
        m.AssignOpenOut = assignOpenOut;
        m.UpdatePicExecute(RebuildSender::MainWindow);
        m.ClearLog();
    }
    Lines Verilog() {
        std::optional<std::string> text = VerilogSkeleton(m);
        EXPECT_TRUE(text);
        return platform::SplitLines(text.value_or(""));
    }
    Lines Vhdl() {
        std::optional<std::string> text = VhdlSkeleton(m);
        EXPECT_TRUE(text);
        return platform::SplitLines(text.value_or(""));
    }
    std::string VhdlText() { return VhdlSkeleton(m).value_or(""); }
    std::string VerilogText() { return VerilogSkeleton(m).value_or(""); }
    const Lines& Log() const { return m.Log.Lines(); }

    ProjectModel m;
};

const char* const CoreExample = "TOP\t\ttop\n"
                                "INPUT\t\t\tclk\n"
                                "OUTPUT\t7\t0\tdout\n"
                                "MODULE\tcore\tu_core\t/src/core.v\tverilog\n"
                                "INPUT\t\t\tclk\n"
                                "OUTPUT\t\t\tq\n"
                                "WIRE\tu_core\tclk\ttop\tclk\tclk\n";

TEST_F(TopSkeleton, VerilogExampleLineByLine) {
    Load(CoreExample, '0');
    EXPECT_EQ(Verilog(), (Lines{
                             "module top(",
                             "\tclk" + Blanks(17) + " ,",
                             "\tdout" + Blanks(16) + " ",
                             ");",
                             "input  " + Blanks(10) + " clk" + Blanks(17) + " ;",
                             "output [7:0]" + Blanks(5) + " dout" + Blanks(16) + " ;",
                             "",
                             "",
                             "//Instantiate cell modules",
                             "core u_core(",
                             "\t.clk" + Blanks(17) + " (__),",
                             "\t.q" + Blanks(19) + " (__)",
                             ");",
                             "",
                             "assign dout ={8{1'b0}};",
                         }));
    EXPECT_TRUE(Log().empty());
}

TEST_F(TopSkeleton, VhdlExampleLineByLine) {
    Load(CoreExample, '0');
    const std::string logic = "std_logic" + Blanks(26);
    EXPECT_EQ(Vhdl(), (Lines{
                          "library IEEE;",
                          "use IEEE.std_logic_1164.all;",
                          "entity top is port(",
                          "\tclk" + Blanks(17) + " :in     " + logic + ";",
                          "\tdout" + Blanks(16) + " :out    std_logic_vector(   7 downto    0) );",
                          "end top;",
                          "architecture ZUN2012_Arch of top is",
                          "",
                          "component core  ",
                          "\tport(",
                          "\t\tclk" + Blanks(17) + " :in     " + logic + ";",
                          "\t\tq" + Blanks(19) + " :out    " + logic + ");",
                          "end component;",
                          "--Internal Signals",
                          "clk",
                          "dout",
                          "--Internal Signals End",
                          "begin",
                          "u_core:core ",
                          "\tport map(",
                          "\t\tclk" + Blanks(17) + " => __,",
                          "\t\tq" + Blanks(19) + " => __);",
                          "",
                          "dout" + Blanks(16) + " <=(OTHERS=>'0');",
                          "end ZUN2012_Arch;",
                      }));
    EXPECT_TRUE(Log().empty());
}

TEST_F(TopSkeleton, ConnectionFileKeepsEveryLineButSuggestionsWithExactlySevenTabs) {
    m.LineList = LinesFromText("Version:\tZUN2012\t1.0\n"
                               "ES\t1\t2\t3\n"
                               "TOP\t\ttop\tnew_title\n"
                               "INPUT\t\t\tclk\n"
                               "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
                               "PARAMETER\t\t\tW\t8\t16\tK\tinteger\n"
                               "INPUT\t\t\tclk\n"
                               "WIRE\tu1\tclk\ttop\tclk\tclk\n"
                               "WIRE\tu1\tclk\ttop\tx\tx\t\t\t\t\t\t\tS\n"
                               "ASSIGN\t x = y \n");
    // Run-time fields beyond the seventh never reach the file.
    m.LineList[3][FieldKind] = "P";
    m.LineList[3][FieldIndex] = "0";
    EXPECT_EQ(ConnectionFileText(m.LineList), "Version:\tZUN2012\t1.0\t\t\t\t\t\r\n"
                                              "ES\t1\t2\t3\t\t\t\t\r\n"
                                              "TOP\t\ttop\tnew_title\t\t\t\t\r\n"
                                              "INPUT\t\t\tclk\t\t\t\t\r\n"
                                              "MODULE\tcore\tu1\t/src/core.v\tverilog\t\t\t\r\n"
                                              "PARAMETER\t\t\tW\t8\t16\tK\tinteger\r\n"
                                              "INPUT\t\t\tclk\t\t\t\t\r\n"
                                              "WIRE\tu1\tclk\ttop\tclk\tclk\t\t\r\n"
                                              "ASSIGN\t x = y \t\t\t\t\t\t\r\n");
}

// A declaration as the finishing job writes it, and an association written in full.
std::string Signal(const std::string& name, const std::string& tail) {
    return "signal " + name + Blanks(name.size() < 25 ? 25 - name.size() : 0) + " : std_logic" +
           tail + Blanks(tail.size() < 30 ? 30 - tail.size() : 0) + ";";
}
std::string Association(const std::string& formal, const std::string& actual, bool last = false) {
    return "\t\t" + formal + Blanks(formal.size() < 20 ? 20 - formal.size() : 0) + " => " + actual +
           Blanks(actual.size() < 25 ? 25 - actual.size() : 0) + (last ? ");" : ",");
}

struct PieceCase {
    const char* name;
    std::string project;
    char assignOpenOut;
    std::vector<std::string> present; // lines the skeleton has
    std::vector<std::string> absent;  // texts it must not hold
    Lines log;
};

void ExpectPieces(const PieceCase& c, const Lines& lines, const std::string& text,
                  const Lines& log) {
    SCOPED_TRACE(c.name);
    for (const std::string& line : c.present)
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end())
            << "no line \"" << line << "\" in\n"
            << text;
    for (const std::string& piece : c.absent)
        EXPECT_EQ(text.find(piece), std::string::npos) << "\"" << piece << "\" in\n" << text;
    EXPECT_EQ(log, c.log);
}

const std::string OneInstance = "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
                                "INPUT\t\t\ta\n";

TEST_F(TopSkeleton, VerilogPieces) {
    const PieceCase cases[] = {
        {"lone one-bit output tied to one",
         "TOP\t\ttop\nOUTPUT\t\t\tq\n",
         '1',
         {"assign q ={1{1'b1}};"},
         {},
         {}},
        {"tied to high impedance",
         "TOP\t\ttop\nOUTPUT\t3\t0\tq\n",
         'Z',
         {"assign q ={4{1'bZ}};"},
         {},
         {}},
        {"no tie-off with N", "TOP\t\ttop\nOUTPUT\t\t\tq\n", 'N', {}, {"assign"}, {}},
        {"no tie-off for a width that is not numeric",
         "TOP\t\ttop\nOUTPUT\tNA\t0\tq\t\tW-1\t0\n",
         '0',
         {"output [W-1:0]    q" + Blanks(19) + " ;"},
         {"assign"},
         {}},
        {"no tie-off for a connected output",
         "TOP\t\ttop\nOUTPUT\t\t\tq\nMODULE\tcore\tu1\t/c.v\tverilog\nOUTPUT\t\t\ty\n"
         "WIRE\tu1\ty\ttop\tq\tq\n",
         '0',
         {},
         {"assign"},
         {}},
        {"an output an ASSIGN line drives is not tied as well",
         "TOP\t\ttop\nOUTPUT\t3\t0\thi\nOUTPUT\t\t\tspare\nASSIGN\t hi = count [7:4] \n",
         '0',
         {"assign spare ={1{1'b0}};", "assign  hi = count [7:4] ;"},
         {"assign hi ={"},
         {}},
        {"defparam only for an instance value that differs from the default",
         "TOP\t\ttop\nINPUT\t\t\tclk\nMODULE\tcore\tu1\t/c.v\tverilog\n"
         "PARAMETER\t\t\tSAME\t8\t8\tK\nPARAMETER\t\t\tNONE\t8\t\tK\n"
         "PARAMETER\t\t\tW\t8\t16\tK\nINPUT\t\t\tclk\n",
         'N',
         {"defparam u1.W = 16 ;"},
         {"defparam u1.SAME", "defparam u1.NONE"},
         {}},
        {"variant and unknown top ports are left out of list and declarations",
         "TOP\t\ttop\nINPUT\t\t\ta\nKVAR\t\t\tv\n",
         'N',
         {"\ta" + Blanks(19) + " ", "input  " + Blanks(10) + " a" + Blanks(19) + " ;"},
         {"\tv "},
         {"Warning: Ignore variant port:v."}},
        {"a top without ports has an empty list",
         "TOP\t\ttop\n" + OneInstance,
         'N',
         {"module top(", ");"},
         {},
         {"Warning: No top level port exists."}},
        {"an instance without ports is its head and the end",
         "TOP\t\ttop\nINPUT\t\t\tclk\nMODULE\tempty\tu0\t/e.v\tverilog\n",
         'N',
         {"empty u0(", ");"},
         {},
         {"Warning: No port in module u0."}},
        {"a variant instance port is connected like any other",
         "TOP\t\ttop\nINPUT\t\t\tclk\nMODULE\tcore\tu1\t/c.v\tverilog\nKVAR\t\t\tv\n",
         'N',
         {"\t.v" + Blanks(19) + " (__)"},
         {},
         {}},
    };
    for (const PieceCase& c : cases) {
        Load(c.project, c.assignOpenOut);
        const std::string text = VerilogText();
        ExpectPieces(c, platform::SplitLines(text), text, Log());
    }
    Load("TOP\t\ttop\nOUTPUT\t\t\tq\nASSIGN\t a = b \nASSIGN\t c = d \n", '0');
    const Lines lines = Verilog();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(Lines(lines.end() - 3, lines.end()),
              (Lines{"assign q ={1{1'b0}};", "assign  a = b ;", "assign  c = d ;"}));
}

TEST_F(TopSkeleton, VhdlPieces) {
    const std::string logic = "std_logic" + Blanks(26);
    const PieceCase cases[] = {
        {"a descending top input",
         "TOP\t\ttop\nINPUT\t3\t0\ta\n",
         'N',
         {"\ta" + Blanks(19) + " :in     std_logic_vector(   3 downto    0) );"},
         {},
         {}},
        {"an ascending one",
         "TOP\t\ttop\nINPUT\t0\t3\ta\n",
         'N',
         {"\ta" + Blanks(19) + " :in     std_logic_vector(   0 to    3)" + Blanks(5) + ");"},
         {},
         {}},
        {"a component keeps the bound expressions of its port line",
         "TOP\t\ttop\nINPUT\t\t\tclk\nMODULE\tcore\tu1\t/c.vhd\tvhdl\n"
         "PARAMETER\t\t\tW\t8\t\tK\tinteger\nOUTPUT\t7\t0\tq\t\tW-1\t0\n",
         'N',
         {"\t\tq" + Blanks(19) + " :out    std_logic_vector( W-1 downto    0) );"},
         {},
         {}},
        {"a top output read inside the design is out, written from a signal of its own",
         "TOP\t\ttop\nOUTPUT\t\t\ty\nMODULE\tsrc\tu1\t/s.vhd\tvhdl\nOUTPUT\t\t\tq\n"
         "MODULE\tsnk\tu2\t/k.vhd\tvhdl\nINPUT\t\t\td\n"
         "WIRE\tu1\tq\ttop\ty\ty\nWIRE\tu1\tq\tu2\td\ty\n",
         'N',
         {"\ty" + Blanks(19) + " :out    " + logic + ");", Signal("y_int", " "),
          Association("q", "y_int", true), Association("d", "y_int", true),
          "y" + Blanks(19) + " <= y_int;"},
         {":buffer"},
         {}},
        {"a component output of an OUTPUT_B line is a buffer",
         "TOP\t\ttop\nINPUT\t\t\tclk\nMODULE\tsrc\tu1\t/s.vhd\tvhdl\nOUTPUT_B\t\t\tq\n",
         'N',
         {"\t\tq" + Blanks(19) + " :buffer " + logic + ");"},
         {},
         {}},
        {"two instances of a module give one component from the first",
         "TOP\t\ttop\nINPUT\t\t\tclk\n"
         "MODULE\tcore\tu1\t/c.vhd\tvhdl\nPARAMETER\t\t\tW\t8\t\tK\tinteger\nOUTPUT\t\t\tq\n"
         "MODULE\tcore\tu2\t/c.vhd\tvhdl\nPARAMETER\t\t\tW\t4\t16\tK\tnatural\nOUTPUT\t\t\tq\n",
         'N',
         {"\t\tW" + Blanks(19) + " : integer" + Blanks(13) + " :=8    );", "u1:core ", "u2:core ",
          "\t\tW" + Blanks(19) + " => 8    )", "\t\tW" + Blanks(19) + " => 16   )"},
         {"natural"},
         {}},
        {"one-bit and vector tie-offs",
         "TOP\t\ttop\nOUTPUT\t\t\tdone\nOUTPUT\t3\t0\tv\n",
         'Z',
         {"done" + Blanks(16) + " <='Z';", "v" + Blanks(19) + " <=(OTHERS=>'Z');"},
         {},
         {}},
        {"ASSIGN lines take their first \" = \" as \" <= \"",
         "TOP\t\ttop\nINPUT\t\t\tx\nASSIGN\t x = y \nASSIGN\t a = b = c \nASSIGN\t plain \n",
         'N',
         {" x <= y ;", " a <= b = c ;", " plain ;"},
         {},
         {}},
        {"variant and unknown top ports stay in the signals block only",
         "TOP\t\ttop\nINPUT\t\t\ta\nKVAR\t\t\tv\n",
         'N',
         {"\ta" + Blanks(19) + " :in     " + logic + ");", "v"},
         {"\tv "},
         {"Warning: Ignore variant port:v."}},
    };
    for (const PieceCase& c : cases) {
        Load(c.project, c.assignOpenOut);
        const std::string text = VhdlText();
        ExpectPieces(c, platform::SplitLines(text), text, Log());
    }
}

// What the engine and ghdl would refuse: each row once was a skeleton no VHDL tool accepts.
TEST_F(TopSkeleton, VhdlFaultsAreMended) {
    const PieceCase cases[] = {
        {"an entity without ports has no empty port clause",
         "TOP\t\ttop\nMODULE\tcore\tu1\t/src/core.v\tverilog\nOUTPUT\t\t\tq\n",
         'N',
         {"entity top is", "end top;", "--Internal Signals", "--Internal Signals End"},
         {"port(\n);"},
         {"Warning: No top level port exists."}},
        {"an entity of variant ports only has none either",
         "TOP\t\ttop\nKVAR\t\t\tv\n",
         'N',
         {"entity top is", "v"},
         {"port(\n);"},
         {"Warning: Ignore variant port:v."}},
        {"a component without ports has no port clause and its instance no port map",
         "TOP\t\ttop\nINPUT\t\t\tclk\nMODULE\tempty\tu0\t/e.vhd\tvhdl\n",
         'N',
         {"component empty  ", "end component;", "u0:empty ;"},
         {"port(\n);", "port map(\n);"},
         {"Warning: No port in module empty."}},
        {"a variant component port writes no separator and no association",
         "TOP\t\ttop\nINPUT\t\t\tclk\nMODULE\tcore\tu1\t/c.vhd\tvhdl\n"
         "INPUT\t\t\ta\nKVAR\t\t\tv\nKVAR\t\t\tw\n"
         "WIRE\tu1\ta\ttop\tclk\tclk\n",
         'N',
         {"\t\ta" + Blanks(19) + " :in     std_logic" + Blanks(26) + ");",
          "\t\ta" + Blanks(19) + " => __);"},
         {";;", ";\n);", "v" + Blanks(19) + " =>", "w" + Blanks(19) + " =>"},
         {"Warning: Unknown port:v", "Warning: Unknown port:w"}},
        {"a generic without default has no \":=\" and, without instance value, no association",
         "TOP\t\ttop\nINPUT\t\t\tclk\nMODULE\tcore\tu1\t/c.vhd\tvhdl\n"
         "PARAMETER\t\t\tW\t\t\tK\tinteger\nPARAMETER\t\t\tD\t2\t\tK\tinteger\n"
         "INPUT\t\t\tclk\nWIRE\tu1\tclk\ttop\tclk\tclk\n",
         'N',
         {"\t\tW" + Blanks(19) + " : integer" + Blanks(13) + ";",
          "\t\tD" + Blanks(19) + " => 2    )"},
         {":= ;", ":=     ;", "W" + Blanks(19) + " =>"},
         {"Warning: No value for GENERIC W (u1)."}},
        {"a generic without default valued on the instance is mapped",
         "TOP\t\ttop\nINPUT\t\t\tclk\nMODULE\tcore\tu1\t/c.vhd\tvhdl\n"
         "PARAMETER\t\t\tW\t\t4\tK\tinteger\nINPUT\t\t\tclk\nWIRE\tu1\tclk\ttop\tclk\tclk\n",
         'N',
         {"\t\tW" + Blanks(19) + " : integer" + Blanks(13) + ");",
          "\t\tW" + Blanks(19) + " => 4    )"},
         {},
         {}},
        {"a vector of one bit is tied as a vector",
         "TOP\t\ttop\nOUTPUT\t3\t3\tb3\n",
         '0',
         {"b3" + Blanks(18) + " <=(OTHERS=>'0');"},
         {"<='0'"},
         {}},
        {"a lone instance input is told, as VHDL does not let it be open",
         "TOP\t\ttop\nINPUT\t\t\tclk\n" + OneInstance,
         'N',
         {},
         {},
         {"Warning: The input port a (u1) is left open; VHDL requires it to be connected."}},
        {"a one-bit bus slice on a net of a one-bit vector port is a one-element slice",
         "TOP\t\ttop\nOUTPUT\t1\t0\trd\tY\nINPUT\t1\t0\tbi\tY\n"
         "MODULE\tcore\tu1\t/c.vhd\tvhdl\n"
         "OUTPUT\t3\t3\tf\nOUTPUT\t\t\tg\nINPUT\t5\t5\te\nINPUT\t\t\th\n"
         "WIRE\tu1\tf\ttop\trd\tW0\nWIRE\tu1\tg\ttop\trd\tW1\n"
         "WIRE\tu1\te\ttop\tbi\tW2\nWIRE\tu1\th\ttop\tbi\tW3\n"
         "ASSIGN\t rd [1:1] = W0 \nASSIGN\t rd [0:0] = W1 \n"
         "ASSIGN\t W2 = bi [1:1] \nASSIGN\t W3 = bi [0:0] \n",
         'N',
         {" rd (1 downto 1) <= W0 ;", " rd [0:0] <= W1 ;", " W2 <= bi (1 downto 1) ;",
          " W3 <= bi [0:0] ;"},
         {"[1:1]"},
         {}},
    };
    for (const PieceCase& c : cases) {
        Load(c.project, c.assignOpenOut);
        const std::string text = VhdlText();
        ExpectPieces(c, platform::SplitLines(text), text, Log());
    }
}

TEST_F(TopSkeleton, WithoutTopModuleNothingIsWritten) {
    Load(OneInstance);
    EXPECT_FALSE(VerilogSkeleton(m));
    EXPECT_FALSE(VhdlSkeleton(m));
    EXPECT_EQ(Log(), (Lines{"Error: No top module found. File damaged.",
                            "Error: No top module found. File damaged."}));
}

} // namespace
