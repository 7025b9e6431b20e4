// ASCII letter case over bytes: what the engine's readers, the evaluator, INI keys and the
// command line's options all compare and fold with.
#include "platform/AsciiCase.h"

#include <gtest/gtest.h>

namespace {

TEST(AsciiCase, OnlyTheTwentySixLettersChangeEveryOtherByteStays) {
    struct Case {
        std::string text, upper, lower;
    };
    const Case cases[] = {
        {"", "", ""},
        {"wire", "WIRE", "wire"},
        {"Std_Logic_Vector", "STD_LOGIC_VECTOR", "std_logic_vector"},
        {"a[7:0] @`{|}~", "A[7:0] @`{|}~", "a[7:0] @`{|}~"},
        // Bytes of UTF-8 and Latin-1 letters are not letters here.
        {"\xc3\xa9t\xe9", "\xc3\xa9T\xe9", "\xc3\xa9t\xe9"},
        {std::string("n\0x", 3), std::string("N\0X", 3), std::string("n\0x", 3)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::AsciiUpper(c.text), c.upper) << c.text;
        EXPECT_EQ(platform::AsciiLower(c.text), c.lower) << c.text;
        EXPECT_EQ(platform::AsciiLower(platform::AsciiUpper(c.text)), platform::AsciiLower(c.text));
    }
}

TEST(AsciiCase, ComparisonIgnoresLetterCaseAndNothingElse) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"-NEW", "-new", true}, {"Demo.ZUN", "demo.zun", true},
        {"", "", true},         {"in", "inout", false},
        {"a_b", "a-b", false},  {"\xe9", "\xc9", false},
        {"[", "{", false},      {"@", "`", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::SameIgnoringAsciiCase(c.a, c.b), c.same) << c.a << " / " << c.b;
}

TEST(AsciiCase, ListOrderFoldsLettersAndComparesOtherBytesByValue) {
    struct Case {
        const char* a;
        const char* b;
        bool less;
    };
    const Case cases[] = {
        {"abc", "ABD", true}, {"ABD", "abc", false}, {"Abc", "aBC", false}, {"ab", "abc", true},
        {"", "a", true},      {"a", "", false},      {"a", "_", true},      {"Z", "_", true},
        {"9", "A", true},     {"\xe9", "z", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::LessIgnoringAsciiCase(c.a, c.b), c.less) << c.a << " < " << c.b;
}

TEST(AsciiCase, HexDigitsOfEitherCaseHaveTheirValueOtherBytesNone) {
    const std::pair<char, int> cases[] = {{'0', 0},  {'9', 9},  {'a', 10}, {'F', 15}, {'f', 15},
                                          {'g', -1}, {'G', -1}, {'x', -1}, {' ', -1}, {'/', -1},
                                          {':', -1}, {'@', -1}, {'`', -1}};
    for (const auto& [c, value] : cases)
        EXPECT_EQ(platform::AsciiHexDigit(c), value) << c;
}

} // namespace
