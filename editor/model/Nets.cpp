// Net queries, the admission rules of a new wire, and the wire edits.
#include "editor/model/Nets.h"

#include "editor/model/TopLevel.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <queue>
#include <utility>

const char* const CombinedBusWire = "Can't delete a wire connected to a combined bus port of the "
                                    "top module. You can delete the combined bus port first.";

namespace {

const char* const TooManyWires = "Too many wires.";

// A wire line as the queries see it: marked "W" by the last rebuild (never a suggestion).
bool IsMarkedWire(const ProjectLine& line) {
    return line[FieldKind] == "W";
}

// An ordinary WIRE line as the renaming edits see it: by its keyword, suggestions left out.
bool IsOrdinaryWireLine(const ProjectLine& line) {
    return line[0] == "WIRE" && line[FieldSuggestion] != "S";
}

bool HasEndA(const ProjectLine& line, std::string_view inst, std::string_view portName) {
    return line[1] == inst && line[2] == portName;
}

bool HasEndB(const ProjectLine& line, std::string_view inst, std::string_view portName) {
    return line[3] == inst && line[4] == portName;
}

bool Begins(const std::string& text, char c) {
    return !text.empty() && text.front() == c;
}

bool SamePort(const port& a, const port& b) {
    return a.OwnerName == b.OwnerName && a.Name == b.Name;
}

void AppendWire(ProjectModel& model, const NetEnd& a, const NetEnd& b, const std::string& name) {
    model.InsertLine(-1, {"WIRE", a.Inst, a.Port, b.Inst, b.Port, name});
}

// Every " old " in the ASSIGN texts becomes " new ". The blank after a name may start the next
// one, so the search goes on from it.
void RenameInAssignText(std::string& text, const std::string& oldName, const std::string& newName) {
    const std::string from = " " + oldName + " ";
    const std::string to = " " + newName + " ";
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size() - 1)) {
        text.replace(at, from.size(), to);
    }
}

void RenameInAssigns(ProjectModel& model, const std::string& oldName, const std::string& newName) {
    // Read through const access: a line the renaming leaves alone stays shared with the undo copy.
    const std::string from = " " + oldName + " ";
    for (ProjectLine& line : model.LineList)
        if (std::as_const(line)[0] == "ASSIGN" &&
            std::as_const(line)[1].find(from) != std::string::npos)
            RenameInAssignText(line[1], oldName, newName);
}

std::string ReplaceEvery(const std::string& text, const std::string& from, const std::string& to) {
    std::string out;
    std::size_t start = 0;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, start)) {
        out.append(text, start, at - start).append(to);
        start = at + from.size();
    }
    out.append(text, start, std::string::npos);
    return out;
}

} // namespace

NetIndex::NetIndex(const ProjectModel& model) : model_(model) {
    const ProjectLines& lines = model.LineList;
    std::size_t marked = 0;
    for (const ProjectLine& line : lines)
        marked += IsMarkedWire(line) ? 1 : 0;
    wires_.reserve(marked);
    ends_.reserve(marked * 2);
    endIndex_.Reserve(marked * 2);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ProjectLine& line = lines[i];
        if (!IsMarkedWire(line))
            continue;
        const int a = FindEnd(line[1], line[2]);
        const int b = HasEndA(line, line[3], line[4]) ? a : FindEnd(line[3], line[4]);
        wires_.push_back({static_cast<int>(i), a, b, line[0] == "WIRE"});
    }
    Lay();
}

