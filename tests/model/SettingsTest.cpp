// The settings file: defaults, value forms, checks on loading, the two save modes, the guestbook
// day and failed writes.
#include "editor/model/Settings.h"

#include "ModelFileFixture.h"
#include "platform/IniFile.h"
#include "platform/TextFile.h"

#include <sys/stat.h>

using Texts = std::vector<std::string>;

namespace {

const char* const GuestbookQuestion =
    "Your opinion is very important to us. Do you want to sign our online guestbook now?";

} // namespace

class SettingsTest : public ModelFileFixture {
protected:
    std::string IniPath() const { return dir.Path("zun2012.ini"); }
    void WriteIni(const std::string& text) { WriteBytes(IniPath(), text); }
    void Load() {
        model.IniPath = IniPath();
        LoadSettings(model, services);
    }
    // A settings file with one QVsetting value.
    void LoadWith(const std::string& key, const std::string& value) {
        WriteIni("[QVsetting]\n" + key + "=" + value + "\n");
        Load();
    }
    std::string Value(const std::string& section, const std::string& key) {
        platform::IniFile ini(IniPath());
        ini.Load();
        return ini.ReadString(section, key, "<missing>");
    }
};

TEST_F(SettingsTest, WithoutASettingsFileEveryMemberTakesItsDefault) {
    model.BackColor = 1;
    model.AutoScrollStep = 2;
    model.MduFont.Bold = true;
    model.RecentList = {"/stale.zun"};
    model.InstNameRule = "x";
    LoadSettings(model, services);
    EXPECT_EQ(model.IniPath, dir.Path("zun2012.ini"));
    EXPECT_EQ(Log().front(), "Error: Can not find file " + dir.Path("zun2012.ini") + ".");
    EXPECT_EQ(model.BackColor, -2147483626);
    EXPECT_EQ(model.FriendPen, 0x275242);
    EXPECT_EQ(model.MainPrtColor, 0x0000FF);
    EXPECT_EQ(model.AutoScrollStep, 20);
    EXPECT_EQ(model.MaxViewHeight, 800);
    EXPECT_EQ(model.PrtWidth, 40);
    EXPECT_EQ(model.MduFont, FontValue{});
    EXPECT_EQ(model.AppMisc.MsgFont, FontValue{});
    EXPECT_TRUE(model.InternalEditor);
    EXPECT_TRUE(model.ConfirmParam);
    EXPECT_TRUE(model.StrictRule);
    EXPECT_TRUE(model.DirectConn);
    EXPECT_EQ(model.ProxyPort, 8080);
    EXPECT_EQ(model.AssignOpenOut, 'N');
    EXPECT_EQ(model.InstNameRule, "u_%M_%D");
    EXPECT_EQ(model.WireNameRule, "%P");
    EXPECT_EQ(model.WorkDir, model.AppDir);
    EXPECT_EQ(model.AppMisc.NewModuleProgram, model.AppDir + "qem");
    EXPECT_EQ(model.AppMisc.GenBox, 0);
    EXPECT_EQ(model.AppMisc.Recnet, 0);
    EXPECT_TRUE(model.RecentList.empty());
    EXPECT_EQ(settingsDialogs, 0);
    EXPECT_EQ(Log().size(), 1u);
}

TEST_F(SettingsTest, AnIniPathWhoseFileIsMissingFallsBackToTheDefaultFile) {
    WriteIni("[QVsetting]\nF01=7\n");
    model.IniPath = dir.Path("other.ini");
    LoadSettings(model, services);
    EXPECT_EQ(model.IniPath, IniPath());
    EXPECT_EQ(model.AutoScrollStep, 7);
    EXPECT_EQ(Log().front(), "Info: Load the INI file: " + IniPath() + ".");
}

