// Running postfix programs: values, variables, control flow, handlers, and every failure raising
// the evaluator's error.
#include "editor/expr/ExprEvaluator.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <ostream>
#include <string>
#include <vector>

namespace {

using expr::EConvertError;
using expr::EInvalidFormula;
using expr::TExpressionEvaluator;

template <typename Case> std::string CaseName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

double RunText(TExpressionEvaluator& evaluator, const std::string& text) {
    evaluator.SetExpressionText(text);
    evaluator.Execute();
    return evaluator.GetResult();
}

std::string FailureOf(TExpressionEvaluator& evaluator, const std::string& text) {
    try {
        RunText(evaluator, text);
    } catch (const EInvalidFormula& failure) {
        return failure.what();
    }
    return "no failure, result " + std::to_string(evaluator.GetResult());
}

struct ResultCase {
    const char* name;
    std::string text;
    double result;
};

void PrintTo(const ResultCase& c, std::ostream* os) {
    *os << c.name;
}

const std::vector<ResultCase> ResultCases = {
    {"Number", "7", 7},
    {"Precedence", "16-2*4+1", 9},
    {"ParenthesisedOperands", "(7)-(0)", 7},
    {"Division", "8/2", 4},
    {"SubtractionIsLeftAssociative", "10-2-3", 5},
    {"DivisionThenMultiplication", "7/2*2", 7},
    {"UnaryMinusFirst", "-5", -5},
    {"UnaryMinusAfterStar", "2*-5", -10},
    {"UnaryMinusOnVariable", "x:=4 y:=2*-x Result:=y", -8},
    {"DecimalNumber", "1.5*2", 3},
    {"NumberStartingWithPoint", ".5+1", 1.5},
    {"AssignmentsLeaveNothing", "x:=2 y:=x*3", 0},
    {"LastExpressionStatementIsTheResult", "1 2", 2},
    {"BareVariableIsLookedUp", "w:=6 w", 6},
    {"ResultOverridesTheLastValue", "a:=3 Result:=a+1 99", 4},
    {"ForSumsItsRange", "s:=0 FOR i:=1 TO 4 DO s:=s+i Result:=s", 10},
    {"ForWithEmptyRangeRunsNoBody", "s:=0 FOR i:=5 TO 1 DO s:=s+1 Result:=s", 0},
    {"NestedFor", "s:=0 FOR i:=1 TO 3 DO FOR j:=1 TO 2 DO s:=s+1 Result:=s", 6},
    {"While", "x:=0 WHILE x<3 DO x:=x+1 Result:=x", 3},
    {"WhileWithFalseConditionRunsNoBody", "x:=7 WHILE x<3 DO x:=x+1 Result:=x", 7},
    {"Repeat", "x:=0 REPEAT x:=x+1 UNTIL x>=3 Result:=x", 3},
    {"RepeatRunsItsBodyOnce", "x:=5 REPEAT x:=x+1 UNTIL x>=3 Result:=x", 6},
    {"IfElseTrue", "r:=0 IF 2>1 THEN r:=1 ELSE r:=2 Result:=r", 1},
    {"IfElseFalse", "r:=0 IF 2<1 THEN r:=1 ELSE r:=2 Result:=r", 2},
    {"IfWithoutElseFalse", "r:=5 IF 1>2 THEN r:=1 Result:=r", 5},
    {"InnerElse", "r:=0 IF 1<2 THEN IF 3<2 THEN r:=1 ELSE r:=2 Result:=r", 2},
    {"OuterIfFalseSkipsInnerElse", "r:=0 IF 2<1 THEN IF 3<2 THEN r:=1 ELSE r:=2 Result:=r", 0},
    {"NestedBeginEnd", "r:=0 IF 1=1 THEN BEGIN r:=r+1 BEGIN r:=r*10 END END Result:=r", 10},
    {"ParenthesisedConditionsJoinedByAnd", "r:=0 IF (1=1) AND (2=2) THEN r:=1 Result:=r", 1},
    {"AndWithOneFalse", "r:=0 IF 1=1 AND 1=2 THEN r:=1 Result:=r", 0},
    {"OrWithOneTrue", "r:=0 IF 1=2 OR 2=2 THEN r:=1 Result:=r", 1},
    {"OrBothFalse", "r:=0 IF 1=2 OR 2=3 THEN r:=1 Result:=r", 0},
    {"NotOfFalse", "r:=0 IF NOT (1=2) THEN r:=1 Result:=r", 1},
    {"NotOfTrue", "r:=0 IF NOT 1=1 THEN r:=1 Result:=r", 0},
    {"NotNot", "r:=0 IF NOT NOT 1=1 THEN r:=1 Result:=r", 1},
    {"LessOrEqualOnEqual", "r:=0 IF 2<=2 THEN r:=1 Result:=r", 1},
    {"GreaterOrEqualFalse", "r:=0 IF 1>=2 THEN r:=1 Result:=r", 0},
    {"DifferentOnEqual", "r:=0 IF 2<>2 THEN r:=1 Result:=r", 0},
    {"EqualIsExact", "r:=0 IF 0.1+0.2=0.3 THEN r:=1 Result:=r", 0},
    {"CaseInsensitiveNames", "Width:=8 WIDTH-1", 7},
};

class Result : public testing::TestWithParam<ResultCase> {};

TEST_P(Result, IsTheValueOfTheProgram) {
    TExpressionEvaluator evaluator;
    EXPECT_DOUBLE_EQ(RunText(evaluator, GetParam().text), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Cases, Result, testing::ValuesIn(ResultCases), CaseName<ResultCase>);

struct HazardCase {
    const char* name;
    std::string text;
    std::string message;
};

void PrintTo(const HazardCase& c, std::ostream* os) {
    *os << c.name;
}

// Each of these used to give a number (or hang, or be undefined); each now raises.
const std::vector<HazardCase> HazardCases = {
    {"EmptyText", "", "Line 1: "},
    {"BareUnknownIdentifier", "W", "'W' is not a valid floating point value"},
    {"UnknownIdentifierInExpression", "W+1", "'W' is not a valid floating point value"},
    {"UnknownIdentifierAssigned", "x:=W", "'W' is not a valid floating point value"},
    {"LonePoint", ".", "'.' is not a valid floating point value"},
    {"LiteralBeyondDoubleRange", std::string(400, '9'),
     "'" + std::string(400, '9') + "' is not a valid floating point value"},
    {"DivisionByZero", "1/0", "Line 1: Division by zero"},
    {"ZeroByZero", "0/0", "Line 1: Division by zero"},
    {"NegativeByZero", "-1/0", "Line 1: Division by zero"},
    {"Overflow", "x:=10 FOR i:=1 TO 400 DO x:=x*10 Result:=x",
     "Line 1: The result is not a finite number"},
    {"EndlessWhile", "WHILE 1=1 DO x:=1", "Line 1: The program runs more than 1000000 steps"},
    {"EndlessRepeat", "REPEAT x:=1 UNTIL 1=2", "Line 1: The program runs more than 1000000 steps"},
    {"EndlessStackGrowth", "WHILE 1=1 DO 5", "Line 1: The program runs more than 1000000 steps"},
    {"HugeFor", "FOR i:=1 TO 100000000 DO x:=1",
     "Line 1: The program runs more than 1000000 steps"},
    {"BlanksOnly", "  \t ", "Line 1: \"$\" - Syntactic error "},
};

class Hazard : public testing::TestWithParam<HazardCase> {};

TEST_P(Hazard, RaisesTheEvaluatorsError) {
    TExpressionEvaluator evaluator;
    EXPECT_EQ(FailureOf(evaluator, GetParam().text), GetParam().message);
    EXPECT_EQ(evaluator.GetResult(), 0.0);
}

INSTANTIATE_TEST_SUITE_P(Cases, Hazard, testing::ValuesIn(HazardCases), CaseName<HazardCase>);

TEST(Executor, UnknownWordRaisesTheConversionError) {
    TExpressionEvaluator evaluator;
    evaluator.SetExpressionText("W+1");
    EXPECT_THROW(evaluator.Execute(), EConvertError);
}

TEST(Executor, WordHandlerGivesValuesToUnknownWords) {
    TExpressionEvaluator evaluator;
    std::vector<std::string> asked;
    evaluator.OnConvertWord = [&](TExpressionEvaluator&, std::string& word) {
        asked.push_back(word);
        if (word == "W") {
            word = "8";
        }
    };
    EXPECT_EQ(RunText(evaluator, "w+1"), 9);
    EXPECT_EQ(RunText(evaluator, "-w"), -8);
    const std::vector<std::string> upperCased = {"W", "W"};
    EXPECT_EQ(asked, upperCased);
    // Variables come first: the handler is not asked for them.
    EXPECT_EQ(RunText(evaluator, "w:=2 w*3"), 6);
    EXPECT_EQ(asked.size(), 2u);
}

struct ConversionCase {
    const char* name;
    std::string word;
    std::string handlerText; // what the handler makes of the word without its minus
    double value;
};

void PrintTo(const ConversionCase& c, std::ostream* os) {
    *os << c.name;
}

const std::vector<ConversionCase> ConversionCases = {
    {"Plain", "W", "8", 8},
    {"MinusInFront", "-W", "8", -8},
    {"BothMinusesDrop", "-W", "-8", 8},
    {"HandlerMinus", "W", "-8", -8},
    {"Decimals", "W", "2.5", 2.5},
    {"Exponent", "W", "1.5e3", 1500},
    {"SignedExponent", "W", "25E-1", 2.5},
    {"PlusSign", "W", "+3", 3},
    {"SurroundingBlanks", "W", " 4 ", 4},
};

class ConvertWord : public testing::TestWithParam<ConversionCase> {};

TEST_P(ConvertWord, ReadsTheHandlersText) {
    TExpressionEvaluator evaluator;
    const std::string text = GetParam().handlerText;
    evaluator.OnConvertWord = [&](TExpressionEvaluator&, std::string& word) { word = text; };
    EXPECT_DOUBLE_EQ(evaluator.ConvertWordToValue(GetParam().word), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Cases, ConvertWord, testing::ValuesIn(ConversionCases),
                         CaseName<ConversionCase>);

class RefusedNumber : public testing::TestWithParam<std::string> {};

TEST_P(RefusedNumber, RaisesTheConversionError) {
    TExpressionEvaluator evaluator;
    const std::string text = GetParam();
    evaluator.OnConvertWord = [&](TExpressionEvaluator&, std::string& word) { word = text; };
    EXPECT_THROW(evaluator.ConvertWordToValue("W"), EConvertError) << text;
}

// from_chars alone would take inf, nan and hexadecimal floats.
INSTANTIATE_TEST_SUITE_P(Texts, RefusedNumber,
                         testing::Values("", " ", "inf", "-inf", "nan", "infinity", "0x10", "1e",
                                         "1e+", "e5", "1.2.3", "1,5", "--1", "+-1", "1 2", "1e999",
                                         "8W", "\t8"));

TEST(Executor, FunctionsRunThroughTheHandler) {
    TExpressionEvaluator evaluator;
    evaluator.SetFunctionNameList({"sqr", "Inc"});
    // Without a handler a function gives back its argument.
    EXPECT_EQ(RunText(evaluator, "sqr(2)"), 2);
    std::vector<std::string> called;
    evaluator.OnFunctionPerforming = [&](TExpressionEvaluator&, const std::string& name,
                                         double& parameter) {
        called.push_back(name);
        parameter = name == "SQR" ? parameter * parameter : parameter + 1;
    };
    EXPECT_EQ(RunText(evaluator, "sqr(3)+1"), 10);
    EXPECT_EQ(RunText(evaluator, "SQR(inc(2))"), 9);
    const std::vector<std::string> names = {"SQR", "INC", "SQR"};
    EXPECT_EQ(called, names);
}

TEST(Executor, FunctionResultThatIsNotFiniteRaises) {
    TExpressionEvaluator evaluator;
    evaluator.SetFunctionNameList({"f"});
    double given = 0;
    evaluator.OnFunctionPerforming = [&](TExpressionEvaluator&, const std::string&,
                                         double& parameter) { parameter = given; };
    for (const double bad :
         {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
        given = bad;
        EXPECT_EQ(FailureOf(evaluator, "f(1)"), "Line 1: The result is not a finite number");
    }
}

TEST(Executor, OverflowFromAHandlersValueRaises) {
    TExpressionEvaluator evaluator;
    evaluator.OnConvertWord = [](TExpressionEvaluator&, std::string& word) { word = "1e308"; };
    EXPECT_EQ(FailureOf(evaluator, "BIG*10"), "Line 1: The result is not a finite number");
    EXPECT_EQ(FailureOf(evaluator, "BIG+BIG"), "Line 1: The result is not a finite number");
    EXPECT_EQ(FailureOf(evaluator, "0-BIG-BIG"), "Line 1: The result is not a finite number");
}

TEST(Executor, VariablesPersistBetweenRunsAndIgnoreCase) {
    TExpressionEvaluator evaluator;
    EXPECT_FALSE(evaluator.VariableIsPresent("y"));
    EXPECT_EQ(evaluator.VariableByName("y"), 0);
    EXPECT_EQ(RunText(evaluator, "x:=2 y:=x*3"), 0);
    EXPECT_TRUE(evaluator.VariableIsPresent("y"));
    EXPECT_TRUE(evaluator.VariableIsPresent("Y"));
    EXPECT_EQ(evaluator.VariableByName("y"), 6);
    EXPECT_EQ(evaluator.VariableByName("Y"), 6);
    EXPECT_EQ(RunText(evaluator, "y+1"), 7);
    EXPECT_EQ(RunText(evaluator, "s:=0 FOR i:=1 TO 4 DO s:=s+i Result:=s"), 10);
    EXPECT_EQ(evaluator.VariableByName("I"), 5);
}

TEST(Executor, ResultPersistsIntoLaterPrograms) {
    TExpressionEvaluator evaluator;
    EXPECT_EQ(RunText(evaluator, "a:=3 Result:=a+1"), 4);
    EXPECT_EQ(RunText(evaluator, "10"), 4);
    EXPECT_EQ(RunText(evaluator, "result:=5 10"), 5);
}

TEST(Executor, ATranslationRunsAnyNumberOfTimes) {
    TExpressionEvaluator evaluator;
    RunText(evaluator, "n:=0");
    evaluator.SetExpressionText("n:=n+1 n");
    evaluator.Execute();
    evaluator.Execute();
    evaluator.Execute();
    EXPECT_EQ(evaluator.GetResult(), 3);
}

// The operand stack used to keep what a program left below its result, so a later program that
// leaves nothing returned a stale value.
TEST(Executor, StartsEachRunWithAnEmptyOperandStack) {
    TExpressionEvaluator evaluator;
    EXPECT_EQ(RunText(evaluator, "1 2"), 2);
    EXPECT_EQ(RunText(evaluator, "x:=1"), 0);
}

TEST(Executor, ResultIsZeroAfterAFailedRun) {
    TExpressionEvaluator evaluator;
    EXPECT_EQ(RunText(evaluator, "5"), 5);
    evaluator.SetExpressionText("1/0");
    EXPECT_THROW(evaluator.Execute(), EInvalidFormula);
    EXPECT_EQ(evaluator.GetResult(), 0);
}

TEST(Executor, NothingToRunRaises) {
    TExpressionEvaluator evaluator;
    EXPECT_THROW(evaluator.Execute(), EInvalidFormula);
    evaluator.SetExpressions({});
    EXPECT_THROW(evaluator.Execute(), EInvalidFormula);
}

// A handler that runs the evaluator again empties the stacks of the run it interrupts; that run
// must then fail with a message, not read missing entries or assign to an unnamed one.
TEST(Executor, HandlerRunningTheEvaluatorAgainFailsTheOuterRunCleanly) {
    TExpressionEvaluator evaluator;
    evaluator.SetFunctionNameList({"f"});
    bool inside = false;
    evaluator.OnFunctionPerforming = [&](TExpressionEvaluator& sender, const std::string&,
                                         double&) {
        if (!inside) {
            inside = true;
            sender.SetExpressionText("7");
            sender.Execute();
        }
    };
    EXPECT_EQ(FailureOf(evaluator, "x:=f(2)"), "Line 1: The variable is expected");
    inside = false;
    EXPECT_EQ(FailureOf(evaluator, "1+f(2)"), "Line 1: The operand is expected");
    EXPECT_FALSE(evaluator.VariableIsPresent(""));
}

TEST(Executor, CommaDecimalPointReadsNumbersAndHandlerTexts) {
    TExpressionEvaluator evaluator;
    evaluator.DecimalPoint = ',';
    EXPECT_EQ(RunText(evaluator, "1,5*2"), 3);
    evaluator.OnConvertWord = [](TExpressionEvaluator&, std::string& word) { word = "0,25"; };
    EXPECT_EQ(RunText(evaluator, "Q*4"), 1);
}

// The editor takes its locale from the environment; a decimal-comma locale must not turn 1.5
// into 1.
struct CommaPoint : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST(Executor, NumbersDoNotDependOnTheProcessLocale) {
    const std::locale saved =
        std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
    const char* cLocale = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
        if ((cLocale = std::setlocale(LC_NUMERIC, name)) != nullptr) {
            break;
        }
    }
    TExpressionEvaluator evaluator;
    evaluator.OnConvertWord = [](TExpressionEvaluator&, std::string& word) { word = "0.25"; };
    const double literal = RunText(evaluator, "1.5*2");
    const double handed = RunText(evaluator, "Q*4");
    std::setlocale(LC_NUMERIC, "C");
    std::locale::global(saved);
    EXPECT_EQ(literal, 3);
    EXPECT_EQ(handed, 1);
    if (cLocale == nullptr) {
        std::cout << "note: no decimal-comma C locale installed; checked the C++ locale only\n";
    }
}

struct TruncationCase {
    const char* name;
    std::string text;
    bool ok;
    int value;
    std::string message;
};

void PrintTo(const TruncationCase& c, std::ostream* os) {
    *os << c.name;
}

const std::vector<TruncationCase> TruncationCases = {
    {"Whole", "8-1", true, 7, ""},
    {"PositiveTowardZero", "15/2", true, 7, ""},
    {"NegativeTowardZero", "-5/2", true, -2, ""},
    {"SmallNegativeGivesZero", "-1/2", true, 0, ""},
    {"Largest", "2147483647", true, 2147483647, ""},
    {"Smallest", "-2147483648", true, -2147483647 - 1, ""},
    {"AboveIntRange", "2147483648", false, 0, "Line 1: The value is out of integer range"},
    {"BelowIntRange", "-2147483649", false, 0, "Line 1: The value is out of integer range"},
    {"UnputParameter", "WIDTH-1", false, 0, "'WIDTH' is not a valid floating point value"},
    {"Malformed", "8-", false, 0, "Line 1: Symbol $ not expected "},
    {"DivisionByZero", "8/0", false, 0, "Line 1: Division by zero"},
    {"Empty", "", false, 0, "Line 1: "},
};

class Truncation : public testing::TestWithParam<TruncationCase> {};

TEST_P(Truncation, GivesTheWidthBoundOrTheMessage) {
    TExpressionEvaluator evaluator;
    const expr::TruncatedResult result = evaluator.EvaluateTruncated(GetParam().text);
    EXPECT_EQ(result.Ok, GetParam().ok);
    EXPECT_EQ(result.Value, GetParam().value);
    EXPECT_EQ(result.Message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Cases, Truncation, testing::ValuesIn(TruncationCases),
                         CaseName<TruncationCase>);

TEST(Truncation, OneEvaluatorServesOneBoundAfterAnother) {
    TExpressionEvaluator evaluator;
    EXPECT_EQ(evaluator.EvaluateTruncated("(8)-1").Value, 7);
    EXPECT_FALSE(evaluator.EvaluateTruncated("W").Ok);
    EXPECT_EQ(evaluator.EvaluateTruncated("0").Value, 0);
}

} // namespace

namespace {

// A failure while running used to be placed by its offset in the postfix text, which is longer
// than the source, so a one-line expression could fail on "Line 2".
TEST(Executor, RunTimeFailuresNameTheSourceLine) {
    TExpressionEvaluator evaluator;
    EXPECT_EQ(FailureOf(evaluator, "x:=1\ny:=1/0\nz:=2"), "Line 2: Division by zero");
    EXPECT_EQ(FailureOf(evaluator, "x:=1/0\ny:=2"), "Line 1: Division by zero");
    EXPECT_EQ(FailureOf(evaluator, "a:=1\nb:=2\nIF a<b THEN\n  c:=W"),
              "'W' is not a valid floating point value");
    EXPECT_EQ(FailureOf(evaluator, "a:=1\nb:=2\nIF a<b THEN\n  c:=a/0"),
              "Line 4: Division by zero");
    EXPECT_EQ(FailureOf(evaluator, std::string(100, ' ') + "1/0"), "Line 1: Division by zero");
}

} // namespace
