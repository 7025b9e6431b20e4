// The evaluator: scanner, simple-precedence translator to postfix, and the postfix executor.
#include "editor/expr/ExprEvaluator.h"

#include "editor/expr/Grammar.h"
#include "platform/AsciiCase.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <optional>

namespace expr {

namespace {

constexpr std::string_view ABC = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_";
constexpr std::string_view Digits = "0123456789";
constexpr std::string_view Separators = "()*+-/:<=>";

constexpr std::array<std::string_view, 14> ReservedWords = {
    "BEGIN", "END",   "IF",     "THEN",  "ELSE", "FOR", "TO",
    "DO",    "WHILE", "REPEAT", "UNTIL", "NOT",  "AND", "OR"};

// The operators a reduction emits: the first of these that occurs in the rule's right side.
constexpr std::array<std::string_view, 14> EmittedOperators = {
    ":=", "NOT", "AND", "OR", "<=", ">=", "<>", "<", ">", "=", "+", "-", "*", "/"};

// Signed 64-bit range as doubles: [-2^63, 2^63).
constexpr double Int64Low = -9223372036854775808.0;
constexpr double Int64High = 9223372036854775808.0;

// The texts the evaluator reports, each written once. The first four are the component's own,
// trailing blanks and spelling included.
std::string OperandExpected() {
    return "The operand is expected";
}
std::string InadmissibleCharacter(std::string_view character) {
    return "Inadmissiblis numeral " + std::string(character);
}
std::string SymbolNotExpected(std::string_view kind) {
    return "Symbol " + std::string(kind) + " not expected ";
}
std::string SyntacticError(std::string_view word) {
    return "\"" + std::string(word) + "\" - Syntactic error ";
}
std::string VariableExpected() {
    return "The variable is expected";
}
std::string DivisionByZero() {
    return "Division by zero";
}
std::string NotFinite() {
    return "The result is not a finite number";
}
std::string OutOfIntegerRange() {
    return "The value is out of integer range";
}
std::string TooManySteps(std::size_t limit) {
    return "The program runs more than " + std::to_string(limit) + " steps";
}
std::string NotANumber(std::string_view text) {
    return "'" + std::string(text) + "' is not a valid floating point value";
}

bool Contains(std::string_view set, char c) {
    return set.find(c) != std::string_view::npos;
}
bool IsDigit(char c) {
    return Contains(Digits, c);
}
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) < 33;
}

// A character that cannot start a token is reported whole, also when it is a multi-byte UTF-8
// character, so that the message stays readable.
std::size_t CharacterLength(std::string_view text, std::size_t at) {
    std::size_t length = 1;
    if ((static_cast<unsigned char>(text[at]) & 0xC0) == 0xC0) {
        while (length < 4 && at + length < text.size() &&
               (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80) {
            ++length;
        }
    }
    return length;
}

// Reads a decimal number in the one form the evaluator accepts, whatever the process locale:
// blanks, a sign, digits with at most one decimal point (at least one digit), an exponent, blanks.
// "inf", "nan", hexadecimal and out-of-range values are refused.
std::optional<double> ParseDecimal(std::string_view text, char decimalPoint) {
    std::string normal;
    std::size_t at = 0;
    while (at < text.size() && text[at] == ' ') {
        ++at;
    }
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        if (text[at] == '-') {
            normal.push_back('-');
        }
        ++at;
    }
    std::size_t digits = 0;
    while (at < text.size() && IsDigit(text[at])) {
        normal.push_back(text[at++]);
        ++digits;
    }
    if (at < text.size() && text[at] == decimalPoint) {
        normal.push_back('.');
        ++at;
        while (at < text.size() && IsDigit(text[at])) {
            normal.push_back(text[at++]);
            ++digits;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        normal.push_back('e');
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
            normal.push_back(text[at++]);
        }
        std::size_t exponentDigits = 0;
        while (at < text.size() && IsDigit(text[at])) {
            normal.push_back(text[at++]);
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return std::nullopt;
        }
    }
    while (at < text.size() && text[at] == ' ') {
        ++at;
    }
    if (at != text.size()) {
        return std::nullopt;
    }
    double value = 0.0;
    const char* end = normal.data() + normal.size();
    const auto [ptr, ec] = std::from_chars(normal.data(), end, value, std::chars_format::general);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// A condition value is false when it rounds (halves to even) to 0.
bool IsFalse(double value) {
    return std::fabs(value) <= 0.5;
}

} // namespace

