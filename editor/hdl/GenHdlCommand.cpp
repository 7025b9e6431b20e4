// GenHDLExecute.
#include "editor/hdl/GenHdlCommand.h"

#include "editor/model/ProjectModel.h"
#include "editor/model/Prompt.h"
#include "platform/TextFile.h"

namespace {

const char* const SaveFirst =
    "The current project need to be saved before this operation. Save it?";
const char* const ReportCaption = "ZUN2012 Report";
const char* const MissingProjectFile = "Missing the project file.";
const char* const NoFrameworkGenerator = "Framework generation is not available.";

std::string TopTitle(const ProjectModel& model) {
    const mdu* top = model.TopRecord();
    return top ? top->Title : std::string();
}

// Restores what a full-source run changed, however the run ends.
class BusyScope {
public:
    BusyScope(bool& busy, const std::function<void(bool)>& actions,
              const std::function<void(bool)>& cursor)
        : busy_(busy), actions_(actions), cursor_(cursor) {
        busy_ = true;
        if (actions_)
            actions_(false);
        if (cursor_)
            cursor_(true);
    }
    ~BusyScope() {
        busy_ = false;
        if (actions_)
            actions_(true);
        if (cursor_)
            cursor_(false);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& busy_;
    const std::function<void(bool)>& actions_;
    const std::function<void(bool)>& cursor_;
};

} // namespace

GenHdlCommand::GenHdlCommand(ProjectModel& model, Prompt& prompt, TopGenerator& generator,
                             GenTextModel& window)
    : model_(model), prompt_(prompt), generator_(generator), window_(window) {
    FormConnect.ModuleNameUsed = [&model](const std::string& name) {
        return model.ModuleNameUsed(name);
    };
}

void GenHdlCommand::GenHDLExecute() {
    const GenBoxChoices remembered = DecodeGenBox(model_.AppMisc.GenBox);
    FormConnect.FrameworkEnabled = bool(GenFramework);
    // A framework choice that cannot be made is offered as full source in the dialog.
    FormConnect.RadioGroup1 =
        remembered.Choice == FrameworkOnly && (GenFramework || remembered.SkipDialog)
            ? FrameworkOnly
            : FullSourceCode;
    FormConnect.CheckLanguage(remembered.Language);
    FormConnect.LE_RenTM = TopTitle(model_);

    if (!remembered.SkipDialog) {
        FormConnect.FormShow();
        if (!ShowConnect || !ShowConnect(FormConnect))
            return;
        model_.AppMisc.GenBox =
            EncodeGenBox(FormConnect.CheckedLanguage(), FormConnect.RadioGroup1);
        // The title is a generation option: no undo snapshot, and the project is not modified.
        model_.SetPortLineFields(model_.TopName, "", "M", 3, FormConnect.LE_RenTM);
        if (UpdatePicExecute)
            UpdatePicExecute();
    }

    if (FormConnect.RadioGroup1 == FrameworkOnly)
        GenerateFramework();
    else
        GenerateFullSource();
}

void GenHdlCommand::GenerateFramework() {
    if (!GenFramework) {
        model_.LogError(NoFrameworkGenerator);
        return;
    }
    const std::string title = TopTitle(model_);
    window_.Lines.clear();
    window_.CstmPrtMode = false;
    if (FormConnect.RadioButtonChecked[0] || FormConnect.RadioButtonChecked[1]) {
        window_.Caption = "ZUN2012 - " + title + ".v";
        window_.GenStyle = FormConnect.RadioButtonChecked[0] ? Verilog2001Style : Verilog1995Style;
        window_.SaveFilterIndex = VerilogFilter;
        window_.SaveFileName = title + ".v";
    } else {
        window_.Caption = "ZUN2012 - " + title + ".vhd";
        window_.GenStyle = VhdlFrameworkStyle;
        window_.SaveFilterIndex = VhdlFilter;
        window_.SaveFileName = title + ".vhd";
    }
    window_.SetupColumnHeaders();
    window_.SetText(GenFramework(window_.GenStyle, true, window_.GenColWidths));
    if (window_.Show)
        window_.Show();
}

void GenHdlCommand::GenerateFullSource() {
    if (!model_.PrjOpen || busy_) {
        if (SetGenActionsEnabled)
            SetGenActionsEnabled(false);
        return;
    }
    if (model_.Modified) {
        if (!prompt_.OkCancel(SaveFirst, ReportCaption))
            return;
        if (FileSavePrjExecute)
            FileSavePrjExecute();
    }
    // An untitled project has no file of its own yet, whatever its name.
    if (model_.PrjFileName.empty() || model_.PrjUntitled ||
        !platform::FileExists(model_.PrjFileName)) {
        model_.LogError(MissingProjectFile);
        return;
    }

    BusyScope scope(busy_, SetGenActionsEnabled, SetBusyCursor);
    const std::string title = TopTitle(model_);
    const bool vhdl = FormConnect.RadioButtonChecked[2];
    model_.LogAction(vhdl ? "Generate VHDL Code..." : "Generate Verilog HDL Code...");
    const std::string file = title + (vhdl ? ".vhd" : ".v");
    window_.Caption = file;
    window_.Lines.clear();
    const std::string text = vhdl ? generator_.GenVhdlTop() : generator_.GenVerilogTop();
    window_.SetText((vhdl ? VhdlBanner : VerilogBanner) + text);
    window_.SaveFileName = file;
    window_.SaveFilterIndex = vhdl ? VhdlFilter : VerilogFilter;
    window_.CstmPrtMode = false;
    window_.GenStyle = PlainTextStyle;
    if (window_.Show)
        window_.Show();
}
