// The module wizard window: builds the two pages and forwards every event to ModuleWizard.
#include "editor/hdl/ui/TFormNewPrj.h"

#include "editor/hdl/EditorHandOff.h"
#include "editor/hdl/ui/Hourglass.h"
#include "editor/model/Prompt.h"
#include "platform/DroppedFiles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSocketNotifier>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

TFormNewPrj* FormNewPrj = nullptr;

namespace {

// The file dialog's choices: HDL, Verilog, VHDL and all files.
constexpr const char* SourceFilter =
    "HDL Files (*.v *.vhd);;Verilog Files (*.v);;VHDL Files (*.vhd);;All Files (*)";

// A small square with a letter, so the three kinds are told apart in both lists.
QIcon KindIcon(int kind) {
    static const QIcon icons[3] = {
        [] {
            QPixmap p(16, 16);
            p.fill(QColor(0x2f, 0x6f, 0xc0));
            QPainter g(&p);
            g.setPen(Qt::white);
            g.drawText(p.rect(), Qt::AlignCenter, "V");
            return QIcon(p);
        }(),
        [] {
            QPixmap p(16, 16);
            p.fill(QColor(0x2e, 0x8b, 0x57));
            QPainter g(&p);
            g.setPen(Qt::white);
            g.drawText(p.rect(), Qt::AlignCenter, "H");
            return QIcon(p);
        }(),
        [] {
            QPixmap p(16, 16);
            p.fill(QColor(0x80, 0x80, 0x80));
            QPainter g(&p);
            g.setPen(Qt::white);
            g.drawText(p.rect(), Qt::AlignCenter, "A");
            return QIcon(p);
        }(),
    };
    return icons[kind >= 0 && kind <= 2 ? kind : 2];
}

// Only the instance count (the first column) is edited in place.
class CountColumnDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (index.column() != 0)
            return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
};

// The module column's own width; a wider list gives it more.
constexpr int ModuleColumnWidth = 85;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

TFormNewPrj::TFormNewPrj(ModuleWizard& wizard, Prompt& prompt, QWidget* parent)
    : QDialog(parent), wizard_(wizard), prompt_(prompt) {
    setObjectName("FormNewPrj");
    setModal(true);
    // The dialog opens at its own size and may be made larger, so long module names and paths
    // can be read whole.
    resize(426, 361);
    setMinimumSize(426, 361);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    page1_ = new QWidget(this);
    page2_ = new QWidget(this);
    outer->addWidget(page1_);
    outer->addWidget(page2_);
    BuildPage1();
    BuildPage2();

    // Repaint the wizard before the editor blocks on the engine, without taking user input or
    // a hand-off message in the middle of a job.
    wizard_.Runner().SetPendingEventsHook([] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::ExcludeSocketNotifiers);
    });
    Refresh();
}

