// The project line, the lists of them, and the small text rules that every reader of lines shares.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t ProjectLineFields = 20;

// Fields 0 to 7 are stored in files; 8 to 13 are run-time state written by the editor (8, 9
// highlight brush and pen, 10 record kind, 11 record index, 12 suggestion flag "S", 13 collapsed
// flag "Y"); 14 to 19 are carried along. A copy is always a deep copy of all 20 fields.
using ProjectLine = std::array<std::string, ProjectLineFields>;

// The type of `LineList`, `UndoList` and `RedoList` (the members carry the editor's long-standing
// names, so the type needs another one).
using ProjectLines = std::vector<ProjectLine>;

// Field numbers of the run-time part of a line.
inline constexpr std::size_t FieldBrush = 8;
inline constexpr std::size_t FieldPen = 9;
inline constexpr std::size_t FieldKind = 10;
inline constexpr std::size_t FieldIndex = 11;
inline constexpr std::size_t FieldSuggestion = 12;
inline constexpr std::size_t FieldCollapsed = 13;

// A line of up to 20 texts; missing fields stay empty, texts beyond the 20th are dropped.
ProjectLine MakeLine(std::initializer_list<std::string_view> fields);

// Kind letter of a keyword by its first character: 'A' assignment, 'P' port (B, I, K, O),
// 'M' instance or top module (M, T), 'R' parameter (P), 'W' wire, 'N' anything else.
char LineKind(std::string_view keyword);

// With keepBlanks every TAB becomes a blank, without it every TAB and blank goes; CR and LF go in
// both cases.
std::string NormalizeBlanks(std::string_view text, bool keepBlanks);

// A decimal integer as the project and settings lines write them: an optional sign and digits,
// nothing else, within 32 bits.
std::optional<int> ParseDecimal(std::string_view text);

// The text is value in decimal as the editor writes it (no sign for zero and up, no leading zero),
// without making a text of value.
bool HoldsDecimal(std::string_view text, long long value);

// Letters (either case), digits and "_", not beginning with a digit or "$": a top name, or a
// naming rule with its placeholders taken out. ASCII only, whatever the locale.
bool IsLegalIdent(const std::string& text);
