// The schematic's drawing arithmetic: picture extent with its cap, port boxes and label clips,
// wire dots, the suggestion mark and the empty-project picture's place.
#include "editor/canvas/Picture.h"

#include "model/ModelText.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct Built {
    ProjectModel model;
    explicit Built(const char* text, bool open = true) {
        model.LineList = LinesFromText(text);
        model.PrjOpen = open;
        model.UpdatePicExecute(RebuildSender::MainWindow);
    }
};

TEST(PictureExtent, IsAtLeastTheScrollBoxWhenThePictureIsSmaller) {
    Built b(SmallProject);
    const PictureExtent e = FitCanvasExtent(b.model, 2000, 1500);
    EXPECT_EQ(e.Width, 2000);
    EXPECT_EQ(e.Height, 1500);
    EXPECT_FALSE(e.Capped);
}

TEST(PictureExtent, ReachesTheLastPortAndHeaderPlusTheSlack) {
    Built b(SmallProject);
    const PictureExtent e = FitCanvasExtent(b.model, 10, 10);
    int w = 0;
    int h = 0;
    for (const port& p : b.model.PortList) {
        w = std::max(w, p.X + b.model.PrtWidth + b.model.RightSlack);
        h = std::max(h, p.Y + b.model.PrtHeight + b.model.BottomSlack);
    }
    for (const mdu& m : b.model.MduList)
        w = std::max(w, m.X + m.Width + b.model.RightSlack);
    EXPECT_EQ(e.Width, w);
    EXPECT_EQ(e.Height, h);
    // Three boxes side by side: 6 + 3 * 40 + 2 * 10 + 6.
    EXPECT_EQ(e.Width, 152);
}

TEST(PictureExtent, ACollapsedPortAddsNoHeight) {
    Built b(SmallProject);
    port& last = b.model.PortList.back();
    last.Y = 500; // the lowest port decides the height
    const int before = FitCanvasExtent(b.model, 1, 1).Height;
    last.Collapsed = true;
    EXPECT_EQ(FitCanvasExtent(b.model, 1, 1).Height, before - b.model.PrtHeight);
}

TEST(PictureExtent, IsComputedWithoutOverflowAndCappedForFarCoordinates) {
    Built b(SmallProject);
    b.model.PortList.back().X = INT_MAX - 10;
    b.model.PortList.back().Y = INT_MAX - 10;
    const PictureExtent e = FitCanvasExtent(b.model, 100, 100);
    EXPECT_TRUE(e.Capped);
    EXPECT_EQ(e.WantedWidth, std::int64_t{INT_MAX} - 10 + 40 + 6);
    EXPECT_LE(e.Width, MaxPictureSide);
    EXPECT_LE(e.Height, MaxPictureSide);
    EXPECT_LE(std::int64_t{e.Width} * e.Height, MaxPicturePixels);
    EXPECT_GT(e.Height, 0);
}

TEST(PictureExtent, CapsTheAreaOfAWideAndTallPicture) {
    Built b(SmallProject);
    b.model.PortList.back().X = 30000;
    b.model.PortList.back().Y = 30000;
    const PictureExtent e = FitCanvasExtent(b.model, 100, 100);
    EXPECT_TRUE(e.Capped);
    EXPECT_EQ(e.Width, 30046);
    EXPECT_EQ(e.Height, static_cast<int>(MaxPicturePixels / 30046));
}

TEST(PortLabelRule, ShowsTheWidthTextABlankAndTheNameWhileWidthsAreShown) {
    port p;
    p.Name = "data";
    p.WidthText = "7:0";
    EXPECT_EQ(PortLabel(p, false), "data");
    EXPECT_EQ(PortLabel(p, true), "7:0 data");
    p.WidthText.clear();
    EXPECT_EQ(PortLabel(p, true), " data");
}

TEST(PortBoxes, ExcludeTheirRightAndBottomEdgeAndCollapseToNothing) {
    Built b(SmallProject);
    const port& p = b.model.PortList.front();
    EXPECT_EQ(PortBox(b.model, p), (PixelRect{p.X, p.Y, p.X + 40, p.Y + 15}));
    EXPECT_EQ(PortLabelClip(b.model, p), (PixelRect{p.X + 1, p.Y + 1, p.X + 39, p.Y + 14}));
    port collapsed = p;
    collapsed.Collapsed = true;
    EXPECT_TRUE(PortBox(b.model, collapsed).Empty());
    EXPECT_TRUE(PortLabelClip(b.model, collapsed).Empty());
}

TEST(WireDots, AreBoxesOfTheEndSizeAroundTheEnd) {
    Built b(SmallProject);
    EXPECT_EQ(WireDot(b.model, 100, 50), (PixelRect{96, 46, 104, 54}));
}

TEST(SuggestionMark, StandsFiveLeftAndHalfAPortAboveTheSecondEnd) {
    Built b(SmallProject);
    wire w;
    w.X2 = 200;
    w.Y2 = 100;
    int x = 0;
    int y = 0;
    SuggestionMarkOrigin(b.model, w, x, y);
    EXPECT_EQ(x, 195);
    EXPECT_EQ(y, 93); // 15 / 2 rounds toward zero
}

TEST(BackgroundPicture, SitsInTheLowerRightCornerAndStartsAtZeroInANarrowBox) {
    int x = 0;
    int y = 0;
    BackgroundPictureOrigin(1000, 700, x, y);
    EXPECT_EQ(x, 1000 - 446);
    EXPECT_EQ(y, 700 - 165);
    BackgroundPictureOrigin(300, 100, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

} // namespace
