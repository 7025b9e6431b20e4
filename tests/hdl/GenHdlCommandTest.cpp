// The command "Generate HDL Code" with a scripted dialog and prompts, against the stand-in engine:
// GenBox, the options dialog's rules, the rename, the save first, the busy guard and what the
// generated-text window is given.
#include "editor/hdl/GenHdlCommand.h"

#include "FakeEngine.h"
#include "editor/model/Documents.h"
#include "editor/model/ProjectFile.h"
#include "model/ModelText.h"
#include "platform/TextLines.h"
#include "support/EngineWorkFiles.h"
#include "support/FileFixtures.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using Lines = std::vector<std::string>;

TEST(GenBox, IsReadAsUnsignedBits) {
    struct Case {
        int value;
        bool skip;
        int language;
        int choice;
    };
    const Case cases[] = {
        {0, false, Verilog2001, FullSourceCode}, {1, true, Verilog2001, FullSourceCode},
        {2, false, Verilog1995, FullSourceCode}, {6, false, NoLanguage, FullSourceCode},
        {9, true, Verilog2001, FrameworkOnly},   {12, false, VhdlLanguage, FrameworkOnly},
        {-1, true, NoLanguage, FrameworkOnly},   {16 + 4, false, VhdlLanguage, FullSourceCode},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const GenBoxChoices d = DecodeGenBox(c.value);
        EXPECT_EQ(d.SkipDialog, c.skip);
        EXPECT_EQ(d.Language, c.language);
        EXPECT_EQ(d.Choice, c.choice);
    }
    EXPECT_EQ(EncodeGenBox(Verilog1995, FullSourceCode), 2);
    EXPECT_EQ(EncodeGenBox(VhdlLanguage, FrameworkOnly), 12);
}

TEST(ConnectForm, FullSourceOffersNoVerilog2001) {
    ConnectForm form;
    form.FrameworkEnabled = true;
    form.FormShow();
    EXPECT_FALSE(form.RadioButton1Enabled);
    EXPECT_EQ(form.CheckedLanguage(), Verilog1995);

    form.RadioGroup1 = FrameworkOnly;
    form.RadioGroup1Click();
    EXPECT_TRUE(form.RadioButton1Enabled);
    form.CheckLanguage(Verilog2001);
    // Back to full source while 2001 is checked moves the check to 1995.
    form.RadioGroup1 = FullSourceCode;
    form.RadioGroup1Click();
    EXPECT_FALSE(form.RadioButton1Enabled);
    EXPECT_EQ(form.RadioButtonChecked, (std::array<bool, 3>{false, true, false}));

    form.CheckLanguage(VhdlLanguage);
    form.CheckLanguage(NoLanguage);
    EXPECT_EQ(form.CheckedLanguage(), VhdlLanguage) << "NoLanguage keeps the checked button";
}

TEST(ConnectForm, OkRefusesATitleThatIsNoIdentifier) {
    const std::pair<const char*, bool> cases[] = {
        {"", true},      {"new_top", true}, {"_t1", true},    {"1top", false},
        {"../x", false}, {"a/b", false},    {"top v", false}, {"$t", false},
    };
    for (const auto& [title, ok] : cases) {
        SCOPED_TRACE(title);
        ConnectForm form;
        form.LE_RenTM = title;
        ScriptedPrompt prompt;
        if (!ok)
            prompt.ExpectMessage("Invalid top module name.");
        EXPECT_EQ(form.BitBtn1Click(prompt), ok);
    }
}

const char* const Project = "TOP\t\ttop\n"
                            "INPUT\t\t\tclk\n"
                            "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
                            "INPUT\t\t\tclk\n"
                            "WIRE\tu1\tclk\ttop\tclk\tclk\n";

const char* const Finished = "\r\nmodule top(\r\n//Instantiate cell modules\r\ncore u1(\r\n"
                             "\t.clk (clk))\r\n);\r\nwire  clk;";

class GenHdlCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root_ / "work");
        engine_.Mode("write", Finished);
        runner_.SetWatchdog(20s);
        m.WorkDir = (root_ / "work").string() + "/";
        m.LineList = LinesFromText(Project);
        m.PrjOpen = true;
        m.PrjFileName = (root_ / "top.zun").string();
        WriteBytes(m.PrjFileName, "saved");
        m.UpdatePicExecute(RebuildSender::MainWindow);
        m.ClearLog();
        services_.prompt = &prompt_;
        cmd_.ShowConnect = [this](ConnectForm& form) {
            ++dialogs_;
            shown_ = form;
            return answer_ ? answer_(form) : true;
        };
        cmd_.UpdatePicExecute = [this] {
            ++rebuilds_;
            m.UpdatePicExecute(RebuildSender::MainWindow);
        };
        cmd_.FileSavePrjExecute = [this] { FileSavePrjExecute(m, services_); };
        cmd_.SetGenActionsEnabled = [this](bool on) { actions_.push_back(on); };
        cmd_.SetBusyCursor = [this](bool busy) { cursor_.push_back(busy); };
        window_.Show = [this] { ++windows_; };
    }
    std::string TopField3() const { return m.LineList[0][3]; }
    const Lines& Log() const { return m.Log.Lines(); }

    TempDir scratch_;
    fs::path root_{scratch_.Root()};
    FakeEngine engine_{root_ / "program"};
    ProjectModel m;
    ScriptedPrompt prompt_;
    EditorServices services_;
    EngineRunner runner_{(root_ / "program").string(), (root_ / "work").string()};
    TopGenerator gen_{m, runner_};
    GenTextModel window_{m, prompt_};
    GenHdlCommand cmd_{m, prompt_, gen_, window_};

    std::function<bool(ConnectForm&)> answer_;
    ConnectForm shown_;
    int dialogs_ = 0;
    int rebuilds_ = 0;
    int windows_ = 0;
    std::vector<bool> actions_;
    std::vector<bool> cursor_;
};

TEST_F(GenHdlCommandTest, DefaultGenBoxOpensOnFullSourceVerilog1995AndOkStoresTwo) {
    cmd_.GenHDLExecute();
    EXPECT_EQ(dialogs_, 1);
    EXPECT_EQ(shown_.RadioGroup1, FullSourceCode);
    EXPECT_EQ(shown_.RadioButtonChecked, (std::array<bool, 3>{false, true, false}));
    EXPECT_FALSE(shown_.RadioButton1Enabled);
    EXPECT_FALSE(shown_.FrameworkEnabled) << "no framework generator yet";
    EXPECT_EQ(shown_.LE_RenTM, "top");
    EXPECT_EQ(m.AppMisc.GenBox, 2);

    EXPECT_EQ(windows_, 1);
    EXPECT_EQ(window_.Caption, "top.v");
    EXPECT_EQ(window_.SaveFileName, "top.v");
    EXPECT_EQ(window_.SaveFilterIndex, VerilogFilter);
    EXPECT_EQ(window_.GenStyle, PlainTextStyle);
    EXPECT_FALSE(window_.CstmPrtMode);
    Lines expected = platform::SplitLines(VerilogBanner);
    ASSERT_EQ(expected.size(), 3u);
    EXPECT_EQ(expected[0].rfind("// Generated by ZUN2012.", 0), 0u);
    EXPECT_NE(expected[1].find("zun.example.org"), std::string::npos);
    for (const char* line : {"", "module top(", "wire  clk;", "//Instantiate cell modules",
                             "core u1(", "\t.clk (clk))", ");", "", "endmodule"})
        expected.push_back(line);
    EXPECT_EQ(window_.Lines, expected);
    EXPECT_EQ(Log(), (Lines{"--Action: Generate Verilog HDL Code...",
                            "--Action: Generate Verilog HDL Code.",
                            "Info: Total 8 lines of code are generated."}));
    EXPECT_EQ(actions_, (std::vector<bool>{false, true}));
    EXPECT_EQ(cursor_, (std::vector<bool>{true, false}));
    EXPECT_FALSE(cmd_.GenBusy());
}

