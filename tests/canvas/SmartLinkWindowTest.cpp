// The Smart Link window's behaviour without widgets: creation with and without default.qvs,
// Apply, the click toggles, the option dependencies, the row commands and Save As and Open.
#include "editor/canvas/SmartLinkWindow.h"

#include "editor/canvas/SmartLink.h"
#include "editor/model/Documents.h"
#include "editor/model/ProjectModel.h"
#include "support/FileFixtures.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

namespace {

const std::string kDefaultQvs = std::string(ZUN_TEST_DATA) + "/../../res/default.qvs";

std::vector<std::string> Row(const SmartLinkGrid& g, int r) {
    std::vector<std::string> out;
    for (int c = 0; c < g.ColCount(); ++c)
        out.push_back(g.Cell(c, r));
    return out;
}

// The built-in rules as SLRules holds them.
std::vector<std::string> BuiltInRules() {
    const SmartLinkGrid g = DefaultSmartLinkGrid();
    std::vector<std::string> rules;
    for (int r = 1; r <= 2; ++r)
        for (int c = ColOnce; c < SmartLinkColumns; ++c)
            rules.push_back(g.Cell(c, r));
    return rules;
}

class Window : public ::testing::Test {
protected:
    void SetUp() override { model.AppDir = dir.Dir(); }
    void Create() {
        w.FormCreate();
        created = model.Log.Lines();
        model.ClearLog();
    }
    // The grid's rows 1 and up as the test writes them; row 0 stays the header.
    void SetRows(const std::vector<std::vector<std::string>>& rows) {
        SmartLinkGrid g(SmartLinkColumns, 0);
        g.AppendRow(Row(w.StringGrid1, 0));
        for (const auto& r : rows)
            g.AppendRow(r);
        w.StringGrid1 = g;
    }
    struct Options {
        bool findOne, hideUnmatched, noSelfWire, hiddenNoSpace, stopFirst, caseSensitive;
        bool operator==(const Options&) const = default;
    };
    Options ModelOptions() const {
        return {model.SLFindOne,     model.SLHideUnmatched, model.NoSelfWire,
                model.HiddenNoSpace, model.SLStopFirstRule, model.SLCaseSensitive};
    }

    TempDir dir;
    ProjectModel model;
    SmartLink engine{model};
    SmartLinkWindow w{model, engine};
    std::vector<std::string> created;
};

TEST_F(Window, WithoutDefaultFileTheBuiltInRulesAreAppliedAndTheMissingFileLogged) {
    Create();
    EXPECT_EQ(created, std::vector<std::string>{
                           "Error: Can't load default SmartLink settings. File missing: "
                           "default.qvs."});
    EXPECT_EQ(model.SLRuleWidth, 7);
    EXPECT_EQ(model.SLRules, BuiltInRules());
    EXPECT_EQ(ModelOptions(), (Options{false, true, true, false, false, false}));
    // Apply dropped the two empty rows and disabled itself.
    EXPECT_EQ(w.StringGrid1.RowCount(), 3);
    EXPECT_EQ(Row(w.StringGrid1, 0),
              (std::vector<std::string>{"Ena", "Once", "Menu Des", "Src Instance", "Src Port",
                                        "Des Instance", "Des Port", "Description"}));
    EXPECT_EQ(Row(w.StringGrid1, 2)[ColMenuDes], "Channel Link");
    EXPECT_FALSE(w.Btn1Enabled);
    for (const SmartLinkOptionItem& item : w.CheckListBox1)
        EXPECT_TRUE(item.Enabled) << item.Text;
    EXPECT_EQ(w.CheckListBox1[OptHideUnmatched].Text, "Hide ports owned unmatched width");
    EXPECT_EQ(w.CheckListBox1[OptCaseSensitive].Text, "Match case");
}

TEST_F(Window, DamagedDefaultFileLeavesTheBuiltInRules) {
    for (const std::string text : {"abc", "3\r\n8\r\nEna\r\n", "3\r\n5\r\n"}) {
        WriteBytes(dir.Path("default.qvs"), text);
        Create();
        EXPECT_EQ(created.size(), 1u) << text;
        EXPECT_EQ(model.SLRules, BuiltInRules()) << text;
        EXPECT_EQ(w.StringGrid1.RowCount(), 3) << text;
    }
}

TEST_F(Window, DefaultFileReplacesTheBuiltInRules) {
    SmartLinkGrid g = DefaultSmartLinkGrid();
    g.SetCell(ColMenuDes, 1, "Clocks");
    g.SetCell(ColDesPort, 1, "^clk$");
    g.SetCell(ColEna, 2, "");
    ASSERT_TRUE(SaveSmartLinkFile(g, dir.Path("default.qvs"), 0, 0));
    Create();
    EXPECT_TRUE(created.empty());
    EXPECT_EQ(model.SLRules,
              (std::vector<std::string>{"", "Clocks", "\\w+", "\\w+", "\\w+", "^clk$",
                                        "Link to the same ports, located in any instance."}));
}

TEST_F(Window, ShippedDefaultFileIsTheDefaultGridAfterApply) {
    Create();
    const std::string written = dir.Path("written.qvs");
    ASSERT_TRUE(w.SaveSmartLinkFile(written));
    const std::string bytes = ReadBytes(written);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 2 + 3 * 8);
    // ZUN_WRITE_DEFAULT_QVS=1 writes the shipped file anew from the window's own save.
    if (const char* regenerate = std::getenv("ZUN_WRITE_DEFAULT_QVS"); regenerate && *regenerate)
        WriteBytes(kDefaultQvs, bytes);
    EXPECT_EQ(ReadBytes(kDefaultQvs), bytes);
}

