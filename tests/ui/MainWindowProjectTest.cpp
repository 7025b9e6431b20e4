// The main window with a project: start-up from the command line, the caption, closing with
// the save question, dropped files, the picture's paint and size limits, undo and redo, the
// recent-projects submenu and the Information window.
#include "MainWindowFixture.h"

#include "editor/app/TAboutBox.h"
#include "editor/app/TDrvForm.h"
#include "editor/app/TPaintBox.h"
#include "editor/app/TPropForm.h"
#include "editor/canvas/Picture.h"
#include "editor/model/ProjectFile.h"
#include "editor/widgets/WinColor.h"
#include "model/ModelText.h"
#include "platform/Paths.h"
#include "support/EventPump.h"
#include "support/FileFixtures.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

#include <filesystem>
#include <fstream>
#include <set>

namespace {

const std::string& kDemo = DemoProject();

class ProjectWindow : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // Settings and the recent list go to a directory of the test's own.
        form->Model.AppDir = dir.Dir();
        form->Services.Today = [] { return std::int64_t{46000}; };
    }

    // Starts the window as the program does, with these arguments.
    void Start(std::vector<std::string> args) {
        form->FirstShowPending = true;
        form->SetCommandLine(std::move(args));
        form->FormShow();
    }

    std::string Copy(const std::string& name) {
        const std::string path = dir.Path(name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::filesystem::copy_file(kDemo, path);
        return path;
    }

    bool LogHas(const std::string& line) const {
        for (const std::string& l : form->Model.Log.Lines())
            if (l == line)
                return true;
        return false;
    }

    void Drop(const std::vector<std::string>& files) {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const std::string& f : files)
            urls << QUrl::fromLocalFile(QString::fromStdString(f));
        data->setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &enter);
        dragAccepted = enter.isAccepted();
        if (dragAccepted) {
            QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(form.get(), &drop);
        }
        delete data;
    }

    // An edit as every command makes one: snapshot, change, rebuild.
    // It renames the first port line's port, whose index it keeps in edited.
    void Edit() {
        edited = 0;
        while (form->Model.LineList[edited][0] != "INPUT")
            ++edited;
        form->Model.TakeUndoSnapshot();
        form->Model.LineList[edited][3] = "clock";
        form->UpdatePicExecute();
    }
    std::size_t edited = 0;

    TempDir dir;
    bool dragAccepted = false;
};

TEST_F(ProjectWindow, StartsWithoutAProjectWhenNoArgumentIsGiven) {
    Start({});
    EXPECT_FALSE(form->Model.PrjOpen);
    EXPECT_EQ(form->windowTitle().toStdString(), "ZUN2012");
    EXPECT_FALSE(form->RecentMenu->isEnabled());
    EXPECT_EQ(form->Model.IniPath, dir.Path("zun2012.ini"));
    // The empty picture: the flat colour behind the background picture.
    EXPECT_EQ(form->PicBitmap.pixel(0, 0), qRgb(236, 233, 216));
}

TEST_F(ProjectWindow, OpensTheProjectOfTheCommandLineAndShowsItsPathAndPicture) {
    Start({kDemo});
    ASSERT_TRUE(form->Model.PrjOpen);
    EXPECT_EQ(form->windowTitle().toStdString(), "ZUN2012 - " + kDemo);
    EXPECT_EQ(form->StatusText(2), "I/P/W:4/17/10");
    EXPECT_TRUE(form->Action("ClosePrj")->isEnabled());
    EXPECT_TRUE(form->Action("FileSaveAs1")->isEnabled());
    EXPECT_FALSE(form->Action("FileSavePrj")->isEnabled());
    const QImage& pic = form->PicBitmap;
    ASSERT_FALSE(pic.isNull());
    for (const port& p : form->Model.PortList)
        EXPECT_EQ(pic.pixel(p.X, p.Y), WinColor(p.PenColor).rgb()) << p.OwnerName << "." << p.Name;
    EXPECT_GE(form->PaintBox1->width(), pic.width());
}

