// The linear readers against the literal quadratic algorithms, kept here as oracles, on seeded
// random inputs.
#include "engine/ModuleScan.h"
#include "engine/Patterns.h"
#include "engine/Preprocessor.h"
#include "engine/SourceText.h"
#include "engine/VerilogDeclarations.h"
#include "engine/VerilogReader.h"
#include "engine/VhdlDeclarations.h"
#include "engine/VhdlReader.h"
#include "regex/Regex.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace rx;

namespace qve {
namespace {

constexpr int kRounds = 400;

class Random {
public:
    explicit Random(unsigned seed) : engine_(seed) {}
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }
    bool Chance(int percent) { return Below(100) < percent; }
    template <typename T, std::size_t N> const T& Pick(const T (&items)[N]) {
        return items[Below(static_cast<int>(N))];
    }

private:
    std::mt19937 engine_;
};

// A text of `least` to `least` + 29 pieces, each followed by a blank at `blankPercent`; at
// `stretchPercent` a piece is followed by a long stretch of blanks as well.
template <std::size_t N>
std::string PiecesJoined(Random& random, const char* const (&pieces)[N], int least,
                         int blankPercent, int stretchPercent = 0) {
    std::string text;
    int count = least + random.Below(30);
    for (int i = 0; i < count; ++i) {
        text += random.Pick(pieces);
        text += random.Chance(blankPercent) ? " " : "";
        if (stretchPercent > 0 && random.Chance(stretchPercent))
            text += std::string(5000 + random.Below(5000), ' ');
    }
    return text;
}

// The declaration pattern of the project-text job, literally: the oracle the hand-written
// declaration reader answers to.

// An initial or parameter value: everything up to the next ",", ";" or ")" that stands outside
// brackets and strings. Needs the bracket group of kVerilogGroupDefinition at the end of the
// pattern that uses it.
constexpr const char* kVerilogValue =
    R"((?:[^()\[\]{},;"\\]|\\\S*|"(?:[^"\\]|\\.)*"|(?&qveGroup))*?)";
// A range bound: everything up to the range's own "]", with inner brackets balanced.
constexpr const char* kVerilogBound = R"((?:[^\[\]]|\[(?&qveInner)*+\])*?)";
// A bracketed group with everything balanced inside it, defined at the end of a pattern.
constexpr const char* kVerilogGroupDefinition =
    R"((?(DEFINE)(?<qveGroup>\((?&qveInner)*+\)|\[(?&qveInner)*+\]|\{(?&qveInner)*+\}))"
    R"((?<qveInner>[^()\[\]{}"]++|"(?:[^"\\]|\\.)*"|(?&qveGroup))))";

// One declaration: keyword (1), optional range (2) with its bounds (3, 4), and the list of names
// with optional values (5), ending before a comma and the next keyword, a ";" or a ")".
const Regex& VerilogDeclaration() {
    static const Regex regex(
        std::string(R"(\b()") + IOP_Vlog + R"()\b\s*(?:\s*\b(?:)" + NetType_Vlog + "|reg|signed|" +
            OutputVarType_Vlog + R"()\b)*\s*(\[()" + kVerilogBound + "):(" + kVerilogBound +
            R"()\])?\s*(()" + Idn_Vlog + R"((\s*=)" + kVerilogValue + R"()?)(\s*,\s*()" + Idn_Vlog +
            R"((\s*=)" + kVerilogValue + R"()?))*?)(?=\s*,\s*)" + IOP_Vlog + R"(\b|\s*;|\s*\)))" +
            kVerilogGroupDefinition,
        kRegexDotAll);
    return regex;
}

// The literal scan: find the first module, record it, delete it, start again from the top.
std::vector<std::string> LiteralModuleScan(std::string_view source) {
    static const Regex module(std::string(R"(\b(?:module|macromodule)\b\s*()") + Idn_Vlog +
                                  R"()\s*.*?\bendmodule\b)",
                              kRegexDotAll);
    std::string text = PreprocessVerilog(StripVerilogComments(source), {});
    std::vector<std::string> names;
    RegexMatch match;
    while (module.Search(text, match)) {
        names.emplace_back(match.Group(text, 1));
        text.erase(match.Begin(), match.End() - match.Begin());
    }
    return names;
}

