// The dialog "Build file list": the format of the list's lines, the path text to remove, the
// path delimiter and a preview of five example lines, over FileListForm.
#pragma once

#include "editor/hdl/FileList.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class TFormFLst : public QDialog {
    Q_OBJECT
public:
    explicit TFormFLst(FileListForm& form, QWidget* parent = nullptr);

    FileListForm& Form() { return form_; }
    // Shows the form's state and runs the dialog; true when it closed with OK.
    bool ShowModal();
    // The controls show the form's state.
    void Refresh();

    QLineEdit* LabeledEdit1 = nullptr;    // "Format:"
    QLineEdit* LabeledEdit2 = nullptr;    // "Relative to path:"
    QComboBox* ComboBox1 = nullptr;       // "Path delimiter:"
    QRadioButton* RadioButton1 = nullptr; // "File name only"
    QRadioButton* RadioButton2 = nullptr; // "Add file name"
    QRadioButton* RadioButton3 = nullptr; // "Custom"
    QCheckBox* CheckBox1 = nullptr;       // "Quoted file name"
    QPlainTextEdit* Memo1 = nullptr;      // "Example preview:"
    QPushButton* BitBtn1 = nullptr;       // OK
    QPushButton* BitBtn2 = nullptr;       // Cancel

private:
    void ReadControls();
    void CheckBox1Click();
    void RadioButton1Click();
    void LabeledEdit1Change();

    FileListForm& form_;
    bool filling_ = false;
};

extern TFormFLst* FormFLst;
