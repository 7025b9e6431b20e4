// Press, move and release on the canvas, the selection and the highlighting of linked ports.
#include "editor/canvas/CanvasController.h"

#include "editor/model/ExternalEditor.h"
#include "editor/model/Nets.h"
#include "editor/model/Prompt.h"
#include "editor/model/TopLevel.h"
#include "platform/TextFile.h"

#include <algorithm>
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

void CanvasController::ShowSelectionCount() {
    SetStatus(SelectionPanel, "Sel:" + Decimal(static_cast<int>(model_.SelList.size())));
}

char CanvasController::HitTest(int x, int y, int& index) const {
    const ProjectModel& m = model_;
    if (x < m.LeftMargin || y < m.TopMargin)
        return 'N';
    for (std::size_t i = 0; i < m.MduList.size(); ++i) {
        const mdu& d = m.MduList[i];
        if (x >= d.X && x <= d.X + d.Width && y >= d.Y && y <= d.Y + m.TitleHeight) {
            index = static_cast<int>(i);
            return 'M';
        }
    }
    for (std::size_t i = 0; i < m.PortList.size(); ++i) {
        const port& p = m.PortList[i];
        const int h = p.Collapsed ? 0 : m.PrtHeight;
        if (x >= p.X && x <= p.X + m.PrtWidth && y >= p.Y && y <= p.Y + h) {
            index = static_cast<int>(i);
            return 'P';
        }
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

bool CanvasController::MarkObjectAndLinks(const std::string& key, int selfBrush, int selfPen,
                                          int linkBrush, int linkPen, int portIndex,
                                          bool hideUnmatched, const NetIndex* nets) {
    ProjectModel& m = model_;
    ProjectLines& lines = m.LineList;
    bool changed = false;
    auto set = [&changed](std::string& field, const std::string& value) {
        if (field != value) {
            field = value;
            changed = true;
        }
    };
    auto markSelf = [&](ProjectLine& line) {
        set(line[FieldBrush], Decimal(selfBrush));
        set(line[FieldPen], Decimal(selfPen));
    };
    auto unmarked = [](const ProjectLine& line) {
        return line[FieldBrush].empty() && line[FieldPen].empty();
    };
    std::optional<NetIndex> own;
    auto index = [&]() -> const NetIndex& {
        if (nets)
            return *nets;
        if (!own)
            own.emplace(m);
        return *own;
    };
    const bool isPort = !key.empty() && key.front() == 'P';
    const bool portKnown =
        portIndex >= 0 && static_cast<std::size_t>(portIndex) < m.PortList.size();

    if (hideUnmatched) {
        const port* p = portKnown ? &m.PortList[portIndex] : nullptr;
        for (ProjectLine& line : lines) {
            if (!unmarked(line))
                continue;
            if (line[FieldKind] + line[FieldIndex] == key) {
                markSelf(line);
                continue;
            }
            if (line[FieldKind] != "P" || !p)
                continue;
            const auto other = ParseDecimal(line[FieldIndex]);
            if (!other || *other < 0 || static_cast<std::size_t>(*other) >= m.PortList.size())
                continue;
            if (!CanConnect(index(), *p, m.PortList[*other])) {
                set(line[FieldBrush], Decimal(UnmatchedBrush));
                set(line[FieldPen], Decimal(m.UnmatchedColor));
                if (m.HiddenNoSpace && line[FieldCollapsed] != "Y")
                    set(line[FieldCollapsed], "Y");
            }
        }
    } else {
        // Only the pointed object's own line can match the key: it is found through its record,
        // and by a walk of the lines when the record's line no longer carries the mark.
        int at = -1;
        const auto n = ParseDecimal(key.substr(1));
        if (n && *n >= 0) {
            if (key.front() == 'M' && static_cast<std::size_t>(*n) < m.MduList.size())
                at = m.MduList[*n].LineIndex;
            else if (isPort && static_cast<std::size_t>(*n) < m.PortList.size())
                at = m.PortList[*n].LineIndex;
        }
        if (at < 0 || static_cast<std::size_t>(at) >= lines.size() ||
            lines[at][FieldKind] + lines[at][FieldIndex] != key) {
            at = -1;
            for (std::size_t i = 0; i < lines.size() && at < 0; ++i)
                if (lines[i][FieldKind] + lines[i][FieldIndex] == key)
                    at = static_cast<int>(i);
        }
        if (at >= 0 && unmarked(lines[at]))
            markSelf(lines[at]);
    }

    if (isPort && view_.LinkedPorts && portKnown) {
        const port q = m.PortList[portIndex];
        auto markPort = [&](const std::string& inst, const std::string& name, int brush, int pen) {
            const int li = MarkedPortLine(m, inst, name);
            if (li < 0)
                return;
            set(lines[li][FieldBrush], Decimal(brush));
            set(lines[li][FieldPen], Decimal(pen));
        };
        // The wire lines of a port and of a head: from the index when many ports are marked at
        // once, else by one walk of the lines, which costs less than making an index.
        auto scan = [&](const std::string& inst, const std::string& name, bool headOnly) {
            std::vector<int> found;
            for (std::size_t i = 0; i < lines.size(); ++i) {
                const ProjectLine& l = lines[i];
                if (l[FieldKind] != "W")
                    continue;
                if ((l[1] == inst && l[2] == name) || (!headOnly && l[3] == inst && l[4] == name))
                    found.push_back(static_cast<int>(i));
            }
            return found;
        };
        const std::vector<int> ofQ =
            nets ? nets->LinesOf(q.OwnerName, q.Name) : scan(q.OwnerName, q.Name, false);
        for (int wl : ofQ) {
            if (lines[wl][0] != "WIRE")
                continue;
            const std::string headInst = lines[wl][1];
            const std::string headPort = lines[wl][2];
            const bool headIsQ = headInst == q.OwnerName && headPort == q.Name;
            if (!headIsQ)
                markPort(headInst, headPort, m.MainPrtColor, linkPen);
            const std::vector<int> headed =
                nets ? nets->LinesHeadedBy(headInst, headPort) : scan(headInst, headPort, true);
            for (int hl : headed) {
                const ProjectLine& line = lines[hl];
                if (line[0] != "WIRE" || (line[3] == q.OwnerName && line[4] == q.Name))
                    continue;
                markPort(line[3], line[4], linkBrush, linkPen);
            }
        }
    }
    return changed;
}

void CanvasController::HighlightPorts(const std::vector<int>& indexes) {
    if (indexes.empty())
        return;
    const NetIndex nets(model_);
    for (int k : indexes)
        HighlightObject('P', k, false, &nets);
}

void CanvasController::ToolButton19Click() {
    model_.ClearMarks();
    HighlightPorts(model_.SelList);
    Rebuild();
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
    ProjectLines before = model_.LineList;
    std::erase_if(before, [](const ProjectLine& l) { return l[FieldSuggestion] == "S"; });
    if (!edit())
        return false;
    // The copy taken before becomes the undo copy as it is; copying the list onto itself only
    // sets the undo states.
    model_.UndoList.swap(before);
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
        Rebuild();
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
                Rebuild();
        } else {
            sel.erase(sel.begin() + position);
            model_.ClearMarks();
            HighlightPorts(sel);
            Rebuild();
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
        Rebuild();
    } else {
        ClearSelection();
        model_.ClearMarks();
        sel.push_back(index);
        SetCursor(BusyCursor);
        if (HighlightObject('P', index, model_.SLHideUnmatched && view_.SmartLink))
            Rebuild();
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
        Rebuild();
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
        Rebuild();
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
            Rebuild();
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
        if (UndoableEdit([&] { return ConnectPorts(model_, a, b); }))
            SetStatus(WirePanel,
                      (host_.StatusText ? host_.StatusText(WirePanel) : "") + " -Drawn.");
        ClearSelection();
        model_.ClearMarks();
        if (Properties)
            Properties->ShowPrtInfo(false);
        Rebuild();
    } else if (hit == 'N' && mode == '3') {
        ClearSelection();
        model_.ClearMarks();
        Rebuild();
    } else if (mode == '4' && hit == 'P') {
        MovePorts(index);
    } else {
        Rebuild();
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
        Rebuild();
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
