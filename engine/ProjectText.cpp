// The project-text job's flow: request lines, one prepared text per source, instance blocks.
#include "engine/ProjectText.h"

#include "engine/AsciiText.h"
#include "engine/ModuleScan.h"
#include "engine/SourceText.h"
#include "engine/TextFile.h"
#include "engine/VerilogReader.h"
#include "engine/VhdlReader.h"
#include "regex/Regex.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <map>
#include <memory>
#include <new>
#include <unistd.h>

using namespace rx;

namespace qve {
namespace {

// A naming-rule line (group 1: the rule).
const Regex& RuleLine() {
    static const Regex regex(R"(^R-(.*?)\n)");
    return regex;
}

// A source line (group 1: the language digit, group 2: the path).
const Regex& SourceLine() {
    static const Regex regex(R"(^F(\d)-(.*?)\n)");
    return regex;
}

// A module line (group 1: the module name, group 2: the instance count).
const Regex& ModuleLine() {
    static const Regex regex(R"(^M-(.*?)\t(\d+)\n)");
    return regex;
}

// A line of the names defined before the sources that follow (group 1: the names, blank-separated).
const Regex& DefinedLine() {
    static const Regex regex(R"(^D-(.*?)\n)");
    return regex;
}

// A white-space character, removed from the naming rule.
const Regex& WhiteSpaceCharacter() {
    static const Regex regex(R"(\s)");
    return regex;
}

// A port line of the result (groups 1 to 4: kind, first value, second value, name).
const Regex& PortLine() {
    static const Regex regex(
        R"(^(input|output|bidir|OUTPUT_B)\t(.*?)\t(.*?)\t(.*?)\t(.*?)\t(.*?)\t(.*?))",
        kRegexCaseless);
    return regex;
}

// A width value a typed top port may have: a whole number, or nothing.
const Regex& OptionalWholeNumber() {
    static const Regex regex(R"(^(\+|\-)?\d*$)");
    return regex;
}

// Leading white space.
const Regex& LeadingWhiteSpace() {
    static const Regex regex(R"(^\s+)");
    return regex;
}

std::string ReplaceText(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t position = 0;
    for (;;) {
        std::size_t found = text.find(from, position);
        if (found == std::string_view::npos)
            break;
        out.append(text.substr(position, found - position));
        out.append(to);
        position = found + from.size();
    }
    out.append(text.substr(position));
    return out;
}

// One source file, read once and prepared once per language (and, for Verilog, once for each
// set of names defined before it), however many modules are asked of it.
struct CachedSource {
    std::string path;
    std::string text;
    // Not text (it holds a NUL byte): it gives no module.
    bool binary = false;
    std::map<std::vector<std::string>, std::unique_ptr<VerilogSource>> verilog;
    std::unique_ptr<VhdlSource> vhdl;
};

class SourceCache {
public:
    CachedSource* Get(const std::string& path) {
        auto found = sources_.find(path);
        if (found != sources_.end())
            return &found->second;
        if (!IsWritablePath(path))
            return nullptr;
        std::optional<std::string> text = ReadTextFile(path);
        if (!text)
            return nullptr;
        CachedSource& entry = sources_[path];
        entry.path = path;
        entry.text = std::move(*text);
        entry.binary = IsBinaryText(entry.text);
        TabsToBlanksInPlace(entry.text);
        return &entry;
    }

private:
    std::map<std::string, CachedSource> sources_;
};

// The module's lines for one instance, or nothing when the module is not in its source.
std::optional<std::vector<std::string>> ReadModule(CachedSource& source, char language,
                                                   std::string_view name,
                                                   const std::vector<std::string>& defined) {
    if (source.binary)
        return std::nullopt;
    if (language == '0') {
        std::unique_ptr<VerilogSource>& verilog = source.verilog[defined];
        if (!verilog)
            verilog = std::make_unique<VerilogSource>(
                source.text, IncludeFiles{source.path, RegularFilesOnly(ReadTextFile), defined});
        std::optional<std::string> body = verilog->FindBody(name);
        if (!body)
            return std::nullopt;
        return ReadVerilogBody(*body);
    }
    if (language == '1') {
        if (!source.vhdl)
            source.vhdl = std::make_unique<VhdlSource>(source.text);
        std::optional<EntityParts> parts = source.vhdl->FindEntity(name);
        if (!parts)
            return std::nullopt;
        return ReadVhdlEntity(*parts);
    }
    return std::nullopt;
}

// An instance count within the bound, or nothing.
std::optional<int> InstanceCount(std::string_view digits) {
    int value = 0;
    auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || stop != digits.data() + digits.size() || value < 0 ||
        value > kMaxInstanceCount)
        return std::nullopt;
    return value;
}

// The names of a defined-names line.
std::vector<std::string> DefinedNames(std::string_view text) {
    std::vector<std::string> names;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        std::size_t start = i;
        while (i < text.size() && !IsBlank(text[i]))
            ++i;
        if (i > start)
            names.emplace_back(text.substr(start, i - start));
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

// The machine's memory in bytes: no result can be larger.
std::size_t PhysicalMemory() {
    long pages = ::sysconf(_SC_PHYS_PAGES);
    long size = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || size <= 0)
        return static_cast<std::size_t>(-1);
    return static_cast<std::size_t>(pages) * static_cast<std::size_t>(size);
}

} // namespace

