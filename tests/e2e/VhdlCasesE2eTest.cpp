// Full-source VHDL tops of our own leaves in the situations VHDL tools are strict about: port
// widths from packages, std_logic wired to vectors of one bit, outputs the design reads, and
// inputs with defaults left open. Through the wizard and the real engine, judged by ghdl under
// VHDL-93 and VHDL-2008.
#include "HdlJudges.h"
#include "WizardProject.h"

#include "editor/model/TopLevel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace zun::e2e {
namespace {

class VhdlCasesFromTheWizard : public WizardProject {
protected:
    fs::path Leaves() const { return kLeaves / "ctx_leaves.vhd"; }

    // Every case at once: the fifo's widths come from gen_pkg, the lanes' from gen_lib, the
    // bits' from a package of their own file; full is a top output that two inputs of the lanes
    // read; flag (std_logic) drives a vector of one bit and q (a vector of one bit) a std_logic
    // input; the top input s (std_logic) feeds a vector of one bit and the top input pick (a
    // vector of one bit) a std_logic input; the fifo's en and mask have defaults and stay open.
    void Build() {
        NewProject({Leaves()}, "ctx_top");
        fifo_ = Instance("ctx_fifo");
        lanes_ = Instance("ctx_lanes");
        bits_ = Instance("ctx_bits");
        for (const char* name : {"din", "mask"})
            Confirm(fifo_, name, 3, 0);
        Confirm(fifo_, "level", 2, 0);
        Confirm(lanes_, "lanes_o", 1, 0);
        Confirm(bits_, "one", 0, 0);

        Map(fifo_, "clk");
        MapTo(lanes_, "clk", "clk");
        Map(fifo_, "din");
        Map(fifo_, "level");
        Map(fifo_, "full");
        Wire(fifo_, "full", lanes_, "tick");
        Wire(fifo_, "full", lanes_, "load");
        Wire(lanes_, "flag", bits_, "one");
        Wire(bits_, "q", lanes_, "arm");
        Map(bits_, "s");
        MapTo(lanes_, "en1", "s");
        Map(bits_, "pick");
        MapTo(bits_, "t", "pick");
        Map(lanes_, "lanes_o");
        Map(bits_, "r");
        model_.ClearLog();
    }
    void ExpectGhdlAcceptsTheTop(const fs::path& top) {
        ExpectGhdlAccepts(scratch_, top, "ctx_top", {kLeaves / "gen_pkg.vhd", Leaves()}, "work",
                          kVhdlStandards, {{"gen_lib", kLeaves / "gen_units.vhd"}});
    }
    bool HasLine(const std::string& text, const std::string& line) const {
        for (const std::string& l : platform::SplitLines(text))
            if (l == line)
                return true;
        return false;
    }

    std::string fifo_, lanes_, bits_;
};

TEST_F(VhdlCasesFromTheWizard, TopWithEveryCasePassesGhdlUnderBothStandards) {
    REQUIRE_TOOL("ghdl");
    Build();
    const fs::path top = Generate(true);
    const std::string text = ReadBytes(top.string());
    // The clauses of both entities that use packages, once each, after the IEEE lines.
    EXPECT_NE(text.find("use IEEE.std_logic_1164.all;\r\nuse Work.Gen_Pkg.ALL;\r\n"
                        "library gen_lib;\r\nuse gen_lib.gen_units.LANES;\r\n"
                        "use work.ctx_bits_pkg.all;\r\nentity ctx_top"),
              std::string::npos)
        << text;
    // The open inputs keep their defaults; load, connected, is declared as before.
    EXPECT_NE(text.find(":='1';"), std::string::npos) << text;
    EXPECT_NE(text.find(":=(others => '0');"), std::string::npos) << text;
    EXPECT_TRUE(
        HasLine(text, "\t\tload                 :in     std_logic" + std::string(26, ' ') + ";"))
        << text;
    EXPECT_FALSE(LogHas("Warning: The input port en (" + fifo_ +
                        ") is left open; VHDL requires it to be connected."));
    // full is read by the lanes: out, through a signal of its own.
    EXPECT_NE(text.find("\tfull                 :out    std_logic"), std::string::npos) << text;
    EXPECT_EQ(text.find(":buffer"), std::string::npos) << text;
    EXPECT_TRUE(HasLine(text, "full                 <= full_int;")) << text;
    ExpectGhdlAcceptsTheTop(top);
}

// Regression: a top output on the net of a second top output, which names the net, was left
// undriven; now both take the net's value from the signal it goes through.
TEST_F(VhdlCasesFromTheWizard, OutputFeedingAnotherTopOutputPassesGhdlUnderBothStandards) {
    REQUIRE_TOOL("ghdl");
    Build();
    ASSERT_TRUE(IsolatePort(model_, P(model_.TopName, "r"), false));
    Rebuild();
    MapTo(fifo_, "full", "r");
    model_.ClearLog();
    const fs::path top = Generate(true);
    const std::string text = ReadBytes(top.string());
    EXPECT_TRUE(HasLine(text, "full                 <= r_int;")) << text;
    EXPECT_TRUE(HasLine(text, "r                    <= r_int;")) << text;
    ExpectGhdlAcceptsTheTop(top);
}

// An input without a default left open is still told of, one with a default is not.
TEST_F(VhdlCasesFromTheWizard, OpenInputWithoutDefaultIsStillToldOf) {
    Build();
    ASSERT_TRUE(IsolatePort(model_, P(lanes_, "tick"), false));
    Rebuild();
    model_.ClearLog();
    Generate(true);
    EXPECT_TRUE(LogHas("Warning: The input port tick (" + lanes_ +
                       ") is left open; VHDL requires it to be connected."));
    EXPECT_FALSE(LogHas("Warning: The input port en (" + fifo_ +
                        ") is left open; VHDL requires it to be connected."));
}

} // namespace
} // namespace zun::e2e
