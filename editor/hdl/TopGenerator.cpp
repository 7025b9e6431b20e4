// The full-source generators: skeletons, work files, the finishing job and the read-back.
#include "editor/hdl/TopGenerator.h"

#include "editor/hdl/DesignCheck.h"
#include "editor/hdl/TextColumns.h"
#include "editor/hdl/TopCommon.h"
#include "editor/hdl/VhdlTopPlan.h"
#include "platform/AsciiCase.h"
#include "platform/TextFile.h"
#include "platform/TextLines.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

const char* const GenErrorText = "Error.";
const char* const GenNoTopText = "Error";
const char* const GenDesignErrorText = "Error in design.";

const char* const NoTopModuleFound = "No top module found. File damaged.";
const char* const NoTopLevelPort = "No top level port exists.";
const char* const IgnoreVariantPort = "Ignore variant port:";
const char* const UnknownPort = "Unknown port:";
const char* const NoPortInModule = "No port in module ";

const char* const InstanceMarker = "//Instantiate cell modules";

namespace {

// Columns of the generated tables.
constexpr std::size_t NameColumns = 20;
constexpr std::size_t RangeColumns = 10;
constexpr std::size_t TypeColumns = 35;
constexpr std::size_t ValueColumns = 5;
constexpr std::size_t BoundColumns = 4;
// The finishing job pads the net names it fills in to these columns.
constexpr std::size_t WireColumns = 25;

// The targets of the project's ASSIGN lines: the first name of field 1 (" name = ...").
std::unordered_set<std::string> AssignTargets(const ProjectLines& lines) {
    std::unordered_set<std::string> targets;
    for (const ProjectLine& line : lines) {
        if (line[0].empty() || line[0].front() != 'A')
            continue;
        const std::string& text = line[1];
        const std::size_t begin = text.find_first_not_of(" \t");
        if (begin == std::string::npos)
            continue;
        const std::size_t end = text.find_first_of(" \t=", begin);
        targets.insert(text.substr(begin, end == std::string::npos ? end : end - begin));
    }
    return targets;
}

// One that an ASSIGN line drives is not open: a tie-off there would give the output a second
// driver.
bool TakesTieOff(const ProjectModel& model, const port& p,
                 const std::unordered_set<std::string>& assigned) {
    return IsOpenOutputToTie(model, p) && assigned.count(p.Name) == 0;
}

// The ASSIGN lines' texts in line order, each made by piece from field 1.
template <typename Piece> std::string AssignLines(const ProjectLines& lines, Piece piece) {
    std::string text;
    for (const ProjectLine& line : lines)
        if (!line[0].empty() && line[0].front() == 'A')
            text += piece(line[1]);
    return text;
}

// Verilog.

std::string VerilogDeclaration(const port& p) {
    const std::string range = p.WidthText.empty() ? std::string() : "[" + p.WidthText + "]";
    const char* word = p.Kind == 'I' ? "input  " : p.Kind == 'O' ? "output " : "inout  ";
    return word + PadRight(range, RangeColumns) + " " + PadRight(p.Name, NameColumns) + " ;\n";
}

// VHDL.

// std_logic, or a vector from msb to lsb that runs down when the numbers do.
std::string VhdlType(const port& p, const PortBounds& b) {
    if (p.WidthText.empty())
        return "std_logic";
    return "std_logic_vector(" + PadLeft(b.Msb, BoundColumns) + (b.Down ? " downto " : " to ") +
           PadLeft(b.Lsb, BoundColumns) + ")";
}

std::string VhdlMode(char kind, bool buffer) {
    if (kind == 'I')
        return ":in     ";
    if (kind == 'B')
        return ":inout  ";
    return buffer ? ":buffer " : ":out    ";
}

// A bus slice of one bit, " net = bus [n:n] " or " bus [n:n] = net ", on a net declared as a
// vector of one bit: the finishing job would make the slice one element, a std_logic, and the
// assignment would mix a vector with a bit; it becomes the one-element slice bus (n downto n),
// a bus running down as the combining makes it.
std::optional<std::string> OneBitVectorSlice(const std::string& field,
                                             const std::unordered_set<std::string>& nets) {
    std::vector<std::string> words;
    for (std::size_t at = 0; at < field.size();) {
        const std::size_t end = std::min(field.find(' ', at), field.size());
        if (end > at)
            words.push_back(field.substr(at, end - at));
        at = end + 1;
    }
    if (words.size() != 4 || field.front() != ' ' || field.back() != ' ')
        return std::nullopt;
    const bool input = words[1] == "=";
    const bool output = words[2] == "=";
    if (input == output)
        return std::nullopt;
    const std::string& net = input ? words[0] : words[3];
    const std::string& bus = input ? words[2] : words[0];
    const std::string& range = input ? words[3] : words[1];
    const std::size_t colon = range.find(':');
    if (range.size() < 5 || range.front() != '[' || range.back() != ']' ||
        colon == std::string::npos || !nets.count(net))
        return std::nullopt;
    const std::optional<int> msb = WidthNumber(range.substr(1, colon - 1));
    const std::optional<int> lsb = WidthNumber(range.substr(colon + 1, range.size() - colon - 2));
    if (!msb || !lsb || *msb != *lsb)
        return std::nullopt;
    const std::string slice =
        bus + " (" + std::to_string(*msb) + " downto " + std::to_string(*lsb) + ")";
    return " " + (input ? net + " <= " + slice : slice + " <= " + net) + " ";
}

std::string VhdlAssign(const std::string& field, const std::unordered_set<std::string>& nets) {
    if (const std::optional<std::string> slice = OneBitVectorSlice(field, nets))
        return "\r\n" + *slice + ";";
    std::string text = field;
    const std::size_t equal = text.find(" = ");
    if (equal != std::string::npos)
        text.replace(equal, 3, " <= ");
    return "\r\n" + text + ";";
}

} // namespace

