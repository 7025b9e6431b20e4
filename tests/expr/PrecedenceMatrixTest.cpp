// The relation table in use against the relation table as first written for this grammar: every
// cell where they differ is listed, so the departure stays visible, and the derivation is pinned.
#include "editor/expr/ExprEvaluator.h"
#include "editor/expr/Grammar.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using expr::Matrix;
using expr::MatrixHandleLine;
using expr::SymbolCount;
using expr::SymbolNumber;

// The relation table as first written, row by row in symbol order, columns in groups of ten: L "<",
// E "=", G ">", a dot no relation.
const std::array<std::string_view, SymbolCount> FirstWrittenMatrix = {
    "GELLLL.L.. L..LL..... .......... ...LLLLLLL LLL.LL", // 1 $
    "E.....E... .....E.... .......... .......... ......", // 2 PROGRAM
    "G..E..GL.. L..LLG.... .......... ...LLLLLLL LLL.LL", // 3 OPERATORS
    "G....GGG.E G..GGG.... .......... ...GGGGGGG GGG.GG", // 4 OPERATOR
    "G....GGG.G G..GGG.... .......... ...GGGGGGG GGG.GG", // 5 OPERATOR1
    ".ELLLL.L.. L..LL..... .......... ...LLLLLLL LLL.LL", // 6 BEGIN
    "G..E.GG.GG .G...GGG.. .......... ...GGGGGGG GGG.GG", // 7 END
    ".......... .......L.. .......... .ELLLLLLLL LLLL..", // 8 IF
    "...ELL.L.. L..LL..... .......... ...LLLLLLL LLL.LL", // 9 THEN
    "...ELL.L.. L..LL..... .......... ...LLLLLLL LLL.LL", // 10 ELSE
    ".......... .......... .......... .......... E.....", // 11 FOR
    ".......... .......... .......... ...ELLLLLL LLL...", // 12 TO
    "...ELL.L.. L..LL..... .......... ...LLLLLLL LLL.LL", // 13 DO
    ".......... .......L.. .......... .ELLLLLLLL LLLL..", // 14 WHILE
    ".ELLLL.L.. L..LL..... .......... ...LLLLLLL LLL...", // 15 REPEAT
    ".......... .......L.. .......... .ELLLLLLLL LLLL.L", // 16 UNTIL
    ".......... .......... .......... ...ELLLLLL LLL.LL", // 17 :=
    ".......... .......L.. .......... ..ELLLLLLL LLLL.L", // 18 NOT
    ".......... .......L.. .......... ..ELLLLLLL LLLL.L", // 19 AND
    ".......... .......L.. .......... ..ELLLLLLL LLLL.L", // 20 OR
    ".......... .......... .......... ....ELLLLL LLL.LL", // 21 <=
    ".......... .......... .......... ....ELLLLL LLL.LL", // 22 >=
    ".......... .......... .......... ....ELLLLL LLL.LL", // 23 <>
    ".......... .......... .......... ....ELLLLL LLL.LL", // 24 <
    ".......... .......... .......... ....ELLLLL LLL.LL", // 25 >
    ".......... .......... .......... ....ELLLLL LLL.LL", // 26 =
    ".......... .......... .......... ......ELLL LLL.LL", // 27 +
    ".......... .......... .......... ......ELLL LLL.LL", // 28 -
    ".......... .......... .......... ........EL LLL.LL", // 29 *
    ".......... .......... .......... ........EL LLL.LL", // 30 /
    "G....G..E. GE..GG.... .......... ...GGGGGGG GGG.GG", // 31 CONDITION
    "G....G..G. GG..GGG... EE........ ...GGGGGGG GGGEGG", // 32 CONDITION1
    "G....G..G. GG..GGG... GG........ ...GGGGGGG GGGGGG", // 33 CONDITION2
    "G....GGGGG GEEGGG..GG GGGGGG.... ...GGGGGGG GGGEGG", // 34 G
    "G....GGGGG GGGGGG..GG EEEEEE.... ...GGGGGGG GGGGGG", // 35 E
    "G....GGGGG GGGGGG..GG GGGGGGEE.. ...GGGGGGG GGGGGG", // 36 A
    "G....GGGGG GGGGGG..GG GGGGGGGG.. ...GGGGGGG GGGGGG", // 37 B
    "G....GGGGG GGGGGG..GG GGGGGGGGEE ...GGGGGGG GGGGGG", // 38 C
    "G....GGGGG GGGGGG..GG GGGGGGGGGG ...GGGGGGG GGGGGG", // 39 D
    "G....GGGGG GGGGGG..GG GGGGGGGGGG ...GGGGGGG GGGGGG", // 40 F
    "G....GGGGG GGGGGGE.GG GGGGGGGGGG ...GGGGGGG GG.GGG", // 41 I
    "G....GGGGG GGGGGG..GG GGGGGGGGGG ...GGGGGGG GGGGGG", // 42 N
    ".......... .......L.. .......... .ELEL.LLLL LLLL.L", // 43 (
    "G....GGGGG GGGGGG..GG GGGGGGGGGG ...GGGGGGG GGGGGG", // 44 )
    "G....GGGGG GGGGGG..GG GGGGGGGGGG ...GGGGGGG GGGGGG", // 45 FUNCTION
    ".....GGGGG GGGGGG..GG GGGGGGGGGG ...GGGGGGG GGEGGG", // 46 FUNCTION_NAME
};

