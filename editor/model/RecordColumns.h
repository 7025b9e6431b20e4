// Where the records lie across the picture: instances, ports and wires filed by the columns
// their boxes cover, so that the hit test and the drawing of the visible part look only at the
// records near the place asked about, whatever the size of the project.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Items filed by the span of x they cover. Each item is filed once, in the narrowest of a set of
// ever coarser column widths in which it covers at most two columns: a short item lies near the
// columns asked for, a long one (a wire across the picture) is met once however far it reaches.
class ColumnIndex {
public:
    // Files item i as covering x from left[i] to right[i], both included.
    void Build(const std::vector<long long>& left, const std::vector<long long>& right);
    std::size_t Size() const { return size_; }

    // Calls visit(i) once for every item that may cover some x from x0 to x1, both included: all
    // that do, and a few near them that do not.
    template <class Visit> void Near(long long x0, long long x1, Visit visit) const {
        if (size_ == 0 || x1 < x0)
            return;
        for (const Level& l : levels_) {
            const long long last = static_cast<long long>(l.Starts.size()) - 2;
            long long b0 = Column(x0, l.Shift) - 1;
            long long b1 = Column(x1, l.Shift);
            if (b1 < 0 || b0 > last)
                continue;
            if (b0 < 0)
                b0 = 0;
            if (b1 > last)
                b1 = last;
            for (int k = l.Starts[static_cast<std::size_t>(b0)];
                 k < l.Starts[static_cast<std::size_t>(b1) + 1]; ++k)
                visit(l.Items[static_cast<std::size_t>(k)]);
        }
    }

private:
    long long Column(long long x, int shift) const { return (x - origin_) >> shift; }
    struct Level {
        int Shift = 0;
        std::vector<int> Starts; // per column, where its items start in Items; one more at the end
        std::vector<int> Items;
    };
    long long origin_ = 0;
    std::size_t size_ = 0;
    std::vector<Level> levels_; // only the levels that hold items
};

class ProjectModel;

// The instances, ports and ordinary wires of one rebuild filed by their columns, with the boxes
// as the layout and the drawing count them (a wire with its end dots).
struct RecordColumns {
    ColumnIndex Instances;
    ColumnIndex Ports;
    ColumnIndex Wires;

    // The instances and ports, which only the whole rebuild moves, and the wires, which the
    // rebuild of the wires makes again, are filed apart.
    void FileInstancesAndPorts(const ProjectModel& model);
    void FileWires(const ProjectModel& model);
};
