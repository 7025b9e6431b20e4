// VHDL entity reading: ports and generics by global matching, key generics by lookup.
#include "engine/VhdlReader.h"

#include "engine/AsciiText.h"
#include "engine/Definitions.h"
#include "engine/Patterns.h"
#include "engine/SourceText.h"
#include "engine/VerilogReader.h"
#include "engine/VhdlDeclarations.h"
#include "regex/Regex.h"

#include <unordered_set>

using namespace rx;

namespace qve {
namespace {

// An entity keyword and the run of name characters after it (group 1), for the index.
const Regex& EntityKeyword() {
    static const Regex regex(R"(\bentity\b\s*([a-zA-Z0-9_]*))", kRegexCaseless);
    return regex;
}

// A run of white space.
const Regex& WhiteSpaceRun() {
    static const Regex regex(R"(\s+)");
    return regex;
}

// A vector type with its range: first bound (1), direction (2), second bound (3).
const Regex& VectorRange() {
    static const Regex regex(
        R"(\bstd_logic_vector\b\s*\((.*?)\s*(\bdownto\b|\bto\b)\s*(.*?)\)\s*$)",
        kRegexCaseless | kRegexDotAll);
    return regex;
}

// A vector type, whatever follows it.
const Regex& VectorType() {
    static const Regex regex(R"(^\s*std_logic_vector\b\s*)", kRegexCaseless);
    return regex;
}

// The ":=" before a default value, with its blanks.
const Regex& AssignmentHead() {
    static const Regex regex(R"(^\s*:=\s*)");
    return regex;
}

// One identifier (a name in a list, or a name inside an expression).
const Regex& IdentifierVhdl() {
    static const Regex regex(std::string("(") + Idn_VHDL + ")", kRegexCaseless);
    return regex;
}

std::string WithoutBlanks(std::string_view text) {
    std::string out;
    for (char c : text)
        if (!IsBlank(c))
            out.push_back(c);
    return out;
}

std::string LfToBlank(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\n')
            c = ' ';
    return out;
}

std::string PortKind(std::string_view mode) {
    std::string upper = Upper(mode);
    if (upper == "INOUT")
        return "BIDIR";
    if (upper == "OUT")
        return "OUTPUT";
    if (upper == "BUFFER")
        return "OUTPUT_B";
    return "INPUT";
}

// A vector whose range has no "to" or "downto" (t'range, a subtype name): its text, without the
// clause's closing parentheses, stands as both width expressions. An unconstrained vector has no
// range text at all, and its type name is no width: both expressions stay empty.
std::string UnreadableRange(std::string_view type) {
    RegexMatch head;
    std::string text(type);
    if (VectorType().Search(text, head))
        text = text.substr(head.End());
    text = std::string(Trim(text));
    if (!text.empty() && text.front() == '(') {
        text.erase(0, 1);
        for (;;) {
            text = std::string(Trim(text));
            std::size_t open = 0, close = 0;
            for (char c : text) {
                open += c == '(';
                close += c == ')';
            }
            if (text.empty() || text.back() != ')' || close <= open)
                break;
            text.pop_back();
        }
        return text;
    }
    return {};
}

} // namespace

std::string DropClauseParenthesis(std::string_view text) {
    std::string result(text);
    if (!result.empty() && result.back() == ')') {
        std::string copy = ReplaceAll(IdentifierVhdl(), result, " ");
        std::size_t open = 0, close = 0;
        for (char c : copy) {
            open += c == '(';
            close += c == ')';
        }
        if (close == open + 1)
            result.pop_back();
    }
    return std::string(TrimEnd(result));
}

VhdlSource::VhdlSource(std::string_view source)
    : text_(StripVhdlComments(CrToLf(source))), ports_(WholeWordPositions(text_, "port", true)),
      ends_(WholeWordPositions(text_, "end", true)), closers_(text_, ends_) {
    RegexMatch match;
    std::size_t position = 0;
    while (EntityKeyword().Search(text_, position, match)) {
        std::string_view name = match.Group(text_, 1);
        keywords_.push_back(match.Begin(1));
        if (!name.empty())
            plainKeywords_[Lower(name)].push_back(match.Begin(1));
        position = match.Begin(1) > match.Begin() ? match.Begin(1) : match.End();
    }
}

std::optional<EntityParts> VhdlSource::FindEntity(std::string_view name) const {
    if (name.empty())
        return std::nullopt;
    bool plainName = true;
    for (char c : name)
        plainName = plainName && IsWordByte(c);
    // The index holds every entity keyword followed by a plain name in some letter case; any
    // other name is compared at each keyword, so no name goes into a pattern.
    std::vector<std::size_t> others;
    const std::vector<std::size_t>* candidates = &others;
    if (plainName) {
        auto entry = plainKeywords_.find(Lower(name));
        if (entry == plainKeywords_.end())
            return std::nullopt;
        candidates = &entry->second;
    } else {
        for (std::size_t keyword : keywords_)
            if (platform::SameIgnoringAsciiCase(
                    std::string_view(text_).substr(keyword, name.size()), name))
                others.push_back(keyword);
    }
    for (std::size_t keyword : *candidates) {
        // "is" after the name; the generic part up to the first whole "port", which no whole
        // "end" may come before (an entity without a port clause would take the next entity's
        // ports); the port part up to the nearest "end [entity] [name];" for this name.
        std::size_t is = keyword + name.size();
        while (is < text_.size() && IsBlank(text_[is]))
            ++is;
        bool isWord =
            is + 2 <= text_.size() &&
            platform::SameIgnoringAsciiCase(std::string_view(text_).substr(is, 2), "is") &&
            (is == 0 || !IsWordByte(text_[is - 1])) &&
            (is + 2 >= text_.size() || !IsWordByte(text_[is + 2]));
        if (!isWord)
            continue;
        std::size_t genericBegin = is + 2;
        std::optional<std::size_t> port = FirstAtOrAfter(ports_, genericBegin);
        std::optional<std::size_t> end = FirstAtOrAfter(ends_, genericBegin);
        if (!port || (end && *end < *port))
            continue;
        std::size_t portBegin = *port + 4;
        std::optional<EntityClosers::Closer> closer = closers_.First(portBegin, name);
        if (!closer)
            continue;
        if (closer->begin == portBegin)
            return std::nullopt;
        return EntityParts{text_.substr(genericBegin, *port - genericBegin),
                           text_.substr(portBegin, closer->begin - portBegin)};
    }
    return std::nullopt;
}

std::vector<std::string> ReadVhdlEntity(const EntityParts& parts) {
    std::string portPart = ReplaceAll(WhiteSpaceRun(), LfToBlank(parts.portPart), " ");
    std::string genericPart = LfToBlank(parts.genericPart);

    std::vector<std::string> portLines;
    std::string widthExpressions;
    VhdlDeclarationReader ports(portPart, VhdlClause::Port);
    while (std::optional<VhdlDeclarationParts> port = ports.Next()) {
        std::string kind = PortKind(port->mode);
        std::string type(port->type);
        std::string first, second;
        bool vector = VectorType().Contains(type);
        RegexMatch range;
        if (VectorRange().Search(type, range)) {
            first = std::string(Trim(range.Group(type, 1)));
            second = DropClauseParenthesis(Trim(range.Group(type, 3)));
        }
        std::string value1, value2, expression1, expression2;
        if (!first.empty() && !second.empty()) {
            expression1 = first;
            expression2 = second;
            value1 = WidthValue(WithoutBlanks(first));
            value2 = WidthValue(WithoutBlanks(second));
        } else if (vector) {
            // A vector of unknown width is no one-bit port: "NA" makes the design check ask.
            expression1 = expression2 = UnreadableRange(type);
            value1 = value2 = "NA";
        }
        widthExpressions += "\t" + expression1 + "\t" + expression2;
        std::string_view names = port->names;
        ForEachMatch(IdentifierVhdl(), names, [&](const RegexMatch& identifier) {
            portLines.push_back(kind + "\t" + value1 + "\t" + value2 + "\t" +
                                std::string(identifier.Group(names, 1)) + "\t\t" + expression1 +
                                "\t" + expression2);
        });
    }

    std::unordered_set<std::string> widthNames;
    ForEachMatch(IdentifierVhdl(), widthExpressions, [&](const RegexMatch& identifier) {
        widthNames.emplace(identifier.Group(widthExpressions, 1));
    });

    std::vector<std::string> lines;
    // Everything up to and including the first whole "generic" goes.
    std::vector<std::size_t> generic = WholeWordPositions(genericPart, "generic", true);
    if (!generic.empty())
        genericPart.erase(0, generic.front() + std::string_view("generic").size());
    VhdlDeclarationReader generics(genericPart, VhdlClause::Generic);
    while (std::optional<VhdlDeclarationParts> declaration = generics.Next()) {
        std::string type = DropClauseParenthesis(Trim(declaration->type));
        std::string value = ReplaceAll(AssignmentHead(), declaration->defaultValue, "");
        value = DropClauseParenthesis(TrimEnd(value));
        std::string_view names = declaration->names;
        ForEachMatch(IdentifierVhdl(), names, [&](const RegexMatch& identifier) {
            std::string name(identifier.Group(names, 1));
            std::string key = widthNames.count(name) > 0 ? "K" : "";
            lines.push_back("PARAMETER\t\t\t" + name + "\t" + value + "\t\t" + key + "\t" + type);
        });
    }
    lines.insert(lines.end(), portLines.begin(), portLines.end());
    return lines;
}

} // namespace qve
