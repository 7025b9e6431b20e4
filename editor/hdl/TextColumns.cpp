// Padding of generated text.
#include "editor/hdl/TextColumns.h"

std::string PadRight(std::string_view text, std::size_t width) {
    std::string out(text);
    if (out.size() < width)
        out.append(width - out.size(), ' ');
    return out;
}

std::string PadLeft(std::string_view text, std::size_t width) {
    std::string out;
    if (text.size() < width)
        out.assign(width - text.size(), ' ');
    out += text;
    return out;
}
