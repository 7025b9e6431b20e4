// A new project from HDL sources through the real engine, headless: the wizard's pages driven
// as the user would, the project lines checked, the work directory left clean.
#include "editor/hdl/ModelWizardProject.h"

#include "model/ModelText.h"
#include "support/EngineWorkFiles.h"
#include "support/FileFixtures.h"
#include "support/InCi.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A project line as its eight stored fields, from a TAB-separated text.
std::string Stored(const std::string& text) {
    std::string s = text;
    std::size_t fields = 1 + std::count(s.begin(), s.end(), '\t');
    for (; fields < 8; ++fields)
        s += '\t';
    return s;
}

std::vector<std::string> Stored(const std::vector<std::string>& texts) {
    std::vector<std::string> out;
    for (const std::string& t : texts)
        out.push_back(Stored(t));
    return out;
}

class WizardNewProjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(fs::path(ZUN_BUILD_DIR) / "qve")) << "the engine is not built";
        model_.AppDir = std::string(ZUN_BUILD_DIR) + "/";
        model_.WorkDir = work_.string() + "/";
        runner_.SetDirectories(model_.AppDir, model_.WorkDir);
        wizard_.SetProject(&project_);
    }

    // Page 1 with the sources, "Next"; true when the module page shows.
    bool ScanSources(const std::vector<std::string>& sources) {
        wizard_.Open('N', false);
        for (const std::string& s : sources)
            EXPECT_EQ(wizard_.AddSourceFile(s), AddSourceResult::Added) << s;
        wizard_.SetupWizardPage();
        return wizard_.Next();
    }
    // "OK" on the module page, then the rebuild a new project gets.
    bool Finish(const std::string& top) {
        wizard_.TopModuleText = top;
        bool closed = wizard_.Ok();
        model_.UpdatePicExecute(RebuildSender::FileNewPrj);
        return closed;
    }
    std::vector<std::string> Modules() const {
        std::vector<std::string> m;
        for (const ModuleRow& r : wizard_.Modules)
            m.push_back(r.module);
        return m;
    }
    std::vector<std::string> WorkFilesLeft() const { return EngineWorkFilesLeft(work_); }
    static std::string Corpus(const std::string& rel) {
        return std::string(ZUN_CORPUS_DIR) + "/" + rel;
    }
    static std::string Data(const std::string& rel) {
        return std::string(ZUN_TEST_DATA) + "/" + rel;
    }

    TempDir scratch_;
    fs::path work_{scratch_.Root()};
    ProjectModel model_;
    int pictures_ = 0;
    ModelWizardProject project_{model_, [this] { ++pictures_; }};
    ScriptedPrompt prompt_;
    EngineRunner runner_{"/", "/"};
    ModuleWizard wizard_{prompt_, runner_};
};

TEST_F(WizardNewProjectTest, ExampleSourcesBecomeTheExpectedProject) {
    // The example design sits two folders above the test data.
    const std::string dir =
        (fs::path(ZUN_TEST_DATA) / ".." / ".." / "examples" / "demo").lexically_normal().string();
    const std::string counter = dir + "/counter.v", pwm = dir + "/pwm.v", sync = dir + "/sync2.v";
    ASSERT_TRUE(ScanSources({counter, pwm, sync}));
    EXPECT_EQ(Modules(), (std::vector<std::string>{"counter", "pwm", "sync2"}));
    ASSERT_TRUE(Finish("demo_top"));
    EXPECT_TRUE(prompt_.Done());
    EXPECT_EQ(StoredText(model_.LineList),
              Stored({
                  "Version:\tZUN2012\t1.0\t",
                  "TOP\t\tdemo_top",
                  "MODULE\tcounter\tu_counter_0\t" + counter + "\tverilog",
                  "PARAMETER\t\t\tWIDTH\t 8\t\tK",
                  "INPUT\t\t\tclk\t\t\t",
                  "INPUT\t\t\trst_n\t\t\t",
                  "INPUT\t\t\ten\t\t\t",
                  "OUTPUT\tNA\t0\tcount\t\tWIDTH-1\t0",
                  "MODULE\tpwm\tu_pwm_0\t" + pwm + "\tverilog",
                  "INPUT\t\t\tclk\t\t\t",
                  "INPUT\t\t\trst_n\t\t\t",
                  "INPUT\t7\t0\tcount\t\t7\t0",
                  "INPUT\t7\t0\tduty\t\t7\t0",
                  "OUTPUT\t\t\tpwm_out\t\t\t",
                  "MODULE\tsync2\tu_sync2_0\t" + sync + "\tverilog",
                  "INPUT\t\t\tclk\t\t\t",
                  "INPUT\t\t\tasync_in\t\t\t",
                  "OUTPUT\t\t\tsync_out\t\t\t",
              }));
    EXPECT_EQ(model_.MduList.size(), 4u);
    EXPECT_EQ(model_.PortList.size(), 12u);
    EXPECT_TRUE(WorkFilesLeft().empty());
}

