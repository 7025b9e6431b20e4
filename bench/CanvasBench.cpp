// What one mouse gesture on the canvas costs, with the picture drawn as the window draws it: the
// hit test, a hover onto a new port, an instance drag and drop, a wire drag and release, one move
// of the rubber band over every port and one Shift range over every port. N instances of 20 ports
// with about 10 wires each, at N and 4N.
#include "editor/canvas/CanvasController.h"
#include "editor/canvas/GestureRefresh.h"
#include "editor/canvas/Picture.h"
#include "editor/canvas/ui/SchematicDrawer.h"
#include "editor/model/Nets.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::string Num(int v) {
    return std::to_string(v);
}

// A top module with two ports and n instances with inputs i0..i9 and outputs o0..o9; output j of
// every instance drives input j of the next, but for o9 of every other instance.
ProjectLines SyntheticProject(int n) {
    ProjectLines lines;
    lines.push_back(MakeLine({"TOP", "", "top"}));
    lines.push_back(MakeLine({"INPUT", "", "", "clk"}));
    lines.push_back(MakeLine({"OUTPUT", "7", "0", "dout"}));
    for (int k = 0; k < n; ++k) {
        lines.push_back(MakeLine({"MODULE", "core", "u" + Num(k), "/src/core.v", "verilog"}));
        for (int j = 0; j < 10; ++j)
            lines.push_back(MakeLine({"INPUT", "7", "0", "i" + Num(j)}));
        for (int j = 0; j < 10; ++j)
            lines.push_back(MakeLine({"OUTPUT", "7", "0", "o" + Num(j)}));
    }
    for (int k = 0; k + 1 < n; ++k)
        for (int j = 0; j < 10; ++j)
            if (j < 9 || k % 2 == 0)
                lines.push_back(MakeLine({"WIRE", "u" + Num(k), "o" + Num(j), "u" + Num(k + 1),
                                          "i" + Num(j), "n" + Num(k) + "_" + Num(j)}));
    return lines;
}

// The model, the controller and a host that rebuilds and draws into an off-screen picture the way
// the main window does, with the main window's short ways after a gesture.
struct Bench {
    ProjectModel model;
    ViewState view = ViewState::Initial();
    CanvasHost host;
    SchematicDrawer drawer;
    QImage picture;
    std::unique_ptr<CanvasController> canvas;
    std::unique_ptr<GestureRefresh> refresh;
    static constexpr int kClientWidth = 1200;
    static constexpr int kClientHeight = 800;

    explicit Bench(int n) {
        model.PrjOpen = true;
        model.LineList = SyntheticProject(n);
        host.Rebuild = [this] { RebuildAndDraw(); };
        host.SetStatusText = [](int, const std::string&) {};
        host.StatusText = [](int) { return std::string(); };
        host.SetCursor = [](int) {};
        host.Scroll = [] { return ScrollView{0, 0, kClientWidth, kClientHeight}; };
        host.SetScroll = [](int, int) {};
        canvas = std::make_unique<CanvasController>(model, view, host);
        refresh = std::make_unique<GestureRefresh>(
            model, *canvas,
            GestureRefresh::Window{[this] { RebuildAndDraw(); }, [this] { Draw(); }, {}, {}, {}});
        refresh->Attach(host);
        RebuildAndDraw();
    }

    void RebuildAndDraw() {
        model.UpdatePicExecute(RebuildSender::MainWindow);
        const PictureExtent e = FitCanvasExtent(model, kClientWidth, kClientHeight);
        if (picture.width() != e.Width || picture.height() != e.Height)
            picture = QImage(e.Width, e.Height, QImage::Format_RGB32);
        Draw();
        refresh->Drawn();
    }

    // As the window draws it: the part the scroll box shows, here its top left.
    void Draw() {
        drawer.Draw(picture, {model, view, canvas->MouseMode, canvas->RubberRect, kClientWidth,
                              kClientHeight, PixelRect{0, 0, kClientWidth, kClientHeight}});
    }

    std::pair<int, int> PortAt(int k) const {
        const port& p = model.PortList[k];
        return {p.X + model.PrtWidth / 2, p.Y + model.PrtHeight / 2};
    }
    std::pair<int, int> HeaderAt(int i) const {
        const mdu& d = model.MduList[i];
        return {d.X + 3, d.Y + 3};
    }
    // A point right of every instance, below the first port row.
    std::pair<int, int> EmptyAt() const {
        const mdu& last = model.MduList.back();
        return {last.X + last.Width + 3, model.TopMargin + 1};
    }
    int Port(const std::string& inst, const std::string& name) const {
        return model.FindPortQuiet(inst, name);
    }
};

MouseShift Left(bool shift = false) {
    MouseShift s;
    s.Left = true;
    s.Shift = shift;
    return s;
}

void Report(benchmark::State& state, const Bench& b) {
    state.counters["instances"] = static_cast<double>(b.model.MduList.size());
    state.counters["ports"] = static_cast<double>(b.model.PortList.size());
    state.counters["wires"] = static_cast<double>(b.model.WireList.size());
    state.SetComplexityN(state.range(0));
}

// For comparison: the rebuild with its layout, which a gesture that moves records still runs, and
// the drawing of the whole picture, which no gesture needs.
void BM_RebuildAlone(benchmark::State& state) {
    Bench b(static_cast<int>(state.range(0)));
    for (auto _ : state)
        b.model.UpdatePicExecute(RebuildSender::MainWindow);
    Report(state, b);
}

