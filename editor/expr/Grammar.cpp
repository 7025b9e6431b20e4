// The grammar tables and the derivation of the Wirth-Weber relations from them.
#include "editor/expr/Grammar.h"

#include "editor/expr/Chain.h"

#include <algorithm>
#include <bitset>
#include <stdexcept>

namespace expr {

const std::array<std::string_view, RuleCount> Grammar = {
    "F::=N",
    "F::=I",
    "F::=FUNCTION",
    "F::=(G)",
    "D::=F",
    "C::=D",
    "C::=C/D",
    "C::=C*D",
    "B::=C",
    "A::=B",
    "A::=A-B",
    "A::=A+B",
    "E::=A",
    "G::=E",
    "FUNCTION::=FUNCTION_NAME(G)",
    "CONDITION2::=(CONDITION1)",
    "CONDITION2::=E<>E",
    "CONDITION2::=E>=E",
    "CONDITION2::=E<=E",
    "CONDITION2::=E=E",
    "CONDITION2::=E>E",
    "CONDITION2::=E<E",
    "CONDITION1::=CONDITION2",
    "CONDITION1::=CONDITION1 OR CONDITION2",
    "CONDITION1::=CONDITION1 AND CONDITION2",
    "CONDITION2::=NOT CONDITION2",
    "CONDITION::=CONDITION1",
    "OPERATOR1::=REPEAT PROGRAM UNTIL CONDITION",
    "OPERATOR1::=WHILE CONDITION DO OPERATOR",
    "OPERATOR1::=FOR I:=G TO G DO OPERATOR",
    "OPERATOR1::=IF CONDITION THEN OPERATOR ELSE OPERATOR",
    "OPERATOR1::=IF CONDITION THEN OPERATOR",
    "OPERATOR::=OPERATOR1",
    "OPERATOR::=BEGIN PROGRAM END",
    "OPERATOR::=I:=G",
    "OPERATOR::=G",
    "OPERATORS::=OPERATOR",
    "OPERATORS::=OPERATORS OPERATOR",
    "PROGRAM::=OPERATORS",
    "OK::=$PROGRAM$",
};

const std::array<std::string_view, SymbolCount> MatrixHandleLine = {
    "$",          "PROGRAM",
    "OPERATORS",  "OPERATOR",
    "OPERATOR1",  "BEGIN",
    "END",        "IF",
    "THEN",       "ELSE",
    "FOR",        "TO",
    "DO",         "WHILE",
    "REPEAT",     "UNTIL",
    ":=",         "NOT",
    "AND",        "OR",
    "<=",         ">=",
    "<>",         "<",
    ">",          "=",
    "+",          "-",
    "*",          "/",
    "CONDITION",  "CONDITION1",
    "CONDITION2", "G",
    "E",          "A",
    "B",          "C",
    "D",          "F",
    "I",          "N",
    "(",          ")",
    "FUNCTION",   "FUNCTION_NAME",
};

namespace {

// The start symbol "OK" is the one left side that is not a table symbol; it gets the number
// after the last one so that the derivation can treat it like the others.
constexpr std::size_t StartSymbol = SymbolCount;
constexpr std::size_t AllSymbols = SymbolCount + 1;

using SymbolSet = std::bitset<AllSymbols>;

std::size_t DerivationNumber(std::string_view symbol) {
    if (symbol == "OK") {
        return StartSymbol;
    }
    const auto number = SymbolNumber(symbol);
    if (!number) {
        throw std::logic_error("grammar symbol missing from the table: " + std::string(symbol));
    }
    return *number;
}

// A right side as symbols: blanks separate, and where they do not ("I:=G", "FUNCTION_NAME(G)")
// the longest symbol that fits is taken.
std::vector<std::size_t> SplitRight(std::string_view right) {
    std::vector<std::size_t> symbols;
    std::size_t at = 0;
    while (at < right.size()) {
        if (right[at] == ' ') {
            ++at;
            continue;
        }
        std::size_t best = SymbolCount;
        for (std::size_t s = 0; s < SymbolCount; ++s) {
            const std::string_view name = MatrixHandleLine[s];
            if (right.substr(at).starts_with(name) &&
                (best == SymbolCount || name.size() > MatrixHandleLine[best].size())) {
                best = s;
            }
        }
        if (best == SymbolCount) {
            throw std::logic_error("grammar rule with an unknown symbol: " + std::string(right));
        }
        symbols.push_back(best);
        at += MatrixHandleLine[best].size();
    }
    return symbols;
}

struct SplitRule {
    std::size_t Left;
    std::vector<std::size_t> Right;
};

std::vector<SplitRule> SplitGrammar() {
    std::vector<SplitRule> rules;
    for (const GrammarRule& rule : Rules()) {
        rules.push_back(SplitRule{DerivationNumber(rule.Left), SplitRight(rule.Right)});
    }
    return rules;
}

// FIRST+ or LAST+: the symbols a left side can begin (or end) with through one or more steps.
std::array<SymbolSet, AllSymbols> EdgeClosure(const std::vector<SplitRule>& rules, bool first) {
    std::array<SymbolSet, AllSymbols> sets{};
    for (const SplitRule& rule : rules) {
        sets[rule.Left].set(first ? rule.Right.front() : rule.Right.back());
    }
    bool grown = true;
    while (grown) {
        grown = false;
        for (std::size_t s = 0; s < AllSymbols; ++s) {
            SymbolSet widened = sets[s];
            for (std::size_t t = 0; t < AllSymbols; ++t) {
                if (sets[s].test(t)) {
                    widened |= sets[t];
                }
            }
            if (widened != sets[s]) {
                sets[s] = widened;
                grown = true;
            }
        }
    }
    return sets;
}

struct Resolution {
    std::string_view Row;
    std::string_view Column;
    char Kept;
};

// The grammar is not quite a simple-precedence grammar; these are its two conflicts.
// "(" CONDITION1: "=" lets "(1=1)" close as a parenthesised condition; the price is that AND and
// OR cannot be reduced inside parentheses. OPERATOR ELSE: "=" gives ELSE to the nearest IF.
constexpr std::array<Resolution, 2> ConflictResolutions = {{
    {"(", "CONDITION1", RelationEqual},
    {"OPERATOR", "ELSE", RelationEqual},
}};

PrecedenceMatrix BuildMatrix() {
    PrecedenceMatrix::Cells cells{};
    std::vector<MatrixConflict> conflicts;
    const std::vector<SplitRule> rules = SplitGrammar();
    const auto firsts = EdgeClosure(rules, true);
    const auto lasts = EdgeClosure(rules, false);

    // Bits 0, 1, 2: '<', '=', '>'.
    std::array<std::array<std::bitset<3>, SymbolCount>, SymbolCount> found{};
    for (const SplitRule& rule : rules) {
        for (std::size_t i = 0; i + 1 < rule.Right.size(); ++i) {
            const std::size_t x = rule.Right[i];
            const std::size_t y = rule.Right[i + 1];
            found[x][y].set(1);
            for (std::size_t f = 0; f < SymbolCount; ++f) {
                if (firsts[y].test(f)) {
                    found[x][f].set(0);
                }
            }
            for (std::size_t l = 0; l < SymbolCount; ++l) {
                if (!lasts[x].test(l)) {
                    continue;
                }
                found[l][y].set(2);
                for (std::size_t f = 0; f < SymbolCount; ++f) {
                    if (firsts[y].test(f)) {
                        found[l][f].set(2);
                    }
                }
            }
        }
    }

    constexpr std::string_view relationChars = "<=>";
    for (std::size_t r = 0; r < SymbolCount; ++r) {
        for (std::size_t c = 0; c < SymbolCount; ++c) {
            const std::bitset<3> bits = found[r][c];
            std::string relations;
            for (std::size_t b = 0; b < 3; ++b) {
                if (bits.test(b)) {
                    relations.push_back(relationChars[b]);
                }
            }
            if (relations.empty()) {
                cells[r][c] = RelationNone;
                continue;
            }
            char kept = relations.front();
            if (relations.size() > 1) {
                for (const Resolution& resolution : ConflictResolutions) {
                    if (MatrixHandleLine[r] == resolution.Row &&
                        MatrixHandleLine[c] == resolution.Column) {
                        kept = resolution.Kept;
                    }
                }
                conflicts.push_back(MatrixConflict{r, c, relations, kept});
            }
            cells[r][c] = kept;
        }
    }
    // After the closing "$" the scanner keeps answering "$"; the whole text is reduced on it.
    cells[0][0] = RelationGreater;
    return PrecedenceMatrix(cells, std::move(conflicts));
}

} // namespace

const std::vector<GrammarRule>& Rules() {
    static const std::vector<GrammarRule> rules = [] {
        std::vector<GrammarRule> all;
        for (const std::string_view stored : Grammar) {
            const std::size_t arrow = stored.find("::=");
            GrammarRule rule;
            rule.Left = std::string(stored.substr(0, arrow));
            rule.Right = std::string(stored.substr(arrow + 3));
            rule.Handle = GetUpperCase(rule.Right);
            all.push_back(std::move(rule));
        }
        return all;
    }();
    return rules;
}

const PrecedenceMatrix& Matrix() {
    static const PrecedenceMatrix matrix = BuildMatrix();
    return matrix;
}

std::optional<std::size_t> SymbolNumber(std::string_view symbol) {
    const auto found = std::find(MatrixHandleLine.begin(), MatrixHandleLine.end(), symbol);
    if (found == MatrixHandleLine.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - MatrixHandleLine.begin());
}

} // namespace expr