TEST_F(SettingsTest, ReadsColoursInEveryValueForm) {
    struct Case {
        const char* name;
        const char* value;
        int expected;
    };
    const Case cases[] = {
        {"decimal", "16711680", 0xFF0000},     {"signed system colour", "-2147483633", -2147483633},
        {"0x hex", "0x80000016", -2147483626}, {"dollar hex", "$00FF00", 0x00FF00},
        {"not a number", "blue", 0xFF8080},    {"empty", "", 0xFF8080},
        {"overflow", "4294967296", 0xFF8080},
    };
    for (const Case& c : cases) {
        LoadWith("e02", c.value);
        EXPECT_EQ(model.PointedBrush, c.expected) << c.name;
    }
}

TEST_F(SettingsTest, ChecksTheNamingRulesAsTheyAreLoaded) {
    struct Case {
        const char* name;
        const char* key;
        const char* value;
        const char* expected;
        const char* error; // empty: none
    };
    const Case cases[] = {
        {"instance rule with %D", "E26", "%M_%D", "%M_%D", ""},
        {"instance rule without %D", "E26", "u_%M", "u_%M_%D",
         "Error: Found illegal naming rule for new instances."},
        {"instance rule beginning with a digit", "E26", "9_%D", "u_%M_%D",
         "Error: Found illegal naming rule for new instances."},
        {"instance rule beginning with $", "E26", "$x%D", "u_%M_%D",
         "Error: Found illegal naming rule for new instances."},
        {"instance rule of percent signs only", "E26", "%%", "u_%M_%D",
         "Error: Found illegal naming rule for new instances."},
        {"wire rule with a minus sign", "E27", "w-%P", "%P",
         "Error: Found illegal naming rule for new wires."},
        {"wire rule without %P", "E27", "net_%M", "net_%M", ""},
        {"wire rule empty", "E27", "", "%P", "Error: Found illegal naming rule for new wires."},
    };
    for (const Case& c : cases) {
        model.Log.ClearLog();
        LoadWith(c.key, c.value);
        const std::string& got =
            std::string(c.key) == "E26" ? model.InstNameRule : model.WireNameRule;
        EXPECT_EQ(got, c.expected) << c.name;
        Texts errors;
        for (const std::string& l : Log())
            if (l.rfind("Error: ", 0) == 0)
                errors.push_back(l);
        EXPECT_EQ(errors, std::string(c.error).empty() ? Texts{} : Texts{c.error}) << c.name;
    }
}

TEST_F(SettingsTest, ReplacePatternsLoseBlanksAndTabsAndMayNotHoldBothAnchors) {
    WriteIni("[QVsetting]\nE28=^a b$\nE29=_n\t\nE30= x $\nE31=x$\nE32=y y\nE33=^z\n");
    Load();
    EXPECT_EQ(model.ReplaceFrom[0], "");
    EXPECT_EQ(model.ReplaceFrom[1], "_n");
    EXPECT_EQ(model.ReplaceFrom[2], "x$");
    EXPECT_EQ(model.ReplaceWith[0], "x$");
    EXPECT_EQ(model.ReplaceWith[1], "yy");
    EXPECT_EQ(model.ReplaceWith[2], "^z");
    EXPECT_EQ(std::count(Log().begin(), Log().end(),
                         "Error: ^ and $ can not appear at the same time in naming rules."),
              1);
}

TEST_F(SettingsTest, TheOpenOutputValueIsTheFirstCharacterOfItsText) {
    const std::pair<const char*, char> cases[] = {{"Z1", 'Z'}, {"", 'N'}, {"q", 'q'}, {"0", '0'}};
    for (const auto& [value, expected] : cases) {
        LoadWith("E18", value);
        EXPECT_EQ(model.AssignOpenOut, expected) << "\"" << value << "\"";
    }
}