NetIndex::NetIndex(const ProjectModel& model, FromRebuild) : model_(model), fromRebuild_(true) {
    // Every port is an end of its own number; two ports of one name pair share the first one's,
    // as a lookup by name finds the first.
    const std::vector<port>& ports = model.PortList;
    portEnds_ = ports.size();
    ends_.resize(portEnds_);
    for (std::size_t k = 0; k < portEnds_; ++k)
        ends_[k] = End{ports[k].OwnerName, ports[k].Name};
    if (!model.PortNamesUnique()) {
        canonical_.resize(portEnds_);
        for (std::size_t k = 0; k < portEnds_; ++k)
            canonical_[k] = model.FindPortQuiet(ports[k].OwnerName, ports[k].Name);
    }
    const std::vector<ProjectModel::WireEnds>& found = model.RebuildWireEnds();
    wires_.reserve(found.size());
    for (std::size_t w = 0; w < found.size() && w < model.WireList.size(); ++w) {
        const ProjectModel::WireEnds& e = found[w];
        const wire& r = model.WireList[w];
        const int a = e.A >= 0 ? e.A : FindEnd(r.InstA, r.PortA);
        const int b = e.B >= 0 ? e.B : FindEnd(r.InstB, r.PortB);
        wires_.push_back({e.Line, a, b, e.WireKeyword});
    }
    Lay();
}

int NetIndex::FindEnd(std::string_view inst, std::string_view portName) {
    const std::size_t hash = RecordIndex::Hash(inst, portName);
    auto same = [&](int k) { return ends_[k].Inst == inst && ends_[k].Port == portName; };
    int k = endIndex_.Find(hash, same);
    if (k < 0) {
        k = static_cast<int>(ends_.size());
        ends_.push_back(End{inst, portName});
        endIndex_.Add(hash, k, same);
    }
    return k;
}

void NetIndex::Lay() {
    // The ends are counted first, then each end's wires go into its stretch of the flat lists in
    // line order.
    for (const Wire& w : wires_) {
        ++ends_[w.A].Count;
        ++ends_[w.A].CountHeaded;
        if (w.B != w.A)
            ++ends_[w.B].Count;
    }
    int first = 0;
    int firstHeaded = 0;
    for (End& e : ends_) {
        e.First = first;
        e.FirstHeaded = firstHeaded;
        first += e.Count;
        firstHeaded += e.CountHeaded;
        e.Count = 0;
        e.CountHeaded = 0;
    }
    lines_.resize(static_cast<std::size_t>(first));
    wireOf_.resize(static_cast<std::size_t>(first));
    headed_.resize(static_cast<std::size_t>(firstHeaded));
    wireHeaded_.resize(static_cast<std::size_t>(firstHeaded));
    for (std::size_t k = 0; k < wires_.size(); ++k) {
        const Wire& w = wires_[k];
        const int number = static_cast<int>(k);
        End& a = ends_[w.A];
        lines_[a.First + a.Count] = w.Line;
        wireOf_[a.First + a.Count++] = number;
        headed_[a.FirstHeaded + a.CountHeaded] = w.Line;
        wireHeaded_[a.FirstHeaded + a.CountHeaded++] = number;
        if (w.B != w.A) {
            End& b = ends_[w.B];
            lines_[b.First + b.Count] = w.Line;
            wireOf_[b.First + b.Count++] = number;
        }
    }
}

const NetIndex::End* NetIndex::Find(std::string_view inst, std::string_view portName) const {
    if (fromRebuild_) {
        const int k = model_.FindPortQuiet(std::string(inst), std::string(portName));
        if (k >= 0)
            return &ends_[static_cast<std::size_t>(k)];
    }
    const int k = endIndex_.Find(RecordIndex::Hash(inst, portName), [&](int e) {
        return ends_[e].Inst == inst && ends_[e].Port == portName;
    });
    return k < 0 ? nullptr : &ends_[k];
}

int NetIndex::EndOfPort(const port& p) const {
    const std::vector<port>& ports = model_.PortList;
    if (fromRebuild_ && !ports.empty() && &p >= ports.data() && &p < ports.data() + ports.size()) {
        const std::size_t k = static_cast<std::size_t>(&p - ports.data());
        return canonical_.empty() ? static_cast<int>(k) : canonical_[k];
    }
    const End* e = Find(p.OwnerName, p.Name);
    return e ? static_cast<int>(e - ends_.data()) : -1;
}

std::span<const int> NetIndex::WiresOf(int end) const {
    if (end < 0)
        return {};
    const End& e = ends_[static_cast<std::size_t>(end)];
    return {wireOf_.data() + e.First, static_cast<std::size_t>(e.Count)};
}

