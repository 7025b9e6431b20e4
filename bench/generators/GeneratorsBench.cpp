// The framework in each style (run again on every column drag), both test fixtures, the module
// summary and the file list of tops of 100, 1000, 4000 and 5000 instances with 20 ports each.
// The top has a port per instance and every instance its own source file, so a search of the
// growing text or a copy of the page per instance would show as quadratic growth.
#include "editor/hdl/FileList.h"
#include "editor/hdl/FrameworkGenerator.h"
#include "editor/hdl/ModuleSummary.h"
#include "editor/hdl/TestFixture.h"
#include "editor/model/ProjectModel.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kInputs = 9;   // d0 ... d8, and clk
constexpr int kOutputs = 10; // q0 ... q9

std::string Number(int n) {
    return std::to_string(n);
}

// Instances u0 ... u(n-1) of fifty modules, each instance from a file of its own; outputs 0 to 7
// of one drive inputs 0 to 7 of the next, input 8 of each comes from a top input, the clock
// reaches every instance and the last instance's outputs are the top's outputs.
ProjectLines Chain(int instances) {
    ProjectLines lines = {MakeLine({"Version:", "ZUN2012", "1.0"}),
                          MakeLine({"TOP", "", "bench_top"}), MakeLine({"INPUT", "", "", "clk"})};
    for (int i = 0; i < instances; ++i)
        lines.push_back(MakeLine({"INPUT", "7", "0", "in" + Number(i)}));
    for (int k = 0; k < kOutputs; ++k)
        lines.push_back(MakeLine({"OUTPUT", "7", "0", "out" + Number(k)}));
    for (int i = 0; i < instances; ++i) {
        const std::string module = "m" + Number(i % 50);
        lines.push_back(MakeLine(
            {"MODULE", module, "u" + Number(i), "/src/rtl/u" + Number(i) + ".v", "verilog"}));
        lines.push_back(
            MakeLine({"PARAMETER", "", "", "W", "8", i % 2 ? "8" : "16", "K", "natural"}));
        lines.push_back(MakeLine({"INPUT", "", "", "clk"}));
        for (int k = 0; k < kInputs; ++k)
            lines.push_back(MakeLine({"INPUT", "7", "0", "d" + Number(k), "", "W-1", "0"}));
        for (int k = 0; k < kOutputs; ++k)
            lines.push_back(MakeLine({"OUTPUT", "7", "0", "q" + Number(k), "", "W-1", "0"}));
    }
    lines.push_back(MakeLine({"WIRE", "bench_top", "clk", "u0", "clk", "clk"}));
    for (int i = 1; i < instances; ++i)
        lines.push_back(MakeLine({"WIRE", "bench_top", "clk", "u" + Number(i), "clk", "clk"}));
    for (int i = 0; i < instances; ++i) {
        lines.push_back(MakeLine(
            {"WIRE", "bench_top", "in" + Number(i), "u" + Number(i), "d8", "in" + Number(i)}));
        if (i + 1 < instances)
            for (int k = 0; k < kInputs - 1; ++k)
                lines.push_back(
                    MakeLine({"WIRE", "u" + Number(i), "q" + Number(k), "u" + Number(i + 1),
                              "d" + Number(k), "n" + Number(i) + "_" + Number(k)}));
    }
    for (int k = 0; k < kOutputs; ++k)
        lines.push_back(MakeLine({"WIRE", "u" + Number(instances - 1), "q" + Number(k), "bench_top",
                                  "out" + Number(k), "out" + Number(k)}));
    return lines;
}

// Best of a few runs: the least disturbed by the other work on the machine.
double BestMs(const std::function<std::size_t()>& job, std::size_t& size) {
    double best = 1e30;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        size = job();
        const auto stop = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(stop - start).count());
    }
    return best;
}

struct Job {
    const char* name;
    std::function<std::size_t(ProjectModel&)> run; // the size of what it made
};

} // namespace

int main() {
    const std::vector<Job> jobs = {
        {"framework 2001",
         [](ProjectModel& m) {
             return GenFramework(m, Verilog2001Style, true, VerilogColumnWidths).size();
         }},
        {"framework 1995",
         [](ProjectModel& m) {
             return GenFramework(m, Verilog1995Style, true, VerilogColumnWidths).size();
         }},
        {"framework vhdl",
         [](ProjectModel& m) {
             return GenFramework(m, VhdlFrameworkStyle, true, VhdlColumnWidths).size();
         }},
        {"fixture verilog", [](ProjectModel& m) { return VerilogFixture(m)->Text.size(); }},
        {"fixture vhdl", [](ProjectModel& m) { return VhdlFixture(m)->Text.size(); }},
        {"summary",
         [](ProjectModel& m) {
             ModuleSummary summary(m);
             bool first = true;
             for (const mdu& r : m.MduList) {
                 summary.MakeModuleSummary(r, first);
                 first = false;
             }
             return summary.HtmlBuf().size();
         }},
        {"file list",
         [](ProjectModel& m) {
             FileListCommand command(m);
             return command.ListText().size();
         }},
    };
    const std::array<int, 4> sizes = {100, 1000, 4000, 5000};
    std::vector<std::vector<double>> ms(jobs.size());
    std::printf("%-16s", "instances");
    for (int n : sizes)
        std::printf(" %10d", n);
    std::printf("   %s\n", "bytes at the largest");
    std::vector<ProjectModel> models(sizes.size());
    for (std::size_t s = 0; s < sizes.size(); ++s) {
        models[s].LineList = Chain(sizes[s]);
        models[s].PrjOpen = true;
        models[s].AssignOpenOut = '0';
        models[s].UpdatePicExecute(RebuildSender::MainWindow);
    }
    std::printf("%-16s", "ports");
    for (const ProjectModel& m : models)
        std::printf(" %10zu", m.PortList.size());
    std::printf("\n");
    int status = 0;
    for (std::size_t j = 0; j < jobs.size(); ++j) {
        std::printf("%-16s", jobs[j].name);
        std::size_t bytes = 0;
        for (ProjectModel& m : models) {
            m.ClearLog();
            ms[j].push_back(BestMs([&] { return jobs[j].run(m); }, bytes));
            std::printf(" %8.2fms", ms[j].back());
        }
        const double growth = ms[j][2] / std::max(ms[j][1], 1e-3);
        std::printf("   %zu, N=1000 -> 4N x%.2f\n", bytes, growth);
        if (ms[j][1] >= 50.0) {
            std::printf("TOO SLOW: %s must take under 50 ms at 1000 instances\n", jobs[j].name);
            status = 1;
        }
        if (growth > 5.0) {
            std::printf("NOT LINEAR: %s grows x%.2f from 1000 to 4000 instances (limit x5)\n",
                        jobs[j].name, growth);
            status = 1;
        }
    }
    return status;
}
