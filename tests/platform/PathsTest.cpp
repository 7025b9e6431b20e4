// Program directory, per-user directories and the write probe.
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include "support/FileFixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

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

// Changes the working directory for one test and goes back.
class CwdGuard {
public:
    explicit CwdGuard(const std::string& dir) {
        char buf[4096];
        if (::getcwd(buf, sizeof buf))
            old_ = buf;
        if (::chdir(dir.c_str()) != 0)
            throw std::runtime_error("cannot enter " + dir);
    }
    ~CwdGuard() { (void)!::chdir(old_.c_str()); }

private:
    std::string old_;
};

TEST(Paths, AbsolutePathFoldsDotsWhereTheyNameTheSameFile) {
    TempDir dir;
    ASSERT_TRUE(platform::MakeDirectories(dir.Path("src/rtl")));
    ASSERT_TRUE(platform::MakeDirectories(dir.Path("deep/inner")));
    ASSERT_EQ(::symlink(dir.Path("deep/inner").c_str(), dir.Path("link").c_str()), 0);
    CwdGuard cwd(dir.Path("src"));
    // The temporary directory may itself sit behind a link (/tmp on some systems): compare with
    // the working directory as the process sees it.
    char buf[4096];
    ASSERT_NE(::getcwd(buf, sizeof buf), nullptr);
    const std::string here = buf;
    const std::string up = here.substr(0, here.rfind('/'));
    struct Case {
        std::string path, absolute;
    };
    const Case cases[] = {
        {"", ""},
        {"a.v", here + "/a.v"},
        {"./rtl/./a.v", here + "/rtl/a.v"},
        {"rtl/../a.v", here + "/a.v"},
        {"../src/rtl//a.v", here + "/rtl/a.v"},
        {"missing/../a.v", here + "/a.v"},
        {"/x/y/../z.v", "/x/z.v"},
        {"/../a.v", "/a.v"},
        {"/", "/"},
        {"../../..", "/"},
        // Through a link, ".." leads to the parent of the link's target: it stays.
        {"../link/../x.v", up + "/link/../x.v"},
        {"../link/./sub/../x.v", up + "/link/x.v"},
        {"../link/../../y.v", up + "/link/../../y.v"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::AbsolutePath(c.path), c.absolute) << c.path;
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
