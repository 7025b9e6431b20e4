// The generated-text window.
#include "editor/hdl/ui/TFormGenHDL.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QVBoxLayout>

TFormGenHDL* FormGenHDL = nullptr;

namespace {

QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

// A header control: sections only, resized by dragging their edges.
QHeaderView* MakeHeader(QWidget* parent, int sections, const char* name) {
    auto* header = new QHeaderView(Qt::Horizontal, parent);
    header->setObjectName(name);
    auto* model = new QStandardItemModel(0, sections, header);
    header->setModel(model);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(1);
    header->setSectionsClickable(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return header;
}

} // namespace

TFormGenHDL::TFormGenHDL(GenTextModel& model, QWidget* parent)
    : QDialog(parent, Qt::Window), model_(model) {
    setObjectName("FormGenHDL");
    resize(640, 520);

    auto* v = new QVBoxLayout(this);
    v->setSpacing(0);
    HeaderControl1 = MakeHeader(this, 8, "HeaderControl1");
    HeaderControl2 = MakeHeader(this, 3, "HeaderControl2");
    v->addWidget(HeaderControl1);
    v->addWidget(HeaderControl2);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Courier New, 11 pixels high; on a desktop without it the system's fixed-pitch font stands
    // in, as the columns of generated code need one.
    QFont font("Courier New");
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(11);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPixelSize(11);
    }
    Memo1->setFont(font);
    v->addWidget(Memo1, 1);

    auto* buttons = new QHBoxLayout;
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn2 = new QPushButton("Save As", this);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn3 = new QPushButton("Open", this);
    BitBtn3->setObjectName("BitBtn3");
    BitBtn4 = new QPushButton("SFOE", this);
    BitBtn4->setObjectName("BitBtn4");
    BitBtn4->setToolTip("Save to a tmp file and open with the external editor.");
    BitBtn5 = new QPushButton("SFCN", this);
    BitBtn5->setObjectName("BitBtn5");
    BitBtn5->setToolTip("Save to a tmp file and copy the file name to clipboard.");
    buttons->addWidget(Label1, 1);
    for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3, BitBtn4, BitBtn5})
        buttons->addWidget(b);
    v->addLayout(buttons);

    model_.TenCharsWidth = [this] {
        return QFontMetrics(Memo1->font()).horizontalAdvance("WWWWWMMMMM");
    };
    model_.SetClipboardText = [](const std::string& text) {
        QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    };
    model_.Show = [this] { ShowModeless(); };

    // What the user types reaches the model when something reads it, not at every keystroke.
    connect(Memo1, &QPlainTextEdit::textChanged, this, [this] {
        if (!filling_)
            typed_ = true;
    });
    connect(BitBtn1, &QPushButton::clicked, this, &TFormGenHDL::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, [this] {
        TakeTypedText();
        model_.BitBtn2Click();
    });
    connect(BitBtn3, &QPushButton::clicked, this, [this] {
        if (model_.BitBtn3Click())
            Refresh();
    });
    connect(BitBtn4, &QPushButton::clicked, this, [this] {
        TakeTypedText();
        model_.BitBtn4Click();
    });
    connect(BitBtn5, &QPushButton::clicked, this, [this] {
        TakeTypedText();
        model_.BitBtn5Click();
    });
    for (int header = 0; header < 2; ++header) {
        QHeaderView* control = header == 0 ? HeaderControl1 : HeaderControl2;
        connect(
            control, &QHeaderView::sectionResized, this,
            [this, header](int section, int, int width) { SectionTrack(header, section, width); });
        // The drag ends with the mouse button.
        control->viewport()->installEventFilter(this);
    }
    Refresh();
}

void TFormGenHDL::TakeTypedText() {
    if (!typed_)
        return;
    typed_ = false;
    model_.TextEdited(Memo1->toPlainText().toStdString());
}

void TFormGenHDL::ShowText() {
    typed_ = false;
    filling_ = true;
    QStringList lines;
    for (const std::string& line : model_.Lines)
        lines << QString::fromStdString(line);
    Memo1->setPlainText(lines.join('\n'));
    filling_ = false;
}

