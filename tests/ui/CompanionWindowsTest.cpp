// The top's companions offscreen: the dialog "Build file list" with its presets and preview,
// and the main window's commands for the framework, the fixtures, the summary and the file
// list on the example project.
#include "editor/app/ModuleWizardHost.h"
#include "editor/app/TForm1Companions.h"
#include "editor/app/TForm1Gen.h"
#include "editor/canvas/ContextMenu.h"

#include "MainWindowFixture.h"
#include "support/FileFixtures.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace {

const std::string kDemo = [] {
    std::string data = ZUN_TEST_DATA;
    return data.substr(0, data.rfind("/tests/data")) + "/examples/demo/demo.zun";
}();

QStringList Preview(const TFormFLst& dialog) {
    return dialog.Memo1->toPlainText().split('\n');
}

// Types text into a line edit as a user does, so that it tells of the edit.
void Type(QWidget* edit, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
    }
}

TEST(TFormFLstTest, PresetsAndPreview) {
    FileListForm form;
    TFormFLst dialog(form);
    EXPECT_EQ(dialog.windowTitle(), "Build file list");
    EXPECT_TRUE(dialog.RadioButton1->isChecked());
    EXPECT_TRUE(dialog.CheckBox1->isChecked());
    EXPECT_TRUE(dialog.CheckBox1->isEnabled());
    EXPECT_FALSE(dialog.LabeledEdit1->isEnabled());
    EXPECT_EQ(dialog.LabeledEdit1->text(), "\"%F\"");
    EXPECT_TRUE(dialog.LabeledEdit2->text().isEmpty());
    EXPECT_EQ(dialog.ComboBox1->currentText(), "/");
    ASSERT_EQ(dialog.ComboBox1->count(), 3);
    EXPECT_EQ(dialog.ComboBox1->itemText(1), "\\");
    EXPECT_EQ(dialog.ComboBox1->itemText(2), "\\\\");
    EXPECT_EQ(Preview(dialog), (QStringList{"\"/home/zun/Demo File List/verilog/file1.v\"",
                                            "\"/home/zun/Demo File List/verilog/file2.v\"",
                                            "\"/home/zun/Demo File List/verilog/file3.v\"",
                                            "\"/home/zun/Demo File List/vhd/file1.vhd\"",
                                            "\"/home/zun/Demo File List/vhd/file1.vhd\""}));

    dialog.RadioButton2->click();
    EXPECT_EQ(dialog.LabeledEdit1->text(), "add_file -%T \"%F\"");
    EXPECT_EQ(Preview(dialog)[3], "add_file -vhdl \"/home/zun/Demo File List/vhd/file1.vhd\"");
    dialog.CheckBox1->click();
    EXPECT_EQ(dialog.LabeledEdit1->text(), "add_file -%T %F");
    EXPECT_EQ(Preview(dialog)[0], "add_file -verilog /home/zun/Demo File List/verilog/file1.v");

    dialog.RadioButton3->click();
    EXPECT_TRUE(dialog.LabeledEdit1->isEnabled());
    EXPECT_FALSE(dialog.CheckBox1->isEnabled());
    EXPECT_EQ(dialog.LabeledEdit1->text(), "add_file -%T %F") << "Custom keeps the format";
    dialog.LabeledEdit1->clear();
    Type(dialog.LabeledEdit1, "read_%T \"%F\"");
    EXPECT_EQ(form.LabeledEdit1, "read_%T \"%F\"");
    Type(dialog.LabeledEdit2, "/home/zun/");
    dialog.ComboBox1->setCurrentIndex(2);
    EXPECT_EQ(Preview(dialog)[4], "read_vhdl \"Demo File List\\\\vhd\\\\file1.vhd\"");
    // Free text in the delimiter box counts too.
    dialog.ComboBox1->setEditText(":");
    EXPECT_EQ(Preview(dialog)[0], "read_verilog \"Demo File List:verilog:file1.v\"");

    dialog.RadioButton1->click();
    EXPECT_EQ(dialog.LabeledEdit1->text(), "%F");
    EXPECT_TRUE(dialog.CheckBox1->isEnabled());
}

class CompanionWindowsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        form->Model.AppDir = std::string(ZUN_BUILD_DIR) + "/";
        form->Model.WorkDir = scratch_.Dir();
        wizard = std::make_unique<ModuleWizardHost>(*form, prompt);
        gen = std::make_unique<GenHdlHost>(*form, prompt, wizard->Runner());
        companions = std::make_unique<GenCompanionsHost>(*form, prompt, *gen);
        form->Services.ShellOpen = [this](const std::string& target) {
            opened.push_back(target);
            return IoStatus::Ok();
        };
    }
    void TearDown() override {
        companions.reset();
        gen.reset();
        wizard.reset();
        MainWindowTest::TearDown();
    }
    TFormGenHDL& Window() { return gen->TextWindow(); }

    TempDir scratch_;
    std::unique_ptr<ModuleWizardHost> wizard;
    std::unique_ptr<GenHdlHost> gen;
    std::unique_ptr<GenCompanionsHost> companions;
    std::vector<std::string> opened;
};

