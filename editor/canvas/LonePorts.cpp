// Mapping lone and undriven ports to the top level, and the connection listing.
#include "editor/canvas/LonePorts.h"

#include "editor/model/Nets.h"
#include "editor/model/TopLevel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

bool TakenByKind(const port& p, char kind, const std::string& topName) {
    return p.OwnerName != topName && (kind == AllKinds || p.Kind == kind) && p.Lone;
}

// The mapping of one port at a time with a rebuild after each, as the command is described:
// each new top port line lands before the first instance and shifts the ports after it by one,
// so index i + 1 is the mapped port again, now wired, and the scan goes on behind it.
int MapOneByOne(ProjectModel& model, char kind) {
    int n = 0;
    for (std::size_t i = 0; i < model.PortList.size(); ++i) {
        const port p = model.PortList[i];
        if (!TakenByKind(p, kind, model.TopName))
            continue;
        if (MapPortToTop(model, p, model.FirstMduLine, "", true)) {
            ++n;
            model.UpdatePicExecute(RebuildSender::MainWindow);
        }
    }
    return n;
}

// Whether every new top port line, inserted before the first instance, joins the top module's
// ports and comes after them: then mapping lone ports one at a time visits every port of the
// last rebuild once, in order, and changes nothing the next mapping reads but the names taken.
bool MappingsCanShareOneRebuild(const ProjectModel& model) {
    return model.TopMdu == 0 && model.MduList[0].LineIndex < model.FirstMduLine;
}

} // namespace

int MapLonePortsOfKind(ProjectModel& model, char kind) {
    if (!MappingsCanShareOneRebuild(model))
        return MapOneByOne(model, kind);
    // A lone port is on no net, so its mapping adds its top port line and one wire and reads
    // nothing of the lines but the net of a top port of the same name. The lines are changed
    // once at the end; the names the mappings take are the only state carried from one to the
    // next, and they are what the rebuild after each mapping would have added to the records.
    const NetIndex nets(model);
    std::unordered_set<std::string> taken;
    if (const mdu* top = model.TopRecord(); top->FirstPort >= 0)
        for (int i = top->FirstPort; i <= top->LastPort; ++i)
            taken.insert(model.PortList[i].Name);
    for (const wire& w : model.WireList)
        taken.insert(w.Name);

    ProjectLines topPorts;
    ProjectLines wires;
    for (const port& p : model.PortList) {
        if (!TakenByKind(p, kind, model.TopName) || MapRefused(model, p, false, true, &nets))
            continue;
        std::optional<std::string> name = RuleTopPortName(model, p);
        if (!name)
            continue;
        if (taken.count(*name)) {
            ReportTopNameTaken(model, *name, nullptr);
            continue;
        }
        topPorts.push_back(TopPortLine(model.Log, p, *name));
        const int topNet = nets.FirstLineOf(model.TopName, *name);
        if (topNet < 0) {
            wires.push_back(MakeLine({"WIRE", p.OwnerName, p.Name, model.TopName, *name, *name}));
        } else {
            // A wire already ends on a top port of that name: the port joins its net.
            const ProjectLine& line = model.LineList[topNet];
            wires.push_back(MakeLine({"WIRE", line[1], line[2], p.OwnerName, p.Name, line[5]}));
        }
        taken.insert(*name);
    }
    if (topPorts.empty())
        return 0;
    const int n = static_cast<int>(topPorts.size());
    ProjectLines& lines = model.LineList;
    lines.insert(lines.begin() + model.FirstMduLine, std::make_move_iterator(topPorts.begin()),
                 std::make_move_iterator(topPorts.end()));
    lines.insert(lines.end(), std::make_move_iterator(wires.begin()),
                 std::make_move_iterator(wires.end()));
    model.UpdatePicExecute(RebuildSender::MainWindow);
    return n;
}

namespace {

int MapKindExecute(ProjectModel& model, char kind, const char* action) {
    // Every refused mapping logs a line: the log's view takes them at once.
    MessageLog::Batch batch(model.Log);
    model.LogAction(action);
    model.TakeUndoSnapshot();
    const int n = MapLonePortsOfKind(model, kind);
    model.LogAction("Done. " + std::to_string(n) + " port(s) mapped.");
    return n;
}

} // namespace