TEST_F(SettingsTest, TheWorkDirectoryGetsItsSlashAndIsTestedForWriting) {
    ASSERT_EQ(::mkdir(dir.Path("work").c_str(), 0755), 0);
    LoadWith("E16", dir.Path("work"));
    EXPECT_EQ(model.WorkDir, dir.Path("work") + "/");
    EXPECT_EQ(settingsDialogs, 0);
    LoadWith("E16", dir.Path("work/"));
    EXPECT_EQ(model.WorkDir, dir.Path("work/"));
    EXPECT_EQ(settingsDialogs, 0);
    // A trailing backslash used to stay, so the work files landed beside the directory as
    // "work\qvprj.zun".
    LoadWith("E16", dir.Path("work") + "\\");
    EXPECT_EQ(model.WorkDir, dir.Path("work/"));
    EXPECT_EQ(settingsDialogs, 0);

    model.Log.ClearLog();
    LoadWith("E16", "");
    EXPECT_EQ(model.WorkDir, "");
    EXPECT_EQ(settingsDialogs, 1);
    EXPECT_TRUE(Logged("Error: Can not write to the directory . Please set a valid work "
                       "directory."));
    LoadWith("E16", dir.Path("gone"));
    EXPECT_EQ(settingsDialogs, 2);
}

TEST_F(SettingsTest, WithoutASettingsDialogTheUnwritableWorkDirectoryIsShownInAMessage) {
    services.OpenSettingsDialog = nullptr;
    std::string text =
        "Can not write to the directory /nonexistent/. Please set a valid work directory.";
    prompt.ExpectMessage(text);
    LoadWith("E16", "/nonexistent");
    EXPECT_TRUE(Logged("Error: " + text));
}

TEST_F(SettingsTest, RecentProjectsAreReadInKeyOrderSkippingEmptyKeys) {
    WriteIni("[QVsetting]\nRecnetProject1=/a.zun\nRecnetProject2=\nRecnetProject3=/c.zun\n"
             "RecnetProject10=/ten.zun\n");
    Load();
    EXPECT_EQ(model.RecentList, (Texts{"/a.zun", "/c.zun"}));
    ASSERT_TRUE(SaveSettings(model, services, 'R'));
    EXPECT_EQ(Value("QVsetting", "RecnetProject1"), "/a.zun");
    EXPECT_EQ(Value("QVsetting", "RecnetProject2"), "/c.zun");
    EXPECT_EQ(Value("QVsetting", "RecnetProject3"), "");
    EXPECT_EQ(Value("QVsetting", "RecnetProject9"), "");
}

TEST_F(SettingsTest, OnlyTheFirstNineOfTwelveRecentProjectsAreStored) {
    model.IniPath = IniPath();
    for (int i = 0; i < 12; ++i)
        model.RecentList.push_back("/p" + std::to_string(i) + ".zun");
    ASSERT_TRUE(SaveSettings(model, services, 'R'));
    for (int k = 1; k <= 9; ++k)
        EXPECT_EQ(Value("QVsetting", "RecnetProject" + std::to_string(k)),
                  "/p" + std::to_string(k - 1) + ".zun");
    EXPECT_EQ(Value("QVsetting", "RecnetProject10"), "<missing>");
    EXPECT_EQ(model.RecentList.size(), 12u);
}

TEST_F(SettingsTest, TheGuestbookQuestionComesOnlyAfterMoreThan30Days) {
    struct Case {
        const char* name;
        int recnet;
        bool asked;
        bool answer;
        int stored; // the "Recnet" value afterwards
    };
    const int now = static_cast<int>(today);
    const Case cases[] = {
        {"first save stores today", 0, false, false, now},
        {"30 days ago", now - 30, false, false, now - 30},
        {"31 days ago, answered No", now - 31, true, false, now},
        {"31 days ago, answered Yes", now - 31, true, true, now},
        {"in the future", now + 400, false, false, now + 400},
    };
    for (const Case& c : cases) {
        WriteIni("[QVsetting]\nRecnet=" + std::to_string(c.recnet) + "\n");
        model.IniPath = IniPath();
        model.AppMisc.Recnet = c.recnet;
        opened.clear();
        windowShown.clear();
        if (c.asked)
            prompt.ExpectYesNo(GuestbookQuestion, c.answer);
        ASSERT_TRUE(SaveSettings(model, services, 'R')) << c.name;
        EXPECT_TRUE(prompt.Done()) << c.name;
        EXPECT_EQ(model.AppMisc.Recnet, c.stored) << c.name;
        EXPECT_EQ(Value("QVsetting", "Recnet"), std::to_string(c.stored)) << c.name;
        std::vector<bool> shown = c.asked ? std::vector<bool>{false, true} : std::vector<bool>{};
        EXPECT_EQ(windowShown, shown) << c.name;
        EXPECT_EQ(opened, c.answer ? Texts{GuestbookAddress} : Texts{}) << c.name;
    }
}

