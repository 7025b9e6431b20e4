// The module wizard window over its logic, and New Project through the main window, offscreen
// with the real engine.
#include "editor/hdl/ui/TFormNewPrj.h"
#include "editor/app/ModuleWizardHost.h"
#include "editor/app/TDrvForm.h"

#include "WizardWindowFixture.h"
#include "support/EngineWorkFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class TFormNewPrjTest : public WizardWindowTest {
protected:
    void SetUp() override {
        SetUpWizard("wizard");
        a_ = Source("a.v", "module adder(input [7:0] x, output [7:0] y); endmodule\n"
                           "module mux(input s, output o); endmodule\n");
        b_ = Source("b.vhd", "entity blink is port (clk : in std_logic); end entity;\n");
    }

    static QStringList Column(QTreeWidget* list, int column) {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            texts << list->topLevelItem(i)->text(column);
        return texts;
    }

    std::string a_, b_;
};

TEST_F(TFormNewPrjTest, FilePageShowsTheSourcesWithTheirKindsAndButtons) {
    TFormNewPrj& w = host->Window();
    EXPECT_EQ(FormNewPrj, &w);
    EXPECT_EQ(w.size(), QSize(426, 361));
    host->Wizard().Open('N', false);
    w.DroppedFiles({a_, b_});
    EXPECT_EQ(w.windowTitle(), "ZUN New Project - File Settings");
    EXPECT_EQ(w.ListView1->headerItem()->text(0), "Selected Files (2)");
    EXPECT_EQ(Column(w.ListView1, 0),
              (QStringList{QString::fromStdString(a_), QString::fromStdString(b_)}));
    EXPECT_FALSE(w.ListView1->topLevelItem(0)->icon(0).isNull());
    EXPECT_NE(w.ListView1->topLevelItem(0)->icon(0).cacheKey(),
              w.ListView1->topLevelItem(1)->icon(0).cacheKey())
        << "Verilog and VHDL rows look alike";
    EXPECT_TRUE(w.BitBtn2->isEnabled());
    EXPECT_TRUE(w.BitBtn5->isEnabled());
    EXPECT_FALSE(w.BitBtn4->isEnabled());
    EXPECT_FALSE(w.BitBtn6->isEnabled());
    EXPECT_TRUE(w.acceptDrops());
    EXPECT_EQ(w.ListView1->toolTip(), "Accept drag and drop.");

    w.LabeledEdit1->setText(QString::fromStdString(a_));
    EXPECT_TRUE(w.BitBtn6->isEnabled());
    w.BitBtn6->click();
    EXPECT_EQ(w.ListView1->topLevelItemCount(), 2) << "the same path is listed once";

    // Selecting a row enables Remove; the Delete key removes it; the kind menu changes kinds.
    w.ListView1->topLevelItem(0)->setSelected(true);
    EXPECT_TRUE(w.BitBtn4->isEnabled());
    w.FileTypeClick(AutoKind);
    EXPECT_EQ(host->Wizard().Files[0].kind, AutoKind);
    EXPECT_TRUE(w.ListView1->topLevelItem(0)->isSelected()) << "the selection survives";
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(w.ListView1, &del);
    EXPECT_EQ(Column(w.ListView1, 0), (QStringList{QString::fromStdString(b_)}));
    w.BitBtn5->click();
    EXPECT_EQ(w.ListView1->topLevelItemCount(), 0);
    EXPECT_FALSE(w.BitBtn2->isEnabled());
}

