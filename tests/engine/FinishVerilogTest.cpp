// The Verilog finishing job on texts: fills, declarations, open ports, assignments, output form.
#include "engine/Finish.h"

#include "FinishTestLines.h"

#include <gtest/gtest.h>

#include <string>

namespace qve {
namespace {

using test::Blanks;
using test::Padded;
using test::ProjectLine;
using test::VerilogConnection;

std::string Finished(std::string_view connection, std::string_view skeleton) {
    JobResult result = FinishVerilogJob(connection, skeleton);
    EXPECT_FALSE(result.error.has_value());
    return result.text;
}

// Two instances, u1.a and u2.b, with u2.b declared 7 and 0.
std::string TwoInstances() {
    return ProjectLine({"TOP", "", "top"}) +
           ProjectLine({"MODULE", "m1", "u1", "m1.v", "verilog"}) +
           ProjectLine({"OUTPUT", "", "", "a"}) + ProjectLine({"OUTPUT", "", "", "c"}) +
           ProjectLine({"MODULE", "m2", "u2", "m2.v", "verilog"}) +
           ProjectLine({"INPUT", "7", "0", "b", "", "7", "0"}) +
           ProjectLine({"INPUT", "", "", "d"});
}

std::string TwoInstanceSkeleton() {
    return "m1 u1(\n" + VerilogConnection("a") + VerilogConnection("c", true) + ");\nm2 u2(\n" +
           VerilogConnection("b") + VerilogConnection("d", true) + ");\n";
}

TEST(FinishVerilog, FillsBothEndsAndDeclaresTheWireWithEndBsWidth) {
    std::string connection = TwoInstances() + ProjectLine({"WIRE", "u1", "a", "u2", "b", "n1"});
    std::string filled = "(" + Padded("n1", 25) + ")";
    EXPECT_EQ(Finished(connection, TwoInstanceSkeleton()),
              "\nm1 u1(\n\t." + Padded("a", 20) + " " + filled + ",\n\t." + Padded("c", 20) +
                  " ( )\n);\nm2 u2(\n\t." + Padded("b", 20) + " " + filled + ",\n\t." +
                  Padded("d", 20) + " ( )\n);\n\nwire [7:0]" + Blanks(5) + " " + Padded("n1", 25) +
                  ";");
}

struct DeclarationCase {
    const char* name;
    std::string wires;
    std::string declarations;
};

TEST(FinishVerilog, DeclaresEachDistinctWireTextOnce) {
    const std::string n1 = Padded("n1", 25);
    const DeclarationCase cases[] = {
        {"width from end B", ProjectLine({"WIRE", "u1", "a", "u2", "b", "n1"}),
         "\nwire [7:0]      " + n1 + ";"},
        {"width from end A when end B has none", ProjectLine({"WIRE", "u2", "b", "u1", "c", "n1"}),
         "\nwire [7:0]      " + n1 + ";"},
        {"no numeric width on either end", ProjectLine({"WIRE", "u1", "c", "u2", "d", "n1"}),
         "\nwire " + Blanks(10) + " " + n1 + ";"},
        {"same name and width twice",
         ProjectLine({"WIRE", "u1", "a", "u2", "b", "n1"}) +
             ProjectLine({"WIRE", "u1", "a", "u2", "b", "n1"}),
         "\nwire [7:0]      " + n1 + ";"},
        // Regression: a second declaration of the net, which every Verilog tool refuses.
        {"same name, different widths: declared once, as its first record types it",
         ProjectLine({"WIRE", "u1", "a", "u2", "b", "n1"}) +
             ProjectLine({"WIRE", "u1", "c", "u2", "d", "n1"}),
         "\nwire [7:0]      " + n1 + ";"},
        {"escaped name with and without its closing blank: declared once",
         ProjectLine({"WIRE", "u1", "c", "u2", "d", "\\a-b "}) +
             ProjectLine({"WIRE", "u1", "a", "u2", "b", "\\a-b"}),
         "\nwire " + Blanks(10) + " " + Padded("\\a-b ", 25) + ";"},
        {"wire without placeholders still declared",
         ProjectLine({"WIRE", "top", "x", "u9", "y", "n1"}),
         "\nwire " + Blanks(10) + " " + n1 + ";"},
        {"name with an inner backslash is escaped",
         ProjectLine({"WIRE", "u1", "c", "u2", "d", "a\\b"}),
         "\nwire " + Blanks(10) + " " + Padded("\\a\\b ", 25) + ";"},
        {"escaped name stays as it is", ProjectLine({"WIRE", "u1", "c", "u2", "d", "\\a-b "}),
         "\nwire " + Blanks(10) + " " + Padded("\\a-b ", 25) + ";"},
        {"long name is not cut",
         ProjectLine({"WIRE", "u1", "c", "u2", "d", "a_very_long_net_name_of_30_chr"}),
         "\nwire " + Blanks(10) + " a_very_long_net_name_of_30_chr;"},
    };
    for (const DeclarationCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string finished = Finished(TwoInstances() + c.wires, "m u9(\n);\n");
        EXPECT_EQ(finished, "\nm u9(\n);\n" + c.declarations);
    }
}

// Regression: a net that is a top port was declared with the bounds of an instance port of the
// same span, which contradicts the port's own declaration.
TEST(FinishVerilog, DeclaresANetThatIsATopPortAsThePortIs) {
    const std::string top =
        ProjectLine({"TOP", "", "top"}) + ProjectLine({"OUTPUT", "7", "4", "hi"}) +
        ProjectLine({"INPUT", "", "", "bit"}) + ProjectLine({"KVAR", "", "", "v"}) +
        ProjectLine({"INPUT", "3", "0", "hi"}) +
        ProjectLine({"MODULE", "m1", "u1", "m1.v", "verilog"}) +
        ProjectLine({"OUTPUT", "3", "0", "q"}) + ProjectLine({"INPUT", "2", "2", "b2"}) +
        ProjectLine({"INPUT", "0", "0", "v0"});
    const DeclarationCase cases[] = {
        {"other bounds of the same span", ProjectLine({"WIRE", "u1", "q", "top", "hi", "hi"}),
         "\nwire [7:4]      " + Padded("hi", 25) + ";"},
        {"one bit against a vector of one", ProjectLine({"WIRE", "u1", "b2", "top", "bit", "bit"}),
         "\nwire " + Blanks(10) + " " + Padded("bit", 25) + ";"},
        {"a variant top port is no declaration to follow",
         ProjectLine({"WIRE", "u1", "v0", "top", "v", "v"}),
         "\nwire [0:0]      " + Padded("v", 25) + ";"},
    };
    for (const DeclarationCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Finished(top + c.wires, "m u9(\n);\n"), "\nm u9(\n);\n" + c.declarations);
    }
}

TEST(FinishVerilog, KeepsARangeLongerThanItsFieldWhole) {
    std::string connection = ProjectLine({"MODULE", "m", "u1"}) +
                             ProjectLine({"OUTPUT", "1023", "1000", "a"}) +
                             ProjectLine({"WIRE", "u1", "a", "top", "a", "a"});
    EXPECT_EQ(Finished(connection, ""), "\n\nwire [1023:1000] " + Padded("a", 25) + ";");
}

TEST(FinishVerilog, MarksEveryUnfilledPlaceholderUnconnected) {
    std::string skeleton = "m u1(\n" + VerilogConnection("a") + VerilogConnection("b", true) +
                           ");\nassign x = (__) ;\n";
    EXPECT_EQ(Finished("", skeleton), "\nm u1(\n\t." + Padded("a", 20) + " ( ),\n\t." +
                                          Padded("b", 20) + " ( )\n);\nassign x = ( ) ;");
}

TEST(FinishVerilog, FillsTheSecondEndOfANetOnlyOnce) {
    // A net of three ports: the head appears in two records and is filled by the first.
    std::string connection = TwoInstances() + ProjectLine({"WIRE", "u1", "a", "u2", "b", "n1"}) +
                             ProjectLine({"WIRE", "u1", "a", "u2", "d", "n1"});
    std::string finished = Finished(connection, TwoInstanceSkeleton());
    EXPECT_NE(finished.find("." + Padded("d", 20) + " (" + Padded("n1", 25) + ")"),
              std::string::npos);
    // Only u1.c stays open.
    EXPECT_EQ(finished.find("( )"), finished.rfind("( )"));
    EXPECT_NE(finished.find("." + Padded("c", 20) + " ( )"), std::string::npos);
}

struct AssignCase {
    const char* name;
    const char* line;
    const char* rebuilt;
};

TEST(FinishVerilog, RebuildsAssignmentsWithBlanksAroundTheEqualSign) {
    const AssignCase cases[] = {
        {"plain", "assign  a = b ;", "assign  a = b ;"},
        {"many blanks and no blank before ;", "assign  x   =   y;", "assign  x = y ;"},
        {"ranges on both sides", "assign  bus [3:0] = w   [7:4] ;",
         "assign  bus [3:0] = w [7:4] ;"},
        {"range on the right only", "assign  w = bus [3:0] ;", "assign  w = bus [3:0] ;"},
        {"indentation kept", "   assign a = b;", "   assign a = b ;"},
        {"names that need escaping", "assign a.b = c-d ;", "assign \\a.b  = \\c-d  ;"},
        {"escaped name kept", "assign \\e.f  = g ;", "assign \\e.f = g ;"},
        {"no blanks around =", "assign x=y;", "assign x=y;"},
        {"tie-off without blank after =", "assign dout ={8{1'b0}};", "assign dout ={8{1'b0}};"},
        {"tri-state expression", "assign  io = ( oe ==1'b1)? 4'bz : d ;",
         "assign  io = ( oe ==1'b1)? 4'bz : d ;"},
        {"range with inner blanks is no range", "assign y = z [ 7:0 ] ;", "assign y = z [ 7:0 ] ;"},
        {"assignment word inside a name", "assigned = b ;", "assigned = b ;"},
        {"trailing blanks after ;", "assign a = b ;   ", "assign a = b ;"},
    };
    for (const AssignCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Finished("", std::string("x\n") + c.line + "\n"),
                  std::string("\nx\n") + c.rebuilt);
    }
}

