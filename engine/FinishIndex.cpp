// The index of the connection file and of the top skeleton shared by both finishing jobs.
#include "engine/FinishIndex.h"

#include "engine/AsciiText.h"
#include "regex/Regex.h"

#include <array>
#include <charconv>
#include <stdexcept>

using namespace rx;

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

// The first fields of a project line; the finishing jobs read none beyond field 5.
struct LineFields {
    std::array<std::string_view, 6> field;
    std::size_t count = 0;
};

LineFields SplitFields(std::string_view line) {
    LineFields fields;
    std::size_t start = 0;
    while (fields.count < fields.field.size()) {
        std::size_t tab = line.find('\t', start);
        fields.field[fields.count++] = line.substr(
            start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
    return fields;
}

// Walks the skeleton's lines: a head opens an instance (begin), a line holding ";" closes it
// (after the line itself was read, so a VHDL association followed by ");" still counts); every
// placeholder of an open instance is handed to add with its offset and length.
// The marks are characters without which the head or connection pattern cannot match: a cheap
// test that spares the patterns most lines.
template <typename Begin, typename Add>
void ScanInstances(std::string_view skeleton, const Regex& head, char headMark,
                   const Regex& connection, std::string_view connectionMark, bool verilog,
                   Begin&& begin, Add&& add) {
    bool open = false;
    RegexMatch match;
    ForEachLine(skeleton, [&](std::string_view line, std::size_t offset) {
        bool placeholder = line.find(connectionMark) != std::string_view::npos;
        if (!placeholder && line.find(headMark) != std::string_view::npos &&
            head.Search(line, match)) {
            std::string_view module = match.Group(line, verilog ? 1 : 2);
            // "module top(" heads the top module itself, whose ports hold no placeholders.
            open = !(verilog && module == "module");
            if (open)
                begin(WithoutTrailingBlanks(match.Group(line, verilog ? 2 : 1)));
            return;
        }
        if (open && placeholder && connection.Search(line, match))
            add(WithoutTrailingBlanks(match.Group(line, 1)), offset + match.Begin(2),
                match.End(2) - match.Begin(2));
        if (line.find(';') != std::string_view::npos)
            open = false;
    });
}

} // namespace

void IndexTable::Reserve(std::size_t keys) {
    std::size_t size = 64;
    while (size < keys * 2)
        size *= 2;
    if (size <= slots_.size())
        return;
    slots_.assign(size, Slot{});
    keys_.reserve(keys);
    for (const auto& [hash, index] : keys_)
        Place(hash, index);
}

void IndexTable::Insert(std::size_t hash, std::size_t index) {
    if (index >= kEmpty)
        throw std::length_error("too many names for the finishing index");
    keys_.emplace_back(hash, static_cast<std::uint32_t>(index));
    if (keys_.size() * 2 > slots_.size())
        Reserve(keys_.size() * 2);
    else
        Place(hash, static_cast<std::uint32_t>(index));
}

void IndexTable::Place(std::size_t hash, std::uint32_t index) {
    std::size_t at = hash & (slots_.size() - 1);
    while (slots_[at].index != kEmpty)
        at = (at + 1) & (slots_.size() - 1);
    slots_[at] = {Tag(hash), index};
}

bool DistinctTexts::Add(std::string text) {
    std::size_t hash = std::hash<std::string_view>()(text);
    if (table_.Find(hash, [&](std::size_t i) { return texts_[i] == text; }) != IndexTable::kNone)
        return false;
    table_.Insert(hash, texts_.size());
    texts_.push_back(std::move(text));
    return true;
}

void PortDirectory::BeginInstance(std::string_view instance) {
    std::size_t hash = std::hash<std::string_view>()(instance);
    if (byInstance_.Find(hash, [&](std::size_t i) { return instances_[i].name == instance; }) !=
        kNone) {
        current_ = kNone;
        return;
    }
    current_ = instances_.size();
    byInstance_.Insert(hash, current_);
    instances_.push_back({instance, ports_.size(), 0});
}

std::size_t PortDirectory::FindInRange(const Instance& instance, std::string_view port) const {
    if (instance.tableSize == 0) {
        for (std::size_t i = instance.first; i < instance.first + instance.count; ++i)
            if (ports_[i] == port)
                return i;
        return kNone;
    }
    std::size_t mask = instance.tableSize - 1;
    for (std::size_t at = std::hash<std::string_view>()(port) & mask;; at = (at + 1) & mask) {
        std::uint32_t entry = tables_[instance.tableBegin + at];
        if (entry == kEmpty)
            return kNone;
        if (ports_[entry] == port)
            return entry;
    }
}

void PortDirectory::Place(Instance& instance, std::size_t entry) {
    std::size_t mask = instance.tableSize - 1;
    std::size_t at = std::hash<std::string_view>()(ports_[entry]) & mask;
    while (tables_[instance.tableBegin + at] != kEmpty)
        at = (at + 1) & mask;
    tables_[instance.tableBegin + at] = static_cast<std::uint32_t>(entry);
}

void PortDirectory::Rebuild(Instance& instance) {
    std::size_t size = 16;
    while (size < instance.count * 2)
        size *= 2;
    instance.tableBegin = tables_.size();
    instance.tableSize = size;
    tables_.resize(tables_.size() + size, kEmpty);
    for (std::size_t i = instance.first; i < instance.first + instance.count; ++i)
        Place(instance, i);
}

std::size_t PortDirectory::AddPort(std::string_view port, bool& isNew) {
    isNew = false;
    if (current_ == kNone)
        return kNone;
    Instance& instance = instances_[current_];
    std::size_t found = FindInRange(instance, port);
    if (found != kNone)
        return found;
    // The ports of one instance stay together because an instance takes ports only while it is
    // the open one, and it is never opened again.
    std::size_t entry = ports_.size();
    if (entry >= kEmpty)
        throw std::length_error("too many ports for the finishing index");
    ports_.push_back(port);
    ++instance.count;
    if (instance.count > kScanLimit && instance.count * 2 > instance.tableSize)
        Rebuild(instance);
    else if (instance.tableSize != 0)
        Place(instance, entry);
    isNew = true;
    return entry;
}

std::size_t PortDirectory::Find(std::string_view instance, std::string_view port) const {
    std::size_t found =
        byInstance_.Find(std::hash<std::string_view>()(instance),
                         [&](std::size_t i) { return instances_[i].name == instance; });
    return found == kNone ? kNone : FindInRange(instances_[found], port);
}

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
    std::size_t lines = LineBound(connection);
    ports_.Reserve(lines);
    widths_.reserve(lines);
    bool inTop = false;
    ForEachLine(connection, [&](std::string_view rawLine, std::size_t) {
        LineFields split = SplitFields(WithoutCr(rawLine));
        const auto& fields = split.field;
        std::size_t count = split.count;
        std::string_view keyword = fields[0];
        if (keyword == "WIRE") {
            if (count >= 6 && !fields[5].empty())
                wires_.push_back({fields[1], fields[2], fields[3], fields[4], fields[5]});
        } else if (keyword == "MODULE") {
            inTop = false;
            if (count >= 3 && !fields[1].empty() && !fields[2].empty())
                ports_.BeginInstance(WithoutTrailingBlanks(fields[2]));
            else
                ports_.EndInstance();
        } else if (keyword == "TOP") {
            inTop = true;
            ports_.EndInstance();
        } else if (inTop && IsPortKeyword(keyword) && keyword.front() != 'K' && count >= 4) {
            std::string_view name = WithoutTrailingBlanks(fields[3]);
            if (FindTopPort(name) != nullptr)
                return;
            TopPort top;
            if (AllDigits(fields[1]) && AllDigits(fields[2]))
                top.width = PortWidth{fields[1], fields[2]};
            topIndex_.Insert(std::hash<std::string_view>()(name), topPorts_.size());
            topPorts_.emplace_back(name, top);
        } else if (IsPortKeyword(keyword) && count >= 4) {
            // The first port line of a name counts; a repeated one is ignored.
            bool isNew = false;
            ports_.AddPort(WithoutTrailingBlanks(fields[3]), isNew);
            if (!isNew)
                return;
            std::optional<PortWidth> width;
            if (AllDigits(fields[1]) && AllDigits(fields[2]))
                width = PortWidth{fields[1], fields[2]};
            widths_.push_back(width);
        }
    });
}

