// The Properties window, width confirmation and the main window's wiring of them, offscreen: a
// real click on the canvas fills the Ports page, the lists' in-place editors take or drop text as
// a user types it, Apply asks through the dialog, and Undo empties the pages.
#include "MainWindowFixture.h"

#include "editor/app/TPaintBox.h"
#include "editor/canvas/ui/TPortForm.h"
#include "editor/hdl/ui/TFormConfWid.h"
#include "editor/model/ProjectFile.h"
#include "editor/model/TopLevel.h"
#include "model/ModelText.h"
#include "model/NetInvariant.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

const char* const kProject = "TOP\t\ttop\n"
                             "INPUT\t\t\tclk\n"
                             "OUTPUT\t7\t0\tdout\n"
                             "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
                             "PARAMETER\t\t\tW\t 8\t\tK\n"
                             "PARAMETER\t\t\tNAME\t\"x\"\n"
                             "INPUT\t\t\tclk\n"
                             "INPUT\tNA\t0\td\t\tW-1\t0\n"
                             "OUTPUT\t7\t0\tq\t\t7\t0\n"
                             "MODULE\tsink\tu2\t/src/sink.v\tverilog\n"
                             "INPUT\t7\t0\td\n"
                             "WIRE\tu1\tq\tu2\td\tnet_q\n"
                             "WIRE\tu1\tclk\ttop\tclk\tclk\n";

class WidthWindows : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        form->resize(1000, 760);
        form->show();
        ProjectModel& m = form->Model;
        m.AppDir = std::string(ZUN_BUILD_DIR) + "/";
        m.LineList = LinesFromText(kProject);
        m.PrjOpen = true;
        form->UpdatePicExecute();
        m.ClearLog();
        page = form->PropertiesForm;
        dialog = form->ConfWidForm;
        Settle();
    }
    // A project of the test's own in place of the one above, drawn.
    void LoadText(const std::string& text) {
        ProjectModel& m = form->Model;
        m.LineList = LinesFromText(text);
        form->UpdatePicExecute();
        m.ClearLog();
        Settle();
    }
    // Renames the top port as a user does: a click on it, its name typed over, Enter.
    void RenameTopPort(const std::string& name, const QString& newName) {
        Click(PortCentre("top", name));
        ASSERT_FALSE(page->Edit1->isHidden());
        page->Edit1->setFocus();
        page->Edit1->selectAll();
        Type(page->Edit1, newName);
        Key(page->Edit1, Qt::Key_Return);
        Settle();
    }
    ::testing::AssertionResult Sound() const {
        return NetsAreSound(form->Model.LineList, form->Model.TopName);
    }
    std::vector<std::string> WireLines() const {
        std::vector<std::string> out;
        for (const ProjectLine& l : form->Model.LineList)
            if (l[0] == "WIRE" || l[0] == "ASSIGN")
                out.push_back(l[0] + " " + l[1] + " " + l[2] + " " + l[3] + " " + l[4] + " " +
                              l[5]);
        return out;
    }
    // Runs what the windows left for later, and deletes the editors that closed.
    static void Settle() {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QPoint PortCentre(const std::string& inst, const std::string& name) const {
        const ProjectModel& m = form->Model;
        const port& p = m.PortList[m.FindPortQuiet(inst, name)];
        return {p.X + m.PrtWidth / 2, p.Y + m.PrtHeight / 2};
    }
    QPoint HeaderOf(const std::string& inst) const {
        const mdu& d = form->Model.MduList[form->Model.FindInstance(inst)];
        return {d.X + 3, d.Y + 3};
    }
    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent e(type, QPointF(at), QPointF(form->PaintBox1->mapToGlobal(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                      Qt::NoModifier);
        QApplication::sendEvent(form->PaintBox1, &e);
    }
    void Click(QPoint at) {
        Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
        Settle();
    }
    static void Key(QWidget* w, int key, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(w, &release);
    }
    static void Type(QWidget* w, const QString& text) {
        for (QChar c : text)
            Key(w, 0, QString(c));
    }
    // Opens the in-place editor of a cell, replaces its text as a user would, and ends with key.
    static void EditCell(QTreeWidget* list, int row, int column, const QString& text, int key) {
        list->setCurrentItem(list->topLevelItem(row), column);
        list->editItem(list->topLevelItem(row), column);
        auto* edit = qobject_cast<QLineEdit*>(list->itemWidget(list->topLevelItem(row), column));
        ASSERT_NE(edit, nullptr) << "no editor on column " << column;
        edit->selectAll();
        Type(edit, text);
        Key(edit, key);
        Settle();
    }
    static QStringList Row(QTreeWidget* list, int row) {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c)
            cells << list->topLevelItem(row)->text(c);
        return cells;
    }

    TPortForm* page = nullptr;
    TFormConfWid* dialog = nullptr;
};

} // namespace

