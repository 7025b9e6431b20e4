// The index of the connection file and of the top skeleton shared by both finishing jobs.
#include "engine/FinishIndex.h"

#include "engine/Regex.h"

#include <charconv>

namespace qve {
namespace {

// An instance head of a Verilog skeleton: module name, blanks, instance name, "(" ending the line.
const Regex& VerilogInstanceHead() {
    static const Regex regex(R"(^(\S+) +(\S+?) *\(\s*$)");
    return regex;
}

// A port connection of a Verilog instance: ".", the port name, blanks, the placeholder "(__)".
const Regex& VerilogPortConnection() {
    static const Regex regex(R"(^\s*\.(\S+?)\s*(\(__\)),?\s*$)");
    return regex;
}

// An instance head of a VHDL skeleton: instance name, ":", module name, alone on its line.
const Regex& VhdlInstanceHead() {
    static const Regex regex(R"(^(\S[^:]*?)\s*:\s*(\S+)\s*$)");
    return regex;
}

// A port association of a VHDL port map: the port name, "=>", the placeholder "__".
const Regex& VhdlPortAssociation() {
    static const Regex regex(R"(^\s*(\S.*?)\s*=>\s*(__)(?!\w))");
    return regex;
}

std::string_view WithoutCr(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// Escaped Verilog names end in a blank that may or may not have been stored with the name.
std::string_view WithoutTrailingBlanks(std::string_view name) {
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    return name;
}

bool AllDigits(std::string_view text) {
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// Port keywords ("INPUT", "OUTPUT", "OUTPUT_B", "BIDIR", "KVAR") by their first letter.
bool IsPortKeyword(std::string_view keyword) {
    if (keyword.empty())
        return false;
    char c = keyword.front();
    return c == 'B' || c == 'I' || c == 'K' || c == 'O';
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        std::size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

std::string PortKey(std::string_view instance, std::string_view port) {
    std::string key;
    key.reserve(instance.size() + port.size() + 1);
    key.append(instance);
    key.push_back('\t');
    key.append(port);
    return key;
}

// Walks the skeleton's lines: a head opens an instance, a line holding ";" closes it (after the
// line itself was read, so a VHDL association followed by ");" still counts).
template <typename Add>
void ScanInstances(std::string_view skeleton, const Regex& head, const Regex& connection,
                   bool verilog, Add&& add) {
    std::string_view current;
    bool open = false;
    RegexMatch match;
    ForEachLine(skeleton, [&](std::string_view line, std::size_t offset) {
        if (head.Search(line, match)) {
            std::string_view module = match.Group(line, verilog ? 1 : 2);
            std::string_view instance = match.Group(line, verilog ? 2 : 1);
            // "module top(" heads the top module itself, whose ports hold no placeholders.
            open = !(verilog && module == "module");
            current = instance;
            return;
        }
        if (open && connection.Search(line, match))
            add(current, match.Group(line, 1), offset + match.Begin(2),
                match.End(2) - match.Begin(2));
        if (line.find(';') != std::string_view::npos)
            open = false;
    });
}

} // namespace

std::string PadRight(std::string_view text, std::size_t width) {
    std::string padded(text);
    if (padded.size() < width)
        padded.append(width - padded.size(), ' ');
    return padded;
}

std::optional<int> WholeNumber(std::string_view digits) {
    if (!AllDigits(digits))
        return std::nullopt;
    int value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

ConnectionIndex::ConnectionIndex(std::string_view connection) {
    // Port lines belong to the nearest TOP or MODULE line above them; only MODULE blocks give
    // widths, and disabled lines ("#...") belong to nothing.
    bool inModule = false;
    std::string_view instance;
    ForEachLine(connection, [&](std::string_view rawLine, std::size_t) {
        std::vector<std::string_view> fields = SplitFields(WithoutCr(rawLine));
        std::string_view keyword = fields[0];
        if (keyword == "WIRE") {
            if (fields.size() >= 6 && !fields[5].empty())
                wires_.push_back({fields[1], fields[2], fields[3], fields[4], fields[5]});
        } else if (keyword == "MODULE") {
            inModule = fields.size() >= 3 && !fields[1].empty() && !fields[2].empty();
            instance = inModule ? fields[2] : std::string_view();
        } else if (keyword == "TOP") {
            inModule = false;
        } else if (inModule && IsPortKeyword(keyword) && fields.size() >= 4) {
            std::optional<PortWidth> width;
            if (AllDigits(fields[1]) && AllDigits(fields[2]))
                width = PortWidth{fields[1], fields[2]};
            widths_.emplace(PortKey(instance, fields[3]), width);
        }
    });
}

std::optional<PortWidth> ConnectionIndex::Width(std::string_view instance,
                                                std::string_view port) const {
    auto found = widths_.find(PortKey(instance, port));
    if (found == widths_.end())
        return std::nullopt;
    return found->second;
}

PlaceholderIndex PlaceholderIndex::ForVerilog(std::string_view skeleton) {
    PlaceholderIndex index;
    ScanInstances(skeleton, VerilogInstanceHead(), VerilogPortConnection(), true,
                  [&](std::string_view instance, std::string_view port, std::size_t offset,
                      std::size_t length) { index.Add(instance, port, offset, length); });
    return index;
}

PlaceholderIndex PlaceholderIndex::ForVhdl(std::string_view skeleton) {
    PlaceholderIndex index;
    ScanInstances(skeleton, VhdlInstanceHead(), VhdlPortAssociation(), false,
                  [&](std::string_view instance, std::string_view port, std::size_t offset,
                      std::size_t length) { index.Add(instance, port, offset, length); });
    return index;
}

void PlaceholderIndex::Add(std::string_view instance, std::string_view port, std::size_t offset,
                           std::size_t length) {
    byPort_[PortKey(WithoutTrailingBlanks(instance), WithoutTrailingBlanks(port))].push_back(
        slots_.size());
    slots_.push_back({offset, length, std::nullopt});
}

bool PlaceholderIndex::Fill(std::string_view instance, std::string_view port,
                            std::string replacement) {
    auto found =
        byPort_.find(PortKey(WithoutTrailingBlanks(instance), WithoutTrailingBlanks(port)));
    if (found == byPort_.end())
        return false;
    for (std::size_t slot : found->second) {
        if (!slots_[slot].replacement) {
            slots_[slot].replacement = std::move(replacement);
            return true;
        }
    }
    return false;
}

std::string PlaceholderIndex::Apply(std::string_view skeleton) const {
    std::string text;
    text.reserve(skeleton.size() + slots_.size() * 32);
    std::size_t done = 0;
    for (const Slot& slot : slots_) {
        if (!slot.replacement)
            continue;
        text.append(skeleton.substr(done, slot.offset - done));
        text.append(*slot.replacement);
        done = slot.offset + slot.length;
    }
    text.append(skeleton.substr(done));
    return text;
}

} // namespace qve
