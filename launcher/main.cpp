// zunl: the launcher's thin main. Its only Qt is the one error box, shown when a display is
// there; the message always goes to standard error as well.
#include "launcher/Launcher.h"
#include "platform/Paths.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef ZUNL_WITH_QT
#include <QApplication>
#include <QMessageBox>
#endif

namespace {

bool HasDisplay() {
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x != nullptr && *x != '\0') || (wayland != nullptr && *wayland != '\0');
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> commandLine(argv + 1, argv + argc);
    Launcher launcher(std::move(commandLine), platform::ProgramDir());
    launcher.ShowError = [argv](const std::string& text, const std::string& caption) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
#ifdef ZUNL_WITH_QT
        if (HasDisplay()) {
            int qtArgc = 1;
            char* qtArgv[] = {argv[0], nullptr};
            QApplication app(qtArgc, qtArgv);
            QMessageBox::critical(nullptr, QString::fromStdString(caption),
                                  QString::fromStdString(text), QMessageBox::Ok);
        }
#else
        (void)argv;
        (void)HasDisplay;
#endif
    };
    launcher.LauncherMain();
    return 0;
}
