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
