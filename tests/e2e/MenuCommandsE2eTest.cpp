// The commands of the context menu and the top-port imports on a project the wizard builds from
// the example design and the shared corpus: top ports imported from HDL with their types and as
// variant ones, a top port deleted, lone ports mapped, outputs combined into one bus and an input,
// an output and its enable into one inout; the generated top is judged by iverilog, verilator,
// yosys (each wire and each bus slice on its bits) and ghdl.
#include "AcceptingDialogs.h"
#include "WizardProject.h"

#include "editor/canvas/CanvasController.h"
#include "editor/canvas/ContextMenu.h"
#include "editor/canvas/LonePorts.h"

namespace zun::e2e {
namespace {

const fs::path kDemo = fs::path(ZUN_TEST_DATA).parent_path().parent_path() / "examples" / "demo";

class MenuCommandsE2e : public WizardProject {
protected:
    void SetUp() override {
        WizardProject::SetUp();
        host_.Rebuild = [this] { Rebuild(); };
        host_.SetStatusText = [](int, const std::string&) {};
        host_.SetCursor = [](int) {};
        host_.prompt = &prompt_;
    }

    // Import Top Port, From HDL Source: the wizard in mode 'T' on one source.
    void ImportTopPorts(const fs::path& source, bool inheritType) {
        wizard_.Open('T', false);
        ASSERT_EQ(wizard_.AddSourceFile(source.string()), AddSourceResult::Added) << source;
        wizard_.SetupWizardPage();
        ASSERT_TRUE(wizard_.Next());
        wizard_.InheritType = inheritType;
        ASSERT_EQ(wizard_.TopSelector(), inheritType ? "*T" : "*t");
        ASSERT_TRUE(wizard_.Ok());
        Rebuild();
    }
    // A right click on the port with the given selection, and a click on the item.
    void Choose(const std::string& inst, const std::string& name,
                const std::vector<std::pair<std::string, std::string>>& selection,
                const std::string& caption) {
        model_.SelList.clear();
        for (const auto& [i, n] : selection)
            model_.SelList.push_back(model_.FindPortQuiet(i, n));
        const port& p = P(inst, name);
        menu_.PopupMenu1Popup(p.X + model_.PrtWidth / 2, p.Y + model_.PrtHeight / 2, 600);
        for (const PopupItem& item : menu_.Items)
            if (item.Caption == caption) {
                menu_.PopupItemClick(&item);
                return;
            }
        ADD_FAILURE() << "no " << caption << " on " << inst << "." << name;
    }
    std::string TopLine(const std::string& name) {
        const ProjectLine& l = model_.LineList[P(model_.TopName, name).LineIndex];
        return l[0] + " " + l[1] + ":" + l[2] + (l[4] == "Y" ? " combined" : "");
    }

    // counter, pwm and sync2 of the example, and the corpus's dual-port RAM.
    fs::path Ram() const { return kCorpus / "uart16550" / "rtl" / "verilog" / "raminfr.v"; }
    std::vector<fs::path> Leaves() const {
        return {kDemo / "counter.v", kDemo / "pwm.v", kDemo / "sync2.v", Ram()};
    }

    void Build() {
        NewProject(Leaves(), "menu_top");
        const std::string counter = Instance("counter");
        const std::string pwm = Instance("pwm");
        const std::string sync = Instance("sync2");
        const std::string ram = Instance("raminfr");
        Confirm(counter, "count", 7, 0);
        for (const char* port : {"a", "dpra"})
            Confirm(ram, port, 3, 0);
        for (const char* port : {"di", "dpo"})
            Confirm(ram, port, 7, 0);

        // pwm's ports as the top's, typed; sync2's as variant ports, its clk a duplicate.
        ImportTopPorts(kDemo / "pwm.v", true);
        ImportTopPorts(kDemo / "sync2.v", false);
        EXPECT_TRUE(LogHas("Info: Ignore duplicate top port: clk."));
        EXPECT_EQ(TopLine("count"), "INPUT 7:0");
        EXPECT_EQ(TopLine("pwm_out"), "OUTPUT :");
        EXPECT_EQ(TopLine("async_in"), "KVAR :");
        // The imported count would drive the counter's own output: it goes.
        Choose(model_.TopName, "count", {}, "Delete");
        ASSERT_EQ(model_.FindPortQuiet(model_.TopName, "count"), -1);

        for (const char* port : {"clk", "rst_n"}) {
            MapTo(counter, port, port);
            MapTo(pwm, port, port);
        }
        MapTo(sync, "clk", "clk");
        MapTo(ram, "clk", "clk");
        Wire(counter, "count", pwm, "count");
        MapTo(pwm, "duty", "duty");
        MapTo(pwm, "pwm_out", "pwm_out");
        // Variant top ports take the direction of what they are wired to.
        MapTo(sync, "async_in", "async_in");
        MapTo(sync, "sync_out", "sync_out");
        EXPECT_EQ(TopLine("sync_out"), "OUTPUT :");

        // The counter's value and the RAM's input become one inout under sync_out.
        Choose(counter, "count", {}, "Map to top");
        Choose(ram, "di", {}, "Map to top");
        dialogs_.InoutName = "pad";
        Choose(model_.TopName, "di",
               {{model_.TopName, "di"}, {model_.TopName, "count"}, {model_.TopName, "sync_out"}},
               "Combine to inout...");
        EXPECT_EQ(TopLine("pad"), "BIDIR 7:0 combined");

        // The RAM's read port and the modulator's output become one bus, the read port high.
        EXPECT_EQ(MapOutputsExecute(model_), 1);
        dialogs_.BusName = "rd";
        Choose(model_.TopName, "dpo", {{model_.TopName, "dpo"}, {model_.TopName, "pwm_out"}},
               "Combine...");
        EXPECT_EQ(TopLine("rd"), "OUTPUT 8:0 combined");

        // What is left lone goes to the top: the counter's enable and the RAM's controls.
        EXPECT_EQ(MapAllOrphansExecute(model_), 4);
        for (const char* name : {"en", "we", "a", "dpra"})
            EXPECT_GE(model_.FindPortQuiet(model_.TopName, name), 0) << name;
        model_.ClearLog();
    }