std::span<const int> NetIndex::WiresHeadedBy(int end) const {
    if (end < 0)
        return {};
    const End& e = ends_[static_cast<std::size_t>(end)];
    return {wireHeaded_.data() + e.FirstHeaded, static_cast<std::size_t>(e.CountHeaded)};
}

int NetIndex::EndLine(int end) const {
    if (end < 0)
        return -1;
    if (fromRebuild_) {
        // The lines are those of the rebuild, so a port's line is where its record says, and an
        // end that names no port has no line.
        const std::size_t k = static_cast<std::size_t>(end);
        return k < portEnds_ ? model_.PortList[k].LineIndex : -1;
    }
    const End& e = ends_[static_cast<std::size_t>(end)];
    return MarkedPortLine(model_, std::string(e.Inst), std::string(e.Port));
}

char NetIndex::EndKeyword(int end) const {
    if (end < 0)
        return 0;
    if (fromRebuild_) {
        const std::size_t k = static_cast<std::size_t>(end);
        if (k >= portEnds_)
            return 0;
        // The kind was read from the keyword's first character, which the lines still hold.
        switch (model_.PortList[k].Kind) {
        case 'V':
            return 'K';
        default:
            return model_.PortList[k].Kind;
        }
    }
    const int at = EndLine(end);
    if (at < 0)
        return 0;
    const std::string& keyword = model_.LineList[static_cast<std::size_t>(at)][0];
    return keyword.empty() ? 0 : keyword.front();
}

bool NetIndex::EndOnTop(int end) const {
    return end >= 0 && ends_[static_cast<std::size_t>(end)].Inst == model_.TopName;
}

int NetIndex::FirstLineOf(std::string_view inst, std::string_view portName) const {
    const End* e = Find(inst, portName);
    return e && e->Count > 0 ? lines_[e->First] : -1;
}

std::span<const int> NetIndex::LinesOf(std::string_view inst, std::string_view portName) const {
    const End* e = Find(inst, portName);
    if (!e)
        return {};
    return {lines_.data() + e->First, static_cast<std::size_t>(e->Count)};
}

std::span<const int> NetIndex::LinesHeadedBy(std::string_view inst,
                                             std::string_view portName) const {
    const End* e = Find(inst, portName);
    if (!e)
        return {};
    return {headed_.data() + e->FirstHeaded, static_cast<std::size_t>(e->CountHeaded)};
}

std::string NetIndex::Keyword(std::string_view inst, std::string_view portName) const {
    const int at = MarkedPortLine(model_, std::string(inst), std::string(portName));
    return at < 0 ? std::string() : model_.LineList[at][0];
}

const NetIndex& NetsOf(const ProjectModel& model, std::optional<NetIndex>& scratch) {
    if (!model.NetsAsRebuilt())
        return scratch.emplace(model);
    if (!model.netsCache_ || model.netsCacheSerial_ != model.RebuildSerial()) {
        model.netsCache_ = std::make_unique<NetIndex>(model, NetIndex::FromRebuild{});
        model.netsCacheSerial_ = model.RebuildSerial();
    }
    return *model.netsCache_;
}

int MarkedPortLine(const ProjectModel& model, const std::string& inst,
                   const std::string& portName) {
    // The port's record points at its line while the lines are those of the last rebuild; a
    // line that no longer carries the record's mark is looked up by the marks instead.
    const ProjectLines& lines = model.LineList;
    const int k = model.FindPortQuiet(inst, portName);
    if (k >= 0) {
        const int li = model.PortList[k].LineIndex;
        if (li >= 0 && static_cast<std::size_t>(li) < lines.size()) {
            const ProjectLine& line = lines[li];
            if (line[FieldKind] == "P" && line[3] == portName && HoldsDecimal(line[FieldIndex], k))
                return li;
        }
    }
    std::size_t i = 0;
    while (i < lines.size() && !(lines[i][FieldKind] == "M" && lines[i][2] == inst))
        ++i;
    for (++i; i < lines.size(); ++i) {
        const std::string& kind = lines[i][FieldKind];
        if (kind != "P" && kind != "R")
            break;
        if (kind == "P" && lines[i][3] == portName)
            return static_cast<int>(i);
    }
    return -1;
}

