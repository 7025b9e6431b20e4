// The VHDL sources of the instanced entities, and the nets of the VHDL top as VHDL types them.
#include "editor/hdl/VhdlTopPlan.h"

#include "editor/hdl/TextColumns.h"
#include "editor/hdl/TopCommon.h"
#include "platform/AsciiCase.h"
#include "platform/TextFile.h"

#include <memory>
#include <optional>
#include <vector>

VhdlSourceFacts ReadVhdlSourceFacts(ProjectModel& model) {
    VhdlSourceFacts facts;
    std::unordered_map<std::string, std::unique_ptr<VhdlSourceText>> sources; // null: unreadable
    for (const mdu& m : model.MduList) {
        if (m.IsTop() || !platform::SameIgnoringAsciiCase(m.Language, "vhdl") ||
            facts.count(m.ModuleName))
            continue;
        auto [at, isNew] = sources.try_emplace(m.SrcPath);
        if (isNew) {
            std::string text;
            if (const IoStatus read = platform::ReadWholeFile(m.SrcPath, text); read)
                at->second = std::make_unique<VhdlSourceText>(std::move(text));
            else
                model.LogWarning("Can't read the source file " + m.SrcPath + " of " + m.ModuleName +
                                 ": the top goes without its library and use " +
                                 "clauses and port defaults. " + read.message);
        }
        VhdlEntityContext context;
        if (at->second) {
            context = at->second->Entity(m.ModuleName);
            if (!context.Found)
                model.LogWarning("The source file " + m.SrcPath + " declares no entity " +
                                 m.ModuleName + ": the top goes without its library and use " +
                                 "clauses and port defaults.");
        }
        facts.emplace(m.ModuleName, std::move(context));
    }
    return facts;
}

namespace {

// How VHDL declares a port or a net: std_logic, or a vector with its bounds in declared order.
struct LogicType {
    bool Vector = false;
    int First = 0;
    int Second = 0;

