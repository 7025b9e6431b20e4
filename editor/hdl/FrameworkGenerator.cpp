// GenFramework: Verilog 2001, Verilog 1995 and VHDL frameworks.
#include "editor/hdl/FrameworkGenerator.h"

#include "editor/hdl/GenOptions.h"
#include "editor/hdl/NetFacts.h"
#include "editor/hdl/TopCommon.h"
#include "editor/hdl/TopGenerator.h"
#include "editor/model/ProjectModel.h"

#include <algorithm>
#include <unordered_set>

namespace {

// Column indexes of GenColWidths.
enum Column : std::size_t {
    Indent,
    Type,
    OpenBracket,
    Msb,
    Colon,
    Lsb,
    CloseBracket,
    Port,
    InstIndent,
    InstPort,
    Connection
};

std::string Blanks(int n) {
    return n > 0 ? std::string(static_cast<std::size_t>(n), ' ') : std::string();
}

int Length(const std::string& text) {
    return static_cast<int>(text.size());
}

// The text followed by blanks up to the width.
std::string Pad(const std::string& text, int width) {
    return text + Blanks(width - Length(text));
}

// The same with at least one blank, so a long name stays apart from what follows.
std::string Pad1(const std::string& text, int width) {
    return text + Blanks(std::max(1, width - Length(text)));
}

std::string Join(const std::vector<std::string>& parts, const std::string& separator) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            text += separator;
        text += parts[i];
    }
    return text;
}

class Framework {
public:
    Framework(ProjectModel& model, bool report, const GenColumnWidths& widths)
        : model_(model), report_(report), w_(widths) {}

    std::string Verilog(const mdu& top, bool style2001);
    std::string Vhdl(const mdu& top);

private:
    int W(Column c) const { return w_[c]; }
    int Span(Column from, Column to) const {
        int sum = 0;
        for (std::size_t c = from; c <= to; ++c)
            sum += w_[c];
        return sum;
    }
    const port& PortAt(int k) const { return model_.PortList[static_cast<std::size_t>(k)]; }

    // The top's declared ports in order, with what is left out logged and the tie-offs built.
    std::vector<const port*> TopPorts(const mdu& top, bool vhdl, std::string& tieoffs);
    PortBounds TopBounds(const port& p);

    std::string VerilogHeaderLine(const port& p, const char* ending);
    std::string VerilogInstances();

    std::string VhdlType(const port& p, const PortBounds& b) const;
    std::string VhdlPortLine(const port& p, const PortBounds& b, bool buffer) const;
    std::string Component(const mdu& m);
    std::string VhdlInstance(const mdu& m);

    void Warning(const std::string& text) {
        if (report_)
            model_.LogWarning(text);
    }

    ProjectModel& model_;
    bool report_;
    const GenColumnWidths& w_;
};

std::vector<const port*> Framework::TopPorts(const mdu& top, bool vhdl, std::string& tieoffs) {
    std::vector<const port*> declared;
    for (int k = top.FirstPort; HasPorts(top) && k <= top.LastPort; ++k) {
        const port& p = PortAt(k);
        if (IsDeclaredKind(p.Kind))
            declared.push_back(&p);
        else if (report_)
            LogTopPortLeftOut(model_, p);
        if (IsOpenOutputToTie(model_, p))
            tieoffs += vhdl ? VhdlTieOff(model_, p, 0) : VerilogTieOff(model_, p);
    }
    if (declared.empty())
        Warning(NoTopLevelPort);
    return declared;
}

PortBounds Framework::TopBounds(const port& p) {
    if (!p.Numeric && report_)
        LogWidthNotNumeric(model_, p);
    return DecimalBounds(model_, p);
}

// Verilog.

std::string Framework::VerilogHeaderLine(const port& p, const char* ending) {
    const std::string word = p.Kind == 'I' ? "input " : p.Kind == 'O' ? "output " : "inout ";
    std::string line = Blanks(W(Indent)) + word + Blanks(W(Type) - Length(word));
    const PortBounds b = TopBounds(p);
    if (b.Msb.empty() || b.Lsb.empty())
        line += Blanks(Span(OpenBracket, CloseBracket));
    else
        line += "[" + Blanks(W(OpenBracket) - 1) + Pad(b.Msb, W(Msb)) + ":" + Blanks(W(Colon) - 1) +
                Pad(b.Lsb, W(Lsb)) + "]" + Blanks(std::max(1, W(CloseBracket) - 1));
    return line + Pad1(p.Name, W(Port)) + ending;
}

