// Translation of source text into the postfix program, and the errors translation reports.
#include "editor/expr/ExprEvaluator.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using expr::EInvalidFormula;
using expr::TExpressionEvaluator;

template <typename Case> std::string CaseName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

struct TranslationCase {
    const char* name;
    std::vector<std::string> lines;
    std::string translated;
};

// Every token is followed by one blank; the control texts bring their own extra blanks.
void PrintTo(const TranslationCase& c, std::ostream* os) {
    *os << c.name;
}

const std::vector<TranslationCase> TranslationCases = {
    {"MultiplicationBindsTighterThanAddition", {"1+2*3"}, "1 2 3 * + "},
    {"ParenthesesGroupFirst", {"(1+2)*3"}, "1 2 + 3 * "},
    {"BinaryMinus", {"10-2"}, "10 2 - "},
    {"SubtractionIsLeftAssociative", {"10-2-3"}, "10 2 - 3 - "},
    {"DivisionAndMultiplicationAreLeftAssociative", {"7/2*2"}, "7 2 / 2 * "},
    {"MinusFirstIsUnary", {"-5"}, "5 NEGATIVE "},
    {"MinusAfterStarIsUnary", {"2*-5"}, "2 5 NEGATIVE * "},
    {"MinusAfterAssignmentIsUnary", {"x:=-5"}, "x 5 NEGATIVE := "},
    {"MinusAfterParenthesisIsUnary", {"(-x)"}, "x NEGATIVE "},
    {"MinusBeforeIdentifier", {"-x"}, "x NEGATIVE "},
    {"StatementsWithoutSeparator", {"a:=1 b:=a+1"}, "a 1 := b a 1 + := "},
    {"ExpressionStatementsFollowOneAnother", {"1 2"}, "1 2 "},
    {"IfThen", {"IF 1=1 THEN x:=2"}, "1 1 = IF 1 x 2 := DO 1 "},
    {"NotOnParenthesisedCondition", {"IF NOT (1=2) THEN x:=1"}, "1 2 = NOT IF 1 x 1 := DO 1 "},
    {"AndJoinsComparisons", {"IF 1=1 AND 2=2 THEN x:=1"}, "1 1 = 2 2 = AND IF 1 x 1 := DO 1 "},
    {"OrJoinsComparisons", {"IF 1=1 OR 2=2 THEN x:=1"}, "1 1 = 2 2 = OR IF 1 x 1 := DO 1 "},
    {"AndJoinsParenthesisedConditions",
     {"IF (1=1) AND (2=2) THEN r:=1"},
     "1 1 = 2 2 = AND IF 1 r 1 := DO 1 "},
    {"AllComparisons",
     {"IF 1<>2 AND 1>=2 AND 1<=2 AND 1<2 AND 1>2 THEN x:=1"},
     "1 2 <> 1 2 >= AND 1 2 <= AND 1 2 < AND 1 2 > AND IF 1 x 1 := DO 1 "},
    {"LowerCaseKeywordsWithElse",
     {"if x>1 then y:=1 else y:=2"},
     "x 1 > IF 1 y 1 := TO 2 DO 1  y 2 := DO 2 "},
    {"While", {"x:=0 WHILE x<3 DO x:=x+1"}, "x 0 := DO 1 x 3 <  IF 2 x x 1 + := TO 1 DO 2 "},
    {"Repeat", {"REPEAT x:=x+1 UNTIL x>=3"}, "DO 1 x x 1 + := x 3 >= IF 1 "},
    {"For",
     {"FOR i:=1 TO 3 DO s:=s+i"},
     "i 1 :=i  i  1 - := DO 1 i  i  1 +:= i  3 <= IF 2 s s i + := TO 1 DO 2 "},
    {"ElseBelongsToTheInnerIf",
     {"IF 1<2 THEN IF 2<3 THEN x:=1 ELSE x:=2"},
     "1 2 < IF 1 2 3 < IF 2 x 1 := TO 3 DO 2  x 2 := DO 3 DO 1 "},
    {"BeginEndGroupsStatements", {"BEGIN x:=1 y:=2 END"}, "x 1 := y 2 := "},
    {"NestedBeginEnd", {"BEGIN x:=1 BEGIN y:=2 END END"}, "x 1 := y 2 := "},
    {"WhileWithBlockBody",
     {"WHILE x<3 DO BEGIN x:=x+1 y:=x END"},
     "DO 1 x 3 <  IF 2 x x 1 + := y x := TO 1 DO 2 "},
    {"DecimalNumber", {"1.5*2"}, "1.5 2 * "},
    {"SecondPointStartsAnotherNumber", {"1.2.3"}, "1.2 .3 "},
    {"IdentifierWithPoint", {"a.b:=2"}, "a.b 2 := "},
    {"ControlCharactersAreBlanks",
     {"1\t+\x01"
      "2"},
     "1 2 + "},
    {"LinesAreJoined", {"x:=1", "y:=x"}, "x 1 := y x := "},
    // A parenthesis or arithmetic operator used to swallow a following "=" or ">" into one
    // unknown symbol.
    {"ParenthesisBeforeComparison",
     {"IF (1)=1 THEN x:=2 IF (1)>(0) THEN y:=(2)"},
     "1 1 = IF 1 x 2 := DO 1 1 0 > IF 2 y 2 := DO 2 "},
    {"EmptyTextTranslatesToNothing", {}, ""},
    {"EmptyLineTranslatesToNothing", {""}, ""},
    {"LongTextIsNotCutAt64K", {"x:=" + std::string(70000, ' ') + "1"}, "x 1 := "},
};