int MapAllOrphansExecute(ProjectModel& model) {
    return MapKindExecute(model, AllKinds, "Map all the internal lone ports to top level.");
}

int MapInputsExecute(ProjectModel& model) {
    return MapKindExecute(model, 'I', "Map all the internal input lone ports to top level.");
}

int MapOutputsExecute(ProjectModel& model) {
    return MapKindExecute(model, 'O', "Map all the internal output lone ports to top level.");
}

int MapInoutsExecute(ProjectModel& model) {
    return MapKindExecute(model, 'B', "Map all the internal inout lone ports to top level.");
}

namespace {

// The mapping of undriven ports one at a time with a rebuild after each, as the command is
// described; the index moves past the new top port line as in MapOneByOne.
int MapUndrvOneByOne(ProjectModel& model) {
    int n = 0;
    std::optional<NetIndex> nets;
    for (std::size_t i = 0; i < model.PortList.size(); ++i) {
        if (!nets)
            nets.emplace(model);
        const port p = model.PortList[i];
        if (p.Lone || HasDriver(*nets, p, true))
            continue;
        if (!MapPortToTop(model, p, model.FirstMduLine, "", true))
            continue;
        ++n;
        model.LogInfo("Map undrived port " + p.Name + " (" + p.OwnerName + ").");
        nets.reset();
        model.UpdatePicExecute(RebuildSender::MainWindow);
    }
    return n;
}

// Whether every wire end on the top module is one of its ports: then a new top port is on no
// net, and its mapping only adds a wire from the net's head and renames the net.
bool TopWireEndsArePorts(const ProjectModel& model) {
    std::unordered_set<std::string> ports;
    if (const mdu* top = model.TopRecord(); top && top->FirstPort >= 0)
        for (int i = top->FirstPort; i <= top->LastPort; ++i)
            ports.insert(model.PortList[i].Name);
    for (const ProjectLine& line : model.LineList)
        if (line[FieldKind] == "W" && ((line[1] == model.TopName && !ports.count(line[2])) ||
                                       (line[3] == model.TopName && !ports.count(line[4]))))
            return false;
    return true;
}

// The undriven ports mapped on the records of one rebuild. A mapping changes no net but the
// one it maps: it adds a top port and a wire from the head and renames the net after the port.
// A top input or inout then drives the net, so its other ports are passed over; a variant top
// port does not, so the next one is mapped too and the net is renamed again. The lines change
// once at the end, the net names of each step carried by their first names.
int MapUndrvAtOnce(ProjectModel& model) {
    const NetIndex nets(model);
    std::unordered_set<std::string> topNames;
    if (const mdu* top = model.TopRecord(); top->FirstPort >= 0)
        for (int i = top->FirstPort; i <= top->LastPort; ++i)
            topNames.insert(model.PortList[i].Name);
    std::unordered_set<std::string> netNames;
    for (const wire& w : model.WireList)
        netNames.insert(w.Name);
    std::unordered_map<std::string, std::string> currentName; // by the net's name at the start
    std::unordered_set<std::string> drivenNow;
    std::vector<std::pair<std::string, std::string>> renames;

    ProjectLines topPorts;
    ProjectLines wires;
    std::vector<std::string> wireNets; // each new wire's net by its first name; empty: none
    int n = 0;
    for (const port& p : model.PortList) {
        if (p.Lone)
            continue;
        const int first = nets.FirstLineOf(p.OwnerName, p.Name);
        const ProjectLine* netLine = first >= 0 ? &model.LineList[first] : nullptr;
        const std::string net = netLine ? (*netLine)[5] : std::string();
        if ((netLine && drivenNow.count(net)) || HasDriver(nets, p, true))
            continue;
        if (MapRefused(model, p, false, true, &nets))
            continue;
        std::optional<std::string> name = RuleTopPortName(model, p);
        if (!name)
            continue;
        const auto named = currentName.find(net);
        const std::string now = !netLine                     ? std::string()
                                : named != currentName.end() ? named->second
                                                             : net;
        const bool free =
            !topNames.count(*name) && (!netNames.count(*name) || (netLine && now == *name));
        if (!free) {
            ReportTopNameTaken(model, *name, nullptr);
            continue;
        }
        topPorts.push_back(TopPortLine(model.Log, p, *name));
        topNames.insert(*name);
        if (netLine) {
            if (now != *name) {
                renames.emplace_back(now, *name);
                netNames.erase(now);
            }
            currentName[net] = *name;
            wires.push_back(
                MakeLine({"WIRE", (*netLine)[1], (*netLine)[2], model.TopName, *name, *name}));
            wireNets.push_back(net);
            if (p.Kind == 'I' || p.Kind == 'B')
                drivenNow.insert(net);
        } else {
            wires.push_back(MakeLine({"WIRE", p.OwnerName, p.Name, model.TopName, *name, *name}));
            wireNets.emplace_back();
        }
        netNames.insert(*name);
        ++n;
        model.LogInfo("Map undrived port " + p.Name + " (" + p.OwnerName + ").");
        // The scan of the description meets a port whose net is still undriven once more, just
        // behind its new top port line, and is refused the name it has just taken.
        if (netLine && !drivenNow.count(net))
            if (std::optional<std::string> again = RuleTopPortName(model, p))
                ReportTopNameTaken(model, *again, nullptr);
    }
    if (n == 0)
        return 0;
    ProjectLines& lines = model.LineList;
    lines.insert(lines.begin() + model.FirstMduLine, std::make_move_iterator(topPorts.begin()),
                 std::make_move_iterator(topPorts.end()));
    // A new wire carries the name its net has at the end; the old ones get it by the renames.
    for (std::size_t w = 0; w < wires.size(); ++w)
        if (!wireNets[w].empty())
            wires[w][5] = currentName[wireNets[w]];
    RenameNetsAtOnce(model, renames);
    lines.insert(lines.end(), std::make_move_iterator(wires.begin()),
                 std::make_move_iterator(wires.end()));
    model.UpdatePicExecute(RebuildSender::MainWindow);
    return n;
}

} // namespace

