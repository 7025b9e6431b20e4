// Line routines, undo and redo, and the name lookups over the derived records.
#include "editor/model/ProjectModel.h"

#include "editor/model/Nets.h"
#include "editor/model/RecordColumns.h"

#include <cstdio>
#include <cstdlib>
#include <new>
#include <unordered_set>
#include <utility>

namespace {

const char* const NoTopPointer = "Internal error. Can not find pointer.";
const char* const NotEnoughMemoryText = "Not enough memory.";

bool SamePortName(const port& p, const std::string& instance, const std::string& portName) {
    return p.Name == portName && p.OwnerName == instance;
}

} // namespace

void ProjectModel::InsertLine(int index, std::initializer_list<std::string_view> fields) {
    try {
        InsertLine(index, MakeLine(fields));
    } catch (const std::bad_alloc&) {
        NotEnoughMemory();
    }
}

void ProjectModel::InsertLine(int index, ProjectLine line) {
    try {
        if (index < 0 || static_cast<std::size_t>(index) >= LineList.size()) {
            // An appended line without a wire mark is no line the net index counts, and one
            // without marks leaves the list of the marked lines as it was.
            const bool keepsNets = netsLines_ == LineList.size() && line[FieldKind] != "W";
            const bool keepsMarks = MarksKnown() && !line.CarriesMarks();
            LineList.push_back(std::move(line));
            NoteStructure();
            if (keepsNets)
                netsLines_ = LineList.size();
            if (keepsMarks) {
                markedIn_.push_back(0);
                markedCount_ = LineList.size();
                markedStructure_ = structure_;
            }
        } else {
            LineList.insert(LineList.begin() + index, std::move(line));
            NoteStructure();
        }
    } catch (const std::bad_alloc&) {
        NotEnoughMemory();
    }
}

bool ProjectModel::NetsAsRebuilt() const {
    return !staleWireMarks_ && ProjectLine::Edits() == editsAtRebuild_ &&
           LineList.size() == netsLines_;
}

void ProjectModel::NoteLinesDropped(std::size_t before, std::uint64_t editsBefore) {
    if (before == LineList.size())
        return;
    NoteStructure();
    if (ProjectLine::Edits() == editsBefore && netsLines_ == before)
        netsLines_ = LineList.size();
}

bool ProjectModel::PortNamesUnique() const {
    FindPortIndexed({}, {}); // indexes every port
    return !portDuplicates_;
}

namespace {

// The models alive, newest first: a line that cannot be allocated knows no model of its own, and
// the report goes to the window's model.
ProjectModel* newestModel = nullptr;

} // namespace

ProjectModel::ProjectModel() : older_(newestModel) {
    if (older_)
        older_->newer_ = this;
    newestModel = this;
}

ProjectModel::~ProjectModel() {
    if (newer_)
        newer_->older_ = older_;
    else
        newestModel = older_;
    if (older_)
        older_->newer_ = newer_;
}

void ProjectModel::ReportLineMemory() {
    for (const ProjectModel* m = newestModel; m; m = m->older_)
        if (m->MemoryPrompt)
            m->NotEnoughMemory();
    if (newestModel)
        newestModel->NotEnoughMemory();
    std::fprintf(stderr, "%s\n", NotEnoughMemoryText);
    std::exit(1);
}

void LineMemoryFailed() {
    ProjectModel::ReportLineMemory();
}

void ProjectModel::NotEnoughMemory() const {
    if (MemoryPrompt)
        MemoryPrompt->Message(NotEnoughMemoryText, "", MessageKind::Error);
    else
        std::fprintf(stderr, "%s\n", NotEnoughMemoryText);
    std::exit(1);
}

bool ProjectModel::DeleteLineRecord(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= LineList.size())
        return false;
    LineList.erase(LineList.begin() + index);
    NoteStructure();
    return true;
}

bool ProjectModel::DeletePortLine(const std::string& instance, const std::string& name,
                                  bool testOnly, bool isParameter) {
    const char wanted = isParameter ? 'R' : 'P';
    bool inBlock = false;
    for (std::size_t i = 0; i < LineList.size(); ++i) {
        const ProjectLine& line = LineList[i];
        const char kind = LineKind(line[0]);
        if (!inBlock) {
            if (kind == 'M' && line[2] == instance)
                inBlock = true;
            continue;
        }
        if (kind != 'P' && kind != 'R')
            return false;
        if (kind == wanted && line[3] == name) {
            if (!testOnly) {
                LineList.erase(LineList.begin() + static_cast<std::ptrdiff_t>(i));
                NoteStructure();
            }
            return true;
        }
    }
    return false;
}

