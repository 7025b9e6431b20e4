// The independent judges of generated HDL: iverilog, verilator, yosys (with the netlist checked
// against the project's wires) and ghdl, run as the user would run them.
#pragma once

#include "editor/model/ProjectModel.h"
#include "support/FileFixtures.h"
#include "support/InCi.h"
#include "support/Json.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <utility>
#include <vector>

namespace zun::e2e {

namespace fs = std::filesystem;
using support::Json;
using support::JsonReader;

inline const fs::path kCorpus = fs::path(ZUN_CORPUS_DIR);

struct CommandResult {
    int status = -1;
    std::string output;
};

// A text as one word of a shell command line, whatever blanks or quotes a path holds.
inline std::string ShellWord(const std::string& text) {
    std::string word = "'";
    for (char c : text)
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}
inline std::string ShellWord(const fs::path& path) {
    return ShellWord(path.string());
}

// Runs a command line through the shell with standard error joined to standard output; paths in
// it are each one ShellWord.
inline CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer{};
    std::size_t count = 0;
    while ((count = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), count);
    int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline bool HaveTool(const std::string& tool) {
    return RunCommand("command -v " + tool + " >/dev/null").status == 0;
}

// In CI every judge must be there; elsewhere a missing one skips its test with a message.
#define REQUIRE_TOOL(tool)                                                                         \
    do {                                                                                           \
        if (!HaveTool(tool)) {                                                                     \
            if (InCi())                                                                            \
                FAIL() << tool << " is not installed, and CI requires every HDL tool";             \
            GTEST_SKIP() << tool << " is not installed: the finished top is not judged by it";     \
        }                                                                                          \
    } while (false)

inline std::string Join(const std::vector<fs::path>& files) {
    std::string joined;
    for (const fs::path& file : files)
        joined += " " + ShellWord(file);
    return joined;
}

// iverilog -Wall: no diagnostic may name the finished top except the notes on ports that the
// design leaves open on purpose and the top's missing timescale (the generator writes none).
inline void ExpectIverilogAccepts(const fs::path& top, const std::vector<fs::path>& leaves) {
    CommandResult result =
        RunCommand("iverilog -g2005 -Wall -o /dev/null " + ShellWord(top) + Join(leaves));
    EXPECT_EQ(result.status, 0) << result.output;
    std::istringstream lines(result.output);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.find(top.filename().string()) == std::string::npos)
            continue;
        if (line.find("dangling input port") != std::string::npos ||
            line.find("-- module") != std::string::npos)
            continue;
        ADD_FAILURE() << "iverilog about the finished top: " << line;
    }
    EXPECT_EQ(result.output.find("expects"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("implicit"), std::string::npos) << result.output;
}

// verilator -Wall on the top; the corpus sources are only read, their own style is not ours.
// Rules named in waived (blank-separated) are off: the style of a design, not of the top.
inline void ExpectVerilatorAccepts(const fs::path& dir, const fs::path& top,
                                   const std::string& topName, const std::vector<fs::path>& leaves,
                                   bool corpusLeaves, const std::string& waived = "") {
    std::string config;
    if (corpusLeaves) {
        fs::path waiver = dir / "corpus.vlt";
        // "lint_off -file" alone leaves some rules on, so those are named as well.
        std::string text = "`verilator_config\nlint_off -file \"" + kCorpus.string() + "/*\"\n";
        for (const char* rule :
             {"SELRANGE", "WIDTH", "UNUSED", "UNDRIVEN", "CASEINCOMPLETE", "BLKSEQ"})
            text +=
                std::string("lint_off -rule ") + rule + " -file \"" + kCorpus.string() + "/*\"\n";
        WriteBytes(waiver, text);
        config = " " + ShellWord(waiver);
    }
    std::istringstream rules(waived);
    for (std::string rule; rules >> rule;)
        config += " -Wno-" + rule;
    CommandResult result = RunCommand(
        "verilator --lint-only -Wall -Wno-DECLFILENAME -Wno-DEFPARAM -Wno-PINCONNECTEMPTY "
        "--timescale 1ns/1ps --top-module " +
        topName + config + " " + ShellWord(top) + Join(leaves));
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(result.output.find("%Warning"), std::string::npos) << result.output;
}

inline std::optional<Json> YosysJson(const fs::path& dir, const fs::path& top,
                                     const std::string& topName,
                                     const std::vector<fs::path>& leaves) {
    fs::path json = dir / "top.json";
    CommandResult result = RunCommand("yosys -q -p 'read_verilog " + top.string() + Join(leaves) +
                                      "; hierarchy -check -top " + topName +
                                      "; proc; check -assert; write_json " + json.string() + "'");
    EXPECT_EQ(result.status, 0) << result.output;
    if (result.status != 0)
        return std::nullopt;
    return JsonReader(ReadBytes(json)).Read();
}

