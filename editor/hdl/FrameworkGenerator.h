// The top level as a framework: the banner, the module or entity header with its ports, and
// every instance with its ports listed but left unconnected, laid out in the columns of the
// generated-text window. It needs no saved project, no design check and no engine.
#pragma once

#include "editor/hdl/GenText.h"

#include <string>

class ProjectModel;

// The framework of the last rebuild's top module in a style (Verilog2001Style, Verilog1995Style,
// VhdlFrameworkStyle), its columns as wide as widths says. report logs what is left out and
// why; without it nothing is logged, as when a column drag regenerates the text. Without a top
// module the text is "Error" (Verilog) or "Error in design." (VHDL).
std::string GenFramework(ProjectModel& model, int style, bool report,
                         const GenColumnWidths& widths);
