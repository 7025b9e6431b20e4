// Text-mode emulation over bytes; the files themselves are read and written by the platform.
#include "engine/TextFile.h"

#include "platform/TextFile.h"

namespace qve {

std::string ToTextMode(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            bytes.push_back('\r');
        bytes.push_back(c);
    }
    return bytes;
}

namespace {

// Drops the CR of every CR LF pair in place, as a text-mode read does.
void DropCrOfCrLf(std::string& bytes) {
    std::size_t cr = bytes.find("\r\n");
    if (cr == std::string::npos)
        return;
    std::size_t out = cr;
    for (std::size_t in = cr; in < bytes.size(); ++in) {
        if (bytes[in] == '\r' && in + 1 < bytes.size() && bytes[in + 1] == '\n')
            continue;
        bytes[out++] = bytes[in];
    }
    bytes.resize(out);
}

} // namespace

std::string FromTextMode(std::string_view bytes) {
    std::string text(bytes);
    DropCrOfCrLf(text);
    return text;
}

std::optional<std::string> ReadTextFile(const std::string& path) {
    std::string bytes;
    if (!platform::ReadWholeFile(path, bytes))
        return std::nullopt;
    DropCrOfCrLf(bytes);
    return bytes;
}

bool WriteTextFile(const std::string& path, std::string_view text) {
    return static_cast<bool>(platform::WriteFileAtomic(path, ToTextMode(text)));
}

} // namespace qve
