// The skeletons the full-source generators hand to the engine, and the connection file, from
// small projects: the examples line by line, the text pieces and their edge cases as tables.
#include "editor/hdl/TopGenerator.h"

#include "model/ModelText.h"
#include "platform/TextLines.h"
#include "support/FileFixtures.h"

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

// u1 drives q and r, u2 reads d and e.
const std::string TwoInstances = "MODULE\tcore\tu1\t/c.v\tverilog\nOUTPUT\t\t\tq\nOUTPUT\t\t\tr\n"
                                 "MODULE\tsink\tu2\t/s.v\tverilog\nINPUT\t\t\td\nINPUT\t\t\te\n";

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
        // Each of these once left a top port without its net: the finishing job names nets.
        {"a top output on the net another top output names takes its value",
         "TOP\t\ttop\nOUTPUT\t\t\tdout2\nOUTPUT\t\t\tq\n" + TwoInstances +
             "WIRE\tu1\tq\tu2\td\tq\nWIRE\tu1\tq\ttop\tdout2\tq\nWIRE\tu1\tq\ttop\tq\tq\n",
         'N',
         {"assign dout2 = q ;"},
         {"assign q ="},
         {}},
        {"a top output on an inner net named otherwise takes its value",
         "TOP\t\ttop\nOUTPUT\t7\t0\tz\n" + TwoInstances + "WIRE\tu1\tq\ttop\tz\tn\n",
         'N',
         {"assign z = n ;"},
         {},
         {}},
        {"a top input on a net named otherwise drives it, also the net of a top output",
         "TOP\t\ttop\nINPUT\t\t\ti\nINPUT\t\t\tj\nOUTPUT\t\t\to\n" + TwoInstances +
             "WIRE\tu2\td\ttop\ti\tn\nWIRE\tu2\te\ttop\tj\to\nWIRE\tu2\te\ttop\to\to\n",
         'N',
         {"assign n = i ;", "assign o = j ;"},
         {"assign j =", "assign i ="},
         {}},
        {"a top input on the net another top input names drives nothing: that one does",
         "TOP\t\ttop\nINPUT\t\t\ti\nINPUT\t\t\tclk\n" + TwoInstances +
             "WIRE\tu2\td\ttop\tclk\tclk\nWIRE\tu2\td\ttop\ti\tclk\n",
         'N',
         {},
         {"assign"},
         {}},
        {"a combined bus meets its slice nets through its ASSIGN lines only",
         "TOP\t\ttop\nOUTPUT\t1\t0\trd\tY\nINPUT\t1\t0\tbi\tY\n" + TwoInstances +
             "WIRE\tu1\tq\ttop\trd\tW0\nWIRE\tu1\tr\ttop\trd\tW1\n"
             "WIRE\tu2\td\ttop\tbi\tW2\nWIRE\tu2\te\ttop\tbi\tW3\n"
             "ASSIGN\t rd [1:1] = W0 \nASSIGN\t rd [0:0] = W1 \n"
             "ASSIGN\t W2 = bi [1:1] \nASSIGN\t W3 = bi [0:0] \n",
         'N',
         {"assign  rd [1:1] = W0 ;", "assign  W3 = bi [0:0] ;"},
         {"assign rd =", "assign W2 = bi ;"},
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
        {"a generic whose default names another generic is left to the component's default",
         "TOP\t\ttop\nINPUT\t\t\tclk\nMODULE\tram\tu1\t/r.vhd\tvhdl\n"
         "PARAMETER\t\t\tADDR_W\t3\t\tK\tpositive\nPARAMETER\t\t\tDEPTH_G\t2 ** "
         "Addr_W\t\t\tpositive\n"
         "INPUT\t\t\tclk\nWIRE\tu1\tclk\ttop\tclk\tclk\n",
         'N',
         {"\t\tDEPTH_G" + Blanks(13) + " : positive" + Blanks(12) + " :=2 ** Addr_W);",
          "\t\tADDR_W" + Blanks(14) + " => 3    )"},
         {"DEPTH_G" + Blanks(13) + " =>"},
         {}},
        {"a character literal in a default names no generic",
         "TOP\t\ttop\nINPUT\t\t\tclk\nMODULE\tuart\tu1\t/u.vhd\tvhdl\n"
         "PARAMETER\t\t\tC\t1\t\tK\tnatural\nPARAMETER\t\t\tSTOP_G\t'c'\t\t\tcharacter\n"
         "INPUT\t\t\tclk\nWIRE\tu1\tclk\ttop\tclk\tclk\n",
         'N',
         {"\t\tSTOP_G" + Blanks(14) + " => 'c'  )"},
         {},
         {}},
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
         // The combined ports' nets are named otherwise, yet only the slices join them.
         {"[1:1]", "rd                   <=", "W2                   <="},
         {}},
    };
    for (const PieceCase& c : cases) {
        Load(c.project, c.assignOpenOut);
        const std::string text = VhdlText();
        ExpectPieces(c, platform::SplitLines(text), text, Log());
    }
}