TExpressionEvaluator::TExpressionEvaluator() = default;

void TExpressionEvaluator::SetExpressions(std::vector<std::string> lines) {
    expressions_ = std::move(lines);
    text_.clear();
    lineEnds_.clear();
    std::size_t cumulative = 0;
    for (std::size_t i = 0; i < expressions_.size(); ++i) {
        if (i > 0) {
            text_ += "\r\n";
        }
        text_ += expressions_[i];
        cumulative += expressions_[i].size() + 2;
        lineEnds_.push_back(cumulative);
    }
    translated_.clear();
    programLines_.clear();
    translationFailure_.clear();
    try {
        TranslateExpression();
    } catch (const EInvalidFormula& failure) {
        translationFailure_ = failure.what();
        throw;
    }
}

void TExpressionEvaluator::SetExpressionText(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == '\r' || text[at] == '\n') {
            lines.emplace_back(text.substr(start, at - start));
            if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') {
                ++at;
            }
            start = ++at;
        } else {
            ++at;
        }
    }
    if (start < text.size()) {
        lines.emplace_back(text.substr(start));
    }
    SetExpressions(std::move(lines));
}

void TExpressionEvaluator::SetFunctionNameList(std::vector<std::string> names) {
    functionNameList_ = std::move(names);
}

bool TExpressionEvaluator::VariableIsPresent(std::string_view name) const {
    return variables_.IsPresent(GetUpperCase(name));
}

double TExpressionEvaluator::VariableByName(std::string_view name) const {
    return variables_.GetValue(GetUpperCase(name));
}

std::size_t TExpressionEvaluator::SourceLineAt(std::size_t position) const {
    // 1 + the lines that end (CR LF included) at or before the position.
    return 1 +
           static_cast<std::size_t>(std::upper_bound(lineEnds_.begin(), lineEnds_.end(), position) -
                                    lineEnds_.begin());
}

std::size_t TExpressionEvaluator::ProgramLineAt(std::size_t offset) const {
    const auto after =
        std::upper_bound(programLines_.begin(), programLines_.end(), offset,
                         [](std::size_t value, const auto& entry) { return value < entry.first; });
    return after == programLines_.begin() ? 1 : std::prev(after)->second;
}

void TExpressionEvaluator::Error(const std::string& message) const {
    const std::size_t line = scanningProgram_ ? ProgramLineAt(position_) : SourceLineAt(position_);
    throw EInvalidFormula("Line " + std::to_string(line) + ": " + message);
}

void TExpressionEvaluator::Emit(std::string_view text) {
    if (programLines_.empty() || programLines_.back().second != emitLine_) {
        programLines_.emplace_back(translated_.size(), emitLine_);
    }
    translated_ += text;
}

