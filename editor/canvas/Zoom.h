// The zoom of the picture without any window: steps of the port height, port width, header
// height and canvas fonts within their bounds, and the searches of Full View and Actual Ports Size
// for sizes that fit the picture into the visible area or fit the labels. The window supplies the
// measures of the labels and of the visible area and shows the status texts.
#pragma once

#include "editor/model/ProjectModel.h"

#include <functional>
#include <string>

// Bounds of the zoomed sizes.
inline constexpr int MinPrtHeight = 3;
inline constexpr int MaxPrtHeight = 40;
inline constexpr int MinPrtWidth = 3;
inline constexpr int MaxPrtWidth = 150;
inline constexpr int MinTitleHeight = 3;
inline constexpr int MaxTitleHeight = 40;
// A zoom step keeps every canvas font between these pixel heights.
inline constexpr int MinZoomFont = 4;
inline constexpr int MaxZoomFont = 39;
// The largest ports a new project's fonts give.
inline constexpr int FittedMaxPrtWidth = 100;
inline constexpr int FittedMaxPrtHeight = 25;

struct ZoomMeasure {
    int Width = 0;
    int Height = 0;
};

// What the zoom needs of the window. Every member must be set.
struct ZoomHost {
    // Widest and tallest port label, and instance name, each plus 3, in the present fonts.
    std::function<ZoomMeasure()> MeasurePortLabels;
    std::function<ZoomMeasure()> MeasureModuleNames;
    // The scroll box's width and height, which the picture must not exceed to fit.
    std::function<ZoomMeasure()> ViewSize;
    // Status panel 0.
    std::function<void(const std::string& text)> SetStatus;
    // Rebuilds and lays out the records without drawing; quiet drops what the rebuild logs.
    std::function<void(bool quiet)> Relayout;
    // Lets pending window messages run between the steps of a search (no user input).
    std::function<void()> PendingEvents;
};

class Zoom {
public:
    Zoom(ProjectModel& model, ZoomHost host) : model_(model), host_(std::move(host)) {}

    // One step of height, width, header and fonts: +1 in, -1 out; 0 only re-checks the sizes
    // (clamps them and measures the header again) and writes no status. False when refused.
    bool ZoomStep(int delta);
    // PrtWidth += delta within 3 to 150; false when it had to be clamped.
    bool StepHorizontalZoom(int delta);
    // Whether font can step by delta pixels (and, with apply, steps it). A step is refused only
    // at the bound it moves toward: in at 40 pixels and more, out below 4.
    static bool StepFontHeight(FontValue& font, int delta, bool apply);
    // 'H': the picture fits without a horizontal scroll bar; 'V' vertical; any other letter both.
    bool PictureFitsView(char which) const;
    // PrtHeight += 2 at most 40, -= 2 at least 3.
    void ZoomInVertically();
    void ZoomOutVertically();

    // Full View: the largest zoom at which the picture fits the visible area, then the widest
    // port columns that still fit, at most as wide as the instance names. Answers the number of
    // steps tried; the window rebuilds and draws once afterwards.
    int FullView();
    // Actual Ports Size: ports as large as their labels (at most 150 x 40), widened toward the
    // instance names while the picture fits horizontally. Answers the steps tried.
    int ActualPortsSize();
    // The sizes a new project takes from its fonts: headers as tall as the instance names, ports
    // as tall as their labels (at most 25) and as wide as the wider of labels and names (at most
    // 100). The caller lays the records out again.
    void FitSizesToFonts();

private:
    void Step(const char* status);
    // Widens the port columns by 2 toward the instance names while the picture fits across.
    int WidenTowardNames();
    void ApplyMeasuredTitle();

    ProjectModel& model_;
    ZoomHost host_;
    // The width-to-height ratio that zoom steps keep: taken from the sizes whenever something
    // other than a step changed them, so that steps out and back in restore the width exactly.
    int ratioWidth_ = 0;
    int ratioHeight_ = 0;
    int steppedWidth_ = -1;
    int steppedHeight_ = -1;
};

// The status texts of the zoom.
extern const char* const ZoomInOkText;
extern const char* const ZoomOutOkText;
extern const char* const TooLargeToZoomInText;
extern const char* const TooSmallToZoomOutText;
extern const char* const ZoomAdjustingText;
extern const char* const ZoomAdjustmentOkText;
