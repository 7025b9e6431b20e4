// Byte-level text helpers the readers and jobs share: blanks, trimming, ASCII case, line ends.
#pragma once

#include "platform/AsciiCase.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace qve {

// Whether the byte is one that \s matches in the C locale.
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Whether the byte is one that \w matches in the C locale.
inline bool IsWordByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The end of the run of word bytes at i.
inline std::size_t WordEnd(std::string_view text, std::size_t i) {
    while (i < text.size() && IsWordByte(text[i]))
        ++i;
    return i;
}

// The first byte at or after i that is no blank, or the text's size.
inline std::size_t SkipBlanks(std::string_view text, std::size_t i) {
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return i;
}

// The text without the blanks at its start, at its end, or at both.
std::string_view TrimStart(std::string_view text);
std::string_view TrimEnd(std::string_view text);
std::string_view Trim(std::string_view text);

// ASCII letters turned, every other byte kept, so names compare as the readers expect.
inline std::string Upper(std::string_view text) {
    return platform::AsciiUpper(text);
}
inline std::string Lower(std::string_view text) {
    return platform::AsciiLower(text);
}

// A line without the CR that a CR LF line end leaves on it.
std::string_view WithoutCr(std::string_view line);

// Calls visit(line, offset) for every LF-separated line of text (without its LF); a text that
// ends with LF has no empty line after it.
template <typename Visit> void ForEachLine(std::string_view text, Visit&& visit) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        visit(text.substr(start, end - start), start);
        start = end + 1;
    }
}

} // namespace qve
