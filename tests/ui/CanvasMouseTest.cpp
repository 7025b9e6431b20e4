// Real mouse events on the main window's canvas: a wire drawn by dragging one port onto another,
// with its pixels in the picture; a double-click on the top module's header; the status bar.
#include "ChannelProject.h"
#include "MainWindowFixture.h"

#include "editor/app/TPaintBox.h"
#include "editor/widgets/WinColor.h"
#include "model/ModelText.h"
#include "model/WiringFixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>

namespace {

constexpr int kWire = 0x808000;

const char* const kProject = "TOP\t\ttop\n"
                             "INPUT\t\t\tclk\n"
                             "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
                             "OUTPUT\t7\t0\tq\n"
                             "MODULE\tsink\tu2\t/src/sink.v\tverilog\n"
                             "INPUT\t7\t0\td\n";

class CanvasMouse : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        form->resize(900, 700);
        form->show();
        ProjectModel& m = form->Model;
        m.LineList = LinesFromText(kProject);
        m.PrjOpen = true;
        m.WireColor = kWire;
        form->UpdatePicExecute();
    }

    QPoint PortCentre(const std::string& inst, const std::string& name) {
        const ProjectModel& m = form->Model;
        const port& p = m.PortList[m.FindPortQuiet(inst, name)];
        return {p.X + m.PrtWidth / 2, p.Y + m.PrtHeight / 2};
    }

    void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
              Qt::KeyboardModifiers keys = Qt::NoModifier) {
        const QPointF local(at);
        const QPointF global(form->PaintBox1->mapToGlobal(at));
        QMouseEvent e(type, local, global, button, held, keys);
        QApplication::sendEvent(form->PaintBox1, &e);
    }
    void Drag(QPoint from, QPoint to) {
        Send(QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
        Send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        Send(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
        Send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        Send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
    QColor Pixel(int x, int y) const { return form->PicBitmap.pixelColor(x, y); }
};

} // namespace

TEST_F(CanvasMouse, DraggingAPortOntoAnotherDrawsTheWireIntoThePicture) {
    const port q = form->Model.PortList[form->Model.FindPortQuiet("u1", "q")];
    const port d = form->Model.PortList[form->Model.FindPortQuiet("u2", "d")];
    // Between the two boxes, on the row the wire will take.
    const int x = (q.X + form->Model.PrtWidth + d.X) / 2;
    const int y = q.Y + form->Model.PrtHeight / 2;
    ASSERT_EQ(q.Y, d.Y);
    ASSERT_NE(Pixel(x, y), WinColor(kWire));

    Drag(PortCentre("u1", "q"), PortCentre("u2", "d"));

    const ProjectLines& lines = form->Model.LineList;
    ASSERT_EQ(lines.back()[0], "WIRE");
    EXPECT_EQ(StoredText({lines.back()}).front(), "WIRE\tu2\td\tu1\tq\td\t\t");
    EXPECT_EQ(Pixel(x, y), WinColor(kWire));
    EXPECT_EQ(form->StatusText(1), "Input:d[7:0](u2) -Drawn.");
    EXPECT_EQ(form->StatusText(2), "I/P/W:3/3/1");
    EXPECT_TRUE(form->Action("Undo")->isEnabled());
    EXPECT_EQ(form->Canvas->MouseMode, '0');

    form->Action("Undo")->trigger();
    EXPECT_EQ(form->Model.LineList.size(), 6u);
    EXPECT_NE(Pixel(x, y), WinColor(kWire));
}

TEST_F(CanvasMouse, DoubleClickingTheTopHeaderDoesNothing) {
    const std::vector<std::string> before = StoredText(form->Model.LineList);
    const mdu& top = form->Model.MduList[form->Model.TopMdu];
    const QPoint at(top.X + 5, top.Y + 5);
    Send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    Send(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(StoredText(form->Model.LineList), before);
    EXPECT_FALSE(form->Model.Modified);
    EXPECT_TRUE(prompt.Shown().empty());
}

TEST_F(CanvasMouse, HoveringAPortShowsItInTheStatusBar) {
    Send(QEvent::MouseMove, PortCentre("u2", "d"), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(form->StatusText(0), "Input:d[7:0](u2)");
    const int i = form->Model.FindPortQuiet("u2", "d");
    EXPECT_FALSE(form->Model.LineList[form->Model.PortList[i].LineIndex][FieldBrush].empty());
}

TEST_F(CanvasMouse, AClickOnAPortSelectsItAndTheModeButtonsSetTheCursor) {
    Send(QEvent::MouseButtonPress, PortCentre("u1", "q"), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(form->PaintBox1->cursor().pixmap().toImage(),
              form->CursorSlots[WireCursor].pixmap().toImage());
    Send(QEvent::MouseButtonRelease, PortCentre("u1", "q"), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(form->StatusText(3), "Sel:1");
    EXPECT_EQ(form->PaintBox1->cursor().shape(), Qt::ArrowCursor) << "WireEdit's own cursor";
    form->ClickButton("ToolButton28", true);
    Send(QEvent::MouseButtonPress, PortCentre("u1", "q"), Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, PortCentre("u1", "q"), Qt::LeftButton, Qt::NoButton);
    EXPECT_GE(form->Model.FindPortQuiet("top", "q"), 0) << "TopMap Mode maps the port";
    EXPECT_TRUE(form->Model.Modified);
}

namespace {

// n instances of ten ports side by side: a picture far wider than the window.
std::string WideProject(int n) {
    std::string text = "TOP\t\ttop\nINPUT\t\t\tclk\n";
    for (int k = 0; k < n; ++k) {
        text += "MODULE\tcore\tu" + std::to_string(k) + "\t/src/core.v\tverilog\n";
        for (int j = 0; j < 10; ++j)
            text += "INPUT\t\t\tp" + std::to_string(j) + "\n";
    }
    return text;
}

} // namespace

TEST_F(CanvasMouse, ALargePictureIsDrawnWhereTheViewScrollsTo) {
    ProjectModel& m = form->Model;
    m.LineList = LinesFromText(WideProject(300));
    form->UpdatePicExecute();
    ASSERT_GT(qsizetype{form->PicBitmap.width()} * form->PicBitmap.height(), qsizetype{1} << 21);
    const port far = m.PortList.back();
    const QRgb pen = WinColor(far.PenColor).rgb();
    // Mark the picture where the far port stands, then bring it into view.
    form->PicBitmap.setPixel(far.X, far.Y, qRgb(255, 0, 255));
    QScrollBar* bar = form->ScrollBox1->horizontalScrollBar();
    bar->setValue(bar->maximum());
    ASSERT_GT(far.X, bar->value());
    EXPECT_EQ(form->PicBitmap.pixel(far.X, far.Y), pen) << "drawn as it scrolled into view";

    // A gesture there redraws what shows: hovering the far port marks it.
    const QPoint at(far.X + m.PrtWidth / 2, far.Y + m.PrtHeight / 2);
    Send(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(form->StatusText(0), "Input:p9(u299)");
    EXPECT_EQ(form->PicBitmap.pixel(far.X + 3, far.Y + 1), WinColor(m.PointedBrush).rgb());
}

TEST(PictureDrawing, AVisiblePartDrawsOnlyThatPart) {
    ProjectModel m;
    m.LineList = LinesFromText(kProject);
    m.PrjOpen = true;
    m.UpdatePicExecute(RebuildSender::MainWindow);
    const ViewState view = ViewState::Initial();
    SchematicDrawer drawer;
    QImage picture(400, 200, QImage::Format_RGB32);
    const QRgb marker = qRgb(255, 0, 255);
    picture.fill(marker);
    const port& q = m.PortList[m.FindPortQuiet("u1", "q")];
    const port& d = m.PortList[m.FindPortQuiet("u2", "d")];
    // The visible part ends between u1 and u2.
    const int edge = q.X + m.PrtWidth + 2;
    drawer.Draw(picture, {m, view, '0', {}, 400, 200, PixelRect{0, 0, edge, 200}});
    EXPECT_EQ(picture.pixel(q.X, q.Y), WinColor(q.PenColor).rgb());
    EXPECT_EQ(picture.pixel(edge - 1, 190), WinColor(m.BackColor).rgb());
    EXPECT_EQ(picture.pixel(edge, 190), marker) << "outside: as it was";
    EXPECT_EQ(picture.pixel(d.X, d.Y), marker);
    drawer.Draw(picture, {m, view, '0', {}, 400, 200});
    EXPECT_EQ(picture.pixel(d.X, d.Y), WinColor(d.PenColor).rgb()) << "no part: the whole picture";
}

TEST_F(CanvasMouse, HoveringAPortShowsSmartLinksProposalsAndADoubleClickMakesThem) {
    ProjectModel& m = form->Model;
    m.LineList = LinesFromText(kChannels);
    form->UpdatePicExecute();
    const QPoint at = PortCentre("u1", "tx_1_2data");
    Send(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(form->StatusText(1), "3 Matched");
    EXPECT_EQ(m.SuggestList.size(), 3u);
    Send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    Send(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(m.WireList.size(), 3u);
    EXPECT_TRUE(m.SuggestList.empty());
    EXPECT_TRUE(form->Action("Undo")->isEnabled());
}

namespace {

// The wiring project in the main window, with the whole rebuilds of gestures counted.
class CanvasShortWays : public CanvasMouse {
protected:
    void SetUp() override {
        CanvasMouse::SetUp();
        ProjectModel& m = form->Model;
        m.LineList = LinesFromText(std::string(WiringProject) + "WIRE\tu1\tq\tu2\td\tn_q\n");
        form->View.SmartLink = false;
        form->UpdatePicExecute();
        const std::function<void()> rebuild = form->CanvasHooks.Rebuild;
        form->CanvasHooks.Rebuild = [this, rebuild] {
            ++rebuilds;
            rebuild();
        };
    }
    // The picture and the status bar as the whole rebuild leaves them.
    void ExpectAsTheWholeRebuild(const char* what) {
        const QImage shown = form->PicBitmap.copy();
        const std::string counts = form->StatusText(2);
        form->UpdatePicExecute();
        EXPECT_TRUE(shown == form->PicBitmap) << what << ": the pixels differ";
        EXPECT_EQ(counts, form->StatusText(2)) << what;
    }
    int rebuilds = 0;
};

} // namespace

TEST_F(CanvasShortWays, TheMainWindowRefreshesMarksAndRebuildsWiresWithoutTheWholeRebuild) {
    Send(QEvent::MouseMove, PortCentre("u1", "q"), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(rebuilds, 0);
    ExpectAsTheWholeRebuild("hover");

    const std::string before = form->StatusText(2);
    Drag(PortCentre("u1", "o_valid"), PortCentre("u3", "clk"));
    EXPECT_EQ(rebuilds, 0) << "a wire between module ports";
    EXPECT_NE(form->StatusText(2), before) << "the counts show the new wire";
    EXPECT_TRUE(form->Model.UndoEnabled());
    EXPECT_TRUE(form->Action("Undo")->isEnabled()) << "the edit actions follow";
    ExpectAsTheWholeRebuild("wire");

    Drag(PortCentre("u3", "q"), PortCentre("top", "dout"));
    EXPECT_EQ(rebuilds, 1) << "a wire onto a top port maps the port";
    ExpectAsTheWholeRebuild("mapping");
}
