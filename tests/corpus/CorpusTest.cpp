// The engine on real HDL: module names and ports against yosys, entity names and ports against
// ghdl, with every difference the engine's reading implies listed here with its reason.
#include "StdLogicText.h"
#include "ToolRun.h"
#include "support/ChildProcess.h"
#include "support/FileFixtures.h"
#include "support/InCi.h"
#include "support/Json.h"

#include "engine/Engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iostream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Port {
    std::string name;
    std::string direction; // "input", "output", "inout"
    bool operator==(const Port&) const = default;
};

struct Module {
    std::string name;
    std::vector<Port> ports;
};

// A difference between the engine and the tool that follows from how the engine reads HDL.
struct ImpliedDifference {
    const char* module;
    const char* port; // "*" for every port of the module
    const char* reason;
};

// Ports that yosys does not see and the engine reads: none in these projects. The engine follows
// `define and `ifdef as a compiler without command-line defines does, as yosys does here.
const std::vector<ImpliedDifference> kExtraPorts = {};

// Ports the engine lists twice where yosys lists them once: none in these projects (a port
// declared in both branches of an `ifdef is read from the branch taken only).
const std::vector<ImpliedDifference> kTwicePorts = {};

// Ports that yosys sees and the engine does not read: none in these projects (SystemVerilog
// types such as logic, which the engine does not read, do not occur in them).
const std::vector<ImpliedDifference> kMissingPorts = {};

// Files yosys cannot read alone; their module names are compared, their ports cannot be.
const std::vector<ImpliedDifference> kUnreadableByYosys = {
    {"axis_switch", "*", "yosys stops at a $display format in an initial block"},
    {"axis_ram_switch", "*", "yosys stops at a $display format in an initial block"},
    {"ssio_sdr_in_diff", "*",
     "yosys stops at an implicit net under `default_nettype none in a generate branch"},
};

// The entries that explained a difference in this run; an entry never used is stale.
std::set<const ImpliedDifference*>& UsedEntries() {
    static std::set<const ImpliedDifference*> used;
    return used;
}

bool Listed(const std::vector<ImpliedDifference>& list, const std::string& module,
            const std::string& port) {
    for (const ImpliedDifference& entry : list)
        if (module == entry.module && (port == entry.port || std::string(entry.port) == "*")) {
            UsedEntries().insert(&entry);
            return true;
        }
    return false;
}

// Every entry about a module of the project must have explained something.
void ExpectNoStaleEntries(const std::set<std::string>& modules) {
    for (const auto* list : {&kExtraPorts, &kTwicePorts, &kMissingPorts, &kUnreadableByYosys})
        for (const ImpliedDifference& entry : *list)
            if (modules.count(entry.module) > 0) {
                EXPECT_TRUE(UsedEntries().count(&entry) > 0)
                    << "the listed difference for " << entry.module << " " << entry.port
                    << " no longer occurs: " << entry.reason;
            }
}

std::string RequireTool(const std::string& name) {
    std::string path = FindTool(name);
    if (path.empty() && InCi())
        ADD_FAILURE() << name << " is not installed; the corpus comparison needs it";
    return path;
}

std::vector<std::string> FilesUnder(const fs::path& root, const std::string& extension) {
    std::vector<std::string> files;
    if (!fs::exists(root)) {
        if (InCi())
            ADD_FAILURE() << "the corpus is missing at " << root.string();
        return files;
    }
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file() && entry.path().extension() == extension)
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// A temporary directory whose paths come as the strings the tool runs take.
class ScratchDir {
public:
    std::string operator/(const std::string& name) const { return dir_.Path(name); }
    std::string Path() const { return dir_.Root(); }

private:
    TempDir dir_;
};

// The tab-separated fields of a result line, without the CR of its line end.
std::vector<std::string> TabFields(std::string line) {
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    std::vector<std::string> fields;
    std::stringstream split(line);
    std::string field;
    while (std::getline(split, field, '\t'))
        fields.push_back(field);
    return fields;
}

