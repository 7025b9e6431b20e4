// The Verilog and VHDL test fixtures.
#include "editor/hdl/TestFixture.h"

#include "editor/hdl/GenText.h"
#include "editor/hdl/TopCommon.h"
#include "editor/model/ProjectModel.h"
#include "editor/model/Prompt.h"

#include <vector>

const char* const NoTopLevelPortsFound = "No top level ports found.";

namespace {

// The top's ports in order; empty when it has none.
std::vector<const port*> TopPortsOf(const ProjectModel& model, const mdu& top) {
    std::vector<const port*> ports;
    if (HasPorts(top))
        for (int k = top.FirstPort; k <= top.LastPort; ++k)
            ports.push_back(&model.PortList[static_cast<std::size_t>(k)]);
    return ports;
}

void WarnWidths(ProjectModel& model, const std::vector<const port*>& ports) {
    for (const port* p : ports)
        if (!p->Numeric)
            LogWidthNotNumeric(model, *p);
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += lines[i];
    }
    return text;
}

std::string VhdlType(const ProjectModel& model, const port& p) {
    if (p.WidthText.empty())
        return "STD_LOGIC";
    const PortBounds b = DecimalBounds(model, p);
    // Runs down only when the MSB is above the LSB; a width that is no number is written as
    // declared, downwards.
    const bool down = p.Numeric ? p.Msb > p.Lsb : true;
    return "STD_LOGIC_VECTOR(" + b.Msb + (down ? " downto " : " to ") + b.Lsb + ")";
}

bool Show(Prompt& prompt, GenTextModel& window, const std::optional<FixtureText>& fixture) {
    if (!fixture) {
        prompt.Message(NoTopLevelPortsFound);
        return false;
    }
    window.SetText(fixture->Text);
    window.Caption = fixture->Caption;
    window.SaveFilterIndex = fixture->FilterIndex;
    window.SaveFileName = fixture->FileName;
    window.CstmPrtMode = false;
    window.GenStyle = PlainTextStyle;
    if (window.Show)
        window.Show();
    return true;
}

} // namespace

std::optional<FixtureText> VerilogFixture(ProjectModel& model) {
    const mdu* top = FindTopModule(model);
    if (!top || !HasPorts(*top))
        return std::nullopt;
    const std::string& t = top->Title;
    const std::vector<const port*> ports = TopPortsOf(model, *top);
    WarnWidths(model, ports);

    std::vector<std::string> inputs;
    std::vector<std::string> outputs;
    std::vector<std::string> connections;
    for (const port* p : ports) {
        const std::string w = p->WidthText.empty() ? std::string() : "[" + p->WidthText + "]";
        (p->Kind == 'I' ? inputs : outputs)
            .push_back((p->Kind == 'I' ? "reg " : "wire ") + w + " " + p->Name + " ;");
        // The top leaves a variant port out of its port list: the fixture keeps the wire and
        // connects nothing to it.
        if (p->Kind != 'V')
            connections.push_back("\t." + p->Name + " ( " + p->Name + " )");
    }
    std::vector<std::string> lines = {"//Test Fixture by ZUN2012.", "module tb_" + t + "();",
                                      "//---Inputs"};
    lines.insert(lines.end(), inputs.begin(), inputs.end());
    lines.emplace_back("//---Outputs");
    lines.insert(lines.end(), outputs.begin(), outputs.end());
    lines.push_back(t + " dut (");
    for (std::size_t i = 0; i < connections.size(); ++i)
        lines.push_back(connections[i] + (i + 1 < connections.size() ? "," : ""));
    lines.emplace_back(");");
    lines.emplace_back("endmodule");
    return FixtureText{Lines(lines), "Test Fixture of " + t + " (Verilog)", VerilogFilter,
                       "tb_" + t + ".v"};
}

std::optional<FixtureText> VhdlFixture(ProjectModel& model) {
    const mdu* top = FindTopModule(model);
    if (!top || !HasPorts(*top))
        return std::nullopt;
    const std::string& t = top->Title;
    std::vector<const port*> ports;
    for (const port* p : TopPortsOf(model, *top))
        if (p->Kind != 'V')
            ports.push_back(p);
    // Variant ports have no mode: a fixture of nothing else would be all empty lists.
    if (ports.empty())
        return std::nullopt;
    WarnWidths(model, ports);

    std::vector<std::string> lines = {
        "--Test Fixture by ZUN2012.",
        "LIBRARY ieee;",
        "USE ieee.std_logic_1164.ALL;",
        "USE ieee.numeric_std.ALL;",
        "",
        "ENTITY tb_" + t + " IS",
        "END tb_" + t + " ;",
        "",
        "ARCHITECTURE behavior OF tb_" + t + " IS",
        "\tCOMPONENT " + t,
        "\tPORT(",
    };
    std::vector<std::string> types;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const port& p = *ports[i];
        types.push_back(VhdlType(model, p));
        // The modes of the full-source top's entity, whose outputs are out even where the
        // design reads them (through a signal of their own), so that the component binds to it
        // under VHDL-93 as well.
        const char* mode = p.Kind == 'I' ? " :IN " : p.Kind == 'B' ? " :INOUT " : " :OUT ";
        lines.push_back("\t\t" + p.Name + mode + types.back() + (i + 1 < ports.size() ? ";" : ""));
    }
    lines.emplace_back("\t);");
    lines.emplace_back("\tEND COMPONENT;");
    for (std::size_t i = 0; i < ports.size(); ++i)
        lines.push_back("\tSIGNAL " + ports[i]->Name + " : " + types[i] + ";");
    lines.emplace_back("BEGIN");
    lines.push_back("\tdut : " + t + " PORT MAP(");
    for (std::size_t i = 0; i < ports.size(); ++i)
        lines.push_back("\t\t" + ports[i]->Name + " => " + ports[i]->Name +
                        (i + 1 < ports.size() ? " ," : " "));
    lines.emplace_back("\t);");
    lines.emplace_back("END;");
    return FixtureText{Lines(lines), "Test Fixture of " + t + " (VHDL)", VhdlFilter,
                       "tb_" + t + ".vhd"};
}

bool GenTstVlogExecute(ProjectModel& model, Prompt& prompt, GenTextModel& window) {
    return Show(prompt, window, VerilogFixture(model));
}

bool GenTstVHDLExecute(ProjectModel& model, Prompt& prompt, GenTextModel& window) {
    return Show(prompt, window, VhdlFixture(model));
}
