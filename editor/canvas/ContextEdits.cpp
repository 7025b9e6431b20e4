// The edits of Duplicate, Combine and Combine to inout.
#include "editor/canvas/ContextEdits.h"

#include "editor/model/Nets.h"
#include "editor/model/ProjectParser.h"

#include <charconv>
#include <unordered_map>
#include <unordered_set>

namespace {

std::string WidthText(int value, const port& p) {
    if (!p.Numeric)
        return "NA";
    return p.Msb == -1 && p.Lsb == -1 ? std::string() : std::to_string(value);
}

std::string BoundText(int value, const CapturedPort& p) {
    return p.Msb == -1 && p.Lsb == -1 ? std::string() : std::to_string(value);
}

bool EndsOnTopPort(const ProjectModel& model, const ProjectLine& line, const std::string& name) {
    return line[FieldKind] == "W" && line[3] == model.TopName && line[4] == name;
}

// The number of a name "W" + a decimal without leading zeros; -1 for any other name.
int WireNumber(const std::string& name) {
    if (name.size() < 2 || name[0] != 'W' || (name[1] == '0' && name.size() > 2))
        return -1;
    int value = -1;
    const char* end = name.data() + name.size();
    const auto [at, error] = std::from_chars(name.data() + 1, end, value);
    return error == std::errc() && at == end ? value : -1;
}

} // namespace

void DuplicateInstance(ProjectModel& model, const mdu& instance, const std::string& name) {
    ProjectLines copy;
    copy.push_back(
        MakeLine({"MODULE", instance.ModuleName, name, instance.SrcPath, instance.Language}));
    for (std::size_t g = 0; g + ParamTexts <= instance.Params.size(); g += ParamTexts) {
        ProjectLine line = MakeLine({"PARAMETER"});
        for (int t = 0; t < ParamTexts; ++t)
            line[1 + t] = instance.Params[g + t];
        line[FieldKind] = "R";
        copy.push_back(std::move(line));
    }
    if (instance.FirstPort >= 0) {
        for (int i = instance.FirstPort; i <= instance.LastPort; ++i) {
            const port& p = model.PortList[i];
            // The copied line's own keyword: OUTPUT_B stays a buffer, KVAR stays variant.
            ProjectLine line = MakeLine({model.LineList[p.LineIndex][0], WidthText(p.Msb, p),
                                         WidthText(p.Lsb, p), p.Name, "", p.MsbExpr, p.LsbExpr});
            line[FieldKind] = "P";
            copy.push_back(std::move(line));
        }
    }
    const int at = BlockEnd(model.LineList, instance.LineIndex);
    model.LineList.insert(model.LineList.begin() + at, std::make_move_iterator(copy.begin()),
                          std::make_move_iterator(copy.end()));
}

CapturedPort CapturePort(const ProjectModel& model, const port& p) {
    CapturedPort c{p.Name, p.Kind, p.Msb, p.Lsb, p.Span, {}};
    for (const ProjectLine& line : model.LineList)
        if (line[FieldKind] == "W" && ((line[1] == p.OwnerName && line[2] == p.Name) ||
                                       (line[3] == p.OwnerName && line[4] == p.Name))) {
            c.Net = line[5];
            break;
        }
    return c;
}

std::string FreeWireNameExcept(ProjectModel& model, int n, const std::string& except) {
    std::string name = model.FreeWireName(n);
    const int skipped = WireNumber(except);
    if (!name.empty() && skipped >= 0 && skipped <= WireNumber(name))
        name = model.FreeWireName(n + 1);
    return name;
}

void CombinePorts(ProjectModel& model, char kind, const std::string& bus, int msb, int lsb,
                  const std::vector<CombineRow>& rows) {
    for (const CombineRow& row : rows)
        model.DeletePortLine(model.TopName, row.Port, false, false);
    model.UpdatePicExecute(RebuildSender::MainWindow);
    ProjectLine busLine = MakeLine(
        {kind == 'I' ? "INPUT" : "OUTPUT", std::to_string(msb), std::to_string(lsb), bus, "Y"});
    busLine[FieldKind] = "P";
    model.InsertLine(model.FirstMduLine, std::move(busLine));
    int n = 0;
    ProjectLines assigns;
    // The names this edit gave: a net that reached two of the ports was renamed at the first,
    // and its slices are driven by that one net, or the first slice's assignment would name a
    // net renamed again under it.
    std::unordered_set<std::string> given;
    for (const CombineRow& row : rows) {
        const std::string slice =
            " [" + std::to_string(row.Msb) + ":" + std::to_string(row.Lsb) + "] ";
        for (ProjectLine& line : model.LineList) {
            if (!EndsOnTopPort(model, line, row.Port))
                continue;
            line[4] = bus;
            std::string net = line[5];
            if (!given.count(net)) {
                const std::string old = net; // the renaming changes this very field
                net = FreeWireNameExcept(model, ++n, bus);
                RenameNet(model, old, net, false);
                given.insert(net);
            }
            assigns.push_back(
                MakeLine({"ASSIGN", kind == 'I' ? " " + net + " = " + bus + slice
                                                : " " + bus + slice + "= " + net + " "}));
        }
    }
    model.LineList.insert(model.LineList.end(), std::make_move_iterator(assigns.begin()),
                          std::make_move_iterator(assigns.end()));
}

void CombineToInout(ProjectModel& model, const CapturedPort& in, const CapturedPort& out,
                    const CapturedPort& enable, const std::string& io,
                    const std::string& enCondition, const std::array<std::string, 3>& wires) {
    for (const CapturedPort* p : {&in, &out, &enable})
        model.DeletePortLine(model.TopName, p->Name, false, false);
    model.UpdatePicExecute(RebuildSender::MainWindow);
    ProjectLine ioLine = MakeLine({"BIDIR", BoundText(in.Msb, in), BoundText(in.Lsb, in), io, "Y"});
    ioLine[FieldKind] = "P";
    model.InsertLine(model.FirstMduLine, std::move(ioLine));
    // Two of the ports on one net: it is renamed once, and the assignments name it for both.
    std::array<std::string, 3> names = wires;
    const std::pair<const CapturedPort*, std::string*> nets[] = {
        {&in, &names[1]}, {&out, &names[2]}, {&enable, &names[0]}};
    std::unordered_map<std::string, std::string> renamed;
    for (const auto& [p, name] : nets) {
        if (p->Net.empty())
            continue;
        if (const auto done = renamed.find(p->Net); done != renamed.end()) {
            *name = done->second;
            continue;
        }
        RenameNet(model, p->Net, *name, false);
        renamed.emplace(p->Net, *name);
    }
    for (ProjectLine& line : model.LineList)
        for (const CapturedPort* p : {&in, &out, &enable})
            if (EndsOnTopPort(model, line, p->Name))
                line[4] = io;
    model.InsertLine(-1, {"ASSIGN", " " + names[1] + " = " + io + " "});
    model.InsertLine(
        -1, {"ASSIGN", " " + io + " = ( " + names[0] + " " + enCondition + " " + names[2] + " "});
}
