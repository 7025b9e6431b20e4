// Definition finders: one pass for the closing words, a bounded pattern per header, and a search
// of the sorted closing positions for each header, so a definition of any length costs its length.
#include "engine/Definitions.h"

#include "engine/AsciiText.h"
#include "engine/Patterns.h"
#include "regex/Regex.h"

#include <algorithm>

using namespace rx;

namespace qve {
namespace {

// A module keyword and the module's name after it (group 1).
const Regex& ModuleHeader() {
    static const Regex regex(std::string(R"(\b(?:module|macromodule)\b\s*()") + Idn_Vlog + ")",
                             kRegexDotAll);
    return regex;
}

// An entity keyword, the entity's name (group 1) and the "is" after it, in any letter case.
const Regex& EntityHeader() {
    static const Regex regex(std::string(R"(\bentity\b\s*()") + Idn_VHDL + R"()\s*is\b)",
                             kRegexCaseless | kRegexDotAll);
    return regex;
}

using platform::AsciiLower;

// FNV-1a over the lower-case bytes.
std::uint64_t CaselessHash(std::string_view text) {
    std::uint64_t hash = 1469598103934665603ull;
    for (char c : text) {
        hash ^= static_cast<unsigned char>(AsciiLower(c));
        hash *= 1099511628211ull;
    }
    return hash;
}

bool SameAt(std::string_view text, std::size_t at, std::string_view word, bool caseless) {
    if (at + word.size() > text.size())
        return false;
    std::string_view here = text.substr(at, word.size());
    return caseless ? platform::SameIgnoringAsciiCase(here, word) : here == word;
}

bool WholeWordAt(std::string_view text, std::size_t at, std::string_view word, bool caseless) {
    if (!SameAt(text, at, word, caseless))
        return false;
    std::size_t end = at + word.size();
    return (at == 0 || !IsWordByte(text[at - 1])) && (end >= text.size() || !IsWordByte(text[end]));
}

// The end of the entity name that a closer holds at i: a basic name's run of word bytes, or an
// extended name; i when there is none.
std::size_t ClosingNameEnd(std::string_view text, std::size_t i) {
    if (i >= text.size())
        return i;
    if (text[i] != '\\')
        return WordEnd(text, i);
    return ExtendedNameEnd(text, i).value_or(i);
}

const EntityClosers::Closer* FirstFrom(const std::vector<EntityClosers::Closer>& closers,
                                       std::size_t from) {
    auto found = std::lower_bound(
        closers.begin(), closers.end(), from,
        [](const EntityClosers::Closer& closer, std::size_t at) { return closer.begin < at; });
    return found == closers.end() ? nullptr : &*found;
}

} // namespace

std::optional<std::size_t> ExtendedNameEnd(std::string_view text, std::size_t i) {
    for (std::size_t j = i + 1; j < text.size(); ++j) {
        char c = text[j];
        if (c == '\r' || c == '\n' || c == '\t')
            return std::nullopt;
        if (c != '\\')
            continue;
        if (j + 1 < text.size() && text[j + 1] == '\\') {
            ++j;
            continue;
        }
        return j > i + 1 ? std::optional<std::size_t>(j + 1) : std::nullopt;
    }
    return std::nullopt;
}

std::vector<std::size_t> WholeWordPositions(std::string_view text, std::string_view word,
                                            bool caseless) {
    std::vector<std::size_t> positions;
    if (word.empty())
        return positions;
    const char first = word.front();
    const char firstUpper = platform::AsciiUpper(first);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != first && !(caseless && text[i] == firstUpper))
            continue;
        if (WholeWordAt(text, i, word, caseless)) {
            positions.push_back(i);
            i += word.size() - 1;
        }
    }
    return positions;
}

std::optional<std::size_t> FirstAtOrAfter(const std::vector<std::size_t>& positions,
                                          std::size_t from) {
    auto found = std::lower_bound(positions.begin(), positions.end(), from);
    if (found == positions.end())
        return std::nullopt;
    return *found;
}

std::vector<ModuleDefinition> FindModuleDefinitions(std::string_view text) {
    std::vector<ModuleDefinition> definitions;
    if (text.find("module") == std::string_view::npos)
        return definitions;
    const std::vector<std::size_t> closings = WholeWordPositions(text, "endmodule");
    RegexMatch match;
    std::size_t position = 0;
    while (ModuleHeader().Search(text, position, match)) {
        // No later keyword can close where this one does not, so the list ends here.
        std::optional<std::size_t> closing = FirstAtOrAfter(closings, match.End(1));
        if (!closing)
            break;
        std::size_t end = *closing + std::string_view("endmodule").size();
        definitions.push_back({match.Begin(), match.Begin(1), match.End(1), end});
        position = end;
    }
    return definitions;
}

std::vector<std::string> ModuleHeaderNames(std::string_view text) {
    std::vector<std::string> names;
    if (text.find("module") == std::string_view::npos)
        return names;
    ForEachMatch(ModuleHeader(), text,
                 [&](const RegexMatch& match) { names.emplace_back(match.Group(text, 1)); });
    return names;
}