    int Span() const { return First > Second ? First - Second : Second - First; }
};

// The type a component or the entity declares the port with; nothing for a width that is not a
// number.
std::optional<LogicType> DeclaredType(const port& p) {
    if (!p.Numeric)
        return std::nullopt;
    if (p.WidthText.empty())
        return LogicType{};
    return LogicType{true, p.Msb, p.Lsb};
}

// The finishing job's width of a wire end: the numbers of an instance port's line (a top port's
// are never read).
std::optional<LogicType> LineWidth(const ProjectModel& model, const port* p) {
    if (!p || p->OwnerName == model.TopName || p->LineIndex < 0 ||
        static_cast<std::size_t>(p->LineIndex) >= model.LineList.size())
        return std::nullopt;
    const ProjectLine& line = model.LineList[static_cast<std::size_t>(p->LineIndex)];
    const std::optional<int> first = WidthNumber(line[1]);
    const std::optional<int> second = WidthNumber(line[2]);
    if (!first || !second)
        return std::nullopt;
    return LogicType{true, *first, *second};
}

bool IsBufferPort(const ProjectModel& model, const port& p) {
    return p.LineIndex >= 0 && static_cast<std::size_t>(p.LineIndex) < model.LineList.size() &&
           model.LineList[static_cast<std::size_t>(p.LineIndex)][0] == "OUTPUT_B";
}

std::string Index(const std::string& name, int index) {
    return name + "(" + std::to_string(index) + ")";
}

// The blank-separated words of an ASSIGN field, as views into it.
std::vector<std::string_view> Words(std::string_view field) {
    std::vector<std::string_view> words;
    for (std::size_t at = 0; at < field.size();) {
        const std::size_t end = std::min(field.find(' ', at), field.size());
        if (end > at)
            words.push_back(field.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

// One net: its name, the first wire line that names it, and the ports on it (PortList indices),
// each port on the net of the first line that names it, as the finishing job fills them.
struct Net {
    std::string Name;
    std::size_t FirstLine = 0;
    std::vector<int> Ends;
};

} // namespace

std::string VhdlSuffixed(const std::string& name, const std::string& suffix) {
    std::string base = name;
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    if (base.size() >= 2 && base.front() == '\\' && base.back() == '\\') {
        base.insert(base.size() - 1, suffix);
        return base;
    }
    // Two underscores in a row are no VHDL identifier.
    if (base.ends_with('_') && suffix.starts_with('_'))
        return base + suffix.substr(1);
    return base + suffix;
}

VhdlNetPlan::VhdlNetPlan(const ProjectModel& model, NetRenames renames)
    : renamed_(std::move(renames)) {
    const mdu* top = FindTopModule(model);
    std::unordered_map<std::string, int> portIndex; // instance TAB port
    portIndex.reserve(model.PortList.size());
    for (std::size_t k = 0; k < model.PortList.size(); ++k) {
        const port& p = model.PortList[k];
        portIndex.try_emplace(p.OwnerName + '\t' + p.Name, static_cast<int>(k));
    }
    auto find = [&](const std::string& inst, const std::string& name) -> int {
        auto it = portIndex.find(inst + '\t' + name);
        return it == portIndex.end() ? -1 : it->second;
    };
    // The finishing job declares no net named like a top port, in any letter case; a net named
    // like one in another case is renamed below, so a net is a top port by its exact name.
    std::unordered_map<std::string, const port*> topPorts;
    std::unordered_map<std::string, const port*> topByName;
    std::vector<const port*> topOrder;
    if (top && HasPorts(*top))
        for (int k = top->FirstPort; k <= top->LastPort; ++k) {
            const port& p = model.PortList[static_cast<std::size_t>(k)];
            topPorts.try_emplace(VhdlClauseKey(p.Name), &p);
            topByName.try_emplace(p.Name, &p);
            topOrder.push_back(&p);
        }

    std::vector<Net> nets;
    std::unordered_map<std::string, std::size_t> netOf;
    std::unordered_set<int> placed;
    for (std::size_t i = 0; i < model.LineList.size(); ++i) {
        const ProjectLine& line = model.LineList[i];
        if (line[0] != "WIRE" || line[FieldSuggestion] == "S" || line[5].empty())
            continue;
        auto [at, isNew] = netOf.try_emplace(line[5], nets.size());
        if (isNew)
            nets.push_back({line[5], i, {}});
        for (const auto& [inst, name] : {std::pair{&line[1], &line[2]}, {&line[3], &line[4]}}) {
            const int k = find(*inst, *name);
            if (k >= 0 && placed.insert(k).second)
                nets[at->second].Ends.push_back(k);
        }
    }

    // VHDL takes names that differ in letter case only for one: a net named like a top port, an
    // instance, a unit or an earlier net in that way is renamed, as two declarations of one
    // name are refused and a net the finishing job takes for a top port would be joined to it.
    std::unordered_set<std::string> units;
    for (const mdu& m : model.MduList) {
        units.insert(VhdlClauseKey(m.InstName));
        units.insert(VhdlClauseKey(m.ModuleName.empty() ? m.Title : m.ModuleName));
    }
    units.insert(VhdlClauseKey("ZUN2012_Arch"));
    std::unordered_set<std::string> names = units;
    for (const auto& [key, p] : topPorts)
        names.insert(key);
    for (Net& net : nets) {
        net.Name = RenamedNet(net.Name, renamed_);
        names.insert(VhdlClauseKey(net.Name));
    }
    std::unordered_set<std::string> seen;
    for (Net& net : nets) {
        const std::string key = VhdlClauseKey(net.Name);
        if (topByName.count(net.Name) ||
            (!topPorts.count(key) && !units.count(key) && seen.insert(key).second))
            continue;
        std::string name;
        for (int n = 2;; ++n) {
            name = VhdlSuffixed(net.Name, "_" + std::to_string(n));
            if (names.insert(VhdlClauseKey(name)).second)
                break;
        }
        seen.insert(VhdlClauseKey(name));
        // By the project's name of the net, the one its wire lines carry.
        renamed_[model.LineList[net.FirstLine][5]] = name;
        net.Name = name;
    }

    // What the ASSIGN lines read: the names after their "=".
    std::unordered_set<std::string> assignReads;
    for (const ProjectLine& line : model.LineList) {
        if (line[0].empty() || line[0].front() != 'A')
            continue;
        bool right = false;
        for (std::string_view word : Words(line[1])) {
            if (right)
                assignReads.emplace(RenamedNet(std::string(word), renamed_));
            right = right || word == "=";
        }
    }

    // The names the signals of the outputs must not take, in VHDL's letter case.
    std::unordered_set<std::string> taken;
    for (const mdu& m : model.MduList) {
        taken.insert(platform::AsciiLower(m.InstName));
        taken.insert(platform::AsciiLower(m.ModuleName.empty() ? m.Title : m.ModuleName));
    }
    for (const auto& [key, p] : topPorts)
        taken.insert(key);
    for (const Net& net : nets)
        taken.insert(VhdlClauseKey(net.Name));
    auto signalFor = [&](const port& p) {
        std::string name = VhdlSuffixed(p.Name, "_int");
        for (int n = 2; !taken.insert(VhdlClauseKey(name)).second; ++n)
            name = VhdlSuffixed(p.Name, "_int" + std::to_string(n));
        inside_.emplace(p.Name, name);
    };

    // The net each net-named top port carries, and whether the design reads it there: an
    // instance's input or buffer port, or another top output fed from it.
    const auto carrierOf = [&](const Net& net) -> const port* {
        auto it = topByName.find(net.Name);
        return it == topByName.end() ? nullptr : it->second;
    };
    for (const Net& net : nets) {
        const port* carrier = carrierOf(net);
        if (!carrier || carrier->Kind != 'O' || inside_.count(carrier->Name))
            continue;
        bool read = assignReads.count(carrier->Name) > 0;
        for (int k : net.Ends) {
            const port& p = model.PortList[static_cast<std::size_t>(k)];
            if (p.OwnerName == model.TopName)
                read = read || (&p != carrier && p.Kind == 'O');
            else
                read = read || p.Kind == 'I' || IsBufferPort(model, p);
        }
        if (read)
            signalFor(*carrier);
    }
    for (const port* p : topOrder)
        if (p->Kind == 'O' && !inside_.count(p->Name) && assignReads.count(p->Name))
            signalFor(*p);

    for (const Net& net : nets) {
        const port* carrier = carrierOf(net);
        std::optional<LogicType> type;
        std::string actual = net.Name;
        if (carrier) {
            type = DeclaredType(*carrier);
            // The finishing job writes the net's own name, whatever the port's letter case.
            if (auto it = inside_.find(carrier->Name); it != inside_.end())
                actual = it->second;
        } else {
            const ProjectLine& line = model.LineList[net.FirstLine];
            const int a = find(line[1], line[2]);
            const int b = find(line[3], line[4]);
            auto at = [&](int k) {
                return k < 0 ? nullptr : &model.PortList[static_cast<std::size_t>(k)];
            };
            type = LineWidth(model, at(b));
            if (!type)
                type = LineWidth(model, at(a));
            if (!type)
                type = LogicType{};
        }
        if (type && type->Vector && type->Span() == 0)
            oneBitVectors_.insert(net.Name);
        const bool renamed = actual != net.Name;
        for (int k : net.Ends) {
            const port& p = model.PortList[static_cast<std::size_t>(k)];
            if (!IsDeclaredKind(p.Kind) || &p == carrier)
                continue;
            const std::optional<LogicType> own = DeclaredType(p);
            // A vector of one bit meets a std_logic net by its element, and a std_logic port
            // meets a net that is a vector of one bit at the net's element.
            const bool element = own && type && own->Vector != type->Vector &&
                                 (own->Vector ? own->Span() : type->Span()) == 0;
            const bool ownElement = element && own->Vector;
            const std::string value = element && !ownElement ? Index(actual, type->First) : actual;
            if (p.OwnerName == model.TopName) {
                // A combined port meets its slice nets through its ASSIGN lines only.
                if (p.Combined)
                    continue;
                // A top output on a net named otherwise takes the net's value; a top input there
                // is the net's driver (no other port may drive a net a top input drives).
                const std::string& inside = Inside(p);
                const std::string self = ownElement ? Index(inside, own->First) : inside;
                if (p.Kind == 'O')
                    copies_ += "\r\n" + PadRight(self, 20) + " <= " + value + ";";
                else if (p.Kind == 'I' && (!carrier || carrier->Kind == 'O'))
                    copies_ += "\r\n" + PadRight(value, 20) + " <= " + self + ";";
            } else if (element || renamed) {
                associations_.emplace(
                    k, Association{ownElement ? Index(p.Name, own->First) : p.Name, value});
            }
        }
    }

    for (const port* p : topOrder) {
        auto it = inside_.find(p->Name);
        if (it == inside_.end())
            continue;
        const std::optional<LogicType> type = DeclaredType(*p);
        std::string tail = " ";
        if (type && type->Vector)
            tail = "_vector(" + std::to_string(type->First) +
                   (type->First >= type->Second ? " downto " : " to ") +
                   std::to_string(type->Second) + ")";
        declarations_ +=
            "\nsignal " + PadRight(it->second, 25) + " : std_logic" + PadRight(tail, 30) + ";";
        copies_ += "\r\n" + PadRight(p->Name, 20) + " <= " + it->second + ";";
    }
}

const VhdlNetPlan::Association* VhdlNetPlan::AssociationOf(int portIndex) const {
    auto it = associations_.find(portIndex);
    return it == associations_.end() ? nullptr : &it->second;
}

const std::string& VhdlNetPlan::Inside(const port& topPort) const {
    auto it = inside_.find(topPort.Name);
    return it == inside_.end() ? topPort.Name : it->second;
}

std::string VhdlNetPlan::Assign(const std::string& field) const {
    if (inside_.empty() && renamed_.empty())
        return field;
    std::string text;
    text.reserve(field.size());
    for (std::size_t at = 0; at <= field.size();) {
        const std::size_t end = std::min(field.find(' ', at), field.size());
        const std::string own = field.substr(at, end - at);
        const std::string& word = RenamedNet(own, renamed_);
        auto it = inside_.find(word);
        text += it == inside_.end() ? word : it->second;
        if (end < field.size())
            text += ' ';
        at = end + 1;
    }
    return text;
}
