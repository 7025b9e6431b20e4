// cmake --install into a fresh prefix: the installed launcher starts the installed editor beside
// its engine and help pages, the desktop entries pass the desktop's own check, and the prefix's
// MIME database knows a project file.
#include "editor/hdl/handoff/HandOffProtocol.h"
#include "support/ChildProcess.h"
#include "support/HandOffSandbox.h"
#include "support/InCi.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

#define REQUIRE_TOOL(path, name)                                                                   \
    do {                                                                                           \
        if ((path).empty()) {                                                                      \
            if (InCi())                                                                            \
                FAIL() << name << " is missing, and CI requires it";                               \
            GTEST_SKIP() << name << " is missing";                                                 \
        }                                                                                          \
    } while (false)

// The one prefix of this test program, installed once.
class InstallTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefix_ = new TempDir;
        ChildRun run;
        run.argv = {ZUN_CMAKE_COMMAND, "--install", ZUN_BUILD_DIR, "--prefix", prefix_->Root()};
        run.directory = prefix_->Root();
        run.outputFile = run.errorFile = prefix_->Root() + ".log";
        status_ = RunChild(run);
        log_ = ReadBytes(run.outputFile);
        ::unlink(run.outputFile.c_str());
    }
    static void TearDownTestSuite() {
        delete prefix_;
        prefix_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(WIFEXITED(status_) && WEXITSTATUS(status_) == 0) << log_; }
    static fs::path Prefix() { return prefix_->Root(); }
    static int Run(std::vector<std::string> argv, const std::string& output) {
        ChildRun run;
        run.argv = std::move(argv);
        run.directory = prefix_->Root();
        run.outputFile = run.errorFile = output;
        return RunChild(run);
    }

    static TempDir* prefix_;
    static int status_;
    static std::string log_;
};

TempDir* InstallTest::prefix_ = nullptr;
int InstallTest::status_ = -1;
std::string InstallTest::log_;

TEST_F(InstallTest, ProgramsAndTheirFilesLiveTogetherAndBinLinksToThem) {
    const fs::path app = Prefix() / "lib" / "zun";
    for (const char* f : {"zun", "qve", "zunl", "doc/guide.htm", "doc/smtlnk.htm",
                          "doc/confirm.htm", "doc/license.txt"})
        EXPECT_TRUE(fs::is_regular_file(app / f)) << f;
    for (const char* program : {"zun", "zunl"}) {
        const fs::path link = Prefix() / "bin" / program;
        ASSERT_TRUE(fs::is_symlink(link)) << program;
        EXPECT_EQ(fs::read_symlink(link), fs::path("../lib/zun") / program);
        EXPECT_EQ(fs::canonical(link), fs::canonical(app / program));
    }
}

// The editor, started through both links, waits in its wizard for files: its window is named
// in the instance block, and its program is the one in lib/zun, found through the links.
TEST_F(InstallTest, TheInstalledLauncherStartsTheInstalledEditor) {
    HandOffSandbox sandbox;
    TempDir files;
    WriteBytes(files.Path("a.v"), "module a(input x); endmodule\n");
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::unsetenv("DISPLAY");
    const std::string out = files.Path("zunl.out");
    const int status = Run({(Prefix() / "bin" / "zunl").string(), "-new", files.Path("a.v")}, out);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadBytes(out);

    const platform::HandOffPlace place = sandbox.Place();
    platform::SharedBlock instance;
    ASSERT_EQ(instance.Open(place, InstanceBlockName, InstanceBlockSize),
              platform::BlockState::Existed)
        << "no editor waits for files";
    ASSERT_TRUE(instance.Map());
    WindowHandle window = 0;
    std::memcpy(&window, instance.Data(), sizeof window);
    EXPECT_TRUE(platform::MessageWindow::Exists(place, window));
    instance.Close();

    // The editor is this process's child now (its starter has ended); find it and end it.
    pid_t editor = -1;
    for (const std::string& name : TempDir::ListNames("/proc")) {
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::error_code ec;
        fs::path exe = fs::read_symlink("/proc/" + name + "/exe", ec);
        if (!ec && exe == fs::canonical(Prefix() / "lib" / "zun" / "zun"))
            editor = std::stoi(name);
    }
    ASSERT_GT(editor, 0) << "the editor that runs is not the installed one";
    ::kill(editor, SIGKILL);
    int s = 0;
    ::waitpid(editor, &s, 0);
}

