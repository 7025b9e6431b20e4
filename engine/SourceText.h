// Clean-up of HDL source text before it is read: tabs, comments, and the lexer pieces the
// clean-up passes share.
#pragma once

#include "engine/AsciiText.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace qve {

// The bytes a lexer must look at; every other byte is passed over in runs.
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

// The index of the next byte of the set at or after i, or the text's size.
std::size_t SkipPlain(std::string_view text, std::size_t i, const ByteSet& special);
// Copies the run of bytes up to the next one of the set; returns where it stopped.
std::size_t CopyPlain(std::string_view text, std::size_t i, const ByteSet& special,
                      std::string& out);

// The index after a Verilog string literal that starts at text[i] (a double quote): after its
// closing quote or, unterminated, at its line end.
std::size_t VerilogStringEnd(std::string_view text, std::size_t i);
// The index after an escaped identifier that starts at text[i] (a backslash): the next blank.
std::size_t EscapedIdentifierEnd(std::string_view text, std::size_t i);
// The index of the LF that ends the line holding text[i], or the text's size.
std::size_t LineEnd(std::string_view text, std::size_t i);

// Whether the text is no source at all: it holds a NUL byte, as a binary file does. Such a text
// lists no module and gives no ports, whatever its bytes happen to spell.
bool IsBinaryText(std::string_view text);

// Every TAB becomes one blank.
std::string TabsToBlanks(std::string_view text);
void TabsToBlanksInPlace(std::string& text);
// Every CR becomes LF, so a lone CR also ends a line.
std::string CrToLf(std::string_view text);

// Verilog comments removed in one pass from left to right: a block comment becomes one blank (so
// "module/**/c" stays two tokens), a line comment gives way to its line end. String literals and
// escaped identifiers are copied untouched, so "//" or "/*" inside them starts nothing. A block
// comment without its end runs to the end of the text.
std::string StripVerilogComments(std::string_view text);

// VHDL comments ("--" to the line end, also on a last line without a line end) removed; the line
// end stays. String literals and extended identifiers are copied untouched.
std::string StripVhdlComments(std::string_view text);

// The end of the last occurrence of the whole word (\b on both sides), or 0 when there is none.
std::size_t EndOfLastWord(std::string_view text, std::string_view word);

// Whether the byte may stand in a plain Verilog identifier after its first byte.
inline bool IsVerilogNameByte(char c) {
    return IsWordByte(c) || c == '$';
}

} // namespace qve
