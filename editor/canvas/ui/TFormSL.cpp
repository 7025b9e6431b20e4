// The Smart Link window's widgets over its headless state.
#include "editor/canvas/ui/TFormSL.h"

#include "editor/canvas/SmartLinkWindow.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

TFormSL* FormSL = nullptr;

namespace {

constexpr int kColumnWidths[SmartLinkColumns] = {30, 30, 58, 62, 51, 63, 52, 162};

// Tells when the user starts to edit a cell.
class EditStartDelegate : public QStyledItemDelegate {
public:
    EditStartDelegate(TFormSL* form, QObject* parent) : QStyledItemDelegate(parent), form_(form) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        form_->StringGrid1GetEditText();
        return QStyledItemDelegate::createEditor(parent, option, index);
    }

private:
    TFormSL* form_;
};

QPushButton* Button(const char* name, const char* caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

TFormSL::TFormSL(SmartLinkWindow& state, Prompt& prompt, EditorServices& services, QWidget* parent)
    : QDockWidget("Smart Link", parent), State(state), prompt_(prompt), services_(services) {
    FormSL = this;
    setObjectName("FormSL");
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);

    auto* body = new QWidget(this);
    StringGrid1 = new QTableWidget(0, SmartLinkColumns, body);
    StringGrid1->setObjectName("StringGrid1");
    StringGrid1->setItemDelegate(new EditStartDelegate(this, StringGrid1));
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->verticalHeader()->setSectionsMovable(true);
    StringGrid1->verticalHeader()->setDefaultSectionSize(20);
    for (int c = 0; c < SmartLinkColumns; ++c)
        StringGrid1->setColumnWidth(c, kColumnWidths[c]);
    StringGrid1->viewport()->installEventFilter(this);
    StringGrid1->installEventFilter(this);
    StringGrid1->setMinimumSize(80, 60);

    CheckListBox1 = new QListWidget(body);
    CheckListBox1->setObjectName("CheckListBox1");
    for (const SmartLinkOptionItem& item : State.CheckListBox1) {
        auto* row = new QListWidgetItem(QString::fromStdString(item.Text), CheckListBox1);
        row->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
    }

    Btn1 = Button("Btn1", "Apply", body);
    Btn6 = Button("Btn6", "Add a Row", body);
    SpeedButton1 = Button("SpeedButton1", "Delete Last Row", body);
    Btn4 = Button("Btn4", "Save As", body);
    Btn5 = Button("Btn5", "Open", body);
    SpeedButton2 = Button("SpeedButton2", "Show Check Boxes in 2 Columns", body);
    SpeedButton2->setCheckable(true);
    Btn7 = Button("Btn7", "Help", body);

    // Under the grid: the options across the panel, then the buttons in two columns.
    auto* buttons = new QGridLayout;
    buttons->addWidget(Btn1, 0, 0);
    buttons->addWidget(Btn6, 0, 1);
    buttons->addWidget(SpeedButton1, 1, 0);
    buttons->addWidget(Btn4, 1, 1);
    buttons->addWidget(Btn5, 2, 0);
    buttons->addWidget(Btn7, 2, 1);
    buttons->addWidget(SpeedButton2, 3, 0, 1, 2);
    CheckListBox1->setMaximumHeight(6 * 20 + 6);
    CheckListBox1->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(StringGrid1, 1);
    layout->addWidget(CheckListBox1);
    layout->addLayout(buttons);
    // Scrolled rather than squeezed when the dock panel is narrower than the buttons.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("SmartLinkPanel");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(body);
    scroll->setMinimumSize(80, 60);
    setWidget(scroll);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    PopupMenu1->addAction("Delete last row", this, [this] { Deletelastone1Click(); });
    PopupMenu1->addAction("Add", this, [this] { Btn6Click(); });
    PopupMenu1->addAction("Apply", this, [this] { Btn1Click(); });
    PopupMenu1->addAction("Save as...", this, [this] { Btn4Click(); });
    PopupMenu1->addAction("Open...", this, [this] { Btn5Click(); });
    for (QWidget* w : {static_cast<QWidget*>(body), static_cast<QWidget*>(StringGrid1)}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint& at) { PopupMenu1->popup(w->mapToGlobal(at)); });
    }

    connect(Btn1, &QPushButton::clicked, this, [this] { Btn1Click(); });
    connect(Btn6, &QPushButton::clicked, this, [this] { Btn6Click(); });
    connect(SpeedButton1, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(Btn4, &QPushButton::clicked, this, [this] { Btn4Click(); });
    connect(Btn5, &QPushButton::clicked, this, [this] { Btn5Click(); });
    connect(SpeedButton2, &QPushButton::clicked, this, [this] { SpeedButton2Click(); });
    connect(Btn7, &QPushButton::clicked, this, [this] { Btn7Click(); });
    connect(CheckListBox1, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!showing_)
            CheckListBox1ClickCheck(CheckListBox1->row(item));
    });
    connect(StringGrid1, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (showing_)
            return;
        State.EditCell(item->column(), item->row() + 1, item->text().toStdString());
        ShowState();
    });
    // A dragged row moves in the state, so Apply, Save and Delete see the order shown; the
    // header's own reordering is undone as the grid is shown again.
    connect(StringGrid1->verticalHeader(), &QHeaderView::sectionMoved, this,
            [this](int, int from, int to) {
                if (showing_)
                    return;
                State.MoveRow(from + 1, to + 1);
                ShowState();
            });
}

