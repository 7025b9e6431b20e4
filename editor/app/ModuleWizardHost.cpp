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
    form.SetHandler("ImptTopPrt_HDL", [this] { ImptTopPrt_HDLExecute(); });
}

ModuleWizardHost::~ModuleWizardHost() {
    if (handOff_ != nullptr) {
        handOff_->CloseHandOff();
        handOff_->LogError = nullptr;
        wizard_.SetHandOff(nullptr);
        window_->SetHandOff(nullptr);
    }
    form_.InstallNewProjectWizard(nullptr);
    form_.SetHandler("ImptTopPrt_HDL", nullptr);
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
    wizard_.Files.clear();
    if (senderIsMainWindow)
        for (const std::string& s : sources)
            wizard_.AddSourceFile(s);
    wizard_.Open('N', true);
    if (senderIsMainWindow && wizard_.Files.size() == 1 && HandOverNewFile && !HandOverNewFile())
        form_.Model.LogError(HandOffRegistrationFailed);
    window_->Refresh();
    if (ShowWizard() != QDialog::Accepted)
        return false;
    // Hand-off messages that came while the wizard closed are answered before the settings
    // are loaded again; the wizard takes no files any more, so each is refused.
    window_->OnOpenRequest();
    return form_.Model.PrjOpen;
}

int ModuleWizardHost::ShowWizard() {
    inWizard_ = true;
    const int result = ShowModal(*window_);
    inWizard_ = false;
    if (closeAfterWizard_) {
        closeAfterWizard_ = false;
        QTimer::singleShot(0, &form_, &QWidget::close);
        return QDialog::Rejected;
    }
    return result;
}

bool ModuleWizardHost::ImptTopPrt_HDLExecute() {
    wizard_.Open('T', false);
    window_->Refresh();
    if (ShowWizard() != QDialog::Accepted)
        return false;
    // The parser took the undo snapshot, which marks the project modified, when a port went in;
    // a list of nothing new leaves the project as it was.
    form_.DropSelection();
    form_.UpdatePicExecute(RebuildSender::MainWindow);
    return true;
}
