// Message windows between real processes, and the private place they live in.
#include "platform/MessageWindow.h"

#include "support/HandOffSandbox.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace std::chrono_literals;
using platform::HandOffPlace;
using platform::MessageWindow;
using platform::PostResult;
using platform::WindowMessage;

namespace {

class MessageWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        place_ = sandbox_.Place();
        ASSERT_FALSE(place_.dir.empty());
    }
    HandOffSandbox sandbox_;
    HandOffPlace place_;
};

TEST_F(MessageWindowTest, AMessageArrivesWhole) {
    MessageWindow a;
    MessageWindow b;
    ASSERT_TRUE(a.Create(place_));
    ASSERT_TRUE(b.Create(place_));
    EXPECT_NE(a.Handle(), 0u);
    EXPECT_NE(a.Handle(), b.Handle());
    EXPECT_FALSE(b.Wait(0ms));
    EXPECT_FALSE(b.Receive().has_value());

    const WindowMessage sent{0x463, 0, -2};
    ASSERT_EQ(a.Post(b.Handle(), sent), PostResult::Posted);
    ASSERT_TRUE(b.Wait(1s));
    EXPECT_EQ(b.Receive(), sent);
    EXPECT_FALSE(b.Receive().has_value());
}

TEST_F(MessageWindowTest, AWindowPostsToItself) {
    MessageWindow w;
    ASSERT_TRUE(w.Create(place_));
    ASSERT_EQ(w.Post(w.Handle(), {0x463, 0, 2}), PostResult::Posted);
    EXPECT_EQ(w.Receive(), (WindowMessage{0x463, 0, 2}));
}

TEST_F(MessageWindowTest, AGoneWindowIsReportedHoweverItWent) {
    MessageWindow sender;
    ASSERT_TRUE(sender.Create(place_));
    struct Case {
        const char* name;
        bool kill;
    };
    for (const Case c : {Case{"destroyed", false}, Case{"process killed", true}}) {
        SCOPED_TRACE(c.name);
        platform::WindowHandle handle = 0;
        if (c.kill) {
            HandOffPlace place = place_;
            int fds[2];
            ASSERT_EQ(::pipe(fds), 0);
            ChildHolder child([place, fds] {
                static MessageWindow w;
                if (!w.Create(place))
                    return 'n';
                platform::WindowHandle h = w.Handle();
                return ::write(fds[1], &h, sizeof h) == sizeof h ? 'y' : 'n';
            });
            ASSERT_EQ(child.Answer(), 'y');
            ASSERT_EQ(::read(fds[0], &handle, sizeof handle), static_cast<ssize_t>(sizeof handle));
            ::close(fds[0]);
            ::close(fds[1]);
            EXPECT_TRUE(MessageWindow::Exists(place_, handle));
            child.Kill();
        } else {
            MessageWindow w;
            ASSERT_TRUE(w.Create(place_));
            handle = w.Handle();
            EXPECT_TRUE(MessageWindow::Exists(place_, handle));
        }
        EXPECT_FALSE(MessageWindow::Exists(place_, handle));
        EXPECT_EQ(sender.Post(handle, {0x463, 0, 0}), PostResult::Gone);
    }
    EXPECT_EQ(sender.Post(0, {0x463, 0, 0}), PostResult::Gone);
    // The killed window's name was cleared away by the refused post.
    EXPECT_EQ(sandbox_.Sockets().size(), 1u);
}

TEST_F(MessageWindowTest, AFullQueueNeverBlocksTheSender) {
    MessageWindow sender;
    MessageWindow sleeper;
    ASSERT_TRUE(sender.Create(place_));
    ASSERT_TRUE(sleeper.Create(place_));
    PostResult last = PostResult::Posted;
    int posted = 0;
    for (int i = 0; i < 100000 && last == PostResult::Posted; ++i) {
        last = sender.Post(sleeper.Handle(), {0x463, 0, 0});
        posted += last == PostResult::Posted;
    }
    EXPECT_EQ(last, PostResult::Busy);
    EXPECT_GT(posted, 0);
}

