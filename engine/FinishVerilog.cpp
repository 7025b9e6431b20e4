// The Verilog finishing job, and the reading of both finishing jobs' inputs.
#include "engine/Finish.h"

#include "engine/AsciiText.h"
#include "engine/FinishIndex.h"
#include "engine/FinishText.h"
#include "engine/TextFile.h"
#include "regex/Regex.h"

#include <unordered_set>

using namespace rx;

namespace qve {
namespace {

// A continuous assignment alone on its line: head with indentation, left name, optional range,
// "=" between blanks, right name, optional range, ";".
const Regex& AssignLine() {
    static const Regex regex(
        R"(^(\s*assign\b\s*)(\S+?)(\s+\[\d+:\d+\])?\s+=\s+(\S+?)(\s+\[\d+:\d+\])?\s*;\s*$)");
    return regex;
}

// A placeholder that no wire filled: the port stays unconnected.
const Regex& OpenConnection() {
    static const Regex regex(R"(\(__\))");
    return regex;
}

// A name of an assignment that is not a plain identifier is written escaped.
std::string AssignName(std::string_view name) {
    if (name.front() == '\\')
        return std::string(name);
    for (char c : name)
        if (!IsWordByte(c))
            return "\\" + std::string(name) + " ";
    return std::string(name);
}

void WriteLine(std::string_view line, FinishedTopWriter& writer) {
    RegexMatch match;
    // The word is a cheap test that spares the pattern the many lines without it.
    if (line.find("assign") == std::string_view::npos || !AssignLine().Search(line, match)) {
        writer.Line(line);
        return;
    }
    std::string rebuilt(match.Group(line, 1));
    rebuilt += AssignName(match.Group(line, 2));
    if (match.IsSet(3))
        rebuilt += " " + std::string(TrimStart(match.Group(line, 3)));
    rebuilt += " = ";
    rebuilt += AssignName(match.Group(line, 4));
    if (match.IsSet(5))
        rebuilt += " " + std::string(TrimStart(match.Group(line, 5)));
    rebuilt += " ;";
    writer.Line(rebuilt);
}

} // namespace

JobResult RunFinishJob(FinishLanguage language, const std::vector<std::string>& arguments) {
    // A missing argument is an empty path, which cannot be opened.
    static const std::string noPath;
    const std::string& connectionPath = arguments.size() > 1 ? arguments[1] : noPath;
    const std::string& skeletonPath = arguments.size() > 2 ? arguments[2] : noPath;
    std::optional<std::string> connection = ReadTextFile(connectionPath);
    if (!connection)
        return JobResult::Failure(EngineError::InputUnreadable);
    std::optional<std::string> skeleton = ReadTextFile(skeletonPath);
    if (!skeleton)
        return JobResult::Failure(EngineError::InputUnreadable);
    return language == FinishLanguage::Verilog ? FinishVerilogJob(*connection, *skeleton)
                                               : FinishVhdlJob(*connection, *skeleton);
}

JobResult FinishVerilogJob(std::string_view connection, std::string_view skeleton) {
    ConnectionIndex index(connection);
    PlaceholderIndex placeholders = PlaceholderIndex::ForVerilog(skeleton);
    // One filled connection per wire record; reserved so the views the index keeps stay valid.
    std::vector<std::string> connections;
    connections.reserve(index.Wires().size());
    DistinctTexts declarations;
    // A net is declared once: two declarations of one name, which ports of the same span but
    // other bounds would give, are refused by every Verilog tool. A net that is a top port is
    // declared as the port is, which a declaration of other bounds would contradict.
    std::unordered_set<std::string_view> netsDeclared;
    for (const WireRecord& wire : index.Wires()) {
        std::string name(wire.name);
        if (name.find('\\') != std::string::npos && name.front() != '\\')
            name = "\\" + name + " ";
        std::string padded = PadRight(name, kNameColumns);
        connections.push_back("(" + padded + ")");
        placeholders.Fill(wire.instanceA, wire.portA, connections.back());
        placeholders.Fill(wire.instanceB, wire.portB, connections.back());
        if (!netsDeclared.insert(WithoutTrailingBlanks(wire.name)).second)
            continue;

        std::optional<PortWidth> width;
        if (const ConnectionIndex::TopPort* top = index.FindTopPort(wire.name)) {
            width = top->width;
        } else {
            width = index.Width(wire.instanceB, wire.portB);
            if (!width)
                width = index.Width(wire.instanceA, wire.portA);
        }
        std::string range;
        if (width) {
            if (!WholeNumber(width->first) || !WholeNumber(width->second))
                return JobResult::Failure(EngineError::InputUnusable);
            range = "[" + std::string(width->first) + ":" + std::string(width->second) + "]";
        }
        declarations.Add("wire " + PadRight(range, kRangeColumns) + " " + padded + ";");
    }

    std::size_t declared = 0;
    for (const std::string& declaration : declarations.Texts())
        declared += declaration.size() + 1;
    // Open ports are written "( )" at once; the pass over the whole text is needed only when
    // a placeholder stands elsewhere.
    std::string text = placeholders.Apply(skeleton, "( )", nullptr, declared);
    for (const std::string& declaration : declarations.Texts()) {
        text += '\n';
        text += declaration;
    }
    if (text.find("(__)") != std::string::npos)
        text = ReplaceAll(OpenConnection(), text, "( )");

    FinishedTopWriter writer(text.size() + 2);
    ForEachLine(text, [&](std::string_view line, std::size_t) { WriteLine(line, writer); });
    return JobResult::Output(writer.Take());
}

} // namespace qve