namespace {

// Index of the instance's line by the marks of the last rebuild, or the line count when none.
// The rebuild gives every marked instance line a name of its own, and the instance's record
// points at that line until a line above it comes or goes; only then are the lines walked, so
// that edits of many instances between two rebuilds stay linear.
std::size_t MarkedInstanceLine(const ProjectModel& model, const std::string& instance) {
    const ProjectLines& lines = model.LineList;
    if (const int k = model.FindInstance(instance); k >= 0) {
        const int at = model.MduList[k].LineIndex;
        if (at >= 0 && static_cast<std::size_t>(at) < lines.size() && lines[at][FieldKind] == "M" &&
            lines[at][2] == instance)
            return static_cast<std::size_t>(at);
    }
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i][FieldKind] == "M" && lines[i][2] == instance)
            return i;
    return lines.size();
}

bool InMarkedBlock(const ProjectLine& line) {
    return line[FieldKind] == "P" || line[FieldKind] == "R";
}

} // namespace

std::string ProjectModel::GetPortLineField(const std::string& instance, const std::string& portName,
                                           int field) const {
    if (field < 0 || static_cast<std::size_t>(field) >= ProjectLineFields)
        return {};
    for (std::size_t i = MarkedInstanceLine(*this, instance) + 1; i < LineList.size(); ++i) {
        const ProjectLine& line = LineList[i];
        if (!InMarkedBlock(line))
            break;
        if (line[FieldKind] == "P" && line[3] == portName)
            return line[field];
    }
    return {};
}

bool ProjectModel::SetPortLineFields(const std::string& instance, const std::string& name,
                                     const std::string& kind, int i1, const std::string& v1, int i2,
                                     const std::string& v2, int i3, const std::string& v3) {
    std::size_t at = MarkedInstanceLine(*this, instance);
    if (at == LineList.size())
        return false;
    const ProjectLines& lines = LineList;
    if (kind != "M") {
        std::size_t i = at + 1;
        for (; i < lines.size() && InMarkedBlock(lines[i]); ++i)
            if (lines[i][3] == name && lines[i][FieldKind] == kind)
                break;
        if (i == lines.size() || !InMarkedBlock(lines[i]))
            return false;
        at = i;
    }
    bool changed = false;
    auto set = [&](int field, const std::string& value) {
        if (field < 0 || static_cast<std::size_t>(field) >= ProjectLineFields)
            return;
        // Compared through const access: a field that keeps its value leaves a shared line shared.
        if (lines[at][field] != value) {
            LineList[at][field] = value;
            changed = true;
        }
    };
    set(i1, v1);
    if (i2 != -1)
        set(i2, v2);
    if (i3 != -1)
        set(i3, v3);
    return changed;
}

bool ProjectModel::CheckTopPortName(const std::string& name, std::string* reason,
                                    bool skipWireCheck) {
    const mdu* top = TopRecord();
    if (!top) {
        LogError(NoTopPointer);
        return false;
    }
    if (name.empty()) {
        if (reason)
            *reason = "Empty wire.";
        return false;
    }
    if (top->FirstPort >= 0) {
        for (int p = top->FirstPort; p <= top->LastPort && p < static_cast<int>(PortList.size());
             ++p) {
            if (PortList[p].Owner == TopMdu && PortList[p].Name == name) {
                if (reason)
                    *reason = "Port already exists in top module.";
                return false;
            }
        }
    }
    if (skipWireCheck)
        return true;
    for (const wire& w : WireList) {
        if (w.Name == name) {
            if (reason)
                *reason = "The wire is already used by the port: " + w.PortA + "(" + w.InstA + ").";
            return false;
        }
    }
    return true;
}

