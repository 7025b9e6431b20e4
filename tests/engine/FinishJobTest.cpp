// The finishing jobs as the engine runs them: codes, arguments, files in text mode, failures.
#include "engine/Engine.h"

#include "FinishTestLines.h"
#include "support/FileFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace qve {
namespace {

namespace fs = std::filesystem;
using test::Padded;
using test::ProjectLine;

class FinishJob : public ::testing::Test {
protected:
    void SetUp() override {
        // The editor writes both inputs with CR LF line ends.
        Write("prj.tmp", "TOP\t\ttop\t\t\t\t\t\r\nMODULE\tm\tu1\tm.v\tverilog\t\t\t\r\n"
                         "OUTPUT\t3\t0\tq\t\t3\t0\t\r\nWIRE\tu1\tq\ttop\tq\tq\t\t\r\n");
        Write("obj.tmp", "m u1(\r\n\t.q                    (__)\r\n);\r\n");
    }
    void Write(const std::string& name, const std::string& bytes) { WriteBytes(Path(name), bytes); }
    std::string Read(const std::string& name) { return ReadBytes(Path(name)); }
    std::string Path(const std::string& name) { return (dir_ / name).string(); }

    TempDir scratch_;
    fs::path dir_{scratch_.Root()};
};

TEST_F(FinishJob, ReadsAndWritesInTextMode) {
    EngineOutcome outcome = RunEngine(
        {std::string(kFinishVerilogCode) + Path("qvh.tmp"), Path("prj.tmp"), Path("obj.tmp")});
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(outcome.standardError, "");
    EXPECT_EQ(Read("qvh.tmp"), "\r\nm u1(\r\n\t." + Padded("q", 20) + " (" + Padded("q", 25) +
                                   ")\r\n);\r\n\r\nwire [3:0]      " + Padded("q", 25) + ";");
}

TEST_F(FinishJob, RunsTheVhdlJobForItsOwnCode) {
    Write("obj.tmp", "--Internal Signals\r\n--Internal Signals End\r\nu1:m \r\n\tport map(\r\n"
                     "\t\tq                    => __);\r\n");
    EngineOutcome outcome = RunEngine(
        {std::string(kFinishVhdlCode) + Path("qvh.tmp"), Path("prj.tmp"), Path("obj.tmp")});
    EXPECT_EQ(outcome.standardError, "");
    EXPECT_EQ(Read("qvh.tmp"), "\r\n\r\nsignal " + Padded("q", 25) + " : std_logic" +
                                   Padded("_vector(3 downto 0)", 30) + ";\r\nu1:m \r\n" +
                                   "\tport map(\r\n\t\tq                    => " + Padded("q", 25) +
                                   ");");
}

struct FailureCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* standardError;
};

TEST_F(FinishJob, FailsWithItsDigitAndLeavesNoOutput) {
    const std::string code = kFinishVerilogCode;
    const std::string output = Path("qvh.tmp");
    const FailureCase cases[] = {
        {"connection file missing", {code + output, Path("none.tmp"), Path("obj.tmp")}, "2\n"},
        {"skeleton missing", {code + output, Path("prj.tmp"), Path("none.tmp")}, "2\n"},
        {"no skeleton argument", {code + output, Path("prj.tmp")}, "2\n"},
        {"no input arguments", {code + output}, "2\n"},
        {"no output path after the code", {code, Path("prj.tmp"), Path("obj.tmp")}, "4\n"},
        {"output in a missing folder",
         {code + Path("none/qvh.tmp"), Path("prj.tmp"), Path("obj.tmp")},
         "4\n"},
        {"VHDL with its connection file missing",
         {std::string(kFinishVhdlCode) + output, Path("none.tmp"), Path("obj.tmp")},
         "2\n"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        EngineOutcome outcome = RunEngine(c.arguments);
        EXPECT_EQ(outcome.standardError, c.standardError);
        EXPECT_NE(outcome.exitStatus, 0);
        EXPECT_FALSE(fs::exists(output));
        EXPECT_FALSE(fs::exists(Path("none")));
    }
}

TEST_F(FinishJob, IgnoresACodeThatIsNotExactlyAtTheStart) {
    for (std::string a0 : {" 0x1898c5", "0X1898C5", "0x1898C5", "x0x1898d5"}) {
        SCOPED_TRACE(a0);
        EngineOutcome outcome = RunEngine({a0 + Path("qvh.tmp"), Path("prj.tmp"), Path("obj.tmp")});
        EXPECT_EQ(outcome.exitStatus, 0);
        EXPECT_EQ(outcome.standardError, "");
        EXPECT_FALSE(fs::exists(Path("qvh.tmp")));
    }
}

TEST_F(FinishJob, WritesNoOutputWhenAWidthIsNonsenseAndSaysSoWithItsOwnDigit) {
    // Regression: the run failed with "4", which says only that the output could not be written.
    Write("prj.tmp", ProjectLine({"MODULE", "m", "u1"}) +
                         ProjectLine({"OUTPUT", "99999999999", "0", "q"}) +
                         ProjectLine({"WIRE", "u1", "q", "top", "q", "q"}));
    EngineOutcome outcome = RunEngine(
        {std::string(kFinishVerilogCode) + Path("qvh.tmp"), Path("prj.tmp"), Path("obj.tmp")});
    EXPECT_EQ(outcome.standardError, "8\n");
    EXPECT_FALSE(fs::exists(Path("qvh.tmp")));
}

} // namespace
} // namespace qve
