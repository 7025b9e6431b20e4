// A design described once and written as the editor hands it to the finishing jobs: the
// connection file and the Verilog or VHDL top skeleton, in exactly the generators' formats.
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace zun::e2e {

struct DesignPort {
    char kind = 'I'; // 'I' input, 'O' output, 'B' inout
    std::string name;
    int msb = -1; // -1, -1: a one-bit port
    int lsb = -1;
    // Bound expressions as a component declares them (VHDL); the numbers when empty.
    std::string msbText;
    std::string lsbText;
    // VHDL: an output port that is read inside the design (written as buffer).
    bool buffer = false;

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
    // Top outputs tied to this value ('0', '1' or 'Z').
    std::vector<std::pair<std::string, char>> tieOffs;
};

inline std::string Format(const char* format, const std::string& a) {
    std::vector<char> buffer(a.size() + 64);
    std::snprintf(buffer.data(), buffer.size(), format, a.c_str());
    return buffer.data();
}

inline std::string Format(const char* format, const std::string& a, const std::string& b) {
    std::vector<char> buffer(a.size() + b.size() + 64);
    std::snprintf(buffer.data(), buffer.size(), format, a.c_str(), b.c_str());
    return buffer.data();
}

inline std::string Format(const char* format, const std::string& a, const std::string& b,
                          const std::string& c) {
    std::vector<char> buffer(a.size() + b.size() + c.size() + 64);
    std::snprintf(buffer.data(), buffer.size(), format, a.c_str(), b.c_str(), c.c_str());
    return buffer.data();
}

inline std::string Fields(std::vector<std::string> fields) {
    fields.resize(8);
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i)
        line += (i ? "\t" : "") + fields[i];
    return line + "\r\n";
}

inline std::string PortLine(const DesignPort& port) {
    const char* keyword = port.kind == 'I' ? "INPUT" : port.kind == 'O' ? "OUTPUT" : "BIDIR";
    std::string msb = port.IsVector() ? std::to_string(port.msb) : "";
    std::string lsb = port.IsVector() ? std::to_string(port.lsb) : "";
    std::string msbText = port.msbText.empty() ? msb : port.msbText;
    std::string lsbText = port.lsbText.empty() ? lsb : port.lsbText;
    return Fields({keyword, msb, lsb, port.name, "", msbText, lsbText});
}

// "prj.tmp": every project line, fields 0 to 7, CR LF.
inline std::string ConnectionFile(const Design& design) {
    std::string text = Fields({"Version:", "ZUN2012", "1.0"});
    text += Fields({"TOP", "", design.top});
    for (const DesignPort& port : design.ports)
        text += PortLine(port);
    for (const DesignInstance& instance : design.instances) {
        text +=
            Fields({"MODULE", instance.module, instance.name, instance.module + ".v", "verilog"});
        for (const DesignParameter& parameter : instance.parameters)
            text += Fields({"PARAMETER", "", "", parameter.name, parameter.value,
                            parameter.override, "K", parameter.vhdlType});
        for (const DesignPort& port : instance.ports)
            text += PortLine(port);
    }
    for (const DesignWire& wire : design.wires)
        text += Fields({"WIRE", wire.instanceA, wire.portA, wire.instanceB, wire.portB, wire.net});
    for (const std::string& assign : design.assigns)
        text += Fields({"ASSIGN", assign});
    return text;
}

// Lines joined with CR LF, as the editor saves its code buffer.
inline std::string SavedLines(const std::string& text) {
    std::string saved;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            saved += line + "\r\n";
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        saved += line + "\r\n";
    return saved;
}

inline std::string VerilogRange(const DesignPort& port) {
    return port.IsVector() ? "[" + std::to_string(port.msb) + ":" + std::to_string(port.lsb) + "]"
                           : "";
}

// "obj.tmp" for a Verilog top: 1995-style header, declarations, instances with "(__)",
// defparams, tie-offs and assignments.
inline std::string VerilogSkeleton(const Design& design) {
    std::string head = "module " + design.top + "(\n";
    std::string declarations;
    for (std::size_t i = 0; i < design.ports.size(); ++i) {
        const DesignPort& port = design.ports[i];
        head += Format(i + 1 < design.ports.size() ? "\t%-20s ,\n" : "\t%-20s \n", port.name);
        const char* word = port.kind == 'I' ? "input  " : port.kind == 'O' ? "output " : "inout  ";
        declarations += word + Format("%-10s %-20s ;\n", VerilogRange(port), port.name);
    }
    head += ");\n" + declarations + "\n";
    head += "\r\n//Instantiate cell modules\r\n";
    for (const DesignInstance& instance : design.instances) {
        head += instance.module + " " + instance.name + "(\n";
        for (std::size_t i = 0; i < instance.ports.size(); ++i)
            head += Format(i + 1 < instance.ports.size() ? "\t.%-20s (__),\n" : "\t.%-20s (__)\n",
                           instance.ports[i].name);
        head += ");\n";
        for (const DesignParameter& parameter : instance.parameters)
            if (!parameter.override.empty() && parameter.override != parameter.value)
                head += "defparam " + instance.name + "." + parameter.name + " = " +
                        parameter.override + " ;\n";
    }
    std::string tail;
    for (const auto& [name, value] : design.tieOffs) {
        int span = 0;
        for (const DesignPort& port : design.ports)
            if (port.name == name && port.IsVector())
                span = port.msb > port.lsb ? port.msb - port.lsb : port.lsb - port.msb;
        tail += "\r\nassign " + name + " ={" + std::to_string(span + 1) + "{1'b" + value + "}};";
    }
    for (const std::string& assign : design.assigns)
        tail += "\r\nassign " + assign + ";";
    return SavedLines(head + tail);
}

