// The bundled example: its project file is written through the project-file code (run with
// ZUN_WRITE_EXAMPLE=1 to write it again) and must open as the design its sources describe.
#include "editor/model/Documents.h"
#include "editor/model/ProjectFile.h"

#include "model/ModelText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// The repository's root: the test data folder is tests/data in it.
const std::string kRoot = [] {
    std::string data = ZUN_TEST_DATA;
    return data.substr(0, data.rfind("/tests/data")) + "/";
}();
const std::string kDemo = kRoot + "examples/demo/demo.zun";

// The demo design: a synchroniser, a counter and a PWM stage under one top; the top's duty
// input goes straight to the PWM, and the counter's parameter sets its width.
const char* const kDemoLines = "TOP\t\tdemo_top\n"
                               "INPUT\t\t\tclk\n"
                               "INPUT\t\t\trst_n\n"
                               "INPUT\t\t\tbutton\n"
                               "INPUT\t7\t0\tduty\n"
                               "OUTPUT\t\t\tled\n"
                               "MODULE\tsync2\tu_sync\texamples/demo/sync2.v\tverilog\n"
                               "INPUT\t\t\tclk\n"
                               "INPUT\t\t\tasync_in\n"
                               "OUTPUT\t\t\tsync_out\n"
                               "MODULE\tcounter\tu_counter\texamples/demo/counter.v\tverilog\n"
                               "PARAMETER\t\t\tWIDTH\t8\t\tK\n"
                               "INPUT\t\t\tclk\n"
                               "INPUT\t\t\trst_n\n"
                               "INPUT\t\t\ten\n"
                               "OUTPUT\t7\t0\tcount\t\tWIDTH-1\t0\n"
                               "MODULE\tpwm\tu_pwm\texamples/demo/pwm.v\tverilog\n"
                               "INPUT\t\t\tclk\n"
                               "INPUT\t\t\trst_n\n"
                               "INPUT\t7\t0\tcount\n"
                               "INPUT\t7\t0\tduty\n"
                               "OUTPUT\t\t\tpwm_out\n"
                               "WIRE\tdemo_top\tclk\tu_sync\tclk\tclk\n"
                               "WIRE\tdemo_top\tclk\tu_counter\tclk\tclk\n"
                               "WIRE\tdemo_top\tclk\tu_pwm\tclk\tclk\n"
                               "WIRE\tdemo_top\trst_n\tu_counter\trst_n\trst_n\n"
                               "WIRE\tdemo_top\trst_n\tu_pwm\trst_n\trst_n\n"
                               "WIRE\tdemo_top\tbutton\tu_sync\tasync_in\tbutton\n"
                               "WIRE\tu_sync\tsync_out\tu_counter\ten\tcount_en\n"
                               "WIRE\tu_counter\tcount\tu_pwm\tcount\tcount\n"
                               "WIRE\tdemo_top\tduty\tu_pwm\tduty\tduty\n"
                               "WIRE\tu_pwm\tpwm_out\tdemo_top\tled\tled\n";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(ExampleProject, OpensAsTheDemoDesignWithoutErrors) {
    if (std::getenv("ZUN_WRITE_EXAMPLE")) {
        ProjectModel writer;
        writer.LineList = LinesFromText(kDemoLines);
        ASSERT_TRUE(FileSaveAs1Accept(writer, kDemo).Saved);
    }
    ProjectModel model;
    EditorServices services;
    RebuildResult rebuild;
    ASSERT_TRUE(OpenProjectFile(model, services, kDemo, &rebuild));
    EXPECT_FALSE(rebuild.ClosePrjRequested);
    for (const std::string& line : model.Log.Lines())
        EXPECT_EQ(line.rfind("Error: ", 0), std::string::npos) << line;

    std::vector<std::string> stored;
    for (const std::string& s : StoredText(model.LineList))
        if (s.rfind("Version:", 0) != 0 && s.size() > 2 && s[2] != '\t')
            stored.push_back(s);
    EXPECT_EQ(stored, StoredText(LinesFromText(kDemoLines)));
    EXPECT_EQ(rebuild.CountsText, "I/P/W:4/17/10");
}

TEST(ExampleProject, EveryInstanceNamesASourceThatDeclaresItsModuleAndPorts) {
    ProjectModel model;
    model.LineList = LinesFromText(kDemoLines);
    model.PrjOpen = true;
    model.UpdatePicExecute(RebuildSender::MainWindow);
    for (const mdu& m : model.MduList) {
        if (m.IsTop())
            continue;
        const std::string source = ReadFile(kRoot + m.SrcPath);
        ASSERT_FALSE(source.empty()) << m.SrcPath;
        EXPECT_NE(source.find("module " + m.ModuleName), std::string::npos) << m.SrcPath;
        for (int p = m.FirstPort; p <= m.LastPort; ++p) {
            const port& pt = model.PortList[static_cast<std::size_t>(p)];
            const bool declared = source.find(" " + pt.Name + ",\n") != std::string::npos ||
                                  source.find(" " + pt.Name + "\n") != std::string::npos;
            EXPECT_TRUE(declared) << m.SrcPath << " " << pt.Name;
        }
    }
}

} // namespace