int MapUndrvExecute(ProjectModel& model) {
    MessageLog::Batch batch(model.Log);
    model.LogAction("Map all the internal undrived input ports to top level.");
    model.TakeUndoSnapshot();
    const int n = MappingsCanShareOneRebuild(model) && TopWireEndsArePorts(model)
                      ? MapUndrvAtOnce(model)
                      : MapUndrvOneByOne(model);
    model.LogAction("Done. " + std::to_string(n) + " port(s) mapped.");
    return n;
}

namespace {

// Who is connected to whom, by the rules of IsConnected, answered from one index of the lines:
// a is connected to b when a is on a net whose head h has b as a member, b being h itself or the
// end B of a line headed by h.
class Connections {
public:
    explicit Connections(const ProjectModel& model)
        : model_(model), nets_(model), seen_(model.PortList.size(), 0) {}

    static std::string Key(std::string_view inst, std::string_view portName) {
        std::string key(inst);
        key += '\t'; // no name holds a TAB: it separates the fields of the lines
        key += portName;
        return key;
    }

    // The head of the port's net, by the first line that names it; empty when on no net.
    std::optional<std::string> HeadOf(const port& p) const {
        const int first = nets_.FirstLineOf(p.OwnerName, p.Name);
        if (first < 0)
            return std::nullopt;
        const ProjectLine& line = model_.LineList[first];
        return Key(line[1], line[2]);
    }

    // The heads whose members include p: p itself and the end A of every line ending on p.
    std::vector<std::string> HeadsHolding(const port& p) const {
        std::vector<std::string> heads{Key(p.OwnerName, p.Name)};
        for (int i : nets_.LinesOf(p.OwnerName, p.Name)) {
            const ProjectLine& line = model_.LineList[i];
            if (line[3] == p.OwnerName && line[4] == p.Name)
                heads.push_back(Key(line[1], line[2]));
        }
        return heads;
    }

