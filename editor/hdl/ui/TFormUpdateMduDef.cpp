// The update-module dialog.
#include "editor/hdl/ui/TFormUpdateMduDef.h"

#include "editor/widgets/CellEditor.h"
#include "editor/hdl/ui/BusyCursor.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

TFormUpdateMduDef* FormUpdateMduDef = nullptr;

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

const QIcon& ChangedIcon() {
    static const QIcon icon = LetterIcon(QColor(0xc0, 0x60, 0x10), "!");
    return icon;
}

const QIcon& UnchangedIcon() {
    static const QIcon icon = LetterIcon(QColor(0x2e, 0x8b, 0x57), "=");
    return icon;
}

const QIcon& DeletedIcon() {
    static const QIcon icon = LetterIcon(QColor(0x80, 0x80, 0x80), "-");
    return icon;
}

} // namespace

TFormUpdateMduDef::TFormUpdateMduDef(ModuleUpdate& update, QWidget* parent)
    : QDialog(parent), update_(update) {
    setObjectName("FormUpdateMduDef");
    FormUpdateMduDef = this;
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(Q(update_.Caption));
    resize(520, 440);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    auto* v = new QVBoxLayout(this);
    auto* moduleRow = new QHBoxLayout;
    auto* moduleLabel = new QLabel("Module:", this);
    ComboBoxEx1 = new QComboBox(this);
    ComboBoxEx1->setObjectName("ComboBoxEx1");
    moduleLabel->setBuddy(ComboBoxEx1);
    moduleRow->addWidget(moduleLabel);
    moduleRow->addWidget(ComboBoxEx1, 1);
    v->addLayout(moduleRow);

    Splitter1 = new QSplitter(Qt::Vertical, this);
    ListView1 = new QTreeWidget(Splitter1);
    ListView1->setObjectName("ListView1");
    ListView1->setColumnCount(6);
    ListView1->setHeaderLabels({"Name", "MSB", "LSB", "Type", "Default", "PID"});
    // All six columns within the dialog's width: at the default widths "Default" and "PID" lay
    // beyond the right edge.
    const int widths[] = {120, 70, 70, 55, 80, 40};
    for (int c = 0; c < 6; ++c)
        ListView1->setColumnWidth(c, widths[c]);
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->header()->setSectionsClickable(true);
    auto* report = new QWidget(Splitter1);
    auto* rv = new QVBoxLayout(report);
    rv->setContentsMargins(0, 0, 0, 0);
    Label2 = new QLabel("Report:", report);
    Label2->setObjectName("Label2");
    Memo1 = new QPlainTextEdit(report);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    rv->addWidget(Label2);
    rv->addWidget(Memo1, 1);
    v->addWidget(Splitter1, 1);

    auto* buttons = new QHBoxLayout;
    BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn2 = new QPushButton("Cancel", this);
    BitBtn2->setObjectName("BitBtn2");
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    v->addLayout(buttons);

    connect(BitBtn1, &QPushButton::clicked, this, &TFormUpdateMduDef::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormUpdateMduDef::BitBtn2Click);
    connect(ComboBoxEx1, &QComboBox::activated, this, &TFormUpdateMduDef::ComboBoxEx1Change);
    connect(ListView1->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        update_.ListView1ColumnClick(column);
        FillRows();
    });
    ShowModal = [](TFormUpdateMduDef& dialog) { return dialog.exec(); };
}

TFormUpdateMduDef::~TFormUpdateMduDef() {
    if (FormUpdateMduDef == this)
        FormUpdateMduDef = nullptr;
}

void TFormUpdateMduDef::Refresh() {
    filling_ = true;
    ComboBoxEx1->clear();
    for (const ModuleItem& item : update_.ComboBoxEx1)
        ComboBoxEx1->addItem(item.Changed ? ChangedIcon() : UnchangedIcon(), Q(item.Module));
    ComboBoxEx1->setCurrentIndex(update_.ItemIndex);
    filling_ = false;
    Label2->setText(Q(update_.Label2));
    QString memo = Q(update_.Memo1);
    memo.replace("\r\n", "\n");
    Memo1->setPlainText(memo);
    FillRows();
}

void TFormUpdateMduDef::FillRows() {
    ListView1->clear();
    for (const CompareRow& r : update_.ListView1) {
        QStringList cells;
        for (int c = 0; c < 6; ++c)
            cells << Q(r.Column(c));
        auto* item = new QTreeWidgetItem(ListView1, cells);
        if (r.Image == CompareRow::NewImage)
            item->setIcon(0, ChangedIcon());
        else if (r.Image == CompareRow::GoneImage)
            item->setIcon(0, DeletedIcon());
    }
}

void TFormUpdateMduDef::ShowUpdateDialog() {
    {
        BusyCursor busy;
        update_.PrepareUpdateDialog();
    }
    Refresh();
    ShowModal(*this);
}

void TFormUpdateMduDef::ComboBoxEx1Change(int index) {
    if (filling_)
        return;
    {
        BusyCursor busy;
        update_.ComboBoxEx1Change(index);
    }
    Refresh();
}

void TFormUpdateMduDef::BitBtn1Click() {
    {
        BusyCursor busy;
        update_.BitBtn1Click();
    }
    accept();
}

void TFormUpdateMduDef::BitBtn2Click() {
    reject();
}

void TFormUpdateMduDef::done(int result) {
    // Every way out but OK (Cancel, Esc, the window's close box) is Cancel: the definitions must
    // not wait for a later OK.
    if (result != QDialog::Accepted)
        update_.BitBtn2Click();
    QDialog::done(result);
}
