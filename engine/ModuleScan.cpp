// The module scan: one left-to-right pass per file and language, the module list in file order.
#include "engine/ModuleScan.h"

#include "engine/Patterns.h"
#include "engine/SourceText.h"
#include "engine/TextFile.h"
#include "regex/Regex.h"

#include <charconv>

using namespace rx;

namespace qve {
namespace {

// A module: the keyword, its name (group 1) and everything up to the nearest whole "endmodule".
const Regex& VerilogModuleDefinition() {
    static const Regex regex(std::string(R"(\b(?:module|macromodule)\b\s*()") + Idn_Vlog +
                                 R"()\s*.*?\bendmodule\b)",
                             kRegexDotAll);
    return regex;
}

// An entity: the keyword, its name (group 1), "is", and the nearest "end [entity] [name];".
const Regex& VhdlEntityDefinition() {
    static const Regex regex(std::string(R"(\bentity\b\s*()") + Idn_VHDL +
                                 R"()\s*is\b(.*?)\bend(\b\s*entity)?(\b\s*\1)?\s*;)",
                             kRegexCaseless | kRegexDotAll);
    return regex;
}

// A kind digit as the job reads it: not a number, or missing, counts as Verilog.
int KindOf(const std::vector<std::string>& arguments, std::size_t index) {
    if (index >= arguments.size())
        return 0;
    const std::string& text = arguments[index];
    long value = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (begin < end && *begin == '+')
        ++begin;
    auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end || begin == end)
        return 0;
    if (value == 0 || value == 1)
        return static_cast<int>(value);
    return 2;
}

} // namespace

std::vector<std::string> ScanVerilogModules(std::string_view source, const IncludeFiles& includes) {
    std::string text = PreprocessVerilog(StripVerilogComments(source), includes);
    // Past the last "endmodule" no module can close, so the search stops there and a trailing
    // run of unclosed "module" words costs nothing.
    std::string_view searched = std::string_view(text).substr(0, EndOfLastWord(text, "endmodule"));
    std::vector<std::string> names;
    RegexMatch match;
    std::size_t position = 0;
    while (VerilogModuleDefinition().Search(searched, position, match)) {
        names.emplace_back(match.Group(searched, 1));
        position = match.End();
    }
    return names;
}

std::vector<std::string> ScanVhdlEntities(std::string_view source) {
    std::string text = StripVhdlComments(source);
    std::vector<std::string> names;
    ForEachMatch(VhdlEntityDefinition(), text,
                 [&](const RegexMatch& match) { names.emplace_back(match.Group(text, 1)); });
    return names;
}

bool IsWritablePath(std::string_view path) {
    return path.find_first_of("\t\r\n") == std::string_view::npos;
}

JobResult ModuleScanJob(const std::vector<std::string>& arguments) {
    std::string result;
    for (std::size_t index = 1; index < arguments.size(); index += 2) {
        const std::string& path = arguments[index];
        if (!IsWritablePath(path))
            return JobResult::Failure(EngineError::InputUnreadable);
        std::optional<std::string> source = ReadTextFile(path);
        if (!source)
            return JobResult::Failure(EngineError::InputUnreadable);
        std::string text = std::move(*source);
        TabsToBlanksInPlace(text);
        // A lone CR ends a line here as it does for the project-text job, so a line comment ends
        // there and the list offers no less than that job can read.
        for (char& c : text)
            if (c == '\r')
                c = '\n';
        // A file that is not text lists nothing, whatever its bytes happen to spell.
        if (IsBinaryText(text))
            continue;
        int kind = KindOf(arguments, index + 1);
        std::vector<std::string> names;
        char language = '0';
        if (kind != 1)
            names = ScanVerilogModules(text, {path, RegularFilesOnly(ReadTextFile)});
        if (kind == 1 || (kind == 2 && names.empty())) {
            names = ScanVhdlEntities(text);
            language = '1';
        }
        for (const std::string& name : names) {
            result += "F";
            result += language;
            result += "-" + path + "\nM-" + name + "\n";
        }
    }
    return JobResult::Output(std::move(result));
}

} // namespace qve