std::string RandomModuleText(Random& random) {
    const char* pieces[] = {
        "module",   "macromodule", "endmodule", "ENDMODULE", "submodule", "module_x", "endmodulex",
        "a",        "b1",          "c$",        "\\esc[0]",  ";",         "(",        ")",
        "wire w;",  "\"str\"",     "$d",        "#(1)",      "x",         "module2",  "input a",
        "`ifdef Q", "`endif",      "/* c */",   "// l\n",    "endmodule;"};
    const char* gaps[] = {" ", "\n", "", "  ", "\t"};
    std::string text;
    int count = 5 + random.Below(40);
    for (int i = 0; i < count; ++i)
        text += std::string(random.Pick(pieces)) + random.Pick(gaps);
    return TabsToBlanks(text);
}

TEST(LinearOracle, ModuleScanWithAnAdvancingOffsetFindsWhatDeleteAndRestartFinds) {
    Random random(20261210);
    for (int round = 0; round < kRounds; ++round) {
        std::string text = RandomModuleText(random);
        ASSERT_EQ(ScanVerilogModules(text), LiteralModuleScan(text)) << text;
    }
}

// The literal item split: take the first item whose rest is a well-formed list, delete it, and
// look again from the start, re-checking the rest of the list for every item.
std::vector<std::string> LiteralItemSplit(std::string_view list) {
    static const Regex item(std::string("(") + Idn_Vlog + R"((\s*=)" + kVerilogValue +
                                R"()?)(?=(?:\s*,\s*(?:)" + Idn_Vlog + R"((?:\s*=)" + kVerilogValue +
                                R"()?))*?\s*;$))" + kVerilogGroupDefinition,
                            kRegexDotAll);
    std::string text = std::string(list) + ";";
    std::vector<std::string> items;
    RegexMatch match;
    while (item.Search(text, match)) {
        items.emplace_back(match.Group(text, 1));
        text.erase(match.Begin(), match.End() - match.Begin());
    }
    return items;
}

// The literal key test: take and delete the first identifier until one equals the name.
bool LiteralIsKey(std::string expressions, const std::string& name) {
    static const Regex identifier(std::string("(") + Idn_Vlog + ")", kRegexDotAll);
    RegexMatch match;
    while (identifier.Search(expressions, match)) {
        if (match.Group(expressions, 1) == name)
            return true;
        expressions.erase(match.Begin(), match.End() - match.Begin());
    }
    return false;
}

std::string RandomValue(Random& random) {
    const char* values[] = {"1",         "8'hFF",         "f(a, b)", "$clog2(DEPTH)",
                            "((W+7)/8)", "{2'b0, x}",     "\"s,t\"", "a ? b : c",
                            "A[3:0]",    "p(q(r, s), t)", "-1",      "W - 1"};
    return random.Pick(values);
}

std::string RandomName(Random& random) {
    const char* names[] = {"a", "b", "W", "DEPTH", "x1", "d$", "_u", "q", "clk", "WIDTH"};
    return random.Pick(names) + std::to_string(random.Below(5));
}

TEST(LinearOracle, ItemSplitInOnePassGivesTheItemsOfTheLiteralSplit) {
    Random random(7);
    const char* separators[] = {", ", ",", " , ", " ,"};
    for (int round = 0; round < kRounds; ++round) {
        bool values = random.Chance(50);
        std::string list;
        int count = 1 + random.Below(8);
        for (int i = 0; i < count; ++i) {
            if (i > 0)
                list += random.Pick(separators);
            list += RandomName(random);
            if (values && random.Chance(70))
                list += std::string(random.Chance(50) ? " = " : "=") + RandomValue(random);
        }
        ASSERT_EQ(SplitDeclarationItems(list), LiteralItemSplit(list)) << list;
    }
}

TEST(LinearOracle, KeyLookupAgreesWithTheDeleteFirstIdentifierScan) {
    Random random(99);
    const char* expressions[] = {"W-1", "0",       "DEPTH*2", "$clog2(D0)", "8'hFF", "x1$y",
                                 "1$x", "(A+B)-1", "\\esc",   "W0+W1",      "",      "d$0"};
    const char* names[] = {"W", "W0", "W1",    "DEPTH", "D0", "hFF", "x1$y", "x",
                           "A", "B",  "\\esc", "d$0",   "y",  "esc", "1"};
    for (int round = 0; round < kRounds; ++round) {
        std::string collection;
        int count = random.Below(6);
        for (int i = 0; i < count; ++i)
            collection +=
                std::string("\t") + random.Pick(expressions) + "\t" + random.Pick(expressions);
        std::unordered_set<std::string> found = WidthIdentifiers(collection);
        for (const char* name : names)
            ASSERT_EQ(found.count(name) > 0, LiteralIsKey(collection, name))
                << "name " << name << " in " << collection;
    }
}