TEST_F(TFormNewPrjTest, NextListsTheModulesAndCountsAreEditedInPlaceWithinBounds) {
    TFormNewPrj& w = host->Window();
    host->Wizard().Open('N', false);
    w.DroppedFiles({a_, b_});
    w.BitBtn2->click();
    EXPECT_EQ(w.windowTitle(), "ZUN New Project - Module Settings");
    EXPECT_FALSE(w.acceptDrops());
    EXPECT_EQ(Column(w.ListView2, 1), (QStringList{"adder", "mux", "blink"}));
    EXPECT_EQ(Column(w.ListView2, 0), (QStringList{"1", "1", "1"}));
    EXPECT_EQ(w.LabeledEdit2->text(), "mytop");
    EXPECT_TRUE(w.LabeledEdit2->isEnabled());
    EXPECT_EQ(w.LabeledEdit2->width(), 233);
    EXPECT_TRUE(w.CheckBox1->isHidden());
    EXPECT_FALSE(w.Label2->isHidden());
    EXPECT_TRUE(w.BitBtn8->isEnabled());
    EXPECT_FALSE(w.BitBtn10->isEnabled());
    EXPECT_TRUE(EngineWorkFilesLeft(root_ / "work").empty());

    w.ListView2->topLevelItem(0)->setText(0, "4");
    EXPECT_EQ(host->Wizard().Modules[0].count, "4");
    w.ListView2->topLevelItem(0)->setText(0, "-2");
    EXPECT_EQ(w.ListView2->topLevelItem(0)->text(0), "4") << "a refused count shows the old one";
    EXPECT_EQ(host->Wizard().Modules[0].count, "4");

    w.ListView2->topLevelItem(1)->setSelected(true);
    EXPECT_TRUE(w.Label2->isEnabled());
    w.Label2Click();
    EXPECT_EQ(w.ListView2->topLevelItem(1)->text(0), "2");

    // A header click sorts; the first sort is descending.
    w.ListView2->header()->sectionClicked(1);
    EXPECT_EQ(Column(w.ListView2, 1), (QStringList{"mux", "blink", "adder"}));

    w.BitBtn7->click();
    EXPECT_EQ(w.windowTitle(), "ZUN New Project - File Settings");
    EXPECT_EQ(w.ListView1->topLevelItemCount(), 2);
}

TEST_F(TFormNewPrjTest, TheFileFieldIsEmptiedByAddSoTheNextPathStandsAlone) {
    TFormNewPrj& w = host->Window();
    host->Wizard().Open('N', false);
    w.Refresh();
    for (const std::string& path : {a_, b_}) {
        w.LabeledEdit1->insert(QString::fromStdString(path));
        ASSERT_TRUE(w.BitBtn6->isEnabled()) << path;
        w.BitBtn6->click();
        EXPECT_EQ(w.LabeledEdit1->text(), "");
        EXPECT_FALSE(w.BitBtn6->isEnabled());
    }
    EXPECT_EQ(Column(w.ListView1, 0),
              (QStringList{QString::fromStdString(a_), QString::fromStdString(b_)}));
}

TEST_F(TFormNewPrjTest, TheModuleColumnTakesTheRoomOfAWiderDialog) {
    // Regression: the column kept 85 pixels however wide the dialog was, and cut long names.
    const std::string name = "axis_async_fifo_adapter_with_a_long_name";
    const std::string source = Source("long.v", "module " + name + "(input a); endmodule\n");
    TFormNewPrj& w = host->Window();
    host->Wizard().Open('N', false);
    w.DroppedFiles({source});
    w.show();
    w.BitBtn2Click();
    QApplication::processEvents();
    EXPECT_EQ(w.ListView2->columnWidth(1), 85) << "at the dialog's own size";
    w.resize(900, 361);
    QApplication::processEvents();
    const int needed = w.ListView2->fontMetrics().horizontalAdvance(QString::fromStdString(name));
    EXPECT_GT(w.ListView2->columnWidth(1), needed);
    EXPECT_EQ(w.ListView2->columnWidth(0), 80);
    EXPECT_EQ(w.ListView2->columnWidth(2), 255);
    EXPECT_GE(w.ListView2->columnWidth(0) + w.ListView2->columnWidth(1) +
                  w.ListView2->columnWidth(2),
              w.ListView2->viewport()->width());
    w.hide();
}

TEST_F(TFormNewPrjTest, ImportModeShowsInheritTypeAndTheProjectsTopName) {
    TFormNewPrj& w = host->Window();
    form->Model.TopName = "chip";
    host->Wizard().Open('T', false);
    w.DroppedFiles({a_});
    w.BitBtn2->click();
    EXPECT_EQ(w.windowTitle(), "Import Top Port - Module Settings");
    EXPECT_EQ(w.LabeledEdit2->text(), "chip");
    EXPECT_FALSE(w.LabeledEdit2->isEnabled());
    EXPECT_EQ(w.LabeledEdit2->width(), 180);
    EXPECT_FALSE(w.CheckBox1->isHidden());
    EXPECT_TRUE(w.CheckBox1->isChecked());
    EXPECT_TRUE(w.Label1->isHidden());
    w.CheckBox1->setChecked(false);
    EXPECT_EQ(host->Wizard().TopSelector(), "*t");
}