void TExpressionEvaluator::Scan(std::string& kind, std::string& word) {
    kind = "$";
    word = "$";
    while (position_ < text_.size() && IsBlank(text_[position_])) {
        ++position_;
    }
    if (position_ >= text_.size()) {
        return;
    }
    const std::size_t start = position_;
    const char c = text_[start];

    if (IsDigit(c) || c == DecimalPoint) {
        bool pointSeen = false;
        while (position_ < text_.size()) {
            const char d = text_[position_];
            if (d == DecimalPoint) {
                if (pointSeen) {
                    break;
                }
                pointSeen = true;
            } else if (!IsDigit(d)) {
                break;
            }
            ++position_;
        }
        kind = "N";
        word = text_.substr(start, position_ - start);
        return;
    }

    if (Contains(ABC, c)) {
        bool dotSeen = false;
        while (position_ < text_.size()) {
            const char d = text_[position_];
            if (d == '.') {
                if (dotSeen && DecimalPoint == '.') {
                    break;
                }
                dotSeen = true;
            } else if (!Contains(ABC, d) && !IsDigit(d)) {
                break;
            }
            ++position_;
        }
        word = text_.substr(start, position_ - start);
        if (word == "NEGATIVE") {
            kind = "NEGATIVE";
            return;
        }
        for (const std::string& name : functionNameList_) {
            if (platform::SameIgnoringAsciiCase(word, name)) {
                kind = "FUNCTION_NAME";
                return;
            }
        }
        for (const std::string_view reserved : ReservedWords) {
            if (platform::SameIgnoringAsciiCase(word, reserved)) {
                word = std::string(reserved);
                kind = word;
                return;
            }
        }
        kind = "I";
        return;
    }

    if (start > 0 && text_[start - 1] == '-' && c != '(') {
        ++position_;
        Error(OperandExpected());
    }
    if (Contains(Separators, c)) {
        ScanOperatorOrMinus(kind, word);
        return;
    }
    const std::size_t length = CharacterLength(text_, start);
    position_ += length;
    Error(InadmissibleCharacter(std::string_view(text_).substr(start, length)));
}

void TExpressionEvaluator::ScanOperatorOrMinus(std::string& kind, std::string& word) {
    const char c = text_[position_++];
    if (c != '-') {
        word = std::string(1, c);
        // Only the comparison and assignment characters combine with a following run of "=" and
        // ">" ("<=", ":=", and "=>" outside the table); a parenthesis or an arithmetic operator
        // stays alone, so "(a)=b" is a comparison and not the unknown symbol ")=".
        if (Contains(":<=>", c)) {
            while (position_ < text_.size() &&
                   (text_[position_] == '=' || text_[position_] == '>')) {
                word.push_back(text_[position_++]);
            }
        }
        kind = word;
        return;
    }
    if (!scanningProgram_ && MinusIsUnary()) {
        const std::size_t afterMinus = position_;
        std::string nextKind;
        std::string nextWord;
        Scan(nextKind, nextWord);
        if (nextKind == "N" || nextKind == "I") {
            kind = nextKind;
            word = nextWord + " NEGATIVE";
            return;
        }
        position_ = afterMinus;
    }
    kind = "-";
    word = "-";
}

bool TExpressionEvaluator::MinusIsUnary() const {
    // position_ is just after the minus.
    std::size_t at = position_ - 1;
    while (at > 0 && IsBlank(text_[at - 1])) {
        --at;
    }
    return at == 0 || Contains("(*/=", text_[at - 1]);
}

std::string TExpressionEvaluator::NewLabel() {
    return std::to_string(++labelCounter_);
}

std::string TExpressionEvaluator::PopControl(const std::string& kind) {
    // A keyword without the construct that opened it (DO, TO or ELSE on their own).
    if (controlStack_.IsEmpty()) {
        Error(SymbolNotExpected(kind));
    }
    return controlStack_.Pop();
}

