// Kind letters, blank normalising and decimal reading shared by every reader of project lines.
#include "editor/model/ProjectLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

TEST(LineKind, GivesTheKindLetterOfEveryKeyword) {
    struct Case {
        const char* keyword;
        char kind;
    } cases[] = {
        {"TOP", 'M'},    {"MODULE", 'M'},   {"PARAMETER", 'R'}, {"INPUT", 'P'},
        {"OUTPUT", 'P'}, {"OUTPUT_B", 'P'}, {"BIDIR", 'P'},     {"KVAR", 'P'},
        {"WIRE", 'W'},   {"ASSIGN", 'A'},   {"Version:", 'N'},  {"ES", 'N'},
        {"#INPUT", 'N'}, {"", 'N'},         {"input", 'N'},     {"S", 'N'},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LineKind(c.keyword), c.kind) << "keyword \"" << c.keyword << "\"";
}

TEST(NormalizeBlanks, TurnsTabsIntoBlanksOrDropsAllBlanksAndAlwaysDropsLineEnds) {
    EXPECT_EQ(NormalizeBlanks("a b\tc\r\n", true), "a b c");
    EXPECT_EQ(NormalizeBlanks("a b\tc\r\n", false), "abc");
    EXPECT_EQ(NormalizeBlanks("\r\r\n\n", true), "");
    EXPECT_EQ(NormalizeBlanks("  x  ", true), "  x  ");
}

TEST(ParseDecimal, ReadsOnlyPlainSignedDecimalIntegersOf32Bits) {
    struct Case {
        const char* text;
        std::optional<int> value;
    } cases[] = {
        {"0", 0},
        {"7", 7},
        {"-1", -1},
        {"+12", 12},
        {"007", 7},
        {"-2147483626", -2147483626},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"+", std::nullopt},
        {"--1", std::nullopt},
        {"+-1", std::nullopt},
        {"NA", std::nullopt},
        {" 7", std::nullopt},
        {"7 ", std::nullopt},
        {"0x10", std::nullopt},
        {"W-1", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"999999999", 999999999},
        {"-999999999", -999999999},
        {"1000000000", 1000000000},
        {"1a", std::nullopt},
        {"+-", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseDecimal(c.text), c.value) << "text \"" << c.text << "\"";
}

// A mark field that holds the same number in another spelling must be written again, so only the
// editor's own spelling counts as holding it.
TEST(HoldsDecimal, AcceptsOnlyTheEditorsOwnSpellingOfTheNumber) {
    struct Case {
        const char* text;
        long long value;
        bool holds;
    } cases[] = {
        {"0", 0, true},    {"7", 7, true},
        {"-1", -1, true},  {"20001", 20001, true},
        {"007", 7, false}, {"+7", 7, false},
        {"", 0, false},    {"-0", 0, false},
        {"7 ", 7, false},  {"1", 10, false},
        {"10", 1, false},  {"9223372036854775807", 9223372036854775807LL, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HoldsDecimal(c.text, c.value), c.holds)
            << "text \"" << c.text << "\" value " << c.value;
}

TEST(MakeLine, FillsTheGivenFieldsAndLeavesTheRestEmpty) {
    ProjectLine l = MakeLine({"INPUT", "7", "0", "d"});
    EXPECT_EQ(l[0], "INPUT");
    EXPECT_EQ(l[3], "d");
    for (std::size_t f = 4; f < ProjectLineFields; ++f)
        EXPECT_TRUE(l[f].empty()) << "field " << f;
}

TEST(ProjectLineCopy, BehavesAsADeepCopyOfAllTwentyFieldsWhileSharingTheStoredOnes) {
    ProjectLine a = MakeLine({"INPUT", "7", "0", "d"});
    for (std::size_t f = 4; f < ProjectLineFields; ++f)
        a[f] = "f" + std::to_string(f);
    ProjectLine b = a;
    EXPECT_TRUE(b.SharesStoredFields(a));
    EXPECT_EQ(b, a);
    for (std::size_t f = 0; f < ProjectLineFields; ++f) {
        ProjectLine c = a;
        c[f] += "!";
        EXPECT_EQ(a[f], f < 4 ? MakeLine({"INPUT", "7", "0", "d"})[f] : "f" + std::to_string(f))
            << "the original keeps field " << f;
        EXPECT_EQ(c[f], a[f] + "!");
        EXPECT_NE(c, a) << "field " << f;
        // Only a stored field makes the copy its own; the run-time fields are the line's anyway.
        const bool runTime = f >= FieldBrush && f <= FieldCollapsed;
        EXPECT_EQ(c.SharesStoredFields(a), runTime) << "field " << f;
    }
}

TEST(ProjectLineCopy, ReadingOrCopyingIsNoEditButWritingAStoredFieldOrMovingALineIs) {
    ProjectLines lines{MakeLine({"INPUT", "", "", "a"}), MakeLine({"OUTPUT", "", "", "b"})};
    std::uint64_t before = ProjectLine::Edits();
    const ProjectLines copy = lines;
    const ProjectLines& read = lines;
    EXPECT_EQ(read[0][3], "a");
    lines[0][FieldBrush] = "255";
    lines[1][FieldKind] = "P";
    lines.push_back(MakeLine({"WIRE"}));
    EXPECT_EQ(ProjectLine::Edits(), before) << "copies, reads, marks and appends";
    lines[0][3] = "x";
    EXPECT_GT(ProjectLine::Edits(), before);
    before = ProjectLine::Edits();
    std::swap(lines[0], lines[1]);
    EXPECT_GT(ProjectLine::Edits(), before);
    before = ProjectLine::Edits();
    lines.erase(lines.begin());
    EXPECT_GT(ProjectLine::Edits(), before) << "the lines after the erased one move up";
    EXPECT_EQ(copy[0][3], "a");
    EXPECT_EQ(copy[1][0], "OUTPUT");
}

TEST(ProjectLineCopy, ReadsItsFieldsInOrderLikeAnArray) {
    const ProjectLine l = MakeLine({"WIRE", "u1", "q", "u2", "d", "n"});
    ASSERT_EQ(l.end() - l.begin(), 20);
    EXPECT_EQ(std::vector<std::string>(l.begin(), l.begin() + 6),
              (std::vector<std::string>{"WIRE", "u1", "q", "u2", "d", "n"}));
    EXPECT_TRUE(
        std::all_of(l.begin() + 6, l.end(), [](const std::string& f) { return f.empty(); }));
}
