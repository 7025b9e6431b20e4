// Port-type words, identifiers of a custom port list and their import as variant top ports.
#include "TopPortNames.h"
#include "model/WiringFixture.h"
#include "support/FileFixtures.h"

#include "editor/canvas/TopPortImport.h"
#include "editor/model/TopLevel.h"
#include "platform/TextFile.h"

#include <optional>

namespace {

struct TypeWordCase {
    const char* name;
    char kind;
    char caseLetter;
    bool bidir;
    const char* word;
    bool error;
};

const TypeWordCase TypeWordCases[] = {
    {"input", 'I', ' ', false, "Input", false},
    {"output upper case", 'O', 'U', false, "OUTPUT", false},
    {"inout", 'B', ' ', false, "Inout", false},
    {"bidir when asked", 'B', 'u', true, "BIDIR", false},
    {"variant lower case", 'V', 'l', false, "variant", false},
    {"inout lower case", 'B', 'L', false, "inout", false},
    {"another case letter keeps the word", 'I', 'x', false, "Input", false},
    {"an unknown letter", 'Q', ' ', false, "Variant", true},
    {"an unknown letter upper case", 'o', 'U', false, "VARIANT", true},
};

class TypeWords : public ::testing::TestWithParam<TypeWordCase> {};

TEST_P(TypeWords, NameEachDirection) {
    const TypeWordCase& c = GetParam();
    MessageLog log;
    EXPECT_EQ(PortTypeWord(log, c.kind, c.caseLetter, c.bidir), c.word);
    EXPECT_EQ(log.Lines(), c.error ? Lines{"Error: Unknown port type."} : Lines{});
}

INSTANTIATE_TEST_SUITE_P(TopPortImport, TypeWords, ::testing::ValuesIn(TypeWordCases), CaseName());

TEST(TopPortImport, IdentifierCharactersAreAsciiLettersUnderscoresAndLaterDigits) {
    for (char c : std::string("azAZ_"))
        EXPECT_TRUE(IsIdentChar(true, c) && IsIdentChar(false, c)) << c;
    for (char c : std::string("09"))
        EXPECT_TRUE(!IsIdentChar(true, c) && IsIdentChar(false, c)) << c;
    for (char c : std::string(" \t\r\n[]:;,.$\\-`'\"@{}\xc3\xa9"))
        EXPECT_TRUE(!IsIdentChar(true, c) && !IsIdentChar(false, c)) << int(c);
}

TEST(TopPortImport, TheKeywordListTakesAnyLineEndAndTrimsBlanks) {
    const auto words = KeywordSet("input\r\n  Output \n\treg\t\rwire\n\n   \r\nENTITY");
    EXPECT_EQ(words, (std::unordered_set<std::string>{"input", "output", "reg", "wire", "entity"}));
}

// A model whose program directory holds the keyword list given (or none).
class CustomList : public Wiring {
protected:
    void UseKeywords(const std::optional<std::string>& list) {
        if (list)
            WriteBytes(dir.Path(KeywordsFile), *list);
        m.AppDir = dir.Dir();
    }
    TempDir dir;
};

struct ParseCase {
    const char* name;
    const char* text;
    Lines names;
};

const ParseCase ParseCases[] = {
    {"declarations", "input [7:0] data_in, output reg done", {"data_in", "done"}},
    {"an underscore starts a word", "_x1", {"_x1"}},
    {"a digit starts none", "1x", {"x"}},
    {"widths separate", "a[7:0]b", {"a", "b"}},
    {"a word at the very end", "last", {"last"}},
    {"duplicates kept in order", "b a b", {"b", "a", "b"}},
    {"keywords in any case", "INPUT Wire clk; ENDMODULE", {"clk"}},
    {"VHDL", "din : in std_logic_vector(7 downto 0);", {"din", "std_logic_vector"}},
    {"non-ASCII letters separate", "d\xc3\xa9j\xc3\xa0", {"d", "j"}},
    {"every line end", "a\r\nb\rc\nd", {"a", "b", "c", "d"}},
    {"nothing", " 12 ; [3:0] ", {}},
};

class CustomListParse : public CustomList, public ::testing::WithParamInterface<ParseCase> {};

TEST_P(CustomListParse, TakesIdentifiersThatAreNoKeywords) {
    UseKeywords("input\r\noutput\r\nreg\r\nwire\r\nendmodule\r\nin\r\ndownto\r\n");
    EXPECT_EQ(ParseCustomPortList(m, GetParam().text), GetParam().names);
    EXPECT_TRUE(LogLines().empty());
}

INSTANTIATE_TEST_SUITE_P(TopPortImport, CustomListParse, ::testing::ValuesIn(ParseCases),
                         CaseName());

TEST_F(CustomList, WithoutTheKeywordListEveryIdentifierIsKeptAndTheErrorLogged) {
    UseKeywords(std::nullopt);
    EXPECT_EQ(ParseCustomPortList(m, "input a"), (Lines{"input", "a"}));
    EXPECT_EQ(LogLines(), Lines{"Error: Missing sys file: keywords.txt."});
}

TEST_F(CustomList, TheShippedListHoldsTheReservedWordsOfBothLanguages) {
    std::string list;
    ASSERT_TRUE(platform::ReadWholeFile(std::string(ZUN_BUILD_DIR) + "/" + KeywordsFile, list))
        << "the build copies res/keywords.txt next to the programs";
    const auto words = KeywordSet(list);
    for (const char* w : {"module",
                          "endmodule",
                          "input",
                          "output",
                          "inout",
                          "wire",
                          "reg",
                          "assign",
                          "localparam",
                          "uwire",
                          "pulsestyle_onevent",
                          "entity",
                          "architecture",
                          "signal",
                          "std_logic_vector",
                          "downto",
                          "context",
                          "force",
                          "vunit",
                          "generic",
                          "port",
                          "buffer"}) {
        const bool reserved = std::string(w) != "std_logic_vector";
        EXPECT_EQ(words.count(w) == 1, reserved) << w;
    }
    EXPECT_GT(words.size(), 200u);
}

TEST_F(CustomList, ImportedNamesFollowTheTopBlockInTextOrder) {
    UseKeywords("input\noutput\nreg\n");
    Load("WIRE\tu1\tq\tu2\td\tnet_q\n");
    m.Modified = false;
    const int n = ImptTopPrt_CstmExecute(
        m,
        [] {
            return std::optional<std::string>("input [7:0] data_in, output reg done clk a a "
                                              "net_q");
        },
        [this] { m.UpdatePicExecute(RebuildSender::MainWindow); });
    EXPECT_EQ(n, 3);
    const Lines lines = StoredText(m.LineList);
    EXPECT_EQ(lines[7], "KVAR\t\t\tdata_in\t\t\t\t");
    EXPECT_EQ(lines[8], "KVAR\t\t\tdone\t\t\t\t");
    EXPECT_EQ(lines[9], "KVAR\t\t\ta\t\t\t\t");
    EXPECT_EQ(lines[10].substr(0, 7), "MODULE\t");
    EXPECT_EQ(
        LogLines(),
        (Lines{"Info: Import top port: data_in.", "Info: Import top port: done.",
               "Info: Ignore duplicate top port: clk.", "Info: Import top port: a.",
               "Info: Ignore duplicate top port: a.",
               "Info: Ignore top port: net_q. The wire is already used by the port: q(u1)."}));
    EXPECT_EQ(P("top", "done").Kind, 'V');
    EXPECT_TRUE(m.Modified);
    ASSERT_TRUE(m.UndoEnabled());
    m.UndoExecute();
    EXPECT_EQ(m.FindPortQuiet("top", "done"), -1);
}

TEST_F(CustomList, ATopModuleWithoutInstancesGetsThePortsAfterItsBlock) {
    // Without a MODULE line the ports still go into the top block, not before the TOP line.
    UseKeywords("");
    m.LineList = LinesFromText("TOP\t\ttop\nINPUT\t\t\tclk\nASSIGN\t x = y \n");
    Rebuild();
    ImptTopPrt_CstmExecute(
        m, [] { return std::optional<std::string>("p q"); }, [this] { Rebuild(); });
    EXPECT_EQ(Keywords(m.LineList), (Lines{"TOP", "INPUT", "KVAR", "KVAR", "ASSIGN"}));
    EXPECT_EQ(TopPortNames(m), (Lines{"clk", "p", "q"}));
}

TEST_F(CustomList, ACancelledListChangesNothingAndTakesNoSnapshot) {
    UseKeywords("");
    const Lines before = StoredText(m.LineList);
    m.Modified = false;
    int rebuilds = 0;
    EXPECT_EQ(ImptTopPrt_CstmExecute(
                  m, [] { return std::optional<std::string>(); }, [&] { ++rebuilds; }),
              0);
    EXPECT_EQ(StoredText(m.LineList), before);
    EXPECT_FALSE(m.Modified);
    EXPECT_FALSE(m.UndoEnabled());
    EXPECT_EQ(rebuilds, 0);
}

TEST_F(CustomList, AListOfNothingNewRebuildsWithoutASnapshot) {
    UseKeywords("");
    m.Modified = false;
    int rebuilds = 0;
    ImptTopPrt_CstmExecute(
        m, [] { return std::optional<std::string>("clk din"); }, [&] { ++rebuilds; });
    EXPECT_EQ(rebuilds, 1);
    EXPECT_FALSE(m.UndoEnabled());
    EXPECT_FALSE(m.Modified);
    EXPECT_EQ(LogLines(), (Lines{"Info: Ignore duplicate top port: clk.",
                                 "Info: Ignore duplicate top port: din."}));
}

} // namespace
