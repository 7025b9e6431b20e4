// Verilog sources whose ports depend on conditional compilation and includes, with the modules
// and ports a compiler without command-line defines sees; the engine tests read them through
// qve, the end-to-end test through yosys.
#pragma once

#include "engine/Engine.h"

#include "support/FileFixtures.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace support {

using SourceFiles = std::vector<std::pair<std::string, std::string>>;

struct ConditionalSource {
    const char* name;
    // Paths relative to a scratch folder; the first file is the source that is read.
    SourceFiles files;
    // Every module, by name, with its ports in order: "m(input a, output b) n()".
    const char* expected;
    // What yosys reads in place of files that stop it (a missing include is an error to it, a
    // cycle never ends, a branch left open is an error): the same text, made whole.
    SourceFiles forYosys = {};
};

inline const std::vector<ConditionalSource>& ConditionalSources() {
    static const std::vector<ConditionalSource> sources = {
        {"an undefined name keeps the else branch of an ANSI port list",
         {{"top.v", "module m (\n"
                    "    input clk,\n"
                    "`ifdef DEBUG\n"
                    "    output [7:0] dbg,\n"
                    "`else\n"
                    "    output ready,\n"
                    "`endif\n"
                    "    input rst\n"
                    ");\n"
                    "endmodule\n"}},
         "m(input clk, output ready, input rst)"},
        {"ifndef, elsif and else nested in an ANSI port list",
         {{"top.v", "`define FAST\n"
                    "module m (\n"
                    "    input a,\n"
                    "`ifndef FAST\n"
                    "    input slow_i,\n"
                    "`elsif WIDE\n"
                    "    input wide_i,\n"
                    "`else\n"
                    "  `ifdef FAST\n"
                    "    input fast_i,\n"
                    "    `ifdef NEVER\n"
                    "    input never_i,\n"
                    "    `endif\n"
                    "  `else\n"
                    "    input not_fast_i,\n"
                    "  `endif\n"
                    "`endif\n"
                    "    output q\n"
                    ");\n"
                    "endmodule\n"}},
         "m(input a, input fast_i, output q)"},
        {"an elsif chain takes its first defined name",
         {{"top.v", "`define B\n"
                    "`define C\n"
                    "module m (\n"
                    "`ifdef A\n"
                    "    input pa,\n"
                    "`elsif B\n"
                    "    input pb,\n"
                    "`elsif C\n"
                    "    input pc,\n"
                    "`else\n"
                    "    input pd,\n"
                    "`endif\n"
                    "    output q\n"
                    ");\n"
                    "endmodule\n"}},
         "m(input pb, output q)"},
        {"a define then an undef in a port list of names",
         {{"top.v", "`define OPT\n"
                    "`undef OPT\n"
                    "module m (a, b\n"
                    "`ifdef OPT\n"
                    "  , c\n"
                    "`endif\n"
                    ");\n"
                    "  input a;\n"
                    "  output b;\n"
                    "`ifdef OPT\n"
                    "  input c;\n"
                    "`endif\n"
                    "endmodule\n"}},
         "m(input a, output b)"},
        {"one name declared in both branches of a body is one port",
         {{"top.v", "module m (clk, dat);\n"
                    "  input clk;\n"
                    "`ifdef BUS8\n"
                    "  input [7:0] dat;\n"
                    "`else\n"
                    "  input [31:0] dat;\n"
                    "`endif\n"
                    "endmodule\n"}},
         "m(input clk, input dat)"},
        {"directives around whole modules",
         {{"top.v", "`ifdef BIG\n"
                    "module big (input x); endmodule\n"
                    "`else\n"
                    "module small (input y); endmodule\n"
                    "`endif\n"
                    "`define HAVE_EXTRA\n"
                    "`ifdef HAVE_EXTRA\n"
                    "module extra (output z); endmodule\n"
                    "`endif\n"
                    "`ifndef HAVE_EXTRA\n"
                    "module hidden (output h); endmodule\n"
                    "`endif\n"}},
         "extra(output z) small(input y)"},
        {"a define inside an included file",
         {{"top.v", "`include \"inc/config.vh\"\n"
                    "module m (\n"
                    "    input a,\n"
                    "`ifdef WIDE_BUS\n"
                    "    input [`W-1:0] wide\n"
                    "`else\n"
                    "    input [7:0] narrow\n"
                    "`endif\n"
                    ");\n"
                    "endmodule\n"},
          {"inc/config.vh", "`ifndef CONFIG_VH\n"
                            "`define CONFIG_VH\n"
                            "`define WIDE_BUS\n"
                            "`define W 32\n"
                            "`endif\n"}},
         "m(input a, input wide)"},
        {"ports of an included file, with a nested include beside it",
         {{"top.v", "module m (\n"
                    "`include \"inc/ports.vh\"\n"
                    ");\n"
                    "endmodule\n"},
          {"inc/ports.vh", "`include \"widths.vh\"\n"
                           "    input a,\n"
                           "`ifdef HAS_B\n"
                           "    output b,\n"
                           "`endif\n"
                           "    output c\n"},
          {"inc/widths.vh", "`define HAS_B\n"},
          {"widths.vh", "`define WRONG_FOLDER\n"}},
         "m(input a, output b, output c)"},
        {"a missing include reads as empty",
         {{"top.v", "`include \"missing.vh\"\n"
                    "module m (input a\n"
                    "`ifdef FROM_MISSING\n"
                    "    , input b\n"
                    "`endif\n"
                    ");\n"
                    "endmodule\n"}},
         "m(input a)",
         {{"missing.vh", ""}}},
        {"an include cycle ends and keeps its defines",
         {{"top.v", "`include \"a.vh\"\n"
                    "module m (input x\n"
                    "`ifdef HAVE_B\n"
                    "    , input y\n"
                    "`endif\n"
                    ");\n"
                    "endmodule\n"},
          {"a.vh", "`define HAVE_A\n`include \"b.vh\"\n"},
          {"b.vh", "`define HAVE_B\n`include \"a.vh\"\n"}},
         "m(input x, input y)",
         {{"b.vh", "`define HAVE_B\n"}}},
        {"a branch left open runs on to the end of the text",
         {{"top.v", "module m (input a\n"
                    "`ifndef NARROW\n"
                    "    , input b\n"
                    ");\n"
                    "endmodule\n"}},
         "m(input a, input b)",
         {{"top.v", "module m (input a\n"
                    "`ifndef NARROW\n"
                    "    , input b\n"
                    ");\n"
                    "endmodule\n"
                    "`endif\n"}}},
    };
    return sources;
}

