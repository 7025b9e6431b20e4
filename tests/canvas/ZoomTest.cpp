// The zoom on a real laid-out project with a fake measure of labels and names: the step bounds
// and their status texts, the width that keeps its ratio, the font bounds, and the fitting
// searches of Full View and Actual Ports Size.
#include "editor/canvas/Zoom.h"

#include "model/ModelText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class ZoomTest : public ::testing::Test {
protected:
    ZoomTest() : zoom(model, Host()) { Open(SmallProject); }

    void Open(const std::string& text) {
        model.LineList = LinesFromText(text);
        model.PrjOpen = true;
        model.UpdatePicExecute(RebuildSender::MainWindow);
    }

    ZoomHost Host() {
        ZoomHost h;
        h.MeasurePortLabels = [this] { return labels; };
        // The names' height follows the instance font, as a real measure does.
        h.MeasureModuleNames = [this] {
            return ZoomMeasure{namesWidth, model.MduFont.Pixels() + 3};
        };
        h.ViewSize = [this] { return view; };
        h.SetStatus = [this](const std::string& text) {
            status = text;
            ++statusWrites;
        };
        h.Relayout = [this](bool quiet) {
            model.Log.SetMuted(quiet);
            model.UpdatePicExecute(RebuildSender::PaintBox1);
            model.Log.SetMuted(false);
            heights.push_back(model.PrtHeight);
        };
        h.PendingEvents = [this] { ++pending; };
        return h;
    }

    // Sets the sizes as a settings file would, outside any zoom step.
    void Sizes(int width, int height, int title = 15) {
        model.PrtWidth = width;
        model.PrtHeight = height;
        model.TitleHeight = title;
    }

    std::vector<int> FontPixels() {
        std::vector<int> px;
        for (const FontValue* f : {&model.MduFont, &model.InFont, &model.OutFont, &model.InoutFont,
                                   &model.VarFont, &model.ParaMduFont})
            px.push_back(f->Pixels());
        return px;
    }

    int Count(const std::string& line) const {
        const auto& lines = model.Log.Lines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }

    ProjectModel model;
    ZoomMeasure labels{30, 14};
    int namesWidth = 40;
    ZoomMeasure view{2000, 2000};
    std::string status;
    int statusWrites = 0;
    std::vector<int> heights;
    int pending = 0;
    Zoom zoom;
};

struct StepCase {
    const char* name;
    int width, height;
    int delta;
    bool ok;
    int wantWidth, wantHeight;
    const char* status;
};

TEST_F(ZoomTest, StepsWithinTheBoundsKeepingTheWidthsRatio) {
    const StepCase cases[] = {
        {"in to 39", 40, 38, +1, true, 41, 39, "Zoom in ok"},
        {"in at 39", 40, 39, +1, false, 40, 39, "Too large to zoom in"},
        {"out at 4", 40, 4, -1, false, 40, 4, "Too small to zoom out"},
        {"out at 5", 40, 5, -1, true, 32, 4, "Zoom out ok"},
        {"ratio kept", 100, 10, +1, true, 110, 11, "Zoom in ok"},
        {"width 150 or more kept", 140, 14, +1, true, 140, 15, "Zoom in ok"},
        {"width below 4 kept", 3, 20, -1, true, 3, 19, "Zoom out ok"},
        {"clamped first", 400, 90, -1, true, 146, 39, "Zoom out ok"},
    };
    for (const StepCase& c : cases) {
        Sizes(c.width, c.height);
        EXPECT_EQ(zoom.ZoomStep(c.delta), c.ok) << c.name;
        EXPECT_EQ(model.PrtWidth, c.wantWidth) << c.name;
        EXPECT_EQ(model.PrtHeight, c.wantHeight) << c.name;
        EXPECT_EQ(status, c.status) << c.name;
        // The header follows the instance font after every step.
        EXPECT_EQ(model.TitleHeight, model.MduFont.Pixels() + 3) << c.name;
    }
}

TEST_F(ZoomTest, OneFontAtItsBoundRefusesTheWholeStep) {
    Sizes(40, 20);
    model.InFont.SetPixels(39);
    const std::vector<int> before = FontPixels();
    EXPECT_FALSE(zoom.ZoomStep(+1));
    EXPECT_EQ(status, "Too large to zoom in");
    EXPECT_EQ(model.PrtHeight, 20);
    EXPECT_EQ(FontPixels(), before);

    // At the lower bound only zooming out is refused.
    model.InFont.SetPixels(4);
    EXPECT_FALSE(zoom.ZoomStep(-1));
    EXPECT_EQ(status, "Too small to zoom out");
    EXPECT_TRUE(zoom.ZoomStep(+1));
    EXPECT_EQ(model.InFont.Pixels(), 5);
}

