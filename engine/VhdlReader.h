// Reading of one VHDL entity for the project-text job: its generic and port lines.
#pragma once

#include "engine/Definitions.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qve {

// The two parts of an entity declaration the job reads.
struct EntityParts {
    std::string genericPart;
    std::string portPart;
};

// A source text made ready once for every entity asked of it: comments removed, line ends
// unified, and the entity keywords indexed by the (lower-case) name that follows them.
class VhdlSource {
public:
    // source: the file as read, TABs already blanks.
    explicit VhdlSource(std::string_view source);
    // The closers view text_; a copy or move would leave them on the old text.
    VhdlSource(const VhdlSource&) = delete;
    VhdlSource& operator=(const VhdlSource&) = delete;

    // The first declaration of the entity (name compared without regard to case) that has a port
    // clause, or nothing.
    std::optional<EntityParts> FindEntity(std::string_view name) const;

    const std::string& Text() const { return text_; }

private:
    std::string text_;
    // The whole words "port" and "end", in text order.
    std::vector<std::size_t> ports_;
    std::vector<std::size_t> ends_;
    // Made from ends_, so declared after it.
    EntityClosers closers_;
    // After each entity keyword and its blanks, in text order.
    std::vector<std::size_t> keywords_;
    // The same by the (lower-case) plain name that follows there.
    std::unordered_map<std::string, std::vector<std::size_t>> plainKeywords_;
};

// The generic lines, then the port lines, of an entity; lines without line ends.
std::vector<std::string> ReadVhdlEntity(const EntityParts& parts);

// The closing-parenthesis rule: a text that ends in one ")" more than it opens loses that last
// ")" (the clause's own), and trailing white space.
std::string DropClauseParenthesis(std::string_view text);

} // namespace qve