// yosys names an escaped identifier without its backslash and closing blank, but keeps the
// backslash where the name would read otherwise without it: before a backslash, a dollar sign or
// a digit.
inline std::string YosysName(std::string name) {
    if (!name.empty() && name.front() == '\\') {
        while (!name.empty() && name.back() == ' ')
            name.pop_back();
        const char next = name.size() > 1 ? name[1] : ' ';
        if (next != '\\' && next != '$' && (next < '0' || next > '9'))
            name.erase(0, 1);
    }
    return name;
}

// The bits yosys connected to one end of a wire: a top port's own bits, or a cell's connection.
inline std::optional<std::vector<std::string>> EndBits(const Json& top, const std::string& topName,
                                                       const std::string& instance,
                                                       const std::string& port) {
    const Json* bits = nullptr;
    if (instance == topName) {
        const Json* ports = top.Member("ports");
        const Json* entry = ports ? ports->Member(YosysName(port)) : nullptr;
        bits = entry ? entry->Member("bits") : nullptr;
    } else {
        const Json* cells = top.Member("cells");
        const Json* cell = cells ? cells->Member(YosysName(instance)) : nullptr;
        const Json* connections = cell ? cell->Member("connections") : nullptr;
        bits = connections ? connections->Member(YosysName(port)) : nullptr;
    }
    if (!bits)
        return std::nullopt;
    std::vector<std::string> list;
    for (const Json& bit : bits->items)
        list.push_back(bit.text);
    return list;
}

// The bits of a combined top port that an assignment gives the net of a wire ending on it: the
// slice [m:l] of a bus (" net = bus [m:l] " or " bus [m:l] = net "), or the whole inout its input
// path reads (" net = io "). The inout's tri-state driver is not one of these.
struct CombinedSlice {
    std::string net;
    std::string port;
    int msb = -1; // -1: the whole port
    int lsb = -1;
};

inline std::optional<CombinedSlice> SliceOfAssignment(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> t;
    for (std::string word; in >> word;)
        t.push_back(word);
    int msb = 0;
    int lsb = 0;
    auto range = [&](const std::string& word) {
        return std::sscanf(word.c_str(), "[%d:%d]", &msb, &lsb) == 2;
    };
    if (t.size() == 4 && t[1] == "=" && range(t[3]))
        return CombinedSlice{t[0], t[2], msb, lsb};
    if (t.size() == 4 && t[2] == "=" && range(t[1]))
        return CombinedSlice{t[3], t[0], msb, lsb};
    if (t.size() == 3 && t[1] == "=")
        return CombinedSlice{t[0], t[2], -1, -1};
    return std::nullopt;
}

// Every ordinary WIRE line's two ends sit on the same bits, a wire to a combined port on its
// slice; every instance port that no line names is empty.
inline void ExpectNetlistMatchesTheWires(const Json& netlist, const ProjectModel& model) {
    const Json* modules = netlist.Member("modules");
    ASSERT_NE(modules, nullptr);
    ASSERT_NE(model.TopRecord(), nullptr);
    const std::string topModule = model.TopRecord()->Title;
    const Json* top = modules->Member(topModule);
    ASSERT_NE(top, nullptr) << "no module " << topModule << " in the netlist";
    std::set<std::pair<std::string, std::string>> wired;
    std::vector<const ProjectLine*> toCombined;
    int wires = 0;
    for (const ProjectLine& line : model.LineList) {
        if (line[0] != "WIRE" || line[FieldSuggestion] == "S")
            continue;
        ++wires;
        wired.insert({line[1], line[2]});
        wired.insert({line[3], line[4]});
        const int far = model.FindPortQuiet(line[3], line[4]);
        if (line[3] == model.TopName && far >= 0 && model.PortList[far].Combined) {
            toCombined.push_back(&line);
            continue;
        }
        SCOPED_TRACE(line[1] + "." + line[2] + " - " + line[3] + "." + line[4] + " (" + line[5] +
                     ")");
        auto a = EndBits(*top, model.TopName, line[1], line[2]);
        auto b = EndBits(*top, model.TopName, line[3], line[4]);
        ASSERT_TRUE(a && b);
        EXPECT_FALSE(a->empty());
        EXPECT_EQ(*a, *b);
    }
    EXPECT_GT(wires, 0) << "a design without wires shows nothing";
    for (const ProjectLine& assign : model.LineList) {
        if (assign[0] != "ASSIGN")
            continue;
        const std::optional<CombinedSlice> slice = SliceOfAssignment(assign[1]);
        if (!slice)
            continue;
        for (const ProjectLine* line : toCombined) {
            if ((*line)[5] != slice->net || (*line)[4] != slice->port)
                continue;
            SCOPED_TRACE((*line)[1] + "." + (*line)[2] + " on" + assign[1]);
            auto own = EndBits(*top, model.TopName, (*line)[1], (*line)[2]);
            auto whole = EndBits(*top, model.TopName, model.TopName, slice->port);
            ASSERT_TRUE(own && whole);
            std::vector<std::string> bits = *whole;
            if (slice->msb >= 0) {
                ASSERT_LT(static_cast<std::size_t>(slice->msb), whole->size());
                bits.assign(whole->begin() + slice->lsb, whole->begin() + slice->msb + 1);
            }
            EXPECT_EQ(*own, bits);
        }
    }
    for (const port& p : model.PortList) {
        if (p.OwnerName == model.TopName || wired.count({p.OwnerName, p.Name}))
            continue;
        auto bits = EndBits(*top, model.TopName, p.OwnerName, p.Name);
        EXPECT_TRUE(!bits || bits->empty())
            << p.OwnerName << "." << p.Name << " is connected although no wire names it";
    }
}

