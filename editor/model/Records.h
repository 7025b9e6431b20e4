// The records the rebuild derives from the project lines: instances, ports and wires, and the
// main window's miscellaneous application settings.
#pragma once

#include "editor/model/FontValue.h"

#include <string>
#include <vector>

// One instance of a module; the top module is one too (with an empty module name).
struct mdu {
    std::string ModuleName; // MODULE field 1; empty for the top module
    std::string InstName;   // MODULE field 2 after repair; TOP field 2
    std::string Title;      // top module only: TOP field 3, or the name when that is empty
    int Columns = 1;        // port columns; raised by port placement
    int X = 0;
    int Y = 0;
    int BrushColor = 0;
    int PenColor = 0;
    int LineIndex = -1; // its TOP or MODULE line in LineList
    int Width = 0;      // box width, set before drawing
    int FirstPort = -1; // range of its ports in PortList; -1, -1 while it has none
    int LastPort = -1;
    std::string SrcPath;  // MODULE field 3
    std::string Language; // MODULE field 4, "verilog" or "vhdl"
    int ParaCount = 0;    // number of its PARAMETER lines
    // Seven texts per PARAMETER line, its fields 1 to 7 in order (MSB, LSB, name, value, empty,
    // "K" for a key parameter, VHDL type).
    std::vector<std::string> Params;
    bool Compact = false; // MODULE field 5 is "Y"

    bool IsTop() const { return ModuleName.empty(); }
};

// Index of a parameter's text within its group of seven in mdu::Params.
inline constexpr int ParamMsb = 0;
inline constexpr int ParamLsb = 1;
inline constexpr int ParamName = 2;
inline constexpr int ParamValue = 3;
inline constexpr int ParamKey = 5;
inline constexpr int ParamVhdlType = 6;
inline constexpr int ParamTexts = 7;

// One port of an instance.
struct port {
    int Msb = -1; // numbers of fields 1 and 2; -1, -1 for a one-bit port; only when Numeric
    int Lsb = -1;
    int Span = 0;          // |Msb - Lsb|
    char Kind = 'I';       // 'I', 'O' (OUTPUT and OUTPUT_B), 'B', 'V' (KVAR)
    std::string Name;      // field 3
    std::string OwnerName; // instance name of the owner (the top module's name for top ports)
    std::string WidthText; // "msb:lsb", empty for one bit; field 5 + ":" + field 6 when not numeric
    int X = 0;
    int Y = 0;
    int BrushColor = 0;
    int PenColor = 0;
    int Owner = -1;         // index in MduList of the instance whose line precedes the port line
    bool Collapsed = false; // field 13 is "Y"
    bool Combined = false;  // field 4 is "Y"
    std::string MsbExpr;    // field 5
    std::string LsbExpr;    // field 6
    bool Numeric = true;    // both width fields empty, or both decimal integers
    int LineIndex = -1;
    bool Lone = true; // no ordinary wire ends on it
};

// One connection between two instance ports; SmartLink suggestions use the same record.
struct wire {
    std::string Name;  // net name, WIRE field 5
    std::string PortA; // field 2
    std::string PortB; // field 4
    std::string InstA; // field 1
    std::string InstB; // field 3
    int X1 = 0;
    int Y1 = 0;
    int X2 = 0;
    int Y2 = 0;
    int DotColor = 0;
    int LineColor = 0;
};

struct StructAppMisc {
    int GenBox = 0;               // choices of the generation dialog
    std::string NewModuleProgram; // the external module editor
    int Recnet = 0;               // day number of the last guestbook prompt
    FontValue HdlFont;            // generated code and HDL text
    FontValue MsgFont;            // the message log
};
