// HasDriver and HasLoad for every port of a design at once: what a net tells is worked out once
// per net, so asking it for each of a large net's ports stays linear in the ports.
#pragma once

#include "editor/model/Nets.h"

#include <string>
#include <unordered_map>

class NetFacts {
public:
    // Valid while the model's lines and records stay as the last rebuild left them.
    explicit NetFacts(const ProjectModel& model) : nets_(model) {}

    bool HasDriver(const port& p, bool topDrives);
    bool HasLoad(const port& p);
    const NetIndex& Nets() const { return nets_; }

private:
    // The head of the port's net as a key, or empty when the port is on no net.
    std::string HeadKey(const port& p) const;

    NetIndex nets_;
    std::unordered_map<std::string, bool> driven_[2]; // by topDrives
    std::unordered_map<std::string, bool> loaded_;
};
