// The rule grid of the Smart Link window as plain cells, and its rule files (".qvs").
#pragma once

#include <string>
#include <vector>

class MessageLog;

// Cells by column and row; row 0 is the header. Every row has ColCount cells. Reading a cell
// outside the grid gives an empty text, so no caller can read past it.
class SmartLinkGrid {
public:
    SmartLinkGrid() = default;
    SmartLinkGrid(int columns, int rows);

    int ColCount() const { return columns_; }
    int RowCount() const { return static_cast<int>(rows_.size()); }
    const std::string& Cell(int column, int row) const;
    // Nothing outside the grid.
    void SetCell(int column, int row, std::string text);
    // The row's cells; shorter rows are filled with empty cells, longer ones cut.
    void AppendRow(std::vector<std::string> cells);
    // Nothing outside the grid.
    void DeleteRow(int row);
    // Takes the row out and puts it back at index to, as a dragged row lands.
    void MoveRow(int from, int to);
    // Whether every cell of the row from column first on is empty.
    bool RowEmptyFrom(int row, int first) const;

    bool operator==(const SmartLinkGrid&) const = default;

private:
    int columns_ = 0;
    std::vector<std::vector<std::string>> rows_;
};

// The file's text: the row count, the column count, then every cell row by row from the header,
// one line each, every line ended by CR LF. A CR or LF inside a cell is written as a blank, so
// the cell stays one line. columns or rows 0 (or more than the grid has) mean the grid's own.
std::string SmartLinkText(const SmartLinkGrid& grid, int columns = 0, int rows = 0);

// Reads a rule file's text into grid, with the row and column counts the file gives. Lines end
// with CR LF, LF or a lone CR; an empty line is an empty cell. Only a grid that can hold rules is
// taken: at least the columns up to "Des Port" (7), the header and one rule row, and a line for
// every cell. On failure grid is left as it was.
bool ParseSmartLinkText(const std::string& text, SmartLinkGrid& grid);

// Writes the grid's file as one step: on failure the previous file is untouched. A file whose
// folder cannot take a temporary copy is rewritten in place, which is logged to log when given.
bool SaveSmartLinkFile(const SmartLinkGrid& grid, const std::string& fileName, int columns,
                       int rows, MessageLog* log = nullptr);
// Reads the file into grid, with the counts the file gives; false, with grid unchanged, when it
// is missing, unreadable or holds no grid ParseSmartLinkText takes.
bool LoadSmartLinkFile(SmartLinkGrid& grid, const std::string& fileName);
