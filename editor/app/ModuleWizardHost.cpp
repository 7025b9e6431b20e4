// The module wizard installed into the main window.
#include "editor/app/ModuleWizardHost.h"

#include "editor/app/TForm1.h"
#include "editor/hdl/EditorHandOff.h"
#include "editor/hdl/ui/TFormNewPrj.h"

#include <QTimer>

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
    // An update reads the definitions into the update dialog's list.
    project_.DefLines = &form.ModuleUpdates.DefLines;
    form.InstallProjectWizard([this](char mode, const std::vector<std::string>& sources) {
        return RunForProject(mode, sources);
    });
}

ModuleWizardHost::~ModuleWizardHost() {
    if (handOff_ != nullptr) {
        handOff_->CloseHandOff();
        handOff_->LogError = nullptr;
        wizard_.SetHandOff(nullptr);
        window_->SetHandOff(nullptr);
    }
    form_.InstallNewProjectWizard(nullptr);
    form_.InstallProjectWizard(nullptr);
    project_.DefLines = nullptr;
    if (FormNewPrj == window_)
        FormNewPrj = nullptr;
    delete window_.data();
}

void ModuleWizardHost::AttachHandOff(EditorHandOff& handOff) {
    handOff_ = &handOff;
    handOff.LogError = [this](const std::string& text) { form_.Model.LogError(text); };
    wizard_.SetHandOff(&handOff);
    window_->SetHandOff(&handOff);
    HandOverNewFile = [this] { return handOff_->HandOverNewFile(wizard_); };
    window_->CloseMainWindow = [this] {
        // A modal wizard is cancelled first; the main window closes once it has returned.
        if (inWizard_) {
            closeAfterWizard_ = true;
            window_->reject();
            return;
        }
        QTimer::singleShot(0, &form_, &QWidget::close);
    };
}

bool ModuleWizardHost::RunNewProject(bool senderIsMainWindow,
                                     const std::vector<std::string>& sources) {
    if (!RunWizard('N', senderIsMainWindow ? sources : std::vector<std::string>(),
                   senderIsMainWindow))
        return false;
    return form_.Model.PrjOpen;
}

bool ModuleWizardHost::RunForProject(char mode, const std::vector<std::string>& sources) {
    return RunWizard(mode, sources, false);
}

bool ModuleWizardHost::RunWizard(char mode, const std::vector<std::string>& sources,
                                 bool handOver) {
    wizard_.Files.clear();
    wizard_.AddGivenSources(sources);
    wizard_.Open(mode, true);
    if (handOver && wizard_.Files.size() == 1 && HandOverNewFile && !HandOverNewFile())
        form_.Model.LogError(HandOffRegistrationFailed);
    window_->WatchAnswer();
    window_->Refresh();
    inWizard_ = true;
    const int result = ShowModal(*window_);
    inWizard_ = false;
    if (closeAfterWizard_) {
        closeAfterWizard_ = false;
        QTimer::singleShot(0, &form_, &QWidget::close);
        return false;
    }
    if (result != QDialog::Accepted)
        return false;
    // Hand-off messages that came while the wizard closed are answered before the project
    // changes further; the wizard takes no files any more, so each is refused.
    window_->OnOpenRequest();
    return true;
}
