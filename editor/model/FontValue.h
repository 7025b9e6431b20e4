// A font as the model keeps it: a plain value until a window turns it into a real font.
#pragma once

#include "editor/model/ProjectLine.h"

#include <string>

struct FontValue {
    int Charset = 1; // 1 is the default character set
    std::string Face = "MS Sans Serif";
    int Color = 0x800000; // Windows colour value 0x00BBGGRR
    int Size = 8;         // points, as the files keep it
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    // Character height in pixels at 96 DPI, the picture's resolution; 0 while it is Size's. The
    // zoom steps fonts by whole pixels, which whole points cannot hold (14 px is 10.5 pt).
    int Height = 0;

    // The character height in pixels: Height, or Size converted to the nearest pixel (at least 1).
    int Pixels() const;
    // Sets the height in pixels; Size becomes the nearest whole points.
    void SetPixels(int pixels);
    // Sets the size in points, as a file gives it; the height follows it.
    void SetPoints(int points);

    friend bool operator==(const FontValue&, const FontValue&) = default;
};

// Pixels at 96 DPI of a size in points and back, each to the nearest whole number, halves away
// from zero; in 64 bits and clamped, as a size read from a file is not checked.
int PointsToPixels(long long points);
int PixelsToPoints(long long pixels);

// Sets font from fields 1 to 8 of a project font line ("HS" ... "RS"): character set, face, colour,
// size, then the style, cleared and given each flag whose field is exactly "1". Returns 0 on
// success, else the number of the first field that is not a decimal integer (1, 3 or 4); the
// properties before that field stay set, the rest are not touched.
int FontFromFields(const ProjectLine& line, FontValue& font);