// "today > Recnet + 30" overflowed for a hand-edited value near the 32-bit limit.
TEST_F(SettingsTest, AHandEditedRecnetNearThe32BitLimitDoesNotOverflow) {
    EXPECT_FALSE(GuestbookDue(today, 2147483647));
    EXPECT_TRUE(GuestbookDue(today, -2147483647 - 1));
    EXPECT_FALSE(GuestbookDue(100, 70));
    EXPECT_TRUE(GuestbookDue(101, 70));
    model.IniPath = IniPath();
    model.AppMisc.Recnet = 2147483647;
    ASSERT_TRUE(SaveSettings(model, services, 'R')); // no question scripted
    EXPECT_EQ(model.AppMisc.Recnet, 2147483647);
}

TEST_F(SettingsTest, ModeSWritesEverySettingAndAFreshLoadGetsThemBack) {
    WriteIni("; kept\n[QVsetting]\nUnknownKey=stays\nGenBox=5\nRecnetProject1=/r.zun\n"
             "[Mine]\na=b\n");
    model.IniPath = IniPath();
    model.MduFont = {0, "Sans", 0x123456, 13, true, true, false, false};
    model.AppMisc.HdlFont.StrikeOut = true;
    model.BackColor = -2147483633;
    model.MainPrtColor = 42;
    model.InternalEditor = false;
    model.EditorProgram = "/usr/bin/gvim";
    model.EditorParams = "-f %F";
    model.ConfirmParam = false;
    model.WorkDir = dir.Dir();
    model.StrictRule = false;
    model.AssignOpenOut = '1';
    model.DirectConn = false;
    model.ProxyHost = "proxy";
    model.ProxyPort = 3128;
    model.ProxyUser = "me";
    model.ProxyPassword = "secret";
    model.InstNameRule = "i_%M_%D";
    model.WireNameRule = "w_%P";
    model.ReplaceFrom = {"^a", "b$", "c"};
    model.ReplaceWith = {"x", "y", "z"};
    model.AutoScrollStep = 31;
    model.BottomSlack = 17;
    model.AppMisc.GenBox = 99;
    ASSERT_TRUE(SaveSettings(model, services, 'S'));

    EXPECT_EQ(Value("QVsetting", "UnknownKey"), "stays");
    EXPECT_EQ(Value("Mine", "a"), "b");
    EXPECT_EQ(Value("QVsetting", "GenBox"), "5"); // not written in this mode
    EXPECT_EQ(Value("QVsetting", "E01"), "-2147483633");
    EXPECT_EQ(Value("QVsetting", "E12"), "0");
    EXPECT_EQ(Value("QVsetting", "E18"), "1");
    EXPECT_EQ(Value("QVsetting", "E24"), "<missing>");
    EXPECT_EQ(Value("QVsetting", "Recnet"), "<missing>");
    EXPECT_EQ(Value("FA", "F5"), "1");

    ProjectModel back;
    back.AppDir = model.AppDir;
    back.IniPath = IniPath();
    LoadSettings(back, services);
    for (auto [a, b] : {std::pair{&back.MduFont, &model.MduFont},
                        std::pair{&back.AppMisc.HdlFont, &model.AppMisc.HdlFont}})
        EXPECT_EQ(*a, *b);
    EXPECT_EQ(back.BackColor, model.BackColor);
    EXPECT_EQ(back.MainPrtColor, 42);
    EXPECT_FALSE(back.InternalEditor);
    EXPECT_EQ(back.EditorProgram, "/usr/bin/gvim");
    EXPECT_EQ(back.EditorParams, "-f %F");
    EXPECT_FALSE(back.ConfirmParam);
    EXPECT_EQ(back.WorkDir, dir.Dir());
    EXPECT_FALSE(back.StrictRule);
    EXPECT_EQ(back.AssignOpenOut, '1');
    EXPECT_FALSE(back.DirectConn);
    EXPECT_EQ(back.ProxyHost, "proxy");
    EXPECT_EQ(back.ProxyPort, 3128);
    EXPECT_EQ(back.ProxyUser, "me");
    EXPECT_EQ(back.ProxyPassword, "secret");
    EXPECT_EQ(back.InstNameRule, "i_%M_%D");
    EXPECT_EQ(back.WireNameRule, "w_%P");
    EXPECT_EQ(back.ReplaceFrom, model.ReplaceFrom);
    EXPECT_EQ(back.ReplaceWith, model.ReplaceWith);
    EXPECT_EQ(back.AutoScrollStep, 31);
    EXPECT_EQ(back.BottomSlack, 17);
    EXPECT_EQ(back.AppMisc.GenBox, 5);
    EXPECT_EQ(back.RecentList, Texts{"/r.zun"});
}