class Translation : public testing::TestWithParam<TranslationCase> {};

TEST_P(Translation, GivesTheExactPostfixText) {
    TExpressionEvaluator evaluator;
    evaluator.SetExpressions(GetParam().lines);
    EXPECT_EQ(evaluator.GetTranslated(), GetParam().translated);
}

INSTANTIATE_TEST_SUITE_P(Cases, Translation, testing::ValuesIn(TranslationCases),
                         CaseName<TranslationCase>);

struct TranslationErrorCase {
    const char* name;
    std::string text;
    std::string message;
};

void PrintTo(const TranslationErrorCase& c, std::ostream* os) {
    *os << c.name;
}

const std::vector<TranslationErrorCase> TranslationErrorCases = {
    {"MinusDirectlyAfterMinus", "3--2", "Line 1: The operand is expected"},
    {"MinusBeforeOperator", "2*-*3", "Line 1: The operand is expected"},
    {"BinaryMinusBeforeMinus", "3 - -2", "Line 1: Symbol - not expected "},
    {"UnaryMinusBeforeParenthesis", "2*-(3)", "Line 1: Symbol - not expected "},
    {"Semicolon", "1;2", "Line 1: Inadmissiblis numeral ;"},
    {"Comma", "1,2", "Line 1: Inadmissiblis numeral ,"},
    {"MultiByteCharacterIsShownWhole", "2\xC2\xB2", "Line 1: Inadmissiblis numeral \xC2\xB2"},
    {"MissingRightOperand", "1+", "Line 1: Symbol $ not expected "},
    {"UnclosedParenthesis", "x:=(1+2", "Line 1: \"$\" - Syntactic error "},
    {"LoneColon", ":", "Line 1: "},
    {"EqualsGreater", "=>", "Line 1: "},
    {"LessEqualsGreater", "1<=>2", "Line 1: "},
    {"NegativeWrittenInSource", "NEGATIVE", "Line 1: "},
    {"BareExpressionIsNoCondition", "IF 1 THEN x:=2", "Line 1: Symbol THEN not expected "},
    {"ConditionAsProgram", "NOT 1=2", "Line 1: Symbol NOT not expected "},
    {"AndJoinsConditionsOnly", "5 AND 3", "Line 1: Symbol AND not expected "},
    {"ComparisonsDoNotChain", "IF 1<2<3 THEN x:=1", "Line 1: \"THEN\" - Syntactic error "},
    {"NumberIsNotAssignable", "5:=3", "Line 1: Symbol := not expected "},
    {"BlanksOnly", "   ", "Line 1: \"$\" - Syntactic error "},
    {"ErrorOnSecondLine", "1\r\n1 ? 2\r\n3", "Line 2: Inadmissiblis numeral ?"},
    {"ErrorAtEndOfThirdLine", "x:=1\ny:=2\nz:=", "Line 3: Symbol $ not expected "},
    {"ErrorAfter64KOnSecondLine", "x:=" + std::string(70000, ' ') + "1\n?",
     "Line 2: Inadmissiblis numeral ?"},
    // Keywords without the construct that opens them used to pop an empty control stack.
    {"DoWithoutWhileOrFor", "x DO y", "Line 1: Symbol DO not expected "},
    {"ToWithoutFor", "x TO 3", "Line 1: Symbol TO not expected "},
    {"ElseWithoutIf", "x:=1 ELSE y:=2", "Line 1: Symbol ELSE not expected "},
    {"EndWithoutBegin", "x:=1 END", "Line 1: \"$\" - Syntactic error "},
};

