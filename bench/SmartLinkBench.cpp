// The canvas's hover step with SmartLink on designs of N instances of 50 ports: clearing the
// marks, dropping the old proposals, running the rules, highlighting and the model rebuild (no
// drawing), for N = 200, 800 and 3200, with SmartLink's own share printed apart. Each rule shape
// should cost about 4 times as much at 4N.
#include "editor/canvas/CanvasController.h"
#include "editor/canvas/SmartLink.h"
#include "editor/model/Nets.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Rule = std::vector<std::string>;

constexpr int kPorts = 50;
constexpr int kRuns = 9;

// A top module and n instances of 50 ports: clk (an output of u0, an input elsewhere), a channel
// port, 24 inputs and 24 outputs.
ProjectLines Design(int n) {
    ProjectLines lines;
    lines.push_back(MakeLine({"TOP", "", "top"}));
    lines.push_back(MakeLine({"INPUT", "", "", "rst"}));
    for (int k = 0; k < n; ++k) {
        const std::string inst = "u" + std::to_string(k);
        lines.push_back(MakeLine({"MODULE", "core", inst, "/src/core.v", "verilog"}));
        lines.push_back(MakeLine({k == 0 ? "OUTPUT" : "INPUT", "", "", "clk"}));
        lines.push_back(MakeLine({k == 0 ? "OUTPUT" : "INPUT", "", "", "tx_1_2data"}));
        for (int p = 2; p < kPorts; ++p)
            lines.push_back(MakeLine(
                {p % 2 ? "OUTPUT" : "INPUT", "7", "0", "d" + std::to_string(p) + "_" + inst}));
    }
    return lines;
}

struct Shape {
    const char* name;
    std::vector<Rule> rules;
};

std::vector<Shape> Shapes() {
    const Rule sameLink = {"", "Same Link", "\\w+", "\\w+", "\\w+", "\\b%P0\\b", ""};
    const Rule channelLink = {"",     "Channel Link",    "\\w+", "\\w\\w_(\\d)_(\\d)\\w+",
                              "\\w+", "\\w+%P1_%P2\\w+", ""};
    std::vector<Rule> nothing;
    for (int k = 0; k < 20; ++k)
        nothing.push_back(
            {"", "None", "\\w+", "\\w+", "\\w+", "^none_" + std::to_string(k) + "$", ""});
    return {
        {"default rules", {sameLink, channelLink}},
        {"empty patterns (every lone port)", {{"", "All", "", "", "", "", ""}}},
        {"a Once rule", {{"Yes", "Once", "\\w+", "\\w+", "\\w+", "\\b%P0\\b", ""}}},
        {"20 rules matching nothing", nothing},
    };
}

struct Timing {
    double hoverMs = 0;
    double smartLinkMs = 0;
    int proposals = 0;
};

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

Timing Measure(int n, const std::vector<Rule>& rules) {
    ProjectModel m;
    m.PrjOpen = true;
    m.LineList = Design(n);
    m.UpdatePicExecute(RebuildSender::MainWindow);
    m.SLRuleWidth = 7;
    for (const Rule& r : rules)
        m.SLRules.insert(m.SLRules.end(), r.begin(), r.end());
    SmartLink engine(m);
    engine.CompileRules();
    const ViewState view = ViewState::Initial();
    CanvasHost host;
    CanvasController canvas(m, view, host);
    const int source = m.FindPortQuiet("u0", "clk");

    std::vector<double> hover;
    std::vector<double> smart;
    Timing t;
    for (int run = 0; run < kRuns + 1; ++run) {
        const Clock::time_point start = Clock::now();
        m.ClearMarks();
        DropSuggestionLines(m);
        std::string summary;
        const Clock::time_point rulesStart = Clock::now();
        engine.ApplySmartLinkRules('P', source, -1, summary);
        const Clock::time_point rulesEnd = Clock::now();
        canvas.HighlightObject('P', source, false);
        m.UpdatePicExecute(RebuildSender::MainWindow);
        const Clock::time_point end = Clock::now();
        if (run == 0)
            continue; // warm-up
        hover.push_back(Ms(end - start));
        smart.push_back(Ms(rulesEnd - rulesStart));
        t.proposals = static_cast<int>(m.SuggestList.size());
    }
    std::sort(hover.begin(), hover.end());
    std::sort(smart.begin(), smart.end());
    t.hoverMs = hover[hover.size() / 2];
    t.smartLinkMs = smart[smart.size() / 2];
    return t;
}

} // namespace

int main() {
    const int sizes[] = {200, 800, 3200};
    std::printf("Hover step over u0.clk, median of %d runs; %d ports per instance\n", kRuns,
                kPorts);
    for (const Shape& shape : Shapes()) {
        std::printf("\n%s\n", shape.name);
        std::printf("%8s %10s %12s %12s %10s %10s\n", "N", "ports", "hover ms", "SmartLink ms",
                    "proposals", "x prev N");
        double previous = 0;
        for (int n : sizes) {
            const Timing t = Measure(n, shape.rules);
            std::printf("%8d %10d %12.3f %12.3f %10d", n, n * kPorts, t.hoverMs, t.smartLinkMs,
                        t.proposals);
            if (previous > 0)
                std::printf(" %10.2f", t.hoverMs / previous);
            std::printf("\n");
            previous = t.hoverMs;
        }
    }
    return 0;
}
