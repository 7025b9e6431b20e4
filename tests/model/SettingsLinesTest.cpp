// A project's own settings lines, which the rebuild applies only for a newly opened project.
#include "ModelText.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const char* const SettingsProject = "Version:\tZUN2012\t1.0\n"
                                    "HS\t0\tArial\t255\t10\t1\t0\t1\t0\n"
                                    "GS\t2\tCourier\t65280\t9\t0\t1\t0\t1\n"
                                    "CS\t1\tOut\t1\t11\n"
                                    "DS\t1\tInout\t2\t12\n"
                                    "ES\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\n"
                                    "FS\t21\t7\t8\t11\t12\t4\t1\t5\t900\t6\t61\t16\t17\t41\t7\t8\n"
                                    "JS\t1\tVar\t3\t13\n"
                                    "LS\t\tN\t2\tN\tZ\n"
                                    "NS\t1\tPara\t4\t14\n"
                                    "QS\t1\tHdl\t5\t15\n"
                                    "RS\t1\tMsg\t6\t16\n"
                                    "TOP\t\ttop\n"
                                    "INPUT\t\t\ta\n";

std::unique_ptr<ProjectModel> Opened(const char* text, RebuildSender sender,
                                     RebuildResult* result = nullptr) {
    auto m = std::make_unique<ProjectModel>();
    m->LineList = LinesFromText(text);
    m->PrjOpen = true;
    RebuildResult r = m->UpdatePicExecute(sender);
    if (result)
        *result = r;
    return m;
}

} // namespace

TEST(SettingsLines, AreAppliedForANewProject) {
    RebuildResult r;
    auto held = Opened(SettingsProject, RebuildSender::FileNewPrj, &r);
    ProjectModel& m = *held;
    EXPECT_TRUE(m.Log.Lines().empty()) << m.Log.Lines().front();
    EXPECT_TRUE(r.SettingsApplied);
    EXPECT_TRUE(r.HdlFontChanged);
    EXPECT_TRUE(r.MsgFontChanged);
    EXPECT_TRUE(r.ViewModeChanged);

    EXPECT_EQ(m.MduFont, (FontValue{0, "Arial", 255, 10, true, false, true, false}));
    EXPECT_EQ(m.InFont, (FontValue{2, "Courier", 65280, 9, false, true, false, true}));
    EXPECT_EQ(m.OutFont.Face, "Out");
    EXPECT_EQ(m.InoutFont.Face, "Inout");
    EXPECT_EQ(m.VarFont.Face, "Var");
    EXPECT_EQ(m.ParaMduFont.Face, "Para");
    EXPECT_EQ(m.AppMisc.HdlFont.Face, "Hdl");
    EXPECT_EQ(m.AppMisc.MsgFont.Size, 16);

    const int colours[] = {m.BackColor,      m.PointedBrush,   m.PointedPen, m.FriendBrush,
                           m.FriendPen,      m.UnmatchedColor, m.WireColor,  m.WireEndColor,
                           m.SmartWireColor, m.SmartMarkColor, m.LoneColor,  m.MainPrtColor};
    for (int k = 0; k < 12; ++k)
        EXPECT_EQ(colours[k], k + 1) << "colour field " << k + 1;

    const int sizes[] = {m.AutoScrollStep, m.LeftMargin,    m.TopMargin,  m.MduMargin,
                         m.ColMargin,      m.MduPrtMargin,  m.PrtMargin,  m.WireEndSize,
                         m.MaxViewHeight,  m.CompactMargin, m.SizeF11,    m.TitleHeight,
                         m.PrtHeight,      m.PrtWidth,      m.RightSlack, m.BottomSlack};
    const int expected[] = {21, 7, 8, 11, 12, 4, 1, 5, 900, 6, 61, 16, 17, 41, 7, 8};
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(sizes[k], expected[k]) << "size field " << k + 1;

    EXPECT_FALSE(m.ConfirmParam);
    EXPECT_EQ(m.ViewMode, '2');
    EXPECT_FALSE(m.StrictRule);
    EXPECT_EQ(m.AssignOpenOut, 'Z');
    // The project's own sizes lay it out.
    EXPECT_EQ(m.MduList[0].X, 7);
    EXPECT_EQ(m.PortList[0].Y, 8 + 16 + 4);
}

TEST(SettingsLines, ChangeNothingUnlessTheRebuildIsForANewProject) {
    for (RebuildSender sender : {RebuildSender::MainWindow, RebuildSender::PaintBox1}) {
        RebuildResult r;
        auto held = Opened(SettingsProject, sender, &r);
        ProjectModel& m = *held;
        ProjectModel defaults;
        EXPECT_FALSE(r.SettingsApplied);
        EXPECT_FALSE(r.ViewModeChanged);
        EXPECT_EQ(m.MduFont, defaults.MduFont);
        EXPECT_EQ(m.AppMisc.MsgFont, defaults.AppMisc.MsgFont);
        EXPECT_EQ(m.BackColor, defaults.BackColor);
        EXPECT_EQ(m.MainPrtColor, defaults.MainPrtColor);
        EXPECT_EQ(m.MaxViewHeight, defaults.MaxViewHeight);
        EXPECT_EQ(m.PrtWidth, defaults.PrtWidth);
        EXPECT_EQ(m.ViewMode, '1');
        EXPECT_TRUE(m.ConfirmParam);
        EXPECT_EQ(m.AssignOpenOut, 'N');
        EXPECT_TRUE(m.Log.Lines().empty());
    }
}

