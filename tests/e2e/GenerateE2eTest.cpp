// The main road, headless: a new project through the module wizard and the real engine from our
// own leaves and modules of the shared corpus, wired and mapped with the editor's own routines,
// generated in full through the real engine, and judged by iverilog, verilator, yosys and ghdl.
#include "HdlJudges.h"
#include "WizardProject.h"

#include "editor/model/TopLevel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace zun::e2e {
namespace {

// Our address counter reads the corpus's dual-port RAM, whose output our mixer combines with a
// top input: widths to confirm, and an instance value that differs from the default.
class VerilogFromTheWizard : public WizardProject {
protected:
    fs::path Ram() const { return kCorpus / "uart16550" / "rtl" / "verilog" / "raminfr.v"; }

    void Build() {
        NewProject({kLeaves / "leaves.v", Ram()}, "ram_top");
        const std::string addr = Instance("gen_addr");
        const std::string mix = Instance("gen_mix");
        const std::string ram = Instance("raminfr");
        Confirm(addr, "addr", 3, 0);
        for (const char* port : {"a", "dpra"})
            Confirm(ram, port, 3, 0);
        for (const char* port : {"di", "dpo"})
            Confirm(ram, port, 7, 0);
        SetInstanceValue(ram, "depth", "16");

        Map(addr, "clk");
        MapTo(ram, "clk", "clk");
        Map(addr, "rst");
        Map(ram, "we");
        Map(ram, "di");
        Wire(addr, "addr", ram, "a");
        Wire(addr, "addr", ram, "dpra");
        Wire(ram, "dpo", mix, "a");
        Map(mix, "b");
        Map(mix, "y");
        Map(mix, "flag");
        model_.ClearLog();
    }
    std::vector<fs::path> Leaves() const { return {kLeaves / "leaves.v", Ram()}; }
};

TEST_F(VerilogFromTheWizard, PassesIverilogWithoutPortWidthWarnings) {
    REQUIRE_TOOL("iverilog");
    REQUIRE_CORPUS(Ram());
    Build();
    const fs::path top = Generate(false);
    // The banner's three lines are not counted, and the empty line before "endmodule" counts
    // with it.
    const std::size_t lines = platform::SplitLines(ReadBytes(top.string())).size();
    EXPECT_TRUE(
        LogHas("Info: Total " + std::to_string(lines - 4) + " lines of code are generated."))
        << ReadBytes(top.string());
    ExpectIverilogAccepts(top, Leaves());
}

TEST_F(VerilogFromTheWizard, PassesVerilatorLint) {
    REQUIRE_TOOL("verilator");
    REQUIRE_CORPUS(Ram());
    Build();
    ExpectVerilatorAccepts(scratch_, Generate(false), "ram_top", Leaves(), true);
}

TEST_F(VerilogFromTheWizard, PassesYosysWithEveryWireOnTheSameBitsAtBothEnds) {
    REQUIRE_TOOL("yosys");
    REQUIRE_CORPUS(Ram());
    Build();
    std::optional<Json> netlist = YosysJson(scratch_, Generate(false), "ram_top", Leaves());
    ASSERT_TRUE(netlist);
    ExpectNetlistMatchesTheWires(*netlist, model_);
}

// Top ports whose nets another mapping renamed: each output is mapped to the top under a name
// of its own, then mapped again by the plain rule, which gives the net the port's name; the first
// top port is left on a net named otherwise, which the top must still drive.
class TopPortsOnNetsNamedOtherwise : public WizardProject {
protected:
    void Build() {
        NewProject({kLeaves / "leaves.v"}, "two_names");
        const std::string addr = Instance("gen_addr");
        const std::string mix = Instance("gen_mix");
        SetInstanceValue(addr, "AW", "8");
        Confirm(addr, "addr", 7, 0);
        Map(addr, "clk");
        Map(addr, "rst");
        Wire(addr, "addr", mix, "a");
        Map(mix, "b");
        model_.TopNameRule = "out_%P";
        Map(mix, "y");
        Map(mix, "flag");
        model_.TopNameRule = "%P";
        Map(mix, "y");
        Map(mix, "flag");
        ASSERT_EQ(P(model_.TopName, "out_y").Lone, false);
        model_.ClearLog();
    }
};

TEST_F(TopPortsOnNetsNamedOtherwise, VerilogDrivesEveryTopOutputFromItsNet) {
    REQUIRE_TOOL("yosys");
    REQUIRE_TOOL("verilator");
    Build();
    const fs::path top = Generate(false);
    const std::string text = ReadBytes(top.string());
    EXPECT_NE(text.find("assign out_y = y ;"), std::string::npos) << text;
    EXPECT_NE(text.find("assign out_flag = flag ;"), std::string::npos) << text;
    // verilator -Wall tells of an undriven output, and yosys puts both ends of every wire on the
    // same bits only when the top port is joined to its net.
    ExpectVerilatorAccepts(scratch_, top, "two_names", {kLeaves / "leaves.v"}, true);
    std::optional<Json> netlist = YosysJson(scratch_, top, "two_names", {kLeaves / "leaves.v"});
    ASSERT_TRUE(netlist);
    ExpectNetlistMatchesTheWires(*netlist, model_);
}

class VhdlFromTheWizard : public WizardProject {
protected:
    void Analyse(const std::string& topName) {
        ExpectGhdlAccepts(scratch_, Generate(true), topName, {kLeaves / "leaves.vhd"}, "work");
    }
};

// A generic without default valued on the instance, and a one-bit vector (3 downto 3) output
// whose top port is left open and tied.
TEST_F(VhdlFromTheWizard, GenericValuedOnTheInstanceAndOneBitVectorTieOffPassGhdl) {
    REQUIRE_TOOL("ghdl");
    NewProject({kLeaves / "leaves.vhd"}, "scale_top");
    const std::string scale = Instance("gen_scale");
    const std::string flag = Instance("gen_flag");
    SetInstanceValue(scale, "K", "2");
    Map(scale, "a");
    Wire(scale, "y", flag, "d");
    Map(flag, "clk");
    Map(flag, "f");
    // The top port stays; its wire goes, so it is open.
    ASSERT_TRUE(IsolatePort(model_, P(model_.TopName, "f"), false));
    Rebuild();
    ASSERT_TRUE(P(model_.TopName, "f").Lone);
    model_.ClearLog();
    const fs::path top = Generate(true);
    const std::string text = ReadBytes(top.string());
    EXPECT_NE(text.find("<=(OTHERS=>'0');"), std::string::npos) << text;
    EXPECT_NE(text.find("=> 2"), std::string::npos) << text;
    ExpectGhdlAccepts(scratch_, top, "scale_top", {kLeaves / "leaves.vhd"}, "work");
}

TEST_F(VhdlFromTheWizard, TopWithoutPortsPassesGhdl) {
    REQUIRE_TOOL("ghdl");
    NewProject({kLeaves / "leaves.vhd"}, "closed_top");
    const std::string osc = Instance("gen_osc");
    const std::string scale = Instance("gen_scale");
    const std::string flag = Instance("gen_flag");
    SetInstanceValue(scale, "K", "1");
    Wire(osc, "o", flag, "clk");
    Wire(osc, "v", scale, "a");
    Wire(scale, "y", flag, "d");
    model_.ClearLog();
    const fs::path top = Generate(true);
    EXPECT_TRUE(LogHas("Warning: No top level port exists."));
    const std::string text = ReadBytes(top.string());
    EXPECT_NE(text.find("entity closed_top is\r\nend closed_top;"), std::string::npos) << text;
    ExpectGhdlAccepts(scratch_, top, "closed_top", {kLeaves / "leaves.vhd"}, "work");
}

} // namespace
} // namespace zun::e2e
