// A font's height in pixels beside its size in points: the zoom steps whole pixels, the files
// keep the nearest whole points, and a size read from a file may be anything.
#include "editor/model/FontValue.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct Conversion {
    long long from;
    int to;
};

TEST(FontHeight, PointsGiveTheNearestPixelAt96Dpi) {
    const Conversion cases[] = {
        {8, 11},  // 10.67
        {9, 12},  // exact
        {10, 13}, // 13.33
        {0, 0},
        {-8, -11},
        {INT_MAX, INT_MAX}, // a size from a file that no font has: clamped, never wrapped
        {static_cast<long long>(INT_MIN), INT_MIN},
    };
    for (const Conversion& c : cases)
        EXPECT_EQ(PointsToPixels(c.from), c.to) << c.from;
}

TEST(FontHeight, PixelsGiveTheNearestPointHalvesAwayFromZero) {
    const Conversion cases[] = {
        {14, 11},           // 10.5
        {13, 10},           // 9.75
        {11, 8},            // 8.25
        {12, 9},    {1, 1}, // 0.75
        {-14, -11}, {INT_MAX, 1610612735},
    };
    for (const Conversion& c : cases)
        EXPECT_EQ(PixelsToPoints(c.from), c.to) << c.from;
}

TEST(FontHeight, EveryPixelStepIsKeptWhereWholePointsWouldSkipOrRepeatOne) {
    FontValue f;
    f.SetPoints(8);
    EXPECT_EQ(f.Pixels(), 11);
    int previous = f.Pixels();
    for (int step = 0; step < 20; ++step) {
        f.SetPixels(f.Pixels() + 1);
        EXPECT_EQ(f.Pixels(), previous + 1);
        EXPECT_EQ(f.Size, PixelsToPoints(f.Pixels()));
        previous = f.Pixels();
    }
    for (int step = 0; step < 20; ++step)
        f.SetPixels(f.Pixels() - 1);
    EXPECT_EQ(f.Pixels(), 11);
    EXPECT_EQ(f.Size, 8);
}

TEST(FontHeight, ASizeInPointsReplacesAHeightInPixels) {
    FontValue f;
    f.SetPixels(30);
    f.SetPoints(12);
    EXPECT_EQ(f.Height, 0);
    EXPECT_EQ(f.Pixels(), 16);
    // A negative size (a cell height) and a zero size still give a usable height.
    f.SetPoints(-9);
    EXPECT_EQ(f.Pixels(), 12);
    f.SetPoints(0);
    EXPECT_EQ(f.Pixels(), 1);
    f.SetPixels(0);
    EXPECT_EQ(f.Pixels(), 1);
}

TEST(FontHeight, AProjectFontLineSetsPoints) {
    FontValue f;
    f.SetPixels(40);
    ASSERT_EQ(FontFromFields(MakeLine({"HS", "1", "Arial", "0", "10"}), f), 0);
    EXPECT_EQ(f.Size, 10);
    EXPECT_EQ(f.Pixels(), 13);
}

} // namespace
