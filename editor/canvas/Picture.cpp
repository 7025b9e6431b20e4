// The schematic's drawing arithmetic.
#include "editor/canvas/Picture.h"

#include <algorithm>

PictureExtent FitCanvasExtent(const ProjectModel& model, int boxWidth, int boxHeight) {
    auto [wide, high] = model.WidePictureExtent(std::max(boxWidth, 1), std::max(boxHeight, 1));
    std::int64_t w = wide;
    std::int64_t h = high;
    PictureExtent e;
    e.WantedWidth = w;
    e.WantedHeight = h;
    if (w > MaxPictureSide) {
        w = MaxPictureSide;
        e.Capped = true;
    }
    if (h > MaxPictureSide) {
        h = MaxPictureSide;
        e.Capped = true;
    }
    if (w * h > MaxPicturePixels) {
        h = std::max<std::int64_t>(1, MaxPicturePixels / w);
        e.Capped = true;
    }
    e.Width = static_cast<int>(w);
    e.Height = static_cast<int>(h);
    return e;
}

std::string PortLabel(const port& p, bool showWidth) {
    if (!showWidth)
        return p.Name;
    return p.WidthText + " " + p.Name;
}

int PortBoxHeight(const ProjectModel& model, const port& p) {
    return p.Collapsed ? 0 : model.PrtHeight;
}

PixelRect PortBox(const ProjectModel& model, const port& p) {
    return {p.X, p.Y, p.X + model.PrtWidth, p.Y + PortBoxHeight(model, p)};
}

PixelRect PortLabelClip(const ProjectModel& model, const port& p) {
    const int bottom = p.Collapsed ? p.Y : p.Y + model.PrtHeight - 1;
    return {p.X + 1, p.Y + 1, p.X + model.PrtWidth - 1, bottom};
}

PixelRect HeaderRect(const ProjectModel& model, const mdu& m) {
    return {m.X, m.Y, m.X + m.Width, m.Y + model.TitleHeight};
}

PixelRect WireDot(const ProjectModel& model, int x, int y) {
    const int r = model.WireEndSize;
    return {x - r, y - r, x + r, y + r};
}

void SuggestionMarkOrigin(const ProjectModel& model, const wire& w, int& x, int& y) {
    x = w.X2 - 5;
    y = w.Y2 - model.PrtHeight / 2;
}

void BackgroundPictureOrigin(int clientWidth, int clientHeight, int& x, int& y) {
    x = std::max(0, clientWidth - BackgroundPictureWidth);
    y = std::max(0, clientHeight - BackgroundPictureHeight);
}