// The modules of the net cases: u1 drives std_logic, vectors of one bit (0 and 3), a buffer and
// a byte; u2 and u3 read std_logic, vectors of one bit (0 and 5) and a byte.
const std::string NetModules = "MODULE\tsrc\tu1\t/s.vhd\tvhdl\n"
                               "OUTPUT\t\t\ts\nOUTPUT\t0\t0\tv0\nOUTPUT\t3\t3\tv3\n"
                               "OUTPUT_B\t\t\tb\nOUTPUT\t7\t0\tw\n"
                               "MODULE\tsnk\tu2\t/k.vhd\tvhdl\n"
                               "INPUT\t\t\td\nINPUT\t0\t0\te0\nINPUT\t5\t5\te5\nINPUT\t7\t0\tx\n"
                               "MODULE\tsnk\tu3\t/k.vhd\tvhdl\n"
                               "INPUT\t\t\td\nINPUT\t0\t0\te0\nINPUT\t5\t5\te5\nINPUT\t7\t0\tx\n";

std::string Copy(const std::string& target, const std::string& value) {
    return target + Blanks(target.size() < 20 ? 20 - target.size() : 0) + " <= " + value + ";";
}

// Each row once was a top that ghdl refused: an association of a std_logic with a vector of one
// bit, or an output the design reads under VHDL-93 (an out port is not read there, and an
// instance's out or buffer port does not bind to a buffer or out port of the top).
TEST_F(TopSkeleton, VhdlPortsMeetTheirNetsAsVhdlTypesThem) {
    const std::string logic = "std_logic" + Blanks(26);
    const std::string placeholder = Blanks(20 - 2) + " => __";
    const PieceCase cases[] = {
        {"a std_logic output on a vector of one bit meets the vector net's element",
         "TOP\t\ttop\nINPUT\t\t\tclk\n" + NetModules + "WIRE\tu1\ts\tu2\te0\tn\n",
         'N',
         {Association("s", "n(0)"), "\t\te0" + placeholder + ","},
         {"e0(0)"},
         {}},
        {"a std_logic input on a vector of one bit meets the vector net's element",
         "TOP\t\ttop\nINPUT\t\t\tclk\n" + NetModules + "WIRE\tu1\tv3\tu2\td\tn\n",
         'N',
         {Association("d", "n(3)"), "\t\tv3" + placeholder + ","},
         {},
         {}},
        {"a vector of one bit on a net its first line types std_logic meets it by its element",
         "TOP\t\ttop\nINPUT\t\t\tclk\n" + NetModules +
             "WIRE\tu1\ts\tu2\td\tn\nWIRE\tu1\ts\tu2\te5\tn\n",
         'N',
         {Association("e5(5)", "n"), "\t\ts" + Blanks(19) + " => __,",
          "\t\td" + Blanks(19) + " => __,"},
         {},
         {}},
        {"a std_logic top input meets a vector of one bit by the vector's element",
         "TOP\t\ttop\nINPUT\t\t\tclk\n" + NetModules + "WIRE\tu2\te5\ttop\tclk\tclk\n",
         'N',
         {Association("e5(5)", "clk")},
         {},
         {}},
        {"a top input that is a vector of one bit meets a std_logic input by its element",
         "TOP\t\ttop\nINPUT\t0\t0\tpick\n" + NetModules + "WIRE\tu2\td\ttop\tpick\tpick\n",
         'N',
         {Association("d", "pick(0)")},
         {},
         {}},
        {"a std_logic top output meets a vector of one bit by the vector's element",
         "TOP\t\ttop\nOUTPUT\t\t\tflag\n" + NetModules + "WIRE\tu1\tv0\ttop\tflag\tflag\n",
         'N',
         {Association("v0(0)", "flag"), "\tflag" + Blanks(16) + " :out    " + logic + ");"},
         {"flag_int"},
         {}},
        {"a top output that is a vector of one bit meets a std_logic output by its element",
         "TOP\t\ttop\nOUTPUT\t3\t3\to3\n" + NetModules + "WIRE\tu1\ts\ttop\to3\to3\n",
         'N',
         {Association("s", "o3(3)")},
         {},
         {}},
        {"an output read by two instances and feeding another top output has one signal",
         "TOP\t\ttop\nOUTPUT\t\t\ty\nOUTPUT\t\t\ty2\n" + NetModules +
             "WIRE\tu1\ts\ttop\ty\ty\nWIRE\tu1\ts\tu2\td\ty\nWIRE\tu1\ts\tu3\td\ty\n"
             "WIRE\tu1\ts\ttop\ty2\ty\n",
         'N',
         {"\ty" + Blanks(19) + " :out    " + logic + ";",
          "\ty2" + Blanks(18) + " :out    " + logic + ");", "--Internal Signals End",
          Signal("y_int", " "), "begin", Association("s", "y_int"), Association("d", "y_int"),
          Copy("y2", "y_int"), Copy("y", "y_int"), "end ZUN2012_Arch;"},
         {"\ty" + Blanks(19) + " :buffer", "y2_int"},
         {}},
        {"an output an instance's buffer port drives goes through a signal",
         "TOP\t\ttop\nOUTPUT\t\t\tq\n" + NetModules + "WIRE\tu1\tb\ttop\tq\tq\n",
         'N',
         {"\t\tb" + Blanks(19) + " :buffer " + logic + ";", Signal("q_int", " "),
          Association("b", "q_int"), Copy("q", "q_int")},
         {"\tq" + Blanks(19) + " :buffer"},
         {}},
        {"an output an ASSIGN line reads is read through its signal",
         "TOP\t\ttop\nINPUT\t\t\toe\nOUTPUT\t\t\tp\nBIDIR\t\t\tio\n" + NetModules +
             "WIRE\tu1\ts\ttop\tp\tp\nASSIGN\t io = ( oe ==1'b1)? 1'bz : p \n",
         'N',
         {Association("s", "p_int"), " io <= ( oe ==1'b1)? 1'bz : p_int ;", Copy("p", "p_int")},
         {},
         {}},
        {"an output ASSIGN lines drive and read is both through its signal",
         "TOP\t\ttop\nINPUT\t7\t0\ta\nOUTPUT\t3\t0\thi\nOUTPUT\t3\t0\tlo\n"
         "ASSIGN\t hi = a [7:4] \nASSIGN\t lo = hi \n",
         'N',
         {Signal("hi_int", "_vector(3 downto 0)"), " hi_int <= a [7:4] ;", " lo <= hi_int ;",
          Copy("hi", "hi_int")},
         {"lo_int"},
         {}},
        {"an open output an ASSIGN line reads is tied through its signal",
         "TOP\t\ttop\nOUTPUT\t\t\tt\nOUTPUT\t\t\tt2\nASSIGN\t t2 = t \n",
         '0',
         {"t_int" + Blanks(15) + " <='0';", " t2 <= t_int ;", Copy("t", "t_int")},
         {"t2" + Blanks(18) + " <='0';"},
         {}},
        {"the signal takes a number where its name is taken in any letter case",
         "TOP\t\ttop\nOUTPUT\t\t\ty\n" + NetModules +
             "WIRE\tu1\ts\ttop\ty\ty\nWIRE\tu1\ts\tu2\td\ty\nWIRE\tu1\tv0\tu2\te0\tY_Int\n",
         'N',
         {Signal("y_int2", " "), Association("d", "y_int2"), Copy("y", "y_int2")},
         {},
         {}},
        {"a name that ends in an underscore takes no second one",
         "TOP\t\ttop\nOUTPUT\t\t\ty_\n" + NetModules +
             "WIRE\tu1\ts\ttop\ty_\ty_\nWIRE\tu1\ts\tu2\td\ty_\n",
         'N',
         {Signal("y_int", " "), Copy("y_", "y_int")},
         {"y__int"},
         {}},
        {"a std_logic output read inside and driven by a vector of one bit",
         "TOP\t\ttop\nOUTPUT\t\t\tflag\n" + NetModules +
             "WIRE\tu1\tv0\ttop\tflag\tflag\nWIRE\tu1\tv0\tu2\td\tflag\n",
         'N',
         {Signal("flag_int", " "), Association("v0(0)", "flag_int"), Association("d", "flag_int"),
          Copy("flag", "flag_int")},
         {},
         {}},
        {"a top input on a net a top output names drives the net",
         "TOP\t\ttop\nINPUT\t0\t0\ti\nOUTPUT\t\t\to\n" + NetModules +
             "WIRE\tu2\td\ttop\ti\to\nWIRE\tu2\td\ttop\to\to\n",
         'N',
         {Signal("o_int", " "), Association("d", "o_int"), Copy("o_int", "i(0)"),
          Copy("o", "o_int")},
         {},
         {}},
        {"a top output on a net named otherwise takes the net, by element where types differ",
         "TOP\t\ttop\nOUTPUT\t0\t0\tz\n" + NetModules +
             "WIRE\tu1\ts\tu2\td\tn\nWIRE\tu1\ts\ttop\tz\tn\n",
         'N',
         {Copy("z(0)", "n"), "\t\ts" + Blanks(19) + " => __,"},
         {"z_int"},
         {}},
    };
    for (const PieceCase& c : cases) {
        Load(c.project, c.assignOpenOut);
        const std::string text = VhdlText();
        // The modules' inputs that a case leaves open are told of, as always.
        Lines log;
        for (const std::string& line : Log())
            if (line.find(") is left open; VHDL requires it to be connected.") == std::string::npos)
                log.push_back(line);
        ExpectPieces(c, platform::SplitLines(text), text, log);
    }
}

