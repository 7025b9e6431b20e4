// The real qve program run as a process: error digits, silence on standard output, full disks.
#include "EngineFixture.h"
#include "QveProgram.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qve {
namespace {

using testing::EngineFixture;

struct ProcessResult {
    int exitStatus = -1;
    std::string standardOutput;
    std::string standardError;
};

ProcessResult RunQve(const std::vector<std::string>& arguments, const std::string& directory,
                     long fileSizeLimit = 0) {
    testing::QveRun run =
        testing::RunQve(arguments, directory, std::chrono::minutes(2), fileSizeLimit);
    return {run.exitStatus, run.standardOutput, run.standardError};
}

class QveProcess : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        struct stat info {};
        ASSERT_EQ(::stat((std::string(ZUN_BUILD_DIR) + "/qve").c_str(), &info), 0)
            << "qve is not built in " << ZUN_BUILD_DIR;
        source_ = Write("a.v", "module alpha(input a); endmodule\nmodule beta; endmodule\n");
        request_ = Write("cfg.tmp", "R-u_%M_%D\r\nF0-" + source_ + "\r\nM-alpha\t1\r\n");
    }
    std::string source_;
    std::string request_;
};

struct DigitCase {
    const char* name;
    std::vector<std::string> arguments; // "$O" output path, "$S" source, "$R" request
    int exitStatus;                     // -1: any non-zero
    const char* standardError;
    bool writesOutput;
};

TEST_F(QveProcess, ExitsWithTheDigitsAndNeverWritesToStandardOutput) {
    const DigitCase cases[] = {
        {"module scan", {"0x1898a5$O", "$S", "0"}, 0, "", true},
        {"project text", {"0x1898b5$O", "top", "$R"}, 0, "", true},
        {"no arguments", {}, 0, "", false},
        {"unknown code", {"0x1898f5$O", "$S", "0"}, 0, "", false},
        {"code in capitals", {"0X1898A5$O", "$S", "0"}, 0, "", false},
        {"code after a leading blank", {" 0x1898a5$O", "$S", "0"}, 0, "", false},
        {"missing source", {"0x1898a5$O", "$S", "0", "gone.v", "0"}, -1, "2\n", false},
        {"missing request", {"0x1898b5$O", "", "gone.tmp"}, -1, "2\n", false},
        {"two arguments", {"0x1898b5$O", "$R"}, -1, "3\n", false},
        {"code without path", {"0x1898a5", "$S", "0"}, -1, "4\n", false},
        {"output in a missing directory", {"0x1898a5$O/x", "$S", "0"}, -1, "4\n", false},
    };
    for (const DigitCase& c : cases) {
        std::filesystem::remove(PathOf("out.tmp"));
        std::vector<std::string> arguments;
        for (std::string a : c.arguments) {
            for (auto [key, value] : {std::pair<std::string, std::string>{"$O", PathOf("out.tmp")},
                                      {"$S", source_},
                                      {"$R", request_}})
                if (std::size_t at = a.find(key); at != std::string::npos)
                    a.replace(at, 2, value);
            arguments.push_back(a);
        }
        ProcessResult result = RunQve(arguments, dir_.string());
        if (c.exitStatus >= 0)
            EXPECT_EQ(result.exitStatus, c.exitStatus) << c.name;
        else
            EXPECT_NE(result.exitStatus, 0) << c.name;
        EXPECT_EQ(result.standardError, c.standardError) << c.name;
        EXPECT_EQ(result.standardOutput, "") << c.name;
        EXPECT_EQ(Output().has_value(), c.writesOutput) << c.name;
    }
}

TEST_F(QveProcess, EmptyTopSelectorArrivesAsAnArgumentAndStarTUnexpanded) {
    // Files whose names begin with T would be what a shell expanded *T to.
    Write("Tfile.v", "");
    Write("Tother.v", "");
    ProcessResult empty = RunQve({"0x1898b5" + PathOf("out.tmp"), "", request_}, dir_.string());
    EXPECT_EQ(empty.standardError, "");
    EXPECT_EQ(Output().value(),
              "MODULE\talpha\tu_alpha_0\t" + source_ + "\tverilog\r\nINPUT\t\t\ta\t\t\t\r\n");
    ProcessResult star = RunQve({"0x1898b5" + PathOf("out.tmp"), "*T", request_}, dir_.string());
    EXPECT_EQ(star.standardError, "");
    EXPECT_EQ(Output().value(), "INPUT\t\t\ta\t\t\t\t\r\n");
}

TEST_F(QveProcess, WritingToAFullDeviceFailsWithFourAndLeavesTheDevice) {
    struct stat info {};
    if (::stat("/dev/full", &info) != 0)
        GTEST_SKIP() << "this machine has no /dev/full";
    ProcessResult result = RunQve({"0x1898a5/dev/full", source_, "0"}, dir_.string());
    EXPECT_EQ(result.standardError, "4\n");
    EXPECT_NE(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, "");
    ASSERT_EQ(::stat("/dev/full", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}

TEST_F(QveProcess, AShortWriteRemovesThePartialFile) {
    // Regression: a disk that filled up left a partial module list that the editor took for a
    // complete one. The size limit lets the first bytes through and refuses the rest.
    ProcessResult result = RunQve({"0x1898a5" + PathOf("out.tmp"), source_, "0"}, dir_.string(),
                                  /*fileSizeLimit=*/8);
    EXPECT_EQ(result.standardError, "4\n");
    EXPECT_NE(result.exitStatus, 0);
    EXPECT_FALSE(Output().has_value()) << "a partial output was left behind";
}

} // namespace
} // namespace qve