TEST_F(WizardNewProjectTest, VerilogFromTheCorpusAndOurVhdlBecomeOneProject) {
    const std::string ram = Corpus("uart16550/rtl/verilog/raminfr.v");
    const std::string blink = Data("wizard/blink.vhd");
    REQUIRE_CORPUS(ram);

    ASSERT_TRUE(ScanSources({ram, blink}));
    EXPECT_EQ(Modules(), (std::vector<std::string>{"raminfr", "blink"}));
    EXPECT_EQ(wizard_.Modules[0].kind, VerilogKind);
    EXPECT_EQ(wizard_.Modules[1].kind, VhdlKind);
    EXPECT_TRUE(WorkFilesLeft().empty());

    wizard_.Modules[0].selected = true;
    wizard_.Plus();
    ASSERT_TRUE(Finish("chip"));
    EXPECT_TRUE(prompt_.Done());

    const std::vector<std::string> raminfrBlock = {
        "PARAMETER\t\t\taddr_width\t 4\t\tK",
        "PARAMETER\t\t\tdata_width\t 8\t\tK",
        "PARAMETER\t\t\tdepth\t 16",
        "INPUT\t\t\tclk\t\t\t",
        "INPUT\t\t\twe\t\t\t",
        "INPUT\tNA\t0\ta\t\taddr_width-1\t0",
        "INPUT\tNA\t0\tdpra\t\taddr_width-1\t0",
        "INPUT\tNA\t0\tdi\t\tdata_width-1\t0",
        "OUTPUT\tNA\t0\tdpo\t\tdata_width-1\t0",
    };
    std::vector<std::string> expected = {"Version:\tZUN2012\t1.0\t", "TOP\t\tchip"};
    for (const char* inst : {"u_raminfr_0", "u_raminfr_1"}) {
        expected.push_back("MODULE\traminfr\t" + std::string(inst) + "\t" + ram + "\tverilog");
        expected.insert(expected.end(), raminfrBlock.begin(), raminfrBlock.end());
    }
    expected.push_back("MODULE\tblink\tu_blink_0\t" + blink + "\tvhdl");
    expected.push_back("PARAMETER\t\t\tWIDTH\t8\t\tK\tinteger");
    expected.push_back("INPUT\t\t\tclk\t\t\t");
    expected.push_back("INPUT\t\t\trst\t\t\t");
    expected.push_back("OUTPUT\tNA\t0\tcount\t\tWIDTH-1\t0");
    EXPECT_EQ(StoredText(model_.LineList), Stored(expected));

    EXPECT_TRUE(model_.PrjOpen);
    EXPECT_TRUE(model_.PrjUntitled);
    EXPECT_EQ(model_.PrjFileName, model_.WorkDir + "qvprj.zun");
    EXPECT_EQ(model_.TopName, "chip");
    EXPECT_EQ(model_.MduList.size(), 4u);
    EXPECT_EQ(pictures_, 1);
    const std::vector<std::string>& log = model_.Log.Lines();
    EXPECT_NE(
        std::find(log.begin(), log.end(), "Info: Add 2 modules (raminfr). Sourec file:" + ram),
        log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "Info: Add 1 module (blink). Sourec file:" + blink),
              log.end());
    EXPECT_TRUE(WorkFilesLeft().empty());
}