void TFormNewPrj::BuildPage1() {
    auto* v = new QVBoxLayout(page1_);
    v->setContentsMargins(0, 0, 0, 0);

    LabeledEdit1Label = new QLabel("Add File:", page1_);
    LabeledEdit1 = new QLineEdit(page1_);
    LabeledEdit1->setObjectName("LabeledEdit1");
    LabeledEdit1Label->setBuddy(LabeledEdit1);
    BitBtn6 = new QPushButton("Add", page1_);
    BitBtn6->setObjectName("BitBtn6");
    BitBtn1 = new QPushButton("Browser", page1_);
    BitBtn1->setObjectName("BitBtn1");
    v->addWidget(LabeledEdit1Label);
    auto* addRow = new QHBoxLayout;
    addRow->addWidget(LabeledEdit1, 1);
    addRow->addWidget(BitBtn6);
    addRow->addWidget(BitBtn1);
    v->addLayout(addRow);

    ListView1 = new QTreeWidget(page1_);
    ListView1->setObjectName("ListView1");
    ListView1->setColumnCount(1);
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setToolTip("Accept drag and drop.");
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    ListView1->header()->setSectionsClickable(true);
    ListView1->installEventFilter(this);
    v->addWidget(ListView1, 1);

    PopupMenu1 = new QMenu(this);
    FT1 = PopupMenu1->addAction(KindIcon(VerilogKind), "Verilog File");
    FT2 = PopupMenu1->addAction(KindIcon(VhdlKind), "VHDL File");
    FT3 = PopupMenu1->addAction(KindIcon(AutoKind), "Auto Select");

    Label4 = new QLabel("Right-click to change the file type, Verilog, VHDL or AUTO.", page1_);
    v->addWidget(Label4);

    BitBtn4 = new QPushButton("Remove", page1_);
    BitBtn4->setObjectName("BitBtn4");
    BitBtn5 = new QPushButton("Clear", page1_);
    BitBtn5->setObjectName("BitBtn5");
    BitBtn2 = new QPushButton("Next", page1_);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn3 = new QPushButton("Cancel", page1_);
    BitBtn3->setObjectName("BitBtn3");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn4);
    buttons->addWidget(BitBtn5);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn3);
    v->addLayout(buttons);

    connect(LabeledEdit1, &QLineEdit::textChanged, this, [this](const QString& text) {
        wizard_.SetAddFileText(text.toStdString());
        ApplyLayout();
    });
    connect(LabeledEdit1, &QLineEdit::returnPressed, this, [this] {
        if (BitBtn6->isEnabled())
            BitBtn6Click();
    });
    connect(BitBtn6, &QPushButton::clicked, this, &TFormNewPrj::BitBtn6Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormNewPrj::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormNewPrj::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn4, &QPushButton::clicked, this, &TFormNewPrj::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TFormNewPrj::BitBtn5Click);
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (filling_)
            return;
        ReadSelection();
        wizard_.SetupWizardPage();
        ApplyLayout();
    });
    connect(ListView1, &QWidget::customContextMenuRequested, this, &TFormNewPrj::ShowFilesMenu);
    connect(ListView1->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        ReadSelection();
        wizard_.SortFiles(column);
        FillFiles();
    });
    connect(FT1, &QAction::triggered, this, [this] { FileTypeClick(VerilogKind); });
    connect(FT2, &QAction::triggered, this, [this] { FileTypeClick(VhdlKind); });
    connect(FT3, &QAction::triggered, this, [this] { FileTypeClick(AutoKind); });
}

