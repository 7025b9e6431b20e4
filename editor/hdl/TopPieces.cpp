// The pieces the generators of a top level share.
#include "editor/hdl/TopPieces.h"

#include "editor/hdl/TextColumns.h"
#include "editor/hdl/TopGenerator.h"

#include <charconv>

const mdu* FindTopModule(const ProjectModel& model) {
    for (const mdu& m : model.MduList)
        if (m.IsTop())
            return &m;
    return nullptr;
}

bool HasPorts(const mdu& m) {
    return m.FirstPort >= 0 && m.LastPort >= 0;
}

bool IsDeclaredKind(char kind) {
    return kind == 'I' || kind == 'O' || kind == 'B';
}

bool IsOpenOutputToTie(const ProjectModel& model, const port& p) {
    return model.AssignOpenOut != 'N' && p.Kind == 'O' && p.Numeric && p.Lone;
}

std::string VerilogTieOff(const ProjectModel& model, const port& p) {
    return "\r\nassign " + p.Name + " ={" + std::to_string(p.Span + 1) + "{1'b" +
           model.AssignOpenOut + "}};";
}

std::string VhdlTieOff(const ProjectModel& model, const port& p, std::size_t nameColumns) {
    const bool oneBit = p.WidthText.empty();
    return "\r\n" + PadRight(p.Name, nameColumns) + (oneBit ? " <='" : " <=(OTHERS=>'") +
           model.AssignOpenOut + (oneBit ? "';" : "');");
}

std::string VerilogDefparams(const mdu& m) {
    std::string text;
    for (std::size_t g = 0; g + ParamTexts <= m.Params.size(); g += ParamTexts) {
        const std::string& own = m.Params[g + ParamInstValue];
        if (!own.empty() && own != m.Params[g + ParamValue])
            text += "defparam " + m.InstName + "." + m.Params[g + ParamName] + " = " + own + " ;\n";
    }
    return text;
}

bool IsBlank(const std::string& text) {
    return NormalizeBlanks(text, false).empty();
}

std::optional<int> WidthNumber(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || at != end || value < 0)
        return std::nullopt;
    return value;
}

const std::string& GenericValue(const mdu& m, std::size_t group) {
    const std::string& own = m.Params[group + ParamInstValue];
    return IsBlank(own) ? m.Params[group + ParamValue] : own;
}

PortBounds DecimalBounds(const ProjectModel& model, const port& p) {
    PortBounds b;
    if (p.WidthText.empty())
        return b;
    if (p.Numeric) {
        b.Msb = std::to_string(p.Msb);
        b.Lsb = std::to_string(p.Lsb);
        b.Down = p.Msb >= p.Lsb;
        return b;
    }
    // The record's numbers of such a port mean nothing; its line tells what was declared.
    b.Msb = p.MsbExpr;
    b.Lsb = p.LsbExpr;
    if (p.LineIndex >= 0 && static_cast<std::size_t>(p.LineIndex) < model.LineList.size()) {
        const ProjectLine& line = model.LineList[static_cast<std::size_t>(p.LineIndex)];
        if (b.Msb.empty())
            b.Msb = line[1];
        if (b.Lsb.empty())
            b.Lsb = line[2];
    }
    return b;
}

PortBounds ExpressionBounds(const port& p) {
    PortBounds b;
    b.Msb = p.MsbExpr.empty() ? std::to_string(p.Msb) : p.MsbExpr;
    b.Lsb = p.LsbExpr.empty() ? std::to_string(p.Lsb) : p.LsbExpr;
    b.Down = p.Msb >= p.Lsb;
    return b;
}

void LogTopPortLeftOut(ProjectModel& model, const port& p) {
    if (p.Kind == 'V')
        model.LogWarning(IgnoreVariantPort + p.Name + ".");
    else
        model.LogWarning(UnknownPort + p.Name + ".");
}

void LogWidthNotNumeric(ProjectModel& model, const port& p) {
    model.LogWarning("The width of top level port " + p.Name +
                     " is not a number; its bound expressions are written.");
}

void LogGenericWithoutValue(ProjectModel& model, const mdu& m, std::size_t group) {
    model.LogWarning("No value for GENERIC " + m.Params[group + ParamName] + " (" + m.InstName +
                     ").");
}
