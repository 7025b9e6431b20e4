// The request record and the post and close routines that the editor and the launcher share.
#include "editor/hdl/handoff/HandOffProtocol.h"

#include "support/FakeHandOffClock.h"
#include "support/HandOffSandbox.h"

#include <gtest/gtest.h>

#include <cstring>
#include <unistd.h>

using namespace std::chrono_literals;
using platform::BlockState;
using platform::MessageWindow;
using platform::SharedBlock;
using platform::WindowMessage;

namespace {

TEST(OpenRequest, APathIsKeptWholeOrNotAtAll) {
    struct Case {
        const char* name;
        std::string path;
        bool fits;
    };
    const Case cases[] = {
        {"short", "/src/a.v", true},
        {"empty", "", true},
        {"2047 bytes, the most the field holds", "/" + std::string(2046, 'p'), true},
        {"2048 bytes: its zero would not fit", "/" + std::string(2047, 'p'), false},
        {"a Linux path of 3000 bytes", "/" + std::string(2999, 'p'), false},
        {"a zero inside", std::string("/a\0b.v", 6), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<OpenRequest> request = OpenRequest::For(c.path, 0xA1B2C3D4);
        ASSERT_EQ(request.has_value(), c.fits);
        if (!c.fits)
            continue;
        unsigned char block[RequestBlockSize];
        std::memset(block, 0xEE, sizeof block);
        request->WriteTo(block);
        EXPECT_EQ(block[c.path.size()], 0);
        const OpenRequest back = OpenRequest::FromBlock(block);
        EXPECT_EQ(back.Path(), c.path);
        EXPECT_EQ(back.Window(), 0xA1B2C3D4u);
        WindowHandle stored = 0;
        std::memcpy(&stored, block + 2048, 4);
        EXPECT_EQ(stored, 0xA1B2C3D4u);
    }
}

TEST(OpenRequest, AFieldWithoutItsZeroHoldsNoPath) {
    unsigned char block[RequestBlockSize];
    std::memset(block, 'p', sizeof block);
    EXPECT_FALSE(OpenRequest::FromBlock(block).Path().has_value());
}

TEST(OpenRequest, ARelativePathIsMadeAbsoluteHere) {
    TempDir dir;
    char* old = ::getcwd(nullptr, 0);
    ASSERT_EQ(::chdir(dir.Root().c_str()), 0);
    std::optional<std::string> relative = AbsoluteHandOffPath("sub/a.v");
    std::optional<std::string> absolute = AbsoluteHandOffPath("/x/b.v");
    ASSERT_EQ(::chdir(old), 0);
    std::free(old);
    char resolved[4096];
    ASSERT_NE(::realpath(dir.Root().c_str(), resolved), nullptr);
    EXPECT_EQ(relative, std::string(resolved) + "/sub/a.v");
    EXPECT_EQ(absolute, "/x/b.v");
}

class PostOpenRequestTest : public ::testing::Test {
protected:
    void SetUp() override {
        place_ = sandbox_.Place();
        ASSERT_FALSE(place_.dir.empty());
        ASSERT_TRUE(requesterWindow_.Create(place_));
        ASSERT_TRUE(receiverWindow_.Create(place_));
        requester_.SetPlace(place_);
        receiver_.SetPlace(place_);
    }
    // The receiver's instance block, naming the given window.
    void Register(WindowHandle window) {
        ASSERT_EQ(receiver_.Instance().Create(place_, InstanceBlockName, InstanceBlockSize),
                  BlockState::Created);
        ASSERT_TRUE(receiver_.Instance().Map());
        std::memcpy(receiver_.Instance().Data(), &window, 4);
        ASSERT_EQ(requester_.Instance().Open(place_, InstanceBlockName, InstanceBlockSize),
                  BlockState::Existed);
        ASSERT_TRUE(requester_.Instance().Map());
    }
    OpenRequest Request(const std::string& path) const {
        return *OpenRequest::For(path, requesterWindow_.Handle());
    }

    HandOffSandbox sandbox_;
    platform::HandOffPlace place_;
    FakeHandOffClock clock_;
    MessageWindow requesterWindow_;
    MessageWindow receiverWindow_;
    HandOffBlocks requester_{requesterWindow_, clock_, HandOffTimings{}};
    HandOffBlocks receiver_{receiverWindow_, clock_, HandOffTimings{}};
};

TEST_F(PostOpenRequestTest, ARequestIsFilledPostedAndReadByTheReceiver) {
    Register(receiverWindow_.Handle());
    EXPECT_EQ(requester_.LiveReceiver(), receiverWindow_.Handle());
    ASSERT_EQ(requester_.PostOpenRequest(false, RequestBlockName, Request("/src/a.v")),
              HandOffDone);
    EXPECT_EQ(receiverWindow_.Receive(), (WindowMessage{OpenRequestMsg, 0, RequestWaiting}));

    ASSERT_EQ(receiver_.PostOpenRequest(true, RequestBlockName, OpenRequest{}), HandOffDone);
    const OpenRequest taken = OpenRequest::FromBlock(receiver_.Request().Data());
    EXPECT_EQ(taken.Path(), "/src/a.v");
    EXPECT_EQ(taken.Window(), requesterWindow_.Handle());
    receiver_.CloseSharedBlocks('s');
    requester_.CloseSharedBlocks('a');
    receiver_.CloseSharedBlocks('a');
    EXPECT_TRUE(sandbox_.Objects().empty());
}

TEST_F(PostOpenRequestTest, APendingRequestIsLeftAloneAndTheNextOneWaits) {
    Register(receiverWindow_.Handle());
    MessageWindow otherWindow;
    ASSERT_TRUE(otherWindow.Create(place_));
    HandOffBlocks other(otherWindow, clock_, HandOffTimings{});
    other.SetPlace(place_);
    ASSERT_EQ(other.Instance().Open(place_, InstanceBlockName, InstanceBlockSize),
              BlockState::Existed);
    ASSERT_TRUE(other.Instance().Map());
    ASSERT_EQ(other.PostOpenRequest(false, RequestBlockName,
                                    *OpenRequest::For("/first.v", otherWindow.Handle())),
              HandOffDone);

    EXPECT_EQ(requester_.PostOpenRequest(false, RequestBlockName, Request("/second.v")),
              RequestPending);
    EXPECT_FALSE(requester_.Request().Held());
    ASSERT_EQ(receiver_.PostOpenRequest(true, RequestBlockName, OpenRequest{}), HandOffDone);
    EXPECT_EQ(OpenRequest::FromBlock(receiver_.Request().Data()).Path(), "/first.v");
    receiver_.CloseSharedBlocks('s');

    // The first requester ends: the next one gets through.
    other.CloseSharedBlocks('a');
    EXPECT_EQ(requester_.PostOpenRequest(false, RequestBlockName, Request("/second.v")),
              HandOffDone);
}

// A receiver that died or deregistered must not swallow requests.
TEST_F(PostOpenRequestTest, APostThatFindsNoWindowClosesTheRequest) {
    struct Case {
        const char* name;
        bool destroy; // else: the instance block names no window at all
    };
    for (const Case c : {Case{"receiver window gone", true}, Case{"no window named", false}}) {
        SCOPED_TRACE(c.name);
        MessageWindow doomed;
        ASSERT_TRUE(doomed.Create(place_));
        Register(c.destroy ? doomed.Handle() : 0);
        doomed.Destroy();
        EXPECT_EQ(requester_.LiveReceiver(), 0u);
        EXPECT_EQ(requester_.PostOpenRequest(false, RequestBlockName, Request("/a.v")),
                  ReceiverGone);
        EXPECT_FALSE(requester_.Request().Held());
        requester_.CloseSharedBlocks('a');
        receiver_.CloseSharedBlocks('a');
        EXPECT_TRUE(sandbox_.Objects().empty());
    }
}

TEST_F(PostOpenRequestTest, TheReceiverFindsNoRequestWhenItsRequesterHasGone) {
    EXPECT_EQ(receiver_.PostOpenRequest(true, RequestBlockName, OpenRequest{}), RequestNotCreated);
    EXPECT_FALSE(receiver_.Request().Held());
    EXPECT_TRUE(sandbox_.Objects().empty()) << "the receiver made a request block of its own";
}

TEST_F(PostOpenRequestTest, ClosingTheInstanceBlockClearsOnlyTheCloserOwnWindow) {
    Register(receiverWindow_.Handle());
    requester_.CloseSharedBlocks('m'); // a requester's close leaves the receiver in place
    ASSERT_EQ(requester_.Instance().Open(place_, InstanceBlockName, InstanceBlockSize),
              BlockState::Existed);
    ASSERT_TRUE(requester_.Instance().Map());
    EXPECT_EQ(requester_.LiveReceiver(), receiverWindow_.Handle());

    receiver_.CloseSharedBlocks('m'); // the receiver deregisters
    EXPECT_EQ(requester_.LiveReceiver(), 0u);
    WindowHandle left = 1;
    std::memcpy(&left, requester_.Instance().Data(), 4);
    EXPECT_EQ(left, 0u);
}

TEST_F(PostOpenRequestTest, EachLetterClosesItsOwnBlocks) {
    struct Case {
        char which;
        bool instance, request, lock; // still held afterwards
    };
    const Case cases[] = {{'s', true, false, true},
                          {'m', false, true, true},
                          {'l', true, true, false},
                          {'a', false, false, false},
                          {'x', true, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.which);
        HandOffBlocks b(requesterWindow_, clock_, HandOffTimings{});
        b.SetPlace(place_);
        ASSERT_EQ(b.Instance().Create(place_, InstanceBlockName, 4), BlockState::Created);
        ASSERT_EQ(b.Request().Create(place_, RequestBlockName, RequestBlockSize),
                  BlockState::Created);
        ASSERT_EQ(b.StartLock().Create(place_, StartLockName, 1), BlockState::Created);
        b.CloseSharedBlocks(c.which);
        EXPECT_EQ(b.Instance().Held(), c.instance);
        EXPECT_EQ(b.Request().Held(), c.request);
        EXPECT_EQ(b.StartLock().Held(), c.lock);
        b.CloseSharedBlocks('a');
    }
    EXPECT_TRUE(sandbox_.Objects().empty());
}

TEST(HandOffTimings, TheLauncherBoundComesFromTheEnvironmentOnlyAsAPositiveNumber) {
    struct Case {
        const char* value;
        long long ms;
    };
    for (const Case& c : {Case{nullptr, 30000}, Case{"1500", 1500}, Case{"0", 30000},
                          Case{"-5", 30000}, Case{"12x", 30000}, Case{"", 30000}}) {
        if (c.value)
            ::setenv("ZUN_HANDOFF_WAIT_MS", c.value, 1);
        else
            ::unsetenv("ZUN_HANDOFF_WAIT_MS");
        HandOffTimings t = HandOffTimingsFromEnvironment();
        EXPECT_EQ(t.launcherBound.count(), c.ms) << (c.value ? c.value : "(unset)");
        EXPECT_EQ(t.editorRetry, 2000ms);
        EXPECT_EQ(t.editorTries, 5);
        EXPECT_EQ(t.startPolls * t.startPoll, 100s);
    }
    ::unsetenv("ZUN_HANDOFF_WAIT_MS");
}

} // namespace
