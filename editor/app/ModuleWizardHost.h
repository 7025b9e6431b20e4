// The editor's module wizard put together: the engine runner, the wizard's logic bound to the
// main window's project, and the window; it gives TForm1 its New Project wizard.
#pragma once

#include "editor/hdl/EngineRunner.h"
#include "editor/hdl/ModelWizardProject.h"
#include "editor/hdl/ModuleWizard.h"
#include "editor/hdl/ui/TFormNewPrj.h"

#include <QPointer>

#include <functional>
#include <string>
#include <vector>

class EditorHandOff;
class Prompt;
class TForm1;

class ModuleWizardHost {
public:
    // Creates the wizard window (FormNewPrj) and installs it as the main window's New Project
    // wizard; the host must be destroyed before the main window.
    ModuleWizardHost(TForm1& form, Prompt& prompt);
    ~ModuleWizardHost();
    ModuleWizardHost(const ModuleWizardHost&) = delete;
    ModuleWizardHost& operator=(const ModuleWizardHost&) = delete;

    TFormNewPrj& Window() { return *window_; }
    ModuleWizard& Wizard() { return wizard_; }
    EngineRunner& Runner() { return runner_; }
    ModelWizardProject& Project() { return project_; }

    // Shows the window modally and gives its result; tests drive the pages in its place.
    std::function<int(TFormNewPrj& window)> ShowModal;
    // Registers the wizard for a file handed over by a launcher while it shows the one file
    // it was opened with; false when that failed. None until the hand-off exists.
    std::function<bool()> HandOverNewFile;

    // The editor's hand-off: fills HandOverNewFile, ends the registration with the wizard,
    // and lets the wizard take handed files. Once this editor's own file is taken, the wizard
    // is cancelled and the main window closes when the wizard has returned.
    void AttachHandOff(EditorHandOff& handOff);

    // The New Project wizard of TForm1::FileNewPrjExecute, after the close: true when it ended
    // with OK and a project is open (an engine failure at "OK" leaves none).
    bool RunNewProject(bool senderIsMainWindow, const std::vector<std::string>& sources);
    // The wizard for the open project, on its file page with these sources: mode 'A' adds
    // modules, 'T' imports the ports of modules as top ports, 'U' reads module definitions
    // again. True when it ended with OK.
    bool RunForProject(char mode, const std::vector<std::string>& sources);

private:
    bool RunWizard(char mode, const std::vector<std::string>& sources, bool handOver);

    TForm1& form_;
    EngineRunner runner_;
    ModelWizardProject project_;
    ModuleWizard wizard_;
    QPointer<TFormNewPrj> window_;
    EditorHandOff* handOff_ = nullptr;
    bool inWizard_ = false;
    bool closeAfterWizard_ = false;
};
