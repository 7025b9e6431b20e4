// Finishing jobs run on hand-written connection files and skeletons, compared byte for byte with
// the finished top files kept next to them (tests/data/finish/<case>/).
#include "engine/Engine.h"

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

struct GoldenCase {
    const char* name;
    const char* code;
    // What the case pins, shown when it fails.
    const char* behaviour;
};

void PrintTo(const GoldenCase& golden, std::ostream* out) {
    *out << golden.name;
}

const GoldenCase kGoldenCases[] = {
    {"verilog-core-example", kFinishVerilogCode,
     "a top port wired to an instance, an open port, a tie-off left alone"},
    {"verilog-wire-widths", kFinishVerilogCode,
     "widths from end B, else end A, else empty; one declaration per distinct text"},
    {"verilog-instance-prefix-widths", kFinishVerilogCode,
     "u1 takes neither u10's width nor a later instance's port of the same name"},
    {"verilog-instance-named-like-module", kFinishVerilogCode,
     "instance ram is filled on its own head, not on the module name in 'ram ram_0('"},
    {"verilog-escaped-names", kFinishVerilogCode,
     "escaped instance, port and net names are filled; a name with an inner backslash is "
     "escaped"},
    {"verilog-wire-keyword-in-other-fields", kFinishVerilogCode,
     "'#WIRE' lines and module or instance fields reading WIRE are no wire records"},
    {"verilog-assign-lines", kFinishVerilogCode,
     "assignments with blanks around '=' are rebuilt, others copied unchanged"},
    {"vhdl-core-example", kFinishVhdlCode,
     "a net named like a top port gets no signal; an open port is mapped to open"},
    {"vhdl-signal-declarations", kFinishVhdlCode,
     "downto, to, equal bounds, std_logic, duplicates, a net named like a port in other case"},
    {"vhdl-top-without-ports", kFinishVhdlCode,
     "an empty port block still becomes the signal declarations"},
    {"vhdl-tristate-and-ranges", kFinishVhdlCode,
     "tri-states of width 1 and 4 become WHEN/ELSE; the first bit range of a line is rewritten"},
    {"vhdl-instance-names", kFinishVhdlCode,
     "u1/u10 and ram/ram_0 take their own widths and their own associations"},
    {"verilog-nonsense-width", kFinishVerilogCode,
     "a width that fits no integer fails the run without output"},
    {"vhdl-nonsense-tristate-width", kFinishVhdlCode,
     "a tri-state of width 0 fails the run without output"},
    {"vhdl-skeleton-without-port-block", kFinishVhdlCode,
     "signals with no port block to take their declarations fail the run without output"},
};

class FinishGolden : public ::testing::TestWithParam<GoldenCase> {
protected:
    TempDir scratch_;
    fs::path dir_{scratch_.Root()};
};

TEST_P(FinishGolden, FinishedTopMatchesTheGoldenFile) {
    const GoldenCase& golden = GetParam();
    SCOPED_TRACE(golden.behaviour);
    fs::path data = fs::path(ZUN_TEST_DATA) / "finish" / golden.name;
    fs::path output = dir_ / "qvh.tmp";
    EngineOutcome outcome = RunEngine({std::string(golden.code) + output.string(),
                                       (data / "prj.tmp").string(), (data / "obj.tmp").string()});
    if (fs::exists(data / "expected-error")) {
        EXPECT_EQ(outcome.standardError, ReadBytes(data / "expected-error"));
        EXPECT_NE(outcome.exitStatus, 0);
        EXPECT_FALSE(fs::exists(output));
        return;
    }
    ASSERT_EQ(outcome.standardError, "");
    EXPECT_EQ(outcome.exitStatus, 0);
    std::string finished = ReadBytes(output);
    EXPECT_EQ(finished, ReadBytes(data / "expected.tmp"));
    // The file form: a line end first, none after the last line.
    ASSERT_GE(finished.size(), 2u);
    EXPECT_EQ(finished.substr(0, 2), "\r\n");
    EXPECT_NE(finished.back(), '\n');
}

INSTANTIATE_TEST_SUITE_P(Cases, FinishGolden, ::testing::ValuesIn(kGoldenCases),
                         [](const ::testing::TestParamInfo<GoldenCase>& param) {
                             std::string name = param.param.name;
                             for (char& c : name)
                                 if (c == '-')
                                     c = '_';
                             return name;
                         });

} // namespace
} // namespace qve
