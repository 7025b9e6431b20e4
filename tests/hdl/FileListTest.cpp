// The file list: its line rule as one table, the dialog's presets and preview, and the command
// over small projects.
#include "editor/hdl/FileList.h"

#include "editor/hdl/GenText.h"
#include "model/ModelText.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

TEST(FileListLine, Rule) {
    struct Case {
        const char* name;
        const char* format;
        const char* relative;
        const char* delimiter;
        const char* path;
        const char* language;
        const char* line;
    };
    const Case cases[] = {
        {"the file alone", "%F", "", "/", "/work/rtl/a.v", "verilog", "/work/rtl/a.v"},
        {"the quoted default", "\"%F\"", "", "/", "/my designs/a.v", "verilog",
         "\"/my designs/a.v\""},
        {"a relative path", "%F", "/work/", "/", "/work/rtl/a.v", "verilog", "rtl/a.v"},
        {"a backslash delimiter", "%F", "/work/", "\\", "/work/rtl/a.v", "verilog", "rtl\\a.v"},
        {"the doubled backslash doubles every separator", "%F", "", "\\\\", "/w/rtl/a.v", "verilog",
         "\\\\w\\\\rtl\\\\a.v"},
        {"the relative text goes wherever it stands", "%F", "rtl/", "/", "/a/rtl/b/rtl/c.v",
         "verilog", "/a/b/c.v"},
        {"an empty relative text removes nothing", "%F", "", "/", "/a/b.v", "verilog", "/a/b.v"},
        {"add file, quoted", "add_file -%T \"%F\"", "", "/", "/a/b.vhd", "vhdl",
         "add_file -vhdl \"/a/b.vhd\""},
        {"custom: the quote box has no part in it", "%T: %F", "", "/", "/a/b.v", "verilog",
         "verilog: /a/b.v"},
        {"a path holding %T keeps it", "%F (%T)", "", "/", "/src/%T/x.v", "verilog",
         "/src/%T/x.v (verilog)"},
        {"a path holding %F keeps it", "%F", "", "/", "/src/%F.v", "verilog", "/src/%F.v"},
        {"every placeholder is replaced", "%F %F %T%T", "", "/", "a.v", "verilog",
         "a.v a.v verilogverilog"},
        {"other percent texts stay", "100% %x %", "", "/", "a.v", "verilog", "100% %x %"},
        {"yosys", "read_%T \"%F\"", "", "/", "/a b/c.v", "verilog", "read_verilog \"/a b/c.v\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileListLine(c.format, c.relative, c.delimiter, c.path, c.language), c.line)
            << c.name;
}

TEST(FileListForm, PresetsAndPreview) {
    FileListForm f;
    EXPECT_EQ(f.Preset, FileListPreset::FileNameOnly);
    EXPECT_TRUE(f.CheckBox1);
    EXPECT_EQ(f.ComboBox1, "/");
    EXPECT_EQ(f.LabeledEdit1, "\"%F\"");
    EXPECT_FALSE(f.LabeledEdit1Enabled);
    EXPECT_TRUE(f.CheckBox1Enabled);
    EXPECT_EQ(f.Memo1, (Lines{"\"/home/zun/Demo File List/verilog/file1.v\"",
                              "\"/home/zun/Demo File List/verilog/file2.v\"",
                              "\"/home/zun/Demo File List/verilog/file3.v\"",
                              "\"/home/zun/Demo File List/vhd/file1.vhd\"",
                              "\"/home/zun/Demo File List/vhd/file1.vhd\""}));

    f.CheckBox1 = false;
    f.CheckBox1Click();
    EXPECT_EQ(f.LabeledEdit1, "%F");
    f.Preset = FileListPreset::AddFileName;
    f.RadioButton1Click();
    EXPECT_EQ(f.LabeledEdit1, "add_file -%T %F");
    EXPECT_EQ(f.Memo1[3], "add_file -vhdl /home/zun/Demo File List/vhd/file1.vhd");
    f.CheckBox1 = true;
    f.CheckBox1Click();
    EXPECT_EQ(f.Memo1[0], "add_file -verilog \"/home/zun/Demo File List/verilog/file1.v\"");

    f.Preset = FileListPreset::Custom;
    f.RadioButton1Click();
    EXPECT_EQ(f.LabeledEdit1, "add_file -%T \"%F\"") << "Custom keeps the format";
    EXPECT_TRUE(f.LabeledEdit1Enabled);
    EXPECT_FALSE(f.CheckBox1Enabled);
    f.LabeledEdit1 = "%T: %F";
    f.LabeledEdit2 = "/home/zun/Demo File List/";
    f.ComboBox1 = "\\";
    f.LabeledEdit1Change();
    EXPECT_EQ(f.Memo1,
              (Lines{"verilog: verilog\\file1.v", "verilog: verilog\\file2.v",
                     "verilog: verilog\\file3.v", "vhdl: vhd\\file1.vhd", "vhdl: vhd\\file1.vhd"}));
}

class FileListCommandTest : public ::testing::Test {
protected:
    void Load(const std::string& text) { LoadProject(m, text); }
    void SetUp() override {
        window.Show = [this] { ++shown; };
        window.GenStyle = VhdlFrameworkStyle;
        cmd.ShowFormFLst = [this](FileListForm&) {
            ++dialogs;
            return ok;
        };
    }
    ProjectModel m;
    ScriptedPrompt prompt;
    GenTextModel window{m, prompt};
    FileListCommand cmd{m};
    bool ok = true;
    int dialogs = 0;
    int shown = 0;
};

TEST_F(FileListCommandTest, EachSourceOnceTopsLeftOutWhereverTheyStand) {
    Load("MODULE\tcore\tu0\t/src/core.v\tverilog\nINPUT\t\t\ta\n"
         "TOP\t\ttop\nINPUT\t\t\tclk\n"
         "MODULE\tcore\tu1\t/src/core.v\tverilog\nINPUT\t\t\ta\n"
         "MODULE\tfilt\tu2\t/src/vhd/filt.vhd\tvhdl\nINPUT\t\t\ta\n"
         "MODULE\tcore\tu3\t/src/Core.v\tverilog\nINPUT\t\t\ta\n");
    ASSERT_EQ(m.MduList.size(), 5u);
    cmd.FormFLst.Preset = FileListPreset::AddFileName;
    cmd.FormFLst.RadioButton1Click();
    ASSERT_TRUE(cmd.BFLstExecute(window));
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(window.Lines,
              (Lines{"add_file -verilog \"/src/core.v\"", "add_file -vhdl \"/src/vhd/filt.vhd\"",
                     "add_file -verilog \"/src/Core.v\""}));
    EXPECT_EQ(cmd.ListText(), "add_file -verilog \"/src/core.v\"\r\n"
                              "add_file -vhdl \"/src/vhd/filt.vhd\"\r\n"
                              "add_file -verilog \"/src/Core.v\"\r\n");
    EXPECT_EQ(window.Caption, "File list");
    EXPECT_EQ(window.SaveFilterIndex, AllFilesFilter);
    EXPECT_EQ(window.SaveFileName, "top.lst");
    EXPECT_EQ(window.GenStyle, PlainTextStyle);
    EXPECT_FALSE(window.CstmPrtMode);
    EXPECT_EQ(m.Log.Lines(), (Lines{"--Action: File list built. Not containing the top module."}));
}

// A project whose first record is an instance, the only one of its file: a list that skipped the
// first record as the top's would lose that file.
TEST_F(FileListCommandTest, TheFirstRecordsOwnFileIsListedWhenTheTopStandsLater) {
    Load("MODULE\tsync\tu0\t/src/sync.v\tverilog\nINPUT\t\t\ta\n"
         "TOP\t\ttop\nINPUT\t\t\tclk\n"
         "MODULE\tcore\tu1\t/src/core.v\tverilog\nINPUT\t\t\ta\n");
    ASSERT_EQ(m.MduList.size(), 3u);
    ASSERT_FALSE(m.MduList[0].IsTop());
    cmd.FormFLst.CheckBox1 = false;
    cmd.FormFLst.CheckBox1Click();
    EXPECT_EQ(cmd.ListText(), "/src/sync.v\r\n/src/core.v\r\n");
}

TEST_F(FileListCommandTest, OnlyTheTopGivesAnEmptyListAndStillLogs) {
    Load("TOP\t\ttop\nINPUT\t\t\tclk\n");
    window.SetText("old");
    ASSERT_TRUE(cmd.BFLstExecute(window));
    EXPECT_TRUE(window.Lines.empty());
    EXPECT_EQ(m.Log.Lines().size(), 1u);
}

TEST_F(FileListCommandTest, CancelLeavesTheWindowAlone) {
    Load("TOP\t\ttop\nMODULE\tcore\tu1\t/src/core.v\tverilog\nINPUT\t\t\ta\n");
    window.SetText("old");
    window.Caption = "before";
    ok = false;
    EXPECT_FALSE(cmd.BFLstExecute(window));
    EXPECT_EQ(window.Lines, Lines{"old"});
    EXPECT_EQ(window.Caption, "before");
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(m.Log.Lines().empty());
}

TEST_F(FileListCommandTest, OptionsStayFromOneUseToTheNext) {
    Load("TOP\t\ttop\nMODULE\tcore\tu1\t/work/rtl/core.v\tverilog\nINPUT\t\t\ta\n");
    cmd.ShowFormFLst = [](FileListForm& f) {
        f.LabeledEdit2 = "/work/";
        f.CheckBox1 = false;
        f.CheckBox1Click();
        return true;
    };
    ASSERT_TRUE(cmd.BFLstExecute(window));
    cmd.ShowFormFLst = [](FileListForm&) { return true; };
    ASSERT_TRUE(cmd.BFLstExecute(window));
    EXPECT_EQ(window.Lines, Lines{"rtl/core.v"});
}

} // namespace