inline std::string VhdlType(const DesignPort& port, bool expressions) {
    if (!port.IsVector())
        return "std_logic";
    std::string msb =
        expressions && !port.msbText.empty() ? port.msbText : std::to_string(port.msb);
    std::string lsb =
        expressions && !port.lsbText.empty() ? port.lsbText : std::to_string(port.lsb);
    return Format(port.msb >= port.lsb ? "std_logic_vector(%4s downto %4s)"
                                       : "std_logic_vector(%4s to %4s)",
                  msb, lsb);
}

inline std::string VhdlMode(const DesignPort& port) {
    if (port.kind == 'I')
        return ":in     ";
    if (port.kind == 'B')
        return ":inout  ";
    return port.buffer ? ":buffer " : ":out    ";
}

// "obj.tmp" for a VHDL top: entity, components, the port-name block, instances with "=> __",
// tie-offs and assignments.
inline std::string VhdlSkeleton(const Design& design) {
    std::string text = "library IEEE;\nuse IEEE.std_logic_1164.all;\n";
    text += "entity " + design.top + " is port(\n";
    std::string signals = "--Internal Signals";
    for (std::size_t i = 0; i < design.ports.size(); ++i) {
        const DesignPort& port = design.ports[i];
        signals += "\n" + port.name;
        text +=
            Format("\t%-20s ", port.name) + VhdlMode(port) + Format("%-35s", VhdlType(port, false));
        if (i + 1 < design.ports.size())
            text += ";\n";
    }
    text += ");\nend " + design.top + ";";
    text += "\narchitecture ZUN2012_Arch of " + design.top + " is\n";
    std::string components;
    for (const DesignInstance& instance : design.instances) {
        std::string head = "\ncomponent " + instance.module + "  ";
        if (components.find(head) != std::string::npos)
            continue;
        components += head;
        if (!instance.parameters.empty()) {
            components += "\n\tgeneric(";
            for (std::size_t i = 0; i < instance.parameters.size(); ++i) {
                const DesignParameter& parameter = instance.parameters[i];
                components += Format("\n\t\t%-20s : %-20s :=%-5s", parameter.name,
                                     parameter.vhdlType, parameter.value);
                components += i + 1 < instance.parameters.size() ? ";" : ");";
            }
        }
        components += "\n\tport(\n";
        for (std::size_t i = 0; i < instance.ports.size(); ++i) {
            const DesignPort& port = instance.ports[i];
            components += Format("\t\t%-20s ", port.name) + VhdlMode(port) +
                          Format("%-35s", VhdlType(port, true));
            if (i + 1 < instance.ports.size())
                components += ";\n";
        }
        components += ");\nend component;\n";
    }
    text += components + signals + "\n--Internal Signals End" + "\nbegin";
    for (const DesignInstance& instance : design.instances) {
        text += "\n" + instance.name + ":" + instance.module + " ";
        if (!instance.parameters.empty()) {
            text += "\n\tgeneric map(";
            for (std::size_t i = 0; i < instance.parameters.size(); ++i) {
                const DesignParameter& parameter = instance.parameters[i];
                text += Format("\n\t\t%-20s => %-5s", parameter.name,
                               parameter.override.empty() ? parameter.value : parameter.override);
                text += i + 1 < instance.parameters.size() ? "," : ")";
            }
        }
        text += "\n\tport map(\n";
        for (std::size_t i = 0; i < instance.ports.size(); ++i)
            text += Format("\t\t%-20s => __", instance.ports[i].name) +
                    (i + 1 < instance.ports.size() ? ",\n" : "");
        text += ");\n";
    }
    for (const auto& [name, value] : design.tieOffs) {
        bool vector = false;
        for (const DesignPort& port : design.ports)
            if (port.name == name)
                vector = port.IsVector();
        text += Format(vector ? "\r\n%-20s <=(OTHERS=>'%s');" : "\r\n%-20s <='%s';", name,
                       std::string(1, value));
    }
    for (const std::string& assign : design.assigns) {
        std::string vhdl = assign;
        std::size_t equal = vhdl.find(" = ");
        if (equal != std::string::npos)
            vhdl.replace(equal, 3, " <= ");
        text += "\r\n" + vhdl + ";";
    }
    text += "\nend ZUN2012_Arch;";
    return SavedLines(text);
}

// What the editor does with the finished Verilog: the "wire " lines move in front of the marker
// line (each in front of the one moved before), and "endmodule" closes the module.
inline std::string CloseVerilogTop(const std::string& finished) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < finished.size(); ++i) {
        if (finished[i] == '\r')
            continue;
        if (finished[i] == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += finished[i];
        }
    }
    lines.push_back(line);
    std::size_t marker = 0;
    while (marker < lines.size() && lines[marker] != "//Instantiate cell modules")
        ++marker;
    std::vector<std::string> wires;
    std::vector<std::string> rest;
    for (const std::string& l : lines)
        (l.compare(0, 5, "wire ") == 0 ? wires : rest).push_back(l);
    std::vector<std::string> closed(rest.begin(), rest.begin() + static_cast<long>(marker));
    for (auto w = wires.rbegin(); w != wires.rend(); ++w)
        closed.push_back(*w);
    closed.insert(closed.end(), rest.begin() + static_cast<long>(marker), rest.end());
    closed.push_back("");
    closed.push_back("endmodule");
    std::string text;
    for (const std::string& l : closed)
        text += l + "\n";
    return text;
}

} // namespace zun::e2e
