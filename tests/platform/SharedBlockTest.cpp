// Named blocks between real processes: they go with their last holder however it ends, a
// leftover or short object never passes for a live block, and another user's object is refused.
#include "platform/SharedBlock.h"

#include "support/HandOffSandbox.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::BlockState;
using platform::SharedBlock;

namespace {

class SharedBlockTest : public ::testing::Test {
protected:
    void SetUp() override {
        place_ = sandbox_.Place();
        ASSERT_FALSE(place_.dir.empty());
    }
    // Makes the object by hand, as a crashed or foreign program would leave it.
    int RawObject(off_t size, mode_t mode = 0600) const {
        std::string object = SharedBlock::ObjectName(place_, "ZUN M1");
        int fd = ::shm_open(object.c_str(), O_RDWR | O_CREAT | O_EXCL, mode);
        if (fd >= 0) {
            ::fchmod(fd, mode);
            if (size > 0 && ::ftruncate(fd, size) != 0) {
                ::close(fd);
                return -1;
            }
        }
        return fd;
    }

    HandOffSandbox sandbox_;
    platform::HandOffPlace place_;
};

TEST_F(SharedBlockTest, ObjectNamesCarryTheUserAndTheNamespace) {
    EXPECT_EQ(SharedBlock::ObjectName(place_, "ZUN M2"),
              "/zun." + std::to_string(::geteuid()) + "." + sandbox_.Namespace() + ".ZUN_M2");
}

TEST_F(SharedBlockTest, TheFirstHolderCreatesTheSecondSharesAndTheLastCloserRemoves) {
    SharedBlock first;
    ASSERT_EQ(first.Create(place_, "ZUN M1", 4), BlockState::Created) << first.Message();
    ASSERT_TRUE(first.Map());
    EXPECT_EQ(std::memcmp(first.Data(), "\0\0\0\0", 4), 0);
    std::memcpy(first.Data(), "abcd", 4);

    SharedBlock second;
    ASSERT_EQ(second.Create(place_, "ZUN M1", 4), BlockState::Existed);
    ASSERT_TRUE(second.Map());
    EXPECT_EQ(std::memcmp(second.Data(), "abcd", 4), 0);

    first.Close();
    EXPECT_EQ(sandbox_.Objects().size(), 1u) << "the block went while it still had a holder";
    SharedBlock third;
    EXPECT_EQ(third.Open(place_, "ZUN M1", 4), BlockState::Existed);
    third.Close();
    second.Close();
    EXPECT_TRUE(sandbox_.Objects().empty());
    EXPECT_EQ(third.Open(place_, "ZUN M1", 4), BlockState::Absent);
}

// A holder in another process, ended in each way a process can end.
TEST_F(SharedBlockTest, ABlockGoesWithItsLastHolderHoweverThatHolderEnds) {
    struct Case {
        const char* name;
        void (*end)(ChildHolder&);
    };
    const Case cases[] = {
        {"exit without closing", [](ChildHolder& c) { c.Exit(); }},
        {"SIGKILL", [](ChildHolder& c) { c.Kill(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::HandOffPlace place = place_;
        ChildHolder holder([place] {
            static SharedBlock block; // never closed by the child itself
            return block.Create(place, "ZUN M1", 4) == BlockState::Created && block.Map() ? 'y'
                                                                                          : 'n';
        });
        ASSERT_EQ(holder.Answer(), 'y');
        SharedBlock probe;
        EXPECT_EQ(probe.Open(place_, "ZUN M1", 4), BlockState::Existed);
        probe.Close();
        EXPECT_FALSE(sandbox_.Objects().empty());

        c.end(holder);
        EXPECT_EQ(probe.Open(place_, "ZUN M1", 4), BlockState::Absent);
        EXPECT_TRUE(sandbox_.Objects().empty()) << "the leftover name was not removed";
        EXPECT_EQ(probe.Create(place_, "ZUN M1", 4), BlockState::Created);
        probe.Close();
    }
}

// Left by a program that died between making the object and giving it its size, or by one
// that was killed: nobody holds them.
TEST_F(SharedBlockTest, AnUnheldObjectIsNewToCreateAndAbsentToOpen) {
    for (off_t size : {off_t{0}, off_t{4}}) {
        SCOPED_TRACE(size);
        int fd = RawObject(size);
        ASSERT_GE(fd, 0);
        ::close(fd);
        SharedBlock block;
        EXPECT_EQ(block.Open(place_, "ZUN M1", 4), BlockState::Absent);

        fd = RawObject(size);
        ASSERT_GE(fd, 0);
        ::close(fd);
        ASSERT_EQ(block.Create(place_, "ZUN M1", 4), BlockState::Created);
        ASSERT_TRUE(block.Map());
        block.Data()[3] = 7; // a short object mapped whole would fault here
        block.Close();
    }
}

TEST_F(SharedBlockTest, AHeldObjectOfTheWrongSizeIsNeverMapped) {
    for (off_t size : {off_t{0}, off_t{2}, off_t{8}}) {
        SCOPED_TRACE(size);
        int fd = RawObject(size);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::flock(fd, LOCK_SH), 0);
        SharedBlock block;
        ASSERT_EQ(block.Open(place_, "ZUN M1", 4), BlockState::Existed);
        EXPECT_FALSE(block.Map());
        EXPECT_FALSE(block.Mapped());
        EXPECT_NE(block.Message().find("bytes"), std::string::npos) << block.Message();
        block.Close();
        ::close(fd);
        SharedBlock cleaner;
        EXPECT_EQ(cleaner.Open(place_, "ZUN M1", 4), BlockState::Absent);
    }
}

TEST_F(SharedBlockTest, AnObjectOpenToOthersIsRefusedAndLeftAlone) {
    int fd = RawObject(4, 0666);
    ASSERT_GE(fd, 0);
    SharedBlock block;
    EXPECT_EQ(block.Open(place_, "ZUN M1", 4), BlockState::Failed);
    EXPECT_EQ(block.Create(place_, "ZUN M1", 4), BlockState::Failed);
    EXPECT_NE(block.Message().find("open to other users"), std::string::npos) << block.Message();
    EXPECT_EQ(sandbox_.Objects().size(), 1u);
    ::close(fd);
}

TEST_F(SharedBlockTest, NoDescriptorOfABlockReachesAStartedProgram) {
    SharedBlock block;
    ASSERT_EQ(block.Create(place_, "ZUN M1", 4), BlockState::Created);
    int flags = 0;
    bool sawCloexec = false;
    for (const std::string& name : TempDir::ListNames("/proc/self/fd")) {
        char target[256] = {};
        std::string link = "/proc/self/fd/" + name;
        if (::readlink(link.c_str(), target, sizeof target - 1) > 0 &&
            std::string(target).find("/dev/shm/zun.") == 0) {
            flags = ::fcntl(std::stoi(name), F_GETFD);
            sawCloexec = (flags & FD_CLOEXEC) != 0;
        }
    }
    EXPECT_TRUE(sawCloexec);
}

// CI runs as root, so another user is played by "nobody".
TEST_F(SharedBlockTest, AnotherUserCanNeitherJoinOurBlocksNorHaveThemTaken) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to play another user";
    SharedBlock ours;
    ASSERT_EQ(ours.Create(place_, "ZUN M1", 4), BlockState::Created);
    ASSERT_TRUE(ours.Map());
    std::memcpy(ours.Data(), "mine", 4);
    const std::string object = SharedBlock::ObjectName(place_, "ZUN M1");
    int r = RunUnprivileged([&] {
        int fd = ::shm_open(object.c_str(), O_RDWR, 0);
        if (fd >= 0)
            return 1;
        fd = ::shm_open(object.c_str(), O_RDONLY, 0);
        if (fd >= 0)
            return 2;
        SharedBlock theirs;
        return theirs.Open(place_, "ZUN M1", 4) == BlockState::Failed ? 0 : 3;
    });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(std::memcmp(ours.Data(), "mine", 4), 0);
}

TEST_F(SharedBlockTest, ABlockAnotherUserMadeUnderOurNameIsRefused) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to play another user";
    const std::string object = SharedBlock::ObjectName(place_, "ZUN M1");
    int r = RunUnprivileged([&] {
        int fd = ::shm_open(object.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
        return fd >= 0 && ::ftruncate(fd, 4) == 0 ? 0 : 1;
    });
    ASSERT_EQ(r, 0);
    SharedBlock block;
    EXPECT_EQ(block.Create(place_, "ZUN M1", 4), BlockState::Failed);
    EXPECT_NE(block.Message().find("another user"), std::string::npos) << block.Message();
    EXPECT_EQ(block.Open(place_, "ZUN M1", 4), BlockState::Failed);
    EXPECT_EQ(sandbox_.Objects().size(), 1u) << "another user's object was removed";
}

TEST_F(SharedBlockTest, BadNamesAreRefused) {
    SharedBlock block;
    for (const char* name : {"", "ZUN/M1", "..", "ZUN.M1"})
        EXPECT_EQ(block.Create(place_, name, 4), BlockState::Failed) << name;
    EXPECT_TRUE(sandbox_.Objects().empty());
}

} // namespace
