// The Properties window on a display: docked in the bottom panel beside the Information window,
// and a click on a port of the canvas fills its Ports page with the port's connections, painted.
#include "NeedsDisplay.h"
#include "editor/app/TDrvForm.h"
#include "editor/app/TForm1.h"
#include "editor/app/TPaintBox.h"
#include "editor/canvas/ui/SchematicDrawer.h"
#include "editor/canvas/ui/TPortForm.h"
#include "support/EventPump.h"
#include "support/ScriptedPrompt.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTreeWidget>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

ProjectLine Line(std::initializer_list<std::string_view> fields) {
    return MakeLine(fields);
}

TEST(PropertiesOnDisplay, ClickingAPortFillsThePortsPageWithItsConnections) {
    NEEDS_DISPLAY();
    ScriptedPrompt prompt;
    SchematicDrawer drawer;
    auto form = std::make_unique<TForm1>(prompt, drawer);
    ASSERT_TRUE(form->FatalError.empty()) << form->FatalError;
    form->FirstShowPending = false;
    form->resize(1100, 800);
    form->show();
    ASSERT_TRUE(
        PumpEventsUntil([&] { return form->windowHandle() && form->windowHandle()->isExposed(); }));

    ProjectModel& m = form->Model;
    m.LineList = {
        Line({"TOP", "", "top"}),
        Line({"INPUT", "", "", "clk"}),
        Line({"MODULE", "core", "u1", "/src/core.v", "verilog"}),
        Line({"PARAMETER", "", "", "W", "8", "", "K"}),
        Line({"INPUT", "", "", "clk"}),
        Line({"OUTPUT", "7", "0", "q"}),
        Line({"MODULE", "sink", "u2", "/src/sink.v", "verilog"}),
        Line({"INPUT", "7", "0", "d"}),
        Line({"MODULE", "sink", "u3", "/src/sink.v", "verilog"}),
        Line({"INPUT", "7", "0", "d"}),
        Line({"WIRE", "u1", "q", "u2", "d", "bus_q"}),
        Line({"WIRE", "u1", "q", "u3", "d", "bus_q"}),
    };
    m.PrjOpen = true;
    form->UpdatePicExecute();

    TPortForm* page = form->PropertiesForm;
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->isVisible());
    EXPECT_FALSE(page->isFloating());
    EXPECT_EQ(form->dockWidgetArea(page), Qt::BottomDockWidgetArea);
    EXPECT_GT(page->mapTo(form.get(), QPoint(0, 0)).y(), form->height() / 2);

    // A press and release on u1.q, as the window system delivers them.
    const port& q = m.PortList[m.FindPortQuiet("u1", "q")];
    const QPoint at(q.X + m.PrtWidth / 2, q.Y + m.PrtHeight / 2);
    const QPointF global(form->PaintBox1->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form->PaintBox1, &press);
    QApplication::sendEvent(form->PaintBox1, &release);
    ASSERT_TRUE(PumpEventsUntil([&] { return page->ListView1->topLevelItemCount() == 2; }));

    EXPECT_EQ(page->PageControl1->currentIndex(), 0);
    EXPECT_EQ(page->Label1->text(), "Output Port: q [7:0]");
    EXPECT_EQ(page->Label3->text(), "Connected to:(2)");
    EXPECT_EQ(page->ListView1->topLevelItem(0)->text(0), "u2");
    EXPECT_EQ(page->ListView1->topLevelItem(1)->text(0), "u3");
    EXPECT_EQ(page->ListView1->topLevelItem(1)->text(3), "7:0");

    // The rows are painted: the first one holds more than the background.
    QApplication::processEvents();
    const QImage shown = page->ListView1->viewport()->grab().toImage();
    const QRect row = page->ListView1->visualItemRect(page->ListView1->topLevelItem(0));
    ASSERT_FALSE(row.isEmpty());
    int inked = 0;
    const QRgb background = shown.pixel(row.right() - 1, row.bottom() - 1);
    for (int y = row.top(); y <= row.bottom(); ++y)
        for (int x = row.left(); x <= std::min(row.right(), 60); ++x)
            inked += shown.pixel(x, y) != background;
    EXPECT_GT(inked, 5);

    // A press on u1's header brings its parameters, in a list with room to show them.
    const mdu& u1 = m.MduList[m.FindInstance("u1")];
    const QPoint header(u1.X + 3, u1.Y + 3);
    const QPointF headerGlobal(form->PaintBox1->mapToGlobal(header));
    QMouseEvent pressHeader(QEvent::MouseButtonPress, QPointF(header), headerGlobal, Qt::LeftButton,
                            Qt::LeftButton, Qt::NoModifier);
    QMouseEvent releaseHeader(QEvent::MouseButtonRelease, QPointF(header), headerGlobal,
                              Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form->PaintBox1, &pressHeader);
    QApplication::sendEvent(form->PaintBox1, &releaseHeader);
    ASSERT_TRUE(PumpEventsUntil([&] { return page->ListView2->topLevelItemCount() == 1; }));
    EXPECT_EQ(page->PageControl1->currentIndex(), 1);
    EXPECT_EQ(page->ListView2->topLevelItem(0)->text(0), "W");
    EXPECT_GT(page->ListView2->viewport()->height(),
              page->ListView2->visualItemRect(page->ListView2->topLevelItem(0)).height());
    EXPECT_TRUE(prompt.Done());
}

} // namespace
