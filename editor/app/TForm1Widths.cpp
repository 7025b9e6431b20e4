// The main window's side of width confirmation, the Properties window and the commands that add
// and update modules: the windows made at start-up, the canvas's and the new-project command's
// seams filled, and the Add Module and Update Module commands.
#include "editor/app/TForm1.h"

#include "editor/app/TDrvForm.h"
#include "editor/canvas/ui/TPortForm.h"
#include "editor/hdl/ui/TFormConfWid.h"
#include "editor/hdl/ui/TFormUpdateMduDef.h"

void TForm1::CreateWidthWindows() {
    ConfWidForm = new TFormConfWid(Widths, Model, Services, this);
    UpdateMduDefForm = new TFormUpdateMduDef(ModuleUpdates, this);
    PropertiesForm = new TPortForm(Properties, this);
    // The Properties window shares the bottom panel with the Information window, beside it.
    addDockWidget(Qt::BottomDockWidgetArea, PropertiesForm);
    splitDockWidget(PropertiesForm, InfoWindow, Qt::Horizontal);
    PropertiesForm->setVisible(View.PropertiesWindow);
    RegisterDockClient(PropertiesForm, "ToolButton18");

    auto rebuild = [this] { UpdatePicExecute(RebuildSender::MainWindow); };
    Widths.UpdatePicture = rebuild;
    Properties.UpdatePicture = rebuild;
    ModuleUpdates.UpdatePicture = rebuild;
    Properties.ShowWidthDialog = [this] { return ConfWidForm->ShowModalOk(); };
    Properties.SimulateCanvasClick = [this](int x, int y) { Canvas->SimulateCanvasClick(x, y); };
    Canvas->Properties = &Properties;
    CanvasHooks.ConfirmWidths = [this](const std::string& inst) {
        return Properties.ConfirmWidths(inst);
    };
    CheckAddedInstance = [this](const std::string& inst, bool first) {
        ::CheckAddedInstance(Model, Properties, Widths, inst, first);
    };
    ModuleUpdates.CheckAddedInstance = CheckAddedInstance;
    ModuleUpdates.Widths = &Widths;
    RefreshPropertiesPages = [this] { Properties.RefreshPages('A'); };
}

void TForm1::InstallProjectWizard(ProjectWizardFn wizard) {
    ProjectWizard = std::move(wizard);
    ProjectWizardInstalled();
    if (ProjectWizard) {
        SetHandler("AddMdu", [this] { AddMduExecute(false); });
        SetHandler("UpdateMduDef", [this] { UpdateMduDefExecute(); });
        AddModuleWizard = [this](const std::vector<std::string>& sources) {
            AddMduExecute(true, sources);
        };
    } else {
        SetHandler("AddMdu", nullptr);
        SetHandler("UpdateMduDef", nullptr);
        AddModuleWizard = nullptr;
    }
}

void TForm1::AddMduExecute(bool senderIsMainWindow, const std::vector<std::string>& sources) {
    if (!ProjectWizard)
        return;
    const std::size_t before = Model.MduList.size();
    if (!ProjectWizard('A', senderIsMainWindow ? sources : std::vector<std::string>()))
        return;
    SetClosePrjEnabled(true);
    Model.Modified = true;
    UpdatePicExecute(RebuildSender::MainWindow);
    std::vector<std::string> added;
    for (std::size_t i = before; i < Model.MduList.size(); ++i)
        if (!Model.MduList[i].ModuleName.empty())
            added.push_back(Model.MduList[i].InstName);
    bool first = true;
    for (const std::string& inst : added) {
        CheckAddedInstance(inst, first);
        first = false;
    }
    UpdatePicExecute(RebuildSender::MainWindow);
}

void TForm1::UpdateMduDefExecute() {
    UpdateModuleDefinition(nullptr);
}

bool TForm1::UpdateModuleDefinition(const mdu* inst) {
    if (!ProjectWizard)
        return false;
    std::vector<std::string> sources;
    if (inst)
        sources.push_back(inst->SrcPath);
    else
        for (const mdu& m : Model.MduList)
            if (!m.SrcPath.empty())
                sources.push_back(m.SrcPath);
    if (!ProjectWizard('U', sources))
        return false;
    SetClosePrjEnabled(true);
    Model.Modified = true;
    UpdatePicExecute(RebuildSender::MainWindow);
    UpdateMduDefForm->ShowUpdateDialog();
    UpdatePicExecute(RebuildSender::MainWindow);
    // Ports came and went: the Ports page's port may be another one now.
    Properties.RefreshPages('0');
    return true;
}
