// The editor's two hand-off roles, receiver and second-instance requester, with real blocks and
// windows in one process and a clock that only moves when the editor waits.
#include "editor/hdl/EditorHandOff.h"

#include "editor/hdl/EngineRunner.h"
#include "support/FakeHandOffClock.h"
#include "support/HandOffSandbox.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using platform::BlockState;
using platform::SharedBlock;

namespace {

// One editor: its hand-off, its wizard, its log.
struct Editor {
    explicit Editor(FakeHandOffClock& clock) : handOff(clock, HandOffTimings{}) {
        handOff.LogError = [this](const std::string& text) { log.push_back(text); };
        wizard.SetHandOff(&handOff);
    }
    bool Start(const std::vector<std::string>& files) {
        wizard.Files.clear();
        for (const std::string& f : files)
            wizard.AddSourceFile(f);
        wizard.Open('N', true);
        return handOff.HandOverNewFile(wizard);
    }
    std::vector<std::string> Listed() const {
        std::vector<std::string> paths;
        for (const SourceFileRow& row : wizard.Files)
            paths.push_back(row.path);
        return paths;
    }
    OpenRequestOutcome Pump() { return handOff.HandlePendingMessages(wizard); }

    EditorHandOff handOff;
    ScriptedPrompt prompt;
    EngineRunner runner{"/nonexistent/", "/nonexistent/"};
    ModuleWizard wizard{prompt, runner};
    std::vector<std::string> log;
};

class EditorHandOffTest : public ::testing::Test {
protected:
    void SetUp() override {
        place_ = sandbox_.Place();
        ASSERT_FALSE(place_.dir.empty());
        for (const char* name : {"a.v", "b.v", "c.vhd"})
            WriteBytes(files_.Path(name), "module m; endmodule\n");
    }
    std::unique_ptr<Editor> NewEditor() {
        auto e = std::make_unique<Editor>(clock_);
        EXPECT_TRUE(e->handOff.CreateWindow());
        return e;
    }
    std::string File(const char* name) const { return files_.Path(name); }

