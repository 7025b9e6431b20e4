// What the generators of a top level share.
#include "editor/hdl/TopCommon.h"

#include "editor/hdl/TextColumns.h"
#include "editor/hdl/TopGenerator.h"
#include "platform/AsciiCase.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>
#include <unordered_set>
#include <vector>

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

bool DefaultNamesAnotherGeneric(const mdu& m, std::size_t group) {
    if (!IsBlank(m.Params[group + ParamInstValue]))
        return false;
    std::unordered_set<std::string> others;
    for (std::size_t g = 0; g + ParamTexts <= m.Params.size(); g += ParamTexts)
        if (g != group)
            others.insert(platform::AsciiLower(m.Params[g + ParamName]));
    const std::string& value = m.Params[group + ParamValue];
    for (std::size_t at = 0; at < value.size();) {
        const char c = value[at];
        if (c == '"') {
            // A string literal names nothing.
            const std::size_t end = value.find('"', at + 1);
            at = end == std::string::npos ? value.size() : end + 1;
        } else if (c == '\'' && at + 2 < value.size() && value[at + 2] == '\'') {
            // A character literal ('c') names nothing either; a lone tick is an attribute's.
            at += 3;
        } else if (std::isalpha(static_cast<unsigned char>(c))) {
            std::size_t end = at;
            while (end < value.size() &&
                   (std::isalnum(static_cast<unsigned char>(value[end])) || value[end] == '_'))
                ++end;
            if (others.count(platform::AsciiLower(value.substr(at, end - at))))
                return true;
            at = end;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            // A number, based ones (16#FF#) and exponents with it.
            while (at < value.size() && (std::isalnum(static_cast<unsigned char>(value[at])) ||
                                         value[at] == '_' || value[at] == '#' || value[at] == '.'))
                ++at;
        } else {
            ++at;
        }
    }
    return false;
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

TopPortsByName TopPortsByNameOf(const ProjectModel& model, const mdu& top) {
    TopPortsByName ports;
    if (HasPorts(top))
        for (int k = top.FirstPort; k <= top.LastPort; ++k) {
            const port& p = model.PortList[static_cast<std::size_t>(k)];
            ports.try_emplace(p.Name, &p);
        }
    return ports;
}

void ForEachTopPortOnItsNet(const ProjectModel& model, const TopPortsByName& topPorts,
                            const std::function<void(const port&, const ProjectLine&)>& visit) {
    std::unordered_set<std::string_view> placed;
    for (const ProjectLine& line : model.LineList) {
        if (line[0] != "WIRE" || line[FieldSuggestion] == "S" || line[5].empty())
            continue;
        for (const auto& [inst, name] : {std::pair{&line[1], &line[2]}, {&line[3], &line[4]}}) {
            if (*inst != model.TopName)
                continue;
            const auto own = topPorts.find(*name);
            if (own != topPorts.end() && placed.insert(own->first).second)
                visit(*own->second, line);
        }
    }
}

NetRenames InoutNetRenames(ProjectModel& model) {
    NetRenames renames;
    const mdu* top = FindTopModule(model);
    if (!top || !HasPorts(*top))
        return renames;
    const TopPortsByName topPorts = TopPortsByNameOf(model, *top);
    // The inouts of each net in line order, and the nets in the order they first carry one.
    std::unordered_map<std::string_view, std::vector<const port*>> inouts;
    std::vector<std::string_view> order;
    ForEachTopPortOnItsNet(model, topPorts, [&](const port& p, const ProjectLine& line) {
        if (p.Kind != 'B' || p.Combined)
            return;
        auto [at, isNew] = inouts.try_emplace(line[5]);
        if (isNew)
            order.push_back(line[5]);
        at->second.push_back(&p);
    });
    for (std::string_view net : order) {
        const std::vector<const port*>& on = inouts[net];
        const auto named = topPorts.find(net);
        const port* joined = nullptr;
        if (named != topPorts.end() && IsDeclaredKind(named->second->Kind)) {
            joined = named->second;
        } else {
            joined = on.front();
            renames.emplace(std::string(net), joined->Name);
        }
        for (const port* p : on)
            if (p != joined)
                model.LogWarning("The inout port " + p->Name + " (" + model.TopName +
                                 ") is left unconnected: its net is the inout port " +
                                 joined->Name + ", and HDL joins no two inout ports of a module.");
    }
    return renames;
}

namespace {

// A Verilog name as the language compares it: an escaped name is its characters after the
// backslash, so \\u1 is u1.
std::string VerilogKey(const std::string& name) {
    if (name.empty() || name.front() != '\\')
        return name;
    std::size_t end = name.size();
    while (end > 1 && name[end - 1] == ' ')
        --end;
    return name.substr(1, end - 1);
}

} // namespace

NetRenames VerilogNetRenames(const ProjectModel& model, NetRenames renames) {
    std::unordered_set<std::string> instances;
    for (const mdu& m : model.MduList)
        if (!m.IsTop())
            instances.insert(VerilogKey(m.InstName));
    std::unordered_set<std::string> taken = instances;
    std::unordered_set<std::string> topPorts;
    if (const mdu* top = FindTopModule(model); top && HasPorts(*top))
        for (int k = top->FirstPort; k <= top->LastPort; ++k) {
            const std::string& name = model.PortList[static_cast<std::size_t>(k)].Name;
            topPorts.insert(name);
            taken.insert(VerilogKey(name));
        }
    for (const ProjectLine& line : model.LineList)
        if (line[0] == "WIRE" && line[FieldSuggestion] != "S" && !line[5].empty())
            taken.insert(VerilogKey(RenamedNet(line[5], renames)));
    for (const ProjectLine& line : model.LineList) {
        if (line[0] != "WIRE" || line[FieldSuggestion] == "S" || line[5].empty() ||
            renames.count(line[5]) || topPorts.count(line[5]) ||
            !instances.count(VerilogKey(line[5])))
            continue;
        // An escaped name keeps its closing blank after the suffix.
        std::string base = line[5];
        std::string end;
        if (base.front() == '\\')
            while (!base.empty() && base.back() == ' ') {
                base.pop_back();
                end = " ";
            }
        std::string name;
        int n = 2;
        do
            name = base + "_" + std::to_string(n++) + end;
        while (!taken.insert(VerilogKey(name)).second);
        renames.emplace(line[5], name);
    }
    return renames;
}

std::string RenamedWords(const std::string& field, const NetRenames& renames) {
    if (renames.empty())
        return field;
    std::string text;
    text.reserve(field.size());
    for (std::size_t at = 0; at <= field.size();) {
        const std::size_t end = std::min(field.find(' ', at), field.size());
        text += RenamedNet(field.substr(at, end - at), renames);
        if (end < field.size())
            text += ' ';
        at = end + 1;
    }
    return text;
}

const std::string& RenamedNet(const std::string& net, const NetRenames& renames) {
    const auto it = renames.find(net);
    return it == renames.end() ? net : it->second;
}
