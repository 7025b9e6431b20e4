// The project edits behind the context menu's dialogs: a copy of an instance under a new name,
// top-level ports combined into one bus, and an input, a data output and an output enable
// combined into one inout with its tri-state assignment. The caller takes the undo snapshot and
// runs the last rebuild; the combining edits rebuild the records once themselves.
#pragma once

#include "editor/canvas/NamingDialogs.h"
#include "editor/model/ProjectModel.h"

#include <string>
#include <vector>

// Inserts, right after the instance's block, a MODULE line of the same module named name, its
// parameter lines and its port lines, each port line with the keyword of the copied one.
void DuplicateInstance(ProjectModel& model, const mdu& instance, const std::string& name);

// A top-level port as a combining edit needs it once its line is gone: taken from the records
// and lines before the first change.
struct CapturedPort {
    std::string Name;
    char Kind = 'I';
    int Msb = -1;
    int Lsb = -1;
    int Span = 0;
    std::string Net; // the net of the first wire that ends on it; empty when none does
};
CapturedPort CapturePort(const ProjectModel& model, const port& p);

// The n-th free "W" name (from 1) that is not except, a name about to be taken by a port that
// the records do not have yet; empty when none is left.
std::string FreeWireNameExcept(ProjectModel& model, int n, const std::string& except);

// Replaces the top ports of rows (their final order; each row's Port a port's name) by one bus
// port bus [msb:lsb] of kind ('I' or 'O'), marked combined, and gives every wire that ended on
// one of them a net of its own, W-named, driven by or driving its slice of the bus through an
// assignment.
void CombinePorts(ProjectModel& model, char kind, const std::string& bus, int msb, int lsb,
                  const std::vector<CombineRow>& rows);

// Replaces the input, the data output and the enable by the inout io, marked combined, with the
// input's width; their nets take the free names wires[0] (enable), wires[1] (input) and wires[2]
// (output), every wire that ended on one of them ends on io, and two assignments drive the
// input's net from io and io from the output under enCondition.
void CombineToInout(ProjectModel& model, const CapturedPort& in, const CapturedPort& out,
                    const CapturedPort& enable, const std::string& io,
                    const std::string& enCondition, const std::array<std::string, 3>& wires);