TEST_F(WidthWindows, ThePropertiesWindowSitsInTheBottomPanelAndFollowsItsButton) {
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(PortForm, page);
    EXPECT_EQ(page->windowTitle(), "Properties");
    EXPECT_EQ(form->dockWidgetArea(page), Qt::BottomDockWidgetArea);
    EXPECT_TRUE(page->isVisible());
    EXPECT_TRUE(form->Action("ToolButton18")->isChecked());
    EXPECT_EQ(page->PageControl1->tabText(0), "Ports");
    EXPECT_EQ(page->PageControl1->tabText(1), "Instances");

    form->Action("ToolButton18")->trigger();
    Settle();
    EXPECT_FALSE(page->isVisible());
    EXPECT_FALSE(form->View.PropertiesWindow);
    form->Action("ToolButton18")->trigger();
    Settle();
    EXPECT_TRUE(page->isVisible());
    page->close();
    Settle();
    EXPECT_FALSE(form->Action("ToolButton18")->isChecked()) << "closing it releases the button";
}

TEST_F(WidthWindows, ClickingAPortOnTheCanvasFillsThePortsPage) {
    page->PageControl1->setCurrentIndex(1);
    Click(PortCentre("u1", "q"));
    EXPECT_EQ(page->PageControl1->currentIndex(), 0);
    EXPECT_EQ(page->Label1->text(), "Output Port: q [7:0]");
    EXPECT_EQ(page->Label2->text(), "Module: u1");
    EXPECT_EQ(page->Label3->text(), "Connected to:(1)");
    ASSERT_EQ(page->ListView1->topLevelItemCount(), 1);
    EXPECT_EQ(Row(page->ListView1, 0), (QStringList{"u2", "d", "I", "7:0"}));
    EXPECT_EQ(page->LabeledEdit1->text(), "net_q");
    EXPECT_TRUE(page->LabeledEdit1->isEnabled());
    EXPECT_TRUE(page->Edit1->isHidden());
    EXPECT_FALSE(page->Btn1->isEnabled());
    EXPECT_FALSE(page->Btn2->isEnabled()) << "no row selected";

    Click(PortCentre("top", "clk"));
    EXPECT_EQ(page->Label1->text(), "Input Port:  ");
    EXPECT_FALSE(page->Edit1->isHidden());
    EXPECT_EQ(page->Edit1->text(), "clk");
    EXPECT_FALSE(page->LabeledEdit1->isEnabled()) << "the net carries the top port's name";
}

TEST_F(WidthWindows, TypingANetNameAndEnterRenamesTheNet) {
    Click(PortCentre("u1", "q"));
    page->LabeledEdit1->setFocus();
    page->LabeledEdit1->selectAll();
    Type(page->LabeledEdit1, "bus_q");
    EXPECT_TRUE(page->Btn1->isEnabled());
    Key(page->LabeledEdit1, Qt::Key_Return);
    Settle();
    EXPECT_EQ(form->Model.LineList[11][5], "bus_q");
    EXPECT_EQ(page->LabeledEdit1->text(), "bus_q");
    EXPECT_FALSE(page->Btn1->isEnabled()) << "the page shows the port again";
    EXPECT_TRUE(form->Action("Undo")->isEnabled());
}