TEST_F(TFormNewPrjTest, NewProjectCommandDrawsTheProjectTheWizardBuilt) {
    host->ShowModal = [this](TFormNewPrj& w) {
        EXPECT_EQ(Column(w.ListView1, 0),
                  (QStringList{QString::fromStdString(a_), QString::fromStdString(b_)}));
        w.BitBtn2Click();
        w.LabeledEdit2->setText("chip");
        w.BitBtn8Click();
        return w.result();
    };
    form->FileNewPrjExecute(true, {a_, b_});
    EXPECT_TRUE(form->Model.PrjOpen);
    EXPECT_TRUE(form->Model.Modified);
    EXPECT_EQ(form->Model.TopName, "chip");
    EXPECT_EQ(form->Model.MduList.size(), 4u);
    EXPECT_EQ(form->windowTitle().toStdString(), "ZUN2012 - " + form->Model.WorkDir + "qvprj.zun");
    EXPECT_EQ(form->StatusText(2).rfind("I/P/W:4/", 0), 0u) << form->StatusText(2);
    EXPECT_TRUE(EngineWorkFilesLeft(root_ / "work").empty());
}

// Records the application's cursor at every drawing of the picture.
class CursorRecordingDrawer : public SchematicDrawer {
public:
    std::vector<Qt::CursorShape> shapes;
    void Draw(QImage& picture, const DrawInput& input) override {
        const QCursor* cursor = QApplication::overrideCursor();
        shapes.push_back(cursor ? cursor->shape() : Qt::ArrowCursor);
        SchematicDrawer::Draw(picture, input);
    }
};

TEST_F(TFormNewPrjTest, TheHourglassStaysUpFromOkToTheLastDrawingOfTheNewProject) {
    // Regression: after the wizard closed, the layout, the width checks and the drawing of a
    // large project ran for seconds under the plain arrow.
    host.reset();
    CursorRecordingDrawer recording;
    form = std::make_unique<TForm1>(prompt, recording);
    form->FirstShowPending = false;
    form->Model.AppDir = std::string(ZUN_BUILD_DIR) + "/";
    form->Model.WorkDir = (root_ / "work").string() + "/";
    form->Model.IniPath = (root_ / "zun2012.ini").string();
    host = std::make_unique<ModuleWizardHost>(*form, prompt);
    std::vector<Qt::CursorShape> checks;
    form->CheckAddedInstance = [&](const std::string&, bool) {
        const QCursor* cursor = QApplication::overrideCursor();
        checks.push_back(cursor ? cursor->shape() : Qt::ArrowCursor);
    };
    host->ShowModal = [&](TFormNewPrj& w) {
        w.BitBtn2Click();
        recording.shapes.clear();
        w.BitBtn8Click();
        return w.result();
    };
    form->FileNewPrjExecute(true, {a_});
    ASSERT_TRUE(form->Model.PrjOpen);
    ASSERT_GE(recording.shapes.size(), 3u) << "the wizard's drawing and the opener's two";
    for (Qt::CursorShape shape : recording.shapes)
        EXPECT_EQ(shape, Qt::WaitCursor);
    ASSERT_EQ(checks.size(), 2u);
    for (Qt::CursorShape shape : checks)
        EXPECT_EQ(shape, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "and it is gone afterwards";
    const QString log = form->InfoWindow->MsgMemo->toPlainText();
    EXPECT_TRUE(
        log.contains("Info: Add 1 module (adder). Sourec file:" + QString::fromStdString(a_)))
        << log.toStdString();
    EXPECT_TRUE(
        log.contains("Info: Add 1 module (mux). Sourec file:" + QString::fromStdString(a_)));
}

TEST_F(TFormNewPrjTest, EngineFailureAtOkLeavesNoProjectAndNothingModified) {
    // Regression: the opener marked a project modified that the failed job never opened.
    fs::create_directories(root_ / "no engine");
    host->ShowModal = [this](TFormNewPrj& w) {
        w.BitBtn2Click();
        form->Model.AppDir = (root_ / "no engine").string() + "/";
        host->Runner().SetDirectories(form->Model.AppDir, form->Model.WorkDir);
        w.BitBtn8Click();
        return w.result();
    };
    prompt.ExpectMessage("Can't read HDL source files.");
    form->FileNewPrjExecute(true, {a_});
    EXPECT_EQ(host->Window().result(), QDialog::Accepted) << "the wizard itself still says OK";
    EXPECT_FALSE(form->Model.PrjOpen);
    EXPECT_FALSE(form->Model.Modified);
    EXPECT_TRUE(form->Model.LineList.empty());
    EXPECT_TRUE(EngineWorkFilesLeft(root_ / "work").empty());
}

TEST_F(TFormNewPrjTest, MenuCommandStartsWithAnEmptyListAndCancelChangesNothing) {
    host->Wizard().AddSourceFile(a_);
    host->ShowModal = [](TFormNewPrj& w) {
        EXPECT_EQ(w.ListView1->topLevelItemCount(), 0);
        w.BitBtn3->click();
        return w.result();
    };
    form->FileNewPrjExecute(false);
    EXPECT_FALSE(form->Model.PrjOpen);
    EXPECT_FALSE(form->Model.Modified);
}

TEST_F(TFormNewPrjTest, DroppedSourceFilesOnTheMainWindowOpenTheWizardWithThem) {
    std::vector<std::string> listed;
    host->ShowModal = [&](TFormNewPrj& w) {
        for (const SourceFileRow& r : host->Wizard().Files)
            listed.push_back(r.path);
        EXPECT_EQ(w.windowTitle(), "ZUN New Project - File Settings");
        return int(QDialog::Rejected);
    };
    const std::string zunLike = Source("two.zun", "");
    form->HandleDroppedFiles({a_, zunLike});
    EXPECT_EQ(listed, (std::vector<std::string>{a_, zunLike}))
        << "two files, one of them a project, are both sources";
}

} // namespace

