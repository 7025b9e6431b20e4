// A main window for tests: the real painter, a scripted prompt, no start-up at the first show.
#pragma once

#include "editor/app/TForm1.h"
#include "editor/canvas/ui/SchematicDrawer.h"
#include "support/ScriptedPrompt.h"

#include <QAction>

#include <memory>

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm1>(prompt, drawer);
        form->FirstShowPending = false;
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
