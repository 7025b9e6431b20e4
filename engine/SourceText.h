// Clean-up of HDL source text before it is read: tabs, comments, compiler directives.
#pragma once

#include "engine/AsciiText.h"

#include <string>
#include <string_view>

namespace qve {

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

// Compiler directives (`ifdef X, `else, `endif, `define ... to the line end, `include "f",
// `timescale ..., and the like) replaced by one blank, so that both branches of a conditional are
// read and a directive inside a port list does not hide the list. Macro uses (`WIDTH) stay.
// Expects text without comments; string literals are copied untouched.
std::string RemoveVerilogDirectives(std::string_view text);

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