TFormSL::~TFormSL() {
    if (FormSL == this)
        FormSL = nullptr;
}

void TFormSL::FormCreate() {
    State.FormCreate();
    ShowState();
}

void TFormSL::Btn1Click() {
    State.Btn1Click();
    ShowState();
}

void TFormSL::Btn4Click() {
    State.Btn4Click(prompt_);
    ShowState();
}

void TFormSL::Btn5Click() {
    State.Btn5Click(prompt_);
    ShowState();
}

void TFormSL::Btn6Click() {
    State.Btn6Click();
    ShowState();
}

void TFormSL::Btn7Click() {
    State.Btn7Click(services_);
}

void TFormSL::SpeedButton1Click() {
    State.SpeedButton1Click();
    ShowState();
}

void TFormSL::SpeedButton2Click() {
    State.SpeedButton2Click(SpeedButton2->isChecked());
    ShowState();
}

void TFormSL::Deletelastone1Click() {
    State.Deletelastone1Click();
    ShowState();
}

void TFormSL::CheckListBox1ClickCheck(int item) {
    const QListWidgetItem* row = CheckListBox1->item(item);
    if (!row)
        return;
    State.ClickOption(item, row->checkState() == Qt::Checked);
    ShowState();
}

void TFormSL::StringGrid1MouseDown(int col, int row) {
    State.StringGrid1MouseDown(col, row);
}

void TFormSL::StringGrid1MouseUp(int col, int row) {
    State.StringGrid1MouseUp(col, row);
    ShowState();
}

void TFormSL::StringGrid1GetEditText() {
    State.StringGrid1GetEditText();
    Btn1->setEnabled(State.Btn1Enabled);
}

void TFormSL::StringGrid1Enter() {
    State.StringGrid1Enter();
    Btn1->setEnabled(State.Btn1Enabled);
}

void TFormSL::ShowState() {
    showing_ = true;
    ShowGrid();
    ShowOptions();
    Btn1->setEnabled(State.Btn1Enabled);
    SpeedButton2->setChecked(State.TwoColumns);
    showing_ = false;
}

void TFormSL::ShowGrid() {
    const SmartLinkGrid& g = State.StringGrid1;
    QStringList header;
    for (int c = 0; c < g.ColCount(); ++c)
        header << QString::fromStdString(g.Cell(c, 0));
    StringGrid1->setColumnCount(g.ColCount());
    StringGrid1->setHorizontalHeaderLabels(header);
    StringGrid1->setRowCount(std::max(g.RowCount() - 1, 0));
    QHeaderView* rows = StringGrid1->verticalHeader();
    // Rows show in the state's order: a drag's visual move is taken back once the state has it.
    for (int r = 0; r < StringGrid1->rowCount(); ++r)
        if (rows->visualIndex(r) != r)
            rows->moveSection(rows->visualIndex(r), r);
    for (int r = 1; r < g.RowCount(); ++r) {
        for (int c = 0; c < g.ColCount(); ++c) {
            QTableWidgetItem* item = StringGrid1->item(r - 1, c);
            if (!item) {
                item = new QTableWidgetItem;
                StringGrid1->setItem(r - 1, c, item);
            }
            const QString text = QString::fromStdString(g.Cell(c, r));
            if (item->text() != text)
                item->setText(text);
            // The first two columns change by clicking, not by typing.
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (c != ColEna && c != ColOnce)
                flags |= Qt::ItemIsEditable;
            item->setFlags(flags);
        }
    }
}

