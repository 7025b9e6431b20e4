// Added instances, and the comparison and application of re-read module definitions.
#include "editor/hdl/ModuleUpdate.h"

#include "editor/model/ListSort.h"
#include "editor/model/TopLevel.h"
#include "platform/Paths.h"

#include <algorithm>
#include <new>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace {

const char* const FailToInitialize = "Internal error. Fail to initialize the buffer.";

bool IsPortType(const std::string& type) {
    return type == "IN" || type == "OUT" || type == "INOUT" || type == "BUFFER";
}

// A port or parameter line of a block; a block ends at the first line of another kind (a MODULE
// or TOP line, a wire, a disabled line).
bool InBlock(const ProjectLine& line) {
    const char kind = LineKind(line[0]);
    return kind == 'P' || kind == 'R';
}

CompareRow RowOf(const ProjectLine& line) {
    CompareRow row;
    row.Name = line[3];
    const std::string& keyword = line[0];
    // A VHDL buffer output takes part as a port of its own type: it is compared, counted and
    // applied like the others.
    const char* type = keyword == "INPUT"      ? "IN"
                       : keyword == "OUTPUT"   ? "OUT"
                       : keyword == "BIDIR"    ? "INOUT"
                       : keyword == "OUTPUT_B" ? "BUFFER"
                                               : nullptr;
    if (type) {
        row.Msb = line[5];
        row.Lsb = line[6];
        row.Type = type;
    } else if (keyword == "PARAMETER") {
        row.Msb = line[1];
        row.Lsb = line[2];
        row.Type = "PARAM";
        row.Default = line[4];
    }
    return row;
}

std::size_t FirstModuleLine(const std::string& m, const ProjectLines& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i][0] == "MODULE" && lines[i][1] == m)
            return i;
    return lines.size();
}

bool NoEqualLineInBlock(std::size_t moduleLine, const ProjectLine& line,
                        const ProjectLines& lines) {
    for (std::size_t i = moduleLine + 1; i < lines.size() && InBlock(lines[i]); ++i)
        if (ModuleUpdate::LinesEqual(lines[i], line))
            return false;
    return true;
}

// The wizard reads sources by their absolute paths, while a project may name them relative to the
// directory the editor runs in: the same file by another name is no change.
bool SameSource(const std::string& a, const std::string& b) {
    return a == b || platform::AbsolutePath(a) == platform::AbsolutePath(b);
}

bool NeedsEvaluation(const std::string& bound) {
    return !bound.empty() && !IsIntStr(bound);
}

} // namespace

void CheckAddedInstance(ProjectModel& model, InstancesPage& page, WidthConfirmation& widths,
                        const std::string& inst, bool first) {
    if (inst.empty() || inst == model.TopName) {
        model.LogError("Internal error. Illegal instance " + inst + ".");
        return;
    }
    if (first)
        page.FillInstList();
    if (!page.SelectInstance(inst)) {
        model.LogWarning("Missing the instance " + inst + ".");
        return;
    }
    page.ShowInstParas(inst, true);
    widths.FillWidList(inst, page.ParamRows(), true);
    int ports = 0;
    int params = 0;
    if (!widths.ApplyPortWidths(ports, params, false, false))
        model.LogWarning("Found undefined port width in the instance: " + inst + ".");
}

const std::string& CompareRow::Column(int column) const {
    switch (column) {
    case 0:
        return Name;
    case 1:
        return Msb;
    case 2:
        return Lsb;
    case 3:
        return Type;
    case 4:
        return Default;
    default:
        return Pid;
    }
}

ModuleUpdate::ModuleUpdate(ProjectModel& model) : model_(model) {}

bool ModuleUpdate::LinesEqual(const ProjectLine& a, const ProjectLine& b) {
    const char kind = LineKind(a[0]);
    for (std::size_t f = 0; f < 8; ++f) {
        if (a[f] == b[f])
            continue;
        if (kind == 'P' && (f == 1 || f == 2))
            continue;
        if (kind == 'R' && (f == 5 || f == 7))
            continue;
        return false;
    }
    return true;
}

bool ModuleUpdate::FindEqualLine(const std::string& m, const ProjectLine& line,
                                 const ProjectLines& lines) {
    const std::size_t at = FirstModuleLine(m, lines);
    return at == lines.size() || NoEqualLineInBlock(at, line, lines);
}