    HandOffSandbox sandbox_;
    platform::HandOffPlace place_;
    TempDir files_;
    FakeHandOffClock clock_;
};

TEST_F(EditorHandOffTest, TheFirstEditorReceivesAndTheSecondHandsItsFileOverAndEnds) {
    auto first = NewEditor();
    ASSERT_TRUE(first->Start({File("a.v")}));
    EXPECT_TRUE(first->handOff.Receiving());
    EXPECT_TRUE(first->wizard.SharedOpen);

    auto second = NewEditor();
    ASSERT_TRUE(second->Start({File("b.v")}));
    EXPECT_FALSE(second->handOff.Receiving());
    EXPECT_TRUE(second->handOff.RequestOutstanding());

    EXPECT_EQ(first->Pump(), OpenRequestOutcome::FileTaken);
    EXPECT_EQ(first->Listed(), (std::vector<std::string>{File("a.v"), File("b.v")}));
    EXPECT_EQ(first->wizard.Layout().filesColumnCaption, "Selected Files (2)");
    EXPECT_EQ(second->Pump(), OpenRequestOutcome::CloseMainWindow);
    EXPECT_TRUE(first->log.empty());
    EXPECT_TRUE(second->log.empty());
    EXPECT_TRUE(clock_.sleeps.empty()) << "nobody had to wait";

    second.reset();
    first->wizard.FormClose();
    EXPECT_TRUE(sandbox_.Objects().empty());
}

TEST_F(EditorHandOffTest, OnlyAnEditorWithExactlyOneFileTakesPart) {
    auto none = NewEditor();
    EXPECT_TRUE(none->Start({}));
    auto two = NewEditor();
    EXPECT_TRUE(two->Start({File("a.v"), File("b.v")}));
    EXPECT_FALSE(two->handOff.Receiving());
    EXPECT_FALSE(two->wizard.SharedOpen);
    EXPECT_TRUE(sandbox_.Objects().empty());
}

TEST_F(EditorHandOffTest, AFileTheListHasOrThatIsMissingIsAnsweredButNotAdded) {
    auto receiver = NewEditor();
    ASSERT_TRUE(receiver->Start({File("a.v")}));
    for (std::string path : {File("a.v"), File("missing.v")}) {
        SCOPED_TRACE(path);
        auto requester = NewEditor();
        requester->wizard.Files = {SourceFileRow{path, 0, false}};
        ASSERT_TRUE(requester->handOff.HandOverNewFile(requester->wizard));
        EXPECT_EQ(receiver->Pump(), OpenRequestOutcome::FileTaken);
        EXPECT_EQ(requester->Pump(), OpenRequestOutcome::CloseMainWindow);
    }
    EXPECT_EQ(receiver->Listed(), (std::vector<std::string>{File("a.v")}));
}

// After "Next" or the close, a request in flight used to be answered as taken and its file put
// in a list nobody would look at again.
TEST_F(EditorHandOffTest, ARequestAfterTheReceiverStoppedIsRefusedAndTheRequesterTakesOver) {
    auto receiver = NewEditor();
    ASSERT_TRUE(receiver->Start({File("a.v")}));
    auto requester = NewEditor();
    ASSERT_TRUE(requester->Start({File("b.v")}));
    receiver->wizard.FormClose(); // the request was already on its way

    EXPECT_EQ(receiver->Pump(), OpenRequestOutcome::Refused);
    EXPECT_EQ(receiver->Listed(), (std::vector<std::string>{File("a.v")}));
    EXPECT_EQ(requester->Pump(), OpenRequestOutcome::Nothing) << "the requester must not end";
    EXPECT_TRUE(requester->handOff.Receiving());

    // The next editor's file goes to the one that took over.
    auto third = NewEditor();
    ASSERT_TRUE(third->Start({File("c.vhd")}));
    EXPECT_EQ(requester->Pump(), OpenRequestOutcome::FileTaken);
    EXPECT_EQ(requester->Listed(), (std::vector<std::string>{File("b.v"), File("c.vhd")}));
    EXPECT_EQ(third->Pump(), OpenRequestOutcome::CloseMainWindow);
}

TEST_F(EditorHandOffTest, ARefusingReceiverStillNamedInTheBlockCountsAsNone) {
    auto receiver = NewEditor();
    ASSERT_TRUE(receiver->Start({File("a.v")}));
    auto requester = NewEditor();
    ASSERT_TRUE(requester->Start({File("b.v")}));
    receiver->wizard.SharedOpen = false; // went on without ending its registration yet
    EXPECT_EQ(receiver->Pump(), OpenRequestOutcome::Refused);
    EXPECT_EQ(requester->Pump(), OpenRequestOutcome::Nothing);
    EXPECT_TRUE(requester->handOff.Receiving());
    EXPECT_EQ(receiver->Pump(), OpenRequestOutcome::Nothing) << "asked again by the same editor";
}

TEST_F(EditorHandOffTest, AnAnswerAfterTheRequesterWentOnIsIgnored) {
    auto receiver = NewEditor();
    ASSERT_TRUE(receiver->Start({File("a.v")}));
    auto requester = NewEditor();
    ASSERT_TRUE(requester->Start({File("b.v")}));
    requester->wizard.FormClose();
    EXPECT_EQ(receiver->Pump(), OpenRequestOutcome::Unreadable);
    EXPECT_EQ(receiver->log, (std::vector<std::string>{"Memory allocation failed.(2)"}));
    EXPECT_EQ(requester->Pump(), OpenRequestOutcome::Nothing);
    // A late answer that does reach it closes nothing either.
    EXPECT_EQ(requester->handOff.OnOpenRequest(RequestTaken, requester->wizard),
              OpenRequestOutcome::Nothing);
}

// The receiver's block names no window (its editor deregistered while a launcher still held
// the block) or a window that is gone.
TEST_F(EditorHandOffTest, ABlockNamingNoLiveWindowIsTakenOverByTheRegisteringEditor) {
    for (bool killWindow : {false, true}) {
        SCOPED_TRACE(killWindow ? "gone window" : "no window");
        SharedBlock holder;
        ASSERT_EQ(holder.Create(place_, InstanceBlockName, 4), BlockState::Created);
        ASSERT_TRUE(holder.Map());
        platform::MessageWindow dead;
        ASSERT_TRUE(dead.Create(place_));
        WindowHandle named = killWindow ? dead.Handle() : 0;
        std::memcpy(holder.Data(), &named, 4);
        dead.Destroy();

        auto editor = NewEditor();
        ASSERT_TRUE(editor->Start({File("a.v")}));
        EXPECT_TRUE(editor->handOff.Receiving());
        WindowHandle now = 0;
        std::memcpy(&now, holder.Data(), 4);
        EXPECT_EQ(now, editor->handOff.Window().Handle());
        EXPECT_TRUE(clock_.sleeps.empty());
        editor.reset();
        std::memcpy(&now, holder.Data(), 4);
        EXPECT_EQ(now, 0u) << "the receiver's window stayed after it ended";
    }
}

// Editors in processes of their own, let go at the same instant, each registering with one
// file. Each answers 'r' when it became the receiver, 'p' when it posted its request, 'n'
// otherwise, and stays (its window alive) until it is told to go.
class RacingEditors {
public:
    RacingEditors(int count, const std::string& file) {
        int go[2];
        if (::pipe(go) != 0)
            return;
        for (int i = 0; i < count; ++i) {
            int up[2];
            int down[2];
            if (::pipe(up) != 0 || ::pipe(down) != 0)
                break;
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::close(go[1]);
                ::close(up[0]);
                ::close(down[1]);
                // The ends kept for the children made before would hold their pipes open.
                for (const Child& c : children_) {
                    ::close(c.answer);
                    ::close(c.order);
                }
                char byte = 0;
                (void)!::read(go[0], &byte, 1);
                FakeHandOffClock clock;
                Editor editor(clock);
                char answer = 'n';
                if (editor.handOff.CreateWindow() && editor.Start({file}))
                    answer = editor.handOff.Receiving()            ? 'r'
                             : editor.handOff.RequestOutstanding() ? 'p'
                                                                   : 'n';
                (void)!::write(up[1], &answer, 1);
                (void)!::read(down[0], &byte, 1);
                ::_exit(0);
            }
            ::close(up[1]);
            ::close(down[0]);
            children_.push_back({pid, up[0], down[1]});
        }
        ::close(go[0]);
        const std::string bytes(children_.size(), 'g');
        (void)!::write(go[1], bytes.data(), bytes.size());
        ::close(go[1]);
    }
    ~RacingEditors() {
        for (const Child& c : children_) {
            ::close(c.order);
            ::close(c.answer);
            int status = 0;
            ::waitpid(c.pid, &status, 0);
        }
    }
    // The answers, sorted.
    std::string Answers() const {
        std::string answers;
        for (const Child& c : children_) {
            char a = '?';
            if (::read(c.answer, &a, 1) != 1)
                a = '?';
            answers.push_back(a);
        }
        std::sort(answers.begin(), answers.end());
        return answers;
    }

private:
    struct Child {
        pid_t pid;
        int answer;
        int order;
    };
    std::vector<Child> children_;
};

