// The options dialog of the generation command, "Generate source code": shows ConnectForm and
// keeps it in step with its controls.
#pragma once

#include "editor/hdl/GenOptions.h"

#include <QDialog>

class Prompt;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TFormConnect : public QDialog {
    Q_OBJECT
public:
    TFormConnect(ConnectForm& form, Prompt& prompt, QWidget* parent = nullptr);

    ConnectForm& Form() { return form_; }
    // Shows the form's state and runs the dialog; true when it closed with OK.
    bool ShowModal();
    // The controls show the form's state.
    void Refresh();

    QLabel* LE_RenTMLabel = nullptr;
    QLineEdit* LE_RenTM = nullptr;          // "Rename top module to: "
    QGroupBox* RadioGroup1 = nullptr;       // "Generate"
    QRadioButton* FullSourceItem = nullptr; // "Full source code"
    QRadioButton* FrameworkItem = nullptr;  // "Framework only"
    QGroupBox* GroupBox1 = nullptr;         // "HDL Type"
    QRadioButton* RadioButton1 = nullptr;   // "Verilog HDL 2001"
    QRadioButton* RadioButton2 = nullptr;   // "Verilog HDL 1995"
    QRadioButton* RadioButton3 = nullptr;   // "VHDL"
    QPushButton* BitBtn1 = nullptr;         // OK
    QPushButton* BitBtn2 = nullptr;         // Cancel

    void RadioGroup1Click();
    void BitBtn1Click();

private:
    void ReadControls();

    ConnectForm& form_;
    Prompt& prompt_;
    bool filling_ = false;
};

extern TFormConnect* FormConnect;
