// The include rules between the layers and the walk over the tree that applies them.
#include "layering/check/LayerRules.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace layering {
namespace {

namespace fs = std::filesystem;

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// The layer a path of the tree belongs to: "platform", "regex", "engine", "editor/model",
// ..., "editor/main.cpp", "res"; empty for a path outside every layer.
std::string LayerOf(std::string_view path) {
    for (std::string_view top : {"platform/", "regex/", "engine/", "launcher/", "res/"})
        if (StartsWith(path, top))
            return std::string(top.substr(0, top.size() - 1));
    if (path == "editor/main.cpp")
        return "editor/main.cpp";
    if (StartsWith(path, "editor/")) {
        std::string_view rest = path.substr(7);
        std::size_t slash = rest.find('/');
        if (slash != std::string_view::npos)
            return "editor/" + std::string(rest.substr(0, slash));
    }
    return {};
}

// Layers that each layer may include besides itself. A layer not listed here (a folder the rules
// do not know yet) is held to the Qt rule only.
struct Rule {
    std::string_view layer;
    bool allowList; // true: only the layers named; false: every layer but those named
    std::vector<std::string_view> layers;
};

const std::vector<Rule>& Rules() {
    static const std::vector<Rule> rules = {
        {"platform", true, {}},
        {"regex", true, {}},
        {"engine", true, {"platform", "regex"}},
        {"editor/expr", true, {"platform"}},
        {"editor/model",
         false,
         {"editor/widgets", "editor/canvas", "editor/hdl", "editor/app", "engine", "launcher"}},
        // The window pieces both subsystems share sit between the model and their windows.
        {"editor/widgets", true, {"editor/model"}},
        // One direction between the two subsystems: the Properties pages of the canvas call width
        // confirmation and module update, so the HDL side never reaches back.
        {"editor/canvas", false, {"editor/app", "engine", "launcher"}},
        {"editor/hdl", false, {"editor/canvas", "editor/app", "engine", "launcher"}},
        {"editor/app", false, {"engine", "launcher"}},
        {"editor/main.cpp", false, {"engine", "launcher"}},
        {"launcher", false, {"editor/app", "engine"}},
    };
    return rules;
}

// A Qt header: <QWidget>, <QtCore/QString>, <QtWidgets>.
bool IsQtHeader(std::string_view path) {
    if (path.size() < 2 || path[0] != 'Q')
        return false;
    return (path[1] >= 'A' && path[1] <= 'Z') || StartsWith(path, "Qt");
}

// Windows live in the ui/ folder of the subsystem whose logic they show, the pieces several of
// them share in widgets/, and the editor as a whole in app/; the two program mains put up their
// windows.
bool MayUseQt(std::string_view source) {
    if (StartsWith(source, "editor/app/") || StartsWith(source, "editor/widgets/") ||
        source == "editor/main.cpp" || source == "launcher/main.cpp")
        return true;
    if (!StartsWith(source, "editor/"))
        return false;
    std::string_view rest = source.substr(7);
    std::size_t slash = rest.find('/');
    return slash != std::string_view::npos && StartsWith(rest.substr(slash), "/ui/");
}

bool IsSource(const fs::path& p) {
    static const std::array<std::string_view, 6> exts = {".h", ".hpp", ".cpp", ".cc", ".c", ".inc"};
    const std::string ext = p.extension().string();
    return std::find(exts.begin(), exts.end(), ext) != exts.end();
}

} // namespace

std::optional<std::string> Forbidden(const std::string& source, const Include& include,
                                     bool sameFolder) {
    if (include.angle) {
        if (IsQtHeader(include.path) && !MayUseQt(source))
            return "Qt outside the windows (*/ui/, editor/widgets/, editor/app/ and the program "
                   "mains)";
        // The build's include directory is the root, so <editor/app/TForm1.h> reaches our tree
        // as the quoted form does and is judged alike; other libraries' headers are free.
        if (LayerOf(include.path).empty())
            return std::nullopt;
    }
    // A path relative to the source's folder is judged by the file it names: "../app/TForm1.h"
    // from editor/canvas is editor/app's.
    const std::string target =
        sameFolder
            ? (fs::path(source).parent_path() / include.path).lexically_normal().generic_string()
            : include.path;
    const std::string from = LayerOf(source);
    const std::string to = LayerOf(target);
    if (from.empty() || from == to)
        return std::nullopt;
    const auto rule = std::find_if(Rules().begin(), Rules().end(),
                                   [&](const Rule& r) { return r.layer == from; });
    if (rule == Rules().end())
        return std::nullopt;
    if (to.empty())
        return from + " may not include " + target + ", which is outside the layers";
    const bool named =
        std::find(rule->layers.begin(), rule->layers.end(), to) != rule->layers.end();
    if (named == rule->allowList)
        return std::nullopt;
    return from + " may not include " + to;
}

std::optional<Include> ParseInclude(const std::string& line) {
    std::size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] != '#')
        return std::nullopt;
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string::npos || line.compare(i, 7, "include") != 0)
        return std::nullopt;
    i = line.find_first_not_of(" \t", i + 7);
    if (i == std::string::npos || (line[i] != '"' && line[i] != '<'))
        return std::nullopt;
    const char close = line[i] == '"' ? '"' : '>';
    const std::size_t end = line.find(close, i + 1);
    if (end == std::string::npos)
        return std::nullopt;
    return Include{line.substr(i + 1, end - i - 1), close == '>'};
}

CheckResult CheckTree(const std::string& root) {
    CheckResult result;
    const fs::path base(root);
    std::vector<fs::path> files;
    for (const char* top : {"platform", "regex", "engine", "editor", "launcher"}) {
        std::error_code ec;
        if (!fs::is_directory(base / top, ec))
            continue;
        for (auto it = fs::recursive_directory_iterator(base / top, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
            if (it->is_regular_file(ec) && IsSource(it->path()))
                files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        std::ifstream in(file);
        if (!in)
            continue;
        ++result.filesRead;
        const std::string source = file.lexically_relative(base).generic_string();
        std::string text;
        int number = 0;
        while (std::getline(in, text)) {
            ++number;
            if (!text.empty() && text.back() == '\r')
                text.pop_back();
            const std::optional<Include> include = ParseInclude(text);
            if (!include)
                continue;
            std::error_code ec;
            const bool sameFolder =
                !include->angle && fs::exists(file.parent_path() / include->path, ec);
            if (std::optional<std::string> why = Forbidden(source, *include, sameFolder))
                result.violations.push_back({source, number, text, *why});
        }
    }
    return result;
}

std::string Describe(const Violation& v) {
    return v.file + ":" + std::to_string(v.line) + ": " + v.text + ": " + v.reason;
}

} // namespace layering
