// Press, move and release on the canvas, the selection and the highlighting of linked ports.
#include "editor/canvas/CanvasController.h"

#include "editor/model/ExternalEditor.h"
#include "editor/model/Nets.h"
#include "editor/model/Prompt.h"
#include "editor/model/RecordColumns.h"
#include "editor/model/TopLevel.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <new>
#include <optional>

namespace {

const char* const MissingInstance = "Missing the instance.";
const int HighlightRed = 255;
const int HighlightWhite = 0xFFFFFF;
const int UnmatchedBrush = 16777215;

std::string Decimal(int v) {
    return std::to_string(v);
}

// Whether a line moves with its instance's block: parameters, ports of every keyword, disabled and
// empty lines.
bool InBlock(const ProjectLine& line) {
    if (line[0].empty())
        return true;
    switch (line[0].front()) {
    case 'I':
    case 'O':
    case 'B':
    case 'K':
    case '#':
    case 'P':
        return true;
    default:
        return false;
    }
}

// Takes the line at from out and puts it at to, as a list move does; only the lines between the
// two places shift.
void MoveLine(ProjectLines& lines, std::size_t from, std::size_t to) {
    if (from == to || from >= lines.size() || to >= lines.size())
        return;
    const auto at = [&lines](std::size_t i) {
        return lines.begin() + static_cast<std::ptrdiff_t>(i);
    };
    if (from < to)
        std::rotate(at(from), at(from + 1), at(to + 1));
    else
        std::rotate(at(to), at(from), at(from + 1));
}

} // namespace

