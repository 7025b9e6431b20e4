// One pass over the connection file and the top skeleton gives everything the finishing jobs
// look up per wire: the wire records, each instance port's numeric width, and the placeholders
// of each instance port. Lookups are by exact name, so the jobs stay linear in the design size.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qve {

// Calls visit(line, offset) for every LF-separated line of text (without its LF); a text that
// ends with LF has no empty line after it.
template <typename Visit> void ForEachLine(std::string_view text, Visit&& visit) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        visit(text.substr(start, end - start), start);
        start = end + 1;
    }
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
    // fields are whole numbers.
    std::optional<PortWidth> Width(std::string_view instance, std::string_view port) const;

private:
    std::vector<WireRecord> wires_;
    // Keyed by instance, TAB, port (a TAB never occurs inside a field).
    std::unordered_map<std::string, std::optional<PortWidth>> widths_;
};

// Where a skeleton leaves a port open: the placeholder token of every port connection inside an
// instance, found by the instance head the generator writes, and what each is filled with.
class PlaceholderIndex {
public:
    // Verilog: instance heads "module instance(" and connections ".port (__)".
    static PlaceholderIndex ForVerilog(std::string_view skeleton);
    // VHDL: instance heads "instance:module" and associations "port => __".
    static PlaceholderIndex ForVhdl(std::string_view skeleton);

    // Gives the first still open placeholder of the port on the instance the replacement text;
    // false when the instance has no such placeholder left (a top-level port, an end already
    // filled, a name the skeleton does not hold).
    bool Fill(std::string_view instance, std::string_view port, std::string replacement);

    // The skeleton with every filled placeholder replaced; open ones stay as they were.
    std::string Apply(std::string_view skeleton) const;

    std::size_t Count() const { return slots_.size(); }

private:
    struct Slot {
        std::size_t offset = 0;
        std::size_t length = 0;
        std::optional<std::string> replacement;
    };

    void Add(std::string_view instance, std::string_view port, std::size_t offset,
             std::size_t length);

    std::vector<Slot> slots_;
    // Keyed by instance, TAB, port: the slots of that port in text order.
    std::unordered_map<std::string, std::vector<std::size_t>> byPort_;
};

} // namespace qve
