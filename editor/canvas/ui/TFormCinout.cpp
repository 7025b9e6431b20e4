// The "Combine to inout" dialog.
#include "editor/canvas/ui/TFormCinout.h"

#include "editor/canvas/NamingDialogs.h"
#include "editor/widgets/DialogButtons.h"
#include "editor/widgets/WinColor.h"
#include "editor/model/ProjectModel.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TFormCinout* FormCinout = nullptr;

namespace {

constexpr int kDrawingWidth = 380;
constexpr int kDrawingHeight = 124;

// The tri-state buffer, drawn once: the pad on the left joins the buffer's output and the input
// path; the data output enters the buffer from the right, the enable from above.
QImage BufferPicture() {
    QImage image(180, 90, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.5));
    // Coordinates relative to the picture, which stands at (88, 24).
    const int padY = 34;    // the inout's row: 52 + half a text line, less 24
    const int inputY = 72;  // the input's row
    const int enableX = 91; // the enable's column: the circle at 175..183 less 88
    QPainterPath buffer;
    buffer.moveTo(60, padY);
    buffer.lineTo(120, padY - 22);
    buffer.lineTo(120, padY + 22);
    buffer.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(buffer);
    p.drawLine(0, padY, 60, padY);       // buffer output to the pad
    p.drawLine(120, padY, 176, padY);    // data output into the buffer
    p.drawLine(enableX, 0, enableX, 19); // enable down to the buffer's top edge
    p.drawLine(enableX, 0, 176, 0);      // enable from the right
    p.drawLine(20, padY, 20, inputY);    // the pad also drives the input path
    p.drawLine(20, inputY, 176, inputY);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(20, padY), 2.5, 2.5);
    return image;
}

const FontValue& FontOfRole(const ProjectModel& model, char role) {
    switch (role) {
    case 'I':
        return model.InFont;
    case 'B':
        return model.InoutFont;
    default:
        return model.OutFont;
    }
}

} // namespace

CinoutPaintBox::CinoutPaintBox(TFormCinout& form) : QWidget(&form), form_(form) {
    setObjectName("PaintBox1");
    setFixedSize(kDrawingWidth, kDrawingHeight);
}

void CinoutPaintBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    form_.PaintPreview(painter);
}

TFormCinout::TFormCinout(const ProjectModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName("FormCinout");
    setWindowTitle("Combine to inout");
    Image1 = BufferPicture();
    PaintBox1 = new CinoutPaintBox(*this);
    Label2 = new QLabel("Code preview:", this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setFixedHeight(Memo1->fontMetrics().lineSpacing() * 3 + 12);
    LabeledEdit1 = new QLineEdit(this);
    LabeledEdit1->setObjectName("LabeledEdit1");
    BitBtn1 = new QPushButton("Swap outputs", this);
    BitBtn1->setObjectName("BitBtn1");
    CheckBox1 = new QCheckBox("Reverse EN", this);
    CheckBox1->setObjectName("CheckBox1");
    MakeOkCancel(this, BitBtn2, "BitBtn2", BitBtn3, "BitBtn3");
    connect(LabeledEdit1, &QLineEdit::textChanged, this, [this] {
        if (!showing_)
            LabeledEdit1Change();
    });
    connect(CheckBox1, &QCheckBox::toggled, this, [this] {
        if (!showing_)
            CheckBox1Click();
    });
    connect(BitBtn1, &QPushButton::clicked, this, &TFormCinout::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormCinout::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow("Inout port name:", LabeledEdit1);
    auto* options = new QHBoxLayout;
    options->addWidget(BitBtn1);
    options->addWidget(CheckBox1);
    options->addStretch();
    options->addWidget(BitBtn2);
    options->addWidget(BitBtn3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PaintBox1);
    layout->addWidget(Label2);
    layout->addWidget(Memo1);
    layout->addLayout(form);
    layout->addLayout(options);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    if (!FormCinout)
        FormCinout = this;
}

TFormCinout::~TFormCinout() {
    if (FormCinout == this)
        FormCinout = nullptr;
}

void TFormCinout::PaintPreview(QPainter& painter) const {
    painter.fillRect(QRect(0, 0, kDrawingWidth, kDrawingHeight), Qt::white);
    if (!state_)
        return;
    const InoutPreview& preview = state_->Preview;
    painter.drawImage(preview.PictureX, preview.PictureY, Image1);
    if (preview.EnableCircle) {
        const auto& c = preview.Circle;
        painter.setPen(Qt::black);
        painter.setBrush(Qt::black);
        painter.drawEllipse(QRect(QPoint(c[0], c[1]), QPoint(c[2] - 1, c[3] - 1)));
    }
    for (const PreviewText& t : preview.Texts) {
        const FontValue& spec = FontOfRole(model_, t.Font);
        painter.setFont(QFontOf(spec));
        painter.setPen(WinColor(spec.Color));
        const QString text = QString::fromStdString(t.Text);
        const QFontMetrics metrics(painter.font());
        const int x = t.EndsAtX ? t.X - metrics.horizontalAdvance(text) : t.X;
        painter.drawText(x, t.Y + metrics.ascent(), text);
    }
}

void TFormCinout::ShowState() {
    if (!state_)
        return;
    showing_ = true;
    // The text the user is typing stays as it is, cursor and all.
    const QString name = QString::fromStdString(state_->LabeledEdit1);
    if (LabeledEdit1->text() != name)
        LabeledEdit1->setText(name);
    CheckBox1->setChecked(state_->CheckBox1);
    showing_ = false;
    BitBtn1->setEnabled(state_->BitBtn1Enabled);
    BitBtn2->setEnabled(state_->BitBtn2Enabled);
    QStringList lines;
    for (const std::string& line : state_->Memo1)
        lines << QString::fromStdString(line);
    Memo1->setPlainText(lines.join('\n'));
    PaintBox1->update();
}

bool TFormCinout::ShowModal(CinoutDialog& state) {
    state_ = &state;
    ShowState();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    const bool ok = exec() == QDialog::Accepted;
    state_ = nullptr;
    return ok;
}

void TFormCinout::LabeledEdit1Change() {
    if (!state_)
        return;
    state_->LabeledEdit1 = LabeledEdit1->text().toStdString();
    state_->LabeledEdit1Change();
    ShowState();
}

void TFormCinout::CheckBox1Click() {
    if (!state_)
        return;
    state_->CheckBox1 = CheckBox1->isChecked();
    state_->CheckBox1Click();
    ShowState();
}

void TFormCinout::BitBtn1Click() {
    if (!state_)
        return;
    state_->BitBtn1Click();
    ShowState();
}

void TFormCinout::BitBtn2Click() {
    if (!state_)
        return;
    state_->LabeledEdit1 = LabeledEdit1->text().toStdString();
    if (state_->BitBtn2Click())
        accept();
}
