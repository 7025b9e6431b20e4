// How width evaluation and module updates grow with the project: a new project of N instances of
// 20 parameterised ports, each prepared as an added instance (shown on the Instances page, its
// widths evaluated and written), and an update of the module all N instances share, in which one
// port, wired from every instance to the next, changes its width (in a second pair a port is
// added as well; in a third the default of a key parameter changes, so that every instance's
// widths are evaluated again and its wired ports lose their wires).
#include "editor/canvas/PropertiesPresenter.h"
#include "editor/hdl/ModuleUpdate.h"
#include "editor/hdl/WidthConfirmation.h"
#include "editor/model/ProjectModel.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

namespace {

constexpr int PortsPerInstance = 20;

// Nothing is asked in a benchmark; a question would be a fault.
class SilentPrompt : public Prompt {
public:
    void Message(const std::string& text, const std::string&, MessageKind) override {
        throw std::logic_error("unexpected message: " + text);
    }
    bool YesNo(const std::string&, const std::string&) override { return false; }
    PromptAnswer YesNoCancel(const std::string&, const std::string&) override {
        return PromptAnswer::Cancel;
    }
    std::optional<std::string> OpenFile(const FileChooser&) override { return std::nullopt; }
    std::vector<std::string> OpenFiles(const FileChooser&) override { return {}; }
    std::optional<std::string> SaveFile(const FileChooser&) override { return std::nullopt; }
};

ProjectLine CorePort(int p, const std::string& msbExpr) {
    return MakeLine(
        {p % 2 ? "OUTPUT" : "INPUT", "NA", "0", "p" + std::to_string(p), "", msbExpr, "0"});
}

// n instances of core with two key parameters and 20 ports ranged by them, as the wizard makes a
// new project: no wires yet.
ProjectLines NewProject(int n) {
    ProjectLines lines;
    lines.push_back(MakeLine({"TOP", "", "top"}));
    for (int k = 0; k < n; ++k) {
        lines.push_back(
            MakeLine({"MODULE", "core", "u" + std::to_string(k), "/src/core.v", "verilog"}));
        lines.push_back(MakeLine({"PARAMETER", "", "", "W", " 8", "", "K"}));
        lines.push_back(MakeLine({"PARAMETER", "", "", "D", " 2", "", "K"}));
        for (int p = 0; p < PortsPerInstance; ++p)
            lines.push_back(CorePort(p, p % 3 ? "W-1" : "W*D-1"));
    }
    return lines;
}

// Output p1 of every instance drives input p0 of the next.
void ChainInstances(ProjectLines& lines, int n) {
    for (int k = 0; k + 1 < n; ++k)
        lines.push_back(MakeLine({"WIRE", "u" + std::to_string(k), "p1",
                                  "u" + std::to_string(k + 1), "p0", "n" + std::to_string(k)}));
}

// What an update changes in core.
enum class Change {
    PortWidth,  // port p1 twice as wide
    AddedPort,  // that, and a port no instance has yet
    KeyDefault, // W's default 8 becomes 16: every instance's widths follow, wired ports too
};

// What the engine reads again.
ProjectLines ChangedDefinition(Change change) {
    ProjectLines def;
    def.push_back(MakeLine({"MODULE", "core", "u_core_0", "/src/core.v", "verilog"}));
    def.push_back(
        MakeLine({"PARAMETER", "", "", "W", change == Change::KeyDefault ? " 16" : " 8", "", "K"}));
    def.push_back(MakeLine({"PARAMETER", "", "", "D", " 2", "", "K"}));
    for (int p = 0; p < PortsPerInstance; ++p)
        def.push_back(CorePort(p, p == 1 && change != Change::KeyDefault ? "W*2-1"
                                  : p % 3                                ? "W-1"
                                                                         : "W*D-1"));
    if (change == Change::AddedPort)
        def.push_back(CorePort(PortsPerInstance, "W-1"));
    return def;
}

struct Editor {
    ProjectModel model;
    SilentPrompt prompt;
    WidthConfirmation widths{model, prompt};
    PropertiesPresenter page{model, prompt, widths};

