// Zoom steps and the fitting searches of the picture.
#include "editor/canvas/Zoom.h"

#include <algorithm>
#include <array>

const char* const ZoomInOkText = "Zoom in ok";
const char* const ZoomOutOkText = "Zoom out ok";
const char* const TooLargeToZoomInText = "Too large to zoom in";
const char* const TooSmallToZoomOutText = "Too small to zoom out";
const char* const ZoomAdjustingText = "Zoom adjusting...";
const char* const ZoomAdjustmentOkText = "Zoom adjustment ok";

namespace {

std::array<FontValue*, 6> CanvasFonts(ProjectModel& m) {
    return {&m.MduFont, &m.InFont, &m.OutFont, &m.InoutFont, &m.VarFont, &m.ParaMduFont};
}

} // namespace

bool Zoom::StepFontHeight(FontValue& font, int delta, bool apply) {
    const long long n = static_cast<long long>(font.Pixels()) + delta;
    if ((delta > 0 && n > MaxZoomFont) || (delta < 0 && n < MinZoomFont))
        return false;
    if (apply && delta != 0)
        font.SetPixels(static_cast<int>(n));
    return true;
}

void Zoom::ApplyMeasuredTitle() {
    model_.TitleHeight = host_.MeasureModuleNames().Height;
}

bool Zoom::ZoomStep(int delta) {
    ProjectModel& m = model_;
    m.PrtHeight = std::clamp(m.PrtHeight, MinPrtHeight, MaxPrtHeight);
    m.TitleHeight = std::clamp(m.TitleHeight, MinTitleHeight, MaxTitleHeight);
    m.PrtWidth = std::clamp(m.PrtWidth, MinPrtWidth, MaxPrtWidth);
    if (delta == 0) {
        ApplyMeasuredTitle();
        return true;
    }
    if (m.PrtWidth != steppedWidth_ || m.PrtHeight != steppedHeight_) {
        ratioWidth_ = m.PrtWidth;
        ratioHeight_ = m.PrtHeight;
    }
    const int h = m.PrtHeight + delta;
    const int w = static_cast<int>(static_cast<long long>(h) * ratioWidth_ / ratioHeight_);
    const int t = m.TitleHeight + delta;
    bool possible = h > 3 && h < 40 && t >= 4 && t < 40;
    for (FontValue* f : CanvasFonts(m))
        possible = possible && StepFontHeight(*f, delta, false);
    if (possible) {
        for (FontValue* f : CanvasFonts(m))
            StepFontHeight(*f, delta, true);
        m.PrtHeight = h;
        if (w >= 4 && w < 150)
            m.PrtWidth = w;
        host_.SetStatus(delta > 0 ? ZoomInOkText : ZoomOutOkText);
    } else {
        host_.SetStatus(delta > 0 ? TooLargeToZoomInText : TooSmallToZoomOutText);
    }
    ApplyMeasuredTitle();
    steppedWidth_ = m.PrtWidth;
    steppedHeight_ = m.PrtHeight;
    return possible;
}

bool Zoom::StepHorizontalZoom(int delta) {
    const long long w = static_cast<long long>(model_.PrtWidth) + delta;
    if (w > MaxPrtWidth) {
        model_.PrtWidth = MaxPrtWidth;
        return false;
    }
    if (w < MinPrtWidth) {
        model_.PrtWidth = MinPrtWidth;
        return false;
    }
    model_.PrtWidth = static_cast<int>(w);
    return true;
}

void Zoom::ZoomInVertically() {
    model_.PrtHeight = std::min(model_.PrtHeight + 2, MaxPrtHeight);
}

void Zoom::ZoomOutVertically() {
    model_.PrtHeight = std::max(model_.PrtHeight - 2, MinPrtHeight);
}

bool Zoom::PictureFitsView(char which) const {
    model_.ComputeModuleWidths();
    const auto [w, h] = model_.WidePictureExtent(1, 1);
    const ZoomMeasure view = host_.ViewSize();
    const bool fitsH = w <= view.Width;
    const bool fitsV = h <= view.Height;
    if (which == 'H')
        return fitsH;
    if (which == 'V')
        return fitsV;
    return fitsH && fitsV;
}

void Zoom::Step(const char* status) {
    host_.Relayout(true);
    host_.SetStatus(status);
    host_.PendingEvents();
}

int Zoom::WidenTowardNames() {
    int steps = 0;
    const int names = host_.MeasureModuleNames().Width;
    while (model_.PrjOpen && PictureFitsView('H') && model_.PrtWidth < names) {
        ++steps;
        if (!StepHorizontalZoom(+2))
            break;
        Step(ZoomAdjustingText);
    }
    return steps;
}

int Zoom::FullView() {
    ProjectModel& m = model_;
    int steps = 0;
    // Labels taller than a zoom step may reach start at the largest port height.
    m.PrtHeight = std::min(host_.MeasurePortLabels().Height, MaxPrtHeight);
    host_.Relayout(false);
    while (m.PrjOpen && PictureFitsView('B')) {
        ++steps;
        if (!ZoomStep(+1))
            break;
        Step(ZoomAdjustingText);
    }
    while (m.PrjOpen && !PictureFitsView('B')) {
        ++steps;
        if (!ZoomStep(-1))
            break;
        Step(ZoomAdjustingText);
    }
    steps += WidenTowardNames();
    while (m.PrjOpen && !PictureFitsView('H')) {
        ++steps;
        if (!StepHorizontalZoom(-1))
            break;
        Step(ZoomAdjustingText);
    }
    host_.SetStatus(ZoomAdjustmentOkText);
    return steps;
}

void Zoom::FitSizesToFonts() {
    const ZoomMeasure labels = host_.MeasurePortLabels();
    const ZoomMeasure names = host_.MeasureModuleNames();
    model_.TitleHeight = names.Height;
    model_.PrtWidth = std::min(std::max(labels.Width, names.Width), FittedMaxPrtWidth);
    model_.PrtHeight = std::min(labels.Height, FittedMaxPrtHeight);
}

int Zoom::ActualPortsSize() {
    ProjectModel& m = model_;
    const ZoomMeasure labels = host_.MeasurePortLabels();
    // Labels wider or taller than the zoom's bounds give the largest ports the zoom can keep.
    m.PrtWidth = std::min(labels.Width, MaxPrtWidth);
    m.PrtHeight = std::min(labels.Height, MaxPrtHeight);
    host_.Relayout(false);
    const int steps = WidenTowardNames();
    host_.SetStatus(ZoomAdjustmentOkText);
    return steps;
}
