// Whole-file reading and writing in the engine's emulated Windows text mode.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qve {

// CR LF becomes LF, as a text-mode read gives it; a lone CR stays.
std::string FromTextMode(std::string_view bytes);
// LF becomes CR LF, as a text-mode write gives it.
std::string ToTextMode(std::string_view text);

// The whole file in text mode, or nothing when it cannot be opened or read.
std::optional<std::string> ReadTextFile(const std::string& path);

// Writes the text in text mode as the platform's atomic replace: the whole output appears at
// once or not at all, so no reader ever finds a partial output file. False on any failure, with
// a file that was there before left as it was.
bool WriteTextFile(const std::string& path, std::string_view text);

} // namespace qve