std::string ProjectModel::FreeWireName(int n) {
    // The same test as CheckTopPortName for every candidate, with the names gathered once: a
    // missing top module is reported once, and the walk stays linear in ports plus wires.
    const mdu* top = TopRecord();
    if (!top) {
        LogError(NoTopPointer);
        return {};
    }
    std::unordered_set<std::string> taken;
    if (top->FirstPort >= 0)
        for (int p = top->FirstPort; p <= top->LastPort && p < static_cast<int>(PortList.size());
             ++p)
            if (PortList[p].Owner == TopMdu)
                taken.insert(PortList[p].Name);
    for (const wire& w : WireList)
        taken.insert(w.Name);
    int accepted = 0;
    for (int i = 0; i <= 99999; ++i) {
        std::string candidate = "W" + std::to_string(i);
        if (taken.count(candidate))
            continue;
        if (++accepted >= n)
            return candidate;
    }
    LogError("Too many wires.");
    return {};
}

void ProjectModel::NoteMarked(std::size_t index) {
    if (markedCount_ == LineList.size() && !markedIn_[index]) {
        markedIn_[index] = 1;
        markedLines_.push_back(static_cast<int>(index));
    }
}

void ProjectModel::NoteMarksChanged(std::size_t index) {
    if (index < dirtyIn_.size() && !dirtyIn_[index]) {
        dirtyIn_[index] = 1;
        dirtyLines_.push_back(static_cast<int>(index));
    }
}

bool ProjectModel::MarksKnown() const {
    return markedCount_ == LineList.size() && markedStructure_ == structure_ &&
           markAccesses_ == ProjectLine::MarkAccesses();
}

bool ProjectModel::SetMark(std::size_t index, std::size_t field, std::string_view value) {
    // A write of its own keeps what the model knows of the marks; one by anybody else in between
    // leaves it unknown.
    const bool known = markAccesses_ == ProjectLine::MarkAccesses();
    std::string& f = LineList[index][field];
    if (known)
        markAccesses_ = ProjectLine::MarkAccesses();
    if (f == value)
        return false;
    f.assign(value);
    if (!value.empty())
        NoteMarked(index);
    NoteMarksChanged(index);
    return true;
}

void ProjectModel::ClearMarks() {
    auto clear = [this](std::size_t i) {
        ProjectLine& line = LineList[i];
        line[FieldBrush].clear();
        line[FieldPen].clear();
        line[FieldCollapsed].clear();
        NoteMarksChanged(i);
    };
    // The list holds every line that carries marks, each once, while the lines are as they were
    // when it was exact and only SetMark wrote marks since.
    if (MarksKnown()) {
        for (int i : markedLines_) {
            clear(static_cast<std::size_t>(i));
            markedIn_[static_cast<std::size_t>(i)] = 0;
        }
    } else {
        for (std::size_t i = 0; i < LineList.size(); ++i)
            if (std::as_const(LineList)[i].CarriesMarks())
                clear(i);
        markedIn_.assign(LineList.size(), 0);
        markedCount_ = LineList.size();
        markedStructure_ = structure_;
    }
    markedLines_.clear();
    markAccesses_ = ProjectLine::MarkAccesses();
}

void ProjectModel::CopyLineList(const ProjectLines* source, ProjectLines& target) {
    if (source == &target) {
        // Copying a list onto itself keeps its lines; only the states change.
    } else if (!source) {
        target.clear();
    } else {
        // An assignment copies into the lines the target holds already, so that a snapshot of a
        // large project reuses the memory of the one before.
        try {
            target = *source;
        } catch (const std::bad_alloc&) {
            NotEnoughMemory();
        }
    }
    // Lines replaced whole are no longer those the last rebuild read.
    if (&target == &LineList && source != &target) {
        netsLines_ = static_cast<std::size_t>(-1);
        NoteStructure();
    }
    if (!source)
        return;
    if (&target == &UndoList) {
        undoEnabled_ = true;
        redoEnabled_ = false;
        saveEnabled_ = true;
    }
    Modified = true;
}

std::optional<RebuildResult> ProjectModel::UndoExecute() {
    if (!undoEnabled_)
        return std::nullopt;
    CopyLineList(&LineList, RedoList);
    CopyLineList(&UndoList, LineList);
    // The restored lines may hold fewer ports than the selection points at.
    SelList.clear();
    RebuildResult result = UpdatePicExecute(RebuildSender::MainWindow);
    undoEnabled_ = false;
    redoEnabled_ = true;
    return result;
}

