// The output form and the column widths that both finishing jobs share.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qve {

// A wire or signal name is padded to this many columns in connections and declarations.
inline constexpr std::size_t kNameColumns = 25;
// The range field of a Verilog wire declaration.
inline constexpr std::size_t kRangeColumns = 10;
// The type tail of a VHDL signal declaration.
inline constexpr std::size_t kTypeTailColumns = 30;

// The finished top file: empty lines at the very end dropped, every line written after a line
// end, so the text begins with a line end and its last line has none.
std::string FinishedTopText(std::vector<std::string> lines);

} // namespace qve