// Where each module's lines are, found in one walk of each list, so that comparing every module
// of a large design does not walk both lists once per module. Valid while neither list changes.
struct ModuleUpdate::ModuleIndex {
    ModuleIndex(const ProjectLines& project, const ProjectLines& definitions) {
        for (std::size_t i = 0; i < definitions.size(); ++i)
            if (definitions[i][0] == "MODULE")
                definitionAt.try_emplace(definitions[i][1], i);
        bool beforeWires = true;
        for (std::size_t i = 0; i < project.size(); ++i) {
            const ProjectLine& line = project[i];
            const char kind = LineKind(line[0]);
            // The instances of a module are the MODULE lines before the first wire or assignment.
            if (kind == 'W' || kind == 'A')
                beforeWires = false;
            if (line[0] != "MODULE")
                continue;
            projectAt.try_emplace(line[1], i);
            if (beforeWires)
                instances[line[1]].push_back(i);
        }
    }
    // The first MODULE line of the module in the definitions and in the project; the list's size
    // when there is none.
    static std::size_t Find(const std::unordered_map<std::string, std::size_t>& at,
                            const std::string& m, std::size_t none) {
        const auto it = at.find(m);
        return it == at.end() ? none : it->second;
    }
    std::unordered_map<std::string, std::size_t> definitionAt;
    std::unordered_map<std::string, std::size_t> projectAt;
    std::unordered_map<std::string, std::vector<std::size_t>> instances;
};

bool ModuleUpdate::CompareModule(const std::string& m) {
    return CompareModule(m, ModuleIndex(model_.LineList, DefLines));
}

bool ModuleUpdate::CompareModule(const std::string& m, const ModuleIndex& index) {
    ListView1.clear();
    RelatedInstances.clear();
    OldFile.clear();
    NewFile.clear();
    OldLang.clear();
    NewLang.clear();
    UnchangedPorts = UnchangedParams = ChangedPorts = ChangedParams = DeletedPorts = DeletedParams =
        0;
    NeedRecalc = false;
    bool changed = false;
    const ProjectLines& lines = model_.LineList;

    const std::size_t projectBlock = ModuleIndex::Find(index.projectAt, m, lines.size());
    const std::size_t definition = ModuleIndex::Find(index.definitionAt, m, DefLines.size());
    if (definition < DefLines.size()) {
        NewFile = DefLines[definition][3];
        NewLang = DefLines[definition][4];
        for (std::size_t i = definition + 1; i < DefLines.size() && InBlock(DefLines[i]); ++i) {
            const ProjectLine& line = DefLines[i];
            CompareRow row = RowOf(line);
            row.Pid = std::to_string(i);
            const bool isPort = IsPortType(row.Type);
            const bool isParam = row.Type == "PARAM";
            if (projectBlock < lines.size() && !NoEqualLineInBlock(projectBlock, line, lines)) {
                UnchangedPorts += isPort;
                UnchangedParams += isParam;
            } else {
                row.Image = CompareRow::NewImage;
                changed = true;
                ChangedPorts += isPort;
                ChangedParams += isParam;
                if (isPort && (NeedsEvaluation(line[1]) || NeedsEvaluation(line[2])))
                    NeedRecalc = true;
                if (isParam && !line[6].empty())
                    NeedRecalc = true;
            }
            ListView1.push_back(std::move(row));
        }
    }

    const auto instances = index.instances.find(m);
    if (instances == index.instances.end())
        return changed;
    for (std::size_t at : instances->second)
        RelatedInstances.push_back(lines[at][2]);
    const std::size_t first = instances->second.front();
    OldFile = lines[first][3];
    OldLang = lines[first][4];
    if (SourceChanged())
        changed = true;
    // Only the first instance's block is compared.
    for (std::size_t i = first + 1; i < lines.size() && InBlock(lines[i]); ++i) {
        const ProjectLine& line = lines[i];
        if (definition < DefLines.size() && !NoEqualLineInBlock(definition, line, DefLines))
            continue;
        CompareRow row = RowOf(line);
        row.Image = CompareRow::GoneImage;
        row.Pid = "-1";
        changed = true;
        DeletedPorts += IsPortType(row.Type);
        DeletedParams += row.Type == "PARAM";
        ListView1.push_back(std::move(row));
    }
    return changed;
}