// Regression: the top output dout, on the net that mapping u1.q named q, was renamed on its own
// wire only, and u1.q headed the nets q and dout2.
TEST_F(WidthWindows, RenamingATopPortKeepsItsNetOneNetAndUndoGivesTheTextBack) {
    LoadText("TOP\t\ttop\nOUTPUT\t7\t0\tdout\n"
             "MODULE\tcore\tu1\t/src/core.v\tverilog\nOUTPUT\t7\t0\tq\n"
             "MODULE\tsink\tu2\t/src/sink.v\tverilog\nINPUT\t7\t0\td\n"
             "WIRE\tu1\tq\tu2\td\tdout\nWIRE\tu1\tq\ttop\tdout\tdout\n");
    ProjectModel& m = form->Model;
    m.TopNameRule = "%P";
    m.TakeUndoSnapshot();
    ASSERT_TRUE(MapPortToTop(m, m.PortList[m.FindPortQuiet("u1", "q")], m.FirstMduLine, "", true));
    form->UpdatePicExecute();
    Settle();
    const std::string before = BuildProjectText(m);
    RenameTopPort("dout", "dout2");
    EXPECT_TRUE(Sound());
    EXPECT_EQ(WireLines(), (std::vector<std::string>{"WIRE u1 q u2 d q", "WIRE u1 q top dout2 q",
                                                     "WIRE u1 q top q q"}));
    EXPECT_EQ(page->Edit1->text(), "dout2") << "the page shows the renamed port";
    EXPECT_EQ(page->LabeledEdit1->text(), "q");
    form->Action("Undo")->trigger();
    Settle();
    EXPECT_EQ(BuildProjectText(m), before);
}

// Regression: renaming a combined bus gave its slice wires the bus's name, and its assignments
// named nets that were gone.
TEST_F(WidthWindows, RenamingACombinedBusKeepsItsSliceNetsAndUndoGivesTheTextBack) {
    LoadText("TOP\t\ttop\nOUTPUT\t15\t0\tbus_out\tY\n"
             "MODULE\tcore\tu1\t/src/core.v\tverilog\nOUTPUT\t7\t0\tqa\nOUTPUT\t7\t0\tqb\n"
             "WIRE\tu1\tqa\ttop\tbus_out\tW0\nWIRE\tu1\tqb\ttop\tbus_out\tW1\n"
             "ASSIGN\t bus_out [15:8] = W0 \nASSIGN\t bus_out [7:0] = W1 \n");
    const std::string before = BuildProjectText(form->Model);
    RenameTopPort("bus_out", "bus2");
    EXPECT_TRUE(Sound());
    EXPECT_EQ(WireLines(), (std::vector<std::string>{
                               "WIRE u1 qa top bus2 W0", "WIRE u1 qb top bus2 W1",
                               "ASSIGN  bus2 [15:8] = W0     ", "ASSIGN  bus2 [7:0] = W1     "}));
    EXPECT_TRUE(page->LabeledEdit1->isHidden()) << "a combined bus shows no wire name";
    form->Action("Undo")->trigger();
    Settle();
    EXPECT_EQ(BuildProjectText(form->Model), before);
}

TEST_F(WidthWindows, DeleteInTheListCutsTheSelectedWireOff) {
    Click(PortCentre("u1", "q"));
    page->ListView1->topLevelItem(0)->setSelected(true);
    EXPECT_TRUE(page->Btn2->isEnabled());
    Key(page->ListView1, Qt::Key_Delete);
    Settle();
    EXPECT_EQ(page->Label3->text(), "Connected to:(0)");
    EXPECT_EQ(form->Model.WireList.size(), 1u);

    // Undo puts the wire back and empties the pages.
    form->Action("Undo")->trigger();
    Settle();
    EXPECT_EQ(form->Model.WireList.size(), 2u);
    EXPECT_EQ(page->Label1->text(), "Port: ");
    EXPECT_EQ(page->ListView1->topLevelItemCount(), 0);
}