// The literal body reading: every declaration found from the top, deleted, and the search
// started again; items and keys by the literal loops above.
std::vector<std::string> LiteralBodyReading(std::string_view rawBody) {
    static const Regex space(R"(\s+)");
    static const Regex range(R"(\[\s*(\d+)\s*:\s*(\d+)\s*\])");
    static const Regex parameterName(std::string("(^") + Idn_Vlog + R"()\s*=)", kRegexDotAll);
    static const Regex initialValue(std::string("(^") + Idn_Vlog + R"(\s*)=.*$)", kRegexDotAll);
    static const Regex nameField(R"(^.*?\t.*?\t.*?\t(.*?)\t)");
    std::string body = ReplaceAll(space, rawBody, " ");
    body = ReplaceAll(range, body, [&](const RegexMatch& m) {
        return "[" + std::string(m.Group(body, 1)) + ":" + std::string(m.Group(body, 2)) + "]";
    });
    std::vector<std::string> declarations, ports;
    std::string widths;
    RegexMatch match;
    while (VerilogDeclaration().Search(body, match)) {
        std::string kind(match.Group(body, 1));
        for (char& c : kind)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (kind == "INOUT")
            kind = "BIDIR";
        std::string first(match.Group(body, 3)), second(match.Group(body, 4));
        std::vector<std::string> items = LiteralItemSplit(match.Group(body, 5));
        body.erase(match.Begin(), match.End() - match.Begin());
        for (const std::string& item : items) {
            if (kind == "PARAMETER") {
                declarations.push_back("PARAMETER\t" + first + "\t" + second + "\t" +
                                       ReplaceFirst(parameterName, item, [&](const RegexMatch& m) {
                                           return std::string(m.Group(item, 1)) + "\t";
                                       }));
                continue;
            }
            std::string name = ReplaceFirst(initialValue, item, [&](const RegexMatch& m) {
                return std::string(m.Group(item, 1));
            });
            while (!name.empty() && name.back() == ' ')
                name.pop_back();
            std::string v1, v2, e1, e2;
            if (!first.empty() && !second.empty()) {
                v1 = WidthValue(first);
                v2 = WidthValue(second);
                e1 = first;
                e2 = second;
            }
            widths += "\t" + e1 + "\t" + e2;
            ports.push_back(kind + "\t" + v1 + "\t" + v2 + "\t" + name + "\t\t" + e1 + "\t" + e2);
        }
    }
    std::vector<std::string> lines;
    for (const std::string& declaration : declarations) {
        if (!nameField.Search(declaration, match))
            continue;
        bool key = LiteralIsKey(widths, std::string(match.Group(declaration, 1)));
        lines.push_back(key ? declaration + "\t\tK" : declaration);
    }
    lines.insert(lines.end(), ports.begin(), ports.end());
    return lines;
}

std::string RandomDeclaration(Random& random, bool parameter) {
    const char* kinds[] = {"input", "output", "inout"};
    const char* types[] = {"", "wire ", "reg ", "signed ", "wire signed ", "integer ", "tri "};
    const char* ranges[] = {"",         "[7:0] ",           "[ 3 : 0 ] ",
                            "[W-1:0] ", "[DEPTH - 1 : 0] ", "[$clog2(D0):0] "};
    std::string text = parameter ? "parameter " : std::string(random.Pick(kinds)) + " ";
    text += random.Pick(types);
    text += random.Pick(ranges);
    int count = 1 + random.Below(4);
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += random.Chance(50) ? ", " : ",";
        text += RandomName(random);
        if (parameter ? random.Chance(85) : random.Chance(10))
            text += " = " + RandomValue(random);
    }
    return text;
}

