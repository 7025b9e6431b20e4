// The main window's side of SmartLink: the Smart Link window made at start-up in the right dock
// panel, its check button, and the engine's entry for the canvas's hover and the context menu.
#include "editor/app/TForm1.h"

#include "editor/canvas/ui/TFormSL.h"

void TForm1::CreateSmartLinkWindow() {
    SmartLinkForm = new TFormSL(SmartLinkState, prompt, Services, this);
    addDockWidget(Qt::RightDockWidgetArea, SmartLinkForm, Qt::Vertical);
    SmartLinkForm->FormCreate();
    SmartLinkForm->setVisible(View.SmartLinkWindow);
    RegisterDockClient(SmartLinkForm, "ToolButton25");
    if (View.SmartLinkWindow)
        SetDockPanelVisible(Qt::RightDockWidgetArea, true, SmartLinkForm);
}

bool TForm1::ApplySmartLinkRules(char kind, int index, int rule, std::string& summary) {
    return SmartLinks.ApplySmartLinkRules(kind, index, rule, summary);
}
