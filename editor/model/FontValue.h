// A font as the model keeps it: a plain value until a window turns it into a real font.
#pragma once

#include "editor/model/ProjectLine.h"

#include <string>

struct FontValue {
    int Charset = 1; // 1 is the default character set
    std::string Face = "MS Sans Serif";
    int Color = 0x800000; // Windows colour value 0x00BBGGRR
    int Size = 8;         // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;

    friend bool operator==(const FontValue&, const FontValue&) = default;
};

// Sets font from fields 1 to 8 of a project font line ("HS" ... "RS"): character set, face, colour,
// size, then the style, cleared and given each flag whose field is exactly "1". Returns 0 on
// success, else the number of the first field that is not a decimal integer (1, 3 or 4); the
// properties before that field stay set, the rest are not touched.
int FontFromFields(const ProjectLine& line, FontValue& font);
