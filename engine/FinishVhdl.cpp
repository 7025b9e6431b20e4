// The VHDL finishing job.
#include "engine/Finish.h"

#include "engine/FinishIndex.h"
#include "engine/FinishText.h"
#include "engine/Regex.h"

#include <unordered_set>

namespace qve {
namespace {

constexpr std::string_view kSignalsBegin = "--Internal Signals";
constexpr std::string_view kSignalsEnd = "--Internal Signals End";

// No tool takes a tri-state literal wider than the vector length every Verilog tool must support;
// a larger count is garbage, not a design.
constexpr int kMaxTriStateWidth = 65536;

// An association that no wire filled: the port is mapped to open.
const Regex& OpenAssociation() {
    static const Regex regex(R"(=> __\b)");
    return regex;
}

// A Verilog-style tri-state: target <= ( select ==N'bD)? W'bz : data ;
const Regex& TriStateLine() {
    static const Regex regex(
        R"(^\s*(\w+)\s+<=\s+\(\s+(\w+)\s+==\d+'b(\d)\)\?\s*(\d+)'bz\s*:\s+(\w+)\s+;)");
    return regex;
}

// The first Verilog-style bit range of a line, after a blank: head [first:second] tail.
const Regex& BracketRangeLine() {
    static const Regex regex(R"(^(.*?)\s+\[\s*(\d+)\s*:\s*(\d+)\s*\](.*?)$)");
    return regex;
}

std::string_view WithoutCr(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// The block of top-level port names where the signal declarations belong: from the start of its
// first marker line to the end of its last; the names are its inner lines. A block with no
// names (a top without ports) is a block too.
struct SignalBlock {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::vector<std::string_view> names;
};

std::optional<SignalBlock> FindSignalBlock(std::string_view text) {
    std::optional<SignalBlock> block;
    bool inside = false;
    bool closed = false;
    SignalBlock candidate;
    ForEachLine(text, [&](std::string_view rawLine, std::size_t offset) {
        if (closed)
            return;
        std::string_view line = WithoutCr(rawLine);
        if (!inside) {
            if (line == kSignalsBegin) {
                inside = true;
                candidate.begin = offset;
            }
        } else if (line == kSignalsEnd) {
            candidate.end = offset + line.size();
            block = candidate;
            closed = true;
        } else {
            candidate.names.push_back(line);
        }
    });
    return block;
}

std::string TypeTail(std::optional<PortWidth> width, bool& nonsense) {
    if (!width)
        return " ";
    std::optional<int> first = WholeNumber(width->first);
    std::optional<int> second = WholeNumber(width->second);
    if (!first || !second) {
        nonsense = true;
        return {};
    }
    return "_vector(" + std::string(width->first) + (*first > *second ? " downto " : " to ") +
           std::string(width->second) + ")";
}

// One line of step "rewrite": tri-state into WHEN/ELSE, else the first bit range into VHDL.
// Nothing when a width or bound is not a sane number.
std::optional<std::string> RewriteLine(std::string_view line) {
    RegexMatch match;
    if (TriStateLine().Search(line, match)) {
        std::optional<int> width = WholeNumber(match.Group(line, 4));
        if (!width || *width < 1 || *width > kMaxTriStateWidth)
            return std::nullopt;
        std::string value = *width == 1 ? "'Z'" : "\"" + std::string(*width, 'Z') + "\"";
        return " " + std::string(match.Group(line, 1)) + " <= " + value + " WHEN " +
               std::string(match.Group(line, 2)) + " = '" + std::string(match.Group(line, 3)) +
               "' ELSE " + std::string(match.Group(line, 5)) + " ;";
    }
    if (BracketRangeLine().Search(line, match)) {
        std::string_view firstText = match.Group(line, 2);
        std::string_view secondText = match.Group(line, 3);
        std::optional<int> first = WholeNumber(firstText);
        std::optional<int> second = WholeNumber(secondText);
        if (!first || !second)
            return std::nullopt;
        std::string range(firstText);
        if (*first < *second)
            range += " to " + std::string(secondText);
        else if (*first > *second)
            range += " downto " + std::string(secondText);
        return std::string(match.Group(line, 1)) + " (" + range + ") " +
               std::string(match.Group(line, 4));
    }
    return std::string(line);
}

} // namespace

JobResult FinishVhdlJob(std::string_view connection, std::string_view skeleton) {
    ConnectionIndex index(connection);
    std::unordered_set<std::string> topPorts;
    if (std::optional<SignalBlock> block = FindSignalBlock(skeleton))
        for (std::string_view name : block->names)
            topPorts.insert(Lower(name));

    PlaceholderIndex placeholders = PlaceholderIndex::ForVhdl(skeleton);
    std::string declarations;
    std::unordered_set<std::string> declared;
    for (const WireRecord& wire : index.Wires()) {
        std::string padded = PadRight(wire.name, kNameColumns);
        placeholders.Fill(wire.instanceA, wire.portA, padded);
        placeholders.Fill(wire.instanceB, wire.portB, padded);

        std::optional<PortWidth> width = index.Width(wire.instanceB, wire.portB);
        if (!width)
            width = index.Width(wire.instanceA, wire.portA);
        bool nonsense = false;
        std::string tail = TypeTail(width, nonsense);
        if (nonsense)
            return JobResult::Failure(EngineError::OutputUnwritable);
        std::string declaration =
            "signal " + padded + " : std_logic" + PadRight(tail, kTypeTailColumns) + ";";
        if (topPorts.count(Lower(wire.name)) == 0 && declared.insert(declaration).second)
            declarations += "\n" + declaration;
    }

    std::string text = placeholders.Apply(skeleton);
    if (std::optional<SignalBlock> block = FindSignalBlock(text))
        text = text.substr(0, block->begin) + declarations + text.substr(block->end);
    text = ReplaceAll(OpenAssociation(), text, "=> open");

    std::vector<std::string> lines;
    bool nonsense = false;
    ForEachLine(text, [&](std::string_view line, std::size_t) {
        std::optional<std::string> rewritten = RewriteLine(line);
        if (!rewritten)
            nonsense = true;
        else
            lines.push_back(std::move(*rewritten));
    });
    if (nonsense)
        return JobResult::Failure(EngineError::OutputUnwritable);
    return JobResult::Output(FinishedTopText(std::move(lines)));
}

} // namespace qve