TEST_F(ProjectWindow, AMissingProjectOnTheCommandLineIsLoggedAndNothingOpens) {
    Start({"-open", dir.Path("gone.zun")});
    EXPECT_FALSE(form->Model.PrjOpen);
    EXPECT_TRUE(LogHas("Error: Can not open the project file " + dir.Path("gone.zun") + "."));
    EXPECT_NE(form->InfoWindow->MsgMemo->toPlainText().toStdString().find("Can not open"),
              std::string::npos);
}

TEST_F(ProjectWindow, FirstShowWaitsForTheScreenAndStartsUpAllTheSameWhenItNeverComes) {
    // Shown, but never put on the screen: what a busy display looks like for a while. The wizard
    // a start-up may open must not stand over nothing.
    form->setAttribute(Qt::WA_DontShowOnScreen);
    form->FirstShowPending = true;
    form->SetCommandLine({kDemo});
    form->show();
    for (int turn = 0; turn < 5; ++turn)
        QApplication::processEvents();
    EXPECT_TRUE(form->FirstShowPending);
    EXPECT_FALSE(form->Model.PrjOpen);
    // A window the display never shows still opens its project.
    EXPECT_TRUE(PumpEventsUntil([this] { return form->Model.PrjOpen; }, 30000));
    EXPECT_FALSE(form->FirstShowPending);
    EXPECT_EQ(form->windowTitle().toStdString(), "ZUN2012 - " + kDemo);
}

TEST_F(ProjectWindow, ClosingAModifiedProjectAsksAndCancelKeepsWindowAndProject) {
    Start({kDemo});
    Edit();
    ASSERT_TRUE(form->Model.Modified);
    form->show();
    prompt.ExpectYesNoCancel("Save the current project?", PromptAnswer::Cancel);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->Model.PrjOpen);
    EXPECT_EQ(form->Model.LineList[edited][3], "clock");

    prompt.ExpectYesNoCancel("Save the current project?", PromptAnswer::No);
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->Model.PrjOpen);
    ASSERT_FALSE(form->Model.RecentList.empty());
    EXPECT_EQ(form->Model.RecentList.front(), kDemo);
}

TEST_F(ProjectWindow, ClosingAnUnchangedProjectAsksNothing) {
    Start({kDemo});
    form->show();
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->Model.PrjOpen);
    EXPECT_EQ(form->windowTitle().toStdString(), "ZUN2012");
    EXPECT_FALSE(form->Action("ClosePrj")->isEnabled());
    ASSERT_EQ(form->RecentMenu->actions().size(), 1);
    EXPECT_EQ(form->RecentMenu->actions().front()->text().toStdString(), "1 " + kDemo);
}

TEST_F(ProjectWindow, ADroppedProjectOpensByItsWholePathHoweverLong) {
    std::string deep;
    while (deep.size() < 300)
        deep += "a-rather-long-folder-name/";
    const std::string path = Copy(deep + "demo.zun");
    ASSERT_GT(path.size(), 259u);
    Drop({path});
    EXPECT_TRUE(dragAccepted);
    ASSERT_TRUE(form->Model.PrjOpen);
    EXPECT_EQ(form->Model.PrjFileName, path);
    EXPECT_EQ(form->windowTitle().toStdString(), "ZUN2012 - " + path);
}

TEST_F(ProjectWindow, DroppingAProjectClosesTheModifiedOneFirstAndCancelKeepsIt) {
    Start({kDemo});
    Edit();
    const std::string other = Copy("other.zun");
    prompt.ExpectYesNoCancel("Save the current project?", PromptAnswer::Cancel);
    Drop({other});
    EXPECT_EQ(form->Model.PrjFileName, kDemo);
    EXPECT_EQ(form->Model.LineList[edited][3], "clock");

    prompt.ExpectYesNoCancel("Save the current project?", PromptAnswer::No);
    Drop({other});
    EXPECT_EQ(form->Model.PrjFileName, other);
    EXPECT_FALSE(form->Model.Modified);
}