std::string ConnectionFileText(const ProjectLines& lines, const NetRenames& renamed) {
    std::string text;
    for (const ProjectLine& line : lines) {
        if (line[FieldSuggestion] == "S" && LineKind(line[0]) == 'W')
            continue;
        const bool wire = line[0] == "WIRE";
        for (std::size_t f = 0; f < 8; ++f) {
            if (f > 0)
                text += '\t';
            text += wire && f == 5 ? RenamedNet(line[f], renamed) : line[f];
        }
        text += "\r\n";
    }
    return text;
}

// The finishing job fills each instance port with its net's name and declares the nets, but a
// top port stands for itself: one on a net named otherwise (the net of another top port, say,
// after a port mapped to the top gave the net its own name) is joined to the net here. A top
// output takes the net's value; a top input drives the net unless another top port that is no
// output names it (a net has one driver). A combined port is joined slice by slice by its ASSIGN
// lines instead. Each port belongs to the net of the first wire line that names it, as the
// finishing job fills them.
std::string VerilogNetCopies(const ProjectModel& model, const mdu& top, const NetRenames& renamed) {
    const TopPortsByName topPorts = TopPortsByNameOf(model, top);
    std::string text;
    ForEachTopPortOnItsNet(model, topPorts, [&](const port& p, const ProjectLine& line) {
        const std::string& net = RenamedNet(line[5], renamed);
        if (p.Combined || p.Name == net)
            return;
        const auto carrier = topPorts.find(net);
        if (p.Kind == 'O')
            text += "\r\nassign " + p.Name + " = " + net + " ;";
        else if (p.Kind == 'I' && (carrier == topPorts.end() || carrier->second->Kind == 'O'))
            text += "\r\nassign " + net + " = " + p.Name + " ;";
    });
    return text;
}

