// Commands over the whole design: mapping every lone port (of one direction or all) or every
// port of an undriven net to the top level, and listing which instances an instance, a port or
// the selected ports are connected to.
#pragma once

#include "editor/model/ProjectModel.h"

// The kind letters of MapLonePortsOfKind: every direction, or one.
inline constexpr char AllKinds = 'A';

// Maps each lone port of the instances whose direction letter is kind ('I', 'O', 'B', or
// AllKinds, which alone takes variant ports too) to a new top port named by TopNameRule, in port
// order, and answers how many were mapped. The records are rebuilt when any was. Takes no undo
// snapshot and logs only what the mappings log.
int MapLonePortsOfKind(ProjectModel& model, char kind);

// The four map actions and MapUndrv: the action line, the undo snapshot (also when nothing is
// mapped), the mappings and the closing "Done." line; each answers how many ports it mapped. The
// records are rebuilt after a mapping; drawing them is the caller's.
int MapAllOrphansExecute(ProjectModel& model);
int MapInputsExecute(ProjectModel& model);
int MapOutputsExecute(ProjectModel& model);
int MapInoutsExecute(ProjectModel& model);
// Maps each wired port whose net has no driver, a top-level input counting as one.
int MapUndrvExecute(ProjectModel& model);

// ListConnections modes: an instance, one port, or the selected ports (SelList).
inline constexpr char ListInstance = 'M';
inline constexpr char ListPort = 'P';
inline constexpr char ListSelection = 'G';

// Writes to the log, for the instance (mode 'M'), the port (mode 'P') or the selected ports
// (any other mode), every other instance it is connected to with the number of ports and bits,
// each net counted once; the selected ports' own instances are never listed. A port whose width
// is not a number counts one bit. Changes nothing but the log.
void ListConnections(ProjectModel& model, char mode, const mdu* instance, const port* p);
