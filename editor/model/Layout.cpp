// Placement of instance boxes, port boxes and wire ends, box widths and the picture's extent.
#include "editor/model/ProjectModel.h"

#include "editor/model/RecordColumns.h"

#include <algorithm>

namespace {

// Width of the port columns of an instance with the given column count, as placement counts it.
long long ColumnsWidth(int columns, int prtWidth, int colMargin) {
    long long w = static_cast<long long>(columns) * (static_cast<long long>(prtWidth) + colMargin);
    if (w > 0)
        w -= colMargin;
    return w;
}

int ToInt(long long v) {
    return static_cast<int>(std::clamp<long long>(v, -2147483647LL, 2147483647LL));
}

} // namespace

long long ProjectModel::RowWidthOf(int count) const {
    long long sum = 0;
    for (int j = 0; j < count && j < static_cast<int>(MduList.size()); ++j)
        sum += ColumnsWidth(MduList[j].Columns, PrtWidth, ColMargin) + MduMargin;
    return sum;
}

bool ProjectModel::PlaceInstance(int index, int brush, int pen) {
    if (index < 0 || index >= static_cast<int>(MduList.size()))
        return false;
    // The row to the left of an instance is kept as a running sum while the rebuild places
    // instances in order; any other call sums the earlier instances afresh.
    long long before;
    if (index == rowCounted_) {
        before = rowWidth_;
        rowWidth_ += ColumnsWidth(MduList[index].Columns, PrtWidth, ColMargin) + MduMargin;
        ++rowCounted_;
    } else {
        before = RowWidthOf(index);
    }
    mdu& m = MduList[index];
    // Sizes from the settings file are not range checked, so positions are summed wider than int.
    long long x = LeftMargin + before;
    long long y = TopMargin;
    if ((ViewMode == '2' || ViewMode == '3') && index > 1 && !MduList[index - 1].InstName.empty()) {
        if (PortList.empty()) {
            LogError("Found empty module.");
        } else {
            const port& last = PortList.back();
            x = last.X;
            y = static_cast<long long>(last.Y) + CompactMargin + (last.Collapsed ? 0 : PrtHeight);
            const bool fits = y + BottomSlack <= MaxViewHeight;
            if (!fits || (ViewMode == '3' && !m.Compact)) {
                x += static_cast<long long>(PrtWidth) + ColMargin;
                y = TopMargin;
            }
        }
    }
    m.X = ToInt(x);
    m.Y = ToInt(y);
    m.BrushColor = brush;
    m.PenColor = pen;
    return true;
}

bool ProjectModel::PlacePort(int index, int brush, int pen) {
    if (index < 0 || index >= static_cast<int>(PortList.size()))
        return false;
    port& p = PortList[index];
    const bool ownerKnown = rebuilding_ && namesUnique_ && p.Owner >= 0 &&
                            static_cast<std::size_t>(p.Owner) < MduList.size() &&
                            MduList[p.Owner].InstName == p.OwnerName;
    const int owner = ownerKnown ? p.Owner : FindInstance(p.OwnerName);
    if (owner < 0)
        return false;
    long long x;
    long long y;
    if (index == 0 || PortList[index - 1].OwnerName != p.OwnerName) {
        x = MduList[owner].X;
        y = static_cast<long long>(MduList[owner].Y) + TitleHeight + MduPrtMargin;
    } else {
        const port& before = PortList[index - 1];
        x = before.X;
        y = static_cast<long long>(before.Y) + PrtMargin + (before.Collapsed ? 0 : PrtHeight);
    }
    if (y + BottomSlack > MaxViewHeight) {
        x += static_cast<long long>(PrtWidth) + ColMargin;
        y = static_cast<long long>(TopMargin) + TitleHeight + MduPrtMargin;
        mdu& m = MduList[owner];
        if (owner < rowCounted_)
            rowWidth_ += ColumnsWidth(m.Columns + 1, PrtWidth, ColMargin) -
                         ColumnsWidth(m.Columns, PrtWidth, ColMargin);
        ++m.Columns;
    }
    p.X = ToInt(x);
    p.Y = ToInt(y);
    p.BrushColor = brush;
    p.PenColor = pen;
    return true;
}

bool ProjectModel::PlaceWire(wire& w, int dotColor, int lineColor, bool isSuggestion) {
    return PlaceWireEnds(w, FindPortQuiet(w.InstA, w.PortA), FindPortQuiet(w.InstB, w.PortB),
                         dotColor, lineColor, isSuggestion);
}

