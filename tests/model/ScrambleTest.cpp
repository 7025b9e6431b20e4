// The project-file scrambling: a fixed key, self-inverse at every length, whole-file keyed.
#include "editor/model/Scramble.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string Sample(std::size_t length) {
    std::string s;
    for (std::size_t i = 0; i < length; ++i)
        s.push_back(static_cast<char>((i * 37 + 11) % 256));
    return s;
}

std::string Hex(const std::string& s) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : s) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

} // namespace

TEST(ProjectScramble, TheKeyHas220NonZeroBytes) {
    const auto& table = ScrambleTable();
    EXPECT_EQ(table.size(), 220u);
    EXPECT_TRUE(std::none_of(table.begin(), table.end(), [](std::uint8_t b) { return b == 0; }));
}

// Pins the key and the stream: files already written must stay readable.
TEST(ProjectScramble, GivesTheKnownAnswerForAHeaderLine) {
    std::string text = "Version:\tZUN2012\t1.0\r\n";
    ProjectScramble(text);
    EXPECT_EQ(Hex(text), "68979e073efd47abc2a49b0774ad503f03b35ce7dae3");
}

TEST(ProjectScramble, GivesTheKnownAnswerAcrossTwoKeyBlocks) {
    std::string text;
    for (int r = 0; r < 2; ++r)
        for (int i = 0; i < 256; ++i)
            text.push_back(static_cast<char>(i));
    ProjectScramble(text);
    EXPECT_EQ(Hex(text.substr(0, 16)), "02606d56061894c58592a06b18da27c4");
    EXPECT_EQ(Hex(text.substr(496)), "4dfab4681bd67dc2d5c719d82870a69f");
}

TEST(ProjectScramble, IsItsOwnInverseAtEveryBlockBoundary) {
    for (std::size_t length : {0u, 1u, 219u, 220u, 221u, 440u, 441u, 4096u}) {
        std::string plain = Sample(length);
        std::string text = plain;
        ProjectScramble(text);
        if (length > 0) {
            EXPECT_NE(text, plain) << length;
        }
        ProjectScramble(text);
        EXPECT_EQ(text, plain) << length;
    }
}

TEST(ProjectScramble, AppendingOneByteTurnsTheWholeContentToNoise) {
    std::string plain(1000, 'A');
    std::string stored = plain;
    ProjectScramble(stored);
    stored.push_back('x');
    ProjectScramble(stored);
    std::size_t same = 0;
    for (std::size_t i = 0; i < plain.size(); ++i)
        same += stored[i] == plain[i];
    // A right key would give 1000 equal bytes; noise gives about one in 256 by chance.
    EXPECT_LT(same, 30u);
    EXPECT_NE(stored.substr(0, 220), plain.substr(0, 220));
}
