// Bringing module ports to the top level, and the edits of one port's or one instance's lines:
// the head of a net, the output enable of a combined inout, isolating a port and deleting an
// instance. Callers take the undo snapshot before and run the rebuild after.
#pragma once

#include "editor/model/ProjectModel.h"

#include <optional>
#include <string>

class NetIndex;

// The type word of a direction letter: "Input", "Output", "Inout" (or "Bidir" with bidirWord),
// "Variant"; an unknown letter logs "Unknown port type." and gives "Variant". caseLetter 'U' or
// 'u' gives upper case, 'L' or 'l' lower case, anything else the word as it is.
std::string PortTypeWord(MessageLog& log, char kind, char caseLetter, bool bidirWord);
// The keyword of a port line of this direction letter: "INPUT", "OUTPUT", "BIDIR", "KVAR".
std::string PortKeyword(MessageLog& log, char kind);

// Logged when a naming rule or a typed name leaves a new top port without a name.
extern const char* const EmptyTopPortName; // "Top port name can't be empty."

// The steps of MapPortToTop that a caller mapping many ports at once shares with it.
// Whether p cannot be mapped at all (a width that is not a number, a top port, a driven input
// unless it goes to a named, non-variant top port); the reason is logged. nets, when given, is
// the index of the present lines, for a caller that asks about many ports.
bool MapRefused(ProjectModel& model, const port& p, bool named, bool variantTarget,
                const NetIndex* nets = nullptr);
// The name TopNameRule gives p's new top port, made an escaped identifier (with a warning) when
// it is no plain one; nothing, with the error logged, when it is empty or has an inner blank.
std::optional<std::string> RuleTopPortName(ProjectModel& model, const port& p);
// A name that begins with a backslash as the project stores it: a Verilog escaped name with the
// blank that closes it, which the engine reads without; a VHDL extended identifier, closed by its
// own backslash, as it is.
std::string EscapedNameAsStored(std::string name);
// Tells that a new top port's name is taken: the warning, and status when given.
void ReportTopNameTaken(ProjectModel& model, const std::string& name, std::string* status);
// The port line of a new top port named name with p's direction and width.
ProjectLine TopPortLine(MessageLog& log, const port& p, const std::string& name);

// Maps the module port p to the top level. With name empty a top port named by TopNameRule is
// made, its line inserted at insertRow; with a name, p is wired to that existing top port, which,
// with variantTarget, takes p's direction and width. False, with the reason logged, when refused;
// status (when given) receives the status-bar text of a name that is taken.
bool MapPortToTop(ProjectModel& model, const port& p, int insertRow, const std::string& name,
                  bool variantTarget, std::string* status = nullptr);
// Makes p the head of its net; its automatic name follows the head. False for a top port, a port
// on no net, or a net that cannot be renamed.
bool SetMainPort(ProjectModel& model, const port& p);
// Finds the tri-state assignment of the net wireName: wasOne tells whether its enable compares
// with 1'b1; with toggle the comparison is flipped. False when there is none.
bool ToggleOutputEnable(ProjectModel& model, const std::string& wireName, bool& wasOne,
                        bool toggle);
// Removes every ordinary wire of the port (and, for a top port, the assignments naming it); with
// deleteToo also its line. A wire to a combined bus port of the top module stays: then the answer
// is false and the port line is kept. False too when a remaining net could not be renamed.
bool IsolatePort(ProjectModel& model, const port& p, bool deleteToo);
// Whether a wire of a module port stays when the port is isolated: one whose end B is a combined
// bus port of the top module, which has to go first. The refusal is logged.
bool WireOfModulePortStays(ProjectModel& model, const ProjectLine& wireLine);
// Deletes the instance's MODULE line and the parameter and port lines of its block. The top
// module is never deleted.
void DeleteInstance(ProjectModel& model, const mdu& instance);
