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

namespace {

// Every field of every line, byte for byte: lines end with CR LF, fields are split by TAB.
std::string FullText(const ProjectLines& lines) {
    std::string out;
    for (const ProjectLine& l : lines) {
        for (std::size_t f = 0; f < ProjectLineFields; ++f)
            out += (f ? "\t" : "") + l[f];
        out += "\r\n";
    }
    return out;
}

// How many lines of a hold the very stored fields of the line at the same place in b.
std::size_t SharedLines(const ProjectLines& a, const ProjectLines& b) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        n += a[i].SharesStoredFields(b[i]) ? 1 : 0;
    return n;
}

struct FieldGroup {
    const char* name;
    std::vector<std::size_t> fields;
    bool unshares; // a write there makes the written line's own copy of its stored fields
};

class UndoOfAFieldGroup : public UndoRedo, public ::testing::WithParamInterface<FieldGroup> {};

} // namespace

TEST_F(UndoRedo, TheUndoCopySharesEveryLineAndTheRebuildKeepsItThatWay) {
    m.TakeUndoSnapshot();
    EXPECT_EQ(SharedLines(m.LineList, m.UndoList), m.LineList.size());
    m.ClearMarks();
    m.UpdatePicExecute(RebuildSender::MainWindow);
    EXPECT_EQ(SharedLines(m.LineList, m.UndoList), m.LineList.size())
        << "the rebuild reads the lines without making copies of them";
    m.LineList[3][3] = "renamed";
    EXPECT_EQ(SharedLines(m.LineList, m.UndoList), m.LineList.size() - 1)
        << "only the line written to has its own copy";
    EXPECT_EQ(m.UndoList[3][3], LinesFromText(SmallProject)[3][3]);
}

TEST_P(UndoOfAFieldGroup, GivesBackTheTextBeforeTheWriteAndRedoTheTextAfterIt) {
    const std::string textBefore = FullText(m.LineList);
    m.TakeUndoSnapshot();
    // A port line and an instance line, each written in every field of the group.
    for (std::size_t line : {std::size_t{1}, std::size_t{3}})
        for (std::size_t f : GetParam().fields)
            m.LineList[line][f] = "w" + std::to_string(f);
    EXPECT_EQ(SharedLines(m.LineList, m.UndoList),
              m.LineList.size() - (GetParam().unshares ? 2 : 0));
    m.UpdatePicExecute(RebuildSender::MainWindow);
    const std::string textAfter = FullText(m.LineList);
    ASSERT_NE(textAfter, textBefore);

    ASSERT_TRUE(m.UndoExecute().has_value());
    EXPECT_EQ(FullText(m.LineList), textBefore);
    ASSERT_TRUE(m.RedoExecute().has_value());
    EXPECT_EQ(FullText(m.LineList), textAfter);
    ASSERT_TRUE(m.UndoExecute().has_value());
    EXPECT_EQ(FullText(m.LineList), textBefore);
}

// Fields 10 and 11 are the rebuild's own, written again by it; the others of the run-time part
// keep what was written.
INSTANTIATE_TEST_SUITE_P(Groups, UndoOfAFieldGroup,
                         ::testing::Values(FieldGroup{"stored", {0, 1, 2, 3, 4, 5, 6, 7}, true},
                                           FieldGroup{"runtime",
                                                      {FieldBrush, FieldPen, FieldSuggestion,
                                                       FieldCollapsed},
                                                      false},
                                           FieldGroup{"carried", {14, 15, 16, 17, 18, 19}, true}),
                         [](const ::testing::TestParamInfo<FieldGroup>& group) {
                             return std::string(group.param.name);
                         });

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

// A copy shares the stored fields, so copying allocates only what a line holds of its own: a
// huge run-time field.
void CopyWithoutMemory(Prompt* prompt) {
    ProjectModel m;
    m.MemoryPrompt = prompt;
    ProjectLines big(1);
    big[0][FieldBrush].assign(HugeField, 'x');
    LimitAddressSpace();
    m.CopyLineList(&big, m.UndoList);
}

// The undo copy shares the huge line; the first write to it makes the line's own copy, which is
// where the memory runs out now.
void WriteSharedLineWithoutMemory(Prompt* prompt) {
    ProjectModel m;
    m.MemoryPrompt = prompt;
    m.LineList.resize(1);
    m.LineList[0][1].assign(HugeField, 'x');
    m.TakeUndoSnapshot();
    LimitAddressSpace();
    m.LineList[0][2] = "y";
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

TEST(NotEnoughMemory, AWriteToALineSharedWithTheUndoCopyThatCannotBeAllocatedIsReportedTheSameWay) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    StderrPrompt prompt;
    EXPECT_EXIT(WriteSharedLineWithoutMemory(&prompt), ::testing::ExitedWithCode(1),
                "box: Not enough memory\\.");
    EXPECT_EXIT(WriteSharedLineWithoutMemory(nullptr), ::testing::ExitedWithCode(1),
                "Not enough memory\\.");
}
#endif
