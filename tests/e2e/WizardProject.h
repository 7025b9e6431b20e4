// A project made as the user makes one: the module wizard with the real engine on the sources,
// then wires, top ports and instance values set with the editor's own routines.
#pragma once

#include "GeneratedTop.h"
#include "HdlJudges.h"

#include "editor/hdl/ModelWizardProject.h"
#include "editor/model/Nets.h"
#include "editor/model/TopLevel.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace zun::e2e {

// Our own leaf modules of the generation tests.
inline const fs::path kLeaves = fs::path(ZUN_TEST_DATA) / "gen";

class WizardProject : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(fs::path(ZUN_BUILD_DIR) / "qve")) << "the engine is not built";
        model_.AppDir = std::string(ZUN_BUILD_DIR) + "/";
        model_.WorkDir = work_.string() + "/";
        runner_.SetDirectories(model_.AppDir, model_.WorkDir);
        wizard_.SetProject(&project_);
    }

    // Page 1 with the sources, "Next", every listed module once, "OK": the new project, rebuilt.
    void NewProject(const std::vector<fs::path>& sources, const std::string& top) {
        ThroughTheWizard(sources, top);
        if (HasFatalFailure())
            return;
        Rebuild();
    }

    // The wizard's steps of NewProject, without the rebuild after them.
    void ThroughTheWizard(const std::vector<fs::path>& sources, const std::string& top) {
        wizard_.Open('N', false);
        for (const fs::path& s : sources)
            ASSERT_EQ(wizard_.AddSourceFile(s.string()), AddSourceResult::Added) << s;
        wizard_.SetupWizardPage();
        ASSERT_TRUE(wizard_.Next());
        wizard_.TopModuleText = top;
        ASSERT_TRUE(wizard_.Ok());
        ASSERT_TRUE(model_.PrjOpen);
        model_.AssignOpenOut = '0';
    }

    void Rebuild() { model_.UpdatePicExecute(RebuildSender::MainWindow); }

    const port& P(const std::string& inst, const std::string& name) {
        const int k = model_.FindPortQuiet(inst, name);
        EXPECT_GE(k, 0) << inst << "." << name;
        return model_.PortList[static_cast<std::size_t>(k < 0 ? 0 : k)];
    }
    // What width confirmation does once the parameters are known: the port's numbers.
    void Confirm(const std::string& inst, const std::string& name, int msb, int lsb) {
        ASSERT_TRUE(model_.SetPortLineFields(inst, name, "P", 1, std::to_string(msb), 2,
                                             std::to_string(lsb)))
            << inst << "." << name;
        Rebuild();
    }
    void Wire(const std::string& instA, const std::string& portA, const std::string& instB,
              const std::string& portB) {
        ASSERT_TRUE(ConnectPorts(model_, P(instA, portA), P(instB, portB)))
            << instA << "." << portA << " - " << instB << "." << portB;
        Rebuild();
    }
    // A new top port for the module port, named like it.
    void Map(const std::string& inst, const std::string& name) {
        ASSERT_TRUE(MapPortToTop(model_, P(inst, name), model_.FirstMduLine, "", false))
            << inst << "." << name;
        Rebuild();
    }
    // The module port wired to an existing top port.
    void MapTo(const std::string& inst, const std::string& name, const std::string& topPort) {
        Wire(inst, name, model_.TopName, topPort);
    }
    void SetInstanceValue(const std::string& inst, const std::string& parameter,
                          const std::string& value) {
        ASSERT_TRUE(model_.SetPortLineFields(inst, parameter, "R", 5, value))
            << inst << "." << parameter;
        Rebuild();
    }
    std::string Instance(const std::string& module) const {
        for (const mdu& m : model_.MduList)
            if (m.ModuleName == module)
                return m.InstName;
        ADD_FAILURE() << "no instance of " << module;
        return {};
    }
    fs::path Generate(bool vhdl) {
        const fs::path top = scratch_ / (vhdl ? "top.vhd" : "top.v");
        GenerateTop(model_, work_, vhdl, top);
        return top;
    }
    bool LogHas(const std::string& line) const {
        const auto& log = model_.Log.Lines();
        return std::find(log.begin(), log.end(), line) != log.end();
    }

    TempDir dirs_;
    fs::path scratch_{dirs_.Root()};
    TempDir workDir_;
    fs::path work_{workDir_.Root()};
    ProjectModel model_;
    ModelWizardProject project_{model_, [] {}};
    ScriptedPrompt prompt_;
    EngineRunner runner_{"/", "/"};
    ModuleWizard wizard_{prompt_, runner_};
};

} // namespace zun::e2e