// ghdl -a of every file in order, then -e of the top with -Werror=binding, all under one
// standard; with run, the elaborated design also runs for 100 ns (-r --stop-time=100ns). Ports
// named in unbound may stay unbound (ports of types the engine does not read): the elaboration
// then warns of those, and of nothing else.
inline void ExpectGhdlElaborates(const fs::path& dir, const std::vector<fs::path>& files,
                                 const std::string& topName, const std::string& standard,
                                 const std::string& library = "work", bool run = false,
                                 const std::set<std::string>& unbound = {}) {
    // -P: the other libraries analysed into the same directory are found there.
    const std::string options = "--std=" + standard + " --workdir=" + ShellWord(dir) + " -P" +
                                ShellWord(dir) + " --work=" + library;
    for (const fs::path& file : files) {
        CommandResult analysed = RunCommand("ghdl -a " + options + " " + ShellWord(file));
        ASSERT_EQ(analysed.status, 0) << file << "\n" << analysed.output;
    }
    const std::string cd = "cd " + ShellWord(dir) + " && ";
    CommandResult elaborated = RunCommand(cd + "ghdl -e " + options +
                                          (unbound.empty() ? " -Werror=binding " : " ") + topName);
    ASSERT_EQ(elaborated.status, 0) << elaborated.output;
    std::istringstream lines(elaborated.output);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("warning:") == std::string::npos ||
            line.find("(in default configuration of") != std::string::npos)
            continue;
        const std::size_t name = line.find("port \"");
        const std::size_t end = name == std::string::npos ? name : line.find('"', name + 6);
        const bool allowed = end != std::string::npos &&
                             line.find("is not bound") != std::string::npos &&
                             unbound.count(line.substr(name + 6, end - name - 6)) > 0;
        EXPECT_TRUE(allowed) << line;
    }
    if (!run)
        return;
    CommandResult ran =
        RunCommand(cd + "ghdl -r " + options + " " + topName + " --stop-time=100ns");
    EXPECT_EQ(ran.status, 0) << ran.output;
}

// The standards every generated VHDL top is judged under: ghdl's default VHDL-93 (relaxed as
// "93c", the standard many synthesis tools read by default) and VHDL-2008.
inline const std::vector<std::string> kVhdlStandards = {"93c", "08"};

// Sources analysed, before the leaves, into libraries of their own: (library, file).
using GhdlLibraries = std::vector<std::pair<std::string, fs::path>>;

// The other libraries, the leaves and then the top analysed and the top elaborated, under each
// standard in a work directory of its own.
inline void ExpectGhdlAccepts(const fs::path& dir, const fs::path& top, const std::string& topName,
                              const std::vector<fs::path>& leaves, const std::string& library,
                              const std::vector<std::string>& standards = kVhdlStandards,
                              const GhdlLibraries& libraries = {}) {
    std::vector<fs::path> files = leaves;
    files.push_back(top);
    for (const std::string& standard : standards) {
        SCOPED_TRACE("ghdl --std=" + standard);
        const fs::path work = dir / ("ghdl" + standard);
        fs::create_directories(work);
        bool analysed = true;
        for (const auto& [name, file] : libraries) {
            CommandResult result =
                RunCommand("ghdl -a --std=" + standard + " --workdir=" + ShellWord(work) +
                           " --work=" + name + " " + ShellWord(file));
            EXPECT_EQ(result.status, 0) << file << "\n" << result.output;
            analysed = analysed && result.status == 0;
        }
        if (analysed)
            ExpectGhdlElaborates(work, files, topName, standard, library);
    }
}

} // namespace zun::e2e
