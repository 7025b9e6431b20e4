// TExpressionEvaluator: translates an arithmetic expression, or a small program of statements
// with named variables, into a postfix program and runs it on a stack of doubles.
#pragma once

#include "editor/expr/Chain.h"

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace expr {

// Everything the evaluator raises: "Line n: " and what went wrong.
class EInvalidFormula : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A word that is neither a variable nor a number, once the word handler has had its say.
class EConvertError : public EInvalidFormula {
public:
    using EInvalidFormula::EInvalidFormula;
};

// What EvaluateTruncated gives: the value, or 0 and the evaluator's message.
struct TruncatedResult {
    bool Ok = false;
    int Value = 0;
    std::string Message;
};

class TExpressionEvaluator {
public:
    // Gives the numeric text for a word that is not a variable (the word arrives upper-cased).
    using ConvertWordEvent = std::function<void(TExpressionEvaluator& sender, std::string& word)>;
    // Computes a function: the argument arrives in parameter, the result is left there.
    using FunctionPerformingEvent = std::function<void(
        TExpressionEvaluator& sender, const std::string& functionName, double& parameter)>;

    // A program that runs more postfix steps than this is taken to loop for ever: the editor has
    // one thread, and a hang there loses the user's work.
    static constexpr std::size_t DefaultStepLimit = 1000000;

    TExpressionEvaluator();

    const std::vector<std::string>& GetExpressions() const { return expressions_; }
    // Every assignment translates at once; a syntax error raises EInvalidFormula from here.
    void SetExpressions(std::vector<std::string> lines);
    // The same for a text, split into lines at CR LF, LF or a lone CR.
    void SetExpressionText(std::string_view text);

    const std::vector<std::string>& GetFunctionNameList() const { return functionNameList_; }
    // Names, compared without regard to letter case, that are called as functions.
    void SetFunctionNameList(std::vector<std::string> names);

    // Decimal separator of number literals and of the texts the word handler gives. It is "."
    // whatever the process locale says: a width must not change with the user's language.
    char DecimalPoint = '.';
    ConvertWordEvent OnConvertWord;
    FunctionPerformingEvent OnFunctionPerforming;
    int Tag = 0;
    std::size_t StepLimit = DefaultStepLimit;

    // Runs the translated program; raises EInvalidFormula when there is nothing to run or the
    // run fails, EConvertError for a word without a value.
    void Execute();
    // The result of the last Execute that succeeded; 0 before the first and after a failure.
    double GetResult() const { return result_; }
    bool VariableIsPresent(std::string_view name) const;
    // 0 for a variable that does not exist.
    double VariableByName(std::string_view name) const;
    const std::string& GetTranslated() const { return translated_; }

    // A variable's value, or the word (after the word handler) read as a number.
    double ConvertWordToValue(std::string word);

    // For width bounds: translates and runs the text, then truncates the result toward zero
    // (7.5 gives 7, -2.5 gives -2). A failure, or a result outside the int range, gives 0 and
    // the message.
    TruncatedResult EvaluateTruncated(std::string_view text);

private:
    struct Token {
        std::string Kind;
        std::string Word;
        std::size_t Last = 0; // offset of the token's last character in the program
    };

    void TranslateExpression();
    void Scan(std::string& kind, std::string& word);
    void ScanOperatorOrMinus(std::string& kind, std::string& word);
    bool MinusIsUnary() const;
    void Reduce(const std::string& word, bool& complete);
    void ShiftAction(const std::string& kind);
    std::string PopControl(const std::string& kind);
    std::string NewLabel();
    void Emit(std::string_view text);
    std::size_t SourceLineAt(std::size_t position) const;
    std::size_t ProgramLineAt(std::size_t offset) const;

    void RunProgram(const std::vector<Token>& program);
    void ProcessOperation(const std::vector<Token>& program, std::size_t& next,
                          const std::string& operation, const std::string& word);
    double TakeOperand();
    void PushFinite(double value);
    double ReadNumber(const std::string& text) const;

    [[noreturn]] void Error(const std::string& message) const;

    std::vector<std::string> expressions_;
    std::vector<std::string> functionNameList_;
    std::string text_;
    std::size_t position_ = 0; // characters of text_ consumed so far
    bool scanningProgram_ = false;
    // Where each source line ends in text_, counting its CR LF.
    std::vector<std::size_t> lineEnds_;

    TStringStack controlStack_;
    TStringStack parseStack_;
    std::string translated_;
    // The source line of each run of the program, as (offset in translated_, line), so that a
    // failure while running names the line the failing code came from.
    std::vector<std::pair<std::size_t, std::size_t>> programLines_;
    std::size_t emitLine_ = 1; // the line of the token shifted last
    std::size_t labelCounter_ = 0;
    std::string pendingComparison_;
    // One name per open call, so a call in an argument does not rename the outer call.
    std::vector<std::string> pendingFunctions_;

    double result_ = 0.0;
    TStackOfFloat operandStack_;
    TStackOfFloat variables_;
};

} // namespace expr
