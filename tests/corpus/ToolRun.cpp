// Tool runs by fork and exec, and small readers of the JSON and XML the tools write.
#include "ToolRun.h"

#include "support/ChildProcess.h"

#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace corpus {

int RunTool(const std::vector<std::string>& argv, const std::string& directory,
            const std::string& logFile, const std::string& outputFile) {
    int status = RunChild({argv, directory, outputFile.empty() ? logFile : outputFile, logFile});
    return status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

namespace {

std::string DecodeEntities(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        std::size_t end = text.find(';', i);
        std::string name = end == std::string::npos ? "" : text.substr(i + 1, end - i - 1);
        const std::map<std::string, char> known = {
            {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
        if (auto it = known.find(name); it != known.end()) {
            out += it->second;
            i = end;
        } else {
            out += '&';
        }
    }
    return out;
}

} // namespace

std::string XmlElement::Attribute(const std::string& name) const {
    auto it = attributes.find(name);
    return it == attributes.end() ? std::string() : it->second;
}

std::unique_ptr<XmlElement> ParseXml(const std::string& text) {
    auto root = std::make_unique<XmlElement>();
    std::vector<XmlElement*> open = {root.get()};
    std::size_t i = 0;
    while ((i = text.find('<', i)) != std::string::npos) {
        if (text.compare(i, 2, "<?") == 0 || text.compare(i, 2, "<!") == 0) {
            i = text.find('>', i);
            continue;
        }
        if (text.compare(i, 2, "</") == 0) {
            if (open.size() > 1)
                open.pop_back();
            i = text.find('>', i);
            continue;
        }
        auto element = std::make_unique<XmlElement>();
        std::size_t j = i + 1;
        while (j < text.size() && !std::isspace(static_cast<unsigned char>(text[j])) &&
               text[j] != '>' && text[j] != '/')
            ++j;
        element->tag = text.substr(i + 1, j - i - 1);
        bool selfClosing = false;
        for (;;) {
            while (j < text.size() && std::isspace(static_cast<unsigned char>(text[j])))
                ++j;
            if (j >= text.size())
                break;
            if (text[j] == '/') {
                selfClosing = true;
                j = text.find('>', j);
                break;
            }
            if (text[j] == '>')
                break;
            std::size_t eq = text.find('=', j);
            std::string name = text.substr(j, eq - j);
            char quote = text[eq + 1];
            std::size_t close = text.find(quote, eq + 2);
            element->attributes[name] = DecodeEntities(text.substr(eq + 2, close - eq - 2));
            j = close + 1;
        }
        XmlElement* raw = element.get();
        open.back()->children.push_back(std::move(element));
        if (!selfClosing)
            open.push_back(raw);
        i = j;
    }
    return root;
}

} // namespace corpus
