// The VHDL finishing job.
#include "engine/Finish.h"

#include "engine/AsciiText.h"
#include "engine/FinishIndex.h"
#include "engine/FinishText.h"
#include "regex/Regex.h"

#include <unordered_set>

using namespace rx;

namespace qve {
namespace {

constexpr std::string_view kSignalsBegin = "--Internal Signals";
constexpr std::string_view kSignalsEnd = "--Internal Signals End";

// Verilog promises vectors of 65536 bits; a wider tri-state count is garbage, not a design, and
// would only blow up one line of the output.
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

// The block of top-level port names where the signal declarations belong: from the start of its
// first marker line to the end of its last; the names are its inner lines. A block with no
// names (a top without ports) is a block too.
struct SignalBlock {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::vector<std::string_view> names;
};

// The offset of the first line at or after from that is exactly marker (a CR before its line
// end allowed), or npos.
std::size_t FindMarkerLine(std::string_view text, std::string_view marker, std::size_t from) {
    for (std::size_t at = text.find(marker, from); at != std::string_view::npos;
         at = text.find(marker, at + 1)) {
        bool lineStart = at == 0 || text[at - 1] == '\n';
        std::size_t after = at + marker.size();
        if (after < text.size() && text[after] == '\r')
            ++after;
        bool lineEnd = after == text.size() || text[after] == '\n';
        if (lineStart && lineEnd)
            return at;
    }
    return std::string_view::npos;
}

std::optional<SignalBlock> FindSignalBlock(std::string_view text) {
    std::size_t begin = FindMarkerLine(text, kSignalsBegin, 0);
    if (begin == std::string_view::npos)
        return std::nullopt;
    std::size_t end = FindMarkerLine(text, kSignalsEnd, begin + kSignalsBegin.size());
    if (end == std::string_view::npos)
        return std::nullopt;
    SignalBlock block;
    block.begin = begin;
    block.end = end + kSignalsEnd.size();
    std::size_t namesBegin = text.find('\n', begin) + 1;
    if (namesBegin < end)
        ForEachLine(
            text.substr(namesBegin, end - namesBegin),
            [&](std::string_view line, std::size_t) { block.names.push_back(WithoutCr(line)); });
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

// Writes one line: a tri-state becomes WHEN/ELSE, else the first bit range becomes VHDL. False
// when a width or bound is not a sane number.
bool WriteLine(std::string_view line, FinishedTopWriter& writer) {
    RegexMatch match;
    // "<=" and "[" are cheap tests that spare the patterns the many lines without them.
    if (line.find("<=") != std::string_view::npos && TriStateLine().Search(line, match)) {
        std::optional<int> width = WholeNumber(match.Group(line, 4));
        if (!width || *width < 1 || *width > kMaxTriStateWidth)
            return false;
        std::string value = *width == 1 ? "'Z'" : "\"" + std::string(*width, 'Z') + "\"";
        writer.Line(" " + std::string(match.Group(line, 1)) + " <= " + value + " WHEN " +
                    std::string(match.Group(line, 2)) + " = '" + std::string(match.Group(line, 3)) +
                    "' ELSE " + std::string(match.Group(line, 5)) + " ;");
        return true;
    }
    if (line.find('[') != std::string_view::npos && BracketRangeLine().Search(line, match)) {
        std::string_view firstText = match.Group(line, 2);
        std::string_view secondText = match.Group(line, 3);
        std::optional<int> first = WholeNumber(firstText);
        std::optional<int> second = WholeNumber(secondText);
        if (!first || !second)
            return false;
        std::string range(firstText);
        if (*first < *second)
            range += " to " + std::string(secondText);
        else if (*first > *second)
            range += " downto " + std::string(secondText);
        writer.Line(std::string(match.Group(line, 1)) + " (" + range + ") " +
                    std::string(match.Group(line, 4)));
        return true;
    }
    writer.Line(line);
    return true;
}

} // namespace

JobResult FinishVhdlJob(std::string_view connection, std::string_view skeleton) {
    ConnectionIndex index(connection);
    std::optional<SignalBlock> block = FindSignalBlock(skeleton);
    std::unordered_set<std::string> topPorts;
    if (block)
        for (std::string_view name : block->names)
            topPorts.insert(Lower(name));

    PlaceholderIndex placeholders = PlaceholderIndex::ForVhdl(skeleton);
    // One padded name per wire record; reserved so the views the index keeps stay valid.
    std::vector<std::string> names;
    names.reserve(index.Wires().size());
    DistinctTexts declarations;
    // A net is declared once, as its first record types it: ports of one bit, vectors of one
    // and ranges that run the other way all pass the width rule, and a second declaration of
    // the signal is one VHDL refuses.
    // VHDL names are one name in any letter case.
    std::unordered_set<std::string> declared;
    for (const WireRecord& wire : index.Wires()) {
        names.push_back(PadRight(wire.name, kNameColumns));
        const std::string& padded = names.back();
        placeholders.Fill(wire.instanceA, wire.portA, padded);
        placeholders.Fill(wire.instanceB, wire.portB, padded);

        std::optional<PortWidth> width = index.Width(wire.instanceB, wire.portB);
        if (!width)
            width = index.Width(wire.instanceA, wire.portA);
        bool nonsense = false;
        std::string tail = TypeTail(width, nonsense);
        if (nonsense)
            return JobResult::Failure(EngineError::InputUnusable);
        const std::string key = Lower(wire.name);
        if (topPorts.count(key) == 0 && declared.insert(key).second)
            declarations.Add("signal " + padded + " : std_logic" +
                             PadRight(tail, kTypeTailColumns) + ";");
    }

    // The block holds no association, so it is replaced in the same pass that fills them.
    std::string signals;
    for (const std::string& declaration : declarations.Texts()) {
        signals += '\n';
        signals += declaration;
    }
    // Without the block the declarations would have nowhere to go, and a top whose internal
    // signals are undeclared is no result: the run fails rather than report it as done.
    if (!block && !declarations.Texts().empty())
        return JobResult::Failure(EngineError::InputUnusable);
    std::string text;
    if (block) {
        PlaceholderIndex::Span span{block->begin, block->end, signals};
        text = placeholders.Apply(skeleton, "open", &span);
    } else {
        text = placeholders.Apply(skeleton, "open");
    }
    // Open associations were mapped in the same pass; the pass over the whole text is needed
    // only when the placeholder stands elsewhere or spelled otherwise.
    if (text.find("=> __") != std::string::npos)
        text = ReplaceAll(OpenAssociation(), text, "=> open");

    FinishedTopWriter writer(text.size() + 2);
    bool nonsense = false;
    ForEachLine(text, [&](std::string_view line, std::size_t) {
        if (!nonsense && !WriteLine(line, writer))
            nonsense = true;
    });
    if (nonsense)
        return JobResult::Failure(EngineError::InputUnusable);
    return JobResult::Output(writer.Take());
}

} // namespace qve
