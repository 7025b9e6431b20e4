// The "Combine" dialog.
#include "editor/canvas/ui/TFormComb.h"

#include "editor/canvas/NamingDialogs.h"
#include "editor/widgets/DialogButtons.h"

#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

TFormComb* FormComb = nullptr;

namespace {

QSpinBox* ReadOnlyBits(QWidget* parent, const char* name) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(0, 10000);
    box->setReadOnly(true);
    box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    return box;
}

} // namespace

TFormComb::TFormComb(QWidget* parent) : QDialog(parent) {
    setObjectName("FormComb");
    setWindowTitle("Combine");
    LabeledEdit1 = new QLineEdit(this);
    LabeledEdit1->setObjectName("LabeledEdit1");
    LabeledEdit2 = ReadOnlyBits(this, "LabeledEdit2");
    LabeledEdit3 = ReadOnlyBits(this, "LabeledEdit3");
    StringGrid1 = new QTableWidget(0, 4, this);
    StringGrid1->setObjectName("StringGrid1");
    StringGrid1->setHorizontalHeaderLabels({"MSB", "LSB", "Current Ports", "Bits"});
    const int widths[] = {30, 30, 184, 37};
    for (int c = 0; c < 4; ++c)
        StringGrid1->setColumnWidth(c, widths[c]);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Rows move by dragging their header; the state then gives every row its slice again.
    StringGrid1->verticalHeader()->setSectionsMovable(true);
    connect(StringGrid1->verticalHeader(), &QHeaderView::sectionMoved, this,
            [this](int, int from, int to) {
                if (!showing_)
                    StringGrid1RowMoved(from + 1, to + 1);
            });
    Label1 = new QLabel("You can change the bits order by dragging.", this);
    MakeOkCancel(this, BitBtn1, "BitBtn1", BitBtn2, "BitBtn2");
    connect(BitBtn1, &QPushButton::clicked, this, &TFormComb::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow("Combined port name:", LabeledEdit1);
    auto* bits = new QHBoxLayout;
    bits->addWidget(LabeledEdit2);
    bits->addWidget(new QLabel(":", this));
    bits->addWidget(LabeledEdit3);
    form->addRow("Port Width:", bits);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Label1);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(StringGrid1);
    layout->addLayout(buttons);
    resize(360, 300);
    if (!FormComb)
        FormComb = this;
}

TFormComb::~TFormComb() {
    if (FormComb == this)
        FormComb = nullptr;
}

void TFormComb::ShowRows() {
    if (!state_)
        return;
    showing_ = true;
    QHeaderView* rows = StringGrid1->verticalHeader();
    // The table shows the state's order; a dragged header goes back to its place.
    for (int i = 0; i < rows->count(); ++i)
        rows->moveSection(rows->visualIndex(i), i);
    StringGrid1->setRowCount(static_cast<int>(state_->Rows.size()));
    for (int r = 0; r < StringGrid1->rowCount(); ++r) {
        const CombineRow& row = state_->Rows[static_cast<std::size_t>(r)];
        const QString cells[] = {QString::number(row.Msb), QString::number(row.Lsb),
                                 QString::fromStdString(row.Port),
                                 QString::fromStdString(row.Bits)};
        for (int c = 0; c < 4; ++c)
            StringGrid1->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    LabeledEdit2->setValue(state_->Msb);
    LabeledEdit3->setValue(state_->Lsb);
    showing_ = false;
}

bool TFormComb::ShowModal(CombineDialog& state) {
    state_ = &state;
    LabeledEdit1->setText(QString::fromStdString(state.LabeledEdit1));
    ShowRows();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    const bool ok = exec() == QDialog::Accepted;
    state_ = nullptr;
    return ok;
}

void TFormComb::StringGrid1RowMoved(int from, int to) {
    if (!state_)
        return;
    state_->StringGrid1RowMoved(from, to);
    ShowRows();
}

void TFormComb::BitBtn1Click() {
    if (!state_)
        return;
    state_->LabeledEdit1 = LabeledEdit1->text().toStdString();
    if (state_->BitBtn1Click())
        accept();
}