bool IsTopPort(const ProjectModel& model, const port& p) {
    return p.Owner >= 0 && static_cast<std::size_t>(p.Owner) < model.MduList.size() &&
           model.MduList[p.Owner].IsTop();
}

bool IsLonePort(const ProjectModel& model, const std::string& inst, const std::string& portName) {
    NetOfPort net;
    return !FindNetOfPort(model, inst, portName, net);
}

bool FindNetOfPort(const ProjectModel& model, const std::string& inst, const std::string& portName,
                   NetOfPort& net) {
    for (const ProjectLine& line : model.LineList) {
        if (!IsMarkedWire(line))
            continue;
        if (HasEndA(line, inst, portName) || HasEndB(line, inst, portName)) {
            net.Head = {line[1], line[2]};
            net.Name = line[5];
            return true;
        }
    }
    return false;
}

bool IsConnected(const ProjectModel& model, const port& a, const port& b) {
    return IsConnected(NetIndex(model), a, b);
}

bool IsConnected(const NetIndex& nets, const port& a, const port& b) {
    if (SamePort(a, b))
        return true;
    const std::span<const int> wires = nets.WiresOf(nets.EndOfPort(a));
    if (wires.empty())
        return false;
    const int head = nets.WireAt(wires.front()).A;
    const int other = nets.EndOfPort(b);
    if (other < 0)
        return false;
    if (other == head)
        return true;
    for (int w : nets.WiresHeadedBy(head))
        if (nets.WireAt(w).B == other)
            return true;
    return false;
}

std::unordered_set<std::string> NamesInUse(const ProjectModel& model) {
    std::unordered_set<std::string> names;
    for (const wire& w : model.WireList)
        names.insert(w.Name);
    for (const mdu& m : model.MduList) {
        names.insert(m.InstName);
        if (!m.ModuleName.empty())
            names.insert(m.ModuleName);
    }
    for (const port& p : model.PortList)
        if (IsTopPort(model, p))
            names.insert(p.Name);
    return names;
}

bool NameInUse(const ProjectModel& model, const std::string& name) {
    // One look through the records, without gathering them: most names asked for are free.
    for (const wire& w : model.WireList)
        if (w.Name == name)
            return true;
    for (const mdu& m : model.MduList)
        if (m.InstName == name || (!m.ModuleName.empty() && m.ModuleName == name))
            return true;
    for (const port& p : model.PortList)
        if (p.Name == name && IsTopPort(model, p))
            return true;
    return false;
}

bool HasDriver(const NetIndex& nets, const port& p, bool topDrives) {
    const ProjectModel& model = nets.Model();
    const bool top = IsTopPort(model, p);
    if (p.Kind == 'O' && !top)
        return true;
    if (topDrives && top && (p.Kind == 'I' || p.Kind == 'B'))
        return true;
    const std::span<const int> wires = nets.WiresOf(nets.EndOfPort(p));
    if (wires.empty())
        return false;
    return nets.NetDrivenAt(nets.WireAt(wires.front()).A, topDrives);
}

bool NetIndex::NetDriven(std::string_view headInst, std::string_view headPort,
                         bool topDrives) const {
    const End* head = Find(headInst, headPort);
    if (!head) {
        // A head no marked line names: only its own keyword can drive.
        const std::string keyword = Keyword(headInst, headPort);
        if (headInst != model_.TopName)
            return Begins(keyword, 'O');
        return topDrives && (Begins(keyword, 'I') || Begins(keyword, 'B'));
    }
    return NetDrivenAt(static_cast<int>(head - ends_.data()), topDrives);
}

