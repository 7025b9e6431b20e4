// The main window's side of the canvas's context menu: PopupMenu1 filled from the menu's items at
// each right click, its commands run through the guarded entry with the hourglass, the naming and
// combining dialogs, and the map and custom-list import commands of the main menu.
#include "editor/app/TForm1.h"

#include "editor/app/TPaintBox.h"
#include "editor/canvas/LonePorts.h"
#include "editor/canvas/ui/MenuDialogWindows.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollArea>

void TForm1::CreateContextMenu() {
    MenuDialogForms = std::make_unique<MenuDialogWindows>(Model, this);
    PopupCommands =
        std::make_unique<ContextMenu>(Model, View, *Canvas, CanvasHooks, *MenuDialogForms, prompt);
    PopupCommands->Hooks.ApplySmartLinkRules = [this](int k, int rule, std::string& summary) {
        return ApplySmartLinkRules('P', k, rule, summary);
    };
    PopupCommands->Hooks.Busy = [](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    PaintBox1->ContextMenu = [this](QContextMenuEvent* e) {
        Guarded([&] { PopupMenu1Popup(e->pos().x(), e->pos().y()); });
        if (!PopupMenu1->isEmpty())
            PopupMenu1->exec(e->globalPos());
    };
    RegisterMapHandlers();
}

void TForm1::PopupMenu1Popup(int x, int y) {
    PopupMenu1->clear();
    const std::vector<PopupItem>& items =
        PopupCommands->PopupMenu1Popup(x, y, ScrollBox1->viewport()->height());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const PopupItem& item = items[i];
        const QString caption = QString::fromStdString(item.Caption);
        if (item.IsSeparator()) {
            PopupMenu1->addSeparator();
        } else if (!item.Action.empty()) {
            PopupMenu1->addAction(Action(item.Action));
        } else if (!item.Children.empty()) {
            QMenu* sub = PopupMenu1->addMenu(caption);
            for (const PopupItem& child : item.Children)
                sub->addAction(Action(child.Action));
        } else {
            QAction* a = PopupMenu1->addAction(caption);
            a->setEnabled(item.Enabled);
            // The item is found again by its place: the items stay until the next right click.
            connect(a, &QAction::triggered, this, [this, i] {
                Guarded([&] {
                    if (i < PopupCommands->Items.size())
                        PopupCommands->PopupItemClick(&PopupCommands->Items[i]);
                });
            });
        }
    }
}

void TForm1::RegisterMapHandlers() {
    const std::pair<const char*, int (*)(ProjectModel&)> maps[] = {
        {"MapAllOrphans", MapAllOrphansExecute}, {"MapInputs", MapInputsExecute},
        {"MapOutputs", MapOutputsExecute},       {"MapInouts", MapInoutsExecute},
        {"MapUndrv", MapUndrvExecute},
    };
    for (const auto& [name, execute] : maps)
        SetHandler(name, [this, execute] {
            if (execute(Model) > 0)
                DropSelection();
            UpdatePicExecute();
        });
}

void TForm1::InstallCustomPortList(CustomPortListWindow window) {
    customPortList_ = std::move(window);
    if (customPortList_)
        SetHandler("ImptTopPrt_Cstm", [this] {
            const std::size_t lines = Model.LineList.size();
            ImptTopPrt_CstmExecute(Model, customPortList_, [this, lines] {
                if (Model.LineList.size() != lines)
                    DropSelection();
                UpdatePicExecute();
            });
        });
    else
        SetHandler("ImptTopPrt_Cstm", nullptr);
}

void TForm1::DropSelection() {
    // New top ports move the ports after the top's: selected indexes would name others.
    Canvas->ClearSelection();
    Model.ClearMarks();
}

void TForm1::ImptTopPrt_HDLExecute() {
    if (!ProjectWizard || !ProjectWizard('T', {}))
        return;
    // The parser took the undo snapshot, which marks the project modified, when a port went in;
    // a list of nothing new leaves the project as it was.
    DropSelection();
    UpdatePicExecute(RebuildSender::MainWindow);
}

void TForm1::ProjectWizardInstalled() {
    if (!ProjectWizard) {
        SetHandler("ImptTopPrt_HDL", nullptr);
        PopupCommands->Hooks.UpdateModuleDefinition = nullptr;
        return;
    }
    SetHandler("ImptTopPrt_HDL", [this] { ImptTopPrt_HDLExecute(); });
    PopupCommands->Hooks.UpdateModuleDefinition = [this](const std::string& instance) {
        const int k = Model.FindInstance(instance);
        if (k < 0)
            return;
        const mdu copy = Model.MduList[static_cast<std::size_t>(k)];
        UpdateModuleDefinition(&copy);
    };
}