bool ModuleUpdate::SourceChanged() const {
    return !SameSource(NewFile, OldFile) || NewLang != OldLang;
}

void ModuleUpdate::PrepareUpdateDialog() {
    ComboBoxEx1.clear();
    ItemIndex = -1;
    int changedCount = 0;
    const ModuleIndex index(model_.LineList, DefLines);
    for (const ProjectLine& line : DefLines) {
        if (line[0] != "MODULE")
            continue;
        const bool changed = CompareModule(line[1], index);
        changedCount += changed;
        ComboBoxEx1.push_back({line[1], changed});
    }
    ListView1.clear();
    Memo1.clear();
    if (DefLines.empty()) {
        Label2 = "Report: (No module found)";
        return;
    }
    Label2 = "Report: (Total Modules: " + std::to_string(ComboBoxEx1.size()) +
             "; Modified Modules: " + std::to_string(changedCount) + ")";
    if (!ComboBoxEx1.empty())
        ComboBoxEx1Change(0);
}

void ModuleUpdate::ComboBoxEx1Change(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= ComboBoxEx1.size())
        return;
    ItemIndex = index;
    CompareModule(ComboBoxEx1[static_cast<std::size_t>(index)].Module);
    auto counts = [](int ports, int params) {
        return std::to_string(ports) + "/" + std::to_string(params);
    };
    auto change = [](bool changed, const std::string& before) {
        return changed ? "--Changed from: " + before : std::string("--No change.");
    };
    std::string report =
        "File: " + NewFile + "\r\n" + change(!SameSource(NewFile, OldFile), OldFile) + "\r\n" +
        "Type: " + NewLang + "\r\n" + change(NewLang != OldLang, OldLang) + "\r\n" +
        "Number of unchanged ports/parameters: " + counts(UnchangedPorts, UnchangedParams) +
        "\r\n" + "Number of changed ports/parameters: " + counts(ChangedPorts, ChangedParams) +
        "\r\n" + "Number of deleted ports/parameters: " + counts(DeletedPorts, DeletedParams) +
        "\r\n" + "Related instances:";
    for (const std::string& inst : RelatedInstances)
        report += "\r\n--" + inst;
    report += NeedRecalc ? "\r\nThe variable port width will be recalculated for some changes."
                         : "\r\nNo variable port width need to be recalculated.";
    ShowReport(report, true);
}

void ModuleUpdate::ShowReport(const std::string& text, bool clear) {
    if (clear)
        Memo1.clear();
    if (!Memo1.empty())
        Memo1 += "\r\n";
    Memo1 += text;
}

void ModuleUpdate::AddDefLine(int index, std::initializer_list<std::string_view> fields) {
    try {
        ProjectLine line{};
        std::size_t f = 0;
        for (std::string_view text : fields) {
            if (f > 16)
                break;
            line[f++] = std::string(text);
        }
        if (index < 0 || static_cast<std::size_t>(index) >= DefLines.size())
            DefLines.push_back(std::move(line));
        else
            DefLines.insert(DefLines.begin() + index, std::move(line));
    } catch (const std::bad_alloc&) {
        model_.NotEnoughMemory();
    }
}

bool ModuleUpdate::DeleteDefLine(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= DefLines.size())
        return false;
    DefLines.erase(DefLines.begin() + index);
    return true;
}

bool ModuleUpdate::ClearDefLines() {
    ListView1.clear();
    DefLines.clear();
    return DefLines.empty();
}

void ModuleUpdate::BitBtn1Click() {
    model_.TakeUndoSnapshot();
    if (ApplyModuleUpdate())
        model_.LogInfo("Module update done.");
    else
        model_.LogError("Fail to update modules.");
}

void ModuleUpdate::BitBtn2Click() {
    if (!ClearDefLines())
        model_.LogError(FailToInitialize);
}

void ModuleUpdate::ListView1ColumnClick(int column) {
    SortListByColumn(ListView1, column, SortColumn, SortAscending,
                     [](const CompareRow& r, int c) -> const std::string& { return r.Column(c); });
}

