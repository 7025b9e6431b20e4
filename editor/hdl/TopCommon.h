// What every generator of a top-level text reads from the records the same way: the top module,
// the port kinds it declares, the tie-offs of open outputs, the parameter overrides, the bounds
// of a port, and the log lines of what it leaves out.
#pragma once

#include "editor/model/ProjectModel.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

// The first record with an empty module name; null when the project has none.
const mdu* FindTopModule(const ProjectModel& model);
// Both ends of the record's port range are set.
bool HasPorts(const mdu& m);
// Input, output and inout: the kinds a top module declares.
bool IsDeclaredKind(char kind);

// An open top output is tied to AssignOpenOut unless that is "N": an output with a numeric
// width that no wire ends on.
bool IsOpenOutputToTie(const ProjectModel& model, const port& p);
// "\r\nassign name ={n{1'bc}};": every bit of the output tied to AssignOpenOut.
std::string VerilogTieOff(const ProjectModel& model, const port& p);
// The VHDL tie-off; a one-bit port has no width text, while (3 downto 3) is a vector of one.
std::string VhdlTieOff(const ProjectModel& model, const port& p, std::size_t nameColumns);
// "defparam inst.name = value ;\n" for each parameter whose instance value is set and differs
// from the module's.
std::string VerilogDefparams(const mdu& m);

// The instance's value of a parameter (PARAMETER field 5) within its group of seven.
inline constexpr std::size_t ParamInstValue = 4;
// The value a generic is mapped to: the instance's, else the module's default; blank when it has
// neither.
const std::string& GenericValue(const mdu& m, std::size_t group);
// The generic has no instance value and its default names another generic of the module (a
// depth of 2 ** ADDR_W): the default means that generic in the module's own scope, which the
// top cannot see, so a generic map leaves the generic to the component's default, the same text.
bool DefaultNamesAnotherGeneric(const mdu& m, std::size_t group);
// Only tabs, blanks and line ends.
bool IsBlank(const std::string& text);
// A bound as the finishing job reads a port line's width field: decimal digits only.
std::optional<int> WidthNumber(const std::string& text);

// The MSB and LSB texts of a top port: its numbers, or, for a width that did not evaluate, the
// bound expressions of its line (its raw fields where those are empty); empty for one bit.
struct PortBounds {
    std::string Msb;
    std::string Lsb;
    bool Down = true; // runs down: MSB >= LSB, and always for a width that is not numeric
};
PortBounds DecimalBounds(const ProjectModel& model, const port& p);
// The bound expressions of the port's line, where a component declares it; its numbers where
// the line has none.
PortBounds ExpressionBounds(const port& p);

// The top module's ports by name; the first of a name where two share one.
using TopPortsByName = std::unordered_map<std::string_view, const port*>;
TopPortsByName TopPortsByNameOf(const ProjectModel& model, const mdu& top);
// Each top port once, with the first wire line that names it, in line order: the finishing jobs
// put a port on that line's net. Suggestion lines and lines without a net name none.
void ForEachTopPortOnItsNet(const ProjectModel& model, const TopPortsByName& topPorts,
                            const std::function<void(const port&, const ProjectLine&)>& visit);

// Nets a generated top writes under another name than the project's, by the project's name.
using NetRenames = std::unordered_map<std::string, std::string>;
// A net that carries a top inout and is named otherwise goes by the inout's name: no assignment
// joins an inout to its net, as an inout drives both ways. A second inout on the net cannot be
// joined to it at all, and is told of. Each port is on the net of the first wire line that
// names it, as the finishing jobs fill them.
NetRenames InoutNetRenames(ProjectModel& model);
// The renames given, and a new name for each net named like an instance, as Verilog declares
// nets and instances in one name space: the first of name_2, name_3, ... that no net, top port
// or instance has. A net that is a top port keeps its name.
NetRenames VerilogNetRenames(const ProjectModel& model, NetRenames renames);
// An ASSIGN field with each blank-separated word that names a renamed net renamed.
std::string RenamedWords(const std::string& field, const NetRenames& renames);
// The net's name in the generated top.
const std::string& RenamedNet(const std::string& net, const NetRenames& renames);

// "Ignore variant port:" + name + "." or "Unknown port:" + name + ".".
void LogTopPortLeftOut(ProjectModel& model, const port& p);
// The warning for a top port whose width did not evaluate: its expressions are written instead.
void LogWidthNotNumeric(ProjectModel& model, const port& p);
// The warning for a generic that has neither an instance value nor a default: it gets no
// association.
void LogGenericWithoutValue(ProjectModel& model, const mdu& m, std::size_t group);
