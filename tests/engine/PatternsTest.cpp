// The shared pattern texts: what each one takes as a whole, in the contexts the jobs use them.
#include "engine/Patterns.h"
#include "regex/Regex.h"

#include <gtest/gtest.h>

#include <string>

using namespace rx;

namespace qve {
namespace {

struct PatternCase {
    const char* name;
    const char* pattern;
    std::uint32_t flags;
    const char* subject;
    const char* expected; // the first match, or nullptr for none
};

TEST(SharedPatterns, EachTakesWhatItNames) {
    const PatternCase cases[] = {
        {"Verilog name with dollar signs", Idn_Vlog, kRegexDotAll, "+a$b$ y", "a$b$"},
        {"Verilog name taken whole", Idn_Vlog, kRegexDotAll, "9 _ab9$c+", "_ab9$c"},
        {"Verilog name does not start with a digit", Idn_Vlog, kRegexDotAll, "9abc", nullptr},
        {"Verilog escaped name up to white space", Idn_Vlog, kRegexDotAll, "\\bus[0].q x",
         "\\bus[0].q"},
        {"without white space after it an escaped name is the simple name in it", Idn_Vlog,
         kRegexDotAll, "\\abc", "abc"},
        {"net types", NetType_Vlog, 0, "triand", "tri"},
        {"variable types", OutputVarType_Vlog, 0, "time", "time"},
        {"declaration keywords", IOP_Vlog, 0, "inout", "inout"},
        {"VHDL name with single underscores", Idn_VHDL, kRegexCaseless, "Data_In_2 ", "Data_In_2"},
        {"VHDL name with a double underscore is none", Idn_VHDL, kRegexCaseless, "a__b", nullptr},
        {"VHDL name ending in an underscore is none", Idn_VHDL, kRegexCaseless, "ab_", nullptr},
        {"VHDL extended name with a doubled backslash", Idn_VHDL, kRegexCaseless, "\\a\\\\b\\ x",
         "\\a\\\\b\\"},
        {"VHDL modes are whole words", Mode_VHDL, kRegexCaseless, "input in", "in"},
        {"VHDL buffer mode", Mode_VHDL, kRegexCaseless, "BUFFER", "BUFFER"},
        {"VHDL vector type", SubType_VHDL, kRegexCaseless, "std_logic_vector(1 downto 0)",
         "std_logic_vector"},
        {"VHDL std_ulogic is not read", SubType_VHDL, kRegexCaseless, "std_ulogic", nullptr},
    };
    for (const PatternCase& c : cases) {
        Regex regex(std::string("(") + c.pattern + ")", c.flags);
        RegexMatch match;
        bool found = regex.Search(c.subject, match);
        if (c.expected == nullptr) {
            EXPECT_FALSE(found) << c.name << ": took " << match.Group(c.subject, 1);
            continue;
        }
        ASSERT_TRUE(found) << c.name;
        EXPECT_EQ(match.Group(c.subject, 1), c.expected) << c.name;
    }
}

TEST(SharedPatterns, NoneCapturesOfItsOwn) {
    for (const char* pattern : {Idn_Vlog, NetType_Vlog, OutputVarType_Vlog, IOP_Vlog, Idn_VHDL,
                                Mode_VHDL, SubType_VHDL}) {
        Regex regex(std::string(pattern) + "|(z)");
        RegexMatch match;
        ASSERT_TRUE(regex.Search("z", match)) << pattern;
        // The only group is the one added here.
        EXPECT_EQ(match.GroupCount(), 2) << pattern;
    }
}

} // namespace
} // namespace qve
