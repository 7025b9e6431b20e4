// The module wizard window: two pages of controls over the wizard's logic in ModuleWizard.
#pragma once

#include "editor/hdl/ModuleWizard.h"

#include <QDialog>

#include <functional>

class EditorHandOff;
enum class OpenRequestOutcome;
class Prompt;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;
class QWidget;

class TFormNewPrj : public QDialog {
    Q_OBJECT
public:
    TFormNewPrj(ModuleWizard& wizard, Prompt& prompt, QWidget* parent = nullptr);

    ModuleWizard& Wizard() { return wizard_; }

    // Shows the wizard's state: the page's controls, both lists and the caption.
    void Refresh();

    // Page 1, "File Settings".
    QLabel* LabeledEdit1Label = nullptr;
    QLineEdit* LabeledEdit1 = nullptr; // "Add File:"
    QPushButton* BitBtn6 = nullptr;    // "Add"
    QPushButton* BitBtn1 = nullptr;    // "Browser"
    QTreeWidget* ListView1 = nullptr;  // "Selected Files (n)"
    QMenu* PopupMenu1 = nullptr;
    QAction* FT1 = nullptr; // "Verilog File"
    QAction* FT2 = nullptr; // "VHDL File"
    QAction* FT3 = nullptr; // "Auto Select"
    QLabel* Label4 = nullptr;
    QPushButton* BitBtn2 = nullptr; // "Next"
    QPushButton* BitBtn3 = nullptr; // Cancel
    QPushButton* BitBtn4 = nullptr; // "Remove"
    QPushButton* BitBtn5 = nullptr; // "Clear"

    // Page 2, "Module Settings".
    QLabel* LabeledEdit2Label = nullptr;
    QLineEdit* LabeledEdit2 = nullptr; // "Top Module Name:"
    QCheckBox* CheckBox1 = nullptr;    // "Inherit Type"
    QTreeWidget* ListView2 = nullptr;  // "Number", "Module", "File"
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;        // "+"
    QLabel* Label3 = nullptr;        // "-"
    QPushButton* BitBtn7 = nullptr;  // "Prev"
    QPushButton* BitBtn8 = nullptr;  // "OK"
    QPushButton* BitBtn9 = nullptr;  // Cancel
    QPushButton* BitBtn10 = nullptr; // "Remove"

    // The handlers, by the controls' names, so tests and the editor can run them directly.
    void BitBtn6Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn7Click();
    void BitBtn8Click();
    void BitBtn10Click();
    void Label2Click();
    void Label3Click();
    void FileTypeClick(int kind);
    void DroppedFiles(const std::vector<std::string>& paths);

    // The hand-off messages reach the wizard through a notifier on the editor's message window,
    // in every event loop the editor runs but the engine's.
    void SetHandOff(EditorHandOff* handOff);
    // Handles every hand-off message waiting: a handed file refreshes the page and brings the
    // wizard to the front; this editor's own file taken calls CloseMainWindow.
    void OnOpenRequest();
    std::function<void()> CloseMainWindow;
    // While this editor's own request waits for its answer, looks every 100 ms whether its
    // receiver is still there (EditorHandOff::CheckAnswer).
    void WatchAnswer();

    void done(int result) override;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildPage1();
    void BuildPage2();
    void ApplyLayout();
    void FillFiles();
    void FillModules();
    void ReadSelection();
    void ShowFilesMenu(const QPoint& at);
    void ModuleEdited(int row, const QString& text);
    void FitModuleColumn();
    void HandleOutcome(OpenRequestOutcome outcome);

    ModuleWizard& wizard_;
    Prompt& prompt_;
    EditorHandOff* handOff_ = nullptr;
    class QSocketNotifier* handOffNotifier_ = nullptr;
    class QTimer* answerWatch_ = nullptr;
    QWidget* page1_ = nullptr;
    QWidget* page2_ = nullptr;
    bool filling_ = false;
};

// The one wizard window of the editor; it lives as long as the main window.
extern TFormNewPrj* FormNewPrj;
