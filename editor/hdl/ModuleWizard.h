// The module wizard's logic: source list, module scan, module list, checks at "OK", the module
// request file and the hand of the engine's project text to the parser. The window
// TFormNewPrj shows this state and forwards its controls' events here.
#pragma once

#include "editor/hdl/EngineRunner.h"
#include "editor/model/ProjectLine.h"
#include "editor/model/Prompt.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

// Row kinds of both lists and the digit the engine gets: 0 Verilog, 1 VHDL, 2 Auto Select.
inline constexpr int VerilogKind = 0;
inline constexpr int VhdlKind = 1;
inline constexpr int AutoKind = 2;

// Told when a top module name fails IsLegalIdent.
extern const char* const InvalidTopModuleName;
// Told when the top module would take the name of a module it instantiates.
std::string IdenticalToTopModule(const std::string& module);

// An instance count the wizard accepts; larger ones are typing slips, not designs.
inline constexpr int MaxInstanceCount = 1000;

struct SourceFileRow {
    std::string path;
    int kind = AutoKind;
    bool selected = false;
};

struct ModuleRow {
    std::string count = "1"; // the row's caption
    std::string module;
    std::string path;
    int kind = VerilogKind;
    bool selected = false;
    // A Verilog module's macro names defined where its file began in the scan (blank-separated),
    // handed back to the engine so it reads the module as the scan saw it; null for none.
    std::shared_ptr<const std::string> defined;
};

// A module that the scan found in a branch of conditional compilation not taken.
struct DroppedModule {
    std::string module;
    std::string path;
    std::string macro;
    bool macroDefined = false; // left out because the macro is defined (else: is not)
};

// A source whose includes reached the engine's bound on included text.
struct CappedSource {
    std::string path;
    std::string bound; // in bytes, as the engine gave it
};

// The module list file read into rows, with what the scan says beyond them. badFormat: an "F"
// line of an unknown kind stopped the walk; the rows and notes before it are kept.
struct ModuleListParse {
    std::vector<ModuleRow> rows;
    bool badFormat = false;
    std::vector<DroppedModule> dropped;
    std::vector<std::string> binaryFiles;
    std::vector<CappedSource> cappedSources;
};
ModuleListParse ParseModuleList(const std::string& text);

// The warnings "Next" logs for what the scan left out: modules of branches not taken, files
// skipped as binary, sources whose includes were cut short.
std::vector<std::string> ModuleListWarnings(const ModuleListParse& parse);

// Kind of a source file by its own name (never by the folders above it): ".vhd" anywhere in the
// lower-cased name is VHDL, else ".v" is Verilog, else Auto Select.
int SourceKindOfName(const std::string& path);

// Names of the open project written into the request of mode 'A', so the engine picks instance
// names that are still free.
struct ProjectNames {
    std::vector<std::pair<std::string, std::string>> instances; // instance, module ("" for top)
    std::vector<std::string> wires;
    std::vector<std::string> topPorts;
};

// What the wizard needs from the main window and its project.
class WizardProject {
public:
    virtual ~WizardProject() = default;
    virtual std::string TopName() const = 0;
    virtual std::string InstNameRule() const = 0;
    virtual bool ModuleNameUsed(const std::string& module) const = 0;
    virtual ProjectNames CurrentNames() const = 0;
    // The parser run on the engine's project text in the mode's way: 'N' replaces the project,
    // 'A' adds instances, 'T' imports top ports, 'U' fills the update dialog's definitions.
    // Returns the names of the modules whose instances went in (an empty module is left out).
    virtual std::unordered_set<std::string> ParseProjectText(const std::string& text,
                                                             char mode) = 0;
    // After the parse: for 'N' the project is the untitled file newProjectFile; every mode
    // leaves a project open.
    virtual void ProjectTextParsed(char mode, const std::string& newProjectFile) = 0;
    // The rebuild and drawing of the picture, with the wizard as the sender.
    virtual void UpdatePicExecute() = 0;
    virtual void LogInfo(const std::string& text) = 0;
    virtual void LogWarning(const std::string& text) = 0;
    virtual void LogError(const std::string& text) = 0;
    // Many info lines at once, as one update of the log's view.
    virtual void LogInfoLines(const std::vector<std::string>& texts) {
        for (const std::string& text : texts)
            LogInfo(text);
    }
};

