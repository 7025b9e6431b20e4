// The About box of the Help menu.
#include "editor/app/TAboutBox.h"

#include "editor/app/Icons.h"
#include "editor/model/Documents.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TAboutBox* AboutBox = nullptr;

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle("About");
    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameShape(QFrame::StyledPanel);
    auto* icon = new QLabel(panel);
    icon->setObjectName("ProgramIcon");
    icon->setPixmap(ProgramIconPixmap(48));
    ProductName = new QLabel("  ", panel);
    ProductName->setObjectName("ProductName");
    QFont big = ProductName->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 4);
    ProductName->setFont(big);
    Version = new QLabel("  ", panel);
    Version->setObjectName("Version");
    Comments = new QLabel(panel);
    Comments->setObjectName("Comments");
    QStringList lines;
    for (const std::string& line : AboutMakerLines())
        lines << QString::fromStdString(line);
    Comments->setText(lines.join('\n'));
    auto* text = new QVBoxLayout;
    text->addWidget(ProductName);
    text->addWidget(Version);
    text->addWidget(Comments);
    auto* row = new QHBoxLayout(panel);
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(text);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox::ShowAbout() {
    Version->setText("");
    ProductName->setText(QString::fromStdString(AboutVersionText()));
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    exec();
    ProductName->setText("  ");
    Version->setText("  ");
}
