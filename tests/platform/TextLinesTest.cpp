// Splitting text into lines, whatever its line ends.
#include "platform/TextLines.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char* name;
    const char* text;
    std::vector<std::string> lines;
};

class SplitLinesCases : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLinesCases, GiveTheLinesWithoutTheirEnds) {
    EXPECT_EQ(platform::SplitLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Text, SplitLinesCases,
    ::testing::Values(SplitCase{"Empty", "", {}}, SplitCase{"OneUnended", "a", {"a"}},
                      SplitCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
                      SplitCase{"Lf", "a\nb\n", {"a", "b"}},
                      SplitCase{"LoneCr", "a\rb\r", {"a", "b"}},
                      SplitCase{"Mixed", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
                      SplitCase{"EmptyLinesCount", "\r\n\r\na\r\n\r\n", {"", "", "a", ""}},
                      SplitCase{"LfCrIsTwoEnds", "a\n\rb", {"a", "", "b"}}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace

namespace {

// Joined lines read back as the same lines, whatever a line holds but a line end.
TEST(JoinLines, EndsEveryLineWithCrLfAndSplitsBackToTheSameLines) {
    EXPECT_EQ(platform::JoinLines({}), "");
    EXPECT_EQ(platform::JoinLines({"a", "", "b\tc"}), "a\r\n\r\nb\tc\r\n");
    const std::vector<std::string> lines = {"", "module top(", "", "endmodule"};
    EXPECT_EQ(platform::SplitLines(platform::JoinLines(lines)), lines);
}

} // namespace