TEST_F(Window, ShippedDefaultFileGivesTheBuiltInRulesWithoutAnError) {
    WriteBytes(dir.Path("default.qvs"), ReadBytes(kDefaultQvs));
    Create();
    EXPECT_TRUE(created.empty());
    EXPECT_EQ(model.SLRules, BuiltInRules());
}

TEST_F(Window, ApplyDropsTrailingRowsWithoutTextBeyondTheFirstColumn) {
    Create();
    SetRows({{"Yes", "", "A", "a", "b", "c", "d"},
             {"", "", "", "", "", "", "", "kept by its description"},
             {"Yes"},
             {"", "", "", "", "", "", "", ""}});
    w.Btn1Click();
    EXPECT_EQ(w.StringGrid1.RowCount(), 3);
    EXPECT_EQ(model.SLRules, (std::vector<std::string>{"", "A", "a", "b", "c", "d", ""}));
    // Row 1 stays even when it is empty.
    SetRows({{"Yes"}, {}});
    w.Btn1Click();
    EXPECT_EQ(w.StringGrid1.RowCount(), 2);
    EXPECT_EQ(model.SLRules, (std::vector<std::string>{"", "", "", "", "", "", ""}));
}

TEST_F(Window, ApplyTakesOnlyRowsEnabledWithYesInGridOrder) {
    Create();
    SetRows({{"Yes", "Yes", "First", "a", "b", "c", "d", "one"},
             {"", "", "Off", "a", "b", "c", "d"},
             {"yes", "", "Lower", "a", "b", "c", "d"},
             {"Yes", "", "Last", "e", "f", "g", "h"}});
    w.MoveRow(4, 1);
    w.Btn1Click();
    EXPECT_EQ(model.SLRules, (std::vector<std::string>{"", "Last", "e", "f", "g", "h", "", "Yes",
                                                       "First", "a", "b", "c", "d", "one"}));
    EXPECT_TRUE(model.Log.Lines().empty());
}

