// A full-source VHDL top of a public library's entities, through the wizard and the real engine,
// elaborated by ghdl with the library's own sources: neorv32's processor, whose context clauses
// name its library and package and whose optional inputs have defaults, and one of its FIFOs,
// one bit wide, on a std_logic output that the top also drives out.
#include "StdLogicText.h"
#include "e2e/WizardProject.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace zun::e2e {
namespace {

const fs::path kCore = kCorpus / "neorv32" / "rtl" / "core";

// The library's files in an order ghdl analyses them in: each round analyses the files that the
// rounds before it made analysable.
std::vector<fs::path> AnalysisOrder(const fs::path& dir, const std::string& library,
                                    const std::string& standard) {
    std::vector<fs::path> pending;
    for (const auto& entry : fs::directory_iterator(kCore))
        if (entry.path().extension() == ".vhd")
            pending.push_back(entry.path());
    std::sort(pending.begin(), pending.end());
    std::vector<fs::path> order;
    while (!pending.empty()) {
        std::vector<fs::path> rest;
        for (const fs::path& file : pending) {
            const CommandResult analysed =
                RunCommand("ghdl -a --std=" + standard + " --workdir=" + ShellWord(dir) +
                           " --work=" + library + " " + ShellWord(file));
            (analysed.status == 0 ? order : rest).push_back(file);
        }
        if (rest.size() == pending.size()) {
            ADD_FAILURE() << "ghdl analyses none of " << rest.size() << " files, the first "
                          << rest.front();
            break;
        }
        pending = std::move(rest);
    }
    return order;
}

class Neorv32VhdlTop : public WizardProject {
protected:
    // The wizard reads copies whose std_ulogic ports are written std_logic, the types the
    // engine reads; the project then names the library's own files, which the generator reads.
    void Build() {
        const fs::path copies = scratch_ / "as_std_logic";
        fs::create_directories(copies);
        wizard_.Open('N', false);
        for (const char* name : {"neorv32_top.vhd", "neorv32_prim.vhd"}) {
            const fs::path copy = copies / name;
            WriteBytes(copy.string(), corpus::AsStdLogic(ReadBytes((kCore / name).string())));
            ASSERT_EQ(wizard_.AddSourceFile(copy.string()), AddSourceResult::Added) << copy;
        }
        wizard_.SetupWizardPage();
        ASSERT_TRUE(wizard_.Next());
        for (ModuleRow& row : wizard_.Modules)
            row.selected = row.module != "neorv32_top" && row.module != "neorv32_prim_fifo";
        wizard_.RemoveSelectedModules();
        ASSERT_EQ(wizard_.Modules.size(), 2u);
        wizard_.TopModuleText = "soc_top";
        ASSERT_TRUE(wizard_.Ok());
        Rebuild();
        cpu_ = Instance("neorv32_top");
        fifo_ = Instance("neorv32_prim_fifo");
        for (const std::string& inst : {cpu_, fifo_}) {
            const mdu* m = nullptr;
            for (const mdu& each : model_.MduList)
                if (each.InstName == inst)
                    m = &each;
            ASSERT_NE(m, nullptr);
            const std::string original = (kCore / fs::path(m->SrcPath).filename()).string();
            ASSERT_TRUE(model_.SetPortLineFields(inst, "", "M", 3, original));
            Rebuild();
        }

        SetInstanceValue(fifo_, "AWIDTH", "2");
        SetInstanceValue(fifo_, "DWIDTH", "1");
        SetInstanceValue(fifo_, "OUTGATE", "false");
        Confirm(fifo_, "wdata_i", 0, 0);
        Confirm(fifo_, "rdata_o", 0, 0);

        Map(cpu_, "clk_i");
        MapTo(fifo_, "clk_i", "clk_i");
        Map(cpu_, "rstn_i");
        MapTo(fifo_, "rstn_i", "rstn_i");
        // A std_logic output the design reads, into a vector of one bit.
        Map(cpu_, "uart0_txd_o");
        Wire(cpu_, "uart0_txd_o", fifo_, "wdata_i");
        // A vector of one bit into a std_logic input that has a default.
        Wire(fifo_, "rdata_o", cpu_, "uart1_rxd_i");
        for (const char* name : {"clear_i", "we_i", "re_i", "avail_o"})
            Map(fifo_, name);
        Map(cpu_, "gpio_o");
        model_.ClearLog();
    }

    std::string cpu_, fifo_;
};

TEST_F(Neorv32VhdlTop, ProcessorAndFifoTopIsElaboratedByGhdlWithTheLibrary) {
    REQUIRE_TOOL("ghdl");
    REQUIRE_CORPUS((kCore / "neorv32_top.vhd").string());
    Build();
    const fs::path top = Generate(true);
    const std::string text = ReadBytes(top.string());
    // The processor's clauses, then what the FIFO's file adds.
    EXPECT_NE(text.find("use IEEE.std_logic_1164.all;\r\nlibrary neorv32;\r\n"
                        "use neorv32.neorv32_package.all;\r\nuse ieee.numeric_std.all;\r\n"
                        "entity soc_top"),
              std::string::npos)
        << text;
    for (const char* piece : {" :='L';", " :='H';", " :=(others => 'L');", "uart0_txd_o_int"})
        EXPECT_NE(text.find(piece), std::string::npos) << piece;
    EXPECT_FALSE(LogHas("Warning: The input port jtag_tck_i (" + cpu_ +
                        ") is left open; VHDL requires it to be connected."));

    // Only VHDL-2008 makes std_logic_vector a subtype of the std_ulogic_vector of the library's
    // ports. The two trace ports are records, which the engine does not read.
    const fs::path order = scratch_ / "order";
    const fs::path work = scratch_ / "ghdl08";
    fs::create_directories(order);
    fs::create_directories(work);
    std::vector<fs::path> files = AnalysisOrder(order, "neorv32", "08");
    files.push_back(top);
    ExpectGhdlElaborates(work, files, "soc_top", "08", "neorv32", false,
                         {"trace_cpu0_o", "trace_cpu1_o"});
}

} // namespace
} // namespace zun::e2e
