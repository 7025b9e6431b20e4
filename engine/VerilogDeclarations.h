// The declarations of a Verilog module body (input, output, inout, parameter), read by hand from
// left to right in one pass, so a declaration of any length costs its length.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qve {

// One declaration as the declaration pattern of the project-text job takes it: the keyword, the
// bounds of its range (empty without one), and the list of names with their values, up to a
// comma before the next declaration keyword, a ";" or a ")".
struct VerilogDeclarationParts {
    std::string_view keyword;
    std::string_view first;
    std::string_view second;
    std::string_view items;
    // After the list: where the next declaration is looked for.
    std::size_t end = 0;
};

// The declarations of a body whose white space is single blanks, in text order. A keyword that
// the pattern would not read there (no name list that ends as it must) yields nothing, and the
// next keyword after it is tried, as the pattern's own search would.
class VerilogDeclarationReader {
public:
    explicit VerilogDeclarationReader(std::string_view body);

    std::optional<VerilogDeclarationParts> Next();

private:
    std::optional<VerilogDeclarationParts> At(std::size_t keyword, std::size_t keywordEnd) const;
    std::optional<std::size_t> Items(std::size_t begin) const;
    std::optional<std::size_t> NameEnd(std::size_t begin) const;
    std::optional<std::size_t> ValueEnd(std::size_t begin) const;

    std::string_view body_;
    // Every declaration keyword: its start and end, in text order.
    std::vector<std::pair<std::size_t, std::size_t>> keywords_;
    std::size_t nextKeyword_ = 0;
    std::size_t position_ = 0;
    // After the bracket that closes the one at open, with everything balanced inside (strings
    // whole), or nothing when none does.
    std::optional<std::size_t> GroupEnd(std::size_t open) const;
    // What GroupEnd found for each bracket it met: npos for one that nothing closes. A bracket is
    // looked at once, however many declarations ask.
    mutable std::unordered_map<std::size_t, std::size_t> groupEnds_;
};

} // namespace qve
