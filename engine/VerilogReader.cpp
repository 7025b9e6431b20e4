// Verilog module reading: declarations found left to right, items split once, keys by lookup.
#include "engine/VerilogReader.h"

#include "engine/AsciiText.h"
#include "engine/Definitions.h"
#include "engine/Patterns.h"
#include "engine/SourceText.h"
#include "engine/VerilogDeclarations.h"
#include "regex/Regex.h"

#include <charconv>
#include <climits>
#include <unordered_set>

using namespace rx;

namespace qve {
namespace {

// A module keyword and the run of name characters after it (group 1), for the index.
const Regex& ModuleKeyword() {
    static const Regex regex(R"(\b(?:module|macromodule)\b\s*([a-zA-Z0-9_$]*))");
    return regex;
}

// A run of white space.
const Regex& WhiteSpaceRun() {
    static const Regex regex(R"(\s+)");
    return regex;
}

// A range of two whole numbers, with the blanks inside it (groups 1 and 2: the numbers).
const Regex& NumericRange() {
    static const Regex regex(R"(\[\s*(\d+)\s*:\s*(\d+)\s*\])");
    return regex;
}

} // namespace

namespace {

// The name at the head of a parameter item and the "=" after it (group 1: the name).
const Regex& ParameterName() {
    static const Regex regex(std::string("(^") + Idn_Vlog + R"()\s*=)", kRegexDotAll);
    return regex;
}

// A port item with an initial value (group 1: the name and the blanks before "=").
const Regex& PortInitialValue() {
    static const Regex regex(std::string("(^") + Idn_Vlog + R"(\s*)=.*$)", kRegexDotAll);
    return regex;
}

// A whole number: an optional sign and decimal digits.
const Regex& WholeNumber() {
    static const Regex regex(R"(^(\+|\-)?\d+$)");
    return regex;
}

// One identifier of a width expression.
const Regex& IdentifierVlog() {
    static const Regex regex(std::string("(") + Idn_Vlog + ")", kRegexDotAll);
    return regex;
}

// The name field of a parameter declaration that has a value field after it (group 1).
const Regex& DeclaredParameterName() {
    static const Regex regex(R"(^.*?\t.*?\t.*?\t(.*?)\t)");
    return regex;
}

// Every block from a whole opening word to the nearest whole closing word after it removed, left
// to right: one pass over the positions of both words, however long a block is.
std::string RemoveBlocks(const std::string& text, std::string_view opening,
                         std::string_view closing) {
    std::vector<std::size_t> opens = WholeWordPositions(text, opening);
    if (opens.empty())
        return text;
    std::vector<std::size_t> closes = WholeWordPositions(text, closing);
    std::string out;
    std::size_t copied = 0;
    for (std::size_t open : opens) {
        if (open < copied)
            continue;
        std::optional<std::size_t> close = FirstAtOrAfter(closes, open + opening.size());
        // No later block can close where this one does not.
        if (!close)
            break;
        out.append(text, copied, open - copied);
        copied = *close + closing.size();
    }
    out.append(text, copied, std::string::npos);
    return out;
}

} // namespace

std::string PrepareVerilogText(std::string_view source, const IncludeFiles& includes) {
    std::string text = PreprocessVerilog(StripVerilogComments(CrToLf(source)), includes);
    text = RemoveBlocks(text, "function", "endfunction");
    return RemoveBlocks(text, "task", "endtask");
}

VerilogSource::VerilogSource(std::string_view source, const IncludeFiles& includes)
    : text_(PrepareVerilogText(source, includes)),
      closings_(WholeWordPositions(text_, "endmodule")) {
    RegexMatch match;
    std::size_t position = 0;
    while (ModuleKeyword().Search(text_, position, match)) {
        std::string_view name = match.Group(text_, 1);
        keywords_.push_back(match.Begin(1));
        if (!name.empty())
            plainKeywords_.try_emplace(std::string(name), match.Begin(1));
        // The name may itself be a keyword ("module module x"): look again from it.
        position = match.Begin(1) > match.Begin() ? match.Begin(1) : match.End();
    }
}

std::optional<std::string> VerilogSource::FindBody(std::string_view name) const {
    if (name.empty())
        return std::nullopt;
    bool plainName = true;
    for (char c : name)
        plainName = plainName && IsVerilogNameByte(c);
    // The first "module" or "macromodule" followed by the name taken literally and as a whole
    // word. The index holds every keyword followed by exactly a plain name; any other name (an
    // escaped one, of any length) is compared at each keyword, so no name goes into a pattern.
    std::optional<std::size_t> start;
    if (plainName) {
        auto entry = plainKeywords_.find(std::string(name));
        if (entry != plainKeywords_.end())
            start = entry->second;
    } else {
        for (std::size_t keyword : keywords_) {
            std::size_t after = keyword + name.size();
            if (text_.compare(keyword, name.size(), name) == 0 &&
                (after >= text_.size() || !IsVerilogNameByte(text_[after]))) {
                start = keyword;
                break;
            }
        }
    }
    if (!start)
        return std::nullopt;
    // The body runs from after the name and its blanks to the nearest whole "endmodule"; without
    // one, no later definition has one either.
    std::size_t afterName = *start + name.size();
    std::optional<std::size_t> closing = FirstAtOrAfter(closings_, afterName);
    if (!closing)
        return std::nullopt;
    std::size_t bodyBegin = afterName;
    while (bodyBegin < *closing && IsBlank(text_[bodyBegin]))
        ++bodyBegin;
    if (bodyBegin >= *closing)
        return std::nullopt;
    return text_.substr(bodyBegin, *closing - bodyBegin);
}

std::vector<std::string> SplitDeclarationItems(std::string_view list) {
    std::vector<std::string> items;
    std::size_t start = 0;
    int depth = 0;
    std::size_t i = 0;
    auto take = [&](std::size_t end) {
        std::string_view item = Trim(list.substr(start, end - start));
        if (!item.empty())
            items.emplace_back(item);
    };
    while (i < list.size()) {
        char c = list[i];
        if (c == '"') {
            ++i;
            while (i < list.size() && list[i] != '"')
                i += list[i] == '\\' ? 2 : 1;
            ++i;
            continue;
        }
        if (c == '\\') {
            while (i < list.size() && !IsBlank(list[i]))
                ++i;
            continue;
        }
        if (c == '(' || c == '[' || c == '{')
            ++depth;
        else if ((c == ')' || c == ']' || c == '}') && depth > 0)
            --depth;
        else if (c == ',' && depth == 0) {
            take(i);
            start = i + 1;
        }
        ++i;
    }
    take(list.size());
    return items;
}

std::unordered_set<std::string> WidthIdentifiers(std::string_view expressions) {
    // One pass over the collection serves every parameter, where taking and deleting the first
    // identifier again for each parameter would cost the collection's length each time.
    std::unordered_set<std::string> names;
    ForEachMatch(IdentifierVlog(), expressions, [&](const RegexMatch& identifier) {
        names.emplace(identifier.Group(expressions, 1));
    });
    return names;
}

std::string WidthValue(std::string_view bound) {
    std::string_view trimmed = Trim(bound);
    if (!WholeNumber().Contains(trimmed))
        return "NA";
    // The editor converts the value to an int; one that does not fit is no number to it either.
    std::string_view digits = trimmed;
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    long long value = 0;
    auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || stop != digits.data() + digits.size() || value > INT_MAX ||
        value < INT_MIN)
        return "NA";
    return std::string(trimmed);
}

