// Nets in the project lines and the edits that make, join, delete and rename them. A net is the
// set of ordinary WIRE lines that share their end A (the net's head) and their net name; every
// other port of the net is end B of one line. The queries read the derived records and the marks
// (field 10) of the last rebuild; the edits change lines only, so the caller takes the undo
// snapshot before and runs the rebuild after.
#pragma once

#include "editor/model/ProjectModel.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

// Logged when a wire to a combined bus port of the top module is to go: the bus goes first.
extern const char* const CombinedBusWire;

// One end of a wire line: an instance name and a port name.
struct NetEnd {
    std::string Inst;
    std::string Port;
    bool operator==(const NetEnd&) const = default;
};

// The net a port is on: its head and its name.
struct NetOfPort {
    NetEnd Head;
    std::string Name;
};

// The wire lines marked "W" by the last rebuild, indexed by their ends, so that questions about
// many ports (the unmatched marks of a hover, the checks) stay linear in the lines. It points into
// the lines: valid until a line is inserted, deleted or has an end changed.
//
// Each end (an instance and a port name) has a number, and each wire line one too, in line order:
// a caller that asks about many ports goes by the numbers and never looks a name up again.
class NetIndex {
public:
    // From the lines as they are now.
    explicit NetIndex(const ProjectModel& model);
    // From the ends the last rebuild found while it placed the wires, without a name lookup; only
    // while model.NetsAsRebuilt(), and it answers as the index from the lines would then.
    struct FromRebuild {};
    NetIndex(const ProjectModel& model, FromRebuild);

    const ProjectModel& Model() const { return model_; }
    // The first marked wire line, in line order, that has the end at either side; -1 when none.
    int FirstLineOf(std::string_view inst, std::string_view portName) const;
    // Every marked wire line that has the end at either side, in line order.
    std::span<const int> LinesOf(std::string_view inst, std::string_view portName) const;
    // The marked wire lines whose end A is the port, in line order.
    std::span<const int> LinesHeadedBy(std::string_view inst, std::string_view portName) const;
    // Field 0 of the port's line, found by the marks as GetPortLineField finds it.
    std::string Keyword(std::string_view inst, std::string_view portName) const;
    // Whether the net of this head is driven by its lines: the head is an output, or an end is an
    // instance's output or, with topDrives, a top-level input or inout. Worked out once per net
    // and remembered, so that asking it for every port of a large net stays linear; the answers
    // hold while the port lines keep their keywords.
    bool NetDriven(std::string_view headInst, std::string_view headPort, bool topDrives) const;

    // One marked wire line: its line index and the numbers of its ends (B is A when the line has
    // the same port at both ends), and whether its keyword is "WIRE" itself.
    struct Wire {
        int Line = -1;
        int A = -1;
        int B = -1;
        bool WireKeyword = false;
    };
    // The number of the port's end; -1 when no marked wire line names it (the index made from the
    // rebuild numbers every port, with or without lines).
    int EndOfPort(const port& p) const;
    // The wires (numbers in line order) that have the end at either side, or as end A.
    std::span<const int> WiresOf(int end) const;
    std::span<const int> WiresHeadedBy(int end) const;
    const Wire& WireAt(int w) const { return wires_[static_cast<std::size_t>(w)]; }
    // Ends are numbered from 0 to EndCount() - 1.
    std::size_t EndCount() const { return ends_.size(); }
    // The end's port line, as MarkedPortLine finds it; -1 when there is none.
    int EndLine(int end) const;
    // The first character of the keyword of the end's port line; 0 when there is none.
    char EndKeyword(int end) const;
    // The end is on the top module (by its instance name).
    bool EndOnTop(int end) const;
    // NetDriven of the net headed by the end.
    bool NetDrivenAt(int head, bool topDrives) const;

private:
    // One wire end (an instance and a port) and where its lines stand in the line lists.
    struct End {
        std::string_view Inst;
        std::string_view Port;
        int First = 0; // in lines_ and wireOf_
        int Count = 0;
        int FirstHeaded = 0; // in headed_ and wireHeaded_
        int CountHeaded = 0;
    };
    const End* Find(std::string_view inst, std::string_view portName) const;
    int FindEnd(std::string_view inst, std::string_view portName);
    // Counts each wire in at its ends and lays the flat lists out.
    void Lay();

    const ProjectModel& model_;
    // Made from the rebuild: end k < portEnds_ is port k (or its first namesake).
    bool fromRebuild_ = false;
    std::size_t portEnds_ = 0;
    std::vector<int> canonical_; // per port, its end, when two ports share a name pair
    std::vector<End> ends_;
    RecordIndex endIndex_; // ends by name; from the rebuild, only those that name no port
    std::vector<Wire> wires_;
    // The lines (and wire numbers) of each end one after the other, each end's in line order:
    // flat lists, so that indexing a large project makes a handful of allocations, not two per
    // port.
    std::vector<int> lines_;
    std::vector<int> headed_;
    std::vector<int> wireOf_;
    std::vector<int> wireHeaded_;
    // NetDriven per end and topDrives: -1 not asked yet, else the answer.
    mutable std::vector<signed char> driven_[2];
};