TEST_F(Window, BadPatternMarksTheRowWithErrAndOnlyItsFirstBadPatternIsLogged) {
    Create();
    SetRows({{"Yes", "", "Bad", "(", "\\w+", "\\w+", "a{2,1}"},
             {"Yes", "", "Good", "\\w+", "\\w+", "\\w+", "\\b%P0\\b"},
             {"Yes", "", "Bad port", "\\w+", "[z-a]", "\\w+", "x"}});
    w.Btn1Click();
    EXPECT_EQ(model.Log.Lines(), (std::vector<std::string>{"Error: Unrecognized pattern:(",
                                                           "Error: Unrecognized pattern:[z-a]"}));
    EXPECT_EQ(w.StringGrid1.Cell(ColEna, 1), "ERR");
    EXPECT_EQ(w.StringGrid1.Cell(ColEna, 2), "Yes");
    EXPECT_EQ(w.StringGrid1.Cell(ColEna, 3), "ERR");
    ASSERT_EQ(model.SLRules.size(), 7u);
    EXPECT_EQ(model.SLRules[RuleMenuCaption], "Good");

    // "ERR" keeps the row out, without a message, until it is clicked back to "Yes".
    model.ClearLog();
    w.StringGrid1.SetCell(ColSrcInstance, 1, "\\w+");
    w.StringGrid1.SetCell(ColDesPort, 1, "x");
    w.Btn1Click();
    EXPECT_TRUE(model.Log.Lines().empty());
    EXPECT_EQ(model.SLRules.size(), 7u);
    w.StringGrid1MouseDown(ColEna, 1);
    w.StringGrid1MouseUp(ColEna, 1);
    EXPECT_EQ(w.StringGrid1.Cell(ColEna, 1), "Yes");
    w.Btn1Click();
    ASSERT_EQ(model.SLRules.size(), 14u);
    EXPECT_EQ(model.SLRules[RuleMenuCaption], "Bad");
}

TEST_F(Window, OptionsReachTheModelOnlyAtApply) {
    Create();
    w.ClickOption(OptCaseSensitive, true);
    w.ClickOption(OptNoSelfWire, false);
    EXPECT_FALSE(model.SLCaseSensitive);
    EXPECT_TRUE(model.NoSelfWire);
    EXPECT_TRUE(w.Btn1Enabled);
    w.Btn1Click();
    EXPECT_EQ(ModelOptions(), (Options{false, true, false, false, false, true}));
}

TEST_F(Window, ClickTogglesYesInTheFirstTwoColumnsOnly) {
    Create();
    struct Click {
        int downCol, downRow, upCol, upRow;
        const char* before;
        const char* after;
    };
    const Click clicks[] = {
        {ColEna, 1, ColEna, 1, "Yes", ""},    {ColEna, 1, ColEna, 1, "", "Yes"},
        {ColOnce, 2, ColOnce, 2, "", "Yes"},  {ColOnce, 2, ColOnce, 2, "Yes", ""},
        {ColEna, 1, ColEna, 1, "ERR", "Yes"}, {ColEna, 1, ColOnce, 1, "Yes", "Yes"},
        {ColEna, 1, ColEna, 2, "Yes", "Yes"}, {ColMenuDes, 1, ColMenuDes, 1, "Yes", "Yes"},
        {ColEna, 0, ColEna, 0, "Ena", "Ena"},
    };
    for (const Click& c : clicks) {
        w.StringGrid1.SetCell(c.downCol, c.downRow, c.before);
        w.Btn1Click();
        w.StringGrid1MouseDown(c.downCol, c.downRow);
        w.StringGrid1MouseUp(c.upCol, c.upRow);
        EXPECT_EQ(w.StringGrid1.Cell(c.downCol, c.downRow), c.after)
            << c.downCol << "," << c.downRow << " -> " << c.upCol << "," << c.upRow;
        EXPECT_EQ(w.Btn1Enabled, std::string(c.before) != c.after);
    }
}

TEST_F(Window, TypingChangesRuleCellsButNeverTheFixedColumnsOrTheHeader) {
    Create();
    w.EditCell(ColSrcPort, 1, "clk");
    w.EditCell(ColEna, 1, "typed");
    w.EditCell(ColOnce, 1, "typed");
    w.EditCell(ColSrcPort, 0, "typed");
    EXPECT_EQ(w.StringGrid1.Cell(ColSrcPort, 1), "clk");
    EXPECT_EQ(w.StringGrid1.Cell(ColEna, 1), "Yes");
    EXPECT_EQ(w.StringGrid1.Cell(ColOnce, 1), "");
    EXPECT_EQ(w.StringGrid1.Cell(ColSrcPort, 0), "Src Port");
    EXPECT_TRUE(w.Btn1Enabled);
    w.Btn1Click();
    w.StringGrid1Enter();
    EXPECT_TRUE(w.Btn1Enabled);
    w.Btn1Click();
    w.StringGrid1GetEditText();
    EXPECT_TRUE(w.Btn1Enabled);
}

