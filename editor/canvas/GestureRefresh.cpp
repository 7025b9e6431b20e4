// The marks refresh and the rebuild of the wires between the canvas and a picture.
#include "editor/canvas/GestureRefresh.h"

GestureRefresh::GestureRefresh(ProjectModel& model, const CanvasController& canvas, Window window)
    : model_(model), canvas_(canvas), window_(std::move(window)) {}

void GestureRefresh::Attach(CanvasHost& host) {
    host.RefreshMarks = [this] { RefreshMarks(); };
    host.RebuildWires = [this] { RebuildWires(); };
}

GestureRefresh::Band GestureRefresh::BandNow() const {
    Band b;
    b.Shown = canvas_.MouseMode == '1';
    if (b.Shown)
        b.Rect = canvas_.RubberRect;
    return b;
}

void GestureRefresh::Drawn() {
    drawn_ = BandNow();
}

void GestureRefresh::Draw() {
    if (window_.Draw)
        window_.Draw();
    Drawn();
}

void GestureRefresh::Served() {
    if (window_.Served)
        window_.Served();
}

bool GestureRefresh::PictureReady() const {
    return !window_.PictureReady || window_.PictureReady();
}

void GestureRefresh::RefreshMarks() {
    bool changed = false;
    if (!PictureReady() || !model_.RefreshMarks(changed)) {
        if (window_.Rebuild)
            window_.Rebuild();
        return;
    }
    if (changed || !(BandNow() == drawn_))
        Draw();
    Served();
}

void GestureRefresh::RebuildWires() {
    RebuildResult result;
    if (!PictureReady() || !model_.RebuildWires(result)) {
        if (window_.Rebuild)
            window_.Rebuild();
        return;
    }
    if (window_.ShowCounts)
        window_.ShowCounts(result.CountsText);
    Draw();
    Served();
}
