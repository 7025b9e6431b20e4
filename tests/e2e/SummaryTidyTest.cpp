// The HTML module summary as a browser gets it, judged by tidy: the page of a project whose
// names and paths hold what HTML gives a meaning, written through the editor's routine with the
// desktop faked.
#include "HdlJudges.h"

#include "editor/hdl/ModuleSummary.h"
#include "editor/model/Documents.h"
#include "model/ModelText.h"

#include <gtest/gtest.h>

namespace zun::e2e {
namespace {

TEST(SummaryTidy, PageOfSeveralInstancesPassesTidyWithoutAWarning) {
    REQUIRE_TOOL("tidy");
    TempDir dir;
    ProjectModel model;
    model.LineList = LinesFromText("TOP\t\ttop\n"
                                   "INPUT\t\t\tclk\n"
                                   "OUTPUT\t7\t0\tq\n"
                                   "INPUT\tNA\t0\tbus\t\tW-1\t0\n"
                                   "MODULE\tcore\t\\a<b> \t/r&d/\"my designs\"/core.v\tverilog\n"
                                   "INPUT\t\t\tclk\n"
                                   "BIDIR\t3\t0\tio\n"
                                   "MODULE\tempty\tu_e\t/src/e.v\tverilog\n"
                                   "MODULE\tcore\tTEM_TOP_X\t/src/core.v\tverilog\n"
                                   "OUTPUT\t15\t0\ty\n");
    model.PrjOpen = true;
    model.UpdatePicExecute(RebuildSender::MainWindow);
    model.WorkDir = dir.Dir();
    EditorServices services;
    std::vector<std::string> opened;
    services.ShellOpen = [&](const std::string& target) {
        opened.push_back(target);
        return IoStatus::Ok();
    };
    ASSERT_TRUE(ViewModuleSummary1Click(model, services));
    ASSERT_EQ(opened, std::vector<std::string>{dir.Path("summary.htm")});
    CommandResult tidy = RunCommand("tidy -q -e " + dir.Path("summary.htm"));
    EXPECT_EQ(tidy.status, 0) << tidy.output;
    EXPECT_TRUE(tidy.output.empty()) << tidy.output;
}

} // namespace
} // namespace zun::e2e