TEST_F(Window, FindOneTicksAndGreysStopFirstAndHideUnmatchedRulesHiddenPorts) {
    Create();
    auto& items = w.CheckListBox1;
    w.ClickOption(OptFindOne, true);
    EXPECT_TRUE(items[OptStopFirstRule].Checked);
    EXPECT_FALSE(items[OptStopFirstRule].Enabled);
    // A greyed item cannot be clicked.
    w.ClickOption(OptStopFirstRule, false);
    EXPECT_TRUE(items[OptStopFirstRule].Checked);
    // Unticking leaves it ticked but editable.
    w.ClickOption(OptFindOne, false);
    EXPECT_TRUE(items[OptStopFirstRule].Checked);
    EXPECT_TRUE(items[OptStopFirstRule].Enabled);
    w.ClickOption(OptStopFirstRule, false);
    EXPECT_FALSE(items[OptStopFirstRule].Checked);

    w.ClickOption(OptHiddenNoSpace, true);
    EXPECT_TRUE(items[OptHiddenNoSpace].Checked);
    w.ClickOption(OptHideUnmatched, false);
    EXPECT_FALSE(items[OptHiddenNoSpace].Checked);
    EXPECT_FALSE(items[OptHiddenNoSpace].Enabled);
    w.ClickOption(OptHiddenNoSpace, true);
    EXPECT_FALSE(items[OptHiddenNoSpace].Checked);
    w.ClickOption(OptHideUnmatched, true);
    EXPECT_TRUE(items[OptHiddenNoSpace].Enabled);
    EXPECT_FALSE(items[OptHiddenNoSpace].Checked);
    w.Btn1Click();
    EXPECT_EQ(ModelOptions(), (Options{false, true, true, false, false, false}));
}

TEST_F(Window, AddedRowsAreNamedByACounterThatOpeningFilesDoesNotReset) {
    Create();
    w.Btn6Click();
    w.Btn6Click();
    EXPECT_EQ(Row(w.StringGrid1, 3),
              (std::vector<std::string>{"Yes", "", "Rule 1", "", "", "", "", ""}));
    EXPECT_EQ(Row(w.StringGrid1, 4)[ColMenuDes], "Rule 2");
    ASSERT_TRUE(SaveSmartLinkFile(DefaultSmartLinkGrid(), dir.Path("other.qvs"), 0, 0));
    ScriptedPrompt prompt;
    prompt.ExpectOpenFile("Open SmartLink File", {dir.Path("other.qvs")});
    w.Btn5Click(prompt);
    w.Btn6Click();
    EXPECT_EQ(Row(w.StringGrid1, w.StringGrid1.RowCount() - 1)[ColMenuDes], "Rule 3");
    EXPECT_TRUE(w.Btn1Enabled);
}

TEST_F(Window, DeleteLastRowKeepsTheHeaderAndOneRule) {
    Create();
    w.SpeedButton1Click();
    EXPECT_EQ(w.StringGrid1.RowCount(), 2);
    EXPECT_TRUE(w.Btn1Enabled);
    w.Btn1Click();
    w.Deletelastone1Click();
    EXPECT_EQ(w.StringGrid1.RowCount(), 2);
    EXPECT_EQ(w.StringGrid1.Cell(ColMenuDes, 1), "Same Link");
}