void BM_DrawAlone(benchmark::State& state) {
    Bench b(static_cast<int>(state.range(0)));
    for (auto _ : state)
        b.drawer.Draw(b.picture,
                      {b.model, b.view, '0', {}, Bench::kClientWidth, Bench::kClientHeight});
    Report(state, b);
    state.counters["pixels"] = static_cast<double>(b.picture.width()) * b.picture.height();
}

void BM_HitTest(benchmark::State& state) {
    Bench b(static_cast<int>(state.range(0)));
    const auto [x, y] = b.PortAt(static_cast<int>(b.model.PortList.size()) - 1);
    for (auto _ : state) {
        int index = 0;
        benchmark::DoNotOptimize(b.canvas->HitTest(x, y, index));
    }
    Report(state, b);
}

void BM_HoverOntoANewPort(benchmark::State& state) {
    Bench b(static_cast<int>(state.range(0)));
    const auto one = b.PortAt(b.Port("u1", "o3"));
    const auto other = b.PortAt(b.Port("u2", "i3"));
    bool flip = false;
    for (auto _ : state) {
        const auto at = (flip = !flip) ? one : other;
        b.canvas->Image1MouseMove(MouseShift{}, at.first, at.second);
    }
    Report(state, b);
}

void BM_InstanceDragAndDrop(benchmark::State& state) {
    Bench b(static_cast<int>(state.range(0)));
    const int n = static_cast<int>(b.model.MduList.size());
    for (auto _ : state) {
        // The last instance goes before the second one: the whole project's lines move.
        const auto from = b.HeaderAt(n - 1);
        const auto to = b.HeaderAt(2);
        const auto between = b.EmptyAt();
        b.canvas->PaintBox1MouseDown(MouseButton::Left, Left(), from.first, from.second);
        b.canvas->Image1MouseMove(Left(), between.first, between.second);
        b.canvas->Image1MouseMove(Left(), to.first, to.second);
        b.canvas->PaintBox1MouseUp(MouseButton::Left, Left(), to.first, to.second);
    }
    Report(state, b);
}

void BM_WireDragAndRelease(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Bench b(n);
    const std::string last = "u" + Num(n - 1);
    for (auto _ : state) {
        const auto from = b.PortAt(b.Port(last, "o0"));
        const auto to = b.PortAt(b.Port("u0", "i0"));
        b.canvas->PaintBox1MouseDown(MouseButton::Left, Left(), from.first, from.second);
        b.canvas->Image1MouseMove(Left(), to.first, to.second);
        b.canvas->PaintBox1MouseUp(MouseButton::Left, Left(), to.first, to.second);
        state.PauseTiming();
        if (b.model.UndoExecute())
            b.RebuildAndDraw();
        state.ResumeTiming();
    }
    Report(state, b);
}

void BM_RubberBandOverEveryPort(benchmark::State& state) {
    Bench b(static_cast<int>(state.range(0)));
    const auto start = b.EmptyAt();
    bool far = false;
    for (auto _ : state) {
        state.PauseTiming();
        b.canvas->PaintBox1MouseDown(MouseButton::Left, Left(), start.first, start.second);
        state.ResumeTiming();
        // Alternating corners, so that each move is a new place for the band.
        far = !far;
        b.canvas->Image1MouseMove(Left(), far ? 0 : 1, far ? b.picture.height() : 5000);
        state.PauseTiming();
        b.canvas->PaintBox1MouseUp(MouseButton::Left, Left(), 0, b.picture.height());
        state.ResumeTiming();
    }
    Report(state, b);
    state.counters["selected"] = static_cast<double>(b.model.SelList.size());
}

void BM_ShiftRangeOverEveryPort(benchmark::State& state) {
    Bench b(static_cast<int>(state.range(0)));
    const auto first = b.PortAt(0);
    const auto last = b.PortAt(static_cast<int>(b.model.PortList.size()) - 1);
    for (auto _ : state) {
        state.PauseTiming();
        b.canvas->PaintBox1MouseDown(MouseButton::Left, Left(), first.first, first.second);
        b.canvas->PaintBox1MouseUp(MouseButton::Left, Left(), first.first, first.second);
        state.ResumeTiming();
        b.canvas->PaintBox1MouseDown(MouseButton::Left, Left(true), last.first, last.second);
        b.canvas->PaintBox1MouseUp(MouseButton::Left, Left(true), last.first, last.second);
    }
    Report(state, b);
    state.counters["selected"] = static_cast<double>(b.model.SelList.size());
}

} // namespace

// N and 4N instances; each gesture should stay under 16 ms at N and under 64 ms at 4N, and the hit
// test (in microseconds) grow no more than five times from N to 4N.
BENCHMARK(BM_RebuildAlone)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_DrawAlone)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_HitTest)->Arg(1000)->Arg(4000)->Unit(benchmark::kMicrosecond)->Complexity();
BENCHMARK(BM_HoverOntoANewPort)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_InstanceDragAndDrop)
    ->Arg(1000)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_WireDragAndRelease)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_RubberBandOverEveryPort)
    ->Arg(1000)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_ShiftRangeOverEveryPort)
    ->Arg(1000)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

int main(int argc, char** argv) {
    // The painter draws text, which needs an application; no display is needed.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
