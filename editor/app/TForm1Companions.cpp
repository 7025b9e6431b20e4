// The framework, the fixtures, the summary and the file list wired into the main window.
#include "editor/app/TForm1Companions.h"

#include "editor/app/TForm1.h"
#include "editor/app/TForm1Gen.h"
#include "editor/hdl/FrameworkGenerator.h"
#include "editor/hdl/ModuleSummary.h"
#include "editor/hdl/TestFixture.h"

namespace {

const char* const CompanionCommands[] = {"BFLst", "GenTstVlog", "GenTstVHDL", "ViewModuleSummary1"};

} // namespace

GenCompanionsHost::GenCompanionsHost(TForm1& form, Prompt& prompt, GenHdlHost& generation)
    : form_(form), prompt_(prompt), generation_(generation), fileList_(form.Model) {
    fileListWindow_ = new TFormFLst(fileList_.FormFLst, &form);
    FormFLst = fileListWindow_;
    fileList_.ShowFormFLst = [this](FileListForm&) { return fileListWindow_->ShowModal(); };

    ProjectModel& model = form.Model;
    generation.SetFrameworkGenerator(
        [&model](int style, bool report, const GenColumnWidths& widths) {
            return GenFramework(model, style, report, widths);
        });
    form.SetHandler("BFLst", [this] { fileList_.BFLstExecute(generation_.Text()); });
    form.SetHandler("GenTstVlog",
                    [this] { GenTstVlogExecute(form_.Model, prompt_, generation_.Text()); });
    form.SetHandler("GenTstVHDL",
                    [this] { GenTstVHDLExecute(form_.Model, prompt_, generation_.Text()); });
    form.SetHandler("ViewModuleSummary1", [this] { ShowSummary(-1); });
    // The context menu's "Summary" names the instance it was opened on.
    if (form.PopupCommands)
        form.PopupCommands->Hooks.MakeModuleSummary = [this](const std::string& instance) {
            const std::vector<mdu>& list = form_.Model.MduList;
            for (std::size_t i = 0; i < list.size(); ++i)
                if (list[i].InstName == instance) {
                    ShowSummary(static_cast<int>(i));
                    return;
                }
        };
}

GenCompanionsHost::~GenCompanionsHost() {
    for (const char* name : CompanionCommands)
        form_.SetHandler(name, nullptr);
    if (form_.PopupCommands)
        form_.PopupCommands->Hooks.MakeModuleSummary = nullptr;
    generation_.SetFrameworkGenerator(nullptr);
    if (FormFLst == fileListWindow_)
        FormFLst = nullptr;
    delete fileListWindow_.data();
}

bool GenCompanionsHost::ShowSummary(int instance) {
    return ShowModuleSummary(form_.Model, form_.Services, instance);
}