TEST_F(ProjectWindow, DroppedSourcesGoToTheWizardOnlyWhenOneIsThere) {
    Start({kDemo});
    const std::string a = Copy("a.zun");
    const std::string b = Copy("b.zun");
    Drop({a, b});
    EXPECT_FALSE(dragAccepted) << "no wizard takes sources yet";
    EXPECT_EQ(form->Model.PrjFileName, kDemo);

    std::vector<std::string> handed;
    form->AddModuleWizard = [&](const std::vector<std::string>& files) { handed = files; };
    Drop({a, b});
    EXPECT_TRUE(dragAccepted);
    EXPECT_EQ(handed, (std::vector<std::string>{a, b}));
    EXPECT_EQ(form->Model.PrjFileName, kDemo);
}

TEST_F(ProjectWindow, APaintOnlyCopiesThePictureAndNeverRebuilds) {
    form->Model.LineList = LinesFromText("TOP\t\ttop\nINPUT\t\t\ta\nTOP\t\tsecond\n");
    form->Model.PrjOpen = true;
    form->UpdatePicExecute();
    ASSERT_TRUE(LogHas("Error: More than one top module."));
    const std::size_t logged = form->Model.Log.Lines().size();
    const int paints = form->PaintBox1->PaintCount();
    const QImage shown = form->PaintBox1->grab().toImage();
    form->PaintBox1->grab();
    EXPECT_GT(form->PaintBox1->PaintCount(), paints);
    EXPECT_EQ(form->Model.Log.Lines().size(), logged);
    const port& a = form->Model.PortList.front();
    EXPECT_EQ(shown.pixel(a.X, a.Y), form->PicBitmap.pixel(a.X, a.Y));
}

TEST_F(ProjectWindow, AProjectWithoutTopIsClosedOnceByTheCommandThatRebuilt) {
    form->Model.LineList = LinesFromText("MODULE\tm\tu1\t/x.v\tverilog\nINPUT\t\t\ta\n");
    form->Model.PrjOpen = true;
    form->UpdateProjectState('n');
    form->UpdatePicExecute();
    EXPECT_FALSE(form->Model.PrjOpen);
    EXPECT_TRUE(form->Model.LineList.empty());
    EXPECT_EQ(form->windowTitle().toStdString(), "ZUN2012");
    EXPECT_FALSE(form->Action("ClosePrj")->isEnabled());
    const std::size_t logged = form->Model.Log.Lines().size();
    form->PaintBox1->grab();
    EXPECT_EQ(form->Model.Log.Lines().size(), logged);
}

TEST_F(ProjectWindow, AFailedPictureAllocationIsLoggedAndNothingIsDrawnIntoIt) {
    Start({kDemo});
    form->AllocatePicture = [](int, int) { return QImage(); };
    // Larger than the picture, so that the picture must be made anew.
    form->ScrollBox1->resize(form->PicBitmap.width() + 123, form->PicBitmap.height() + 77);
    form->UpdatePicExecute();
    EXPECT_TRUE(form->PicBitmap.isNull());
    bool logged = false;
    for (const std::string& l : form->Model.Log.Lines())
        logged |= l.rfind("Error: Not enough memory for a picture of", 0) == 0;
    EXPECT_TRUE(logged);
    form->PaintBox1->grab(); // paints without a picture
    form->AllocatePicture = [](int w, int h) { return QImage(w, h, QImage::Format_RGB32); };
    form->UpdatePicExecute();
    EXPECT_FALSE(form->PicBitmap.isNull());
}