TEST_F(WidthWindows, PressingAnInstanceHeaderShowsItsParameters) {
    Click(HeaderOf("u1"));
    EXPECT_EQ(page->PageControl1->currentIndex(), 1);
    EXPECT_EQ(page->ComboBox1->currentText(), "u1");
    EXPECT_EQ(page->ComboBox1->count(), 2);
    ASSERT_EQ(page->ListView2->topLevelItemCount(), 2);
    EXPECT_EQ(Row(page->ListView2, 0), (QStringList{"W", "", "", " 8", "", ""}));
    EXPECT_FALSE(page->ListView2->topLevelItem(0)->icon(0).isNull()) << "a key parameter's mark";
    EXPECT_TRUE(page->ListView2->topLevelItem(1)->icon(0).isNull());
    EXPECT_FALSE(page->Btn3->isEnabled());
}

TEST_F(WidthWindows, TheValueEditorTakesEnterAndDropsEscape) {
    Click(HeaderOf("u1"));
    EditCell(page->ListView2, 0, 4, "16", Qt::Key_Return);
    EXPECT_EQ(page->ListView2->topLevelItem(0)->text(4), "16");
    EXPECT_EQ(form->Properties.ListView2[0].Value, "16");
    EXPECT_TRUE(page->Btn3->isEnabled());

    EditCell(page->ListView2, 0, 4, "99", Qt::Key_Escape);
    EXPECT_EQ(page->ListView2->topLevelItem(0)->text(4), "16") << "Esc keeps the old text";
    EXPECT_EQ(form->Properties.ListView2[0].Value, "16");

    prompt.ExpectMessage("You should enter a decimal integer here.");
    EditCell(page->ListView2, 0, 4, "abc", Qt::Key_Return);
    EXPECT_TRUE(prompt.Done());
    EXPECT_EQ(page->ListView2->topLevelItem(0)->text(4), "16");

    page->ListView2->editItem(page->ListView2->topLevelItem(0), 2);
    EXPECT_EQ(page->ListView2->itemWidget(page->ListView2->topLevelItem(0), 2), nullptr)
        << "LSB takes no edit";
}

TEST_F(WidthWindows, AVhdlTypeTypedInIsAnEditThatUndoes) {
    Click(HeaderOf("u1"));
    EditCell(page->ListView2, 1, 5, "string", Qt::Key_Return);
    EXPECT_EQ(form->Model.LineList[5][7], "string");
    EXPECT_TRUE(form->Model.Modified);
    EXPECT_TRUE(form->Action("Undo")->isEnabled());
    form->Action("Undo")->trigger();
    Settle();
    EXPECT_EQ(form->Model.LineList[5][7], "");
    EXPECT_EQ(page->ListView2->topLevelItemCount(), 0) << "Undo refreshed the page";
}

