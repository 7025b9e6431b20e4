// The generated-text window's logic: files and the temporary file, the external editor and the
// clipboard, the column headers of framework code and their drag.
#include "editor/hdl/GenText.h"

#include "editor/model/ProjectModel.h"
#include "model/ModelText.h"
#include "support/FileFixtures.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <fnmatch.h>
#include <sys/stat.h>

namespace {

using Lines = std::vector<std::string>;

// Regression: "All Files(*.*)" hid every file whose name has no dot, such as a file list.
bool AllFilesListsANameWithoutDot(const std::string& filter) {
    const std::size_t entry = filter.rfind("All Files(");
    if (entry == std::string::npos)
        return false;
    const std::size_t open = filter.find('(', entry);
    const std::string pattern = filter.substr(open + 1, filter.find(')', open) - open - 1);
    return ::fnmatch(pattern.c_str(), "top_files", 0) == 0;
}

class GenTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        m.WorkDir = scratch_.Dir();
        text_.SetText("line one\r\nline two\nline three\r\n");
        text_.SetClipboardText = [this](const std::string& t) { clipboard_ = t; };
        text_.StartExternalEditor = [this](const std::string& path) { started_.push_back(path); };
    }
    // Framework code of a style, regenerated with the widths it is given.
    void Framework(int style) {
        text_.GenStyle = style;
        text_.GenFramework = [this](int s, bool report, const GenColumnWidths& widths) {
            EXPECT_FALSE(report) << "a drag regenerates silently";
            ++generated_;
            return "style " + std::to_string(s) + " port width " + std::to_string(widths[7]);
        };
        text_.TenCharsWidth = [] { return 75; };
        text_.SetupColumnHeaders();
    }

    TempDir scratch_;
    ProjectModel m;
    ScriptedPrompt prompt_;
    GenTextModel text_{m, prompt_};
    std::string clipboard_;
    std::vector<std::string> started_;
    int generated_ = 0;
};

TEST_F(GenTextTest, SaveAsWritesTheLinesWithCrLfAndKeepsTheText) {
    text_.SaveFileName = "top.vhd";
    text_.SaveFilterIndex = VhdlFilter;
    const std::string path = scratch_.Path("out.vhd");
    prompt_.ExpectSaveFile("Save As", {path});
    EXPECT_TRUE(text_.BitBtn2Click());
    EXPECT_EQ(ReadBytes(path), "line one\r\nline two\r\nline three\r\n");
    EXPECT_EQ(prompt_.LastChooser().fileName, "top.vhd");
    EXPECT_EQ(prompt_.LastChooser().filterIndex, VhdlFilter);
    EXPECT_EQ(prompt_.LastChooser().filter,
              "Verilog HDL File(*.v);;VHDL File(*.vhd);;All Files(*)");
    EXPECT_TRUE(AllFilesListsANameWithoutDot(prompt_.LastChooser().filter));
    EXPECT_EQ(text_.Lines, (Lines{"line one", "line two", "line three"}));

    prompt_.ExpectSaveFile("Save As", {});
    EXPECT_FALSE(text_.BitBtn2Click());
}

TEST_F(GenTextTest, SaveAsIntoAnUnwritablePlaceIsToldAndKeepsTheOldFile) {
    const std::string path = scratch_.Path("kept.v");
    WriteBytes(path, "old");
    ::chmod(path.c_str(), 0444);
    prompt_.ExpectSaveFile("Save As", {path}).ExpectMessage("Can't write the file " + path + ".");
    EXPECT_FALSE(text_.BitBtn2Click());
    EXPECT_EQ(ReadBytes(path), "old");
}

// Regression: the first Save As of generated text opened wherever the process ran, the work
// folder of an installed copy, not where the design is.
TEST_F(GenTextTest, TheFirstSaveAsOpensWhereTheDesignIsAndTheNextWhereTheLastOneWrote) {
    for (const char* sub : {"started", "rtl", "out"})
        std::filesystem::create_directories(scratch_.Path(sub));
    m.StartDir = scratch_.Path("started/");
    text_.SaveFileName = "top.v";
    prompt_.ExpectSaveFileIn("Save As", m.StartDir, {});
    EXPECT_FALSE(text_.BitBtn2Click()) << "without a source: the folder the editor started in";

    m.LineList = LinesFromText("TOP\t\ttop\nMODULE\tcore\tu1\t" + scratch_.Path("rtl/core.v") +
                               "\tverilog\nINPUT\t\t\tclk\n");
    m.PrjOpen = true;
    m.UpdatePicExecute(RebuildSender::MainWindow);
    prompt_.ExpectSaveFileIn("Save As", scratch_.Path("rtl/"), {scratch_.Path("out/top.v")});
    EXPECT_TRUE(text_.BitBtn2Click()) << "the folder of the first source";
    EXPECT_EQ(prompt_.LastChooser().fileName, "top.v");
    prompt_.ExpectSaveFileIn("Save As", scratch_.Path("out/"), {});
    EXPECT_FALSE(text_.BitBtn2Click()) << "where the last Save As wrote";

    // A source shown in the window is saved from its own folder.
    const std::string path = scratch_.Path("started/core.v");
    WriteBytes(path, "module core;\nendmodule\n");
    ASSERT_TRUE(text_.ShowSourceFile(path));
    prompt_.ExpectSaveFileIn("Save As", scratch_.Path("started/"), {});
    EXPECT_FALSE(text_.BitBtn2Click());
}

