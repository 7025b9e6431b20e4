// Parameterised widths end to end: a new project from verilog-ethernet's axis_fifo through the
// real engine, DATA_WIDTH set on the Instances page and applied through width confirmation, every
// port mapped to the top level, the top generated through the real engine and judged by iverilog,
// verilator and yosys against the module's own widths for that value.
#include "GeneratedTop.h"
#include "HdlJudges.h"

#include "editor/canvas/PropertiesPresenter.h"
#include "editor/hdl/ModelWizardProject.h"
#include "editor/hdl/ModuleUpdate.h"
#include "editor/hdl/WidthConfirmation.h"
#include "editor/model/TopLevel.h"
#include "support/FileFixtures.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace zun::e2e {
namespace {

const fs::path kFifo = kCorpus / "verilog-ethernet" / "lib" / "axis" / "rtl" / "axis_fifo.v";

class WidthsE2e : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(fs::path(ZUN_BUILD_DIR) / "qve")) << "the engine is not built";
        model.AppDir = std::string(ZUN_BUILD_DIR) + "/";
        model.WorkDir = (fs::path(scratch.Root()) / "work").string() + "/";
        fs::create_directories(model.WorkDir);
        runner.SetDirectories(model.AppDir, model.WorkDir);
        wizard.SetProject(&project);
        page.UpdatePicture = [this] { model.UpdatePicExecute(RebuildSender::MainWindow); };
        widths.UpdatePicture = page.UpdatePicture;
    }

    // New Project with the file: its page, Next, OK, then the new-project command's steps.
    void NewProject(const std::string& source, const std::string& top) {
        wizard.Open('N', false);
        ASSERT_EQ(wizard.AddSourceFile(source), AddSourceResult::Added);
        wizard.SetupWizardPage();
        ASSERT_TRUE(wizard.Next());
        wizard.TopModuleText = top;
        ASSERT_TRUE(wizard.Ok());
        model.UpdatePicExecute(RebuildSender::FileNewPrj);
        bool first = true;
        std::vector<std::string> added;
        for (const mdu& m : model.MduList)
            if (!m.ModuleName.empty())
                added.push_back(m.InstName);
        for (const std::string& inst : added) {
            CheckAddedInstance(model, page, widths, inst, first);
            first = false;
        }
        model.UpdatePicExecute(RebuildSender::MainWindow);
    }
    int ParamRow(const std::string& name) const {
        for (std::size_t i = 0; i < page.ListView2.size(); ++i)
            if (page.ListView2[i].Name == name)
                return static_cast<int>(i);
        return -1;
    }
    const port& Port(const std::string& inst, const std::string& name) {
        const int k = model.FindPortQuiet(inst, name);
        EXPECT_GE(k, 0) << inst << "." << name;
        return model.PortList[k < 0 ? 0 : k];
    }
    // Every port of the instance becomes a top port of its width, as "All Lone Ports" maps them.
    void MapEveryPort(const std::string& inst) {
        std::vector<std::string> names;
        const mdu& m = model.MduList[model.FindInstance(inst)];
        for (int i = m.FirstPort; i >= 0 && i <= m.LastPort; ++i)
            names.push_back(model.PortList[i].Name);
        for (const std::string& name : names) {
            ASSERT_TRUE(MapPortToTop(model, Port(inst, name), model.FirstMduLine, "", false))
                << name;
            model.UpdatePicExecute(RebuildSender::MainWindow);
        }
    }
    fs::path Generate(const std::string& name) {
        const fs::path top = fs::path(scratch.Root()) / name;
        GenerateTop(model, model.WorkDir, false, top);
        return top;
    }

    TempDir scratch;
    ProjectModel model;
    ModelWizardProject project{model,
                               [this] { model.UpdatePicExecute(RebuildSender::MainWindow); }};
    ScriptedPrompt prompt;
    EngineRunner runner{"/", "/"};
    ModuleWizard wizard{prompt, runner};
    WidthConfirmation widths{model, prompt};
    PropertiesPresenter page{model, prompt, widths};
};

} // namespace

