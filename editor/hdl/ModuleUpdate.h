// Added and updated modules: the preparation of a newly placed instance (its parameters shown,
// its widths evaluated), and the "Update Module" dialog's logic, which compares the definitions
// the engine read again with the modules of the project and applies what changed to every
// instance. The window TFormUpdateMduDef shows this state and forwards its controls' events here.
#pragma once

#include "editor/hdl/WidthConfirmation.h"
#include "editor/model/ProjectModel.h"

#include <functional>
#include <string>
#include <vector>

// What CheckAddedInstance needs of the Properties window's Instances page.
class InstancesPage {
public:
    virtual ~InstancesPage() = default;
    // Fills the instance box anew.
    virtual void FillInstList() = 0;
    // Selects the instance in the instance box; false when the box does not hold it.
    virtual bool SelectInstance(const std::string& inst) = 0;
    // Lists the instance's parameters; with addVhdlTypes an empty VHDL type is inferred and
    // written into the parameter's line.
    virtual void ShowInstParas(const std::string& inst, bool addVhdlTypes) = 0;
    // The parameter rows the page shows now.
    virtual std::vector<ParamRow> ParamRows() const = 0;
};

// Prepares a newly placed instance: shows it on the Instances page (the box filled anew when
// first) and writes its parameterised widths without asking and without an undo snapshot.
void CheckAddedInstance(ProjectModel& model, InstancesPage& page, WidthConfirmation& widths,
                        const std::string& inst, bool first);

// One row of the comparison list.
struct CompareRow {
    std::string Name;
    std::string Msb;
    std::string Lsb;
    std::string Type; // "IN", "OUT", "INOUT", "BUFFER", "PARAM"; empty for a row never applied
    std::string Default;
    std::string Pid; // index of the line in DefLines, "-1" for a line of the project
    int Image = NoImage;

    static constexpr int NoImage = -1;  // unchanged
    static constexpr int NewImage = 0;  // new or changed: the definition's line
    static constexpr int GoneImage = 1; // deleted: the project's line

    // The list's columns: "Name", "MSB", "LSB", "Type", "Default", "PID".
    const std::string& Column(int column) const;
};

// One item of the module box.
struct ModuleItem {
    std::string Module;
    bool Changed = false;
};

class ModuleUpdate {
public:
    explicit ModuleUpdate(ProjectModel& model);

    // The definitions re-read by the engine, which the parser fills in update mode.
    ProjectLines DefLines;
    std::vector<std::string> RelatedInstances;
    std::string OldFile;
    std::string NewFile;
    std::string OldLang;
    std::string NewLang;
    int UnchangedPorts = 0;
    int UnchangedParams = 0;
    int ChangedPorts = 0;
    int ChangedParams = 0;
    int DeletedPorts = 0;
    int DeletedParams = 0;
    bool NeedRecalc = false;
    bool SortAscending = true;
    int SortColumn = 0;

    // The dialog's controls.
    std::string Caption = "Update Module";
    std::vector<ModuleItem> ComboBoxEx1;
    int ItemIndex = -1; // the selected item of ComboBoxEx1
    std::vector<CompareRow> ListView1;
    std::string Label2 = "Report:";
    std::string Memo1; // the report, lines separated by CR LF

    // The rebuild and drawing of the picture.
    std::function<void()> UpdatePicture;
    // CheckAddedInstance of the editor, for instances whose widths need evaluating again.
    std::function<void(const std::string& inst, bool first)> CheckAddedInstance;
    // The width confirmation CheckAddedInstance works through: the wires its evaluations of a
    // module's instances take are removed in one pass.
    WidthConfirmation* Widths = nullptr;

    void PrepareUpdateDialog();
    // Fills the list and the counters for module m; true when anything differs.
    bool CompareModule(const std::string& m);
    // True when m's first block in lines holds no line LinesEqual to line (also when m has none).
    static bool FindEqualLine(const std::string& m, const ProjectLine& line,
                              const ProjectLines& lines);
    // Fields 0 to 7 alike, but for the numeric width of a port and the own value and VHDL type of
    // a parameter.
    static bool LinesEqual(const ProjectLine& a, const ProjectLine& b);
    void AddDefLine(int index, std::initializer_list<std::string_view> fields);
    bool DeleteDefLine(int index);
    bool ClearDefLines();
    void ShowReport(const std::string& text, bool clear);
    bool ApplyModuleUpdate();
    // The definition comes from another file (not only the same file by another name) or in
    // another language than the module's first instance.
    bool SourceChanged() const;

    // A module chosen in the box: its comparison and report.
    void ComboBoxEx1Change(int index);
    // "OK": the undo snapshot, then the update; the dialog closes with OK either way.
    void BitBtn1Click();
    // "Cancel": the definitions go; the dialog closes with Cancel.
    void BitBtn2Click();
    void ListView1ColumnClick(int column);

private:
    struct Edits;
    struct ModuleIndex;
    bool CompareModule(const std::string& m, const ModuleIndex& index);
    bool ApplyToInstances(const std::vector<CompareRow>& rows,
                          const std::vector<std::string>& related);

    ProjectModel& model_;
};
