// How the rebuild grows with the project: N instances of 16 ports chained by wires, the same with
// every instance named alike (so that every name is repaired), and the free wire name search.
#include "SyntheticProject.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void BM_Rebuild(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    ProjectModel m;
    m.PrjOpen = true;
    m.LineList = SyntheticProject(n, false);
    for (auto _ : state) {
        RebuildResult r = m.UpdatePicExecute(RebuildSender::MainWindow);
        benchmark::DoNotOptimize(r);
    }
    state.counters["lines"] = static_cast<double>(m.LineList.size());
    state.SetComplexityN(n);
}

void BM_RebuildRepairingEveryName(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const ProjectLines lines = SyntheticProject(n, true);
    ProjectModel m;
    m.PrjOpen = true;
    for (auto _ : state) {
        state.PauseTiming();
        m.LineList = lines;
        m.ClearLog();
        state.ResumeTiming();
        RebuildResult r = m.UpdatePicExecute(RebuildSender::MainWindow);
        benchmark::DoNotOptimize(r);
    }
    state.SetComplexityN(n);
}

void BM_FreeWireName(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    ProjectModel m;
    m.PrjOpen = true;
    m.LineList = SyntheticProject(n, false);
    m.UpdatePicExecute(RebuildSender::MainWindow);
    for (auto _ : state) {
        std::string name = m.FreeWireName(n);
        benchmark::DoNotOptimize(name);
    }
    state.SetComplexityN(n);
}

} // namespace

// N, 4N and 16N show how the cost grows; the fitted complexity is printed after each set.
BENCHMARK(BM_Rebuild)->Arg(250)->Arg(1000)->Arg(4000)->Complexity(benchmark::oN);
BENCHMARK(BM_RebuildRepairingEveryName)->Arg(250)->Arg(1000)->Arg(4000)->Complexity(benchmark::oN);
BENCHMARK(BM_FreeWireName)->Arg(250)->Arg(1000)->Arg(4000)->Complexity(benchmark::oN);

BENCHMARK_MAIN();