TEST_F(CompanionWindowsTest, CommandsNeedAProjectAndShowTheirText) {
    for (const char* name : {"BFLst", "GenTstVlog", "GenTstVHDL", "ViewModuleSummary1"})
        EXPECT_FALSE(form->Action(name)->isEnabled()) << name;
    form->OpenProjectFile(kDemo);
    ASSERT_TRUE(form->Model.PrjOpen);
    for (const char* name : {"BFLst", "GenTstVlog", "GenTstVHDL", "ViewModuleSummary1"})
        EXPECT_TRUE(form->Action(name)->isEnabled()) << name;

    form->Action("GenTstVlog")->trigger();
    ASSERT_TRUE(Window().isVisible());
    EXPECT_EQ(Window().windowTitle(), "Test Fixture of demo_top (Verilog)");
    EXPECT_TRUE(Window().Memo1->toPlainText().startsWith("//Test Fixture by ZUN2012.\nmodule "
                                                         "tb_demo_top();"));
    EXPECT_FALSE(Window().HeaderControl1->isVisible());
    form->Action("GenTstVHDL")->trigger();
    EXPECT_EQ(Window().windowTitle(), "Test Fixture of demo_top (VHDL)");
    EXPECT_EQ(gen->Text().SaveFileName, "tb_demo_top.vhd");

    int dialogs = 0;
    companions->FileList().ShowFormFLst = [&](FileListForm& f) {
        ++dialogs;
        f.CheckBox1 = false;
        f.CheckBox1Click();
        return true;
    };
    form->Action("BFLst")->trigger();
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(Window().windowTitle(), "File list");
    EXPECT_EQ(Window().Memo1->toPlainText(),
              QStringList({"sync2.v", "counter.v", "pwm.v"}).join('\n'));
    EXPECT_EQ(gen->Text().SaveFileName, "demo_top.lst");
    EXPECT_EQ(form->Model.Log.Lines().back(),
              "--Action: File list built. Not containing the top module.");

    form->Action("ViewModuleSummary1")->trigger();
    ASSERT_EQ(opened, std::vector<std::string>{scratch_.Path("summary.htm")});
    const std::string page = ReadBytes(opened[0]);
    EXPECT_NE(page.find("<td>u_counter</td>"), std::string::npos);
    EXPECT_TRUE(companions->ShowSummary(2));
    EXPECT_EQ(opened.size(), 2u);
}

TEST_F(CompanionWindowsTest, TheContextMenusSummaryShowsTheInstanceItWasOpenedOn) {
    form->OpenProjectFile(kDemo);
    ASSERT_TRUE(form->Model.PrjOpen);
    ASSERT_TRUE(form->PopupCommands);
    int counter = -1;
    for (std::size_t i = 0; i < form->Model.MduList.size(); ++i)
        if (form->Model.MduList[i].InstName == "u_counter")
            counter = static_cast<int>(i);
    ASSERT_GE(counter, 0);
    const mdu& m = form->Model.MduList[static_cast<std::size_t>(counter)];
    const std::vector<PopupItem>& items =
        form->PopupCommands->PopupMenu1Popup(m.X + 2, m.Y + 2, 1000);
    const PopupItem* summary = nullptr;
    for (const PopupItem& item : items)
        if (item.Caption == "Summary")
            summary = &item;
    ASSERT_NE(summary, nullptr) << "a right-click on an instance header offers its summary";
    EXPECT_TRUE(summary->Enabled);
    form->PopupCommands->PopupItemClick(summary);
    ASSERT_EQ(opened, std::vector<std::string>{scratch_.Path("summary.htm")});
    const std::string page = ReadBytes(opened[0]);
    EXPECT_NE(page.find("<td>u_counter</td>"), std::string::npos);
    EXPECT_EQ(page.find("<td>u_pwm</td>"), std::string::npos) << "one instance, not all";
}

TEST_F(CompanionWindowsTest, FrameworkOnlyShowsColumnsThatADragRealigns) {
    form->OpenProjectFile(kDemo);
    ASSERT_TRUE(form->Model.PrjOpen);
    int dialogs = 0;
    gen->Command().ShowConnect = [&](ConnectForm& f) {
        ++dialogs;
        EXPECT_TRUE(f.FrameworkEnabled);
        f.RadioGroup1 = FrameworkOnly;
        f.RadioGroup1Click();
        f.CheckLanguage(Verilog2001);
        return true;
    };
    form->Action("GenHDL")->trigger();
    EXPECT_EQ(dialogs, 1);
    ASSERT_TRUE(Window().isVisible());
    EXPECT_EQ(Window().windowTitle(), "ZUN2012 - demo_top.v");
    EXPECT_TRUE(Window().HeaderControl1->isVisible());
    const QString text = Window().Memo1->toPlainText();
    EXPECT_TRUE(text.contains("\nmodule demo_top (\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("\n     .count" + QString(9, ' ') + "(    ),\n"))
        << text.toStdString();
    EXPECT_EQ(form->Model.AppMisc.GenBox, 8);

    const std::size_t logged = form->Model.Log.Lines().size();
    const int pixels = gen->Text().CharPixels;
    Window().HeaderControl2->resizeSection(1, 22 * pixels);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Window().HeaderControl2->viewport(), &release);
    EXPECT_TRUE(
        Window().Memo1->toPlainText().contains("\n     .count" + QString(16, ' ') + "(    ),\n"));
    EXPECT_EQ(form->Model.Log.Lines().size(), logged) << "a drag logs nothing";
}

} // namespace
