// Files opened together from a file manager, on a display: this process is the editor started
// with "-new a.v"; five real launchers and a second real editor race in with theirs. All seven
// files end up in the one wizard, and after "Next" a launcher starts a new editor that takes
// over as the receiver.
#include "NeedsDisplay.h"
#include "editor/app/ModuleWizardHost.h"
#include "editor/app/TForm1.h"
#include "editor/canvas/ui/SchematicDrawer.h"
#include "editor/hdl/EditorHandOff.h"
#include "editor/hdl/ui/TFormNewPrj.h"
#include "support/EventPump.h"
#include "support/HandOffSandbox.h"
#include "support/ScriptedPrompt.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

pid_t Start(std::vector<std::string> argv) {
    std::vector<char*> args;
    for (std::string& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    pid_t pid = ::fork();
    if (pid == 0) {
        int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    return pid;
}

// The exit status once the child has ended, or nothing while it runs.
std::optional<int> Ended(pid_t pid) {
    int status = 0;
    pid_t r = ::waitpid(pid, &status, WNOHANG);
    if (r == pid)
        return status;
    if (r < 0)
        return -1;
    return std::nullopt;
}

// Editors that a launcher started are this process's children once their starter has gone.
std::vector<pid_t> EditorsStartedByLaunchers(const std::string& exe) {
    std::vector<pid_t> found;
    for (const std::string& name : TempDir::ListNames("/proc")) {
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::error_code ec;
        if (fs::read_symlink("/proc/" + name + "/exe", ec) == exe && !ec)
            found.push_back(std::stoi(name));
    }
    return found;
}

TEST(HandOffOnDisplay, FilesOpenedTogetherLandInOneWizardAndAfterNextANewEditorReceives) {
    NEEDS_DISPLAY();
    HandOffSandbox sandbox;
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    const TempDir scratch;
    const fs::path root = scratch.Root();
    fs::create_directories(root / "work");
    const std::string ini = (root / "zun2012.ini").string();
    std::ofstream(ini) << "[QVsetting]\nE16=" << (root / "work").string() << "/\n";
    std::vector<std::string> files;
    for (const char* name : {"a", "b", "c1", "c2", "c3", "c4", "c5", "d"}) {
        files.push_back((root / (std::string(name) + ".v")).string());
        std::ofstream(files.back()) << "module m_" << name << "(input x, output y); endmodule\n";
    }
    const std::string build = std::string(ZUN_BUILD_DIR) + "/";
    const std::string zunExe = fs::canonical(build + "zun").string();

    ScriptedPrompt prompt;
    SchematicDrawer drawer;
    auto form = std::make_unique<TForm1>(prompt, drawer);
    ASSERT_TRUE(form->FatalError.empty()) << form->FatalError;
    form->Model.AppDir = build;
    EditorHandOff handOff;
    ASSERT_TRUE(handOff.CreateWindow());
    auto host = std::make_unique<ModuleWizardHost>(*form, prompt);
    host->AttachHandOff(handOff);
    form->SetCommandLine({"-ini", ini, "-new", files[0]});

    bool drove = false;
    QElapsedTimer sinceShow;
    std::function<void()> drive = [&] {
        TFormNewPrj* w = FormNewPrj;
        if (!(w->isVisible() && w->BitBtn2->isVisible())) {
            if (sinceShow.elapsed() < 10000) {
                QTimer::singleShot(20, drive);
                return;
            }
            drove = true;
            ADD_FAILURE() << "the wizard never showed";
            return;
        }
        drove = true;
        EXPECT_TRUE(handOff.Receiving());

        // Five launchers and a second editor, all at once.
        std::vector<pid_t> launchers;
        for (int i = 2; i <= 6; ++i)
            launchers.push_back(Start({build + "zunl", "-ini", ini, "-new", files[i]}));
        const pid_t second = Start({build + "zun", "-ini", ini, "-new", files[1]});

        EXPECT_TRUE(PumpEventsUntil([&] { return host->Wizard().Files.size() >= 7; }, 20000))
            << host->Wizard().Files.size() << " files listed";
        std::vector<std::string> listed;
        for (int i = 0; i < w->ListView1->topLevelItemCount(); ++i)
            listed.push_back(w->ListView1->topLevelItem(i)->text(0).toStdString());
        std::sort(listed.begin(), listed.end());
        std::vector<std::string> expected(files.begin(), files.begin() + 7);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(listed, expected);
        EXPECT_EQ(w->ListView1->headerItem()->text(0), "Selected Files (7)");
        EXPECT_TRUE(PumpEventsUntil([&] { return w->isActiveWindow(); }, 5000))
            << "the wizard did not come to the front";

        std::optional<int> secondEnd;
        EXPECT_TRUE(PumpEventsUntil([&] { return (secondEnd = Ended(second)).has_value(); }, 20000))
            << "the second editor is still running";
        if (secondEnd) {
            EXPECT_TRUE(WIFEXITED(*secondEnd) && WEXITSTATUS(*secondEnd) == 0) << *secondEnd;
        } else {
            ::kill(second, SIGKILL);
        }
        for (pid_t l : launchers) {
            std::optional<int> end;
            EXPECT_TRUE(PumpEventsUntil([&] { return (end = Ended(l)).has_value(); }, 10000))
                << "a launcher is left";
            if (end) {
                EXPECT_TRUE(WIFEXITED(*end) && WEXITSTATUS(*end) == 0) << *end;
            } else {
                ::kill(l, SIGKILL);
            }
        }
        EXPECT_TRUE(EditorsStartedByLaunchers(zunExe).empty()) << "a launcher started an editor";

        // "Next": this wizard takes no more files; the next launcher starts an editor that does.
        ClickCentre(w->BitBtn2);
        EXPECT_TRUE(PumpEventsUntil([w] { return w->ListView2->isVisible(); }));
        EXPECT_FALSE(handOff.Receiving());
        const pid_t late = Start({build + "zunl", "-ini", ini, "-new", files[7]});
        std::optional<int> lateEnd;
        EXPECT_TRUE(PumpEventsUntil([&] { return (lateEnd = Ended(late)).has_value(); }, 20000));
        if (lateEnd) {
            EXPECT_TRUE(WIFEXITED(*lateEnd) && WEXITSTATUS(*lateEnd) == 0);
        }
        const platform::HandOffPlace place = sandbox.Place();
        platform::SharedBlock instance;
        EXPECT_EQ(instance.Open(place, InstanceBlockName, InstanceBlockSize),
                  platform::BlockState::Existed);
        WindowHandle receiver = 0;
        if (instance.Map())
            std::memcpy(&receiver, instance.Data(), sizeof receiver);
        instance.Close();
        EXPECT_NE(receiver, handOff.Window().Handle());
        EXPECT_TRUE(platform::MessageWindow::Exists(place, receiver))
            << "the new editor is not the receiver";
        EXPECT_EQ(host->Wizard().Files.size(), 7u);

        for (pid_t editor : EditorsStartedByLaunchers(zunExe)) {
            ::kill(editor, SIGKILL);
            int s = 0;
            ::waitpid(editor, &s, 0);
        }
        w->reject();
    };
    sinceShow.start();
    QTimer::singleShot(0, drive);
    form->show();
    ASSERT_TRUE(PumpEventsUntil([&] { return drove && !FormNewPrj->isVisible(); }, 60000));
    host.reset();
    form->Model.Modified = false;
    form.reset();
}

} // namespace