void TFormNewPrj::BuildPage2() {
    auto* v = new QVBoxLayout(page2_);
    v->setContentsMargins(0, 0, 0, 0);

    LabeledEdit2Label = new QLabel("Top Module Name:", page2_);
    LabeledEdit2 = new QLineEdit("mytop", page2_);
    LabeledEdit2->setObjectName("LabeledEdit2");
    LabeledEdit2Label->setBuddy(LabeledEdit2);
    CheckBox1 = new QCheckBox("Inherit Type", page2_);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox1->setChecked(true);
    CheckBox1->setToolTip("Don't check this if only import port names.");
    v->addWidget(LabeledEdit2Label);
    auto* topRow = new QHBoxLayout;
    topRow->addWidget(LabeledEdit2);
    topRow->addWidget(CheckBox1);
    topRow->addStretch(1);
    v->addLayout(topRow);

    ListView2 = new QTreeWidget(page2_);
    ListView2->setObjectName("ListView2");
    ListView2->setColumnCount(3);
    ListView2->setHeaderLabels({"Number", "Module", "File"});
    ListView2->setColumnWidth(0, 80);
    ListView2->setColumnWidth(1, ModuleColumnWidth);
    ListView2->setColumnWidth(2, 255);
    ListView2->setRootIsDecorated(false);
    ListView2->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView2->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView2->setEditTriggers(QAbstractItemView::SelectedClicked |
                               QAbstractItemView::EditKeyPressed);
    ListView2->setItemDelegate(new CountColumnDelegate(ListView2));
    ListView2->header()->setSectionsClickable(true);
    ListView2->installEventFilter(this);
    ListView2->viewport()->installEventFilter(this);
    v->addWidget(ListView2, 1);

    Label1 = new QLabel(
        "Click a selected row to change the module's instance number; Or click here", page2_);
    Label1->setWordWrap(true);
    Label2 = new QLabel("+", page2_);
    Label3 = new QLabel("-", page2_);
    for (QLabel* l : {Label2, Label3}) {
        QFont f = l->font();
        f.setPointSize(f.pointSize() * 2);
        f.setBold(true);
        l->setFont(f);
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
    }
    Label2->setObjectName("Label2");
    Label3->setObjectName("Label3");
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(Label1, 1);
    countRow->addWidget(Label2);
    countRow->addWidget(Label3);
    v->addLayout(countRow);

    BitBtn10 = new QPushButton("Remove", page2_);
    BitBtn10->setObjectName("BitBtn10");
    BitBtn7 = new QPushButton("Prev", page2_);
    BitBtn7->setObjectName("BitBtn7");
    BitBtn8 = new QPushButton("OK", page2_);
    BitBtn8->setObjectName("BitBtn8");
    BitBtn9 = new QPushButton("Cancel", page2_);
    BitBtn9->setObjectName("BitBtn9");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn10);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn7);
    buttons->addWidget(BitBtn8);
    buttons->addWidget(BitBtn9);
    v->addLayout(buttons);

    connect(LabeledEdit2, &QLineEdit::textEdited, this,
            [this](const QString& text) { wizard_.TopModuleText = text.toStdString(); });
    connect(CheckBox1, &QCheckBox::toggled, this,
            [this](bool checked) { wizard_.InheritType = checked; });
    connect(BitBtn7, &QPushButton::clicked, this, &TFormNewPrj::BitBtn7Click);
    connect(BitBtn8, &QPushButton::clicked, this, &TFormNewPrj::BitBtn8Click);
    connect(BitBtn9, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn10, &QPushButton::clicked, this, &TFormNewPrj::BitBtn10Click);
    connect(ListView2, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (filling_)
            return;
        ReadSelection();
        wizard_.SetupWizardPage();
        ApplyLayout();
    });
    connect(ListView2, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (filling_ || column != 0)
            return;
        ModuleEdited(ListView2->indexOfTopLevelItem(item), item->text(0));
    });
    connect(ListView2->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        ReadSelection();
        wizard_.SortModules(column);
        FillModules();
    });
}

void TFormNewPrj::Refresh() {
    FillFiles();
    FillModules();
    wizard_.SetupWizardPage();
    ApplyLayout();
}

void TFormNewPrj::ApplyLayout() {
    const WizardPageLayout& l = wizard_.Layout();
    setWindowTitle(Q(l.caption));
    page1_->setVisible(l.filePage);
    page2_->setVisible(!l.filePage);
    setAcceptDrops(l.acceptDrops);

    BitBtn6->setEnabled(l.addEnabled);
    BitBtn2->setEnabled(l.nextEnabled);
    BitBtn5->setEnabled(l.clearEnabled);
    BitBtn4->setEnabled(l.removeFilesEnabled);
    ListView1->setHeaderLabels({Q(l.filesColumnCaption)});

    if (!l.filePage) {
        if (LabeledEdit2->text().toStdString() != wizard_.TopModuleText)
            LabeledEdit2->setText(Q(wizard_.TopModuleText));
        LabeledEdit2->setEnabled(l.topNameEnabled);
        LabeledEdit2->setFixedWidth(l.topNameWidth);
        CheckBox1->setVisible(l.inheritTypeVisible);
        CheckBox1->setChecked(wizard_.InheritType);
        Label1->setVisible(l.countLabelsVisible);
        Label2->setVisible(l.countLabelsVisible);
        Label3->setVisible(l.countLabelsVisible);
        Label2->setEnabled(l.countButtonsEnabled);
        Label3->setEnabled(l.countButtonsEnabled);
        BitBtn10->setEnabled(l.removeModulesEnabled);
        BitBtn8->setEnabled(l.okEnabled);
        BitBtn8->setDefault(true);
    } else {
        BitBtn8->setDefault(false);
    }
}

