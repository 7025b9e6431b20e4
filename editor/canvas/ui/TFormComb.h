// The "Combine" dialog: selected top-level ports of one direction become one bus; the rows of
// its table are dragged into the bit order wanted.
#pragma once

#include <QDialog>

class CombineDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

class TFormComb : public QDialog {
    Q_OBJECT
public:
    explicit TFormComb(QWidget* parent = nullptr);
    ~TFormComb() override;

    QLineEdit* LabeledEdit1; // "Combined port name:"
    QSpinBox* LabeledEdit2;  // "Port Width:", the bus MSB, read-only
    QSpinBox* LabeledEdit3;  // ":", the bus LSB, read-only
    QTableWidget* StringGrid1;
    QLabel* Label1;
    QPushButton* BitBtn1; // OK
    QPushButton* BitBtn2; // Cancel

    // Shows the state modally; OK closes it only when the state's check takes the name.
    bool ShowModal(CombineDialog& state);
    // Shows the state's slices and bus bits.
    void ShowRows();
    void BitBtn1Click();
    // A row dragged from one place of the table to another.
    void StringGrid1RowMoved(int from, int to);

private:
    CombineDialog* state_ = nullptr;
    bool showing_ = false;
};

extern TFormComb* FormComb;
