// The main window's generation of the top level: the generated-text window, the options dialog
// and the command "Generate HDL Code" (F9) put together over the main window's project.
#pragma once

#include "editor/hdl/GenHdlCommand.h"
#include "editor/hdl/GenText.h"
#include "editor/hdl/TopGenerator.h"
#include "editor/hdl/ui/TFormConnect.h"
#include "editor/hdl/ui/TFormGenHDL.h"

#include <QPointer>

class EngineRunner;
class Prompt;
class TForm1;

class GenHdlHost {
public:
    // Creates FormGenHDL and FormConnect and gives the main window its GenHDL handler, its
    // HdlFontChanged hook and the canvas's source viewer; runner is the module wizard's, so both
    // use one engine and work directory. The host must be destroyed before the main window.
    GenHdlHost(TForm1& form, Prompt& prompt, EngineRunner& runner);
    ~GenHdlHost();
    GenHdlHost(const GenHdlHost&) = delete;
    GenHdlHost& operator=(const GenHdlHost&) = delete;

    GenHdlCommand& Command() { return command_; }
    GenTextModel& Text() { return text_; }
    TopGenerator& Generator() { return generator_; }
    TFormGenHDL& TextWindow() { return *textWindow_; }
    TFormConnect& ConnectWindow() { return *connectWindow_; }

    // The framework generator, for the command's "Framework only" and for the window's column
    // drags; until it is given, "Framework only" cannot be chosen.
    void SetFrameworkGenerator(FrameworkGenerator generator);

private:
    TForm1& form_;
    GenTextModel text_;
    TopGenerator generator_;
    GenHdlCommand command_;
    QPointer<TFormGenHDL> textWindow_;
    QPointer<TFormConnect> connectWindow_;
};