    explicit Editor(ProjectLines lines) {
        model.PrjOpen = true;
        model.LineList = std::move(lines);
        model.UpdatePicExecute(RebuildSender::MainWindow);
    }
    // The new-project command's steps after the wizard: each instance prepared, then a rebuild.
    void CheckEveryInstance() {
        model.UpdatePicExecute(RebuildSender::FileNewPrj);
        std::vector<std::string> added;
        for (const mdu& m : model.MduList)
            if (!m.ModuleName.empty())
                added.push_back(m.InstName);
        bool first = true;
        for (const std::string& inst : added) {
            CheckAddedInstance(model, page, widths, inst, first);
            first = false;
        }
        model.UpdatePicExecute(RebuildSender::MainWindow);
    }
    // An update of module definitions joined to this editor as the main window joins it.
    void JoinUpdate(ModuleUpdate& update) {
        update.UpdatePicture = [this] { model.UpdatePicExecute(RebuildSender::MainWindow); };
        update.CheckAddedInstance = [this](const std::string& inst, bool first) {
            CheckAddedInstance(model, page, widths, inst, first);
        };
        update.Widths = &widths;
    }
};

void BM_NewProjectWidths(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const ProjectLines lines = NewProject(n);
    for (auto _ : state) {
        state.PauseTiming();
        Editor editor(lines);
        state.ResumeTiming();
        editor.CheckEveryInstance();
        state.PauseTiming();
        if (editor.model.LineList[3 + 1][1] != "15")
            state.SkipWithError("the widths were not written");
        state.ResumeTiming();
    }
    state.counters["ports"] = static_cast<double>(n) * PortsPerInstance;
    state.SetComplexityN(n);
}

void UpdateSharedModule(benchmark::State& state, Change change) {
    const int n = static_cast<int>(state.range(0));
    Editor prepared(NewProject(n));
    prepared.CheckEveryInstance();
    ProjectLines lines = prepared.model.LineList;
    ChainInstances(lines, n);
    for (auto _ : state) {
        state.PauseTiming();
        Editor editor(lines);
        ModuleUpdate update(editor.model);
        editor.JoinUpdate(update);
        update.DefLines = ChangedDefinition(change);
        state.ResumeTiming();
        update.PrepareUpdateDialog();
        update.BitBtn1Click();
        editor.model.UpdatePicExecute(RebuildSender::MainWindow);
        state.PauseTiming();
        if (editor.model.WireList.size() != 0 ||
            editor.model.GetPortLineField("u0", "p1", 1) != "15" ||
            (change == Change::AddedPort && editor.model.GetPortLineField("u0", "p20", 1) != "7"))
            state.SkipWithError("the update was not applied");
        state.ResumeTiming();
    }
    state.SetComplexityN(n);
}

void BM_UpdateSharedModule(benchmark::State& state) {
    UpdateSharedModule(state, Change::PortWidth);
}

void BM_UpdateAddingPort(benchmark::State& state) {
    UpdateSharedModule(state, Change::AddedPort);
}

void BM_UpdateKeyDefault(benchmark::State& state) {
    UpdateSharedModule(state, Change::KeyDefault);
}

// N modules of one instance each, as a design of many different blocks has them, and what the
// engine reads again when "Update Module..." re-reads all their sources: module m0 with a new
// port, the others as they were.
ProjectLines DistinctModules(int n, bool definitions) {
    ProjectLines lines;
    if (!definitions)
        lines.push_back(MakeLine({"TOP", "", "top"}));
    for (int k = 0; k < n; ++k) {
        const std::string m = "m" + std::to_string(k);
        lines.push_back(
            MakeLine({"MODULE", m, (definitions ? "u_" : "u") + m + (definitions ? "_0" : ""),
                      "/src/" + m + ".v", "verilog"}));
        lines.push_back(MakeLine({"PARAMETER", "", "", "W", " 8", "", "K"}));
        for (int p = 0; p < PortsPerInstance; ++p)
            lines.push_back(CorePort(p, "W-1"));
        if (definitions && k == 0)
            lines.push_back(CorePort(PortsPerInstance, "W-1"));
    }
    return lines;
}

void BM_UpdateDistinctModules(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Editor prepared(DistinctModules(n, false));
    prepared.CheckEveryInstance();
    const ProjectLines lines = prepared.model.LineList;
    for (auto _ : state) {
        state.PauseTiming();
        Editor editor(lines);
        ModuleUpdate update(editor.model);
        editor.JoinUpdate(update);
        update.DefLines = DistinctModules(n, true);
        state.ResumeTiming();
        update.PrepareUpdateDialog();
        update.BitBtn1Click();
        editor.model.UpdatePicExecute(RebuildSender::MainWindow);
        state.PauseTiming();
        if (update.Label2 !=
                "Report: (Total Modules: " + std::to_string(n) + "; Modified Modules: 1)" ||
            editor.model.GetPortLineField("um0", "p20", 1) != "7")
            state.SkipWithError("the update was not applied");
        state.ResumeTiming();
    }
    state.SetComplexityN(n);
}

} // namespace

// N and 4N show how the cost grows; the fitted complexity is printed after each pair.
static void NAndFourN(benchmark::internal::Benchmark* b, int n) {
    b->Arg(n)->Arg(4 * n)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
}
static void Instances1000(benchmark::internal::Benchmark* b) {
    NAndFourN(b, 1000);
}
static void Modules250(benchmark::internal::Benchmark* b) {
    NAndFourN(b, 250);
}
BENCHMARK(BM_NewProjectWidths)->Apply(Instances1000);
BENCHMARK(BM_UpdateSharedModule)->Apply(Instances1000);
BENCHMARK(BM_UpdateAddingPort)->Apply(Instances1000);
BENCHMARK(BM_UpdateKeyDefault)->Apply(Instances1000);
BENCHMARK(BM_UpdateDistinctModules)->Apply(Modules250);
BENCHMARK_MAIN();
