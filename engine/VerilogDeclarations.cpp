// The declaration reader: the declaration pattern's choices made in the order the pattern makes
// them, over positions found once (keywords, bracket pairs), so nothing is searched twice.
#include "engine/VerilogDeclarations.h"

#include "engine/AsciiText.h"
#include "engine/SourceText.h"

#include <algorithm>
#include <array>
#include <string>

namespace qve {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

constexpr std::array<std::string_view, 4> kKeywords = {"input", "output", "inout", "parameter"};
// The net types and variable words that may stand between the keyword and the range.
constexpr std::array<std::string_view, 14> kModifiers = {
    "supply0", "supply1", "tri", "triand", "trior",  "tri0",    "tri1",
    "wire",    "wand",    "wor", "reg",    "signed", "integer", "time"};

bool OneOf(std::string_view word, const auto& words) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

// After a string literal that opens at i: "..." with backslash escapes; npos when it never closes.
std::size_t StringEnd(std::string_view text, std::size_t i) {
    for (std::size_t j = i + 1; j < text.size(); ++j) {
        if (text[j] == '\\') {
            if (++j >= text.size())
                return kNone;
        } else if (text[j] == '"') {
            return j + 1;
        }
    }
    return kNone;
}

char Closer(char open) {
    return open == '(' ? ')' : open == '[' ? ']' : '}';
}

bool IsOpener(char c) {
    return c == '(' || c == '[' || c == '{';
}

bool IsCloser(char c) {
    return c == ')' || c == ']' || c == '}';
}

} // namespace

VerilogDeclarationReader::VerilogDeclarationReader(std::string_view body) : body_(body) {
    for (std::size_t i = 0; i < body.size();) {
        if (!IsWordByte(body[i])) {
            ++i;
            continue;
        }
        std::size_t end = WordEnd(body, i);
        if (OneOf(body.substr(i, end - i), kKeywords))
            keywords_.emplace_back(i, end);
        i = end;
    }
}

std::optional<std::size_t> VerilogDeclarationReader::GroupEnd(std::size_t open) const {
    // Inside a bracket a string is taken whole and every bracket must pair; a mismatch, a string
    // left open or the end of the text fails every bracket still open, as the balanced group of
    // the pattern fails there. Brackets met on the way keep what they got.
    if (auto known = groupEnds_.find(open); known == groupEnds_.end()) {
        std::vector<std::size_t> stack = {open};
        std::size_t i = open + 1;
        while (!stack.empty()) {
            bool failed = i >= body_.size();
            if (!failed) {
                char c = body_[i];
                if (IsOpener(c)) {
                    auto inner = groupEnds_.find(i);
                    if (inner == groupEnds_.end()) {
                        stack.push_back(i++);
                        continue;
                    }
                    failed = inner->second == kNone;
                    i = inner->second;
                } else if (IsCloser(c)) {
                    failed = Closer(body_[stack.back()]) != c;
                    if (!failed) {
                        groupEnds_[stack.back()] = ++i;
                        stack.pop_back();
                    }
                } else if (c == '"') {
                    i = StringEnd(body_, i);
                    failed = i == kNone;
                } else {
                    ++i;
                }
            }
            if (failed) {
                for (std::size_t still : stack)
                    groupEnds_[still] = kNone;
                stack.clear();
            }
        }
    }
    std::size_t end = groupEnds_.at(open);
    if (end == kNone)
        return std::nullopt;
    return end;
}

std::optional<VerilogDeclarationParts> VerilogDeclarationReader::Next() {
    while (nextKeyword_ < keywords_.size()) {
        auto [keyword, keywordEnd] = keywords_[nextKeyword_++];
        if (keyword < position_)
            continue;
        if (std::optional<VerilogDeclarationParts> parts = At(keyword, keywordEnd)) {
            position_ = parts->end;
            return parts;
        }
    }
    return std::nullopt;
}