// The engine's modules of a source file: the scan's names, then the project text's ports.
std::vector<Module> EngineModules(const std::string& source, char kind, const ScratchDir& dir,
                                  const std::string& tag) {
    std::string list = dir / (tag + ".mdu");
    qve::EngineOutcome scan = qve::RunEngine({"0x1898a5" + list, source, std::string(1, kind)});
    EXPECT_EQ(scan.standardError, "") << source;
    std::string text = ReadBytes(list);
    std::vector<Module> modules;
    std::string request = "R-%M\n";
    std::stringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind("M-", 0) == 0) {
            modules.push_back({line.substr(2), {}});
            request += "F" + std::string(kind == '1' ? "1" : "0") + "-" + source + "\nM-" +
                       line.substr(2) + "\t1\n";
        }
    }
    std::string cfg = dir / (tag + ".cfg");
    std::ofstream(cfg) << request;
    std::string out = dir / (tag + ".zun");
    qve::EngineOutcome project = qve::RunEngine({"0x1898b5" + out, "", cfg});
    EXPECT_EQ(project.standardError, "") << source;
    std::stringstream blocks(ReadBytes(out));
    std::size_t current = modules.size();
    std::size_t next = 0;
    while (std::getline(blocks, line)) {
        std::vector<std::string> fields = TabFields(line);
        if (fields.empty())
            continue;
        if (fields[0] == "MODULE") {
            // Blocks come in request order; a module the job skipped has no block.
            current = next;
            while (current < modules.size() && modules[current].name != fields[1])
                ++current;
            next = current + 1;
            continue;
        }
        if (current >= modules.size() || fields.size() < 4)
            continue;
        const std::string& kindWord = fields[0];
        std::string direction = kindWord == "INPUT"      ? "input"
                                : kindWord == "OUTPUT"   ? "output"
                                : kindWord == "OUTPUT_B" ? "output"
                                : kindWord == "BIDIR"    ? "inout"
                                                         : "";
        if (!direction.empty())
            modules[current].ports.push_back({fields[3], direction});
    }
    return modules;
}

std::string Describe(const std::vector<Port>& ports) {
    std::string text;
    for (const Port& p : ports)
        text += p.direction + " " + p.name + ", ";
    return text;
}

// Whether the module's header lists its ports with their directions (ANSI style).
bool IsAnsiHeader(const std::string& source, const std::string& module) {
    std::size_t at = source.find("module " + module);
    if (at == std::string::npos)
        return false;
    std::size_t end = source.find(';', at);
    static const std::regex comment(R"(//[^\n]*|/\*[\s\S]*?\*/)");
    static const std::regex direction(R"(\b(input|output|inout)\b)");
    std::string header = std::regex_replace(source.substr(at, end - at), comment, " ");
    return std::regex_search(header, direction);
}

struct YosysResult {
    std::vector<std::string> names;
    bool portsRead = false;
    std::vector<Module> modules;
};

YosysResult RunYosys(const std::string& yosys, const std::string& file, const ScratchDir& dir,
                     int index) {
    std::string names = dir / ("names" + std::to_string(index) + ".txt");
    std::string json = dir / ("ports" + std::to_string(index) + ".json");
    std::string include = fs::path(file).parent_path().string();
    std::string script = "read_verilog -defer -I" + include + " " + file + "; tee -q -o " + names +
                         " ls; design -reset; read_verilog -lib -I" + include + " " + file +
                         "; write_json " + json;
    corpus::RunTool({yosys, "-q", "-p", script}, dir.Path(),
                    dir / ("yosys" + std::to_string(index) + ".log"));
    YosysResult result;
    std::stringstream listed(ReadBytes(names));
    std::string line;
    while (std::getline(listed, line)) {
        std::size_t at = line.find("$abstract\\");
        if (at != std::string::npos)
            result.names.push_back(line.substr(at + 10));
    }
    if (fs::exists(json)) {
        result.portsRead = true;
        std::string text = ReadBytes(json);
        std::optional<support::Json> root = support::JsonReader(text).Read();
        if (!root)
            throw std::runtime_error("yosys wrote no readable JSON: " + json);
        if (const support::Json* modules = root->Member("modules"))
            for (const auto& [name, module] : modules->members) {
                Module m{name, {}};
                if (const support::Json* ports = module.Member("ports"))
                    for (const auto& [port, info] : ports->members)
                        m.ports.push_back({port, info.Member("direction")->text});
                result.modules.push_back(m);
            }
    }
    return result;
}

