// Closing a project and the recent-projects list: the save question, what is recorded, and a
// click on a recent project.
#include "editor/model/ClosePrj.h"
#include "editor/model/ProjectFile.h"
#include "editor/model/RecentProjects.h"
#include "editor/model/Settings.h"
#include "platform/IniFile.h"
#include "platform/TextFile.h"

#include "ModelFileFixture.h"

#include <sys/stat.h>

using Texts = std::vector<std::string>;

class ClosePrjTest : public ModelFileFixture {
protected:
    ClosePrjTest() {
        model.IniPath = dir.Path("zun2012.ini");
        model.AppMisc.Recnet = static_cast<int>(today); // no guestbook question
    }

    // An open project saved as a file of this name, unmodified.
    std::string OpenSaved(const std::string& name) {
        std::string path = dir.Path(name);
        OpenText(SampleProject);
        model.PrjFileName = path;
        EXPECT_TRUE(FileSavePrjExecute(model, services).Saved);
        return path;
    }

    std::string RecentKey(int n) {
        platform::IniFile ini(model.IniPath);
        ini.Load();
        return ini.ReadString("QVsetting", "RecnetProject" + std::to_string(n), "<missing>");
    }

    void ExpectClosed() {
        EXPECT_FALSE(model.PrjOpen);
        EXPECT_FALSE(model.Modified);
        EXPECT_EQ(model.PrjFileName, "");
        EXPECT_TRUE(model.LineList.empty());
        EXPECT_TRUE(model.UndoList.empty());
        EXPECT_TRUE(model.RedoList.empty());
        EXPECT_TRUE(model.MduList.empty());
        EXPECT_TRUE(Log().empty());
        EXPECT_FALSE(model.SaveEnabled());
    }
};

TEST_F(ClosePrjTest, WithNoProjectOpenItSucceedsAndAsksNothing) {
    ClosePrjResult r = ClosePrjExecute(model, services);
    EXPECT_EQ(r.Tag, 1);
    EXPECT_FALSE(r.Closed);
    EXPECT_FALSE(platform::FileExists(model.IniPath));
}

TEST_F(ClosePrjTest, AnUnchangedProjectClosesWithoutAQuestionAndIsRecorded) {
    std::string path = OpenSaved("a.zun");
    model.LogInfo("something");
    model.TakeUndoSnapshot();
    model.Modified = false;
    ClosePrjResult r = ClosePrjExecute(model, services);
    EXPECT_EQ(r.Tag, 1);
    EXPECT_TRUE(r.Closed);
    EXPECT_TRUE(r.RecentChanged);
    EXPECT_EQ(r.Rebuild.CountsText, "I/P/W:0/0/0");
    ExpectClosed();
    EXPECT_EQ(model.RecentList, Texts{path});
    EXPECT_EQ(RecentKey(1), path);
}

TEST_F(ClosePrjTest, AnsweringNoKeepsTheFileUnchangedAndStillRecordsIt) {
    std::string path = OpenSaved("a.zun");
    std::string stored = ReadBytes(path);
    model.TakeUndoSnapshot();
    model.InsertLine(-1, {"WIRE", "top", "q", "u1", "count", "q"});
    prompt.ExpectYesNoCancel("Save the current project?", PromptAnswer::No);
    ClosePrjResult r = ClosePrjExecute(model, services);
    EXPECT_EQ(r.Tag, 1);
    ExpectClosed();
    EXPECT_EQ(ReadBytes(path), stored);
    EXPECT_EQ(model.RecentList, Texts{path});
}

TEST_F(ClosePrjTest, AnsweringYesSavesTheChangesFirst) {
    std::string path = OpenSaved("a.zun");
    model.InsertLine(-1, {"WIRE", "top", "q", "u1", "count", "q"});
    model.Modified = true;
    prompt.ExpectYesNoCancel("Save the current project?", PromptAnswer::Yes);
    EXPECT_EQ(ClosePrjExecute(model, services).Tag, 1);
    ExpectClosed();
    ASSERT_TRUE(OpenProjectFile(model, services, path));
    EXPECT_EQ(model.WireList.size(), 2u);
}

