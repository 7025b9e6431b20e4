// Finishing jobs on synthetic tops of 100, 1000 and 5000 instances with 20 ports each: the time
// must grow with the design, not with wires times text. Prints wires per second and the growth.
#include "engine/Finish.h"

#include "e2e/FinishDesign.h"
#include "editor/hdl/TopGenerator.h"
#include "platform/TextLines.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using zun::e2e::Design;
using zun::e2e::DesignInstance;
using zun::e2e::DesignPort;

constexpr int kPortsPerInstance = 20;

// A chain of instances u0, u1, ... (so u1 is a prefix of u10 ... u1999), each with ten 8-bit
// inputs and ten outputs; output k of one instance drives input k of the next.
Design Chain(int instances) {
    Design design;
    design.top = "bench_top";
    design.ports = {{'I', "clk", -1, -1, "", ""}, {'O', "done", -1, -1, "", ""}};
    for (int i = 0; i < instances; ++i) {
        DesignInstance instance{"m" + std::to_string(i % 7), "u" + std::to_string(i), {}, {}};
        for (int k = 0; k < kPortsPerInstance / 2; ++k)
            instance.ports.push_back({'I', "d" + std::to_string(k), 7, 0, "", ""});
        for (int k = 0; k < kPortsPerInstance / 2; ++k)
            instance.ports.push_back({'O', "q" + std::to_string(k), 7, 0, "", ""});
        design.instances.push_back(std::move(instance));
    }
    for (int i = 0; i + 1 < instances; ++i)
        for (int k = 0; k < kPortsPerInstance / 2; ++k)
            design.wires.push_back({"u" + std::to_string(i), "q" + std::to_string(k),
                                    "u" + std::to_string(i + 1), "d" + std::to_string(k),
                                    "n" + std::to_string(i) + "_" + std::to_string(k)});
    design.wires.push_back({"u0", "d0", design.top, "clk", "clk"});
    return design;
}

// The editor's files after the engine's text-mode read: CR LF became LF.
std::string AsRead(const std::string& saved) {
    std::string text;
    text.reserve(saved.size());
    for (std::size_t i = 0; i < saved.size(); ++i)
        if (!(saved[i] == '\r' && i + 1 < saved.size() && saved[i + 1] == '\n'))
            text += saved[i];
    return text;
}

struct Measure {
    int instances = 0;
    std::size_t wires = 0;
    double verilogSeconds = 0;
    double vhdlSeconds = 0;
};

// Best of several runs: the least disturbed by the other work on the machine.
template <typename Job> double BestSeconds(Job&& job) {
    double best = 1e30;
    for (int run = 0; run < 9; ++run) {
        auto start = std::chrono::steady_clock::now();
        job();
        auto stop = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double>(stop - start).count());
    }
    return best;
}

} // namespace

int main() {
    std::vector<Measure> measures;
    for (int instances : {100, 1000, 5000}) {
        Design design = Chain(instances);
        // The work files as the generators write them for the design's project.
        ProjectModel model;
        model.LineList = zun::e2e::DesignLines(design);
        model.PrjOpen = true;
        model.UpdatePicExecute(RebuildSender::MainWindow);
        std::string connection = AsRead(ConnectionFileText(model.LineList));
        std::string verilog =
            AsRead(platform::JoinLines(platform::SplitLines(*VerilogSkeleton(model))));
        std::string vhdl = AsRead(platform::JoinLines(platform::SplitLines(*VhdlSkeleton(model))));
        Measure measure{instances, design.wires.size(), 0, 0};
        std::size_t sink = 0;
        measure.verilogSeconds = BestSeconds([&] {
            qve::JobResult result = qve::FinishVerilogJob(connection, verilog);
            sink += result.text.size() + (result.error ? 1 : 0);
        });
        measure.vhdlSeconds = BestSeconds([&] {
            qve::JobResult result = qve::FinishVhdlJob(connection, vhdl);
            sink += result.text.size() + (result.error ? 1 : 0);
        });
        if (sink == 0) {
            std::fprintf(stderr, "the finishing jobs produced nothing\n");
            return 1;
        }
        measures.push_back(measure);
    }

    std::printf("%-10s %8s %10s %14s %10s %14s\n", "instances", "wires", "verilog ms",
                "verilog wire/s", "vhdl ms", "vhdl wire/s");
    for (const Measure& m : measures)
        std::printf("%-10d %8zu %10.2f %14.0f %10.2f %14.0f\n", m.instances, m.wires,
                    m.verilogSeconds * 1e3, static_cast<double>(m.wires) / m.verilogSeconds,
                    m.vhdlSeconds * 1e3, static_cast<double>(m.wires) / m.vhdlSeconds);

    // 5000 instances are 5 times 1000; linear work takes at most 6 times as long.
    const Measure& thousand = measures[1];
    const Measure& fiveThousand = measures[2];
    double verilogGrowth = fiveThousand.verilogSeconds / thousand.verilogSeconds;
    double vhdlGrowth = fiveThousand.vhdlSeconds / thousand.vhdlSeconds;
    std::printf("growth 1000 -> 5000 instances: verilog x%.2f, vhdl x%.2f (linear: x5, limit x6)\n",
                verilogGrowth, vhdlGrowth);
    if (verilogGrowth > 6.0 || vhdlGrowth > 6.0) {
        std::printf("NOT LINEAR\n");
        return 1;
    }
    return 0;
}
