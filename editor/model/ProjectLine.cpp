// Line construction and the shared text rules of project lines.
#include "editor/model/ProjectLine.h"

#include "platform/AsciiCase.h"

#include <charconv>

ProjectLine MakeLine(std::initializer_list<std::string_view> fields) {
    ProjectLine line;
    std::size_t i = 0;
    for (std::string_view f : fields) {
        if (i == ProjectLineFields)
            break;
        line[i++] = std::string(f);
    }
    return line;
}

char LineKind(std::string_view keyword) {
    if (keyword.empty())
        return 'N';
    switch (keyword.front()) {
    case 'A':
        return 'A';
    case 'B':
    case 'I':
    case 'K':
    case 'O':
        return 'P';
    case 'M':
    case 'T':
        return 'M';
    case 'P':
        return 'R';
    case 'W':
        return 'W';
    default:
        return 'N';
    }
}

std::string NormalizeBlanks(std::string_view text, bool keepBlanks) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\r' || c == '\n')
            continue;
        if (c == '\t') {
            if (keepBlanks)
                out.push_back(' ');
            continue;
        }
        if (c == ' ' && !keepBlanks)
            continue;
        out.push_back(c);
    }
    return out;
}

std::optional<int> ParseDecimal(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    std::size_t start = 0;
    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        start = 1;
    }
    if (start == text.size())
        return std::nullopt;
    // from_chars takes no '+' and would take "-" itself; the digits alone are parsed, wider than
    // int so that the most negative value still fits before the sign is applied.
    long long value = 0;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last || *first == '-')
        return std::nullopt;
    if (negative)
        value = -value;
    if (value < -2147483648LL || value > 2147483647LL)
        return std::nullopt;
    return static_cast<int>(value);
}

bool HoldsDecimal(std::string_view text, long long value) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return text == std::string_view(digits, static_cast<std::size_t>(end - digits));
}

bool IsLegalIdent(const std::string& text) {
    if (text.empty())
        return false;
    if ((text[0] >= '0' && text[0] <= '9') || text[0] == '$')
        return false;
    for (char c : text) {
        char u = platform::AsciiUpper(c);
        if (!((u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_'))
            return false;
    }
    return true;
}