namespace {

// The top module's port lines as keyword, width and name.
std::vector<std::string> TopPortLines(const ProjectModel& m) {
    std::vector<std::string> out;
    const mdu* top = m.TopRecord();
    if (top && top->FirstPort >= 0)
        for (int i = top->FirstPort; i <= top->LastPort; ++i) {
            const ProjectLine& l = m.LineList[m.PortList[i].LineIndex];
            out.push_back(l[0] + " " + l[1] + ":" + l[2] + " " + l[3]);
        }
    return out;
}

// A project of b.vhd under the top chip, to import top ports into.
class ImportTopPortsTest : public TFormNewPrjTest {
protected:
    void NewChipProject() {
        host->ShowModal = [](TFormNewPrj& w) {
            w.BitBtn2Click();
            w.LabeledEdit2->setText("chip");
            w.BitBtn8Click();
            return w.result();
        };
        form->FileNewPrjExecute(true, {b_});
    }
};

} // namespace

TEST_F(ImportTopPortsTest, ImportTopPortFromHdlGivesTheTopTheChosenModulesPorts) {
    NewChipProject();
    ASSERT_TRUE(form->Model.PrjOpen);
    ASSERT_TRUE(form->Action("ImptTopPrt_HDL")->isEnabled());
    const std::string c = Source("c.v", "module other(input [3:0] k, output z); endmodule\n");
    for (bool inherit : {true, false}) {
        host->ShowModal = [&](TFormNewPrj& w) {
            EXPECT_EQ(w.windowTitle(), "Import Top Port - File Settings");
            EXPECT_EQ(w.ListView1->topLevelItemCount(), 0) << "the file list starts empty";
            host->Wizard().AddSourceFile(inherit ? a_ : c);
            w.Refresh();
            w.BitBtn2Click();
            EXPECT_EQ(w.LabeledEdit2->text(), "chip");
            w.CheckBox1->setChecked(inherit);
            w.BitBtn8Click();
            return w.result();
        };
        form->RunCommand("ImptTopPrt_HDL");
    }
    // "*T" keeps directions and widths; "*t" makes variant ports without width.
    EXPECT_EQ(TopPortLines(form->Model),
              (std::vector<std::string>{"INPUT 7:0 x", "OUTPUT 7:0 y", "INPUT : s", "OUTPUT : o",
                                        "KVAR : k", "KVAR : z"}));
    EXPECT_TRUE(form->Model.Modified);
    EXPECT_TRUE(form->Action("Undo")->isEnabled());
    form->Action("Undo")->trigger();
    EXPECT_EQ(TopPortLines(form->Model).size(), 4u) << "the undo takes the last import back";
    EXPECT_TRUE(EngineWorkFilesLeft(root_ / "work").empty());
}

TEST_F(ImportTopPortsTest, ACancelledImportOfTopPortsChangesNothing) {
    NewChipProject();
    form->Model.Modified = false;
    const ProjectLines before = form->Model.LineList;
    host->ShowModal = [&](TFormNewPrj&) { return int(QDialog::Rejected); };
    form->RunCommand("ImptTopPrt_HDL");
    EXPECT_EQ(form->Model.LineList, before);
    EXPECT_FALSE(form->Model.Modified);
}
