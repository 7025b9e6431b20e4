// The full-source generators around the engine run, against the stand-in engine: the work files
// they write, what each way the run ends gives, and how the Verilog result is closed.
#include "editor/hdl/TopGenerator.h"

#include "FakeEngine.h"
#include "model/ModelText.h"
#include "platform/TextLines.h"
#include "support/EngineWorkFiles.h"
#include "support/FileFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using Lines = std::vector<std::string>;

const char* const Project = "Version:\tZUN2012\t1.0\n"
                            "TOP\t\ttop\n"
                            "INPUT\t\t\tclk\n"
                            "OUTPUT\t7\t0\tdout\n"
                            "MODULE\tcore\tu_core\t/src/core.v\tverilog\n"
                            "PARAMETER\t\t\tW\t8\t\tK\tinteger\n"
                            "INPUT\t\t\tclk\n"
                            "OUTPUT\t7\t0\tq\n"
                            "WIRE\tu_core\tclk\ttop\tclk\tclk\n"
                            "WIRE\tu_core\tq\ttop\tdout\tdout\n"
                            "WIRE\tu_core\tq\ttop\tclk\tsmart\t\t\t\t\t\t\tS\n"
                            "ASSIGN\t x = y \n";

class TopGeneratorTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(workDir_);
        runner_.SetWatchdog(20s);
        m.LineList = LinesFromText(Project);
        m.PrjOpen = true;
        m.UpdatePicExecute(RebuildSender::MainWindow);
        m.ClearLog();
    }
    void Engine(const char* mode, const std::string& text = "") const { engine_.Mode(mode, text); }
    std::vector<std::string> WorkFilesLeft() const { return EngineWorkFilesLeft(workDir_); }
    std::string Work(const char* name) const { return ReadBytes((workDir_ / name).string()); }
    const Lines& Log() const { return m.Log.Lines(); }

    TempDir scratch_;
    fs::path root_{scratch_.Root()};
    fs::path workDir_{root_ / "work"};
    FakeEngine engine_{root_ / "program"};
    ProjectModel m;
    EngineRunner runner_{(root_ / "program").string(), (root_ / "work").string()};
    TopGenerator gen_{m, runner_};
};

TEST_F(TopGeneratorTest, WorkFilesAreTheConnectionFileAndTheSkeletonTheEngineIsGiven) {
    Engine("nothing");
    EXPECT_EQ(gen_.GenVerilogTop(), "Error.");
    // Without the engine's output the inputs stay, as the engine saw them.
    EXPECT_EQ(WorkFilesLeft(), (Lines{"obj.tmp", "prj.tmp"}));
    EXPECT_EQ(Work("prj.tmp"), "Version:\tZUN2012\t1.0\t\t\t\t\t\r\n"
                               "TOP\t\ttop\t\t\t\t\t\r\n"
                               "INPUT\t\t\tclk\t\t\t\t\r\n"
                               "OUTPUT\t7\t0\tdout\t\t\t\t\r\n"
                               "MODULE\tcore\tu_core\t/src/core.v\tverilog\t\t\t\r\n"
                               "PARAMETER\t\t\tW\t8\t\tK\tinteger\r\n"
                               "INPUT\t\t\tclk\t\t\t\t\r\n"
                               "OUTPUT\t7\t0\tq\t\t\t\t\r\n"
                               "WIRE\tu_core\tclk\ttop\tclk\tclk\t\t\r\n"
                               "WIRE\tu_core\tq\ttop\tdout\tdout\t\t\r\n"
                               "ASSIGN\t x = y \t\t\t\t\t\t\r\n");
    EXPECT_EQ(Work("obj.tmp"), platform::JoinLines(platform::SplitLines(*VerilogSkeleton(m))));
    EXPECT_EQ(gen_.CodeBuf, platform::SplitLines(*VerilogSkeleton(m)));

    Engine("nothing");
    EXPECT_EQ(gen_.GenVhdlTop(), "Error.");
    EXPECT_EQ(Work("obj.tmp"), platform::JoinLines(platform::SplitLines(*VhdlSkeleton(m))));
}

