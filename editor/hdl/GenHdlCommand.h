// The command "Generate HDL Code" (GenHDLExecute) without the main window: the options dialog,
// the rename of the top module, the save first, the guard against re-entry, and the text with its
// banner in the generated-text window.
#pragma once

#include "editor/hdl/GenOptions.h"
#include "editor/hdl/GenText.h"
#include "editor/hdl/TopGenerator.h"

#include <functional>

class ProjectModel;
class Prompt;

class GenHdlCommand {
public:
    GenHdlCommand(ProjectModel& model, Prompt& prompt, TopGenerator& generator,
                  GenTextModel& window);

    // The state of the options dialog FormConnect, kept between uses.
    ConnectForm FormConnect;
    // True while a full-source generation runs.
    bool GenBusy() const { return busy_; }

    // What the main window lends: the dialog shown modally (true for OK), its rebuild and
    // drawing, its Save command, the actions GenHDL and GenVHD, and the hourglass.
    std::function<bool(ConnectForm& form)> ShowConnect;
    std::function<void()> UpdatePicExecute;
    std::function<void()> FileSavePrjExecute;
    std::function<void(bool enabled)> SetGenActionsEnabled;
    std::function<void(bool busy)> SetBusyCursor;
    // The framework generator, a later piece; while it is missing "Framework only" cannot be
    // chosen.
    FrameworkGenerator GenFramework;

    void GenHDLExecute();

private:
    void GenerateFramework();
    void GenerateFullSource();

    ProjectModel& model_;
    Prompt& prompt_;
    TopGenerator& generator_;
    GenTextModel& window_;
    bool busy_ = false;
};
