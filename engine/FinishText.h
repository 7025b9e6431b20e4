// The output form and the column widths that both finishing jobs share.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qve {

// A wire or signal name is padded to this many columns in connections and declarations.
inline constexpr std::size_t kNameColumns = 25;
// The range field of a Verilog wire declaration.
inline constexpr std::size_t kRangeColumns = 10;
// The type tail of a VHDL signal declaration.
inline constexpr std::size_t kTypeTailColumns = 30;

// Builds the finished top file: every line written after a line end, so the text begins with a
// line end and its last line has none; empty lines at the very end are dropped.
class FinishedTopWriter {
public:
    explicit FinishedTopWriter(std::size_t expectedSize) { text_.reserve(expectedSize); }

    void Line(std::string_view line) {
        text_ += '\n';
        text_ += line;
        if (!line.empty())
            kept_ = text_.size();
    }
    std::string Take() {
        text_.resize(kept_);
        return std::move(text_);
    }

private:
    std::string text_;
    std::size_t kept_ = 0;
};

} // namespace qve
