// The wizard bound to the project model: what mode 'A' tells the engine about the open project,
// and what a parsed project text leaves in the model.
#include "editor/hdl/ModelWizardProject.h"

#include "model/ModelText.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

namespace {

class ModelWizardProjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        model_.LineList = LinesFromText(SmallProject);
        model_.PrjOpen = true;
        model_.UpdatePicExecute(RebuildSender::MainWindow);
    }

    ProjectModel model_;
    int pictures_ = 0;
    ModelWizardProject project_{model_, [this] { ++pictures_; }};
};

TEST_F(ModelWizardProjectTest, AddModeRequestNamesEveryInstanceWireAndTopPort) {
    ScriptedPrompt prompt;
    EngineRunner runner("/", "/");
    ModuleWizard wizard(prompt, runner);
    wizard.SetProject(&project_);
    wizard.Open('A', false);
    ModuleRow row;
    row.module = "fifo";
    row.count = "2";
    row.path = "/src/fifo.v";
    wizard.Modules = {row};
    wizard.FilePage = false;
    wizard.SetupWizardPage();
    EXPECT_EQ(wizard.TopModuleText, "top");
    EXPECT_EQ(wizard.ModuleRequestLines(),
              (std::vector<std::string>{"R-u_%M_%D", "EI-top", "ET-", "EI-u1", "ET-core", "EI-u2",
                                        "ET-sink", "EW-net_q", "EP-clk", "EP-dout",
                                        "F0-/src/fifo.v", "M-fifo\t2"}));
    EXPECT_EQ(wizard.ValidateOk(), std::nullopt);
    wizard.Modules[0].module = "sink";
    EXPECT_EQ(wizard.ValidateOk(), "The module sink already exists in the project.");
}

TEST_F(ModelWizardProjectTest, TopModuleIsNeverTakenForAUsedModule) {
    EXPECT_TRUE(project_.ModuleNameUsed("core"));
    EXPECT_FALSE(project_.ModuleNameUsed(""));
    EXPECT_FALSE(project_.ModuleNameUsed("top"));
}

TEST_F(ModelWizardProjectTest, ParsedTextOpensAnUntitledProjectOnlyForANewOne) {
    model_.PrjFileName = "/p/old.zun";
    project_.ProjectTextParsed('A', "/w/qvprj.zun");
    EXPECT_EQ(model_.PrjFileName, "/p/old.zun");
    EXPECT_FALSE(model_.PrjUntitled);
    model_.PrjOpen = false;
    project_.ProjectTextParsed('N', "/w/qvprj.zun");
    EXPECT_EQ(model_.PrjFileName, "/w/qvprj.zun");
    EXPECT_TRUE(model_.PrjUntitled);
    EXPECT_TRUE(model_.PrjOpen);
    project_.UpdatePicExecute();
    EXPECT_EQ(pictures_, 1);
    project_.LogInfo("hello");
    EXPECT_EQ(model_.Log.Lines().back(), "Info: hello");
}

TEST_F(ModelWizardProjectTest, EachModeReachesTheParserInItsOwnWay) {
    const std::string block = "MODULE\tfifo\tu_fifo_0\t/s/f.v\tverilog\r\nINPUT\t\t\twr\r\n";
    // Add: after the last instance's block, before the wire.
    project_.ParseProjectText(block, 'A');
    ASSERT_EQ(model_.LineList.size(), 12u);
    EXPECT_EQ(model_.LineList[9][2], "u_fifo_0");
    EXPECT_EQ(model_.LineList[11][0], "WIRE");

    // Import top ports: after the top's block.
    project_.ParseProjectText("INPUT\t\t\trst\t\t\t\t\r\n", 'T');
    ASSERT_EQ(model_.LineList.size(), 13u);
    EXPECT_EQ(model_.LineList[3][3], "rst");

    // Update: the definition list, the project untouched.
    ProjectLines defs;
    project_.DefLines = &defs;
    project_.ParseProjectText(block, 'U');
    EXPECT_EQ(defs.size(), 2u);
    EXPECT_EQ(model_.LineList.size(), 13u);

    // New project: everything replaced.
    project_.ParseProjectText("TOP\t\tchip\r\n", 'N');
    ASSERT_EQ(model_.LineList.size(), 1u);
    EXPECT_EQ(model_.LineList[0][2], "chip");
}

} // namespace
