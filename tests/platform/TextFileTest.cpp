// Whole-file reads and the atomic save: content, failures that keep the old file, no leftovers.
#include "platform/TextFile.h"

#include "support/FileFixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

namespace {

std::string BinaryText() {
    std::string s = "Version:\tZUN2012\r\nline\0with nul\n";
    s.push_back('\0');
    for (int i = 0; i < 256; ++i)
        s.push_back(static_cast<char>(i));
    return s;
}

} // namespace

TEST(TextFile, ReadsBackEveryByteThatWasWritten) {
    TempDir dir;
    std::string bytes = BinaryText() + std::string(200000, 'x');
    ASSERT_TRUE(platform::WriteFileAtomic(dir.Path("a.zun"), bytes));
    std::string back;
    ASSERT_TRUE(platform::ReadWholeFile(dir.Path("a.zun"), back));
    EXPECT_EQ(back, bytes);
}

TEST(TextFile, ReadingAMissingFileFailsWithEmptyTextAndAMessage) {
    TempDir dir;
    std::string text = "stale";
    IoStatus st = platform::ReadWholeFile(dir.Path("none.zun"), text);
    EXPECT_FALSE(st);
    EXPECT_NE(st.message.find("none.zun"), std::string::npos);
    EXPECT_EQ(text, "");
}

TEST(TextFile, ReadingADirectoryFails) {
    TempDir dir;
    std::string text;
    EXPECT_FALSE(platform::ReadWholeFile(dir.Dir(), text));
}

TEST(TextFile, AFifoOrADeviceIsRefusedAtOnceInsteadOfBlockingTheRead) {
    // Regression: the regular-file check came after the open, and opening a FIFO for reading
    // waits for a writer that never comes.
    TempDir dir;
    std::string fifo = dir.Path("pipe.v");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero"), std::string("/dev/null")}) {
        std::string text = "stale";
        IoStatus st = platform::ReadWholeFile(path, text);
        EXPECT_FALSE(st) << path;
        EXPECT_NE(st.message.find(path), std::string::npos) << st.message;
        EXPECT_EQ(text, "");
    }
}

TEST(TextFile, AtomicSaveReplacesTheOldContentAndLeavesNoTemporaryFile) {
    TempDir dir;
    WriteBytes(dir.Path("p.zun"), std::string(5000, 'o'));
    ASSERT_TRUE(platform::WriteFileAtomic(dir.Path("p.zun"), "new"));
    EXPECT_EQ(ReadBytes(dir.Path("p.zun")), "new");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"p.zun"});
}

TEST(TextFile, AtomicSaveKeepsThePermissionsOfTheReplacedFile) {
    TempDir dir;
    WriteBytes(dir.Path("p.zun"), "old");
    ::chmod(dir.Path("p.zun").c_str(), 0640);
    ASSERT_TRUE(platform::WriteFileAtomic(dir.Path("p.zun"), "new"));
    struct stat st {};
    ASSERT_EQ(::stat(dir.Path("p.zun").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(TextFile, AtomicSaveThroughASymbolicLinkWritesTheLinkedFileAndKeepsTheLink) {
    TempDir dir;
    WriteBytes(dir.Path("real.zun"), "old");
    ASSERT_EQ(::symlink(dir.Path("real.zun").c_str(), dir.Path("link.zun").c_str()), 0);
    ASSERT_TRUE(platform::WriteFileAtomic(dir.Path("link.zun"), "new"));
    struct stat st {};
    ASSERT_EQ(::lstat(dir.Path("link.zun").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadBytes(dir.Path("real.zun")), "new");
}

TEST(TextFile, AFileWithoutWritePermissionIsNeverReplacedEvenByTheSuperuser) {
    TempDir dir;
    WriteBytes(dir.Path("ro.ini"), "keep me");
    ::chmod(dir.Path("ro.ini").c_str(), 0444);
    IoStatus st = platform::WriteFileAtomic(dir.Path("ro.ini"), "lost");
    EXPECT_FALSE(st);
    EXPECT_EQ(ReadBytes(dir.Path("ro.ini")), "keep me");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"ro.ini"});
}

TEST(TextFile, SaveIntoAReadOnlyDirectoryFailsAndKeepsTheOldFileByteForByte) {
    TempDir dir;
    std::string sub = dir.Path("ro");
    ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
    std::string old = BinaryText();
    WriteBytes(sub + "/p.zun", old);
    ::chmod((sub + "/p.zun").c_str(), 0666);
    ::chmod(sub.c_str(), 0555);
    int result = RunUnprivileged([&] {
        IoStatus st = platform::WriteFileAtomic(sub + "/p.zun", "replacement");
        return st.ok ? 1 : (st.message.empty() ? 2 : 0);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(sub + "/p.zun"), old);
    EXPECT_EQ(TempDir::ListNames(sub), std::vector<std::string>{"p.zun"});
}

TEST(TextFile, AWriteThatFailsPartWayKeepsTheOldFileAndRemovesTheTemporaryFile) {
    TempDir dir;
    std::string old = "the previous project";
    WriteBytes(dir.Path("p.zun"), old);
    int result = RunWithFileSizeLimit(4096, [&] {
        return platform::WriteFileAtomic(dir.Path("p.zun"), std::string(100000, 'n')).ok ? 1 : 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(dir.Path("p.zun")), old);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"p.zun"});
}

TEST(TextFile, SaveIntoAMissingDirectoryFails) {
    TempDir dir;
    EXPECT_FALSE(platform::WriteFileAtomic(dir.Path("no/such/p.zun"), "x"));
    EXPECT_FALSE(platform::WriteFileAtomic("", "x"));
}

TEST(TextFile, SaveOverADirectoryFailsAndKeepsIt) {
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.Path("d.zun").c_str(), 0755), 0);
    EXPECT_FALSE(platform::WriteFileAtomic(dir.Path("d.zun"), "x"));
    EXPECT_TRUE(platform::DirectoryExists(dir.Path("d.zun")));
}