TEST_F(TopGeneratorTest, EngineRunEndings) {
    struct Case {
        const char* name;
        const char* engine; // nullptr: no engine in the program directory
        std::string output; // what the stand-in writes
        bool vhdl;
        std::string result;
        Lines log;
        Lines left;
        // The beginning of the line that says why the engine did not run, before the log.
        std::string why = "";
    };
    const std::string finished = "\r\nmodule top(\r\n//Instantiate cell modules\r\ncore u(\r\n"
                                 "\t.a (w1))\r\n);\r\nwire  w1;\r\nwire  w2;\r\nwire  w3;";
    const Case cases[] = {
        {"the engine does not start",
         nullptr,
         "",
         false,
         "Error.",
         {"Error: Internal error. Can't read files. Error-0x155."},
         {},
         "Error: The HDL engine " + (root_ / "program" / "qve").string() + " could not be started"},
        {"the engine crashes",
         "crash",
         "",
         false,
         "Error.",
         {"Error: Internal error. Can't read files. Error-0x155."},
         {},
         "Error: The HDL engine did not finish its job ("},
        {"the engine leaves no output, and the log names the cause its digit gives",
         "nothing",
         "",
         false,
         "Error.",
         {"Error: Generation failed."},
         {"obj.tmp", "prj.tmp"},
         "Error: The HDL engine could not read one of its input files"},
        {"the VHDL run fails to start too",
         nullptr,
         "",
         true,
         "Error.",
         {"Error: Internal error. Can't read files. Error-0x155."},
         {},
         "Error: The HDL engine "},
        {"wire lines move before the marker, last first, and endmodule closes",
         "write",
         finished,
         false,
         "\r\nmodule top(\r\nwire  w3;\r\nwire  w2;\r\nwire  w1;\r\n//Instantiate cell modules\r\n"
         "core u(\r\n\t.a (w1))\r\n);\r\n\r\nendmodule\r\n",
         {"Info: Total 10 lines of code are generated."},
         {}},
        {"a result without the marker has nowhere for its nets",
         "write",
         "\r\nmodule top(\r\nwire w1;",
         false,
         "Error.",
         {"Error: Generation failed."},
         {}},
        {"VHDL comes back as the engine wrote it",
         "write",
         "\r\nlibrary IEEE;\r\nend ZUN2012_Arch;",
         true,
         "\r\nlibrary IEEE;\r\nend ZUN2012_Arch;\r\n",
         {"Info: Total 3 lines of code are generated."},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.engine) {
            Engine(c.engine, c.output);
            engine_.Install();
        } else {
            engine_.Remove();
        }
        // A stale result of an earlier run never passes for this one.
        WriteBytes((workDir_ / "qvh.tmp").string(), "\r\nstale\r\n//Instantiate cell modules");
        m.ClearLog();
        EXPECT_EQ(c.vhdl ? gen_.GenVhdlTop() : gen_.GenVerilogTop(), c.result);
        Lines log(Log().begin() + std::min<std::size_t>(1, Log().size()), Log().end());
        if (!c.why.empty()) {
            ASSERT_FALSE(log.empty());
            EXPECT_EQ(log.front().rfind(c.why, 0), 0u) << log.front();
            log.erase(log.begin());
        }
        // The checks find clk, q and dout wired and driven and say nothing.
        EXPECT_EQ(Log().front(), c.vhdl ? "--Action: Generate VHDL Code."
                                        : "--Action: Generate Verilog HDL Code.");
        EXPECT_EQ(log, c.log);
        EXPECT_EQ(WorkFilesLeft(), c.left);
        for (const std::string& left : WorkFilesLeft())
            fs::remove(workDir_ / left);
    }
}

TEST_F(TopGeneratorTest, FailedChecksAndMissingTopStopBeforeAnyWorkFile) {
    Engine("echo");
    m.LineList = LinesFromText("TOP\t\ttop\nINPUT\tNA\t0\ta\t\tN-1\t0\n");
    m.UpdatePicExecute(RebuildSender::MainWindow);
    EXPECT_EQ(gen_.GenVerilogTop(), "Error.");
    EXPECT_EQ(gen_.GenVhdlTop(), "Error in design.");

    m.LineList = LinesFromText("MODULE\tcore\tu1\t/c.v\tverilog\nOUTPUT\t\t\tq\n");
    m.UpdatePicExecute(RebuildSender::MainWindow);
    m.ClearLog();
    EXPECT_EQ(gen_.GenVerilogTop(), "Error");
    EXPECT_EQ(gen_.GenVhdlTop(), "Error in design.");
    EXPECT_EQ(
        Log(),
        (Lines{"--Action: Generate Verilog HDL Code.", "Warning: Found 1 port without connection.",
               "Error: No top module found. File damaged.", "--Action: Generate VHDL Code.",
               "Warning: Found 1 port without connection.",
               "Error: No top module found. File damaged."}));
    EXPECT_TRUE(WorkFilesLeft().empty());
}

TEST_F(TopGeneratorTest, UnwritableWorkDirectoryIsToldAndStartsNoEngine) {
    Engine("echo");
    EngineRunner elsewhere((root_ / "program").string(), (root_ / "no such dir").string());
    TopGenerator gen(m, elsewhere);
    EXPECT_EQ(gen.GenVerilogTop(), "Error.");
    ASSERT_EQ(Log().size(), 2u);
    EXPECT_EQ(Log()[1].rfind("Error: Can't write the work file " +
                                 (root_ / "no such dir").string() + "/prj.tmp.",
                             0),
              0u)
        << Log()[1];
}

} // namespace
