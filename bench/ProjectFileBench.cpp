// How reading and writing project text grows with the project: building and scrambling the
// file content, parsing it back, and adding modules into the middle of a large project.
#include "editor/model/ProjectFile.h"
#include "editor/model/ProjectParser.h"
#include "editor/model/Scramble.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// Project text of a top module and n instances of 16 ports, each wired to the next.
std::string SyntheticText(int n) {
    std::string t = "TOP\t\ttop\r\n";
    for (int p = 0; p < 16; ++p)
        t += std::string(p % 2 ? "OUTPUT" : "INPUT") + "\t7\t0\tt" + std::to_string(p) + "\r\n";
    for (int k = 0; k < n; ++k) {
        t += "MODULE\tcore\tu" + std::to_string(k) + "\t/src/core.v\tverilog\r\n";
        t += "PARAMETER\t\t\tW\t8\t\tK\r\n";
        for (int p = 0; p < 16; ++p)
            t += std::string(p % 2 ? "OUTPUT" : "INPUT") + "\tW-1\t0\tp" + std::to_string(p) +
                 "\t\tW-1\t0\r\n";
    }
    for (int k = 0; k + 1 < n; ++k)
        t += "WIRE\tu" + std::to_string(k) + "\tp1\tu" + std::to_string(k + 1) + "\tp0\tn" +
             std::to_string(k) + "\r\n";
    return t;
}

void BM_BuildAndScrambleContent(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    ProjectModel m;
    Scr_DrvClick(m, SyntheticText(n), ParseMode::ReplaceAll);
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string text = BuildProjectText(m);
        ProjectScramble(text);
        bytes = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.SetComplexityN(n);
}

void BM_ParseReplaceAll(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string text = SyntheticText(n);
    ProjectModel m;
    for (auto _ : state) {
        ParseResult r = Scr_DrvClick(m, text, ParseMode::ReplaceAll);
        benchmark::DoNotOptimize(r);
    }
    state.counters["lines"] = static_cast<double>(m.LineList.size());
    state.SetComplexityN(n);
}

// n modules of 16 ports added to a project of n instances whose wires follow the last block.
void BM_AddModules(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string project = SyntheticText(n);
    std::string added;
    for (int k = 0; k < n; ++k) {
        added += "MODULE\tadd\tv" + std::to_string(k) + "\t/src/add.v\tverilog\r\n";
        for (int p = 0; p < 16; ++p)
            added += "INPUT\t\t\ta" + std::to_string(p) + "\r\n";
    }
    ProjectModel m;
    for (auto _ : state) {
        state.PauseTiming();
        Scr_DrvClick(m, project, ParseMode::ReplaceAll);
        state.ResumeTiming();
        ParseResult r = Scr_DrvClick(m, added, ParseMode::AddModules);
        benchmark::DoNotOptimize(r);
    }
    state.SetComplexityN(n);
}

} // namespace

// N, 4N and 16N show how the cost grows; the fitted complexity is printed after each set.
BENCHMARK(BM_BuildAndScrambleContent)->Arg(250)->Arg(1000)->Arg(4000)->Complexity(benchmark::oN);
BENCHMARK(BM_ParseReplaceAll)
    ->Arg(250)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(16000)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_AddModules)->Arg(250)->Arg(1000)->Arg(4000)->Complexity(benchmark::oN);
BENCHMARK_MAIN();
