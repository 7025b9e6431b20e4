// A rectangle in picture pixels, as the layout, the painter and the canvas count them: it
// excludes its right and bottom edge.
#pragma once

struct PixelRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;  // excluded
    int Bottom = 0; // excluded

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Empty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const PixelRect&) const = default;
};
