// Width confirmation: what counts as an integer, how parameters go into an expression, what the
// evaluation gives, and what applying the list does to the project lines.
#include "editor/hdl/WidthConfirmation.h"

#include "model/ModelText.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

ParamRow Param(std::string name, std::string def, std::string value = "", bool key = true) {
    ParamRow r;
    r.Name = std::move(name);
    r.Default = std::move(def);
    r.Value = std::move(value);
    r.Key = key;
    return r;
}

} // namespace

TEST(IsIntStr, AcceptsWhatTheRunTimeConversionReadsWithinThirtyTwoBits) {
    struct Case {
        const char* text;
        std::optional<int> value;
    } cases[] = {
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"0", 0},
        {"007", 7},
        {"  12", 12},
        {"12 ", std::nullopt},
        {"\t5", std::nullopt},
        {"+5", 5},
        {"-5", -5},
        {"--5", std::nullopt},
        {"+-5", std::nullopt},
        {"- 5", std::nullopt},
        {"1.5", std::nullopt},
        {"12a", std::nullopt},
        {"$1F", 31},
        {"$1f", 31},
        {"x1F", 31},
        {"X10", 16},
        {"0x1F", 31},
        {"0X1f", 31},
        {"-$10", -16},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"0x1G", std::nullopt},
        {"1F", std::nullopt},
        {"2147483647", 2147483647},
        {"2147483648", std::nullopt},
        {"-2147483648", INT_MIN},
        {"-2147483649", std::nullopt},
        {"$7FFFFFFF", 2147483647},
        {"$80000000", std::nullopt},
        {"-$80000000", INT_MIN},
        {"$FFFFFFFF", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IntStrValue(c.text), c.value) << '"' << c.text << '"';
        EXPECT_EQ(IsIntStr(c.text), c.value.has_value()) << '"' << c.text << '"';
    }
}

