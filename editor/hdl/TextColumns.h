// Text padded into the columns of generated code.
#pragma once

#include <string>
#include <string_view>

// The text followed by blanks up to width characters ("%-Ns"); a longer text is not cut.
std::string PadRight(std::string_view text, std::size_t width);
// Blanks up to width characters, then the text ("%Ns"); a longer text is not cut.
std::string PadLeft(std::string_view text, std::size_t width);
