// The PCRE2 owners: compile options, the global loops, escaping, and resource errors.
#include "regex/Regex.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace rx {
namespace {

TEST(Regex, DotMatchesLineEndOnlyWithDotAll) {
    EXPECT_FALSE(Regex("a.b").Contains("a\nb"));
    EXPECT_TRUE(Regex("a.b", kRegexDotAll).Contains("a\nb"));
}

TEST(Regex, DollarStopsBeforeAFinalLineFeedOnly) {
    RegexMatch match;
    std::string subject = "0x1898a5out\n";
    ASSERT_TRUE(Regex("^0x1898a5(.*?)$").Search(subject, match));
    EXPECT_EQ(match.Group(subject, 1), "out");
    // CR is no line end for the patterns: LF alone is.
    EXPECT_FALSE(Regex("^a$").Contains("a\r"));
}

TEST(Regex, WordCharactersAreThoseOfTheCLocale) {
    // Bytes above 127 are neither letters nor word characters, whatever the process locale.
    EXPECT_FALSE(Regex("\\w").Contains("\xe9"));
    EXPECT_FALSE(Regex("[[:alpha:]]").Contains("\xc4"));
    EXPECT_TRUE(Regex("\\bx\\b").Contains("\xe9x\xe9"));
    EXPECT_FALSE(Regex("x", kRegexCaseless).Contains("\xd8"));
}

TEST(Regex, ReplacementTextIsNeverSubstitutionSyntax) {
    Regex word("b+");
    EXPECT_EQ(ReplaceAll(word, "abbcb", "$0\\1${x}"), "a$0\\1${x}c$0\\1${x}");
}

TEST(Regex, GlobalReplacementResumesAfterEachMatch) {
    struct Case {
        const char* name;
        const char* pattern;
        const char* subject;
        const char* expected;
    };
    const Case cases[] = {
        {"non-overlapping", "aa", "aaaaa", "--a"},
        {"empty matches between characters", "x*", "ab", "-a-b-"},
        {"empty then non-empty at the same place", "(?=a)|a", "ab", "--b"},
        {"no match leaves the text", "z", "abc", "abc"},
        {"match at the very end", "c$", "abc", "ab-"},
    };
    for (const Case& c : cases) {
        Regex regex(c.pattern);
        EXPECT_EQ(ReplaceAll(regex, c.subject, "-"), c.expected) << c.name;
    }
}

TEST(Regex, FirstReplacementChangesOneMatch) {
    Regex digit("\\d");
    EXPECT_EQ(ReplaceFirst(digit, "a1b2", [](const RegexMatch&) { return std::string("#"); }),
              "a#b2");
}

TEST(Regex, UnsetGroupsHaveNoText) {
    Regex regex("(a)|(b)");
    RegexMatch match;
    ASSERT_TRUE(regex.Search("b", match));
    EXPECT_FALSE(match.IsSet(1));
    EXPECT_TRUE(match.IsSet(2));
    EXPECT_EQ(match.Group("b", 1), "");
    // A later match with fewer groups set must not keep the earlier offsets.
    ASSERT_TRUE(regex.Search("a", match));
    EXPECT_TRUE(match.IsSet(1));
    EXPECT_FALSE(match.IsSet(2));
}

TEST(Regex, MatchAtIsAnchoredButSeesTheCharacterBefore) {
    Regex word("\\bab");
    RegexMatch match;
    EXPECT_TRUE(word.MatchAt("x ab", 2, match));
    EXPECT_FALSE(word.MatchAt("xab", 1, match));
    EXPECT_FALSE(word.MatchAt("x ab", 1, match));
}

TEST(Regex, EscapedNamesMatchOnlyThemselves) {
    const char* names[] = {"plain_name1", "\\esc$name", "a.b*c",    "\\E)(",
                           "[x]{2}",      "a b",        "\xff\x01", "^$|?+"};
    for (const char* name : names) {
        Regex regex("^" + EscapeForPattern(name) + "$");
        EXPECT_TRUE(regex.Contains(name)) << name;
        EXPECT_FALSE(regex.Contains(std::string(name) + "x")) << name;
    }
    EXPECT_EQ(EscapeForPattern("a\\E"), "a\\x{5c}E");
    EXPECT_FALSE(Regex(EscapeForPattern("a.b")).Contains("axb"));
}

TEST(Regex, MatchLimitIsAnErrorNotANoMatch) {
    // Nested unlimited repeats against a subject that almost matches run out of the match limit.
    Regex catastrophic("^(a+)+$");
    std::string subject(40, 'a');
    subject += 'b';
    EXPECT_THROW(catastrophic.Contains(subject), RegexResourceError);
}

TEST(Regex, LongLazyScanDoesNotExhaustTheStack) {
    Regex lazy("a.*?z", kRegexDotAll);
    std::string subject = "a" + std::string(4 << 20, 'x') + "z";
    RegexMatch match;
    ASSERT_TRUE(lazy.Search(subject, match));
    EXPECT_EQ(match.End(), subject.size());
}

TEST(Regex, RefusedPatternIsACompileError) {
    EXPECT_THROW(Regex("(unclosed"), RegexCompileError);
}

TEST(Regex, TryCompileAnswersNothingForARefusedPattern) {
    for (const char* bad : {"(", "a{2,1}", "[z-a]", "\\"})
        EXPECT_FALSE(Regex::TryCompile(bad).has_value()) << bad;
    const std::optional<Regex> good = Regex::TryCompile("a+", kRegexCaseless);
    ASSERT_TRUE(good.has_value());
    EXPECT_TRUE(good->Contains("xAy"));
}

TEST(Regex, ExecCountsThePairsUpToTheLastGroupThatTookPart) {
    struct Case {
        const char* pattern;
        const char* subject;
        int result;
        std::vector<std::string> groups; // "-" for an unset group
    };
    const Case cases[] = {
        {"b", "abc", 1, {"b"}},
        {"(a)|(b)", "a", 2, {"a", "a", "-"}},
        {"(a)|(b)", "b", 3, {"b", "-", "b"}},
        {"(x)?(y)", "y", 3, {"y", "-", "y"}},
        {"^$", "", 1, {""}},
    };
    for (const Case& c : cases) {
        Regex re(c.pattern, kRegexPlain, 3);
        RegexMatch m;
        const std::string subject = c.subject;
        ASSERT_EQ(re.Exec(subject, m), c.result) << c.pattern << " on " << c.subject;
        ASSERT_EQ(m.GroupCount(), 3) << c.pattern;
        for (std::size_t g = 0; g < c.groups.size(); ++g) {
            const int k = static_cast<int>(g);
            if (c.groups[g] == "-")
                EXPECT_FALSE(m.IsSet(k)) << c.pattern << " group " << g;
            else
                EXPECT_EQ(m.Group(subject, k), c.groups[g]) << c.pattern << " group " << g;
        }
    }
    RegexMatch none;
    EXPECT_LT(Regex("z").Exec("abc", none), 0);
}

TEST(Regex, ExecWithFewerPairsThanGroupsAnswersZeroAndFillsEveryPair) {
    // Eleven groups, ten pairs: the whole match and groups 1 to 9 are kept.
    Regex re("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)", kRegexPlain, 10);
    RegexMatch m;
    const std::string subject = "abcdefghijk";
    ASSERT_EQ(re.Exec(subject, m), 0);
    ASSERT_EQ(m.GroupCount(), 10);
    EXPECT_EQ(m.Group(subject, 0), subject);
    EXPECT_EQ(m.Group(subject, 9), "i");
}

TEST(Regex, ExecOfAnEmptyViewSearchesTheEmptyText) {
    RegexMatch m;
    EXPECT_EQ(Regex("^$").Exec(std::string_view(), m), 1);
    EXPECT_LT(Regex("a").Exec(std::string_view(), m), 0);
}

TEST(Regex, BoundedPatternGivesUpQuicklyWithANegativeResult) {
    Regex catastrophic("^(a+)+$", kRegexBounded);
    std::string subject(40, 'a');
    subject += 'b';
    RegexMatch m;
    const int rc = catastrophic.Exec(subject, m);
    EXPECT_LT(rc, 0);
    // Not a plain "no match": the search did not get to decide.
    EXPECT_NE(rc, Regex("z").Exec("a", m));
    EXPECT_THROW(catastrophic.Contains(subject), RegexResourceError);
    // An ordinary search of a bounded pattern is unchanged.
    EXPECT_TRUE(Regex("^(a+)+$", kRegexBounded).Contains(std::string(40, 'a')));
}

} // namespace
} // namespace rx