TEST(SettingsLines, AColourFieldThatIsNoNumberStopsTheLineWithAWarning) {
    auto held = Opened("ES\t1\t2\tblue\t4\nTOP\t\ttop\n", RebuildSender::FileNewPrj);
    ProjectModel& m = *held;
    ProjectModel defaults;
    EXPECT_EQ(m.BackColor, 1);
    EXPECT_EQ(m.PointedBrush, 2);
    EXPECT_EQ(m.PointedPen, defaults.PointedPen);
    EXPECT_EQ(m.FriendBrush, defaults.FriendBrush) << "the rest of the line is ignored";
    EXPECT_EQ(m.Log.Lines(), std::vector<std::string>{"Warning: Unknown parameters at line 0"});
}

TEST(SettingsLines, ASizeFieldThatIsNoNumberStopsTheLineWithAWarning) {
    auto held = Opened("TOP\t\ttop\nFS\t30\t9\t\t12\n", RebuildSender::FileNewPrj);
    ProjectModel& m = *held;
    EXPECT_EQ(m.AutoScrollStep, 30);
    EXPECT_EQ(m.LeftMargin, 9);
    EXPECT_EQ(m.TopMargin, 6);
    EXPECT_EQ(m.MduMargin, 10);
    EXPECT_EQ(m.Log.Lines(), std::vector<std::string>{"Warning: Unknown parameters at line 1"});
}

// Regression: sizes were taken unchecked, and a zero or negative size broke the layout.
TEST(SettingsLines, SizesOutOfRangeAreLimitedWithOneWarning) {
    auto held = Opened("FS\t0\t-5\t6\t10\t10\t3\t0\t4\t0\t5\t60\t0\t-1\t0\t6\t6\n"
                       "TOP\t\ttop\nINPUT\t\t\ta\nINPUT\t\t\tb\n",
                       RebuildSender::FileNewPrj);
    ProjectModel& m = *held;
    EXPECT_EQ(m.AutoScrollStep, 1);
    EXPECT_EQ(m.LeftMargin, 1);
    EXPECT_EQ(m.MaxViewHeight, 300);
    EXPECT_EQ(m.TitleHeight, 3);
    EXPECT_EQ(m.PrtHeight, 3);
    EXPECT_EQ(m.PrtWidth, 3);
    EXPECT_EQ(m.PrtMargin, 0) << "a zero gap between ports is usable";
    EXPECT_EQ(m.Log.Lines(),
              std::vector<std::string>{
                  "Warning: Sizes out of range at line 0 were set to the nearest usable value."});
    // The ports stand in one column, one below the other.
    EXPECT_EQ(m.PortList[1].X, m.PortList[0].X);
    EXPECT_EQ(m.PortList[1].Y, m.PortList[0].Y + 3);
}

TEST(SettingsLines, ClampLayoutSizesKeepsUsableSizesAsTheyAre) {
    ProjectModel m;
    EXPECT_FALSE(m.ClampLayoutSizes()) << "the defaults are usable";
    m.MaxViewHeight = 32761;
    m.WireEndSize = 51;
    EXPECT_TRUE(m.ClampLayoutSizes());
    EXPECT_EQ(m.MaxViewHeight, 32760);
    EXPECT_EQ(m.WireEndSize, 50);
}

// Regression: the value for open outputs took any character.
TEST(SettingsLines, TheValueOfOpenOutputsIsOneOfFourElseNone) {
    struct Case {
        const char* field;
        char value;
        bool warned;
    } cases[] = {{"0", '0', false}, {"1", '1', false}, {"Z", 'Z', false}, {"N", 'N', false},
                 {"", 'N', false},  {"q", 'N', true},  {"z", 'N', true},  {"Z1", 'Z', false}};
    for (const Case& c : cases) {
        std::string text = std::string("LS\t\tY\t1\tY\t") + c.field + "\nTOP\t\ttop\n";
        auto held = Opened(text.c_str(), RebuildSender::FileNewPrj);
        ProjectModel& m = *held;
        EXPECT_EQ(m.AssignOpenOut, c.value) << "field \"" << c.field << "\"";
        EXPECT_EQ(m.Log.Lines().size(), c.warned ? 1u : 0u) << "field \"" << c.field << "\"";
    }
    EXPECT_EQ(ProjectModel::NormalAssignOpenOut('x'), 'N');
    EXPECT_EQ(ProjectModel::NormalAssignOpenOut('1'), '1');
}

