// The Smart Link window's rule grid and its rule files: the text written, what a read accepts,
// and that a failed read or write loses nothing.
#include "editor/canvas/SmartLinkGrid.h"

#include "support/FileFixtures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// A grid of the window's shape: a header and two rules, the second one rejected, its last cell
// empty.
SmartLinkGrid SampleGrid() {
    SmartLinkGrid g(8, 0);
    g.AppendRow({"Ena", "Once", "Menu Des", "Src Instance", "Src Port", "Des Instance", "Des Port",
                 "Description"});
    g.AppendRow({"Yes", "", "Same Link", "\\w+", "\\w+", "\\w+", "\\b%P0\\b", "any instance"});
    g.AppendRow({"ERR", "Yes", "Broken", "(", "\\w+", "\\w+", "x", ""});
    return g;
}

std::string CellLines(const std::vector<std::string>& cells, const char* end) {
    std::string out;
    for (const std::string& c : cells)
        out += c + end;
    return out;
}

// 2 rows of 8 cells after the counts, joined with the given line end.
std::string TwoRowFile(const char* end) {
    std::vector<std::string> lines = {"2",        "8",
                                      "Ena",      "Once",
                                      "Menu Des", "Src Instance",
                                      "Src Port", "Des Instance",
                                      "Des Port", "Description",
                                      "Yes",      "",
                                      "Rule",     "a",
                                      "b",        "c",
                                      "d",        ""};
    return CellLines(lines, end);
}

TEST(SmartLinkText, WritesCountsThenEveryCellRowByRowWithCrLf) {
    SmartLinkGrid g(8, 2);
    g.SetCell(0, 0, "Ena");
    g.SetCell(7, 0, "Description");
    g.SetCell(0, 1, "Yes");
    g.SetCell(3, 1, "u_(\\d)");
    const std::string text = SmartLinkText(g);
    EXPECT_EQ(text, "2\r\n8\r\nEna\r\n\r\n\r\n\r\n\r\n\r\n\r\nDescription\r\n"
                    "Yes\r\n\r\n\r\nu_(\\d)\r\n\r\n\r\n\r\n\r\n");
}

TEST(SmartLinkText, CellHoldingALineEndIsWrittenWithABlank) {
    SmartLinkGrid g = SampleGrid();
    g.SetCell(7, 1, "two\r\nlines\rand\nmore");
    SmartLinkGrid back;
    ASSERT_TRUE(ParseSmartLinkText(SmartLinkText(g), back));
    EXPECT_EQ(back.Cell(7, 1), "two  lines and more");
    EXPECT_EQ(back.Cell(0, 2), "ERR");
}

TEST(SmartLinkText, GivenCountsWriteThatPartAndZeroMeansTheWholeGrid) {
    const SmartLinkGrid g = SampleGrid();
    EXPECT_EQ(SmartLinkText(g, 0, 0), SmartLinkText(g, 8, 3));
    EXPECT_EQ(SmartLinkText(g, 0, 0), SmartLinkText(g, 80, 30));
    SmartLinkGrid head;
    ASSERT_TRUE(ParseSmartLinkText(SmartLinkText(g, 0, 2), head));
    EXPECT_EQ(head.RowCount(), 2);
    EXPECT_EQ(head.Cell(2, 1), "Same Link");
}

TEST(SmartLinkFile, RoundTripGivesTheSameGridHeaderRejectedRowAndEmptyLastCellIncluded) {
    TempDir dir;
    const SmartLinkGrid g = SampleGrid();
    ASSERT_TRUE(SaveSmartLinkFile(g, dir.Path("r.qvs"), 0, 0));
    SmartLinkGrid back;
    ASSERT_TRUE(LoadSmartLinkFile(back, dir.Path("r.qvs")));
    EXPECT_EQ(back, g);
    EXPECT_EQ(back.Cell(7, 2), "");
    // 3 rows of 8 cells after the two counts, every line ended.
    const std::string bytes = ReadBytes(dir.Path("r.qvs"));
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 26);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), "\r\n\r\n");
}

struct LineEndCase {
    const char* name;
    const char* end;
};

class SmartLinkLineEnds : public ::testing::TestWithParam<LineEndCase> {};

TEST_P(SmartLinkLineEnds, AreAllRead) {
    SmartLinkGrid g;
    ASSERT_TRUE(ParseSmartLinkText(TwoRowFile(GetParam().end), g));
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(g.ColCount(), 8);
    EXPECT_EQ(g.Cell(0, 1), "Yes");
    EXPECT_EQ(g.Cell(1, 1), "");
    EXPECT_EQ(g.Cell(6, 1), "d");
    EXPECT_EQ(g.Cell(7, 1), "");
}

INSTANTIATE_TEST_SUITE_P(Qvs, SmartLinkLineEnds,
                         ::testing::Values(LineEndCase{"CrLf", "\r\n"}, LineEndCase{"Lf", "\n"},
                                           LineEndCase{"LoneCr", "\r"}),
                         [](const auto& p) { return std::string(p.param.name); });

struct BadFileCase {
    const char* name;
    std::string text;
};

class SmartLinkBadFiles : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(SmartLinkBadFiles, AreRefusedAndTheGridStaysAsItWas) {
    TempDir dir;
    WriteBytes(dir.Path("bad.qvs"), GetParam().text);
    SmartLinkGrid g = SampleGrid();
    EXPECT_FALSE(LoadSmartLinkFile(g, dir.Path("bad.qvs")));
    EXPECT_EQ(g, SampleGrid());
}