    // Calls visit(q) once for every port q (PortList index) connected to p.
    template <typename Visit> void ForEachConnected(const port& p, Visit visit) {
        const std::vector<std::string> heads = HeadsHolding(p);
        const std::unordered_set<std::string> holding(heads.begin(), heads.end());
        std::vector<int> touched;
        auto consider = [&](std::string_view inst, std::string_view portName) {
            const int q = model_.FindPortQuiet(std::string(inst), std::string(portName));
            if (q < 0 || seen_[q])
                return;
            seen_[q] = 1;
            touched.push_back(q);
            const port& other = model_.PortList[q];
            const bool same = other.OwnerName == p.OwnerName && other.Name == p.Name;
            const std::optional<std::string> head = same ? std::nullopt : HeadOf(other);
            if (same || (head && holding.count(*head)))
                visit(q);
        };
        for (const std::string& h : holding) {
            const std::size_t tab = h.find('\t');
            const std::string_view inst(h.data(), tab);
            const std::string_view portName(h.data() + tab + 1, h.size() - tab - 1);
            consider(inst, portName);
            for (int i : nets_.LinesHeadedBy(inst, portName)) {
                const ProjectLine& line = model_.LineList[i];
                consider(line[3], line[4]);
            }
        }
        for (int q : touched)
            seen_[q] = 0;
    }

private:
    const ProjectModel& model_;
    NetIndex nets_;
    std::vector<char> seen_;
};

struct Tally {
    int Ports = 0;
    std::int64_t Bits = 0;
    bool Counted = true;
};

std::int64_t BitsOf(const port& p) {
    return p.Numeric ? static_cast<std::int64_t>(p.Span) + 1 : 1;
}

} // namespace

void ListConnections(ProjectModel& model, char mode, const mdu* instance, const port* p) {
    MessageLog::Batch batch(model.Log);
    model.LogAction("List Connections.");
    std::string header;
    if (mode == ListInstance && instance) {
        header = " Connection Statistic of " + instance->InstName;
        if (!instance->IsTop())
            header += " (" + instance->ModuleName + ")";
    } else if (mode == ListPort && p) {
        header = " Connection Statistic of " + p->Name + " (" + p->OwnerName + ")";
    } else {
        mode = ListSelection;
        header = " Connection Statistic of the Selected Ports";
    }
    const std::string rule(header.size(), '=');
    model.LogLine(rule);
    model.LogLine(header);
    model.LogLine(rule);
    if (mode == ListPort)
        model.LogLine(" * Not including the instance " + p->OwnerName + " itself.");
    else if (mode == ListSelection)
        model.LogLine(" * Not including the selected ports' instances themselves.");

    // The sources in their order: the instance's ports, the one port, or the selection.
    std::vector<int> sources;
    if (mode == ListInstance) {
        if (instance->FirstPort >= 0)
            for (int i = instance->FirstPort; i <= instance->LastPort; ++i)
                sources.push_back(i);
    } else if (mode == ListPort) {
        const int k = model.FindPortQuiet(p->OwnerName, p->Name);
        if (k >= 0)
            sources.push_back(k);
    } else {
        for (int s : model.SelList)
            if (s >= 0 && static_cast<std::size_t>(s) < model.PortList.size())
                sources.push_back(s);
    }

    std::vector<Tally> tally(model.MduList.size());
    Connections connections(model);
    // A port connected to an earlier source is on a net already counted: its head is one that
    // holds an earlier source.
    std::unordered_set<std::string> countedHeads;
    for (int s : sources) {
        const port& src = model.PortList[s];
        if (mode == ListSelection && src.Owner >= 0)
            tally[src.Owner].Counted = false;
        const std::optional<std::string> head = connections.HeadOf(src);
        const bool seenNet = head && countedHeads.count(*head);
        for (std::string& h : connections.HeadsHolding(src))
            countedHeads.insert(std::move(h));
        if (seenNet)
            continue;
        connections.ForEachConnected(src, [&](int qi) {
            const port& q = model.PortList[qi];
            if (q.OwnerName == src.OwnerName || q.Owner < 0)
                return;
            Tally& t = tally[q.Owner];
            if (mode == ListSelection && !t.Counted)
                return;
            ++t.Ports;
            t.Bits += BitsOf(q);
        });
    }

    int count = 0;
    for (std::size_t i = 0; i < model.MduList.size(); ++i) {
        const Tally& t = tally[i];
        if (t.Ports == 0 || !t.Counted)
            continue;
        const mdu& m = model.MduList[i];
        std::string line = " With " + m.InstName;
        if (!m.IsTop())
            line += " (" + m.ModuleName + ")";
        line += " : " + std::to_string(t.Ports) + " ports / " + std::to_string(t.Bits) + " bits.";
        model.LogLine(line);
        ++count;
    }
    model.LogAction("Done. " + std::to_string(count) +
                    (count > 1 ? " instances connected." : " instance connected."));
}