TEST_F(ProjectWindow, AHugePictureIsCappedWithAnError) {
    std::string text = "TOP\t\ttop\nINPUT\t\t\ta\n";
    for (int i = 0; i < 700; ++i)
        text += "MODULE\tm\tu" + std::to_string(i) + "\t/x.v\tverilog\nINPUT\t\t\ta\n";
    form->Model.LineList = LinesFromText(text);
    form->Model.PrjOpen = true;
    form->UpdatePicExecute();
    EXPECT_EQ(form->PicBitmap.width(), MaxPictureSide);
    bool logged = false;
    for (const std::string& l : form->Model.Log.Lines())
        logged |= l.rfind("Error: The picture would be ", 0) == 0;
    EXPECT_TRUE(logged);
    // A resize draws again without repeating the report.
    const std::size_t lines = form->Model.Log.Lines().size();
    form->ScrollBox1Resize();
    EXPECT_EQ(form->Model.Log.Lines().size(), lines);
    EXPECT_EQ(form->PicBitmap.width(), MaxPictureSide);
    // A gesture is a command: the report comes once more, whether the gesture rebuilt or only
    // refreshed the marks.
    MouseShift left;
    left.Left = true;
    form->Canvas->PaintBox1MouseDown(MouseButton::Left, left, 3, 3);
    form->Canvas->PaintBox1MouseUp(MouseButton::Left, left, 3, 3);
    std::size_t reports = 0;
    for (std::size_t i = lines; i < form->Model.Log.Lines().size(); ++i)
        reports += form->Model.Log.Lines()[i].rfind("Error: The picture would be ", 0) == 0;
    EXPECT_EQ(reports, 2u) << "the press and the release";
}

TEST_F(ProjectWindow, UndoAndRedoActionsFollowTheEdits) {
    Start({kDemo});
    EXPECT_FALSE(form->Action("Undo")->isEnabled());
    Edit();
    EXPECT_TRUE(form->Action("Undo")->isEnabled());
    EXPECT_FALSE(form->Action("Redo")->isEnabled());
    EXPECT_TRUE(form->Action("FileSavePrj")->isEnabled());
    form->Action("Undo")->trigger();
    EXPECT_EQ(form->Model.LineList[edited][3], "clk");
    EXPECT_FALSE(form->Action("Undo")->isEnabled());
    EXPECT_TRUE(form->Action("Redo")->isEnabled());
    form->Action("Redo")->trigger();
    EXPECT_EQ(form->Model.LineList[edited][3], "clock");
    EXPECT_TRUE(form->Action("Undo")->isEnabled());
    EXPECT_FALSE(form->Action("Redo")->isEnabled());
}

TEST_F(ProjectWindow, TheRecentSubmenuShowsAtMostNineNumberedEntries) {
    for (int i = 0; i < 12; ++i)
        form->Model.RecentList.push_back("/p/project" + std::to_string(i) + ".zun");
    form->BuildRecentMenu();
    const QList<QAction*> items = form->RecentMenu->actions();
    ASSERT_EQ(items.size(), 9);
    EXPECT_EQ(items.front()->text().toStdString(), "1 /p/project0.zun");
    EXPECT_EQ(items.back()->text().toStdString(), "9 /p/project8.zun");
    EXPECT_TRUE(form->RecentMenu->isEnabled());
}

TEST_F(ProjectWindow, ARecentEntryThatHasGoneIsReportedAndRemoved) {
    Start({kDemo});
    form->Model.RecentList = {dir.Path("gone.zun"), kDemo};
    form->BuildRecentMenu();
    prompt.ExpectMessage("File does not exist.");
    form->RecentMenu->actions().front()->trigger();
    EXPECT_EQ(form->Model.RecentList, std::vector<std::string>{kDemo});
    ASSERT_EQ(form->RecentMenu->actions().size(), 1);
    EXPECT_EQ(form->RecentMenu->actions().front()->text().toStdString(), "1 " + kDemo);
    EXPECT_TRUE(form->Model.PrjOpen);
}

