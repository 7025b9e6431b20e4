// Hand-written single-pass lexers: linear, and aware of strings, so comments never eat code.
#include "engine/SourceText.h"

#include <array>
#include <string_view>

namespace qve {
namespace {

// Copies a string literal that starts at text[i] (a double quote); returns the index after it. A
// string ends at its closing quote or, unterminated, at the line end.
std::size_t CopyVerilogString(std::string_view text, std::size_t i, std::string& out) {
    std::size_t j = i + 1;
    while (j < text.size() && text[j] != '"' && text[j] != '\n') {
        if (text[j] == '\\' && j + 1 < text.size() && text[j + 1] != '\n')
            ++j;
        ++j;
    }
    if (j < text.size() && text[j] == '"')
        ++j;
    out.append(text.substr(i, j - i));
    return j;
}

// Copies an escaped identifier (a backslash and everything up to white space).
std::size_t CopyEscapedIdentifier(std::string_view text, std::size_t i, std::string& out) {
    std::size_t j = i + 1;
    while (j < text.size() && !IsBlank(text[j]))
        ++j;
    out.append(text.substr(i, j - i));
    return j;
}

// The bytes a lexer must look at; every other byte is copied in runs.
class ByteSet {
public:
    constexpr explicit ByteSet(std::string_view bytes) {
        for (char c : bytes)
            member_[static_cast<unsigned char>(c)] = true;
    }
    bool Has(char c) const { return member_[static_cast<unsigned char>(c)]; }

private:
    std::array<bool, 256> member_{};
};

// Copies the run of bytes up to the next one of the set; returns where it stopped.
std::size_t CopyPlain(std::string_view text, std::size_t i, const ByteSet& special,
                      std::string& out) {
    std::size_t j = i;
    while (j < text.size() && !special.Has(text[j]))
        ++j;
    out.append(text.data() + i, j - i);
    return j;
}

} // namespace

std::string TabsToBlanks(std::string_view text) {
    std::string out(text);
    TabsToBlanksInPlace(out);
    return out;
}

void TabsToBlanksInPlace(std::string& text) {
    for (char& c : text)
        if (c == '\t')
            c = ' ';
}

std::string CrToLf(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\r')
            c = '\n';
    return out;
}

std::string StripVerilogComments(std::string_view text) {
    static constexpr ByteSet special("\"\\/");
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while ((i = CopyPlain(text, i, special, out)) < text.size()) {
        char c = text[i];
        if (c == '"') {
            i = CopyVerilogString(text, i, out);
        } else if (c == '\\') {
            i = CopyEscapedIdentifier(text, i, out);
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            std::size_t end = text.find('\n', i + 2);
            i = end == std::string_view::npos ? text.size() : end;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            std::size_t end = text.find("*/", i + 2);
            i = end == std::string_view::npos ? text.size() : end + 2;
            out.push_back(' ');
        } else {
            out.push_back(c);
            ++i;
        }
    }
    return out;
}

namespace {

// How much of the line a directive takes after its keyword.
enum class DirectiveReach { KeywordOnly, OneWord, IncludeName, RestOfLine, DefineBody };

struct Directive {
    std::string_view keyword;
    DirectiveReach reach;
};

constexpr std::array kDirectives = {
    Directive{"ifdef", DirectiveReach::OneWord},
    Directive{"ifndef", DirectiveReach::OneWord},
    Directive{"elsif", DirectiveReach::OneWord},
    Directive{"else", DirectiveReach::KeywordOnly},
    Directive{"endif", DirectiveReach::KeywordOnly},
    Directive{"define", DirectiveReach::DefineBody},
    Directive{"undef", DirectiveReach::OneWord},
    Directive{"undefineall", DirectiveReach::KeywordOnly},
    Directive{"include", DirectiveReach::IncludeName},
    Directive{"timescale", DirectiveReach::RestOfLine},
    Directive{"resetall", DirectiveReach::KeywordOnly},
    Directive{"celldefine", DirectiveReach::KeywordOnly},
    Directive{"endcelldefine", DirectiveReach::KeywordOnly},
    Directive{"default_nettype", DirectiveReach::OneWord},
    Directive{"unconnected_drive", DirectiveReach::OneWord},
    Directive{"nounconnected_drive", DirectiveReach::KeywordOnly},
    Directive{"pragma", DirectiveReach::RestOfLine},
    Directive{"line", DirectiveReach::RestOfLine},
    Directive{"begin_keywords", DirectiveReach::RestOfLine},
    Directive{"end_keywords", DirectiveReach::KeywordOnly},
    Directive{"default_decay_time", DirectiveReach::OneWord},
    Directive{"default_trireg_strength", DirectiveReach::OneWord},
    Directive{"delay_mode_distributed", DirectiveReach::KeywordOnly},
    Directive{"delay_mode_path", DirectiveReach::KeywordOnly},
    Directive{"delay_mode_unit", DirectiveReach::KeywordOnly},
    Directive{"delay_mode_zero", DirectiveReach::KeywordOnly},
};

std::size_t SkipSpacesOnLine(std::string_view text, std::size_t i) {
    while (i < text.size() && text[i] != '\n' && IsBlank(text[i]))
        ++i;
    return i;
}

std::size_t LineEnd(std::string_view text, std::size_t i) {
    std::size_t end = text.find('\n', i);
    return end == std::string_view::npos ? text.size() : end;
}

// The end of a directive whose keyword ends at i.
std::size_t DirectiveEnd(std::string_view text, std::size_t i, DirectiveReach reach) {
    switch (reach) {
    case DirectiveReach::KeywordOnly:
        return i;
    case DirectiveReach::OneWord: {
        std::size_t j = SkipSpacesOnLine(text, i);
        std::size_t start = j;
        while (j < text.size() && IsVerilogNameByte(text[j]))
            ++j;
        return j == start ? i : j;
    }
    case DirectiveReach::IncludeName: {
        std::size_t j = SkipSpacesOnLine(text, i);
        if (j < text.size() && (text[j] == '"' || text[j] == '<')) {
            char close = text[j] == '"' ? '"' : '>';
            std::size_t end = text.find(close, j + 1);
            std::size_t line = LineEnd(text, j);
            return end == std::string_view::npos || end > line ? line : end + 1;
        }
        return LineEnd(text, i);
    }
    case DirectiveReach::RestOfLine:
        return LineEnd(text, i);
    case DirectiveReach::DefineBody: {
        // A macro body goes on over lines that end in a backslash.
        std::size_t j = i;
        for (;;) {
            std::size_t end = LineEnd(text, j);
            if (end < text.size() && end > j && text[end - 1] == '\\') {
                j = end + 1;
                continue;
            }
            return end;
        }
    }
    }
    return i;
}

} // namespace

std::string RemoveVerilogDirectives(std::string_view text) {
    if (text.find('`') == std::string_view::npos)
        return std::string(text);
    static constexpr ByteSet special("\"\\`");
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while ((i = CopyPlain(text, i, special, out)) < text.size()) {
        char c = text[i];
        if (c == '"') {
            i = CopyVerilogString(text, i, out);
            continue;
        }
        if (c == '\\') {
            i = CopyEscapedIdentifier(text, i, out);
            continue;
        }
        if (c != '`') {
            out.push_back(c);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < text.size() && IsVerilogNameByte(text[j]))
            ++j;
        std::string_view word = text.substr(i + 1, j - i - 1);
        const Directive* found = nullptr;
        for (const Directive& directive : kDirectives)
            if (directive.keyword == word)
                found = &directive;
        if (found == nullptr) {
            out.append(text.substr(i, j - i));
            i = j;
            continue;
        }
        std::size_t end = DirectiveEnd(text, j, found->reach);
        // The line ends inside a macro body stay, so line numbers keep their meaning.
        out.push_back(' ');
        for (std::size_t k = i; k < end; ++k)
            if (text[k] == '\n')
                out.push_back('\n');
        i = end;
    }
    return out;
}

std::size_t EndOfLastWord(std::string_view text, std::string_view word) {
    std::size_t at = text.size();
    while (at > 0) {
        std::size_t found = text.rfind(word, at - 1);
        if (found == std::string_view::npos)
            return 0;
        std::size_t end = found + word.size();
        bool before = found == 0 || !IsWordByte(text[found - 1]);
        bool after = end >= text.size() || !IsWordByte(text[end]);
        if (before && after)
            return end;
        if (found == 0)
            return 0;
        at = found;
    }
    return 0;
}

std::string StripVhdlComments(std::string_view text) {
    static constexpr ByteSet special("\"\\'-");
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while ((i = CopyPlain(text, i, special, out)) < text.size()) {
        char c = text[i];
        if (c == '"' || c == '\\') {
            // A string literal or an extended identifier: a doubled delimiter stands for one, and
            // neither crosses a line end.
            std::size_t j = i + 1;
            while (j < text.size() && text[j] != '\n') {
                if (text[j] == c) {
                    if (j + 1 < text.size() && text[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
            out.append(text.substr(i, j - i));
            i = j;
        } else if (c == '\'' && i + 2 < text.size() && text[i + 2] == '\'') {
            // A character literal such as '"' opens no string.
            out.append(text.substr(i, 3));
            i += 3;
        } else if (c == '-' && i + 1 < text.size() && text[i + 1] == '-') {
            i = LineEnd(text, i);
        } else {
            out.push_back(c);
            ++i;
        }
    }
    return out;
}

} // namespace qve
