// The rebuild: every derived record made again from the project lines, in line order, with the
// repairs the lines need and, for a new project, its settings lines applied.
#include "editor/model/ProjectModel.h"
#include "editor/model/ProjectParser.h"

#include <charconv>
#include <cstdlib>
#include <iterator>
#include <unordered_map>
#include <utility>

struct ProjectModel::RebuildState {
    int current = -1; // MduList index of the instance whose block the lines are in; -1 none
    std::string currentName;
    int firstOrphanLine = -1; // first line that would need an instance but has none
    // The block's head was refused or disabled: its lines go with it, to no other instance.
    bool headRefused = false;
    // Per repaired base name, the first suffix not yet known to be taken: names are only added
    // during a rebuild, so a taken candidate stays taken.
    std::unordered_map<std::string, int> nextSuffix;
};

namespace {

const char* const UnknownParameters = "Unknown parameters at line ";

std::string Decimal(long long v) {
    return std::to_string(v);
}

// The rebuild writes the marks of every line, and most are right from the last rebuild already:
// such a mark is compared, not copied again.
void SetKindMark(std::string& field, std::string_view value) {
    if (field != value)
        field.assign(value);
}

std::string HeadWithoutName(const char* head, int line, const char* missing) {
    return std::string("A ") + head + " line without a " + missing + " at line " + Decimal(line) +
           " is ignored with its port and parameter lines.";
}

void SetIndexMark(std::string& field, long long index) {
    if (!HoldsDecimal(field, index))
        field = std::to_string(index);
}

} // namespace

void ProjectModel::ClearModel() {
    MduList.clear();
    PortList.clear();
    WireList.clear();
    SuggestList.clear();
    TopMdu = -1;
    ResetIndexes();
}

RebuildResult ProjectModel::UpdatePicExecute(RebuildSender sender) {
    RebuildResult result;
    ClearModel();
    FirstMduLine = static_cast<int>(LineList.size()) - 1;
    TopName.clear();

    RebuildState st;
    // A rebuild may repair and report every line: the log's view takes the reports at once.
    MessageLog::Batch batch(Log);
    rebuilding_ = true;
    namesUnique_ = true;
    wireEnds_.clear();
    staleWireMarks_ = false;
    const std::uint64_t written = Log.Written();
    const std::size_t count = LineList.size();
    // The lines that carry marks are found on the way, for ClearMarks.
    markedLines_.clear();
    markedIn_.assign(count, 0);
    for (std::size_t i = 0; i < count; ++i) {
        const int line = static_cast<int>(i);
        if (sender == RebuildSender::FileNewPrj)
            ApplySettingsLine(st, line, result);
        RebuildLine(st, line);
        if (std::as_const(LineList)[i].CarriesMarks()) {
            markedIn_[i] = 1;
            markedLines_.push_back(line);
        }
    }
    rebuilding_ = false;
    ++recordsSerial_;

    if (st.firstOrphanLine >= 0)
        LogWarning("Lines without a TOP or MODULE line above them are ignored, the first at line " +
                   Decimal(st.firstOrphanLine) + ".");
    const bool illegal = PrjOpen && TopName.empty();
    // A rebuild that reported something reports it again each time: no refresh stands in for it.
    NoteRebuilt(illegal || Log.Written() != written);

    if (illegal) {
        LogError(IllegalProjectText);
        result.ClosePrjRequested = true;
        return result;
    }

    ComputeModuleWidths();
    auto [w, h] = PictureExtent(0, 0);
    result.PictureWidth = w;
    result.PictureHeight = h;
    result.CountsText = CountsText();
    result.Completed = true;
    result.RunScrollBoxResize = sender != RebuildSender::PaintBox1;
    return result;
}

void ProjectModel::NoteRebuilt(bool reported) {
    const std::size_t count = LineList.size();
    ++rebuildSerial_;
    editsAtRebuild_ = ProjectLine::Edits();
    netsLines_ = count;
    recordsLines_ = count;
    structureAtRebuild_ = structure_;
    rebuildReported_ = reported;
    markedCount_ = count;
    markedStructure_ = structure_;
    markAccesses_ = ProjectLine::MarkAccesses();
    dirtyLines_.clear();
    dirtyIn_.assign(count, 0);
}