std::optional<std::string> VerilogSkeleton(ProjectModel& model, NetRenames* renamed) {
    const mdu* top = FindTopModule(model);
    if (!top) {
        model.LogError(NoTopModuleFound);
        return std::nullopt;
    }
    const NetRenames renames = VerilogNetRenames(model, InoutNetRenames(model));
    const std::unordered_set<std::string> assigned = AssignTargets(model.LineList);
    std::string head = "module " + top->Title + "(\n";
    std::string declarations;
    std::string tieoffs;
    std::vector<const port*> listed;
    if (HasPorts(*top)) {
        for (int k = top->FirstPort; k <= top->LastPort; ++k) {
            const port& p = model.PortList[static_cast<std::size_t>(k)];
            if (IsDeclaredKind(p.Kind)) {
                declarations += VerilogDeclaration(p);
                listed.push_back(&p);
            } else {
                LogTopPortLeftOut(model, p);
            }
            if (TakesTieOff(model, p, assigned))
                tieoffs += VerilogTieOff(model, p);
        }
    }
    if (listed.empty())
        model.LogWarning(NoTopLevelPort);
    for (std::size_t n = 0; n < listed.size(); ++n)
        head += "\t" + PadRight(listed[n]->Name, NameColumns) +
                (n + 1 < listed.size() ? " ,\n" : " \n");
    head += ");\n" + declarations + "\n";
    head += std::string("\r\n") + InstanceMarker + "\r\n";

    for (const mdu& m : model.MduList) {
        if (m.IsTop())
            continue;
        head += m.ModuleName + " " + m.InstName + "(\n";
        if (!HasPorts(m)) {
            model.LogWarning(NoPortInModule + m.InstName + ".");
        } else {
            for (int k = m.FirstPort; k <= m.LastPort; ++k)
                head += "\t." +
                        PadRight(model.PortList[static_cast<std::size_t>(k)].Name, NameColumns) +
                        (k < m.LastPort ? " (__),\n" : " (__)\n");
        }
        head += ");\n" + VerilogDefparams(m);
    }
    tieoffs += AssignLines(model.LineList, [&](const std::string& field) {
        return "\r\nassign " + RenamedWords(field, renames) + ";";
    });
    if (renamed)
        *renamed = renames;
    return head + tieoffs + VerilogNetCopies(model, *top, renames);
}

