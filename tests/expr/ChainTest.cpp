// The name/value lists under the evaluator's stacks and variables.
#include "editor/expr/Chain.h"

#include <gtest/gtest.h>

namespace {

using expr::GetUpperCase;
using expr::TChain;
using expr::TStackOfFloat;
using expr::TStringStack;

TEST(GetUpperCase, UpperCasesAsciiLettersAndDropsBlanksAndControlCharacters) {
    EXPECT_EQ(GetUpperCase("a b\tc\r\nd_1.z"), "ABCD_1.Z");
    EXPECT_EQ(GetUpperCase("I:=G TO G"), "I:=GTOG");
    // Bytes of 128 and above are not control characters: UTF-8 names stay whole.
    EXPECT_EQ(GetUpperCase("\xC3\xA9t\xC3\xA9"), "\xC3\xA9T\xC3\xA9");
}

TEST(TChain, LooksNamesUpUpperCasedAndSetsTheFirstMatch) {
    TChain chain;
    chain.SetValue("WIDTH", 8);
    chain.Add("WIDTH", 9);
    EXPECT_TRUE(chain.IsPresent("width"));
    EXPECT_EQ(chain.GetValue("Width"), 8);
    chain.SetValue("width", 16);
    EXPECT_EQ(chain.GetCount(), 2u);
    EXPECT_EQ(chain.GetValue("WIDTH"), 16);
    EXPECT_EQ(chain.GetValue("DEPTH"), 0);
    EXPECT_FALSE(chain.IsPresent("DEPTH"));
}

TEST(TChain, AppendsANewNameAsGiven) {
    // Callers store names upper-cased; a name stored otherwise is not found again.
    TChain chain;
    chain.SetValue("depth", 4);
    EXPECT_EQ(chain.GetName(0), "depth");
    EXPECT_FALSE(chain.IsPresent("depth"));
}

TEST(TChain, GetNameIsEmptyOutsideTheListAndAbove255) {
    TChain chain;
    for (int i = 0; i < 300; ++i) {
        chain.PushS("N" + std::to_string(i));
    }
    EXPECT_EQ(chain.GetName(0), "N0");
    EXPECT_EQ(chain.GetName(255), "N255");
    EXPECT_EQ(chain.GetName(256), "");
    EXPECT_EQ(chain.GetName(-1), "");
    chain.Clear();
    EXPECT_EQ(chain.GetCount(), 0u);
    EXPECT_EQ(chain.GetName(0), "");
}

TEST(TChain, StacksPopTheirLastEntryAndGiveNothingWhenEmpty) {
    TStringStack strings;
    EXPECT_EQ(strings.Pop(), "");
    EXPECT_EQ(strings.GetTop(), "");
    strings.Push("$");
    strings.Push("DO 1 ");
    EXPECT_EQ(strings.GetTop(), "DO 1 ");
    EXPECT_EQ(strings.Pop(), "DO 1 ");
    EXPECT_EQ(strings.Pop(), "$");
    EXPECT_TRUE(strings.IsEmpty());

    TStackOfFloat values;
    EXPECT_EQ(values.Pop(), 0);
    EXPECT_EQ(values.GetTopV(), 0);
    values.Push(1.5);
    values.PushS("X");
    EXPECT_EQ(values.GetTopS(), "X");
    EXPECT_EQ(values.Pop(), 0);
    EXPECT_EQ(values.Pop(), 1.5);
}

} // namespace
