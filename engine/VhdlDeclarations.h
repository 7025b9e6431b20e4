// The port and generic declarations of a VHDL entity, read by hand from left to right in one
// pass, so a declaration of any length costs its length.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace qve {

// One declaration as the port or generic pattern of the project-text job takes it.
struct VhdlDeclarationParts {
    // The names, separated by commas and blanks.
    std::string_view names;
    // A port's mode ("in", "out", "inout", "buffer" in any case), empty when none is given.
    std::string_view mode;
    // A port's type: std_logic or std_logic_vector and what follows, up to the default value or
    // the ";". A generic's type: what follows the ":" (and an "in"), up to the same.
    std::string_view type;
    // The default value with its ":=" and the blanks before it; empty when there is none.
    std::string_view defaultValue;
    // Before the ";": where the next declaration is looked for.
    std::size_t end = 0;
};

enum class VhdlClause { Port, Generic };

// The declarations of a port part (white space single blanks) or a generic part, in text order.
// A port declaration names std_logic or std_logic_vector; one of any other type, and text that
// declares nothing, yield nothing.
class VhdlDeclarationReader {
public:
    VhdlDeclarationReader(std::string_view text, VhdlClause clause);

    std::optional<VhdlDeclarationParts> Next();

private:
    std::optional<VhdlDeclarationParts> At(std::size_t names) const;
    std::optional<std::size_t> NameEnd(std::size_t begin) const;
    // After the last name of a list that a ":" follows, or nothing.
    std::optional<std::size_t> ListEnd(std::size_t begin) const;

    std::string_view text_;
    VhdlClause clause_;
    std::size_t position_ = 0;
    // The last ";" of the text: a declaration must end before one.
    std::size_t lastSemicolon_;
    // What ListEnd found for a name, so no list is walked twice; npos for none.
    mutable std::unordered_map<std::size_t, std::size_t> listEnds_;
};

} // namespace qve
