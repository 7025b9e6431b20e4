// A main window with the module wizard's host, over a fresh folder of its own for each test: work/
// for the engine's files, src/ for the sources a test writes, and a settings file that keeps that
// work folder when a new project reloads the settings.
#pragma once

#include "editor/app/ModuleWizardHost.h"

#include "MainWindowFixture.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

class WizardWindowTest : public MainWindowTest {
protected:
    // kind names the folder, with the process and the test, so parallel runs never share one.
    void SetUpWizard(const std::string& kind) {
        namespace fs = std::filesystem;
        MainWindowTest::SetUp();
        root_ = fs::temp_directory_path() /
                ("zun-ui-" + kind + "-" + std::to_string(getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "work");
        fs::create_directories(root_ / "src");
        form->Model.AppDir = std::string(ZUN_BUILD_DIR) + "/";
        form->Model.WorkDir = (root_ / "work").string() + "/";
        form->Model.IniPath = (root_ / "zun2012.ini").string();
        std::ofstream(form->Model.IniPath) << "[QVsetting]\nE16=" << form->Model.WorkDir << "\n";
        host = std::make_unique<ModuleWizardHost>(*form, prompt);
    }
    void TearDown() override {
        host.reset();
        MainWindowTest::TearDown();
        std::filesystem::remove_all(root_);
    }
    // Writes a source under src/ and gives its path.
    std::string Source(const std::string& name, const std::string& text) {
        const std::filesystem::path p = root_ / "src" / name;
        std::ofstream(p) << text;
        return p.string();
    }

    std::unique_ptr<ModuleWizardHost> host;
    std::filesystem::path root_;
};
