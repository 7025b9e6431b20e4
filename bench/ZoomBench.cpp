// Full View and Actual Ports Size on the rebuild benchmark's project (N instances of 16 ports)
// with a fixed measure of labels and names: how many steps the searches take and what they cost.
// Each step is one rebuild without drawing, so a search costs at most its steps times one rebuild.
#include "SyntheticProject.h"

#include "editor/canvas/Zoom.h"

#include <benchmark/benchmark.h>

namespace {

struct Bench {
    ProjectModel model;
    Zoom zoom;
    explicit Bench(int n) : zoom(model, Host()) {
        model.PrjOpen = true;
        model.LineList = SyntheticProject(n, false);
        model.UpdatePicExecute(RebuildSender::MainWindow);
    }
    ZoomHost Host() {
        ZoomHost h;
        h.MeasurePortLabels = [] { return ZoomMeasure{34, 14}; };
        h.MeasureModuleNames = [this] { return ZoomMeasure{48, model.MduFont.Pixels() + 3}; };
        h.ViewSize = [] { return ZoomMeasure{1600, 900}; };
        h.SetStatus = [](const std::string&) {};
        h.Relayout = [this](bool quiet) {
            model.Log.SetMuted(quiet);
            model.UpdatePicExecute(RebuildSender::PaintBox1);
            model.Log.SetMuted(false);
        };
        h.PendingEvents = [] {};
        return h;
    }
    void Reset() {
        model.PrtWidth = 40;
        model.PrtHeight = 15;
        model.TitleHeight = 15;
        for (FontValue* f : {&model.MduFont, &model.InFont, &model.OutFont, &model.InoutFont,
                             &model.VarFont, &model.ParaMduFont})
            f->SetPoints(8);
    }
};

// Runs one search from the same sizes each time, with the window's last rebuild after it.
void Search(benchmark::State& state, int (Zoom::*search)(), const char* size,
            int ProjectModel::*sized) {
    Bench b(static_cast<int>(state.range(0)));
    int steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        b.Reset();
        state.ResumeTiming();
        steps = (b.zoom.*search)();
        b.model.UpdatePicExecute(RebuildSender::MainWindow);
    }
    state.counters["steps"] = steps;
    state.counters[size] = b.model.*sized;
    state.SetComplexityN(state.range(0));
}

void BM_FullView(benchmark::State& state) {
    Search(state, &Zoom::FullView, "PrtHeight", &ProjectModel::PrtHeight);
}

void BM_ActualPortsSize(benchmark::State& state) {
    Search(state, &Zoom::ActualPortsSize, "PrtWidth", &ProjectModel::PrtWidth);
}

} // namespace

// N, 4N and 16N show how the cost grows; the fitted complexity is printed after each set.
BENCHMARK(BM_FullView)
    ->Arg(250)
    ->Arg(1000)
    ->Arg(4000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ActualPortsSize)
    ->Arg(250)
    ->Arg(1000)
    ->Arg(4000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