std::optional<PortWidth> ConnectionIndex::Width(std::string_view instance,
                                                std::string_view port) const {
    std::size_t found = ports_.Find(WithoutTrailingBlanks(instance), WithoutTrailingBlanks(port));
    if (found == PortDirectory::kNone)
        return std::nullopt;
    return widths_[found];
}

const ConnectionIndex::TopPort* ConnectionIndex::FindTopPort(std::string_view port) const {
    port = WithoutTrailingBlanks(port);
    std::size_t found = topIndex_.Find(std::hash<std::string_view>()(port),
                                       [&](std::size_t i) { return topPorts_[i].first == port; });
    return found == IndexTable::kNone ? nullptr : &topPorts_[found].second;
}

PlaceholderIndex PlaceholderIndex::ForVerilog(std::string_view skeleton) {
    PlaceholderIndex index;
    index.Reserve(LineBound(skeleton));
    ScanInstances(
        skeleton, VerilogInstanceHead(), '(', VerilogPortConnection(), "(__)", true,
        [&](std::string_view instance) { index.ports_.BeginInstance(instance); },
        [&](std::string_view port, std::size_t offset, std::size_t length) {
            index.Add(port, offset, length, true);
        });
    return index;
}

PlaceholderIndex PlaceholderIndex::ForVhdl(std::string_view skeleton) {
    PlaceholderIndex index;
    index.Reserve(LineBound(skeleton));
    ScanInstances(
        skeleton, VhdlInstanceHead(), ':', VhdlPortAssociation(), "__", false,
        [&](std::string_view instance) { index.ports_.BeginInstance(instance); },
        [&](std::string_view port, std::size_t offset, std::size_t length) {
            // Only "=> __" before a non-word character is what the open mapping rewrites;
            // other spellings stay for the pass over the whole text.
            std::size_t end = offset + length;
            bool plainOpen = offset >= 3 && skeleton.substr(offset - 3, 3) == "=> " &&
                             (end == skeleton.size() || !IsWordByte(skeleton[end]));
            index.Add(port, offset, length, plainOpen);
        });
    return index;
}

