// Splitting text into lines whatever its line ends.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The lines of text, each without its end: CR LF, LF and a lone CR all end a line. A last line
// without an end counts when it is not empty, so "a\r\n" is one line and "a\r\n\r\n" two.
std::vector<std::string> SplitLines(std::string_view text);

// Every line followed by CR LF: the text a saved list of lines has.
std::string JoinLines(const std::vector<std::string>& lines);

} // namespace platform