TEST_F(WizardNewProjectTest, AutoSelectFindsVhdlInAFileWhoseNameTellsNoLanguage) {
    const std::string source = Data("wizard/blink without extension");
    ASSERT_TRUE(ScanSources({source}));
    ASSERT_EQ(wizard_.Modules.size(), 1u);
    EXPECT_EQ(wizard_.Modules[0].module, "blink");
    EXPECT_EQ(wizard_.Modules[0].kind, VhdlKind) << "the engine resolves Auto Select to VHDL";
    ASSERT_TRUE(Finish("mytop"));
    ASSERT_EQ(model_.LineList.size(), 7u);
    EXPECT_EQ(model_.LineList[2][4], "vhdl");
    EXPECT_EQ(model_.LineList[2][3], source);
    EXPECT_TRUE(WorkFilesLeft().empty());
}

TEST_F(WizardNewProjectTest, CorpusVhdlEntitiesWithoutStdLogicPortsAreDroppedAsEmptyModules) {
    // The engine reads std_logic ports only; neorv32 uses std_ulogic throughout.
    const std::string alu = Corpus("neorv32/rtl/core/neorv32_cpu_alu_cond.vhd");
    REQUIRE_CORPUS(alu);
    ASSERT_TRUE(ScanSources({alu, Data("wizard/blink.vhd")}));
    EXPECT_EQ(Modules(), (std::vector<std::string>{"neorv32_cpu_alu_cond", "blink"}));
    ASSERT_TRUE(Finish("mytop"));
    EXPECT_EQ(Keywords(model_.LineList),
              (std::vector<std::string>{"Version:", "TOP", "MODULE", "PARAMETER", "INPUT", "INPUT",
                                        "OUTPUT"}));
    EXPECT_EQ(model_.LineList[2][1], "blink");
    const std::vector<std::string>& log = model_.Log.Lines();
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "Warning: Ignore the empty module: neorv32_cpu_alu_cond."),
              log.end());
    EXPECT_TRUE(WorkFilesLeft().empty());
}

TEST_F(WizardNewProjectTest, AModuleIgnoredAsEmptyIsNeverSaidToBeAdded) {
    // Regression: the log said "Ignore the empty module: tb." and then "Add 1 module (tb)".
    const std::string source = work_.string() + "/bench.v";
    std::ofstream(source) << "module tb; initial $finish; endmodule\n"
                             "module core(input a, output b); endmodule\n";
    ASSERT_TRUE(ScanSources({source}));
    EXPECT_EQ(Modules(), (std::vector<std::string>{"tb", "core"}));
    ASSERT_TRUE(Finish("top"));
    std::vector<std::string> log = model_.Log.Lines();
    EXPECT_EQ(std::count(log.begin(), log.end(), "Warning: Ignore the empty module: tb."), 1);
    EXPECT_EQ(
        std::count(log.begin(), log.end(), "Info: Add 1 module (core). Sourec file:" + source), 1);
    for (const std::string& line : log)
        EXPECT_EQ(line.find("(tb)"), std::string::npos) << line;
}

TEST_F(WizardNewProjectTest, VerilogCorpusWithManyModulesListsThemInFileOrder) {
    const std::string dir = Corpus("verilog-ethernet/rtl");
    REQUIRE_CORPUS(dir);
    const std::vector<std::string> files = {dir + "/axis_gmii_rx.v", dir + "/axis_gmii_tx.v",
                                            dir + "/eth_mac_1g.v"};
    ASSERT_TRUE(ScanSources(files));
    EXPECT_EQ(Modules(), (std::vector<std::string>{"axis_gmii_rx", "axis_gmii_tx", "eth_mac_1g"}));
    ASSERT_TRUE(Finish("mac_top"));
    ASSERT_EQ(model_.MduList.size(), 4u);
    EXPECT_EQ(model_.MduList[1].InstName, "u_axis_gmii_rx_0");
    EXPECT_EQ(model_.MduList[3].InstName, "u_eth_mac_1g_0");
    // Every instance got its ports.
    for (std::size_t i = 1; i < model_.MduList.size(); ++i)
        EXPECT_GE(model_.MduList[i].FirstPort, 0) << model_.MduList[i].InstName;
    EXPECT_TRUE(WorkFilesLeft().empty());
}