TEST_F(SettingsTest, ModeRWritesNoOtherSettingAndAnyOtherModeWritesNothing) {
    WriteIni("[QVsetting]\nE01=7\n");
    model.IniPath = IniPath();
    model.BackColor = 1;
    model.AppMisc.GenBox = 3;
    model.AppMisc.Recnet = static_cast<int>(today);
    ASSERT_TRUE(SaveSettings(model, services, 'R'));
    EXPECT_EQ(Value("QVsetting", "E01"), "7");
    EXPECT_EQ(Value("QVsetting", "GenBox"), "3");
    EXPECT_EQ(Value("FA", "F1"), "<missing>");
    std::string before = ReadBytes(IniPath());
    EXPECT_FALSE(SaveSettings(model, services, 'X'));
    EXPECT_EQ(ReadBytes(IniPath()), before);
}

TEST_F(SettingsTest, AFontSectionSetsExactlyTheStylesThatReadTrue) {
    WriteIni("[FB]\nF5=1\n");
    model.InFont.Italic = true;
    model.InFont.Underline = true;
    Load();
    EXPECT_TRUE(model.InFont.Bold);
    EXPECT_FALSE(model.InFont.Italic);
    EXPECT_FALSE(model.InFont.Underline);
    EXPECT_FALSE(model.InFont.StrikeOut);
    EXPECT_EQ(model.InFont.Face, "MS Sans Serif");
}

// A failed write of the settings file must change neither the file nor any member.
TEST_F(SettingsTest, AReadOnlySettingsFileIsReportedAndNothingChanges) {
    std::string text = "[QVsetting]\nE01=7\n";
    WriteIni(text);
    ::chmod(IniPath().c_str(), 0444);
    model.IniPath = IniPath();
    model.AppMisc.Recnet = 0;
    model.RecentList = {"/a.zun"};
    std::string message = "Fail to modify the file " + IniPath() +
                          ". If you do not have such privilege, try to start ZUN2012 with another "
                          "INI file by the command line option \"-ini\".";
    prompt.ExpectMessage(message).ExpectMessage(message);
    EXPECT_FALSE(SaveSettings(model, services, 'S'));
    EXPECT_FALSE(SaveSettings(model, services, 'R'));
    EXPECT_EQ(model.AppMisc.Recnet, 0);
    EXPECT_EQ(ReadBytes(IniPath()), text);
    EXPECT_EQ(dir.Names(), Texts{"zun2012.ini"});
}