TEST_F(ProjectWindow, TheInformationWindowShowsTheLogAndFollowsItsButton) {
    form->show();
    EXPECT_TRUE(form->InfoWindow->isVisible());
    EXPECT_TRUE(form->InfoWindow->MsgMemo->toPlainText().startsWith("* ZUN2012\n"));
    form->Model.LogWarning("");
    EXPECT_TRUE(form->InfoWindow->MsgMemo->toPlainText().endsWith("\nWarning: "));
    form->Action("ToolButton27")->trigger(); // released
    EXPECT_FALSE(form->InfoWindow->isVisible());
    form->Action("ToolButton27")->trigger(); // pressed
    EXPECT_TRUE(form->InfoWindow->isVisible());
    form->InfoWindow->close();
    EXPECT_FALSE(form->Action("ToolButton27")->isChecked());
    EXPECT_FALSE(form->View.InfoWindow);
    form->Model.ClearLog();
    EXPECT_TRUE(form->InfoWindow->MsgMemo->toPlainText().isEmpty());
}

TEST_F(ProjectWindow, OnlyTheMessagePageShowsAndApplyOfTheScriptsPageReplacesTheProject) {
    QTabWidget* pages = form->InfoWindow->PageControl1;
    ASSERT_EQ(pages->count(), 4);
    const char* const titles[] = {"Driver", "Scripts", "Message", "History"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pages->tabText(i).toStdString(), titles[i]);
        EXPECT_EQ(pages->isTabVisible(i), i == 2) << titles[i];
    }
    EXPECT_EQ(pages->currentIndex(), 2);
    EXPECT_TRUE(form->InfoWindow->MsgMemo->isReadOnly());
    EXPECT_EQ(form->InfoWindow->windowTitle().toStdString(), "Information");

    form->Model.LineList = LinesFromText("TOP\t\told\n");
    form->InfoWindow->ScriptsMemo->setPlainText("TOP\t\tnew\r\nINPUT\t\t\ta\nOUTPUT\t\t\tb");
    form->InfoWindow->Scr_Drv->click();
    EXPECT_EQ(Keywords(form->Model.LineList), (std::vector<std::string>{"TOP", "INPUT", "OUTPUT"}));
    EXPECT_EQ(form->Model.LineList[0][2], "new");
    EXPECT_TRUE(form->InfoWindow->ScriptsMemo->toPlainText().isEmpty());
}

TEST_F(ProjectWindow, NewOnTheCommandLineRunsTheWizardWithTheSourcesAndSetsUpItsProject) {
    std::vector<std::string> handed;
    bool fromMain = false;
    form->InstallNewProjectWizard([&](bool senderIsMainWindow, const std::vector<std::string>& s) {
        fromMain = senderIsMainWindow;
        handed = s;
        // What the wizard does on OK: the engine's project replaces the lines.
        form->Model.LineList = LinesFromText("TOP\t\ttop\nINPUT\t\t\ta_rather_long_port_name\n"
                                             "MODULE\tm\tu1\t/m.v\tverilog\nINPUT\t\t\tx\n"
                                             "MODULE\tm\tu2\t/m.v\tverilog\nINPUT\t\t\tx\n");
        form->Model.PrjOpen = true;
        form->Model.PrjUntitled = true;
        form->UpdatePicExecute();
        return true;
    });
    std::vector<std::pair<std::string, bool>> checked;
    form->CheckAddedInstance = [&](const std::string& inst, bool first) {
        checked.emplace_back(inst, first);
    };
    Start({"-new", "/src/a.v", "/src/b.v"});
    EXPECT_TRUE(fromMain);
    EXPECT_EQ(handed, (std::vector<std::string>{"/src/a.v", "/src/b.v"}));
    EXPECT_TRUE(form->Model.Modified);
    EXPECT_TRUE(form->Action("ClosePrj")->isEnabled());
    EXPECT_TRUE(form->Action("FileSavePrj")->isEnabled());
    // The long port label would want more than the widest a port may be made.
    ASSERT_GT(drawer.MeasurePortLabels(form->Model, form->View).width(), 100);
    EXPECT_EQ(form->Model.PrtWidth, 100);
    EXPECT_EQ(form->Model.PrtHeight,
              std::min(drawer.MeasurePortLabels(form->Model, form->View).height(), 25));
    EXPECT_EQ(form->Model.TitleHeight, drawer.MeasureModuleNames(form->Model).height());
    EXPECT_EQ(checked, (std::vector<std::pair<std::string, bool>>{{"u1", true}, {"u2", false}}));
}

