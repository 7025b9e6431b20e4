// The keyed byte stream that scrambles a project file as a whole.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// The 220-byte key. Every project file ever written depends on these values: they never change.
const std::array<std::uint8_t, 220>& ScrambleTable();

// Scrambles or unscrambles the text in place (the same operation does both). The key of each
// block of 220 bytes derives from the block before and from the total length, so a file can
// only be read back whole and at its exact length.
void ProjectScramble(std::string& text);
