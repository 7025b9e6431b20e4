// Top-level ports from a custom list: any text typed or pasted by the user, of which every
// identifier that is not an HDL reserved word becomes a variant top port.
#pragma once

#include "editor/model/ProjectModel.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// The reserved words never imported: one a line in the program directory.
extern const char* const KeywordsFile; // "keywords.txt"

// A character of an identifier: an ASCII letter or "_" anywhere, a digit but at the start.
bool IsIdentChar(bool first, char c);

// The words of a keyword list, lower-cased: one a line, whatever the line ends, blanks and TABs
// around each trimmed, empty lines skipped.
std::unordered_set<std::string> KeywordSet(std::string_view text);

// The identifiers of text in text order, duplicates kept, without the words of AppDir +
// "keywords.txt" (compared ignoring letter case). Without that file the error "Missing sys file:
// keywords.txt." is logged and every identifier is kept.
std::vector<std::string> ParseCustomPortList(ProjectModel& model, std::string_view text);

// The list window: shown modally in list mode with an empty text and the caption "Custom Port
// List"; the text on OK, nothing on any other close.
using CustomPortListWindow = std::function<std::optional<std::string>()>;

// Import from a custom list: nothing (no snapshot) unless the window closes with OK; then each
// identifier becomes a KVAR port line right after the top module's block, in text order, a name
// the top module has (or the list gave before) or a name CheckTopPortName refuses being skipped
// with an info line; the undo snapshot comes before the first line. rebuild runs last, also when
// nothing was taken. Answers the number of ports imported.
int ImptTopPrt_CstmExecute(ProjectModel& model, const CustomPortListWindow& window,
                           const std::function<void()>& rebuild);
