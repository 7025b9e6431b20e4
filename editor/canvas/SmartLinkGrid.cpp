// The Smart Link window's rule grid and its rule files.
#include "editor/canvas/SmartLinkGrid.h"

#include "editor/canvas/SmartLink.h"
#include "editor/model/ProjectFile.h"
#include "editor/model/ProjectLine.h"
#include "platform/TextFile.h"
#include "platform/TextLines.h"

#include <algorithm>
#include <cstdint>

namespace {

// The fewest columns and rows a grid of rules has: the "Ena" column and the texts of a rule up
// to its destination port (the description and any further column may be missing or added),
// and the header with one rule row.
constexpr int kFileMinColumns = MinRuleWidth + 1;
constexpr int kFileMinRows = 2;

const std::string kNoCell;

void AppendCellLine(std::string& out, const std::string& cell) {
    for (char c : cell)
        out.push_back(c == '\r' || c == '\n' ? ' ' : c);
    out += "\r\n";
}

} // namespace

SmartLinkGrid::SmartLinkGrid(int columns, int rows) : columns_(std::max(columns, 0)) {
    rows_.assign(static_cast<std::size_t>(std::max(rows, 0)),
                 std::vector<std::string>(static_cast<std::size_t>(columns_)));
}

const std::string& SmartLinkGrid::Cell(int column, int row) const {
    if (column < 0 || column >= columns_ || row < 0 || row >= RowCount())
        return kNoCell;
    return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void SmartLinkGrid::SetCell(int column, int row, std::string text) {
    if (column < 0 || column >= columns_ || row < 0 || row >= RowCount())
        return;
    rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = std::move(text);
}

void SmartLinkGrid::AppendRow(std::vector<std::string> cells) {
    cells.resize(static_cast<std::size_t>(columns_));
    rows_.push_back(std::move(cells));
}

void SmartLinkGrid::DeleteRow(int row) {
    if (row < 0 || row >= RowCount())
        return;
    rows_.erase(rows_.begin() + row);
}

void SmartLinkGrid::MoveRow(int from, int to) {
    if (from < 0 || from >= RowCount() || to < 0 || to >= RowCount() || from == to)
        return;
    std::vector<std::string> moved = std::move(rows_[static_cast<std::size_t>(from)]);
    rows_.erase(rows_.begin() + from);
    rows_.insert(rows_.begin() + to, std::move(moved));
}

bool SmartLinkGrid::RowEmptyFrom(int row, int first) const {
    for (int c = std::max(first, 0); c < columns_; ++c)
        if (!Cell(c, row).empty())
            return false;
    return true;
}

std::string SmartLinkText(const SmartLinkGrid& grid, int columns, int rows) {
    if (columns <= 0 || columns > grid.ColCount())
        columns = grid.ColCount();
    if (rows <= 0 || rows > grid.RowCount())
        rows = grid.RowCount();
    std::string out = std::to_string(rows) + "\r\n" + std::to_string(columns) + "\r\n";
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            AppendCellLine(out, grid.Cell(c, r));
    return out;
}

bool ParseSmartLinkText(const std::string& text, SmartLinkGrid& grid) {
    const std::vector<std::string> lines = platform::SplitLines(text);
    if (lines.size() < 2)
        return false;
    const std::optional<int> rows = ParseDecimal(lines[0]);
    const std::optional<int> columns = ParseDecimal(lines[1]);
    if (!rows || !columns || *columns < kFileMinColumns || *rows < kFileMinRows)
        return false;
    // Counted in 64 bits before anything is allocated: the lines must all be there.
    const std::int64_t cells = std::int64_t{*rows} * std::int64_t{*columns};
    if (static_cast<std::int64_t>(lines.size()) - 2 < cells)
        return false;
    SmartLinkGrid read(*columns, 0);
    std::size_t next = 2;
    for (int r = 0; r < *rows; ++r) {
        std::vector<std::string> row(lines.begin() + static_cast<std::ptrdiff_t>(next),
                                     lines.begin() + static_cast<std::ptrdiff_t>(next) + *columns);
        next += static_cast<std::size_t>(*columns);
        read.AppendRow(std::move(row));
    }
    grid = std::move(read);
    return true;
}

bool SaveSmartLinkFile(const SmartLinkGrid& grid, const std::string& fileName, int columns,
                       int rows, MessageLog* log) {
    return SaveTextFile(fileName, SmartLinkText(grid, columns, rows), log).ok;
}

bool LoadSmartLinkFile(SmartLinkGrid& grid, const std::string& fileName) {
    std::string text;
    if (!platform::ReadWholeFile(fileName, text))
        return false;
    return ParseSmartLinkText(text, grid);
}