TEST_F(WidthWindows, ApplyShowsTheConfirmationWhereASetValueIsTypedAndOkWritesIt) {
    ASSERT_TRUE(form->Model.ConfirmParam);
    Click(HeaderOf("u1"));
    EditCell(page->ListView2, 0, 4, "16", Qt::Key_Return);
    int shown = 0;
    dialog->ShowModal = [&](TFormConfWid& d) {
        ++shown;
        EXPECT_EQ(d.windowTitle(), "Confirm the port width of the instance u1");
        EXPECT_FALSE(d.CheckBox1->isChecked());
        EXPECT_EQ(d.ListView1->topLevelItemCount(), 1);
        EXPECT_EQ(Row(d.ListView1, 0), (QStringList{"d", "16-1", "0", "15", "0", "", ""}));
        // An invalid Set MSB is refused at OK, the dialog stays; a valid one is written.
        EditCell(d.ListView1, 0, 5, "x", Qt::Key_Return);
        EXPECT_EQ(d.ListView1->topLevelItem(0)->text(5), "x");
        prompt.ExpectMessage("No valid Set MSB value found fot port: d");
        d.BitBtn1->click();
        EXPECT_NE(d.result(), QDialog::Accepted);
        EditCell(d.ListView1, 0, 5, "$1F", Qt::Key_Return);
        d.CheckBox1->setChecked(true);
        d.BitBtn1->click();
        return d.result();
    };
    page->Btn3->click();
    Settle();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(form->Model.LineList[4][5], "16");
    EXPECT_EQ(form->Model.GetPortLineField("u1", "d", 1), "31");
    EXPECT_FALSE(form->Model.ConfirmParam) << "Do not show this again.";
    EXPECT_FALSE(page->Btn3->isEnabled());
    EXPECT_EQ(form->Model.Log.Lines(),
              (std::vector<std::string>{"Info: Update 1 parameter in instance u1.",
                                        "Info: Update 1 port's width in instance u1."}));
}

TEST_F(WidthWindows, TheConfirmationShowsItsSetColumnsWithoutScrolling) {
    // At Qt's default column widths "Set MSB" and "Set LSB", the columns a user edits, lay past
    // the dialog's right edge at its size of 539 x 290.
    int shown = 0;
    dialog->ShowModal = [&](TFormConfWid& d) {
        ++shown;
        EXPECT_EQ(d.size(), QSize(539, 290));
        const QHeaderView* header = d.ListView1->header();
        for (int c : {SetMsbColumn, SetLsbColumn})
            EXPECT_LE(header->sectionViewportPosition(c) + header->sectionSize(c),
                      d.ListView1->viewport()->width())
                << "column " << c;
        d.BitBtn2->click();
        return d.result();
    };
    Click(HeaderOf("u1"));
    EditCell(page->ListView2, 0, 4, "16", Qt::Key_Return);
    dialog->show();
    Settle();
    page->Btn3->click();
    Settle();
    EXPECT_EQ(shown, 1);
}

TEST_F(WidthWindows, DoubleClickingAParameterisedPortOpensTheConfirmation) {
    std::string shownFor;
    dialog->ShowModal = [&](TFormConfWid& d) {
        shownFor = d.Widths().ConfInst;
        d.BitBtn2->click();
        return d.result();
    };
    const QPoint at = PortCentre("u1", "d");
    QMouseEvent press(QEvent::MouseButtonDblClick, QPointF(at),
                      QPointF(form->PaintBox1->mapToGlobal(at)), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(form->PaintBox1, &press);
    Mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
    Settle();
    EXPECT_EQ(shownFor, "u1");
    EXPECT_EQ(page->ComboBox1->currentText(), "u1") << "the instance shows on its page";
    EXPECT_EQ(form->Model.GetPortLineField("u1", "d", 1), "NA") << "Cancel changes nothing";
}

TEST_F(WidthWindows, HelpOpensTheConfirmationPage) {
    std::vector<std::string> opened;
    form->Services.ShellOpen = [&](const std::string& target) {
        opened.push_back(target);
        return IoStatus{};
    };
    dialog->BitBtn3->click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], form->Model.AppDir + "doc/confirm.htm");
}

TEST_F(WidthWindows, AHeaderClickSortsAList) {
    form->Model.LineList.push_back(MakeLine({"WIRE", "u1", "q", "top", "dout", "net_q"}));
    form->UpdatePicExecute();
    Click(PortCentre("u1", "q"));
    ASSERT_EQ(page->ListView1->topLevelItemCount(), 2);
    EXPECT_EQ(page->ListView1->topLevelItem(0)->text(0), "u2");
    emit page->ListView1->header()->sectionClicked(0);
    EXPECT_EQ(page->ListView1->topLevelItem(0)->text(0), "top");
}