ProjectModel::RecordLine ProjectModel::RereadRecordColours(std::size_t i, bool& changed) {
    // Fields 10 and 11 are the rebuild's own: they lead from the line to its record, and the
    // record's line index leads back while the line has not moved.
    const ProjectLine& line = std::as_const(LineList)[i];
    const std::string& kind = line[FieldKind];
    const bool isPort = kind == "P";
    if (!isPort && kind != "M")
        return RecordLine::None;
    const auto k = ParseDecimal(line[FieldIndex]);
    const int at = static_cast<int>(i);
    if (!k || *k < 0)
        return RecordLine::Moved;
    const std::size_t r = static_cast<std::size_t>(*k);
    int brush = 0;
    int pen = 0;
    int* brushField = nullptr;
    int* penField = nullptr;
    if (isPort) {
        // A collapsed flag of its own moves the ports below it: that is the rebuild's.
        if (r >= PortList.size() || PortList[r].LineIndex != at ||
            PortList[r].Collapsed != (line[FieldCollapsed] == "Y"))
            return RecordLine::Moved;
        brushField = &PortList[r].BrushColor;
        penField = &PortList[r].PenColor;
    } else {
        if (r >= MduList.size() || MduList[r].LineIndex != at)
            return RecordLine::Moved;
        brushField = &MduList[r].BrushColor;
        penField = &MduList[r].PenColor;
    }
    GetLineColors(isPort ? 'P' : 'M', at, brush, pen);
    changed |= brush != *brushField || pen != *penField;
    *brushField = brush;
    *penField = pen;
    return isPort ? RecordLine::Port : RecordLine::Instance;
}

bool ProjectModel::RefreshMarks(bool& changed) {
    changed = false;
    // A mark written by anybody but SetMark and ClearMarks may be on a line the model does not
    // know of.
    if (rebuildReported_ || LineList.size() != recordsLines_ || structure_ != structureAtRebuild_ ||
        ProjectLine::Edits() != editsAtRebuild_ || markAccesses_ != ProjectLine::MarkAccesses())
        return false;
    // Every line the records were made from is as it was but for its marks.
    for (int at : dirtyLines_)
        if (RereadRecordColours(static_cast<std::size_t>(at), changed) == RecordLine::Moved)
            return false;
    for (int at : dirtyLines_)
        dirtyIn_[static_cast<std::size_t>(at)] = 0;
    dirtyLines_.clear();
    return true;
}

void ProjectModel::RebuildLine(RebuildState& st, int i) {
    // The lines are read through const access, so that reading never makes a line shared with
    // the undo copy a copy of its own; only the run-time marks and the rare repairs write.
    const ProjectLine& line = std::as_const(LineList)[i];
    ProjectLine& marks = LineList[i];
    if (line[0].empty()) {
        NoteUnmarkedLine(line);
        return;
    }
    auto orphan = [&] {
        // A damaged file can give port or parameter lines that no instance owns: they make no
        // record and keep their text, and lose the back reference of an earlier rebuild.
        if (st.firstOrphanLine < 0 && !st.headRefused)
            st.firstOrphanLine = i;
        marks[FieldKind].clear();
        marks[FieldIndex].clear();
    };
    // The lines of a refused or disabled head belong to no instance; the one above must not
    // take them.
    auto refuseHead = [&] {
        st.current = -1;
        st.headRefused = true;
        // New top-level ports go before the first block after the top module's: one of a
        // refused head would take them along.
        if (TopMdu >= 0 && i < FirstMduLine)
            FirstMduLine = i;
        marks[FieldKind].clear();
        marks[FieldIndex].clear();
    };
    switch (line[0].front()) {
    case 'T':
        st.currentName = line[2];
        if (!TopName.empty()) {
            LogError("More than one top module.");
            refuseHead();
            return;
        }
        // A TOP line without a name can not be the top module, and a later TOP line with a name
        // is: a record for it would be a second top module beside that one.
        if (line[2].empty()) {
            LogWarning(HeadWithoutName("TOP", i, "name"));
            refuseHead();
            return;
        }
        TopName = line[2];
        st.headRefused = false;
        BuildInstance(st, i, true);
        return;
    case 'M':
        // Without a module name the record would pass for the top module, and no generator
        // could instantiate it.
        if (line[1].empty()) {
            LogWarning(HeadWithoutName("MODULE", i, "module name"));
            refuseHead();
            return;
        }
        st.headRefused = false;
        RepairInstanceName(st, i);
        if (i < FirstMduLine)
            FirstMduLine = i;
        st.currentName = line[2];
        BuildInstance(st, i, false);
        return;
    case 'P': {
        if (st.current < 0) {
            orphan();
            return;
        }
        mdu& m = MduList[st.current];
        ++m.ParaCount;
        SetKindMark(marks[FieldKind], "R");
        marks[FieldIndex].clear();
        for (std::size_t f = 1; f <= 7; ++f)
            m.Params.push_back(line[f]);
        return;
    }
    case 'I':
    case 'O':
    case 'B':
    case 'K':
        if (st.current < 0) {
            orphan();
            return;
        }
        BuildPort(st, i);
        return;
    case 'W':
        BuildWire(i);
        return;
    case '#':
        if (IsDisabledHead(line[0]))
            refuseHead();
        else
            NoteUnmarkedLine(line);
        return;
    default:
        NoteUnmarkedLine(line);
        return;
    }
}

