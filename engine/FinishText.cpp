// The output form of the finishing jobs.
#include "engine/FinishText.h"

namespace qve {

std::string FinishedTopText(std::vector<std::string> lines) {
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 1;
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += '\n';
        text += line;
    }
    return text;
}

} // namespace qve