std::string RewriteTopPorts(std::string_view result, bool allVariant) {
    std::string rewritten;
    RegexMatch match;
    ForEachLine(result, [&](std::string_view line, std::size_t) {
        if (!PortLine().Search(line, match))
            return;
        std::string kind = Upper(match.Group(line, 1));
        std::string first = ReplaceAll(LeadingWhiteSpace(), match.Group(line, 2), "");
        std::string second = ReplaceAll(LeadingWhiteSpace(), match.Group(line, 3), "");
        std::string name(match.Group(line, 4));
        bool variant = allVariant || !OptionalWholeNumber().Contains(first) ||
                       !OptionalWholeNumber().Contains(second);
        if (variant)
            rewritten += "KVAR\t\t\t" + name + "\t\t\t\t\n";
        else
            rewritten += kind + "\t" + first + "\t" + second + "\t" + name + "\t\t\t\t\n";
    });
    return rewritten;
}

JobResult ProjectTextJob(const std::vector<std::string>& arguments) {
    if (arguments.size() < 3)
        return JobResult::Failure(EngineError::TooFewArguments);
    const std::string& topSelector = arguments[1];
    bool importTop = topSelector == "*T" || topSelector == "*t";
    std::string result;
    if (!topSelector.empty() && !importTop)
        result = "Version:\tZUN2012\t1.0\t\nTOP\t\t" + topSelector + "\n";

    std::optional<std::string> request = ReadTextFile(arguments[2]);
    if (!request)
        return JobResult::Failure(EngineError::InputUnreadable);

    SourceCache sources;
    std::string rule;
    char language = '0';
    std::string path;
    std::vector<std::string> defined;
    RegexMatch match;
    std::size_t start = 0;
    while (start < request->size()) {
        std::size_t end = request->find('\n', start);
        // A last line without a line end matches none of the line patterns.
        if (end == std::string::npos)
            break;
        std::string_view line = std::string_view(*request).substr(start, end + 1 - start);
        start = end + 1;
        if (RuleLine().Search(line, match)) {
            rule = ReplaceAll(WhiteSpaceCharacter(), match.Group(line, 1), "");
            continue;
        }
        if (SourceLine().Search(line, match)) {
            language = match.Group(line, 1)[0];
            path = std::string(match.Group(line, 2));
            continue;
        }
        if (DefinedLine().Search(line, match)) {
            defined = DefinedNames(match.Group(line, 1));
            continue;
        }
        if (!ModuleLine().Search(line, match)) {
            // A module line whose count is no whole number is a request the job cannot carry out
            // as asked; leaving the module out would report success for less than was asked.
            if (line.starts_with("M-"))
                return JobResult::Failure(EngineError::InstanceCountRefused);
            continue;
        }
        std::optional<int> count = InstanceCount(match.Group(line, 2));
        if (!count)
            return JobResult::Failure(EngineError::InstanceCountRefused);
        std::string name(match.Group(line, 1));
        CachedSource* source = sources.Get(path);
        if (source == nullptr)
            return JobResult::Failure(EngineError::InputUnreadable);
        std::optional<std::vector<std::string>> lines =
            ReadModule(*source, language, name, defined);
        if (!lines || *count == 0)
            continue;
        std::string block;
        for (const std::string& text : *lines)
            block += text + "\n";
        std::string tail = "\t" + path + "\t" + (language == '0' ? "verilog" : "vhdl") + "\n";
        std::string named = ReplaceText(rule, "%M", name);
        // A count whose blocks cannot fit in memory fails the job here, before the allocator is
        // asked for more than the machine has.
        std::size_t perInstance = 8 + name.size() + named.size() + 12 + tail.size() + block.size();
        std::size_t limit = std::min(result.max_size(), PhysicalMemory());
        std::size_t room = limit > result.size() ? limit - result.size() : 0;
        if (perInstance > room / static_cast<std::size_t>(*count))
            throw std::bad_alloc();
        result.reserve(result.size() + perInstance * static_cast<std::size_t>(*count));
        for (int i = 0; i < *count; ++i) {
            result += "MODULE\t" + name + "\t" + ReplaceText(named, "%D", std::to_string(i)) + tail;
            result += block;
        }
    }
    if (importTop)
        result = RewriteTopPorts(result, topSelector == "*t");
    return JobResult::Output(std::move(result));
}

} // namespace qve
