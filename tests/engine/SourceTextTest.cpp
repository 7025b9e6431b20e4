// Comment, directive and tab clean-up of source text.
#include "engine/SourceText.h"

#include <gtest/gtest.h>

namespace qve {
namespace {

struct CleanCase {
    const char* name;
    const char* input;
    const char* expected;
};

TEST(SourceText, VerilogCommentsGoInOnePassFromLeftToRight) {
    const CleanCase cases[] = {
        {"line comment keeps its line end", "a // x\nb", "a \nb"},
        {"block comment becomes one blank", "module/**/c", "module c"},
        {"block comment over lines", "a/* x\ny */b", "a b"},
        {"address inside a block comment", "/* http://x */ m", "  m"},
        {"line comment marker inside a block comment", "/* // */x", " x"},
        {"block marker after a line comment", "// /*\nx */", "\nx */"},
        {"string keeps its markers", "\"//\" \"/*\" x", "\"//\" \"/*\" x"},
        {"escaped quote inside a string", "\"a\\\"//\" y", "\"a\\\"//\" y"},
        {"escaped identifier keeps its markers", "\\a//b c // d", "\\a//b c "},
        {"unclosed block comment runs to the end", "x /* y", "x  "},
        {"line comment without line end", "x // y", "x "},
        {"lone slash and star stay", "a / b * c", "a / b * c"},
    };
    for (const CleanCase& c : cases)
        EXPECT_EQ(StripVerilogComments(c.input), c.expected) << c.name;
}

TEST(SourceText, VhdlCommentsEndAtTheLineEndAndStringsAreKept) {
    const CleanCase cases[] = {
        {"comment keeps its line end", "a -- x\nb", "a \nb"},
        {"comment on a last line without line end", "a -- x", "a "},
        {"marker inside a string", "s := \"--x\"; -- c", "s := \"--x\"; "},
        {"doubled quote inside a string", "\"a\"\"--\" b", "\"a\"\"--\" b"},
        {"character literal quote opens no string", "c := '\"'; -- x\n", "c := '\"'; \n"},
        {"marker inside an extended identifier", "\\a--b\\ c", "\\a--b\\ c"},
        {"single minus stays", "a - b", "a - b"},
    };
    for (const CleanCase& c : cases)
        EXPECT_EQ(StripVhdlComments(c.input), c.expected) << c.name;
}

TEST(SourceText, TabsAndCarriageReturns) {
    EXPECT_EQ(TabsToBlanks("a\tb\t\n"), "a b \n");
    EXPECT_EQ(CrToLf("a\rb\r\n"), "a\nb\n\n");
}

TEST(SourceText, LastWholeWordIsFoundFromTheEnd) {
    EXPECT_EQ(EndOfLastWord("endmodule x endmodule_y", "endmodule"), 9u);
    EXPECT_EQ(EndOfLastWord("xendmodule", "endmodule"), 0u);
    EXPECT_EQ(EndOfLastWord("a endmodule", "endmodule"), 11u);
    EXPECT_EQ(EndOfLastWord("$endmodule$", "endmodule"), 10u);
    EXPECT_EQ(EndOfLastWord("", "endmodule"), 0u);
}

} // namespace
} // namespace qve
