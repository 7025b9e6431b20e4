// The module wizard's view of the project model: names, rule, log and parser on ProjectModel,
// the picture from the main window.
#pragma once

#include "editor/hdl/ModuleWizard.h"
#include "editor/model/ProjectModel.h"
#include "editor/model/ProjectParser.h"

#include <algorithm>
#include <functional>
#include <string>

// The parser's mode for a wizard mode letter.
ParseMode ParseModeOf(char wizardMode);

class ModelWizardProject : public WizardProject {
public:
    using PictureFunction = std::function<void()>;

    ModelWizardProject(ProjectModel& model, PictureFunction updatePicture)
        : model_(model), updatePicture_(std::move(updatePicture)) {}

    // The update dialog's definition list, which mode 'U' fills.
    ProjectLines* DefLines = nullptr;

    std::string TopName() const override { return model_.TopName; }
    std::string InstNameRule() const override { return model_.InstNameRule; }
    bool ModuleNameUsed(const std::string& module) const override;
    ProjectNames CurrentNames() const override;
    std::unordered_set<std::string> ParseProjectText(const std::string& text, char mode) override;
    void ProjectTextParsed(char mode, const std::string& newProjectFile) override;
    void UpdatePicExecute() override;
    void LogInfo(const std::string& text) override { model_.LogInfo(text); }
    void LogWarning(const std::string& text) override { model_.LogWarning(text); }
    void LogError(const std::string& text) override { model_.LogError(text); }
    void LogInfoLines(const std::vector<std::string>& texts) override;

private:
    ProjectModel& model_;
    PictureFunction updatePicture_;
};
