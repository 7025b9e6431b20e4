// The Verilog and VHDL test fixtures of small tops, line by line, and what the window is given.
#include "editor/hdl/TestFixture.h"

#include "editor/hdl/GenText.h"
#include "model/ModelText.h"
#include "platform/TextLines.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

class FixtureTest : public ::testing::Test {
protected:
    void Load(const std::string& text) { LoadProject(m, text); }
    Lines Verilog() {
        const std::optional<FixtureText> f = VerilogFixture(m);
        EXPECT_TRUE(f);
        return f ? platform::SplitLines(f->Text) : Lines{};
    }
    Lines Vhdl() {
        const std::optional<FixtureText> f = VhdlFixture(m);
        EXPECT_TRUE(f);
        return f ? platform::SplitLines(f->Text) : Lines{};
    }

    ProjectModel m;
};

const char* const ThreePorts = "TOP\t\ttop\n"
                               "INPUT\t7\t0\ta\n"
                               "INPUT\t\t\tclk\n"
                               "OUTPUT\t7\t0\tq\n";

TEST_F(FixtureTest, VerilogOfAnInputByteAClockAndAnOutputByte) {
    Load(ThreePorts);
    EXPECT_EQ(Verilog(), (Lines{
                             "//Test Fixture by ZUN2012.",
                             "module tb_top();",
                             "//---Inputs",
                             "reg [7:0] a ;",
                             "reg  clk ;",
                             "//---Outputs",
                             "wire [7:0] q ;",
                             "top dut (",
                             "\t.a ( a ),",
                             "\t.clk ( clk ),",
                             "\t.q ( q )",
                             ");",
                             "endmodule",
                         }));
    const FixtureText f = *VerilogFixture(m);
    EXPECT_EQ(f.Text.substr(f.Text.size() - 9), "endmodule") << "no line break at the end";
    EXPECT_EQ(f.Caption, "Test Fixture of top (Verilog)");
    EXPECT_EQ(f.FilterIndex, VerilogFilter);
    EXPECT_EQ(f.FileName, "tb_top.v");
    EXPECT_TRUE(m.Log.Lines().empty());
}

TEST_F(FixtureTest, VhdlOfTheSamePorts) {
    Load(ThreePorts);
    EXPECT_EQ(Vhdl(), (Lines{
                          "--Test Fixture by ZUN2012.",
                          "LIBRARY ieee;",
                          "USE ieee.std_logic_1164.ALL;",
                          "USE ieee.numeric_std.ALL;",
                          "",
                          "ENTITY tb_top IS",
                          "END tb_top ;",
                          "",
                          "ARCHITECTURE behavior OF tb_top IS",
                          "\tCOMPONENT top",
                          "\tPORT(",
                          "\t\ta :IN STD_LOGIC_VECTOR(7 downto 0);",
                          "\t\tclk :IN STD_LOGIC;",
                          "\t\tq :OUT STD_LOGIC_VECTOR(7 downto 0)",
                          "\t);",
                          "\tEND COMPONENT;",
                          "\tSIGNAL a : STD_LOGIC_VECTOR(7 downto 0);",
                          "\tSIGNAL clk : STD_LOGIC;",
                          "\tSIGNAL q : STD_LOGIC_VECTOR(7 downto 0);",
                          "BEGIN",
                          "\tdut : top PORT MAP(",
                          "\t\ta => a ,",
                          "\t\tclk => clk ,",
                          "\t\tq => q ",
                          "\t);",
                          "END;",
                      }));
    const FixtureText f = *VhdlFixture(m);
    EXPECT_EQ(f.Caption, "Test Fixture of top (VHDL)");
    EXPECT_EQ(f.FilterIndex, VhdlFilter);
    EXPECT_EQ(f.FileName, "tb_top.vhd");
}

