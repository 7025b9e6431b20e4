// The new-project wizard on one source of N small modules, one instance each, through the real
// qve, the parser, the after-OK steps of the main window and the first drawing; N and 4N (and
// 16N), so the growth shows. Runs offscreen; the engine comes from the build tree.
#include "editor/app/ModuleWizardHost.h"
#include "editor/app/TForm1.h"
#include "editor/canvas/ui/SchematicDrawer.h"
#include "editor/hdl/ui/TFormNewPrj.h"
#include "editor/model/Prompt.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Every message the run would show is printed: a benchmark that met one measured nothing real.
class PrintingPrompt : public Prompt {
public:
    int messages = 0;
    void Message(const std::string& text, const std::string&, MessageKind) override {
        ++messages;
        std::fprintf(stderr, "message: %s\n", text.c_str());
    }
    bool YesNo(const std::string&, const std::string&) override { return false; }
    PromptAnswer YesNoCancel(const std::string&, const std::string&) override {
        return PromptAnswer::No;
    }
    std::optional<std::string> OpenFile(const FileChooser&) override { return std::nullopt; }
    std::vector<std::string> OpenFiles(const FileChooser&) override { return {}; }
    std::optional<std::string> SaveFile(const FileChooser&) override { return std::nullopt; }
};

// One source of n modules with two ports each.
std::string WriteSource(const fs::path& dir, int n) {
    fs::path path = dir / ("small" + std::to_string(n) + ".v");
    std::ofstream out(path);
    for (int k = 0; k < n; ++k)
        out << "module m" << k << " (input clk, output q);\n  assign q = clk;\nendmodule\n";
    return path.string();
}

struct Timing {
    double next = 0;
    double ok = 0;
    std::size_t instances = 0;
    bool drawn = false;
    int width = 0;
    int height = 0;
};

Timing Run(const fs::path& root, int n, const std::string& buildDir) {
    Timing t;
    fs::path work = root / ("work" + std::to_string(n));
    fs::create_directories(work);
    std::string ini = (root / ("zun" + std::to_string(n) + ".ini")).string();
    std::ofstream(ini) << "[QVsetting]\nE16=" << work.string() << "/\n";
    std::string source = WriteSource(root, n);

    PrintingPrompt prompt;
    SchematicDrawer drawer;
    auto form = std::make_unique<TForm1>(prompt, drawer);
    form->FirstShowPending = false;
    form->Model.AppDir = buildDir + "/";
    form->Model.IniPath = ini;
    form->resize(1200, 800);
    form->show();
    QApplication::processEvents();
    auto host = std::make_unique<ModuleWizardHost>(*form, prompt);
    form->LoadSettings();

    Clock::time_point okStart;
    host->ShowModal = [&](TFormNewPrj& window) {
        Clock::time_point start = Clock::now();
        window.BitBtn2Click();
        t.next = Seconds(Clock::now() - start);
        okStart = Clock::now();
        window.BitBtn8Click();
        return window.result();
    };
    form->FileNewPrjExecute(true, {source});
    t.ok = Seconds(Clock::now() - okStart);
    t.instances = form->Model.MduList.size();
    t.drawn = !form->PicBitmap.isNull();
    t.width = form->PicBitmap.width();
    t.height = form->PicBitmap.height();
    form->Model.Modified = false;
    host.reset();
    form.reset();
    return t;
}

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    int n = argc > 1 ? std::atoi(argv[1]) : 5000;
    if (n <= 0)
        n = 5000;
    const std::string buildDir = ZUN_BUILD_DIR;
    if (!fs::exists(fs::path(buildDir) / "qve")) {
        std::fprintf(stderr, "the engine %s/qve is not built\n", buildDir.c_str());
        return 1;
    }
    char pattern[] = "/tmp/zun-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr)
        return 1;
    const fs::path root = pattern;

    std::printf("new project from one source of small modules, one instance each\n");
    std::printf("%8s %10s %10s %10s %15s\n", "modules", "Next s", "OK s", "instances", "picture");
    double previous = 0;
    for (int size : {n, 4 * n, 16 * n}) {
        Timing t = Run(root, size, buildDir);
        std::printf("%8d %10.3f %10.3f %10zu %6d x %-6d%s", size, t.next, t.ok, t.instances,
                    t.width, t.height, t.drawn ? "" : "  (nothing drawn)");
        if (previous > 0)
            std::printf("   OK grew x%.1f", t.ok / previous);
        std::printf("\n");
        std::fflush(stdout);
        previous = t.ok;
    }
    fs::remove_all(root);
    return 0;
}
