// One level of undo and redo as whole copies of the project lines.
#include "ModelText.h"

#include <gtest/gtest.h>

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
