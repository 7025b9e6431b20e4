// Job dispatch by code, in process: which codes run a job, and the digits of the failures.
#include "EngineFixture.h"

#include "regex/Regex.h"

#include <new>
#include <stdexcept>

namespace qve {
namespace {

using testing::EngineFixture;

TEST_F(EngineFixture, UnrecognisedFirstArgumentsDoNothing) {
    std::string v = Write("a.v", "module m; endmodule\n");
    const std::string out = PathOf("out.tmp");
    const std::vector<std::vector<std::string>> runs = {
        {},
        {"0x1898e5" + out, v, "0"},
        {"0X1898A5" + out, v, "0"},
        {"0x1898A5" + out, v, "0"},
        {" 0x1898a5" + out, v, "0"},
        {"x0x1898a5" + out, v, "0"},
        {"0x1898a" + out, v, "0"},
        {"0x1898a5" + out + "\nmore", v, "0"},
    };
    for (const auto& arguments : runs) {
        EngineOutcome outcome = Run(arguments);
        std::string shown = arguments.empty() ? "(none)" : arguments[0];
        EXPECT_EQ(outcome.exitStatus, 0) << shown;
        EXPECT_EQ(outcome.standardError, "") << shown;
        EXPECT_FALSE(Output().has_value()) << shown;
    }
}

TEST_F(EngineFixture, FinishingCodesAreNotTakenForTheOtherJobs) {
    std::string v = Write("a.v", "module m; endmodule\n");
    for (const char* code : {kFinishVerilogCode, kFinishVhdlCode}) {
        EngineOutcome outcome = Run({code + PathOf("scan.tmp"), v, "0"});
        EXPECT_NE(outcome.standardError, "3\n") << code;
        EXPECT_FALSE(Output("scan.tmp").has_value() && Output("scan.tmp")->find("M-m") == 0)
            << code;
    }
}

TEST_F(EngineFixture, AFinalLineFeedIsNoPartOfTheOutputPath) {
    std::string v = Write("a.v", "module m; endmodule\n");
    EngineOutcome outcome = Run({"0x1898a5" + PathOf("out.tmp") + "\n", v, "0"});
    EXPECT_EQ(outcome.standardError, "");
    EXPECT_EQ(Output().value(), "F0-" + v + "\r\nM-m\r\n");
}

TEST_F(EngineFixture, CodeWithoutPathReadsTheSourcesThenCannotWrite) {
    std::string v = Write("a.v", "module m; endmodule\n");
    EXPECT_EQ(Run({"0x1898a5", v, "0"}).standardError, "4\n");
    // The sources are read first: a missing one is reported before the output path.
    EXPECT_EQ(Run({"0x1898a5", PathOf("gone.v"), "0"}).standardError, "2\n");
}

TEST_F(EngineFixture, ProjectTextWithTwoArgumentsFailsEvenWhenTheRequestExists) {
    std::string cfg = Write("top", "R-x\r\n");
    EngineOutcome outcome = Run({"0x1898b5" + PathOf("out.tmp"), cfg});
    EXPECT_EQ(outcome.standardError, "3\n");
    EXPECT_NE(outcome.exitStatus, 0);
    EXPECT_FALSE(Output().has_value());
}

TEST_F(EngineFixture, OutputInAMissingDirectoryFailsWithFour) {
    std::string v = Write("a.v", "module m; endmodule\n");
    EngineOutcome outcome = Run({"0x1898a5" + PathOf("no/such/out.tmp"), v, "0"});
    EXPECT_EQ(outcome.standardError, "4\n");
    EXPECT_NE(outcome.exitStatus, 0);
}

TEST_F(EngineFixture, AnExistingOutputIsReplacedWhole) {
    std::string v = Write("a.v", "module m; endmodule\n");
    Write("out.tmp", std::string(1000, 'x'));
    ASSERT_EQ(Run({"0x1898a5" + PathOf("out.tmp"), v, "0"}).standardError, "");
    EXPECT_EQ(Output().value(), "F0-" + v + "\r\nM-m\r\n");
}

TEST_F(EngineFixture, AListOfEscapedNamesWithoutAnEndIsReadInOnePass) {
    // Regression: escaped names may end at any later blank, so the declaration pattern tried
    // every way to split a list of them that never ends, until the library gave up and the job
    // failed. The declaration reader takes each name to its blank once: no declaration here.
    std::string items;
    for (int i = 0; i < 40; ++i)
        items += (i ? " , \\a" : "\\a") + std::to_string(i);
    std::string v = Write("esc.v", "module m(input " + items + " !\ninput b;\nendmodule\n");
    std::string cfg = Write("cfg.tmp", "R-x\r\nF0-" + v + "\r\nM-m\t1\r\n");
    EngineOutcome outcome = Run({"0x1898b5" + PathOf("out.tmp"), "", cfg});
    EXPECT_EQ(outcome.standardError, "");
    EXPECT_EQ(Output().value(), "MODULE\tm\tx\t" + v + "\tverilog\r\nINPUT\t\t\tb\t\t\t\r\n");
}

TEST_F(EngineFixture, ALongPlainNameIsFoundWithoutAPatternOfItsOwn) {
    std::string name = "m" + std::string(40000, 'x');
    std::optional<std::string> output =
        ProjectText("module " + name + " (input a); endmodule\n", name, '0');
    ASSERT_TRUE(output.has_value());
    EXPECT_NE(output->find("INPUT\t\t\ta\t\t\t\r\n"), std::string::npos);
}

TEST_F(EngineFixture, LongNamesAreFoundWithoutAPatternOfTheirOwn) {
    // Regression: an escaped name was pasted into its search pattern, and a long one made a
    // pattern the library refuses, which failed the job with "4".
    const std::string names[] = {"m" + std::string(46000, 'x'), "\\" + std::string(46000, '.'),
                                 "\\" + std::string(46000, 'e') + "[0]"};
    for (const std::string& name : names) {
        std::string source = "module " + name + " (input a); endmodule\n";
        std::optional<std::string> list = Scan(source, "0");
        ASSERT_TRUE(list.has_value());
        EXPECT_EQ(*list, "F0-" + PathOf("src.v") + "\r\nM-" + name + "\r\n");
        std::optional<std::string> output = ProjectText(source, name, '0');
        ASSERT_TRUE(output.has_value()) << name.substr(0, 3);
        EXPECT_NE(output->find("INPUT\t\t\ta\t\t\t\r\n"), std::string::npos);
    }
    std::string entity = "\\" + std::string(46000, 'v') + "\\";
    std::string vhdl = "entity " + entity + " is port (p : in std_logic); end " + entity + ";\n";
    std::optional<std::string> output = ProjectText(vhdl, entity, '1');
    ASSERT_TRUE(output.has_value());
    EXPECT_NE(output->find("INPUT\t\t\tp\t\t\t\r\n"), std::string::npos);
}

TEST(EngineFailures, EachWayAJobCanStopGivesTheDigitOfItsCauseAndNoOtherWords) {
    // Regression: every exception out of a job failed it with "4", which says only that the
    // output could not be written, so the editor named the wrong cause.
    const struct {
        const char* name;
        std::function<void()> stop;
        const char* standardError;
    } cases[] = {
        {"a pattern the library refuses", [] { throw rx::RegexCompileError("refused"); }, "5\n"},
        {"the library's matching room run out", [] { throw rx::RegexResourceError("match limit"); },
         "6\n"},
        {"memory run out", [] { throw std::bad_alloc(); }, "6\n"},
        {"a string asked to grow past its most",
         [] {
             std::string text;
             text.reserve(text.max_size() + 1);
         },
         "6\n"},
        {"a fault of the engine", [] { throw std::out_of_range("index"); }, "9\n"},
        {"a runtime error of no known cause", [] { throw std::runtime_error("?"); }, "9\n"},
        {"something that is no exception", [] { throw 42; }, "9\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EngineOutcome outcome = Guarded([&]() -> EngineOutcome {
            c.stop();
            return {};
        });
        EXPECT_EQ(outcome.standardError, c.standardError);
        EXPECT_NE(outcome.exitStatus, 0);
    }
    EngineOutcome done = Guarded([] { return EngineOutcome{}; });
    EXPECT_EQ(done.exitStatus, 0);
    EXPECT_EQ(done.standardError, "");
}

} // namespace
} // namespace qve
