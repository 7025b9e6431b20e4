// The Properties window: its two pages built and kept in step with PropertiesPresenter.
#include "editor/canvas/ui/TPortForm.h"

#include "editor/widgets/CellEditor.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

TPortForm* PortForm = nullptr;

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QTreeWidget* ReportList(QWidget* parent, const char* name, const QStringList& columns,
                        const std::vector<int>& widths) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setColumnCount(static_cast<int>(columns.size()));
    list->setHeaderLabels(columns);
    for (std::size_t c = 0; c < widths.size(); ++c)
        list->setColumnWidth(static_cast<int>(c), widths[c]);
    list->setRootIsDecorated(false);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->header()->setSectionsClickable(true);
    list->setSortingEnabled(false);
    return list;
}

} // namespace

void TInstanceBox::showPopup() {
    if (DropDown)
        DropDown();
    QComboBox::showPopup();
}

TPortForm::TPortForm(PropertiesPresenter& presenter, QWidget* parent)
    : QDockWidget("Properties", parent), presenter_(presenter) {
    setObjectName("PortForm");
    PortForm = this;
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");

    // The port's names and buttons at the left, its connections beside them: the window must be
    // usable in a bottom panel 151 pixels high.
    auto* ports = new QWidget;
    auto* ph = new QHBoxLayout(ports);
    ph->setContentsMargins(4, 4, 4, 4);
    auto* pv = new QVBoxLayout;
    pv->setSpacing(2);
    auto* portRow = new QHBoxLayout;
    Label1 = new QLabel("Port:", ports);
    Label1->setObjectName("Label1");
    Edit1 = new QLineEdit(ports);
    Edit1->setObjectName("Edit1");
    Edit1->hide();
    portRow->addWidget(Label1);
    portRow->addWidget(Edit1, 1);
    pv->addLayout(portRow);
    Label2 = new QLabel("In Module:", ports);
    Label2->setObjectName("Label2");
    pv->addWidget(Label2);
    auto* wireRow = new QHBoxLayout;
    LabeledEdit1Label = new QLabel("Wire: ", ports);
    LabeledEdit1 = new QLineEdit(ports);
    LabeledEdit1->setObjectName("LabeledEdit1");
    LabeledEdit1Label->setBuddy(LabeledEdit1);
    wireRow->addWidget(LabeledEdit1Label);
    wireRow->addWidget(LabeledEdit1, 1);
    pv->addLayout(wireRow);
    auto* buttonRow = new QHBoxLayout;
    Label3 = new QLabel("Connected to:", ports);
    Label3->setObjectName("Label3");
    Btn1 = new QPushButton("Apply", ports);
    Btn1->setObjectName("Btn1");
    Btn1->setToolTip("Apply (Enter)");
    Btn2 = new QPushButton("Cut Off", ports);
    Btn2->setObjectName("Btn2");
    Btn2->setToolTip("Cut Off (Del)");
    buttonRow->addWidget(Label3, 1);
    buttonRow->addWidget(Btn1);
    buttonRow->addWidget(Btn2);
    pv->addLayout(buttonRow);
    pv->addStretch(1);
    ph->addLayout(pv, 2);
    ListView1 =
        ReportList(ports, "ListView1", {"Module", "Port", "I/O", "Bits"}, {80, 100, 30, 60});
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setToolTip("Double click to move to.");
    ListView1->installEventFilter(this);
    ph->addWidget(ListView1, 3);
    PageControl1->addTab(ports, "Ports");

    auto* instances = new QWidget;
    auto* iv = new QVBoxLayout(instances);
    iv->setContentsMargins(4, 4, 4, 4);
    iv->setSpacing(2);
    auto* instRow = new QHBoxLayout;
    Label4 = new QLabel("Instance:", instances);
    ComboBox1 = new TInstanceBox(instances);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    Label4->setBuddy(ComboBox1);
    Label5 = new QLabel("Type:", instances);
    Btn3 = new QPushButton("Apply", instances);
    Btn3->setObjectName("Btn3");
    Btn3->setToolTip("Apply");
    SpeedButton1 = new QPushButton("ALL", instances);
    SpeedButton1->setToolTip("Show all the instances.");
    SpeedButton1->hide();
    SpeedButton2 = new QPushButton("PAR", instances);
    SpeedButton2->setToolTip("Show only the instances with parameters.");
    SpeedButton2->hide();
    instRow->addWidget(Label4);
    instRow->addWidget(ComboBox1, 1);
    instRow->addWidget(Label5);
    instRow->addStretch(1);
    instRow->addWidget(SpeedButton1);
    instRow->addWidget(SpeedButton2);
    instRow->addWidget(Btn3);
    iv->addLayout(instRow);
    ListView2 = ReportList(instances, "ListView2",
                           {"Parameter", "MSB", "LSB", "Default", "Value", "VHDL Type"},
                           {80, 38, 38, 70, 70, 70});
    ListView2->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView2->setToolTip("Double click the Value to set.");
    ListView2->setEditTriggers(QAbstractItemView::DoubleClicked);
    ListView2->setItemDelegate(new CellEditDelegate(
        {ValueColumn, VhdlTypeColumn},
        [this](int row, int column, const std::string& text) {
            presenter_.FloatEditExit(row, column, text, false);
            RefreshLater();
        },
        this));
    iv->addWidget(ListView2, 1);
    PageControl1->addTab(instances, "Instances");

    PageControl1->setMinimumSize(80, 60);
    setWidget(PageControl1);

    connect(Btn1, &QPushButton::clicked, this, &TPortForm::Btn1Click);
    connect(Btn2, &QPushButton::clicked, this, &TPortForm::Btn2Click);
    connect(Btn3, &QPushButton::clicked, this, &TPortForm::Btn3Click);
    auto edited = [this] {
        presenter_.NamesEdited(LabeledEdit1->text().toStdString(), Edit1->text().toStdString());
        Btn1->setEnabled(presenter_.Btn1Enabled);
    };
    connect(LabeledEdit1, &QLineEdit::textEdited, this, edited);
    connect(Edit1, &QLineEdit::textEdited, this, edited);
    auto enter = [this] {
        if (Btn1->isEnabled())
            Btn1Click();
    };
    connect(LabeledEdit1, &QLineEdit::returnPressed, this, enter);
    connect(Edit1, &QLineEdit::returnPressed, this, enter);
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!filling_)
            UpdateCutOff();
    });
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { ListView1DblClick(); });
    connect(ListView1->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        presenter_.ListColumnClick(PropertiesList::Connections, column);
        FillConnections();
    });
    connect(ListView2->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        presenter_.ListColumnClick(PropertiesList::Parameters, column);
        FillParameters();
    });
    ComboBox1->DropDown = [this] {
        presenter_.ComboBox1DropDown();
        Refresh();
    };
    connect(ComboBox1, &QComboBox::activated, this, [this](int index) {
        presenter_.ComboBox1Change(ComboBox1->itemText(index).toStdString());
        Refresh();
    });

    // The canvas and the main window change the pages in the middle of their own events; the
    // window shows them when those are done.
    presenter_.Changed = [this] { RefreshLater(); };
    presenter_.ShowPage = [this](int page) { PageControl1->setCurrentIndex(page); };
    presenter_.HideFloatEdit = [this] { FillParameters(); };
    Refresh();
}

