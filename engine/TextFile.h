// Whole-file reading and checked writing in the engine's emulated Windows text mode.
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

// Creates or truncates the file and writes the text in text mode. Every write and the close are
// checked; on failure a partial regular file is removed (a device such as /dev/full is left
// alone) and false is returned.
bool WriteTextFile(const std::string& path, std::string_view text);

} // namespace qve
