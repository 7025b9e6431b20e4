// The seeded random driver of the engine: real Verilog and VHDL, mutated, through all four jobs of
// the built qve, each run under a time limit. What must hold whatever the input: the run ends in
// time, never writes on standard output, and either exits with 0 and leaves its output, or exits
// otherwise with one digit that its input explains and a line end on standard error and no
// output file.
#include "EngineFixture.h"
#include "QveProgram.h"

#include "engine/ModuleScan.h"
#include "support/RandomDriver.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

namespace qve {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

enum class Job { Scan, ProjectText, FinishVerilog, FinishVhdl };

struct Base {
    std::string text;
    char language; // '0' Verilog, '1' VHDL
};

// Words of the formats, put in anywhere by the mutator.
const std::vector<std::string> kSourceTokens = {
    "module ",
    "endmodule",
    "macromodule ",
    "\n`ifdef USE_X\n",
    "\n`ifndef USE_X\n",
    "\n`else\n",
    "\n`endif\n",
    "\n`define USE_X\n",
    "\n`undef USE_X\n",
    "\n`include \"in.v\"\n",
    "\n`include \"uart_defines.v\"\n",
    "\n`include \"pipe.vh\"\n",
    "\n`include \"/dev/zero\"\n",
    "\n`include \"",
    "input ",
    "output ",
    "inout ",
    "parameter ",
    "[7:0] ",
    "[W-1:0] ",
    "function ",
    "endfunction",
    "task ",
    "endtask",
    "\\esc ",
    "/*",
    "*/",
    "//",
    "\"",
    "entity ",
    " is ",
    "port (",
    "end;",
    "end entity;",
    "generic (",
    "std_logic",
    "std_logic_vector(7 downto 0)",
    " : in ",
    " : out ",
    "--",
    "\\ext id\\",
    "architecture ",
    "begin",
    " := ",
    "`timescale 1ns/1ps",
};
const std::vector<std::string> kRequestTokens = {
    "R-",     "F0-", "F1-", "F2-", "M-",   "D-",      "\t",  "\r\n",  "\n", "99999999999999999999",
    "100001", "0",   "%M",  "%D",  "in.v", "pipe.vh", "EI-", "USE_X",
};
const std::vector<std::string> kFinishTokens = {
    "MODULE\t",
    "WIRE\t",
    "INPUT\t",
    "OUTPUT\t",
    "BIDIR\t",
    "OUTPUT_B\t",
    "\t",
    "(__)",
    "=> __",
    "--Internal Signals",
    "--Internal Signals End",
    "99999999999",
    "[",
    "]",
    ":",
    "<=",
    " downto ",
    "\r\n",
    "'Z'",
    "endmodule",
};

struct Round {
    Job job;
    bool ok = true;
    std::string why;
};

class QveRandomDriver : public testing::EngineFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(testing::QvePath())) << "qve is not built";
        const fs::path data = ZUN_TEST_DATA;
        for (const char* name : {"gen/leaves.v", "gen/leaves95.v"})
            sources_.push_back({ReadBytes((data / name).string()), '0'});
        for (const char* name : {"gen/leaves.vhd", "wizard/blink.vhd"})
            sources_.push_back({ReadBytes((data / name).string()), '1'});
        const fs::path corpus = ZUN_CORPUS_DIR;
        for (const char* name :
             {"verilog-ethernet/lib/axis/rtl/axis_register.v",
              "verilog-ethernet/lib/axis/rtl/arbiter.v", "uart16550/rtl/verilog/uart_regs.v"})
            if (fs::exists(corpus / name))
                sources_.push_back({ReadBytes((corpus / name).string()), '0'});
        for (const char* name :
             {"neorv32/rtl/core/neorv32_pwm.vhd", "neorv32/rtl/core/neorv32_clint.vhd"})
            if (fs::exists(corpus / name))
                sources_.push_back({ReadBytes((corpus / name).string()), '1'});
        // What the corpus sources include stands beside the mutated file, as in their folder.
        for (const char* name : {"uart_defines.v", "timescale.v"}) {
            fs::path header = corpus / "uart16550/rtl/verilog" / name;
            if (fs::exists(header))
                Write(name, ReadBytes(header.string()));
        }
        // An include of a pipe must read as empty, never wait for a writer.
        ASSERT_EQ(::mkfifo(PathOf("pipe.vh").c_str(), 0600), 0);
        for (const char* name : {"verilog-core-example", "vhdl-core-example"}) {
            fs::path dir = data / "finish" / name;
            finishes_.push_back(
                {ReadBytes((dir / "prj.tmp").string()), ReadBytes((dir / "obj.tmp").string())});
        }
    }

    // One round of the job: its input from the seed alone.
    Round RunRound(Job job, std::uint64_t seed) {
        Random pick(seed);
        Round round;
        round.job = job;
        std::vector<std::string> arguments;
        if (round.job == Job::Scan || round.job == Job::ProjectText) {
            const Base& base = sources_[pick.Below(sources_.size())];
            Mutator source(seed ^ 0x5eed, kSourceTokens);
            std::string path = Write(base.language == '1' ? "in.vhd" : "in.v",
                                     source.Mutate(base.text, 1 + pick.Below(6)));
            if (round.job == Job::Scan) {
                arguments = {"0x1898a5" + PathOf("out.tmp"), path, std::to_string(pick.Below(3))};
                if (pick.OneIn(3))
                    arguments.insert(arguments.end(), {PathOf("uart_defines.v"), "0"});
            } else {
                std::string request = "R-u_%M_%D\r\n";
                std::string kind(1, base.language);
                std::vector<std::string> names = base.language == '1'
                                                     ? ScanVhdlEntities(base.text)
                                                     : ScanVerilogModules(base.text);
                if (pick.OneIn(2))
                    request += "D-USE_X W\r\n";
                for (const std::string& name : names)
                    request += "F" + kind + "-" + path + "\r\nM-" + name + "\t" +
                               std::to_string(pick.Below(4)) + "\r\n";
                if (pick.OneIn(3)) {
                    Mutator lines(seed ^ 0x7e9, kRequestTokens);
                    request = lines.Mutate(request, 3);
                }
                std::string top = pick.OneIn(3) ? (pick.OneIn(2) ? "*T" : "*t") : "top";
                arguments = {"0x1898b5" + PathOf("out.tmp"), top, Write("cfg.tmp", request)};
            }
        } else {
            const auto& [connection, skeleton] = finishes_[round.job == Job::FinishVhdl ? 1 : 0];
            Mutator files(seed ^ 0xf1a, kFinishTokens);
            std::string prj =
                Write("prj.tmp", pick.OneIn(3) ? connection : files.Mutate(connection));
            std::string obj = Write("obj.tmp", pick.OneIn(3) ? skeleton : files.Mutate(skeleton));
            arguments = {std::string(round.job == Job::FinishVhdl ? "0x1898d5" : "0x1898c5") +
                             PathOf("out.tmp"),
                         prj, obj};
        }
        fs::remove(PathOf("out.tmp"));
        testing::QveRun run = testing::RunQve(arguments, dir_.string(), kTimeLimit);
        bool output = fs::exists(PathOf("out.tmp"));
        // The digits these inputs can explain: every file named is there and the output can be
        // written, so no "3", "4", "5" or "9", whatever the text says. A request's own lines may
        // name a missing file or a bad count; any job may run out of memory.
        const std::string kDigits = round.job == Job::Scan          ? "6"
                                    : round.job == Job::ProjectText ? "267"
                                                                    : "68";
        if (run.timedOut)
            round.why = "ran past its time limit";
        else if (!run.standardOutput.empty())
            round.why = "wrote on standard output";
        else if (run.exitStatus >= 128 || run.exitStatus < 0)
            round.why = "crashed (" + std::to_string(run.exitStatus) + ")";
        else if (run.exitStatus == 0 && !output)
            round.why = "exited with 0 without its output";
        else if (run.exitStatus == 0 && !run.standardError.empty())
            round.why = "exited with 0 with \"" + run.standardError + "\" on standard error";
        else if (run.exitStatus != 0 && output)
            round.why = "failed and left an output";
        else if (run.exitStatus != 0 &&
                 (run.standardError.size() != 2 || run.standardError[1] != '\n' ||
                  kDigits.find(run.standardError[0]) == std::string::npos))
            round.why = "failed (exit status " + std::to_string(run.exitStatus) + ") with \"" +
                        run.standardError + "\" on standard error";
        round.ok = round.why.empty();
        return round;
    }

    static const char* JobName(Job job) {
        switch (job) {
        case Job::Scan:
            return "module scan";
        case Job::ProjectText:
            return "project text";
        case Job::FinishVerilog:
            return "Verilog finishing";
        case Job::FinishVhdl:
            return "VHDL finishing";
        }
        return "";
    }

    void Check(Job job, std::uint64_t seed) {
        Round round = RunRound(job, seed);
        EXPECT_TRUE(round.ok) << JobName(round.job) << ", seed " << seed << ": " << round.why;
    }

    // The seeds that once broke a rule for the job, then the job's random rounds.
    void Drive(Job job);

    // Generous where the sanitizers slow the engine tenfold; a hang runs far beyond it.
    static constexpr std::chrono::milliseconds kTimeLimit = 60s;
    std::vector<Base> sources_;
    std::vector<std::pair<std::string, std::string>> finishes_;
};