// The net index of the lines now: the one made from the last rebuild while the lines are still
// those it read (kept by the model until the next rebuild), else one made from the lines into
// scratch.
const NetIndex& NetsOf(const ProjectModel& model, std::optional<NetIndex>& scratch);

// Index of the port's line, found by the marks of the last rebuild as GetPortLineField finds it;
// -1 when there is none. Cheap while no line was inserted or deleted since the rebuild.
int MarkedPortLine(const ProjectModel& model, const std::string& inst, const std::string& portName);

// A port of the top module.
bool IsTopPort(const ProjectModel& model, const port& p);

// No marked wire line has the port at either end.
bool IsLonePort(const ProjectModel& model, const std::string& inst, const std::string& portName);
// The head and name of the first marked wire line, in line order, that has the port at either end;
// false when there is none.
bool FindNetOfPort(const ProjectModel& model, const std::string& inst, const std::string& portName,
                   NetOfPort& net);
// a and b are the same port, b is the head of a's net, or a line of a's net has b as end B.
bool IsConnected(const ProjectModel& model, const port& a, const port& b);
bool IsConnected(const NetIndex& nets, const port& a, const port& b);
// An ordinary wire's net name, an instance's module or instance name, or a top port's name.
bool NameInUse(const ProjectModel& model, const std::string& name);
// All the names NameInUse answers true for, gathered once.
std::unordered_set<std::string> NamesInUse(const ProjectModel& model);

// Whether the port's net is driven: by an instance's output, or, with topDrives, by a top-level
// input or inout.
bool HasDriver(const ProjectModel& model, const port& p, bool topDrives);
bool HasDriver(const NetIndex& nets, const port& p, bool topDrives);
// Whether the port's net reaches an input: its head is one, or an instance input is an end B.
bool HasLoad(const ProjectModel& model, const port& p);
bool HasLoad(const NetIndex& nets, const port& p);

// May a wire join a and b? Refused, in this order, for: a width that is not numeric or the same
// port twice; different spans unless one is variant; two top ports; one inout with a port that is
// neither inout nor variant; under the strict rule a top output with a module input or two module
// inputs; under "no self wire" two ports of one instance; a combined bus port; two driven ports.
bool CanConnect(const ProjectModel& model, const port& a, const port& b);
bool CanConnect(const NetIndex& nets, const port& a, const port& b);
// The same with a's driver known (HasDriver(nets, a, true)), for a caller that asks about one port
// and many others.
bool CanConnect(const NetIndex& nets, const port& a, const port& b, bool aDriven);

// The naming rule with every "%M" replaced by inst and every "%P" by portName, in one pass (a
// name that holds a placeholder is not expanded again).
std::string ExpandNamingRule(std::string_view rule, std::string_view inst,
                             std::string_view portName);
// The name a new net headed by the port gets: the replace rules, then WireNameRule, then, when
// that name is taken, the first free name + "_" + n.
std::string NewNetName(ProjectModel& model, const port& head);

// Makes the wire between a and b: maps the module port when the other one is a top port, joins two
// nets, extends a net, or starts a new one headed by a. False when refused (CanConnect, or already
// connected) or when the mapping to the top port was refused. A mapping leaves clearing the
// Properties window's Ports page to the caller.
bool ConnectPorts(ProjectModel& model, const port& a, const port& b);
// Merges b's net into a's: b's lines are headed by a's head and take a's net name (in the ASSIGN
// texts too), and one line joins the two old heads. Nothing unless both are on different nets.
void JoinNets(ProjectModel& model, const NetEnd& a, const NetEnd& b);
// Deletes the first wire line between the two ends (in either order); when one end was the top
// module, the module side's remaining net is named "Wire_" + its head, or a free "W" name.
void DeleteWire(ProjectModel& model, const std::string& instA, const std::string& portA,
                const std::string& instB, const std::string& portB);
// The automatic name of a net headed by head, "Wire_" + instance + "_" + port.
std::string AutoNetName(const NetEnd& head);
// Renames the net oldNet after its head: its automatic name, or, when that is taken, a free "W"
// name. False, with the error logged, when no name is free or the renaming fails.
bool RenameNetAfterHead(ProjectModel& model, const std::string& oldNet, const NetEnd& head);
// Renames a net in its WIRE lines and in the ASSIGN texts (whole names only). False when the new
// name is refused (unless skipCheck).
bool RenameNet(ProjectModel& model, const std::string& oldName, const std::string& newName,
               bool skipCheck);
// Does what RenameNet(old, new, true) for each pair in order does, in one pass over the lines.
void RenameNetsAtOnce(ProjectModel& model,
                      const std::vector<std::pair<std::string, std::string>>& renames);
// Renames the top port at PortList index topPort, the wire ends that name it, the net named after
// it and the assignments; every other net keeps its name (a bus slice's, or another top port's
// that the port's net carries). False when the name is refused.
bool ModifyWire(ProjectModel& model, int topPort, const std::string& newName);
// Connects every SmartLink suggestion in order, rebuilding the records after each wire made so
// that the next one sees it, then drops the suggestion lines. Answers the number of wires made;
// when it is not 0 the caller runs the rebuild that shows them.
int AcceptSuggestions(ProjectModel& model);
// Removes every line whose field 12 is "S".
void DropSuggestionLines(ProjectModel& model);