bool ModuleUpdate::ApplyModuleUpdate() {
    bool first = true;
    const std::vector<ModuleItem> items = ComboBoxEx1;
    // Made again only after a module's changes went into the lines.
    std::optional<ModuleIndex> index;
    for (const ModuleItem& item : items) {
        if (!index)
            index.emplace(model_.LineList, DefLines);
        if (!CompareModule(item.Module, *index))
            continue;
        index.reset();
        const std::vector<CompareRow> rows = ListView1;
        const std::vector<std::string> related = RelatedInstances;
        const bool recalc = NeedRecalc;
        if (SourceChanged())
            for (const std::string& inst : related)
                model_.SetPortLineFields(inst, "", "M", 3, NewFile, 4, NewLang);
        if (!ApplyToInstances(rows, related))
            return false;
        if (recalc) {
            if (UpdatePicture)
                UpdatePicture();
            else
                model_.UpdatePicExecute(RebuildSender::MainWindow);
            if (Widths)
                Widths->OpenIsolationBatch();
            for (const std::string& inst : related) {
                if (CheckAddedInstance)
                    CheckAddedInstance(inst, first);
                first = false;
            }
            if (Widths)
                Widths->CloseIsolationBatch();
        }
    }
    if (!ClearDefLines()) {
        model_.LogError(FailToInitialize);
        return false;
    }
    return true;
}

// The lines one module's update removes and inserts, gathered from one rebuild's records and put
// into the project in one pass, so that an update of many instances stays linear in the lines.
struct ModuleUpdate::Edits {
    std::vector<char> drop;
    // A line to insert before the line at Anchor (or at the end); equal anchors keep their order.
    struct Insert {
        std::size_t Anchor;
        ProjectLine Line;
    };
    std::vector<Insert> inserts;

    void Commit(ProjectLines& lines) {
        std::stable_sort(inserts.begin(), inserts.end(),
                         [](const Insert& a, const Insert& b) { return a.Anchor < b.Anchor; });
        ProjectLines out;
        out.reserve(lines.size() + inserts.size());
        std::size_t next = 0;
        for (std::size_t i = 0; i <= lines.size(); ++i) {
            for (; next < inserts.size() && inserts[next].Anchor == i; ++next)
                out.push_back(std::move(inserts[next].Line));
            if (i < lines.size() && !drop[i])
                out.push_back(std::move(lines[i]));
        }
        lines = std::move(out);
    }
};