std::string Framework::VerilogInstances() {
    std::string text;
    for (const mdu& m : model_.MduList) {
        if (m.IsTop())
            continue;
        text += m.ModuleName + " " + m.InstName + "(\n";
        if (!HasPorts(m)) {
            Warning(NoPortInModule + m.InstName + ".");
        } else {
            for (int k = m.FirstPort; k <= m.LastPort; ++k) {
                const std::string& name = PortAt(k).Name;
                text += Blanks(W(InstIndent)) + "." + name +
                        Blanks(W(InstPort) - Length(name) - 1) + "(" + Blanks(W(Connection) - 1) +
                        ")" + (k < m.LastPort ? ",\n" : "\n");
            }
        }
        text += ");\n" + VerilogDefparams(m);
    }
    return text;
}

std::string Framework::Verilog(const mdu& top, bool style2001) {
    std::string tieoffs;
    const std::vector<const port*> ports = TopPorts(top, false, tieoffs);
    std::string text = VerilogBanner + "\r\nmodule " + top.Title + " (\n";
    if (style2001) {
        std::vector<std::string> lines;
        for (const port* p : ports)
            lines.push_back(VerilogHeaderLine(*p, ""));
        text += Join(lines, ",\n") + "\n);\n";
    } else {
        const std::string indent = Blanks(Span(Indent, CloseBracket));
        std::string declarations;
        for (std::size_t i = 0; i < ports.size(); ++i) {
            const bool last = i + 1 == ports.size();
            text += indent + (last ? ports[i]->Name + "\n" : Pad1(ports[i]->Name, W(Port)) + ",\n");
            declarations += VerilogHeaderLine(*ports[i], ";\n");
        }
        text += ");\n" + declarations + "\n";
    }
    return text + VerilogInstances() + tieoffs + "\nendmodule";
}

// VHDL.

std::string Framework::VhdlType(const port& p, const PortBounds& b) const {
    if (p.WidthText.empty())
        return "STD_LOGIC" + Blanks(Span(OpenBracket, CloseBracket) - 9);
    const std::string direction = b.Down ? "downto" + Blanks(std::max(1, W(Colon) - 6))
                                         : "to" + Blanks(std::max(1, W(Colon) - 2));
    return "STD_LOGIC_VECTOR(" + Blanks(W(OpenBracket) - 17) + Pad1(b.Msb, W(Msb)) + direction +
           Pad(b.Lsb, W(Lsb)) + ")" + Blanks(W(CloseBracket) - 1);
}

std::string Framework::VhdlPortLine(const port& p, const PortBounds& b, bool buffer) const {
    const std::string mode = p.Kind == 'I'   ? ":in"
                             : p.Kind == 'B' ? ":inout"
                             : buffer        ? ":buffer"
                                             : ":out";
    return Blanks(W(Indent)) + Pad(p.Name, W(Port)) + mode +
           Blanks(std::max(1, W(Type) - Length(mode))) + VhdlType(p, b);
}

