// The real zunl beside a stand-in zun (the editor's own hand-off receiver, without windows),
// each in processes of their own, as the desktop starts them: one launcher per file.
#include "editor/hdl/handoff/HandOffProtocol.h"
#include "support/HandOffSandbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    return lines;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds bound = 10s) {
    const auto end = Clock::now() + bound;
    while (!done()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// The cases of the table below reach the fixture's helpers through the fixture itself.
class LauncherProcessTest : public ::testing::Test {
public:
    void SetUp() override {
        // Editors that the launchers start detached are handed to this process when their
        // starter ends, so every one of them can be waited for.
        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::unsetenv("ZUN_FAKE_EDITOR");
        ::setenv("ZUN_FAKE_EDITOR_LOG", logs_.Root().c_str(), 1);
        ::setenv("ZUN_HANDOFF_WAIT_MS", "60000", 1);
        Install(program_);
        for (const char* name : {"a.v", "b.v", "c.v", "d.vhd", "rel.v"})
            WriteBytes(files_.Path(name), "module m; endmodule\n");
    }
    void TearDown() override {
        Settle();
        ::unsetenv("ZUN_FAKE_EDITOR_LOG");
        ::unsetenv("ZUN_HANDOFF_WAIT_MS");
    }
    // Ends every editor and checks that nothing of the hand-off is left; then the logs start
    // afresh.
    void Settle() {
        WriteBytes(logs_.Path("quit"), "");
        for (const auto& [pid, args] : Starts())
            if (!Reap(pid, 10s)) {
                ADD_FAILURE() << "editor " << pid << " did not end";
                ::kill(pid, SIGKILL);
                Reap(pid, 5s);
            }
        for (pid_t pid : others_)
            Reap(pid, 5s);
        EXPECT_TRUE(sandbox_.Objects().empty()) << "a block outlived every program";
        EXPECT_TRUE(sandbox_.Sockets().empty()) << "a message window outlived its program";
        for (const std::string& name : logs_.Names())
            ::unlink(logs_.Path(name).c_str());
        others_.clear();
    }

    static void Install(const TempDir& dir, bool withEditor = true) {
        fs::copy_file(fs::path(ZUN_BUILD_DIR) / "zunl", dir.Path("zunl"),
                      fs::copy_options::overwrite_existing);
        if (withEditor)
            fs::copy_file(fs::path(ZUN_FAKE_EDITOR_DIR) / "zun", dir.Path("zun"),
                          fs::copy_options::overwrite_existing);
    }

    // Starts a program; its standard error goes to a file of the logs.
    pid_t Spawn(std::vector<std::string> argv, const std::string& cwd = "") {
        std::vector<char*> args;
        for (std::string& a : argv)
            args.push_back(a.data());
        args.push_back(nullptr);
        const std::string err = logs_.Path("stderr-" + std::to_string(counter_++));
        const std::string dir = cwd.empty() ? files_.Root() : cwd;
        pid_t pid = ::fork();
        if (pid == 0) {
            int null = ::open("/dev/null", O_RDWR);
            int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(e, 2);
            if (::chdir(dir.c_str()) != 0)
                ::_exit(126);
            ::execv(args[0], args.data());
            ::_exit(127);
        }
        lastError_ = err;
        return pid;
    }
    pid_t Launch(const std::vector<std::string>& args, const std::string& cwd = "") {
        std::vector<std::string> argv{program_.Path("zunl")};
        argv.insert(argv.end(), args.begin(), args.end());
        return Spawn(argv, cwd);
    }
    // An editor started by the test itself, once it has registered (or given up).
    pid_t StartEditor(const std::vector<std::string>& args) {
        std::vector<std::string> argv{program_.Path("zun")};
        argv.insert(argv.end(), args.begin(), args.end());
        // In a directory of its own, so a relative path would name another file there.
        pid_t pid = Spawn(argv, logs_.Root());
        others_.push_back(pid);
        EXPECT_TRUE(WaitFor([&] { return fs::exists(Log("files", pid)); }));
        return pid;
    }
    // The exit status, or nothing when the program is still running after the bound.
    static std::optional<int> Reap(pid_t pid, std::chrono::milliseconds bound) {
        std::optional<int> status;
        WaitFor(
            [&] {
                int s = 0;
                pid_t r = ::waitpid(pid, &s, WNOHANG);
                if (r == pid || r < 0)
                    status = r == pid ? s : -1;
                return status.has_value();
            },
            bound);
        return status;
    }
    // Waits for launchers to end: each must exit 0 within the bound.
    void ExpectAllEnd(const std::vector<pid_t>& pids, std::chrono::milliseconds bound = 10s) {
        for (pid_t pid : pids) {
            std::optional<int> status = Reap(pid, bound);
            ASSERT_TRUE(status.has_value()) << "zunl " << pid << " is still running";
            EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
        }
    }

    std::string Log(const std::string& kind, pid_t pid) const {
        return logs_.Path(kind + "-" + std::to_string(pid));
    }
    // Every start of the stand-in so far: pid and arguments.
    std::map<pid_t, std::vector<std::string>> Starts() const {
        std::map<pid_t, std::vector<std::string>> starts;
        for (const std::string& name : logs_.Names())
            if (name.rfind("start-", 0) == 0)
                starts[std::stoi(name.substr(6))] = SplitLines(ReadBytes(logs_.Path(name)));
        return starts;
    }
    std::vector<std::vector<std::string>> StartArgs() const {
        std::vector<std::vector<std::string>> all;
        for (const auto& [pid, args] : Starts())
            if (std::find(others_.begin(), others_.end(), pid) == others_.end())
                all.push_back(args);
        std::sort(all.begin(), all.end());
        return all;
    }
    std::vector<std::string> Listed(pid_t editor) const {
        return SplitLines(ReadBytes(Log("files", editor)));
    }
    // The editor answers before it records its list: give the record a moment.
    bool ListsExactly(pid_t editor, std::vector<std::string> expected) const {
        std::sort(expected.begin(), expected.end());
        return WaitFor(
            [&] {
                std::vector<std::string> listed = Listed(editor);
                std::sort(listed.begin(), listed.end());
                return listed == expected;
            },
            5s);
    }
    std::string File(const std::string& name) const { return files_.Path(name); }

    HandOffSandbox sandbox_;
    TempDir program_;
    TempDir logs_;
    TempDir files_;
    std::vector<pid_t> others_;
    std::string lastError_;
    int counter_ = 0;
};

TEST_F(LauncherProcessTest, EachWayALauncherIsUsedEndsWithTheFileInOneEditor) {
    struct Case {
        const char* name;
        std::function<void(LauncherProcessTest&)> run;
    };
    const Case cases[] = {
        {"no parameters: the editor starts with none",
         [](LauncherProcessTest& t) {
             t.ExpectAllEnd({t.Launch({})});
             EXPECT_TRUE(WaitFor([&] { return t.StartArgs().size() == 1; }));
             EXPECT_EQ(t.StartArgs(), (std::vector<std::vector<std::string>>{{}}));
         }},
        {"-open p.zun: the editor starts with exactly those",
         [](LauncherProcessTest& t) {
             t.ExpectAllEnd({t.Launch({"-open", "p.zun"})});
             EXPECT_TRUE(WaitFor([&] { return t.StartArgs().size() == 1; }));
             EXPECT_EQ(t.StartArgs(), (std::vector<std::vector<std::string>>{{"-open", "p.zun"}}));
         }},
        {"eight -new at once, no editor: one starts and lists all eight",
         [](LauncherProcessTest& t) {
             std::vector<std::string> paths;
             std::vector<pid_t> launchers;
             for (int i = 0; i < 8; ++i) {
                 paths.push_back(t.File("race" + std::to_string(i) + ".v"));
                 WriteBytes(paths.back(), "module r; endmodule\n");
             }
             const auto begin = Clock::now();
             for (const std::string& p : paths)
                 launchers.push_back(t.Launch({"-new", p}));
             t.ExpectAllEnd(launchers);
             EXPECT_LT(Clock::now() - begin, 10s);
             auto starts = t.Starts();
             ASSERT_EQ(starts.size(), 1u) << "more than one editor was started";
             const auto& [editor, args] = *starts.begin();
             ASSERT_EQ(args.size(), 2u);
             EXPECT_EQ(args[0], "-new");
             EXPECT_TRUE(t.ListsExactly(editor, paths)) << ReadBytes(t.Log("files", editor));
         }},
        {"-NEW to a waiting editor",
         [](LauncherProcessTest& t) {
             pid_t editor = t.StartEditor({"-new", t.File("a.v")});
             t.ExpectAllEnd({t.Launch({"-NEW", t.File("b.v")})});
             EXPECT_TRUE(t.ListsExactly(editor, {t.File("a.v"), t.File("b.v")}));
             EXPECT_TRUE(t.StartArgs().empty());
         }},
        {"-ini x.ini -new a.v hands a.v",
         [](LauncherProcessTest& t) {
             pid_t editor = t.StartEditor({"-new", t.File("a.v")});
             WriteBytes(t.File("x.ini"), "[QVsetting]\n");
             t.ExpectAllEnd({t.Launch({"-ini", t.File("x.ini"), "-new", t.File("c.v")})});
             EXPECT_TRUE(t.ListsExactly(editor, {t.File("a.v"), t.File("c.v")}));
         }},
        {"a relative path reaches an editor elsewhere whole",
         [](LauncherProcessTest& t) {
             pid_t editor = t.StartEditor({"-new", t.File("a.v")});
             t.ExpectAllEnd({t.Launch({"-new", "rel.v"}, t.files_.Root())});
             EXPECT_TRUE(t.ListsExactly(editor, {t.File("a.v"), t.File("rel.v")}));
         }},
        {"a 3000-byte path goes to a new editor, whole",
         [](LauncherProcessTest& t) {
             pid_t editor = t.StartEditor({"-new", t.File("a.v")});
             std::string deep = t.files_.Root();
             while (deep.size() < 2800) {
                 deep += "/" + std::string(200, 'd');
                 ::mkdir(deep.c_str(), 0755);
             }
             const std::string longFile =
                 deep + "/" + std::string(3000 - deep.size() - 3, 'f') + ".v";
             ASSERT_EQ(longFile.size(), 3000u);
             WriteBytes(longFile, "module l; endmodule\n");
             t.ExpectAllEnd({t.Launch({"-new", longFile})});
             EXPECT_TRUE(WaitFor([&] { return t.StartArgs().size() == 1; }));
             EXPECT_EQ(t.StartArgs(), (std::vector<std::vector<std::string>>{{"-new", longFile}}));
             EXPECT_TRUE(t.ListsExactly(editor, {t.File("a.v")}));
         }},
        {"after Next a request starts a new editor, which then receives",
         [](LauncherProcessTest& t) {
             pid_t first = t.StartEditor({"-new", t.File("a.v")});
             WriteBytes(t.Log("next", first), "");
             ASSERT_TRUE(WaitFor([&] { return fs::exists(t.Log("next-done", first)); }));
             t.ExpectAllEnd({t.Launch({"-new", t.File("b.v")})});
             ASSERT_TRUE(WaitFor([&] { return t.StartArgs().size() == 1; }));
             EXPECT_EQ(t.StartArgs(),
                       (std::vector<std::vector<std::string>>{{"-new", t.File("b.v")}}));
             t.ExpectAllEnd({t.Launch({"-new", t.File("c.v")})});
             EXPECT_TRUE(t.ListsExactly(first, {t.File("a.v")}));
             pid_t second = 0;
             for (const auto& [pid, args] : t.Starts())
                 if (pid != first)
                     second = pid;
             EXPECT_TRUE(t.ListsExactly(second, {t.File("b.v"), t.File("c.v")}));
         }},
        {"a receiver that stopped taking files refuses, and a new editor gets the file",
         [](LauncherProcessTest& t) {
             pid_t first = t.StartEditor({"-new", t.File("a.v")});
             WriteBytes(t.Log("refuse", first), "");
             ASSERT_TRUE(WaitFor([&] { return fs::exists(t.Log("refuse-done", first)); }));
             t.ExpectAllEnd({t.Launch({"-new", t.File("b.v")})});
             EXPECT_TRUE(t.ListsExactly(first, {t.File("a.v")}));
             ASSERT_TRUE(WaitFor([&] { return t.StartArgs().size() == 1; }));
             EXPECT_EQ(t.StartArgs(),
                       (std::vector<std::vector<std::string>>{{"-new", t.File("b.v")}}));
         }},
        {"a receiver that never answers: after the bound the file opens in a new editor",
         [](LauncherProcessTest& t) {
             ::setenv("ZUN_FAKE_EDITOR", "mute", 1);
             t.StartEditor({"-new", t.File("a.v")});
             ::unsetenv("ZUN_FAKE_EDITOR");
             ::setenv("ZUN_HANDOFF_WAIT_MS", "800", 1);
             const auto begin = Clock::now();
             t.ExpectAllEnd({t.Launch({"-new", t.File("b.v")})});
             EXPECT_GE(Clock::now() - begin, 800ms);
             ::setenv("ZUN_HANDOFF_WAIT_MS", "60000", 1);
             ASSERT_TRUE(WaitFor([&] { return t.StartArgs().size() == 1; }));
             EXPECT_EQ(t.StartArgs(),
                       (std::vector<std::vector<std::string>>{{"-new", t.File("b.v")}}));
         }},
        {"the editor missing: told on standard error, exit 0",
         [](LauncherProcessTest& t) {
             TempDir bare;
             Install(bare, false);
             std::vector<std::string> argv{bare.Path("zunl"), "-new", t.File("a.v")};
             t.ExpectAllEnd({t.Spawn(argv)});
             EXPECT_EQ(ReadBytes(t.lastError_), "Error: Can not find " + bare.Path("zun") + ".\n");
             EXPECT_TRUE(t.Starts().empty());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.run(*this);
        Settle();
    }
}

} // namespace

namespace {

// Files listed by the editors that still run.
std::vector<std::string> ListedByLiveEditors(const LauncherProcessTest& t,
                                             const std::vector<pid_t>& extra) {
    std::vector<pid_t> editors = extra;
    for (const auto& [pid, args] : t.Starts())
        if (std::find(editors.begin(), editors.end(), pid) == editors.end())
            editors.push_back(pid);
    std::vector<std::string> all;
    for (pid_t pid : editors) {
        if (fs::exists(t.Log("ended", pid)) || ::kill(pid, 0) != 0)
            continue;
        for (const std::string& f : t.Listed(pid))
            all.push_back(f);
    }
    std::sort(all.begin(), all.end());
    return all;
}

// Whatever was killed while holding a block, the next launcher and the next editor go through
// in seconds; the waits are bounded at a minute here, so waiting one out would show.
TEST_F(LauncherProcessTest, AKilledHolderHoldsUpNeitherTheNextLauncherNorTheNextEditor) {
    struct Case {
        const char* name;
        // Sets up the holder and kills it; returns the editors the test started.
        std::function<std::vector<pid_t>(LauncherProcessTest&, std::vector<pid_t>& waiting)> kill;
        // Files besides the next launcher's and the next editor's that end up listed, once.
        std::vector<const char*> alsoListed;
    };
    const Case cases[] = {
        {"a receiver with launchers waiting on it",
         [](LauncherProcessTest& t, std::vector<pid_t>& waiting) {
             ::setenv("ZUN_FAKE_EDITOR", "mute", 1);
             pid_t receiver = t.StartEditor({"-new", t.File("a.v")});
             ::unsetenv("ZUN_FAKE_EDITOR");
             for (const char* f : {"b.v", "c.v"})
                 waiting.push_back(t.Launch({"-new", t.File(f)}));
             std::this_thread::sleep_for(500ms);
             ::kill(receiver, SIGKILL);
             Reap(receiver, 5s);
             return std::vector<pid_t>{};
         },
         {"b.v", "c.v"}},
        {"a launcher holding the start lock",
         [](LauncherProcessTest& t, std::vector<pid_t>&) {
             ::setenv("ZUN_FAKE_EDITOR", "absent", 1);
             pid_t starter = t.Launch({"-new", t.File("b.v")});
             EXPECT_TRUE(WaitFor([&] { return t.Starts().size() == 1; }));
             ::unsetenv("ZUN_FAKE_EDITOR");
             std::this_thread::sleep_for(200ms); // now in its wait for the editor's window
             ::kill(starter, SIGKILL);
             Reap(starter, 5s);
             for (const std::string& name : t.logs_.Names())
                 if (name.rfind("start-", 0) == 0)
                     ::unlink(t.logs_.Path(name).c_str());
             return std::vector<pid_t>{};
         },
         {}},
        {"a requester holding the request block",
         [](LauncherProcessTest& t, std::vector<pid_t>&) {
             pid_t receiver = t.StartEditor({"-new", t.File("a.v")});
             platform::HandOffPlace place = t.sandbox_.Place();
             ChildHolder requester([place] {
                 static platform::SharedBlock block;
                 return block.Create(place, RequestBlockName, RequestBlockSize) ==
                                platform::BlockState::Created
                            ? 'y'
                            : 'n';
             });
             EXPECT_EQ(requester.Answer(), 'y');
             requester.Kill();
             return std::vector<pid_t>{receiver};
         },
         {"a.v"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<pid_t> waiting;
        std::vector<pid_t> editors = c.kill(*this, waiting);
        const auto begin = Clock::now();
        waiting.push_back(Launch({"-new", File("d.vhd")}));
        ExpectAllEnd(waiting, 20s);
        pid_t next = StartEditor({"-new", File("rel.v")});
        editors.push_back(next);
        EXPECT_LT(Clock::now() - begin, 15s);

        std::vector<std::string> expected{File("d.vhd"), File("rel.v")};
        for (const char* f : c.alsoListed)
            expected.push_back(File(f));
        std::sort(expected.begin(), expected.end());
        EXPECT_TRUE(WaitFor([&] { return ListedByLiveEditors(*this, editors) == expected; }, 5s))
            << testing::PrintToString(ListedByLiveEditors(*this, editors));
        // A killed program leaves the name of its window; the first look at it clears it.
        for (const std::string& name : sandbox_.Sockets())
            platform::MessageWindow::Exists(sandbox_.Place(), static_cast<WindowHandle>(std::stoul(
                                                                  name.substr(1), nullptr, 16)));
        Settle();
    }
}

// CI runs as root, so another user is played by "nobody".
TEST_F(LauncherProcessTest, ABlockAnotherUserMadeUnderOurNameLeavesEachProgramWorkingAlone) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to play another user";
    const std::string object =
        platform::SharedBlock::ObjectName(sandbox_.Place(), InstanceBlockName);
    ASSERT_EQ(RunUnprivileged([&] {
                  int fd = ::shm_open(object.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
                  return fd >= 0 && ::ftruncate(fd, 4) == 0 ? 0 : 1;
              }),
              0);
    ExpectAllEnd({Launch({"-new", File("a.v")})}, 5s);
    ASSERT_TRUE(WaitFor([&] { return StartArgs().size() == 1; }));
    EXPECT_EQ(StartArgs(), (std::vector<std::vector<std::string>>{{"-new", File("a.v")}}));
    pid_t editor = Starts().begin()->first;
    EXPECT_TRUE(ListsExactly(editor, {File("a.v")}));
    EXPECT_TRUE(
        WaitFor([&] { return ReadBytes(Log("log", editor)) == "Memory allocation failed.\n"; }));
    ::shm_unlink(object.c_str());
}

} // namespace
