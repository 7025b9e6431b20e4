// The statement language's grammar, its symbols, and the simple-precedence relations the
// translator runs on, derived from the grammar's rules.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace expr {

inline constexpr std::size_t RuleCount = 40;
inline constexpr std::size_t SymbolCount = 46;

// The rules as stored: left side, "::=", right side.
extern const std::array<std::string_view, RuleCount> Grammar;
// The symbols in the order that numbers the relation table's rows and columns.
extern const std::array<std::string_view, SymbolCount> MatrixHandleLine;

// Relations: '<' (the right symbol opens a handle: shift), '=' (same handle: shift), '>' (the
// left symbol closes a handle: reduce), ' ' (no relation: error).
inline constexpr char RelationLess = '<';
inline constexpr char RelationEqual = '=';
inline constexpr char RelationGreater = '>';
inline constexpr char RelationNone = ' ';

struct GrammarRule {
    std::string Left;
    std::string Right;  // as stored, blanks included
    std::string Handle; // the right side without blanks, as the parse stack spells a handle
};

// A cell for which the rules give more than one relation, and the one the table keeps.
struct MatrixConflict {
    std::size_t Row = 0;
    std::size_t Column = 0;
    std::string Relations;
    char Kept = RelationNone;
};

class PrecedenceMatrix {
public:
    using Cells = std::array<std::array<char, SymbolCount>, SymbolCount>;

    PrecedenceMatrix(const Cells& cells, std::vector<MatrixConflict> conflicts)
        : cells_(cells), conflicts_(std::move(conflicts)) {}

    // Row: the symbol on top of the parse stack; column: the incoming symbol; both 0-based.
    char Relation(std::size_t row, std::size_t column) const { return cells_[row][column]; }
    const std::vector<MatrixConflict>& Conflicts() const { return conflicts_; }

private:
    Cells cells_;
    std::vector<MatrixConflict> conflicts_;
};

// Built once, on first use.
const PrecedenceMatrix& Matrix();
const std::vector<GrammarRule>& Rules();

// The 0-based number of a symbol, nothing when it is not one of the 46.
std::optional<std::size_t> SymbolNumber(std::string_view symbol);

} // namespace expr