std::string Framework::Component(const mdu& m) {
    std::string text = "\ncomponent " + m.ModuleName + "  ";
    std::vector<std::string> generics;
    for (std::size_t g = 0; g + ParamTexts <= m.Params.size(); g += ParamTexts) {
        std::string generic =
            "\n" + Blanks(W(Indent)) + Pad(m.Params[g + ParamName], W(Port)) + ": ";
        const std::string& type = m.Params[g + ParamVhdlType];
        const std::string& value = m.Params[g + ParamValue];
        // A generic without a default is declared without ":=", which would stand before nothing.
        if (IsBlank(value))
            generic += type;
        else
            generic += Pad(type, W(Type) + W(OpenBracket) - 2) +
                       ":= " + Pad(value, Span(Msb, CloseBracket) - 3);
        generics.push_back(std::move(generic));
    }
    if (!generics.empty())
        text += "\n  generic(" + Join(generics, ";") + "\n  );";

    std::vector<std::string> ports;
    if (HasPorts(m)) {
        for (int k = m.FirstPort; k <= m.LastPort; ++k) {
            const port& p = PortAt(k);
            // A variant port has no mode to declare.
            if (!IsDeclaredKind(p.Kind)) {
                Warning(UnknownPort + p.Name);
                continue;
            }
            const ProjectLine& line = model_.LineList[static_cast<std::size_t>(p.LineIndex)];
            ports.push_back(VhdlPortLine(p, ExpressionBounds(p), line[0] == "OUTPUT_B"));
        }
    } else {
        Warning(NoPortInModule + m.ModuleName + ".");
    }
    // An empty port list is no VHDL: a module without ports has no port clause.
    if (!ports.empty())
        text += "\n  port(\n" + Join(ports, ";\n") + "\n  );";
    return text + "\nend component;\n";
}

std::string Framework::VhdlInstance(const mdu& m) {
    std::string text = "\n" + m.InstName + ":" + m.ModuleName + " ";
    std::vector<std::string> generics;
    for (std::size_t g = 0; g + ParamTexts <= m.Params.size(); g += ParamTexts) {
        const std::string& value = GenericValue(m, g);
        if (IsBlank(value)) {
            if (report_)
                LogGenericWithoutValue(model_, m, g);
            continue;
        }
        if (DefaultNamesAnotherGeneric(m, g))
            continue;
        generics.push_back("\n" + Blanks(W(InstIndent)) +
                           Pad(m.Params[g + ParamName], W(InstPort)) + "=> " +
                           Pad(value, W(Connection) - 3));
    }
    if (!generics.empty())
        text += "\n  generic map(" + Join(generics, ",") + "\n  )";

    std::vector<std::string> associations;
    if (HasPorts(m))
        for (int k = m.FirstPort; k <= m.LastPort; ++k) {
            const port& p = PortAt(k);
            if (IsDeclaredKind(p.Kind))
                associations.push_back(Blanks(W(InstIndent)) + Pad(p.Name, W(InstPort)) + "=>" +
                                       Blanks(W(Connection) - 2));
        }
    if (associations.empty())
        return text + ";\n";
    return text + "\n  port map(\n" + Join(associations, ",\n") + "\n  );\n";
}

std::string Framework::Vhdl(const mdu& top) {
    const TopOutputLoads loads(model_, top);
    std::string tieoffs;
    std::vector<std::string> lines;
    for (const port* p : TopPorts(top, true, tieoffs))
        lines.push_back(VhdlPortLine(*p, TopBounds(*p), p->Kind == 'O' && loads.HasLoad(*p)));
    // An entity without ports has no port clause: an empty one is no VHDL.
    std::string entity = "entity " + top.Title + " is";
    if (!lines.empty())
        entity += " port(\n" + Join(lines, ";\n") + "\n);";
    entity += "\nend " + top.Title + ";";

    std::string components;
    std::string instances;
    std::unordered_set<std::string> declared;
    for (const mdu& m : model_.MduList) {
        if (m.IsTop())
            continue;
        // The first instance of a module declares its component.
        if (declared.insert(m.ModuleName).second)
            components += Component(m);
        instances += VhdlInstance(m);
    }
    return VhdlBanner + "\nlibrary IEEE;\nuse IEEE.std_logic_1164.all;\n" + entity +
           "\narchitecture ZUN2012_Arch of " + top.Title + " is\n" + components + "\nbegin" +
           instances + tieoffs + "\nend ZUN2012_Arch;";
}

} // namespace

std::string GenFramework(ProjectModel& model, int style, bool report,
                         const GenColumnWidths& widths) {
    const bool vhdl = style == VhdlFrameworkStyle;
    const mdu* top = FindTopModule(model);
    if (!top) {
        if (report)
            model.LogError(NoTopModuleFound);
        return vhdl ? GenDesignErrorText : GenNoTopText;
    }
    Framework framework(model, report, widths);
    return vhdl ? framework.Vhdl(*top) : framework.Verilog(*top, style != Verilog1995Style);
}