TEST_F(GenTextTest, OpenReplacesTheTextAndEndsFrameworkMode) {
    Framework(Verilog1995Style);
    text_.FormShow();
    EXPECT_TRUE(text_.HeadersVisible);
    const std::string path = scratch_.Path("in.txt");
    WriteBytes(path, "a\r\nb");
    prompt_.ExpectOpenFile("Open", {path});
    EXPECT_TRUE(text_.BitBtn3Click());
    EXPECT_EQ(text_.Lines, (Lines{"a", "b"}));
    EXPECT_EQ(text_.GenStyle, PlainTextStyle);
    EXPECT_FALSE(text_.HeadersVisible);
    EXPECT_EQ(prompt_.LastChooser().filter, "All Files(*)");
    EXPECT_TRUE(AllFilesListsANameWithoutDot(prompt_.LastChooser().filter));
    // A drag now would regenerate over the opened file: it does nothing.
    std::vector<int> widths = text_.HeaderWidths(0);
    widths[7] += 35;
    EXPECT_FALSE(text_.HeaderControl1SectionResize(0, 7, widths, {}));
    EXPECT_EQ(generated_, 0);
    EXPECT_EQ(text_.Lines, (Lines{"a", "b"}));

    prompt_.ExpectOpenFile("Open", {scratch_.Path("missing")})
        .ExpectMessage("Can't read the file " + scratch_.Path("missing") + ".");
    EXPECT_FALSE(text_.BitBtn3Click());
    EXPECT_EQ(text_.Lines, (Lines{"a", "b"}));
}

TEST_F(GenTextTest, TmpFileForTheExternalEditorAndTheClipboard) {
    const std::string tmp = scratch_.Path("zuntmp.tmp");
    m.InternalEditor = true;
    prompt_.ExpectMessage("No external editor defined.");
    EXPECT_FALSE(text_.BitBtn4Click());
    EXPECT_FALSE(std::filesystem::exists(tmp));

    m.InternalEditor = false;
    EXPECT_TRUE(text_.BitBtn4Click());
    EXPECT_EQ(ReadBytes(tmp), "line one\r\nline two\r\nline three\r\n");
    EXPECT_EQ(started_, (Lines{tmp}));

    text_.SetText("changed");
    EXPECT_TRUE(text_.BitBtn5Click());
    EXPECT_EQ(ReadBytes(tmp), "changed\r\n");
    EXPECT_EQ(clipboard_, tmp);
    EXPECT_EQ(m.Log.Lines(), (Lines{"Info: Tmp file saved to " + tmp + ".",
                                    "Info: Tmp file saved to " + tmp + "."}));
}

TEST_F(GenTextTest, UnwritableTmpFileStopsBeforeTheEditorAndTheClipboard) {
    m.InternalEditor = false;
    m.WorkDir = scratch_.Path("gone") + "/";
    const std::string tmp = m.WorkDir + "zuntmp.tmp";
    prompt_.ExpectMessage("Can't write the file " + tmp + ".")
        .ExpectMessage("Can't write the file " + tmp + ".");
    EXPECT_FALSE(text_.BitBtn4Click());
    EXPECT_FALSE(text_.BitBtn5Click());
    EXPECT_TRUE(started_.empty());
    EXPECT_EQ(clipboard_, "");
    EXPECT_TRUE(m.Log.Lines().empty()) << "nothing was saved";
}

TEST_F(GenTextTest, FormShowAndClose) {
    m.InternalEditor = false;
    text_.Label1 = "Item Width: 3";
    text_.FormShow();
    EXPECT_TRUE(text_.SfoeEnabled);
    EXPECT_EQ(text_.Label1, "");
    EXPECT_FALSE(text_.HeadersVisible);
    m.InternalEditor = true;
    text_.FormShow();
    EXPECT_FALSE(text_.SfoeEnabled);
    // Without the editor start the button stays off, whatever the setting.
    m.InternalEditor = false;
    text_.StartExternalEditor = nullptr;
    text_.FormShow();
    EXPECT_FALSE(text_.SfoeEnabled);

    text_.GenStyle = VhdlFrameworkStyle;
    text_.FormShow();
    EXPECT_TRUE(text_.HeadersVisible);
    text_.FormClose();
    EXPECT_EQ(text_.GenStyle, PlainTextStyle);
}