TEST_F(WidthsE2e, AxisFifoWithDataWidthSixteenGetsNumericWidthsTheToolsAccept) {
    REQUIRE_CORPUS(kFifo);
    NewProject(kFifo, "fifo_top");
    const std::string inst = "u_axis_fifo_0";
    ASSERT_GE(model.FindInstance(inst), 0);
    // $clog2 is no arithmetic: with the status bounds unknown nothing of the instance is written
    // yet.
    EXPECT_FALSE(Port(inst, "s_axis_tkeep").Numeric);
    EXPECT_FALSE(Port(inst, "status_depth").Numeric);
    EXPECT_FALSE(Port(inst, "s_axis_tdata").Numeric);
    EXPECT_EQ(Port(inst, "clk").WidthText, "");
    const std::vector<std::string>& log = model.Log.Lines();
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "Warning: Found undefined port width in the instance: " + inst + "."),
              log.end());

    // The Instances page: DATA_WIDTH := 16, Apply. A width fails, so the dialog asks; the bounds
    // the arithmetic cannot give are set by hand there.
    page.ComboBox1DropDown();
    page.ComboBox1Change(inst);
    ASSERT_GE(ParamRow("DATA_WIDTH"), 0);
    // Typed in hexadecimal: the top must still say 16, which the tools read.
    page.FloatEditExit(ParamRow("DATA_WIDTH"), ValueColumn, "$10", false);
    int dialogs = 0;
    page.ShowWidthDialog = [&] {
        ++dialogs;
        for (int r = 0; r < static_cast<int>(widths.Rows.size()); ++r) {
            const WidthRow& row = widths.Rows[r];
            if (row.Port == "s_axis_tdata") {
                EXPECT_EQ(row.MsbVal, "15");
            }
            if (row.Port.find("tkeep") != std::string::npos) {
                EXPECT_EQ(row.MsbVal, "1") << "KEEP_WIDTH = (16+7)/8 = 2 bytes";
            }
            if (row.Port.rfind("status_depth", 0) == 0)
                widths.SetCell(r, SetMsbColumn, "12"); // $clog2(4096)
        }
        return widths.BitBtn1Click();
    };
    page.Btn3Click();
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(prompt.Done());
    const mdu& fifo = model.MduList[model.FindInstance(inst)];
    for (int i = fifo.FirstPort; i <= fifo.LastPort; ++i)
        EXPECT_TRUE(model.PortList[i].Numeric) << model.PortList[i].Name;
    EXPECT_EQ(Port(inst, "s_axis_tdata").WidthText, "15:0");
    EXPECT_EQ(Port(inst, "m_axis_tdata").WidthText, "15:0");
    EXPECT_EQ(Port(inst, "s_axis_tkeep").WidthText, "1:0");
    EXPECT_EQ(Port(inst, "status_depth").WidthText, "12:0");
    EXPECT_EQ(model.GetPortLineField(inst, "s_axis_tdata", 5), "DATA_WIDTH-1")
        << "the expression stays for the next evaluation";

    MapEveryPort(inst);
    ASSERT_EQ(model.TopRecord()->LastPort - model.TopRecord()->FirstPort,
              fifo.LastPort - fifo.FirstPort);
    const fs::path top = Generate("top.v");
    const std::string text = ReadBytes(top.string());
    EXPECT_NE(text.find("defparam " + inst + ".DATA_WIDTH = 16 ;"), std::string::npos) << text;
    EXPECT_NE(text.find("[15:0]"), std::string::npos) << text;

    REQUIRE_TOOL("iverilog");
    ExpectIverilogAccepts(top, {kFifo});
    REQUIRE_TOOL("verilator");
    ExpectVerilatorAccepts(scratch.Root(), top, "fifo_top", {kFifo}, true);
    REQUIRE_TOOL("yosys");
    const std::optional<Json> netlist = YosysJson(scratch.Root(), top, "fifo_top", {kFifo});
    ASSERT_TRUE(netlist);
    ExpectNetlistMatchesTheWires(*netlist, model);

    // The judges see the widths: the same top with the instance left at the default DATA_WIDTH
    // of 8 is refused by both.
    ASSERT_TRUE(model.SetPortLineFields(inst, "DATA_WIDTH", "R", 5, ""));
    model.UpdatePicExecute(RebuildSender::MainWindow);
    const fs::path stale = Generate("stale.v");
    const CommandResult iv =
        RunCommand("iverilog -g2005 -o /dev/null " + stale.string() + " " + kFifo.string());
    EXPECT_NE(iv.output.find("expects 8 bits, got 16"), std::string::npos) << iv.output;
    const CommandResult vl = RunCommand("verilator --lint-only --timescale 1ns/1ps --top-module "
                                        "fifo_top -Wno-fatal " +
                                        stale.string() + " " + kFifo.string());
    EXPECT_NE(vl.output.find("%Warning-WIDTH"), std::string::npos) << vl.output;
}

} // namespace zun::e2e