bool ProjectModel::PlaceWireEnds(wire& w, int a, int b, int dotColor, int lineColor,
                                 bool isSuggestion) {
    if (a < 0 || b < 0)
        return false;
    port& pa = PortList[a];
    port& pb = PortList[b];
    if (!isSuggestion) {
        pa.Lone = false;
        pb.Lone = false;
    }
    auto half = [this](const port& p) { return p.Collapsed ? 0 : PrtHeight / 2; };
    const long long width = PrtWidth;
    if (a < b) {
        w.X1 = ToInt(pa.X + width);
        w.Y1 = ToInt(static_cast<long long>(pa.Y) + half(pa));
        w.X2 = pb.X;
        w.Y2 = ToInt(static_cast<long long>(pb.Y) + half(pb));
    } else {
        w.X1 = pa.X;
        w.Y1 = ToInt(static_cast<long long>(pa.Y) + half(pa));
        w.X2 = ToInt(pb.X + width);
        w.Y2 = ToInt(static_cast<long long>(pb.Y) + half(pb));
    }
    w.DotColor = dotColor;
    w.LineColor = lineColor;
    return true;
}

void ProjectModel::ComputeModuleWidths() {
    for (mdu& m : MduList) {
        if (ViewMode == '2' || (ViewMode == '3' && m.Compact))
            m.Width = PrtWidth;
        else
            m.Width = ToInt(ColumnsWidth(m.Columns, PrtWidth, ColMargin));
    }
}

std::pair<long long, long long> ProjectModel::WidePictureExtent(long long minWidth,
                                                                long long minHeight) const {
    long long w = minWidth;
    long long h = minHeight;
    for (const mdu& m : MduList) {
        w = std::max<long long>(w, static_cast<long long>(m.X) + m.Width + RightSlack);
        h = std::max<long long>(h, static_cast<long long>(m.Y) + TitleHeight + BottomSlack);
    }
    for (const port& p : PortList) {
        w = std::max<long long>(w, static_cast<long long>(p.X) + PrtWidth + RightSlack);
        h = std::max<long long>(h, static_cast<long long>(p.Y) + (p.Collapsed ? 0 : PrtHeight) +
                                       BottomSlack);
    }
    return {w, h};
}

std::pair<int, int> ProjectModel::PictureExtent(int minWidth, int minHeight) const {
    auto [w, h] = WidePictureExtent(minWidth, minHeight);
    return {ToInt(w), ToInt(h)};
}

const RecordColumns& ProjectModel::Columns() const {
    const std::array<long long, 6> records{static_cast<long long>(recordsSerial_),
                                           PrtWidth,
                                           ViewMode,
                                           ColMargin,
                                           static_cast<long long>(MduList.size()),
                                           static_cast<long long>(PortList.size())};
    const std::array<long long, 3> wires{static_cast<long long>(rebuildSerial_), WireEndSize,
                                         static_cast<long long>(WireList.size())};
    if (!columns_) {
        columns_ = std::make_unique<RecordColumns>();
        columnsRecords_.fill(-1);
        columnsWires_.fill(-1);
    }
    if (records != columnsRecords_) {
        columns_->FileInstancesAndPorts(*this);
        columnsRecords_ = records;
    }
    if (wires != columnsWires_) {
        columns_->FileWires(*this);
        columnsWires_ = wires;
    }
    return *columns_;
}

namespace {

struct SizeRange {
    int ProjectModel::*member;
    int low;
    int high;
};

// The ranges the Settings dialog and the zoom commands keep; the three zoomed sizes may grow
// beyond the zoom's bounds when fitted to the labels, so only their lower bound is the zoom's.
const SizeRange LayoutSizeRanges[] = {
    {&ProjectModel::AutoScrollStep, 1, 100},    {&ProjectModel::LeftMargin, 1, 300},
    {&ProjectModel::TopMargin, 1, 300},         {&ProjectModel::MduMargin, 1, 300},
    {&ProjectModel::ColMargin, 1, 300},         {&ProjectModel::MduPrtMargin, 1, 300},
    {&ProjectModel::PrtMargin, 0, 100},         {&ProjectModel::WireEndSize, 1, 50},
    {&ProjectModel::MaxViewHeight, 300, 32760}, {&ProjectModel::CompactMargin, 1, 300},
    {&ProjectModel::TitleHeight, 3, 1000},      {&ProjectModel::PrtHeight, 3, 1000},
    {&ProjectModel::PrtWidth, 3, 1000},         {&ProjectModel::RightSlack, 0, 300},
    {&ProjectModel::BottomSlack, 0, 300},
};

} // namespace

bool ProjectModel::ClampLayoutSizes() {
    bool changed = false;
    for (const SizeRange& r : LayoutSizeRanges) {
        int& v = this->*r.member;
        const int clamped = std::clamp(v, r.low, r.high);
        if (clamped != v) {
            v = clamped;
            changed = true;
        }
    }
    return changed;
}

char ProjectModel::NormalAssignOpenOut(char c) {
    return (c == '0' || c == '1' || c == 'Z' || c == 'N') ? c : 'N';
}