// A settings file that could not be read was replaced by the few keys of the save, losing every
// other setting in it.
TEST_F(SettingsTest, ASettingsFileThatCannotBeReadIsNotReplaced) {
    std::string sub = dir.Path("conf");
    ASSERT_EQ(::mkdir(sub.c_str(), 0777), 0);
    ::chmod(sub.c_str(), 0777);
    std::string path = sub + "/zun2012.ini";
    std::string text = "[QVsetting]\nE01=7\nE16=/mine/\n[FA]\nF2=Mono\n";
    WriteBytes(path, text);
    ::chmod(path.c_str(), 0222); // writable, not readable
    int result = RunUnprivileged([&] {
        ScriptedPrompt childPrompt;
        childPrompt.ExpectMessage("Fail to modify the file " + path +
                                  ". If you do not have such privilege, try to start ZUN2012 "
                                  "with another INI file by the command line option \"-ini\".");
        services.prompt = &childPrompt;
        model.IniPath = path;
        model.RecentList = {"/a.zun"};
        model.AppMisc.Recnet = 0;
        bool saved = SaveSettings(model, services, 'R');
        return (saved ? 1 : 0) | (childPrompt.Done() ? 0 : 2) | (model.AppMisc.Recnet == 0 ? 0 : 4);
    });
    EXPECT_EQ(result, 0);
    ::chmod(path.c_str(), 0644);
    EXPECT_EQ(ReadBytes(path), text);
}

TEST_F(SettingsTest, AnUnwritableProgramDirectorySendsSettingsAndWorkToThePerUserPlaces) {
    std::string config = dir.Path("config");
    std::string cache = dir.Path("cache");
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    model.AppDir = "/nonexistent/zun/bin/";
    LoadSettings(model, services);
    EXPECT_EQ(model.IniPath, config + "/zun/zun2012.ini");
    EXPECT_EQ(model.WorkDir, cache + "/zun/");
    EXPECT_TRUE(platform::DirectoryExists(cache + "/zun"));
    EXPECT_EQ(settingsDialogs, 0);
    model.AppMisc.Recnet = static_cast<int>(today);
    EXPECT_TRUE(SaveSettings(model, services, 'R'));
    EXPECT_TRUE(platform::FileExists(config + "/zun/zun2012.ini"));
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_CACHE_HOME");
}

TEST_F(SettingsTest, AFailedSettingsWriteLogsTheFileAndTheReasonBeforeItsMessage) {
    WriteIni("[QVsetting]\nE01=7\n");
    ::chmod(IniPath().c_str(), 0444);
    model.IniPath = IniPath();
    std::vector<std::string> logAtMessage;
    prompt.OnShow = [&](const std::string&) { logAtMessage = model.Log.Lines(); };
    prompt.ExpectMessage("");
    EXPECT_FALSE(SaveSettings(model, services, 'R'));
    EXPECT_EQ(logAtMessage, (std::vector<std::string>{"Error: File operation failed.",
                                                      "Error: Cannot write " + IniPath() +
                                                          ": Permission denied."}));
}

// Regression: a writable settings file in a folder the user may not write (an installed
// program's, say) could not be saved, as the atomic save's temporary file needs the folder.
TEST_F(SettingsTest, AWritableSettingsFileInAReadOnlyFolderIsSavedInPlaceAndTheLogSaysSo) {
    const std::string sub = dir.Path("conf");
    ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
    const std::string path = sub + "/zun2012.ini";
    WriteBytes(path, "[QVsetting]\nE01=7\n[Mine]\nkeep=1\n");
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(sub.c_str(), 0555), 0);
    model.IniPath = path;
    model.BackColor = 12345;
    const int result = RunUnprivileged([&] {
        const bool saved = SaveSettings(model, services, 'S');
        const bool logged = model.Log.Lines() ==
                            Texts{"Warning: Saved " + path +
                                  " without a temporary copy: its folder can not be written, so "
                                  "the file was rewritten in place."};
        return (saved ? 0 : 1) | (logged ? 0 : 2);
    });
    EXPECT_EQ(result, 0);
    platform::IniFile ini(path);
    ASSERT_TRUE(ini.Load());
    EXPECT_EQ(ini.ReadString("QVsetting", "E01", ""), "12345");
    EXPECT_EQ(ini.ReadString("Mine", "keep", ""), "1");
    EXPECT_EQ(TempDir::ListNames(sub), Texts{"zun2012.ini"});
}
