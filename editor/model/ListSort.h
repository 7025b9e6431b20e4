// The column sort of the editor's report lists: a click on a column header sorts the rows by
// that column's text, ASCII letters without regard to case, and every sort flips the order for
// the next one.
#pragma once

#include "platform/AsciiCase.h"

#include <algorithm>
#include <string>
#include <vector>

// text(row, column) gives the text a row shows in a column. sortColumn takes the column; the
// rows go ascending while ascending is set, and ascending flips afterwards.
template <class Row, class Text>
void SortListByColumn(std::vector<Row>& rows, int column, int& sortColumn, bool& ascending,
                      Text text) {
    sortColumn = column;
    const bool up = ascending;
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        const std::string& x = text(a, column);
        const std::string& y = text(b, column);
        return up ? platform::LessIgnoringAsciiCase(x, y) : platform::LessIgnoringAsciiCase(y, x);
    });
    ascending = !ascending;
}
