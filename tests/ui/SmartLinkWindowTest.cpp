// The Smart Link window in the main window: made at start-up in the right dock panel with the
// shipped rules, its widgets wired to the state's handlers, and SmartLink on the canvas: the
// mouse over a port draws the proposals and fills the status bar, a double-click accepts them.
#include "ChannelProject.h"
#include "MainWindowFixture.h"

#include "editor/app/TPaintBox.h"
#include "editor/canvas/ui/TFormSL.h"
#include "editor/widgets/WinColor.h"
#include "model/ModelText.h"
#include "support/FileFixtures.h"

#include <QApplication>
#include <QHeaderView>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>

namespace {

class SmartLinkInMainWindow : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        form->show();
        QApplication::processEvents();
        sl = form->SmartLinkForm;
        ASSERT_NE(sl, nullptr);
    }
    QString Cell(int row, int col) const {
        const QTableWidgetItem* item = sl->StringGrid1->item(row, col);
        return item ? item->text() : QString("<none>");
    }
    // A left press and release at the centre of a grid cell (rows below the header, from 0).
    void ClickCell(int row, int col) {
        QWidget* viewport = sl->StringGrid1->viewport();
        const QPointF at =
            sl->StringGrid1->visualRect(sl->StringGrid1->model()->index(row, col)).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &release);
    }

    TFormSL* sl = nullptr;
};