// Regression: the first Save As of the wizard's untitled project opened in the work folder (in
// an installed copy, the folder of the programs).
TEST_F(ProjectWindow, TheFirstSaveAsOfANewProjectOpensInTheFolderOfItsFirstSource) {
    std::filesystem::create_directories(dir.Path("rtl"));
    form->Model.WorkDir = dir.Path("work/");
    std::filesystem::create_directories(form->Model.WorkDir);
    form->InstallNewProjectWizard([&](bool, const std::vector<std::string>&) {
        form->Model.LineList = LinesFromText("TOP\t\ttop\nMODULE\tm\tu1\t" + dir.Path("rtl/m.v") +
                                             "\tverilog\nINPUT\t\t\tx\n");
        form->Model.PrjOpen = true;
        form->Model.PrjUntitled = true;
        form->Model.PrjFileName = form->Model.WorkDir + "qvprj.zun";
        form->UpdatePicExecute();
        return true;
    });
    form->Action("FileNewPrj")->trigger();
    ASSERT_TRUE(form->Model.PrjUntitled);
    const std::string target = dir.Path("rtl/design.zun");
    prompt.ExpectSaveFileIn("Save Project As", dir.Path("rtl/"), {target});
    form->Action("FileSavePrj")->trigger();
    EXPECT_EQ(form->Model.PrjFileName, target);
    EXPECT_EQ(prompt.LastChooser().fileName, "") << "the work file's name is not offered";

    // The folder a project without sources would open in: the one the editor started in.
    EXPECT_EQ(form->Model.StartDir, platform::CurrentDirectory());
}

TEST_F(ProjectWindow, ACancelledNewProjectWizardLeavesNoProjectUnmodified) {
    form->InstallNewProjectWizard([&](bool, const std::vector<std::string>&) { return false; });
    EXPECT_TRUE(form->Action("FileNewPrj")->isEnabled());
    form->Action("FileNewPrj")->trigger();
    EXPECT_FALSE(form->Model.PrjOpen);
    EXPECT_FALSE(form->Model.Modified);
}

TEST_F(ProjectWindow, TheAboutBoxFillsItsLabelsWhileShownAndBlanksThemAfter) {
    TAboutBox box(form.get());
    std::string shown;
    QTimer::singleShot(0, &box, [&] {
        shown = box.ProductName->text().toStdString();
        box.accept();
    });
    box.ShowAbout();
    EXPECT_EQ(shown.size(), 7u);
    EXPECT_EQ(box.ProductName->text().toStdString(), "  ");
    EXPECT_EQ(box.Version->text().toStdString(), "  ");
    EXPECT_EQ(box.windowTitle().toStdString(), "About");
}

} // namespace

