// Tops generated from projects described by hand and finished by the real qve program, judged
// by iverilog, verilator, yosys and ghdl: our own leaf modules and modules of the shared corpus.
#include "FinishDesign.h"
#include "GeneratedTop.h"
#include "HdlJudges.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace zun::e2e {
namespace {

const fs::path kData = fs::path(ZUN_TEST_DATA) / "finish" / "e2e";

DesignPort In(const std::string& name, int msb = -1, int lsb = -1) {
    return {'I', name, msb, lsb, "", ""};
}
DesignPort Out(const std::string& name, int msb = -1, int lsb = -1) {
    return {'O', name, msb, lsb, "", ""};
}
DesignPort Inout(const std::string& name, int msb = -1, int lsb = -1) {
    return {'B', name, msb, lsb, "", ""};
}
DesignPort WithBounds(DesignPort port, const std::string& msbText, const std::string& lsbText) {
    port.msbText = msbText;
    port.lsbText = lsbText;
    return port;
}

// The net of a top port: the module port is the head, the top port end B, named like the port.
void ToTop(Design& design, const std::string& instance, const std::string& port,
           const std::string& topPort) {
    design.wires.push_back({instance, port, design.top, topPort, topPort});
}

// Three of our own leaves. The instances are named so that the old faults would show: cnt10
// stands before cnt1 with another width, and the second inverter is named like a word that stands
// before its head: its module's name in Verilog, the first inverter's port "a" in VHDL (where an
// instance may not be named like a component).
Design OwnLeaves(bool vhdl) {
    const std::string inv = vhdl ? "a" : "inv";
    Design design;
    design.top = "e2e_top";
    design.ports = {In("clk"),       In("rst"),   In("en"),          Out("y", 7, 0),
                    Out("y0", 7, 0), Out("p"),    Out("hi", 3, 0),   Out("spare", 3, 0),
                    In("oe"),        Inout("io"), Inout("iob", 3, 0)};
    auto counter = [&](const std::string& name, int width) {
        DesignInstance instance{
            "e2e_counter",
            name,
            {In("clk"), In("rst"), In("en"), WithBounds(Out("q", width - 1, 0), "W-1", "0")},
            {{"W", "natural", "8", std::to_string(width)}}};
        return instance;
    };
    design.instances = {counter("cnt10", 4),
                        counter("cnt1", 8),
                        {"inv", "inv_0", {In("a", 7, 0), Out("y", 7, 0)}, {}},
                        {"inv", inv, {In("a", 7, 0), Out("y", 7, 0)}, {}},
                        {"e2e_parity", "par", {In("d", 7, 0), Out("p")}, {}}};
    for (const char* signal : {"clk", "rst", "en"}) {
        ToTop(design, "cnt10", signal, signal);
        design.wires.push_back({"cnt10", signal, "cnt1", signal, signal});
    }
    design.wires.push_back({inv, "a", "cnt1", "q", "count"});
    design.wires.push_back({inv, "a", "inv_0", "a", "count"});
    ToTop(design, inv, "y", "y");
    design.wires.push_back({inv, "y", "par", "d", "y"});
    ToTop(design, "inv_0", "y", "y0");
    ToTop(design, "par", "p", "p");
    design.assigns = {" hi = count [7:4] ", " io = ( oe ==1'b1)? 1'bz : p ",
                      " iob = ( oe ==1'b0)? 4'bz : hi "};
    // spare is open and tied; hi is driven by its assignment.
    design.assignOpenOut = '0';
    return design;
}

// Escaped names everywhere the editor makes them: an instance, a top port and its net, and a net
// whose name holds a backslash inside.
Design EscapedNames() {
    Design design;
    design.top = "escaped_top";
    design.ports = {In("in", 7, 0), Out("\\out-1 ", 7, 0), Out("q", 7, 0)};
    design.instances = {{"inv", "\\u.inv ", {In("a", 7, 0), Out("y", 7, 0)}, {}},
                        {"inv", "u2", {In("a", 7, 0), Out("y", 7, 0)}, {}}};
    ToTop(design, "\\u.inv ", "a", "in");
    ToTop(design, "\\u.inv ", "y", "\\out-1 ");
    design.wires.push_back({"\\u.inv ", "y", "u2", "a", "\\out-1 "});
    ToTop(design, "u2", "y", "q");
    return design;
}

// verilog-ethernet's FIFO feeding its width adapter (8 to 16 bits).
Design EthernetStream() {
    Design design;
    design.top = "stream_top";
    design.ports = {In("clk"),       In("rst"),      In("s_tdata", 7, 0),   In("s_tvalid"),
                    Out("s_tready"), In("s_tlast"),  Out("m_tdata", 15, 0), Out("m_tkeep", 1, 0),
                    Out("m_tvalid"), In("m_tready"), Out("m_tlast")};
    DesignInstance fifo{"axis_fifo",
                        "u_fifo",
                        {In("clk"),
                         In("rst"),
                         WithBounds(In("s_axis_tdata", 7, 0), "DATA_WIDTH-1", "0"),
                         WithBounds(In("s_axis_tkeep", 0, 0), "KEEP_WIDTH-1", "0"),
                         In("s_axis_tvalid"),
                         Out("s_axis_tready"),
                         In("s_axis_tlast"),
                         WithBounds(In("s_axis_tid", 7, 0), "ID_WIDTH-1", "0"),
                         WithBounds(In("s_axis_tdest", 7, 0), "DEST_WIDTH-1", "0"),
                         WithBounds(In("s_axis_tuser", 0, 0), "USER_WIDTH-1", "0"),
                         WithBounds(Out("m_axis_tdata", 7, 0), "DATA_WIDTH-1", "0"),
                         WithBounds(Out("m_axis_tkeep", 0, 0), "KEEP_WIDTH-1", "0"),
                         Out("m_axis_tvalid"),
                         In("m_axis_tready"),
                         Out("m_axis_tlast"),
                         WithBounds(Out("m_axis_tid", 7, 0), "ID_WIDTH-1", "0"),
                         WithBounds(Out("m_axis_tdest", 7, 0), "DEST_WIDTH-1", "0"),
                         WithBounds(Out("m_axis_tuser", 0, 0), "USER_WIDTH-1", "0"),
                         In("pause_req"),
                         Out("pause_ack"),
                         WithBounds(Out("status_depth", 4, 0), "$clog2(DEPTH)", "0"),
                         WithBounds(Out("status_depth_commit", 4, 0), "$clog2(DEPTH)", "0"),
                         Out("status_overflow"),
                         Out("status_bad_frame"),
                         Out("status_good_frame")},
                        {{"DEPTH", "integer", "4096", "16"}, {"DATA_WIDTH", "integer", "8", ""}}};
    DesignInstance adapter{
        "axis_adapter",
        "u_adapter",
        {In("clk"), In("rst"), WithBounds(In("s_axis_tdata", 7, 0), "S_DATA_WIDTH-1", "0"),
         WithBounds(In("s_axis_tkeep", 0, 0), "S_KEEP_WIDTH-1", "0"), In("s_axis_tvalid"),
         Out("s_axis_tready"), In("s_axis_tlast"),
         WithBounds(In("s_axis_tid", 7, 0), "ID_WIDTH-1", "0"),
         WithBounds(In("s_axis_tdest", 7, 0), "DEST_WIDTH-1", "0"),
         WithBounds(In("s_axis_tuser", 0, 0), "USER_WIDTH-1", "0"),
         WithBounds(Out("m_axis_tdata", 15, 0), "M_DATA_WIDTH-1", "0"),
         WithBounds(Out("m_axis_tkeep", 1, 0), "M_KEEP_WIDTH-1", "0"), Out("m_axis_tvalid"),
         In("m_axis_tready"), Out("m_axis_tlast"),
         WithBounds(Out("m_axis_tid", 7, 0), "ID_WIDTH-1", "0"),
         WithBounds(Out("m_axis_tdest", 7, 0), "DEST_WIDTH-1", "0"),
         WithBounds(Out("m_axis_tuser", 0, 0), "USER_WIDTH-1", "0")},
        {{"S_DATA_WIDTH", "integer", "8", ""}, {"M_DATA_WIDTH", "integer", "8", "16"}}};
    design.instances = {fifo, adapter};
    for (const char* signal : {"clk", "rst"}) {
        ToTop(design, "u_fifo", signal, signal);
        design.wires.push_back({"u_fifo", signal, "u_adapter", signal, signal});
    }
    ToTop(design, "u_fifo", "s_axis_tdata", "s_tdata");
    ToTop(design, "u_fifo", "s_axis_tvalid", "s_tvalid");
    ToTop(design, "u_fifo", "s_axis_tready", "s_tready");
    ToTop(design, "u_fifo", "s_axis_tlast", "s_tlast");
    for (const char* stream : {"tdata", "tkeep", "tvalid", "tlast", "tid", "tdest", "tuser"})
        design.wires.push_back({"u_fifo", std::string("m_axis_") + stream, "u_adapter",
                                std::string("s_axis_") + stream, std::string("fifo_") + stream});
    design.wires.push_back(
        {"u_adapter", "s_axis_tready", "u_fifo", "m_axis_tready", "fifo_tready"});
    ToTop(design, "u_adapter", "m_axis_tdata", "m_tdata");
    ToTop(design, "u_adapter", "m_axis_tkeep", "m_tkeep");
    ToTop(design, "u_adapter", "m_axis_tvalid", "m_tvalid");
    ToTop(design, "u_adapter", "m_axis_tready", "m_tready");
    ToTop(design, "u_adapter", "m_axis_tlast", "m_tlast");
    return design;
}

// neorv32's FIFO primitive twice (f10 of 4 bits before f1 of 8) feeding its single-port RAM.
Design Neorv32Buffer() {
    Design design;
    design.top = "buffer_top";
    design.ports = {In("clk"), In("rstn"),       In("clear"),      In("we"),
                    In("re"),  In("din", 7, 0),  In("din4", 3, 0), In("en"),
                    In("rw"),  In("addr", 3, 0), Out("dout", 7, 0)};
    auto fifo = [](const std::string& name, int width) {
        return DesignInstance{
            "neorv32_prim_fifo",
            name,
            {In("clk_i"), In("rstn_i"), In("clear_i"),
             WithBounds(In("wdata_i", width - 1, 0), "DWIDTH-1", "0"), In("we_i"), Out("free_o"),
             In("re_i"), WithBounds(Out("rdata_o", width - 1, 0), "DWIDTH-1", "0"), Out("avail_o")},
            {{"AWIDTH", "natural", "2", ""},
             {"DWIDTH", "natural", std::to_string(width), ""},
             {"OUTGATE", "boolean", "false", ""}}};
    };
    DesignInstance ram{"neorv32_prim_spram",
                       "ram",
                       {In("clk_i"), In("en_i"), In("rw_i"),
                        WithBounds(In("addr_i", 3, 0), "AWIDTH-1", "0"),
                        WithBounds(In("data_i", 7, 0), "DWIDTH-1", "0"),
                        WithBounds(Out("data_o", 7, 0), "DWIDTH-1", "0")},
                       {{"AWIDTH", "natural", "4", ""},
                        {"DWIDTH", "natural", "8", ""},
                        {"OUTREG", "boolean", "false", ""}}};
    design.instances = {fifo("f10", 4), fifo("f1", 8), ram};
    const std::pair<const char*, const char*> shared[] = {
        {"clk_i", "clk"}, {"rstn_i", "rstn"}, {"clear_i", "clear"}, {"we_i", "we"}, {"re_i", "re"}};
    for (const auto& [port, top] : shared) {
        design.wires.push_back({"f1", port, design.top, top, top});
        design.wires.push_back({"f1", port, "f10", port, top});
    }
    design.wires.push_back({"f1", "clk_i", "ram", "clk_i", "clk"});
    ToTop(design, "f1", "wdata_i", "din");
    ToTop(design, "f10", "wdata_i", "din4");
    ToTop(design, "ram", "en_i", "en");
    ToTop(design, "ram", "rw_i", "rw");
    ToTop(design, "ram", "addr_i", "addr");
    design.wires.push_back({"ram", "data_i", "f1", "rdata_o", "fifo_data"});
    ToTop(design, "ram", "data_o", "dout");
    return design;
}

class FinishE2e : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("finish-e2e-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override {
        if (!HasFailure())
            fs::remove_all(dir_);
    }