char FirstWrittenRelation(std::size_t row, std::size_t column) {
    std::string cells;
    for (const char c : FirstWrittenMatrix[row]) {
        if (c != ' ') {
            cells.push_back(c);
        }
    }
    switch (cells.at(column)) {
    case 'L':
        return '<';
    case 'E':
        return '=';
    case 'G':
        return '>';
    default:
        return ' ';
    }
}

struct ChangedCell {
    std::string_view row;
    std::string_view column;
    char firstWritten;
    char used;
};

// Every cell where the table in use (the Wirth-Weber relations of the 40 rules) differs from the
// first-written one. Cells of a nonterminal column are only ever pushed after a reduction, where
// just "=" or not-"=" counts; those are listed all the same.
const std::vector<ChangedCell> ChangedCells = {
    // A loop, IF or BEGIN block as a later statement of a list.
    {"OPERATORS", "OPERATOR1", ' ', '<'},
    {"OPERATORS", "BEGIN", ' ', '<'},
    // Pushed after reductions only.
    {"OPERATOR", "OPERATOR", ' ', '>'},
    {"OPERATOR", "OPERATOR1", ' ', '>'},
    {"OPERATOR1", "OPERATOR", ' ', '>'},
    {"OPERATOR1", "OPERATOR1", ' ', '>'},
    // The first-written row is shifted by one column: a statement after a BEGIN block.
    {"END", "OPERATOR", '=', '>'},
    {"END", "OPERATOR1", ' ', '>'},
    {"END", "IF", ' ', '>'},
    {"END", "THEN", '>', ' '},
    {"END", "FOR", ' ', '>'},
    {"END", "TO", '>', ' '},
    {"END", "WHILE", ' ', '>'},
    {"END", "REPEAT", ' ', '>'},
    {"END", ":=", '>', ' '},
    {"END", "NOT", '>', ' '},
    // The first-written IF, WHILE and UNTIL rows are shifted by one column from CONDITION on, so
    // "IF CONDITION" never formed and every condition failed; also function calls in conditions.
    {"IF", "CONDITION", ' ', '='},
    {"IF", "CONDITION1", '=', '<'},
    {"IF", "G", '<', ' '},
    {"IF", ")", '<', ' '},
    {"IF", "FUNCTION", ' ', '<'},
    {"IF", "FUNCTION_NAME", ' ', '<'},
    // Function calls as the FOR bound and in a REPEAT body.
    {"TO", "FUNCTION", ' ', '<'},
    {"TO", "FUNCTION_NAME", ' ', '<'},
    {"WHILE", "CONDITION", ' ', '='},
    {"WHILE", "CONDITION1", '=', '<'},
    {"WHILE", "G", '<', ' '},
    {"WHILE", ")", '<', ' '},
    {"WHILE", "FUNCTION", ' ', '<'},
    {"WHILE", "FUNCTION_NAME", ' ', '<'},
    {"REPEAT", "FUNCTION", ' ', '<'},
    {"REPEAT", "FUNCTION_NAME", ' ', '<'},
    {"UNTIL", "CONDITION", ' ', '='},
    {"UNTIL", "CONDITION1", '=', '<'},
    {"UNTIL", "G", '<', ' '},
    {"UNTIL", ")", '<', ' '},
    {"UNTIL", "FUNCTION", ' ', '<'},
    // No G or ")" can follow NOT, AND or OR; a function call can.
    {"NOT", "G", '<', ' '},
    {"NOT", ")", '<', ' '},
    {"NOT", "FUNCTION", ' ', '<'},
    {"AND", "G", '<', ' '},
    {"AND", ")", '<', ' '},
    {"AND", "FUNCTION", ' ', '<'},
    {"OR", "G", '<', ' '},
    {"OR", ")", '<', ' '},
    {"OR", "FUNCTION", ' ', '<'},
    // The first-written condition rows are shifted: CONDITION is followed by DO (not TO),
    // CONDITION1
    // by AND and OR (not <= and >=), and a condition closes before any statement start.
    {"CONDITION", "OPERATOR", ' ', '>'},
    {"CONDITION", "OPERATOR1", ' ', '>'},
    {"CONDITION", "END", ' ', '>'},
    {"CONDITION", "IF", ' ', '>'},
    {"CONDITION", "ELSE", ' ', '>'},
    {"CONDITION", "TO", '=', ' '},
    {"CONDITION", "DO", ' ', '='},
    {"CONDITION", "WHILE", ' ', '>'},
    {"CONDITION1", "OPERATOR", ' ', '>'},
    {"CONDITION1", "OPERATOR1", ' ', '>'},
    {"CONDITION1", "END", ' ', '>'},
    {"CONDITION1", "IF", ' ', '>'},
    {"CONDITION1", "ELSE", ' ', '>'},
    {"CONDITION1", "TO", '>', ' '},
    {"CONDITION1", "DO", ' ', '>'},
    {"CONDITION1", "WHILE", ' ', '>'},
    {"CONDITION1", ":=", '>', ' '},
    {"CONDITION1", "AND", ' ', '='},
    {"CONDITION1", "OR", ' ', '='},
    {"CONDITION1", "<=", '=', ' '},
    {"CONDITION1", ">=", '=', ' '},
    {"CONDITION2", "OPERATOR", ' ', '>'},
    {"CONDITION2", "OPERATOR1", ' ', '>'},
    {"CONDITION2", "END", ' ', '>'},
    {"CONDITION2", "IF", ' ', '>'},
    {"CONDITION2", "ELSE", ' ', '>'},
    {"CONDITION2", "TO", '>', ' '},
    {"CONDITION2", "DO", ' ', '>'},
    {"CONDITION2", "WHILE", ' ', '>'},
    {"CONDITION2", ":=", '>', ' '},
    {"CONDITION2", "AND", ' ', '>'},
    {"CONDITION2", "OR", ' ', '>'},
    {"CONDITION2", "<=", '>', ' '},
    {"CONDITION2", ">=", '>', ' '},
    // G never precedes THEN, AND, OR or a comparison (E does); the rest is pushed after reductions.
    {"G", "OPERATOR", ' ', '>'},
    {"G", "OPERATOR1", ' ', '>'},
    {"G", "THEN", '>', ' '},
    {"G", "AND", '>', ' '},
    {"G", "OR", '>', ' '},
    {"G", "<=", '>', ' '},
    {"G", ">=", '>', ' '},
    {"G", "<>", '>', ' '},
    {"G", "<", '>', ' '},
    {"G", ">", '>', ' '},
    {"G", "=", '>', ' '},
    {"E", "OPERATOR", ' ', '>'},
    {"E", "OPERATOR1", ' ', '>'},
    {"A", "OPERATOR", ' ', '>'},
    {"A", "OPERATOR1", ' ', '>'},
    {"B", "OPERATOR", ' ', '>'},
    {"B", "OPERATOR1", ' ', '>'},
    {"C", "OPERATOR", ' ', '>'},
    {"C", "OPERATOR1", ' ', '>'},
    {"D", "OPERATOR", ' ', '>'},
    {"D", "OPERATOR1", ' ', '>'},
    {"F", "OPERATOR", ' ', '>'},
    {"F", "OPERATOR1", ' ', '>'},
    // Pushed after reductions only. "I" "(" stays without relation against the rules, which
    // would read "x (1)" as two statements: a call of a name that is no function is an error.
    {"I", "OPERATOR", ' ', '>'},
    {"I", "OPERATOR1", ' ', '>'},
    {"N", "OPERATOR", ' ', '>'},
    {"N", "OPERATOR1", ' ', '>'},
    // Conflict: "(" CONDITION1 is both "=" (rule 16) and "<" (rule 24); "=" is kept.
    {"(", "A", ' ', '<'},
    {"(", ")", '<', ' '},
    {"(", "FUNCTION", ' ', '<'},
    // Pushed after reductions only.
    {")", "OPERATOR", ' ', '>'},
    {")", "OPERATOR1", ' ', '>'},
    {"FUNCTION", "OPERATOR", ' ', '>'},
    {"FUNCTION", "OPERATOR1", ' ', '>'},
    // Only "(" may follow a function name; the first-written row reduces on nearly everything.
    {"FUNCTION_NAME", "BEGIN", '>', ' '},
    {"FUNCTION_NAME", "END", '>', ' '},
    {"FUNCTION_NAME", "IF", '>', ' '},
    {"FUNCTION_NAME", "THEN", '>', ' '},
    {"FUNCTION_NAME", "ELSE", '>', ' '},
    {"FUNCTION_NAME", "FOR", '>', ' '},
    {"FUNCTION_NAME", "TO", '>', ' '},
    {"FUNCTION_NAME", "DO", '>', ' '},
    {"FUNCTION_NAME", "WHILE", '>', ' '},
    {"FUNCTION_NAME", "REPEAT", '>', ' '},
    {"FUNCTION_NAME", "UNTIL", '>', ' '},
    {"FUNCTION_NAME", "AND", '>', ' '},
    {"FUNCTION_NAME", "OR", '>', ' '},
    {"FUNCTION_NAME", "<=", '>', ' '},
    {"FUNCTION_NAME", ">=", '>', ' '},
    {"FUNCTION_NAME", "<>", '>', ' '},
    {"FUNCTION_NAME", "<", '>', ' '},
    {"FUNCTION_NAME", ">", '>', ' '},
    {"FUNCTION_NAME", "=", '>', ' '},
    {"FUNCTION_NAME", "+", '>', ' '},
    {"FUNCTION_NAME", "-", '>', ' '},
    {"FUNCTION_NAME", "*", '>', ' '},
    {"FUNCTION_NAME", "/", '>', ' '},
    {"FUNCTION_NAME", "G", '>', ' '},
    {"FUNCTION_NAME", "E", '>', ' '},
    {"FUNCTION_NAME", "A", '>', ' '},
    {"FUNCTION_NAME", "B", '>', ' '},
    {"FUNCTION_NAME", "C", '>', ' '},
    {"FUNCTION_NAME", "D", '>', ' '},
    {"FUNCTION_NAME", "F", '>', ' '},
    {"FUNCTION_NAME", "I", '>', ' '},
    {"FUNCTION_NAME", "N", '>', ' '},
    {"FUNCTION_NAME", ")", '>', ' '},
    {"FUNCTION_NAME", "FUNCTION", '>', ' '},
    {"FUNCTION_NAME", "FUNCTION_NAME", '>', ' '},
};

