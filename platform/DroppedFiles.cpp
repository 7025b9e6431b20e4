// Reading a dropped "text/uri-list" into local paths.
#include "platform/DroppedFiles.h"

#include "platform/AsciiCase.h"

#include <climits>
#include <optional>
#include <unistd.h>

namespace platform {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    const char lower = AsciiLower(c);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// The bytes the percent-encoding stands for; a "%" without two hex digits stands for itself.
std::string PercentDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out.push_back(static_cast<char>(high * 16 + low));
                i += 2;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

bool IsThisMachine(std::string_view host) {
    if (host.empty() || SameIgnoringAsciiCase(host, "localhost"))
        return true;
    char name[HOST_NAME_MAX + 1] = {};
    return ::gethostname(name, sizeof name - 1) == 0 && SameIgnoringAsciiCase(host, name);
}

std::optional<std::string> LocalPath(std::string_view uri) {
    if (uri.size() < 5 || !SameIgnoringAsciiCase(uri.substr(0, 5), "file:"))
        return std::nullopt;
    std::string_view rest = uri.substr(5);
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        const std::size_t slash = rest.find('/');
        if (slash == std::string_view::npos || !IsThisMachine(rest.substr(0, slash)))
            return std::nullopt;
        rest.remove_prefix(slash);
    }
    if (rest.empty() || rest.front() != '/')
        return std::nullopt;
    // A query or fragment is no part of a file's name.
    rest = rest.substr(0, rest.find_first_of("?#"));
    std::string path = PercentDecoded(rest);
    if (path.find('\0') != std::string::npos)
        return std::nullopt;
    return path;
}

} // namespace

std::vector<std::string> LocalFilesOfUriList(std::string_view uriList) {
    std::vector<std::string> files;
    std::size_t start = 0;
    while (start < uriList.size()) {
        std::size_t end = uriList.find('\n', start);
        if (end == std::string_view::npos)
            end = uriList.size();
        std::string_view line = uriList.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        if (std::optional<std::string> path = LocalPath(line))
            files.push_back(std::move(*path));
    }
    return files;
}

} // namespace platform
