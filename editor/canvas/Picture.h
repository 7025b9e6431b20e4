// Drawing arithmetic of the schematic without any window: the picture's extent, the boxes, label
// clips, dots and marks that the painter draws, all in picture pixels. A rectangle excludes its
// right and bottom edge, as the drawing routines count them.
#pragma once

#include "editor/model/PixelRect.h"
#include "editor/model/ProjectModel.h"

#include <cstdint>
#include <string>

// The largest side of the off-screen picture, and the most pixels it may hold, so that a
// damaged or huge project can never ask for a bitmap beyond what can be allocated.
inline constexpr int MaxPictureSide = 32767;
inline constexpr std::int64_t MaxPicturePixels = std::int64_t{1} << 27;

struct PictureExtent {
    int Width = 0;
    int Height = 0;
    bool Capped = false; // the picture needed more than MaxPictureSide or MaxPicturePixels
    std::int64_t WantedWidth = 0;
    std::int64_t WantedHeight = 0;
};

// The extent of the picture: at least the scroll box's size, then grown to every instance header
// and every port box plus the slack; computed in 64 bits and capped.
PictureExtent FitCanvasExtent(const ProjectModel& model, int boxWidth, int boxHeight);

// The port's label: its name, or, while "Show Port Width" is down, the width text, a blank and
// the name.
std::string PortLabel(const port& p, bool showWidth);

// Height of a port box: 0 when collapsed.
int PortBoxHeight(const ProjectModel& model, const port& p);
PixelRect PortBox(const ProjectModel& model, const port& p);
// Where the label may paint: one pixel inside the box; empty for a collapsed port.
PixelRect PortLabelClip(const ProjectModel& model, const port& p);
PixelRect HeaderRect(const ProjectModel& model, const mdu& m);
// The box of the dot at a wire end.
PixelRect WireDot(const ProjectModel& model, int x, int y);
// Where the "?" of a suggestion wire starts: left of and above its second end.
void SuggestionMarkOrigin(const ProjectModel& model, const wire& w, int& x, int& y);
// The picture shown when no project is open, placed at the lower right of the visible area.
void BackgroundPictureOrigin(int clientWidth, int clientHeight, int& x, int& y);
inline constexpr int BackgroundPictureWidth = 446;
inline constexpr int BackgroundPictureHeight = 165;
// The flat colour behind it, as a Windows colour value.
inline constexpr int BackgroundFillColor = 0xD8E9EC;
// The rubber band's colour (blue), a Windows colour value.
inline constexpr int RubberBandColor = 0xFF0000;
