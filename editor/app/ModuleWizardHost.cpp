// The module wizard installed into the main window.
#include "editor/app/ModuleWizardHost.h"

#include "editor/hdl/ui/TFormNewPrj.h"
#include "editor/app/TForm1.h"

ModuleWizardHost::ModuleWizardHost(TForm1& form, Prompt& prompt)
    : form_(form), runner_(form.Model.AppDir, form.Model.WorkDir),
      project_(form.Model, [this] { form_.UpdatePicExecute(RebuildSender::MainWindow); }),
      wizard_(prompt, runner_) {
    // The settings may move the program and work directories at any time; every run, the
    // generators' included, takes them as they are then.
    runner_.SetDirectoriesSource([this] {
        return std::pair<std::string, std::string>(form_.Model.AppDir, form_.Model.WorkDir);
    });
    wizard_.SetProject(&project_);
    window_ = new TFormNewPrj(wizard_, prompt, &form);
    FormNewPrj = window_;
    ShowModal = [](TFormNewPrj& window) { return window.exec(); };
    form.InstallNewProjectWizard(
        [this](bool senderIsMainWindow, const std::vector<std::string>& sources) {
            return RunNewProject(senderIsMainWindow, sources);
        });
}

ModuleWizardHost::~ModuleWizardHost() {
    form_.InstallNewProjectWizard(nullptr);
    if (FormNewPrj == window_)
        FormNewPrj = nullptr;
    delete window_.data();
}

bool ModuleWizardHost::RunNewProject(bool senderIsMainWindow,
                                     const std::vector<std::string>& sources) {
    wizard_.Files.clear();
    if (senderIsMainWindow)
        wizard_.AddHandedSources(sources);
    wizard_.Open('N', true);
    if (senderIsMainWindow && wizard_.Files.size() == 1 && HandOverNewFile && !HandOverNewFile())
        form_.Model.LogError("Memory allocation failed.");
    window_->Refresh();
    const int result = ShowModal(*window_);
    if (result != QDialog::Accepted)
        return false;
    return form_.Model.PrjOpen;
}