TEST(TextFile, QueriesTellFilesFromDirectories) {
    TempDir dir;
    WriteBytes(dir.Path("f"), "");
    EXPECT_TRUE(platform::FileExists(dir.Path("f")));
    EXPECT_FALSE(platform::FileExists(dir.Dir()));
    EXPECT_TRUE(platform::DirectoryExists(dir.Dir()));
    EXPECT_FALSE(platform::DirectoryExists(dir.Path("f")));
    EXPECT_FALSE(platform::FileExists(""));
    EXPECT_TRUE(platform::RemoveFile(dir.Path("f")));
    EXPECT_FALSE(platform::FileExists(dir.Path("f")));
    EXPECT_EQ(platform::DirectoryOf("/a/b/c.zun"), "/a/b/");
    EXPECT_EQ(platform::DirectoryOf("c.zun"), "");
}

TEST(TextFile, TheSuperuserReplacingAUsersFileLeavesItTheUsers) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser can save a file that another user owns";
    TempDir dir;
    WriteBytes(dir.Path("p.zun"), "old");
    ASSERT_EQ(::chown(dir.Path("p.zun").c_str(), 65534, 65534), 0);
    ASSERT_TRUE(platform::WriteFileAtomic(dir.Path("p.zun"), "new"));
    struct stat st {};
    ASSERT_EQ(::stat(dir.Path("p.zun").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
}

namespace {

// A folder nobody but its owner may write, holding a file anyone may: the atomic save cannot
// make its temporary file there, and the unprivileged runs below may write the file itself.
struct ReadOnlyFolder {
    TempDir dir;
    std::string sub = dir.Path("ro");
    std::string file = sub + "/p.zun";

    explicit ReadOnlyFolder(const std::string& old) {
        EXPECT_EQ(::mkdir(sub.c_str(), 0755), 0);
        WriteBytes(file, old);
        EXPECT_EQ(::chmod(file.c_str(), 0666), 0);
        EXPECT_EQ(::chmod(sub.c_str(), 0555), 0);
    }
    std::vector<std::string> Names() const { return TempDir::ListNames(sub); }
};

// Runs body as "nobody" (when the tests run as root) with no file allowed to grow beyond limit
// bytes, so an in-place write fails part-way as on a full disk.
int RunUnprivilegedWithFileSizeLimit(rlim_t limit, const std::function<int()>& body) {
    return RunInChild(
        [limit] {
            ::signal(SIGXFSZ, SIG_IGN);
            struct rlimit rl {
                limit, limit
            };
            if (::setrlimit(RLIMIT_FSIZE, &rl) != 0)
                return false;
            return ::geteuid() != 0 ||
                   (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0);
        },
        body);
}

} // namespace

TEST(TextFile, ReplacingSaveIsTheAtomicSaveWhereTheFolderAllowsIt) {
    TempDir dir;
    WriteBytes(dir.Path("p.zun"), "old");
    platform::WriteWay way = platform::WriteWay::None;
    ASSERT_TRUE(platform::WriteFileReplacing(dir.Path("p.zun"), "new", way));
    EXPECT_EQ(way, platform::WriteWay::Atomic);
    EXPECT_EQ(ReadBytes(dir.Path("p.zun")), "new");
    ASSERT_TRUE(platform::WriteFileReplacing(dir.Path("fresh.zun"), "made", way));
    EXPECT_EQ(way, platform::WriteWay::Atomic);
    EXPECT_EQ(ReadBytes(dir.Path("fresh.zun")), "made");
}

// Regression: a writable file in a folder the user may not write could not be saved at all,
// because the atomic save's temporary file needs the folder.
TEST(TextFile, AWritableFileInAReadOnlyFolderIsRewrittenInPlace) {
    struct Case {
        const char* name;
        std::string old;
        std::string replacement;
    };
    const Case cases[] = {
        {"longer", "old", BinaryText() + std::string(100000, 'n')},
        {"shorter", BinaryText() + std::string(100000, 'o'), "short"},
        {"empty", "old", ""},
        {"from empty", "", "new"},
    };
    for (const Case& c : cases) {
        ReadOnlyFolder ro(c.old);
        struct stat before {};
        ASSERT_EQ(::stat(ro.file.c_str(), &before), 0);
        const int result = RunUnprivileged([&] {
            platform::WriteWay way = platform::WriteWay::None;
            const IoStatus st = platform::WriteFileReplacing(ro.file, c.replacement, way);
            return (st.ok ? 0 : 1) | (way == platform::WriteWay::InPlace ? 0 : 2);
        });
        EXPECT_EQ(result, 0) << c.name;
        EXPECT_EQ(ReadBytes(ro.file), c.replacement) << c.name;
        EXPECT_EQ(ro.Names(), std::vector<std::string>{"p.zun"}) << c.name;
        struct stat after {};
        ASSERT_EQ(::stat(ro.file.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino) << c.name << ": the same file, rewritten";
        EXPECT_EQ(after.st_mode, before.st_mode) << c.name;
    }
}

TEST(TextFile, InAReadOnlyFolderAFileThatMayNotBeWrittenOrIsNotThereStillFailsWithItsReason) {
    ReadOnlyFolder ro("old");
    ASSERT_EQ(::chmod(ro.file.c_str(), 0444), 0);
    const std::string missing = ro.sub + "/new.zun";
    const int result = RunUnprivileged([&] {
        int bits = 0;
        for (const std::string& path : {ro.file, missing}) {
            platform::WriteWay way = platform::WriteWay::Atomic;
            const IoStatus st = platform::WriteFileReplacing(path, "new", way);
            bits = bits * 4 + (st.ok ? 1 : 0) + (way == platform::WriteWay::None ? 0 : 2);
            if (st.message.find(path) == std::string::npos ||
                st.message.find("Permission denied") == std::string::npos)
                bits |= 32;
        }
        return bits;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(ro.file), "old");
    EXPECT_EQ(ro.Names(), std::vector<std::string>{"p.zun"});
}

// The room the new bytes need is reserved before any old byte is changed: on a full disk the
// save fails and the file is as it was.
TEST(TextFile, AnInPlaceSaveThatFindsNoRoomLeavesTheFileAsItWas) {
    const std::string old = "the previous project";
    ReadOnlyFolder ro(old);
    std::string message;
    const int result = RunUnprivilegedWithFileSizeLimit(4096, [&] {
        platform::WriteWay way = platform::WriteWay::None;
        const IoStatus st = platform::WriteFileReplacing(ro.file, std::string(100000, 'n'), way);
        const bool named = st.message.find(ro.file) != std::string::npos &&
                           st.message.find("File too large") != std::string::npos;
        return (st.ok ? 1 : 0) | (way == platform::WriteWay::None ? 0 : 2) | (named ? 0 : 4);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(ro.file), old);
    EXPECT_EQ(ro.Names(), std::vector<std::string>{"p.zun"});
}

// A write that fails after the old bytes began to be overwritten puts them back: here the file is
// larger than the limit, so the new bytes stop at it, and what they had covered is written back.
TEST(TextFile, AnInPlaceSaveThatFailsPartWayWritesTheOldBytesBack) {
    std::string old;
    for (int i = 0; i < 20000; ++i)
        old += static_cast<char>('a' + i % 26);
    ReadOnlyFolder ro(old);
    const int result = RunUnprivilegedWithFileSizeLimit(4096, [&] {
        platform::WriteWay way = platform::WriteWay::None;
        const IoStatus st = platform::WriteFileReplacing(ro.file, std::string(10000, 'n'), way);
        const bool told = st.message.find(ro.file) != std::string::npos &&
                          st.message.find("previous content was written back") != std::string::npos;
        return (st.ok ? 1 : 0) | (way == platform::WriteWay::None ? 0 : 2) | (told ? 0 : 4);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(ro.file), old);
}