    // The design's project, rebuilt as the editor holds it.
    ProjectModel& Project(const Design& design) {
        model_.LineList = DesignLines(design);
        model_.PrjOpen = true;
        model_.AssignOpenOut = design.assignOpenOut;
        model_.UpdatePicExecute(RebuildSender::MainWindow);
        return model_;
    }

    // The generated Verilog top, saved to top.v.
    fs::path VerilogTop(const Design& design) {
        fs::path top = dir_ / "top.v";
        GenerateTop(Project(design), dir_, false, top);
        return top;
    }

    fs::path VhdlTop(const Design& design) {
        fs::path top = dir_ / "top.vhd";
        GenerateTop(Project(design), dir_, true, top);
        return top;
    }

    ProjectModel model_;
    fs::path dir_;
};

std::vector<fs::path> OwnVerilogLeaves() {
    return {kData / "leaves.v"};
}

std::vector<fs::path> EthernetSources() {
    fs::path rtl = kCorpus / "verilog-ethernet" / "lib" / "axis" / "rtl";
    return {rtl / "axis_fifo.v", rtl / "axis_adapter.v"};
}

TEST_F(FinishE2e, OwnLeavesVerilogTopPassesIverilogWithoutPortWidthWarnings) {
    REQUIRE_TOOL("iverilog");
    ExpectIverilogAccepts(VerilogTop(OwnLeaves(false)), OwnVerilogLeaves());
}