void ProjectModel::BuildWire(int i) {
    const ProjectLine& line = std::as_const(LineList)[i];
    ProjectLine& marks = LineList[i];
    const bool suggestion = line[FieldSuggestion] == "S";
    if (suggestion) {
        NoteUnmarkedLine(line);
    } else {
        SetKindMark(marks[FieldKind], "W");
        SetIndexMark(marks[FieldIndex], static_cast<long long>(WireList.size()));
    }
    wire& w = (suggestion ? SuggestList : WireList).emplace_back();
    w.Name = line[5];
    w.InstA = line[1];
    w.PortA = line[2];
    w.InstB = line[3];
    w.PortB = line[4];
    // The ends found here are the net index's, so that no query looks them up by name again.
    const int a = FindPortQuiet(w.InstA, w.PortA);
    const int b = FindPortQuiet(w.InstB, w.PortB);
    if (suggestion) {
        PlaceWireEnds(w, a, b, SmartMarkColor, SmartWireColor, true);
    } else {
        PlaceWireEnds(w, a, b, WireEndColor, WireColor, false);
        wireEnds_.push_back({a, b, i, line[0] == "WIRE"});
    }
}

bool ProjectModel::RebuildWires(RebuildResult& result) {
    if (rebuildReported_ || recordsLines_ == static_cast<std::size_t>(-1))
        return false;
    const std::size_t count = LineList.size();
    for (port& p : PortList)
        p.Lone = true;
    WireList.clear();
    SuggestList.clear();
    wireEnds_.clear();
    staleWireMarks_ = false;
    markedLines_.clear();
    markedIn_.assign(count, 0);
    // Each instance and port line must still be where its record was made from (fields 10 and
    // 11 lead from the line to the record and the record's line index back), with the collapsed
    // flag the record was laid out with; what else the lines hold is wires, assignments and
    // settings, which make no instance or port.
    std::size_t instances = 0;
    std::size_t ports = 0;
    bool kept = true;
    // Whether the lines here follow an instance's line (else a disabled head's, whose lines make
    // no record and carry no mark).
    bool owned = false;
    rebuilding_ = true;
    for (std::size_t i = 0; i < count && kept; ++i) {
        const int at = static_cast<int>(i);
        const ProjectLine& line = std::as_const(LineList)[i];
        const std::string& kind = line[FieldKind];
        bool changed = false;
        if (kind == "P" || kind == "M") {
            switch (RereadRecordColours(i, changed)) {
            case RecordLine::Port:
                ++ports;
                break;
            case RecordLine::Instance:
                ++instances;
                owned = true;
                break;
            default:
                kept = false;
                break;
            }
        } else if (kind != "R") {
            const std::string& keyword = line[0];
            switch (keyword.empty() ? '\0' : keyword.front()) {
            case 'W':
                BuildWire(at);
                break;
            case 'T':
            case 'M':
                // A line that would make an instance the records lack.
                kept = false;
                break;
            case 'P':
            case 'I':
            case 'O':
            case 'B':
            case 'K':
                // A port or parameter an instance owns is one the records lack; one without an
                // owner makes no record.
                kept = !owned;
                NoteUnmarkedLine(line);
                break;
            case '#':
                if (IsDisabledHead(keyword))
                    owned = false;
                NoteUnmarkedLine(line);
                break;
            default:
                NoteUnmarkedLine(line);
                break;
            }
        }
        if (line.CarriesMarks()) {
            markedIn_[i] = 1;
            markedLines_.push_back(at);
        }
    }
    rebuilding_ = false;
    if (!kept || instances != MduList.size() || ports != PortList.size()) {
        // The wires, the wire ends and the list of marked lines were made again only in part:
        // none of them is to be trusted until the whole rebuild, and clearing the marks walks
        // every line.
        recordsLines_ = static_cast<std::size_t>(-1);
        netsLines_ = static_cast<std::size_t>(-1);
        markedCount_ = static_cast<std::size_t>(-1);
        return false;
    }
    NoteRebuilt(false);
    // The picture's extent is left out: the callers draw on the picture the rebuild sized.
    result = RebuildResult{};
    result.CountsText = CountsText();
    result.Completed = true;
    return true;
}

