// The SmartLink rule engine: one pattern's match and captures, the expansion of capture tokens,
// and the proposals of rule sets on a small design, down to the exact suggestion lines and the
// summary text.
#include "editor/canvas/SmartLink.h"

#include "editor/canvas/CanvasController.h"
#include "editor/model/Nets.h"
#include "model/ModelText.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

namespace {

// A top module t and three instances: clk everywhere, a channel port tx_1_2data, a port busy
// wired from u1 to u2, and dout whose width u2 does not share.
const char* const kDesign = "TOP\t\tt\n"
                            "INPUT\t\t\tclk\n"
                            "OUTPUT\t\t\ttx_1_2data\n"
                            "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
                            "INPUT\t\t\tclk\n"
                            "OUTPUT\t\t\ttx_1_2data\n"
                            "OUTPUT\t\t\tbusy\n"
                            "OUTPUT\t7\t0\tdout\n"
                            "MODULE\tsink\tu2\t/src/sink.v\tverilog\n"
                            "INPUT\t\t\tclk\n"
                            "INPUT\t\t\ttx_1_2data\n"
                            "INPUT\t\t\tbusy\n"
                            "INPUT\t3\t0\tdout\n"
                            "MODULE\tsink\tu3\t/src/sink.v\tverilog\n"
                            "INPUT\t\t\tclk\n"
                            "INPUT\t\t\ttx_1_2data\n"
                            "INPUT\t\t\tbusy\n"
                            "INPUT\t7\t0\tdout\n"
                            "WIRE\tu1\tbusy\tu2\tbusy\tbusy\n";

using Rule = std::vector<std::string>; // the seven texts of a rule, "Once" first

const Rule kSameLink = {"", "Same Link", "\\w+", "\\w+", "\\w+", "\\b%P0\\b", "same ports"};
const Rule kChannelLink = {"",     "Channel Link",    "\\w+",         "\\w\\w_(\\d)_(\\d)\\w+",
                           "\\w+", "\\w+%P1_%P2\\w+", "channel ports"};
Rule Once(Rule r) {
    r[RuleOnce] = "Yes";
    return r;
}
// Every port named clk, from a port whose name holds tx.
const Rule kClockFromTx = {"", "Clocks", ".*", "tx", ".*", "^clk$", ""};

// A suggestion line from inst.port to "instance\tport", fields 6 to 11 empty and "S" in 12.
std::string SuggestionLine(const std::string& inst, const std::string& port,
                           const std::string& to) {
    return "WIRE\t" + inst + "\t" + port + "\t" + to + "\tWire_" + inst + "_" + port +
           std::string(7, '\t') + "S";
}

class Engine : public ::testing::Test {
protected:
    void SetUp() override {
        m.LineList = LinesFromText(kDesign);
        m.PrjOpen = true;
        m.NoSelfWire = false;
        Rebuild();
    }
    void Rebuild() {
        m.UpdatePicExecute(RebuildSender::MainWindow);
        m.ClearLog();
    }
    void SetRules(const std::vector<Rule>& rules) {
        m.SLRules.clear();
        m.SLRuleWidth = 7;
        for (const Rule& r : rules)
            m.SLRules.insert(m.SLRules.end(), r.begin(), r.end());
    }
    int Port(const std::string& inst, const std::string& name) {
        const int k = m.FindPortQuiet(inst, name);
        EXPECT_GE(k, 0) << inst << "." << name;
        return k;
    }
    // Fields 0 to 16 of every suggestion line, joined by TAB with the empty tail cut.
    std::vector<std::string> Suggestions() const {
        std::vector<std::string> out;
        for (const ProjectLine& l : m.LineList) {
            if (l[FieldSuggestion] != "S")
                continue;
            std::string s = l[0];
            for (std::size_t f = 1; f < ProjectLineFields; ++f)
                s += "\t" + l[f];
            out.push_back(s.substr(0, s.find_last_not_of('\t') + 1));
        }
        return out;
    }
    static std::string Line(const std::string& to) {
        // The source of every case below is u1.tx_1_2data unless the case says otherwise.
        return SuggestionLine("u1", "tx_1_2data", to);
    }