// Seeds whose round once broke one of the rules, with the job they ran; each runs on every build
// before the random rounds of its job. A failing round prints its job and seed: add them here.
struct FixedSeed {
    Job job;
    std::uint64_t seed;
};
const std::vector<FixedSeed> kFixedSeeds = {
    // A damaged VHDL top that the job cannot finish failed with "4", which says only that the
    // output could not be written.
    {Job::FinishVhdl, 691489734665},
    {Job::FinishVhdl, 691489734666},
    {Job::FinishVhdl, 691489734669},
};

void QveRandomDriver::Drive(Job job) {
    for (const FixedSeed& fixed : kFixedSeeds)
        if (fixed.job == job)
            Check(job, fixed.seed);
    const std::size_t rounds = RandomRounds(50);
    for (std::size_t r = 0; r < rounds; ++r)
        Check(job, RoundSeed(0x9e + static_cast<std::uint64_t>(job), r));
}

// One test per job, so each has a time of its own where the sanitizers slow the runs.
TEST_F(QveRandomDriver, MutatedSourcesScannedEndInTimeWithAKnownOutcome) {
    Drive(Job::Scan);
}

TEST_F(QveRandomDriver, MutatedSourcesAndRequestsForProjectTextEndInTimeWithAKnownOutcome) {
    Drive(Job::ProjectText);
}

TEST_F(QveRandomDriver, MutatedVerilogTopsToFinishEndInTimeWithAKnownOutcome) {
    Drive(Job::FinishVerilog);
}

TEST_F(QveRandomDriver, MutatedVhdlTopsToFinishEndInTimeWithAKnownOutcome) {
    Drive(Job::FinishVhdl);
}

} // namespace
} // namespace qve
