// The "Duplicate" dialog.
#include "editor/canvas/ui/TFormDupName.h"

#include "editor/canvas/NamingDialogs.h"
#include "editor/widgets/DialogButtons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFormDupName* FormDupName = nullptr;

TFormDupName::TFormDupName(QWidget* parent) : QDialog(parent) {
    setObjectName("FormDupName");
    setWindowTitle("Duplicate");
    // A fixed dialog frame: no resizing, no help button.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    Label1 = new QLabel("Input an instance name:", this);
    LabeledEdit1 = new QLineEdit(this);
    LabeledEdit1->setObjectName("LabeledEdit1");
    Label1->setBuddy(LabeledEdit1);
    MakeOkCancel(this, BitBtn1, "BitBtn1", BitBtn2, "BitBtn2");
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(LabeledEdit1);
    layout->addLayout(OkCancelRow(BitBtn1, BitBtn2));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    LabeledEdit1->setMinimumWidth(220);
    if (!FormDupName)
        FormDupName = this;
}

TFormDupName::~TFormDupName() {
    if (FormDupName == this)
        FormDupName = nullptr;
}

bool TFormDupName::ShowModal(DupNameDialog& state) {
    LabeledEdit1->setText(QString::fromStdString(state.LabeledEdit1));
    LabeledEdit1->selectAll();
    LabeledEdit1->setFocus();
    if (exec() != QDialog::Accepted)
        return false;
    state.LabeledEdit1 = LabeledEdit1->text().toStdString();
    return true;
}
