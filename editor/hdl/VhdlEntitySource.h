// What a VHDL source file says of its entities beyond the ports the engine reads: the context
// clauses that stand before each entity and the defaults of its ports.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// One entity of a source text.
struct VhdlEntityContext {
    bool Found = false;
    // The library, use and context items of the clauses before the entity (since the design
    // unit before it), one item a clause, in source order: "library x;", "use x.y.all;",
    // "context x.y;". Names as written, keywords in lower case.
    std::vector<std::string> Clauses;
    // The default expression of each port that has one, by the port's name in lower case, on
    // one line: comments and line ends between its words become single blanks.
    std::unordered_map<std::string, std::string> Defaults;
};

// The same item however its letters are written: basic identifiers are not case-sensitive in
// VHDL, extended ones (\...\) are.
std::string VhdlClauseKey(std::string_view item);

// A source text read once; its entities are found by name (letter case ignored).
class VhdlSourceText {
public:
    explicit VhdlSourceText(std::string text);

    // The first declaration of the entity; Found is false when the text has none.
    VhdlEntityContext Entity(std::string_view name) const;

    struct Token {
        enum Kind { Word, Extended, String, Character, Symbol } kind = Symbol;
        std::size_t begin = 0;
        std::size_t end = 0;
        bool spaced = false; // white space or a comment stands before it
    };

private:
    std::string_view Text(const Token& token) const;
    std::string Lower(const Token& token) const;
    bool IsWord(std::size_t at, std::string_view lower) const;
    bool IsSymbol(std::size_t at, std::string_view symbol) const;
    std::vector<std::string> ContextBefore(std::size_t entity) const;
    void ReadPortDefaults(std::size_t entity, VhdlEntityContext& context) const;

    std::string text_;
    std::vector<Token> tokens_;
    // The token of "entity" of each entity's first declaration, by the name in lower case.
    std::unordered_map<std::string, std::size_t> entities_;
};
