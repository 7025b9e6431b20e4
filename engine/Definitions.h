// Where the Verilog modules and VHDL entities of a text begin and end, found without any match
// that spans a definition's body: the headers by small patterns, the closing words by one pass.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qve {

// The starts of every occurrence of the whole word (\b on both sides) in text order. caseless
// compares ASCII letters without regard to case; word holds lower-case letters then.
std::vector<std::size_t> WholeWordPositions(std::string_view text, std::string_view word,
                                            bool caseless = false);

// The first position of the sorted list at or after from, or nothing.
std::optional<std::size_t> FirstAtOrAfter(const std::vector<std::size_t>& positions,
                                          std::size_t from);

// After a VHDL extended name that opens at i (a backslash): the closing backslash on the same
// line, a doubled one inside standing for one; nothing when it does not close.
std::optional<std::size_t> ExtendedNameEnd(std::string_view text, std::size_t i);

// One module definition: the "module" or "macromodule" keyword, its name (an identifier of the
// shared Verilog pattern), and everything up to the nearest whole "endmodule".
struct ModuleDefinition {
    std::size_t keyword = 0;
    std::size_t nameBegin = 0;
    std::size_t nameEnd = 0;
    // After the "endmodule" that closes it.
    std::size_t end = 0;
};

// The module definitions of a prepared Verilog text, left to right without overlap, as the
// module scan finds them: a keyword without a later "endmodule" ends the list.
std::vector<ModuleDefinition> FindModuleDefinitions(std::string_view text);

// The module headers (keyword and name) of a text, whether or not anything closes them; for
// telling which modules a dropped stretch of text held.
std::vector<std::string> ModuleHeaderNames(std::string_view text);

// The "end" words of a VHDL text that can close an entity: "end", optionally "entity", optionally
// a name, and ";" (any letter case, any white space between). An "end" without a name closes every
// entity; one with a name closes only the entity of that name. The text must outlive the closers.
class EntityClosers {
public:
    explicit EntityClosers(std::string_view text);
    // ends: WholeWordPositions(text, "end", true), for a caller that keeps them anyway.
    EntityClosers(std::string_view text, const std::vector<std::size_t>& ends);

    struct Closer {
        std::size_t begin = 0; // the "e" of "end"
        std::size_t end = 0;   // after the ";"
    };
    // The nearest closer at or after from for the entity of this name (compared without regard
    // to ASCII case), or nothing.
    std::optional<Closer> First(std::size_t from, std::string_view name) const;

private:
    // A closer with a name: the name's place in the text, and a hash of it in lower case.
    struct Named {
        std::uint64_t hash;
        Closer closer;
        std::size_t nameBegin;
        std::size_t nameSize;
    };

    std::string_view text_;
    std::vector<Closer> any_;
    // By hash, then by place: one sorted run for the closers of each name, found by a binary
    // search, without a string or a list of its own for every name.
    std::vector<Named> named_;
};

// One entity declaration as the module scan finds it: "entity", a name, "is", and the nearest
// closer for it.
struct EntityDefinition {
    std::size_t keyword = 0;
    std::string name;
    std::size_t end = 0;
};

// The entity declarations of a VHDL text (comments removed), left to right without overlap.
std::vector<EntityDefinition> FindEntityDefinitions(std::string_view text);

} // namespace qve