bool NetIndex::NetDrivenAt(int head, bool topDrives) const {
    std::vector<signed char>& known = driven_[topDrives ? 1 : 0];
    if (known.empty())
        known.assign(ends_.size(), -1);
    signed char& answer = known[static_cast<std::size_t>(head)];
    if (answer >= 0)
        return answer != 0;
    // The editor heads a net by a module port, but a project written elsewhere may head it by a
    // top port: the head is judged as every other end is, or a top input heading the net would
    // drive nothing and a top output would pass for a driver.
    auto drives = [&](int end) {
        const char keyword = EndKeyword(end);
        if (!EndOnTop(end))
            return keyword == 'O';
        return topDrives && (keyword == 'I' || keyword == 'B');
    };
    bool driven = drives(head);
    for (int w : WiresHeadedBy(head)) {
        if (driven)
            break;
        const Wire& wire = WireAt(w);
        if (wire.B != wire.A && drives(wire.B))
            driven = true;
    }
    answer = driven ? 1 : 0;
    return driven;
}

bool HasDriver(const ProjectModel& model, const port& p, bool topDrives) {
    return HasDriver(NetIndex(model), p, topDrives);
}

bool HasLoad(const NetIndex& nets, const port& p) {
    const std::span<const int> wires = nets.WiresOf(nets.EndOfPort(p));
    if (wires.empty())
        return false;
    const int head = nets.WireAt(wires.front()).A;
    // Only an instance's input is a load, whichever end of the lines it stands at.
    auto loads = [&](int end) { return !nets.EndOnTop(end) && nets.EndKeyword(end) == 'I'; };
    if (loads(head))
        return true;
    for (int w : nets.WiresHeadedBy(head)) {
        const NetIndex::Wire& wire = nets.WireAt(w);
        if (wire.B != wire.A && loads(wire.B))
            return true;
    }
    return false;
}

bool HasLoad(const ProjectModel& model, const port& p) {
    return HasLoad(NetIndex(model), p);
}

namespace {

// The rules of CanConnect; a's driver is asked for last, and only when the rest allow the wire.
template <typename DrivenA>
bool CanConnectWith(const NetIndex& nets, const port& a, const port& b, DrivenA aDriven) {
    const ProjectModel& model = nets.Model();
    if (!a.Numeric || !b.Numeric || SamePort(a, b))
        return false;
    const bool variant = a.Kind == 'V' || b.Kind == 'V';
    if (a.Span != b.Span && !variant)
        return false;
    const bool topA = IsTopPort(model, a);
    const bool topB = IsTopPort(model, b);
    if (topA && topB)
        return false;
    if (!variant && ((a.Kind == 'B') != (b.Kind == 'B')))
        return false;
    if (model.StrictRule) {
        const bool moduleInA = !topA && a.Kind == 'I';
        const bool moduleInB = !topB && b.Kind == 'I';
        if ((topA && a.Kind == 'O' && moduleInB) || (topB && b.Kind == 'O' && moduleInA) ||
            (moduleInA && moduleInB))
            return false;
    }
    if (model.NoSelfWire && a.OwnerName == b.OwnerName)
        return false;
    if (a.Combined || b.Combined)
        return false;
    if (aDriven() && HasDriver(nets, b, true))
        return false;
    return true;
}

} // namespace

bool CanConnect(const NetIndex& nets, const port& a, const port& b) {
    return CanConnectWith(nets, a, b, [&] { return HasDriver(nets, a, true); });
}

bool CanConnect(const NetIndex& nets, const port& a, const port& b, bool aDriven) {
    return CanConnectWith(nets, a, b, [aDriven] { return aDriven; });
}

bool CanConnect(const ProjectModel& model, const port& a, const port& b) {
    return CanConnect(NetIndex(model), a, b);
}

std::string ExpandNamingRule(std::string_view rule, std::string_view inst,
                             std::string_view portName) {
    std::string out;
    for (std::size_t i = 0; i < rule.size(); ++i) {
        if (rule[i] == '%' && i + 1 < rule.size() && (rule[i + 1] == 'M' || rule[i + 1] == 'P')) {
            out.append(rule[i + 1] == 'M' ? inst : portName);
            ++i;
        } else {
            out.push_back(rule[i]);
        }
    }
    return out;
}

