// The "Update Module" dialog over the logic of ModuleUpdate: the compared modules, the comparison
// of the chosen one, its report, and OK and Cancel.
#pragma once

#include "editor/hdl/ModuleUpdate.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTreeWidget;

class TFormUpdateMduDef : public QDialog {
    Q_OBJECT
public:
    explicit TFormUpdateMduDef(ModuleUpdate& update, QWidget* parent = nullptr);
    ~TFormUpdateMduDef() override;

    ModuleUpdate& Update() { return update_; }

    QComboBox* ComboBoxEx1 = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QLabel* Label2 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* BitBtn1 = nullptr; // OK
    QPushButton* BitBtn2 = nullptr; // Cancel

    // Shows the logic's state in the controls.
    void Refresh();
    // Prepares the dialog from the definitions and shows it modally.
    void ShowUpdateDialog();
    // Shows the dialog modally and gives its result; tests answer in its place.
    std::function<int(TFormUpdateMduDef& dialog)> ShowModal;

    void ComboBoxEx1Change(int index);
    void BitBtn1Click();
    void BitBtn2Click();

    void done(int result) override;

private:
    void FillRows();

    ModuleUpdate& update_;
    bool filling_ = false;
};

extern TFormUpdateMduDef* FormUpdateMduDef;