TEST(UsesParameter, IsTrueForEveryBoundThatIsNoPlainInteger) {
    struct Case {
        const char* expr;
        bool uses;
    } cases[] = {
        {"", false},   {"  ", false}, {"7", false},  {" 7 ", false}, {"- 7", false}, {"$1F", false},
        {"W-1", true}, {"W", true},   {"7-0", true}, {"(7)", true},  {"1.5", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UsesParameter(c.expr), c.uses) << '"' << c.expr << '"';
}

TEST(SubstituteParams, PutsInEachParameterAsAWholeWordInListOrder) {
    const std::vector<ParamRow> w8 = {Param("W", " 8")};
    struct Case {
        const char* what;
        std::vector<ParamRow> params;
        const char* expr;
        const char* result;
    } cases[] = {
        {"whole word", w8, "W-1", "8-1"},
        {"every occurrence", w8, "W*W+(W)", "8*8+(8)"},
        {"a longer name is left alone", w8, "W1-W_-_W-WW", "W1-W_-_W-WW"},
        {"names compare case-sensitively", w8, "w-1", "w-1"},
        {"not a parameter", w8, "X-1", "X-1"},
        {"the value before the default", {Param("W", "8", "16")}, "W-1", "16-1"},
        {"a value that is no integer gives the default", {Param("W", "8", "abc")}, "W-1", "8-1"},
        {"a negative value in parentheses", {Param("W", "8", "-5")}, "8-W", "8-(-5)"},
        {"a hexadecimal value as decimal", {Param("W", "8", "$1F")}, "W-1", "31-1"},
        {"a hexadecimal default as decimal", {Param("W", " 0x10")}, "W-1", "16-1"},
        {"an expression default in parentheses", {Param("W", "4+4")}, "W*2", "(4+4)*2"},
        // An empty default used to be put in as "()", and the list showed "()-1" in place of
        // the name of the parameter the designer has to set.
        {"no default and no value keeps the name", {Param("W", "")}, "W-1", "W-1"},
        {"a blank default keeps the name", {Param("W", "  ", "abc")}, "W-1", "W-1"},
        {"no default but an integer value", {Param("W", "", "4")}, "W-1", "4-1"},
        {"a default naming one without a value", {Param("A", "B*2"), Param("B", "")}, "A", "(B*2)"},
        {"a default naming its own parameter ends", {Param("W", "W+1")}, "W-W", "(W+1)-(W+1)"},
        {"a later row fills an earlier default",
         {Param("A", "B*2"), Param("B", "3")},
         "A-1",
         "(3*2)-1"},
        // A default naming an earlier parameter used to keep that name, so the width of a port
        // ranged by, say, KEEP_WIDTH = ((DATA_WIDTH+7)/8) could never be evaluated.
        {"an earlier row fills a later default too",
         {Param("B", "3"), Param("A", "B*2")},
         "A-1",
         "(3*2)-1"},
        {"through the earlier row's own value",
         {Param("DATA_WIDTH", "8", "16"), Param("KEEP_WIDTH", "((DATA_WIDTH+7)/8)")},
         "KEEP_WIDTH-1",
         "(((16+7)/8))-1"},
        {"through several defaults",
         {Param("C", "A+B"), Param("A", "2"), Param("B", "A*4")},
         "C",
         "(2+(2*4))"},
        {"the first of two rows of one name", {Param("W", "4"), Param("W", "5")}, "W", "4"},
        {"a row without a name changes nothing", {Param("", "3")}, "W-1", "W-1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SubstituteParams(c.expr, c.params), c.result) << c.what;
}

// VHDL names are one name in any letter case: a generic Width ranges a port by "WIDTH-1" or
// "width-1", and put in as written only, such a width could never be evaluated.
TEST(SubstituteParams, MatchesVhdlNamesInAnyLetterCase) {
    struct Case {
        const char* what;
        std::vector<ParamRow> params;
        const char* expr;
        const char* result;
    } cases[] = {
        {"another case than the declaration", {Param("Width", "8")}, "WIDTH-1+width", "8-1+8"},
        {"the value before the default", {Param("W", "8", "16")}, "w-1", "16-1"},
        {"still whole words only", {Param("W", "8")}, "w1-W_-w", "w1-W_-8"},
        {"through a default in another case",
         {Param("Data_Width", "8"), Param("KEEP", "(DATA_WIDTH+7)/8")},
         "keep-1",
         "((8+7)/8)-1"},
        {"the first of two rows that differ in case only",
         {Param("W", "4"), Param("w", "5")},
         "w",
         "4"},
        {"a default naming itself in another case ends", {Param("W", "w+1")}, "w", "(w+1)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SubstituteParams(c.expr, c.params, true), c.result) << c.what;
        EXPECT_NE(SubstituteParams(c.expr, c.params), c.result)
            << c.what << ": Verilog names keep their case";
    }
}

TEST(SubstituteParams, EndsOnDefaultsThatDoubleFromRowToRow) {
    // P0 = P1*P1, P1 = P2*P2, ...: put in fully, P0 would be 2^40 names long.
    std::vector<ParamRow> params;
    for (int i = 0; i < 40; ++i)
        params.push_back(Param("P" + std::to_string(i),
                               "P" + std::to_string(i + 1) + "*P" + std::to_string(i + 1)));
    params.push_back(Param("P40", "1"));
    const std::string s = SubstituteParams("P0", params);
    EXPECT_LT(s.size(), 10000u);
    EXPECT_NE(s.find('P'), std::string::npos) << "too long a text stays unexpanded";
    EXPECT_EQ(SubstituteParams("P38", params), "((1*1)*(1*1))") << "a short one is put in";
}

TEST(EvaluateWidthExpression, TruncatesTowardZeroAndFailsWithoutANumber) {
    ProjectModel model;
    ScriptedPrompt prompt;
    WidthConfirmation conf(model, prompt);
    struct Case {
        const char* what;
        std::vector<ParamRow> params;
        const char* expr;
        bool ok;
        int value;
    } cases[] = {
        {"a parameter minus one", {Param("WIDTH", " 8")}, "WIDTH-1", true, 7},
        {"blanks in the expression", {Param("WIDTH", " 8")}, " WIDTH - 1 ", true, 7},
        {"7.5 gives 7", {}, "15/2", true, 7},
        {"-0.5 gives 0", {}, "-1/2", true, 0},
        {"-2.5 gives -2", {}, "-5/2", true, -2},
        {"a leading minus", {Param("W", "3")}, "-W", true, -3},
        {"a leading plus", {Param("W", "3")}, "+W", true, 3},
        {"a sign after an opening parenthesis", {Param("W", "3")}, "(-W)+10", true, 7},
        {"nested parentheses with signs", {}, "((-2)*(+3))", true, -6},
        {"a negative value", {Param("W", "8", "-5")}, "8-W", true, 13},
        {"a negative value after a minus", {Param("W", "8", "-5")}, "-W", true, 5},
        {"an expression default keeps its precedence", {Param("W", "4+4")}, "W*2", true, 16},
        {"a hexadecimal value", {Param("W", "8", "$1F")}, "W-1", true, 30},
        {"division by zero", {Param("W", "8")}, "W/0", false, 0},
        {"a result beyond 32 bits", {Param("W", "100000")}, "W*W*W", false, 0},
        {"a name that is no parameter", {}, "X-1", false, 0},
        {"an empty default", {Param("W", "")}, "W-1", false, 0},
        {"an empty default alone", {Param("W", "")}, "W", false, 0},
        {"an empty default after a minus", {Param("W", "")}, "-W", false, 0},
        {"a default naming an earlier parameter",
         {Param("DATA_WIDTH", "8", "16"), Param("KEEP_WIDTH", "((DATA_WIDTH+7)/8)")},
         "KEEP_WIDTH-1",
         true,
         1},
        {"defaults naming each other", {Param("A", "B+1"), Param("B", "A+1")}, "A", false, 0},
        {"a malformed expression", {}, "7-", false, 0},
        {"an empty expression", {}, "", false, 0},
    };
    for (const Case& c : cases) {
        conf.Params = c.params;
        int value = 12345;
        EXPECT_EQ(conf.EvaluateWidthExpression(c.expr, value), c.ok) << c.what;
        EXPECT_EQ(value, c.value) << c.what;
    }
}

namespace {

// An instance u1 whose ports cover the cases of the list: a width that follows W and has a wire,
// a width that stays as it is and has a wire, one that cannot be evaluated, one bound by D alone,
// and ports with plain widths.
const char* const WidthProject = "TOP\t\ttop\n"
                                 "INPUT\t\t\tclk\n"
                                 "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
                                 "PARAMETER\t\t\tW\t 8\t\tK\n"
                                 "PARAMETER\t\t\tD\t2\t\tK\n"
                                 "PARAMETER\t\t\tNAME\t\"x\"\t\t\tstring\n"
                                 "INPUT\t\t\tclk\n"
                                 "INPUT\tNA\t0\tdata\t\tW-1\t0\n"
                                 "INPUT\t3\t0\taddr\t\tD*2-1\t0\n"
                                 "OUTPUT\t5\t0\tbad\t\tX-1\t0\n"
                                 "OUTPUT\tNA\tNA\tlane\t\tD+1\tD\n"
                                 "OUTPUT\t7\t0\tq\t\t7\t0\n"
                                 "MODULE\tsink\tu2\t/src/sink.v\tverilog\n"
                                 "INPUT\t7\t0\td\n"
                                 "INPUT\t3\t0\ta\n"
                                 "MODULE\tplain\tu3\t/src/plain.v\tverilog\n"
                                 "INPUT\t\t\tclk\n"
                                 "WIRE\tu1\tdata\tu2\td\tnet_d\n"
                                 "WIRE\tu1\taddr\tu2\ta\tnet_a\n"
                                 "WIRE\ttop\tclk\tu1\tclk\tclk\n";

class WidthConfirmationTest : public ::testing::Test {
protected:
    void SetUp() override {
        model.LineList = LinesFromText(WidthProject);
        model.PrjOpen = true;
        Rebuild();
        conf.UpdatePicture = [this] {
            ++pictures;
            Rebuild();
        };
    }
    void Rebuild() { model.UpdatePicExecute(RebuildSender::MainWindow); }
    std::vector<ParamRow> PageOf(const std::string& inst) {
        const int k = model.FindInstance(inst);
        EXPECT_GE(k, 0) << inst;
        return ParamRowsOf(model.MduList[k]);
    }
    // Fills u1 with the page's rows, after changing the value of one.
    bool FillU1(const std::string& param = "", const std::string& value = "") {
        std::vector<ParamRow> page = PageOf("u1");
        for (ParamRow& r : page)
            if (r.Name == param)
                r.Value = value;
        model.ClearLog();
        return conf.FillWidList("u1", page, false);
    }
    WidthRow& Row(const std::string& port) {
        auto it = std::find_if(conf.Rows.begin(), conf.Rows.end(),
                               [&](const WidthRow& r) { return r.Port == port; });
        EXPECT_NE(it, conf.Rows.end()) << port;
        return *it;
    }
    std::string Field(const std::string& port, int field) {
        return model.GetPortLineField("u1", port, field);
    }
    std::vector<std::string> Wires() const {
        std::vector<std::string> out;
        for (const ProjectLine& l : model.LineList)
            if (l[0] == "WIRE")
                out.push_back(l[1] + "." + l[2] + "-" + l[3] + "." + l[4]);
        return out;
    }

    ProjectModel model;
    ScriptedPrompt prompt;
    WidthConfirmation conf{model, prompt};
    int pictures = 0;
};

} // namespace

TEST_F(WidthConfirmationTest, FillListsTheParameterisedPortsWithTheirValues) {
    EXPECT_FALSE(FillU1()) << "bad cannot be evaluated";
    EXPECT_EQ(conf.ConfInst, "u1");
    EXPECT_EQ(conf.Caption, "Confirm the port width of the instance u1");
    std::vector<std::string> rows;
    for (const WidthRow& r : conf.Rows) {
        std::string s;
        for (int c = 0; c < 7; ++c)
            s += (c ? "|" : "") + r.Column(c);
        rows.push_back(s + (r.Failed ? " failed" : ""));
    }
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "data|8-1|0|7|0||",
                        "addr|2*2-1|0|3|0||",
                        "bad|X-1|0|NA|0|5| failed",
                        "lane|2+1|2|3|2||",
                    }))
        << "q's bounds are plain numbers; a failed bound offers the present one to set";
    EXPECT_TRUE(model.Log.Lines().empty()) << "no logging was asked for";

    conf.FillWidList("u1", PageOf("u1"), true);
    EXPECT_EQ(model.Log.Lines(),
              (std::vector<std::string>{"Warning: Fail to evaluate the MSB of port bad (u1). "
                                        "Double click it to set the width manually."}));
}

TEST_F(WidthConfirmationTest, AVhdlInstanceFindsItsGenericsInAnyLetterCase) {
    model.LineList = LinesFromText("TOP\t\ttop\n"
                                   "MODULE\tmix\tu1\t/src/mix.vhd\tvhdl\n"
                                   "PARAMETER\t\t\tWidth\t8\t\tK\tinteger\n"
                                   "INPUT\tNA\t0\td\t\tWIDTH-1\t0\n"
                                   "OUTPUT\tNA\t0\tq\t\twidth - 1\t0\n"
                                   "MODULE\tcore\tu2\t/src/core.v\tverilog\n"
                                   "PARAMETER\t\t\tWidth\t8\t\tK\n"
                                   "INPUT\tNA\t0\td\t\tWIDTH-1\t0\n");
    Rebuild();
    std::vector<ParamRow> page = PageOf("u1");
    page[0].Value = "12";
    EXPECT_TRUE(conf.FillWidList("u1", page, false));
    ASSERT_EQ(conf.Rows.size(), 2u);
    EXPECT_EQ(Row("d").MsbExp, "12-1");
    EXPECT_EQ(Row("d").MsbVal, "11");
    EXPECT_EQ(Row("q").MsbVal, "11");
    int ports = 0;
    int params = 0;
    ASSERT_TRUE(conf.ApplyPortWidths(ports, params, false, false));
    EXPECT_EQ(Field("q", 1), "11");

    EXPECT_FALSE(conf.FillWidList("u2", PageOf("u2"), false))
        << "a Verilog module's WIDTH is another name than its Width";
    EXPECT_EQ(Row("d").MsbVal, "NA");
}

// Regression: a generic without a default showed as "() - 1", so the designer could not tell
// which generic to set.
TEST_F(WidthConfirmationTest, AGenericWithoutDefaultIsShownByItsNameAndSetByHand) {
    model.LineList = LinesFromText("TOP\t\ttop\n"
                                   "MODULE\tfifo\tu1\t/src/fifo.vhd\tvhdl\n"
                                   "PARAMETER\t\t\tWidth_g\t\t\tK\tpositive\n"
                                   "PARAMETER\t\t\tDepth_g\t16\t\tK\tpositive\n"
                                   "INPUT\tNA\t0\tdin\t\tWidth_g - 1\t0\n"
                                   "OUTPUT\tNA\tNA\tlevel\t\tdepth_g + width_g\twidth_g\n");
    Rebuild();
    EXPECT_FALSE(conf.FillWidList("u1", PageOf("u1"), false));
    ASSERT_EQ(conf.Rows.size(), 2u);
    EXPECT_EQ(Row("din").MsbExp, "Width_g - 1");
    EXPECT_EQ(Row("din").MsbVal, "NA");
    EXPECT_EQ(Row("din").LsbVal, "0");
    EXPECT_EQ(Row("level").MsbExp, "16 + width_g") << "the name as the expression writes it";
    EXPECT_EQ(Row("level").LsbExp, "width_g");
    EXPECT_TRUE(Row("din").Failed);

    int ports = 0;
    int params = 0;
    prompt.ExpectMessage("No valid MSB/LSB value found fot port: din");
    EXPECT_FALSE(conf.ApplyPortWidths(ports, params, true, false)) << "the bound is asked for";
    Row("din").SetMsb = "7";
    Row("level").SetMsb = "23";
    Row("level").SetLsb = "8";
    ASSERT_TRUE(conf.ApplyPortWidths(ports, params, true, false));
    EXPECT_EQ(Field("din", 1), "7");
    EXPECT_EQ(Field("level", 2), "8");

    // With a value on the Instances page the generic is put in and evaluates.
    std::vector<ParamRow> page = PageOf("u1");
    page[0].Value = "12";
    EXPECT_TRUE(conf.FillWidList("u1", page, false));
    EXPECT_EQ(Row("din").MsbExp, "12 - 1");
    EXPECT_EQ(Row("din").MsbVal, "11");
}

TEST_F(WidthConfirmationTest, AnInstanceWithoutParameterisedPortsGivesAnEmptyTrueList) {
    for (const char* inst : {"u2", "u3", "nobody"}) {
        EXPECT_TRUE(conf.FillWidList(inst, PageOf("u1"), true)) << inst;
        EXPECT_TRUE(conf.Rows.empty()) << inst;
    }
    EXPECT_TRUE(model.Log.Lines().empty());
}

TEST_F(WidthConfirmationTest, FillShowsTheConfirmOptionInverted) {
    for (bool confirm : {true, false}) {
        model.ConfirmParam = confirm;
        FillU1();
        EXPECT_EQ(conf.CheckBox1, !confirm);
    }
}

TEST_F(WidthConfirmationTest, TheFirstInvalidRowIsRefusedWithNothingChanged) {
    struct Case {
        const char* what;
        const char* badSetMsb;
        const char* badSetLsb;
        const char* message;
    } cases[] = {
        {"a Set MSB that is no number", "abc", "", "No valid Set MSB value found fot port: data"},
        {"a Set LSB that is no number", "", "1.5", "No valid Set LSB value found fot port: data"},
        {"nothing usable for a failed bound", "", "", "No valid MSB/LSB value found fot port: bad"},
    };
    for (const Case& c : cases) {
        SetUp();
        FillU1("W", "16");
        Row("data").SetMsb = c.badSetMsb;
        Row("data").SetLsb = c.badSetLsb;
        Row("bad").SetMsb = ""; // bad has no usable MSB now; data, listed first, is checked first
        const ProjectLines before = model.LineList;
        prompt.ExpectMessage(c.message);
        int ports = -1;
        int params = -1;
        EXPECT_FALSE(conf.ApplyPortWidths(ports, params, true, true)) << c.what;
        EXPECT_TRUE(prompt.Done()) << c.what;
        EXPECT_EQ(model.LineList, before) << c.what;
        EXPECT_FALSE(model.UndoEnabled()) << c.what << ": no snapshot for a refusal";
        EXPECT_EQ(ports, 0);
        EXPECT_EQ(params, 0);
        // Without the report the refusal is silent.
        EXPECT_FALSE(conf.ApplyPortWidths(ports, params, false, true)) << c.what;
    }
}

TEST_F(WidthConfirmationTest, ApplyWritesTheWidthsAndIsolatesOnlyPortsWhoseWidthChanged) {
    FillU1("W", "16");
    Row("bad").SetMsb = "$1F";
    int ports = 0;
    int params = 0;
    ASSERT_TRUE(conf.ApplyPortWidths(ports, params, false, true));
    EXPECT_EQ(params, 1) << "W's value";
    EXPECT_EQ(ports, 3) << "data, bad and lane changed; addr kept 3:0";
    EXPECT_EQ(model.LineList[3][5], "16");
    EXPECT_EQ(Field("data", 1) + ":" + Field("data", 2), "15:0");
    EXPECT_EQ(Field("addr", 1) + ":" + Field("addr", 2), "3:0");
    EXPECT_EQ(Field("bad", 1) + ":" + Field("bad", 2), "31:0") << "a set value as decimal text";
    EXPECT_EQ(Field("lane", 1) + ":" + Field("lane", 2), "3:2");
    EXPECT_EQ(Wires(), (std::vector<std::string>{"u1.addr-u2.a", "top.clk-u1.clk"}))
        << "data's wire went with its old width; addr's stays";
    EXPECT_EQ(model.Log.Lines(),
              (std::vector<std::string>{"Info: Isolate port data (u1) due to width change."}));
    EXPECT_TRUE(model.UndoEnabled());
    EXPECT_EQ(pictures, 0) << "the callers rebuild";

    auto undone = model.UndoExecute();
    ASSERT_TRUE(undone);
    EXPECT_EQ(StoredText(model.LineList), StoredText(LinesFromText(WidthProject)));
}

TEST_F(WidthConfirmationTest, ApplyingTheSameValuesAgainChangesNothing) {
    FillU1("W", "16");
    Row("bad").SetMsb = "5";
    int ports = 0;
    int params = 0;
    ASSERT_TRUE(conf.ApplyPortWidths(ports, params, false, false));
    Rebuild();
    FillU1("W", "16");
    Row("bad").SetMsb = "5";
    model.ClearLog();
    ASSERT_TRUE(conf.ApplyPortWidths(ports, params, false, false));
    EXPECT_EQ(ports, 0);
    EXPECT_EQ(params, 0);
    EXPECT_TRUE(model.Log.Lines().empty());
    EXPECT_FALSE(model.UndoEnabled()) << "no snapshot was asked for";
}

TEST_F(WidthConfirmationTest, AClearedValueReturnsTheInstanceToItsDefault) {
    // The instance had its own W; the page's Value was cleared: the widths are evaluated with the
    // default, so the old value must not stay in the line.
    model.LineList[3][5] = "16";
    Rebuild();
    FillU1("W", "");
    Row("bad").SetMsb = "5";
    int ports = 0;
    int params = 0;
    ASSERT_TRUE(conf.ApplyPortWidths(ports, params, false, false));
    EXPECT_EQ(model.LineList[3][5], "");
    EXPECT_EQ(params, 1);
    EXPECT_EQ(Field("data", 1), "7");
}

TEST_F(WidthConfirmationTest, AnIntegerValueIsWrittenAsTheDecimalTextTheGeneratorCanUse) {
    // "$1F" passed as an integer and went into the line as it was typed, so the generated top
    // read "defparam u1.W = $1F ;", which no Verilog tool takes.
    struct Case {
        const char* typed;
        const char* stored;
        const char* dataWidth;
    } cases[] = {
        {"16", "16", "15:0"},  {"$1F", "31", "30:0"}, {"0x10", "16", "15:0"}, {"  +9", "9", "8:0"},
        {"-$2", "-2", "-3:0"}, {"W2", "W2", "7:0"},   {" 8", "", "7:0"},
    };
    for (const Case& c : cases) {
        SetUp();
        FillU1("W", c.typed);
        Row("bad").SetMsb = "5";
        int ports = 0;
        int params = 0;
        ASSERT_TRUE(conf.ApplyPortWidths(ports, params, false, false)) << c.typed;
        EXPECT_EQ(model.LineList[3][5], c.stored) << c.typed;
        EXPECT_EQ(Field("data", 1) + ":" + Field("data", 2), c.dataWidth) << c.typed;
    }
}

TEST_F(WidthConfirmationTest, OkTakesTheOptionLogsTheCountsAndRebuilds) {
    FillU1("W", "16");
    Row("bad").SetMsb = "5";
    conf.CheckBox1 = true;
    model.ClearLog();
    EXPECT_TRUE(conf.BitBtn1Click());
    EXPECT_FALSE(model.ConfirmParam);
    EXPECT_EQ(pictures, 1);
    EXPECT_EQ(model.Log.Lines(),
              (std::vector<std::string>{"Info: Isolate port data (u1) due to width change.",
                                        "Info: Update 1 parameter in instance u1.",
                                        "Info: Update 2 ports' width in instance u1."}));
    EXPECT_EQ(model.PortList[model.FindPortQuiet("u1", "data")].WidthText, "15:0");
}

TEST_F(WidthConfirmationTest, OkWithAnInvalidRowStaysOpen) {
    FillU1();
    prompt.ExpectMessage("No valid MSB/LSB value found fot port: bad");
    Row("bad").SetMsb = "";
    EXPECT_FALSE(conf.BitBtn1Click());
    EXPECT_EQ(pictures, 0);
    EXPECT_FALSE(model.UndoEnabled());
}

TEST(LogWidthUpdates, CountsInTheSingularThePluralAndNotAtAll) {
    struct Case {
        int params;
        int ports;
        std::vector<std::string> lines;
    } cases[] = {
        {0, 0, {}},
        {1, 0, {"Info: Update 1 parameter in instance u1."}},
        {3,
         1,
         {"Info: Update 3 parameters in instance u1.",
          "Info: Update 1 port's width in instance u1."}},
        {0, 12, {"Info: Update 12 ports' width in instance u1."}},
    };
    for (const Case& c : cases) {
        ProjectModel model;
        LogWidthUpdates(model, "u1", c.params, c.ports);
        EXPECT_EQ(model.Log.Lines(), c.lines) << c.params << "/" << c.ports;
    }
}

TEST_F(WidthConfirmationTest, SortingByAColumnGoesUpFirstThenDown) {
    FillU1();
    auto ports = [this] {
        std::string s;
        for (const WidthRow& r : conf.Rows)
            s += r.Port + " ";
        return s;
    };
    conf.ListView1ColumnClick(0);
    EXPECT_EQ(ports(), "addr bad data lane ");
    EXPECT_FALSE(conf.SortAscending);
    conf.ListView1ColumnClick(0);
    EXPECT_EQ(ports(), "lane data bad addr ");
    conf.ListView1ColumnClick(3); // MSB Val: 3, 7, 3, NA ascending
    EXPECT_EQ(conf.SortColumn, 3);
    EXPECT_EQ(ports(), "lane addr data bad ");
}

TEST_F(WidthConfirmationTest, OnlyTheSetColumnsTakeAnEdit) {
    FillU1();
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(WidthConfirmation::IsEditableColumn(c), c == 5 || c == 6) << c;
    conf.SetCell(0, 5, " 12x");
    conf.SetCell(0, 3, "99");
    conf.SetCell(99, 5, "1");
    EXPECT_EQ(conf.Rows[0].SetMsb, " 12x") << "the text goes in as it is; OK checks it";
    EXPECT_EQ(conf.Rows[0].MsbVal, "7");
}
