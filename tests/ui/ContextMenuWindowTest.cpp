// The canvas's context menu in the main window: PopupMenu1 filled at a right click, its items
// running through the dialogs as windows, and the map and custom-list commands of the main menu.
#include "MainWindowFixture.h"

#include "editor/app/TPaintBox.h"
#include "editor/canvas/ui/MenuDialogWindows.h"
#include "editor/canvas/ui/TFormCinout.h"
#include "editor/canvas/ui/TFormComb.h"
#include "editor/canvas/ui/TFormDupName.h"
#include "model/ModelText.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>

namespace {

using Lines = std::vector<std::string>;

const char* const Project = "TOP\t\ttop\n"
                            "OUTPUT\t7\t0\ta\n"
                            "OUTPUT\t7\t0\tb\n"
                            "INPUT\t7\t0\tdin\n"
                            "OUTPUT\t\t\toe\n"
                            "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
                            "OUTPUT\t7\t0\tqa\n"
                            "OUTPUT\t7\t0\tqb\n"
                            "INPUT\t7\t0\td\n"
                            "OUTPUT\t\t\tq_oe\n"
                            "INPUT\t\t\tclk\n"
                            "MODULE\tsink\tu2\t/src/sink.v\tverilog\n"
                            "INPUT\t\t\tclk\n"
                            "WIRE\tu1\tqa\ttop\ta\ta\n"
                            "WIRE\tu1\tqb\ttop\tb\tb\n"
                            "WIRE\tu1\td\ttop\tdin\tdin\n"
                            "WIRE\tu1\tq_oe\ttop\toe\toe\n";

class ContextMenuWindow : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        form->Model.LineList = LinesFromText(Project);
        form->Model.PrjOpen = true;
        form->UpdateProjectState('o');
        form->resize(900, 700);
        form->show();
        QApplication::processEvents();
        form->UpdatePicExecute();
    }
    ProjectModel& M() { return form->Model; }
    QPoint PortAt(const std::string& inst, const std::string& name) {
        const port& p = M().PortList[M().FindPortQuiet(inst, name)];
        return {p.X + M().PrtWidth / 2, p.Y + M().PrtHeight / 2};
    }
    QPoint HeaderAt(const std::string& inst) {
        const mdu& d = M().MduList[M().FindInstance(inst)];
        return {d.X + 3, d.Y + 3};
    }
    QStringList Captions() const {
        QStringList out;
        for (QAction* a : form->PopupMenu1->actions())
            out << (a->isSeparator() ? QString("-") : a->text());
        return out;
    }
    QAction* Item(const QString& caption) const {
        for (QAction* a : form->PopupMenu1->actions())
            if (a->text() == caption)
                return a;
        ADD_FAILURE() << "no item " << caption.toStdString();
        return nullptr;
    }
    void Select(std::initializer_list<std::pair<const char*, const char*>> ports) {
        M().SelList.clear();
        for (const auto& [inst, name] : ports)
            M().SelList.push_back(M().FindPortQuiet(inst, name));
    }
    // Runs work once the next modal dialog is up, then triggers the item.
    template <typename Dialog> void WithDialog(QAction* item, std::function<void(Dialog&)> work) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            PumpUntilModal();
            auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            work(*d);
            ran = true;
        });
        item->trigger();
        EXPECT_TRUE(ran);
    }
    static void PumpUntilModal() {
        for (int i = 0; i < 100 && !QApplication::activeModalWidget(); ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    // Picture pixels that differ from the background inside a box.
    int Ink(const QRect& box) const {
        const QImage& pic = form->PicBitmap;
        const QRgb back = pic.pixel(pic.width() - 1, pic.height() - 1);
        int n = 0;
        for (int y = box.top(); y <= box.bottom() && y < pic.height(); ++y)
            for (int x = box.left(); x <= box.right() && x < pic.width(); ++x)
                n += pic.pixel(x, y) != back;
        return n;
    }
};

TEST_F(ContextMenuWindow, ARightClickFillsThePopupWithTheItemsOfWhatIsUnderTheMouse) {
    form->PopupMenu1Popup(HeaderAt("u1").x(), HeaderAt("u1").y());
    EXPECT_EQ(Captions(),
              (QStringList{"Isolate", "Update Module...", "Open QEM Project...", "View Source...",
                           "Duplicate", "Delete", "Summary", "List Connections"}));
    EXPECT_FALSE(Item("Summary")->isEnabled()) << "the summary comes with a later part";
    EXPECT_TRUE(Item("Duplicate")->isEnabled());

    form->PopupMenu1Popup(HeaderAt("top").x(), HeaderAt("top").y());
    QAction* import = Item("Import Top Port");
    ASSERT_NE(import->menu(), nullptr);
    EXPECT_EQ(import->menu()->actions(),
              (QList<QAction*>{form->Action("ImptTopPrt_HDL"), form->Action("ImptTopPrt_Cstm")}));

    form->PopupMenu1Popup(5000, 600);
    EXPECT_EQ(Captions(), (QStringList{"Here as max client height.", "Add Module", "New Module"}));
    EXPECT_EQ(form->PopupMenu1->actions()[1], form->Action("AddMdu"));

    // The canvas's right click goes through TPaintBox: nothing without a menu to show.
    form->View.EditMode = 'V';
    form->PopupMenu1Popup(PortAt("u1", "qa").x(), PortAt("u1", "qa").y());
    EXPECT_TRUE(form->PopupMenu1->isEmpty());
    EXPECT_TRUE(prompt.Done());
}

TEST_F(ContextMenuWindow, DuplicateThroughItsDialogDrawsTheNewInstance) {
    form->PopupMenu1Popup(HeaderAt("u2").x(), HeaderAt("u2").y());
    WithDialog<TFormDupName>(Item("Duplicate"), [](TFormDupName& d) {
        EXPECT_EQ(d.windowTitle(), "Duplicate");
        EXPECT_EQ(d.LabeledEdit1->text(), "u_sink_0");
        d.LabeledEdit1->setText("u3");
        d.BitBtn1->click();
    });
    const int k = M().FindInstance("u3");
    ASSERT_GE(k, 0);
    const mdu& copy = M().MduList[k];
    EXPECT_EQ(copy.ModuleName, "sink");
    EXPECT_GT(Ink(QRect(copy.X, copy.Y, copy.Width, M().TitleHeight)), 20);
    EXPECT_TRUE(M().UndoEnabled());
    EXPECT_TRUE(form->Action("Undo")->isEnabled());
}

TEST_F(ContextMenuWindow, TheCombineDialogTakesTheRowOrderDraggedInItsTable) {
    Select({{"top", "a"}, {"top", "b"}});
    form->PopupMenu1Popup(PortAt("top", "a").x(), PortAt("top", "a").y());
    prompt.ExpectMessage("The bus name already exists.");
    WithDialog<TFormComb>(Item("Combine..."), [](TFormComb& d) {
        EXPECT_EQ(d.LabeledEdit1->text(), "bus_out");
        EXPECT_EQ(d.LabeledEdit2->value(), 15);
        EXPECT_EQ(d.StringGrid1->item(0, 2)->text(), "a");
        d.StringGrid1->verticalHeader()->moveSection(1, 0);
        EXPECT_EQ(d.StringGrid1->item(0, 2)->text(), "b") << "the table shows the new order";
        EXPECT_EQ(d.StringGrid1->item(0, 0)->text(), "15");
        EXPECT_EQ(d.StringGrid1->item(1, 1)->text(), "0");
        d.LabeledEdit1->setText("a"); // taken: the dialog stays
        d.BitBtn1->click();
        EXPECT_TRUE(d.isVisible());
        d.LabeledEdit1->setText("obus");
        d.BitBtn1->click();
    });
    Lines assigns;
    for (const ProjectLine& l : M().LineList)
        if (l[0] == "ASSIGN")
            assigns.push_back(l[1]);
    EXPECT_EQ(assigns, (Lines{" obus [15:8] = W0 ", " obus [7:0] = W1 "}));
}

TEST_F(ContextMenuWindow, TheInoutDialogPreviewsTheCodeAndDrawsTheBuffer) {
    Select({{"top", "din"}, {"top", "b"}, {"top", "oe"}});
    form->PopupMenu1Popup(PortAt("top", "din").x(), PortAt("top", "din").y());
    WithDialog<TFormCinout>(Item("Combine to inout..."), [](TFormCinout& d) {
        EXPECT_EQ(d.LabeledEdit1->text(), "iosig");
        EXPECT_FALSE(d.BitBtn1->isEnabled());
        d.CheckBox1->setChecked(true);
        EXPECT_EQ(d.Memo1->toPlainText(),
                  "assign iosig = (oe==1'b1)? 8'bz:b;\nassign din = iosig;");
        d.LabeledEdit1->setText("");
        EXPECT_FALSE(d.BitBtn2->isEnabled());
        d.LabeledEdit1->setText("pad");
        const QImage drawn = d.PaintBox1->grab().toImage();
        int dark = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                dark += qGray(drawn.pixel(x, y)) < 128;
        EXPECT_GT(dark, 200) << "the buffer, the enable circle and four names";
        d.BitBtn2->click();
    });
    const int io = M().FindPortQuiet("top", "pad");
    ASSERT_GE(io, 0);
    EXPECT_EQ(M().PortList[io].Kind, 'B');
    EXPECT_EQ(M().LineList.back()[1], " pad = ( W0 ==1'b1)? 8'bz: W2 ");
}

TEST_F(ContextMenuWindow, TheMapCommandsMapLonePortsAndDropTheSelection) {
    Select({{"u2", "clk"}});
    ASSERT_TRUE(form->Action("MapAllOrphans")->isEnabled());
    form->RunCommand("MapAllOrphans");
    EXPECT_GE(M().FindPortQuiet("top", "clk"), 0);
    EXPECT_TRUE(M().SelList.empty());
    EXPECT_EQ(M().Log.Lines().back(), "--Action: Done. 1 port(s) mapped.")
        << "u1.clk is mapped; u2.clk's name is then taken";
    EXPECT_TRUE(form->Action("Undo")->isEnabled());
    for (const char* name : {"MapInputs", "MapOutputs", "MapInouts", "MapUndrv"})
        EXPECT_TRUE(form->Action(name)->isEnabled()) << name;
}

TEST_F(ContextMenuWindow, TheCustomListCommandWaitsForItsWindow) {
    Select({{"u2", "clk"}});
    EXPECT_FALSE(form->Action("ImptTopPrt_Cstm")->isEnabled());
    form->InstallCustomPortList([] { return std::optional<std::string>("input clk_in, rst"); });
    ASSERT_TRUE(form->Action("ImptTopPrt_Cstm")->isEnabled());
    form->RunCommand("ImptTopPrt_Cstm");
    EXPECT_GE(M().FindPortQuiet("top", "clk_in"), 0);
    EXPECT_GE(M().FindPortQuiet("top", "rst"), 0);
    EXPECT_EQ(M().FindPortQuiet("top", "input"), -1) << "keywords.txt lies next to the program";
    EXPECT_TRUE(M().SelList.empty()) << "the new top ports moved the selected port";
    form->InstallCustomPortList(nullptr);
    EXPECT_FALSE(form->Action("ImptTopPrt_Cstm")->isEnabled());
}

} // namespace