std::vector<std::string> ReadVerilogBody(std::string_view rawBody) {
    std::string body = ReplaceAll(WhiteSpaceRun(), rawBody, " ");
    body = ReplaceAll(NumericRange(), body, [&](const RegexMatch& range) {
        return "[" + std::string(range.Group(body, 1)) + ":" + std::string(range.Group(body, 2)) +
               "]";
    });

    std::vector<std::string> declarations;
    std::vector<std::string> portLines;
    std::string widthExpressions;
    RegexMatch match;
    // Declarations in text order; the text before one holds none, so the reading goes on from
    // the end of each one instead of deleting it and starting over.
    VerilogDeclarationReader reader(body);
    while (std::optional<VerilogDeclarationParts> declaration = reader.Next()) {
        std::string kind = Upper(declaration->keyword);
        if (kind == "INOUT")
            kind = "BIDIR";
        std::string first(declaration->first);
        std::string second(declaration->second);
        for (const std::string& item : SplitDeclarationItems(declaration->items)) {
            if (kind == "PARAMETER") {
                std::string named = ReplaceFirst(ParameterName(), item, [&](const RegexMatch& m) {
                    return std::string(m.Group(item, 1)) + "\t";
                });
                declarations.push_back("PARAMETER\t" + first + "\t" + second + "\t" + named);
                continue;
            }
            std::string name = ReplaceFirst(PortInitialValue(), item, [&](const RegexMatch& m) {
                return std::string(m.Group(item, 1));
            });
            // The blank before "=" is no part of the name.
            name = std::string(TrimEnd(name));
            std::string value1, value2, expression1, expression2;
            if (!first.empty() && !second.empty()) {
                value1 = WidthValue(first);
                value2 = WidthValue(second);
                expression1 = first;
                expression2 = second;
            }
            widthExpressions += "\t" + expression1 + "\t" + expression2;
            portLines.push_back(kind + "\t" + value1 + "\t" + value2 + "\t" + name + "\t\t" +
                                expression1 + "\t" + expression2);
        }
    }

    std::unordered_set<std::string> widthNames = WidthIdentifiers(widthExpressions);
    std::vector<std::string> lines;
    for (const std::string& declaration : declarations) {
        if (!DeclaredParameterName().Search(declaration, match))
            continue;
        bool key = widthNames.count(std::string(match.Group(declaration, 1))) > 0;
        lines.push_back(key ? declaration + "\t\tK" : declaration);
    }
    lines.insert(lines.end(), portLines.begin(), portLines.end());
    return lines;
}

} // namespace qve