void TFormGenHDL::ShowColumnHeaders() {
    filling_ = true;
    for (int header = 0; header < 2; ++header) {
        QHeaderView* control = header == 0 ? HeaderControl1 : HeaderControl2;
        auto* model = static_cast<QStandardItemModel*>(control->model());
        const std::vector<std::size_t> columns = model_.HeaderColumns(header);
        const std::vector<int> widths = model_.HeaderWidths(header);
        for (std::size_t i = 0; i < columns.size(); ++i) {
            model->setHorizontalHeaderItem(static_cast<int>(i),
                                           new QStandardItem(Q(GenColumnWords[columns[i]])));
            control->resizeSection(static_cast<int>(i), widths[i]);
        }
    }
    filling_ = false;
}

void TFormGenHDL::Refresh() {
    setWindowTitle(QString::fromStdString(model_.Caption));
    ShowText();
    ShowColumnHeaders();
    HeaderControl1->setVisible(model_.HeadersVisible);
    HeaderControl2->setVisible(model_.HeadersVisible);
    Label1->setText(QString::fromStdString(model_.Label1));
    BitBtn4->setEnabled(model_.SfoeEnabled);
}

void TFormGenHDL::ShowModeless() {
    if (isVisible())
        model_.FormShow();
    Refresh();
    show();
    raise();
    activateWindow();
}

std::optional<std::string> TFormGenHDL::ShowCustomPortList() {
    model_.SetText("");
    model_.CstmPrtMode = true;
    model_.GenStyle = PlainTextStyle;
    model_.Caption = "Custom Port List";
    const bool ok = exec() == QDialog::Accepted;
    // OK closes the window in list mode only; its other uses close it.
    model_.CstmPrtMode = false;
    if (!ok)
        return std::nullopt;
    TakeTypedText();
    return model_.Text();
}

void TFormGenHDL::showEvent(QShowEvent* event) {
    model_.FormShow();
    Refresh();
    QDialog::showEvent(event);
}

void TFormGenHDL::hideEvent(QHideEvent* event) {
    if (!event->spontaneous())
        model_.FormClose();
    QDialog::hideEvent(event);
}

void TFormGenHDL::BitBtn1Click() {
    if (model_.CstmPrtMode) {
        accept();
        return;
    }
    close();
}

ScrollState TFormGenHDL::Scroll() const {
    const QScrollBar* bar = Memo1->verticalScrollBar();
    return {bar->value(), bar->minimum(), bar->maximum()};
}

void TFormGenHDL::SectionTrack(int header, int section, int width) {
    if (filling_ || model_.GenStyle == PlainTextStyle)
        return;
    dragHeader_ = header;
    dragSection_ = section;
    model_.HeaderControl1SectionTrack(width, Scroll());
    Label1->setText(QString::fromStdString(model_.Label1));
}

void TFormGenHDL::SectionResize() {
    const int header = dragHeader_;
    const int section = dragSection_;
    dragHeader_ = dragSection_ = -1;
    if (header < 0 || model_.GenStyle == PlainTextStyle)
        return;
    TakeTypedText();
    QHeaderView* control = header == 0 ? HeaderControl1 : HeaderControl2;
    std::vector<int> widths;
    for (int i = 0; i < control->count(); ++i)
        widths.push_back(control->sectionSize(i));
    const bool regenerated = model_.HeaderControl1SectionResize(
        header, static_cast<std::size_t>(section), widths, Scroll());
    filling_ = true;
    for (int i = 0; i < section && i < static_cast<int>(widths.size()); ++i)
        control->resizeSection(i, widths[static_cast<std::size_t>(i)]);
    filling_ = false;
    Label1->setText(QString::fromStdString(model_.Label1));
    if (!regenerated)
        return;
    const bool hide = model_.RefillHidden();
    if (hide)
        Memo1->setVisible(false);
    ShowText();
    if (const std::optional<int> position = model_.ScrollAfterRefill(Scroll()))
        Memo1->verticalScrollBar()->setValue(*position);
    if (hide)
        Memo1->setVisible(true);
}

bool TFormGenHDL::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        (watched == HeaderControl1->viewport() || watched == HeaderControl2->viewport()))
        SectionResize();
    return QDialog::eventFilter(watched, event);
}