// The nets of the rename cases: u1 drives a std_logic and a byte, u2 and u3 read them; u4 and u5
// have an inout each.
const std::string RenameModules = "MODULE\tsrc\tu1\t/s.vhd\tvhdl\nOUTPUT\t\t\ts\nOUTPUT\t7\t0\tw\n"
                                  "MODULE\tsnk\tu2\t/k.vhd\tvhdl\nINPUT\t\t\td\nINPUT\t7\t0\tx\n"
                                  "MODULE\tsnk\tu3\t/k.vhd\tvhdl\nINPUT\t\t\td\nINPUT\t7\t0\tx\n"
                                  "MODULE\tpin\tu4\t/p.vhd\tvhdl\nBIDIR\t\t\tio\n"
                                  "MODULE\tpin\tu5\t/p.vhd\tvhdl\nBIDIR\t\t\tio\n";

// Each row once was a top that ghdl refused (a second declaration of one name), or one whose
// wires were joined wrongly (a net taken for a top port, an inout left apart from its net).
TEST_F(TopSkeleton, NetsTheTopCannotNameAsTheProjectDoesAreRenamed) {
    struct Case {
        const char* name;
        bool vhdl;
        std::string project;
        Lines renamed;                  // "old>new", sorted
        Lines present;                  // skeleton lines
        std::vector<std::string> wires; // field 5 of the connection file's wire lines, in order
        Lines log;
    };
    const Case cases[] = {
        {"VHDL: nets that differ in letter case only",
         true,
         "TOP\t\ttop\nINPUT\t\t\tclk\n" + RenameModules +
             "WIRE\tu1\ts\tu2\td\tData\nWIRE\tu1\tw\tu2\tx\tdata\nWIRE\tu1\tw\tu3\tx\tdata\n",
         {"data>data_2"},
         {},
         {"Data", "data_2", "data_2"},
         {}},
        {"VHDL: a net named like a top port in another letter case is no top port",
         true,
         "TOP\t\ttop\nOUTPUT\t\t\tS\n" + RenameModules +
             "WIRE\tu1\ts\tu2\td\ts\nWIRE\tu3\td\ttop\tS\tS\n",
         {"s>s_2"},
         {},
         {"s_2", "S"},
         {}},
        {"VHDL: nets named like an instance, a module or the top, and a name the next takes",
         true,
         "TOP\t\ttop\nINPUT\t\t\tclk\n" + RenameModules +
             "WIRE\tu1\ts\tu2\td\tU1\nWIRE\tu1\tw\tu2\tx\tSnk\nWIRE\tu4\tio\tu5\tio\tTOP\n"
             "WIRE\tu1\tw\tu3\tx\tu1_2\n",
         {"Snk>Snk_2", "TOP>TOP_2", "U1>U1_3"},
         {},
         {"U1_3", "Snk_2", "TOP_2", "u1_2"},
         {}},
        {"VHDL: extended names differ in letter case, and a renamed one stays extended",
         true,
         "TOP\t\ttop\nINPUT\t\t\tclk\n" + RenameModules +
             "WIRE\tu1\ts\tu2\td\t\\Ab\\\nWIRE\tu1\tw\tu2\tx\t\\ab\\\nWIRE\tu1\tw\tu3\tx\t\\AB\\\n"
             "WIRE\tu4\tio\tu5\tio\t\\u1\\\n",
         {},
         {},
         {"\\Ab\\", "\\ab\\", "\\AB\\", "\\u1\\"},
         {}},
        {"VHDL: an ASSIGN line names the renamed net",
         true,
         "TOP\t\ttop\nOUTPUT\t1\t0\trd\tY\n" + RenameModules +
             "WIRE\tu1\ts\ttop\trd\tW0\nWIRE\tu4\tio\tu5\tio\tw0\n"
             "ASSIGN\t rd [1:1] = W0 \nASSIGN\t rd [0:0] = w0 \n",
         {"w0>w0_2"},
         {" rd [1:1] <= W0 ;", " rd [0:0] <= w0_2 ;"},
         {"W0", "w0_2"},
         {}},
        {"VHDL: a top inout on a net named otherwise gives the net its name",
         true,
         "TOP\t\ttop\nBIDIR\t\t\tpad\n" + RenameModules +
             "WIRE\tu4\tio\tu5\tio\tWire_u4_io\nWIRE\tu4\tio\ttop\tpad\tWire_u4_io\n",
         {"Wire_u4_io>pad"},
         {},
         {"pad", "pad"},
         {}},
        {"Verilog: a top inout on a net named otherwise gives the net its name",
         false,
         "TOP\t\ttop\nBIDIR\t\t\tpad\n" + RenameModules +
             "WIRE\tu4\tio\tu5\tio\tWire_u4_io\nWIRE\tu4\tio\ttop\tpad\tWire_u4_io\n",
         {"Wire_u4_io>pad"},
         {},
         {"pad", "pad"},
         {}},
        {"Verilog: a second top inout on the net is told of; the net is the first's",
         false,
         "TOP\t\ttop\nBIDIR\t\t\tpad\nBIDIR\t\t\tio_pad\n" + RenameModules +
             "WIRE\tu4\tio\tu5\tio\tn\nWIRE\tu4\tio\ttop\tpad\tn\n"
             "WIRE\tu4\tio\ttop\tio_pad\tn\n",
         {"n>pad"},
         {},
         {"pad", "pad", "pad"},
         {"Warning: The inout port io_pad (top) is left unconnected: its net is the inout port "
          "pad, and HDL joins no two inout ports of a module."}},
        {"VHDL: a second top inout on a net that a top inout names is told of",
         true,
         "TOP\t\ttop\nBIDIR\t\t\tpad\nBIDIR\t\t\tio_pad\n" + RenameModules +
             "WIRE\tu4\tio\tu5\tio\tio_pad\nWIRE\tu4\tio\ttop\tpad\tio_pad\n"
             "WIRE\tu4\tio\ttop\tio_pad\tio_pad\n",
         {},
         {},
         {"io_pad", "io_pad", "io_pad"},
         {"Warning: The inout port pad (top) is left unconnected: its net is the inout port "
          "io_pad, and HDL joins no two inout ports of a module."}},
        {"Verilog: nets named like an instance, and a name the next takes",
         false,
         "TOP\t\ttop\nOUTPUT\t\t\tu5_2\n" + RenameModules +
             "WIRE\tu1\ts\tu2\td\tu2\nWIRE\tu1\tw\tu2\tx\tu3\nWIRE\tu1\tw\tu3\tx\tu3\n"
             "WIRE\tu4\tio\tu5\tio\tu5\nWIRE\tu1\ts\tu3\td\tu2\n"
             "WIRE\tu3\td\ttop\tu5_2\tu3_2\n",
         {"u2>u2_2", "u3>u3_3", "u5>u5_3"},
         {},
         {"u2_2", "u3_3", "u3_3", "u5_3", "u2_2", "u3_2"},
         {}},
        {"Verilog: an ASSIGN line names the renamed net; one named like an instance in another "
         "letter case keeps its name, an escaped one stays escaped",
         false,
         "TOP\t\ttop\nOUTPUT\t1\t0\trd\tY\n" + RenameModules +
             "WIRE\tu1\ts\ttop\trd\tu1\nWIRE\tu4\tio\tu5\tio\tU4\n"
             "WIRE\tu1\tw\tu2\tx\t\\u2 \nWIRE\tu2\td\tu3\td\t\\u3\n"
             "ASSIGN\t rd [1:1] = u1 \n",
         {"\\u2 >\\u2_2 ", "\\u3>\\u3_2", "u1>u1_2"},
         {"assign  rd [1:1] = u1_2 ;"},
         {"u1_2", "U4", "\\u2_2 ", "\\u3_2"},
         {}},
        {"Verilog: nets that differ in letter case only keep their names",
         false,
         "TOP\t\ttop\nINPUT\t\t\tclk\n" + RenameModules +
             "WIRE\tu1\ts\tu2\td\tData\nWIRE\tu1\tw\tu2\tx\tdata\n",
         {},
         {},
         {"Data", "data"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load(c.project);
        NetRenames renamed;
        const std::string text =
            (c.vhdl ? VhdlSkeleton(m, {}, &renamed) : VerilogSkeleton(m, &renamed)).value_or("");
        Lines pairs;
        for (const auto& [from, to] : renamed)
            pairs.push_back(from + ">" + to);
        std::sort(pairs.begin(), pairs.end());
        EXPECT_EQ(pairs, c.renamed);
        const Lines lines = platform::SplitLines(text);
        for (const std::string& line : c.present)
            EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end())
                << "no line \"" << line << "\" in\n"
                << text;
        std::vector<std::string> wires;
        for (const std::string& line :
             platform::SplitLines(ConnectionFileText(m.LineList, renamed)))
            if (line.rfind("WIRE\t", 0) == 0) {
                std::vector<std::string> fields;
                for (std::size_t at = 0; at <= line.size();) {
                    const std::size_t tab = std::min(line.find('\t', at), line.size());
                    fields.push_back(line.substr(at, tab - at));
                    at = tab + 1;
                }
                wires.push_back(fields[5]);
            }
        EXPECT_EQ(wires, c.wires);
        Lines log;
        for (const std::string& line : Log())
            if (line.find(") is left open; VHDL requires it to be connected.") == std::string::npos)
                log.push_back(line);
        EXPECT_EQ(log, c.log);
    }
}

// A module whose source gives context clauses and defaults, instanced twice: en and mask stay
// open on both, go on u2 only, ld on none, and a (without default) on both.
const std::string DefaultsProject = "TOP\t\ttop\nINPUT\t\t\tclk\n"
                                    "MODULE\tcore\tu1\t/c.vhd\tvhdl\n"
                                    "INPUT\t\t\tclk\nINPUT\t\t\ten\nINPUT\t3\t0\tmask\n"
                                    "INPUT\t\t\tgo\nINPUT\t\t\tld\nINPUT\t\t\ta\nOUTPUT\t\t\tq\n"
                                    "MODULE\tcore\tu2\t/c.vhd\tvhdl\n"
                                    "INPUT\t\t\tclk\nINPUT\t\t\ten\nINPUT\t3\t0\tmask\n"
                                    "INPUT\t\t\tgo\nINPUT\t\t\tld\nINPUT\t\t\ta\nOUTPUT\t\t\tq\n"
                                    "MODULE\tedge\tu3\t/e.vhd\tvhdl\nINPUT\t\t\td\n"
                                    "WIRE\tu1\tclk\ttop\tclk\tclk\nWIRE\tu1\tclk\tu2\tclk\tclk\n"
                                    "WIRE\tu1\tgo\ttop\tclk\tclk\nWIRE\tu1\tld\ttop\tclk\tclk\n"
                                    "WIRE\tu2\tld\ttop\tclk\tclk\nWIRE\tu3\td\ttop\tclk\tclk\n";

VhdlSourceFacts DefaultsSources() {
    VhdlSourceFacts facts;
    VhdlEntityContext& core = facts["core"];
    core.Found = true;
    core.Clauses = {"library ieee;", "use ieee.std_logic_1164.all;", "use ieee.numeric_std.all;",
                    "library work;", "use work.fifo_pkg.all;"};
    core.Defaults = {{"en", "'1'"}, {"mask", "(others => '0')"},
                     {"go", "'H'"}, {"ld", "'0'"},
                     {"q", "'0'"},  {"clk", "'0'"}};
    VhdlEntityContext& edge = facts["edge"];
    edge.Found = true;
    edge.Clauses = {"LIBRARY IEEE;",  "USE IEEE.STD_LOGIC_1164.ALL;", "use WORK.FIFO_PKG.ALL;",
                    "library lib_b;", "use lib_b.units.W;",           "USE IEEE.NUMERIC_STD.ALL;"};
    return facts;
}

TEST_F(TopSkeleton, VhdlTopCarriesTheEntitiesContextClausesOnceEachAfterTheIeeeLines) {
    Load(DefaultsProject);
    const Lines lines = platform::SplitLines(VhdlSkeleton(m, DefaultsSources()).value_or(""));
    ASSERT_GE(lines.size(), 7u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 7),
              (Lines{"library IEEE;", "use IEEE.std_logic_1164.all;", "use ieee.numeric_std.all;",
                     "use work.fifo_pkg.all;", "library lib_b;", "use lib_b.units.W;",
                     "entity top is port("}));
    // Without the sources nothing is added.
    Load(DefaultsProject);
    EXPECT_EQ(platform::SplitLines(VhdlText())[2], "entity top is port(");
}