void CompareVerilogProject(const std::string& project) {
    std::string yosys = RequireTool("yosys");
    if (yosys.empty())
        GTEST_SKIP() << "yosys is not installed: the Verilog corpus comparison is skipped";
    std::vector<std::string> files = FilesUnder(fs::path(ZUN_CORPUS_DIR) / project, ".v");
    if (files.empty())
        GTEST_SKIP() << "no corpus at " << ZUN_CORPUS_DIR << "/" << project;
    ScratchDir dir;

    // yosys takes most of the time: four files at a time.
    std::vector<YosysResult> results(files.size());
    for (std::size_t start = 0; start < files.size(); start += 4) {
        std::vector<std::future<YosysResult>> running;
        for (std::size_t i = start; i < std::min(files.size(), start + 4); ++i)
            running.push_back(std::async(std::launch::async, RunYosys, yosys, files[i],
                                         std::cref(dir), static_cast<int>(i)));
        for (std::size_t i = start; i < std::min(files.size(), start + 4); ++i)
            results[i] = running[i - start].get();
    }

    int modulesCompared = 0, portsCompared = 0;
    std::set<std::string> projectModules;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& file = files[i];
        std::vector<Module> ours = EngineModules(file, '0', dir, "f" + std::to_string(i));
        for (const Module& m : ours)
            projectModules.insert(m.name);
        std::vector<std::string> ourNames;
        for (const Module& m : ours)
            ourNames.push_back(m.name);
        EXPECT_EQ(ourNames, results[i].names) << "module names of " << file;
        if (!results[i].portsRead) {
            for (const std::string& name : results[i].names)
                EXPECT_TRUE(Listed(kUnreadableByYosys, name, "*"))
                    << "yosys could not read " << file << " and it is not listed";
            continue;
        }
        std::string source = ReadBytes(file);
        for (const Module& theirs : results[i].modules) {
            auto found = std::find_if(ours.begin(), ours.end(),
                                      [&](const Module& m) { return m.name == theirs.name; });
            ASSERT_NE(found, ours.end()) << theirs.name << " of " << file;
            ++modulesCompared;
            std::vector<Port> expected, mine;
            for (const Port& p : theirs.ports)
                if (!Listed(kMissingPorts, theirs.name, p.name))
                    expected.push_back(p);
            for (const Port& p : found->ports) {
                bool repeated = std::find(mine.begin(), mine.end(), p) != mine.end();
                if (Listed(kExtraPorts, theirs.name, p.name) ||
                    (repeated && Listed(kTwicePorts, theirs.name, p.name)))
                    continue;
                mine.push_back(p);
            }
            portsCompared += static_cast<int>(expected.size());
            if (IsAnsiHeader(source, theirs.name)) {
                EXPECT_EQ(Describe(mine), Describe(expected))
                    << "ports in header order of " << theirs.name << " in " << file;
            } else {
                auto byName = [](const Port& a, const Port& b) { return a.name < b.name; };
                std::sort(mine.begin(), mine.end(), byName);
                std::sort(expected.begin(), expected.end(), byName);
                EXPECT_EQ(Describe(mine), Describe(expected))
                    << "ports of " << theirs.name << " in " << file;
            }
        }
    }
    ExpectNoStaleEntries(projectModules);
    std::cout << project << ": " << files.size() << " files, " << modulesCompared << " modules and "
              << portsCompared << " ports compared with yosys\n";
}

TEST(CorpusVerilog, VerilogEthernetModulesAndPortsAreThoseYosysFinds) {
    CompareVerilogProject("verilog-ethernet");
}

TEST(CorpusVerilog, Uart16550ModulesAndPortsAreThoseYosysFinds) {
    CompareVerilogProject("uart16550");
}

struct VhdlPort {
    std::string name;
    std::string kind; // the engine's kind word for the mode
    std::string type; // the type mark, lower case
};

struct Entity {
    std::string name;
    std::vector<VhdlPort> ports;
};

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string KindOfMode(const std::string& mode) {
    if (mode == "out")
        return "OUTPUT";
    if (mode == "inout")
        return "BIDIR";
    if (mode == "buffer")
        return "OUTPUT_B";
    return "INPUT";
}