TEST(LinearOracle, DeclarationsReadFromLeftToRightMatchTheDeleteAndRestartReading) {
    Random random(4242);
    const char* statements[] = {
        "wire x;",      "assign y = z;",         "always @(posedge clk) q <= d;",
        "reg [3:0] r;", "sub u (.a(a), .b(b));", "initial x = 0;"};
    for (int round = 0; round < kRounds; ++round) {
        std::string body = "m ";
        if (random.Chance(50)) {
            body += "#(";
            int count = 1 + random.Below(3);
            for (int i = 0; i < count; ++i)
                body += (i ? ", " : "") + RandomDeclaration(random, true);
            body += ") ";
        }
        body += "(";
        bool ansi = random.Chance(50);
        int count = 1 + random.Below(5);
        for (int i = 0; i < count; ++i)
            body +=
                (i ? ",\n  " : "") + (ansi ? RandomDeclaration(random, false) : RandomName(random));
        body += ");\n";
        int statementsCount = random.Below(8);
        for (int i = 0; i < statementsCount; ++i) {
            if (random.Chance(40))
                body += RandomDeclaration(random, random.Chance(30)) + ";\n";
            else
                body += std::string(random.Pick(statements)) + "\n";
        }
        ASSERT_EQ(ReadVerilogBody(body), LiteralBodyReading(body)) << body;
    }
}

// The declaration pattern with every escaped name taken whole to its blank, as Verilog defines
// it: the pattern itself may stretch one over later blanks when the rest of a list fails, which
// the reader never does.
const Regex& WholeEscapedNamesDeclaration() {
    static const std::string name =
        R"((?:\b[a-zA-Z_][a-zA-Z0-9_\$]*?(?![a-zA-Z0-9_\$])|(?>\\\S*)(?=\s)))";
    static const std::string value =
        R"((?:[^()\[\]{},;"\\]|\\\S*+|"(?:[^"\\]|\\.)*"|(?&qveGroup))*?)";
    static const Regex regex(std::string(R"(\b()") + IOP_Vlog + R"()\b\s*(?:\s*\b(?:)" +
                                 NetType_Vlog + "|reg|signed|" + OutputVarType_Vlog +
                                 R"()\b)*\s*(\[()" + kVerilogBound + "):(" + kVerilogBound +
                                 R"()\])?\s*(()" + name + R"((\s*=)" + value + R"()?)(\s*,\s*()" +
                                 name + R"((\s*=)" + value + R"()?))*?)(?=\s*,\s*)" + IOP_Vlog +
                                 R"(\b|\s*;|\s*\)))" + kVerilogGroupDefinition,
                             kRegexDotAll);
    return regex;
}

// The declarations as the pattern's search finds them from left to right: keyword, bounds,
// items and where each ends.
std::vector<std::string> PatternDeclarations(std::string_view body) {
    std::vector<std::string> found;
    RegexMatch match;
    std::size_t position = 0;
    while (WholeEscapedNamesDeclaration().Search(body, position, match)) {
        position = match.End();
        found.push_back(std::string(match.Group(body, 1)) + "|" +
                        std::string(match.Group(body, 3)) + "|" +
                        std::string(match.Group(body, 4)) + "|" +
                        std::string(match.Group(body, 5)) + "|" + std::to_string(match.End()));
    }
    return found;
}

std::vector<std::string> ReaderDeclarations(std::string_view body) {
    std::vector<std::string> found;
    VerilogDeclarationReader reader(body);
    while (std::optional<VerilogDeclarationParts> d = reader.Next())
        found.push_back(std::string(d->keyword) + "|" + std::string(d->first) + "|" +
                        std::string(d->second) + "|" + std::string(d->items) + "|" +
                        std::to_string(d->end));
    return found;
}

TEST(LinearOracle, TheDeclarationReaderTakesWhatThePatternTakesOnDamagedBodies) {
    Random random(31337);
    const char* pieces[] = {
        "input",   "output",    "inout",    "parameter", "wire",  "reg",       "signed",  "integer",
        "triand",  "tri",       "a",        "b1",        "c$",    "_u",        "W",       "[7:0]",
        "[W-1:0]", "[a?b:c:0]", "[x[1]:0]", "[f(a):0]",  "[",     "]",         ":",       "(",
        ")",       "{",         "}",        ",",         ";",     "=",         "\"s,t\"", "\"open",
        "f(a, b)", "{2'b0, x}", "(a",       "b)",        "8'hFF", "$clog2(D)", "\\esc",   "inputs",
        "1",       "assign",    "x[3:0]",   "((W+7)/8)", "\"(\"", "[\"]\"]"};
    for (int round = 0; round < 8 * kRounds; ++round) {
        std::string body = PiecesJoined(random, pieces, 2, 70);
        body += random.Chance(50) ? " ;" : " ";
        ASSERT_EQ(ReaderDeclarations(body), PatternDeclarations(body)) << body;
    }
}

