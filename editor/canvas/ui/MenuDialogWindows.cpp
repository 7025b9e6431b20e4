// The context menu's dialogs as windows.
#include "editor/canvas/ui/MenuDialogWindows.h"

#include "editor/canvas/ui/TFormCinout.h"
#include "editor/canvas/ui/TFormComb.h"
#include "editor/canvas/ui/TFormDupName.h"

MenuDialogWindows::MenuDialogWindows(const ProjectModel& model, QWidget* parent)
    : DupName(new TFormDupName(parent)), Comb(new TFormComb(parent)),
      Cinout(new TFormCinout(model, parent)) {}

bool MenuDialogWindows::ShowDupName(DupNameDialog& dialog) {
    return DupName->ShowModal(dialog);
}

bool MenuDialogWindows::ShowComb(CombineDialog& dialog) {
    return Comb->ShowModal(dialog);
}

bool MenuDialogWindows::ShowCinout(CinoutDialog& dialog) {
    return Cinout->ShowModal(dialog);
}
