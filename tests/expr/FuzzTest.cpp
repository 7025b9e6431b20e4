// Random programs and random bytes: the evaluator answers each with a value or its own error, and
// never crashes or hangs.
#include "editor/expr/ExprEvaluator.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <iostream>
#include <random>
#include <string>
#include <string_view>

namespace {

using expr::EConvertError;
using expr::EInvalidFormula;
using expr::TExpressionEvaluator;

// Fixed seeds keep a failure reproducible; the counts keep the run short even under sanitizers.
constexpr unsigned TokenSeed = 20261210;
constexpr unsigned ByteSeed = 6;
constexpr int TokenPrograms = 20000;
constexpr int BytePrograms = 20000;
constexpr unsigned GrownSeed = 3102;
constexpr int GrownPrograms = 2000;

constexpr std::array<std::string_view, 44> Vocabulary = {
    "x",      "y",     "Result", "f",   "g",   "W",    "0",    "1",   "2",        "3.5", ".",
    "1e3",    "(",     ")",      "+",   "-",   "*",    "/",    ":=",  "=",        "<>",  "<",
    ">",      "<=",    ">=",     ":",   "IF",  "THEN", "ELSE", "FOR", "TO",       "DO",  "WHILE",
    "REPEAT", "UNTIL", "BEGIN",  "END", "NOT", "AND",  "OR",   ";",   "NEGATIVE", "$",   "-("};

// How the random texts ended, so that a generator producing nothing but syntax errors shows.
struct Outcomes {
    int values = 0;
    int runFailures = 0;
    int translationFailures = 0;
};

enum class Outcome { Value, RunFailure, TranslationFailure };

Outcome EvaluateOnce(TExpressionEvaluator& evaluator, const std::string& text, Outcomes& outcomes) {
    try {
        evaluator.SetExpressionText(text);
    } catch (const EInvalidFormula& failure) {
        EXPECT_EQ(std::string(failure.what()).rfind("Line ", 0), 0u) << text;
        ++outcomes.translationFailures;
        return Outcome::TranslationFailure;
    }
    try {
        evaluator.Execute();
        EXPECT_TRUE(std::isfinite(evaluator.GetResult())) << text;
        ++outcomes.values;
        return Outcome::Value;
    } catch (const EConvertError& failure) {
        EXPECT_NE(std::string(failure.what()).find("is not a valid floating point value"),
                  std::string::npos)
            << text;
    } catch (const EInvalidFormula& failure) {
        EXPECT_EQ(std::string(failure.what()).rfind("Line ", 0), 0u) << text;
    }
    ++outcomes.runFailures;
    return Outcome::RunFailure;
}

TExpressionEvaluator MakeEvaluator() {
    TExpressionEvaluator evaluator;
    // Random loops often never end; a low limit keeps each of them short.
    evaluator.StepLimit = 10000;
    evaluator.SetFunctionNameList({"f", "g"});
    evaluator.OnFunctionPerforming = [](TExpressionEvaluator&, const std::string& name,
                                        double& parameter) {
        parameter = name == "F" ? parameter * 1e200 : parameter / 3;
    };
    evaluator.OnConvertWord = [](TExpressionEvaluator&, std::string& word) {
        if (word == "W") {
            word = "1e300";
        } else if (word == "X" || word == "Y") {
            word = word == "X" ? "2" : "-3";
        }
    };
    return evaluator;
}

TEST(Fuzz, RandomTokenProgramsGiveAValueOrTheEvaluatorsError) {
    std::mt19937 random(TokenSeed);
    std::uniform_int_distribution<std::size_t> pick(0, Vocabulary.size() - 1);
    std::uniform_int_distribution<int> length(0, 24);
    std::uniform_int_distribution<int> blank(0, 3);
    TExpressionEvaluator evaluator = MakeEvaluator();
    Outcomes outcomes;
    for (int n = 0; n < TokenPrograms; ++n) {
        std::string text;
        const int tokens = length(random);
        for (int t = 0; t < tokens; ++t) {
            text += Vocabulary[pick(random)];
            const int gap = blank(random);
            text += gap == 0 ? "" : gap == 3 ? "\r\n" : " ";
        }
        EvaluateOnce(evaluator, text, outcomes);
    }
    std::cout << "values " << outcomes.values << ", run failures " << outcomes.runFailures
              << ", translation failures " << outcomes.translationFailures << "\n";
}

TEST(Fuzz, RandomBytesGiveAValueOrTheEvaluatorsError) {
    std::mt19937 random(ByteSeed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 40);
    // Mostly the characters that mean something, now and then any byte at all.
    constexpr std::string_view meaningful = "0123456789.xyzIFTHENDOWHILE()+-*/:=<> \t\r\n";
    std::uniform_int_distribution<std::size_t> pickMeaningful(0, meaningful.size() - 1);
    TExpressionEvaluator evaluator = MakeEvaluator();
    Outcomes outcomes;
    for (int n = 0; n < BytePrograms; ++n) {
        std::string text;
        const int size = length(random);
        for (int i = 0; i < size; ++i) {
            const int b = byte(random);
            text.push_back(b < 200 ? meaningful[pickMeaningful(random)] : static_cast<char>(b));
        }
        EvaluateOnce(evaluator, text, outcomes);
    }
    std::cout << "values " << outcomes.values << ", run failures " << outcomes.runFailures
              << ", translation failures " << outcomes.translationFailures << "\n";
}

// A program grown from the grammar, and whether one character of it was then dropped, doubled
// or swapped.
struct GrownProgram {
    std::string text;
    bool mutated = false;
};

// Programs grown from the grammar, half of them mutated, so that the executor sees working
// control flow as well as near misses. An unmutated program is one the translator takes: it
// keeps to the known limits of the grammar (no AND or OR inside parentheses, a THEN branch put
// in BEGIN ... END before an ELSE, no bare expression that begins with a parenthesis).
class ProgramGrower {
public:
    explicit ProgramGrower(unsigned seed) : random_(seed) {}

