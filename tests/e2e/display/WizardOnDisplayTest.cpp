// "zun -new" with two of the example's sources, on a display: the wizard opens listing both,
// "Next" lists their modules, "OK" draws the new project in the main window.
#include "NeedsDisplay.h"
#include "editor/app/ModuleWizardHost.h"
#include "editor/app/TForm1.h"
#include "editor/app/TPaintBox.h"
#include "editor/canvas/ui/SchematicDrawer.h"
#include "editor/hdl/ui/TFormNewPrj.h"
#include "support/EventPump.h"
#include "support/FileFixtures.h"
#include "support/ScriptedPrompt.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

QStringList Column(QTreeWidget* list, int column) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

TEST(WizardOnDisplay, NewOnTheCommandLineOpensTheWizardAndOkDrawsTheProject) {
    NEEDS_DISPLAY();
    const TempDir scratch;
    const fs::path root = scratch.Root();
    fs::create_directories(root / "work");
    const std::string ini = (root / "zun2012.ini").string();
    const std::string work = (root / "work").string() + "/";
    std::ofstream(ini) << "[QVsetting]\nE16=" << work << "\n";
    const fs::path demo =
        (fs::path(ZUN_TEST_DATA) / ".." / ".." / "examples" / "demo").lexically_normal();
    const std::string counter = (demo / "counter.v").string();
    const std::string pwm = (demo / "pwm.v").string();

    ScriptedPrompt prompt;
    SchematicDrawer drawer;
    auto form = std::make_unique<TForm1>(prompt, drawer);
    ASSERT_TRUE(form->FatalError.empty()) << form->FatalError;
    form->Model.AppDir = std::string(ZUN_BUILD_DIR) + "/"; // where qve is
    auto host = std::make_unique<ModuleWizardHost>(*form, prompt);
    form->SetCommandLine({"-ini", ini, "-NEW", counter, pwm});

    bool drove = false;
    // The wizard opens once the main window is on the screen; the driver waits for it from the
    // wizard's own modal loop, never from a loop of its own beneath it.
    QElapsedTimer sinceShow;
    std::function<void()> drive = [&] {
        TFormNewPrj* w = FormNewPrj;
        ASSERT_NE(w, nullptr);
        if (!(w->isVisible() && w->BitBtn2->isVisible())) {
            if (sinceShow.elapsed() < 60000) {
                QTimer::singleShot(20, drive);
                return;
            }
            drove = true;
            ADD_FAILURE() << "the wizard never showed";
            return;
        }
        ASSERT_NE(form->windowHandle(), nullptr);
        EXPECT_TRUE(form->windowHandle()->isExposed())
            << "the wizard opened before the editor was on the screen";
        EXPECT_EQ(w->windowTitle(), "ZUN New Project - File Settings");
        EXPECT_EQ(Column(w->ListView1, 0),
                  (QStringList{QString::fromStdString(counter), QString::fromStdString(pwm)}));
        EXPECT_EQ(w->ListView1->headerItem()->text(0), "Selected Files (2)");

        ClickCentre(w->BitBtn2);
        EXPECT_TRUE(PumpEventsUntil([w] { return w->ListView2->isVisible(); }));
        EXPECT_EQ(w->windowTitle(), "ZUN New Project - Module Settings");
        EXPECT_EQ(Column(w->ListView2, 1), (QStringList{"counter", "pwm"}));
        EXPECT_EQ(Column(w->ListView2, 0), (QStringList{"1", "1"}));

        ClickCentre(w->BitBtn8);
        drove = true;
        // Whatever went wrong above, the modal loop must end.
        if (w->isVisible())
            w->reject();
    };
    sinceShow.start();
    QTimer::singleShot(0, drive);
    form->show();
    ASSERT_TRUE(PumpEventsUntil([&] { return drove && !FormNewPrj->isVisible(); }));
    ASSERT_TRUE(PumpEventsUntil([&] { return form->Model.PrjOpen; }));
    EXPECT_TRUE(prompt.Done());

    EXPECT_EQ(form->windowTitle().toStdString(), "ZUN2012 - " + work + "qvprj.zun");
    EXPECT_EQ(form->StatusText(2), "I/P/W:3/9/0");
    EXPECT_TRUE(form->Model.Modified);
    for (std::string_view name : EngineWorkFiles)
        EXPECT_FALSE(fs::exists(work + std::string(name))) << name;

    // The canvas shows the picture: boxes and names over the background colour.
    QApplication::processEvents();
    QImage shown = form->PaintBox1->grab().toImage();
    ASSERT_FALSE(shown.isNull());
    const QRgb background = shown.pixel(shown.width() - 1, shown.height() - 1);
    int drawn = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            drawn += shown.pixel(x, y) != background;
    EXPECT_GT(drawn, 500) << "the new project is not drawn";

    host.reset();
    form->Model.Modified = false;
    form.reset();
}

} // namespace