const corpus::XmlElement* Child(const corpus::XmlElement& element, const std::string& tag) {
    for (const auto& child : element.children)
        if (child->tag == tag)
            return child.get();
    return nullptr;
}

std::string TypeMark(const corpus::XmlElement& subtype) {
    std::string kind = subtype.Attribute("kind");
    if (kind == "simple_name")
        return Lower(subtype.Attribute("identifier"));
    if (const corpus::XmlElement* mark = Child(subtype, "subtype_type_mark"))
        return Lower(mark->Attribute("identifier"));
    return "";
}

void CollectEntities(const corpus::XmlElement& element, std::vector<Entity>& entities) {
    if (element.tag == "library_unit" && element.Attribute("kind") == "entity_declaration") {
        Entity entity{Lower(element.Attribute("identifier")), {}};
        std::string previousType;
        if (const corpus::XmlElement* chain = Child(element, "port_chain"))
            for (const auto& port : chain->children) {
                if (port->Attribute("kind") != "interface_signal_declaration")
                    continue;
                // The later names of a list ("a, b : in t") refer to the first one's type.
                const corpus::XmlElement* subtype = Child(*port, "subtype_indication");
                std::string type = subtype ? TypeMark(*subtype) : "";
                if (type.empty())
                    type = previousType;
                previousType = type;
                entity.ports.push_back({Lower(port->Attribute("identifier")),
                                        KindOfMode(port->Attribute("mode")), type});
            }
        entities.push_back(entity);
        return;
    }
    for (const auto& child : element.children)
        CollectEntities(*child, entities);
}

// ghdl's entities of every file, by path, in text order.
std::map<std::string, std::vector<Entity>> GhdlEntities(const std::string& ghdl,
                                                        const std::vector<std::string>& files,
                                                        const ScratchDir& dir) {
    std::vector<std::string> import = {ghdl, "-i", "--std=08", "--work=neorv32",
                                       "--workdir=" + dir.Path()};
    import.insert(import.end(), files.begin(), files.end());
    EXPECT_EQ(corpus::RunTool(import, dir.Path(), dir / "import.log"), 0)
        << ReadBytes(dir / "import.log");
    // The whole design analysed in its own order, so that every file's dependencies are there
    // when it is dumped alone.
    EXPECT_EQ(corpus::RunTool({ghdl, "-m", "--std=08", "--work=neorv32", "--workdir=" + dir.Path(),
                               "neorv32_top"},
                              dir.Path(), dir / "make.log"),
              0)
        << ReadBytes(dir / "make.log");
    // One file at a time: ghdl then analyses only that file, on a library where everything it
    // needs is up to date.
    std::map<std::string, std::vector<Entity>> byFile;
    std::vector<std::future<std::vector<Entity>>> running;
    auto entitiesOf = [&](std::size_t index) {
        std::string xml = dir / ("design" + std::to_string(index) + ".xml");
        std::string log = dir / ("xml" + std::to_string(index) + ".log");
        int status = corpus::RunTool({ghdl, "--file-to-xml", "--std=08", "--work=neorv32",
                                      "--workdir=" + dir.Path(), files[index]},
                                     dir.Path(), log, xml);
        std::vector<Entity> entities;
        // ghdl reports a failed analysis on standard error and may still exit with 0.
        if (status != 0 || !ReadBytes(log).empty()) {
            entities.push_back({"ghdl failed: " + ReadBytes(log), {}});
            return entities;
        }
        std::unique_ptr<corpus::XmlElement> root = corpus::ParseXml(ReadBytes(xml));
        fs::remove(xml);
        std::function<void(const corpus::XmlElement&)> walk = [&](const corpus::XmlElement& e) {
            if (e.tag == "el" && e.Attribute("kind") == "design_file" &&
                e.Attribute("design_file_filename") == files[index]) {
                CollectEntities(e, entities);
                return;
            }
            for (const auto& child : e.children)
                walk(*child);
        };
        walk(*root);
        return entities;
    };
    for (std::size_t start = 0; start < files.size(); start += 4) {
        std::size_t end = std::min(files.size(), start + 4);
        for (std::size_t i = start; i < end; ++i)
            running.push_back(std::async(std::launch::async, entitiesOf, i));
        for (std::size_t i = start; i < end; ++i)
            byFile[files[i]] = running[i].get();
    }
    return byFile;
}

