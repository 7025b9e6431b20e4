// The Settings dialog's window: its pages against the system's list of captions and ranges, the
// keys and buttons, the font labels, and its opening at start-up for an unwritable work
// directory.
#include "MainWindowFixture.h"

#include "editor/app/TPropForm.h"
#include "model/ModelText.h"
#include "support/FileFixtures.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include <array>
#include <filesystem>
#include <fstream>

namespace {

class SettingsWindow : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        form->Model.AppDir = dir.Dir();
        form->Model.WorkDir = dir.Dir();
        form->Model.IniPath = dir.Path("zun2012.ini");
        dialog = form->SettingsWindow;
        ASSERT_NE(dialog, nullptr);
    }

    // The caption of the label whose buddy is w.
    std::string LabelOf(const QWidget* w) const {
        for (const QLabel* l : dialog->findChildren<QLabel*>())
            if (l->buddy() == w)
                return l->text().toStdString();
        return "<none>";
    }

    TempDir dir;
    TPropForm* dialog = nullptr;
};

TEST_F(SettingsWindow, ThePagesShowTheCaptionsAndRangesOfTheSettings) {
    EXPECT_EQ(dialog->windowTitle().toStdString(), "Settings");
    const char* const pages[] = {"Font", "Color", "Size", "Editor", "General", "Name"};
    ASSERT_EQ(dialog->PageControl1->count(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(dialog->PageControl1->tabText(i).toStdString(), pages[i]);

    const char* const fonts[] = {
        "Font for instances",   "Font for input ports",    "Font for output ports",
        "Font for inout ports", "Font for variant ports ", "Font for para instances",
        "Font for HDL",         "Font for message"};
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_EQ(dialog->FontLabels[i]->text().toStdString(), fonts[i]);

    const char* const colors[] = {"Total Background:",
                                  "Port pointed to(Background):",
                                  "(Pen):",
                                  "Friend ports(Background):",
                                  "(Pen):",
                                  "Unmatched ports:",
                                  "Wire:",
                                  "(End):",
                                  "SmartLink Wire:",
                                  "(Mark):",
                                  "Lone Ports:",
                                  "Main Port:"};
    for (std::size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(LabelOf(dialog->ColorBoxes[i]), colors[i]) << i;
        QComboBox* box = dialog->ColorBoxes[i];
        for (const char* item :
             {"Black", "Money Green", "Button Face", "none", "default", "Custom..."})
            EXPECT_GE(box->findText(item), 0) << i << " " << item;
    }

    struct Spin {
        const char* caption;
        int low, high;
    } spins[] = {
        {"Auto scrolling step(pixels):", 1, 100},
        {"Left margin:", 1, 300},
        {"Top margin:", 1, 300},
        {"Margin between modules:", 1, 300},
        {"Columns margin within a module:", 1, 300},
        {"Margin between module and port:", 1, 300},
        {"Margin between ports:", 0, 100},
        {"Size of wire ends:", 1, 50},
        {"Max view area height:", 300, 32760},
        {"MBMP in compact view:", 1, 300},
    };
    for (std::size_t i = 0; i < 10; ++i) {
        const QSpinBox* s = dialog->SizeSpins[i];
        EXPECT_EQ(LabelOf(s), spins[i].caption) << i;
        EXPECT_EQ(s->minimum(), spins[i].low) << spins[i].caption;
        EXPECT_EQ(s->maximum(), spins[i].high) << spins[i].caption;
        EXPECT_EQ(s->singleStep(), 1) << spins[i].caption;
    }

    EXPECT_EQ(dialog->RadioButton1->text().toStdString(), "Internal text editor;");
    EXPECT_EQ(dialog->RadioButton2->text().toStdString(),
              "Other text editor( %F means the file name, e.g. c:\\notepad %F).");
    EXPECT_EQ(LabelOf(dialog->EditorProgramEdit), "Shell Program:");
    EXPECT_EQ(LabelOf(dialog->EditorParamsEdit), "Parameters:");
    EXPECT_EQ(dialog->BitBtn5->text().toStdString(), "Browser");
    EXPECT_EQ(dialog->Button1->text().toStdString(), "Empty Recent Projects List");
    EXPECT_EQ(dialog->ConfirmParamBox->text().toStdString(), "Confirm the parameter changes");
    EXPECT_EQ(LabelOf(dialog->WorkDirEdit),
              "Work directory: (Select a directory used ONLY by ZUN)");
    EXPECT_TRUE(dialog->WorkDirEdit->isReadOnly());
    EXPECT_EQ(dialog->StrictRuleBox->text().toStdString(), "Use strict connection rule");
    EXPECT_EQ(LabelOf(dialog->AssignOpenOutBox), "Assign open top output ports with:");
    ASSERT_EQ(dialog->AssignOpenOutBox->count(), 4);
    const std::array<const char*, 4> assign = {"0", "1", "Z", "NONE"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(dialog->AssignOpenOutBox->itemText(i).toStdString(),
                  assign[static_cast<std::size_t>(i)]);
    EXPECT_EQ(LabelOf(dialog->InstRuleEdit), "New Instance: ");
    EXPECT_EQ(LabelOf(dialog->WireRuleEdit), "New Wire: ");
    EXPECT_EQ(dialog->DefaultBox->text().toStdString(), "Default");
    EXPECT_EQ(dialog->DefaultBox->toolTip().toStdString(),
              "Save the current settings as the default for each new run.");
    EXPECT_EQ(dialog->BitBtn3->text().toStdString(), "Apply");
    EXPECT_TRUE(dialog->BitBtn1->isDefault());
    EXPECT_EQ(dialog->BitBtn2->text().toStdString(), "Cancel");
}

TEST_F(SettingsWindow, TheEditorEditsAreEnabledOnlyForTheOtherEditor) {
    form->Model.InternalEditor = true;
    dialog->LoadControls();
    dialog->RadioButton1Click();
    EXPECT_FALSE(dialog->EditorProgramEdit->isEnabled());
    EXPECT_FALSE(dialog->BitBtn5->isEnabled());
    dialog->RadioButton2->setChecked(true);
    EXPECT_TRUE(dialog->EditorProgramEdit->isEnabled());
    EXPECT_TRUE(dialog->EditorParamsEdit->isEnabled());
    prompt.ExpectOpenFile("Select a text editor", {"/usr/bin/vi"});
    dialog->BitBtn5Click();
    EXPECT_EQ(dialog->EditorProgramEdit->text().toStdString(), "/usr/bin/vi");
}

TEST_F(SettingsWindow, EscapeDoesNothingWhileCancelIsGreyed) {
    form->Model.WorkDir = dir.Path("missing/");
    dialog->LoadControls();
    EXPECT_FALSE(dialog->BitBtn2->isEnabled());
    dialog->show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(dialog, &escape);
    EXPECT_TRUE(dialog->isVisible());
    // The close box still closes it.
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());

    form->Model.WorkDir = dir.Dir();
    dialog->LoadControls();
    EXPECT_TRUE(dialog->BitBtn2->isEnabled());
    dialog->show();
    QKeyEvent again(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(dialog, &again);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(SettingsWindow, EmptyingTheRecentListGreysTheButtonAndEmptiesTheMenuAtOnce) {
    form->Model.RecentList.clear();
    dialog->ShowGeneralPage();
    EXPECT_FALSE(dialog->Button1->isEnabled());
    form->Model.RecentList = {dir.Path("a.zun"), dir.Path("b.zun")};
    form->BuildRecentMenu();
    ASSERT_EQ(form->RecentMenu->actions().size(), 2);
    dialog->TabSheet1Show();
    ASSERT_TRUE(dialog->Button1->isEnabled());
    dialog->Button1->click();
    EXPECT_FALSE(dialog->Button1->isEnabled());
    EXPECT_TRUE(form->Model.RecentList.empty());
    EXPECT_TRUE(form->RecentMenu->actions().isEmpty());
}

TEST_F(SettingsWindow, AFontChosenThenCancelChangesNothingAndApplyTakesIt) {
    dialog->LoadControls();
    const FontValue before = form->Model.MduFont;
    FontValue chosen = before;
    chosen.Face = "DejaVu Serif";
    chosen.SetPoints(14);
    chosen.Color = 0x0000FF;
    prompt.ExpectChooseFont(chosen, false);
    dialog->FontLabelClick(0);
    EXPECT_EQ(dialog->FontLabels[0]->font().pointSize(), 14);
    dialog->BitBtn2Click();
    EXPECT_EQ(form->Model.MduFont, before);

    dialog->LoadControls();
    prompt.ExpectChooseFont(chosen, false);
    dialog->FontLabelClick(0);
    form->Model.PrjOpen = false;
    ASSERT_TRUE(dialog->BitBtn3Click());
    EXPECT_EQ(form->Model.MduFont, chosen);
}

namespace {

// Two instances whose ports were moved by hand (q before d) and a top module; the labels are
// long enough to be clipped by boxes sized for small fonts.
const char* const FontProject = "TOP\t\ttop\nINPUT\t\t\tclock_in\nOUTPUT\t7\t0\tdata_out\n"
                                "MODULE\tcore\tu_core\t/src/core.v\tverilog\n"
                                "OUTPUT\t7\t0\tq_long_output\nINPUT\t\t\tclock_in\n"
                                "INPUT\t7\t0\td\n"
                                "MODULE\tsink\tu_sink\t/src/sink.v\tverilog\n"
                                "INPUT\t7\t0\td\n"
                                "WIRE\tu_core\tq_long_output\tu_sink\td\tnet_q\n"
                                "WIRE\tu_core\tclock_in\ttop\tclock_in\tclock_in\n";

// Where the layout put every instance and port, and the sizes it used.
std::vector<std::string> Placement(const ProjectModel& m) {
    std::vector<std::string> out{"sizes " + std::to_string(m.TitleHeight) + " " +
                                 std::to_string(m.PrtWidth) + " " + std::to_string(m.PrtHeight)};
    for (const mdu& d : m.MduList)
        out.push_back(d.InstName + " " + std::to_string(d.X) + "," + std::to_string(d.Y));
    for (const port& p : m.PortList)
        out.push_back(p.OwnerName + "." + p.Name + " " + std::to_string(p.X) + "," +
                      std::to_string(p.Y));
    return out;
}

} // namespace

// Regression: fonts changed with a project open left the boxes at the sizes of the old fonts,
// so the labels were clipped where a new project is sized to its fonts.
TEST_F(SettingsWindow, NewFontsLayTheOpenProjectOutAsANewProjectOfItsLinesIsLaidOut) {
    ProjectModel& m = form->Model;
    m.LineList = LinesFromText(FontProject);
    m.PrjOpen = true;
    m.LeftMargin = 20; // a margin of the designer's own stays
    form->UpdatePicExecute();
    const std::vector<std::string> before = Placement(m);
    ASSERT_EQ(before.front(), "sizes 15 40 15") << "the sizes of a project opened before";

    dialog->LoadControls();
    for (int font : {0, 1, 2}) {
        FontValue chosen = m.MduFont;
        chosen.Face = "DejaVu Sans";
        chosen.SetPoints(14);
        prompt.ExpectChooseFont(chosen, false);
        dialog->FontLabelClick(font);
    }
    dialog->DefaultBox->setChecked(true); // so that a new project starts from the same fonts
    ASSERT_TRUE(dialog->BitBtn3Click());
    const std::vector<std::string> relaid = Placement(m);
    EXPECT_NE(relaid, before);
    EXPECT_GE(m.PrtHeight, std::min(drawer.MeasurePortLabels(m, form->View).height(), 25))
        << "the labels fit";
    EXPECT_EQ(m.MduList[0].X, 20);

    // The same lines as a new project.
    form->InstallNewProjectWizard([&](bool, const std::vector<std::string>&) {
        m.LineList = LinesFromText(FontProject);
        m.PrjOpen = true;
        m.PrjUntitled = true;
        form->UpdatePicExecute();
        return true;
    });
    prompt.ExpectYesNoCancel("Save the current project?", PromptAnswer::No);
    form->Action("FileNewPrj")->trigger();
    ASSERT_TRUE(prompt.Done());
    EXPECT_EQ(m.InFont, dialog->ReadControls().Fonts[1]);
    EXPECT_EQ(Placement(m), relaid);
}

TEST_F(SettingsWindow, TheHdlFontOffersFixedPitchOnlyAndTheLabelsStayCentred) {
    dialog->LoadControls();
    prompt.ExpectChooseFont(std::nullopt, true);
    dialog->FontLabelClick(6);
    dialog->show();
    QApplication::processEvents();
    QWidget* page = dialog->FontLabels[0]->parentWidget();
    const int half = page->width() / 2;
    for (std::size_t i = 0; i < 8; ++i) {
        const QLabel* l = dialog->FontLabels[i];
        const int left = (half - l->width()) / 2;
        EXPECT_TRUE(l->x() == left || l->x() == half + left) << i;
    }
    dialog->hide();
}

TEST_F(SettingsWindow, AColourChosenInACustomEntryIsKept) {
    dialog->LoadControls();
    QComboBox* box = dialog->ColorBoxes[0];
    prompt.ExpectChooseColor(0x123456);
    const int custom = box->findText("Custom...");
    box->setCurrentIndex(custom);
    emit box->activated(custom);
    EXPECT_EQ(box->currentData().toInt(), 0x123456);
    EXPECT_EQ(dialog->ReadControls().Colors[0], 0x123456);
    // A cancelled chooser keeps the colour shown before.
    prompt.ExpectChooseColor(std::nullopt);
    const int again = box->findText("Custom...");
    box->setCurrentIndex(again);
    emit box->activated(again);
    EXPECT_EQ(box->currentData().toInt(), 0x123456);
}

TEST_F(SettingsWindow, OkWithAnUnwritableWorkDirectoryTellsItAndStaysOpen) {
    form->Model.WorkDir = dir.Path("missing/");
    dialog->LoadControls();
    dialog->show();
    const int back = form->Model.BackColor;
    dialog->ColorBoxes[0]->setCurrentIndex(dialog->ColorBoxes[0]->findText("Red"));
    prompt.ExpectMessage("Can not write to the directory " + dir.Path("missing/") +
                         ". Please set a valid work directory.");
    dialog->BitBtn1->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(form->Model.BackColor, back);
    // A folder that can not be written is refused by the chooser too.
    prompt.ExpectChooseFolder("Choose the work directory", dir.Path("missing"));
    prompt.ExpectMessage("Can not write to the directory " + dir.Path("missing") +
                         ". Please set a valid work directory.");
    dialog->BitBtn4Click();
    EXPECT_EQ(dialog->WorkDirEdit->text().toStdString(), dir.Path("missing/"));
    dialog->close();
}

TEST_F(SettingsWindow, AtStartUpAnUnwritableWorkDirectoryOpensTheDialogOnGeneral) {
    std::filesystem::create_directories(dir.Path("work"));
    {
        std::ofstream ini(dir.Path("zun2012.ini"));
        ini << "[QVsetting]\nE16=" << dir.Path("missing")
            << "\nRecnetProject1=" << dir.Path("x.zun") << "\n";
    }
    bool shown = false;
    dialog->ShowModal = [&](TPropForm& d) {
        shown = true;
        EXPECT_EQ(d.PageControl1->currentIndex(), 4);
        EXPECT_FALSE(d.BitBtn2->isEnabled());
        // The loading waits for the dialog: the recent menu is not built yet.
        EXPECT_TRUE(form->RecentMenu->actions().isEmpty());
        prompt.ExpectChooseFolder("Choose the work directory", dir.Path("work"));
        d.BitBtn4Click();
        d.BitBtn1Click();
        return d.result();
    };
    form->FirstShowPending = true;
    form->SetCommandLine({});
    form->FormShow();
    EXPECT_TRUE(shown);
    EXPECT_EQ(form->Model.WorkDir, dir.Path("work/"));
    ASSERT_EQ(form->RecentMenu->actions().size(), 1);
}

TEST_F(SettingsWindow, ANamedColourPickedBeforeACancelledCustomChoiceStays) {
    // The cancelled custom choice went back to the colour loaded, losing the one picked.
    dialog->LoadControls();
    QComboBox* box = dialog->ColorBoxes[6];
    const int red = box->findText("Red");
    box->setCurrentIndex(red);
    emit box->activated(red);
    prompt.ExpectChooseColor(std::nullopt);
    const int custom = box->findText("Custom...");
    box->setCurrentIndex(custom);
    emit box->activated(custom);
    EXPECT_EQ(prompt.LastColorStart(), 0x0000FF);
    EXPECT_EQ(box->currentText().toStdString(), "Red");
    EXPECT_EQ(dialog->ReadControls().Colors[6], 0x0000FF);
}

TEST_F(SettingsWindow, OpeningAgainOnTheGeneralPageTellsWhetherTheRecentListHasEntries) {
    // The dialog keeps its page between openings; the button's state must follow the list the
    // dialog opens with, not the one it last showed.
    form->Model.RecentList.clear();
    dialog->ShowGeneralPage();
    ASSERT_FALSE(dialog->Button1->isEnabled());
    form->Model.RecentList = {dir.Path("a.zun")};
    dialog->LoadControls();
    dialog->show();
    QApplication::processEvents();
    EXPECT_TRUE(dialog->Button1->isEnabled());
    dialog->hide();
    form->Model.RecentList.clear();
    dialog->LoadControls();
    dialog->show();
    QApplication::processEvents();
    EXPECT_FALSE(dialog->Button1->isEnabled());
    dialog->hide();
}

} // namespace