// The hand-off registration that lets a launcher pass files to a waiting wizard; the wizard
// only ends it.
class WizardHandOff {
public:
    virtual ~WizardHandOff() = default;
    virtual void CloseHandOff() = 0;
};

// What the window shows for the current page; SetupWizardPage computes it.
struct WizardPageLayout {
    std::string caption;
    bool filePage = true;
    // File Settings
    bool addEnabled = false;
    bool nextEnabled = false;
    bool clearEnabled = false;
    bool removeFilesEnabled = false;
    std::string filesColumnCaption = "Selected Files (0)";
    bool acceptDrops = true;
    // Module Settings
    bool topNameEnabled = true;
    int topNameWidth = 233;
    bool inheritTypeVisible = false;
    bool countLabelsVisible = false; // the hint and the "+" and "-" labels
    bool removeModulesEnabled = false;
    bool countButtonsEnabled = false;
    bool okEnabled = false;
};

enum class AddSourceResult { Added, Missing, Duplicate, Refused };

class ModuleWizard {
public:
    ModuleWizard(Prompt& prompt, EngineRunner& runner);

    void SetProject(WizardProject* project) { project_ = project; }
    void SetHandOff(WizardHandOff* handOff) { handOff_ = handOff; }
    EngineRunner& Runner() { return runner_; }

    // The window's members by their names.
    bool FilePage = true;
    char PrjMode = 'N';
    int SortColumn = 0;
    bool SortAscending = false;
    bool SharedOpen = false;

    // The controls' content.
    std::vector<SourceFileRow> Files;
    std::vector<ModuleRow> Modules;
    std::string AddFileText;
    std::string TopModuleText = "mytop";
    bool InheritType = true;

    // Every opener: file page first, the mode, the list emptied unless the opener filled it.
    void Open(char mode, bool keepFiles);
    void SetupWizardPage();
    const WizardPageLayout& Layout() const { return layout_; }

    // Adds one existing file by its absolute path; an exact duplicate, a missing file and a
    // name with a TAB or line break (it would break the request and the project) are skipped.
    AddSourceResult AddSourceFile(const std::string& path);

    // The files of the editor's command line or of a drop on the main window: each as
    // AddSourceFile, and one warning for each that does not exist, since nobody chose it here.
    void AddGivenSources(const std::vector<std::string>& paths);

    // File Settings commands.
    void SetAddFileText(std::string text);
    void AddClick();
    void AddChosenFiles(const std::vector<std::string>& paths); // "Browser"
    void DropFiles(const std::vector<std::string>& paths);
    bool KindMenuVisible() const;
    void SetKindOfSelected(int kind);
    void RemoveSelectedFiles();
    void ClearFiles();
    // "Next": true when the Module Settings page is now shown.
    bool Next();

    // Module Settings commands.
    void Prev();
    void Plus();
    void Minus();
    // An instance count typed into a row: a whole number from 1 to MaxInstanceCount is taken,
    // anything else keeps the old count (false).
    bool EditCount(std::size_t row, const std::string& text);
    void RemoveSelectedModules();

    // A click on a column header of either list.
    void SortFiles(int column);
    void SortModules(int column);

    // The first check of "OK" that fails, with its message.
    std::optional<std::string> ValidateOk() const;
    std::vector<std::string> ModuleRequestLines() const;
    std::string TopSelector() const;
    // "OK": true when the dialog closes with OK (also after an engine failure, whose message
    // was shown), false when it stays open on Module Settings.
    bool Ok();
    // True when the last "OK" handed project text to the parser.
    bool ProjectChanged() const { return projectChanged_; }

    // Every close of the window.
    void FormClose();

private:
    void CloseHandOffBlocks();
    void ReportRunFailure(const EngineOutcome& outcome);

    Prompt& prompt_;
    EngineRunner& runner_;
    WizardProject* project_ = nullptr;
    WizardHandOff* handOff_ = nullptr;
    WizardPageLayout layout_;
    bool projectChanged_ = false;
};
