// Framework tops of small projects in the three styles: one whole text per style, the column
// rules as lines, the widths taken from the window, and what is left out of the VHDL so that
// a tool still reads it.
#include "editor/hdl/FrameworkGenerator.h"

#include "editor/hdl/GenOptions.h"
#include "model/ModelText.h"
#include "platform/TextLines.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

std::string Blanks(std::size_t n) {
    return std::string(n, ' ');
}

const char* const CoreProject = "TOP\t\ttop\n"
                                "INPUT\t\t\tclk\n"
                                "INPUT\t7\t0\tdata\n"
                                "OUTPUT\t3\t0\tq\n"
                                "MODULE\tcore\tu_core\t/src/core.v\tverilog\n"
                                "PARAMETER\t\t\tW\t8\t16\t\tinteger\n"
                                "INPUT\t\t\tclk\n"
                                "INPUT\t7\t0\td\t\tW-1\t0\n"
                                "OUTPUT\t\t\tdone\n"
                                "WIRE\tu_core\tclk\ttop\tclk\tclk\n";

class FrameworkTest : public ::testing::Test {
protected:
    void Load(const std::string& text, char assignOpenOut = 'N') {
        m.AssignOpenOut = assignOpenOut;
        LoadProject(m, text);
    }
    std::string Text(int style, bool report = true) {
        return GenFramework(m, style, report,
                            style == VhdlFrameworkStyle ? VhdlColumnWidths : VerilogColumnWidths);
    }
    // The text after the banner's three lines.
    Lines Body(int style, bool report = true) {
        const std::string text = Text(style, report);
        const std::string& banner = style == VhdlFrameworkStyle ? VhdlBanner : VerilogBanner;
        EXPECT_EQ(text.compare(0, banner.size(), banner), 0) << text;
        return platform::SplitLines(text.substr(std::min(banner.size(), text.size())));
    }
    bool Has(const Lines& lines, const std::string& line) const {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    const Lines& Log() const { return m.Log.Lines(); }

    ProjectModel m;
};

const std::string In = "     input  ";
const std::string Out = "     output ";

TEST_F(FrameworkTest, Verilog2001Text) {
    Load(CoreProject, '0');
    EXPECT_EQ(Body(Verilog2001Style), (Lines{
                                          "",
                                          "module top (",
                                          In + Blanks(7) + "clk" + Blanks(12) + ",",
                                          In + "[7 :0] data" + Blanks(11) + ",",
                                          Out + "[3 :0] q" + Blanks(14),
                                          ");",
                                          "core u_core(",
                                          "     .clk" + Blanks(11) + "(    ),",
                                          "     .d" + Blanks(13) + "(    ),",
                                          "     .done" + Blanks(10) + "(    )",
                                          ");",
                                          "defparam u_core.W = 16 ;",
                                          "",
                                          "assign q ={4{1'b0}};",
                                          "endmodule",
                                      }));
    EXPECT_TRUE(Log().empty());
}

TEST_F(FrameworkTest, Verilog1995Text) {
    Load(CoreProject, '0');
    EXPECT_EQ(Body(Verilog1995Style), (Lines{
                                          "",
                                          "module top (",
                                          Blanks(19) + "clk" + Blanks(12) + ",",
                                          Blanks(19) + "data" + Blanks(11) + ",",
                                          Blanks(19) + "q",
                                          ");",
                                          In + Blanks(7) + "clk" + Blanks(12) + ";",
                                          In + "[7 :0] data" + Blanks(11) + ";",
                                          Out + "[3 :0] q" + Blanks(14) + ";",
                                          "",
                                          "core u_core(",
                                          "     .clk" + Blanks(11) + "(    ),",
                                          "     .d" + Blanks(13) + "(    ),",
                                          "     .done" + Blanks(10) + "(    )",
                                          ");",
                                          "defparam u_core.W = 16 ;",
                                          "",
                                          "assign q ={4{1'b0}};",
                                          "endmodule",
                                      }));
    EXPECT_TRUE(Log().empty());
}

TEST_F(FrameworkTest, VhdlText) {
    Load(CoreProject, '0');
    const std::string logic = "STD_LOGIC" + Blanks(24);
    EXPECT_EQ(
        Body(VhdlFrameworkStyle),
        (Lines{
            "",
            "library IEEE;",
            "use IEEE.std_logic_1164.all;",
            "entity top is port(",
            "     clk" + Blanks(12) + ":in" + Blanks(6) + logic + ";",
            "     data" + Blanks(11) + ":in" + Blanks(6) + "STD_LOGIC_VECTOR(   7 downto  0 );",
            "     q" + Blanks(14) + ":out" + Blanks(5) + "STD_LOGIC_VECTOR(   3 downto  0 )",
            ");",
            "end top;",
            "architecture ZUN2012_Arch of top is",
            "",
            "component core  ",
            "  generic(",
            "     W" + Blanks(14) + ": integer" + Blanks(20) + ":= 8" + Blanks(9),
            "  );",
            "  port(",
            "     clk" + Blanks(12) + ":in" + Blanks(6) + logic + ";",
            "     d" + Blanks(14) + ":in" + Blanks(6) + "STD_LOGIC_VECTOR(   W-1 downto  0 );",
            "     done" + Blanks(11) + ":out" + Blanks(5) + logic,
            "  );",
            "end component;",
            "",
            "begin",
            "u_core:core ",
            "  generic map(",
            "     W" + Blanks(14) + "=> 16",
            "  )",
            "  port map(",
            "     clk" + Blanks(12) + "=>" + Blanks(3) + ",",
            "     d" + Blanks(14) + "=>" + Blanks(3) + ",",
            "     done" + Blanks(11) + "=>" + Blanks(3),
            "  );",
            "",
            "q <=(OTHERS=>'0');",
            "end ZUN2012_Arch;",
        }));
    EXPECT_TRUE(Log().empty());
}

TEST_F(FrameworkTest, ColumnRulesOfTheHeaderLines) {
    Load("TOP\t\ttop\n"
         "INPUT\t\t\tclk\n"
         "INPUT\t7\t0\tdata\n"
         "OUTPUT\t\t\ta_port_name_longer_than_the_column\n"
         "INPUT\t0\t7\tup\n");
    const Lines v2001 = Body(Verilog2001Style);
    const Lines v1995 = Body(Verilog1995Style);
    const Lines vhdl = Body(VhdlFrameworkStyle);
    struct Case {
        const char* name;
        const Lines& text;
        std::string line;
    };
    const Case cases[] = {
        {"a one-bit input in 2001", v2001, In + Blanks(7) + "clk" + Blanks(12) + ","},
        {"a byte in 1995", v1995, In + "[7 :0] data" + Blanks(11) + ";"},
        {"its port list line", v1995, Blanks(19) + "data" + Blanks(11) + ","},
        {"the last port list line", v1995, Blanks(19) + "up"},
        {"a long name in the port list", v1995,
         Blanks(19) + "a_port_name_longer_than_the_column ,"},
        {"a long name keeps one blank before the comma", v2001,
         Out + Blanks(7) + "a_port_name_longer_than_the_column ,"},
        {"and before the semicolon", v1995,
         Out + Blanks(7) + "a_port_name_longer_than_the_column ;"},
        {"the last 2001 line has no comma", v2001, In + "[0 :7] up" + Blanks(13)},
        {"an ascending VHDL vector", vhdl,
         "     up" + Blanks(13) + ":in" + Blanks(6) + "STD_LOGIC_VECTOR(   0 to" + Blanks(6) +
             "7 )"},
        {"a VHDL name longer than its column runs into the mode", vhdl,
         "     a_port_name_longer_than_the_column:out" + Blanks(5) + "STD_LOGIC" + Blanks(24) +
             ";"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(Has(c.text, c.line)) << c.name << ": no line \"" << c.line << "\" in\n"
                                         << platform::JoinLines(c.text);
}

TEST_F(FrameworkTest, WidthsComeFromTheWindow) {
    Load(CoreProject);
    GenColumnWidths widths = VerilogColumnWidths;
    widths[9] = 25; // ".Port"
    widths[0] = 2;
    const Lines lines = platform::SplitLines(GenFramework(m, Verilog2001Style, false, widths));
    EXPECT_TRUE(Has(lines, "     .clk" + Blanks(21) + "(    ),"));
    EXPECT_TRUE(Has(lines, "  input  " + Blanks(7) + "clk" + Blanks(12) + ","));
    // Widths too small for their texts still give a word apart from the next.
    GenColumnWidths tight{};
    const Lines packed = platform::SplitLines(GenFramework(m, Verilog1995Style, false, tight));
    EXPECT_TRUE(Has(packed, "input [7:0] data ;"));
    EXPECT_TRUE(Has(packed, "output [3:0] q ;"));
    EXPECT_TRUE(Has(packed, ".clk(),"));
}

TEST_F(FrameworkTest, WithoutATopModuleTheTextIsAnError) {
    Load("MODULE\tcore\tu1\t/src/core.v\tverilog\nINPUT\t\t\ta\n");
    for (int style : {Verilog2001Style, Verilog1995Style})
        EXPECT_EQ(Text(style), "Error");
    EXPECT_EQ(Text(VhdlFrameworkStyle), "Error in design.");
    EXPECT_EQ(Log(), Lines(3, "Error: No top module found. File damaged."));
    m.ClearLog();
    EXPECT_EQ(Text(VhdlFrameworkStyle, false), "Error in design.");
    EXPECT_TRUE(Log().empty());
}

// Everything a framework warns about, in one project.
const char* const WarningProject = "TOP\t\ttop\n"
                                   "KVAR\t\t\tv\n"
                                   "INPUT\tNA\t0\tbus\t\tW-1\t0\n"
                                   "MODULE\tempty\tu0\t/src/e.v\tverilog\n"
                                   "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
                                   "PARAMETER\t\t\tK\t\t\t\tnatural\n"
                                   "INPUT\t\t\ta\n"
                                   "KVAR\t\t\tx\n";

TEST_F(FrameworkTest, ReportLogsWhatIsLeftOutAndSilenceLogsNothing) {
    Load(WarningProject);
    Text(Verilog1995Style);
    EXPECT_EQ(Log(), (Lines{
                         "Warning: Ignore variant port:v.",
                         "Warning: The width of top level port bus is not a number; its bound "
                         "expressions are written.",
                         "Warning: No port in module u0.",
                     }));
    m.ClearLog();
    Text(VhdlFrameworkStyle);
    EXPECT_EQ(Log(), (Lines{
                         "Warning: Ignore variant port:v.",
                         "Warning: The width of top level port bus is not a number; its bound "
                         "expressions are written.",
                         "Warning: No port in module empty.",
                         "Warning: Unknown port:x",
                         "Warning: No value for GENERIC K (u1).",
                     }));
    m.ClearLog();
    for (int style : {Verilog2001Style, Verilog1995Style, VhdlFrameworkStyle})
        Text(style, false);
    EXPECT_TRUE(Log().empty());
}

TEST_F(FrameworkTest, TopPortWithoutNumericWidthShowsItsExpressions) {
    Load("TOP\t\ttop\nINPUT\tNA\t0\tbus\t\tW-1\t0\nOUTPUT\tNA\tNB\tq\n", '0');
    const Lines v = Body(Verilog2001Style, false);
    EXPECT_TRUE(Has(v, In + "[W-1:0] bus" + Blanks(12) + ",")) << platform::JoinLines(v);
    // A line without expressions tells its raw bounds.
    EXPECT_TRUE(Has(v, Out + "[NA:NB] q" + Blanks(14))) << platform::JoinLines(v);
    const Lines h = Body(VhdlFrameworkStyle, false);
    EXPECT_TRUE(Has(h, "     bus" + Blanks(12) + ":in" + Blanks(6) +
                           "STD_LOGIC_VECTOR(   W-1 downto  0 );"))
        << platform::JoinLines(h);
    for (const std::string& line : v)
        EXPECT_EQ(line.find("-1 :-1"), std::string::npos) << line;
    // No tie-off for a width that is not a number.
    EXPECT_EQ(platform::JoinLines(v).find("assign"), std::string::npos);
}

TEST_F(FrameworkTest, VhdlLeavesOutWhatWouldBeAnEmptyList) {
    Load("TOP\t\ttop\n"
         "KVAR\t\t\tv\n"
         "MODULE\tempty\tu0\t/src/e.v\tverilog\n"
         "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
         "PARAMETER\t\t\tK\t\t\t\tnatural\n"
         "INPUT\t\t\ta\n"
         "KVAR\t\t\tx\n"
         "MODULE\tcore\tu2\t/src/core.v\tverilog\n"
         "PARAMETER\t\t\tK\t\t4\t\tnatural\n"
         "INPUT\t\t\ta\n"
         "KVAR\t\t\tx\n");
    const std::string text = platform::JoinLines(Body(VhdlFrameworkStyle, false));
    const struct {
        const char* name;
        std::string piece;
        bool present;
    } cases[] = {
        {"an entity with only a variant port has no port clause", "entity top is\r\nend top;\r\n",
         true},
        {"a module without ports has no port clause", "component empty  \r\nend component;\r\n",
         true},
        {"nor a port map", "u0:empty ;\r\n", true},
        {"a generic without default is declared without :=",
         "     K" + Blanks(14) + ": natural\r\n  );\r\n", true},
        {"the variant instance port is neither declared nor mapped", "     x", false},
        {"the last written port has no separator",
         "     a" + Blanks(14) + ":in" + Blanks(6) + "STD_LOGIC" + Blanks(24) + "\r\n  );", true},
        {"a generic without any value has no association, and no empty generic map",
         "u1:core \r\n  port map(\r\n     a" + Blanks(14) + "=>   \r\n  );", true},
        {"one with the instance's value keeps it",
         "u2:core \r\n  generic map(\r\n     K" + Blanks(14) + "=> 4 \r\n  )", true},
        {"the component is declared once", "component core  \r\n", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text.find(c.piece) != std::string::npos, c.present) << c.name << "\n" << text;
    EXPECT_EQ(text.find("component core"), text.rfind("component core"));
}

// Regression: a default that names another generic was copied into the generic map, where the
// top does not see that generic.
TEST_F(FrameworkTest, VhdlGenericWhoseDefaultNamesAnotherIsLeftToTheComponent) {
    Load("TOP\t\ttop\n"
         "MODULE\tram\tu1\t/src/ram.vhd\tvhdl\n"
         "PARAMETER\t\t\tAW\t3\t\tK\tpositive\n"
         "PARAMETER\t\t\tDEPTH\t2 ** aw\t\t\tpositive\n"
         "PARAMETER\t\t\tNAME\t\"aw\" & 16#AW#\t\t\tstring\n"
         "INPUT\t\t\tclk\n"
         "MODULE\tram\tu2\t/src/ram.vhd\tvhdl\n"
         "PARAMETER\t\t\tAW\t3\t4\tK\tpositive\n"
         "PARAMETER\t\t\tDEPTH\t2 ** aw\t8\t\tpositive\n"
         "PARAMETER\t\t\tNAME\t\"aw\" & 16#AW#\t\t\tstring\n"
         "INPUT\t\t\tclk\n");
    const std::string text = platform::JoinLines(Body(VhdlFrameworkStyle, false));
    EXPECT_NE(text.find(":= 2 ** aw   ;"), std::string::npos) << "the component keeps it\n" << text;
    EXPECT_NE(text.find("u1:ram \r\n  generic map(\r\n     AW" + Blanks(13) +
                        "=> 3 ,\r\n"
                        "     NAME" +
                        Blanks(11) + "=> \"aw\" & 16#AW#\r\n  )"),
              std::string::npos)
        << "a name in a string or a based literal names no generic\n"
        << text;
    EXPECT_NE(text.find("     DEPTH" + Blanks(10) + "=> 8 ,"), std::string::npos)
        << "the instance's own value is mapped\n"
        << text;
}

TEST_F(FrameworkTest, VhdlOutputsAndTieOffs) {
    Load("TOP\t\ttop\n"
         "OUTPUT\t3\t3\tflag\n"
         "OUTPUT\t\t\tbit\n"
         "OUTPUT\t\t\tread\n"
         "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
         "OUTPUT_B\t\t\ty\n"
         "INPUT\t\t\ta\n"
         "WIRE\ttop\tread\tu1\ta\tread\n",
         'Z');
    const Lines h = Body(VhdlFrameworkStyle, false);
    const std::string text = platform::JoinLines(h);
    // A vector of one bit has a width text: its tie-off is an aggregate.
    EXPECT_TRUE(Has(h, "flag <=(OTHERS=>'Z');")) << text;
    EXPECT_TRUE(Has(h, "bit <='Z';")) << text;
    EXPECT_EQ(text.find("read <="), std::string::npos) << "a wired output is not tied";
    // An output read inside the design is a buffer; so is a component output marked OUTPUT_B.
    EXPECT_TRUE(Has(h, "     read" + Blanks(11) + ":buffer  STD_LOGIC" + Blanks(24))) << text;
    EXPECT_TRUE(Has(h, "     y" + Blanks(14) + ":buffer  STD_LOGIC" + Blanks(24) + ";")) << text;
    EXPECT_TRUE(
        Has(h, "     bit" + Blanks(12) + ":out" + Blanks(5) + "STD_LOGIC" + Blanks(24) + ";"))
        << text;
}

TEST_F(FrameworkTest, ProjectAssignLinesAreNotWritten) {
    Load("TOP\t\ttop\nOUTPUT\t\t\tq\nASSIGN\t q = 1'b1 \n");
    EXPECT_EQ(Text(Verilog2001Style).find("1'b1"), std::string::npos);
    EXPECT_EQ(Text(VhdlFrameworkStyle).find("1'b1"), std::string::npos);
}

TEST_F(FrameworkTest, ATopWithoutPortsHasAnEmptyList) {
    Load("TOP\t\ttop\nMODULE\tcore\tu1\t/src/core.v\tverilog\nINPUT\t\t\ta\n");
    const Lines v2001 = Body(Verilog2001Style);
    ASSERT_GE(v2001.size(), 4u);
    EXPECT_EQ(Lines(v2001.begin() + 1, v2001.begin() + 4), (Lines{"module top (", "", ");"}));
    const Lines v1995 = Body(Verilog1995Style);
    ASSERT_GE(v1995.size(), 4u);
    EXPECT_EQ(Lines(v1995.begin() + 1, v1995.begin() + 4), (Lines{"module top (", ");", ""}));
    EXPECT_EQ(Log(), Lines(2, "Warning: No top level port exists."));
}

TEST_F(FrameworkTest, TheTopIsWrittenUnderItsTitle) {
    Load("TOP\t\ttop\tnew_top\nINPUT\t\t\tclk\n");
    EXPECT_NE(Text(Verilog1995Style).find("\r\nmodule new_top (\n"), std::string::npos);
    const std::string vhdl = Text(VhdlFrameworkStyle);
    for (const char* piece : {"entity new_top is", "end new_top;", "of new_top is"})
        EXPECT_NE(vhdl.find(piece), std::string::npos) << piece;
}

// A column drag through the generated-text window: wider instance lines, nothing logged.
TEST_F(FrameworkTest, DraggingThePortColumnRegeneratesSilently) {
    Load(CoreProject);
    ScriptedPrompt prompt;
    GenTextModel window(m, prompt);
    window.GenFramework = [this](int style, bool report, const GenColumnWidths& widths) {
        return GenFramework(m, style, report, widths);
    };
    window.GenStyle = Verilog2001Style;
    window.SetupColumnHeaders();
    window.SetText(window.GenFramework(window.GenStyle, true, window.GenColWidths));
    m.ClearLog();
    std::vector<int> widths = window.HeaderWidths(1);
    widths[1] = 20 * window.CharPixels;
    ASSERT_TRUE(window.HeaderControl1SectionResize(1, 1, widths, {}));
    EXPECT_TRUE(Has(window.Lines, "     .clk" + Blanks(16) + "(    ),"));
    EXPECT_TRUE(Log().empty());
}

} // namespace