    ProjectModel m;
    SmartLink engine{m};
};

// RegexMatch.

struct MatchCase {
    const char* name;
    const char* subject;
    const char* pattern;
    bool caseSensitive;
    bool matched;
    std::vector<std::string> captures;
    const char* logged; // the one log line, or "" for none
};

const MatchCase kMatchCases[] = {
    {"CaselessByDefault", "U1_CLK", "u1_clk", false, true, {"U1_CLK"}, ""},
    {"MatchCaseRefusesOtherCase", "U1_CLK", "u1_clk", true, false, {}, ""},
    {"MatchCaseTakesSameCase", "u1_clk", "u1_clk", true, true, {"u1_clk"}, ""},
    {"SearchesAnywhereInTheName", "u_tx_clk", "tx", false, true, {"tx"}, ""},
    {"WordPatternMatchesAnyName", "rx_data", "\\w+", false, true, {"rx_data"}, ""},
    {"Groups", "tx_1_2data", "\\w\\w_(\\d)_(\\d)\\w+", false, true, {"tx_1_2data", "1", "2"}, ""},
    {"UnsetGroupIsEmpty", "y", "(x)?(y)", false, true, {"y", "", "y"}, ""},
    {"TrailingUnsetGroupsAreNotCounted", "a", "(a)|(b)", false, true, {"a", "a"}, ""},
    {"ElevenGroupsKeepTenWithAWarning",
     "abcdefghijk",
     "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)",
     false,
     true,
     {"abcdefghijk", "a", "b", "c", "d", "e", "f", "g", "h", "i"},
     "Warning: Limited to 9captured substrings"},
    {"NoMatch", "clk", "rst", false, false, {}, ""},
    {"OpenGroupFailsSilently", "clk", "(", false, false, {}, ""},
    {"BadRepeatFailsSilently", "aa", "a{2,1}", false, false, {}, ""},
    {"EmptyNameIsSearchedNotValidated", "", "\\w+", false, false, {}, ""},
    {"EmptyNameMatchesAnEmptyMatch", "", "^$", false, true, {""}, ""},
    {"EmptyNameWithBadPatternLogsNothing", "", "(", false, false, {}, ""},
    {"RunawayBacktrackingIsNoMatch",
     "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab",
     "^(a+)+$",
     false,
     false,
     {},
     ""},
};

class RegexMatchCases : public Engine, public ::testing::WithParamInterface<MatchCase> {};

TEST_P(RegexMatchCases, MatchAndCollect) {
    const MatchCase& c = GetParam();
    m.SLCaseSensitive = c.caseSensitive;
    std::vector<std::string> captures = {"kept"};
    EXPECT_EQ(engine.RegexMatch(c.subject, c.pattern, true, &captures), c.matched);
    std::vector<std::string> expected = {"kept"};
    expected.insert(expected.end(), c.captures.begin(), c.captures.end());
    EXPECT_EQ(captures, expected);
    const std::vector<std::string> logged =
        *c.logged ? std::vector<std::string>{c.logged} : std::vector<std::string>{};
    EXPECT_EQ(m.Log.Lines(), logged);
    // Without collect nothing is appended and nothing is warned.
    m.ClearLog();
    std::vector<std::string> untouched;
    EXPECT_EQ(engine.RegexMatch(c.subject, c.pattern, false, &untouched), c.matched);
    EXPECT_TRUE(untouched.empty());
    EXPECT_TRUE(m.Log.Lines().empty());
}

INSTANTIATE_TEST_SUITE_P(SmartLink, RegexMatchCases, ::testing::ValuesIn(kMatchCases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(Engine, ValidationLogsABadPatternAndPassesAGoodOne) {
    EXPECT_FALSE(engine.ValidatePattern("("));
    EXPECT_FALSE(engine.ValidatePattern("a{2,1}"));
    EXPECT_TRUE(engine.ValidatePattern("\\b%P0\\b"));
    EXPECT_TRUE(engine.ValidatePattern(""));
    EXPECT_EQ(m.Log.Lines(), (std::vector<std::string>{"Error: Unrecognized pattern:(",
                                                       "Error: Unrecognized pattern:a{2,1}"}));
}

// ExpandCaptures.

struct ExpandCase {
    const char* name;
    std::vector<std::string> mdu;
    std::vector<std::string> prt;
    const char* pattern;
    const char* expanded;
};

const ExpandCase kExpandCases[] = {
    {"WholeMatchOfThePort", {"u1"}, {"clk"}, "\\b%P0\\b", "\\bclk\\b"},
    {"GroupsOfBoth", {"u_7", "7"}, {"tx_1_2data", "1", "2"}, "%M1:%P1_%P2", "7:1_2"},
    {"SecondDigitIsText", {}, {"x", "a"}, "%P12", "a2"},
    {"MissingCaptureStays", {"u1"}, {"clk"}, "%M3%P9", "%M3%P9"},
    {"CaseSensitiveTokens", {"u1"}, {"clk"}, "%p0%m0", "%p0%m0"},
    {"CaptureHoldingALaterTokenIsExpanded", {}, {"%P2", "", "two"}, "<%P0>", "<two>"},
    {"CaptureHoldingAnEarlierTokenStays", {}, {"", "", "%P1"}, "<%P2>", "<%P1>"},
    {"EveryOccurrence", {"u"}, {"p"}, "%M0%P0%M0%P0", "upup"},
};

class ExpandCases : public Engine, public ::testing::WithParamInterface<ExpandCase> {};

TEST_P(ExpandCases, ReplaceTheTokensInOrder) {
    const ExpandCase& c = GetParam();
    m.MduCaptures = c.mdu;
    m.PrtCaptures = c.prt;
    std::string text;
    ASSERT_TRUE(engine.ExpandCaptures(c.pattern, text));
    EXPECT_EQ(text, c.expanded);
}

INSTANTIATE_TEST_SUITE_P(SmartLink, ExpandCases, ::testing::ValuesIn(kExpandCases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(Engine, ExpansionThatWouldGrowWithoutBoundIsRefused) {
    // Each capture holds the next token twice: the text doubles at every digit.
    m.PrtCaptures.clear();
    for (int k = 0; k < 9; ++k) {
        const std::string next = "%P" + std::to_string(k + 1);
        m.PrtCaptures.push_back(next + next + std::string(400, 'x'));
    }
    m.PrtCaptures.push_back("end");
    std::string text = "left over";
    EXPECT_FALSE(engine.ExpandCaptures("%P0", text));
    EXPECT_TRUE(text.empty());
    // Well below the cap the same shape expands.
    m.PrtCaptures = {"%P1%P1", "ab"};
    ASSERT_TRUE(engine.ExpandCaptures("%P0", text));
    EXPECT_EQ(text, "abab");
}

// Rule sets on the design.

struct RunCase {
    const char* name;
    std::vector<Rule> rules;
    bool findOne;
    bool stopFirst;
    bool caseSensitive;
    const char* inst;
    const char* port;
    bool matched;
    std::vector<std::string> targets; // "instance\tport" of each suggestion line, in order
    const char* summary;
};

const RunCase kRunCases[] = {
    {"SharedTargetIsProposedOnce",
     {kSameLink, kChannelLink},
     false,
     false,
     false,
     "u1",
     "tx_1_2data",
     true,
     {"t\ttx_1_2data", "u2\ttx_1_2data", "u3\ttx_1_2data"},
     "3 Matched"},
    {"OnceTakesTheFirstTargetAndTheNextRuleTheRest",
     {Once(kSameLink), kChannelLink},
     false,
     false,
     false,
     "u1",
     "tx_1_2data",
     true,
     {"t\ttx_1_2data", "u2\ttx_1_2data", "u3\ttx_1_2data"},
     "3 Matched"},
    {"OnceAlone",
     {Once(kSameLink)},
     false,
     false,
     false,
     "u1",
     "tx_1_2data",
     true,
     {"t\ttx_1_2data"},
     "?->Output:tx_1_2data(t)"},
    {"FindOneStopsAtTheFirstTargetOfAll",
     {kSameLink, kClockFromTx},
     true,
     false,
     false,
     "u1",
     "tx_1_2data",
     true,
     {"t\ttx_1_2data"},
     "?->Output:tx_1_2data(t)"},
    {"EveryRuleAddsItsTargets",
     {kChannelLink, kClockFromTx},
     false,
     false,
     false,
     "u1",
     "tx_1_2data",
     true,
     {"t\ttx_1_2data", "u2\ttx_1_2data", "u3\ttx_1_2data", "u2\tclk", "u3\tclk"},
     "5 Matched"},
    {"StopFirstRunsNoRuleAfterAMatch",
     {kChannelLink, kClockFromTx},
     false,
     true,
     false,
     "u1",
     "tx_1_2data",
     true,
     {"t\ttx_1_2data", "u2\ttx_1_2data", "u3\ttx_1_2data"},
     "3 Matched"},
    {"StopFirstGoesOnPastARuleWithoutMatch",
     {kClockFromTx, kSameLink},
     false,
     true,
     false,
     "u3",
     "clk",
     true,
     {"t\tclk"},
     "?->Input:clk(t)"},
    {"NeverIntoTheSourceInstance",
     {kClockFromTx},
     false,
     false,
     false,
     "u1",
     "tx_1_2data",
     true,
     {"u2\tclk", "u3\tclk"},
     "2 Matched"},
    {"TopTakesPartAndRefusedPortsNever",
     {kSameLink},
     false,
     false,
     false,
     "u1",
     "clk",
     true,
     {"t\tclk"},
     "?->Input:clk(t)"},
    {"WiredPortsAreNoTargetsButAWiredSourceIsFine",
     {kSameLink},
     false,
     false,
     false,
     "u1",
     "busy",
     true,
     {"u3\tbusy"},
     "?->Input:busy(u3)"},
    {"OtherWidthIsRefused",
     {kSameLink},
     false,
     false,
     false,
     "u1",
     "dout",
     true,
     {"u3\tdout"},
     "?->Input:dout(u3)"},
    {"NothingToPropose", {kSameLink}, false, false, false, "u3", "busy", false, {}, "0 Matched"},
    {"NoRules", {}, false, false, false, "u1", "clk", false, {}, "0 Matched"},
    {"CaselessSourcePattern",
     {{"", "Upper", "U1", "TX_", ".*", "^CLK$", ""}},
     false,
     false,
     false,
     "u1",
     "tx_1_2data",
     true,
     {"u2\tclk", "u3\tclk"},
     "2 Matched"},
    {"MatchCase",
     {{"", "Upper", "U1", "TX_", ".*", "^CLK$", ""}},
     false,
     false,
     true,
     "u1",
     "tx_1_2data",
     false,
     {},
     "0 Matched"},
    {"BadDestinationAfterExpansionFindsNothing",
     {{"", "Bad", "\\w+", "(\\w+)", "\\w+", "%P1(", ""}},
     false,
     false,
     false,
     "u1",
     "clk",
     false,
     {},
     "0 Matched"},
};

class RuleRuns : public Engine, public ::testing::WithParamInterface<RunCase> {};

TEST_P(RuleRuns, ProposeExactlyTheseLinesAndSummary) {
    const RunCase& c = GetParam();
    SetRules(c.rules);
    m.SLFindOne = c.findOne;
    m.SLStopFirstRule = c.stopFirst;
    m.SLCaseSensitive = c.caseSensitive;
    const int before = static_cast<int>(m.LineList.size());
    std::string summary = "old";
    EXPECT_EQ(engine.ApplySmartLinkRules('P', Port(c.inst, c.port), -1, summary), c.matched);
    EXPECT_EQ(summary, c.summary);
    std::vector<std::string> expected;
    for (const std::string& t : c.targets)
        expected.push_back(SuggestionLine(c.inst, c.port, t));
    EXPECT_EQ(Suggestions(), expected);
    // The proposals are appended after every line there was.
    for (std::size_t i = 0; i < static_cast<std::size_t>(before); ++i)
        EXPECT_NE(m.LineList[i][FieldSuggestion], "S") << i;
    EXPECT_TRUE(m.Log.Lines().empty());
}

INSTANTIATE_TEST_SUITE_P(SmartLink, RuleRuns, ::testing::ValuesIn(kRunCases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(Engine, OnlyAPortRunsTheRules) {
    SetRules({kSameLink});
    for (char kind : {'M', 'N', 'W'}) {
        std::string summary = "kept";
        EXPECT_FALSE(engine.ApplySmartLinkRules(kind, 0, -1, summary)) << kind;
        EXPECT_EQ(summary, "kept");
    }
    EXPECT_TRUE(Suggestions().empty());
}

TEST_F(Engine, SingleRuleRunsOnlyAtARuleStart) {
    SetRules({kSameLink, kClockFromTx});
    const int tx = Port("u1", "tx_1_2data");
    std::string summary = "kept";
    // The second rule starts at 7: the clocks only.
    EXPECT_TRUE(engine.ApplySmartLinkRules('P', tx, 7, summary));
    EXPECT_EQ(summary, "kept");
    EXPECT_EQ(Suggestions(), (std::vector<std::string>{Line("u2\tclk"), Line("u3\tclk")}));
    DropSuggestionLines(m);
    EXPECT_TRUE(engine.ApplySmartLinkRules('P', tx, 0, summary));
    EXPECT_EQ(Suggestions().size(), 3u);
    DropSuggestionLines(m);
    // An index inside a rule, past the last rule, or below 0 (other than -1) is no rule.
    for (int r : {3, 6, 8, 14, 21, -2, -7})
        EXPECT_FALSE(engine.ApplySmartLinkRules('P', tx, r, summary)) << r;
    EXPECT_TRUE(Suggestions().empty());
}

TEST_F(Engine, RulesNarrowerThanTheEngineReadsAndPartRulesRunNothing) {
    const int tx = Port("u1", "tx_1_2data");
    std::string summary;
    SetRules({kSameLink});
    m.SLRuleWidth = 5;
    m.SLRules.resize(5);
    EXPECT_FALSE(engine.ApplySmartLinkRules('P', tx, -1, summary));
    EXPECT_EQ(summary, "0 Matched");
    EXPECT_FALSE(engine.ApplySmartLinkRules('P', tx, 0, summary));
    // A last rule cut short is no rule; the whole one before it runs.
    SetRules({kSameLink});
    m.SLRules.insert(m.SLRules.end(), {"", "cut", "\\w+", "\\w+"});
    EXPECT_TRUE(engine.ApplySmartLinkRules('P', tx, -1, summary));
    EXPECT_EQ(summary, "3 Matched");
    EXPECT_FALSE(engine.ApplySmartLinkRules('P', tx, 7, summary));
    // A port index outside the list.
    EXPECT_FALSE(engine.ApplySmartLinkRules('P', static_cast<int>(m.PortList.size()), -1, summary));
    EXPECT_FALSE(engine.ApplySmartLinkRules('P', -1, -1, summary));
}

TEST_F(Engine, RulesChangedAfterCompilingAreCompiledAgain) {
    SetRules({kSameLink});
    engine.CompileRules();
    const int tx = Port("u1", "tx_1_2data");
    std::string summary;
    EXPECT_TRUE(engine.ApplySmartLinkRules('P', tx, -1, summary));
    DropSuggestionLines(m);
    // The source port pattern no longer matches, under either case option.
    m.SLRules[RuleSrcPort] = "^rx";
    EXPECT_FALSE(engine.ApplySmartLinkRules('P', tx, -1, summary));
    m.SLRules[RuleSrcPort] = "TX_1_2DATA";
    m.SLCaseSensitive = true;
    EXPECT_FALSE(engine.ApplySmartLinkRules('P', tx, -1, summary));
    m.SLCaseSensitive = false;
    EXPECT_TRUE(engine.ApplySmartLinkRules('P', tx, -1, summary));
}

TEST_F(Engine, CapturesOfTheLastRuleStayForTheMenu) {
    SetRules({kChannelLink});
    std::string summary;
    engine.ApplySmartLinkRules('P', Port("u1", "tx_1_2data"), -1, summary);
    EXPECT_EQ(m.MduCaptures, std::vector<std::string>{"u1"});
    EXPECT_EQ(m.PrtCaptures, (std::vector<std::string>{"tx_1_2data", "1", "2"}));
}

TEST_F(Engine, FindTargetsAppendsAfterTheScanAndGivesTheLastTarget) {
    const int tx = Port("u1", "tx_1_2data");
    int last = -1;
    EXPECT_EQ(engine.FindSmartLinkTargets("^u", "tx_1_2data", false, tx, last), 2);
    EXPECT_EQ(last, Port("u3", "tx_1_2data"));
    EXPECT_EQ(Suggestions(),
              (std::vector<std::string>{Line("u2\ttx_1_2data"), Line("u3\ttx_1_2data")}));
    // A scan of its own starts a fresh run; with only one wanted it stops at the first.
    DropSuggestionLines(m);
    EXPECT_EQ(engine.FindSmartLinkTargets(".", "tx", true, tx, last), 1);
    EXPECT_EQ(last, Port("t", "tx_1_2data"));
    // A pattern that does not compile finds nothing and leaves last alone.
    EXPECT_EQ(engine.FindSmartLinkTargets("(", "tx", false, tx, last), 0);
    EXPECT_EQ(last, Port("t", "tx_1_2data"));
}

TEST_F(Engine, SharedTargetIsAcceptedAsOneWire) {
    SetRules({kSameLink, kChannelLink});
    std::string summary;
    ASSERT_TRUE(engine.ApplySmartLinkRules('P', Port("u1", "tx_1_2data"), -1, summary));
    Rebuild();
    EXPECT_EQ(m.SuggestList.size(), 3u);
    EXPECT_EQ(AcceptSuggestions(m), 3);
    Rebuild();
    int toU2 = 0;
    for (const ProjectLine& l : m.LineList) {
        EXPECT_NE(l[FieldSuggestion], "S");
        if (l[0] == "WIRE" &&
            ((l[3] == "u2" && l[4] == "tx_1_2data") || (l[1] == "u2" && l[2] == "tx_1_2data")))
            ++toU2;
    }
    EXPECT_EQ(toU2, 1);
    EXPECT_FALSE(m.PortList[Port("u2", "tx_1_2data")].Lone);
    EXPECT_FALSE(m.PortList[Port("u3", "tx_1_2data")].Lone);
}

TEST_F(Engine, MenuItemsAreTheWholeRulesWithTheirStartsAndCaptions) {
    SetRules({kSameLink, kChannelLink, kClockFromTx});
    EXPECT_EQ(SmartLinkRuleItems(m), (std::vector<SmartLinkRuleItem>{
                                         {0, "Same Link"}, {7, "Channel Link"}, {14, "Clocks"}}));
    m.SLRules.resize(18); // the third rule cut short
    EXPECT_EQ(SmartLinkRuleCount(m), 2);
    EXPECT_EQ(SmartLinkRuleItems(m).size(), 2u);
    m.SLRuleWidth = 5;
    EXPECT_EQ(SmartLinkRuleCount(m), 0);
    EXPECT_TRUE(SmartLinkRuleItems(m).empty());
}

// The canvas's host as the main window makes it: rebuilds, status panels and the rules.
CanvasHost HoverHost(ProjectModel& m, SmartLink& engine, std::map<int, std::string>& panels) {
    CanvasHost host;
    host.Rebuild = [&m] { m.UpdatePicExecute(RebuildSender::MainWindow); };
    host.SetStatusText = [&panels](int panel, const std::string& text) { panels[panel] = text; };
    host.StatusText = [&panels](int panel) { return panels[panel]; };
    host.ApplySmartLinkRules = [&engine](char kind, int index, int rule, std::string& summary) {
        return engine.ApplySmartLinkRules(kind, index, rule, summary);
    };
    return host;
}

// A left double-click and its release at (x, y).
void DoubleClick(CanvasController& canvas, int x, int y) {
    MouseShift twice;
    twice.Left = true;
    twice.Double = true;
    canvas.PaintBox1MouseDown(MouseButton::Left, twice, x, y);
    canvas.PaintBox1MouseUp(MouseButton::Left, MouseShift{}, x, y);
}

TEST_F(Engine, HoverOverAPortProposesItsWiresAndADoubleClickAcceptsThem) {
    SetRules({kSameLink, kChannelLink});
    const ViewState view = ViewState::Initial();
    std::map<int, std::string> panels;
    CanvasHost host = HoverHost(m, engine, panels);
    CanvasController canvas(m, view, host);
    const auto centre = [this](const std::string& inst, const std::string& name) {
        const port& p = m.PortList[Port(inst, name)];
        return std::pair{p.X + m.PrtWidth / 2, p.Y + m.PrtHeight / 2};
    };
    MouseShift none;
    const auto [tx, ty] = centre("u1", "tx_1_2data");
    canvas.Image1MouseMove(none, tx, ty);
    EXPECT_EQ(panels[WirePanel], "3 Matched");
    EXPECT_EQ(m.SuggestList.size(), 3u);
    // Over an instance header the proposals go and the summary is empty.
    const mdu& u2 = m.MduList[m.FindInstance("u2")];
    canvas.Image1MouseMove(none, u2.X + 3, u2.Y + 3);
    EXPECT_EQ(panels[WirePanel], "");
    EXPECT_TRUE(m.SuggestList.empty());
    const auto [bx, by] = centre("u3", "busy");
    canvas.Image1MouseMove(none, bx, by);
    EXPECT_EQ(panels[WirePanel], "0 Matched");
    // Back to the channel port, then a double-click connects what is shown.
    canvas.Image1MouseMove(none, tx, ty);
    ProjectLines stored = m.LineList;
    std::erase_if(stored, [](const ProjectLine& l) { return l[FieldSuggestion] == "S"; });
    const std::vector<std::string> before = StoredText(stored);
    DoubleClick(canvas, tx, ty);
    EXPECT_TRUE(m.SuggestList.empty());
    EXPECT_FALSE(m.PortList[Port("u2", "tx_1_2data")].Lone);
    EXPECT_FALSE(m.PortList[Port("u3", "tx_1_2data")].Lone);
    ASSERT_TRUE(m.UndoEnabled());
    m.UndoExecute();
    EXPECT_EQ(StoredText(m.LineList), before);
}

TEST_F(Engine, DoubleClickWithSmartLinkSwitchedOffConnectsNoneOfTheHiddenProposals) {
    SetRules({kSameLink, kChannelLink});
    ViewState view = ViewState::Initial();
    std::map<int, std::string> panels;
    CanvasHost host = HoverHost(m, engine, panels);
    CanvasController canvas(m, view, host);
    const port& tx = m.PortList[Port("u1", "tx_1_2data")];
    const int x = tx.X + m.PrtWidth / 2;
    const int y = tx.Y + m.PrtHeight / 2;
    MouseShift none;
    canvas.Image1MouseMove(none, x, y);
    ASSERT_EQ(m.SuggestList.size(), 3u);
    // Switched off while the pointer is away; it comes back onto the same port, so the proposals
    // are neither made again nor dropped, and the drawing no longer shows them.
    view.SmartLink = false;
    canvas.Image1MouseMove(none, x, y);
    ASSERT_EQ(m.SuggestList.size(), 3u);
    DoubleClick(canvas, x, y);
    EXPECT_TRUE(m.SuggestList.empty());
    EXPECT_EQ(m.WireList.size(), 1u); // u1.busy to u2.busy alone
    EXPECT_TRUE(m.PortList[Port("u2", "tx_1_2data")].Lone);
    EXPECT_FALSE(m.UndoEnabled());
}

} // namespace