void TExpressionEvaluator::ShiftAction(const std::string& kind) {
    if (kind == "THEN") {
        controlStack_.Push("$");
        const std::string label = NewLabel();
        controlStack_.Push("DO " + label + " ");
        Emit("IF " + label + " ");
    } else if (kind == "ELSE") {
        const std::string pending = PopControl(kind);
        const std::string label = NewLabel();
        controlStack_.Push("DO " + label + " ");
        Emit("TO " + label + " " + pending + " ");
    } else if (kind == "REPEAT") {
        controlStack_.Push("$");
        const std::string label = NewLabel();
        controlStack_.Push("IF " + label + " ");
        Emit("DO " + label + " ");
    } else if (kind == "WHILE") {
        controlStack_.Push("$");
        pendingComparison_.clear();
        const std::string label = NewLabel();
        controlStack_.Push("TO " + label + " ");
        Emit("DO " + label + " ");
    } else if (kind == "DO") {
        Emit(pendingComparison_ + " ");
        const std::string pending = PopControl(kind);
        const std::string label = NewLabel();
        controlStack_.Push("DO " + label + " ");
        controlStack_.Push(pending);
        Emit("IF " + label + " ");
    } else if (kind == "FOR") {
        pendingComparison_ = "<=";
        controlStack_.Push("$");
        const std::size_t here = position_;
        std::string nextKind;
        std::string nextWord;
        Scan(nextKind, nextWord);
        position_ = here;
        controlStack_.Push(nextWord + " ");
    } else if (kind == "TO") {
        const std::string variable = PopControl(kind);
        Emit(":=" + variable + " " + variable + " 1 - := ");
        const std::string label = NewLabel();
        controlStack_.Push("TO " + label + " ");
        Emit("DO " + label + " " + variable + " " + variable + " 1 +:= " + variable + " ");
    }
}

void TExpressionEvaluator::Reduce(const std::string& word, bool& complete) {
    // Popped from the top down; joined in stack order afterwards, so that a long run of "="
    // relations costs its length once and not once per symbol.
    std::vector<std::string> symbols;
    symbols.push_back(parseStack_.Pop());
    // The bottom "$" has no relation below it: the handle stops there.
    while (!parseStack_.IsEmpty()) {
        std::string relation = parseStack_.Pop();
        if (relation != std::string(1, RelationEqual)) {
            parseStack_.Push(std::move(relation));
            break;
        }
        symbols.push_back(parseStack_.Pop());
    }
    std::string handle;
    for (auto symbol = symbols.rbegin(); symbol != symbols.rend(); ++symbol) {
        handle += *symbol;
    }
    const GrammarRule* rule = nullptr;
    for (const GrammarRule& candidate : Rules()) {
        if (candidate.Handle == handle) {
            rule = &candidate;
            break;
        }
    }
    if (rule == nullptr) {
        Error(SyntacticError(word));
    }
    if (rule->Left == "OK") {
        complete = true;
        return;
    }
    if (parseStack_.IsEmpty()) {
        Error(SyntacticError(word));
    }
    parseStack_.Pop();
    const auto top = SymbolNumber(parseStack_.GetTop());
    const auto left = SymbolNumber(rule->Left);
    if (!top || !left) {
        Error("");
    }
    parseStack_.Push(std::string(1, Matrix().Relation(*top, *left)));
    parseStack_.Push(rule->Left);

    if (rule->Right.find("OPERATOR") == std::string::npos) {
        for (const std::string_view op : EmittedOperators) {
            if (rule->Right.find(op) != std::string::npos) {
                Emit(std::string(op) + " ");
                break;
            }
        }
    }
    if (rule->Left == "FUNCTION" && !pendingFunctions_.empty()) {
        Emit(platform::AsciiUpper(pendingFunctions_.back()) + " ");
        pendingFunctions_.pop_back();
    }
    if (rule->Left == "OPERATOR1") {
        for (;;) {
            if (controlStack_.IsEmpty()) {
                Error(SyntacticError(word));
            }
            const std::string pending = controlStack_.Pop();
            if (pending == "$") {
                break;
            }
            Emit(pending);
        }
    }
}