TEST_F(Window, SaveAsWritesTheGridAndTellsAFailure) {
    Create();
    ScriptedPrompt prompt;
    prompt.ExpectSaveFile("Save SmartLink File", {dir.Path("mine.qvs")});
    w.Btn4Click(prompt);
    SmartLinkGrid back;
    ASSERT_TRUE(LoadSmartLinkFile(back, dir.Path("mine.qvs")));
    EXPECT_EQ(back, w.StringGrid1);
    // A folder that is not there, and a cancelled chooser.
    prompt.ExpectSaveFile("Save SmartLink File", {dir.Path("none/mine.qvs")})
        .ExpectMessage("Save error.")
        .ExpectSaveFile("Save SmartLink File", {});
    w.Btn4Click(prompt);
    w.Btn4Click(prompt);
}

TEST_F(Window, SaveIntoAReadOnlyFolderFailsAndKeepsTheOldFile) {
    Create();
    ASSERT_EQ(::mkdir(dir.Path("ro").c_str(), 0755), 0);
    WriteBytes(dir.Path("ro/rules.qvs"), "old");
    ASSERT_EQ(::chmod(dir.Path("ro").c_str(), 0555), 0);
    const int result = RunUnprivileged([&] {
        ScriptedPrompt prompt;
        prompt.ExpectSaveFile("", {dir.Path("ro/rules.qvs")}).ExpectMessage("Save error.");
        w.Btn4Click(prompt);
        return prompt.Done() ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(dir.Path("ro/rules.qvs")), "old");
}

struct BadOpen {
    const char* name;
    std::string text; // nothing written when empty and missing is set
    bool missing;
};

class WindowOpen : public Window, public ::testing::WithParamInterface<BadOpen> {};

TEST_P(WindowOpen, BadFileShowsLoadErrorAndChangesNothing) {
    Create();
    w.Btn6Click();
    w.StringGrid1.SetCell(ColSrcPort, 3, "unsaved");
    w.ClickOption(OptCaseSensitive, true);
    const SmartLinkGrid grid = w.StringGrid1;
    const std::vector<std::string> rules = model.SLRules;
    const Options options = ModelOptions();
    const std::string path = dir.Path("bad.qvs");
    if (!GetParam().missing)
        WriteBytes(path, GetParam().text);
    ScriptedPrompt prompt;
    prompt.ExpectOpenFile("Open SmartLink File", {path}).ExpectMessage("Load error.");
    w.Btn5Click(prompt);
    EXPECT_EQ(w.StringGrid1, grid);
    EXPECT_EQ(model.SLRules, rules);
    EXPECT_EQ(ModelOptions(), options);
    EXPECT_TRUE(w.Btn1Enabled);
}

INSTANTIATE_TEST_SUITE_P(
    SmartLink, WindowOpen,
    ::testing::Values(BadOpen{"Missing", "", true}, BadOpen{"Words", "abc", false},
                      BadOpen{"Short", "3\r\n8\r\nEna\r\nOnce\r\n", false},
                      BadOpen{"FiveColumns", "2\r\n5\r\n" + std::string(10 * 2, '\n'), false},
                      BadOpen{"OneRow", "1\r\n8\r\n" + std::string(8 * 2, '\n'), false},
                      BadOpen{"TwoTo31Rows", "2147483648\r\n8\r\n" + std::string(64, '\n'), false}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(Window, OpenReadsLfFilesAndAppliesAtOnce) {
    Create();
    const std::string path = dir.Path("lf.qvs");
    SmartLinkGrid g = DefaultSmartLinkGrid();
    g.DeleteRow(4);
    g.DeleteRow(3);
    g.SetCell(ColEna, 1, "");
    g.SetCell(ColOnce, 2, "Yes");
    std::string text = SmartLinkText(g);
    std::erase(text, '\r');
    WriteBytes(path, text);
    w.ClickOption(OptFindOne, true);
    ScriptedPrompt prompt;
    prompt.ExpectOpenFile("Open SmartLink File", {path}).ExpectOpenFile("", {});
    w.Btn5Click(prompt);
    EXPECT_EQ(w.StringGrid1, g);
    EXPECT_FALSE(w.Btn1Enabled);
    ASSERT_EQ(model.SLRules.size(), 7u);
    EXPECT_EQ(model.SLRules[RuleOnce], "Yes");
    EXPECT_EQ(model.SLRules[RuleMenuCaption], "Channel Link");
    EXPECT_TRUE(model.SLFindOne);
    EXPECT_TRUE(model.SLStopFirstRule);
    // A cancelled chooser changes nothing.
    w.Btn5Click(prompt);
    EXPECT_EQ(w.StringGrid1, g);
}

// Regression: a rule file with a ninth column got "Load error."; one without the description
// column as well. Both are rule grids: Open takes them and Apply runs their rules.
TEST_F(Window, OpenTakesRuleFilesWithMoreOrFewerColumnsThanTheWindowsOwn) {
    for (int columns : {9, 7}) {
        Create();
        SmartLinkGrid g(columns, 0);
        std::vector<std::string> header = Row(DefaultSmartLinkGrid(), 0);
        header.resize(static_cast<std::size_t>(columns), "Note");
        g.AppendRow(header);
        std::vector<std::string> rule = Row(DefaultSmartLinkGrid(), 1);
        rule.resize(static_cast<std::size_t>(columns), "extra");
        g.AppendRow(rule);
        const std::string path = dir.Path("wide.qvs");
        WriteBytes(path, SmartLinkText(g));
        ScriptedPrompt prompt;
        prompt.ExpectOpenFile("Open SmartLink File", {path});
        w.Btn5Click(prompt);
        EXPECT_TRUE(prompt.Done()) << columns;
        EXPECT_EQ(w.StringGrid1, g) << columns;
        EXPECT_FALSE(w.Btn1Enabled) << "applied at once";
        EXPECT_EQ(model.SLRuleWidth, columns - 1);
        ASSERT_EQ(model.SLRules.size(), static_cast<std::size_t>(columns - 1));
        EXPECT_EQ(model.SLRules[RuleMenuCaption], "Same Link");
        EXPECT_EQ(model.SLRules[RuleDesPort], "\\b%P0\\b");
        EXPECT_EQ(SmartLinkRuleItems(model).size(), 1u);
        // Saved back with all its columns.
        ASSERT_TRUE(w.SaveSmartLinkFile(dir.Path("back.qvs")));
        EXPECT_EQ(ReadBytes(dir.Path("back.qvs")), SmartLinkText(g));
    }
}

TEST_F(Window, SaveIntoAReadOnlyFolderRewritesAWritableFileInPlaceAndSaysSo) {
    Create();
    ASSERT_EQ(::mkdir(dir.Path("ro").c_str(), 0755), 0);
    const std::string path = dir.Path("ro/rules.qvs");
    WriteBytes(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir.Path("ro").c_str(), 0555), 0);
    const int result = RunUnprivileged([&] {
        ScriptedPrompt prompt;
        prompt.ExpectSaveFile("", {path});
        w.Btn4Click(prompt);
        const bool logged =
            model.Log.Lines() ==
            std::vector<std::string>{"Warning: Saved " + path +
                                     " without a temporary copy: its folder can not be written, "
                                     "so the file was rewritten in place."};
        return (prompt.Done() ? 0 : 1) | (logged ? 0 : 2);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(path), SmartLinkText(w.StringGrid1));
    EXPECT_EQ(TempDir::ListNames(dir.Path("ro")), std::vector<std::string>{"rules.qvs"});
}

TEST_F(Window, HelpOpensTheSmartLinkPage) {
    ASSERT_EQ(::mkdir(dir.Path("doc").c_str(), 0755), 0);
    WriteBytes(dir.Path("doc/smtlnk.htm"), "<html></html>");
    EditorServices services;
    std::vector<std::string> opened;
    services.ShellOpen = [&](const std::string& target) {
        opened.push_back(target);
        return IoStatus::Ok();
    };
    w.Btn7Click(services);
    EXPECT_EQ(opened, std::vector<std::string>{dir.Dir() + "doc/smtlnk.htm"});
}

TEST_F(Window, TwoColumnsFollowTheButton) {
    w.SpeedButton2Click(true);
    EXPECT_TRUE(w.TwoColumns);
    w.SpeedButton2Click(false);
    EXPECT_FALSE(w.TwoColumns);
}

} // namespace
