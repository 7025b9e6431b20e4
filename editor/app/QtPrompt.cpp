// Message boxes and file choosers on Qt Widgets.
#include "editor/app/QtPrompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

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