std::optional<VerilogDeclarationParts> VerilogDeclarationReader::At(std::size_t keyword,
                                                                    std::size_t keywordEnd) const {
    // The modifiers as far as they go; when the rest fails, each one fewer (the last modifier
    // word is then the first name, as "input wire;" declares a port named wire).
    std::vector<std::size_t> modifierEnds = {keywordEnd};
    for (;;) {
        std::size_t word = SkipBlanks(body_, modifierEnds.back());
        std::size_t end = WordEnd(body_, word);
        if (end == word || !OneOf(body_.substr(word, end - word), kModifiers))
            break;
        modifierEnds.push_back(end);
    }
    for (auto modifiers = modifierEnds.rbegin(); modifiers != modifierEnds.rend(); ++modifiers) {
        std::size_t at = SkipBlanks(body_, *modifiers);
        VerilogDeclarationParts parts;
        parts.keyword = body_.substr(keyword, keywordEnd - keyword);
        if (at < body_.size() && body_[at] == '[') {
            // The range: the first bound to the first ":" outside inner brackets, the second to
            // the first "]" outside them.
            std::size_t colon = kNone;
            std::size_t close = kNone;
            for (std::size_t i = at + 1; i < body_.size();) {
                char c = body_[i];
                if (c == ']') {
                    close = i;
                    break;
                }
                if (c == '[') {
                    std::optional<std::size_t> end = GroupEnd(i);
                    if (!end)
                        break;
                    i = *end;
                    continue;
                }
                if (c == ':' && colon == kNone)
                    colon = i;
                ++i;
            }
            if (colon != kNone && close != kNone) {
                std::size_t items = SkipBlanks(body_, close + 1);
                if (std::optional<std::size_t> end = Items(items)) {
                    parts.first = body_.substr(at + 1, colon - at - 1);
                    parts.second = body_.substr(colon + 1, close - colon - 1);
                    parts.items = body_.substr(items, *end - items);
                    parts.end = *end;
                    return parts;
                }
            }
        }
        if (std::optional<std::size_t> end = Items(at)) {
            parts.items = body_.substr(at, *end - at);
            parts.end = *end;
            return parts;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> VerilogDeclarationReader::NameEnd(std::size_t begin) const {
    if (begin >= body_.size())
        return std::nullopt;
    char c = body_[begin];
    if (c == '\\') {
        // An escaped name runs to the next white space, which must come.
        std::size_t i = EscapedIdentifierEnd(body_, begin);
        if (i >= body_.size())
            return std::nullopt;
        return i;
    }
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    if (!letter || (begin > 0 && IsWordByte(body_[begin - 1])))
        return std::nullopt;
    std::size_t i = begin + 1;
    while (i < body_.size() && (IsWordByte(body_[i]) || body_[i] == '$'))
        ++i;
    return i;
}

std::optional<std::size_t> VerilogDeclarationReader::ValueEnd(std::size_t begin) const {
    // A value is the shortest run of pieces after which the list may go on or end, and a piece
    // is never a "," ";" or ")" outside brackets: so it ends before the blanks that lead to the
    // first of them.
    std::size_t i = begin;
    for (;;) {
        std::size_t next = SkipBlanks(body_, i);
        if (next >= body_.size())
            return std::nullopt;
        char c = body_[next];
        if (c == ',' || c == ';' || c == ')')
            return i;
        if (c == ']' || c == '}')
            return std::nullopt;
        if (c == '"') {
            std::size_t end = StringEnd(body_, next);
            if (end == kNone)
                return std::nullopt;
            i = end;
        } else if (IsOpener(c)) {
            std::optional<std::size_t> end = GroupEnd(next);
            if (!end)
                return std::nullopt;
            i = *end;
        } else if (c == '\\') {
            i = EscapedIdentifierEnd(body_, next);
        } else {
            i = next + 1;
        }
    }
}

std::optional<std::size_t> VerilogDeclarationReader::Items(std::size_t begin) const {
    std::size_t at = begin;
    for (;;) {
        std::optional<std::size_t> name = NameEnd(at);
        if (!name)
            return std::nullopt;
        std::size_t end = *name;
        std::size_t equals = SkipBlanks(body_, end);
        if (equals < body_.size() && body_[equals] == '=') {
            std::optional<std::size_t> value = ValueEnd(equals + 1);
            if (!value)
                return std::nullopt;
            end = *value;
        }
        // The list ends at the first place it may: ";" or ")", or a comma before a keyword.
        std::size_t next = SkipBlanks(body_, end);
        if (next >= body_.size())
            return std::nullopt;
        if (body_[next] == ';' || body_[next] == ')')
            return end;
        if (body_[next] != ',')
            return std::nullopt;
        std::size_t after = SkipBlanks(body_, next + 1);
        std::size_t wordEnd = WordEnd(body_, after);
        if (OneOf(body_.substr(after, wordEnd - after), kKeywords))
            return end;
        at = after;
    }
}

} // namespace qve