std::string NewNetName(ProjectModel& model, const port& head) {
    const std::string& p = head.Name;
    std::string candidate = p;
    for (std::size_t k = 0; k < model.ReplaceFrom.size(); ++k) {
        const std::string& f = model.ReplaceFrom[k];
        const std::string& w = model.ReplaceWith[k];
        if (f.empty())
            continue;
        const std::size_t cut = f.size() - 1;
        if (f.front() == '^') {
            // A prefix rule: "^o_" rewrites the leading "o_".
            if (p.size() >= cut && p.compare(0, cut, f, 1) == 0)
                candidate = w + p.substr(cut);
        } else if (f.find('$') == cut) {
            // A suffix rule: "_n$" rewrites the trailing "_n".
            if (p.size() >= cut && p.compare(p.size() - cut, cut, f, 0, cut) == 0)
                candidate = p.substr(0, p.size() - cut) + w;
        } else {
            candidate = ReplaceEvery(p, f, w);
        }
    }
    std::string name = ExpandNamingRule(model.WireNameRule, head.OwnerName, candidate);
    if (!NameInUse(model, name))
        return name;
    const std::unordered_set<std::string> used = NamesInUse(model);
    for (int n = 0; n <= 30000; ++n) {
        std::string numbered = name + "_" + std::to_string(n);
        if (!used.count(numbered))
            return numbered;
    }
    model.LogError(TooManyWires);
    return name;
}

bool ConnectPorts(ProjectModel& model, const port& a, const port& b) {
    // Every question is asked of one index of the lines before the edit.
    std::optional<NetIndex> scratch;
    const NetIndex& nets = NetsOf(model, scratch);
    if (!CanConnect(nets, a, b) || IsConnected(nets, a, b))
        return false;
    const bool topA = IsTopPort(model, a);
    if (topA || IsTopPort(model, b)) {
        const port& topPort = topA ? a : b;
        const port& modulePort = topA ? b : a;
        return MapPortToTop(model, modulePort, 0, topPort.Name, topPort.Kind == 'V');
    }
    if (!a.Lone && !b.Lone) {
        JoinNets(model, {a.OwnerName, a.Name}, {b.OwnerName, b.Name});
        return true;
    }
    const port& s = (!b.Lone && a.Lone) ? b : a;
    const port& t = &s == &a ? b : a;
    if (const std::span<const int> wires = nets.WiresOf(nets.EndOfPort(s)); !wires.empty()) {
        // The head and name of the first wire line of s, as FindNetOfPort finds them.
        const ProjectLine& first = std::as_const(model.LineList)[nets.WireAt(wires.front()).Line];
        const NetEnd head{first[1], first[2]};
        const std::string name = first[5];
        AppendWire(model, head, {t.OwnerName, t.Name}, name);
        return true;
    }
    AppendWire(model, {s.OwnerName, s.Name}, {t.OwnerName, t.Name}, NewNetName(model, s));
    return true;
}

void JoinNets(ProjectModel& model, const NetEnd& a, const NetEnd& b) {
    if (a == b)
        return;
    NetOfPort netA;
    NetOfPort netB;
    if (!FindNetOfPort(model, a.Inst, a.Port, netA) || !FindNetOfPort(model, b.Inst, b.Port, netB))
        return;
    if (netA.Head == netB.Head)
        return;
    // A net that reaches a top port carries that port's name, which is how the generated top
    // connects the port; joined to a net that reaches none, the whole net keeps it, or the port
    // would be left off the net it is drawn on.
    auto reachesTop = [&](const NetOfPort& net) {
        if (net.Head.Inst == model.TopName)
            return true;
        for (const ProjectLine& line : model.LineList)
            if (IsMarkedWire(line) && HasEndA(line, net.Head.Inst, net.Head.Port) &&
                line[5] == net.Name && line[3] == model.TopName)
                return true;
        return false;
    };
    const bool keepB = netB.Name != netA.Name && !reachesTop(netA) && reachesTop(netB);
    const std::string& name = keepB ? netB.Name : netA.Name;
    const std::string& gone = keepB ? netA.Name : netB.Name;
    for (ProjectLine& line : model.LineList) {
        if (!IsMarkedWire(line))
            continue;
        if (HasEndA(line, netB.Head.Inst, netB.Head.Port)) {
            line[1] = netA.Head.Inst;
            line[2] = netA.Head.Port;
            line[5] = name;
        } else if (keepB && HasEndA(line, netA.Head.Inst, netA.Head.Port) &&
                   std::as_const(line)[5] == netA.Name) {
            line[5] = name;
        }
    }
    // The net the other name stood for is gone: what the assignments said of it is said of the
    // joined net.
    if (name != gone)
        RenameInAssigns(model, gone, name);
    AppendWire(model, netA.Head, netB.Head, name);
}

