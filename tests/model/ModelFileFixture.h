// A model with a temporary program and work directory, scripted prompts and recorded shell
// calls, for the tests of the parser, project file, settings and close commands.
#pragma once

#include "editor/model/Documents.h"
#include "editor/model/ProjectModel.h"
#include "editor/model/ProjectParser.h"

#include "support/FileFixtures.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// A small project: a top with two ports, one instance with a parameter and two ports, a wire.
inline const char* const SampleProject = "TOP\t\ttop\r\n"
                                         "INPUT\t\t\tclk\r\n"
                                         "OUTPUT\t7\t0\tq\r\n"
                                         "MODULE\tcounter\tu1\t/src/counter.v\tverilog\r\n"
                                         "PARAMETER\t\t\tW\t8\t\tK\r\n"
                                         "INPUT\t\t\tclk\r\n"
                                         "OUTPUT\tNA\tNA\tcount\t\tW-1\t0\r\n"
                                         "WIRE\ttop\tclk\tu1\tclk\tclk\r\n";

class ModelFileFixture : public ::testing::Test {
protected:
    ModelFileFixture() {
        model.AppDir = dir.Dir();
        model.WorkDir = dir.Dir();
        services.prompt = &prompt;
        services.ShellOpen = [this](const std::string& target) {
            opened.push_back(target);
            return IoStatus::Ok();
        };
        services.Spawn = [this](const std::vector<std::string>& argv) {
            spawned.push_back(argv);
            return IoStatus::Ok();
        };
        services.Today = [this] { return today; };
        services.OpenSettingsDialog = [this] { ++settingsDialogs; };
        services.ShowMainWindow = [this](bool visible) { windowShown.push_back(visible); };
    }

    // Makes text the open project, rebuilt as after a command.
    void OpenText(const std::string& text) {
        Scr_DrvClick(model, text, ParseMode::ReplaceAll);
        model.PrjOpen = true;
        model.UpdatePicExecute(RebuildSender::MainWindow);
    }

    const std::vector<std::string>& Log() const { return model.Log.Lines(); }
    bool Logged(const std::string& line) const {
        return std::find(Log().begin(), Log().end(), line) != Log().end();
    }

    // Each line as its keyword and name (instance name for TOP and MODULE, net name for WIRE,
    // else field 3), to compare line orders at a glance.
    static std::vector<std::string> Keys(const ProjectLines& lines) {
        std::vector<std::string> keys;
        for (const ProjectLine& l : lines) {
            char kind = LineKind(l[0]);
            const std::string& name = kind == 'M' ? l[2] : kind == 'W' ? l[5] : l[3];
            keys.push_back(name.empty() ? l[0] : l[0] + " " + name);
        }
        return keys;
    }
    std::vector<std::string> Keys() const { return Keys(model.LineList); }

    TempDir dir;
    ProjectModel model;
    ScriptedPrompt prompt;
    EditorServices services;
    std::vector<std::string> opened;
    std::vector<std::vector<std::string>> spawned;
    std::int64_t today = 46366; // 10 December 2026
    int settingsDialogs = 0;
    std::vector<bool> windowShown;
};
