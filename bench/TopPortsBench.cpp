// The whole-design commands on designs of N instances of 50 ports, N = 50, 200 and 800: mapping
// every lone port to the top level (N x 50 mappings), mapping the undriven nets (N x 25 / 2 nets
// of two inputs each, one mapping per net), and listing the connections of one
// instance and of 1000 selected ports of a design wired as a chain. Each should cost about 4 times
// as much at 4N; at 200 instances the mapping should stay within 1 s and each listing within
// 20 ms.
#include "editor/canvas/LonePorts.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPorts = 50;
constexpr int kRuns = 5;
const int kSizes[] = {50, 200, 800};

// A top module with one port and n instances of 25 byte inputs and 25 byte outputs; wired, the
// outputs of each instance drive the inputs of the next.
ProjectLines Design(int n, bool wired) {
    ProjectLines lines;
    lines.push_back(MakeLine({"TOP", "", "top"}));
    lines.push_back(MakeLine({"INPUT", "", "", "rst"}));
    for (int k = 0; k < n; ++k) {
        lines.push_back(
            MakeLine({"MODULE", "stage", "u" + std::to_string(k), "/src/stage.v", "verilog"}));
        for (int p = 0; p < kPorts / 2; ++p) {
            lines.push_back(MakeLine({"INPUT", "7", "0", "i" + std::to_string(p)}));
            lines.push_back(MakeLine({"OUTPUT", "7", "0", "o" + std::to_string(p)}));
        }
    }
    if (wired)
        for (int k = 0; k + 1 < n; ++k)
            for (int p = 0; p < kPorts / 2; ++p) {
                const std::string from = "u" + std::to_string(k);
                const std::string to = "u" + std::to_string(k + 1);
                lines.push_back(
                    MakeLine({"WIRE", from, "o" + std::to_string(p), to, "i" + std::to_string(p),
                              "n" + std::to_string(k) + "_" + std::to_string(p)}));
            }
    return lines;
}

// Each pair of instances has its inputs joined, two by two, on nets that nothing drives.
void JoinInputPairs(ProjectLines& lines, int n) {
    for (int k = 0; k + 1 < n; k += 2)
        for (int p = 0; p < kPorts / 2; ++p) {
            const std::string input = "i" + std::to_string(p);
            lines.push_back(
                MakeLine({"WIRE", "u" + std::to_string(k), input, "u" + std::to_string(k + 1),
                          input, "d" + std::to_string(k) + "_" + std::to_string(p)}));
        }
}

ProjectModel& Fresh(ProjectModel& m, int n, bool wired, bool undriven = false) {
    m.LineList = Design(n, wired);
    if (undriven)
        JoinInputPairs(m.LineList, n);
    m.PrjOpen = true;
    m.TopNameRule = "%M_%P"; // every lone port gets a name of its own
    m.UpdatePicExecute(RebuildSender::MainWindow);
    m.ClearLog();
    return m;
}

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

template <typename Work> double Best(Work work) {
    double best = 1e300;
    for (int r = 0; r < kRuns; ++r)
        best = std::min(best, work());
    return best;
}

struct Row {
    int n = 0;
    int mapped = 0;
    double mapMs = 0;
    int undriven = 0;
    double undrivenMs = 0;
    double listInstanceMs = 0;
    double listSelectionMs = 0;
};

Row Measure(int n) {
    Row row;
    row.n = n;
    row.mapMs = Best([&] {
        ProjectModel m;
        Fresh(m, n, false);
        const auto t0 = Clock::now();
        row.mapped = MapAllOrphansExecute(m);
        return Ms(Clock::now() - t0);
    });
    row.undrivenMs = Best([&] {
        ProjectModel m;
        Fresh(m, n, false, true);
        const auto t0 = Clock::now();
        row.undriven = MapUndrvExecute(m);
        return Ms(Clock::now() - t0);
    });
    ProjectModel m;
    Fresh(m, n, true);
    const mdu& middle = m.MduList[static_cast<std::size_t>(n / 2)];
    row.listInstanceMs = Best([&] {
        m.ClearLog();
        const auto t0 = Clock::now();
        ListConnections(m, ListInstance, &middle, nullptr);
        return Ms(Clock::now() - t0);
    });
    m.SelList.clear();
    for (int i = 0; i < 1000 && i + 1 < static_cast<int>(m.PortList.size()); ++i)
        m.SelList.push_back(i + 1); // past the top's one port
    row.listSelectionMs = Best([&] {
        m.ClearLog();
        const auto t0 = Clock::now();
        ListConnections(m, ListSelection, nullptr, nullptr);
        return Ms(Clock::now() - t0);
    });
    return row;
}

} // namespace

int main() {
    std::printf("Whole-design commands on N instances of %d ports (best of %d runs)\n\n", kPorts,
                kRuns);
    std::printf("%6s %9s %14s %9s %12s %18s %20s\n", "N", "mapped", "MapAllOrphans", "undriven",
                "MapUndrv", "List instance", "List 1000 selected");
    std::vector<Row> rows;
    for (int n : kSizes) {
        rows.push_back(Measure(n));
        const Row& r = rows.back();
        std::printf("%6d %9d %11.1f ms %9d %9.1f ms %15.3f ms %17.3f ms\n", r.n, r.mapped, r.mapMs,
                    r.undriven, r.undrivenMs, r.listInstanceMs, r.listSelectionMs);
    }
    std::printf("\nGrowth from N to 4N (linear is 4):\n");
    for (std::size_t i = 1; i < rows.size(); ++i)
        std::printf("  %d -> %d: map x%.2f, map undriven x%.2f, list instance x%.2f, list "
                    "selection x%.2f\n",
                    rows[i - 1].n, rows[i].n, rows[i].mapMs / rows[i - 1].mapMs,
                    rows[i].undrivenMs / rows[i - 1].undrivenMs,
                    rows[i].listInstanceMs / rows[i - 1].listInstanceMs,
                    rows[i].listSelectionMs / rows[i - 1].listSelectionMs);
    const Row& at200 = rows[1];
    std::printf("\nAt %d instances: MapAllOrphans %s 1 s, listings %s 20 ms.\n", at200.n,
                at200.mapMs <= 1000 ? "within" : "OVER",
                std::max(at200.listInstanceMs, at200.listSelectionMs) <= 20 ? "within" : "OVER");
    return 0;
}
