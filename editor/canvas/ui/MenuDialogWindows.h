// The context menu's dialogs as windows: each shown modally over the state the menu prepared.
#pragma once

#include "editor/canvas/NamingDialogs.h"

class ProjectModel;
class QWidget;
class TFormCinout;
class TFormComb;
class TFormDupName;

class MenuDialogWindows : public MenuDialogs {
public:
    // Makes the three windows, owned by parent.
    MenuDialogWindows(const ProjectModel& model, QWidget* parent);

    TFormDupName* DupName;
    TFormComb* Comb;
    TFormCinout* Cinout;

    bool ShowDupName(DupNameDialog& dialog) override;
    bool ShowComb(CombineDialog& dialog) override;
    bool ShowCinout(CinoutDialog& dialog) override;
};
