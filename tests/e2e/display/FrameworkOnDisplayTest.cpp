// The example's framework on a display: F9 with the remembered choice "Framework only" in
// Verilog 2001 shows the text under its column headers, and dragging the edge of ".Port" with
// the mouse widens every instance line and logs nothing.
#include "NeedsDisplay.h"
#include "editor/app/ModuleWizardHost.h"
#include "editor/app/TForm1.h"
#include "editor/app/TForm1Companions.h"
#include "editor/app/TForm1Gen.h"
#include "editor/canvas/ui/SchematicDrawer.h"
#include "support/EventPump.h"
#include "support/FileFixtures.h"
#include "support/ScriptedPrompt.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

TEST(FrameworkOnDisplay, F9ShowsTheExamplesFrameworkAndDraggingPortWidensTheInstanceLines) {
    NEEDS_DISPLAY();
    const TempDir scratch;
    const fs::path demo = (fs::path(ZUN_TEST_DATA) / ".." / ".." / "examples" / "demo" / "demo.zun")
                              .lexically_normal();
    ScriptedPrompt prompt;
    SchematicDrawer drawer;
    auto form = std::make_unique<TForm1>(prompt, drawer);
    ASSERT_TRUE(form->FatalError.empty()) << form->FatalError;
    form->FirstShowPending = false;
    form->Model.AppDir = std::string(ZUN_BUILD_DIR) + "/";
    form->Model.WorkDir = scratch.Dir();
    auto wizard = std::make_unique<ModuleWizardHost>(*form, prompt);
    auto gen = std::make_unique<GenHdlHost>(*form, prompt, wizard->Runner());
    auto companions = std::make_unique<GenCompanionsHost>(*form, prompt, *gen);
    form->OpenProjectFile(demo.string());
    ASSERT_TRUE(form->Model.PrjOpen);
    // No dialog: framework only, Verilog 2001.
    form->Model.AppMisc.GenBox = 9;
    form->show();
    ASSERT_TRUE(
        PumpEventsUntil([&] { return form->windowHandle() && form->windowHandle()->isExposed(); }));
    form->activateWindow();
    ASSERT_TRUE(PumpEventsUntil([&] { return QApplication::activeWindow() == form.get(); }));

    QTest::keyClick(form.get(), Qt::Key_F9);
    TFormGenHDL& window = gen->TextWindow();
    ASSERT_TRUE(PumpEventsUntil([&] {
        return window.isVisible() && window.windowHandle() && window.windowHandle()->isExposed();
    }));
    EXPECT_EQ(window.windowTitle(), "ZUN2012 - demo_top.v");
    ASSERT_TRUE(window.HeaderControl2->isVisible());
    const QString before = window.Memo1->toPlainText();
    EXPECT_TRUE(before.contains("\nmodule demo_top (\n")) << before.toStdString();
    EXPECT_TRUE(before.contains("\ncounter u_counter(\n")) << before.toStdString();
    EXPECT_TRUE(before.contains("\n     .count" + QString(9, ' ') + "(    ),\n"))
        << before.toStdString();
    EXPECT_TRUE(before.endsWith("\nendmodule")) << before.toStdString();

    // The right edge of ".Port", dragged seven characters to the right.
    const std::size_t logged = form->Model.Log.Lines().size();
    QHeaderView* header = window.HeaderControl2;
    const int pixels = gen->Text().CharPixels;
    const int edge = header->sectionViewportPosition(1) + header->sectionSize(1) - 1;
    const QPoint from(edge, header->height() / 2);
    const QPoint to(edge + 7 * pixels, from.y());
    QWidget* viewport = header->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), viewport->mapToGlobal(QPointF(to)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, to);
    ASSERT_TRUE(PumpEventsUntil([&] { return window.Memo1->toPlainText() != before; }))
        << "the drag did not regenerate; .Port is " << header->sectionSize(1) << " pixels";
    const QString after = window.Memo1->toPlainText();
    EXPECT_EQ(gen->Text().GenColWidths[9], 22);
    EXPECT_TRUE(after.contains("\n     .count" + QString(16, ' ') + "(    ),\n"))
        << after.toStdString();
    EXPECT_EQ(window.Label1->text(), "Item Width: 22");
    EXPECT_EQ(form->Model.Log.Lines().size(), logged) << "a drag logs nothing";

    companions.reset();
    gen.reset();
    wizard.reset();
    form->Model.Modified = false;
    form.reset();
}

} // namespace