TEST(PrecedenceMatrix, DiffersFromTheFirstWrittenTableExactlyInTheListedCells) {
    std::map<std::pair<std::size_t, std::size_t>, ChangedCell> changed;
    for (const ChangedCell& cell : ChangedCells) {
        const auto row = SymbolNumber(cell.row);
        const auto column = SymbolNumber(cell.column);
        ASSERT_TRUE(row && column) << cell.row << " " << cell.column;
        EXPECT_EQ(FirstWrittenRelation(*row, *column), cell.firstWritten)
            << cell.row << " " << cell.column;
        EXPECT_NE(cell.firstWritten, cell.used) << cell.row << " " << cell.column;
        changed.emplace(std::make_pair(*row, *column), cell);
    }
    EXPECT_EQ(changed.size(), ChangedCells.size()) << "a cell is listed twice";
    for (std::size_t r = 0; r < SymbolCount; ++r) {
        for (std::size_t c = 0; c < SymbolCount; ++c) {
            const auto found = changed.find({r, c});
            const char expected =
                found != changed.end() ? found->second.used : FirstWrittenRelation(r, c);
            EXPECT_EQ(Matrix().Relation(r, c), expected)
                << MatrixHandleLine[r] << " " << MatrixHandleLine[c];
        }
    }
}

