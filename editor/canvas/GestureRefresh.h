// The short ways of bringing the records and the picture up to date after a gesture: the marks
// refresh and the rebuild of the wires, each falling back to the whole rebuild when it cannot
// serve, and the drawing left out when nothing it shows changed. The main window and the benches
// put it between the canvas and their picture.
#pragma once

#include "editor/canvas/CanvasController.h"

#include <array>
#include <functional>
#include <string>

class GestureRefresh {
public:
    struct Window {
        // The whole rebuild with its drawing and everything the window shows of it.
        std::function<void()> Rebuild;
        // The picture of the records as they are now.
        std::function<void()> Draw;
        // Status panel 2, after the wires were made again.
        std::function<void(const std::string& counts)> ShowCounts;
        // After every gesture a short way served, drawn or not: what the window does once per
        // command besides the rebuild (edit actions, reports).
        std::function<void()> Served;
        // Whether there is a picture to draw on (none given: always). When there is none, as
        // after a picture that could not be allocated, the short ways leave the gesture to the
        // whole rebuild, which makes one.
        std::function<bool()> PictureReady;
    };

    GestureRefresh(ProjectModel& model, const CanvasController& canvas, Window window);

    // Hooks the two short ways into the canvas's host.
    void Attach(CanvasHost& host);

    // The marks refresh; the picture is drawn when a colour or the rubber band changed.
    void RefreshMarks();
    // The rebuild of the wires; the picture is drawn.
    void RebuildWires();
    // The picture now shows the records and the gesture as they are (any path drew it).
    void Drawn();

private:
    struct Band {
        bool Shown = false;
        std::array<int, 4> Rect{};
        bool operator==(const Band&) const = default;
    };
    Band BandNow() const;
    void Draw();
    void Served();
    bool PictureReady() const;

    ProjectModel& model_;
    const CanvasController& canvas_;
    Window window_;
    Band drawn_;
};
