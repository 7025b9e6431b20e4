// Whole-file reads and the atomic save: content, failures that keep the old file, no leftovers.
#include "platform/TextFile.h"

#include "support/FileFixtures.h"

#include <gtest/gtest.h>

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