std::optional<std::string> VhdlSkeleton(ProjectModel& model, const VhdlSourceFacts& sources,
                                        NetRenames* renamed) {
    const mdu* top = FindTopModule(model);
    if (!top) {
        model.LogError(NoTopModuleFound);
        return std::nullopt;
    }
    const VhdlNetPlan plan(model, InoutNetRenames(model));
    if (renamed)
        *renamed = plan.Renamed();
    const std::unordered_set<std::string> assigned = AssignTargets(model.LineList);
    const std::string& title = top->Title;

    std::string ports;
    std::string signals = "--Internal Signals";
    std::string tieoffs;
    std::unordered_map<std::string, std::string> portNames; // by the name as VHDL reads it
    if (!HasPorts(*top)) {
        model.LogWarning(NoTopLevelPort);
    } else {
        for (int k = top->FirstPort; k <= top->LastPort; ++k) {
            const port& p = model.PortList[static_cast<std::size_t>(k)];
            signals += "\n" + p.Name;
            if (IsDeclaredKind(p.Kind)) {
                if (const auto [first, isNew] =
                        portNames.try_emplace(VhdlClauseKey(p.Name), p.Name);
                    !isNew)
                    model.LogWarning("The top level ports " + first->second + " and " + p.Name +
                                     " differ in letter case only: VHDL takes them for one.");
                if (!ports.empty())
                    ports += ";\n";
                // An output the design reads is out as well: the architecture reads its signal.
                ports += "\t" + PadRight(p.Name, NameColumns) + " " + VhdlMode(p.Kind, false) +
                         PadRight(VhdlType(p, DecimalBounds(model, p)), TypeColumns);
            } else {
                LogTopPortLeftOut(model, p);
            }
            if (TakesTieOff(model, p, assigned)) {
                port inside = p;
                inside.Name = plan.Inside(p);
                tieoffs += VhdlTieOff(model, inside, NameColumns);
            }
        }
    }
    // An empty port clause is no VHDL: an entity without ports has none.
    std::string entityText = "entity " + title + " is";
    if (!ports.empty())
        entityText += " port(\n" + ports + ");";
    entityText += "\nend " + title + ";";

    // The inputs that some instance of their module leaves open: their component keeps the
    // entity's default, without which VHDL would refuse them open.
    std::unordered_map<std::string, std::unordered_set<std::string>> openInputs;
    for (const mdu& m : model.MduList)
        if (!m.IsTop() && HasPorts(m))
            for (int k = m.FirstPort; k <= m.LastPort; ++k) {
                const port& p = model.PortList[static_cast<std::size_t>(k)];
                if (p.Kind == 'I' && p.Lone)
                    openInputs[m.ModuleName].insert(platform::AsciiLower(p.Name));
            }
    static const VhdlEntityContext noSource;
    std::string context;
    std::unordered_set<std::string> carried = {VhdlClauseKey("library IEEE;"),
                                               VhdlClauseKey("use IEEE.std_logic_1164.all;"),
                                               VhdlClauseKey("library work;")};

    std::string components;
    std::unordered_set<std::string> declared;
    std::string instances;
    for (const mdu& m : model.MduList) {
        if (m.IsTop())
            continue;
        // The first instance of a module declares its component.
        const bool declares = declared.insert(m.ModuleName).second;
        const auto source = sources.find(m.ModuleName);
        const VhdlEntityContext& entity = source == sources.end() ? noSource : source->second;
        if (declares) {
            for (const std::string& clause : entity.Clauses)
                if (carried.insert(VhdlClauseKey(clause)).second)
                    context += clause + "\n";
            components += "\ncomponent " + m.ModuleName + "  ";
            if (m.Params.size() >= ParamTexts) {
                components += "\n\tgeneric(";
                for (std::size_t g = 0; g + ParamTexts <= m.Params.size(); g += ParamTexts) {
                    if (g > 0)
                        components += ";";
                    components += "\n\t\t" + PadRight(m.Params[g + ParamName], NameColumns) +
                                  " : " + PadRight(m.Params[g + ParamVhdlType], NameColumns);
                    // A generic without a default is declared without ":=".
                    if (!IsBlank(m.Params[g + ParamValue]))
                        components += " :=" + PadRight(m.Params[g + ParamValue], ValueColumns);
                }
                components += ");";
            }
            if (!HasPorts(m))
                model.LogWarning(NoPortInModule + m.ModuleName + ".");
        }

        std::string componentPorts;
        std::string associations;
        if (HasPorts(m)) {
            for (int k = m.FirstPort; k <= m.LastPort; ++k) {
                const port& p = model.PortList[static_cast<std::size_t>(k)];
                if (!IsDeclaredKind(p.Kind)) {
                    if (declares)
                        model.LogWarning(UnknownPort + p.Name);
                    continue;
                }
                if (!componentPorts.empty())
                    componentPorts += ";\n";
                const ProjectLine& line = model.LineList[static_cast<std::size_t>(p.LineIndex)];
                componentPorts += "\t\t" + PadRight(p.Name, NameColumns) + " " +
                                  VhdlMode(p.Kind, line[0] == "OUTPUT_B") +
                                  PadRight(VhdlType(p, ExpressionBounds(p)), TypeColumns);
                const std::string lower = platform::AsciiLower(p.Name);
                const auto byDefault =
                    p.Kind == 'I' ? entity.Defaults.find(lower) : entity.Defaults.end();
                const bool hasDefault = byDefault != entity.Defaults.end();
                if (hasDefault && openInputs[m.ModuleName].count(lower))
                    componentPorts += " :=" + byDefault->second;
                if (!associations.empty())
                    associations += ",\n";
                if (const VhdlNetPlan::Association* own = plan.AssociationOf(k))
                    associations += "\t\t" + PadRight(own->Formal, NameColumns) + " => " +
                                    PadRight(own->Actual, WireColumns);
                else
                    associations += "\t\t" + PadRight(p.Name, NameColumns) + " => __";
                // The engine maps it to open, which VHDL forbids for an input without default.
                if (p.Kind == 'I' && p.Lone && !hasDefault)
                    model.LogWarning("The input port " + p.Name + " (" + m.InstName +
                                     ") is left open; VHDL requires it to be connected.");
            }
        }
        if (declares) {
            if (!componentPorts.empty())
                components += "\n\tport(\n" + componentPorts + ");";
            components += "\nend component;\n";
        }

        instances += "\n" + m.InstName + ":" + m.ModuleName + " ";
        std::string genericMap;
        for (std::size_t g = 0; g + ParamTexts <= m.Params.size(); g += ParamTexts) {
            const std::string& value = GenericValue(m, g);
            if (IsBlank(value)) {
                LogGenericWithoutValue(model, m, g);
                continue;
            }
            if (DefaultNamesAnotherGeneric(m, g))
                continue;
            if (!genericMap.empty())
                genericMap += ",";
            genericMap += "\n\t\t" + PadRight(m.Params[g + ParamName], NameColumns) + " => " +
                          PadRight(value, ValueColumns);
        }
        if (!genericMap.empty())
            instances += "\n\tgeneric map(" + genericMap + ")";
        if (!associations.empty())
            instances += "\n\tport map(\n" + associations + ");\n";
        else
            instances += ";\n";
    }
    signals += "\n--Internal Signals End";
    tieoffs += AssignLines(model.LineList, [&](const std::string& field) {
        return VhdlAssign(plan.Assign(field), plan.OneBitVectorNets());
    });

    return "library IEEE;\nuse IEEE.std_logic_1164.all;\n" + context + entityText +
           "\narchitecture ZUN2012_Arch of " + title + " is\n" + components + signals +
           plan.Declarations() + "\nbegin" + instances + tieoffs + plan.Copies() +
           "\nend ZUN2012_Arch;";
}