// The engine's entities of a file with their port lines (kind and name).
std::vector<Entity> EngineEntities(const std::string& file, const ScratchDir& dir,
                                   const std::string& tag) {
    std::vector<Module> modules = EngineModules(file, '1', dir, tag);
    std::vector<Entity> entities;
    // EngineModules maps kinds to directions; read the kinds again for VHDL's four modes.
    std::string text = ReadBytes(dir / (tag + ".zun"));
    std::stringstream lines(text);
    std::string line;
    for (const Module& m : modules)
        entities.push_back({Lower(m.name), {}});
    std::size_t current = entities.size(), next = 0;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields = TabFields(line);
        if (fields.size() < 4)
            continue;
        if (fields[0] == "MODULE") {
            current = next;
            while (current < entities.size() && entities[current].name != Lower(fields[1]))
                ++current;
            next = current + 1;
        } else if (fields[0] != "PARAMETER" && current < entities.size()) {
            entities[current].ports.push_back({Lower(fields[3]), fields[0], ""});
        }
    }
    return entities;
}

std::string Describe(const std::vector<VhdlPort>& ports) {
    std::string text;
    for (const VhdlPort& p : ports)
        text += p.kind + " " + p.name + ", ";
    return text;
}

TEST(CorpusVhdl, Neorv32EntitiesAndTheirStdLogicPortsAreThoseGhdlFinds) {
    std::string ghdl = RequireTool("ghdl");
    if (ghdl.empty())
        GTEST_SKIP() << "ghdl is not installed: the VHDL corpus comparison is skipped";
    std::vector<std::string> files = FilesUnder(fs::path(ZUN_CORPUS_DIR) / "neorv32", ".vhd");
    if (files.empty())
        GTEST_SKIP() << "no corpus at " << ZUN_CORPUS_DIR << "/neorv32";
    ScratchDir dir;
    std::map<std::string, std::vector<Entity>> theirs = GhdlEntities(ghdl, files, dir);

    int entities = 0, ports = 0, read = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& file = files[i];
        const std::vector<Entity>& expected = theirs[file];
        std::vector<Entity> ours = EngineEntities(file, dir, "v" + std::to_string(i));
        std::vector<std::string> ourNames, theirNames;
        for (const Entity& e : ours)
            ourNames.push_back(e.name);
        for (const Entity& e : expected)
            theirNames.push_back(e.name);
        ASSERT_EQ(ourNames, theirNames) << "entities of " << file;

        // As written: only std_logic and std_logic_vector ports are read. The design uses
        // std_ulogic, records and integers, which the engine leaves out by design.
        std::string substituted = dir / ("s" + std::to_string(i) + ".vhd");
        std::ofstream(substituted) << corpus::AsStdLogic(ReadBytes(file));
        std::vector<Entity> oursLogic = EngineEntities(substituted, dir, "s" + std::to_string(i));
        for (std::size_t e = 0; e < expected.size(); ++e) {
            ++entities;
            std::vector<VhdlPort> asWritten, asLogic;
            for (const VhdlPort& p : expected[e].ports) {
                ++ports;
                if (p.type == "std_logic" || p.type == "std_logic_vector")
                    asWritten.push_back(p);
                if (p.type == "std_logic" || p.type == "std_logic_vector" ||
                    p.type == "std_ulogic" || p.type == "std_ulogic_vector")
                    asLogic.push_back(p);
            }
            read += static_cast<int>(asLogic.size());
            EXPECT_EQ(Describe(ours[e].ports), Describe(asWritten))
                << "std_logic ports of " << expected[e].name << " in " << file;
            EXPECT_EQ(Describe(oursLogic[e].ports), Describe(asLogic))
                << "std_ulogic ports read as std_logic of " << expected[e].name << " in " << file;
        }
    }
    std::cout << "neorv32: " << files.size() << " files, " << entities << " entities, " << read
              << " of " << ports << " ports of std_(u)logic types compared with ghdl\n";
}

} // namespace