TEST(PrecedenceMatrix, GrammarHasTwoConflictsBothResolvedToEqual) {
    const auto& conflicts = Matrix().Conflicts();
    ASSERT_EQ(conflicts.size(), 2u);
    EXPECT_EQ(MatrixHandleLine[conflicts[0].Row], "OPERATOR");
    EXPECT_EQ(MatrixHandleLine[conflicts[0].Column], "ELSE");
    EXPECT_EQ(conflicts[0].Relations, "=>");
    EXPECT_EQ(conflicts[1].Row, *SymbolNumber("("));
    EXPECT_EQ(MatrixHandleLine[conflicts[1].Column], "CONDITION1");
    EXPECT_EQ(conflicts[1].Relations, "<=");
    for (const auto& conflict : conflicts) {
        EXPECT_EQ(conflict.Kept, '=');
    }
}

// The dollar closing the text is followed by the scanner's endless dollars: the whole text is
// reduced on them. Nothing else may follow it.
TEST(PrecedenceMatrix, DollarClosesTheText) {
    EXPECT_EQ(Matrix().Relation(0, 0), '>');
    EXPECT_EQ(Matrix().Relation(*SymbolNumber("PROGRAM"), 0), '=');
}

// The price of keeping "(" CONDITION1 as "=": AND and OR cannot be reduced inside parentheses,
// while parenthesised conditions joined by them can. The relation table as first written holds the
// same "=", and the component has always refused such a condition; it stays refused.
TEST(PrecedenceMatrix, AndOrInsideParenthesesIsRefused) {
    expr::TExpressionEvaluator evaluator;
    EXPECT_NO_THROW(evaluator.SetExpressionText("IF (1=1) OR (1=2) THEN x:=1"));
    try {
        evaluator.SetExpressionText("IF (1=1 OR 1=2) THEN x:=1");
        FAIL() << "translated to: " << evaluator.GetTranslated();
    } catch (const expr::EInvalidFormula& failure) {
        EXPECT_EQ(std::string(failure.what()), "Line 1: \")\" - Syntactic error ");
    }
}

} // namespace

