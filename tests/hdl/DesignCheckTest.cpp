// CheckDesign over small projects: what it logs, in which order, and whether generation goes on.
#include "editor/hdl/DesignCheck.h"

#include "editor/hdl/NetFacts.h"
#include "model/ModelText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const std::string Top = "TOP\t\ttop\nINPUT\t\t\tclk\nOUTPUT\t7\t0\tdout\n";
const std::string Core = "MODULE\tcore\tu1\t/c.v\tverilog\n"
                         "PARAMETER\t\t\tW\t8\t\tK\tinteger\n"
                         "INPUT\t\t\tclk\nOUTPUT\t7\t0\tq\n";
const std::string Sink = "MODULE\tsink\tu2\t/s.v\tverilog\nINPUT\t7\t0\td\n";
const std::string Wired = "WIRE\tu1\tclk\ttop\tclk\tclk\n"
                          "WIRE\tu1\tq\ttop\tdout\tdout\n"
                          "WIRE\tu1\tq\tu2\td\tdout\n";

struct Case {
    const char* name;
    std::string project;
    char language;
    bool ok;
    Lines log;
};

TEST(CheckDesign, Table) {
    const Case cases[] = {
        {"every port wired and driven", Top + Core + Sink + Wired, CheckVerilog, true, {}},
        {"the same in VHDL, with typed generics", Top + Core + Sink + Wired, CheckVhdl, true, {}},
        {"two lone ports are counted after the per-port messages",
         Top + Core + Sink + "WIRE\tu1\tq\ttop\tdout\tdout\nWIRE\tu1\tq\tu2\td\tdout\n",
         CheckVerilog,
         true,
         {"Warning: Found 2 ports without connection."}},
        {"one lone port",
         Top + Core + Sink + "WIRE\tu1\tclk\ttop\tclk\tclk\nWIRE\tu1\tq\ttop\tdout\tdout\n",
         CheckVerilog,
         true,
         {"Warning: Found 1 port without connection."}},
        {"a lone port with an undefined width is an error and counted, without a driver warning",
         Top + Core + Sink + "MODULE\twide\tu3\t/w.v\tverilog\nINPUT\tNA\t0\tbus\t\tN-1\t0\n" +
             Wired,
         CheckVerilog,
         false,
         {"Error: The width of port bus(u3) has undefined parameter.",
          "Warning: Found 1 port without connection."}},
        {"every undefined width is listed",
         "TOP\t\ttop\nINPUT\tNA\t0\ta\t\tN-1\t0\n"
         "MODULE\twide\tu3\t/w.v\tverilog\nINPUT\tNA\tNA\tb\t\tN-1\tM\n",
         CheckVerilog,
         false,
         {"Error: The width of port a(top) has undefined parameter.",
          "Error: The width of port b(u3) has undefined parameter.",
          "Warning: Found 2 ports without connection."}},
        {"two instance inputs wired only to each other both lack a driver",
         "TOP\t\ttop\nMODULE\tsink\tu1\t/s.v\tverilog\nINPUT\t7\t0\td\n"
         "MODULE\tsink\tu2\t/s.v\tverilog\nINPUT\t7\t0\td\nWIRE\tu1\td\tu2\td\tn\n",
         CheckVerilog,
         true,
         {"Warning: The internal input port d (u1) does not have a driver.",
          "Warning: The internal input port d (u2) does not have a driver."}},
        {"a top output is driven by the instance output on its net",
         "TOP\t\ttop\nOUTPUT\t\t\ty\nMODULE\tsrc\tu1\t/s.v\tverilog\nOUTPUT\t\t\tq\n"
         "WIRE\tu1\tq\ttop\ty\ty\n",
         CheckVerilog,
         true,
         {}},
        {"a top output wired to an instance input has no driver, nor has the input",
         "TOP\t\ttop\nOUTPUT\t\t\ty\nMODULE\tsnk\tu1\t/s.v\tverilog\nINPUT\t\t\td\n"
         "WIRE\tu1\td\ttop\ty\ty\n",
         CheckVerilog,
         true,
         {"Warning: The internal input port y (top) does not have a driver.",
          "Warning: The internal input port d (u1) does not have a driver."}},
        {"a net headed by a top input drives its module inputs, as the example has it",
         "TOP\t\ttop\nINPUT\t\t\tclk\nOUTPUT\t\t\ty\nMODULE\tsnk\tu1\t/s.v\tverilog\nINPUT\t\t\tc\n"
         "MODULE\tsnk\tu2\t/s.v\tverilog\nINPUT\t\t\tc\nMODULE\tsrc\tu3\t/r.v\tverilog\n"
         "OUTPUT\t\t\tq\nWIRE\ttop\tclk\tu1\tc\tclk\nWIRE\ttop\tclk\tu2\tc\tclk\n"
         "WIRE\ttop\ty\tu3\tq\ty\n",
         CheckVerilog,
         true,
         {}},
        {"a VHDL generic without a type stops generation",
         Top +
             "MODULE\tcore\tu1\t/c.v\tverilog\nPARAMETER\t\t\tW\t8\t\tK\t \t\n"
             "PARAMETER\t\t\tD\t8\t\tK\t\n"
             "INPUT\t\t\tclk\nOUTPUT\t7\t0\tq\n" +
             Sink + Wired,
         CheckVhdl,
         false,
         {"Error: No valid VHDL type found in GENERIC W (u1).",
          "Error: No valid VHDL type found in GENERIC D (u1)."}},
        {"Verilog ignores generic types",
         Top +
             "MODULE\tcore\tu1\t/c.v\tverilog\nPARAMETER\t\t\tW\t8\t\tK\n"
             "INPUT\t\t\tclk\nOUTPUT\t7\t0\tq\n" +
             Sink + Wired,
         CheckVerilog,
         true,
         {}},
        {"after a width error VHDL does not look at the generic types",
         Top +
             "MODULE\tcore\tu1\t/c.v\tverilog\nPARAMETER\t\t\tW\t8\t\tK\n"
             "INPUT\t\t\tclk\nOUTPUT\tNA\t0\tq\t\tW-1\t0\n" +
             Sink + "WIRE\tu1\tclk\ttop\tclk\tclk\n",
         CheckVhdl,
         false,
         {"Error: The width of port q(u1) has undefined parameter.",
          "Warning: Found 3 ports without connection."}},
        {"Verilog: an instance named like a top port stops generation; one named like a "
         "module or like a top port in another letter case does not",
         Top + Core + Sink + Wired + "MODULE\tsink\tdout\t/s.v\tverilog\nINPUT\t7\t0\td\n" +
             "MODULE\tsink\tcore\t/s.v\tverilog\nINPUT\t7\t0\td\n" +
             "MODULE\tsink\tCLK\t/s.v\tverilog\nINPUT\t7\t0\td\n" +
             "WIRE\tu1\tq\tdout\td\tdout\nWIRE\tu1\tq\tcore\td\tdout\n"
             "WIRE\tu1\tq\tCLK\td\tdout\n",
         CheckVerilog,
         false,
         {"Error: The instance name dout is also the name of the top level port dout."}},
        {"VHDL: an instance named like a top port, a module or another instance, letter case "
         "ignored, stops generation; an extended name is its own",
         Top + Core + Sink + Wired + "MODULE\tsink\tCLK\t/s.vhd\tvhdl\nINPUT\t7\t0\td\n" +
             "MODULE\tsink\tCore\t/s.vhd\tvhdl\nINPUT\t7\t0\td\n" +
             "MODULE\tsink\tU2\t/s.vhd\tvhdl\nINPUT\t7\t0\td\n" +
             "MODULE\tsink\t\\clk\\\t/s.vhd\tvhdl\nINPUT\t7\t0\td\n" +
             "WIRE\tu1\tq\tCLK\td\tdout\nWIRE\tu1\tq\tCore\td\tdout\n"
             "WIRE\tu1\tq\tU2\td\tdout\nWIRE\tu1\tq\t\\clk\\\td\tdout\n",
         CheckVhdl,
         false,
         {"Error: The instance name CLK is also the name of the top level port clk.",
          "Error: The instance name Core is also the name of the module core.",
          "Error: The instance name U2 is also the name of the instance u2."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectModel m;
        m.LineList = LinesFromText(c.project);
        m.PrjOpen = true;
        m.UpdatePicExecute(RebuildSender::MainWindow);
        m.ClearLog();
        EXPECT_EQ(CheckDesign(m, c.language), c.ok);
        EXPECT_EQ(m.Log.Lines(), c.log);
    }
}

// The per-net answers agree with HasDriver and HasLoad asked port by port, on nets of every
// shape the wiring project has.
TEST(NetFacts, AgreeWithThePortByPortAnswers) {
    ProjectModel m;
    m.LineList = LinesFromText(Top + Core + Sink +
                               "MODULE\tsink\tu3\t/s.v\tverilog\nINPUT\t7\t0\td\n"
                               "MODULE\tsnk\tu4\t/k.v\tverilog\nINPUT\t\t\tx\nINPUT\t\t\ty\n"
                               "WIRE\tu1\tclk\ttop\tclk\tclk\n"
                               "WIRE\tu1\tclk\tu4\tx\tclk\n"
                               "WIRE\tu2\td\tu1\tq\tbus\n"
                               "WIRE\tu2\td\tu3\td\tbus\n"
                               "WIRE\tu2\td\ttop\tdout\tbus\n"
                               "WIRE\tu4\ty\tu4\ty\tself\n"
                               "MODULE\tsink\tu5\t/s.v\tverilog\nINPUT\t7\t0\td\n"
                               "MODULE\tsink\tu6\t/s.v\tverilog\nINPUT\t7\t0\td\n"
                               "WIRE\ttop\tdout\tu5\td\tdout\n"
                               "WIRE\ttop\tdout\tu6\td\tdout\n");
    m.PrjOpen = true;
    m.UpdatePicExecute(RebuildSender::MainWindow);
    NetFacts facts(m);
    for (const port& p : m.PortList) {
        SCOPED_TRACE(p.OwnerName + "." + p.Name);
        for (bool topDrives : {true, false})
            EXPECT_EQ(facts.HasDriver(p, topDrives), HasDriver(m, p, topDrives));
        EXPECT_EQ(facts.HasLoad(p), HasLoad(m, p));
    }
}

} // namespace
