// Ports behind conditional compilation and includes, as the engine lists and reads them from
// files; the same sources are read by yosys in the end-to-end tests.
#include "support/ConditionalSources.h"

#include <gtest/gtest.h>

namespace qve {
namespace {

TEST(ConditionalSources, ModulesAndPortsAreThoseOfTheBranchesACompilerTakes) {
    for (const support::ConditionalSource& source : support::ConditionalSources()) {
        TempDir dir;
        support::WriteConditionalSource(dir.Root(), source, false);
        std::vector<support::ModulePorts> modules =
            support::EngineModulePorts(dir.Path(source.files.front().first), dir.Root());
        EXPECT_EQ(support::Describe(modules), source.expected) << source.name;
    }
}

} // namespace
} // namespace qve