TEST_F(InstallTest, TheInstalledEngineRunsFromItsFolder) {
    TempDir work;
    WriteBytes(work.Path("a.v"), "module adder(input a, output y); endmodule\n");
    const std::string out = work.Path("qve.out");
    const int status = Run({(Prefix() / "lib" / "zun" / "qve").string(),
                            "0x1898a5" + work.Path("qvmdu.tmp"), work.Path("a.v"), "0"},
                           out);
    ASSERT_TRUE(WIFEXITED(status)) << ReadBytes(out);
    EXPECT_NE(ReadBytes(work.Path("qvmdu.tmp")).find("\nM-adder"), std::string::npos)
        << ReadBytes(work.Path("qvmdu.tmp"));
}

TEST_F(InstallTest, TheDesktopEntriesPassTheDesktopCheck) {
    const std::string validate = FindTool("desktop-file-validate");
    REQUIRE_TOOL(validate, "desktop-file-validate (package desktop-file-utils)");
    const fs::path apps = Prefix() / "share" / "applications";
    const std::string out = prefix_->Root() + "/validate.out";
    const int status =
        Run({validate, (apps / "zun.desktop").string(), (apps / "zun-new.desktop").string()}, out);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadBytes(out);
    EXPECT_EQ(ReadBytes(out), "");
    ::unlink(out.c_str());
    const std::string open = ReadBytes((apps / "zun.desktop").string());
    EXPECT_NE(open.find("\nExec=zunl %f\n"), std::string::npos);
    EXPECT_NE(open.find("\nMimeType=application/x-zun-project;\n"), std::string::npos);
    const std::string hidden = ReadBytes((apps / "zun-new.desktop").string());
    EXPECT_NE(hidden.find("\nExec=zunl -new %f\n"), std::string::npos);
    EXPECT_NE(hidden.find("\nNoDisplay=true\n"), std::string::npos);
    EXPECT_NE(hidden.find("\nMimeType=text/x-verilog;text/x-vhdl;\n"), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(Prefix() / "share/icons/hicolor/scalable/apps/zun.svg"));
}

TEST_F(InstallTest, ThePrefixMimeDatabaseTypesAProjectFileAsOurs) {
    const std::string update = FindTool("update-mime-database");
    const std::string gio = FindTool("gio");
    REQUIRE_TOOL(update, "update-mime-database (package shared-mime-info)");
    REQUIRE_TOOL(gio, "gio (package libglib2.0-bin)");
    TempDir files;
    const std::string out = files.Path("tool.out");
    ASSERT_EQ(Run({update, (Prefix() / "share" / "mime").string()}, out), 0) << ReadBytes(out);

    fs::copy_file(fs::path(ZUN_TEST_DATA) / ".." / ".." / "examples" / "demo" / "demo.zun",
                  files.Path("design.zun"));
    WriteBytes(files.Path("blink.vhd"), "entity blink is\nend entity;\n");
    ::setenv("XDG_DATA_DIRS", ((Prefix() / "share").string() + ":/usr/share").c_str(), 1);
    ::setenv("XDG_DATA_HOME", files.Path("no-user-data").c_str(), 1);
    struct Case {
        const char* file;
        const char* type;
    };
    for (const Case& c :
         {Case{"design.zun", "application/x-zun-project"}, Case{"blink.vhd", "text/x-vhdl"}}) {
        ASSERT_EQ(Run({gio, "info", "-a", "standard::content-type", files.Path(c.file)}, out), 0)
            << ReadBytes(out);
        EXPECT_NE(ReadBytes(out).find(std::string("standard::content-type: ") + c.type + "\n"),
                  std::string::npos)
            << c.file << ": " << ReadBytes(out);
    }
    ::unsetenv("XDG_DATA_DIRS");
    ::unsetenv("XDG_DATA_HOME");
}

} // namespace
