// Hand-written single-pass lexers: linear, and aware of strings, so comments never eat code.
#include "engine/SourceText.h"

#include <array>
#include <string_view>

namespace qve {

std::size_t VerilogStringEnd(std::string_view text, std::size_t i) {
    std::size_t j = i + 1;
    while (j < text.size() && text[j] != '"' && text[j] != '\n') {
        if (text[j] == '\\' && j + 1 < text.size() && text[j + 1] != '\n')
            ++j;
        ++j;
    }
    if (j < text.size() && text[j] == '"')
        ++j;
    return j;
}

std::size_t EscapedIdentifierEnd(std::string_view text, std::size_t i) {
    std::size_t j = i + 1;
    while (j < text.size() && !IsBlank(text[j]))
        ++j;
    return j;
}

std::size_t LineEnd(std::string_view text, std::size_t i) {
    std::size_t end = text.find('\n', i);
    return end == std::string_view::npos ? text.size() : end;
}

std::size_t CopyPlain(std::string_view text, std::size_t i, const ByteSet& special,
                      std::string& out) {
    std::size_t j = SkipPlain(text, i, special);
    out.append(text.data() + i, j - i);
    return j;
}

std::size_t SkipPlain(std::string_view text, std::size_t i, const ByteSet& special) {
    while (i < text.size() && !special.Has(text[i]))
        ++i;
    return i;
}

bool IsBinaryText(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

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
        if (c == '"' || c == '\\') {
            std::size_t end = c == '"' ? VerilogStringEnd(text, i) : EscapedIdentifierEnd(text, i);
            out.append(text.substr(i, end - i));
            i = end;
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
