// The module wizard's logic, without any widget.
#include "editor/hdl/ModuleWizard.h"

#include "editor/model/ListSort.h"
#include "platform/AsciiCase.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "platform/TextLines.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>

const char* const InvalidTopModuleName = "Invalid top module name.";

std::string IdenticalToTopModule(const std::string& module) {
    return "The module " + module + " can not be identical to the top module.";
}

namespace {

constexpr const char* UnrecognizedFormat = "Error: Unrecognized Format.";
constexpr const char* FoundNoModule = "Found no module in the files.";
constexpr const char* TopBeginsWithU = "Top module name can not begin with \"U_\".";
constexpr const char* OutOfMemory = "Internal Error. Maybe out of memory.";

// A count caption as a number, or nothing when it is not a whole number.
std::optional<long long> CountValue(const std::string& text) {
    long long value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+')
        ++first;
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || first == last)
        return std::nullopt;
    return value;
}

bool HasLineBreakOrTab(const std::string& path) {
    return path.find_first_of("\t\r\n") != std::string::npos;
}

std::string Printable(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out.push_back(c);
    }
    return out;
}

} // namespace

namespace {

// The fields of a note line after its head, split at TABs.
std::vector<std::string> NoteFields(const std::string& line, std::size_t head) {
    std::vector<std::string> fields;
    std::size_t start = head;
    for (;;) {
        std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

} // namespace

ModuleListParse ParseModuleList(const std::string& text) {
    ModuleListParse parse;
    int kind = VerilogKind;
    std::string path;
    std::shared_ptr<const std::string> defined;
    for (const std::string& line : platform::SplitLines(text)) {
        if (line.empty())
            continue;
        if (line[0] == 'F') {
            if (line.size() < 2 || (line[1] != '0' && line[1] != '1')) {
                parse.badFormat = true;
                break;
            }
            kind = line[1] - '0';
            path = line.size() > 3 ? line.substr(3) : std::string();
        } else if (line[0] == 'M') {
            ModuleRow row;
            row.module = line.size() > 2 ? line.substr(2) : std::string();
            row.path = path;
            row.kind = kind;
            if (kind == VerilogKind)
                row.defined = defined;
            parse.rows.push_back(std::move(row));
        } else if (line.starts_with("D-")) {
            defined =
                line.size() > 2 ? std::make_shared<const std::string>(line.substr(2)) : nullptr;
        } else if (line.starts_with("C0-") || line.starts_with("C1-")) {
            std::vector<std::string> fields = NoteFields(line, 3);
            if (fields.size() == 3)
                parse.dropped.push_back({fields[0], fields[1], fields[2], line[1] == '1'});
        } else if (line.starts_with("B-")) {
            parse.binaryFiles.push_back(line.substr(2));
        } else if (line.starts_with("L-")) {
            std::vector<std::string> fields = NoteFields(line, 2);
            parse.cappedSources.push_back({fields[0], fields.size() > 1 ? fields[1] : ""});
        }
    }
    return parse;
}

std::vector<std::string> ModuleListWarnings(const ModuleListParse& parse) {
    std::vector<std::string> warnings;
    for (const DroppedModule& d : parse.dropped)
        warnings.push_back("The module " + d.module + " in " + d.path +
                           " is not listed: it stands in a branch that needs the macro " + d.macro +
                           (d.macroDefined ? " undefined, and a source defines it."
                                           : " defined, and no source defines it."));
    for (const std::string& path : parse.binaryFiles)
        warnings.push_back("The source file " + path +
                           " holds a NUL byte; it was skipped as a binary file, not HDL text.");
    for (const CappedSource& c : parse.cappedSources)
        warnings.push_back("The includes of the source file " + c.path + " exceed " + c.bound +
                           " bytes of included text; the includes past that were read as empty.");
    return warnings;
}

int SourceKindOfName(const std::string& path) {
    std::size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    name = platform::AsciiLower(name);
    if (name.find(".vhd") != std::string::npos)
        return VhdlKind;
    if (name.find(".v") != std::string::npos)
        return VerilogKind;
    return AutoKind;
}

ModuleWizard::ModuleWizard(Prompt& prompt, EngineRunner& runner)
    : prompt_(prompt), runner_(runner) {
    SetupWizardPage();
}

void ModuleWizard::Open(char mode, bool keepFiles) {
    FilePage = true;
    PrjMode = mode;
    if (!keepFiles)
        Files.clear();
    SetupWizardPage();
}

void ModuleWizard::SetupWizardPage() {
    WizardPageLayout l;
    l.filePage = FilePage;
    if (FilePage) {
        switch (PrjMode) {
        case 'A':
            l.caption = "Add New Modules - File Settings";
            break;
        case 'T':
            l.caption = "Import Top Port - File Settings";
            break;
        case 'U':
            l.caption = "Update Module - File Settings";
            break;
        default:
            l.caption = "ZUN New Project - File Settings";
            break;
        }
        l.addEnabled = platform::FileExists(AddFileText);
        l.nextEnabled = !Files.empty();
        l.clearEnabled = !Files.empty();
        l.removeFilesEnabled =
            std::any_of(Files.begin(), Files.end(), [](const auto& r) { return r.selected; });
        l.filesColumnCaption = "Selected Files (" + std::to_string(Files.size()) + ")";
        l.acceptDrops = true;
    } else {
        std::string topName = project_ != nullptr ? project_->TopName() : std::string();
        switch (PrjMode) {
        case 'A':
            l.caption = "Add New Modules - Module Settings";
            TopModuleText = topName;
            l.topNameEnabled = false;
            l.topNameWidth = 233;
            l.countLabelsVisible = true;
            break;
        case 'T':
            l.caption = "Import Top Port - Module Settings";
            TopModuleText = topName;
            l.topNameEnabled = false;
            l.topNameWidth = 180;
            l.inheritTypeVisible = true;
            break;
        case 'U':
            l.caption = "Update Module - Module Settings";
            TopModuleText = topName;
            l.topNameEnabled = false;
            l.topNameWidth = 233;
            break;
        default:
            l.caption = "ZUN New Project - Module Settings";
            l.topNameEnabled = true;
            l.topNameWidth = 233;
            l.countLabelsVisible = true;
            break;
        }
        bool anySelected =
            std::any_of(Modules.begin(), Modules.end(), [](const auto& r) { return r.selected; });
        l.removeModulesEnabled = anySelected;
        l.countButtonsEnabled = anySelected;
        l.okEnabled = !Modules.empty();
        l.filesColumnCaption = "Selected Files (" + std::to_string(Files.size()) + ")";
        l.acceptDrops = false;
    }
    layout_ = std::move(l);
}

AddSourceResult ModuleWizard::AddSourceFile(const std::string& path) {
    if (path.empty() || !platform::FileExists(path))
        return AddSourceResult::Missing;
    if (HasLineBreakOrTab(path)) {
        if (project_ != nullptr)
            project_->LogWarning("Ignore the source file " + Printable(path) +
                                 ": a TAB or a line break in its name is not supported.");
        return AddSourceResult::Refused;
    }
    std::string absolute = platform::AbsolutePath(path);
    for (const SourceFileRow& row : Files)
        if (row.path == absolute)
            return AddSourceResult::Duplicate;
    SourceFileRow row;
    row.path = absolute;
    row.kind = SourceKindOfName(absolute);
    Files.push_back(std::move(row));
    return AddSourceResult::Added;
}

void ModuleWizard::AddGivenSources(const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
        if (AddSourceFile(path) == AddSourceResult::Missing && project_ != nullptr)
            project_->LogWarning("The source file " + Printable(path) +
                                 " does not exist; it is not listed.");
}

void ModuleWizard::SetAddFileText(std::string text) {
    AddFileText = std::move(text);
    SetupWizardPage();
}

void ModuleWizard::AddClick() {
    AddSourceFile(AddFileText);
    // The field is free for the next path; left filled, the next one typed would join this one.
    AddFileText.clear();
    SetupWizardPage();
}

void ModuleWizard::AddChosenFiles(const std::vector<std::string>& paths) {
    for (const std::string& p : paths)
        AddSourceFile(p);
    SetupWizardPage();
}

void ModuleWizard::DropFiles(const std::vector<std::string>& paths) {
    if (!FilePage)
        return;
    AddChosenFiles(paths);
}

bool ModuleWizard::KindMenuVisible() const {
    return std::any_of(Files.begin(), Files.end(), [](const auto& r) { return r.selected; });
}

void ModuleWizard::SetKindOfSelected(int kind) {
    if (kind < VerilogKind || kind > AutoKind)
        return;
    for (SourceFileRow& row : Files)
        if (row.selected)
            row.kind = kind;
    SetupWizardPage();
}

void ModuleWizard::RemoveSelectedFiles() {
    std::erase_if(Files, [](const SourceFileRow& r) { return r.selected; });
    SetupWizardPage();
}

void ModuleWizard::ClearFiles() {
    Files.clear();
    SetupWizardPage();
}

void ModuleWizard::CloseHandOffBlocks() {
    if (!SharedOpen)
        return;
    if (handOff_ != nullptr)
        handOff_->CloseHandOff();
    SharedOpen = false;
}

void ModuleWizard::ReportRunFailure(const EngineOutcome& outcome) {
    if (project_ != nullptr && !outcome.detail.empty())
        project_->LogError(outcome.detail);
    prompt_.Message(outcome.message);
}

bool ModuleWizard::Next() {
    CloseHandOffBlocks();
    std::vector<ScanSource> sources;
    sources.reserve(Files.size());
    for (const SourceFileRow& row : Files)
        sources.push_back({row.path, row.kind});
    EngineOutcome outcome =
        runner_.RunJob(EngineJob::ModuleScan, runner_.ModuleScanArguments(sources));
    if (!outcome.Succeeded()) {
        ReportRunFailure(outcome);
        return false;
    }
    ModuleListParse parse = ParseModuleList(outcome.output);
    if (project_ != nullptr)
        for (const std::string& warning : ModuleListWarnings(parse))
            project_->LogWarning(warning);
    Modules = std::move(parse.rows);
    if (parse.badFormat)
        prompt_.Message(UnrecognizedFormat);
    if (Modules.empty()) {
        SetupWizardPage();
        prompt_.Message(FoundNoModule);
        return false;
    }
    FilePage = false;
    SetupWizardPage();
    return true;
}

void ModuleWizard::Prev() {
    FilePage = true;
    SetupWizardPage();
}

void ModuleWizard::Plus() {
    for (ModuleRow& row : Modules) {
        if (!row.selected)
            continue;
        std::optional<long long> v = CountValue(row.count);
        long long next = v ? *v + 1 : 1;
        if (next < 1)
            next = 1;
        if (next > MaxInstanceCount)
            next = MaxInstanceCount;
        row.count = std::to_string(next);
    }
}

void ModuleWizard::Minus() {
    for (ModuleRow& row : Modules) {
        if (!row.selected)
            continue;
        std::optional<long long> v = CountValue(row.count);
        long long next = v ? *v - 1 : 1;
        if (next < 1)
            next = 1;
        if (next > MaxInstanceCount)
            next = MaxInstanceCount;
        row.count = std::to_string(next);
    }
}

bool ModuleWizard::EditCount(std::size_t row, const std::string& text) {
    if (row >= Modules.size())
        return false;
    std::optional<long long> v = CountValue(text);
    if (!v || *v < 1 || *v > MaxInstanceCount)
        return false;
    Modules[row].count = std::to_string(*v);
    return true;
}

void ModuleWizard::RemoveSelectedModules() {
    std::erase_if(Modules, [](const ModuleRow& r) { return r.selected; });
    SetupWizardPage();
}

void ModuleWizard::SortFiles(int column) {
    SortListByColumn(Files, column, SortColumn, SortAscending,
                     [](const SourceFileRow& r, int) -> const std::string& { return r.path; });
}

void ModuleWizard::SortModules(int column) {
    SortListByColumn(Modules, column, SortColumn, SortAscending,
                     [](const ModuleRow& r, int c) -> const std::string& {
                         return c == 0 ? r.count : c == 1 ? r.module : r.path;
                     });
}

std::optional<std::string> ModuleWizard::ValidateOk() const {
    // The duplicate pair that comes first: the earliest row whose name occurs again.
    std::unordered_map<std::string, std::pair<std::size_t, bool>> seen;
    seen.reserve(Modules.size());
    for (std::size_t i = 0; i < Modules.size(); ++i) {
        auto [it, inserted] = seen.try_emplace(Modules[i].module, i, false);
        if (!inserted)
            it->second.second = true;
    }
    std::optional<std::size_t> firstDuplicate;
    for (const auto& [name, entry] : seen)
        if (entry.second && (!firstDuplicate || entry.first < *firstDuplicate))
            firstDuplicate = entry.first;
    if (firstDuplicate)
        return "Error: Only one \"" + Modules[*firstDuplicate].module + "\" module can exist.";

    if (PrjMode == 'A' && project_ != nullptr) {
        for (const ModuleRow& row : Modules)
            if (project_->ModuleNameUsed(row.module))
                return "The module " + row.module + " already exists in the project.";
    }
    if (PrjMode == 'U') {
        for (const ModuleRow& row : Modules)
            if (project_ == nullptr || !project_->ModuleNameUsed(row.module))
                return "Can not update the module " + row.module +
                       " for it does not exist in the project.";
    }
    if (PrjMode != 'T') {
        for (const ModuleRow& row : Modules)
            if (row.module == TopModuleText)
                return IdenticalToTopModule(TopModuleText);
    }
    if (!IsLegalIdent(TopModuleText))
        return std::string(InvalidTopModuleName);
    if (TopModuleText.starts_with("U_"))
        return std::string(TopBeginsWithU);
    return std::nullopt;
}

std::vector<std::string> ModuleWizard::ModuleRequestLines() const {
    std::vector<std::string> lines;
    lines.push_back("R-" + (project_ != nullptr ? project_->InstNameRule() : std::string()));
    if (PrjMode == 'N') {
        lines.push_back("EI-" + TopModuleText);
    } else if (PrjMode == 'A' && project_ != nullptr) {
        ProjectNames names = project_->CurrentNames();
        for (const auto& [instance, module] : names.instances) {
            lines.push_back("EI-" + instance);
            lines.push_back("ET-" + module);
        }
        for (const std::string& wire : names.wires)
            lines.push_back("EW-" + wire);
        for (const std::string& port : names.topPorts)
            lines.push_back("EP-" + port);
    }
    bool counted = PrjMode == 'N' || PrjMode == 'A';
    // The engine reads each Verilog module with the macros its scan saw defined; a "D-" line
    // holds for the modules after it, so one is written only where they change.
    std::string defined;
    for (const ModuleRow& row : Modules) {
        if (row.kind == VerilogKind) {
            std::string names = row.defined ? *row.defined : std::string();
            if (names != defined) {
                lines.push_back("D-" + names);
                defined = std::move(names);
            }
        }
        lines.push_back("F" + std::to_string(row.kind) + "-" + row.path);
        lines.push_back("M-" + row.module + "\t" + (counted ? row.count : std::string("1")));
    }
    return lines;
}

std::string ModuleWizard::TopSelector() const {
    switch (PrjMode) {
    case 'N':
        return TopModuleText;
    case 'T':
        return InheritType ? "*T" : "*t";
    default:
        return {};
    }
}

bool ModuleWizard::Ok() {
    projectChanged_ = false;
    if (std::optional<std::string> refusal = ValidateOk()) {
        prompt_.Message(*refusal);
        return false;
    }

    const std::string request = platform::JoinLines(ModuleRequestLines());
    if (!platform::WriteFileAtomic(runner_.WorkFile("cfg.tmp"), request)) {
        if (project_ != nullptr)
            project_->LogError(OutOfMemory);
        return false;
    }

    EngineOutcome outcome =
        runner_.RunJob(EngineJob::ProjectText, runner_.ProjectTextArguments(TopSelector()));
    if (outcome.Succeeded() && project_ != nullptr) {
        std::unordered_set<std::string> added = project_->ParseProjectText(outcome.output, PrjMode);
        project_->ProjectTextParsed(PrjMode, runner_.WorkFile("qvprj.zun"));
        projectChanged_ = true;
        if (PrjMode == 'N' || PrjMode == 'A') {
            // A module the parser ignored as empty (it logs why) or that the engine gave no block
            // was not added, and no line may say it was.
            std::vector<std::string> lines;
            for (const ModuleRow& row : Modules)
                if (added.count(row.module) > 0)
                    lines.push_back("Add " + row.count +
                                    (row.count == "1" ? " module (" : " modules (") + row.module +
                                    "). Sourec file:" + row.path);
            project_->LogInfoLines(lines);
        }
        project_->UpdatePicExecute();
    } else if (!outcome.Succeeded()) {
        ReportRunFailure(outcome);
    }
    FilePage = true;
    return true;
}

void ModuleWizard::FormClose() {
    CloseHandOffBlocks();
}