TEST_F(ZoomTest, AFontAboveTheBoundStillStepsDownAndEveryFontMovesByOnePixel) {
    Sizes(40, 20);
    model.VarFont.SetPixels(48);
    const std::vector<int> before = FontPixels();
    EXPECT_TRUE(zoom.ZoomStep(-1));
    EXPECT_EQ(status, "Zoom out ok");
    std::vector<int> after = FontPixels();
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(after[i], before[i] - 1) << i;
    EXPECT_FALSE(zoom.ZoomStep(+1) && model.VarFont.Pixels() > 47);
    EXPECT_EQ(model.VarFont.Pixels(), 47);
}

TEST_F(ZoomTest, OutThenInRestoresEveryFontAndSize) {
    Sizes(40, 15);
    model.OutFont.SetPoints(10);
    model.ParaMduFont.SetPixels(17);
    ASSERT_TRUE(zoom.ZoomStep(0));
    const std::vector<int> fonts = FontPixels();
    const int outSize = model.OutFont.Size;
    const int title = model.TitleHeight;
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(zoom.ZoomStep(-1)) << i;
    EXPECT_NE(model.PrtWidth, 40);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(zoom.ZoomStep(+1)) << i;
    EXPECT_EQ(FontPixels(), fonts);
    EXPECT_EQ(model.OutFont.Size, outSize);
    EXPECT_EQ(model.PrtWidth, 40);
    EXPECT_EQ(model.PrtHeight, 15);
    EXPECT_EQ(model.TitleHeight, title);
}

TEST_F(ZoomTest, AStepOfZeroOnlyClampsAndMeasuresTheHeaderAgain) {
    Sizes(500, 2, 99);
    const std::vector<int> fonts = FontPixels();
    EXPECT_TRUE(zoom.ZoomStep(0));
    EXPECT_EQ(statusWrites, 0);
    EXPECT_EQ(model.PrtWidth, 150);
    EXPECT_EQ(model.PrtHeight, 3);
    EXPECT_EQ(model.TitleHeight, model.MduFont.Pixels() + 3);
    EXPECT_EQ(FontPixels(), fonts);
}

struct HorizontalCase {
    int width, delta;
    bool ok;
    int want;
};

TEST_F(ZoomTest, HorizontalAndVerticalStepsStopAtTheirBounds) {
    const HorizontalCase cases[] = {
        {149, +3, false, 150}, {147, +3, true, 150}, {4, -3, false, 3},
        {6, -3, true, 3},      {40, +3, true, 43},
    };
    for (const HorizontalCase& c : cases) {
        model.PrtWidth = c.width;
        EXPECT_EQ(zoom.StepHorizontalZoom(c.delta), c.ok) << c.width << " " << c.delta;
        EXPECT_EQ(model.PrtWidth, c.want) << c.width << " " << c.delta;
    }
    model.PrtHeight = 4;
    zoom.ZoomOutVertically();
    EXPECT_EQ(model.PrtHeight, 3);
    zoom.ZoomOutVertically();
    EXPECT_EQ(model.PrtHeight, 3);
    model.PrtHeight = 39;
    zoom.ZoomInVertically();
    EXPECT_EQ(model.PrtHeight, 40);
}

TEST_F(ZoomTest, ThePictureFitsWhileItsExtentIsWithinTheViewInEachDirection) {
    model.ComputeModuleWidths();
    const auto [w, h] = model.WidePictureExtent(1, 1);
    const int width = static_cast<int>(w);
    const int height = static_cast<int>(h);
    struct Case {
        int viewWidth, viewHeight;
        bool fitsH, fitsV, both;
    } cases[] = {
        {width, height, true, true, true},
        {width - 1, height, false, true, false},
        {width, height - 1, true, false, false},
    };
    for (const Case& c : cases) {
        view = {c.viewWidth, c.viewHeight};
        EXPECT_EQ(zoom.PictureFitsView('H'), c.fitsH) << c.viewWidth << "x" << c.viewHeight;
        EXPECT_EQ(zoom.PictureFitsView('V'), c.fitsV) << c.viewWidth << "x" << c.viewHeight;
        EXPECT_EQ(zoom.PictureFitsView('B'), c.both) << c.viewWidth << "x" << c.viewHeight;
    }
}

