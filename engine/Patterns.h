// The pattern texts that every HDL job builds its expressions from; none captures.
#pragma once

namespace qve {

// A Verilog simple identifier taken as a whole word, or an escaped identifier: a backslash and
// everything up to the next white space.
inline constexpr const char* Idn_Vlog =
    R"((?:\b[a-zA-Z_][a-zA-Z0-9_\$]*?(?![a-zA-Z0-9_\$])|\\.*?(?=\s)))";
// The Verilog net types.
inline constexpr const char* NetType_Vlog = "(?:supply0|supply1|tri|triand|trior|tri0|tri1|wire|"
                                            "wand|wor)";
// The variable types accepted on a declaration.
inline constexpr const char* OutputVarType_Vlog = "(?:integer|time)";
// The declaration keywords the engine reads.
inline constexpr const char* IOP_Vlog = "(?:input|output|inout|parameter)";
// A VHDL basic identifier taken as a whole word, or an extended identifier between backslashes
// in which a doubled backslash stands for one.
inline constexpr const char* Idn_VHDL =
    R"((?:\b[a-zA-Z](?:_?[a-zA-Z0-9])*?(?!\w)|\\(?:[^\r\n\t\\]|\\\\)+\\))";
// The VHDL port modes.
inline constexpr const char* Mode_VHDL = R"((?:\bin\b|\bout\b|\binout\b|\bbuffer\b))";
// The two VHDL port types the engine reads.
inline constexpr const char* SubType_VHDL = R"((?:\bstd_logic\b|\bstd_logic_vector\b))";

} // namespace qve
