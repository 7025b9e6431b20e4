// The editor on a real X display: each run starts its own Xvfb, so the windows are shown, laid
// out and painted as on a desktop, and stops it at the end.
#include <QApplication>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

// Set when no display could be had; the tests then skip (or fail under CI).
std::string DisplayProblem;

namespace {

class XvfbEnvironment : public testing::Environment {
public:
    void SetUp() override {
        int fds[2];
        if (pipe(fds) != 0) {
            DisplayProblem = "no pipe for Xvfb";
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const char* argv[] = {"Xvfb",         "-displayfd", "3",   "-screen", "0",
                              "1280x1024x24", "-nolisten",  "tcp", nullptr};
        int rc = posix_spawnp(&xvfb_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (rc != 0) {
            close(fds[0]);
            xvfb_ = -1;
            DisplayProblem = "Xvfb could not be started (is the xvfb package installed?)";
            return;
        }
        std::string number;
        char c = 0;
        while (read(fds[0], &c, 1) == 1 && c != '\n')
            number.push_back(c);
        close(fds[0]);
        if (number.empty()) {
            DisplayProblem = "Xvfb gave no display number";
            return;
        }
        setenv("DISPLAY", (":" + number).c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        static int argc = 1;
        static char name[] = "test_e2e_display";
        static char* args[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, args);
        QApplication::setApplicationName("ZUN2012");
    }
    void TearDown() override {
        app_.reset();
        if (xvfb_ > 0) {
            kill(xvfb_, SIGTERM);
            int status = 0;
            waitpid(xvfb_, &status, 0);
        }
    }

private:
    pid_t xvfb_ = -1;
    std::unique_ptr<QApplication> app_;
};

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new XvfbEnvironment);
    return RUN_ALL_TESTS();
}
