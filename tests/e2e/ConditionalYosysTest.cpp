// yosys, reading the conditional sources with no defines given, sees the modules and ports the
// engine's tables expect: the tables are a compiler's reading, not only ours.
#include "support/ChildProcess.h"
#include "support/ConditionalSources.h"
#include "support/InCi.h"
#include "support/Json.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// The modules yosys reads from the source (read_verilog -lib: ports only), or nothing when it
// could not read it. It runs in a folder of its own: yosys looks for an include in its current
// directory before the including file's folder, and the sources' own files must decide.
std::optional<std::vector<support::ModulePorts>>
YosysModulePorts(const std::string& yosys, const std::string& root, const std::string& source) {
    std::string json = root + "/yosys.json";
    std::string log = root + "/yosys.log";
    std::string empty = root + "/yosys-run";
    std::filesystem::create_directories(empty);
    ChildRun run{{yosys, "-q", "-p", "read_verilog -lib " + source + "; write_json " + json},
                 empty,
                 log,
                 log};
    int status = RunChild(run);
    if (status != 0 || !std::filesystem::exists(json))
        return std::nullopt;
    std::string text = ReadBytes(json);
    std::optional<support::Json> document = support::JsonReader(text).Read();
    if (!document)
        return std::nullopt;
    std::vector<support::ModulePorts> modules;
    if (const support::Json* all = document->Member("modules"))
        for (const auto& [name, module] : all->members) {
            support::ModulePorts m{name, {}};
            if (const support::Json* ports = module.Member("ports"))
                for (const auto& [port, info] : ports->members)
                    m.ports.emplace_back(info.Member("direction")->text, port);
            modules.push_back(m);
        }
    return modules;
}

TEST(ConditionalYosys, YosysWithoutDefinesReadsThePortsTheEngineTablesExpect) {
    std::string yosys = FindTool("yosys");
    if (yosys.empty()) {
        if (InCi())
            FAIL() << "yosys is not installed, and CI requires every HDL tool";
        GTEST_SKIP() << "yosys is not installed: the conditional sources are not judged by it";
    }
    for (const support::ConditionalSource& source : support::ConditionalSources()) {
        TempDir dir;
        support::WriteConditionalSource(dir.Root(), source, true);
        std::optional<std::vector<support::ModulePorts>> modules =
            YosysModulePorts(yosys, dir.Root(), dir.Path(source.files.front().first));
        ASSERT_TRUE(modules.has_value()) << source.name << ": yosys could not read it\n"
                                         << ReadBytes(dir.Path("yosys.log"));
        EXPECT_EQ(support::Describe(*modules), source.expected) << source.name;
    }
}

} // namespace
