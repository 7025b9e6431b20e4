// zun, the editor: creates the application's windows once, runs the start-up at the main
// window's first showing and the message loop.
#include "editor/app/ModuleWizardHost.h"
#include "editor/app/QtPrompt.h"
#include "editor/app/TAboutBox.h"
#include "editor/app/TForm1.h"
#include "editor/app/TForm1Companions.h"
#include "editor/app/TForm1Gen.h"
#include "editor/canvas/ui/SchematicDrawer.h"
#include "editor/hdl/EditorHandOff.h"

#include <QApplication>

#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace {

// An exception that escapes an event handler is shown and the program goes on.
class ZunApplication : public QApplication {
public:
    using QApplication::QApplication;

    QtPrompt* prompt = nullptr;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            Show(e.what());
        } catch (...) {
            Show(UnknownErrorText);
        }
        return false;
    }

private:
    void Show(const std::string& text) {
        if (prompt)
            prompt->Message(text, "", MessageKind::Error);
    }
};

} // namespace

int main(int argc, char** argv) {
    ZunApplication app(argc, argv);
    QApplication::setApplicationName("ZUN2012");
    QtPrompt prompt;
    app.prompt = &prompt;
    SchematicDrawer drawer;
    try {
        // The main window first (it makes the Information window), then the other windows.
        auto form = std::make_unique<TForm1>(prompt, drawer);
        prompt.SetParent(form.get());
        if (!form->FatalError.empty()) {
            prompt.Message(form->FatalError, "", MessageKind::Error);
            return 1;
        }
        auto about = std::make_unique<TAboutBox>(form.get());
        AboutBox = about.release();
        // The editor's one message window, there before the command line is walked, so a
        // wizard opened from it can receive files at once. Without it the editor works alone
        // (a wizard that would receive logs that it could not).
        EditorHandOff handOff;
        handOff.CreateWindow();
        ModuleWizardHost moduleWizard(*form, prompt);
        moduleWizard.AttachHandOff(handOff);
        GenHdlHost generation(*form, prompt, moduleWizard.Runner());
        GenCompanionsHost companions(*form, prompt, generation);

        std::vector<std::string> args;
        for (int i = 1; i < argc; ++i)
            args.emplace_back(argv[i]);
        form->SetCommandLine(std::move(args));
        form->showMaximized();
        const int rc = QApplication::exec();
        AboutBox = nullptr;
        return rc;
    } catch (const std::exception& e) {
        prompt.Message(e.what(), "", MessageKind::Error);
    } catch (...) {
        prompt.Message(UnknownErrorText, "", MessageKind::Error);
    }
    return 0;
}