    GrownProgram Program() {
        std::string text;
        const int statements = Below(4) + 1;
        for (int i = 0; i < statements; ++i) {
            text += Statement(3) + (Below(3) == 0 ? "\n" : " ");
        }
        if (Below(2) == 0)
            return {Mutated(text), true};
        return {text, false};
    }

private:
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    std::string Variable() { return std::array<const char*, 4>{"x", "y", "i", "Result"}[Below(4)]; }

    std::string Expression(int depth) {
        switch (depth <= 0 ? Below(3) : Below(7)) {
        case 0:
            return std::to_string(Below(5));
        case 1:
            return Variable();
        case 2:
            return "(-" + std::to_string(Below(3)) + ")";
        case 3:
            return "(" + Expression(depth - 1) + ")";
        case 4:
            return "f(" + Expression(depth - 1) + ")";
        default:
            return Expression(depth - 1) + std::string(1, "+-*/"[Below(4)]) + Expression(depth - 1);
        }
    }

    std::string Comparison(int depth) {
        constexpr std::array<const char*, 6> comparisons = {"=", "<>", "<", ">", "<=", ">="};
        switch (depth <= 0 ? 0 : Below(4)) {
        case 1:
            return "NOT " + Comparison(depth - 1);
        case 2:
            return "(" + Comparison(depth - 1) + ")";
        default:
            return Expression(1) + comparisons[static_cast<std::size_t>(Below(6))] + Expression(1);
        }
    }

    std::string Condition(int depth) {
        std::string condition = Comparison(depth);
        while (Below(3) == 0) {
            condition += (Below(2) == 0 ? " AND " : " OR ") + Comparison(depth);
        }
        return condition;
    }