namespace {

TEST_F(ContextMenuWindow, UpdateModuleAndTheImportsFollowTheProjectWizard) {
    std::vector<std::string> wizardRuns;
    form->InstallProjectWizard([&](char mode, const std::vector<std::string>& sources) {
        wizardRuns.push_back(std::string(1, mode) + (sources.empty() ? "" : " " + sources.front()));
        return false;
    });
    form->PopupMenu1Popup(HeaderAt("u1").x(), HeaderAt("u1").y());
    ASSERT_TRUE(Item("Update Module...")->isEnabled());
    Item("Update Module...")->trigger();
    form->PopupMenu1Popup(HeaderAt("top").x(), HeaderAt("top").y());
    QAction* fromHdl = Item("Import Top Port")->menu()->actions().front();
    ASSERT_TRUE(fromHdl->isEnabled());
    fromHdl->trigger();
    form->PopupMenu1Popup(5000, 600);
    EXPECT_TRUE(Item("Add Module")->isEnabled());
    EXPECT_EQ(wizardRuns, (std::vector<std::string>{"U /src/core.v", "T"}));
    EXPECT_FALSE(M().Modified) << "a wizard that did not end with OK changed nothing";
    form->InstallProjectWizard(nullptr);
    form->PopupMenu1Popup(HeaderAt("u1").x(), HeaderAt("u1").y());
    EXPECT_FALSE(Item("Update Module...")->isEnabled());
    EXPECT_FALSE(form->Action("ImptTopPrt_HDL")->isEnabled());
}

} // namespace