TEST_F(GenTextTest, ColumnHeadersFollowTheStyle) {
    Framework(VhdlFrameworkStyle);
    EXPECT_EQ(text_.CharPixels, 7);
    EXPECT_EQ(text_.GenColWidths, VhdlColumnWidths);
    // The VHDL port line names the port before its direction and type.
    EXPECT_EQ(text_.HeaderColumns(0), (std::vector<std::size_t>{0, 7, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(text_.HeaderWidths(0), (std::vector<int>{35, 105, 63, 140, 14, 56, 14, 7}));
    EXPECT_EQ(text_.HeaderWidths(1), (std::vector<int>{35, 105, 35}));

    Framework(Verilog2001Style);
    EXPECT_EQ(text_.GenColWidths, VerilogColumnWidths);
    EXPECT_EQ(text_.HeaderColumns(0), (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6, 7}));

    // A font too small to measure still gives a width to divide by.
    text_.TenCharsWidth = [] { return 6; };
    text_.SetupColumnHeaders();
    EXPECT_EQ(text_.CharPixels, 1);
    text_.HeaderControl1SectionTrack(12, {});
    EXPECT_EQ(text_.Label1, "Item Width: 12");
}

TEST_F(GenTextTest, DraggingAColumnRegeneratesWithTheNewWidthAndKeepsTheScrollRatio) {
    Framework(Verilog1995Style);
    text_.HeaderControl1SectionTrack(150, {50, 0, 100});
    EXPECT_EQ(text_.Label1, "Item Width: 21");
    std::vector<int> widths = {50, 49, 7, 14, 7, 7, 14, 150};
    EXPECT_TRUE(text_.HeaderControl1SectionResize(0, 7, widths, {50, 0, 100}));
    EXPECT_EQ(text_.GenColWidths[7], 21);
    EXPECT_EQ(text_.Lines, (Lines{"style 2 port width 21"}));
    EXPECT_EQ(text_.Label1, "Item Width: 21");
    // Sections left of the dragged one snap: width + 1 - (width mod CharPixels).
    EXPECT_EQ(widths, (std::vector<int>{50, 50, 8, 15, 8, 8, 15, 150}));
    EXPECT_TRUE(text_.RefillHidden());
    EXPECT_EQ(text_.ScrollAfterRefill({0, 0, 300}), 150);

    // The same width in characters: nothing regenerates.
    widths[7] = 153;
    EXPECT_FALSE(text_.HeaderControl1SectionResize(0, 7, widths, {0, 0, 100}));
    EXPECT_EQ(generated_, 1);

    // A drag that starts at the top stays there.
    text_.HeaderControl1SectionTrack(35, {0, 0, 100});
    std::vector<int> instance = {35, 105, 35};
    instance[1] = 140;
    EXPECT_TRUE(text_.HeaderControl1SectionResize(1, 1, instance, {0, 0, 100}));
    EXPECT_EQ(text_.GenColWidths[9], 20);
    EXPECT_FALSE(text_.RefillHidden());
    EXPECT_EQ(text_.ScrollAfterRefill({0, 0, 300}), std::nullopt);
}

TEST_F(GenTextTest, DragOverEditedTextAsksFirst) {
    Framework(Verilog2001Style);
    text_.TextEdited("my own changes");
    std::vector<int> widths = text_.HeaderWidths(0);
    widths[7] = 140;
    prompt_.ExpectYesNo("The text has been edited. Regenerate it from the project and lose the "
                        "changes?",
                        false);
    EXPECT_FALSE(text_.HeaderControl1SectionResize(0, 7, widths, {}));
    EXPECT_EQ(text_.Lines, (Lines{"my own changes"}));

    widths[7] = 210;
    prompt_.ExpectYesNo("", true);
    EXPECT_TRUE(text_.HeaderControl1SectionResize(0, 7, widths, {}));
    EXPECT_EQ(text_.Lines, (Lines{"style 1 port width 30"}));
    EXPECT_FALSE(text_.Edited());
}

TEST_F(GenTextTest, WithoutFrameworkGeneratorADragOnlyTakesTheWidth) {
    Framework(Verilog2001Style);
    text_.GenFramework = nullptr;
    std::vector<int> widths = text_.HeaderWidths(0);
    widths[7] = 140;
    EXPECT_FALSE(text_.HeaderControl1SectionResize(0, 7, widths, {}));
    EXPECT_EQ(text_.GenColWidths[7], 20);
    EXPECT_EQ(text_.Lines, (Lines{"line one", "line two", "line three"}));
}

TEST_F(GenTextTest, SourceFileIsShownAsPlainText) {
    int shows = 0;
    text_.Show = [&] { ++shows; };
    text_.GenStyle = Verilog1995Style;
    const std::string path = scratch_.Path("core.v");
    WriteBytes(path, "module core;\nendmodule\n");
    EXPECT_TRUE(text_.ShowSourceFile(path));
    EXPECT_EQ(text_.Caption, path);
    EXPECT_EQ(text_.Lines, (Lines{"module core;", "endmodule"}));
    EXPECT_EQ(text_.GenStyle, PlainTextStyle);
    EXPECT_EQ(text_.SaveFileName, path);
    EXPECT_EQ(text_.SaveFilterIndex, AllFilesFilter);
    EXPECT_EQ(shows, 1);

    prompt_.ExpectMessage("Can't read the file " + scratch_.Path("none.v") + ".");
    EXPECT_FALSE(text_.ShowSourceFile(scratch_.Path("none.v")));
    EXPECT_EQ(shows, 1);
}

} // namespace
