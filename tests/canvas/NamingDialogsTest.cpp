// The naming and combining dialogs' logic: suggested instance names, bus slices as rows move,
// the inout preview and the name checks of both combining dialogs.
#include "model/WiringFixture.h"
#include "support/ScriptedPrompt.h"

#include "editor/canvas/NamingDialogs.h"

#include <optional>

namespace {

struct SuggestCase {
    const char* name;
    const char* rule;
    std::vector<std::string> instances; // of module fifo; the first is the one copied
    const char* expected;               // empty: no suggestion
};

const SuggestCase SuggestCases[] = {
    {"the rule's next number", "u_%M_%D", {"u_fifo_0", "u_fifo_1"}, "u_fifo_2"},
    {"a free rule name without a number", "u_%M", {"u_fifo_0"}, "u_fifo"},
    {"the last digit replaced", "core", {"core9", "core"}, "core0"},
    {"the next free last digit", "core", {"core9", "core", "core0", "core1"}, "core2"},
    {"a copy mark when no digit ends the name", "blk", {"blk"}, "blk_dup_0"},
    {"the next copy mark", "blk", {"blk", "blk_dup_0"}, "blk_dup_1"},
    {"an empty rule", "", {"x7"}, "x0"},
    {"every digit taken",
     "c",
     {"c5", "c", "c0", "c1", "c2", "c3", "c4", "c6", "c7", "c8", "c9"},
     "c5_dup_0"},
    {"an empty instance name", "u_%M_%D", {""}, ""},
};

class Suggestions : public ::testing::TestWithParam<SuggestCase> {};

TEST_P(Suggestions, NameAFreeInstance) {
    const SuggestCase& c = GetParam();
    ProjectModel m;
    std::string text = "TOP\t\ttop\n";
    for (const std::string& inst : c.instances)
        if (!inst.empty())
            text += "MODULE\tfifo\t" + inst + "\t/f.v\tverilog\nINPUT\t\t\tclk\n";
    m.LineList = LinesFromText(text);
    m.PrjOpen = true;
    m.UpdatePicExecute(RebuildSender::MainWindow);
    m.InstNameRule = c.rule;
    const std::optional<std::string> got = SuggestInstanceName(m, c.instances.front(), "fifo");
    EXPECT_EQ(got.value_or(""), c.expected);
    EXPECT_EQ(got.has_value(), *c.expected != 0);
}

INSTANTIATE_TEST_SUITE_P(NamingDialogs, Suggestions, ::testing::ValuesIn(SuggestCases), CaseName());

TEST(NamingDialogs, WhenEveryCopyMarkIsTakenTheLastStays) {
    ProjectModel m;
    std::string text = "TOP\t\ttop\nMODULE\tfifo\tblk\t/f.v\tverilog\n";
    for (int k = 0; k <= 999; ++k)
        text += "MODULE\tfifo\tblk_dup_" + std::to_string(k) + "\t/f.v\tverilog\n";
    m.LineList = LinesFromText(text);
    m.PrjOpen = true;
    m.UpdatePicExecute(RebuildSender::MainWindow);
    m.InstNameRule = "blk";
    EXPECT_EQ(SuggestInstanceName(m, "blk", "fifo"), "blk_dup_999");
}

port Port(const std::string& name, int span, const std::string& width) {
    port p;
    p.Name = name;
    p.Span = span;
    p.WidthText = width;
    return p;
}

// Rows as "msb:lsb name".
Lines Slices(const CombineDialog& d) {
    Lines out;
    for (const CombineRow& r : d.Rows)
        out.push_back(std::to_string(r.Msb) + ":" + std::to_string(r.Lsb) + " " + r.Port);
    return out;
}

struct SliceCase {
    const char* name;
    std::vector<port> ports;
    std::vector<std::pair<int, int>> moves; // grid rows, from and to
    Lines slices;
};

const SliceCase SliceCases[] = {
    {"the first port takes the highest bits",
     {Port("a", 3, "3:0"), Port("b", 0, "")},
     {},
     {"4:1 a", "0:0 b"}},
    {"the second row dragged to the top",
     {Port("a", 3, "3:0"), Port("b", 0, "")},
     {{2, 1}},
     {"4:4 b", "3:0 a"}},
    {"a drop in place changes nothing",
     {Port("a", 3, "3:0"), Port("b", 0, "")},
     {{2, 2}, {1, 1}},
     {"4:1 a", "0:0 b"}},
    {"three bytes, the first dragged down to the end",
     {Port("a", 7, "7:0"), Port("b", 7, "7:0"), Port("c", 7, "7:0")},
     {{1, 3}},
     {"23:16 b", "15:8 c", "7:0 a"}},
    {"dragged back and forth",
     {Port("a", 7, "7:0"), Port("b", 0, ""), Port("c", 3, "3:0")},
     {{3, 1}, {2, 3}, {1, 2}},
     {"12:12 b", "11:8 c", "7:0 a"}},
    {"the header row never moves",
     {Port("a", 7, "7:0"), Port("b", 0, "")},
     {{0, 2}, {1, 0}, {3, 1}},
     {"8:1 a", "0:0 b"}},
};

class BusSlices : public ::testing::TestWithParam<SliceCase> {};

TEST_P(BusSlices, StayContiguousWithTheTopRowHighest) {
    const SliceCase& c = GetParam();
    ProjectModel m;
    ScriptedPrompt prompt;
    CombineDialog d(m, prompt);
    d.FormCreate();
    EXPECT_EQ(d.Header, (std::array<std::string, 4>{"MSB", "LSB", "Current Ports", "Bits"}));
    d.Fill("bus_in", c.ports);
    for (const auto& [from, to] : c.moves)
        d.StringGrid1RowMoved(from, to);
    EXPECT_EQ(Slices(d), c.slices);
    EXPECT_EQ(d.Lsb, 0);
    EXPECT_EQ(d.Msb, d.Rows.front().Msb);
    EXPECT_EQ(d.LabeledEdit1, "bus_in");
}

INSTANTIATE_TEST_SUITE_P(NamingDialogs, BusSlices, ::testing::ValuesIn(SliceCases), CaseName());

struct NameCheckCase {
    const char* name;
    const char* typed;
    const char* message; // empty: accepted
};

const NameCheckCase NameCheckCases[] = {
    {"a free name", "bus", ""},
    {"a free name with blanks", " b us\t", ""},
    {"a top port's name", "clk", "@"},
    {"a top port's name with a trailing blank", "clk ", "@"},
    {"blanks only", "   ", "Top port name can't be empty."},
    {"a net's name", "net_q", "The wire is already used by the port: q(u1)."},
    // Names the generated HDL could not declare.
    {"a name with a minus", "bus-out", "Illegal port name."},
    {"a name with a bit select", "bus[0]", "Illegal port name."},
    {"a name beginning with a digit", "1bus", "Illegal port name."},
    {"an underscore and digits", "_bus_2", ""},
};

class NameChecks : public Wiring, public ::testing::WithParamInterface<NameCheckCase> {
protected:
    void SetUp() override { Load("WIRE\tu1\tq\tu2\td\tnet_q\n"); }
};

TEST_P(NameChecks, RefuseTakenAndEmptyNamesWithTheReason) {
    const NameCheckCase& c = GetParam();
    for (bool inout : {false, true}) {
        ScriptedPrompt prompt;
        const std::string taken =
            inout ? "The inout port name already exists." : "The bus name already exists.";
        if (*c.message)
            prompt.ExpectMessage(std::string(c.message) == "@" ? taken : c.message);
        CombineDialog comb(m, prompt);
        CinoutDialog cinout(m, prompt);
        comb.LabeledEdit1 = cinout.LabeledEdit1 = c.typed;
        EXPECT_EQ(inout ? cinout.BitBtn2Click() : comb.BitBtn1Click(), *c.message == 0);
        EXPECT_EQ(inout ? cinout.InoutName() : comb.BusName(), NormalizeBlanks(c.typed, false));
    }
}

INSTANTIATE_TEST_SUITE_P(NamingDialogs, NameChecks, ::testing::ValuesIn(NameCheckCases),
                         CaseName());

class Cinout : public Wiring {
protected:
    void SetUp() override {
        m.LineList = LinesFromText("TOP\t\ttop\n"
                                   "INPUT\t7\t0\tdin\n"
                                   "OUTPUT\t7\t0\tdout\n"
                                   "OUTPUT\t\t\toe\n"
                                   "INPUT\t\t\tbin\n"
                                   "OUTPUT\t\t\tbout\n");
        m.PrjOpen = true;
        Rebuild();
    }
    ScriptedPrompt prompt;
    CinoutDialog d{m, prompt};
};

TEST_F(Cinout, ThePreviewShowsBothAssignmentsWithTheHighImpedanceOfTheInputsWidth) {
    d.LabeledEdit1 = "old";
    d.Prepare(m.FindPortQuiet("top", "din"), m.FindPortQuiet("top", "dout"),
              m.FindPortQuiet("top", "oe"));
    EXPECT_EQ(d.LabeledEdit1, "iosig");
    EXPECT_EQ(d.EnCondition, "==1'b0)? 8'bz:");
    EXPECT_EQ(d.Memo1, (Lines{"assign iosig = (oe==1'b0)? 8'bz:dout;", "assign din = iosig;"}));
    EXPECT_FALSE(d.Preview.EnableCircle);
    ASSERT_EQ(d.Preview.Texts.size(), 4u);
    const PreviewText& io = d.Preview.Texts[3];
    EXPECT_EQ(io.Text, "iosig");
    EXPECT_TRUE(io.EndsAtX);
    EXPECT_EQ(io.X, 86);
    EXPECT_EQ(d.Preview.Texts[0].Text, "oe");
    EXPECT_EQ(d.Preview.Texts[0].Y, 24);
    EXPECT_EQ(d.Preview.Texts[2].Font, 'I');
    EXPECT_FALSE(d.BitBtn1Enabled) << "the data output is eight bits wide";
    EXPECT_TRUE(d.BitBtn2Enabled);

    d.CheckBox1 = true;
    d.CheckBox1Click();
    EXPECT_EQ(d.EnCondition, "==1'b1)? 8'bz:") << "Reverse EN: the enable is active low";
    EXPECT_TRUE(d.Preview.EnableCircle);

    d.LabeledEdit1.clear();
    d.LabeledEdit1Change();
    EXPECT_FALSE(d.BitBtn2Enabled);
    d.LabeledEdit1 = "pad";
    d.LabeledEdit1Change();
    EXPECT_TRUE(d.BitBtn2Enabled);
    EXPECT_EQ(d.Memo1[0], "assign pad = (oe==1'b1)? 8'bz:dout;");
}

TEST_F(Cinout, OneBitOutputsSwapTheirRoles) {
    const int out = m.FindPortQuiet("top", "bout");
    const int oe = m.FindPortQuiet("top", "oe");
    d.Prepare(m.FindPortQuiet("top", "bin"), out, oe);
    EXPECT_EQ(d.EnCondition, "==1'b0)? 1'bz:");
    ASSERT_TRUE(d.BitBtn1Enabled);
    d.BitBtn1Click();
    EXPECT_EQ(d.OutPrtIdx, oe);
    EXPECT_EQ(d.EnPrtIdx, out);
    EXPECT_EQ(d.Memo1[0], "assign iosig = (bout==1'b0)? 1'bz:oe;");
}

} // namespace
