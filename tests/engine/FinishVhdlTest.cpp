// The VHDL finishing job on texts: associations, signal block, open ports, tri-states, ranges.
#include "engine/Finish.h"

#include "FinishTestLines.h"

#include <gtest/gtest.h>

#include <string>

namespace qve {
namespace {

using test::Blanks;
using test::Padded;
using test::ProjectLine;
using test::VhdlAssociation;

std::string Finished(std::string_view connection, std::string_view skeleton) {
    JobResult result = FinishVhdlJob(connection, skeleton);
    EXPECT_FALSE(result.error.has_value());
    return result.text;
}

std::string Design() {
    return ProjectLine({"TOP", "", "top"}) + ProjectLine({"INPUT", "", "", "clk"}) +
           ProjectLine({"MODULE", "m1", "u1", "m1.vhd", "vhdl"}) +
           ProjectLine({"OUTPUT", "7", "0", "down"}) + ProjectLine({"OUTPUT", "0", "7", "up"}) +
           ProjectLine({"OUTPUT", "5", "5", "same"}) + ProjectLine({"OUTPUT", "", "", "bit"}) +
           ProjectLine({"MODULE", "m2", "u2", "m2.vhd", "vhdl"}) +
           ProjectLine({"INPUT", "", "", "d"}) + ProjectLine({"INPUT", "", "", "clk"});
}

// A skeleton with the port block of the top ports clk and Dout, and two instances.
std::string
Skeleton(std::string_view block = "--Internal Signals\nclk\nDout\n--Internal Signals End\n") {
    return "architecture ZUN2012_Arch of top is\n" + std::string(block) + "begin\nu1:m1 \n" +
           "\tport map(\n" + VhdlAssociation("down") + VhdlAssociation("up") +
           VhdlAssociation("same") + VhdlAssociation("bit", true) + "\nu2:m2 \n\tport map(\n" +
           VhdlAssociation("d") + VhdlAssociation("clk", true) + "\nend ZUN2012_Arch;";
}

std::string Signal(std::string_view name, std::string_view tail) {
    return "signal " + Padded(name, 25) + " : std_logic" + Padded(tail, 30) + ";";
}

struct SignalCase {
    const char* name;
    std::string wire;
    std::string declaration;
};

TEST(FinishVhdl, DeclaresEachInternalWireWithItsTypeTail) {
    const SignalCase cases[] = {
        {"seven down to zero", ProjectLine({"WIRE", "u1", "down", "u2", "d", "n"}),
         Signal("n", "_vector(7 downto 0)")},
        {"zero to seven", ProjectLine({"WIRE", "u1", "up", "u2", "d", "n"}),
         Signal("n", "_vector(0 to 7)")},
        {"equal bounds", ProjectLine({"WIRE", "u1", "same", "u2", "d", "n"}),
         Signal("n", "_vector(5 to 5)")},
        {"no numeric width is std_logic", ProjectLine({"WIRE", "u1", "bit", "u2", "d", "n"}),
         Signal("n", " ")},
        {"end B's width first", ProjectLine({"WIRE", "u1", "up", "u1", "down", "n"}),
         Signal("n", "_vector(7 downto 0)")},
        {"long name not cut",
         ProjectLine({"WIRE", "u1", "bit", "u2", "d", "n_name_longer_than_25_chars"}),
         Signal("n_name_longer_than_25_chars", " ")},
    };
    for (const SignalCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string finished = Finished(Design() + c.wire, Skeleton());
        EXPECT_NE(finished.find("\narchitecture ZUN2012_Arch of top is\n\n" + c.declaration +
                                "\nbegin\n"),
                  std::string::npos)
            << finished;
    }
}

TEST(FinishVhdl, LeavesOutWiresNamedLikeATopPortInAnyCase) {
    std::string connection = Design() + ProjectLine({"WIRE", "u2", "clk", "top", "clk", "CLK"}) +
                             ProjectLine({"WIRE", "u1", "down", "top", "Dout", "dout"}) +
                             ProjectLine({"WIRE", "u1", "bit", "u2", "d", "clk2"});
    std::string finished = Finished(connection, Skeleton());
    EXPECT_NE(finished.find("of top is\n\n" + Signal("clk2", " ") + "\nbegin\n"), std::string::npos)
        << finished;
    EXPECT_NE(finished.find("\t\t" + Padded("clk", 20) + " => " + Padded("CLK", 25) + ");"),
              std::string::npos);
}

TEST(FinishVhdl, WritesOneDeclarationForARepeatedWire) {
    std::string wire = ProjectLine({"WIRE", "u1", "bit", "u2", "d", "n"});
    std::string finished = Finished(Design() + wire + wire, Skeleton());
    EXPECT_NE(finished.find("of top is\n\n" + Signal("n", " ") + "\nbegin\n"), std::string::npos);
}

// Regression: a net whose records typed it otherwise (a std_logic head with a vector of one bit
// at one end and a std_logic at the other, or ranges that run both ways) was declared once per
// type, and VHDL refuses a signal declared twice.
TEST(FinishVhdl, DeclaresANetOnceAsItsFirstRecordTypesIt) {
    const std::string connection = Design() +
                                   ProjectLine({"WIRE", "u1", "bit", "u1", "same", "n"}) +
                                   ProjectLine({"WIRE", "u1", "bit", "u2", "d", "n"}) +
                                   ProjectLine({"WIRE", "u1", "down", "u2", "clk", "v"}) +
                                   ProjectLine({"WIRE", "u1", "down", "u1", "up", "v"});
    const std::string finished = Finished(connection, Skeleton());
    EXPECT_NE(finished.find("of top is\n\n" + Signal("n", "_vector(5 to 5)") + "\n" +
                            Signal("v", "_vector(7 downto 0)") + "\nbegin\n"),
              std::string::npos)
        << finished;
}

// Regression: records of one net whose names differ in letter case only declared it once per
// spelling, and VHDL names are one name in any case.
TEST(FinishVhdl, DeclaresANetOnceWhateverTheCaseOfItsRecords) {
    const std::string connection = Design() + ProjectLine({"WIRE", "u1", "bit", "u2", "d", "Net"}) +
                                   ProjectLine({"WIRE", "u1", "bit", "u1", "same", "NET"});
    const std::string finished = Finished(connection, Skeleton());
    EXPECT_NE(finished.find("of top is\n\n" + Signal("Net", " ") + "\nbegin\n"), std::string::npos)
        << finished;
}

TEST(FinishVhdl, AcceptsAnEmptyPortBlock) {
    // A top without ports: the markers stand on consecutive lines.
    std::string finished = Finished(Design() + ProjectLine({"WIRE", "u1", "bit", "u2", "d", "n"}),
                                    Skeleton("--Internal Signals\n--Internal Signals End\n"));
    EXPECT_NE(finished.find("of top is\n\n" + Signal("n", " ") + "\nbegin\n"), std::string::npos);
    EXPECT_EQ(finished.find("--Internal Signals"), std::string::npos);
}

TEST(FinishVhdl, FailsWithoutOutputWhenNoPortBlockCanTakeTheDeclarations) {
    // Regression: the declarations were dropped and the top, with its signals undeclared, was
    // reported as finished.
    const std::string wire = ProjectLine({"WIRE", "u1", "bit", "u2", "d", "n"});
    const char* const skeletons[] = {
        "",
        "--Internal Signals\nclk\n",
        "clk\n--Internal Signals End\n",
        "-- Internal Signals\n--Internal Signals End\n",
    };
    for (const char* block : skeletons) {
        SCOPED_TRACE(block);
        JobResult result = FinishVhdlJob(Design() + wire, Skeleton(block));
        ASSERT_TRUE(result.error.has_value());
        EXPECT_EQ(*result.error, EngineError::InputUnusable);
        EXPECT_EQ(result.text, "");
    }
}

TEST(FinishVhdl, FinishesASkeletonWithoutAPortBlockWhenNothingNeedsDeclaring) {
    EXPECT_EQ(Finished(Design(), Skeleton("")),
              "\narchitecture ZUN2012_Arch of top is\nbegin\nu1:m1 \n\tport map(\n\t\t" +
                  Padded("down", 20) + " => open,\n\t\t" + Padded("up", 20) + " => open,\n\t\t" +
                  Padded("same", 20) + " => open,\n\t\t" + Padded("bit", 20) +
                  " => open);\n\nu2:m2 \n\tport map(\n\t\t" + Padded("d", 20) + " => open,\n\t\t" +
                  Padded("clk", 20) + " => open);\n\nend ZUN2012_Arch;");
}

TEST(FinishVhdl, MapsUnfilledAssociationsToOpen) {
    std::string finished =
        Finished(Design() + ProjectLine({"WIRE", "u1", "bit", "u2", "d", "n"}), Skeleton());
    EXPECT_NE(finished.find("\t\t" + Padded("down", 20) + " => open,\n"), std::string::npos);
    EXPECT_NE(finished.find("\t\t" + Padded("clk", 20) + " => open);\n"), std::string::npos);
    EXPECT_NE(finished.find("\t\t" + Padded("bit", 20) + " => " + Padded("n", 25) + ");\n"),
              std::string::npos);
    EXPECT_EQ(finished.find("__"), std::string::npos);
}

TEST(FinishVhdl, KeepsAPlaceholderThatRunsIntoAName) {
    EXPECT_EQ(Finished("", "x => __y;\nx => __;"), "\nx => __y;\nx => open;");
}

struct RewriteCase {
    const char* name;
    const char* line;
    const char* rewritten;
};

TEST(FinishVhdl, RewritesTriStatesAndTheFirstBitRangeOfALine) {
    const RewriteCase cases[] = {
        {"tri-state of width 1", " io <= ( oe ==1'b1)? 1'bz : d ;",
         " io <= 'Z' WHEN oe = '1' ELSE d ;"},
        {"tri-state of width 4", " bus <= ( en ==1'b0)? 4'bz : q ;",
         " bus <= \"ZZZZ\" WHEN en = '0' ELSE q ;"},
        {"tri-state without blank before the data", "io <= ( oe ==1'b1)?1'bz :  d  ;",
         " io <= 'Z' WHEN oe = '1' ELSE d ;"},
        {"capital Z is no tri-state", " io <= ( oe ==1'b1)? 1'bZ : d ;",
         " io <= ( oe ==1'b1)? 1'bZ : d ;"},
        {"range 3 down to 0", " w <= bus [3:0] ;", " w <= bus (3 downto 0)  ;"},
        {"range 0 to 7", " bus [0:7] <= w ;", " bus (0 to 7)  <= w ;"},
        {"equal bounds", " x <= y [5:5] ;", " x <= y (5)  ;"},
        {"blanks inside the brackets", " p <= q [ 3 : 0 ] ;", " p <= q (3 downto 0)  ;"},
        {"only the first range", " m [3:0] <= n [7:4] ;", " m (3 downto 0)  <= n [7:4] ;"},
        {"range without a blank before it", " m[3:0] <= n ;", " m[3:0] <= n ;"},
        {"no range", " x <= y ;", " x <= y ;"},
    };
    for (const RewriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Finished("", c.line), std::string("\n") + c.rewritten);
    }
}

TEST(FinishVhdl, FailsWithoutOutputOnNonsenseNumbers) {
    const RewriteCase cases[] = {
        {"tri-state of width 0", " io <= ( oe ==1'b1)? 0'bz : d ;", ""},
        {"tri-state wider than any tool takes", " io <= ( oe ==1'b1)? 65537'bz : d ;", ""},
        {"tri-state width beyond an int", " io <= ( oe ==1'b1)? 99999999999'bz : d ;", ""},
        {"range bound beyond an int", " w <= bus [99999999999:0] ;", ""},
    };
    for (const RewriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        JobResult result = FinishVhdlJob("", c.line);
        ASSERT_TRUE(result.error.has_value());
        EXPECT_EQ(result.text, "");
    }
    std::string wide = ProjectLine({"MODULE", "m", "u1"}) +
                       ProjectLine({"OUTPUT", "3000000000", "0", "a"}) +
                       ProjectLine({"WIRE", "u1", "a", "top", "x", "n"});
    EXPECT_TRUE(FinishVhdlJob(wide, Skeleton()).error.has_value());
}

TEST(FinishVhdl, AcceptsTheWidestTriStateEveryToolTakes) {
    std::string finished = Finished("", " io <= ( oe ==1'b1)? 65536'bz : d ;");
    EXPECT_EQ(finished, "\n io <= \"" + std::string(65536, 'Z') + "\" WHEN oe = '1' ELSE d ;");
}

} // namespace
} // namespace qve