TEST_F(FinishE2e, OwnLeavesVerilogTopPassesVerilatorLint) {
    REQUIRE_TOOL("verilator");
    ExpectVerilatorAccepts(dir_, VerilogTop(OwnLeaves(false)), "e2e_top", OwnVerilogLeaves(),
                           false);
}

TEST_F(FinishE2e, OwnLeavesVerilogTopPassesYosysAndConnectsEveryWireBitForBit) {
    REQUIRE_TOOL("yosys");
    Design design = OwnLeaves(false);
    std::optional<Json> netlist =
        YosysJson(dir_, VerilogTop(design), design.top, OwnVerilogLeaves());
    ASSERT_TRUE(netlist);
    ExpectNetlistMatchesTheWires(*netlist, model_);
}

TEST_F(FinishE2e, EscapedNamesVerilogTopPassesIverilogAndVerilator) {
    REQUIRE_TOOL("iverilog");
    REQUIRE_TOOL("verilator");
    fs::path top = VerilogTop(EscapedNames());
    ExpectIverilogAccepts(top, OwnVerilogLeaves());
    ExpectVerilatorAccepts(dir_, top, "escaped_top", OwnVerilogLeaves(), false);
}

TEST_F(FinishE2e, EscapedNamesVerilogTopConnectsEveryWireBitForBit) {
    REQUIRE_TOOL("yosys");
    Design design = EscapedNames();
    std::optional<Json> netlist =
        YosysJson(dir_, VerilogTop(design), design.top, OwnVerilogLeaves());
    ASSERT_TRUE(netlist);
    ExpectNetlistMatchesTheWires(*netlist, model_);
}

