// The main window's view commands: the zoom buttons and the fitting searches, the Top-name box
// and its menu item, and the Settings dialog.
#include "editor/app/TForm1.h"

#include "editor/app/BusyScope.h"
#include "editor/app/TDrvForm.h"
#include "editor/app/TFormTname.h"
#include "editor/app/TPropForm.h"
#include "editor/canvas/Zoom.h"
#include "editor/widgets/WinColor.h"
#include "editor/model/Settings.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QToolBar>

void TForm1::RegisterViewHandlers() {
    ZoomHost host;
    host.MeasurePortLabels = [this] {
        const QSize s = drawer_.MeasurePortLabels(Model, View);
        return ZoomMeasure{s.width(), s.height()};
    };
    host.MeasureModuleNames = [this] {
        const QSize s = drawer_.MeasureModuleNames(Model);
        return ZoomMeasure{s.width(), s.height()};
    };
    host.ViewSize = [this] { return ZoomMeasure{ScrollBox1->width(), ScrollBox1->height()}; };
    host.SetStatus = [this](const std::string& text) { SetStatusText(0, text); };
    // The turns of a search lay the records out again without drawing them.
    host.Relayout = [this](bool quiet) {
        const bool muted = Model.Log.Muted();
        Model.Log.SetMuted(muted || quiet);
        Model.UpdatePicExecute(RebuildSender::PaintBox1);
        Model.Log.SetMuted(muted);
    };
    host.PendingEvents = [] { BusyScope::PendingEvents(); };
    ZoomSteps = std::make_unique<Zoom>(Model, std::move(host));

    SetHandler("ToolButton11", [this] { ToolButton11Click(); });
    SetHandler("ToolButton12", [this] { ToolButton12Click(); });
    SetHandler("ToolButton13", [this] { ToolButton13Click(); });
    SetHandler("ToolButton14", [this] { ToolButton14Click(); });
    SetHandler("ToolButton15", [this] { ToolButton15Click(); });
    SetHandler("ToolButton16", [this] { ToolButton16Click(); });
    SetHandler("ToolButton17", [this] { ToolButton17Click(); });
    SetHandler("ToolButton4", [this] { ToolButton4Click(); });

    // The Top-name box docks into the tool-bar row, right of the tool bar.
    TopNameWindow = new TFormTname(this);
    FormTname = TopNameWindow;
    addToolBar(Qt::TopToolBarArea, TopNameWindow);
    TopNameWindow->LabeledEdit1->setText(QString::fromStdString(Model.TopNameRule));
    TopNameWindow->RuleChanged = [this](const std::string& rule) { Model.TopNameRule = rule; };
    TopNameWindow->setVisible(View.TopNameBox);
    // However the box is closed, the menu item is unticked.
    connect(TopNameWindow, &QToolBar::visibilityChanged, this, [this](bool visible) {
        if (!visible && TopNameWindow->isHidden() && View.TopNameBox) {
            View.TopNameBox = false;
            SyncCheckButtons();
        }
    });
    SetHandler("MV_TName", [this] { MV_TNameClick(); });
    for (QToolBar* bar : {ToolBar1, static_cast<QToolBar*>(TopNameWindow)})
        bar->setAllowedAreas(ControlBar1DockOver(bar) ? Qt::TopToolBarArea : Qt::NoToolBarArea);

    // The Settings dialog.
    SettingsWindow = new TPropForm(Model, prompt, this);
    PropForm = SettingsWindow;
    SettingsWindow->ApplyHooks.FontsChanged = [this] {
        InfoWindow->MsgMemo->setFont(QFontOf(Model.AppMisc.MsgFont));
        if (HdlFontChanged)
            HdlFontChanged();
    };
    SettingsWindow->ApplyHooks.Rebuild = [this] { UpdatePicExecute(RebuildSender::MainWindow); };
    SettingsWindow->ApplyHooks.SaveSettings = [this] { ::SaveSettings(Model, Services, 'S'); };
    SettingsWindow->ApplyHooks.UpdateProjectState = [this] { UpdateProjectState('n'); };
    SettingsWindow->ApplyHooks.ZoomRecheck = [this] { ZoomSteps->ZoomStep(0); };
    SettingsWindow->ApplyHooks.FitSizesToFonts = [this] { ZoomSteps->FitSizesToFonts(); };
    SettingsWindow->RecentListEmptied = [this] { BuildRecentMenu(); };
    SetHandler("Settings", [this] { SettingsClick(); });
    // An unwritable work directory found by the settings loader: the dialog on its "General"
    // page, and the loading goes on when it closes.
    Services.OpenSettingsDialog = [this] {
        SettingsWindow->ShowGeneralPage();
        SettingsClick();
    };
}

void TForm1::SettingsClick() {
    SettingsWindow->LoadControls();
    SettingsWindow->RadioButton1Click();
    SettingsWindow->ShowModal(*SettingsWindow);
}

void TForm1::FinishZoomSearch() {
    Model.Log.SetMuted(true);
    const RebuildResult r = Model.UpdatePicExecute(RebuildSender::MainWindow);
    Model.Log.SetMuted(false);
    ShowRebuild(r);
}

void TForm1::ToolButton11Click() {
    {
        BusyScope busy;
        ZoomSteps->ActualPortsSize();
    }
    FinishZoomSearch();
}

void TForm1::ToolButton12Click() {
    {
        BusyScope busy;
        ZoomSteps->FullView();
    }
    FinishZoomSearch();
}

void TForm1::ToolButton13Click() {
    ZoomSteps->ZoomStep(+1);
    UpdatePicExecute();
}

void TForm1::ToolButton14Click() {
    ZoomSteps->ZoomStep(-1);
    UpdatePicExecute();
}

void TForm1::ToolButton15Click() {
    ZoomSteps->StepHorizontalZoom(+3);
    UpdatePicExecute();
    SetStatusText(0, "");
}

void TForm1::ToolButton16Click() {
    ZoomSteps->StepHorizontalZoom(-3);
    UpdatePicExecute();
    SetStatusText(0, "");
}

void TForm1::ToolButton17Click() {
    ZoomSteps->ZoomInVertically();
    UpdatePicExecute();
    SetStatusText(0, "");
}

void TForm1::ToolButton4Click() {
    ZoomSteps->ZoomOutVertically();
    UpdatePicExecute();
    SetStatusText(0, "");
}

void TForm1::MV_TNameClick() {
    TopNameWindow->setVisible(Down("MV_TName"));
}

void TForm1::PlaceTopNameBox() {
    if (toolBarBreak(TopNameWindow))
        removeToolBarBreak(TopNameWindow);
    TopNameWindow->MatchHeight(ToolBar1->sizeHint().height());
}