void TExpressionEvaluator::TranslateExpression() {
    scanningProgram_ = false;
    position_ = 0;
    labelCounter_ = 0;
    parseStack_.Clear();
    controlStack_.Clear();
    pendingComparison_.clear();
    pendingFunctions_.clear();
    emitLine_ = 1;
    if (text_.empty()) {
        return;
    }
    parseStack_.Push("$");
    std::string kind;
    std::string word;
    Scan(kind, word);
    for (;;) {
        if (kind == "FUNCTION_NAME") {
            pendingFunctions_.push_back(word);
        }
        for (;;) {
            const auto row = SymbolNumber(parseStack_.GetTop());
            const auto column = SymbolNumber(kind);
            if (!row || !column) {
                Error("");
            }
            const char relation = Matrix().Relation(*row, *column);
            if (relation == RelationNone) {
                Error(SymbolNotExpected(kind));
            }
            if (relation == RelationGreater) {
                bool complete = false;
                Reduce(word, complete);
                if (complete) {
                    return;
                }
                continue;
            }
            emitLine_ = SourceLineAt(position_);
            ShiftAction(kind);
            parseStack_.Push(std::string(1, relation));
            parseStack_.Push(kind);
            if (kind == "N" || kind == "I") {
                Emit(word + " ");
            }
            break;
        }
        Scan(kind, word);
    }
}

double TExpressionEvaluator::ReadNumber(const std::string& text) const {
    const auto value = ParseDecimal(text, DecimalPoint);
    if (!value) {
        throw EConvertError(NotANumber(text));
    }
    return *value;
}

double TExpressionEvaluator::ConvertWordToValue(std::string word) {
    if (variables_.IsPresent(word)) {
        return variables_.GetValue(word);
    }
    bool negative = false;
    if (!word.empty() && word.front() == '-') {
        negative = true;
        word.erase(0, 1);
    }
    if (OnConvertWord) {
        OnConvertWord(*this, word);
    }
    if (negative && !word.empty() && word.front() == '-') {
        negative = false;
        word.erase(0, 1);
    }
    const double value = ReadNumber(word);
    return negative ? -value : value;
}

double TExpressionEvaluator::TakeOperand() {
    if (operandStack_.IsEmpty()) {
        Error(OperandExpected());
    }
    TChainItem item = operandStack_.PopItem();
    if (!item.Name.empty()) {
        return ConvertWordToValue(std::move(item.Name));
    }
    return item.Value;
}

void TExpressionEvaluator::PushFinite(double value) {
    if (!std::isfinite(value)) {
        Error(NotFinite());
    }
    operandStack_.Push(value);
}

void TExpressionEvaluator::Execute() {
    result_ = 0.0;
    // What a failed translation emitted is only the start of the program: running it would give
    // a value for a text that has none.
    if (!translationFailure_.empty()) {
        throw EInvalidFormula(translationFailure_);
    }
    text_ = translated_;
    position_ = 0;
    if (text_.empty()) {
        Error("");
    }
    scanningProgram_ = true;
    Program program;
    for (;;) {
        Token token;
        Scan(token.Kind, token.Word);
        token.Last = position_ - 1;
        if (token.Kind == "$") {
            break;
        }
        program.Tokens.push_back(std::move(token));
    }
    // Found once, as a search from the beginning would find them: a loop near the end of a long
    // program would otherwise scan the whole program at every turn.
    const std::vector<Token>& tokens = program.Tokens;
    std::size_t at = 0;
    while (at < tokens.size()) {
        if (tokens[at].Kind == "DO") {
            if (at + 1 < tokens.size()) {
                program.Marks.try_emplace(tokens[at + 1].Word, at + 2);
            }
            at += 2;
        } else {
            ++at;
        }
    }
    operandStack_.Clear();
    RunProgram(program);
}

void TExpressionEvaluator::RunProgram(const Program& program) {
    const std::vector<Token>& tokens = program.Tokens;
    std::size_t next = 0;
    std::size_t steps = 0;
    while (next < tokens.size()) {
        if (++steps > StepLimit) {
            Error(TooManySteps(StepLimit));
        }
        const Token& token = tokens[next++];
        position_ = token.Last;
        if (token.Kind == "N") {
            operandStack_.Push(ReadNumber(token.Word));
        } else if (token.Kind == "I") {
            operandStack_.Add(GetUpperCase(token.Word), 0.0);
        } else {
            ProcessOperation(program, next, token.Kind, token.Word);
        }
    }
    double result = 0.0;
    if (!operandStack_.IsEmpty()) {
        result = TakeOperand();
    }
    if (variables_.IsPresent("Result")) {
        result = variables_.GetValue("Result");
    }
    result_ = result;
}