// Writes the files under root, the replacements of forYosys over them when asked.
inline void WriteConditionalSource(const std::string& root, const ConditionalSource& source,
                                   bool asForYosys) {
    SourceFiles files = source.files;
    if (asForYosys)
        for (const auto& [path, text] : source.forYosys) {
            auto same = std::find_if(files.begin(), files.end(),
                                     [&](const auto& file) { return file.first == path; });
            if (same != files.end())
                same->second = text;
            else
                files.emplace_back(path, text);
        }
    for (const auto& [path, text] : files) {
        std::filesystem::path full = std::filesystem::path(root) / path;
        std::filesystem::create_directories(full.parent_path());
        WriteBytes(full.string(), text);
    }
}

// A module with its ports, written as in ConditionalSource::expected.
struct ModulePorts {
    std::string name;
    std::vector<std::pair<std::string, std::string>> ports; // direction, name

    bool operator<(const ModulePorts& other) const { return name < other.name; }
};

inline std::string Describe(std::vector<ModulePorts> modules) {
    std::sort(modules.begin(), modules.end());
    std::string text;
    for (const ModulePorts& m : modules) {
        if (!text.empty())
            text += " ";
        text += m.name + "(";
        for (std::size_t i = 0; i < m.ports.size(); ++i)
            text += (i > 0 ? ", " : "") + m.ports[i].first + " " + m.ports[i].second;
        text += ")";
    }
    return text;
}

// The modules of the source as qve reads them: the module scan, then the project text of every
// module it listed.
inline std::vector<ModulePorts> EngineModulePorts(const std::string& source,
                                                  const std::string& scratch) {
    std::string list = scratch + "/list.tmp";
    std::string request = scratch + "/cfg.tmp";
    std::string project = scratch + "/prj.tmp";
    qve::RunEngine({"0x1898a5" + list, source, "0"});
    std::vector<ModulePorts> modules;
    // As the wizard asks: each module from the file the list names, with the names the list says
    // were defined there.
    std::string cfg = "R-%M\r\n";
    std::string file = source;
    std::stringstream lines(ReadBytes(list));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind("D-", 0) == 0)
            cfg += line + "\r\n";
        else if (line.rfind("F0-", 0) == 0)
            file = line.substr(3);
        else if (line.rfind("M-", 0) == 0)
            cfg += "F0-" + file + "\r\nM-" + line.substr(2) + "\t1\r\n";
    }
    WriteBytes(request, cfg);
    qve::RunEngine({"0x1898b5" + project, "", request});
    std::stringstream blocks(ReadBytes(project));
    for (std::string line; std::getline(blocks, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, '\t');)
            fields.push_back(field);
        if (fields.size() < 4)
            continue;
        if (fields[0] == "MODULE") {
            modules.push_back({fields[1], {}});
            continue;
        }
        std::string direction = fields[0] == "INPUT"                               ? "input"
                                : fields[0] == "OUTPUT" || fields[0] == "OUTPUT_B" ? "output"
                                : fields[0] == "BIDIR"                             ? "inout"
                                                                                   : "";
        if (!direction.empty() && !modules.empty())
            modules.back().ports.emplace_back(direction, fields[3]);
    }
    return modules;
}

} // namespace support