    std::string Statement(int depth) {
        switch (depth <= 0 ? Below(2) : Below(8)) {
        case 0:
            return Variable() + ":=" + Expression(2);
        case 1: {
            // A name followed by "(" reads as a call: a bare expression after a statement that
            // ends in a name may not begin with a parenthesis.
            const std::string e = Expression(2);
            return e.front() == '(' ? "0+" + e : e;
        }
        case 2:
            return "IF " + Condition(1) + " THEN " + Statement(depth - 1);
        case 3:
            return "IF " + Condition(1) + " THEN BEGIN " + Statement(depth - 1) + " END ELSE " +
                   Statement(depth - 1);
        case 4:
            return "WHILE " + Condition(1) + " DO " + Statement(depth - 1);
        case 5:
            return "REPEAT " + Statement(depth - 1) + " UNTIL " + Condition(1);
        case 6:
            return "FOR " + Variable() + ":=" + Expression(1) + " TO " + Expression(1) + " DO " +
                   Statement(depth - 1);
        default:
            return "BEGIN " + Statement(depth - 1) + " " + Statement(depth - 1) + " END";
        }
    }

    std::string Mutated(const std::string& text) {
        if (text.empty()) {
            return text;
        }
        const std::size_t at = static_cast<std::size_t>(Below(static_cast<int>(text.size())));
        switch (Below(3)) {
        case 0:
            return text.substr(0, at) + text.substr(at + 1);
        case 1:
            return text.substr(0, at + 1) + text.substr(at);
        default: {
            std::string swapped = text;
            std::swap(swapped[at],
                      swapped[static_cast<std::size_t>(Below(static_cast<int>(text.size())))]);
            return swapped;
        }
        }
    }

    std::mt19937 random_;
};

TEST(Fuzz, ProgramsGrownFromTheGrammarGiveAValueOrTheEvaluatorsError) {
    ProgramGrower grower(GrownSeed);
    TExpressionEvaluator evaluator = MakeEvaluator();
    Outcomes outcomes;
    int unmutated = 0;
    int unmutatedValues = 0;
    for (int n = 0; n < GrownPrograms; ++n) {
        const GrownProgram program = grower.Program();
        const Outcome outcome = EvaluateOnce(evaluator, program.text, outcomes);
        if (program.mutated)
            continue;
        ++unmutated;
        // A program of the grammar translates; it may still fail at run time (a loop that runs
        // past the step limit, a value out of range).
        EXPECT_NE(outcome, Outcome::TranslationFailure) << program.text;
        unmutatedValues += outcome == Outcome::Value;
    }
    std::cout << "values " << outcomes.values << ", run failures " << outcomes.runFailures
              << ", translation failures " << outcomes.translationFailures << "\n";
    ASSERT_GT(unmutated, GrownPrograms / 3);
    // Many of them run to a value (the others mostly loop past the step limit or divide by
    // zero): an executor that fails every program fails here.
    EXPECT_GT(unmutatedValues, unmutated / 4);
}

TEST(Fuzz, DeepNestingAndLongTextsStayBounded) {
    TExpressionEvaluator evaluator;
    const std::string deep = std::string(20000, '(') + "1" + std::string(20000, ')');
    evaluator.SetExpressionText(deep);
    evaluator.Execute();
    EXPECT_EQ(evaluator.GetResult(), 1);

    std::string sum = "x:=0";
    for (int i = 0; i < 20000; ++i) {
        sum += "+1";
    }
    evaluator.SetExpressionText(sum + " x");
    evaluator.Execute();
    EXPECT_EQ(evaluator.GetResult(), 20000);

    std::string nested;
    for (int i = 0; i < 2000; ++i) {
        nested += "IF 1=1 THEN ";
    }
    evaluator.SetExpressionText(nested + "r:=7 Result:=r");
    evaluator.Execute();
    EXPECT_EQ(evaluator.GetResult(), 7);
    EXPECT_THROW(evaluator.SetExpressionText(std::string(20000, '(') + "1"), EInvalidFormula);

    // Every ELSE joins the one handle, which is refused as a whole at the end of the text.
    std::string elses = "IF 1=1 THEN x:=1";
    for (int i = 0; i < 20000; ++i) {
        elses += " ELSE x:=2";
    }
    try {
        evaluator.SetExpressionText(elses);
        FAIL() << "a chain of ELSE translated";
    } catch (const EInvalidFormula& failure) {
        EXPECT_EQ(std::string(failure.what()), "Line 1: \"$\" - Syntactic error ");
    }
}

} // namespace
