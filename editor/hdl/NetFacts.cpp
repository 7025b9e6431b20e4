// Per-net answers of HasDriver and HasLoad.
#include "editor/hdl/NetFacts.h"

std::string NetFacts::HeadKey(const port& p) const {
    const int first = nets_.FirstLineOf(p.OwnerName, p.Name);
    if (first < 0)
        return {};
    const ProjectLine& line = nets_.Model().LineList[static_cast<std::size_t>(first)];
    // A TAB never stands inside a field, so it keeps instance and port apart.
    return line[1] + '\t' + line[2];
}

bool NetFacts::HasDriver(const port& p, bool topDrives) {
    const std::string key = HeadKey(p);
    if (key.empty())
        return ::HasDriver(nets_, p, topDrives);
    // A port that drives its net by itself answers without the net.
    const bool top = IsTopPort(nets_.Model(), p);
    if ((p.Kind == 'O' && !top) || (topDrives && top && (p.Kind == 'I' || p.Kind == 'B')))
        return true;
    auto& cache = driven_[topDrives ? 1 : 0];
    auto it = cache.find(key);
    if (it == cache.end()) {
        // A variant port of no instance is nobody's driver on its own, so HasDriver answers
        // for the net alone.
        port probe = p;
        probe.Kind = 'V';
        probe.Owner = -1;
        it = cache.emplace(key, ::HasDriver(nets_, probe, topDrives)).first;
    }
    return it->second;
}

bool NetFacts::HasLoad(const port& p) {
    const std::string key = HeadKey(p);
    if (key.empty())
        return false;
    auto it = loaded_.find(key);
    if (it == loaded_.end())
        it = loaded_.emplace(key, ::HasLoad(nets_, p)).first;
    return it->second;
}

namespace {

bool IsInputLine(const ProjectModel& model, std::string_view inst, std::string_view portName) {
    const int at = MarkedPortLine(model, std::string(inst), std::string(portName));
    return at >= 0 && !model.LineList[static_cast<std::size_t>(at)][0].empty() &&
           model.LineList[static_cast<std::size_t>(at)][0][0] == 'I';
}

} // namespace

TopOutputLoads::TopOutputLoads(const ProjectModel& model, const mdu& top) {
    if (top.FirstPort < 0 || top.LastPort < 0)
        return;
    for (int k = top.FirstPort; k <= top.LastPort; ++k) {
        const port& p = model.PortList[static_cast<std::size_t>(k)];
        inst_ = p.OwnerName;
        if (p.Kind == 'O')
            outputs_.try_emplace(p.Name);
    }
    if (outputs_.empty())
        return;
    const ProjectLines& lines = model.LineList;
    auto isMarked = [](const ProjectLine& line) { return line[FieldKind] == "W"; };
    auto output = [&](std::string_view inst, std::string_view name) -> Net* {
        if (inst != inst_)
            return nullptr;
        auto it = outputs_.find(name);
        return it == outputs_.end() ? nullptr : &it->second;
    };
    // Each output's first line, in line order, and the head of its net there.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ProjectLine& line = lines[i];
        if (!isMarked(line))
            continue;
        for (Net* net : {output(line[1], line[2]), output(line[3], line[4])})
            if (net && net->First < 0)
                net->First = static_cast<int>(i);
    }
    // A head that is an input is the load; else a port of another instance that the head's
    // lines reach is.
    std::unordered_map<std::string_view, std::vector<Net*>> byHeadPort;
    for (auto& [name, net] : outputs_) {
        if (net.First < 0)
            continue;
        const ProjectLine& head = lines[static_cast<std::size_t>(net.First)];
        if (IsInputLine(model, head[1], head[2]))
            net.Loaded = true;
        else
            byHeadPort[head[2]].push_back(&net);
    }
    if (byHeadPort.empty())
        return;
    for (const ProjectLine& line : lines) {
        if (!isMarked(line) || line[3] == model.TopName)
            continue;
        auto it = byHeadPort.find(line[2]);
        if (it == byHeadPort.end())
            continue;
        bool loads = false;
        bool asked = false;
        for (Net* net : it->second) {
            const ProjectLine& head = lines[static_cast<std::size_t>(net->First)];
            if (net->Loaded || head[1] != line[1])
                continue;
            if (!asked) {
                loads = IsInputLine(model, line[3], line[4]);
                asked = true;
            }
            net->Loaded = loads;
        }
    }
}

bool TopOutputLoads::HasLoad(const port& p) const {
    if (p.OwnerName != inst_)
        return false;
    auto it = outputs_.find(p.Name);
    return it != outputs_.end() && it->second.Loaded;
}