void TFormSL::ShowOptions() {
    for (int i = 0; i < SmartLinkOptionCount && i < CheckListBox1->count(); ++i) {
        const SmartLinkOptionItem& option = State.CheckListBox1[static_cast<std::size_t>(i)];
        QListWidgetItem* row = CheckListBox1->item(i);
        row->setCheckState(option.Checked ? Qt::Checked : Qt::Unchecked);
        Qt::ItemFlags flags = Qt::ItemIsUserCheckable;
        if (option.Enabled)
            flags |= Qt::ItemIsEnabled;
        row->setFlags(flags);
    }
    if (State.TwoColumns) {
        // Rows of two: the list lays its items out left to right and wraps. A list that may
        // scroll keeps room for a scroll bar in every row, where two halves no longer fit; the
        // three rows are kept in sight instead.
        const int rows = (CheckListBox1->count() + 1) / 2;
        CheckListBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        CheckListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        CheckListBox1->setMinimumHeight(rows * OptionRowHeight() + 2 * CheckListBox1->frameWidth());
        CheckListBox1->setFlow(QListView::LeftToRight);
        CheckListBox1->setWrapping(true);
        FitOptionColumns();
    } else {
        CheckListBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        CheckListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        CheckListBox1->setMinimumHeight(0);
        CheckListBox1->setFlow(QListView::TopToBottom);
        CheckListBox1->setWrapping(false);
        CheckListBox1->setGridSize(QSize());
        for (int i = 0; i < CheckListBox1->count(); ++i)
            CheckListBox1->item(i)->setSizeHint(QSize());
    }
}

int TFormSL::OptionRowHeight() const {
    const int row = CheckListBox1->sizeHintForRow(0);
    return row > 0 ? row : 18;
}

void TFormSL::FitOptionColumns() {
    // Each column just under half of the list's width, as wide as the list is now: the list
    // wraps a row that reaches its right edge. Every item takes its cell, so a text too long for
    // it is cut short with dots rather than drawn over its neighbour.
    const QSize cell(std::max((CheckListBox1->viewport()->width() - 2) / 2, 1), OptionRowHeight());
    if (CheckListBox1->gridSize() == cell)
        return;
    for (int i = 0; i < CheckListBox1->count(); ++i)
        CheckListBox1->item(i)->setSizeHint(cell);
    CheckListBox1->setGridSize(cell);
}

bool TFormSL::eventFilter(QObject* watched, QEvent* event) {
    if (CheckListBox1 && watched == CheckListBox1->viewport() && event->type() == QEvent::Resize &&
        State.TwoColumns)
        FitOptionColumns();
    if (watched == StringGrid1 && event->type() == QEvent::FocusIn)
        StringGrid1Enter();
    if (watched == StringGrid1->viewport() && (event->type() == QEvent::MouseButtonPress ||
                                               event->type() == QEvent::MouseButtonRelease)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            const QModelIndex at = StringGrid1->indexAt(mouse->position().toPoint());
            // Grid rows are the state's rows below the header.
            const int col = at.isValid() ? at.column() : -1;
            const int row = at.isValid() ? at.row() + 1 : -1;
            if (event->type() == QEvent::MouseButtonPress)
                StringGrid1MouseDown(col, row);
            else
                StringGrid1MouseUp(col, row);
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

void TFormSL::FormClose(QCloseEvent* event) {
    event->accept();
}

void TFormSL::closeEvent(QCloseEvent* event) {
    FormClose(event);
}
