// What a designer meets in the first minutes, one scene each: the message boxes shown (scripted,
// in order) and the log lines that name the cause, with the real engine, offscreen.
#include "editor/app/ModuleWizardHost.h"
#include "editor/app/TForm1.h"
#include "editor/canvas/ui/SchematicDrawer.h"
#include "editor/hdl/ui/TFormNewPrj.h"
#include "platform/Paths.h"
#include "support/FileFixtures.h"
#include "support/ScriptedPrompt.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string kDemo = [] {
    std::string data = ZUN_TEST_DATA;
    return data.substr(0, data.rfind("/tests/data")) + "/examples/demo/demo.zun";
}();

// One scene: what the user does, the boxes they see, and what the log must and must not hold.
struct Scene {
    const char* name;
    std::function<void()> act;
    std::vector<std::string> boxes;
    std::vector<std::string> logged;      // whole lines
    std::vector<std::string> neverLogged; // pieces of lines
    // The log as it stood when the first box showed must hold these lines.
    std::vector<std::string> loggedBeforeTheBox = {};
};

class FirstUse : public ::testing::Test {
protected:
    void SetUp() override {
        cwd_ = platform::AbsolutePath(".");
        fs::create_directories(root_ / "work");
        fs::create_directories(root_ / "src");
        ini_ = (root_ / "zun2012.ini").string();
        std::ofstream(ini_) << "[QVsetting]\nE16=" << Work() << "\n";
        adder_ = Source("a.v", "module adder(input [7:0] x, output [7:0] y); endmodule\n");
    }
    void TearDown() override {
        ASSERT_EQ(::chdir(cwd_.c_str()), 0);
        host_.reset();
        if (form_)
            form_->Model.Modified = false;
        form_.reset();
    }

    // A fresh editor over the test's settings file and the engine of the build.
    void Fresh() {
        ASSERT_EQ(::chdir(cwd_.c_str()), 0);
        host_.reset();
        if (form_)
            form_->Model.Modified = false;
        form_.reset();
        prompt_ = std::make_unique<ScriptedPrompt>();
        form_ = std::make_unique<TForm1>(*prompt_, drawer_);
        form_->FirstShowPending = false;
        form_->Model.AppDir = std::string(ZUN_BUILD_DIR) + "/";
        form_->Model.WorkDir = Work();
        form_->Model.IniPath = ini_;
        host_ = std::make_unique<ModuleWizardHost>(*form_, *prompt_);
    }