TEST(SettingsLines, TheOptionLineSetsTheViewModeByItsThirdField) {
    struct Case {
        const char* field;
        char mode;
    } cases[] = {{"1", '1'}, {"2", '2'}, {"3", '3'}, {"", '1'}, {"4", '1'}, {"22", '1'}};
    for (const Case& c : cases) {
        std::string text = std::string("LS\t\tY\t") + c.field + "\tY\tN\nTOP\t\ttop\n";
        auto held = Opened(text.c_str(), RebuildSender::FileNewPrj);
        ProjectModel& m = *held;
        EXPECT_EQ(m.ViewMode, c.mode) << "field \"" << c.field << "\"";
        EXPECT_TRUE(m.ConfirmParam);
        EXPECT_TRUE(m.StrictRule);
    }
}

TEST(SettingsLines, AFontLineWithABadNumberKeepsTheFieldsBeforeItAndWarns) {
    auto held = Opened("HS\t0\tArial\tred\t10\t1\nTOP\t\ttop\n", RebuildSender::FileNewPrj);
    ProjectModel& m = *held;
    ProjectModel defaults;
    EXPECT_EQ(m.MduFont.Charset, 0);
    EXPECT_EQ(m.MduFont.Face, "Arial");
    EXPECT_EQ(m.MduFont.Color, defaults.MduFont.Color);
    EXPECT_EQ(m.MduFont.Size, defaults.MduFont.Size);
    EXPECT_FALSE(m.MduFont.Bold);
    EXPECT_EQ(m.Log.Lines(), std::vector<std::string>{"Warning: Unknown parameters at line 0"});
    EXPECT_EQ(m.LineList[0][3], "red") << "the lines are not changed";
}

TEST(FontFromFields, SetsTheStyleToExactlyTheFlagsThatAreOne) {
    FontValue f;
    f.Italic = true;
    f.Underline = true;
    ProjectLine l = MakeLine({"GS", "1", "Face", "7", "9", "1", "0", "yes", ""});
    EXPECT_EQ(FontFromFields(l, f), 0);
    EXPECT_EQ(f, (FontValue{1, "Face", 7, 9, true, false, false, false}));
    EXPECT_EQ(FontFromFields(MakeLine({"GS", "x"}), f), 1);
    EXPECT_EQ(f.Face, "Face") << "nothing after a bad character set";
    EXPECT_EQ(FontFromFields(MakeLine({"GS", "2", "F", "1", "big"}), f), 4);
    EXPECT_EQ(f.Color, 1);
    EXPECT_EQ(f.Size, 9);
    EXPECT_TRUE(f.Bold) << "the style is not touched after a bad size";
}

TEST(SettingsLines, ASizeLineAmongTheInstancesPlacesTheLaterOnesWithTheNewSizes) {
    auto held = Opened("TOP\t\ttop\n"
                       "MODULE\tc\tu1\n"
                       "FS\t2\t6\t6\t20\t10\t3\t0\t4\t800\t5\t60\t15\t15\t100\t6\t6\n"
                       "MODULE\tc\tu2\n",
                       RebuildSender::FileNewPrj);
    ProjectModel& m = *held;
    EXPECT_EQ(m.MduList[1].X, 56) << "placed before the line, with the old sizes";
    // Both earlier instances measured anew: one column of 100 and a gap of 20 each.
    EXPECT_EQ(m.MduList[2].X, 6 + 120 + 120);
    m.MduList[2].X = 0;
    m.PlaceInstance(2, 0, 0);
    EXPECT_EQ(m.MduList[2].X, 246) << "placing it again outside the rebuild agrees";
}

// Regression (found by the random driver): a line whose keyword only began with a settings letter
// ("C" 0) set a font as well. The save writes fresh settings lines before every other line, so
// such a line, read before its settings line at one open, was read after it at the next, and the
// project's font changed on the way.
TEST(SettingsLines, OnlyTheElevenSettingsLinesSetMembers) {
    ProjectModel defaults;
    auto held = Opened("C\t0\nComment\t0\tMono\t1\t2\nEx\t5\t5\t5\t5\t5\t5\t5\t5\t5\t5\t5\t5\n"
                       "F\t9\nLAST\t\tN\t3\nHSX\t1\tArial\t1\t1\nTOP\t\ttop\nINPUT\t\t\ta\n",
                       RebuildSender::FileNewPrj);
    const ProjectModel& m = *held;
    EXPECT_EQ(m.OutFont, defaults.OutFont);
    EXPECT_EQ(m.MduFont, defaults.MduFont);
    EXPECT_EQ(m.BackColor, defaults.BackColor);
    EXPECT_EQ(m.AutoScrollStep, defaults.AutoScrollStep);
    EXPECT_EQ(m.ViewMode, defaults.ViewMode);
    EXPECT_TRUE(m.Log.Lines().empty());
    EXPECT_EQ(m.LineList.size(), 8u) << "the lines are carried along";
}
