// The launcher's decisions in one process: what it starts, what it hands over, and how each of
// its waits ends, with a clock that only moves when the launcher waits and a receiver played by
// the test.
#include "launcher/Launcher.h"

#include "support/FakeHandOffClock.h"
#include "support/HandOffSandbox.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <sys/mman.h>

using namespace std::chrono_literals;
using platform::BlockState;
using platform::MessageWindow;
using platform::SharedBlock;
using platform::WindowMessage;

namespace {

// A waiting editor as the launcher sees it: its instance block and window, and what it does
// with a request.
class TestReceiver {
public:
    enum class Answer { Take, Refuse, Never, Vanish };

    TestReceiver(const platform::HandOffPlace& place, Answer answer)
        : answer_(answer), blocks_(window_, clock_, HandOffTimings{}) {
        blocks_.SetPlace(place);
        window_.Create(place);
    }
    // Takes the place of any receiver there is, as an editor does once that one refused it.
    void Register() {
        WindowHandle other = 0;
        if (blocks_.ClaimInstance(InstanceBlockName, 0, other) == 0)
            blocks_.ClaimInstance(InstanceBlockName, other, other);
    }
    // Reads and answers what has arrived.
    void Serve() {
        while (std::optional<WindowMessage> m = window_.Receive()) {
            if (m->lParam != RequestWaiting ||
                blocks_.PostOpenRequest(true, RequestBlockName, OpenRequest{}) != HandOffDone)
                continue;
            OpenRequest request = OpenRequest::FromBlock(blocks_.Request().Data());
            if (std::optional<std::string> path = request.Path())
                taken.push_back(*path);
            blocks_.CloseSharedBlocks('s');
            if (answer_ == Answer::Take)
                window_.Post(request.Window(), {OpenRequestMsg, 0, RequestTaken});
            else if (answer_ == Answer::Refuse)
                window_.Post(request.Window(), {OpenRequestMsg, 0, RequestRefused});
            else if (answer_ == Answer::Vanish)
                window_.Destroy();
        }
    }
    void Leave() { blocks_.CloseSharedBlocks('a'); }

    std::vector<std::string> taken;

private:
    Answer answer_;
    FakeHandOffClock clock_;
    MessageWindow window_;
    HandOffBlocks blocks_;
};

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        place_ = sandbox_.Place();
        ASSERT_FALSE(place_.dir.empty());
        WriteBytes(program_.Path("zun"), "");
        clock_.onSleep = [this] {
            for (auto& r : receivers_)
                r->Serve();
        };
    }
    void TearDown() override {
        for (auto& r : receivers_)
            r->Leave();
        receivers_.clear();
        EXPECT_TRUE(sandbox_.Objects().empty()) << "a block outlived the launcher";
    }
    TestReceiver& AddReceiver(TestReceiver::Answer answer) {
        receivers_.push_back(std::make_unique<TestReceiver>(place_, answer));
        receivers_.back()->Register();
        return *receivers_.back();
    }
    // Runs a launcher to its end. Each start of the editor is recorded; a started editor offers
    // its window when startRegisters is set, as the real one does for "-new" and one file.
    void Run(std::vector<std::string> commandLine) {
        Launcher launcher(std::move(commandLine), program_.Dir(), clock_, timings_);
        launcher.ShowError = [this](const std::string& text, const std::string& caption) {
            errors.push_back(caption + ": " + text);
        };
        launcher.StartProgram = [this](const std::vector<std::string>& argv) {
            starts.push_back(argv);
            if (!startFails && startRegisters)
                AddReceiver(TestReceiver::Answer::Take);
            return startFails ? IoStatus::Fail("cannot start") : IoStatus::Ok();
        };
        EXPECT_EQ(launcher.LauncherMain(), 0);
        EXPECT_TRUE(launcher.Ended());
    }
    std::vector<std::string> Editor(std::vector<std::string> args) const {
        args.insert(args.begin(), program_.Dir() + "zun");
        return args;
    }
    std::chrono::milliseconds SleptOf(std::chrono::milliseconds each) const {
        std::chrono::milliseconds total{0};
        for (auto d : clock_.sleeps)
            if (d == each)
                total += d;
        return total;
    }
    std::string Cwd() const {
        char buf[4096];
        return std::string(::getcwd(buf, sizeof buf)) + "/";
    }

    HandOffSandbox sandbox_;
    platform::HandOffPlace place_;
    TempDir program_;
    FakeHandOffClock clock_;
    HandOffTimings timings_;
    std::vector<std::unique_ptr<TestReceiver>> receivers_;
    std::vector<std::vector<std::string>> starts;
    std::vector<std::string> errors;
    bool startRegisters = true;
    bool startFails = false;
};