// Two editors registering at once used to both see no receiver (the block new, or naming a
// window that is gone) and both write themselves in; launchers then fed one of them only.
TEST_F(EditorHandOffTest, EditorsRegisteringAtOnceMakeExactlyOneReceiver) {
    for (bool overGoneWindow : {false, true}) {
        SCOPED_TRACE(overGoneWindow ? "over a block naming a gone window" : "no block yet");
        for (int round = 0; round < 20; ++round) {
            SCOPED_TRACE(round);
            SharedBlock holder;
            if (overGoneWindow) {
                ASSERT_EQ(holder.Create(place_, InstanceBlockName, 4), BlockState::Created);
                ASSERT_TRUE(holder.Map());
                platform::MessageWindow dead;
                ASSERT_TRUE(dead.Create(place_));
                WindowHandle named = dead.Handle();
                std::memcpy(holder.Data(), &named, 4);
                dead.Destroy();
            }
            const std::string answers = RacingEditors(8, File("a.v")).Answers();
            ASSERT_EQ(std::count(answers.begin(), answers.end(), 'r'), 1) << answers;
            EXPECT_EQ(answers.find('?'), std::string::npos) << answers;
        }
    }
}

// The retry of a registering editor after its receiver went: the look at the block and the
// write of its own window used to happen outside the place's lock, so another editor could
// claim the block in between. Here the test holds the lock while the receiver is gone: the
// editor must not write itself in until the lock is free.
TEST_F(EditorHandOffTest, AnEditorClaimsAReceiverlessBlockOnlyUnderThePlaceLock) {
    SharedBlock instance;
    ASSERT_EQ(instance.Create(place_, InstanceBlockName, 4), BlockState::Created);
    ASSERT_TRUE(instance.Map());
    auto receiverWindow = std::make_unique<platform::MessageWindow>();
    ASSERT_TRUE(receiverWindow->Create(place_));
    const WindowHandle gone = receiverWindow->Handle();
    std::memcpy(instance.Data(), &gone, 4);
    SharedBlock pending; // keeps the editor retrying
    ASSERT_EQ(pending.Create(place_, RequestBlockName, RequestBlockSize), BlockState::Created);

    int up[2];
    int down[2];
    ASSERT_EQ(::pipe(up), 0);
    ASSERT_EQ(::pipe(down), 0);
    const std::string file = File("a.v");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(up[0]);
        ::close(down[1]);
        FakeHandOffClock clock;
        char byte = 0;
        clock.onSleep = [&] {
            byte = 's';
            (void)!::write(up[1], &byte, 1);
            (void)!::read(down[0], &byte, 1);
        };
        Editor editor(clock);
        byte = editor.handOff.CreateWindow() && editor.Start({file}) && editor.handOff.Receiving()
                   ? 'r'
                   : 'n';
        (void)!::write(up[1], &byte, 1);
        (void)!::read(down[0], &byte, 1);
        ::_exit(0);
    }
    ::close(up[1]);
    ::close(down[0]);
    char byte = 0;
    ASSERT_EQ(::read(up[0], &byte, 1), 1);
    ASSERT_EQ(byte, 's') << "the editor did not wait for the pending request";

    WindowHandle named = 0;
    {
        platform::PlaceLock lock(place_);
        ASSERT_TRUE(lock) << lock.Message();
        receiverWindow.reset();
        byte = 'g';
        ASSERT_EQ(::write(down[1], &byte, 1), 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        std::memcpy(&named, instance.Data(), 4);
    }
    EXPECT_EQ(named, gone) << "the editor wrote itself in while another process held the lock";
    ASSERT_EQ(::read(up[0], &byte, 1), 1);
    EXPECT_EQ(byte, 'r');
    std::memcpy(&named, instance.Data(), 4);
    EXPECT_NE(named, gone);
    EXPECT_TRUE(platform::MessageWindow::Exists(place_, named));
    ::close(down[1]);
    ::close(up[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
}

// A second editor kept its request block for as long as its wizard stayed on its first page,
// whether or not its receiver was still there to answer; every later launcher then waited out
// its bound and opened its file in an editor of its own.
TEST_F(EditorHandOffTest, ARequesterWhoseReceiverWentOrNeverAnswersTakesItsPlace) {
    struct Case {
        const char* name;
        void (*silence)(Editor& receiver, FakeHandOffClock& clock);
    };
    const Case cases[] = {
        {"the receiver went", [](Editor& r, FakeHandOffClock&) { r.handOff.Window().Destroy(); }},
        {"the receiver is there but never answers",
         [](Editor&, FakeHandOffClock& clock) { clock.now += 30s; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto receiver = NewEditor();
        ASSERT_TRUE(receiver->Start({File("a.v")}));
        auto requester = NewEditor();
        ASSERT_TRUE(requester->Start({File("b.v")}));
        ASSERT_TRUE(requester->handOff.RequestOutstanding());
        clock_.now += 29s;
        EXPECT_EQ(requester->handOff.CheckAnswer(requester->wizard), OpenRequestOutcome::Nothing);
        EXPECT_TRUE(requester->handOff.RequestOutstanding()) << "gave up on a live receiver";

        c.silence(*receiver, clock_);
        EXPECT_EQ(requester->handOff.CheckAnswer(requester->wizard), OpenRequestOutcome::Nothing);
        EXPECT_FALSE(requester->handOff.RequestOutstanding());
        EXPECT_TRUE(requester->handOff.Receiving());

        // The next editor's request goes through at once, to the one that took over.
        clock_.sleeps.clear();
        auto third = NewEditor();
        ASSERT_TRUE(third->Start({File("c.vhd")}));
        EXPECT_TRUE(clock_.sleeps.empty()) << "the dropped request still held the block";
        EXPECT_EQ(requester->Pump(), OpenRequestOutcome::FileTaken);
        EXPECT_EQ(requester->Listed(), (std::vector<std::string>{File("b.v"), File("c.vhd")}));
        EXPECT_EQ(third->Pump(), OpenRequestOutcome::CloseMainWindow);
    }
}

// The editor used to retry every 2 s without end on its only thread while a request stayed
// pending.
TEST_F(EditorHandOffTest, ARequestThatStaysPendingEndsTheTriesAndTheEditorWorksAlone) {
    auto receiver = NewEditor();
    ASSERT_TRUE(receiver->Start({File("a.v")}));
    SharedBlock stuck; // a requester whose answer never comes
    ASSERT_EQ(stuck.Create(place_, RequestBlockName, RequestBlockSize), BlockState::Created);

    auto second = NewEditor();
    EXPECT_FALSE(second->Start({File("b.v")}));
    EXPECT_EQ(clock_.sleeps, (std::vector<std::chrono::milliseconds>(4, 2000ms)));
    EXPECT_FALSE(second->handOff.RequestOutstanding());
    EXPECT_FALSE(second->handOff.Receiving());
    EXPECT_EQ(receiver->Pump(), OpenRequestOutcome::Nothing);

    // The same editor gets through once the stuck request has gone.
    clock_.sleeps.clear();
    clock_.onSleep = [&] { stuck.Close(); };
    auto third = NewEditor();
    EXPECT_TRUE(third->Start({File("c.vhd")}));
    EXPECT_EQ(clock_.sleeps.size(), 1u);
    EXPECT_EQ(receiver->Pump(), OpenRequestOutcome::FileTaken);
}

TEST_F(EditorHandOffTest, APathTooLongForARequestStaysWithItsEditor) {
    auto receiver = NewEditor();
    ASSERT_TRUE(receiver->Start({File("a.v")}));
    std::string deep = files_.Root();
    while (deep.size() < 2100) {
        deep += "/" + std::string(200, 'd');
        ASSERT_EQ(::mkdir(deep.c_str(), 0755), 0);
    }
    const std::string longFile = deep + "/long.v";
    WriteBytes(longFile, "module long; endmodule\n");

    auto second = NewEditor();
    EXPECT_TRUE(second->Start({longFile}));
    EXPECT_EQ(second->Listed(), (std::vector<std::string>{longFile}));
    EXPECT_FALSE(second->handOff.RequestOutstanding());
    EXPECT_TRUE(second->log.empty());
    EXPECT_EQ(receiver->Pump(), OpenRequestOutcome::Nothing);
    EXPECT_EQ(receiver->Listed().size(), 1u);
}

TEST_F(EditorHandOffTest, AnUnreadableRequestIsLoggedAndRefused) {
    auto receiver = NewEditor();
    ASSERT_TRUE(receiver->Start({File("a.v")}));
    platform::MessageWindow requesterWindow;
    ASSERT_TRUE(requesterWindow.Create(place_));
    SharedBlock request;
    ASSERT_EQ(request.Create(place_, RequestBlockName, RequestBlockSize), BlockState::Created);
    ASSERT_TRUE(request.Map());
    std::memset(request.Data(), 'p', RequestPathField); // no terminating zero
    WindowHandle h = requesterWindow.Handle();
    std::memcpy(request.Data() + RequestPathField, &h, 4);
    ASSERT_EQ(requesterWindow.Post(receiver->handOff.Window().Handle(),
                                   {OpenRequestMsg, 0, RequestWaiting}),
              platform::PostResult::Posted);

    EXPECT_EQ(receiver->Pump(), OpenRequestOutcome::Unreadable);
    EXPECT_EQ(receiver->log, (std::vector<std::string>{"Memory allocation failed.(2)"}));
    EXPECT_EQ(receiver->Listed().size(), 1u);
    EXPECT_EQ(requesterWindow.Receive(), (platform::WindowMessage{OpenRequestMsg, 0, 3}));
}

TEST_F(EditorHandOffTest, OtherMessagesAndValuesDoNothing) {
    auto receiver = NewEditor();
    ASSERT_TRUE(receiver->Start({File("a.v")}));
    platform::MessageWindow other;
    ASSERT_TRUE(other.Create(place_));
    const WindowHandle to = receiver->handOff.Window().Handle();
    other.Post(to, {OpenRequestMsg, 0, 9});
    other.Post(to, {0x464, 0, RequestWaiting});
    other.Post(to, {OpenRequestMsg, 0, LauncherStart});
    EXPECT_EQ(receiver->Pump(), OpenRequestOutcome::Nothing);
    EXPECT_TRUE(receiver->log.empty());
}

TEST_F(EditorHandOffTest, WithoutAWindowTheRegistrationFailsAndNothingIsMade) {
    Editor alone(clock_);
    EXPECT_FALSE(alone.Start({File("a.v")}));
    EXPECT_TRUE(sandbox_.Objects().empty());
}

TEST_F(EditorHandOffTest, AStartedEngineHoldsNoHandOffDescriptor) {
    auto receiver = NewEditor();
    ASSERT_TRUE(receiver->Start({File("a.v")}));
    auto requester = NewEditor();
    ASSERT_TRUE(requester->Start({File("b.v")}));
    TempDir work;
    EngineRunner runner(ZUN_FAKE_ENGINE_DIR, work.Dir());
    ::setenv("ZUN_FAKE_ENGINE", "fds", 1);
    EngineOutcome outcome = runner.RunJob(EngineJob::ModuleScan, runner.ModuleScanArguments({}));
    ::unsetenv("ZUN_FAKE_ENGINE");
    ASSERT_TRUE(outcome.Succeeded()) << outcome.message;
    EXPECT_EQ(outcome.output.find("/dev/shm/"), std::string::npos) << outcome.output;
    EXPECT_EQ(outcome.output.find("socket:"), std::string::npos) << outcome.output;
    EXPECT_EQ(outcome.output.find(sandbox_.Runtime().Root()), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find("0 "), std::string::npos) << "no descriptors listed at all";
}

} // namespace
