// One pass over the connection file and the top skeleton gives everything the finishing jobs
// look up per wire: the wire records, each instance port's numeric width, and the placeholders
// of each instance port. Lookups are by exact name, so the jobs stay linear in the design size.
#pragma once

#include "engine/AsciiText.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qve {

// An open-addressing table of indices: the caller keeps the keys in its own vector and the table
// keeps each key's hash and index, so a lookup touches one flat array and allocates nothing.
class IndexTable {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    // Room for this many keys without growing.
    void Reserve(std::size_t keys);

    // The index of the first key with this hash for which same(index) holds, or kNone.
    template <typename Same> std::size_t Find(std::size_t hash, Same&& same) const {
        if (slots_.empty())
            return kNone;
        std::uint32_t tag = Tag(hash);
        for (std::size_t at = hash & (slots_.size() - 1);; at = (at + 1) & (slots_.size() - 1)) {
            const Slot& slot = slots_[at];
            if (slot.index == kEmpty)
                return kNone;
            if (slot.tag == tag && same(slot.index))
                return slot.index;
        }
    }
    // More keys than the slots can number is a result that cannot be built (std::length_error).
    void Insert(std::size_t hash, std::size_t index);

private:
    static constexpr std::uint32_t kEmpty = 0xffffffffu;
    // Eight bytes a slot keep the table small enough for the caches of large designs.
    struct Slot {
        std::uint32_t tag = 0;
        std::uint32_t index = kEmpty;
    };
    static std::uint32_t Tag(std::size_t hash) { return static_cast<std::uint32_t>(hash >> 32); }
    void Place(std::size_t hash, std::uint32_t index);

    std::vector<Slot> slots_;
    // Every key's hash and index, to grow without the keys.
    std::vector<std::pair<std::size_t, std::uint32_t>> keys_;
};

// Texts kept once each, in the order they were first added.
class DistinctTexts {
public:
    // False when the same text is there already.
    bool Add(std::string text);
    const std::vector<std::string>& Texts() const { return texts_; }

private:
    std::vector<std::string> texts_;
    IndexTable table_;
};

// Ports grouped by their instance, found by exact (instance, port) names. An instance is found in
// a small table, and its ports where they lie: scanned when they are few, else through a table of
// the instance's own. So the lookups of a large design, which come instance after instance, stay
// in the caches, and none costs more than a few comparisons.
class PortDirectory {
public:
    static constexpr std::size_t kNone = IndexTable::kNone;

    // Opens the ports of an instance. An instance that was opened before takes no more ports:
    // its first block counts.
    void BeginInstance(std::string_view instance);
    // No instance takes ports until the next BeginInstance.
    void EndInstance() { current_ = kNone; }
    // The entry of the port on the open instance, added when new (isNew tells); kNone when no
    // instance is open.
    std::size_t AddPort(std::string_view port, bool& isNew);
    std::size_t Find(std::string_view instance, std::string_view port) const;
    void Reserve(std::size_t ports) { ports_.reserve(ports); }

private:
    // Up to this many ports an instance is scanned rather than hashed.
    static constexpr std::size_t kScanLimit = 8;
    static constexpr std::uint32_t kEmpty = 0xffffffffu;
    struct Instance {
        std::string_view name;
        std::size_t first = 0;
        std::size_t count = 0;
        // The instance's own table in tables_, once it has more than kScanLimit ports.
        std::size_t tableBegin = 0;
        std::size_t tableSize = 0;
    };
    std::size_t FindInRange(const Instance& instance, std::string_view port) const;
    void Place(Instance& instance, std::size_t entry);
    void Rebuild(Instance& instance);

    std::vector<Instance> instances_;
    IndexTable byInstance_;
    std::vector<std::string_view> ports_;
    // The per-instance tables, one after the other: port entries, kEmpty for a free slot. A
    // table that grows moves to the end, so the whole is at most twice what the tables use.
    std::vector<std::uint32_t> tables_;
    std::size_t current_ = kNone;
};

// An upper bound of the lines ForEachLine visits, for reserving.
inline std::size_t LineBound(std::string_view text) {
    std::size_t lines = 1;
    for (char c : text)
        lines += c == '\n';
    return lines;
}