int CompareIntAsc(int a, int b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

int CompareIntDesc(int a, int b) {
    return CompareIntAsc(b, a);
}

CanvasController::CanvasController(ProjectModel& model, const ViewState& view, CanvasHost& host)
    : model_(model), view_(view), host_(host) {}

void CanvasController::SetCursor(int slot) {
    if (host_.SetCursor)
        host_.SetCursor(slot);
}

void CanvasController::SetStatus(int panel, const std::string& text) {
    if (host_.SetStatusText)
        host_.SetStatusText(panel, text);
}

void CanvasController::Rebuild() {
    if (host_.Rebuild)
        host_.Rebuild();
    else
        model_.UpdatePicExecute(RebuildSender::MainWindow);
}

void CanvasController::RebuildWires() {
    if (host_.RebuildWires) {
        host_.RebuildWires();
        return;
    }
    RebuildResult result;
    if (host_.Rebuild || !model_.RebuildWires(result))
        Rebuild();
}

void CanvasController::RefreshMarks() {
    if (host_.RefreshMarks) {
        host_.RefreshMarks();
        return;
    }
    // A host without the refresh rebuilds after every gesture.
    bool changed = false;
    if (host_.Rebuild || !model_.RefreshMarks(changed))
        Rebuild();
}

void CanvasController::ShowSelectionCount() {
    SetStatus(SelectionPanel, "Sel:" + Decimal(static_cast<int>(model_.SelList.size())));
}

char CanvasController::HitTest(int x, int y, int& index) const {
    const ProjectModel& m = model_;
    if (x < m.LeftMargin || y < m.TopMargin)
        return 'N';
    // The first record in list order that holds the point, among those filed near its column.
    const RecordColumns& columns = m.Columns();
    int first = -1;
    columns.Instances.Near(x, x, [&](int i) {
        const mdu& d = m.MduList[static_cast<std::size_t>(i)];
        if ((first < 0 || i < first) && x >= d.X && x <= d.X + d.Width && y >= d.Y &&
            y <= d.Y + m.TitleHeight)
            first = i;
    });
    if (first >= 0) {
        index = first;
        return 'M';
    }
    columns.Ports.Near(x, x, [&](int i) {
        const port& p = m.PortList[static_cast<std::size_t>(i)];
        const int h = p.Collapsed ? 0 : m.PrtHeight;
        if ((first < 0 || i < first) && x >= p.X && x <= p.X + m.PrtWidth && y >= p.Y &&
            y <= p.Y + h)
            first = i;
    });
    if (first >= 0) {
        index = first;
        return 'P';
    }
    return 'N';
}

void CanvasController::ClearSelection() {
    model_.SelList.clear();
    ShowSelectionCount();
}

int CanvasController::SelectionIndexOf(int portIndex) const {
    const auto& sel = model_.SelList;
    auto it = std::find(sel.begin(), sel.end(), portIndex);
    return it == sel.end() ? -1 : static_cast<int>(it - sel.begin());
}

bool CanvasController::PortInRubberBand(const port& p) const {
    const int left = std::min(RubberRect[0], RubberRect[2]);
    const int right = std::max(RubberRect[0], RubberRect[2]);
    const int top = std::min(RubberRect[1], RubberRect[3]);
    const int bottom = std::max(RubberRect[1], RubberRect[3]);
    auto inside = [&](int x, int y) { return x >= left && x <= right && y >= top && y <= bottom; };
    const int x2 = p.X + model_.PrtWidth;
    const int y2 = p.Y + model_.PrtHeight;
    return inside(p.X, p.Y) || inside(x2, p.Y) || inside(p.X, y2) || inside(x2, y2);
}

bool CanvasController::HighlightObject(char kind, int index, bool hideUnmatched,
                                       const NetIndex* nets) {
    std::string key = "NULL";
    bool changed = false;
    if (kind == 'M') {
        key = "M" + Decimal(index);
        changed = MarkObjectAndLinks(key, HighlightRed, HighlightWhite, HighlightRed,
                                     HighlightWhite, 0, hideUnmatched, nets);
    } else if (kind == 'P' && MouseMode != '2') {
        key = "P" + Decimal(index);
        changed =
            MarkObjectAndLinks(key, model_.PointedBrush, model_.PointedPen, model_.FriendBrush,
                               model_.FriendPen, index, hideUnmatched, nets);
    } else {
        changed = key != lastHighlightKey_;
    }
    lastHighlightKey_ = key;
    return changed;
}

namespace {

// One net a port's wire lines lead to: its head and the other ends of the lines it heads, as
// numbers of the net index.
struct LinkedNet {
    int Head = -1;
    std::vector<int> Members;
};

// The heads of a port's wires (of), each once, at its last place: marking a net again writes the
// same fields again, so a net's head marks its net once, not once per line of it. Only lines whose
// keyword is "WIRE" itself lead anywhere.
void HeadsOfWires(const NetIndex& nets, std::span<const int> of, std::vector<int>& heads) {
    heads.clear();
    for (auto it = of.rbegin(); it != of.rend(); ++it) {
        const NetIndex::Wire& w = nets.WireAt(*it);
        if (!w.WireKeyword)
            continue;
        if (std::find(heads.begin(), heads.end(), w.A) == heads.end())
            heads.push_back(w.A);
    }
    std::reverse(heads.begin(), heads.end());
}

// The other ends of the wires a head heads, in line order.
void AddMembers(const NetIndex& nets, LinkedNet& net) {
    for (int w : nets.WiresHeadedBy(net.Head)) {
        const NetIndex::Wire& wire = nets.WireAt(w);
        if (wire.WireKeyword)
            net.Members.push_back(wire.B);
    }
}

// The nets whose ports are marked with the port of end self: the heads of its wires and the ends
// of the lines each of them heads.
std::vector<LinkedNet> LinkedNetsOf(const NetIndex& nets, int self) {
    std::vector<int> heads;
    HeadsOfWires(nets, nets.WiresOf(self), heads);
    std::vector<LinkedNet> out(heads.size());
    for (std::size_t h = 0; h < heads.size(); ++h) {
        out[h].Head = heads[h];
        AddMembers(nets, out[h]);
    }
    return out;
}

// The line carries the marks of the record a highlight key ("P7", "M2") names: fields 10 and 11
// joined are the key.
bool CarriesKey(const ProjectLine& l, const std::string& key) {
    return l[FieldKind].size() + l[FieldIndex].size() == key.size() &&
           key.compare(0, l[FieldKind].size(), l[FieldKind]) == 0 &&
           key.compare(l[FieldKind].size(), std::string::npos, l[FieldIndex]) == 0;
}

// The line of the record a highlight key names: the record's own line while it carries the
// mark, else the first line that does.
int KeyedLine(const ProjectModel& m, const std::string& key) {
    const ProjectLines& lines = m.LineList;
    int at = -1;
    const auto n = ParseDecimal(std::string_view(key).substr(1));
    if (n && *n >= 0) {
        if (key.front() == 'M' && static_cast<std::size_t>(*n) < m.MduList.size())
            at = m.MduList[*n].LineIndex;
        else if (key.front() == 'P' && static_cast<std::size_t>(*n) < m.PortList.size())
            at = m.PortList[*n].LineIndex;
    }
    auto carries = [&](const ProjectLine& l) { return CarriesKey(l, key); };
    if (at >= 0 && static_cast<std::size_t>(at) < lines.size() && carries(lines[at]))
        return at;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (carries(lines[i]))
            return static_cast<int>(i);
    return -1;
}

// The line of port k as its highlight key "P" + k names it.
int OwnLineOfPort(const ProjectModel& m, int k) {
    if (k >= 0 && static_cast<std::size_t>(k) < m.PortList.size()) {
        const int at = m.PortList[k].LineIndex;
        if (at >= 0 && static_cast<std::size_t>(at) < m.LineList.size() &&
            m.LineList[at][FieldKind] == "P" && HoldsDecimal(m.LineList[at][FieldIndex], k))
            return at;
    }
    return KeyedLine(m, "P" + Decimal(k));
}

bool Unmarked(const ProjectLine& line) {
    return line[FieldBrush].empty() && line[FieldPen].empty();
}

} // namespace

bool CanvasController::MarkObjectAndLinks(const std::string& key, int selfBrush, int selfPen,
                                          int linkBrush, int linkPen, int portIndex,
                                          bool hideUnmatched, const NetIndex* nets) {
    ProjectModel& m = model_;
    const ProjectLines& lines = m.LineList;
    bool changed = false;
    auto set = [&](std::size_t li, std::size_t field, const std::string& value) {
        changed |= m.SetMark(li, field, value);
    };
    const std::string selfBrushText = Decimal(selfBrush);
    const std::string selfPenText = Decimal(selfPen);
    auto markSelf = [&](std::size_t li) {
        set(li, FieldBrush, selfBrushText);
        set(li, FieldPen, selfPenText);
    };
    std::optional<NetIndex> scratch;
    auto index = [&]() -> const NetIndex& { return nets ? *nets : NetsOf(m, scratch); };
    const bool isPort = !key.empty() && key.front() == 'P';
    const bool portKnown =
        portIndex >= 0 && static_cast<std::size_t>(portIndex) < m.PortList.size();

    if (hideUnmatched) {
        const port* p = portKnown ? &m.PortList[portIndex] : nullptr;
        const NetIndex& n = index();
        // Whether the pointed port has a driver is asked once, not once for every other port.
        std::optional<bool> pDriven;
        const std::string unmatchedBrush = Decimal(UnmatchedBrush);
        const std::string unmatchedPen = Decimal(m.UnmatchedColor);
        for (std::size_t li = 0; li < lines.size(); ++li) {
            const ProjectLine& line = lines[li];
            if (!Unmarked(line))
                continue;
            if (CarriesKey(line, key)) {
                markSelf(li);
                continue;
            }
            if (line[FieldKind] != "P" || !p)
                continue;
            const auto other = ParseDecimal(line[FieldIndex]);
            if (!other || *other < 0 || static_cast<std::size_t>(*other) >= m.PortList.size())
                continue;
            const port& b = m.PortList[*other];
            // The rules but the last one, then the last: two driven ports.
            bool allowed = CanConnect(n, *p, b, false);
            if (allowed) {
                if (!pDriven)
                    pDriven = HasDriver(n, *p, true);
                allowed = !(*pDriven && HasDriver(n, b, true));
            }
            if (!allowed) {
                set(li, FieldBrush, unmatchedBrush);
                set(li, FieldPen, unmatchedPen);
                if (m.HiddenNoSpace && line[FieldCollapsed] != "Y")
                    set(li, FieldCollapsed, "Y");
            }
        }
    } else {
        // Only the pointed object's own line can match the key.
        const int at = KeyedLine(m, key);
        if (at >= 0 && Unmarked(lines[at]))
            markSelf(static_cast<std::size_t>(at));
    }

    if (isPort && view_.LinkedPorts && portKnown) {
        const NetIndex& n = index();
        const int self = n.EndOfPort(m.PortList[portIndex]);
        auto markPort = [&](int end, const std::string& brush, const std::string& pen) {
            const int li = n.EndLine(end);
            if (li < 0)
                return;
            set(static_cast<std::size_t>(li), FieldBrush, brush);
            set(static_cast<std::size_t>(li), FieldPen, pen);
        };
        const std::string mainText = Decimal(m.MainPrtColor);
        const std::string linkBrushText = Decimal(linkBrush);
        const std::string linkPenText = Decimal(linkPen);
        for (const LinkedNet& net : LinkedNetsOf(n, self)) {
            if (net.Head != self)
                markPort(net.Head, mainText, linkPenText);
            for (int end : net.Members)
                if (end != self)
                    markPort(end, linkBrushText, linkPenText);
        }
    }
    return changed;
}

void CanvasController::HighlightPorts(const std::vector<int>& indexes) {
    if (indexes.empty())
        return;
    if (MouseMode == '2') {
        // Ports are not marked while an instance is dragged.
        for (int k : indexes)
            HighlightObject('P', k, false);
        return;
    }
    // The same marks as highlighting each port in turn, in linear time. Each port's turn writes
    // its own line, when that is still unmarked, and then the lines of every net it leads to, but
    // its own; the last write to a line is what stays. So for each net only its first and last
    // turns matter, and, for the port of the last (first) turn, the last (first) turn of another.
    ProjectModel& m = model_;
    const ProjectLines& lines = m.LineList;
    std::optional<NetIndex> scratch;
    const NetIndex& nets = NetsOf(m, scratch);
    struct Turn {
        int Time = -1;
        int Port = -1; // the end of the port whose turn it was
    };
    struct NetTurns {
        LinkedNet Net;
        Turn First;
        int FirstOther = -1; // first turn of a port other than First's
        Turn Last;
        int LastOther = -1; // last turn of a port other than Last's
    };
    std::vector<NetTurns> touched;
    // Per end, its place in touched when it heads a net a turn reached; -1 when it does not.
    std::vector<int> touchedAt(nets.EndCount(), -1);
    struct SelfTurn {
        int Time;
        int Line;
    };
    std::vector<SelfTurn> selfTurns;
    selfTurns.reserve(indexes.size());
    int clock = 0;
    std::vector<int> heads;
    for (int k : indexes) {
        selfTurns.push_back({clock++, OwnLineOfPort(m, k)});
        if (!view_.LinkedPorts || k < 0 || static_cast<std::size_t>(k) >= m.PortList.size())
            continue;
        const int self = nets.EndOfPort(m.PortList[k]);
        HeadsOfWires(nets, nets.WiresOf(self), heads);
        for (int head : heads) {
            int& t = touchedAt[static_cast<std::size_t>(head)];
            const int now = clock++;
            if (t < 0) {
                t = static_cast<int>(touched.size());
                touched.push_back({LinkedNet{head, {}}, {now, self}, -1, {now, self}, -1});
                continue;
            }
            NetTurns& n = touched[static_cast<std::size_t>(t)];
            if (n.FirstOther < 0 && self != n.First.Port)
                n.FirstOther = now;
            if (self != n.Last.Port) {
                n.LastOther = n.Last.Time;
                n.Last.Port = self;
            }
            n.Last.Time = now;
        }
    }

    // Per line: the time and colours of its last write, and the time of its first net write.
    // The three pairs of colours a line can get, as the fields hold them.
    enum Colours { Pointed, Main, Friend };
    const std::array<std::pair<std::string, std::string>, 3> texts{{
        {Decimal(m.PointedBrush), Decimal(m.PointedPen)},
        {Decimal(m.MainPrtColor), Decimal(m.FriendPen)},
        {Decimal(m.FriendBrush), Decimal(m.FriendPen)},
    }};
    struct LineWrite {
        int Last = -1;
        Colours Colour = Pointed;
        int FirstNet = -1;
    };
    std::vector<LineWrite> writes(lines.size());
    auto write = [&](int li, int time, int first, Colours colour) {
        if (li < 0 || time < 0)
            return;
        LineWrite& w = writes[static_cast<std::size_t>(li)];
        if (time > w.Last) {
            w.Last = time;
            w.Colour = colour;
        }
        if (w.FirstNet < 0 || first < w.FirstNet)
            w.FirstNet = first;
    };
    for (NetTurns& n : touched)
        AddMembers(nets, n.Net);
    for (const NetTurns& n : touched) {
        auto lastFor = [&](int e) { return e == n.Last.Port ? n.LastOther : n.Last.Time; };
        auto firstFor = [&](int e) { return e == n.First.Port ? n.FirstOther : n.First.Time; };
        // Within a turn the head is written first and the ends of its lines after it.
        const bool headIsEnd = std::find(n.Net.Members.begin(), n.Net.Members.end(), n.Net.Head) !=
                               n.Net.Members.end();
        if (!headIsEnd)
            write(nets.EndLine(n.Net.Head), lastFor(n.Net.Head), firstFor(n.Net.Head), Main);
        for (int e : n.Net.Members)
            write(nets.EndLine(e), lastFor(e), firstFor(e), Friend);
    }
    // A port's own line is written only while nothing has marked it before its turn.
    std::vector<char> selfWritten(lines.size(), 0);
    for (const SelfTurn& s : selfTurns) {
        if (s.Line < 0)
            continue;
        const std::size_t li = static_cast<std::size_t>(s.Line);
        LineWrite& w = writes[li];
        if (selfWritten[li] || !Unmarked(lines[li]) || (w.FirstNet >= 0 && w.FirstNet < s.Time))
            continue;
        selfWritten[li] = 1;
        if (s.Time > w.Last) {
            w.Last = s.Time;
            w.Colour = Pointed;
        }
    }
    for (std::size_t li = 0; li < lines.size(); ++li) {
        if (writes[li].Last < 0)
            continue;
        const auto& [brush, pen] = texts[writes[li].Colour];
        m.SetMark(li, FieldBrush, brush);
        m.SetMark(li, FieldPen, pen);
    }
    lastHighlightKey_ = "P" + Decimal(indexes.back());
}

void CanvasController::ToolButton19Click() {
    model_.ClearMarks();
    HighlightPorts(model_.SelList);
    RefreshMarks();
}

void CanvasController::ToolButton8Click() {
    SetCursor(ViewModeCursor);
}

void CanvasController::ToolButton9Click() {
    SetCursor(0);
}

void CanvasController::ToolButton28Click() {
    SetCursor(TopMapCursor);
}

void CanvasController::RestoreModeCursor() {
    SetCursor(view_.EditMode == 'V' ? ViewModeCursor : view_.EditMode == 'T' ? TopMapCursor : 0);
}

bool CanvasController::UndoableEdit(const std::function<bool()>& edit) {
    // The copy goes into the lines of the last such copy, so that each gesture does not ask for
    // a project's worth of new memory.
    try {
        undoScratch_ = model_.LineList;
    } catch (const std::bad_alloc&) {
        model_.NotEnoughMemory();
    }
    std::erase_if(undoScratch_, [](const ProjectLine& l) { return l[FieldSuggestion] == "S"; });
    if (!edit())
        return false;
    // The copy taken before becomes the undo copy as it is; copying the list onto itself only
    // sets the undo states. The old undo copy is what the next copy reuses.
    model_.UndoList.swap(undoScratch_);
    model_.CopyLineList(&model_.UndoList, model_.UndoList);
    return true;
}

std::string CanvasController::HoverText(char kind, int index) {
    if (kind == 'M' && index >= 0 && static_cast<std::size_t>(index) < model_.MduList.size()) {
        const mdu& d = model_.MduList[index];
        return "Module:" + d.InstName + " (" + (d.IsTop() ? std::string("TOP") : d.ModuleName) +
               ")";
    }
    if (kind == 'P' && index >= 0 && static_cast<std::size_t>(index) < model_.PortList.size()) {
        const port& p = model_.PortList[index];
        std::string text = PortTypeWord(model_.Log, p.Kind, ' ', false) + ":" + p.Name;
        if (!p.WidthText.empty())
            text += "[" + p.WidthText + "]";
        return text + "(" + p.OwnerName + ")";
    }
    return {};
}

void CanvasController::PaintBox1MouseDown(MouseButton button, const MouseShift& shift, int x,
                                          int y) {
    int index = 0;
    const char hit = HitTest(x, y, index);
    MouseMode = '0';
    if (Properties)
        Properties->ShowPrtInfo(false);
    if (shift.Double) {
        DoubleClick(hit, index);
        return;
    }
    if (button != MouseButton::Left)
        return;
    pressX_ = x;
    pressY_ = y;
    if (view_.EditMode == 'V') {
        SetCursor(PanCursor);
        PanX = x;
        PanY = y;
        return;
    }
    if (view_.EditMode == 'T' && hit == 'P') {
        const port p = model_.PortList[index];
        std::string status;
        const bool mapped = UndoableEdit(
            [&] { return MapPortToTop(model_, p, model_.FirstMduLine, "", true, &status); });
        if (!status.empty())
            SetStatus(HoverPanel, status);
        // The new top port shifts the port indexes the selection holds.
        if (mapped) {
            ClearSelection();
            model_.ClearMarks();
        }
        Rebuild();
        return;
    }
    if (shift.Shift && hit == 'N') {
        if (y > 200) {
            model_.MaxViewHeight = y;
            Rebuild();
        }
        return;
    }
    if (hit == 'M' && index != 0) {
        SetCursor(DropAllowedCursor);
        DragMduIdx = index;
        MouseMode = '2';
        MduDropOk = false;
        if (Properties) {
            Properties->PrepareInstanceDrag();
            if (!Properties->ShowInstance(model_.MduList[index].InstName))
                model_.LogWarning(MissingInstance);
            Properties->BringInstancesPageToFront();
        }
        return;
    }
    if (hit == 'P') {
        PressPort(shift, index);
    } else if (hit == 'N') {
        RubberRect = {x, y, x, y};
        MouseMode = '1';
        ClearSelection();
        model_.ClearMarks();
        RefreshMarks();
    }
    ShowSelectionCount();
}

void CanvasController::PressPort(const MouseShift& shift, int index) {
    MouseMode = '3';
    DragPrtIdx = index;
    if (Properties) {
        Properties->SetCurPrtIdx(index);
        Properties->ShowPrtInfo(true);
        Properties->BringPortsPageToFront();
    }
    const int position = SelectionIndexOf(index);
    std::vector<int>& sel = model_.SelList;
    if (shift.Alt) {
        SetCursor(MoveAllowedCursor);
        MouseMode = '4';
        PrtMoveOk = false;
    } else if (shift.Ctrl) {
        if (position < 0) {
            sel.push_back(index);
            if (HighlightObject('P', index, false))
                RefreshMarks();
        } else {
            sel.erase(sel.begin() + position);
            model_.ClearMarks();
            HighlightPorts(sel);
            RefreshMarks();
        }
    } else if (shift.Shift) {
        const int from = sel.empty() ? index : sel.back();
        std::vector<bool> selected(model_.PortList.size(), false);
        for (int s : sel)
            if (s >= 0 && static_cast<std::size_t>(s) < selected.size())
                selected[s] = true;
        std::vector<int> added;
        for (int k = std::min(from, index); k <= std::max(from, index); ++k) {
            if (static_cast<std::size_t>(k) < selected.size() && !selected[k]) {
                sel.push_back(k);
                added.push_back(k);
            }
        }
        HighlightPorts(added);
        RefreshMarks();
    } else {
        ClearSelection();
        model_.ClearMarks();
        sel.push_back(index);
        SetCursor(BusyCursor);
        if (HighlightObject('P', index, model_.SLHideUnmatched && view_.SmartLink))
            RefreshMarks();
        SetCursor(WireCursor);
    }
}

void CanvasController::DoubleClick(char kind, int index) {
    ClearSelection();
    model_.ClearMarks();
    if (kind == 'P') {
        const port p = model_.PortList[index];
        if (p.Numeric) {
            // Only the proposals shown are connected: with SmartLink switched off the drawing
            // hides those of the last port pointed at, and they go unconnected.
            if (view_.SmartLink)
                UndoableEdit([&] { return AcceptSuggestions(model_) > 0; });
            else
                DropSuggestionLines(model_);
            // The marks are gone and the suggestions with them, wires made or not.
            Rebuild();
            return;
        }
        if (Properties && !Properties->ShowInstance(p.OwnerName))
            model_.LogWarning(MissingInstance);
        if (host_.ConfirmWidths && host_.ConfirmWidths(p.OwnerName))
            Rebuild();
        return;
    }
    if (kind != 'M' || model_.MduList[index].InstName == model_.TopName)
        return;
    const std::string path = model_.MduList[index].SrcPath;
    if (!platform::FileExists(path)) {
        if (host_.prompt)
            host_.prompt->Message("Can't open file: " + path);
        return;
    }
    if (model_.InternalEditor) {
        if (host_.ShowSourceFile)
            host_.ShowSourceFile(path);
    } else if (host_.services) {
        StartExternalEditor(model_, *host_.services, path);
    }
}

void CanvasController::Image1MouseMove(const MouseShift& shift, int x, int y) {
    int index = 0;
    const char hit = HitTest(x, y, index);
    const ScrollView scroll = host_.Scroll ? host_.Scroll() : ScrollView{};
    if (view_.EditMode == 'V' && shift.Left) {
        if (host_.SetScroll)
            host_.SetScroll(scroll.X - (x - PanX), scroll.Y - (y - PanY));
        return;
    }
    if (MouseMode != '0' && host_.SetScroll) {
        const int step = model_.AutoScrollStep;
        int h = scroll.X;
        int v = scroll.Y;
        if (h > x)
            h -= step;
        if (h + scroll.Width <= x)
            h += step;
        if (v > y)
            v -= step;
        if (v + scroll.Height < y)
            v += step;
        if (h != scroll.X || v != scroll.Y)
            host_.SetScroll(h, v);
    }
    if (hit == 'N' && lastHitKind_ == 'N' && MouseMode != '1')
        return;
    if (hit != 'N' && hit == lastHitKind_ && index == lastHitIndex_)
        return;
    lastHitKind_ = hit;
    lastHitIndex_ = index;

    const std::string text = HoverText(hit, index);
    if (MouseMode == '3') {
        SetStatus(WirePanel, text);
    } else {
        SetStatus(HoverPanel, text);
        SetStatus(WirePanel, "");
    }

    if (MouseMode == '1') {
        RubberRect[2] = x;
        RubberRect[3] = y;
        if (!shift.Ctrl) {
            ClearSelection();
            model_.ClearMarks();
            // The selection was just emptied, so every port in the band is new to it.
            std::vector<int> inBand;
            for (std::size_t k = 0; k < model_.PortList.size(); ++k)
                if (PortInRubberBand(model_.PortList[k]))
                    inBand.push_back(static_cast<int>(k));
            model_.SelList = inBand;
            HighlightPorts(inBand);
        }
        ShowSelectionCount();
        RefreshMarks();
        return;
    }
    if (model_.SelList.empty() && MouseMode == '0') {
        model_.ClearMarks();
        DropSuggestionLines(model_);
        if (view_.SmartLink && host_.ApplySmartLinkRules) {
            std::string summary;
            host_.ApplySmartLinkRules(hit, index, -1, summary);
            SetStatus(WirePanel, summary);
        }
        HighlightObject(hit, index, false);
        RefreshMarks();
        return;
    }
    if (MouseMode == '3') {
        SetCursor(WireCursor);
        return;
    }
    if (MouseMode == '4') {
        PrtMoveOk = ComputePrtMoveOk(hit, index);
        SetCursor(PrtMoveOk ? MoveAllowedCursor : MoveRefusedCursor);
        return;
    }
    if (MouseMode != '2')
        return;
    MduDropOk = ComputeMduDropOk(hit, index);
    SetCursor(MduDropOk ? DropAllowedCursor : DropRefusedCursor);
}

bool CanvasController::ComputePrtMoveOk(char kind, int index) const {
    const ProjectModel& m = model_;
    if (kind != 'P' || DragPrtIdx < 0 || static_cast<std::size_t>(DragPrtIdx) >= m.PortList.size())
        return false;
    const int offset = index - DragPrtIdx;
    const std::vector<int>& sel = m.SelList;
    // The release moves the pressed port alone unless it is one of two or more selected ports:
    // then it must stay within its own instance.
    if (SelectionIndexOf(DragPrtIdx) < 0 || sel.size() < 2)
        return m.PortList[index].OwnerName == m.PortList[DragPrtIdx].OwnerName;
    for (int s : sel) {
        if (s < 0 || static_cast<std::size_t>(s) >= m.PortList.size())
            return false;
        const mdu& owner = m.MduList[m.PortList[s].Owner];
        if (s + offset < owner.FirstPort || s + offset > owner.LastPort)
            return false;
    }
    return true;
}

bool CanvasController::ComputeMduDropOk(char kind, int index) const {
    const ProjectModel& m = model_;
    if (kind == 'M')
        return index != 0 && index != DragMduIdx && DragMduIdx != 0;
    if (kind == 'P') {
        const int owner = m.PortList[index].Owner;
        return owner != DragMduIdx && !m.MduList[owner].IsTop() &&
               owner != static_cast<int>(m.MduList.size()) - 1;
    }
    return m.ViewMode != '1' && m.MduList[DragMduIdx].Compact;
}

void CanvasController::PaintBox1MouseUp(MouseButton button, const MouseShift& shift, int x, int y) {
    (void)button;
    (void)shift;
    // The gesture ends here: every rebuild below draws the picture without the band.
    const char mode = MouseMode;
    MouseMode = '0';
    RestoreModeCursor();
    if (view_.EditMode != 'W') {
        // A band started on empty canvas in TopMap Mode would stay drawn.
        if (mode == '1')
            RefreshMarks();
        return;
    }
    int index = 0;
    char hit = HitTest(x, y, index);
    if ((mode == '3' || mode == '4') && x == pressX_ && y == pressY_) {
        hit = 'P';
        index = DragPrtIdx;
    }
    RubberRect[2] = x;
    RubberRect[3] = y;
    if (mode == '2') {
        if (MduDropOk)
            ReleaseInstance(hit, index);
    } else if (hit == 'P' && mode == '3' && index != DragPrtIdx) {
        DropSuggestionLines(model_);
        const port a = model_.PortList[index];
        const port b = model_.PortList[DragPrtIdx];
        // A wire to a top port maps the other port, which inserts port lines; any other wire
        // changes only wire lines.
        const bool mapping = IsTopPort(model_, a) || IsTopPort(model_, b);
        if (UndoableEdit([&] { return ConnectPorts(model_, a, b); }))
            SetStatus(WirePanel,
                      (host_.StatusText ? host_.StatusText(WirePanel) : "") + " -Drawn.");
        ClearSelection();
        model_.ClearMarks();
        if (Properties)
            Properties->ShowPrtInfo(false);
        if (mapping)
            Rebuild();
        else
            RebuildWires();
    } else if (hit == 'N' && mode == '3') {
        ClearSelection();
        model_.ClearMarks();
        RefreshMarks();
    } else if (mode == '4' && hit == 'P') {
        MovePorts(index);
    } else {
        RefreshMarks();
    }
}

void CanvasController::ReleaseInstance(char kind, int index) {
    ProjectModel& m = model_;
    const std::string dragged = m.MduList[DragMduIdx].InstName;
    if (kind == 'M') {
        m.TakeUndoSnapshot();
        DropMduIdx = index;
        m.LogInfo("Move module(" + Decimal(DragMduIdx) + ") to module(" + Decimal(DropMduIdx) +
                  ").");
        MoveModuleLines(m.MduList[DragMduIdx], m.MduList[DropMduIdx]);
    } else if (kind == 'P') {
        m.TakeUndoSnapshot();
        DropMduIdx = m.PortList[index].Owner + 1;
        MoveModuleLines(m.MduList[DragMduIdx], m.MduList[DropMduIdx]);
        m.SetPortLineFields(dragged, "", "M", 5, "Y");
        m.ViewMode = '3';
        if (host_.ViewModeChanged)
            host_.ViewModeChanged();
    } else {
        m.TakeUndoSnapshot();
        m.SetPortLineFields(dragged, "", "M", 5, "");
        m.ViewMode = '3';
        if (host_.ViewModeChanged)
            host_.ViewModeChanged();
    }
    Rebuild();
}

void CanvasController::MovePorts(int index) {
    ProjectModel& m = model_;
    const int offset = index - DragPrtIdx;
    if (!PrtMoveOk || offset == 0) {
        RefreshMarks();
        return;
    }
    m.TakeUndoSnapshot();
    std::vector<int> sel = m.SelList;
    if (SelectionIndexOf(DragPrtIdx) < 0 || sel.size() < 2) {
        MoveLine(m.LineList, static_cast<std::size_t>(m.PortList[DragPrtIdx].LineIndex),
                 static_cast<std::size_t>(m.PortList[index].LineIndex));
    } else {
        std::sort(sel.begin(), sel.end(), [offset](int a, int b) {
            return (offset < 0 ? CompareIntAsc(a, b) : CompareIntDesc(a, b)) < 0;
        });
        for (int s : sel) {
            const int from = m.PortList[s].LineIndex;
            MoveLine(m.LineList, static_cast<std::size_t>(from),
                     static_cast<std::size_t>(from + offset));
        }
    }
    ClearSelection();
    Rebuild();
}

void CanvasController::MoveModuleLines(const mdu& dragged, const mdu& target) {
    ProjectLines& lines = model_.LineList;
    const std::size_t n = lines.size();
    const std::size_t s = static_cast<std::size_t>(dragged.LineIndex);
    const std::size_t d = static_cast<std::size_t>(target.LineIndex);
    if (s >= n || d >= n || s == d)
        return;
    // The block: the instance's line and the lines after it that move with it. It lands directly
    // before the target's line in one move, its order kept.
    std::size_t end = s + 1;
    while (end < n && end != d && InBlock(lines[end]))
        ++end;
    const auto at = [&lines](std::size_t i) {
        return lines.begin() + static_cast<std::ptrdiff_t>(i);
    };
    if (d < s)
        std::rotate(at(d), at(s), at(end));
    else
        std::rotate(at(s), at(end), at(d));
}

void CanvasController::SimulateCanvasClick(int x, int y) {
    MouseShift left;
    left.Left = true;
    PaintBox1MouseDown(MouseButton::Left, left, x, y);
    PaintBox1MouseUp(MouseButton::Left, left, x, y);
}