std::string ProjectModel::CountsText() const {
    return "I/P/W:" + Decimal(static_cast<long long>(MduList.size())) + "/" +
           Decimal(static_cast<long long>(PortList.size())) + "/" +
           Decimal(static_cast<long long>(WireList.size()));
}

void ProjectModel::BuildInstance(RebuildState& st, int i, bool isTop) {
    const ProjectLine& line = std::as_const(LineList)[i];
    mdu m;
    if (isTop) {
        m.InstName = line[2];
        m.Title = line[3].empty() ? line[2] : line[3];
    } else {
        m.ModuleName = line[1];
        m.InstName = line[2];
        m.SrcPath = line[3];
        m.Language = line[4];
        m.Compact = line[5] == "Y";
    }
    m.LineIndex = i;
    // A top module named like an earlier instance, or a name that could not be repaired.
    if (namesUnique_ && FindInstance(m.InstName) >= 0)
        namesUnique_ = false;
    const int index = static_cast<int>(MduList.size());
    MduList.push_back(std::move(m));
    if (isTop)
        TopMdu = index;
    st.current = index;
    int brush = 0;
    int pen = 0;
    GetLineColors('M', i, brush, pen);
    SetKindMark(LineList[i][FieldKind], "M");
    SetIndexMark(LineList[i][FieldIndex], index);
    PlaceInstance(index, brush, pen);
}

void ProjectModel::RepairInstanceName(RebuildState& st, int i) {
    const std::string name = std::as_const(LineList)[i][2];
    if (FindInstance(name) < 0)
        return;
    int& n = st.nextSuffix[name];
    for (; n < 30000; ++n) {
        std::string candidate = name + Decimal(n);
        if (FindInstance(candidate) < 0) {
            ++n; // this candidate is taken from now on
            LineList[i][2] = candidate;
            LogInfo("Improve the instance " + candidate + " automatically.");
            return;
        }
    }
    LogError("Found duplicate instance name and failed to fix it.");
}

void ProjectModel::BuildPort(RebuildState& st, int i) {
    const ProjectLine& line = std::as_const(LineList)[i];
    const bool msbEmpty = line[1].empty();
    const bool lsbEmpty = line[2].empty();
    if (msbEmpty != lsbEmpty) {
        LineList[i][0] = "#" + line[0];
        LineList[i][FieldKind].clear();
        LineList[i][FieldIndex].clear();
        LogError("Wrong width declaration at line " + Decimal(i) + ".");
        return;
    }
    // The record is made in its place in the list: a port holds five texts, and a move of them
    // per port is a good part of what the rebuild costs.
    const int index = static_cast<int>(PortList.size());
    port& p = PortList.emplace_back();
    if (!msbEmpty) {
        auto msb = ParseDecimal(line[1]);
        auto lsb = ParseDecimal(line[2]);
        p.Numeric = msb && lsb;
        if (p.Numeric) {
            p.Msb = *msb;
            p.Lsb = *lsb;
            const long long span = std::llabs(static_cast<long long>(p.Msb) - p.Lsb);
            p.Span = span > 2147483647LL ? 2147483647 : static_cast<int>(span);
            char text[24];
            char* end = std::to_chars(text, text + 11, p.Msb).ptr;
            *end++ = ':';
            end = std::to_chars(end, text + sizeof text, p.Lsb).ptr;
            p.WidthText.assign(text, end);
        }
    }
    p.MsbExpr = line[5];
    p.LsbExpr = line[6];
    if (!p.Numeric)
        p.WidthText.append(line[5]).append(":").append(line[6]);
    switch (line[0].front()) {
    case 'O':
        p.Kind = 'O';
        break;
    case 'B':
        p.Kind = 'B';
        break;
    case 'K':
        p.Kind = 'V';
        break;
    default:
        p.Kind = 'I';
        break;
    }
    p.Name = line[3];
    p.OwnerName = st.currentName;
    p.Owner = st.current;
    p.Collapsed = line[FieldCollapsed] == "Y";
    p.Combined = line[4] == "Y";
    p.LineIndex = i;
    p.Lone = true;
    int brush = 0;
    int pen = 0;
    GetLineColors('P', i, brush, pen);
    mdu& owner = MduList[st.current];
    if (owner.FirstPort < 0)
        owner.FirstPort = index;
    owner.LastPort = index;
    SetKindMark(LineList[i][FieldKind], "P");
    SetIndexMark(LineList[i][FieldIndex], index);
    PlacePort(index, brush, pen);
}

