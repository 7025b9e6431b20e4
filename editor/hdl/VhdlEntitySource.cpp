// The tokens of a VHDL text, its entity declarations, their context clauses and port defaults.
#include "editor/hdl/VhdlEntitySource.h"

#include "platform/AsciiCase.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

using Token = VhdlSourceText::Token;

bool IsWordByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Reserved words after which a quote opens a character literal, not an attribute: the words
// that stand before an operand.
bool OpensOperand(std::string_view lower) {
    static constexpr std::string_view words[] = {
        "abs", "and", "else",     "mod", "nand", "nor", "not", "or",   "rem",  "report", "return",
        "rol", "ror", "severity", "sla", "sll",  "sra", "srl", "when", "xnor", "xor"};
    return std::find(std::begin(words), std::end(words), lower) != std::end(words);
}

// Two-character symbols that matter here; any other symbol is read one character at a time.
bool IsPairSymbol(char a, char b) {
    return (a == ':' && b == '=') || (a == '=' && b == '>') || (a == '<' && b == '=') ||
           (a == '/' && b == '=') || (a == '>' && b == '=') || (a == '*' && b == '*');
}

std::vector<Token> Tokenize(std::string_view text) {
    std::vector<Token> tokens;
    const std::size_t n = text.size();
    bool spaced = false;
    std::size_t i = 0;
    auto push = [&](Token::Kind kind, std::size_t begin, std::size_t end) {
        tokens.push_back({kind, begin, end, spaced});
        spaced = false;
        i = end;
    };
    while (i < n) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            spaced = true;
            ++i;
        } else if (c == '-' && i + 1 < n && text[i + 1] == '-') {
            const std::size_t end = text.find('\n', i);
            i = end == std::string_view::npos ? n : end;
            spaced = true;
        } else if (c == '/' && i + 1 < n && text[i + 1] == '*') {
            const std::size_t end = text.find("*/", i + 2);
            i = end == std::string_view::npos ? n : end + 2;
            spaced = true;
        } else if (IsWordByte(c)) {
            std::size_t end = i;
            while (end < n && IsWordByte(text[end]))
                ++end;
            push(Token::Word, i, end);
        } else if (c == '"' || c == '\\') {
            // A doubled delimiter stands for itself inside a string or an extended identifier.
            std::size_t end = i + 1;
            while (end < n) {
                if (text[end] == c) {
                    if (end + 1 < n && text[end + 1] == c) {
                        end += 2;
                        continue;
                    }
                    ++end;
                    break;
                }
                if (text[end] == '\n')
                    break;
                ++end;
            }
            push(c == '"' ? Token::String : Token::Extended, i, end);
        } else if (c == '\'') {
            // After a name or a closing parenthesis the quote is an attribute's tick
            // (a'range, t'('0')); elsewhere 'x' is a character literal.
            bool tick = false;
            if (!tokens.empty()) {
                const Token& last = tokens.back();
                const std::string_view lastText = text.substr(last.begin, last.end - last.begin);
                tick =
                    (last.kind == Token::Word && !OpensOperand(platform::AsciiLower(lastText))) ||
                    last.kind == Token::Extended || lastText == ")";
            }
            if (!tick && i + 2 < n && text[i + 2] == '\'')
                push(Token::Character, i, i + 3);
            else
                push(Token::Symbol, i, i + 1);
        } else if (i + 1 < n && IsPairSymbol(c, text[i + 1])) {
            push(Token::Symbol, i, i + 2);
        } else {
            push(Token::Symbol, i, i + 1);
        }
    }
    return tokens;
}

} // namespace

std::string VhdlClauseKey(std::string_view item) {
    std::string key;
    key.reserve(item.size());
    bool extended = false;
    for (char c : item) {
        if (c == '\\')
            extended = !extended;
        key += extended ? c : platform::AsciiLower(c);
    }
    return key;
}

VhdlSourceText::VhdlSourceText(std::string text) : text_(std::move(text)) {
    tokens_ = Tokenize(text_);
    for (std::size_t t = 0; t + 2 < tokens_.size(); ++t)
        if (IsWord(t, "entity") &&
            (tokens_[t + 1].kind == Token::Word || tokens_[t + 1].kind == Token::Extended) &&
            IsWord(t + 2, "is"))
            entities_.try_emplace(Lower(tokens_[t + 1]), t);
}

std::string_view VhdlSourceText::Text(const Token& token) const {
    return std::string_view(text_).substr(token.begin, token.end - token.begin);
}

std::string VhdlSourceText::Lower(const Token& token) const {
    return token.kind == Token::Extended ? std::string(Text(token))
                                         : platform::AsciiLower(Text(token));
}

