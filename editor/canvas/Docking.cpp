// Sizes of the dock panels.
#include "editor/canvas/Docking.h"

#include <cstdint>

int DockPanelOpenExtent(DockPanel panel, int clientWidth, int clientHeight) {
    // 64 bits: the product of a large window size and the numerator must not wrap.
    if (panel == DockPanel::Bottom)
        return static_cast<int>(std::int64_t{clientHeight} * 5 / 16);
    return static_cast<int>(std::int64_t{clientWidth} * 2 / 7);
}