void ProjectModel::ApplySettingsLine(RebuildState&, int i, RebuildResult& result) {
    const ProjectLine& line = std::as_const(LineList)[i];
    // Only the settings lines themselves, a letter and "S": any other line is carried along
    // unchanged. The save writes fresh settings lines before all others, so another line that
    // set a member here would set it after them at the next open, and change the project.
    if (line[0].size() != 2 || line[0][1] != 'S')
        return;
    auto unknown = [&] { LogWarning(UnknownParameters + Decimal(i)); };
    auto font = [&](FontValue& f) {
        // A font field that is not a number is reported as the colour and size lines are; the
        // properties before it keep their new values.
        if (FontFromFields(line, f) != 0)
            unknown();
        result.SettingsApplied = true;
    };
    switch (line[0].front()) {
    case 'H':
        font(MduFont);
        return;
    case 'G':
        font(InFont);
        return;
    case 'C':
        font(OutFont);
        return;
    case 'D':
        font(InoutFont);
        return;
    case 'J':
        font(VarFont);
        return;
    case 'N':
        font(ParaMduFont);
        return;
    case 'Q':
        font(AppMisc.HdlFont);
        result.HdlFontChanged = true;
        return;
    case 'R':
        font(AppMisc.MsgFont);
        result.MsgFontChanged = true;
        return;
    case 'E': {
        int* const colours[] = {&BackColor,      &PointedBrush,   &PointedPen, &FriendBrush,
                                &FriendPen,      &UnmatchedColor, &WireColor,  &WireEndColor,
                                &SmartWireColor, &SmartMarkColor, &LoneColor,  &MainPrtColor};
        result.SettingsApplied = true;
        for (std::size_t k = 0; k < std::size(colours); ++k) {
            auto v = ParseDecimal(line[k + 1]);
            if (!v) {
                unknown();
                return;
            }
            *colours[k] = *v;
        }
        return;
    }
    case 'F': {
        int* const sizes[] = {&AutoScrollStep, &LeftMargin,    &TopMargin,  &MduMargin,
                              &ColMargin,      &MduPrtMargin,  &PrtMargin,  &WireEndSize,
                              &MaxViewHeight,  &CompactMargin, &SizeF11,    &TitleHeight,
                              &PrtHeight,      &PrtWidth,      &RightSlack, &BottomSlack};
        result.SettingsApplied = true;
        for (std::size_t k = 0; k < std::size(sizes); ++k) {
            auto v = ParseDecimal(line[k + 1]);
            if (!v) {
                unknown();
                break;
            }
            *sizes[k] = *v;
        }
        // A zero or negative size would break the layout; the sizes are kept within the ranges
        // the layout works with, and the user is told once for the line.
        if (ClampLayoutSizes())
            LogWarning("Sizes out of range at line " + Decimal(i) +
                       " were set to the nearest usable value.");
        // The instances placed so far keep their places; the ones after this line are placed
        // with the new sizes, to the right of the earlier ones measured anew.
        rowWidth_ = RowWidthOf(rowCounted_);
        return;
    }
    case 'L': {
        ConfirmParam = line[2] == "Y";
        ViewMode = line[3] == "3" ? '3' : line[3] == "2" ? '2' : '1';
        StrictRule = line[4] == "Y";
        if (line[5].empty()) {
            AssignOpenOut = 'N';
        } else {
            AssignOpenOut = NormalAssignOpenOut(line[5].front());
            if (AssignOpenOut != line[5].front())
                LogWarning("Unknown value for open outputs at line " + Decimal(i) +
                           "; NONE is used.");
        }
        result.SettingsApplied = true;
        result.ViewModeChanged = true;
        return;
    }
    default:
        return;
    }
}