void DeleteWire(ProjectModel& model, const std::string& instA, const std::string& portA,
                const std::string& instB, const std::string& portB) {
    int found = -1;
    for (std::size_t i = 0; i < model.LineList.size(); ++i) {
        const ProjectLine& line = model.LineList[i];
        if (!IsMarkedWire(line))
            continue;
        const bool forward = HasEndA(line, instA, portA) && HasEndB(line, instB, portB);
        const bool backward = HasEndA(line, instB, portB) && HasEndB(line, instA, portA);
        if (!forward && !backward)
            continue;
        const int endB = model.FindPortQuiet(line[3], line[4]);
        if (endB >= 0 && IsTopPort(model, model.PortList[endB]) && model.PortList[endB].Combined) {
            model.LogError(CombinedBusWire);
            continue;
        }
        found = static_cast<int>(i);
        break;
    }
    if (found < 0)
        return;
    const std::string netName = model.LineList[found][5];
    model.DeleteLineRecord(found);
    const bool topA = instA == model.TopName;
    const bool topB = instB == model.TopName;
    if (!topA && !topB)
        return;
    if (topA && topB) {
        model.LogError("Internal error. Do not support top ports connected.");
        return;
    }
    const NetEnd side = topB ? NetEnd{instA, portA} : NetEnd{instB, portB};
    NetOfPort rest;
    RenameNetAfterHead(model, netName,
                       FindNetOfPort(model, side.Inst, side.Port, rest) ? rest.Head : side);
}

std::string AutoNetName(const NetEnd& head) {
    return "Wire_" + head.Inst + "_" + head.Port;
}

bool RenameNetAfterHead(ProjectModel& model, const std::string& oldNet, const NetEnd& head) {
    std::string newName = AutoNetName(head);
    if (!model.CheckTopPortName(newName)) {
        newName = model.FreeWireName(1);
        if (newName.empty()) {
            model.LogError("Can not get a wire.");
            return false;
        }
    }
    if (!RenameNet(model, oldNet, newName, false)) {
        model.LogError("Internal error. Invalid wire.");
        return false;
    }
    return true;
}

bool RenameNet(ProjectModel& model, const std::string& oldName, const std::string& newName,
               bool skipCheck) {
    if (!skipCheck && !model.CheckTopPortName(newName))
        return false;
    if (oldName == newName)
        return true;
    for (ProjectLine& line : model.LineList)
        if (IsOrdinaryWireLine(line) && std::as_const(line)[5] == oldName)
            line[5] = newName;
    RenameInAssigns(model, oldName, newName);
    return true;
}