// Escaped Verilog names end in a blank that may or may not have been stored with the name.
inline std::string_view WithoutTrailingBlanks(std::string_view name) {
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    return name;
}

// The text padded with blanks on the right to at least width characters; never cut.
std::string PadRight(std::string_view text, std::size_t width);

// A width or count written as decimal digits, converted with a check: nothing when the text is
// not all digits or the number does not fit in an int.
std::optional<int> WholeNumber(std::string_view digits);

// One WIRE record of the connection file; the views point into the connection text.
struct WireRecord {
    std::string_view instanceA;
    std::string_view portA;
    std::string_view instanceB;
    std::string_view portB;
    std::string_view name;
};

// The two numbers of a port line, as written (digits only).
struct PortWidth {
    std::string_view first;
    std::string_view second;
};

// The connection file ("prj.tmp") read once. The views point into the text given to the
// constructor, which must outlive the index.
class ConnectionIndex {
public:
    explicit ConnectionIndex(std::string_view connection);

    // Wire records in file order: whole lines whose keyword is exactly "WIRE" and whose net
    // name is not empty. Disabled lines and module or instance fields that read "WIRE" are no
    // wire records.
    const std::vector<WireRecord>& Wires() const { return wires_; }

    // The numeric width of a port, taken only from the block of the MODULE line whose instance
    // field equals instance exactly: the first port line named port there, when both its width
    // fields are whole numbers. The closing blank of an escaped name may be there or not.
    std::optional<PortWidth> Width(std::string_view instance, std::string_view port) const;

    // A port of the top module's block, typed (not KVAR), by its name: its numeric width, or
    // none for a port of one bit or of a width that is not a number. The first line of a name
    // counts; the closing blank of an escaped name may be there or not.
    struct TopPort {
        std::optional<PortWidth> width;
    };
    const TopPort* FindTopPort(std::string_view port) const;

private:
    std::vector<WireRecord> wires_;
    PortDirectory ports_;
    // By directory entry.
    std::vector<std::optional<PortWidth>> widths_;
    IndexTable topIndex_;
    std::vector<std::pair<std::string_view, TopPort>> topPorts_;
};

// Where a skeleton leaves a port open: the placeholder token of every port connection inside an
// instance, found by the instance head the generator writes, and what each is filled with.
class PlaceholderIndex {
public:
    // Verilog: instance heads "module instance(" and connections ".port (__)".
    static PlaceholderIndex ForVerilog(std::string_view skeleton);
    // VHDL: instance heads "instance:module" and associations "port => __".
    static PlaceholderIndex ForVhdl(std::string_view skeleton);

    // Gives the first still open placeholder of the port on the instance the replacement text,
    // which must outlive the index; false when the instance has no such placeholder left (a
    // top-level port, an end already filled, a name the skeleton does not hold).
    bool Fill(std::string_view instance, std::string_view port, std::string_view replacement);

    // A stretch of the skeleton replaced as a whole; it holds no placeholder.
    struct Span {
        std::size_t begin = 0;
        std::size_t end = 0;
        std::string_view text;
    };

    // The skeleton with every filled placeholder replaced and open ones written as open (or left
    // as they were when open is empty, or when their spelling is not the one the open mapping
    // rewrites), and with the span, if any, replaced. Reserves room for extra characters.
    std::string Apply(std::string_view skeleton, std::string_view open, const Span* span = nullptr,
                      std::size_t extra = 0) const;

    std::size_t Count() const { return slots_.size(); }

private:
    struct Slot {
        std::size_t offset = 0;
        std::size_t length = 0;
        std::optional<std::string_view> replacement;
        // The next slot of the same instance port, in text order.
        std::size_t next = IndexTable::kNone;
        // Left open, the placeholder may be written as the open text.
        bool plainOpen = true;
    };
    // The slots of one instance port: the first and the last, chained by Slot::next.
    struct Chain {
        std::size_t first = IndexTable::kNone;
        std::size_t last = IndexTable::kNone;
    };

    void Add(std::string_view port, std::size_t offset, std::size_t length, bool plainOpen);
    void Reserve(std::size_t lines);

    std::vector<Slot> slots_;
    PortDirectory ports_;
    // By directory entry.
    std::vector<Chain> chains_;
};

} // namespace qve