TEST_F(FinishE2e, EthernetStreamVerilogTopPassesIverilogWithoutPortWidthWarnings) {
    REQUIRE_TOOL("iverilog");
    REQUIRE_CORPUS(EthernetSources().front());
    ExpectIverilogAccepts(VerilogTop(EthernetStream()), EthernetSources());
}

TEST_F(FinishE2e, EthernetStreamVerilogTopPassesVerilatorLint) {
    REQUIRE_TOOL("verilator");
    REQUIRE_CORPUS(EthernetSources().front());
    ExpectVerilatorAccepts(dir_, VerilogTop(EthernetStream()), "stream_top", EthernetSources(),
                           true);
}

TEST_F(FinishE2e, EthernetStreamVerilogTopPassesYosysAndConnectsEveryWireBitForBit) {
    REQUIRE_TOOL("yosys");
    REQUIRE_CORPUS(EthernetSources().front());
    Design design = EthernetStream();
    std::optional<Json> netlist =
        YosysJson(dir_, VerilogTop(design), design.top, EthernetSources());
    ASSERT_TRUE(netlist);
    ExpectNetlistMatchesTheWires(*netlist, model_);
}

TEST_F(FinishE2e, OwnLeavesVhdlTopPassesGhdlAnalysisAndElaboration) {
    REQUIRE_TOOL("ghdl");
    ExpectGhdlAccepts(dir_, VhdlTop(OwnLeaves(true)), "e2e_top", {kData / "leaves.vhd"}, "work");
}

TEST_F(FinishE2e, Neorv32BufferVhdlTopPassesGhdlAnalysisAndElaboration) {
    REQUIRE_TOOL("ghdl");
    REQUIRE_CORPUS(kCorpus / "neorv32" / "rtl" / "core" / "neorv32_prim.vhd");
    // Only VHDL-2008 makes std_logic_vector a subtype of the std_ulogic_vector that neorv32's
    // ports have, so that a component of the one binds to an entity of the other.
    ExpectGhdlAccepts(dir_, VhdlTop(Neorv32Buffer()), "buffer_top",
                      {kCorpus / "neorv32" / "rtl" / "core" / "neorv32_prim.vhd"}, "neorv32",
                      {"08"});
}

} // namespace
} // namespace zun::e2e
