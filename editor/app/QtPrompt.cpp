// Message boxes and file choosers on Qt Widgets.
#include "editor/app/QtPrompt.h"

#include "editor/widgets/WinColor.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdlib>

namespace {

QString Caption(const std::string& caption) {
    return caption.empty() ? QApplication::applicationName() : QString::fromStdString(caption);
}

// The filter of a chooser in Qt's form: "Name (*.x)" entries separated by ";;". The editor writes
// "ZUN Project(*.zun)", which Qt reads as it is.
void SetUp(QFileDialog& dialog, const FileChooser& chooser) {
    dialog.setWindowTitle(QString::fromStdString(chooser.title));
    if (!chooser.filter.empty()) {
        const QStringList filters = QString::fromStdString(chooser.filter).split(";;");
        dialog.setNameFilters(filters);
        if (chooser.filterIndex >= 1 && chooser.filterIndex <= filters.size())
            dialog.selectNameFilter(filters[chooser.filterIndex - 1]);
    }
    if (!chooser.initialDir.empty())
        dialog.setDirectory(QString::fromStdString(chooser.initialDir));
    if (!chooser.fileName.empty())
        dialog.selectFile(QString::fromStdString(chooser.fileName));
    std::string ext = chooser.defaultExt;
    while (!ext.empty() && (ext.front() == '*' || ext.front() == '.'))
        ext.erase(ext.begin());
    if (!ext.empty())
        dialog.setDefaultSuffix(QString::fromStdString(ext));
}

int ColorValue(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

void ShowSwatch(QPushButton* button, const QColor& color) {
    QPixmap swatch(32, 16);
    swatch.fill(color);
    button->setIcon(QIcon(swatch));
}

// The font the font chooser starts at: the face the font is drawn in, which the chooser lists.
// Given a face it does not list (a Windows face name, or any face where only fixed pitch is
// offered) it would select its first face's first style, often an oblique one, and confirming
// it would change the styles.
QFont ChooserStartFont(const FontValue& initial, bool fixedPitch) {
    QFont font = QFontOf(initial);
    QString face = QFontInfo(font).family();
    if (fixedPitch && !QFontDatabase::isFixedPitch(face))
        face = QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family();
    font.setFamilies({face});
    // The face's own name of the style, as the chooser selects a style by name: slanted (italic
    // or oblique) and bold as the font is, of the nearest weight to normal or bold.
    const int wanted = initial.Bold ? QFont::Bold : QFont::Normal;
    int best = -1;
    for (const QString& style : QFontDatabase::styles(face)) {
        const QFont candidate = QFontDatabase::font(face, style, 10);
        const int weight = QFontDatabase::weight(face, style);
        if ((candidate.style() != QFont::StyleNormal) != initial.Italic ||
            (weight >= QFont::Bold) != initial.Bold)
            continue;
        // Qt reports no width of a style: a longer name ("Condensed Bold") is a narrower cut.
        const int miss = std::abs(weight - wanted) * 100 + static_cast<int>(style.size());
        if (best < 0 || miss < best) {
            best = miss;
            font.setStyleName(style);
        }
    }
    return font;
}

} // namespace

void QtPrompt::Message(const std::string& text, const std::string& caption, MessageKind kind) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (kind) {
    case MessageKind::Plain:
        icon = QMessageBox::NoIcon;
        break;
    case MessageKind::Information:
        icon = QMessageBox::Information;
        break;
    case MessageKind::Warning:
        icon = QMessageBox::Warning;
        break;
    case MessageKind::Error:
        icon = QMessageBox::Critical;
        break;
    }
    QMessageBox box(icon, Caption(caption), QString::fromStdString(text), QMessageBox::Ok, parent_);
    box.exec();
}

bool QtPrompt::YesNo(const std::string& text, const std::string& caption) {
    return QMessageBox::question(parent_, Caption(caption), QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

PromptAnswer QtPrompt::YesNoCancel(const std::string& text, const std::string& caption) {
    const QMessageBox::StandardButton b = QMessageBox::question(
        parent_, Caption(caption), QString::fromStdString(text),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (b == QMessageBox::Yes)
        return PromptAnswer::Yes;
    if (b == QMessageBox::No)
        return PromptAnswer::No;
    return PromptAnswer::Cancel;
}

bool QtPrompt::OkCancel(const std::string& text, const std::string& caption) {
    return QMessageBox::question(parent_, Caption(caption), QString::fromStdString(text),
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

std::optional<std::string> QtPrompt::OpenFile(const FileChooser& chooser) {
    QFileDialog dialog(parent_);
    SetUp(dialog, chooser);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

std::vector<std::string> QtPrompt::OpenFiles(const FileChooser& chooser) {
    QFileDialog dialog(parent_);
    SetUp(dialog, chooser);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    std::vector<std::string> files;
    if (dialog.exec() != QDialog::Accepted)
        return files;
    for (const QString& f : dialog.selectedFiles())
        files.push_back(f.toStdString());
    return files;
}

std::optional<std::string> QtPrompt::SaveFile(const FileChooser& chooser) {
    QFileDialog dialog(parent_);
    SetUp(dialog, chooser);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Qt asks before an existing file is overwritten, as the save dialog must.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> QtPrompt::ChooseFolder(const std::string& title,
                                                  const std::string& initialDir) {
    const QString dir = QFileDialog::getExistingDirectory(parent_, QString::fromStdString(title),
                                                          QString::fromStdString(initialDir));
    if (dir.isEmpty())
        return std::nullopt;
    return dir.toStdString();
}

std::optional<int> QtPrompt::ChooseColor(int initial) {
    const QColor c = QColorDialog::getColor(WinColor(initial), parent_);
    if (!c.isValid())
        return std::nullopt;
    return ColorValue(c);
}

std::optional<FontValue> QtPrompt::ChooseFont(const FontValue& initial, bool fixedPitch) {
    // Qt's font chooser has no colour: it sits in a dialog of ours with a colour button.
    QDialog dialog(parent_);
    dialog.setWindowTitle("Font");
    auto* layout = new QVBoxLayout(&dialog);
    auto* fonts = new QFontDialog(&dialog);
    fonts->setWindowFlags(Qt::Widget);
    QFontDialog::FontDialogOptions options =
        QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog;
    if (fixedPitch)
        options |= QFontDialog::MonospacedFonts;
    fonts->setOptions(options);
    fonts->setCurrentFont(ChooserStartFont(initial, fixedPitch));
    layout->addWidget(fonts);
    int color = initial.Color;
    auto* colorButton = new QPushButton("Color...", &dialog);
    ShowSwatch(colorButton, WinColor(color));
    QObject::connect(colorButton, &QPushButton::clicked, &dialog, [&] {
        const QColor c = QColorDialog::getColor(WinColor(color), &dialog);
        if (c.isValid()) {
            color = ColorValue(c);
            ShowSwatch(colorButton, c);
        }
    });
    layout->addWidget(colorButton, 0, Qt::AlignLeft);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QFont f = fonts->currentFont();
    FontValue chosen = initial;
    chosen.Face = f.family().toStdString();
    // The chooser offers whole points: a size left as it was keeps the zoom's pixel height.
    if (f.pointSize() > 0 && f.pointSize() != initial.Size)
        chosen.SetPoints(f.pointSize());
    chosen.Bold = f.bold();
    chosen.Italic = f.italic();
    chosen.Underline = f.underline();
    chosen.StrikeOut = f.strikeOut();
    chosen.Color = color;
    return chosen;
}
