// Filing records by the columns of the picture they cover.
#include "editor/model/RecordColumns.h"

#include "editor/model/ProjectModel.h"

#include <algorithm>

void ColumnIndex::Build(const std::vector<long long>& left, const std::vector<long long>& right) {
    levels_.clear();
    size_ = left.size();
    if (size_ == 0)
        return;
    origin_ = *std::min_element(left.begin(), left.end());
    const long long width = *std::max_element(right.begin(), right.end()) - origin_ + 1;
    // The finest columns are 64 pixels wide, or wider where the items are spread far, so that no
    // level holds many more columns than there are items.
    int base = 6;
    while (base < 62 && (width >> base) > static_cast<long long>(size_) * 2 + 1024)
        ++base;
    std::vector<int> levelOf(size_);
    int top = base;
    for (std::size_t i = 0; i < size_; ++i) {
        int shift = base;
        while (shift < 62 && ((right[i] - origin_) >> shift) - ((left[i] - origin_) >> shift) > 1)
            ++shift;
        levelOf[i] = shift;
        top = std::max(top, shift);
    }
    // Per level: count the items of each column, then place them, in item order within a column.
    std::vector<int> used(static_cast<std::size_t>(top - base + 1), 0);
    for (int shift : levelOf)
        ++used[static_cast<std::size_t>(shift - base)];
    std::vector<int> slot(used.size(), -1);
    for (std::size_t k = 0; k < used.size(); ++k) {
        if (used[k] == 0)
            continue;
        slot[k] = static_cast<int>(levels_.size());
        Level& l = levels_.emplace_back();
        l.Shift = base + static_cast<int>(k);
        l.Starts.assign(static_cast<std::size_t>(((width - 1) >> l.Shift) + 2), 0);
        l.Items.resize(static_cast<std::size_t>(used[k]));
    }
    for (std::size_t i = 0; i < size_; ++i) {
        Level& l =
            levels_[static_cast<std::size_t>(slot[static_cast<std::size_t>(levelOf[i] - base)])];
        ++l.Starts[static_cast<std::size_t>(Column(left[i], l.Shift)) + 1];
    }
    for (Level& l : levels_)
        for (std::size_t b = 1; b < l.Starts.size(); ++b)
            l.Starts[b] += l.Starts[b - 1];
    std::vector<std::vector<int>> next(levels_.size());
    for (std::size_t k = 0; k < levels_.size(); ++k)
        next[k].assign(levels_[k].Starts.begin(), levels_[k].Starts.end() - 1);
    for (std::size_t i = 0; i < size_; ++i) {
        const std::size_t k =
            static_cast<std::size_t>(slot[static_cast<std::size_t>(levelOf[i] - base)]);
        Level& l = levels_[k];
        const std::size_t b = static_cast<std::size_t>(Column(left[i], l.Shift));
        l.Items[static_cast<std::size_t>(next[k][b]++)] = static_cast<int>(i);
    }
}

void RecordColumns::FileInstancesAndPorts(const ProjectModel& model) {
    std::vector<long long> left;
    std::vector<long long> right;
    left.reserve(model.PortList.size());
    right.reserve(model.PortList.size());
    for (const mdu& m : model.MduList) {
        left.push_back(m.X);
        right.push_back(static_cast<long long>(m.X) + m.Width);
    }
    Instances.Build(left, right);
    left.clear();
    right.clear();
    for (const port& p : model.PortList) {
        left.push_back(p.X);
        right.push_back(static_cast<long long>(p.X) + model.PrtWidth);
    }
    Ports.Build(left, right);
}

void RecordColumns::FileWires(const ProjectModel& model) {
    std::vector<long long> left;
    std::vector<long long> right;
    left.reserve(model.WireList.size());
    right.reserve(model.WireList.size());
    const long long r = model.WireEndSize;
    for (const wire& w : model.WireList) {
        left.push_back(std::min(w.X1, w.X2) - r);
        right.push_back(static_cast<long long>(std::max(w.X1, w.X2)) + r);
    }
    Wires.Build(left, right);
}
