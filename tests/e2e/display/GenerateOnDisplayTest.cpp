// F9 on the example project, on a display: the options dialog, OK, the generated Verilog behind
// its banner in the generated-text window, and "Save As" writing the shown text byte for byte.
#include "NeedsDisplay.h"
#include "editor/app/ModuleWizardHost.h"
#include "editor/app/TForm1.h"
#include "editor/app/TForm1Gen.h"
#include "editor/canvas/ui/SchematicDrawer.h"
#include "editor/hdl/GenOptions.h"
#include "support/EventPump.h"
#include "support/FileFixtures.h"
#include "support/ScriptedPrompt.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

namespace {

TEST(GenerateOnDisplay, F9ShowsTheExamplesVerilogAndSaveAsWritesItByteForByte) {
    NEEDS_DISPLAY();
    const TempDir scratch;
    const fs::path demo = (fs::path(ZUN_TEST_DATA) / ".." / ".." / "examples" / "demo" / "demo.zun")
                              .lexically_normal();
    const std::string saved = scratch.Path("demo_top.v");

    ScriptedPrompt prompt;
    SchematicDrawer drawer;
    auto form = std::make_unique<TForm1>(prompt, drawer);
    ASSERT_TRUE(form->FatalError.empty()) << form->FatalError;
    form->FirstShowPending = false;
    form->Model.AppDir = std::string(ZUN_BUILD_DIR) + "/";
    form->Model.WorkDir = scratch.Dir();
    auto wizard = std::make_unique<ModuleWizardHost>(*form, prompt);
    auto gen = std::make_unique<GenHdlHost>(*form, prompt, wizard->Runner());
    form->OpenProjectFile(demo.string());
    ASSERT_TRUE(form->Model.PrjOpen);
    form->show();
    ASSERT_TRUE(
        PumpEventsUntil([&] { return form->windowHandle() && form->windowHandle()->isExposed(); }));
    form->activateWindow();
    ASSERT_TRUE(PumpEventsUntil([&] { return QApplication::activeWindow() == form.get(); }));

    // The dialog is modal: it is answered from its own loop.
    bool answered = false;
    std::function<void()> answer = [&] {
        TFormConnect& dialog = gen->ConnectWindow();
        if (!dialog.isVisible()) {
            QTimer::singleShot(20, answer);
            return;
        }
        EXPECT_EQ(dialog.LE_RenTM->text(), "demo_top");
        EXPECT_TRUE(dialog.RadioButton2->isChecked());
        answered = true;
        dialog.BitBtn1->click();
    };
    QTimer::singleShot(0, answer);
    QTest::keyClick(form.get(), Qt::Key_F9);
    ASSERT_TRUE(PumpEventsUntil([&] { return answered && gen->TextWindow().isVisible(); }));

    TFormGenHDL& window = gen->TextWindow();
    EXPECT_EQ(window.windowTitle(), "demo_top.v");
    const QString shown = window.Memo1->toPlainText();
    QStringList banner = QString::fromStdString(VerilogBanner).split("\r\n");
    banner.removeLast();
    EXPECT_TRUE(shown.startsWith(banner.join('\n') + "\n\nmodule demo_top("))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains("counter u_counter(")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("\n\nendmodule")) << shown.toStdString();

    prompt.ExpectSaveFile("Save As", {saved});
    window.BitBtn2->click();
    EXPECT_EQ(prompt.LastChooser().fileName, "demo_top.v");
    QString expected = shown;
    expected.replace("\n", "\r\n");
    EXPECT_EQ(ReadBytes(saved), expected.toStdString() + "\r\n");
    EXPECT_TRUE(prompt.Done());

    gen.reset();
    wizard.reset();
    form->Model.Modified = false;
    form.reset();
}

} // namespace