const std::string kAllCells = TwoRowFile("\r\n").substr(6); // the 16 cells of two rows

INSTANTIATE_TEST_SUITE_P(
    Qvs, SmartLinkBadFiles,
    ::testing::Values(
        BadFileCase{"Empty", ""}, BadFileCase{"Words", "abc"},
        BadFileCase{"RowCountNotANumber", "abc\r\n8\r\n" + kAllCells},
        BadFileCase{"ColumnCountNotANumber", "2\r\n8x\r\n" + kAllCells},
        BadFileCase{"OneCellShort", TwoRowFile("\r\n").substr(0, TwoRowFile("\r\n").size() - 2)},
        BadFileCase{"CountsOnly", "2\r\n8\r\n"},
        BadFileCase{"FiveColumns", "2\r\n5\r\n" + kAllCells},
        BadFileCase{"SixColumnsNoDestinationPort", "2\r\n6\r\n" + kAllCells},
        BadFileCase{"ZeroColumns", "2\r\n0\r\n" + kAllCells},
        BadFileCase{"NineColumnsOneCellShort", "2\r\n9\r\n" + kAllCells + "x\r\n"},
        BadFileCase{"OneRow", "1\r\n8\r\n" + kAllCells},
        BadFileCase{"NegativeRows", "-2\r\n8\r\n" + kAllCells},
        BadFileCase{"RowsBeyond32Bits", "2147483648\r\n8\r\n" + kAllCells},
        BadFileCase{"RowsWhoseCellsOverflow32Bits", "2147483647\r\n8\r\n" + kAllCells},
        BadFileCase{"RowsTimesColumnsWrapToTheCellsPresent", "536870914\r\n8\r\n" + kAllCells}),
    [](const auto& p) { return std::string(p.param.name); });

// Regression: a rule file was read only with exactly 8 columns, so one with a column more got
// "Load error.". The counts come from the file; what is taken is a grid that can hold rules.
TEST(SmartLinkFile, TakesTheColumnCountTheFileGivesFromTheRuleColumnsOn) {
    for (int columns : {7, 8, 9, 12}) {
        std::vector<std::string> lines = {"3", std::to_string(columns)};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < columns; ++c)
                lines.push_back(r == 0 ? "head" + std::to_string(c)
                                       : "r" + std::to_string(r) + "c" + std::to_string(c));
        SmartLinkGrid g;
        ASSERT_TRUE(ParseSmartLinkText(CellLines(lines, "\r\n"), g)) << columns;
        EXPECT_EQ(g.ColCount(), columns);
        EXPECT_EQ(g.RowCount(), 3);
        EXPECT_EQ(g.Cell(columns - 1, 0), "head" + std::to_string(columns - 1));
        EXPECT_EQ(g.Cell(columns - 1, 2), "r2c" + std::to_string(columns - 1));
        // And back the same, with every column.
        SmartLinkGrid back;
        ASSERT_TRUE(ParseSmartLinkText(SmartLinkText(g), back)) << columns;
        EXPECT_EQ(back, g) << columns;
    }
}

TEST(SmartLinkFile, MissingFileIsRefusedAndTheGridStays) {
    TempDir dir;
    SmartLinkGrid g = SampleGrid();
    EXPECT_FALSE(LoadSmartLinkFile(g, dir.Path("none.qvs")));
    EXPECT_EQ(g, SampleGrid());
}

TEST(SmartLinkFile, LinesBeyondTheLastCellAreIgnored) {
    SmartLinkGrid g;
    ASSERT_TRUE(ParseSmartLinkText(TwoRowFile("\r\n") + "extra\r\nmore\r\n", g));
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(g.Cell(7, 1), "");
}

TEST(SmartLinkFile, FailedSaveIntoAReadOnlyFolderKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir.Path("ro/rules.qvs");
    ASSERT_EQ(::mkdir(dir.Path("ro").c_str(), 0755), 0);
    WriteBytes(path, "old");
    ASSERT_EQ(::chmod(dir.Path("ro").c_str(), 0555), 0);
    const SmartLinkGrid g = SampleGrid();
    // As nobody when the tests run as root, so the folder's permissions hold.
    const int result = RunUnprivileged([&] { return SaveSmartLinkFile(g, path, 0, 0) ? 1 : 0; });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(TempDir::ListNames(dir.Path("ro")), std::vector<std::string>{"rules.qvs"});
}

TEST(SmartLinkGridCells, OutsideTheGridReadEmptyAndAreNotWritten) {
    SmartLinkGrid g(8, 2);
    g.SetCell(8, 0, "x");
    g.SetCell(0, 2, "x");
    g.SetCell(-1, 0, "x");
    EXPECT_EQ(g, SmartLinkGrid(8, 2));
    EXPECT_EQ(g.Cell(8, 1), "");
    EXPECT_EQ(g.Cell(0, -1), "");
}

TEST(SmartLinkGridCells, MoveRowTakesTheRowOutAndPutsItAtTheTarget) {
    SmartLinkGrid g(8, 0);
    for (const char* name : {"h", "a", "b", "c"})
        g.AppendRow({name});
    g.MoveRow(3, 1);
    EXPECT_EQ(g.Cell(0, 1), "c");
    EXPECT_EQ(g.Cell(0, 2), "a");
    EXPECT_EQ(g.Cell(0, 3), "b");
    g.MoveRow(1, 3);
    EXPECT_EQ(g.Cell(0, 1), "a");
    EXPECT_EQ(g.Cell(0, 3), "c");
}

} // namespace
