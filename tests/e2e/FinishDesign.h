// A design described once and turned into the project lines the editor would hold for it, so
// that the generators write its work files as they do for a project of the user's.
#pragma once

#include "editor/model/ProjectLine.h"

#include <string>
#include <vector>

namespace zun::e2e {

struct DesignPort {
    char kind = 'I'; // 'I' input, 'O' output, 'B' inout
    std::string name;
    int msb = -1; // -1, -1: a one-bit port
    int lsb = -1;
    // Bound expressions as the module declares them; the numbers when empty.
    std::string msbText;
    std::string lsbText;

    bool IsVector() const { return msb >= 0; }
};

struct DesignParameter {
    std::string name;
    std::string vhdlType;
    std::string value;    // the module's default
    std::string override; // the instance's value, or empty
};

struct DesignInstance {
    std::string module;
    std::string name;
    std::vector<DesignPort> ports;
    std::vector<DesignParameter> parameters;
};

struct DesignWire {
    std::string instanceA, portA, instanceB, portB, net;
};

struct Design {
    std::string top;
    std::vector<DesignPort> ports;
    std::vector<DesignInstance> instances;
    std::vector<DesignWire> wires;
    // Field 1 of the ASSIGN lines: " target = expression ".
    std::vector<std::string> assigns;
    // The value open top outputs are tied to: '0', '1', 'Z', or 'N' for none.
    char assignOpenOut = 'N';
};

inline ProjectLine PortLine(const DesignPort& port) {
    const char* keyword = port.kind == 'I' ? "INPUT" : port.kind == 'O' ? "OUTPUT" : "BIDIR";
    const std::string msb = port.IsVector() ? std::to_string(port.msb) : "";
    const std::string lsb = port.IsVector() ? std::to_string(port.lsb) : "";
    return MakeLine({keyword, msb, lsb, port.name, "", port.msbText.empty() ? msb : port.msbText,
                     port.lsbText.empty() ? lsb : port.lsbText});
}

// The project lines: header, top module and its ports, each instance with its parameters and
// ports, the wires and the assignments.
inline ProjectLines DesignLines(const Design& design) {
    ProjectLines lines = {MakeLine({"Version:", "ZUN2012", "1.0"}),
                          MakeLine({"TOP", "", design.top})};
    for (const DesignPort& port : design.ports)
        lines.push_back(PortLine(port));
    for (const DesignInstance& instance : design.instances) {
        lines.push_back(MakeLine(
            {"MODULE", instance.module, instance.name, instance.module + ".v", "verilog"}));
        for (const DesignParameter& parameter : instance.parameters)
            lines.push_back(MakeLine({"PARAMETER", "", "", parameter.name, parameter.value,
                                      parameter.override, "K", parameter.vhdlType}));
        for (const DesignPort& port : instance.ports)
            lines.push_back(PortLine(port));
    }
    for (const DesignWire& wire : design.wires)
        lines.push_back(
            MakeLine({"WIRE", wire.instanceA, wire.portA, wire.instanceB, wire.portB, wire.net}));
    for (const std::string& assign : design.assigns)
        lines.push_back(MakeLine({"ASSIGN", assign}));
    return lines;
}

} // namespace zun::e2e
