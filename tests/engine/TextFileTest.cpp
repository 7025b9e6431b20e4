// Text-mode emulation and the checked output write.
#include "engine/TextFile.h"

#include "support/FileFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace qve {
namespace {

namespace fs = std::filesystem;

class TextFileTest : public ::testing::Test {
protected:
    TempDir scratch_;
    fs::path dir_{scratch_.Root()};
};

TEST(TextMode, ReadingTurnsCrLfIntoLfAndKeepsALoneCr) {
    EXPECT_EQ(FromTextMode("a\r\nb\rc\n\r\r\n"), "a\nb\rc\n\r\n");
    EXPECT_EQ(FromTextMode("end\r"), "end\r");
}

TEST(TextMode, WritingTurnsEveryLfIntoCrLf) {
    EXPECT_EQ(ToTextMode("a\nb\n\n"), "a\r\nb\r\n\r\n");
    EXPECT_EQ(ToTextMode("x\ry"), "x\ry");
}

TEST_F(TextFileTest, WrittenFileIsReadBackUnchanged) {
    fs::path file = dir_ / "out.tmp";
    ASSERT_TRUE(WriteTextFile(file.string(), "F0-a.v\nM-a\n"));
    EXPECT_EQ(ReadBytes(file), "F0-a.v\r\nM-a\r\n");
    EXPECT_EQ(ReadTextFile(file.string()).value(), "F0-a.v\nM-a\n");
}

TEST_F(TextFileTest, MissingFileCannotBeRead) {
    EXPECT_FALSE(ReadTextFile((dir_ / "none.v").string()).has_value());
    EXPECT_FALSE(ReadTextFile(dir_.string()).has_value());
}

TEST_F(TextFileTest, EmptyTextMakesAnEmptyFile) {
    fs::path file = dir_ / "empty.tmp";
    ASSERT_TRUE(WriteTextFile(file.string(), ""));
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(fs::file_size(file), 0u);
}

TEST_F(TextFileTest, UnopenableOutputFails) {
    EXPECT_FALSE(WriteTextFile("", "x"));
    EXPECT_FALSE(WriteTextFile((dir_ / "no" / "such" / "dir.tmp").string(), "x"));
}

TEST_F(TextFileTest, FullDeviceFailsAndTheDeviceStays) {
    struct stat info {};
    if (::stat("/dev/full", &info) != 0)
        GTEST_SKIP() << "this machine has no /dev/full";
    EXPECT_FALSE(WriteTextFile("/dev/full", "some text\n"));
    EXPECT_EQ(::stat("/dev/full", &info), 0) << "a failed write must not remove a device";
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}

TEST_F(TextFileTest, AFailedWriteLeavesThePreviousOutputWholeAndNothingBesideIt) {
    // The output appears at once or not at all: a reader never sees a partial file, not even
    // while the write is under way, and a failure leaves what was there before.
    fs::path file = dir_ / "qvmdu.tmp";
    WriteBytes(file, "old\r\n");
    const int result = RunWithFileSizeLimit(
        64, [&] { return WriteTextFile(file.string(), std::string(1000, 'x') + "\n") ? 1 : 0; });
    EXPECT_EQ(result, 0) << "the write must fail beyond the size limit";
    EXPECT_EQ(ReadBytes(file), "old\r\n");
    EXPECT_EQ(TempDir::ListNames(dir_.string()), std::vector<std::string>{"qvmdu.tmp"});
}

TEST_F(TextFileTest, ASuccessfulWriteReplacesTheWholeOutput) {
    fs::path file = dir_ / "qvprj.zun";
    WriteBytes(file, std::string(5000, 'o'));
    ASSERT_TRUE(WriteTextFile(file.string(), "TOP\tt\n"));
    EXPECT_EQ(ReadBytes(file), "TOP\tt\r\n");
    EXPECT_EQ(TempDir::ListNames(dir_.string()), std::vector<std::string>{"qvprj.zun"});
}

} // namespace
} // namespace qve
