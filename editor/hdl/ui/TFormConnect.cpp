// The options dialog "Generate source code".
#include "editor/hdl/ui/TFormConnect.h"

#include "editor/widgets/DialogButtons.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TFormConnect* FormConnect = nullptr;

TFormConnect::TFormConnect(ConnectForm& form, Prompt& prompt, QWidget* parent)
    : QDialog(parent), form_(form), prompt_(prompt) {
    setObjectName("FormConnect");
    setWindowTitle("Generate source code");
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* v = new QVBoxLayout(this);
    auto* nameRow = new QHBoxLayout;
    LE_RenTMLabel = new QLabel("Rename top module to: ", this);
    LE_RenTM = new QLineEdit(this);
    LE_RenTM->setObjectName("LE_RenTM");
    LE_RenTMLabel->setBuddy(LE_RenTM);
    nameRow->addWidget(LE_RenTMLabel);
    nameRow->addWidget(LE_RenTM, 1);
    v->addLayout(nameRow);

    auto* groups = new QHBoxLayout;
    RadioGroup1 = new QGroupBox("Generate", this);
    RadioGroup1->setObjectName("RadioGroup1");
    auto* g1 = new QVBoxLayout(RadioGroup1);
    FullSourceItem = new QRadioButton("Full source code", RadioGroup1);
    FrameworkItem = new QRadioButton("Framework only", RadioGroup1);
    g1->addWidget(FullSourceItem);
    g1->addWidget(FrameworkItem);
    g1->addStretch(1);
    GroupBox1 = new QGroupBox("HDL Type", this);
    GroupBox1->setObjectName("GroupBox1");
    auto* g2 = new QVBoxLayout(GroupBox1);
    RadioButton1 = new QRadioButton("Verilog HDL 2001", GroupBox1);
    RadioButton1->setObjectName("RadioButton1");
    RadioButton2 = new QRadioButton("Verilog HDL 1995", GroupBox1);
    RadioButton2->setObjectName("RadioButton2");
    RadioButton3 = new QRadioButton("VHDL", GroupBox1);
    RadioButton3->setObjectName("RadioButton3");
    for (QRadioButton* b : {RadioButton1, RadioButton2, RadioButton3})
        g2->addWidget(b);
    groups->addWidget(RadioGroup1);
    groups->addWidget(GroupBox1);
    v->addLayout(groups);

    MakeOkCancel(this, BitBtn1, "BitBtn1", BitBtn2, "BitBtn2");
    v->addLayout(OkCancelRow(BitBtn1, BitBtn2));
    setFixedSize(sizeHint());

    connect(FullSourceItem, &QRadioButton::toggled, this, [this] { RadioGroup1Click(); });
    connect(FrameworkItem, &QRadioButton::toggled, this, [this] { RadioGroup1Click(); });
    connect(BitBtn1, &QPushButton::clicked, this, &TFormConnect::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    Refresh();
}

void TFormConnect::Refresh() {
    filling_ = true;
    LE_RenTM->setText(QString::fromStdString(form_.LE_RenTM));
    FullSourceItem->setChecked(form_.RadioGroup1 == FullSourceCode);
    FrameworkItem->setChecked(form_.RadioGroup1 == FrameworkOnly);
    FrameworkItem->setEnabled(form_.FrameworkEnabled);
    // Exclusive buttons cannot all be unchecked one by one; the group is let go meanwhile.
    const std::array<QRadioButton*, 3> languages = {RadioButton1, RadioButton2, RadioButton3};
    for (QRadioButton* b : languages)
        b->setAutoExclusive(false);
    for (std::size_t i = 0; i < languages.size(); ++i)
        languages[i]->setChecked(form_.RadioButtonChecked[i]);
    for (QRadioButton* b : languages)
        b->setAutoExclusive(true);
    RadioButton1->setEnabled(form_.RadioButton1Enabled);
    filling_ = false;
}

void TFormConnect::ReadControls() {
    form_.LE_RenTM = LE_RenTM->text().toStdString();
    form_.RadioGroup1 = FrameworkItem->isChecked() ? FrameworkOnly : FullSourceCode;
    form_.RadioButtonChecked = {RadioButton1->isChecked(), RadioButton2->isChecked(),
                                RadioButton3->isChecked()};
}

bool TFormConnect::ShowModal() {
    Refresh();
    return exec() == QDialog::Accepted;
}

void TFormConnect::RadioGroup1Click() {
    if (filling_)
        return;
    ReadControls();
    form_.RadioGroup1Click();
    Refresh();
}

void TFormConnect::BitBtn1Click() {
    ReadControls();
    if (form_.BitBtn1Click(prompt_))
        accept();
}
