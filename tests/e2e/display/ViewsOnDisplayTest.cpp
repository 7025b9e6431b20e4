// The editor on a display with the example project: the zoom buttons, Full View and a colour
// chosen in the Settings dialog change the picture on the screen; the Top-name box stands right
// of the tool bar, as high as it.
#include "NeedsDisplay.h"
#include "editor/app/TForm1.h"
#include "editor/app/TFormTname.h"
#include "editor/app/TPaintBox.h"
#include "editor/app/TPropForm.h"
#include "editor/canvas/ui/SchematicDrawer.h"
#include "support/EventPump.h"
#include "support/FileFixtures.h"
#include "support/ScriptedPrompt.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QScrollArea>
#include <QToolBar>
#include <QWindow>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace fs = std::filesystem;

namespace {

// What the canvas shows on the screen now.
QImage Shown(TForm1& form) {
    QApplication::processEvents();
    return form.ScrollBox1->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(ViewsOnDisplay, ZoomFullViewAndASettingsColourChangeThePictureOnTheScreen) {
    NEEDS_DISPLAY();
    const TempDir scratch;
    const fs::path root = scratch.Root();
    fs::create_directories(root / "work");
    const std::string ini = (root / "zun2012.ini").string();
    std::ofstream(ini) << "[QVsetting]\nE16=" << (root / "work").string() << "/\n";
    const fs::path demo = (fs::path(ZUN_TEST_DATA) / ".." / ".." / "examples" / "demo" / "demo.zun")
                              .lexically_normal();

    ScriptedPrompt prompt;
    SchematicDrawer drawer;
    auto form = std::make_unique<TForm1>(prompt, drawer);
    ASSERT_TRUE(form->FatalError.empty()) << form->FatalError;
    form->Model.AppDir = scratch.Dir();
    form->SetCommandLine({"-ini", ini, "-open", demo.string()});
    form->resize(1400, 800);
    form->show();
    ASSERT_TRUE(
        PumpEventsUntil([&] { return form->Model.PrjOpen && form->windowHandle()->isExposed(); }));

    // The Top-name box: right of the tool bar, in its row, as high as it.
    const QRect bar = form->ToolBar1->geometry();
    const QRect box = form->TopNameWindow->geometry();
    EXPECT_TRUE(form->TopNameWindow->isVisible());
    EXPECT_GE(box.left(), bar.right());
    EXPECT_EQ(box.top(), bar.top());
    EXPECT_EQ(box.height(), bar.height());

    const QImage start = Shown(*form);
    const int height = form->Model.PrtHeight;
    ClickCentre(form->ToolBar1->widgetForAction(form->Action("ToolButton13")));
    EXPECT_EQ(form->Model.PrtHeight, height + 1);
    EXPECT_EQ(form->StatusText(0), "Zoom in ok");
    const QImage zoomed = Shown(*form);
    EXPECT_NE(zoomed, start);

    ClickCentre(form->ToolBar1->widgetForAction(form->Action("ToolButton12")));
    EXPECT_EQ(form->StatusText(0), "Zoom adjustment ok");
    EXPECT_GT(form->Model.PrtHeight, height + 1);
    const QImage full = Shown(*form);
    EXPECT_NE(full, zoomed);
    // The whole picture fits: no scroll bar is needed.
    EXPECT_LE(form->PicBitmap.width(), form->ScrollBox1->width());
    EXPECT_LE(form->PicBitmap.height(), form->ScrollBox1->height());

    // The Settings dialog: the background becomes red.
    bool shown = false;
    form->SettingsWindow->ShowModal = [&](TPropForm& d) {
        shown = true;
        QComboBox* back = d.ColorBoxes[0];
        back->setCurrentIndex(back->findText("Red"));
        ClickCentre(d.BitBtn1);
        return d.result();
    };
    ClickCentre(form->ToolBar1->widgetForAction(form->Action("Settings")));
    EXPECT_TRUE(shown);
    EXPECT_EQ(form->Model.BackColor, 0x0000FF);
    const QImage red = Shown(*form);
    EXPECT_EQ(QColor(red.pixel(red.width() - 2, red.height() - 2)), QColor(255, 0, 0));
    if (const char* out = std::getenv("ZUN_SCREENSHOT"))
        form->grab().save(out);
    EXPECT_TRUE(prompt.Done());
    form->Model.Modified = false;
    form.reset();
}

} // namespace
