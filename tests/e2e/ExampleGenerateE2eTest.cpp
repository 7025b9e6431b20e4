// The README's example project through the full-source Verilog generator and the real engine:
// the design checks find every input driven, and iverilog, verilator and yosys accept the top
// with every wire on the same bits at both ends.
#include "GeneratedTop.h"
#include "HdlJudges.h"

#include "editor/model/Documents.h"
#include "editor/model/ProjectFile.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace zun::e2e {
namespace {

const fs::path kExample =
    (fs::path(ZUN_TEST_DATA) / ".." / ".." / "examples" / "demo").lexically_normal();

class ExampleGenerateE2e : public ::testing::Test {
protected:
    void SetUp() override {
        services_.prompt = &prompt_;
        ASSERT_TRUE(OpenProjectFile(model_, services_, (kExample / "demo.zun").string()));
        model_.ClearLog();
    }
    std::vector<fs::path> Sources() const {
        return {kExample / "sync2.v", kExample / "counter.v", kExample / "pwm.v"};
    }
    fs::path Generate() {
        const fs::path top = scratch_ / "demo_top.v";
        GenerateTop(model_, work_, false, top);
        return top;
    }

    TempDir dirs_;
    fs::path scratch_{dirs_.Root()};
    TempDir workDir_;
    fs::path work_{workDir_.Root()};
    ProjectModel model_;
    ScriptedPrompt prompt_;
    EditorServices services_;
};

// Regression: the example heads its clock, reset and input nets by the top's inputs, and the
// checks warned that the seven module inputs on them had no driver.
TEST_F(ExampleGenerateE2e, ChecksFindEveryInputDriven) {
    Generate();
    for (const std::string& line : model_.Log.Lines())
        EXPECT_EQ(line.rfind("Warning: ", 0), std::string::npos) << line;
}

TEST_F(ExampleGenerateE2e, PassesIverilog) {
    REQUIRE_TOOL("iverilog");
    ExpectIverilogAccepts(Generate(), Sources());
}

TEST_F(ExampleGenerateE2e, PassesVerilatorLint) {
    REQUIRE_TOOL("verilator");
    ExpectVerilatorAccepts(scratch_, Generate(), "demo_top", Sources(), false);
}

TEST_F(ExampleGenerateE2e, PassesYosysWithEveryWireOnTheSameBitsAtBothEnds) {
    REQUIRE_TOOL("yosys");
    std::optional<Json> netlist = YosysJson(scratch_, Generate(), "demo_top", Sources());
    ASSERT_TRUE(netlist);
    ExpectNetlistMatchesTheWires(*netlist, model_);
}

} // namespace
} // namespace zun::e2e