// A project whose picture is tall: one instance with many ports in one column.
std::string TallProject(int ports) {
    std::string text = "TOP\t\ttop\nMODULE\tcore\tu1\t/src/core.v\tverilog\n";
    for (int i = 0; i < ports; ++i)
        text += "INPUT\t\t\tp" + std::to_string(i) + "\n";
    return text;
}

TEST_F(ZoomTest, FullViewZoomsAFittingPictureInUntilItNoLongerFitsThenOutOneStep) {
    // A stray line before the top makes every rebuild warn: the command reports it once.
    Open("INPUT\t\t\tstray\n" + TallProject(12));
    const std::string warning =
        "Warning: Lines without a TOP or MODULE line above them are ignored, the first at line 0.";
    const std::size_t logged = model.Log.Lines().size();
    labels = {30, 8};
    namesWidth = 90;
    Sizes(40, 8);
    model.ComputeModuleWidths();
    view = {1000, 300};
    zoom.FullView();

    // Each rebuild's port height: up by one step at a time, one step back, then unchanged
    // while the columns widen.
    ASSERT_GE(heights.size(), 3u);
    std::size_t back = 1;
    while (back < heights.size() && heights[back] == heights[back - 1] + 1)
        ++back;
    ASSERT_LT(back, heights.size());
    EXPECT_GT(back, 1u);
    EXPECT_EQ(heights[back], heights[back - 1] - 1);
    for (std::size_t i = back + 1; i < heights.size(); ++i)
        EXPECT_EQ(heights[i], heights[back]) << i;
    EXPECT_EQ(model.PrtHeight, heights[back]);
    int warnings = 0;
    for (std::size_t i = logged; i < model.Log.Lines().size(); ++i)
        warnings += model.Log.Lines()[i] == warning;
    EXPECT_EQ(warnings, 1);
    EXPECT_TRUE(zoom.PictureFitsView('B'));
    // At one step more it would not fit.
    model.PrtHeight += 1;
    model.UpdatePicExecute(RebuildSender::PaintBox1);
    EXPECT_FALSE(zoom.PictureFitsView('V'));
    model.PrtHeight -= 1;
    // The port columns widened toward the names while the picture still fit.
    EXPECT_GE(model.PrtWidth, 90);
    EXPECT_EQ(status, "Zoom adjustment ok");
    EXPECT_GT(pending, 0);
}

TEST_F(ZoomTest, FullViewOfAPictureThatNeverFitsStopsAtTheBounds) {
    Open(TallProject(3000));
    labels = {30, 60};
    Sizes(40, 15);
    view = {100, 100};
    zoom.FullView();
    // Zooming out stopped where the fonts reached their smallest (7 steps from 11 pixels), the
    // columns at their narrowest.
    EXPECT_EQ(model.MduFont.Pixels(), 4);
    EXPECT_EQ(model.PrtHeight, 40 - 7);
    EXPECT_EQ(model.PrtWidth, 3);
    EXPECT_EQ(status, "Zoom adjustment ok");
    EXPECT_FALSE(zoom.ZoomStep(-1));
    // The first height came from the labels, capped at the zoom's largest.
    ASSERT_FALSE(heights.empty());
    EXPECT_EQ(heights.front(), 40);
}

TEST_F(ZoomTest, ActualPortsSizeCapsLabelsAt150By40AndZoomInKeepsTheCap) {
    for (int names : {180, 250}) {
        labels = {200, 55};
        namesWidth = names;
        Sizes(40, 15);
        zoom.ActualPortsSize();
        EXPECT_EQ(model.PrtWidth, 150) << names;
        EXPECT_EQ(model.PrtHeight, 40) << names;
        EXPECT_EQ(status, "Zoom adjustment ok");
        model.PrtHeight = 20;
        zoom.ZoomStep(+1);
        EXPECT_EQ(model.PrtWidth, 150) << names;
    }
}

TEST_F(ZoomTest, ActualPortsSizeWidensTowardTheNamesInStepsOfTwo) {
    labels = {30, 14};
    namesWidth = 37;
    zoom.ActualPortsSize();
    EXPECT_EQ(model.PrtHeight, 14);
    EXPECT_EQ(model.PrtWidth, 38); // 30, 32, ... 38: the first not narrower than the names
}

} // namespace