TEST(FinishVerilog, WritesEveryLineAfterALineEndAndDropsEmptyLinesAtTheEnd) {
    EXPECT_EQ(Finished("", "a\n\nb\n\n\n"), "\na\n\nb");
    EXPECT_EQ(Finished("", "\na"), "\n\na");
    EXPECT_EQ(Finished("", ""), "");
}

TEST(FinishVerilog, FailsWithoutOutputOnAWidthThatFitsNoInteger) {
    std::string connection = ProjectLine({"MODULE", "m", "u1"}) +
                             ProjectLine({"OUTPUT", "4294967296", "0", "a"}) +
                             ProjectLine({"WIRE", "top", "x", "u1", "a", "n"});
    JobResult result =
        FinishVerilogJob(connection, "m u1(\n" + VerilogConnection("a", true) + ");\n");
    ASSERT_TRUE(result.error.has_value());
    EXPECT_EQ(*result.error, EngineError::InputUnusable);
    EXPECT_EQ(result.text, "");
}

TEST(FinishVerilog, IgnoresANonsenseWidthThatNoWireUses) {
    std::string connection =
        ProjectLine({"MODULE", "m", "u1"}) + ProjectLine({"OUTPUT", "4294967296", "0", "unused"}) +
        ProjectLine({"OUTPUT", "3", "0", "a"}) + ProjectLine({"WIRE", "top", "x", "u1", "a", "n"});
    EXPECT_EQ(Finished(connection, ""), "\n\nwire [3:0]      " + Padded("n", 25) + ";");
}

} // namespace
} // namespace qve