namespace {

// The price of keeping OPERATOR ELSE as "=": an ELSE after a statement that ends in a statement
// (a loop, or an IF with its own ELSE) is taken into that statement. BEGIN ... END around the
// THEN branch gives the ELSE to the IF it belongs to. The relation table as first written holds the
// same "=", and the component has always refused these texts; they stay refused.
TEST(PrecedenceMatrix, ElseAfterANestedStatementNeedsBeginEnd) {
    expr::TExpressionEvaluator evaluator;
    for (const char* refused : {"IF 1=1 THEN WHILE 1=2 DO x:=1 ELSE y:=2",
                                "IF 1=2 THEN IF 1=1 THEN x:=1 ELSE x:=2 ELSE x:=3"}) {
        try {
            evaluator.SetExpressionText(refused);
            FAIL() << refused << " translated to: " << evaluator.GetTranslated();
        } catch (const expr::EInvalidFormula& failure) {
            EXPECT_EQ(std::string(failure.what()), "Line 1: \"$\" - Syntactic error ");
        }
    }
    evaluator.SetExpressionText("IF 1=2 THEN BEGIN IF 1=1 THEN x:=1 ELSE x:=2 END ELSE x:=3 "
                                "Result:=x");
    evaluator.Execute();
    EXPECT_EQ(evaluator.GetResult(), 3);
}

} // namespace