void PlaceholderIndex::Reserve(std::size_t lines) {
    slots_.reserve(lines);
    ports_.Reserve(lines);
    chains_.reserve(lines);
}

void PlaceholderIndex::Add(std::string_view port, std::size_t offset, std::size_t length,
                           bool plainOpen) {
    bool isNew = false;
    std::size_t entry = ports_.AddPort(port, isNew);
    if (entry == PortDirectory::kNone)
        return;
    if (isNew)
        chains_.emplace_back();
    std::size_t slot = slots_.size();
    slots_.push_back({offset, length, std::nullopt, IndexTable::kNone, plainOpen});
    Chain& chain = chains_[entry];
    if (chain.last == IndexTable::kNone)
        chain.first = slot;
    else
        slots_[chain.last].next = slot;
    chain.last = slot;
}

bool PlaceholderIndex::Fill(std::string_view instance, std::string_view port,
                            std::string_view replacement) {
    std::size_t entry = ports_.Find(WithoutTrailingBlanks(instance), WithoutTrailingBlanks(port));
    if (entry == PortDirectory::kNone)
        return false;
    for (std::size_t slot = chains_[entry].first; slot != IndexTable::kNone;
         slot = slots_[slot].next) {
        if (!slots_[slot].replacement) {
            slots_[slot].replacement = replacement;
            return true;
        }
    }
    return false;
}

std::string PlaceholderIndex::Apply(std::string_view skeleton, std::string_view open,
                                    const Span* span, std::size_t extra) const {
    std::size_t size = skeleton.size() + extra;
    for (const Slot& slot : slots_)
        size += (slot.replacement ? slot.replacement->size() : open.size()) + 1;
    if (span)
        size += span->text.size();
    std::string text;
    text.reserve(size);
    std::size_t done = 0;
    bool spanDone = span == nullptr;
    auto copyTo = [&](std::size_t offset) {
        if (!spanDone && span->begin <= offset) {
            text.append(skeleton.substr(done, span->begin - done));
            text.append(span->text);
            done = span->end;
            spanDone = true;
        }
        if (offset > done)
            text.append(skeleton.substr(done, offset - done));
    };
    for (const Slot& slot : slots_) {
        if (!slot.replacement && (open.empty() || !slot.plainOpen))
            continue;
        copyTo(slot.offset);
        // A placeholder inside the span went with it.
        if (slot.offset < done)
            continue;
        text.append(slot.replacement ? *slot.replacement : open);
        done = slot.offset + slot.length;
    }
    copyTo(skeleton.size());
    return text;
}

} // namespace qve
