// The "Duplicate" dialog: the name of a copied instance, with a suggested free one.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
struct DupNameDialog;

class TFormDupName : public QDialog {
    Q_OBJECT
public:
    explicit TFormDupName(QWidget* parent = nullptr);
    ~TFormDupName() override;

    QLabel* Label1; // "Input an instance name:"
    QLineEdit* LabeledEdit1;
    QPushButton* BitBtn1; // OK
    QPushButton* BitBtn2; // Cancel

    // Shows the state's name, modally; on OK the state takes the edited one.
    bool ShowModal(DupNameDialog& state);
};

extern TFormDupName* FormDupName;
