// The colours a colour box offers by name: the standard and extended colours, the system colours
// (0x80000000 + their number, which the window takes from its palette), "none" and "default".
#pragma once

#include <string>
#include <vector>

// "none": nothing is drawn in this colour. "default": the colour box's default colour, black.
inline constexpr int ColorNone = 0x1FFFFFFF;
inline constexpr int ColorDefault = 0x20000000;

struct NamedColor {
    const char* Name;
    int Value; // a Windows colour value
};

// In the order a colour box lists them.
const std::vector<NamedColor>& ColorBoxItems();
// The name of a listed colour; empty for any other (a custom colour).
std::string ColorName(int value);
