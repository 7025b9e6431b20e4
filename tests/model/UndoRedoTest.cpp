// One level of undo and redo as whole copies of the project lines.
#include "ModelText.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace {

class UndoRedo : public ::testing::Test {
protected:
    void SetUp() override {
        m.LineList = LinesFromText(SmallProject);
        m.PrjOpen = true;
        m.UpdatePicExecute(RebuildSender::MainWindow);
        before = StoredText(m.LineList);
    }

    // An edit as every command makes one: snapshot, change lines, rebuild.
    void Edit() {
        m.TakeUndoSnapshot();
        m.DeletePortLine("u1", "clk", false, false);
        m.UpdatePicExecute(RebuildSender::MainWindow);
        after = StoredText(m.LineList);
    }

    void ExpectStates(bool undo, bool redo, const char* step) {
        EXPECT_EQ(m.UndoEnabled(), undo) << step;
        EXPECT_EQ(m.RedoEnabled(), redo) << step;
        EXPECT_TRUE(m.Modified) << step;
    }

    ProjectModel m;
    std::vector<std::string> before;
    std::vector<std::string> after;
};

} // namespace

TEST_F(UndoRedo, EditUndoRedoUndoWalksBetweenTheTwoStates) {
    EXPECT_FALSE(m.UndoEnabled());
    EXPECT_FALSE(m.RedoEnabled());
    EXPECT_FALSE(m.Modified);

    Edit();
    ASSERT_NE(after, before);
    ExpectStates(true, false, "after the edit");
    EXPECT_TRUE(m.SaveEnabled());
    EXPECT_EQ(m.PortList.size(), 4u);

    m.Modified = false; // as after a save: Undo marks the project modified again
    auto r = m.UndoExecute();
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->CountsText, "I/P/W:3/5/1") << "the records are rebuilt";
    EXPECT_EQ(StoredText(m.LineList), before);
    ExpectStates(false, true, "after undo");
    EXPECT_FALSE(m.UndoExecute().has_value()) << "a second undo is not offered";
    EXPECT_EQ(StoredText(m.LineList), before);

    m.Modified = false;
    r = m.RedoExecute();
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(StoredText(m.LineList), after);
    EXPECT_EQ(m.PortList.size(), 4u);
    ExpectStates(true, false, "after redo");
    EXPECT_FALSE(m.RedoExecute().has_value());

    m.Modified = false;
    ASSERT_TRUE(m.UndoExecute().has_value());
    EXPECT_EQ(StoredText(m.LineList), before) << "the snapshot taken by redo";
    ExpectStates(false, true, "after the second undo");
}

TEST_F(UndoRedo, ANewEditReplacesTheUndoCopyAndEndsRedo) {
    Edit();
    m.UndoExecute();
    ASSERT_TRUE(m.RedoEnabled());
    m.TakeUndoSnapshot();
    m.DeletePortLine("u2", "d", false, false);
    EXPECT_TRUE(m.UndoEnabled());
    EXPECT_FALSE(m.RedoEnabled());
    m.UndoExecute();
    EXPECT_EQ(StoredText(m.LineList), before);
}

// Regression: Undo and Redo could leave selected indices behind ports that no longer exist.
TEST_F(UndoRedo, UndoAndRedoClearTheSelection) {
    Edit();
    m.SelList = {0, 3};
    m.UndoExecute();
    EXPECT_TRUE(m.SelList.empty());
    m.SelList = {4};
    m.RedoExecute();
    EXPECT_TRUE(m.SelList.empty());
}

TEST_F(UndoRedo, CopyLineListCopiesAllTwentyFieldsDeeply) {
    m.LineList[2][19] = "tail";
    m.LineList[2][12] = "S";
    m.CopyLineList(&m.LineList, m.RedoList);
    EXPECT_EQ(m.RedoList, m.LineList);
    m.LineList[2][19] = "changed";
    EXPECT_EQ(m.RedoList[2][19], "tail");
    EXPECT_FALSE(m.UndoEnabled()) << "only a copy into the undo list enables Undo";
    EXPECT_TRUE(m.Modified);
}

TEST_F(UndoRedo, CopyLineListWithoutASourceOnlyEmptiesTheTarget) {
    Edit();
    m.Modified = false;
    m.CopyLineList(nullptr, m.UndoList);
    EXPECT_TRUE(m.UndoList.empty());
    EXPECT_FALSE(m.Modified);
    EXPECT_TRUE(m.UndoEnabled()) << "the states are the window's to reset on close";
}

TEST_F(UndoRedo, CopyLineListOntoItselfKeepsTheLines) {
    m.CopyLineList(&m.LineList, m.LineList);
    EXPECT_EQ(StoredText(m.LineList), before);
}

// The address sanitizer reserves far more address space than a limit leaves, so the test of a
// failed allocation only runs without it.
#if defined(__SANITIZE_ADDRESS__)
#define ZUN_NO_ADDRESS_LIMIT 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZUN_NO_ADDRESS_LIMIT 1
#endif
#endif

#ifndef ZUN_NO_ADDRESS_LIMIT
namespace {

// Writes the message box's text where the death test can read it.
class StderrPrompt : public Prompt {
public:
    void Message(const std::string& text, const std::string&, MessageKind) override {
        std::fputs(("box: " + text + "\n").c_str(), stderr);
    }
    bool YesNo(const std::string&, const std::string&) override { return false; }
    PromptAnswer YesNoCancel(const std::string&, const std::string&) override {
        return PromptAnswer::Cancel;
    }
    std::optional<std::string> OpenFile(const FileChooser&) override { return {}; }
    std::vector<std::string> OpenFiles(const FileChooser&) override { return {}; }
    std::optional<std::string> SaveFile(const FileChooser&) override { return {}; }
};

// Leaves this process little more address space than it uses now.
void LimitAddressSpace() {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit =
        static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (16u << 20);
    rlimit r{limit, limit};
    setrlimit(RLIMIT_AS, &r);
}

const std::size_t HugeField = 256u << 20;

void CopyWithoutMemory(Prompt* prompt) {
    ProjectModel m;
    m.MemoryPrompt = prompt;
    ProjectLines big(1);
    big[0][1].assign(HugeField, 'x');
    LimitAddressSpace();
    m.CopyLineList(&big, m.UndoList);
}

void InsertWithoutMemory() {
    ProjectModel m;
    const std::string text(HugeField, 'x');
    LimitAddressSpace();
    m.InsertLine(-1, {"INPUT", text});
}

} // namespace

TEST(NotEnoughMemory, ALineThatCannotBeAllocatedIsReportedAndEndsTheProgramWithCode1) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    StderrPrompt prompt;
    EXPECT_EXIT(CopyWithoutMemory(&prompt), ::testing::ExitedWithCode(1),
                "box: Not enough memory\\.");
    EXPECT_EXIT(CopyWithoutMemory(nullptr), ::testing::ExitedWithCode(1), "Not enough memory\\.");
    EXPECT_EXIT(InsertWithoutMemory(), ::testing::ExitedWithCode(1), "Not enough memory\\.");
}
#endif
