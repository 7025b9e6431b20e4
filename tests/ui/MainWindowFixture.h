// A main window for tests: the real painter, a scripted prompt, no start-up at the first show.
#pragma once

#include "editor/app/TForm1.h"
#include "editor/app/TPropForm.h"
#include "editor/canvas/ui/SchematicDrawer.h"
#include "support/ScriptedPrompt.h"

#include <QAction>

#include <memory>
#include <string>

// The bundled example's project file.
inline const std::string& DemoProject() {
    static const std::string path = [] {
        std::string data = ZUN_TEST_DATA;
        return data.substr(0, data.rfind("/tests/data")) + "/examples/demo/demo.zun";
    }();
    return path;
}

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm1>(prompt, drawer);
        form->FirstShowPending = false;
        // A modal dialog would wait for a user: a test that opens one says how it ends.
        form->SettingsWindow->ShowModal = [](TPropForm&) {
            ADD_FAILURE() << "the Settings dialog opened unexpectedly";
            return 0;
        };
    }
    void TearDown() override { form.reset(); }

    // Gives every command a handler that only counts its runs, so that the enabling rules alone
    // decide what is enabled.
    void HandleEverything();

    ScriptedPrompt prompt;
    SchematicDrawer drawer;
    std::unique_ptr<TForm1> form;
    std::map<std::string, int> runs;
};
