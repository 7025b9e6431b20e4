// What a full-source VHDL top needs beyond the project lines and the engine's plain
// associations: the instanced entities' context clauses and port defaults from their source
// files, and the way each port meets its net where VHDL would refuse the plain association.
#pragma once

#include "editor/hdl/TopCommon.h"
#include "editor/hdl/VhdlEntitySource.h"
#include "editor/model/ProjectModel.h"

#include <string>
#include <unordered_map>
#include <unordered_set>

// By module name: its entity as the source file of its first instance declares it.
using VhdlSourceFacts = std::unordered_map<std::string, VhdlEntityContext>;

// Reads the source file of every VHDL module of the design, each file once. A file that cannot
// be read, or that declares no such entity, is logged as a warning and the module gets nothing.
VhdlSourceFacts ReadVhdlSourceFacts(ProjectModel& model);

// Nets as VHDL types them and the ports on them, from the wire lines as the finishing job reads
// them: a net named like a top port is that port; any other is the signal its first wire line
// types. Valid while the model's lines and records stay as the last rebuild left them.
class VhdlNetPlan {
public:
    // renames: the nets the top writes under other names whatever the language (the inouts').
    explicit VhdlNetPlan(const ProjectModel& model, NetRenames renames = {});

    // An association the top writes in full: a formal or one element of it, and its actual.
    struct Association {
        std::string Formal;
        std::string Actual;
    };
    // The association of the instance port at this PortList index, or null when the engine's
    // placeholder does.
    const Association* AssociationOf(int portIndex) const;

    // The name under which the architecture writes and reads a top output: the signal of its
    // own when the design reads it (VHDL-93 reads no out port and binds no buffer port to an
    // instance's out port), else its own name.
    const std::string& Inside(const port& topPort) const;
    // "\nsignal ...;" for each of those signals, in the top's port order.
    const std::string& Declarations() const { return declarations_; }
    // "\r\nname <= value;" for each top output fed by its signal, or by a net named otherwise.
    const std::string& Copies() const { return copies_; }
    // An ASSIGN field with each output that has a signal of its own named by that signal.
    std::string Assign(const std::string& field) const;
    // The nets the top declares, or that are top ports, as vectors of one bit.
    const std::unordered_set<std::string>& OneBitVectorNets() const { return oneBitVectors_; }
    // Every net the top names otherwise, those given and those whose names VHDL, which ignores
    // letter case, takes for another net's, a top port's, an instance's or a unit's: by the
    // project's name. The connection file must carry them.
    const NetRenames& Renamed() const { return renamed_; }

private:
    std::unordered_map<int, Association> associations_;
    std::unordered_map<std::string, std::string> inside_; // top output -> its signal
    std::string declarations_;
    std::string copies_;
    std::unordered_set<std::string> oneBitVectors_;
    NetRenames renamed_;
};

// The name with a suffix, as VHDL allows it: inside the backslashes of an extended identifier,
// and without a second underscore after one the name ends in.
std::string VhdlSuffixed(const std::string& name, const std::string& suffix);