TEST_F(ClosePrjTest, CancelKeepsEverything) {
    std::string path = OpenSaved("a.zun");
    model.TakeUndoSnapshot();
    model.LogInfo("kept");
    ProjectLines lines = model.LineList;
    prompt.ExpectYesNoCancel("Save the current project?", PromptAnswer::Cancel);
    ClosePrjResult r = ClosePrjExecute(model, services);
    EXPECT_EQ(r.Tag, 0);
    EXPECT_FALSE(r.Closed);
    EXPECT_TRUE(model.PrjOpen);
    EXPECT_TRUE(model.Modified);
    EXPECT_EQ(model.PrjFileName, path);
    EXPECT_EQ(model.LineList, lines);
    EXPECT_FALSE(model.UndoList.empty());
    EXPECT_TRUE(Logged("Info: kept"));
    EXPECT_TRUE(model.RecentList.empty());
}

TEST_F(ClosePrjTest, AnIllegalProjectsCloseWritesTheLinesFromTheMarkAgain) {
    OpenText("MODULE\tm\tu1\t/m.v\tverilog\r\nINPUT\t\t\ta\r\n");
    model.ClearLog();
    model.LogInfo("before");
    model.LogInfo("reason");
    model.UpdatePicExecute(RebuildSender::MainWindow);
    ClosePrjResult r = CloseIllegalProject(model, services, 1);
    EXPECT_TRUE(r.Closed);
    EXPECT_EQ(r.Tag, 1);
    EXPECT_FALSE(model.PrjOpen);
    EXPECT_TRUE(model.LineList.empty());
    EXPECT_EQ(Log(), (Texts{"Info: reason", "Error: Illegal project."}));
}

// Writing the kept lines after a close that did not happen would show each of them twice.
TEST_F(ClosePrjTest, AnIllegalProjectsCancelledCloseLeavesTheLogAsItWas) {
    OpenText("MODULE\tm\tu1\t/m.v\tverilog\r\nINPUT\t\t\ta\r\n");
    model.Modified = true;
    const Texts before = Log();
    ASSERT_FALSE(before.empty());
    prompt.ExpectYesNoCancel("Save the current project?", PromptAnswer::Cancel);
    ClosePrjResult r = CloseIllegalProject(model, services, 0);
    EXPECT_EQ(r.Tag, 0);
    EXPECT_TRUE(model.PrjOpen);
    EXPECT_EQ(Log(), before);
}

// Yes on an untitled project followed by a cancelled Save As used to close and lose it.
TEST_F(ClosePrjTest, YesWithACancelledSaveAsCountsAsCancel) {
    OpenText(SampleProject);
    model.PrjUntitled = true;
    model.PrjFileName = model.WorkDir + "qvprj.zun";
    model.Modified = true;
    ProjectLines lines = model.LineList;
    prompt.ExpectYesNoCancel("Save the current project?", PromptAnswer::Yes)
        .ExpectSaveFile("Save Project As", {});
    ClosePrjResult r = ClosePrjExecute(model, services);
    EXPECT_EQ(r.Tag, 0);
    EXPECT_TRUE(model.PrjOpen);
    EXPECT_TRUE(model.Modified);
    EXPECT_EQ(model.LineList, lines);
}

TEST_F(ClosePrjTest, YesWithAFailedWriteCountsAsCancel) {
    OpenText(SampleProject);
    model.PrjFileName = dir.Path("missing/dir/a.zun");
    model.Modified = true;
    prompt.ExpectYesNoCancel("Save the current project?", PromptAnswer::Yes);
    EXPECT_EQ(ClosePrjExecute(model, services).Tag, 0);
    EXPECT_TRUE(model.PrjOpen);
    EXPECT_TRUE(Logged("Error: File operation failed."));
}

TEST_F(ClosePrjTest, TheWizardsTemporaryProjectIsNeverRecorded) {
    OpenText(SampleProject);
    model.PrjFileName = model.WorkDir + "qvprj.zun";
    WriteBytes(model.PrjFileName, "engine output");
    model.Modified = false;
    ClosePrjResult r = ClosePrjExecute(model, services);
    EXPECT_EQ(r.Tag, 1);
    EXPECT_FALSE(r.RecentChanged);
    EXPECT_TRUE(model.RecentList.empty());
    EXPECT_FALSE(platform::FileExists(model.IniPath));
}

TEST_F(ClosePrjTest, AProjectWhoseFileIsGoneIsNotRecorded) {
    OpenText(SampleProject);
    model.PrjFileName = dir.Path("never-saved.zun");
    model.Modified = false;
    EXPECT_FALSE(ClosePrjExecute(model, services).RecentChanged);
    EXPECT_TRUE(model.RecentList.empty());
}

