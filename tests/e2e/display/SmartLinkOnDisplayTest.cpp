// The editor's Smart Link window on a display: made at start-up from the default.qvs next to the
// program, docked in the right panel and painted with both rules.
#include "NeedsDisplay.h"
#include "editor/app/TForm1.h"
#include "editor/canvas/ui/SchematicDrawer.h"
#include "editor/canvas/ui/TFormSL.h"
#include "support/ScriptedPrompt.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

TEST(SmartLinkOnDisplay, TheDockedWindowShowsBothRulesAndNoDefaultFileError) {
    NEEDS_DISPLAY();
    ScriptedPrompt prompt;
    SchematicDrawer drawer;
    auto form = std::make_unique<TForm1>(prompt, drawer);
    ASSERT_TRUE(form->FatalError.empty()) << form->FatalError;
    // The program directory of build/zun, where the build puts default.qvs.
    EXPECT_EQ(form->Model.AppDir, std::string(ZUN_BUILD_DIR) + "/");
    form->FirstShowPending = false;
    form->show();
    QElapsedTimer t;
    t.start();
    while (!(form->windowHandle() && form->windowHandle()->isExposed()) && t.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    QApplication::processEvents();

    TFormSL* sl = form->SmartLinkForm;
    ASSERT_NE(sl, nullptr);
    EXPECT_TRUE(sl->isVisible());
    EXPECT_FALSE(sl->isFloating());
    EXPECT_EQ(form->dockWidgetArea(sl), Qt::RightDockWidgetArea);
    EXPECT_GT(sl->width(), 100);
    EXPECT_GT(sl->mapTo(form.get(), QPoint(0, 0)).x(), form->width() / 2);
    ASSERT_EQ(sl->StringGrid1->rowCount(), 2);
    EXPECT_EQ(sl->StringGrid1->item(0, 2)->text(), "Same Link");
    EXPECT_EQ(sl->StringGrid1->item(1, 2)->text(), "Channel Link");
    EXPECT_EQ(form->Model.SLRules.size(), 14u);
    for (const std::string& line : form->Model.Log.Lines())
        EXPECT_EQ(line.find("SmartLink"), std::string::npos) << line;

    // The grid is painted: its first rule's row holds more than the background.
    const QImage shown = sl->StringGrid1->viewport()->grab().toImage();
    const QRect row = sl->StringGrid1->visualItemRect(sl->StringGrid1->item(0, 2));
    ASSERT_FALSE(row.isEmpty());
    int inked = 0;
    const QRgb background = shown.pixel(row.right() - 1, row.bottom() - 1);
    for (int y = row.top(); y <= row.bottom(); ++y)
        for (int x = row.left(); x <= row.right(); ++x)
            inked += shown.pixel(x, y) != background;
    EXPECT_GT(inked, 10);
    EXPECT_TRUE(prompt.Done());
}

} // namespace