    std::string Work() const { return (root_ / "work").string() + "/"; }
    std::string Source(const std::string& name, const std::string& text) const {
        const fs::path path = root_ / "src" / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    std::string CopyOfDemo(const std::string& folder) const {
        fs::create_directories(root_ / folder);
        const fs::path path = root_ / folder / "demo.zun";
        fs::copy_file(kDemo, path, fs::copy_options::overwrite_existing);
        return path.string();
    }
    void StartWith(std::vector<std::string> args) {
        form_->FirstShowPending = true;
        form_->SetCommandLine(std::move(args));
        form_->FormShow();
    }
    // The wizard's pages as the user goes through them: "Next", then "OK" when it offers one.
    void DriveWizard(std::vector<std::string>* listed = nullptr) {
        host_->ShowModal = [this, listed](TFormNewPrj& w) {
            w.BitBtn2Click();
            if (listed)
                for (const ModuleRow& row : host_->Wizard().Modules)
                    listed->push_back(row.module);
            if (host_->Wizard().FilePage)
                return int(QDialog::Rejected);
            w.BitBtn8Click();
            return w.result();
        };
    }

    void Play(const Scene& scene) {
        SCOPED_TRACE(scene.name);
        for (const std::string& box : scene.boxes)
            prompt_->ExpectMessage(box);
        std::vector<std::string> atFirstBox;
        bool boxShown = false;
        prompt_->OnShow = [&](const std::string&) {
            if (!boxShown)
                atFirstBox = form_->Model.Log.Lines();
            boxShown = true;
        };
        scene.act();
        EXPECT_TRUE(prompt_->Done());
        const std::vector<std::string>& log = form_->Model.Log.Lines();
        for (const std::string& line : scene.logged)
            EXPECT_NE(std::find(log.begin(), log.end(), line), log.end()) << "not logged: " << line;
        for (const std::string& piece : scene.neverLogged)
            for (const std::string& line : log)
                EXPECT_EQ(line.find(piece), std::string::npos) << "logged: " << line;
        for (const std::string& line : scene.loggedBeforeTheBox)
            EXPECT_NE(std::find(atFirstBox.begin(), atFirstBox.end(), line), atFirstBox.end())
                << "not logged before the box: " << line;
    }

    TempDir scratch_;
    fs::path root_{scratch_.Root()};
    std::string cwd_, ini_, adder_;
    SchematicDrawer drawer_;
    std::unique_ptr<ScriptedPrompt> prompt_;
    std::unique_ptr<TForm1> form_;
    std::unique_ptr<ModuleWizardHost> host_;
};

TEST_F(FirstUse, EachSceneShowsItsBoxesAndLogsWhatCausedThem) {
    const std::string noEngine = (root_ / "no engine").string() + "/";
    fs::create_directories(noEngine);
    const std::string binary =
        Source("tool.bin", "\x7f"
                           "ELF" +
                               std::string(3, '\0') + "module fake(input a); endmodule\n");
    const std::string gone = (root_ / "src" / "gone.v").string();
    const std::string damaged = (root_ / "damaged.zun").string();
    std::ofstream(damaged, std::ios::binary)
        << std::string("\x13\x88") + "garbage" + std::string(1, '\0') + "\x01 not a project";
    std::string readOnly;
    std::vector<std::string> listed;

    const Scene scenes[] = {
        {"the engine is missing",
         [&] {
             form_->Model.AppDir = noEngine;
             DriveWizard();
             form_->FileNewPrjExecute(true, {adder_});
         },
         {"Can't read HDL source files."},
         {},
         {},
         {"Error: The HDL engine " + noEngine +
          "qve could not be started: No such file or directory."}},
        {"a source that is not text",
         [&] {
             DriveWizard(&listed);
             form_->FileNewPrjExecute(true, {binary, adder_});
             EXPECT_EQ(listed, std::vector<std::string>{"adder"});
             EXPECT_TRUE(form_->Model.PrjOpen);
         },
         {},
         {"Info: Add 1 module (adder). Sourec file:" + adder_},
         {"Ignore the empty module", "(fake)"}},
        {"a source on the command line that does not exist",
         [&] {
             host_->ShowModal = [this](TFormNewPrj&) {
                 EXPECT_EQ(host_->Wizard().Files.size(), 1u);
                 EXPECT_EQ(host_->Wizard().Files.front().path, adder_);
                 return int(QDialog::Rejected);
             };
             StartWith({"-ini", ini_, "-new", gone, adder_});
         },
         {},
         {"Warning: The source file " + gone + " does not exist; it is not listed."},
         {}},
        {"a relative project path, reopened from the recent menu in another folder",
         [&] {
             const std::string path = CopyOfDemo("one");
             ASSERT_EQ(::chdir((root_ / "one").c_str()), 0);
             StartWith({"-ini", ini_, "-open", "demo.zun"});
             ASSERT_TRUE(form_->Model.PrjOpen);
             EXPECT_EQ(form_->windowTitle().toStdString(), "ZUN2012 - " + path);
             form_->ClosePrjExecute();
             ASSERT_FALSE(form_->Model.RecentList.empty());
             EXPECT_EQ(form_->Model.RecentList.front(), path);
             fs::create_directories(root_ / "other");
             ASSERT_EQ(::chdir((root_ / "other").c_str()), 0);
             form_->RecentMenu->actions().front()->trigger();
             EXPECT_TRUE(form_->Model.PrjOpen);
             EXPECT_EQ(form_->Model.PrjFileName, path);
         },
         {},
         {},
         {}},
        {"a damaged project file",
         [&] {
             form_->OpenProjectAccept(damaged);
             EXPECT_FALSE(form_->Model.PrjOpen);
             for (const std::string& entry : form_->Model.RecentList)
                 EXPECT_NE(entry, damaged);
         },
         {"Illegal project.\n" + damaged},
         {"Error: Illegal project."},
         {}},
        {"a save to a read-only file",
         [&] {
             readOnly = CopyOfDemo("ro");
             form_->OpenProjectAccept(readOnly);
             ASSERT_TRUE(form_->Model.PrjOpen);
             ::chmod(readOnly.c_str(), 0444);
             form_->Model.Modified = true;
             form_->FileSavePrjExecute();
             EXPECT_TRUE(form_->Model.Modified) << "the project still differs from its file";
         },
         {},
         {"Error: File operation failed.",
          "Error: Cannot write " + (root_ / "ro" / "demo.zun").string() + ": Permission denied."},
         {}},
    };
    for (const Scene& scene : scenes) {
        Fresh();
        Play(scene);
    }
}

} // namespace