bool VhdlSourceText::IsWord(std::size_t at, std::string_view lower) const {
    return at < tokens_.size() && tokens_[at].kind == Token::Word &&
           platform::SameIgnoringAsciiCase(Text(tokens_[at]), lower);
}

bool VhdlSourceText::IsSymbol(std::size_t at, std::string_view symbol) const {
    return at < tokens_.size() && tokens_[at].kind == Token::Symbol && Text(tokens_[at]) == symbol;
}

VhdlEntityContext VhdlSourceText::Entity(std::string_view name) const {
    VhdlEntityContext context;
    const bool extended = !name.empty() && name.front() == '\\';
    auto it = entities_.find(extended ? std::string(name) : platform::AsciiLower(name));
    if (it == entities_.end())
        return context;
    context.Found = true;
    context.Clauses = ContextBefore(it->second);
    ReadPortDefaults(it->second, context);
    return context;
}

// The statements right before the entity, back to the first that is no library, use or
// context clause: the end of the unit before it, or the start of the text.
std::vector<std::string> VhdlSourceText::ContextBefore(std::size_t entity) const {
    std::vector<std::pair<std::size_t, std::size_t>> statements; // [first, semicolon)
    std::size_t end = entity;
    while (end > 0 && IsSymbol(end - 1, ";")) {
        std::size_t begin = end - 1;
        while (begin > 0 && !IsSymbol(begin - 1, ";"))
            --begin;
        const std::size_t semicolon = end - 1;
        if (begin == semicolon)
            break;
        const bool library = IsWord(begin, "library");
        const bool use = IsWord(begin, "use");
        bool context = IsWord(begin, "context");
        // "context c is" opens a context declaration, which is a unit of its own.
        for (std::size_t t = begin; context && t < semicolon; ++t)
            context = !IsWord(t, "is");
        if (!library && !use && !context)
            break;
        statements.emplace_back(begin, semicolon);
        end = begin;
    }
    std::vector<std::string> items;
    for (auto s = statements.rbegin(); s != statements.rend(); ++s) {
        const std::string keyword = Lower(tokens_[s->first]);
        std::string name;
        auto flush = [&] {
            if (!name.empty())
                items.push_back(keyword + " " + name + ";");
            name.clear();
        };
        for (std::size_t t = s->first + 1; t < s->second; ++t) {
            if (IsSymbol(t, ","))
                flush();
            else
                name += Text(tokens_[t]);
        }
        flush();
    }
    return items;
}

void VhdlSourceText::ReadPortDefaults(std::size_t entity, VhdlEntityContext& context) const {
    // The port clause of the entity header: after the generic clause, before its declarations
    // or statements.
    std::size_t t = entity + 3;
    std::size_t open = tokens_.size();
    for (int depth = 0; t < tokens_.size(); ++t) {
        if (IsSymbol(t, "("))
            ++depth;
        else if (IsSymbol(t, ")"))
            --depth;
        else if (depth == 0 && IsWord(t, "port") && IsSymbol(t + 1, "(")) {
            open = t + 1;
            break;
        } else if (depth == 0 && (IsWord(t, "begin") || IsWord(t, "end"))) {
            break;
        }
    }
    if (open == tokens_.size())
        return;
    std::size_t declaration = open + 1;
    std::vector<std::string> names;
    std::size_t assign = 0; // the ":=" of the declaration, or 0
    bool typed = false;     // the names' ":" was passed
    auto finish = [&](std::size_t end) {
        if (assign != 0 && assign + 1 < end) {
            std::string value;
            for (std::size_t v = assign + 1; v < end; ++v) {
                if (v > assign + 1 && tokens_[v].spaced)
                    value += ' ';
                value += Text(tokens_[v]);
            }
            for (const std::string& name : names)
                context.Defaults.try_emplace(name, value);
        }
        names.clear();
        assign = 0;
        typed = false;
    };
    int depth = 1;
    for (t = open + 1; t < tokens_.size() && depth > 0; ++t) {
        if (IsSymbol(t, "(")) {
            ++depth;
        } else if (IsSymbol(t, ")")) {
            if (--depth == 0)
                finish(t);
        } else if (depth == 1 && IsSymbol(t, ";")) {
            finish(t);
            declaration = t + 1;
        } else if (depth == 1 && !typed && IsSymbol(t, ":")) {
            typed = true;
            for (std::size_t k = declaration; k < t; ++k)
                if ((tokens_[k].kind == Token::Word && !IsWord(k, "signal")) ||
                    tokens_[k].kind == Token::Extended)
                    names.push_back(Lower(tokens_[k]));
        } else if (depth == 1 && typed && assign == 0 && IsSymbol(t, ":=")) {
            assign = t;
        }
    }
}
