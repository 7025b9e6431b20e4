// Applying a project font line to a font value.
#include "editor/model/FontValue.h"

int FontFromFields(const ProjectLine& line, FontValue& font) {
    auto charset = ParseDecimal(line[1]);
    if (!charset)
        return 1;
    font.Charset = *charset;
    font.Face = line[2];
    auto color = ParseDecimal(line[3]);
    if (!color)
        return 3;
    font.Color = *color;
    auto size = ParseDecimal(line[4]);
    if (!size)
        return 4;
    font.Size = *size;
    font.Bold = line[5] == "1";
    font.Italic = line[6] == "1";
    font.Underline = line[7] == "1";
    font.StrikeOut = line[8] == "1";
    return 0;
}
