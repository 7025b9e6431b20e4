// Program directory, per-user directories and the write probe.
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include "support/FileFixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Sets an environment variable for one test and puts the old value back.
class EnvGuard {
public:
    EnvGuard(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_)
            old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~EnvGuard() {
        if (had_)
            ::setenv(name_, old_.c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

} // namespace

TEST(Paths, ProgramDirIsTheDirectoryOfTheRunningProgramWithATrailingSlash) {
    std::string dir = platform::ProgramDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.front(), '/');
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(platform::FileExists(dir + "test_platform"));
}

TEST(Paths, UserDirectoriesFollowTheXdgVariablesElseTheHomeDirectory) {
    {
        EnvGuard c("XDG_CONFIG_HOME", "/x/conf");
        EnvGuard k("XDG_CACHE_HOME", "/x/cache/");
        EXPECT_EQ(platform::UserConfigDir(), "/x/conf/zun/");
        EXPECT_EQ(platform::UserCacheDir(), "/x/cache/zun/");
    }
    {
        EnvGuard c("XDG_CONFIG_HOME", nullptr);
        EnvGuard k("XDG_CACHE_HOME", "relative/not/allowed");
        EnvGuard h("HOME", "/home/me");
        EXPECT_EQ(platform::UserConfigDir(), "/home/me/.config/zun/");
        EXPECT_EQ(platform::UserCacheDir(), "/home/me/.cache/zun/");
    }
}

TEST(Paths, MakeDirectoriesCreatesMissingParents) {
    TempDir dir;
    ASSERT_TRUE(platform::MakeDirectories(dir.Path("a/b/c/")));
    EXPECT_TRUE(platform::DirectoryExists(dir.Path("a/b/c")));
    EXPECT_TRUE(platform::MakeDirectories(dir.Path("a/b/c"))); // already there
    WriteBytes(dir.Path("file"), "");
    EXPECT_FALSE(platform::MakeDirectories(dir.Path("file/sub")));
}

TEST(Paths, TheWriteProbeLeavesEveryFileOfTheDirectoryAsItWas) {
    TempDir dir;
    WriteBytes(dir.Path("obj.tmp"), "user data");
    WriteBytes(dir.Path("result.htm"), "<p>mine</p>");
    EXPECT_TRUE(platform::ProbeDirectoryWritable(dir.Dir()));
    EXPECT_TRUE(platform::ProbeDirectoryWritable(dir.Path("")));
    EXPECT_EQ(ReadBytes(dir.Path("obj.tmp")), "user data");
    EXPECT_EQ(ReadBytes(dir.Path("result.htm")), "<p>mine</p>");
    EXPECT_EQ(dir.Names().size(), 2u);
}

TEST(Paths, TheWriteProbeFailsOnMissingAndReadOnlyDirectories) {
    TempDir dir;
    EXPECT_FALSE(platform::ProbeDirectoryWritable(dir.Path("missing")));
    EXPECT_FALSE(platform::ProbeDirectoryWritable(""));
    WriteBytes(dir.Path("plain"), "");
    EXPECT_FALSE(platform::ProbeDirectoryWritable(dir.Path("plain")));
    ASSERT_EQ(::mkdir(dir.Path("ro").c_str(), 0555), 0);
    EXPECT_EQ(RunUnprivileged([&] { return platform::ProbeDirectoryWritable(dir.Path("ro")); }), 0);
    EXPECT_TRUE(TempDir::ListNames(dir.Path("ro")).empty());
}