    ViewState view_ = ViewState::Initial();
    CanvasHost host_;
    CanvasController canvas_{model_, view_, host_};
    AcceptingDialogs dialogs_;
    ContextMenu menu_{model_, view_, canvas_, host_, dialogs_, prompt_};
};

TEST_F(MenuCommandsE2e, VerilogTopPassesIverilog) {
    REQUIRE_TOOL("iverilog");
    REQUIRE_CORPUS(Ram());
    Build();
    ExpectIverilogAccepts(Generate(false), Leaves());
}

TEST_F(MenuCommandsE2e, VerilogTopPassesVerilatorLint) {
    REQUIRE_TOOL("verilator");
    REQUIRE_CORPUS(Ram());
    Build();
    ExpectVerilatorAccepts(scratch_, Generate(false), "menu_top", Leaves(), true);
}

TEST_F(MenuCommandsE2e, VerilogTopPassesYosysWithEveryWireAndSliceOnItsBits) {
    REQUIRE_TOOL("yosys");
    REQUIRE_CORPUS(Ram());
    Build();
    std::optional<Json> netlist = YosysJson(scratch_, Generate(false), "menu_top", Leaves());
    ASSERT_TRUE(netlist);
    ExpectNetlistMatchesTheWires(*netlist, model_);
}

// Our VHDL leaves, their ports imported as variant top ports that take the direction of what is
// wired to them, the rest mapped.
TEST_F(MenuCommandsE2e, VhdlTopWithImportedAndMappedPortsPassesGhdl) {
    REQUIRE_TOOL("ghdl");
    const fs::path leaves = fs::path(ZUN_TEST_DATA) / "gen" / "leaves.vhd";
    NewProject({leaves}, "vmenu_top");
    const std::string scale = Instance("gen_scale");
    const std::string flag = Instance("gen_flag");
    const std::string osc = Instance("gen_osc");
    SetInstanceValue(scale, "K", "2");
    Wire(scale, "y", flag, "d");
    ImportTopPorts(leaves, false);
    EXPECT_TRUE(LogHas("Info: Ignore top port: y. The wire is already used by the port: y(" +
                       scale + ")."));
    EXPECT_EQ(TopLine("a"), "KVAR :");
    MapTo(scale, "a", "a");
    MapTo(flag, "clk", "clk");
    MapTo(flag, "f", "f");
    EXPECT_EQ(TopLine("a"), "INPUT 7:0");
    EXPECT_EQ(TopLine("f"), "OUTPUT 3:3");
    // The oscillator's o and v would take the variant ports' names: they get their own.
    model_.TopNameRule = "%M_%P";
    EXPECT_EQ(MapAllOrphansExecute(model_), 2);
    EXPECT_GE(model_.FindPortQuiet(model_.TopName, osc + "_v"), 0);
    model_.ClearLog();
    const fs::path top = Generate(true);
    EXPECT_TRUE(LogHas("Warning: Ignore variant port:d.")) << "d stays variant and unconnected";
    ExpectGhdlAccepts(scratch_, top, "vmenu_top", {leaves}, "work");
}

// The assignments that Combine and Combine to inout write, in the VHDL top: an input bus whose
// low bit feeds a std_logic port, an output bus whose low bit comes from a one-bit vector port
// (3 downto 3), and an inout of eight bits with its one-bit enable.
TEST_F(MenuCommandsE2e, VhdlTopWithCombinedBusesAndAnInoutPassesGhdl) {
    REQUIRE_TOOL("ghdl");
    const fs::path leaves = fs::path(ZUN_TEST_DATA) / "gen" / "leaves.vhd";
    NewProject({leaves}, "vcomb_top");
    const std::string scale = Instance("gen_scale");
    const std::string flag = Instance("gen_flag");
    const std::string osc = Instance("gen_osc");
    SetInstanceValue(scale, "K", "2");
    const std::string top = model_.TopName;
    for (const auto& [inst, name] : std::vector<std::pair<std::string, std::string>>{
             {scale, "a"}, {scale, "y"}, {flag, "clk"}, {flag, "d"}, {flag, "f"}, {osc, "o"},
             {osc, "v"}})
        Map(inst, name);

    dialogs_.InoutName = "pad";
    Choose(top, "d", {{top, "d"}, {top, "y"}, {top, "o"}}, "Combine to inout...");
    EXPECT_EQ(TopLine("pad"), "BIDIR 7:0 combined");
    dialogs_.BusName = "rd";
    Choose(top, "v", {{top, "v"}, {top, "f"}}, "Combine...");
    EXPECT_EQ(TopLine("rd"), "OUTPUT 8:0 combined");
    dialogs_.BusName = "bus_in";
    Choose(top, "a", {{top, "a"}, {top, "clk"}}, "Combine...");
    EXPECT_EQ(TopLine("bus_in"), "INPUT 8:0 combined");
    model_.ClearLog();

    const fs::path vhdl = Generate(true);
    ExpectGhdlAccepts(scratch_, vhdl, "vcomb_top", {leaves}, "work");
}

} // namespace
} // namespace zun::e2e
