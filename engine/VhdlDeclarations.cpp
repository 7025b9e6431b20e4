// The VHDL declaration reader: the pattern's choices made in the order the pattern makes them,
// each name list walked once.
#include "engine/VhdlDeclarations.h"

#include "engine/AsciiText.h"
#include "engine/Definitions.h"

#include <vector>

namespace qve {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Whether the whole word at i (a run of word bytes that starts there) is one of the words, in
// any letter case; its end when it is.
std::optional<std::size_t> WordAt(std::string_view text, std::size_t i,
                                  std::initializer_list<std::string_view> words) {
    if (i >= text.size() || (i > 0 && IsWordByte(text[i - 1])))
        return std::nullopt;
    std::size_t end = WordEnd(text, i);
    std::string lower = Lower(text.substr(i, end - i));
    for (std::string_view word : words)
        if (lower == word)
            return end;
    return std::nullopt;
}

} // namespace

VhdlDeclarationReader::VhdlDeclarationReader(std::string_view text, VhdlClause clause)
    : text_(text), clause_(clause), lastSemicolon_(text.rfind(';')) {}

std::optional<std::size_t> VhdlDeclarationReader::NameEnd(std::size_t begin) const {
    if (begin >= text_.size())
        return std::nullopt;
    if (text_[begin] == '\\')
        return ExtendedNameEnd(text_, begin);
    // A basic name: a whole word of letters and digits with single underscores between them.
    if (!IsLetter(text_[begin]) || (begin > 0 && IsWordByte(text_[begin - 1])))
        return std::nullopt;
    std::size_t end = WordEnd(text_, begin);
    if (text_[end - 1] == '_')
        return std::nullopt;
    for (std::size_t j = begin + 1; j < end; ++j)
        if (text_[j] == '_' && text_[j - 1] == '_')
            return std::nullopt;
    return end;
}

std::optional<std::size_t> VhdlDeclarationReader::ListEnd(std::size_t begin) const {
    // The list goes on from name to name while a comma follows; a ":" ends it. Every name walked
    // learns the answer, so a later search from any of them takes it at once.
    std::vector<std::size_t> walked;
    std::size_t end = kNone;
    for (std::size_t at = begin;;) {
        if (auto known = listEnds_.find(at); known != listEnds_.end()) {
            end = known->second;
            break;
        }
        walked.push_back(at);
        std::optional<std::size_t> name = NameEnd(at);
        if (!name)
            break;
        std::size_t next = SkipBlanks(text_, *name);
        if (next < text_.size() && text_[next] == ':') {
            end = *name;
            break;
        }
        if (next >= text_.size() || text_[next] != ',')
            break;
        at = SkipBlanks(text_, next + 1);
    }
    for (std::size_t at : walked)
        listEnds_[at] = end;
    if (end == kNone)
        return std::nullopt;
    return end;
}

std::optional<VhdlDeclarationParts> VhdlDeclarationReader::At(std::size_t names) const {
    std::optional<std::size_t> namesEnd = ListEnd(names);
    if (!namesEnd)
        return std::nullopt;
    VhdlDeclarationParts parts;
    parts.names = text_.substr(names, *namesEnd - names);
    std::size_t at = SkipBlanks(text_, SkipBlanks(text_, *namesEnd) + 1);
    if (clause_ == VhdlClause::Port) {
        if (std::optional<std::size_t> mode = WordAt(text_, at, {"in", "out", "inout", "buffer"})) {
            parts.mode = text_.substr(at, *mode - at);
            at = SkipBlanks(text_, *mode);
        }
        if (!WordAt(text_, at, {"std_logic", "std_logic_vector"}))
            return std::nullopt;
    } else if (std::optional<std::size_t> in = WordAt(text_, at, {"in"})) {
        at = SkipBlanks(text_, *in);
    }
    if (lastSemicolon_ == kNone || at > lastSemicolon_)
        return std::nullopt;
    // The type is the shortest text after which a default value, or the ";", may come; for a
    // port a "bus" before either stands apart from it.
    std::size_t typeBegin = at;
    std::size_t x = clause_ == VhdlClause::Port ? WordEnd(text_, at) : at;
    auto defaultAt = [&](std::size_t from) -> std::optional<std::size_t> {
        std::size_t assign = SkipBlanks(text_, from);
        if (text_.compare(assign, 2, ":=") != 0)
            return std::nullopt;
        std::size_t semicolon = text_.find(';', assign + 2);
        if (semicolon == kNone)
            return std::nullopt;
        return semicolon;
    };
    while (x < text_.size()) {
        if (text_[x] == ';') {
            parts.type = text_.substr(typeBegin, x - typeBegin);
            parts.end = x;
            return parts;
        }
        if (clause_ == VhdlClause::Port) {
            if (std::optional<std::size_t> bus = WordAt(text_, x, {"bus"})) {
                if (std::optional<std::size_t> semicolon = defaultAt(*bus)) {
                    parts.type = text_.substr(typeBegin, x - typeBegin);
                    parts.defaultValue = text_.substr(*bus, *semicolon - *bus);
                    parts.end = *semicolon;
                    return parts;
                }
                if (*bus < text_.size() && text_[*bus] == ';') {
                    parts.type = text_.substr(typeBegin, x - typeBegin);
                    parts.end = *bus;
                    return parts;
                }
            }
        }
        if (std::optional<std::size_t> semicolon = defaultAt(x)) {
            parts.type = text_.substr(typeBegin, x - typeBegin);
            parts.defaultValue = text_.substr(x, *semicolon - x);
            parts.end = *semicolon;
            return parts;
        }
        // Within a run of blanks every position leads to the same next word.
        x = IsBlank(text_[x]) ? SkipBlanks(text_, x) : x + 1;
    }
    return std::nullopt;
}

std::optional<VhdlDeclarationParts> VhdlDeclarationReader::Next() {
    const std::string_view lead = clause_ == VhdlClause::Port ? "signal" : "constant";
    for (std::size_t i = position_; i < text_.size(); ++i) {
        char c = text_[i];
        bool name = c == '\\' || (IsLetter(c) && (i == 0 || !IsWordByte(text_[i - 1])));
        if (!name)
            continue;
        // "signal" (or "constant") before the names, and else the word itself as a name.
        std::optional<VhdlDeclarationParts> parts;
        if (std::optional<std::size_t> word = WordAt(text_, i, {lead}))
            parts = At(SkipBlanks(text_, *word));
        if (!parts)
            parts = At(i);
        if (parts) {
            position_ = parts->end;
            return parts;
        }
    }
    position_ = text_.size();
    return std::nullopt;
}

} // namespace qve
