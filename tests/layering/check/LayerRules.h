// Which source folder may include which: the layers of the tree, read from every #include.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace layering {

// One #include as written in a source file.
struct Include {
    std::string path; // between the quotes or the angle brackets
    bool angle = false;
};

// Why the source file (a path relative to the tree's root, with "/") may not include this, or
// nothing when it may. A quoted include names a path from the root, as the build's one include
// directory does, unless it names a file from the source's own folder (sameFolder), which is then
// judged by the tree path it resolves to. An angle include of a path in our tree is judged as a
// quoted one; those of other libraries are free but for Qt's.
std::optional<std::string> Forbidden(const std::string& source, const Include& include,
                                     bool sameFolder = false);

// The #include of one line, if it has one.
std::optional<Include> ParseInclude(const std::string& line);

struct Violation {
    std::string file; // relative to the root
    int line = 0;     // counted from 1
    std::string text; // the line as written
    std::string reason;
};

struct CheckResult {
    std::vector<Violation> violations;
    int filesRead = 0;
};

// Reads every C++ source and header under the root's platform/, regex/, engine/, editor/ and
// launcher/.
CheckResult CheckTree(const std::string& root);

// "file:line: text: reason", one line for printing.
std::string Describe(const Violation& v);

} // namespace layering