TEST_F(SmartLinkInMainWindow, IsMadeAtStartUpDockedRightWithTheShippedRules) {
    EXPECT_EQ(FormSL, sl);
    EXPECT_EQ(sl->windowTitle(), "Smart Link");
    EXPECT_EQ(form->dockWidgetArea(sl), Qt::RightDockWidgetArea);
    EXPECT_TRUE(sl->isVisible());
    EXPECT_TRUE(form->Action("ToolButton25")->isChecked());
    EXPECT_EQ(form->DockPanelExtent(Qt::RightDockWidgetArea), form->width() * 2 / 7);
    for (const std::string& line : form->Model.Log.Lines())
        EXPECT_EQ(line.find("default.qvs"), std::string::npos) << line;
    ASSERT_EQ(sl->StringGrid1->rowCount(), 2);
    EXPECT_EQ(sl->StringGrid1->horizontalHeaderItem(ColSrcInstance)->text(), "Src Instance");
    EXPECT_EQ(Cell(0, ColMenuDes), "Same Link");
    EXPECT_EQ(Cell(1, ColDesPort), "\\w+%P1_%P2\\w+");
    EXPECT_EQ(form->Model.SLRules.size(), 14u);
    EXPECT_FALSE(sl->Btn1->isEnabled());
    ASSERT_EQ(sl->CheckListBox1->count(), 6);
    EXPECT_EQ(sl->CheckListBox1->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(sl->CheckListBox1->item(0)->checkState(), Qt::Unchecked);
    // The fixed columns are clicked, not typed.
    EXPECT_FALSE(sl->StringGrid1->item(0, ColEna)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(sl->StringGrid1->item(0, ColSrcPort)->flags() & Qt::ItemIsEditable);
}

TEST_F(SmartLinkInMainWindow, ItsButtonClosesAndShowsItAndClosingReleasesTheButton) {
    form->Action("ToolButton25")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(sl->isVisible());
    EXPECT_EQ(form->DockPanelExtent(Qt::RightDockWidgetArea), 0);
    form->Action("ToolButton25")->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(sl->isVisible());
    sl->close();
    QApplication::processEvents();
    EXPECT_FALSE(form->Action("ToolButton25")->isChecked());
    EXPECT_FALSE(form->View.SmartLinkWindow);
}

TEST_F(SmartLinkInMainWindow, GridClicksEditsAndDraggedRowsReachTheRules) {
    ClickCell(0, ColEna);
    EXPECT_EQ(Cell(0, ColEna), "");
    EXPECT_TRUE(sl->Btn1->isEnabled());
    sl->Btn1->click();
    EXPECT_EQ(form->Model.SLRules.size(), 7u);
    ClickCell(0, ColEna);
    ClickCell(1, ColOnce);
    EXPECT_EQ(Cell(1, ColOnce), "Yes");
    sl->StringGrid1->item(1, ColMenuDes)->setText("Channels");
    EXPECT_EQ(form->SmartLinkState.StringGrid1.Cell(ColMenuDes, 2), "Channels");
    // The second rule dragged above the first.
    sl->StringGrid1->verticalHeader()->moveSection(1, 0);
    EXPECT_EQ(Cell(0, ColMenuDes), "Channels");
    EXPECT_EQ(sl->StringGrid1->verticalHeader()->visualIndex(0), 0);
    sl->Btn1->click();
    ASSERT_EQ(form->Model.SLRules.size(), 14u);
    EXPECT_EQ(form->Model.SLRules[RuleOnce], "Yes");
    EXPECT_EQ(form->Model.SLRules[RuleMenuCaption], "Channels");
    EXPECT_EQ(form->Model.SLRules[7 + RuleMenuCaption], "Same Link");
    EXPECT_FALSE(sl->Btn1->isEnabled());
}

TEST_F(SmartLinkInMainWindow, RowButtonsAndOptionTicksShowTheirEffect) {
    sl->Btn6->click();
    ASSERT_EQ(sl->StringGrid1->rowCount(), 3);
    EXPECT_EQ(Cell(2, ColMenuDes), "Rule 1");
    sl->SpeedButton1->click();
    sl->SpeedButton1->click();
    EXPECT_EQ(sl->StringGrid1->rowCount(), 1);
    sl->CheckListBox1->item(OptFindOne)->setCheckState(Qt::Checked);
    const QListWidgetItem* stop = sl->CheckListBox1->item(OptStopFirstRule);
    EXPECT_EQ(stop->checkState(), Qt::Checked);
    EXPECT_FALSE(stop->flags() & Qt::ItemIsEnabled);
    sl->Btn1->click();
    EXPECT_TRUE(form->Model.SLFindOne);
    EXPECT_TRUE(form->Model.SLStopFirstRule);
    sl->SpeedButton2->click();
    EXPECT_TRUE(sl->CheckListBox1->isWrapping());
    sl->SpeedButton2->click();
    EXPECT_FALSE(sl->CheckListBox1->isWrapping());
}

TEST_F(SmartLinkInMainWindow, TwoColumnsPutTheOptionsSideBySideAndOneColumnUnderEachOther) {
    QListWidget* list = sl->CheckListBox1;
    const auto place = [list](int item) {
        QApplication::processEvents();
        return list->visualItemRect(list->item(item)).topLeft();
    };
    ASSERT_EQ(place(1).x(), place(0).x());
    ASSERT_GT(place(1).y(), place(0).y());
    sl->SpeedButton2->click();
    // Item 1 stands right of item 0 on its row; item 2 begins the next row.
    EXPECT_GT(place(1).x(), place(0).x());
    EXPECT_EQ(place(1).y(), place(0).y());
    EXPECT_EQ(place(2).x(), place(0).x());
    EXPECT_GT(place(2).y(), place(0).y());
    // The columns share the list's width, also once the panel is made wider, and every row of
    // options is in sight.
    const auto fitted = [&] {
        const int width = list->viewport()->width();
        EXPECT_NEAR(place(1).x(), width / 2, 1);
        for (int i = 0; i < list->count(); ++i) {
            const QRect r = list->visualItemRect(list->item(i));
            EXPECT_LE(r.right(), width) << i;
            EXPECT_LE(r.bottom(), list->viewport()->height()) << i;
        }
    };
    fitted();
    const int before = list->viewport()->width();
    form->resizeDocks({sl}, {sl->width() + 120}, Qt::Horizontal);
    QApplication::processEvents();
    ASSERT_GT(list->viewport()->width(), before);
    fitted();
    sl->SpeedButton2->click();
    EXPECT_EQ(place(1).x(), place(0).x());
    EXPECT_GT(place(1).y(), place(0).y());
}

TEST_F(SmartLinkInMainWindow, OpenAndSaveGoThroughThePrompt) {
    TempDir dir;
    WriteBytes(dir.Path("bad.qvs"), "abc");
    prompt.ExpectOpenFile("Open SmartLink File", {dir.Path("bad.qvs")})
        .ExpectMessage("Load error.")
        .ExpectSaveFile("Save SmartLink File", {dir.Path("saved.qvs")});
    sl->Btn5->click();
    EXPECT_EQ(sl->StringGrid1->rowCount(), 2);
    sl->Btn4->click();
    EXPECT_EQ(ReadBytes(dir.Path("saved.qvs")),
              ReadBytes(std::string(ZUN_BUILD_DIR) + "/default.qvs"));
}

TEST_F(SmartLinkInMainWindow, MouseOverAPortDrawsTheProposalsAndADoubleClickAcceptsThem) {
    ProjectModel& m = form->Model;
    m.LineList = LinesFromText(kChannels);
    m.PrjOpen = true;
    m.SmartWireColor = 0x00A000;
    form->UpdateProjectState('n');
    form->UpdatePicExecute();
    const QRgb smart = WinColor(m.SmartWireColor).rgb();
    const auto smartPixels = [&] {
        int n = 0;
        for (int y = 0; y < form->PicBitmap.height(); ++y)
            for (int x = 0; x < form->PicBitmap.width(); ++x)
                n += form->PicBitmap.pixel(x, y) == smart;
        return n;
    };
    const auto send = [this](QEvent::Type type, QPoint at, Qt::MouseButton button,
                             Qt::MouseButtons held) {
        QMouseEvent e(type, QPointF(at), QPointF(form->PaintBox1->mapToGlobal(at)), button, held,
                      Qt::NoModifier);
        QApplication::sendEvent(form->PaintBox1, &e);
    };
    const auto centre = [&m](const std::string& inst, const std::string& name) {
        const port& p = m.PortList[m.FindPortQuiet(inst, name)];
        return QPoint(p.X + m.PrtWidth / 2, p.Y + m.PrtHeight / 2);
    };
    ASSERT_EQ(smartPixels(), 0);
    const QPoint tx = centre("u1", "tx_1_2data");
    send(QEvent::MouseMove, tx, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(form->StatusText(1), "3 Matched");
    EXPECT_EQ(m.SuggestList.size(), 3u);
    EXPECT_GT(smartPixels(), 0);
    // A port whose only partner is driven already: nothing is proposed.
    send(QEvent::MouseMove, centre("u2", "tx_1_2data"), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(form->StatusText(1), "?->Output:tx_1_2data(u1)");
    EXPECT_EQ(m.SuggestList.size(), 1u);
    // With SmartLink switched off the hover proposes nothing.
    form->Action("ToolButton10")->trigger();
    ASSERT_FALSE(form->View.SmartLink);
    send(QEvent::MouseMove, tx, Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(m.SuggestList.empty());
    EXPECT_EQ(smartPixels(), 0);
    form->Action("ToolButton10")->trigger();
    send(QEvent::MouseMove, centre("u3", "tx_1_2data"), Qt::NoButton, Qt::NoButton);
    send(QEvent::MouseMove, tx, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(m.SuggestList.size(), 3u);

    const std::vector<std::string> before = StoredText(LinesFromText(kChannels));
    send(QEvent::MouseButtonDblClick, tx, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, tx, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(smartPixels(), 0);
    EXPECT_TRUE(m.SuggestList.empty());
    EXPECT_EQ(m.WireList.size(), 3u);
    form->Action("Undo")->trigger();
    EXPECT_EQ(StoredText(m.LineList), before);
    EXPECT_TRUE(m.WireList.empty());
}

} // namespace