namespace {

TEST_F(ProjectWindow, TheOpenCommandClosesThenOpensTheChosenFile) {
    const std::string path = Copy("chosen.zun");
    prompt.ExpectOpenFile("Open ZUN Project", {path});
    form->Action("OpenProject")->trigger();
    EXPECT_EQ(form->Model.PrjFileName, path);
    EXPECT_EQ(form->windowTitle().toStdString(), "ZUN2012 - " + path);

    prompt.ExpectOpenFile("Open ZUN Project", {}); // cancelled
    form->Action("OpenProject")->trigger();
    EXPECT_EQ(form->Model.PrjFileName, path);
}

TEST_F(ProjectWindow, SaveAsWritesTheNewFileAndTheCaptionShowsIt) {
    Start({Copy("first.zun")});
    Edit();
    const std::string target = dir.Path("second.zun");
    prompt.ExpectSaveFile("Save Project As", {target});
    form->Action("FileSaveAs1")->trigger();
    EXPECT_TRUE(std::filesystem::exists(target));
    EXPECT_EQ(form->Model.PrjFileName, target);
    EXPECT_EQ(form->windowTitle().toStdString(), "ZUN2012 - " + target);
    EXPECT_FALSE(form->Model.Modified);
    EXPECT_FALSE(form->Action("FileSavePrj")->isEnabled());

    // What was saved opens again with the edit in it.
    prompt.ExpectOpenFile("Open ZUN Project", {target});
    form->Action("OpenProject")->trigger();
    EXPECT_EQ(form->Model.LineList[edited][3], "clock");
}

TEST_F(ProjectWindow, AProjectSavedInTheCompactViewOpensWithTheCompactViewButtonDown) {
    ProjectModel writer;
    writer.LineList = LinesFromText("TOP\t\ttop\nINPUT\t\t\ta\n");
    writer.ViewMode = '2';
    const std::string path = dir.Path("compact.zun");
    ASSERT_TRUE(FileSaveAs1Accept(writer, path).Saved);
    Start({path});
    EXPECT_EQ(form->Model.ViewMode, '2');
    EXPECT_TRUE(form->Action("ToolButton2")->isChecked());
    EXPECT_FALSE(form->Action("ToolButton35")->isChecked());
}

TEST_F(ProjectWindow, DrawingButtonsRedrawAndViewButtonsLayTheProjectOutAgain) {
    Start({kDemo});
    const wire w = form->Model.WireList.front();
    const QRgb dot = WinColor(w.DotColor).rgb();
    EXPECT_EQ(form->PicBitmap.pixel(w.X1 + 2, w.Y1), dot);
    form->Action("ToolButton22")->trigger(); // "Show Wires" up
    EXPECT_NE(form->PicBitmap.pixel(w.X1 + 2, w.Y1), dot);

    const int sideBySide = form->Model.MduList[2].X;
    form->Action("ToolButton2")->trigger(); // "Compact View"
    EXPECT_EQ(form->Model.ViewMode, '2');
    EXPECT_LT(form->Model.MduList[2].X, sideBySide);
    form->Action("ToolButton35")->trigger(); // "Normal View"
    EXPECT_EQ(form->Model.MduList[2].X, sideBySide);
}

TEST_F(ProjectWindow, NineCursorsAreLoadedIntoTheirSlotsAndTheEditModesShowThem) {
    EXPECT_TRUE(form->FatalError.empty());
    for (int slot = 1; slot <= 9; ++slot) {
        const QPixmap p = form->CursorSlots[static_cast<std::size_t>(slot)].pixmap();
        ASSERT_FALSE(p.isNull()) << slot;
        EXPECT_EQ(p.size(), QSize(32, 32)) << slot;
    }
    // Nine different pictures.
    std::set<QByteArray> bits;
    for (int slot = 1; slot <= 9; ++slot) {
        const QImage img = form->CursorSlots[static_cast<std::size_t>(slot)].pixmap().toImage();
        bits.insert(QByteArray(reinterpret_cast<const char*>(img.constBits()),
                               static_cast<int>(img.sizeInBytes())));
    }
    EXPECT_EQ(bits.size(), 9u);

    form->Model.PrjOpen = true;
    form->UpdateProjectState('n');
    form->Action("ToolButton8")->trigger();
    EXPECT_EQ(form->PaintBox1->cursor().pixmap().toImage(),
              form->CursorSlots[1].pixmap().toImage());
    form->Action("ToolButton28")->trigger();
    EXPECT_EQ(form->PaintBox1->cursor().pixmap().toImage(),
              form->CursorSlots[8].pixmap().toImage());
    form->Action("ToolButton9")->trigger();
    EXPECT_EQ(form->PaintBox1->cursor().shape(), Qt::ArrowCursor);
}

} // namespace

namespace {

// Writes each message box to the standard error, where a death test reads what the user saw.
class StderrPrompt : public ScriptedPrompt {
public:
    void Message(const std::string& text, const std::string&, MessageKind) override {
        std::fprintf(stderr, "message box: %s\n", text.c_str());
    }
};

TEST_F(ProjectWindow, ALineThatCannotBeAllocatedIsShownInTheWindowsMessageBoxAndEndsWithCodeOne) {
    EXPECT_EQ(form->Model.MemoryPrompt, &prompt);
    // The child runs the program afresh, so no window state is shared with a forked copy.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            StderrPrompt boxes;
            TForm1 window(boxes, drawer);
            window.Model.NotEnoughMemory();
        },
        testing::ExitedWithCode(1), "message box: Not enough memory\\.");
}

