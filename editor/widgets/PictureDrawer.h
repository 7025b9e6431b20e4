// What the main window needs from the schematic's painter: draw the whole picture into the
// off-screen bitmap and measure labels for the zoom. The painter lives with the canvas; the main
// program hands one to the window.
#pragma once

#include "editor/model/PixelRect.h"
#include "editor/model/ProjectModel.h"
#include "editor/model/ViewState.h"

#include <QImage>
#include <QSize>

#include <array>

struct DrawInput {
    const ProjectModel& Model;
    const ViewState& View;
    char MouseMode;                // '1' while a rubber band is dragged
    std::array<int, 4> RubberRect; // x0, y0, x1, y1
    int ClientWidth;               // the scroll box's visible area
    int ClientHeight;
    // The part of the picture the scroll box shows, in picture pixels: only it is drawn, the rest
    // keeps what it held. Empty: the whole picture.
    PixelRect Visible{};
};

class PictureDrawer {
public:
    virtual ~PictureDrawer() = default;
    // Clears the picture (or its visible part) and draws wires, ports, headers, rubber band,
    // suggestions and, without a project, the background picture, in this order.
    virtual void Draw(QImage& picture, const DrawInput& input) = 0;
    // Widest and tallest port label, and instance name, each plus 3.
    virtual QSize MeasurePortLabels(const ProjectModel& model, const ViewState& view) = 0;
    virtual QSize MeasureModuleNames(const ProjectModel& model) = 0;
};
