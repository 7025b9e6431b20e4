// The width confirmation dialog.
#include "editor/hdl/ui/TFormConfWid.h"

#include "editor/widgets/CellEditor.h"
#include "editor/widgets/DialogButtons.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

TFormConfWid* FormConfWid = nullptr;

TFormConfWid::TFormConfWid(WidthConfirmation& widths, ProjectModel& model, EditorServices& services,
                           QWidget* parent)
    : QDialog(parent), widths_(widths), model_(model), services_(services) {
    setObjectName("FormConfWid");
    FormConfWid = this;
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(539, 290);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    auto* v = new QVBoxLayout(this);
    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName("ListView1");
    ListView1->setColumnCount(7);
    ListView1->setHeaderLabels(
        {"Port", "MSB Exp", "LSB Exp", "MSB Val", "LSB Val", "Set MSB", "Set LSB"});
    // All seven columns within the dialog's width: at the default widths the two that take an
    // edit, "Set MSB" and "Set LSB", lay beyond the right edge.
    ListView1->setColumnWidth(0, 95);
    for (int c = 1; c < 7; ++c)
        ListView1->setColumnWidth(c, 66);
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::DoubleClicked);
    ListView1->setToolTip("Double click the Set Column to set value.");
    ListView1->header()->setSectionsClickable(true);
    ListView1->setItemDelegate(new CellEditDelegate(
        {SetMsbColumn, SetLsbColumn},
        [this](int row, int column, const std::string& text) {
            widths_.SetCell(row, column, text);
            // The list shows the new text once the editor has gone.
            QMetaObject::invokeMethod(
                this, [this] { Refresh(); }, Qt::QueuedConnection);
        },
        this));
    v->addWidget(ListView1, 1);

    auto* bottom = new QHBoxLayout;
    CheckBox1 = new QCheckBox("Do not show this again.", this);
    CheckBox1->setObjectName("CheckBox1");
    MakeOkCancel(this, BitBtn1, "BitBtn1", BitBtn2, "BitBtn2");
    BitBtn3 = new QPushButton("Help", this);
    BitBtn3->setObjectName("BitBtn3");
    bottom->addWidget(CheckBox1);
    bottom->addStretch(1);
    bottom->addWidget(BitBtn1);
    bottom->addWidget(BitBtn2);
    bottom->addWidget(BitBtn3);
    v->addLayout(bottom);

    connect(BitBtn1, &QPushButton::clicked, this, &TFormConfWid::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn3, &QPushButton::clicked, this, &TFormConfWid::BitBtn3Click);
    connect(CheckBox1, &QCheckBox::toggled, this, [this](bool on) { widths_.CheckBox1 = on; });
    connect(ListView1->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        widths_.ListView1ColumnClick(column);
        Refresh();
    });
    ShowModal = [](TFormConfWid& dialog) { return dialog.exec(); };
    Refresh();
}

TFormConfWid::~TFormConfWid() {
    if (FormConfWid == this)
        FormConfWid = nullptr;
}

void TFormConfWid::Refresh() {
    setWindowTitle(QString::fromStdString(widths_.Caption));
    CheckBox1->setChecked(widths_.CheckBox1);
    static const QIcon evaluated = LetterIcon(QColor(0x2e, 0x8b, 0x57), "=");
    static const QIcon failed = LetterIcon(QColor(0xc0, 0x30, 0x30), "?");
    ListView1->clear();
    for (const WidthRow& r : widths_.Rows) {
        QStringList cells;
        for (int c = 0; c < 7; ++c)
            cells << QString::fromStdString(r.Column(c));
        auto* item = new QTreeWidgetItem(ListView1, cells);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        item->setIcon(0, r.Failed ? failed : evaluated);
    }
}

bool TFormConfWid::ShowModalOk() {
    Refresh();
    return ShowModal(*this) == QDialog::Accepted;
}

void TFormConfWid::BitBtn1Click() {
    widths_.CheckBox1 = CheckBox1->isChecked();
    if (widths_.BitBtn1Click())
        accept();
}

void TFormConfWid::BitBtn3Click() {
    OpenDocument(model_, services_, ConfirmDocument, false);
}
