// Mapping to the top level, the head of a net, the output-enable toggle, isolating a port and
// deleting an instance.
#include "editor/model/TopLevel.h"

#include "editor/model/Nets.h"
#include "platform/AsciiCase.h"

#include <utility>

namespace {

bool IsPlainIdentChar(char c) {
    return c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string WidthField(const port& p, int value) {
    return p.Msb == -1 && p.Lsb == -1 ? std::string() : std::to_string(value);
}

bool HasEnd(const ProjectLine& line, const std::string& inst, const std::string& portName) {
    return (line[1] == inst && line[2] == portName) || (line[3] == inst && line[4] == portName);
}

} // namespace

std::string PortTypeWord(MessageLog& log, char kind, char caseLetter, bool bidirWord) {
    std::string word;
    switch (kind) {
    case 'I':
        word = "Input";
        break;
    case 'O':
        word = "Output";
        break;
    case 'B':
        word = bidirWord ? "Bidir" : "Inout";
        break;
    case 'V':
        word = "Variant";
        break;
    default:
        log.LogError("Unknown port type.");
        word = "Variant";
        break;
    }
    if (caseLetter == 'U' || caseLetter == 'u')
        for (char& c : word)
            c = platform::AsciiUpper(c);
    else if (caseLetter == 'L' || caseLetter == 'l')
        word = platform::AsciiLower(std::move(word));
    return word;
}

std::string PortKeyword(MessageLog& log, char kind) {
    // A variant port line is "KVAR": the rebuild reads no other keyword as a variant port.
    return kind == 'V' ? std::string("KVAR") : PortTypeWord(log, kind, 'U', true);
}

const char* const EmptyTopPortName = "Top port name can't be empty.";

bool MapRefused(ProjectModel& model, const port& p, bool named, bool variantTarget,
                const NetIndex* nets) {
    const std::string refused = "Can not map to top port: " + p.Name + " (" + p.OwnerName + ").";
    if (!p.Numeric || IsTopPort(model, p)) {
        model.LogError(refused);
        return true;
    }
    if (!(named && !variantTarget) && p.Kind == 'I' &&
        (nets ? HasDriver(*nets, p, true) : HasDriver(model, p, true))) {
        model.LogError(refused + " Driver already exists.");
        return true;
    }
    return false;
}

std::string EscapedNameAsStored(std::string name) {
    if (!name.empty() && name.front() == '\\' && name.back() != ' ' &&
        (name.size() == 1 || name.back() != '\\'))
        name += ' ';
    return name;
}

std::optional<std::string> RuleTopPortName(ProjectModel& model, const port& p) {
    std::string topName = ExpandNamingRule(model.TopNameRule, p.OwnerName, p.Name);
    if (topName.empty()) {
        model.LogError(EmptyTopPortName);
        return std::nullopt;
    }
    const std::size_t blank = topName.find(' ');
    if (blank != std::string::npos && blank + 1 < topName.size()) {
        model.LogError("The port name \"" + topName +
                       "\" is illegal. Top port name can't have space before the last "
                       "character.");
        return std::nullopt;
    }
    // A name that begins with a backslash is escaped already: a Verilog name, which the engine
    // reads without its closing blank, or a VHDL extended identifier, closed by a backslash.
    // Escaping it again would name another port.
    if (topName.size() > 1 && topName.front() == '\\')
        return EscapedNameAsStored(std::move(topName));
    bool plain = true;
    for (char c : topName)
        plain = plain && IsPlainIdentChar(c);
    if (!plain) {
        model.LogWarning("The top port name\"" + topName + "\" is changed to \"\\" + topName +
                         " \".");
        topName = "\\" + topName + " ";
    }
    return topName;
}

void ReportTopNameTaken(ProjectModel& model, const std::string& name, std::string* status) {
    if (status)
        *status = name + " already exists.";
    model.LogWarning("Can't add. " + name + " already exists.");
}

ProjectLine TopPortLine(MessageLog& log, const port& p, const std::string& name) {
    return MakeLine({PortKeyword(log, p.Kind), WidthField(p, p.Msb), WidthField(p, p.Lsb), name});
}

bool MapPortToTop(ProjectModel& model, const port& p, int insertRow, const std::string& name,
                  bool variantTarget, std::string* status) {
    const bool named = !name.empty();
    if (MapRefused(model, p, named, variantTarget))
        return false;
    const port mapped = p; // the lines change below; the record is read from this copy
    const NetEnd self{mapped.OwnerName, mapped.Name};
    std::string topName;
    if (named) {
        topName = name;
        if (variantTarget)
            model.SetPortLineFields(
                model.TopName, topName, "P", 0, PortKeyword(model.Log, mapped.Kind), 1,
                WidthField(mapped, mapped.Msb), 2, WidthField(mapped, mapped.Lsb));
    } else {
        std::optional<std::string> ruled = RuleTopPortName(model, mapped);
        if (!ruled)
            return false;
        topName = std::move(*ruled);
        NetOfPort own;
        const bool ownNetNamedSo = FindNetOfPort(model, self.Inst, self.Port, own) &&
                                   own.Name == topName &&
                                   model.CheckTopPortName(topName, nullptr, true);
        if (!ownNetNamedSo && !model.CheckTopPortName(topName)) {
            ReportTopNameTaken(model, topName, status);
            return false;
        }
        model.InsertLine(insertRow, TopPortLine(model.Log, mapped, topName));
    }

    NetOfPort own;
    const bool onNet = FindNetOfPort(model, self.Inst, self.Port, own);
    NetEnd head = self;
    if (onNet) {
        RenameNet(model, own.Name, topName, true);
        head = own.Head;
    }
    const NetEnd topEnd{model.TopName, topName};
    NetOfPort topNet;
    if (!FindNetOfPort(model, topEnd.Inst, topEnd.Port, topNet))
        model.InsertLine(-1, {"WIRE", head.Inst, head.Port, topEnd.Inst, topEnd.Port, topName});
    else if (onNet)
        JoinNets(model, topNet.Head, self);
    else
        // The line joins the top port's net under that net's name, so that the net keeps one.
        model.InsertLine(
            -1, {"WIRE", topNet.Head.Inst, topNet.Head.Port, self.Inst, self.Port, topNet.Name});
    return true;
}

bool SetMainPort(ProjectModel& model, const port& p) {
    if (IsTopPort(model, p))
        return false;
    const NetEnd self{p.OwnerName, p.Name};
    NetOfPort net;
    if (!FindNetOfPort(model, self.Inst, self.Port, net))
        return false;
    if (net.Head == self)
        return true;
    if (net.Name == AutoNetName(net.Head) && !RenameNetAfterHead(model, net.Name, self))
        return false;
    for (ProjectLine& line : model.LineList) {
        const ProjectLine& read = line; // a line left alone stays shared with the undo copy
        if (read[0] != "WIRE" || read[FieldSuggestion] == "S")
            continue;
        if (read[1] != net.Head.Inst || read[2] != net.Head.Port)
            continue;
        if (read[3] == self.Inst && read[4] == self.Port) {
            line[3] = net.Head.Inst;
            line[4] = net.Head.Port;
        }
        line[1] = self.Inst;
        line[2] = self.Port;
    }
    return true;
}

bool ToggleOutputEnable(ProjectModel& model, const std::string& wireName, bool& wasOne,
                        bool toggle) {
    static const std::string one = "==1'b1)? ";
    static const std::string zero = "==1'b0)? ";
    const std::string key = " " + wireName + " = ( ";
    for (ProjectLine& line : model.LineList) {
        const ProjectLine& read = line; // a line left alone stays shared with the undo copy
        if (LineKind(read[0]) != 'A' || !read[1].starts_with(key))
            continue;
        std::string rest = read[1].substr(key.size());
        const std::size_t atOne = rest.find(one);
        const std::size_t atZero = atOne == std::string::npos ? rest.find(zero) : std::string::npos;
        if (atOne == std::string::npos && atZero == std::string::npos) {
            model.LogWarning("Found illegal assignment.");
            continue;
        }
        wasOne = atOne != std::string::npos;
        if (toggle) {
            rest.replace(wasOne ? atOne : atZero, one.size(), wasOne ? zero : one);
            line[1] = key + rest;
        }
        return true;
    }
    return false;
}

bool WireOfModulePortStays(ProjectModel& model, const ProjectLine& wireLine) {
    if (wireLine[3] != model.TopName)
        return false;
    const int farEnd = model.FindPortIndex(wireLine[3], wireLine[4]);
    if (farEnd < 0 || !model.PortList[farEnd].Combined)
        return false;
    model.LogError(CombinedBusWire);
    return true;
}

bool IsolatePort(ProjectModel& model, const port& p, bool deleteToo) {
    const std::string inst = p.OwnerName;
    const std::string name = p.Name;
    const bool top = IsTopPort(model, p);
    bool combinedFlagPending = p.Combined;
    bool wireStayed = false;
    const std::string assignKey = " " + name + " ";
    ProjectLines& lines = model.LineList;
    for (std::size_t i = 0; i < lines.size();) {
        const ProjectLine& line = lines[i];
        if (LineKind(line[0]) == 'W' && line[FieldSuggestion] != "S" && HasEnd(line, inst, name)) {
            if (!top && WireOfModulePortStays(model, line)) {
                wireStayed = true;
                ++i;
                continue;
            }
            const std::string net = line[5];
            const NetEnd head{line[1], line[2]};
            model.DeleteLineRecord(static_cast<int>(i));
            if (top) {
                if (!RenameNetAfterHead(model, net, head))
                    return false;
                // A combined bus is a plain port once its first wire has gone.
                if (combinedFlagPending) {
                    combinedFlagPending = false;
                    if (!model.SetPortLineFields(inst, name, "P", 4, ""))
                        model.LogWarning("Internal warning. Not found inout port.");
                }
            }
            continue;
        }
        // Only a top port is named in the assignments; a module port of the same name is not.
        if (top && line[0] == "ASSIGN" && line[1].find(assignKey) != std::string::npos) {
            model.DeleteLineRecord(static_cast<int>(i));
            continue;
        }
        ++i;
    }
    if (wireStayed)
        return false;
    if (deleteToo)
        model.DeletePortLine(inst, name, false, false);
    return true;
}

void DeleteInstance(ProjectModel& model, const mdu& instance) {
    if (instance.IsTop())
        return;
    ProjectLines& lines = model.LineList;
    std::size_t first = 0;
    while (first < lines.size() &&
           !(lines[first][FieldKind] == "M" && lines[first][0].starts_with('M') &&
             lines[first][2] == instance.InstName))
        ++first;
    if (first == lines.size())
        return;
    std::size_t end = first + 1;
    // The block holds the instance's parameter and port lines, and the disabled and empty lines
    // among them, which the rebuild gave to the same instance.
    while (end < lines.size() && (lines[end][FieldKind] == "P" || lines[end][FieldKind] == "R" ||
                                  lines[end][0].empty() || lines[end][0].front() == '#'))
        ++end;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(first),
                lines.begin() + static_cast<std::ptrdiff_t>(end));
}
