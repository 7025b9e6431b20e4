// Help pages, licence text, the delay-generator tool and the work-directory test.
#include "editor/model/Documents.h"
#include "platform/TextFile.h"

#include "ModelFileFixture.h"

#include <cstdlib>
#include <functional>
#include <sys/stat.h>

using Texts = std::vector<std::string>;

class DocumentsTest : public ModelFileFixture {
protected:
    void MakeDoc(const std::string& relative) {
        ::mkdir(dir.Path("doc").c_str(), 0755);
        WriteBytes(dir.Path(relative), "page");
    }
};

TEST_F(DocumentsTest, AnExistingHelpPageIsOpenedFromTheProgramDirectory) {
    MakeDoc("doc/guide.htm");
    HelpDocExecute(model, services);
    EXPECT_EQ(opened, Texts{dir.Path("doc/guide.htm")});
}

TEST_F(DocumentsTest, AMissingHelpPageOffersTheOnlineCopy) {
    const char* question = "The specified file not found. Would you want to view it online?";
    prompt.ExpectYesNo(question, true).ExpectYesNo(question, false);
    OpenDocument(model, services, SmartLinkDocument, false);
    OpenDocument(model, services, ConfirmDocument, false);
    EXPECT_EQ(opened, Texts{std::string(OnlineDocBase) + "doc/smtlnk.htm"});
}

TEST_F(DocumentsTest, AWebAddressIsOpenedAsItIsWithItsSuffix) {
    OpenDocument(model, services, "https://zun.example.org/x", true, "#top");
    VisitFeedbackExecute(model, services);
    VisitQvExecute(model, services);
    EXPECT_EQ(opened, (Texts{"https://zun.example.org/x#top", GuestbookAddress, HomePageAddress}));
}

TEST_F(DocumentsTest, AFailedShellOpenIsLoggedAndShown) {
    MakeDoc("doc/guide.htm");
    services.ShellOpen = [](const std::string&) { return IoStatus::Fail("no opener"); };
    prompt.ExpectMessage("Can not open " + dir.Path("doc/guide.htm") + ": no opener.");
    HelpDocExecute(model, services);
    EXPECT_EQ(Log(), Texts{"Error: Can not open " + dir.Path("doc/guide.htm") + ": no opener"});
}

TEST_F(DocumentsTest, AnOpenerThatCannotBeStartedIsToldNamingTheFileOrAddress) {
    // Regression: without xdg-open nothing happened but a log line the user did not look at.
    MakeDoc("doc/guide.htm");
    MakeDoc("doc/license.txt");
    const char* path = std::getenv("PATH");
    const std::string saved = path ? path : "";
    ::setenv("PATH", dir.Path("no-such-bin").c_str(), 1);
    services.ShellOpen = platform::ShellOpen;
    struct Case {
        const char* name;
        std::function<void()> command;
        std::string target;
    };
    const Case cases[] = {
        {"help page", [&] { HelpDocExecute(model, services); }, dir.Path("doc/guide.htm")},
        {"licence", [&] { License1Click(model, services); }, dir.Path("doc/license.txt")},
        {"home page", [&] { VisitQvExecute(model, services); }, HomePageAddress},
    };
    for (const Case& c : cases) {
        std::string shown;
        prompt.OnShow = [&](const std::string& text) { shown = text; };
        prompt.ExpectMessage("");
        c.command();
        EXPECT_EQ(shown.rfind("Can not open " + c.target + ": ", 0), 0u) << c.name << ": " << shown;
        EXPECT_NE(shown.find("xdg-open"), std::string::npos) << c.name << ": " << shown;
    }
    ::setenv("PATH", saved.c_str(), 1);
}

TEST_F(DocumentsTest, TheLicenceTextIsOpenedOrReportedMissing) {
    prompt.ExpectMessage("File missing.");
    License1Click(model, services);
    EXPECT_TRUE(opened.empty());
    MakeDoc("doc/license.txt");
    License1Click(model, services);
    EXPECT_EQ(opened, Texts{dir.Path("doc/license.txt")});
}

TEST_F(DocumentsTest, TheDelayGeneratorIsStartedOrReportedMissing) {
    prompt.ExpectMessage("Program tardix missing.");
    Tardix1Click(model, services);
    EXPECT_TRUE(spawned.empty());
    WriteBytes(dir.Path("tardix"), "#!/bin/sh\n");
    Tardix1Click(model, services);
    EXPECT_EQ(spawned, std::vector<Texts>{{dir.Path("tardix")}});
    services.Spawn = [](const std::vector<std::string>&) { return IoStatus::Fail("no exec"); };
    Tardix1Click(model, services);
    EXPECT_EQ(Log(), Texts{"Error: no exec"});
}

// The test used to write and delete "obj.tmp" and "result.htm", destroying a user's files.
TEST(IsWorkDirWritable, LeavesEveryFileOfTheDirectoryAsItWas) {
    TempDir dir;
    WriteBytes(dir.Path("obj.tmp"), "my skeleton");
    WriteBytes(dir.Path("result.htm"), "my page");
    EXPECT_TRUE(IsWorkDirWritable(dir.Dir()));
    EXPECT_EQ(ReadBytes(dir.Path("obj.tmp")), "my skeleton");
    EXPECT_EQ(ReadBytes(dir.Path("result.htm")), "my page");
    EXPECT_EQ(dir.Names().size(), 2u);
}

TEST(IsWorkDirWritable, GivesTheSameAnswerWithAndWithoutATrailingSeparator) {
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.Path("ro").c_str(), 0555), 0);
    struct Case {
        std::string path;
        bool writable;
    };
    const Case cases[] = {
        {dir.Path("ok"), true},       {dir.Path("ok/"), true},       {dir.Path("ok\\"), true},
        {dir.Path("missing"), false}, {dir.Path("missing/"), false}, {"", false},
        {dir.Path("file"), false},    {dir.Path("file/"), false},
    };
    ASSERT_EQ(::mkdir(dir.Path("ok").c_str(), 0755), 0);
    WriteBytes(dir.Path("file"), "");
    for (const Case& c : cases)
        EXPECT_EQ(IsWorkDirWritable(c.path), c.writable) << "\"" << c.path << "\"";
    int ro = RunUnprivileged([&] {
        return (IsWorkDirWritable(dir.Path("ro")) ? 1 : 0) |
               (IsWorkDirWritable(dir.Path("ro/")) ? 2 : 0);
    });
    EXPECT_EQ(ro, 0);
}

TEST(About, TheVersionTextHasSevenCharacters) {
    EXPECT_EQ(AboutVersionText().size(), 7u);
    EXPECT_EQ(AboutMakerLines().size(), 3u);
}