// The close that an illegal project causes used to clear the log, so "Illegal project." and
// what led to it were gone before the user could read them.
TEST_F(ProjectWindow, EveryCloseOfAProjectWithoutTopKeepsTheLogThatExplainsIt) {
    const std::string noTop = "MODULE\tm\tu1\t/m.v\tverilog\nINPUT\t\t\ta\n";
    struct Case {
        const char* name;
        std::function<void()> run;
        std::vector<std::string> kept; // besides "Error: Illegal project.", which comes last
    };
    const Case cases[] = {
        {"the scripts page's Apply, then Update Picture",
         [&] {
             form->InfoWindow->ScriptsMemo->setPlainText(QString::fromStdString(noTop) +
                                                         "INPUT\t\t\ta\n");
             form->InfoWindow->Scr_Drv->click();
             form->Action("UpdatePic")->trigger();
         },
         {"Info: before the command",
          "Error: Found and ignored duplicate port a in the instance u1."}},
        {"an edit that takes the TOP line away, closed without saving",
         [&] {
             form->Model.TakeUndoSnapshot();
             ProjectLines& lines = form->Model.LineList;
             lines.erase(std::find_if(lines.begin(), lines.end(),
                                      [](const ProjectLine& l) { return l[0] == "TOP"; }));
             prompt.ExpectYesNoCancel("Save the current project?", PromptAnswer::No);
             form->UpdatePicExecute();
         },
         {"Info: before the command"}},
        {"a new project whose wizard made no TOP line",
         [&] {
             form->InstallNewProjectWizard([&](bool, const std::vector<std::string>&) {
                 form->Model.LogInfo("from the wizard");
                 form->Model.LineList = LinesFromText(noTop);
                 form->Model.PrjOpen = true;
                 form->Model.PrjUntitled = true;
                 return true;
             });
             prompt.ExpectYesNoCancel("Save the current project?", PromptAnswer::No);
             form->Action("FileNewPrj")->trigger();
         },
         {"Info: from the wizard"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form->Model.ClearLog();
        Start({Copy(std::string(c.name) + ".zun")});
        ASSERT_TRUE(form->Model.PrjOpen);
        form->Model.LogInfo("before the command");
        c.run();
        EXPECT_TRUE(prompt.Done());
        EXPECT_FALSE(form->Model.PrjOpen);
        EXPECT_FALSE(form->Action("ClosePrj")->isEnabled());
        const std::vector<std::string>& log = form->Model.Log.Lines();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.back(), "Error: Illegal project.");
        EXPECT_EQ(std::count(log.begin(), log.end(), "Error: Illegal project."), 1);
        for (const std::string& line : c.kept)
            EXPECT_TRUE(LogHas(line)) << line;
        const std::string shown = form->InfoWindow->MsgMemo->toPlainText().toStdString();
        EXPECT_NE(shown.find("Error: Illegal project."), std::string::npos);
    }
}

TEST_F(ProjectWindow, AnUnwritableWorkDirectoryAtStartUpIsLoggedOnceAndOpensTheSettings) {
    const std::string gone = dir.Path("gone");
    std::ofstream(dir.Path("zun2012.ini")) << "[QVsetting]\nE16=" << gone << "\n";
    const std::string text =
        "Can not write to the directory " + gone + "/. Please set a valid work directory.";
    int dialogs = 0;
    form->SettingsWindow->ShowModal = [&](TPropForm&) {
        ++dialogs;
        return 0;
    };
    Start({});
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(prompt.Shown().empty());
    int logged = 0;
    for (const std::string& l : form->Model.Log.Lines())
        logged += l == "Error: " + text;
    EXPECT_EQ(logged, 1);
}

} // namespace