TEST_F(MessageWindowTest, RecordsOfAnotherFormAreDropped) {
    MessageWindow w;
    ASSERT_TRUE(w.Create(place_));
    int raw = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    ASSERT_GE(raw, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string path = MessageWindow::SocketPath(place_, w.Handle());
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    auto send = [&](const std::string& bytes) {
        return ::sendto(raw, bytes.data(), bytes.size(), 0,
                        reinterpret_cast<const sockaddr*>(&address), sizeof address);
    };
    const std::string good("ZUNw\x63\x04\0\0\0\0\0\0\x01\0\0\0", 16);
    EXPECT_EQ(send(good.substr(0, 15)), 15);
    EXPECT_EQ(send(good + "x"), 17);
    EXPECT_EQ(send("ZUNx" + good.substr(4)), 16);
    EXPECT_EQ(send(""), 0);
    EXPECT_EQ(send(good), 16);
    ::close(raw);
    EXPECT_EQ(w.Receive(), (WindowMessage{0x463, 0, 1}));
    EXPECT_FALSE(w.Receive().has_value());
}

TEST_F(MessageWindowTest, DestroyLeavesNothingBehind) {
    {
        MessageWindow w;
        ASSERT_TRUE(w.Create(place_));
        EXPECT_EQ(sandbox_.Sockets().size(), 1u);
        int flags = ::fcntl(w.Descriptor(), F_GETFD);
        EXPECT_NE(flags & FD_CLOEXEC, 0) << "a started engine would hold the window";
    }
    EXPECT_TRUE(sandbox_.Sockets().empty());
}

TEST_F(MessageWindowTest, AnotherUserCanNeitherReachNorSeeOurWindows) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to play another user";
    MessageWindow ours;
    ASSERT_TRUE(ours.Create(place_));
    const platform::WindowHandle handle = ours.Handle();
    const std::string path = MessageWindow::SocketPath(place_, handle);
    int r = RunUnprivileged([&] {
        if (MessageWindow::Exists(place_, handle))
            return 1;
        int raw = ::socket(AF_UNIX, SOCK_DGRAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        const char record[16] = {'Z', 'U', 'N', 'w', 0x63, 0x04};
        if (::sendto(raw, record, sizeof record, 0, reinterpret_cast<const sockaddr*>(&address),
                     sizeof address) >= 0)
            return 2;
        return 0;
    });
    EXPECT_EQ(r, 0);
    EXPECT_FALSE(ours.Receive().has_value());
}

// The directory rules, each case a place that must be refused.
TEST(HandOffPlace, UnsafeOrUnusablePlacesAreRefused) {
    struct Case {
        const char* name;
        std::function<void(const std::string& base)> spoil; // base: <runtime>/zun
        const char* expected;
    };
    const Case cases[] = {
        {"a symbolic link", [](const std::string& base) { ::symlink("/tmp", base.c_str()); },
         "symbolic link"},
        {"open to others",
         [](const std::string& base) {
             ::mkdir(base.c_str(), 0700);
             ::chmod(base.c_str(), 0755);
         },
         "open to other users"},
        {"not a directory", [](const std::string& base) { WriteBytes(base, "x"); },
         "not a directory"},
        {"another user's",
         [](const std::string& base) {
             ::mkdir(base.c_str(), 0700);
             if (::geteuid() == 0)
                 (void)!::chown(base.c_str(), 65534, 65534);
         },
         "another user"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (std::string(c.name) == "another user's" && ::geteuid() != 0)
            continue;
        HandOffSandbox sandbox;
        c.spoil(sandbox.Runtime().Root() + "/zun");
        platform::HandOffPlace place;
        IoStatus st = platform::OpenHandOffPlace(place);
        EXPECT_FALSE(st);
        EXPECT_NE(st.message.find(c.expected), std::string::npos) << st.message;
        EXPECT_TRUE(place.dir.empty());
    }
}

TEST(HandOffPlace, APlaceIsPrivateAndNamedByTheNamespace) {
    HandOffSandbox sandbox;
    platform::HandOffPlace place;
    ASSERT_TRUE(platform::OpenHandOffPlace(place));
    EXPECT_EQ(place.dir, sandbox.Runtime().Root() + "/zun/" + sandbox.Namespace() + "/");
    EXPECT_EQ(place.ns, sandbox.Namespace());
    struct stat st {};
    ASSERT_EQ(::lstat(place.dir.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(HandOffPlace, WithoutARuntimeDirectoryThePlaceIsPerUserInTheTemporaryDirectory) {
    HandOffSandbox sandbox;
    TempDir tmp;
    ::setenv("XDG_RUNTIME_DIR", "relative/dir", 1);
    ::setenv("TMPDIR", tmp.Root().c_str(), 1);
    platform::HandOffPlace place;
    IoStatus st = platform::OpenHandOffPlace(place);
    ::unsetenv("TMPDIR");
    ASSERT_TRUE(st) << st.message;
    EXPECT_EQ(place.dir,
              tmp.Root() + "/zun-" + std::to_string(::geteuid()) + "/" + sandbox.Namespace() + "/");
}

TEST(HandOffPlace, APlaceTooLongForASocketAddressIsRefused) {
    HandOffSandbox sandbox;
    std::string deep = sandbox.Runtime().Root();
    while (deep.size() < 100) {
        deep += "/deeper";
        ::mkdir(deep.c_str(), 0700);
    }
    ::setenv("XDG_RUNTIME_DIR", deep.c_str(), 1);
    platform::HandOffPlace place;
    IoStatus st = platform::OpenHandOffPlace(place);
    EXPECT_FALSE(st);
    EXPECT_NE(st.message.find("too long"), std::string::npos) << st.message;
}

TEST(HandOffPlace, TheNamespaceIsASafeNameOrNothing) {
    struct Case {
        const char* value; // nullptr: unset
        const char* ns;
    };
    const Case cases[] = {{nullptr, "default"},
                          {"t-1.a_B", "t-1.a_B"},
                          {"", ""},
                          {"..", ""},
                          {"a/b", ""},
                          {"a b", ""},
                          {"0123456789abcdef0123456789abcdef", "0123456789abcdef0123456789abcdef"},
                          {"0123456789abcdef0123456789abcdefg", ""}};
    HandOffSandbox sandbox;
    for (const Case& c : cases) {
        if (c.value)
            ::setenv("ZUN_HANDOFF_NS", c.value, 1);
        else
            ::unsetenv("ZUN_HANDOFF_NS");
        EXPECT_EQ(platform::HandOffNamespace(), c.ns) << (c.value ? c.value : "(unset)");
    }
    ::setenv("ZUN_HANDOFF_NS", "a/b", 1);
    platform::HandOffPlace place;
    EXPECT_FALSE(platform::OpenHandOffPlace(place));
}

} // namespace
