// The file list's line rule, its dialog's logic and the command.
#include "editor/hdl/FileList.h"

#include "editor/hdl/GenText.h"
#include "editor/model/ProjectModel.h"

#include <unordered_set>

const std::array<std::string_view, 3> PathDelimiters = {"/", "\\", "\\\\"};

namespace {

const char* const FileListBuilt = "File list built. Not containing the top module.";

// Every occurrence of what replaced by with, found left to right in the original text.
std::string ReplaceAll(std::string_view text, std::string_view what, std::string_view with) {
    if (what.empty())
        return std::string(text);
    std::string out;
    std::size_t at = 0;
    for (std::size_t found = text.find(what); found != std::string_view::npos;
         found = text.find(what, at)) {
        out.append(text, at, found - at);
        out += with;
        at = found + what.size();
    }
    out.append(text, at, std::string_view::npos);
    return out;
}

} // namespace

std::string FileListLine(std::string_view format, std::string_view relative,
                         std::string_view delimiter, std::string_view path,
                         std::string_view language) {
    const std::string file = ReplaceAll(ReplaceAll(path, relative, ""), "/", delimiter);
    std::string line;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() &&
            (format[i + 1] == 'F' || format[i + 1] == 'T')) {
            line += format[i + 1] == 'F' ? std::string_view(file) : language;
            ++i;
        } else {
            line += format[i];
        }
    }
    return line;
}

void FileListForm::FormCreate() {
    DemoFiles = {
        "/home/zun/Demo File List/verilog/file1.v", "/home/zun/Demo File List/verilog/file2.v",
        "/home/zun/Demo File List/verilog/file3.v", "/home/zun/Demo File List/vhd/file1.vhd",
        "/home/zun/Demo File List/vhd/file1.vhd"};
    DemoTypes = {"verilog", "verilog", "verilog", "vhdl", "vhdl"};
    FileToken = "%F";
    Preset = FileListPreset::FileNameOnly;
    CheckBox1 = true;
    CheckBox1Click();
}

void FileListForm::CheckBox1Click() {
    FileToken = CheckBox1 ? "\"%F\"" : "%F";
    RadioButton1Click();
}

void FileListForm::RadioButton1Click() {
    switch (Preset) {
    case FileListPreset::FileNameOnly:
        LabeledEdit1 = FileToken;
        break;
    case FileListPreset::AddFileName:
        LabeledEdit1 = "add_file -%T " + FileToken;
        break;
    case FileListPreset::Custom:
        break;
    }
    CheckBox1Enabled = Preset != FileListPreset::Custom;
    LabeledEdit1Enabled = Preset == FileListPreset::Custom;
    LabeledEdit1Change();
}

void FileListForm::LabeledEdit1Change() {
    Memo1.clear();
    for (std::size_t i = 0; i < DemoFiles.size(); ++i)
        Memo1.push_back(Line(DemoFiles[i], DemoTypes[i]));
}

std::string FileListCommand::ListText() const {
    std::string text;
    std::unordered_set<std::string> listed;
    // Every record is looked at, wherever the top's stands: only tops are left out.
    for (const mdu& m : model_.MduList) {
        if (m.IsTop() || !listed.insert(m.SrcPath).second)
            continue;
        text += FormFLst.Line(m.SrcPath, m.Language) + "\r\n";
    }
    return text;
}

bool FileListCommand::BFLstExecute(GenTextModel& window) {
    if (!ShowFormFLst || !ShowFormFLst(FormFLst))
        return false;
    window.Lines.clear();
    window.Caption = "File list";
    window.SaveFilterIndex = AllFilesFilter;
    window.SaveFileName = model_.TopName + ".lst";
    window.SetText(ListText());
    window.CstmPrtMode = false;
    window.GenStyle = PlainTextStyle;
    if (window.Show)
        window.Show();
    model_.LogAction(FileListBuilt);
    return true;
}
