// Text as a list of lines, the way the editor's text buffers and memos hold it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The lines of a text: each ends at CR LF, LF or a lone CR; a line end at the very end of the
// text opens no further line.
std::vector<std::string> SplitTextLines(std::string_view text);

// Every line followed by CR LF, as a saved text buffer holds them.
std::string JoinTextLines(const std::vector<std::string>& lines);

// The text followed by blanks up to width characters ("%-Ns"); a longer text is not cut.
std::string PadRight(std::string_view text, std::size_t width);
// Blanks up to width characters, then the text ("%Ns"); a longer text is not cut.
std::string PadLeft(std::string_view text, std::size_t width);