std::optional<RebuildResult> ProjectModel::RedoExecute() {
    if (!redoEnabled_)
        return std::nullopt;
    CopyLineList(&LineList, UndoList);
    CopyLineList(&RedoList, LineList);
    SelList.clear();
    RebuildResult result = UpdatePicExecute(RebuildSender::MainWindow);
    redoEnabled_ = false;
    undoEnabled_ = true;
    return result;
}

void ProjectModel::GetLineColors(char kind, int lineIndex, int& brush, int& pen) const {
    if (lineIndex >= 0 && static_cast<std::size_t>(lineIndex) < LineList.size()) {
        const ProjectLine& line = LineList[lineIndex];
        auto b = ParseDecimal(line[FieldBrush]);
        auto p = ParseDecimal(line[FieldPen]);
        if (b && p) {
            brush = *b;
            pen = *p;
            return;
        }
    }
    brush = BackColor;
    pen = kind == 'M' ? MduFont.Color : InFont.Color;
}

int ProjectModel::FindInstanceIndexed(const std::string& instance) const {
    if (instIndexed_ > MduList.size()) {
        instIndex_.Clear();
        instIndexed_ = 0;
    }
    for (; instIndexed_ < MduList.size(); ++instIndexed_) {
        const std::string& name = MduList[instIndexed_].InstName;
        instIndex_.Add(RecordIndex::Hash(name), static_cast<int>(instIndexed_),
                       [&](int k) { return MduList[k].InstName == name; });
    }
    return instIndex_.Find(RecordIndex::Hash(instance),
                           [&](int k) { return MduList[k].InstName == instance; });
}

int ProjectModel::FindInstance(const std::string& instance) const {
    const int hit = FindInstanceIndexed(instance);
    if (hit >= 0 || rebuilding_)
        return hit;
    // A miss: the records may have been renamed in place since they were indexed, so the answer
    // comes from the list itself, and a name found there has the index made again.
    for (std::size_t i = 0; i < MduList.size(); ++i) {
        if (MduList[i].InstName == instance) {
            instIndex_.Clear();
            instIndexed_ = 0;
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool ProjectModel::ModuleNameUsed(const std::string& module) const {
    for (const mdu& m : MduList)
        if (m.ModuleName == module)
            return true;
    return false;
}

int ProjectModel::FindPortIndexed(const std::string& instance, const std::string& portName) const {
    if (portIndexed_ > PortList.size()) {
        portIndex_.Clear();
        portIndexed_ = 0;
        portDuplicates_ = false;
    }
    for (; portIndexed_ < PortList.size(); ++portIndexed_) {
        const port& p = PortList[portIndexed_];
        if (!portIndex_.Add(RecordIndex::Hash(p.OwnerName, p.Name), static_cast<int>(portIndexed_),
                            [&](int k) { return SamePortName(PortList[k], p.OwnerName, p.Name); }))
            portDuplicates_ = true;
    }
    return portIndex_.Find(RecordIndex::Hash(instance, portName),
                           [&](int k) { return SamePortName(PortList[k], instance, portName); });
}

int ProjectModel::FindPortQuiet(const std::string& instance, const std::string& portName) const {
    const int hit = FindPortIndexed(instance, portName);
    if (hit >= 0 || rebuilding_)
        return hit;
    // A miss: the records may have been renamed in place since they were indexed, so the answer
    // comes from the list itself, and a name found there has the index made again.
    for (std::size_t i = 0; i < PortList.size(); ++i) {
        if (SamePortName(PortList[i], instance, portName)) {
            portIndex_.Clear();
            portIndexed_ = 0;
            portDuplicates_ = false;
            return static_cast<int>(i);
        }
    }
    return -1;
}

int ProjectModel::FindPortIndex(const std::string& instance, const std::string& portName) {
    const int found = FindPortQuiet(instance, portName);
    if (found < 0)
        LogError("Internal Error. Can't find port ID.");
    return found;
}

void ProjectModel::ResetIndexes() {
    instIndex_.Clear();
    instIndexed_ = 0;
    portIndex_.Clear();
    portIndexed_ = 0;
    portDuplicates_ = false;
    rowWidth_ = 0;
    rowCounted_ = 0;
}