// The port and generic patterns of the project-text job, literally: the oracles of the
// hand-written VHDL declaration reader. Groups: names (1), mode (3), type (4), default (6); for a
// generic names (1), type (3), default (4).
const Regex& PortDeclaration() {
    static const Regex regex(std::string(R"((?:\bsignal\b)?\s*()") + Idn_VHDL + R"((\s*,\s*)" +
                                 Idn_VHDL + R"()*?)\s*:\s*()" + Mode_VHDL + R"()?\s*()" +
                                 SubType_VHDL + R"(.*?)(\bbus\b)?(\s*:=.*?)?(?=;))",
                             kRegexCaseless | kRegexDotAll);
    return regex;
}
const Regex& GenericDeclaration() {
    static const Regex regex(std::string(R"((?:\bconstant\b)?\s*()") + Idn_VHDL + R"((\s*,\s*)" +
                                 Idn_VHDL + R"()*?)\s*:\s*(?:\bin\b)?\s*(.*?)(\s*:=.*?)?(?=;))",
                             kRegexCaseless | kRegexDotAll);
    return regex;
}

std::vector<std::string> PatternVhdlDeclarations(std::string_view text, VhdlClause clause) {
    std::vector<std::string> found;
    bool port = clause == VhdlClause::Port;
    ForEachMatch(port ? PortDeclaration() : GenericDeclaration(), text, [&](const RegexMatch& m) {
        found.push_back(std::string(m.Group(text, 1)) + "|" +
                        std::string(port ? m.Group(text, 3) : "") + "|" +
                        std::string(m.Group(text, port ? 4 : 3)) + "|" +
                        std::string(m.Group(text, port ? 6 : 4)) + "|" + std::to_string(m.End()));
    });
    return found;
}

std::vector<std::string> ReaderVhdlDeclarations(std::string_view text, VhdlClause clause) {
    std::vector<std::string> found;
    VhdlDeclarationReader reader(text, clause);
    while (std::optional<VhdlDeclarationParts> d = reader.Next())
        found.push_back(std::string(d->names) + "|" + std::string(d->mode) + "|" +
                        std::string(d->type) + "|" + std::string(d->defaultValue) + "|" +
                        std::to_string(d->end));
    return found;
}

TEST(LinearOracle, TheVhdlDeclarationReaderTakesWhatThePatternsTakeOnDamagedClauses) {
    Random random(4711);
    const char* pieces[] = {"a",
                            "b_c",
                            "X1",
                            "a__b",
                            "c_",
                            "\\ext id\\",
                            "signal",
                            "constant",
                            ",",
                            ":",
                            ";",
                            "in",
                            "out",
                            "INOUT",
                            "buffer",
                            "std_logic",
                            "STD_LOGIC_VECTOR",
                            "std_logic_vector(7 downto 0)",
                            "std_ulogic",
                            "bus",
                            ":=",
                            "'0'",
                            "(others => '0')",
                            "natural",
                            "integer range 0 to 7",
                            "(",
                            ")",
                            "8",
                            "W-1",
                            "downto",
                            "to",
                            "inputs",
                            "busy",
                            "=",
                            "\"s;t\""};
    for (int round = 0; round < 8 * kRounds; ++round) {
        std::string text = PiecesJoined(random, pieces, 2, 75);
        text += random.Chance(60) ? ");" : "";
        for (VhdlClause clause : {VhdlClause::Port, VhdlClause::Generic})
            ASSERT_EQ(ReaderVhdlDeclarations(text, clause), PatternVhdlDeclarations(text, clause))
                << (clause == VhdlClause::Port ? "port: " : "generic: ") << text;
    }
}

// The literal entity scan: every match of the entity pattern, left to right without overlap.
std::vector<std::string> LiteralEntityScan(std::string_view source) {
    static const Regex entity(std::string(R"(\bentity\b\s*()") + Idn_VHDL +
                                  R"()\s*is\b(.*?)\bend(\b\s*entity)?(\b\s*\1)?\s*;)",
                              kRegexCaseless | kRegexDotAll);
    std::string text = StripVhdlComments(source);
    std::vector<std::string> names;
    ForEachMatch(entity, text,
                 [&](const RegexMatch& match) { names.emplace_back(match.Group(text, 1)); });
    return names;
}

