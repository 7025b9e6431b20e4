// The Settings dialog's controls and Apply without the window: what the controls show, the
// order of Apply's steps, the rules it refuses, the work directory it requires and when it
// writes the settings file.
#include "editor/model/SettingsDialog.h"

#include "editor/model/Settings.h"
#include "model/ModelFileFixture.h"

#include "platform/IniFile.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

class SettingsDialog : public ModelFileFixture {
protected:
    SettingsDialog() {
        model.IniPath = dir.Path("zun2012.ini");
        hooks.FontsChanged = [this] { steps.push_back("fonts"); };
        hooks.Rebuild = [this] {
            model.UpdatePicExecute(RebuildSender::MainWindow);
            steps.push_back("rebuild");
        };
        hooks.SaveSettings = [this] {
            SaveSettings(model, services, 'S');
            steps.push_back("save");
        };
        hooks.UpdateProjectState = [this] {
            steps.push_back(model.Modified ? "state modified" : "state");
        };
        hooks.ZoomRecheck = [this] { steps.push_back("zoom 0"); };
        hooks.FitSizesToFonts = [this] { steps.push_back("fit"); };
    }

    std::string Ini() const {
        std::ifstream in(model.IniPath, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    bool Apply(const SettingsControls& c) { return ApplySettings(model, prompt, c, hooks); }

    SettingsApplyHooks hooks;
    std::vector<std::string> steps;
};

TEST_F(SettingsDialog, WithoutAProjectDefaultIsTickedAndGreyedAndApplyWritesTheFile) {
    SettingsControls c = LoadControls(model);
    EXPECT_TRUE(c.Default);
    EXPECT_FALSE(c.DefaultEnabled);
    c.Colors[0] = 0x123456;
    ASSERT_TRUE(Apply(c));
    EXPECT_EQ(steps, (std::vector<std::string>{"fonts", "rebuild", "save", "state modified",
                                               "zoom 0", "rebuild"}));
    EXPECT_NE(Ini().find("E01=1193046"), std::string::npos);
}

TEST_F(SettingsDialog, WithAProjectApplyMarksItModifiedAndLeavesTheFileAlone) {
    SaveSettings(model, services, 'S');
    const std::string before = Ini();
    OpenText(SampleProject);
    model.Modified = false;
    SettingsControls c = LoadControls(model);
    EXPECT_FALSE(c.Default);
    EXPECT_TRUE(c.DefaultEnabled);
    c.Colors[6] = 0x00FF00;
    c.Sizes[1] = 40;
    ASSERT_TRUE(Apply(c));
    EXPECT_TRUE(model.Modified);
    EXPECT_EQ(model.WireColor, 0x00FF00);
    EXPECT_EQ(model.LeftMargin, 40);
    EXPECT_EQ(Ini(), before);
    EXPECT_EQ(steps, (std::vector<std::string>{"fonts", "rebuild", "state modified", "zoom 0",
                                               "rebuild"}));
}

// Regression: new fonts with a project open kept the boxes at the old fonts' sizes, and the
// labels were clipped where a new project would have sized them to the fonts.
TEST_F(SettingsDialog, ACanvasFontChangedWithAProjectOpenSizesTheBoxesBeforeTheRebuild) {
    struct Case {
        const char* what;
        bool project;
        std::size_t font; // the dialog's font changed
        bool fitted;
    } cases[] = {
        {"an instance font with a project", true, 0, true},
        {"a port font with a project", true, 2, true},
        {"the variant font with a project", true, 4, true},
        {"the HDL font with a project", true, 6, false},
        {"the message font with a project", true, 7, false},
        {"a port font without a project", false, 1, false},
    };
    for (const Case& k : cases) {
        if (k.project)
            OpenText(SampleProject);
        else
            model.PrjOpen = false;
        SettingsControls c = LoadControls(model);
        ASSERT_TRUE(Apply(c));
        EXPECT_EQ(std::count(steps.begin(), steps.end(), "fit"), 0)
            << k.what << ": the same fonts keep the sizes, zoomed or not";
        steps.clear();
        c.Fonts[k.font].SetPoints(c.Fonts[k.font].Size + 4);
        ASSERT_TRUE(Apply(c));
        const std::vector<std::string> fitted =
            k.project ? std::vector<std::string>{"fonts",          "fit",    "rebuild",
                                                 "state modified", "zoom 0", "rebuild"}
                      : std::vector<std::string>{"fonts",          "rebuild", "save",
                                                 "state modified", "zoom 0",  "rebuild"};
        std::vector<std::string> expected = fitted;
        if (!k.fitted)
            std::erase(expected, "fit");
        EXPECT_EQ(steps, expected) << k.what;
        steps.clear();
    }
}

TEST_F(SettingsDialog, AnIllegalRuleKeepsThePreviousOneAndTheRestIsApplied) {
    struct Case {
        const char* inst;
        const char* wire;
        const char* instAfter;
        const char* wireAfter;
        const char* error; // empty: none
    } cases[] = {
        {"u_%M", "%P", "u_%M_%D", "%P", "Error: Found illegal naming rule for new instances."},
        {"9_%D", "%P", "u_%M_%D", "%P", "Error: Found illegal naming rule for new instances."},
        {"%M_%D", "w-%P", "%M_%D", "%P", "Error: Found illegal naming rule for new wires."},
        {"i%D", "net_%M", "i%D", "net_%M", ""},
    };
    for (const Case& k : cases) {
        model.InstNameRule = "u_%M_%D";
        model.WireNameRule = "%P";
        const std::size_t logged = Log().size();
        SettingsControls c = LoadControls(model);
        c.InstNameRule = k.inst;
        c.WireNameRule = k.wire;
        c.Fonts[0].Face = std::string("Face ") + k.inst;
        c.Colors[3] = 0x010203;
        c.Sizes[3] = 17;
        ASSERT_TRUE(Apply(c)) << k.inst;
        EXPECT_EQ(model.InstNameRule, k.instAfter) << k.inst;
        EXPECT_EQ(model.WireNameRule, k.wireAfter) << k.wire;
        EXPECT_EQ(model.MduFont.Face, std::string("Face ") + k.inst);
        EXPECT_EQ(model.FriendBrush, 0x010203);
        EXPECT_EQ(model.MduMargin, 17);
        const std::vector<std::string> added(Log().begin() + static_cast<long>(logged),
                                             Log().end());
        if (*k.error)
            EXPECT_EQ(added, std::vector<std::string>{k.error}) << k.inst;
        else
            EXPECT_TRUE(added.empty()) << k.inst;
    }
}

TEST_F(SettingsDialog, ReplaceTextsLoseBlanksAndTabsAndAPatternWithBothAnchorsIsEmptied) {
    SettingsControls c = LoadControls(model);
    c.ReplaceFrom = {"^a b$", " ^p_ ", "\tx\t$"};
    c.ReplaceWith = {"x$", "q r", "s"};
    ASSERT_TRUE(Apply(c));
    EXPECT_EQ(model.ReplaceFrom, (std::array<std::string, 3>{"", "^p_", "x$"}));
    EXPECT_EQ(model.ReplaceWith, (std::array<std::string, 3>{"x$", "qr", "s"}));
    EXPECT_TRUE(Logged("Error: ^ and $ can not appear at the same time in naming rules."));
}

TEST_F(SettingsDialog, TheValueOfOpenOutputsShowsNoneForAnythingUnknown) {
    struct Case {
        char member;
        const char* shown;
        char applied;
    } cases[] = {
        {'0', "0", '0'}, {'1', "1", '1'}, {'Z', "Z", 'Z'}, {'N', "NONE", 'N'}, {'q', "NONE", 'N'}};
    for (const Case& k : cases) {
        model.AssignOpenOut = k.member;
        SettingsControls c = LoadControls(model);
        EXPECT_EQ(c.AssignOpenOut, k.shown) << k.member;
        ASSERT_TRUE(Apply(c));
        EXPECT_EQ(model.AssignOpenOut, k.applied) << k.member;
    }
    SettingsControls c = LoadControls(model);
    c.AssignOpenOut.clear();
    ASSERT_TRUE(Apply(c));
    EXPECT_EQ(model.AssignOpenOut, 'N');
}

TEST_F(SettingsDialog, AnUnwritableWorkDirectoryIsToldAndNothingIsApplied) {
    SettingsControls c = LoadControls(model);
    EXPECT_TRUE(c.CancelEnabled);
    c.WorkDir = dir.Path("missing");
    c.Colors[0] = 0x123456;
    prompt.ExpectMessage("Can not write to the directory " + dir.Path("missing") +
                         ". Please set a valid work directory.");
    EXPECT_FALSE(Apply(c));
    EXPECT_TRUE(steps.empty());
    EXPECT_NE(model.BackColor, 0x123456);
    EXPECT_EQ(model.WorkDir, dir.Dir());
    EXPECT_FALSE(platform::FileExists(model.IniPath));

    model.WorkDir = dir.Path("missing/");
    EXPECT_FALSE(LoadControls(model).CancelEnabled);
}

TEST_F(SettingsDialog, TheWorkDirectoryEndsInASlashWhateverItWasTypedWith) {
    std::filesystem::create_directories(dir.Path("work"));
    for (const std::string& typed : {dir.Path("work"), dir.Path("work/"), dir.Path("work\\")}) {
        SettingsControls c = LoadControls(model);
        c.WorkDir = typed;
        ASSERT_TRUE(Apply(c)) << typed;
        EXPECT_EQ(model.WorkDir, dir.Path("work/")) << typed;
    }
    EXPECT_EQ(WithDirSeparator("C:\\work\\"), "C:\\work/");
    EXPECT_EQ(WithDirSeparator(""), "");
}

TEST_F(SettingsDialog, SizesOutsideTheirSpinsShowAtTheNearestEnd) {
    model.MaxViewHeight = 100;
    model.PrtMargin = 500;
    model.WireEndSize = INT_MIN;
    SettingsControls c = LoadControls(model);
    EXPECT_EQ(c.Sizes[8], 300);
    EXPECT_EQ(c.Sizes[6], 100);
    EXPECT_EQ(c.Sizes[7], 1);
    c.Sizes[2] = 100000; // typed past the arrows' end
    ASSERT_TRUE(Apply(c));
    EXPECT_EQ(model.MaxViewHeight, 300);
    EXPECT_EQ(model.PrtMargin, 100);
    EXPECT_EQ(model.TopMargin, 300);
}

TEST_F(SettingsDialog, AProxyPortThatIsNoNumberIsLoggedAndTheOldOneStays) {
    model.ProxyPort = 3128;
    SettingsControls c = LoadControls(model);
    EXPECT_EQ(c.ProxyPort, "3128");
    c.ProxyPort = "80a";
    c.ProxyUser = "me";
    ASSERT_TRUE(Apply(c));
    EXPECT_EQ(model.ProxyPort, 3128);
    EXPECT_EQ(model.ProxyUser, "me");
    EXPECT_TRUE(Logged("Error: Need an integer for proxy port."));
}

TEST_F(SettingsDialog, EachColourSizeAndFontReachesItsMemberAndIsSavedUnderItsKey) {
    // The "Color" and "Size" pages as the settings file keys them.
    struct Row {
        const char* key;
        int ProjectModel::*member;
    };
    const Row colors[] = {
        {"E01", &ProjectModel::BackColor},      {"E02", &ProjectModel::PointedBrush},
        {"E03", &ProjectModel::PointedPen},     {"E04", &ProjectModel::FriendBrush},
        {"E05", &ProjectModel::FriendPen},      {"E06", &ProjectModel::UnmatchedColor},
        {"E07", &ProjectModel::WireColor},      {"E08", &ProjectModel::WireEndColor},
        {"E09", &ProjectModel::SmartWireColor}, {"E10", &ProjectModel::SmartMarkColor},
        {"E11", &ProjectModel::LoneColor},      {"E11A", &ProjectModel::MainPrtColor},
    };
    const Row sizes[] = {
        {"F01", &ProjectModel::AutoScrollStep}, {"F02", &ProjectModel::LeftMargin},
        {"F03", &ProjectModel::TopMargin},      {"F04", &ProjectModel::MduMargin},
        {"F05", &ProjectModel::ColMargin},      {"F06", &ProjectModel::MduPrtMargin},
        {"F07", &ProjectModel::PrtMargin},      {"F08", &ProjectModel::WireEndSize},
        {"F09", &ProjectModel::MaxViewHeight},  {"F10", &ProjectModel::CompactMargin},
    };
    const char* const fontSections[] = {"FA", "FB", "FC", "FD", "FE", "FF", "FG", "FH"};
    FontValue* const fonts[] = {&model.MduFont,         &model.InFont,         &model.OutFont,
                                &model.InoutFont,       &model.VarFont,        &model.ParaMduFont,
                                &model.AppMisc.HdlFont, &model.AppMisc.MsgFont};

    SettingsControls c = LoadControls(model);
    for (std::size_t i = 0; i < 12; ++i)
        c.Colors[i] = 0x010100 + static_cast<int>(i);
    for (std::size_t i = 0; i < 10; ++i)
        c.Sizes[i] = 301 + static_cast<int>(i); // past every range but the largest view's
    for (std::size_t i = 0; i < 8; ++i)
        c.Fonts[i].Face = "Face " + std::to_string(i);
    ASSERT_TRUE(Apply(c)); // without a project "Default" is ticked: the file is written

    platform::IniFile ini(model.IniPath);
    ASSERT_TRUE(ini.Load());
    for (std::size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(model.*colors[i].member, 0x010100 + static_cast<int>(i)) << colors[i].key;
        EXPECT_EQ(ini.ReadInteger("QVsetting", colors[i].key, -1), 0x010100 + static_cast<int>(i))
            << colors[i].key;
    }
    const int clamped[] = {100, 300, 300, 300, 300, 300, 100, 50, 309, 300};
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(model.*sizes[i].member, clamped[i]) << sizes[i].key;
        EXPECT_EQ(ini.ReadInteger("QVsetting", sizes[i].key, -1), clamped[i]) << sizes[i].key;
    }
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(fonts[i]->Face, "Face " + std::to_string(i)) << fontSections[i];
        EXPECT_EQ(ini.ReadString(fontSections[i], "F2", ""), "Face " + std::to_string(i))
            << fontSections[i];
    }
    // Opened again, the dialog shows what it applied, in the same places.
    const SettingsControls again = LoadControls(model);
    EXPECT_EQ(again.Colors, c.Colors);
    EXPECT_EQ(again.Sizes, (std::array<int, 10>{100, 300, 300, 300, 300, 300, 100, 50, 309, 300}));
    EXPECT_EQ(again.Fonts, c.Fonts);
}

} // namespace
