// Applying a project font line to a font value.
#include "editor/model/FontValue.h"

#include <climits>
#include <cstdlib>

namespace {

// n * num / den to the nearest integer, halves away from zero, clamped to int. An int-sized n
// times a small num stays far inside 64 bits.
int Scaled(long long n, long long num, long long den) {
    const long long twice = 2 * n * num;
    const long long r = twice >= 0 ? (twice + den) / (2 * den) : -((-twice + den) / (2 * den));
    return r > INT_MAX ? INT_MAX : r < INT_MIN ? INT_MIN : static_cast<int>(r);
}

} // namespace

int PointsToPixels(long long points) {
    return Scaled(points, 96, 72);
}

int PixelsToPoints(long long pixels) {
    return Scaled(pixels, 72, 96);
}

int FontValue::Pixels() const {
    if (Height > 0)
        return Height;
    const int px = PointsToPixels(std::llabs(static_cast<long long>(Size)));
    return px > 0 ? px : 1;
}

void FontValue::SetPixels(int pixels) {
    Height = pixels > 0 ? pixels : 1;
    Size = PixelsToPoints(Height);
}

void FontValue::SetPoints(int points) {
    Size = points;
    Height = 0;
}

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
    font.SetPoints(*size);
    font.Bold = line[5] == "1";
    font.Italic = line[6] == "1";
    font.Underline = line[7] == "1";
    font.StrikeOut = line[8] == "1";
    return 0;
}
