// Full-source top levels in Verilog and VHDL: the skeleton the editor writes from the records of
// the last rebuild, the work files, the engine's finishing job, and the text read back.
#pragma once

#include "editor/hdl/EngineRunner.h"
#include "editor/hdl/VhdlTopPlan.h"
#include "editor/model/ProjectModel.h"

#include <optional>
#include <string>
#include <vector>

// What a generator returns in place of code; the reason is in the log.
extern const char* const GenErrorText;       // "Error."
extern const char* const GenNoTopText;       // "Error": Verilog without a top module
extern const char* const GenDesignErrorText; // "Error in design.": VHDL

// Log texts that every generator of a top level shares.
extern const char* const NoTopModuleFound;  // "No top module found. File damaged."
extern const char* const NoTopLevelPort;    // "No top level port exists."
extern const char* const IgnoreVariantPort; // "Ignore variant port:" + name + "."
extern const char* const UnknownPort;       // "Unknown port:" + name
extern const char* const NoPortInModule;    // "No port in module " + name + "."

// The line of the Verilog skeleton in front of which the net declarations go.
extern const char* const InstanceMarker; // "//Instantiate cell modules"

// "prj.tmp": every project line in order but the SmartLink suggestion wires, fields 0 to 7
// joined by TAB, each line ended by CR LF; the wire lines of the renamed nets carry their names
// in the top.
std::string ConnectionFileText(const ProjectLines& lines, const NetRenames& renamed = {});

// The skeletons ("obj.tmp" before the split into lines), from the records of the last rebuild.
// They log what they leave out; nothing, with the error logged, when there is no top module.
// The VHDL one takes the context clauses and the open inputs' defaults from what the modules'
// sources say; without sources it has the IEEE clauses alone and components without defaults.
// renamed, when given, receives the nets the top names otherwise, which the connection file
// must carry.
std::optional<std::string> VerilogSkeleton(ProjectModel& model, NetRenames* renamed = nullptr);
std::optional<std::string> VhdlSkeleton(ProjectModel& model, const VhdlSourceFacts& sources = {},
                                        NetRenames* renamed = nullptr);

// The finished Verilog closed by the editor: the engine's "wire " lines after the marker move in
// front of it, the last one written first, and the module is closed by an empty line and
// "endmodule". False, with the lines untouched, when the marker is gone.
bool CloseVerilogTop(std::vector<std::string>& lines);

class TopGenerator {
public:
    TopGenerator(ProjectModel& model, EngineRunner& runner) : model_(model), runner_(runner) {}

    // The skeleton, then the finished text, as lines; kept until the next generation.
    std::vector<std::string> CodeBuf;

    // The finished texts (without banner), or a short error text with the reason logged.
    std::string GenVerilogTop();
    std::string GenVhdlTop();

private:
    // Takes the skeleton into CodeBuf, writes the work files and runs the finishing job; the
    // engine's lines replace the skeleton in CodeBuf.
    bool Finish(EngineJob job, const std::string& skeleton, const NetRenames& renamed);
    // Logs the line count and answers the text of CodeBuf.
    std::string Result(std::size_t lines);

    ProjectModel& model_;
    EngineRunner& runner_;
};