bool CloseVerilogTop(std::vector<std::string>& lines) {
    std::size_t marker = 0;
    while (marker < lines.size() && lines[marker] != InstanceMarker)
        ++marker;
    if (marker == lines.size())
        return false;
    // Nothing before the marker begins with "wire ": the skeleton's header lines begin with a
    // TAB or a direction word. The engine appends its declarations after the last line.
    std::vector<std::string> wires;
    std::vector<std::string> rest;
    for (std::size_t j = marker; j < lines.size(); ++j)
        (lines[j].compare(0, 5, "wire ") == 0 ? wires : rest).push_back(std::move(lines[j]));
    lines.resize(marker);
    lines.insert(lines.end(), std::make_move_iterator(wires.rbegin()),
                 std::make_move_iterator(wires.rend()));
    lines.insert(lines.end(), std::make_move_iterator(rest.begin()),
                 std::make_move_iterator(rest.end()));
    lines.emplace_back();
    lines.emplace_back("endmodule");
    return true;
}

bool TopGenerator::Finish(EngineJob job, const std::string& skeleton, const NetRenames& renamed) {
    CodeBuf = platform::SplitLines(skeleton);
    const std::string connection = runner_.WorkFile("prj.tmp");
    const std::string objects = runner_.WorkFile("obj.tmp");
    for (const auto& [path, text] :
         {std::pair{connection, ConnectionFileText(model_.LineList, renamed)},
          std::pair{objects, platform::JoinLines(CodeBuf)}}) {
        if (const IoStatus written = platform::WriteFileAtomic(path, text); !written) {
            runner_.DeleteTempFiles();
            model_.LogError("Can't write the work file " + path + ". " + written.message);
            return false;
        }
    }
    EngineOutcome outcome = runner_.RunJob(job, runner_.FinishArguments(job));
    if (!outcome.Succeeded()) {
        // Why the engine did not run comes first, as the wizard tells it.
        if (!outcome.detail.empty())
            model_.LogError(outcome.detail);
        model_.LogError(outcome.message);
        return false;
    }
    CodeBuf = platform::SplitLines(outcome.output);
    return true;
}

std::string TopGenerator::Result(std::size_t lines) {
    model_.LogInfo("Total " + std::to_string(lines) + " lines of code are generated.");
    return platform::JoinLines(CodeBuf);
}

std::string TopGenerator::GenVerilogTop() {
    CodeBuf.clear();
    model_.LogAction("Generate Verilog HDL Code.");
    if (!CheckDesign(model_, CheckVerilog))
        return GenErrorText;
    NetRenames renamed;
    const std::optional<std::string> skeleton = VerilogSkeleton(model_, &renamed);
    if (!skeleton)
        return GenNoTopText;
    if (!Finish(EngineJob::FinishVerilog, *skeleton, renamed))
        return GenErrorText;
    if (!CloseVerilogTop(CodeBuf)) {
        model_.LogError(GenerationFailed);
        return GenErrorText;
    }
    // The empty line and "endmodule" were one entry of the buffer, and count as one line.
    return Result(CodeBuf.size() - 1);
}

std::string TopGenerator::GenVhdlTop() {
    CodeBuf.clear();
    model_.LogAction("Generate VHDL Code.");
    if (!CheckDesign(model_, CheckVhdl))
        return GenDesignErrorText;
    NetRenames renamed;
    const std::optional<std::string> skeleton =
        VhdlSkeleton(model_, ReadVhdlSourceFacts(model_), &renamed);
    if (!skeleton || !Finish(EngineJob::FinishVhdl, *skeleton, renamed))
        return skeleton ? GenErrorText : GenDesignErrorText;
    return Result(CodeBuf.size());
}