void TFormNewPrj::FillFiles() {
    filling_ = true;
    ListView1->clear();
    for (const SourceFileRow& row : wizard_.Files) {
        auto* item = new QTreeWidgetItem(ListView1, {Q(row.path)});
        item->setIcon(0, KindIcon(row.kind));
        item->setSelected(row.selected);
    }
    filling_ = false;
}

void TFormNewPrj::FillModules() {
    filling_ = true;
    ListView2->clear();
    for (const ModuleRow& row : wizard_.Modules) {
        auto* item = new QTreeWidgetItem(ListView2, {Q(row.count), Q(row.module), Q(row.path)});
        item->setIcon(0, KindIcon(row.kind));
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        item->setSelected(row.selected);
    }
    filling_ = false;
}

void TFormNewPrj::ReadSelection() {
    for (int i = 0; i < ListView1->topLevelItemCount() && i < int(wizard_.Files.size()); ++i)
        wizard_.Files[i].selected = ListView1->topLevelItem(i)->isSelected();
    for (int i = 0; i < ListView2->topLevelItemCount() && i < int(wizard_.Modules.size()); ++i)
        wizard_.Modules[i].selected = ListView2->topLevelItem(i)->isSelected();
}

void TFormNewPrj::ModuleEdited(int row, const QString& text) {
    if (row < 0 || row >= int(wizard_.Modules.size()))
        return;
    wizard_.EditCount(std::size_t(row), text.trimmed().toStdString());
    // A refused count shows the one kept.
    filling_ = true;
    ListView2->topLevelItem(row)->setText(0, Q(wizard_.Modules[row].count));
    filling_ = false;
}

void TFormNewPrj::ShowFilesMenu(const QPoint& at) {
    ReadSelection();
    if (!wizard_.KindMenuVisible())
        return;
    PopupMenu1->popup(ListView1->viewport()->mapToGlobal(at));
}

void TFormNewPrj::FileTypeClick(int kind) {
    ReadSelection();
    wizard_.SetKindOfSelected(kind);
    FillFiles();
    ApplyLayout();
}

void TFormNewPrj::BitBtn6Click() {
    wizard_.AddClick();
    if (LabeledEdit1->text().toStdString() != wizard_.AddFileText)
        LabeledEdit1->setText(Q(wizard_.AddFileText));
    FillFiles();
    ApplyLayout();
}

void TFormNewPrj::BitBtn1Click() {
    FileChooser chooser;
    chooser.title = "Add Files";
    chooser.filter = SourceFilter;
    std::vector<std::string> chosen = prompt_.OpenFiles(chooser);
    if (chosen.empty())
        return;
    ReadSelection();
    wizard_.AddChosenFiles(chosen);
    FillFiles();
    ApplyLayout();
}

void TFormNewPrj::DroppedFiles(const std::vector<std::string>& paths) {
    ReadSelection();
    wizard_.DropFiles(paths);
    FillFiles();
    ApplyLayout();
}

void TFormNewPrj::BitBtn2Click() {
    ReadSelection();
    {
        Hourglass busy;
        wizard_.Next();
    }
    Refresh();
}

void TFormNewPrj::BitBtn4Click() {
    ReadSelection();
    wizard_.RemoveSelectedFiles();
    FillFiles();
    ApplyLayout();
}

void TFormNewPrj::BitBtn5Click() {
    wizard_.ClearFiles();
    FillFiles();
    ApplyLayout();
}

void TFormNewPrj::BitBtn7Click() {
    ReadSelection();
    wizard_.Prev();
    Refresh();
}

void TFormNewPrj::BitBtn8Click() {
    ReadSelection();
    wizard_.TopModuleText = LabeledEdit2->text().toStdString();
    wizard_.InheritType = CheckBox1->isChecked();
    bool close = false;
    {
        Hourglass busy;
        close = wizard_.Ok();
    }
    if (close) {
        accept();
        return;
    }
    Refresh();
}