void TExpressionEvaluator::ProcessOperation(const Program& program, std::size_t& next,
                                            const std::string& operation, const std::string& word) {
    const std::vector<Token>& tokens = program.Tokens;
    // At the end of the program the scanner answers "$", which no label mark carries.
    const auto readLabel = [&]() -> std::string {
        return next < tokens.size() ? tokens[next++].Word : std::string("$");
    };
    // Execution goes on after the first mark of the label; with none the run ends.
    const auto jumpTo = [&](const std::string& label) {
        const auto mark = program.Marks.find(label);
        next = mark != program.Marks.end() ? mark->second : tokens.size();
    };

    if (operation == "$") {
        return;
    }
    if (operation == "DO") {
        readLabel();
        return;
    }
    if (operation == "TO") {
        jumpTo(readLabel());
        return;
    }
    double y = TakeOperand();
    if (operation == "IF") {
        const std::string label = readLabel();
        if (IsFalse(y)) {
            jumpTo(label);
        }
        return;
    }
    if (operation == ":=") {
        if (operandStack_.IsEmpty() || operandStack_.Top().Name.empty()) {
            Error(VariableExpected());
        }
        variables_.SetValue(operandStack_.PopItem().Name, y);
        return;
    }
    if (operation == "NOT") {
        operandStack_.Push(IsFalse(y) ? 1.0 : 0.0);
        return;
    }
    if (operation == "NEGATIVE") {
        operandStack_.Push(-y);
        return;
    }
    if (operation == "FUNCTION_NAME") {
        if (OnFunctionPerforming) {
            OnFunctionPerforming(*this, word, y);
        }
        PushFinite(y);
        return;
    }
    const double x = TakeOperand();
    const auto truncated = [&](double value) {
        if (!(value >= Int64Low && value < Int64High)) {
            Error(OutOfIntegerRange());
        }
        return static_cast<std::int64_t>(value);
    };
    if (operation == "+") {
        PushFinite(x + y);
    } else if (operation == "-") {
        PushFinite(x - y);
    } else if (operation == "*") {
        PushFinite(x * y);
    } else if (operation == "/") {
        if (y == 0.0) {
            Error(DivisionByZero());
        }
        PushFinite(x / y);
    } else if (operation == "AND") {
        operandStack_.Push(static_cast<double>(truncated(x) & truncated(y)));
    } else if (operation == "OR") {
        operandStack_.Push(static_cast<double>(truncated(x) | truncated(y)));
    } else if (operation == ">") {
        operandStack_.Push(x > y ? 1.0 : 0.0);
    } else if (operation == ">=") {
        operandStack_.Push(x >= y ? 1.0 : 0.0);
    } else if (operation == "<") {
        operandStack_.Push(x < y ? 1.0 : 0.0);
    } else if (operation == "<=") {
        operandStack_.Push(x <= y ? 1.0 : 0.0);
    } else if (operation == "=") {
        operandStack_.Push(x == y ? 1.0 : 0.0);
    } else if (operation == "<>") {
        operandStack_.Push(x != y ? 1.0 : 0.0);
    }
    // Any other operation consumes its two operands and leaves nothing.
}

TruncatedResult TExpressionEvaluator::EvaluateTruncated(std::string_view text) {
    try {
        SetExpressionText(text);
        Execute();
        const double whole = std::trunc(result_);
        if (!(whole >= static_cast<double>(INT_MIN) && whole <= static_cast<double>(INT_MAX))) {
            Error(OutOfIntegerRange());
        }
        return TruncatedResult{true, static_cast<int>(whole), {}};
    } catch (const EInvalidFormula& failure) {
        return TruncatedResult{false, 0, failure.what()};
    }
}

} // namespace expr
