// The module wizard bound to the project model.
#include "editor/hdl/ModelWizardProject.h"

bool ModelWizardProject::ModuleNameUsed(const std::string& module) const {
    // The top module's record has an empty module name; no wizard row names it.
    return !module.empty() && model_.ModuleNameUsed(module);
}

ProjectNames ModelWizardProject::CurrentNames() const {
    ProjectNames names;
    names.instances.reserve(model_.MduList.size());
    for (const mdu& m : model_.MduList)
        names.instances.emplace_back(m.InstName, m.ModuleName);
    names.wires.reserve(model_.WireList.size());
    for (const wire& w : model_.WireList)
        names.wires.push_back(w.Name);
    if (const mdu* top = model_.TopRecord(); top != nullptr && top->FirstPort >= 0) {
        int last = std::min<int>(top->LastPort, static_cast<int>(model_.PortList.size()) - 1);
        for (int i = top->FirstPort; i <= last; ++i)
            names.topPorts.push_back(model_.PortList[i].Name);
    }
    return names;
}

ParseMode ParseModeOf(char wizardMode) {
    switch (wizardMode) {
    case 'A':
        return ParseMode::AddModules;
    case 'T':
        return ParseMode::ImportTopPorts;
    case 'U':
        return ParseMode::UpdateDefinition;
    default:
        return ParseMode::ReplaceAll;
    }
}

std::unordered_set<std::string> ModelWizardProject::ParseProjectText(const std::string& text,
                                                                     char mode) {
    return Scr_DrvClick(model_, text, ParseModeOf(mode), DefLines).AddedModules;
}

void ModelWizardProject::LogInfoLines(const std::vector<std::string>& texts) {
    MessageLog::Batch batch(model_.Log);
    for (const std::string& text : texts)
        model_.LogInfo(text);
}

void ModelWizardProject::ProjectTextParsed(char mode, const std::string& newProjectFile) {
    if (mode == 'N') {
        model_.PrjFileName = newProjectFile;
        model_.PrjUntitled = true;
    }
    model_.PrjOpen = true;
}

void ModelWizardProject::UpdatePicExecute() {
    if (updatePicture_)
        updatePicture_();
}
