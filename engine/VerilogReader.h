// Reading of one Verilog module for the project-text job: its parameter and port lines.
#pragma once

#include "engine/Preprocessor.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace qve {

// A source text made ready once for every module asked of it: comments removed, conditional
// compilation followed, functions and tasks removed, and the module keywords indexed by the name
// that follows them.
class VerilogSource {
public:
    // source: the file as read, TABs already blanks; includes: where its includes are read.
    explicit VerilogSource(std::string_view source, const IncludeFiles& includes = {});

    // The body of the first definition of the module (from after its name to the first
    // "endmodule"), or nothing when there is none or the body is empty.
    std::optional<std::string> FindBody(std::string_view name) const;

    const std::string& Text() const { return text_; }

private:
    std::string text_;
    // After each module keyword and its blanks, in text order.
    std::vector<std::size_t> keywords_;
    // The first of them by the plain name that follows there.
    std::unordered_map<std::string, std::size_t> plainKeywords_;
    // The whole "endmodule" words, in text order.
    std::vector<std::size_t> closings_;
};

// The source text as the module search sees it.
std::string PrepareVerilogText(std::string_view source, const IncludeFiles& includes = {});

// The parameter lines, then the port lines, of a module body; lines without line ends.
std::vector<std::string> ReadVerilogBody(std::string_view body);

// The items of a declaration's name list, split at the commas that stand outside brackets,
// strings and escaped identifiers, each without surrounding white space.
std::vector<std::string> SplitDeclarationItems(std::string_view list);

// The identifiers of a width-expression collection, as a scan from its beginning finds them.
std::unordered_set<std::string> WidthIdentifiers(std::string_view expressions);

// The width value of a bound: the bound when it is a whole number that fits an int, else "NA".
std::string WidthValue(std::string_view bound);

} // namespace qve