TEST_F(FixtureTest, PortCases) {
    struct Case {
        const char* name;
        std::string project;
        bool vhdl;
        Lines present;
        Lines absent;
    };
    const Case cases[] = {
        {"an ascending vector",
         "TOP\t\ttop\nINPUT\t0\t7\tup\nINPUT\t\t\tx\n",
         true,
         {"\t\tup :IN STD_LOGIC_VECTOR(0 to 7);", "\tSIGNAL up : STD_LOGIC_VECTOR(0 to 7);"},
         {}},
        {"an ascending Verilog range is the width text",
         "TOP\t\ttop\nINPUT\t0\t7\tup\n",
         false,
         {"reg [0:7] up ;"},
         {}},
        {"a trailing variant ends the VHDL component without a semicolon",
         "TOP\t\ttop\nINPUT\t\t\ta\nOUTPUT\t\t\tb\nKVAR\t\t\tv\n",
         true,
         {"\t\tb :OUT STD_LOGIC", "\t\tb => b "},
         {"\t\tv :", "\tSIGNAL v :", "\t\tv =>", "\t\tb :OUT STD_LOGIC;"}},
        {"a variant is a wire of the Verilog fixture, connected to nothing",
         "TOP\t\ttop\nINPUT\t\t\ta\nOUTPUT\t\t\tb\nKVAR\t\t\tv\n",
         false,
         {"wire  v ;", "\t.b ( b )"},
         {"\t.v ( v )", "\t.b ( b ),"}},
        {"a variant between two ports leaves the commas to what is written",
         "TOP\t\ttop\nINPUT\t\t\ta\nKVAR\t\t\tv\nOUTPUT\t\t\tb\n",
         false,
         {"\t.a ( a ),", "\t.b ( b )"},
         {"\t.v ( v )"}},
        {"exactly one port: no comma",
         "TOP\t\ttop\nINPUT\t\t\tonly\n",
         false,
         {"\t.only ( only )"},
         {"\t.only ( only ),"}},
        {"exactly one port in VHDL",
         "TOP\t\ttop\nINPUT\t\t\tonly\n",
         true,
         {"\t\tonly :IN STD_LOGIC", "\t\tonly => only "},
         {"\t\tonly :IN STD_LOGIC;"}},
        {"an inout is a wire and INOUT",
         "TOP\t\ttop\nBIDIR\t3\t0\tio\n",
         true,
         {"\t\tio :INOUT STD_LOGIC_VECTOR(3 downto 0)"},
         {}},
        {"an output read inside the design is out, as the full-source top declares it",
         "TOP\t\ttop\nOUTPUT\t\t\tq\nMODULE\tcore\tu1\t/c.v\tverilog\nINPUT\t\t\ta\n"
         "WIRE\ttop\tq\tu1\ta\tq\n",
         true,
         {"\t\tq :OUT STD_LOGIC"},
         {":BUFFER"}},
        {"a width that is not a number is written as declared",
         "TOP\t\ttop\nINPUT\tNA\t0\tbus\t\tW-1\t0\n",
         true,
         {"\t\tbus :IN STD_LOGIC_VECTOR(W-1 downto 0)"},
         {"-1 to -1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load(c.project);
        const Lines lines = c.vhdl ? Vhdl() : Verilog();
        const std::string text = platform::JoinLines(lines);
        for (const std::string& line : c.present)
            EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end())
                << "no line \"" << line << "\" in\n"
                << text;
        for (const std::string& piece : c.absent)
            EXPECT_EQ(text.find(piece), std::string::npos) << "\"" << piece << "\" in\n" << text;
    }
}

TEST_F(FixtureTest, NonNumericWidthIsWarnedAbout) {
    Load("TOP\t\ttop\nINPUT\tNA\t0\tbus\t\tW-1\t0\n");
    EXPECT_EQ(Verilog()[3], "reg [W-1:0] bus ;");
    EXPECT_EQ(m.Log.Lines(), (Lines{"Warning: The width of top level port bus is not a number; "
                                    "its bound expressions are written."}));
}

TEST_F(FixtureTest, TheTopIsInstantiatedUnderItsTitle) {
    Load("TOP\t\ttop\tnew_top\nINPUT\t\t\tclk\n");
    const Lines v = Verilog();
    EXPECT_EQ(v[1], "module tb_new_top();");
    EXPECT_EQ(v[5], "new_top dut (");
    const Lines h = Vhdl();
    EXPECT_EQ(h[5], "ENTITY tb_new_top IS");
    EXPECT_EQ(h[9], "\tCOMPONENT new_top");
    EXPECT_EQ(h[h.size() - 4], "\tdut : new_top PORT MAP(");
    EXPECT_EQ(VerilogFixture(m)->FileName, "tb_new_top.v");
    EXPECT_EQ(VhdlFixture(m)->Caption, "Test Fixture of new_top (VHDL)");
}

class FixtureCommandTest : public FixtureTest {
protected:
    void SetUp() override {
        window.Show = [this] { ++shown; };
        window.Caption = "before";
        window.SetText("old text");
        window.GenStyle = Verilog1995Style;
        window.CstmPrtMode = true;
    }
    ScriptedPrompt prompt;
    GenTextModel window{m, prompt};
    int shown = 0;
};

TEST_F(FixtureCommandTest, TheWindowShowsTheFixtureAsPlainText) {
    Load(ThreePorts);
    ASSERT_TRUE(GenTstVHDLExecute(m, prompt, window));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(window.Caption, "Test Fixture of top (VHDL)");
    EXPECT_EQ(window.SaveFileName, "tb_top.vhd");
    EXPECT_EQ(window.SaveFilterIndex, VhdlFilter);
    EXPECT_EQ(window.GenStyle, PlainTextStyle);
    EXPECT_FALSE(window.CstmPrtMode);
    EXPECT_EQ(window.Lines.front(), "--Test Fixture by ZUN2012.");
    EXPECT_FALSE(window.Edited());
    ASSERT_TRUE(GenTstVlogExecute(m, prompt, window));
    EXPECT_EQ(window.Lines.back(), "endmodule");
    EXPECT_EQ(window.SaveFileName, "tb_top.v");
}

TEST_F(FixtureCommandTest, WithoutPortsToConnectTheUserIsToldAndTheWindowIsUntouched) {
    struct Case {
        const char* name;
        const char* project;
        bool verilogToo;
    };
    const Case cases[] = {
        {"no top module", "MODULE\tcore\tu1\t/c.v\tverilog\nINPUT\t\t\ta\n", true},
        {"a top without ports", "TOP\t\ttop\nMODULE\tcore\tu1\t/c.v\tverilog\nINPUT\t\t\ta\n",
         true},
        {"only variant ports", "TOP\t\ttop\nKVAR\t\t\tv\nKVAR\t\t\tw\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load(c.project);
        prompt.ExpectMessage("No top level ports found.");
        EXPECT_FALSE(GenTstVHDLExecute(m, prompt, window));
        if (c.verilogToo) {
            prompt.ExpectMessage("No top level ports found.");
            EXPECT_FALSE(GenTstVlogExecute(m, prompt, window));
        } else {
            EXPECT_TRUE(VerilogFixture(m));
        }
        EXPECT_EQ(shown, 0);
        EXPECT_EQ(window.Caption, "before");
        EXPECT_EQ(window.Lines, Lines{"old text"});
        EXPECT_EQ(window.GenStyle, Verilog1995Style);
    }
}

} // namespace
