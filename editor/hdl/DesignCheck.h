// The checks run before full-source generation.
#pragma once

class ProjectModel;

// Languages of CheckDesign.
inline constexpr char CheckVerilog = 'A';
inline constexpr char CheckVhdl = 'H';

// Looks over the records of the last rebuild and logs every finding: a port width that still
// depends on an undefined parameter (an error), a connected port that nothing drives, ports
// without connection (warnings), for VHDL, when the widths are sound, a generic without a
// type, and an instance named like something else the top declares (errors). Every port is
// examined, so one run lists every undefined width. True when generation may go on.
bool CheckDesign(ProjectModel& model, char language);