TEST_F(GenHdlCommandTest, GenBoxValues) {
    struct Case {
        int genBox;
        int dialogs;
        Lines log; // the first lines
    };
    const Case cases[] = {
        {1, 0, {"--Action: Generate Verilog HDL Code..."}},
        {2, 1, {"--Action: Generate Verilog HDL Code..."}},
        {6, 1, {"--Action: Generate VHDL Code..."}}, // the VHDL check of the last use stays
        {9, 0, {"Error: Framework generation is not available."}},
        {-1, 0, {"Error: Framework generation is not available."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.genBox);
        cmd_.FormConnect.CheckLanguage(VhdlLanguage);
        m.AppMisc.GenBox = c.genBox;
        m.ClearLog();
        dialogs_ = 0;
        engine_.Mode("nothing");
        cmd_.GenHDLExecute();
        EXPECT_EQ(dialogs_, c.dialogs);
        ASSERT_GE(Log().size(), c.log.size());
        EXPECT_EQ(Lines(Log().begin(), Log().begin() + c.log.size()), c.log);
        for (const std::string& left : EngineWorkFilesLeft(root_ / "work"))
            fs::remove(root_ / "work" / left);
    }
    // A skipped dialog stores nothing.
    EXPECT_EQ(m.AppMisc.GenBox, -1);
}

TEST_F(GenHdlCommandTest, FrameworkOnlyGoesToTheFrameworkGeneratorWithoutEngineOrProjectFile) {
    std::vector<int> styles;
    cmd_.GenFramework = [&](int style, bool report, const GenColumnWidths& widths) {
        styles.push_back(style);
        EXPECT_TRUE(report);
        EXPECT_EQ(widths, style == VhdlFrameworkStyle ? VhdlColumnWidths : VerilogColumnWidths);
        return VerilogBanner + "framework " + std::to_string(style);
    };
    fs::remove(m.PrjFileName);
    m.Modified = true;
    m.AppMisc.GenBox = 9;
    cmd_.GenHDLExecute();
    EXPECT_EQ(window_.Caption, "ZUN2012 - top.v");
    EXPECT_EQ(window_.GenStyle, Verilog2001Style);
    EXPECT_EQ(window_.Lines.back(), "framework 1");

    m.AppMisc.GenBox = 0;
    answer_ = [](ConnectForm& form) {
        EXPECT_TRUE(form.FrameworkEnabled);
        form.RadioGroup1 = FrameworkOnly;
        form.RadioGroup1Click();
        EXPECT_TRUE(form.RadioButton1Enabled);
        form.CheckLanguage(VhdlLanguage);
        return true;
    };
    cmd_.GenHDLExecute();
    EXPECT_EQ(m.AppMisc.GenBox, 12);
    EXPECT_EQ(window_.Caption, "ZUN2012 - top.vhd");
    EXPECT_EQ(window_.SaveFileName, "top.vhd");
    EXPECT_EQ(window_.SaveFilterIndex, VhdlFilter);
    EXPECT_EQ(window_.GenStyle, VhdlFrameworkStyle);
    EXPECT_EQ(styles, (std::vector<int>{1, 3}));
    EXPECT_TRUE(actions_.empty()) << "no busy state for the framework";
    EXPECT_TRUE(EngineWorkFilesLeft(root_ / "work").empty());
}

TEST_F(GenHdlCommandTest, CancelledDialogChangesNothing) {
    answer_ = [](ConnectForm& form) {
        form.LE_RenTM = "other";
        form.CheckLanguage(VhdlLanguage);
        return false;
    };
    m.AppMisc.GenBox = 4;
    cmd_.GenHDLExecute();
    EXPECT_EQ(m.AppMisc.GenBox, 4);
    EXPECT_EQ(TopField3(), "");
    EXPECT_EQ(rebuilds_, 0);
    EXPECT_EQ(windows_, 0);
    EXPECT_TRUE(Log().empty());
}

TEST_F(GenHdlCommandTest, RenamedTopNamesTheTextItsCaptionAndFileWithoutSnapshotOrModifiedMark) {
    answer_ = [](ConnectForm& form) {
        form.LE_RenTM = "chip";
        form.CheckLanguage(VhdlLanguage);
        return true;
    };
    engine_.Mode("echo");
    cmd_.GenHDLExecute();
    EXPECT_EQ(TopField3(), "chip");
    EXPECT_EQ(m.TopRecord()->Title, "chip");
    EXPECT_EQ(rebuilds_, 1);
    EXPECT_FALSE(m.Modified);
    EXPECT_TRUE(m.UndoList.empty());
    EXPECT_EQ(window_.Caption, "chip.vhd");
    EXPECT_EQ(window_.SaveFileName, "chip.vhd");
    EXPECT_EQ(m.AppMisc.GenBox, 4);

    // An emptied box gives the top module its name back.
    answer_ = [](ConnectForm& form) {
        form.LE_RenTM.clear();
        return true;
    };
    cmd_.GenHDLExecute();
    EXPECT_EQ(m.TopRecord()->Title, "top");
}

TEST_F(GenHdlCommandTest, IllegalTitleIsRefusedAndTheDialogStaysOpen) {
    answer_ = [this](ConnectForm& form) {
        form.LE_RenTM = "../evil";
        EXPECT_FALSE(form.BitBtn1Click(prompt_));
        form.LE_RenTM = "good_top";
        return form.BitBtn1Click(prompt_);
    };
    prompt_.ExpectMessage("Invalid top module name.");
    cmd_.GenHDLExecute();
    EXPECT_EQ(TopField3(), "good_top");
    EXPECT_EQ(window_.SaveFileName, "good_top.v");
}

// Regression: renaming the top to a module it instantiates gave a top that instantiates itself,
// saved by default over that module's own source file.
TEST_F(GenHdlCommandTest, TitleOfAModuleOfTheProjectIsRefusedAndTheDialogStaysOpen) {
    answer_ = [this](ConnectForm& form) {
        form.LE_RenTM = "core";
        EXPECT_FALSE(form.BitBtn1Click(prompt_));
        // An instance's name is no module's.
        form.LE_RenTM = "u1";
        return form.BitBtn1Click(prompt_);
    };
    prompt_.ExpectMessage("The module core can not be identical to the top module.");
    cmd_.GenHDLExecute();
    EXPECT_TRUE(prompt_.Done());
    EXPECT_EQ(TopField3(), "u1");
    EXPECT_EQ(window_.SaveFileName, "u1.v");
}

TEST_F(GenHdlCommandTest, SaveQuestionAndMissingProjectFile) {
    // Cancel: the dialog's choices are already applied, nothing is generated.
    m.Modified = true;
    answer_ = [](ConnectForm& form) {
        form.LE_RenTM = "renamed";
        return true;
    };
    prompt_.ExpectOkCancel("The current project need to be saved before this operation. Save it?",
                           false);
    cmd_.GenHDLExecute();
    EXPECT_EQ(TopField3(), "renamed");
    EXPECT_EQ(windows_, 0);
    EXPECT_TRUE(actions_.empty());

    // OK saves; an untitled project asks for a name, and without one there is no file.
    m.PrjUntitled = true;
    m.PrjFileName = (root_ / "work" / "qvprj.zun").string();
    prompt_.ExpectOkCancel("", true).ExpectSaveFile("Save Project As", {});
    cmd_.GenHDLExecute();
    EXPECT_EQ(Log(), (Lines{"Error: Missing the project file."}));
    EXPECT_EQ(windows_, 0);

    // With a name the project is saved and generated.
    m.ClearLog();
    const std::string saved = (root_ / "named.zun").string();
    prompt_.ExpectOkCancel("", true).ExpectSaveFile("Save Project As", {saved});
    cmd_.GenHDLExecute();
    EXPECT_TRUE(fs::exists(saved));
    EXPECT_FALSE(m.Modified);
    EXPECT_EQ(windows_, 1);
    EXPECT_EQ(Log().front(), "--Action: Generate Verilog HDL Code...");

    // A project file that went away.
    m.ClearLog();
    fs::remove(saved);
    cmd_.GenHDLExecute();
    EXPECT_EQ(Log(), (Lines{"Error: Missing the project file."}));
}

TEST_F(GenHdlCommandTest, NoProjectDisablesTheActions) {
    m.PrjOpen = false;
    cmd_.GenHDLExecute();
    EXPECT_EQ(actions_, (std::vector<bool>{false}));
    EXPECT_EQ(windows_, 0);
}

TEST_F(GenHdlCommandTest, ReentryWhileBusyOnlyShowsItsDialog) {
    int inner = 0;
    runner_.SetPendingEventsHook([&] {
        if (inner++ == 0)
            cmd_.GenHDLExecute();
    });
    cmd_.GenHDLExecute();
    EXPECT_EQ(dialogs_, 2);
    EXPECT_EQ(windows_, 1);
    // Outer run: off, inner refusal: off again, outer end: on.
    EXPECT_EQ(actions_, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(cursor_, (std::vector<bool>{true, false}));
    EXPECT_FALSE(cmd_.GenBusy());
}

TEST_F(GenHdlCommandTest, ExceptionInTheRunRestoresBusyFlagActionsAndCursor) {
    runner_.SetPendingEventsHook([] { throw std::runtime_error("boom"); });
    EXPECT_THROW(cmd_.GenHDLExecute(), std::runtime_error);
    EXPECT_FALSE(cmd_.GenBusy());
    EXPECT_EQ(actions_, (std::vector<bool>{false, true}));
    EXPECT_EQ(cursor_, (std::vector<bool>{true, false}));
    // And the next run works.
    runner_.SetPendingEventsHook(nullptr);
    cmd_.GenHDLExecute();
    EXPECT_EQ(windows_, 1);
}

TEST_F(GenHdlCommandTest, FailedGeneratorStillShowsTheWindowWithItsErrorText) {
    m.LineList = LinesFromText("TOP\t\ttop\nINPUT\tNA\t0\ta\t\tN-1\t0\n");
    m.UpdatePicExecute(RebuildSender::MainWindow);
    answer_ = [](ConnectForm& form) {
        form.CheckLanguage(VhdlLanguage);
        return true;
    };
    cmd_.GenHDLExecute();
    EXPECT_EQ(windows_, 1);
    Lines expected = platform::SplitLines(VhdlBanner);
    expected.push_back("Error in design.");
    EXPECT_EQ(window_.Lines, expected);
    EXPECT_EQ(window_.SaveFilterIndex, VhdlFilter);
}

} // namespace