TEST(LinearOracle, EntityScanFindsWhatTheEntityPatternFindsWhereverTheEntitiesClose) {
    Random random(1312);
    const char* pieces[] = {"entity",
                            "ENTITY",
                            "e",
                            "E",
                            "f",
                            "ent1",
                            "\\x y\\",
                            "is",
                            "IS",
                            "port (a : in std_logic);",
                            "end",
                            "END",
                            "end;",
                            "end e;",
                            "end entity;",
                            "end entity e;",
                            "End F ;",
                            "end other;",
                            ";",
                            "-- end;\n",
                            "architecture a of e is begin",
                            "endx;",
                            "isx",
                            "entity e is",
                            "entity f is",
                            "end entity entity;",
                            "\n"};
    for (int round = 0; round < 4 * kRounds; ++round) {
        // Now and then a long stretch, so an entity closes beyond the first look ahead.
        std::string text = PiecesJoined(random, pieces, 3, 80, 3);
        ASSERT_EQ(ScanVhdlEntities(text), LiteralEntityScan(text)) << text;
    }
}

std::string RandomSourceOfModules(Random& random, const std::vector<std::string>& names) {
    std::string text;
    int count = 1 + random.Below(6);
    for (int i = 0; i < count; ++i) {
        const std::string& name = names[random.Below(static_cast<int>(names.size()))];
        if (random.Chance(10))
            text += "// module " + name + " (input hidden);\n";
        text += std::string(random.Chance(80) ? "module " : "macromodule ") + name +
                (random.Chance(20) ? "" : " (input a" + std::to_string(i) + ")") + ";\n";
        if (random.Chance(20))
            text += "function f; input fi; endfunction\n";
        text += random.Chance(90) ? "endmodule\n" : "\n";
    }
    return text;
}

TEST(LinearOracle, IndexedModuleLookupFindsTheBodyTheFullSearchFinds) {
    Random random(11);
    const std::vector<std::string> names = {"add",    "add_two", "adder",   "m$",
                                            "module", "x9",      "\\esc.a", "\\esc"};
    for (int round = 0; round < kRounds; ++round) {
        std::string source = RandomSourceOfModules(random, names);
        VerilogSource indexed(source);
        // The literal job prepares the text again for every module line and searches it whole.
        for (const std::string& name : names) {
            std::string text = PrepareVerilogText(source);
            Regex full(std::string(R"(\b(?:module|macromodule)\b\s*)") + EscapeForPattern(name) +
                           R"((?![a-zA-Z0-9_$])\s*(.*?)\bendmodule\b)",
                       kRegexDotAll);
            RegexMatch match;
            std::optional<std::string> expected;
            if (full.Search(text, match) && !match.Group(text, 1).empty())
                expected = std::string(match.Group(text, 1));
            ASSERT_EQ(indexed.FindBody(name), expected) << name << " in\n" << source;
        }
    }
}

TEST(LinearOracle, IndexedEntityLookupFindsThePartsTheFullSearchFinds) {
    Random random(12);
    const std::vector<std::string> names = {"e", "E", "e_two", "ent", "Ent1", "\\x y\\"};
    const char* closings[] = {"end;",      "end e;",    "end entity;", "end entity NAME;",
                              "end NAME;", "end other;"};
    for (int round = 0; round < kRounds; ++round) {
        std::string source;
        int count = 1 + random.Below(5);
        for (int i = 0; i < count; ++i) {
            std::string name = names[random.Below(static_cast<int>(names.size()))];
            std::string closing = random.Pick(closings);
            if (std::size_t at = closing.find("NAME"); at != std::string::npos)
                closing.replace(at, 4, name);
            source += "entity " + name + " is\n";
            if (random.Chance(30))
                source += " generic (G : natural := 1);\n";
            if (random.Chance(75))
                source += " port (p" + std::to_string(i) + " : in std_logic);\n";
            source += closing + "\n";
        }
        VhdlSource indexed(source);
        for (const std::string& name : names) {
            std::string text = StripVhdlComments(CrToLf(source));
            std::string escaped = EscapeForPattern(name);
            Regex full(
                R"(\bentity\b\s*)" + escaped +
                    R"(\s*\bis\b((?:(?!\bend\b).)*?)\bport\b(.*?)\bend\b(\s*\bentity\b)?(\s*)" +
                    escaped + R"()?\s*;)",
                kRegexCaseless | kRegexDotAll);
            RegexMatch match;
            std::optional<std::string> expected;
            if (full.Search(text, match) && !match.Group(text, 2).empty())
                expected = std::string(match.Group(text, 2));
            std::optional<EntityParts> parts = indexed.FindEntity(name);
            ASSERT_EQ(parts ? std::optional<std::string>(parts->portPart) : std::nullopt, expected)
                << name << " in\n"
                << source;
        }
    }
}

} // namespace
} // namespace qve