TEST_F(TopSkeleton, VhdlComponentKeepsTheDefaultOfEveryInputAnInstanceLeavesOpen) {
    Load(DefaultsProject);
    const std::string text = VhdlSkeleton(m, DefaultsSources()).value_or("");
    const std::string logic = "std_logic" + Blanks(26);
    auto port = [&](const std::string& name, const std::string& rest) {
        return "\t\t" + name + Blanks(20 - name.size()) + " :in     " + rest;
    };
    const PieceCase c{
        "defaults",
        "",
        'N',
        {port("clk", logic + ";"), port("en", logic + " :='1';"),
         port("mask", "std_logic_vector(   3 downto    0)  :=(others => '0');"),
         port("go", logic + " :='H';"), port("ld", logic + ";"), port("a", logic + ";"),
         "\t\tq" + Blanks(19) + " :out    " + logic + ");", "\t\ten" + Blanks(18) + " => __,"},
        {},
        {"Warning: The input port a (u1) is left open; VHDL requires it to be connected.",
         "Warning: The input port a (u2) is left open; VHDL requires it to be connected."}};
    ExpectPieces(c, platform::SplitLines(text), text, Log());
}

TEST(VhdlSourceFacts, EachVhdlModulesSourceIsReadAndWhatCannotBeIsWarnedOf) {
    TempDir dir;
    const std::string both = dir.Path("both.vhd");
    const std::string other = dir.Path("other.vhd");
    WriteBytes(both, "library ieee;\nuse ieee.std_logic_1164.all;\nuse work.p.all;\n"
                     "entity one is port(a : in std_logic := '1'); end;\n"
                     "architecture rtl of one is begin end;\n"
                     "use work.q.all;\nentity two is port(b : in std_logic); end;\n");
    WriteBytes(other, "entity somewhere_else is port(c : in std_logic); end;\n");
    const std::string gone = dir.Path("gone.vhd");
    ProjectModel model;
    model.LineList = LinesFromText("TOP\t\ttop\nINPUT\t\t\tclk\n"
                                   "MODULE\tone\tu1\t" +
                                   both +
                                   "\tvhdl\nINPUT\t\t\ta\n"
                                   "MODULE\ttwo\tu2\t" +
                                   both +
                                   "\tVHDL\nINPUT\t\t\tb\n"
                                   "MODULE\tone\tu3\t" +
                                   gone +
                                   "\tvhdl\nINPUT\t\t\ta\n"
                                   "MODULE\tlost\tu4\t" +
                                   other +
                                   "\tvhdl\nINPUT\t\t\tc\n"
                                   "MODULE\tmissing\tu5\t" +
                                   gone +
                                   "\tvhdl\nINPUT\t\t\tc\n"
                                   "MODULE\tcore\tu6\t" +
                                   gone + "\tverilog\nINPUT\t\t\tc\n");
    model.PrjOpen = true;
    model.UpdatePicExecute(RebuildSender::MainWindow);
    model.ClearLog();
    const VhdlSourceFacts facts = ReadVhdlSourceFacts(model);
    const Lines& log = model.Log.Lines();
    ASSERT_EQ(facts.size(), 4u) << "one per VHDL module; the Verilog module is not read";
    EXPECT_EQ(facts.at("one").Clauses,
              (Lines{"library ieee;", "use ieee.std_logic_1164.all;", "use work.p.all;"}));
    EXPECT_EQ(facts.at("one").Defaults.at("a"), "'1'");
    EXPECT_EQ(facts.at("two").Clauses, (Lines{"use work.q.all;"}));
    EXPECT_FALSE(facts.at("lost").Found);
    EXPECT_FALSE(facts.at("missing").Found);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "Warning: The source file " + other +
                          " declares no entity lost: the top goes without its library and use "
                          "clauses and port defaults.");
    EXPECT_EQ(log[1].rfind("Warning: Can't read the source file " + gone +
                               " of missing: the top goes without its library and use clauses "
                               "and port defaults.",
                           0),
              0u)
        << log[1];
}

TEST_F(TopSkeleton, WithoutTopModuleNothingIsWritten) {
    Load(OneInstance);
    EXPECT_FALSE(VerilogSkeleton(m));
    EXPECT_FALSE(VhdlSkeleton(m));
    EXPECT_EQ(Log(), (Lines{"Error: No top module found. File damaged.",
                            "Error: No top module found. File damaged."}));
}

} // namespace
