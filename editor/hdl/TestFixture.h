// Test fixtures: a test-bench skeleton for the top module in Verilog or VHDL, which declares one
// signal per top-level port and instantiates the top as "dut" with every port on the signal of
// its name. Built from the records of the last rebuild; no engine is involved.
#pragma once

#include <optional>
#include <string>

class GenTextModel;
class ProjectModel;
class Prompt;

// Told when the top module has no port a fixture could drive or watch.
extern const char* const NoTopLevelPortsFound; // "No top level ports found."

// What the generated-text window is given.
struct FixtureText {
    std::string Text; // no line break after the last line
    std::string Caption;
    int FilterIndex = 0;
    std::string FileName;
};

// The fixtures of the top as it is generated, under its title; nothing when there is no top
// module or it has no port to connect (for VHDL, none but variant ports, which have no mode).
std::optional<FixtureText> VerilogFixture(ProjectModel& model);
std::optional<FixtureText> VhdlFixture(ProjectModel& model);

// The actions GenTstVlog and GenTstVHDL: the fixture shown as plain text in the window, or the
// message box "No top level ports found." with the window untouched. True when shown.
bool GenTstVlogExecute(ProjectModel& model, Prompt& prompt, GenTextModel& window);
bool GenTstVHDLExecute(ProjectModel& model, Prompt& prompt, GenTextModel& window);