bool ModuleUpdate::ApplyToInstances(const std::vector<CompareRow>& rows,
                                    const std::vector<std::string>& related) {
    if (UpdatePicture)
        UpdatePicture();
    else
        model_.UpdatePicExecute(RebuildSender::MainWindow);

    // Each port or parameter name the rows touch, in row order: the definition's line for a new
    // or changed one, none for one that is gone.
    struct Target {
        char Kind; // 'P' or 'R'
        std::string Name;
        const ProjectLine* Def = nullptr;
    };
    std::vector<Target> targets;
    std::unordered_map<std::string, std::size_t> targetOf;
    for (const CompareRow& row : rows) {
        if (row.Type.empty() || row.Image == CompareRow::NoImage)
            continue;
        const char kind = row.Type == "PARAM" ? 'R' : 'P';
        const std::string key = std::string(1, kind) + row.Name;
        auto [it, added] = targetOf.try_emplace(key, targets.size());
        if (added)
            targets.push_back({kind, row.Name, nullptr});
        if (row.Image != CompareRow::NewImage)
            continue;
        const std::optional<int> pid = IntStrValue(row.Pid);
        if (!pid || *pid < 0 || static_cast<std::size_t>(*pid) >= DefLines.size()) {
            model_.LogError("Internal error. Illegal number.");
            return false;
        }
        targets[it->second].Def = &DefLines[static_cast<std::size_t>(*pid)];
    }
    const bool inserting = std::any_of(targets.begin(), targets.end(),
                                       [](const Target& t) { return t.Def != nullptr; });

    ProjectLines& lines = model_.LineList;
    Edits edits;
    edits.drop.assign(lines.size(), 0);
    // Lines of a port that go only when all of the port's wires can go, and the line that then
    // takes their place.
    struct Replacement {
        std::string Inst;
        std::string Port;
        std::vector<std::size_t> Old;
        const ProjectLine* Def;
        std::size_t Anchor;
    };
    std::vector<Replacement> pending;
    std::unordered_set<std::string> isolated; // instance TAB port whose wires go
    auto endKey = [](const std::string& inst, const std::string& port) {
        return inst + '\t' + port;
    };

    for (const std::string& inst : related) {
        const int k = model_.FindInstance(inst);
        const int at = k < 0 ? -1 : model_.MduList[k].LineIndex;
        if (at < 0 || static_cast<std::size_t>(at) >= lines.size() || lines[at][2] != inst) {
            if (!inserting)
                continue;
            model_.LogError("Internal error. Missing instance:" + inst + ".");
            return false;
        }
        const mdu& m = model_.MduList[k];
        std::unordered_map<std::string, std::vector<std::size_t>> byName;
        for (std::size_t i = static_cast<std::size_t>(at) + 1;
             i < lines.size() && InBlock(lines[i]); ++i)
            byName[std::string(1, LineKind(lines[i][0])) + lines[i][3]].push_back(i);
        const std::size_t afterParams =
            std::min(static_cast<std::size_t>(at) + m.ParaCount + 1, lines.size());
        const std::size_t paramAnchor =
            m.FirstPort >= 0 ? static_cast<std::size_t>(model_.PortList[m.FirstPort].LineIndex)
                             : afterParams;
        const std::size_t portAnchor =
            m.LastPort >= 0 ? static_cast<std::size_t>(model_.PortList[m.LastPort].LineIndex) + 1
                            : afterParams;

        for (const Target& t : targets) {
            const auto found = byName.find(std::string(1, t.Kind) + t.Name);
            const std::vector<std::size_t> none;
            const std::vector<std::size_t>& old = found == byName.end() ? none : found->second;
            if (t.Def) {
                // An instance whose line is the new one already keeps it (and its wires); other
                // lines of the name go, so that no name is there twice.
                const auto equal = std::find_if(old.begin(), old.end(), [&](std::size_t i) {
                    return LinesEqual(lines[i], *t.Def);
                });
                if (equal != old.end()) {
                    for (std::size_t i : old)
                        if (i != *equal)
                            edits.drop[i] = 1;
                    continue;
                }
            }
            if (t.Kind == 'R') {
                for (std::size_t i : old)
                    edits.drop[i] = 1;
                if (t.Def)
                    edits.inserts.push_back({paramAnchor, *t.Def});
                continue;
            }
            // A port the instance does not have yet has no wires; asking for it would walk every
            // port of the project, for every instance of a module that gained a port.
            if (!old.empty() && model_.FindPortQuiet(inst, t.Name) >= 0)
                isolated.insert(endKey(inst, t.Name));
            pending.push_back({inst, t.Name, old, t.Def, portAnchor});
        }
    }

    // Every wire of an isolated port goes, but one to a combined bus port of the top module: it
    // stays, and so does the port's line.
    std::unordered_set<std::string> stayed;
    for (std::size_t i = 0; i < lines.size() && !isolated.empty(); ++i) {
        const ProjectLine& line = lines[i];
        if (LineKind(line[0]) != 'W' || line[FieldSuggestion] == "S")
            continue;
        const std::string a = endKey(line[1], line[2]);
        const std::string b = endKey(line[3], line[4]);
        const bool endA = isolated.count(a) > 0;
        const bool endB = isolated.count(b) > 0;
        if (!endA && !endB)
            continue;
        if (WireOfModulePortStays(model_, line)) {
            if (endA)
                stayed.insert(a);
            if (endB)
                stayed.insert(b);
            continue;
        }
        edits.drop[i] = 1;
    }
    for (Replacement& r : pending) {
        if (stayed.count(endKey(r.Inst, r.Port)))
            continue;
        for (std::size_t i : r.Old)
            edits.drop[i] = 1;
        if (r.Def)
            edits.inserts.push_back({r.Anchor, *r.Def});
    }
    for (Edits::Insert& ins : edits.inserts)
        for (std::size_t f = 8; f < ProjectLineFields; ++f)
            ins.Line[f].clear();
    try {
        edits.Commit(lines);
    } catch (const std::bad_alloc&) {
        model_.NotEnoughMemory();
    }
    return true;
}