TPortForm::~TPortForm() {
    // The presenter may be gone already (the main window's members go before its child
    // windows): it is not touched here.
    if (PortForm == this)
        PortForm = nullptr;
}

void TPortForm::RefreshLater() {
    if (refreshPending_)
        return;
    refreshPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            refreshPending_ = false;
            Refresh();
        },
        Qt::QueuedConnection);
}

void TPortForm::Refresh() {
    const PropertiesPresenter& p = presenter_;
    Label1->setText(Q(p.Label1));
    if (Edit1->text().toStdString() != p.Edit1)
        Edit1->setText(Q(p.Edit1));
    Edit1->setVisible(p.Edit1Visible);
    Label2->setText(Q(p.Label2));
    if (LabeledEdit1->text().toStdString() != p.LabeledEdit1)
        LabeledEdit1->setText(Q(p.LabeledEdit1));
    LabeledEdit1->setEnabled(p.WireEnabled);
    LabeledEdit1->setVisible(p.WireVisible);
    LabeledEdit1Label->setVisible(p.WireVisible);
    Label3->setText(Q(p.Label3));
    Btn1->setEnabled(p.Btn1Enabled);
    Btn3->setEnabled(p.Btn3Enabled);
    FillConnections();

    filling_ = true;
    ComboBox1->clear();
    for (const std::string& name : p.ComboBox1)
        ComboBox1->addItem(Q(name));
    ComboBox1->setCurrentIndex(ComboBox1->findText(Q(p.ComboText)));
    filling_ = false;
    FillParameters();
}

void TPortForm::FillConnections() {
    filling_ = true;
    ListView1->clear();
    for (const ConnectionRow& r : presenter_.ListView1)
        new QTreeWidgetItem(ListView1, {Q(r.Module), Q(r.Port), Q(r.IO), Q(r.Bits)});
    filling_ = false;
    UpdateCutOff();
}

void TPortForm::FillParameters() {
    filling_ = true;
    ListView2->clear();
    static const QIcon key = LetterIcon(QColor(0xb0, 0x80, 0x10), "K");
    for (const ParamRow& r : presenter_.ListView2) {
        auto* item = new QTreeWidgetItem(
            ListView2, {Q(r.Name), Q(r.Msb), Q(r.Lsb), Q(r.Default), Q(r.Value), Q(r.VhdlType)});
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        if (r.Key)
            item->setIcon(0, key);
    }
    filling_ = false;
}

std::vector<int> TPortForm::SelectedConnections() const {
    std::vector<int> rows;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        if (ListView1->topLevelItem(i)->isSelected())
            rows.push_back(i);
    return rows;
}

void TPortForm::UpdateCutOff() {
    presenter_.UpdateCutOffAvailability(static_cast<int>(SelectedConnections().size()));
    Btn2->setEnabled(presenter_.Btn2Enabled);
}

void TPortForm::Btn1Click() {
    presenter_.NamesEdited(LabeledEdit1->text().toStdString(), Edit1->text().toStdString());
    presenter_.Btn1Click();
    Refresh();
}

void TPortForm::Btn2Click() {
    presenter_.Btn2Click(SelectedConnections());
    Refresh();
}

void TPortForm::Btn3Click() {
    presenter_.Btn3Click();
    Refresh();
}

void TPortForm::ListView1DblClick() {
    const std::vector<int> rows = SelectedConnections();
    if (rows.empty())
        return;
    presenter_.ListView1DblClick(rows.front());
    Refresh();
}

bool TPortForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListView1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        UpdateCutOff();
        if (Btn2->isEnabled())
            Btn2Click();
        return true;
    }
    return QDockWidget::eventFilter(watched, event);
}

void TPortForm::showEvent(QShowEvent* event) {
    QDockWidget::showEvent(event);
    UpdateCutOff();
}
