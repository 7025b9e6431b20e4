// The main window's side of the file commands: open, save, close, settings, recent projects,
// help pages and the licence text. The model does the work; the window shows its results.
#include "editor/app/TDrvForm.h"
#include "editor/app/TForm1.h"
#include "editor/widgets/WinColor.h"
#include "editor/model/ClosePrj.h"
#include "editor/model/Documents.h"
#include "editor/model/ProjectFile.h"
#include "editor/model/ProjectParser.h"
#include "editor/model/RecentProjects.h"
#include "editor/model/Settings.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>

void TForm1::RegisterFileHandlers() {
    Services.prompt = &prompt;
    // Services.OpenSettingsDialog is the Settings dialog's (TForm1Views.cpp).
    Services.ShowMainWindow = [this](bool visible) { setVisible(visible); };
    SetHandler("FileSavePrj", [this] { FileSavePrjExecute(); });
    SetHandler("FileSaveAs1", [this] { FileSaveAs1Execute(); });
    SetHandler("ClosePrj", [this] { ClosePrjExecute(); });
    SetHandler("HelpDoc", [this] { HelpDocExecute(Model, Services); });
    SetHandler("VisitFeedback", [this] { VisitFeedbackExecute(Model, Services); });
    SetHandler("VisitQv", [this] { VisitQvExecute(Model, Services); });
    SetHandler("License1", [this] { License1Click(Model, Services); });
    SetHandler("Tardix1", [this] { Tardix1Click(Model, Services); });
    InfoWindow->ApplyScripts = [this](const std::string& text) {
        Scr_DrvClick(Model, text, ParseMode::ReplaceAll);
    };
}

void TForm1::SetClosePrjEnabled(bool enabled) {
    ruleEnabled_["ClosePrj"] = enabled;
    RefreshEnabled("ClosePrj");
}

void TForm1::ClosePrjExecute() {
    ShowClose(::ClosePrjExecute(Model, Services));
}

void TForm1::CloseIllegalProject() {
    // Everything in the log since the last close concerns the project that is going.
    ShowClose(::CloseIllegalProject(Model, Services, 0));
}

void TForm1::ShowClose(const ClosePrjResult& r) {
    closePrjTag_ = r.Tag;
    if (r.RecentChanged)
        BuildRecentMenu();
    if (r.Closed) {
        UpdateProjectState('n');
        SetClosePrjEnabled(false);
        ShowRebuild(r.Rebuild);
    }
}

void TForm1::OpenProjectFile(const std::string& path) {
    RebuildResult rebuild;
    if (!::OpenProjectFile(Model, Services, path, &rebuild))
        return;
    UpdateProjectState('n');
    SetClosePrjEnabled(true);
    ShowRebuild(rebuild);
}

void TForm1::FileSavePrjExecute() {
    ::FileSavePrjExecute(Model, Services);
    UpdateProjectState('n');
}

void TForm1::FileSaveAs1Execute() {
    ::FileSaveAs1Execute(Model, Services);
    UpdateProjectState('n');
}

void TForm1::LoadSettings() {
    ::LoadSettings(Model, Services);
    BuildRecentMenu();
    settingsLoaded_ = true;
    InfoWindow->MsgMemo->setFont(QFontOf(Model.AppMisc.MsgFont));
}

void TForm1::BuildRecentMenu() {
    RecentMenu->clear();
    const std::vector<RecentMenuItem> items = ::BuildRecentMenu(Model);
    for (const RecentMenuItem& item : items) {
        QAction* a = RecentMenu->addAction(QString::fromStdString(item.Caption));
        const int tag = item.Tag;
        connect(a, &QAction::triggered, this,
                [this, tag] { Guarded([this, tag] { RecentProjectClick(tag); }); });
    }
    RecentMenu->setEnabled(!items.empty());
}

void TForm1::RecentProjectClick(int index) {
    const RecentClickResult r = ::RecentProjectClick(Model, Services, index);
    if (r.MenuChanged)
        BuildRecentMenu();
    if (r.Opened) {
        UpdateProjectState('n');
        SetClosePrjEnabled(true);
        ShowRebuild(r.Rebuild);
    } else if (!Model.PrjOpen && Action("ClosePrj")->isEnabled()) {
        // The project was closed but the file could not be read: show the empty project.
        UpdateProjectState('n');
        SetClosePrjEnabled(false);
        UpdatePicExecute(RebuildSender::MainWindow);
    }
}