void TFormNewPrj::BitBtn10Click() {
    ReadSelection();
    wizard_.RemoveSelectedModules();
    FillModules();
    ApplyLayout();
}

void TFormNewPrj::Label2Click() {
    ReadSelection();
    wizard_.Plus();
    FillModules();
    ApplyLayout();
}

void TFormNewPrj::Label3Click() {
    ReadSelection();
    wizard_.Minus();
    FillModules();
    ApplyLayout();
}

void TFormNewPrj::done(int result) {
    wizard_.FormClose();
    QDialog::done(result);
}

void TFormNewPrj::dragEnterEvent(QDragEnterEvent* event) {
    if (wizard_.Layout().acceptDrops &&
        !platform::LocalFilesOfUriList(event->mimeData()->data("text/uri-list").toStdString())
             .empty())
        event->acceptProposedAction();
}

void TFormNewPrj::dragMoveEvent(QDragMoveEvent* event) {
    if (wizard_.Layout().acceptDrops)
        event->acceptProposedAction();
}

void TFormNewPrj::dropEvent(QDropEvent* event) {
    std::vector<std::string> files =
        platform::LocalFilesOfUriList(event->mimeData()->data("text/uri-list").toStdString());
    event->acceptProposedAction();
    DroppedFiles(files);
}

void TFormNewPrj::FitModuleColumn() {
    // "Number" and "File" keep their widths; "Module" takes what the list has beyond them, and
    // never less than its own width.
    const int room =
        ListView2->viewport()->width() - ListView2->columnWidth(0) - ListView2->columnWidth(2);
    ListView2->setColumnWidth(1, std::max(ModuleColumnWidth, room));
}

bool TFormNewPrj::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListView2->viewport() && event->type() == QEvent::Resize)
        FitModuleColumn();
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        if (watched == ListView1 && BitBtn4->isEnabled()) {
            BitBtn4Click();
            return true;
        }
        // While a count is edited the keys go to the editor, not to the list.
        if (watched == ListView2 && BitBtn10->isEnabled()) {
            BitBtn10Click();
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Label2 && Label2->isEnabled()) {
            Label2Click();
            return true;
        }
        if (watched == Label3 && Label3->isEnabled()) {
            Label3Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormNewPrj::SetHandOff(EditorHandOff* handOff) {
    delete handOffNotifier_;
    handOffNotifier_ = nullptr;
    delete answerWatch_;
    answerWatch_ = nullptr;
    handOff_ = handOff;
    if (handOff_ == nullptr || !handOff_->Window().Valid())
        return;
    handOffNotifier_ =
        new QSocketNotifier(handOff_->Window().Descriptor(), QSocketNotifier::Read, this);
    connect(handOffNotifier_, &QSocketNotifier::activated, this, &TFormNewPrj::OnOpenRequest);
    answerWatch_ = new QTimer(this);
    answerWatch_->setInterval(100);
    connect(answerWatch_, &QTimer::timeout, this, [this] {
        OnOpenRequest();
        if (handOff_ != nullptr)
            HandleOutcome(handOff_->CheckAnswer(wizard_));
    });
}

void TFormNewPrj::WatchAnswer() {
    if (answerWatch_ == nullptr)
        return;
    if (handOff_ != nullptr && handOff_->RequestOutstanding())
        answerWatch_->start();
    else
        answerWatch_->stop();
}

void TFormNewPrj::OnOpenRequest() {
    if (handOff_ == nullptr)
        return;
    HandleOutcome(handOff_->HandlePendingMessages(wizard_));
}

void TFormNewPrj::HandleOutcome(OpenRequestOutcome outcome) {
    WatchAnswer();
    if (outcome == OpenRequestOutcome::CloseMainWindow) {
        if (CloseMainWindow)
            CloseMainWindow();
        return;
    }
    if (outcome != OpenRequestOutcome::FileTaken)
        return;
    ReadSelection();
    Refresh();
    // The modal wizard comes to the front when it shows and takes input; the window manager
    // has the last word.
    if (isVisible() && isEnabled()) {
        raise();
        activateWindow();
    }
}