TEST_F(WizardNewProjectTest, AChildPickedWithTheParentThatIncludesItIsListedOnceAndOkPasses) {
    // Regression: the child, reached through the parent's include, was listed under the parent
    // and again as its own file, and "OK" refused with "Only one "child" module can exist.".
    const std::string parent = work_.string() + "/parent.v";
    const std::string child = work_.string() + "/child.v";
    std::ofstream(parent) << "`include \"child.v\"\n"
                             "module parent(input a, output b); child c(.x(a), .y(b)); endmodule\n";
    std::ofstream(child) << "module child(input x, output y); endmodule\n";
    ASSERT_TRUE(ScanSources({parent, child}));
    EXPECT_EQ(Modules(), (std::vector<std::string>{"child", "parent"}));
    EXPECT_EQ(wizard_.Modules[0].path, child);
    ASSERT_TRUE(Finish("top"));
    EXPECT_TRUE(prompt_.Done());
    EXPECT_EQ(model_.MduList.size(), 3u);
    const std::vector<std::string>& log = model_.Log.Lines();
    EXPECT_NE(std::find(log.begin(), log.end(), "Info: Add 1 module (child). Sourec file:" + child),
              log.end());
    EXPECT_TRUE(WorkFilesLeft().empty());
}

TEST_F(WizardNewProjectTest, AMacroOfOneSourceHoldsForTheNextInTheListAndInTheProject) {
    // Regression: a module in `ifdef USE_FEATURE, with the name defined in another source of the
    // list, was dropped, and so was a port behind it.
    const std::string defs = work_.string() + "/defs.vh";
    const std::string feature = work_.string() + "/feature.v";
    std::ofstream(defs) << "`define USE_FEATURE\n";
    std::ofstream(feature) << "`ifdef USE_FEATURE\n"
                              "module feature(input a\n`ifdef USE_FEATURE\n, output z\n`endif\n);"
                              "\nendmodule\n`endif\n";
    ASSERT_TRUE(ScanSources({defs, feature}));
    EXPECT_EQ(Modules(), std::vector<std::string>{"feature"});
    ASSERT_TRUE(Finish("top"));
    EXPECT_TRUE(prompt_.Done());
    EXPECT_GE(model_.FindPortQuiet("u_feature_0", "z"), 0) << "the port behind the macro";
    EXPECT_TRUE(WorkFilesLeft().empty());
}

TEST_F(WizardNewProjectTest, WhatTheScanLeftOutIsNamedInTheLog) {
    const std::string feature = work_.string() + "/feature.v";
    const std::string binary = work_.string() + "/tool.v";
    std::ofstream(feature) << "`ifdef USE_FEATURE\nmodule feature(input a); endmodule\n`endif\n";
    std::ofstream(binary) << std::string("module m; endmodule\n\0\x7f", 22);
    wizard_.Open('N', false);
    ASSERT_EQ(wizard_.AddSourceFile(feature), AddSourceResult::Added);
    ASSERT_EQ(wizard_.AddSourceFile(binary), AddSourceResult::Added);
    prompt_.ExpectMessage("Found no module in the files.");
    EXPECT_FALSE(wizard_.Next());
    const std::vector<std::string>& log = model_.Log.Lines();
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "Warning: The module feature in " + feature +
                            " is not listed: it stands in a branch that needs the macro "
                            "USE_FEATURE defined, and no source defines it."),
              log.end());
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "Warning: The source file " + binary +
                            " holds a NUL byte; it was skipped as a binary file, not HDL text."),
              log.end());
    EXPECT_TRUE(WorkFilesLeft().empty());
}

TEST_F(WizardNewProjectTest, UnreadableSourceStopsAtOperationFailedAndKeepsThePage) {
    const std::string blink = work_.string() + "/gone.vhd";
    std::ofstream(blink) << "entity gone is port (a : in std_logic); end;\n";
    wizard_.Open('N', false);
    ASSERT_EQ(wizard_.AddSourceFile(blink), AddSourceResult::Added);
    fs::remove(blink);
    prompt_.ExpectMessage("Operation failed.");
    EXPECT_FALSE(wizard_.Next());
    EXPECT_TRUE(wizard_.FilePage);
    EXPECT_TRUE(WorkFilesLeft().empty());
}

} // namespace