TEST_F(ClosePrjTest, ClosingTheSameProjectTwiceMovesItToTheTopWithoutADuplicate) {
    std::string a = OpenSaved("a.zun");
    ClosePrjExecute(model, services);
    std::string b = OpenSaved("b.zun");
    ClosePrjExecute(model, services);
    ASSERT_TRUE(OpenProjectFile(model, services, a));
    ClosePrjExecute(model, services);
    EXPECT_EQ(model.RecentList, (Texts{a, b}));
    EXPECT_EQ(RecentKey(1), a);
    EXPECT_EQ(RecentKey(2), b);
    EXPECT_EQ(RecentKey(3), "");
}

// The list used to compare paths ignoring case; on Linux those are two different files.
TEST(RecordRecentProject, PathsDifferingInLetterCaseAreTwoEntries) {
    ProjectModel model;
    RecordRecentProject(model, "/p/Design.zun");
    RecordRecentProject(model, "/p/design.zun");
    RecordRecentProject(model, "/p/Design.zun");
    EXPECT_EQ(model.RecentList, (Texts{"/p/Design.zun", "/p/design.zun"}));
}

TEST(BuildRecentMenu, ShowsAtMostNineItemsNumberedFromOne) {
    ProjectModel model;
    EXPECT_TRUE(BuildRecentMenu(model).empty());
    for (int i = 0; i < 12; ++i)
        model.RecentList.push_back("/p/" + std::to_string(i) + ".zun");
    std::vector<RecentMenuItem> items = BuildRecentMenu(model);
    ASSERT_EQ(items.size(), 9u);
    EXPECT_EQ(items[0].Caption, "1 /p/0.zun");
    EXPECT_EQ(items[0].Tag, 0);
    EXPECT_EQ(items[8].Caption, "9 /p/8.zun");
    EXPECT_EQ(items[8].Tag, 8);
}

TEST_F(ClosePrjTest, ARecentProjectWhoseFileWasDeletedIsRemovedAndTheOpenProjectStays) {
    std::string open = OpenSaved("open.zun");
    model.InsertLine(-1, {"WIRE", "top", "q", "u1", "count", "q"});
    model.Modified = true;
    ProjectLines lines = model.LineList;
    model.RecentList = {dir.Path("x.zun"), dir.Path("gone.zun"), dir.Path("y.zun")};
    prompt.ExpectMessage("File does not exist.");
    RecentClickResult r = RecentProjectClick(model, services, 1);
    EXPECT_FALSE(r.Opened);
    EXPECT_TRUE(r.MenuChanged);
    EXPECT_EQ(model.RecentList, (Texts{dir.Path("x.zun"), dir.Path("y.zun")}));
    EXPECT_EQ(RecentKey(2), dir.Path("y.zun"));
    EXPECT_EQ(RecentKey(3), "");
    EXPECT_TRUE(model.PrjOpen);
    EXPECT_TRUE(model.Modified);
    EXPECT_EQ(model.PrjFileName, open);
    EXPECT_EQ(model.LineList, lines);
}

TEST_F(ClosePrjTest, ARecentProjectClickClosesTheCurrentProjectAndOpensTheFile) {
    std::string other = OpenSaved("other.zun");
    ClosePrjExecute(model, services);
    std::string current = OpenSaved("current.zun");
    model.Modified = true;
    prompt.ExpectYesNoCancel("Save the current project?", PromptAnswer::No);
    RecentClickResult r = RecentProjectClick(model, services, 0);
    EXPECT_TRUE(r.Opened);
    EXPECT_TRUE(r.MenuChanged);
    EXPECT_EQ(model.PrjFileName, other);
    EXPECT_TRUE(model.PrjOpen);
    EXPECT_EQ(model.RecentList, (Texts{current, other}));
}

TEST_F(ClosePrjTest, ARecentProjectClickStopsWhenTheCloseIsCancelled) {
    std::string other = OpenSaved("other.zun");
    ClosePrjExecute(model, services);
    std::string current = OpenSaved("current.zun");
    model.Modified = true;
    prompt.ExpectYesNoCancel("Save the current project?", PromptAnswer::Cancel);
    RecentClickResult r = RecentProjectClick(model, services, 0);
    EXPECT_FALSE(r.Opened);
    EXPECT_EQ(model.PrjFileName, current);
    EXPECT_TRUE(model.Modified);
    EXPECT_EQ(model.RecentList, Texts{other});
}

TEST_F(ClosePrjTest, ARecentProjectClickWithATagOutsideTheListDoesNothing) {
    model.RecentList = {dir.Path("x.zun")};
    RecentClickResult r = RecentProjectClick(model, services, 5);
    EXPECT_FALSE(r.Opened);
    EXPECT_FALSE(r.MenuChanged);
    EXPECT_EQ(model.RecentList.size(), 1u);
}