class TranslationError : public testing::TestWithParam<TranslationErrorCase> {};

TEST_P(TranslationError, RaisesTheExactMessage) {
    TExpressionEvaluator evaluator;
    try {
        evaluator.SetExpressionText(GetParam().text);
        FAIL() << "translated to: " << evaluator.GetTranslated();
    } catch (const EInvalidFormula& failure) {
        EXPECT_EQ(std::string(failure.what()), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, TranslationError, testing::ValuesIn(TranslationErrorCases),
                         CaseName<TranslationErrorCase>);

TEST(Translator, NamesFunctionsInUpperCaseAndKeepsEachCallsOwnName) {
    TExpressionEvaluator evaluator;
    evaluator.SetFunctionNameList({"f", "Sqr"});
    evaluator.SetExpressionText("f(2)");
    EXPECT_EQ(evaluator.GetTranslated(), "2 F ");
    evaluator.SetExpressionText("SQR(-3)+f(4)");
    EXPECT_EQ(evaluator.GetTranslated(), "3 NEGATIVE SQR 4 F + ");
    // A call inside an argument used to give the outer call the inner call's name.
    evaluator.SetExpressionText("f(sqr(2))");
    EXPECT_EQ(evaluator.GetTranslated(), "2 SQR F ");
}

TEST(Translator, FunctionNamesWithoutListEntryAreIdentifiers) {
    TExpressionEvaluator evaluator;
    evaluator.SetExpressionText("f (2)");
    EXPECT_EQ(evaluator.GetTranslated(), "f 2 ");
}

TEST(Translator, ReadsNumbersWithTheChosenDecimalPoint) {
    TExpressionEvaluator evaluator;
    evaluator.DecimalPoint = ',';
    evaluator.SetExpressionText("1,5*2");
    EXPECT_EQ(evaluator.GetTranslated(), "1,5 2 * ");
    // With a comma as the decimal point a dot inside a word no longer ends it.
    evaluator.SetExpressionText("a.b.c:=1");
    EXPECT_EQ(evaluator.GetTranslated(), "a.b.c 1 := ");
}

TEST(Translator, KeepsWhatWasEmittedBeforeAnError) {
    TExpressionEvaluator evaluator;
    EXPECT_THROW(evaluator.SetExpressionText("x:=1 y:=2+"), EInvalidFormula);
    EXPECT_EQ(evaluator.GetTranslated(), "x 1 := y 2 ");
}

TEST(Translator, StartsEachTranslationWithEmptyStacks) {
    TExpressionEvaluator evaluator;
    // Leaves the IF's entries on the control stack.
    EXPECT_THROW(evaluator.SetExpressionText("IF 1=1 THEN ?"), EInvalidFormula);
    try {
        evaluator.SetExpressionText("x DO y");
        FAIL() << "a DO without WHILE consumed what the failed translation left";
    } catch (const EInvalidFormula& failure) {
        EXPECT_EQ(std::string(failure.what()), "Line 1: Symbol DO not expected ");
    }
    evaluator.SetExpressionText("IF 1=1 THEN x:=1");
    EXPECT_EQ(evaluator.GetTranslated(), "1 1 = IF 1 x 1 := DO 1 ");
}

TEST(Translator, SplitsTextIntoLinesAtEveryLineBreak) {
    TExpressionEvaluator evaluator;
    evaluator.SetExpressionText("a:=1\r\nb:=2\nc:=3\rd:=4\r\n");
    const std::vector<std::string> lines = {"a:=1", "b:=2", "c:=3", "d:=4"};
    EXPECT_EQ(evaluator.GetExpressions(), lines);
}

} // namespace
