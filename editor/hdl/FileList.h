// The file list: one line per HDL source file of the project's instances, each made from a
// format the user sets in the dialog "Build file list" (TFormFLst), for other tools' scripts.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class GenTextModel;
class ProjectModel;

// The choices of the "Path delimiter:" box: a slash (paths here have no other), a backslash and
// a doubled backslash.
extern const std::array<std::string_view, 3> PathDelimiters;

// One line: the format with every "%F" replaced by the path and every "%T" by the language, in
// one pass, so a path or language that holds a placeholder's text stays as it is. The path has
// every occurrence of relative removed (an empty one removes nothing), then every "/" replaced
// by the delimiter.
std::string FileListLine(std::string_view format, std::string_view relative,
                         std::string_view delimiter, std::string_view path,
                         std::string_view language);

// RadioButton1 to RadioButton3.
enum class FileListPreset { FileNameOnly, AddFileName, Custom };

// TFormFLst without its widgets. One instance lives for the program run, so the options stay
// from one use to the next (they are not stored in the settings file).
struct FileListForm {
    std::string LabeledEdit1;    // "Format:"
    std::string LabeledEdit2;    // "Relative to path:"
    std::string ComboBox1 = "/"; // "Path delimiter:"; free text allowed
    FileListPreset Preset = FileListPreset::FileNameOnly;
    bool CheckBox1 = true; // "Quoted file name"
    bool CheckBox1Enabled = true;
    bool LabeledEdit1Enabled = false;
    std::vector<std::string> Memo1; // "Example preview:"

    std::array<std::string, 5> DemoFiles;
    std::array<std::string, 5> DemoTypes;
    std::string FileToken = "%F";

    FileListForm() { FormCreate(); }

    void FormCreate();
    // The quote box: the file token in double quotes or bare, then the preset again.
    void CheckBox1Click();
    // The presets: the format of "File name only" and "Add file name"; "Custom" leaves it to the
    // user and the quote box out of it.
    void RadioButton1Click();
    // Any of the format, the relative path and the delimiter changed: the preview again.
    void LabeledEdit1Change();

    std::string Line(std::string_view path, std::string_view language) const {
        return FileListLine(LabeledEdit1, LabeledEdit2, ComboBox1, path, language);
    }
};

// The command "Build file list" (BFLst).
class FileListCommand {
public:
    explicit FileListCommand(ProjectModel& model) : model_(model) {}

    FileListForm FormFLst;
    // Shows the dialog modally over FormFLst: true for OK.
    std::function<bool(FileListForm& form)> ShowFormFLst;

    // The list of every instance's source, each file once, tops left out, into the
    // generated-text window as plain text. False when the dialog was cancelled.
    bool BFLstExecute(GenTextModel& window);
    // The list's text, a line per file, each ended by CR LF.
    std::string ListText() const;

private:
    ProjectModel& model_;
};