void RenameNetsAtOnce(ProjectModel& model,
                      const std::vector<std::pair<std::string, std::string>>& renames) {
    if (renames.empty())
        return;
    // The renamings of each old name, in order: a line follows a chain of them, each one taken
    // only after the one that gave the line its present name.
    std::unordered_map<std::string, std::vector<std::size_t>> byOld;
    for (std::size_t k = 0; k < renames.size(); ++k)
        byOld[renames[k].first].push_back(k);
    // The first renaming of name after the one numbered after (any, when there is none).
    using Step = std::optional<std::size_t>;
    auto next = [&](const std::string& name, Step after) -> Step {
        const auto it = byOld.find(name);
        if (it == byOld.end())
            return std::nullopt;
        const auto k = after ? std::upper_bound(it->second.begin(), it->second.end(), *after)
                             : it->second.begin();
        return k == it->second.end() ? Step() : Step(*k);
    };
    for (ProjectLine& line : model.LineList) {
        if (IsOrdinaryWireLine(line)) {
            for (Step k = next(std::as_const(line)[5], std::nullopt); k;
                 k = next(std::as_const(line)[5], k))
                line[5] = renames[*k].second;
        } else if (std::as_const(line)[0] == "ASSIGN") {
            // The renamings that can touch this text: those of a name in it (an escaped name
            // keeps its closing blank), and those of each name a renaming puts in.
            // Read through const until a renaming is due: an assignment it leaves alone stays
            // shared with the undo copy.
            const std::string& text = std::as_const(line)[1];
            std::priority_queue<std::size_t, std::vector<std::size_t>, std::greater<>> due;
            std::unordered_set<std::size_t> queued;
            auto queue = [&](const std::string& name, Step after) {
                for (Step k = next(name, after); k; k = next(name, k))
                    if (queued.insert(*k).second)
                        due.push(*k);
            };
            for (std::size_t at = 0; at < text.size();) {
                const std::size_t end = std::min(text.find(' ', at), text.size());
                if (end > at) {
                    const std::string word = text.substr(at, end - at);
                    queue(word, std::nullopt);
                    queue(word + " ", std::nullopt);
                }
                at = end + 1;
            }
            while (!due.empty()) {
                const std::size_t k = due.top();
                due.pop();
                const std::string from = " " + renames[k].first + " ";
                if (std::as_const(line)[1].find(from) == std::string::npos)
                    continue;
                RenameInAssignText(line[1], renames[k].first, renames[k].second);
                queue(renames[k].second, k);
            }
        }
    }
}

bool ModifyWire(ProjectModel& model, int topPort, const std::string& newName) {
    if (topPort < 0 || static_cast<std::size_t>(topPort) >= model.PortList.size())
        return false;
    const std::string oldName = model.PortList[topPort].Name;
    if (newName == oldName)
        return true;
    if (!model.CheckTopPortName(newName))
        return false;
    ProjectLines& lines = model.LineList;
    const int at = MarkedPortLine(model, model.TopName, oldName);
    if (at < 0)
        return true;
    lines[static_cast<std::size_t>(at)][3] = newName;
    // The wires take the new name where they name the port, but a net keeps its own name: only
    // the net named after the port follows it, whole, in the renaming below. A net named after
    // another top port, or a bus slice's net, renamed on this port's wire alone would leave its
    // head on two nets, or an assignment naming a net that is gone.
    for (ProjectLine& line : lines) {
        if (LineKind(std::as_const(line)[0]) != 'W' || std::as_const(line)[FieldSuggestion] == "S")
            continue;
        if (HasEndB(line, model.TopName, oldName))
            line[4] = newName;
        if (HasEndA(line, model.TopName, oldName))
            line[2] = newName;
    }
    if (!RenameNet(model, oldName, newName, false))
        model.LogError("Fail to modify wire.");
    return true;
}

int AcceptSuggestions(ProjectModel& model) {
    // The suggestions are taken by name before the first wire: each rebuild makes the records
    // again, so the next wire sees the nets and lone flags the one before left.
    std::vector<std::pair<NetEnd, NetEnd>> ends;
    ends.reserve(model.SuggestList.size());
    for (const wire& w : model.SuggestList)
        ends.push_back({{w.InstA, w.PortA}, {w.InstB, w.PortB}});
    int made = 0;
    for (const auto& [a, b] : ends) {
        const int ia = model.FindPortIndex(a.Inst, a.Port);
        const int ib = model.FindPortIndex(b.Inst, b.Port);
        if (ia < 0 || ib < 0)
            continue;
        if (!ConnectPorts(model, model.PortList[ia], model.PortList[ib]))
            continue;
        ++made;
        model.UpdatePicExecute(RebuildSender::MainWindow);
    }
    DropSuggestionLines(model);
    return made;
}

void DropSuggestionLines(ProjectModel& model) {
    const std::size_t before = model.LineList.size();
    const std::uint64_t edits = ProjectLine::Edits();
    std::erase_if(model.LineList,
                  [](const ProjectLine& line) { return line[FieldSuggestion] == "S"; });
    model.NoteLinesDropped(before, edits);
}
