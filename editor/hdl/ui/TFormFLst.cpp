// The dialog "Build file list".
#include "editor/hdl/ui/TFormFLst.h"

#include "editor/widgets/DialogButtons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TFormFLst* FormFLst = nullptr;

namespace {

QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

} // namespace

TFormFLst::TFormFLst(FileListForm& form, QWidget* parent) : QDialog(parent), form_(form) {
    setObjectName("FormFLst");
    setWindowTitle("Build file list");
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* v = new QVBoxLayout(this);
    auto* presets = new QGroupBox(this);
    auto* p = new QHBoxLayout(presets);
    RadioButton1 = new QRadioButton("File name only", presets);
    RadioButton1->setObjectName("RadioButton1");
    RadioButton2 = new QRadioButton("Add file name", presets);
    RadioButton2->setObjectName("RadioButton2");
    RadioButton3 = new QRadioButton("Custom", presets);
    RadioButton3->setObjectName("RadioButton3");
    CheckBox1 = new QCheckBox("Quoted file name", presets);
    CheckBox1->setObjectName("CheckBox1");
    for (QWidget* w : {static_cast<QWidget*>(RadioButton1), static_cast<QWidget*>(RadioButton2),
                       static_cast<QWidget*>(RadioButton3), static_cast<QWidget*>(CheckBox1)})
        p->addWidget(w);
    v->addWidget(presets);

    auto* fields = new QFormLayout;
    LabeledEdit1 = new QLineEdit(this);
    LabeledEdit1->setObjectName("LabeledEdit1");
    LabeledEdit2 = new QLineEdit(this);
    LabeledEdit2->setObjectName("LabeledEdit2");
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    for (std::string_view d : PathDelimiters)
        ComboBox1->addItem(Q(d));
    fields->addRow("Format:", LabeledEdit1);
    fields->addRow("Relative to path:", LabeledEdit2);
    fields->addRow("Path delimiter:", ComboBox1);
    v->addLayout(fields);

    v->addWidget(new QLabel("Example preview:", this));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    v->addWidget(Memo1, 1);

    MakeOkCancel(this, BitBtn1, "BitBtn1", BitBtn2, "BitBtn2");
    v->addLayout(OkCancelRow(BitBtn1, BitBtn2));
    resize(520, 360);

    connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
    for (QRadioButton* b : {RadioButton1, RadioButton2, RadioButton3})
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                RadioButton1Click();
        });
    connect(LabeledEdit1, &QLineEdit::textEdited, this, [this] { LabeledEdit1Change(); });
    connect(LabeledEdit2, &QLineEdit::textEdited, this, [this] { LabeledEdit1Change(); });
    connect(ComboBox1, &QComboBox::currentTextChanged, this, [this] { LabeledEdit1Change(); });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    Refresh();
}

void TFormFLst::Refresh() {
    filling_ = true;
    RadioButton1->setChecked(form_.Preset == FileListPreset::FileNameOnly);
    RadioButton2->setChecked(form_.Preset == FileListPreset::AddFileName);
    RadioButton3->setChecked(form_.Preset == FileListPreset::Custom);
    CheckBox1->setChecked(form_.CheckBox1);
    CheckBox1->setEnabled(form_.CheckBox1Enabled);
    LabeledEdit1->setText(Q(form_.LabeledEdit1));
    LabeledEdit1->setEnabled(form_.LabeledEdit1Enabled);
    LabeledEdit2->setText(Q(form_.LabeledEdit2));
    ComboBox1->setCurrentText(Q(form_.ComboBox1));
    QStringList lines;
    for (const std::string& line : form_.Memo1)
        lines << Q(line);
    Memo1->setPlainText(lines.join('\n'));
    filling_ = false;
}

void TFormFLst::ReadControls() {
    form_.Preset = RadioButton2->isChecked()   ? FileListPreset::AddFileName
                   : RadioButton3->isChecked() ? FileListPreset::Custom
                                               : FileListPreset::FileNameOnly;
    form_.CheckBox1 = CheckBox1->isChecked();
    form_.LabeledEdit1 = LabeledEdit1->text().toStdString();
    form_.LabeledEdit2 = LabeledEdit2->text().toStdString();
    form_.ComboBox1 = ComboBox1->currentText().toStdString();
}

bool TFormFLst::ShowModal() {
    Refresh();
    const bool ok = exec() == QDialog::Accepted;
    ReadControls();
    return ok;
}

void TFormFLst::CheckBox1Click() {
    if (filling_)
        return;
    ReadControls();
    form_.CheckBox1Click();
    Refresh();
}

void TFormFLst::RadioButton1Click() {
    if (filling_)
        return;
    ReadControls();
    form_.RadioButton1Click();
    Refresh();
}

void TFormFLst::LabeledEdit1Change() {
    if (filling_)
        return;
    ReadControls();
    form_.LabeledEdit1Change();
    // The preview alone: the text being typed keeps its cursor.
    filling_ = true;
    QStringList lines;
    for (const std::string& line : form_.Memo1)
        lines << Q(line);
    Memo1->setPlainText(lines.join('\n'));
    filling_ = false;
}
