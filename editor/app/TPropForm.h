// The Settings dialog: six pages of fonts, colours, sizes, the external editor, general options
// and naming rules over the main window's members, with "Default", "Apply", OK and Cancel. The
// values and Apply are the core's (SettingsDialog.h); the window shows and reads the controls.
// The proxy values have no page: they pass through unchanged.
#pragma once

#include "editor/model/SettingsDialog.h"

#include <QDialog>

#include <array>
#include <functional>

class ProjectModel;
class Prompt;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

class TPropForm : public QDialog {
    Q_OBJECT
public:
    TPropForm(ProjectModel& model, Prompt& prompt, QWidget* parent = nullptr);

    // Fills every control from the members.
    void LoadControls();
    // The controls' values, the page-less proxy values as they were loaded.
    SettingsControls ReadControls() const;

    bool BitBtn3Click(); // "Apply": false when nothing was applied
    void BitBtn1Click(); // OK: Apply, and close when it applied
    void BitBtn2Click(); // Cancel
    void FontLabelClick(int index);
    void RadioButton1Click();
    void BitBtn4Click(); // work directory "Browser"
    void BitBtn5Click(); // editor "Browser"
    void TabSheet1Show();
    void Button1Click(); // "Empty Recent Projects List"
    // Places the font labels in the middle of their half of the "Font" page.
    void CentreFontLabels();
    void ShowGeneralPage();

    // Apply runs these (the main window sets them).
    SettingsApplyHooks ApplyHooks;
    // The recent list was emptied: the menu is built again.
    std::function<void()> RecentListEmptied;
    // Shows the dialog modally; tests drive it in its place.
    std::function<int(TPropForm& dialog)> ShowModal;

    QTabWidget* PageControl1;
    std::array<QLabel*, 8> FontLabels{}; // in the order of SettingsControls::Fonts
    std::array<QComboBox*, 12> ColorBoxes{};
    std::array<QSpinBox*, 10> SizeSpins{};
    QRadioButton* RadioButton1; // "Internal text editor;"
    QRadioButton* RadioButton2;
    QLineEdit* EditorProgramEdit;
    QLineEdit* EditorParamsEdit;
    QPushButton* BitBtn5;
    QPushButton* Button1;
    QCheckBox* ConfirmParamBox;
    QLineEdit* WorkDirEdit;
    QPushButton* BitBtn4;
    QCheckBox* StrictRuleBox;
    QComboBox* AssignOpenOutBox;
    QLineEdit* InstRuleEdit;
    QLineEdit* WireRuleEdit;
    std::array<QLineEdit*, 3> ReplaceFromEdits{};
    std::array<QLineEdit*, 3> ReplaceWithEdits{};
    QCheckBox* DefaultBox;
    QPushButton* BitBtn3; // "Apply"
    QPushButton* BitBtn1; // OK
    QPushButton* BitBtn2; // Cancel

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildFontPage();
    void BuildColorPage();
    void BuildSizePage();
    void BuildEditorPage();
    void BuildGeneralPage();
    void BuildNamePage();
    void ShowFont(int index);
    void SelectColor(QComboBox* box, int value);
    void ColorBoxActivated(QComboBox* box, int index);

    ProjectModel& model_;
    Prompt& prompt_;
    SettingsControls loaded_;
    std::array<FontValue, 8> fonts_;
    QWidget* fontPage_ = nullptr;
    QWidget* generalPage_ = nullptr;
};

extern TPropForm* PropForm;