namespace {

// The closer whose "end" stands at `end`, with the name it closes (empty: every entity), or
// nothing when that "end" closes no entity.
struct CloserAt {
    EntityClosers::Closer closer;
    std::size_t nameBegin = 0;
    std::size_t nameSize = 0;
};

std::optional<CloserAt> ParseCloser(std::string_view text, std::size_t end) {
    std::size_t i = SkipBlanks(text, end + 3);
    if (WholeWordAt(text, i, "entity", true))
        i = SkipBlanks(text, i + 6);
    if (i < text.size() && text[i] == ';')
        return CloserAt{{end, i + 1}, i, 0};
    std::size_t nameEnd = ClosingNameEnd(text, i);
    if (nameEnd == i)
        return std::nullopt;
    std::size_t semicolon = SkipBlanks(text, nameEnd);
    if (semicolon >= text.size() || text[semicolon] != ';')
        return std::nullopt;
    return CloserAt{{end, semicolon + 1}, i, nameEnd - i};
}

} // namespace

EntityClosers::EntityClosers(std::string_view text)
    : EntityClosers(text, WholeWordPositions(text, "end", true)) {}

EntityClosers::EntityClosers(std::string_view text, const std::vector<std::size_t>& ends)
    : text_(text) {
    for (std::size_t end : ends) {
        std::optional<CloserAt> at = ParseCloser(text, end);
        if (!at)
            continue;
        if (at->nameSize == 0)
            any_.push_back(at->closer);
        else
            named_.push_back({CaselessHash(text.substr(at->nameBegin, at->nameSize)), at->closer,
                              at->nameBegin, at->nameSize});
    }
    std::sort(named_.begin(), named_.end(), [](const Named& a, const Named& b) {
        return a.hash != b.hash ? a.hash < b.hash : a.closer.begin < b.closer.begin;
    });
}

std::optional<EntityClosers::Closer> EntityClosers::First(std::size_t from,
                                                          std::string_view name) const {
    const Closer* best = FirstFrom(any_, from);
    const std::uint64_t hash = CaselessHash(name);
    auto own =
        std::lower_bound(named_.begin(), named_.end(), std::pair(hash, from),
                         [](const Named& named, const std::pair<std::uint64_t, std::size_t>& key) {
                             return named.hash != key.first ? named.hash < key.first
                                                            : named.closer.begin < key.second;
                         });
    // Names of one hash stand together in place order; the first that is this name is nearest.
    for (; own != named_.end() && own->hash == hash; ++own) {
        if (best != nullptr && own->closer.begin >= best->begin)
            break;
        if (platform::SameIgnoringAsciiCase(text_.substr(own->nameBegin, own->nameSize), name)) {
            best = &own->closer;
            break;
        }
    }
    if (best == nullptr)
        return std::nullopt;
    return *best;
}

namespace {

// The nearest closer for the name at or after from, looked for in the text itself up to limit;
// "unknown" when none stands before limit and the text goes on beyond it.
enum class Search { Found, None, Unknown };

Search NearestCloser(std::string_view text, std::size_t from, std::size_t limit,
                     std::string_view name, EntityClosers::Closer& found) {
    for (std::size_t i = from; i + 3 <= text.size(); ++i) {
        if (i > limit)
            return Search::Unknown;
        if (AsciiLower(text[i]) != 'e' || !WholeWordAt(text, i, "end", true))
            continue;
        std::optional<CloserAt> at = ParseCloser(text, i);
        if (at && (at->nameSize == 0 || platform::SameIgnoringAsciiCase(
                                            text.substr(at->nameBegin, at->nameSize), name))) {
            found = at->closer;
            return Search::Found;
        }
        i += 2;
    }
    return Search::None;
}

} // namespace

std::vector<EntityDefinition> FindEntityDefinitions(std::string_view text) {
    std::vector<EntityDefinition> definitions;
    // Most entities close soon after they begin: each is first looked for in the text, as far as
    // the text the search has passed since the last one (and a little more); past that, an index
    // of every closer, made once, answers this entity and all after it. So the search stays
    // linear however many entities never close, and costs nothing beyond the text when they all
    // close soon.
    std::optional<EntityClosers> closers;
    RegexMatch match;
    std::size_t position = 0;
    while (position <= text.size() && EntityHeader().Search(text, position, match)) {
        std::string_view name = match.Group(text, 1);
        EntityClosers::Closer closer;
        std::size_t limit = match.End() + 2 * (match.End() - position) + 4096;
        // Once the index is made, it answers every later entity at once.
        Search search =
            closers ? Search::Unknown : NearestCloser(text, match.End(), limit, name, closer);
        if (search == Search::Unknown) {
            if (!closers)
                closers.emplace(text);
            std::optional<EntityClosers::Closer> indexed = closers->First(match.End(), name);
            search = indexed ? Search::Found : Search::None;
            if (indexed)
                closer = *indexed;
        }
        if (search == Search::Found) {
            definitions.push_back({match.Begin(), std::string(name), closer.end});
            position = closer.end;
        } else {
            // An entity that nothing closes is no match; the search goes on from the next byte,
            // where a later keyword may begin one.
            position = match.Begin() + 1;
        }
    }
    return definitions;
}

} // namespace qve
