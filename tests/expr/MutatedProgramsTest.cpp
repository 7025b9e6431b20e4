// The bounded random driver over the evaluator's inputs: real width expressions and statement
// programs, mutated, give a value or the evaluator's own error, the way width confirmation asks
// (EvaluateTruncated with the default step limit) and the way a program runs with handlers for
// names and functions; nothing crashes, hangs or throws anything else.
#include "editor/expr/ExprEvaluator.h"

#include "support/DriverRounds.h"

#include <gtest/gtest.h>

#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

using expr::EInvalidFormula;
using expr::TExpressionEvaluator;

// Widths as HDL sources write them (parameters already put in as width confirmation does), and
// programs of the statement language.
const std::vector<std::string> kStarts = {
    "8-1",
    "0",
    "(16)-(0)",
    "(8*2)-1",
    "((32+7)/8)*8-1",
    "16-2*4+1",
    "(0-1)",
    "2*(0-5)",
    "WIDTH-1",
    "ADDR_W+DATA_W-1",
    "f(2)+1",
    "1.5*2",
    "x:=2 y:=x*3",
    "a:=3 Result:=a+1",
    "s:=0 FOR i:=1 TO 4 DO s:=s+i Result:=s",
    "x:=0 WHILE x<3 DO x:=x+1 Result:=x",
    "x:=0 REPEAT x:=x+1 UNTIL x>=3 Result:=x",
    "r:=0 IF 2>1 THEN r:=1 ELSE r:=2 Result:=r",
    "IF (1=1) AND (2=2) THEN r:=1",
    "IF NOT (1=2) THEN x:=1",
    "IF 1<2 THEN IF 2<3 THEN x:=1 ELSE x:=2",
    "BEGIN x:=1 y:=2 END",
    "x:=1\r\ny:=x+1\r\nResult:=y*2",
};

const std::vector<std::string> kTokens = {
    "(",     ")",     "+",    "-",       "*",        "/",       ":=",      "=",
    "<>",    "<",     ">",    "<=",      ">=",       " IF ",    " THEN ",  " ELSE ",
    " FOR ", " TO ",  " DO ", " WHILE ", " REPEAT ", " UNTIL ", " BEGIN ", " END ",
    " NOT ", " AND ", " OR ", "Result",  "NEGATIVE", "$",       "1e308",   "99999999999999999999",
    "0.",    ".",     "x",    "f(",      "\r\n",     ";",       ":"};

// Asks as width confirmation does: a value, or 0 and a message of the evaluator's form.
std::string AskForWidth(TExpressionEvaluator& evaluator, const std::string& text, bool& value) {
    const expr::TruncatedResult r = evaluator.EvaluateTruncated(text);
    value = r.Ok;
    if (r.Ok)
        return {};
    if (r.Value != 0 || r.Message.empty())
        return "a failed width gave " + std::to_string(r.Value) + " and the message \"" +
               r.Message + "\"";
    return {};
}

// Runs the program with handlers for names and functions, as the evaluator's other clients may.
std::string RunProgram(TExpressionEvaluator& evaluator, const std::string& text) {
    try {
        evaluator.SetExpressionText(text);
        evaluator.Execute();
        (void)evaluator.GetResult();
    } catch (const EInvalidFormula& failure) {
        if (std::string(failure.what()).empty())
            return "an error without a message";
    } catch (const std::exception& other) {
        return std::string("an exception of another kind: ") + other.what();
    }
    return {};
}

TExpressionEvaluator WithHandlers() {
    TExpressionEvaluator evaluator;
    evaluator.SetFunctionNameList({"f"});
    evaluator.OnFunctionPerforming = [](TExpressionEvaluator&, const std::string&,
                                        double& parameter) { parameter = parameter * 2 + 1; };
    evaluator.OnConvertWord = [](TExpressionEvaluator&, std::string& word) {
        if (word == "WIDTH" || word == "ADDR_W" || word == "DATA_W")
            word = "8";
    };
    return evaluator;
}

constexpr std::uint64_t kEvaluatorDriver = 4;
constexpr std::size_t kLongestText = 16 * 1024;

} // namespace

TEST(MutatedPrograms, GiveAValueOrTheEvaluatorsOwnErrorAndNeverHang) {
    // One evaluator each for the whole run, as the editor keeps one: variables and the operand
    // stack carry over from program to program.
    TExpressionEvaluator widths;
    TExpressionEvaluator programs = WithHandlers();
    // The widths run with the editor's step limit; the second run of the same text need not
    // spend it again on a loop that never ends.
    programs.StepLimit = 20000;
    const std::size_t rounds = RandomRounds(120);
    const std::size_t values = RunDriverRounds(kEvaluatorDriver, rounds, [&](std::uint64_t seed) {
        Mutator mutator(seed, kTokens);
        std::string text = mutator.Mutate(kStarts[mutator.Rng().Below(kStarts.size())], 4);
        // Repeats of repeats can make megabytes, which the evaluator takes in linear time; 16
        // kilobytes are oversized enough for a width and keep the run short.
        if (text.size() > kLongestText)
            text.resize(kLongestText);
        RoundOutcome outcome;
        outcome.failure = AskForWidth(widths, text, outcome.taken);
        if (outcome.failure.empty())
            outcome.failure = RunProgram(programs, text);
        if (!outcome.failure.empty())
            outcome.failure += "\n" + text.substr(0, 500);
        return outcome;
    });
    // A driver making nothing but syntax errors would test the translator's first step only.
    std::cout << values << " of " << rounds << " mutated widths gave a value\n";
    EXPECT_GT(values, rounds / 10);
}
