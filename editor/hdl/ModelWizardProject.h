// The module wizard's view of the project model: names, rule and log from ProjectModel, the
// parser and the picture from the main window.
#pragma once

#include "editor/hdl/ModuleWizard.h"
#include "editor/model/ProjectModel.h"

#include <algorithm>
#include <functional>
#include <string>

class ModelWizardProject : public WizardProject {
public:
    using ParseFunction = std::function<void(const std::string& text, char mode)>;
    using PictureFunction = std::function<void()>;

    ModelWizardProject(ProjectModel& model, ParseFunction parse, PictureFunction updatePicture)
        : model_(model), parse_(std::move(parse)), updatePicture_(std::move(updatePicture)) {}

    std::string TopName() const override { return model_.TopName; }
    std::string InstNameRule() const override { return model_.InstNameRule; }
    bool ModuleNameUsed(const std::string& module) const override;
    ProjectNames CurrentNames() const override;
    void ParseProjectText(const std::string& text, char mode) override;
    void ProjectTextParsed(char mode, const std::string& newProjectFile) override;
    void UpdatePicExecute() override;
    void LogInfo(const std::string& text) override { model_.LogInfo(text); }
    void LogWarning(const std::string& text) override { model_.LogWarning(text); }
    void LogError(const std::string& text) override { model_.LogError(text); }

private:
    ProjectModel& model_;
    ParseFunction parse_;
    PictureFunction updatePicture_;
};
