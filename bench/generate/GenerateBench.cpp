// Full-source generation of a top of N and 4N instances with 20 ports each, in Verilog and VHDL,
// end to end: design checks, skeleton, work files, the real qve and the read-back. One net (the
// clock) reaches every instance, so per-port net walks would show as quadratic growth.
#include "editor/hdl/TopGenerator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kInputs = 9;   // d0 ... d8, and clk
constexpr int kOutputs = 10; // q0 ... q9

std::string Number(int n) {
    return std::to_string(n);
}

// Instances u0 ... u(n-1) of seven modules; output k of one drives input k of the next; the
// top's clock reaches every instance and the last instance's outputs are the top's outputs.
ProjectLines Chain(int instances) {
    ProjectLines lines = {MakeLine({"Version:", "ZUN2012", "1.0"}),
                          MakeLine({"TOP", "", "bench_top"}), MakeLine({"INPUT", "", "", "clk"})};
    for (int k = 0; k < kOutputs; ++k)
        lines.push_back(MakeLine({"OUTPUT", "7", "0", "out" + Number(k), "", "7", "0"}));
    for (int i = 0; i < instances; ++i) {
        const std::string module = "m" + Number(i % 7);
        lines.push_back(MakeLine({"MODULE", module, "u" + Number(i), module + ".v", "verilog"}));
        lines.push_back(
            MakeLine({"PARAMETER", "", "", "W", "8", i % 2 ? "8" : "16", "K", "natural"}));
        lines.push_back(MakeLine({"INPUT", "", "", "clk"}));
        for (int k = 0; k < kInputs; ++k)
            lines.push_back(MakeLine({"INPUT", "7", "0", "d" + Number(k), "", "W-1", "0"}));
        for (int k = 0; k < kOutputs; ++k)
            lines.push_back(MakeLine({"OUTPUT", "7", "0", "q" + Number(k), "", "W-1", "0"}));
    }
    lines.push_back(MakeLine({"WIRE", "u0", "clk", "bench_top", "clk", "clk"}));
    for (int i = 1; i < instances; ++i)
        lines.push_back(MakeLine({"WIRE", "u0", "clk", "u" + Number(i), "clk", "clk"}));
    for (int i = 0; i + 1 < instances; ++i)
        for (int k = 0; k < kInputs; ++k)
            lines.push_back(MakeLine({"WIRE", "u" + Number(i), "q" + Number(k), "u" + Number(i + 1),
                                      "d" + Number(k), "n" + Number(i) + "_" + Number(k)}));
    for (int k = 0; k < kOutputs; ++k)
        lines.push_back(MakeLine({"WIRE", "u" + Number(instances - 1), "q" + Number(k), "bench_top",
                                  "out" + Number(k), "out" + Number(k)}));
    return lines;
}

struct Measure {
    int instances = 0;
    std::size_t ports = 0;
    std::size_t wires = 0;
    double verilogSeconds = 0;
    double vhdlSeconds = 0;
};

// Best of a few runs: the least disturbed by the other work on the machine.
template <typename Job> double BestSeconds(Job&& job) {
    double best = 1e30;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        job();
        const auto stop = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double>(stop - start).count());
    }
    return best;
}

bool Generated(const ProjectModel& model) {
    const std::string& last = model.Log.Lines().back();
    return last.find("lines of code are generated.") != std::string::npos;
}

} // namespace

int main() {
    namespace fs = std::filesystem;
    const fs::path work = fs::temp_directory_path() / ("zun-bench-generate-" + Number(getpid()));
    fs::create_directories(work);
    EngineRunner runner(ZUN_BUILD_DIR, work.string());
    std::vector<Measure> measures;
    for (int instances : {1000, 4000}) {
        ProjectModel model;
        model.LineList = Chain(instances);
        model.PrjOpen = true;
        model.UpdatePicExecute(RebuildSender::MainWindow);
        TopGenerator generator(model, runner);
        Measure m{instances, model.PortList.size(), model.WireList.size(), 0, 0};
        bool ok = true;
        m.verilogSeconds = BestSeconds([&] {
            generator.GenVerilogTop();
            ok = ok && Generated(model);
        });
        m.vhdlSeconds = BestSeconds([&] {
            generator.GenVhdlTop();
            ok = ok && Generated(model);
        });
        if (!ok) {
            std::fprintf(stderr, "generation failed: %s\n", model.Log.Lines().back().c_str());
            fs::remove_all(work);
            return 1;
        }
        measures.push_back(m);
    }
    fs::remove_all(work);

    std::printf("%-10s %8s %8s %12s %12s\n", "instances", "ports", "wires", "verilog ms",
                "vhdl ms");
    for (const Measure& m : measures)
        std::printf("%-10d %8zu %8zu %12.1f %12.1f\n", m.instances, m.ports, m.wires,
                    m.verilogSeconds * 1e3, m.vhdlSeconds * 1e3);
    const Measure& n = measures[0];
    const Measure& n4 = measures[1];
    const double verilogGrowth = n4.verilogSeconds / n.verilogSeconds;
    const double vhdlGrowth = n4.vhdlSeconds / n.vhdlSeconds;
    std::printf("growth N -> 4N: verilog x%.2f, vhdl x%.2f (linear: x4, limit x5)\n", verilogGrowth,
                vhdlGrowth);
    int status = 0;
    if (n.verilogSeconds >= 1.0 || n.vhdlSeconds >= 1.0) {
        std::printf("TOO SLOW: N must generate in under 1 s\n");
        status = 1;
    }
    if (verilogGrowth > 5.0 || vhdlGrowth > 5.0) {
        std::printf("NOT LINEAR\n");
        status = 1;
    }
    return status;
}
