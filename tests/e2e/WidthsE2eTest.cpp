// Parameterised widths end to end: a new project from verilog-ethernet's axis_fifo through the
// real engine, DATA_WIDTH set on the Instances page and applied through width confirmation, every
// port mapped to the top level, the top finished by the real engine and judged by iverilog and
// verilator against the module's own widths for that value.
#include "FinishDesign.h"

#include "editor/canvas/PropertiesPresenter.h"
#include "editor/hdl/ModelWizardProject.h"
#include "editor/hdl/ModuleUpdate.h"
#include "editor/hdl/WidthConfirmation.h"
#include "editor/model/TopLevel.h"
#include "support/ChildProcess.h"
#include "support/FileFixtures.h"
#include "support/InCi.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;
using namespace zun::e2e;

namespace {

const std::string kFifo =
    std::string(ZUN_CORPUS_DIR) + "/verilog-ethernet/lib/axis/rtl/axis_fifo.v";

struct ToolOutput {
    int status = -1;
    std::string text;
};

// A judge run by its argument vector in dir, both streams read back; -1 when it could not run.
ToolOutput Judge(const std::vector<std::string>& args, const fs::path& dir) {
    ChildRun run;
    run.argv = args;
    run.argv[0] = FindTool(args[0]);
    run.directory = dir.string();
    run.outputFile = (dir / (args[0] + ".log")).string();
    run.errorFile = run.outputFile;
    ToolOutput out;
    if (run.argv[0].empty())
        return out;
    const int status = RunChild(run);
    out.status = status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    out.text = ReadBytes(run.outputFile);
    return out;
}

#define REQUIRE_JUDGE(tool)                                                                        \
    do {                                                                                           \
        if (FindTool(tool).empty()) {                                                              \
            if (InCi())                                                                            \
                FAIL() << tool << " is not installed, and CI requires every HDL tool";             \
            GTEST_SKIP() << tool << " is not installed";                                           \
        }                                                                                          \
    } while (false)

// The project as the finishing job reads it: the top's ports, each instance with its numeric
// port widths and its parameters (an own value as the override), and the wires.
Design DesignOf(const ProjectModel& m) {
    Design design;
    design.top = m.TopName;
    auto portOf = [](const port& p) {
        DesignPort d;
        d.kind = p.Kind == 'O' ? 'O' : p.Kind == 'B' ? 'B' : 'I';
        d.name = p.Name;
        if (!p.WidthText.empty()) {
            d.msb = p.Msb;
            d.lsb = p.Lsb;
        }
        return d;
    };
    for (const mdu& inst : m.MduList) {
        std::vector<DesignPort> ports;
        for (int i = inst.FirstPort; i >= 0 && i <= inst.LastPort; ++i)
            ports.push_back(portOf(m.PortList[i]));
        if (inst.IsTop()) {
            design.ports = ports;
            continue;
        }
        DesignInstance d{inst.ModuleName, inst.InstName, ports, {}};
        for (const ParamRow& p : ParamRowsOf(inst))
            d.parameters.push_back({p.Name, p.VhdlType, p.Default, p.Value});
        design.instances.push_back(d);
    }
    for (const wire& w : m.WireList)
        design.wires.push_back({w.InstA, w.PortA, w.InstB, w.PortB, w.Name});
    return design;
}

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
    // The top finished by the real engine from the project's lines, written to dir/top.v.
    fs::path FinishedTop(const Design& design, const fs::path& dir) {
        fs::create_directories(dir);
        WriteBytes((dir / "prj.tmp").string(), ConnectionFile(design));
        WriteBytes((dir / "obj.tmp").string(), VerilogSkeleton(design));
        ChildRun run;
        run.argv = {(fs::path(ZUN_BUILD_DIR) / "qve").string(),
                    "0x1898c5" + (dir / "qvh.tmp").string(), (dir / "prj.tmp").string(),
                    (dir / "obj.tmp").string()};
        run.directory = dir.string();
        run.outputFile = (dir / "qve.log").string();
        run.errorFile = run.outputFile;
        const int status = RunChild(run);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadBytes(run.outputFile);
        // The module's own timescale: every module of a verilator run has one.
        WriteBytes((dir / "top.v").string(),
                   "`timescale 1ns / 1ps\n" +
                       CloseVerilogTop(ReadBytes((dir / "qvh.tmp").string())));
        return dir / "top.v";
    }
    ToolOutput Iverilog(const fs::path& top) {
        return Judge({"iverilog", "-g2005", "-o", "/dev/null", top.string(), kFifo},
                     top.parent_path());
    }
    ToolOutput Verilator(const fs::path& top, const std::string& topName) {
        // The corpus module is only read; its own lint is not ours.
        const fs::path waiver = top.parent_path() / "corpus.vlt";
        std::string text = "`verilator_config\nlint_off -file \"" + kFifo + "\"\n";
        for (const char* rule : {"SELRANGE", "WIDTH", "UNUSED", "UNDRIVEN", "CASEINCOMPLETE"})
            text += std::string("lint_off -rule ") + rule + " -file \"" + kFifo + "\"\n";
        WriteBytes(waiver.string(), text);
        return Judge({"verilator", "--lint-only", "-Wno-DEFPARAM", "--top-module", topName,
                      waiver.string(), top.string(), kFifo},
                     top.parent_path());
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
    // KEEP_WIDTH's default names DATA_WIDTH, and $clog2 is no arithmetic: with those bounds
    // unknown nothing of the instance is written yet.
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
    page.FloatEditExit(ParamRow("DATA_WIDTH"), ValueColumn, "16", false);
    int dialogs = 0;
    page.ShowWidthDialog = [&] {
        ++dialogs;
        for (int r = 0; r < static_cast<int>(widths.Rows.size()); ++r) {
            const WidthRow& row = widths.Rows[r];
            if (row.Port == "s_axis_tdata") {
                EXPECT_EQ(row.MsbVal, "15");
            }
            if (row.Port.find("tkeep") != std::string::npos)
                widths.SetCell(r, SetMsbColumn, "1"); // (16+7)/8 = 2 bytes
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
    const Design design = DesignOf(model);
    ASSERT_EQ(design.ports.size(), static_cast<std::size_t>(fifo.LastPort - fifo.FirstPort + 1));
    const fs::path top = FinishedTop(design, fs::path(scratch.Root()) / "good");
    EXPECT_NE(ReadBytes(top.string()).find("defparam " + inst + ".DATA_WIDTH = 16"),
              std::string::npos)
        << ReadBytes(top.string());

    REQUIRE_JUDGE("iverilog");
    const ToolOutput iv = Iverilog(top);
    EXPECT_EQ(iv.status, 0) << iv.text;
    EXPECT_EQ(iv.text.find("expects"), std::string::npos) << iv.text;
    REQUIRE_JUDGE("verilator");
    const ToolOutput vl = Verilator(top, "fifo_top");
    EXPECT_EQ(vl.status, 0) << vl.text;
    EXPECT_EQ(vl.text.find("%Warning"), std::string::npos) << vl.text;

    // The judges see the widths: the same top with the instance left at the default DATA_WIDTH
    // of 8 is refused by both.
    Design stale = design;
    for (DesignParameter& p : stale.instances[0].parameters)
        if (p.name == "DATA_WIDTH")
            p.override.clear();
    const fs::path bad = FinishedTop(stale, fs::path(scratch.Root()) / "stale");
    EXPECT_NE(Iverilog(bad).text.find("expects 8 bits, got 16"), std::string::npos);
    const ToolOutput refused = Verilator(bad, "fifo_top");
    EXPECT_NE(refused.status, 0);
    EXPECT_NE(refused.text.find("WIDTH"), std::string::npos) << refused.text;
}