TEST_F(LauncherTest, ACommandLineWithoutAFileToHandStartsTheEditorWithItUnchanged) {
    const std::vector<std::vector<std::string>> lines = {
        {}, {"-open", "p.zun"}, {"p.zun"}, {"-new"}, {"-new", "a.v", "b.v"}, {"", "a b", "$HOME"}};
    for (const auto& line : lines) {
        starts.clear();
        AddReceiver(TestReceiver::Answer::Take); // never asked
        Run(line);
        EXPECT_EQ(starts, (std::vector<std::vector<std::string>>{Editor(line)}));
        EXPECT_TRUE(receivers_.back()->taken.empty());
        receivers_.back()->Leave();
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(LauncherTest, TheFileAfterNewGoesToTheWaitingEditorAsAnAbsolutePath) {
    struct Case {
        std::vector<std::string> line;
        std::string handed;
    };
    const Case cases[] = {
        {{"-new", "/src/a.v"}, "/src/a.v"},
        {{"-NEW", "/src/a.v"}, "/src/a.v"},
        {{"-ini", "x.ini", "-new", "/src/a.v"}, "/src/a.v"},
        {{"-new", "x.v", "-New", "rel/b.v"}, Cwd() + "rel/b.v"},
        {{"-new", "rel.v"}, Cwd() + "rel.v"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.back());
        TestReceiver& receiver = AddReceiver(TestReceiver::Answer::Take);
        Run(c.line);
        EXPECT_EQ(receiver.taken, (std::vector<std::string>{c.handed}));
        EXPECT_TRUE(starts.empty());
        receiver.Leave();
        receivers_.clear();
    }
}

TEST_F(LauncherTest, WithoutAWaitingEditorTheFirstLauncherStartsOneAndWaitsForItsWindow) {
    Run({"-new", "/src/a.v"});
    EXPECT_EQ(starts, (std::vector<std::vector<std::string>>{Editor({"-new", "/src/a.v"})}));
    ASSERT_EQ(receivers_.size(), 1u);
    EXPECT_TRUE(receivers_[0]->taken.empty()) << "the started editor has the file already";
    EXPECT_EQ(SleptOf(100ms), 100ms);
}

TEST_F(LauncherTest, AnEditorThatNeverOffersItsWindowIsWaitedForAHundredSeconds) {
    startRegisters = false;
    Run({"-new", "/src/a.v"});
    EXPECT_EQ(starts.size(), 1u);
    EXPECT_EQ(SleptOf(100ms), 100s);
}

// A start that failed used to be followed by the whole poll all the same.
TEST_F(LauncherTest, AFailedStartEndsThePollAtOnce) {
    startFails = true;
    Run({"-new", "/src/a.v"});
    EXPECT_EQ(starts.size(), 1u);
    EXPECT_EQ(SleptOf(100ms), 0ms);
}

TEST_F(LauncherTest, AMissingEditorIsReportedOnceAndNothingElseHappens) {
    ::unlink(program_.Path("zun").c_str());
    for (const std::vector<std::string>& line :
         {std::vector<std::string>{}, std::vector<std::string>{"-new", "/src/a.v"}}) {
        errors.clear();
        Run(line);
        EXPECT_EQ(errors,
                  (std::vector<std::string>{"Error: Can not find " + program_.Dir() + "zun."}));
    }
    EXPECT_TRUE(starts.empty());
    EXPECT_TRUE(sandbox_.Sockets().empty());
}

TEST_F(LauncherTest, AnotherLauncherStartingAnEditorIsWaitedForInShortSteps) {
    SharedBlock lock; // held by the launcher that is starting an editor
    ASSERT_EQ(lock.Create(place_, StartLockName, 1), BlockState::Created);
    int steps = 0;
    clock_.onSleep = [&] {
        if (++steps == 5) {
            AddReceiver(TestReceiver::Answer::Take); // that editor offers its window
            lock.Close();
        }
        for (auto& r : receivers_)
            r->Serve();
    };
    Run({"-new", "/src/b.v"});
    EXPECT_TRUE(starts.empty());
    ASSERT_EQ(receivers_.size(), 1u);
    EXPECT_EQ(receivers_[0]->taken, (std::vector<std::string>{"/src/b.v"}));
    EXPECT_EQ(clock_.sleeps.front(), 10ms);
}

// Each of these waits used to have no end.
TEST_F(LauncherTest, EveryWaitEndsAndTheFileStillOpensInAnEditorOfItsOwn) {
    struct Case {
        const char* name;
        std::optional<TestReceiver::Answer> receiver; // none: no editor is waiting
        std::string_view stuckBlock;                  // held by another for ever, or empty
        std::size_t stuckSize;
    };
    const Case cases[] = {
        {"another request stays pending", TestReceiver::Answer::Take, RequestBlockName,
         RequestBlockSize},
        {"the receiver never answers", TestReceiver::Answer::Never, {}, 0},
        {"another launcher never ends its start", std::nullopt, StartLockName, StartLockSize},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        starts.clear();
        clock_.sleeps.clear();
        const auto before = clock_.now;
        if (c.receiver)
            AddReceiver(*c.receiver);
        SharedBlock stuck;
        if (!c.stuckBlock.empty()) {
            ASSERT_EQ(stuck.Create(place_, c.stuckBlock, c.stuckSize), BlockState::Created);
        }
        startRegisters = false;
        Run({"-new", "/src/a.v"});
        EXPECT_EQ(starts, (std::vector<std::vector<std::string>>{Editor({"-new", "/src/a.v"})}));
        EXPECT_GE(clock_.now - before, 30s);
        EXPECT_LT(clock_.now - before, 31s);
        EXPECT_EQ(stuck.Held(), !c.stuckBlock.empty());
        stuck.Close();
        for (auto& r : receivers_)
            r->Leave();
        receivers_.clear();
    }
}

TEST_F(LauncherTest, ARefusingOrVanishingReceiverSendsTheLauncherToStartAnEditor) {
    for (auto answer : {TestReceiver::Answer::Refuse, TestReceiver::Answer::Vanish}) {
        starts.clear();
        TestReceiver& receiver = AddReceiver(answer);
        Run({"-new", "/src/a.v"});
        EXPECT_EQ(receiver.taken, (std::vector<std::string>{"/src/a.v"}));
        EXPECT_EQ(starts, (std::vector<std::vector<std::string>>{Editor({"-new", "/src/a.v"})}));
        EXPECT_LT(clock_.Slept(), 5s);
        for (auto& r : receivers_)
            r->Leave();
        receivers_.clear();
    }
}

TEST_F(LauncherTest, APathThatDoesNotFitARequestIsNeverCutButGivenToANewEditor) {
    TestReceiver& receiver = AddReceiver(TestReceiver::Answer::Take);
    const std::string path = "/" + std::string(2999, 'p');
    Run({"-new", path});
    EXPECT_TRUE(receiver.taken.empty());
    EXPECT_EQ(starts, (std::vector<std::vector<std::string>>{Editor({"-new", path})}));
}

// Failures of the blocks used to end the launcher silently, and its file never opened.
TEST_F(LauncherTest, UnusableBlocksOrNoPlaceStillOpenTheFile) {
    struct Case {
        const char* name;
        std::function<void()> spoil;
    };
    int fd = -1;
    const Case cases[] = {
        {"an instance block open to others",
         [&] {
             fd = ::shm_open(SharedBlock::ObjectName(place_, InstanceBlockName).c_str(),
                             O_RDWR | O_CREAT | O_EXCL, 0666);
             ::fchmod(fd, 0666);
         }},
        {"no usable namespace", [] { ::setenv("ZUN_HANDOFF_NS", "no/such", 1); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        starts.clear();
        c.spoil();
        Run({"-new", "/src/a.v"});
        EXPECT_EQ(starts, (std::vector<std::vector<std::string>>{Editor({"-new", "/src/a.v"})}));
    }
    ::close(fd);
    ::shm_unlink(SharedBlock::ObjectName(place_, InstanceBlockName).c_str());
    ::setenv("ZUN_HANDOFF_NS", sandbox_.Namespace().c_str(), 1);
}

} // namespace
