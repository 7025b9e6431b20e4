// HasDriver and HasLoad for every port of a design at once: what a net tells is worked out once
// per net, so asking it for each of a large net's ports stays linear in the ports.
#pragma once

#include "editor/model/Nets.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

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

// HasLoad of the outputs of one instance, the top, in two walks of the lines and without an
// index of every port: what the VHDL texts ask, once per output of the top.
class TopOutputLoads {
public:
    // Valid while the model's lines and records stay as the last rebuild left them.
    TopOutputLoads(const ProjectModel& model, const mdu& top);

    // The answer of HasLoad for an output of that instance; false for any other port.
    bool HasLoad(const port& p) const;

private:
    struct Net {
        int First = -1; // the first marked wire line with the output at either end
        bool Loaded = false;
    };
    std::string_view inst_;
    std::unordered_map<std::string_view, Net> outputs_; // by port name
};
