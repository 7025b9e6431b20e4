// Generators of synthetic Verilog and VHDL, shaped like real cores but of any size.
#include "SyntheticCorpus.h"

namespace bench {

std::string SmallModules(int count) {
    std::string text = "`timescale 1ns/1ps\n";
    for (int i = 0; i < count; ++i) {
        std::string n = std::to_string(i);
        text += "// Module m" + n + ": see http://example.com/m" + n + " for the register map\n";
        text += "/* A block comment with a // inside it\n   and module words: module fake" + n +
                "; endmodule */\n";
        text += "module m" + n + " #(\n";
        text += "    parameter WIDTH = " + std::to_string(8 + i % 8) + ",\n";
        text += "    parameter DEPTH = 16,\n";
        text += "    parameter AW = $clog2(DEPTH)\n";
        text += ") (\n";
        text += "    input  wire             clk,\n";
        text += "    input  wire             rst, // active high\n";
        text += "    input  wire [WIDTH-1:0] din,\n";
        text += "`ifdef WITH_STATUS\n";
        text += "    output wire [AW-1 : 0]  level,\n";
        text += "`endif\n";
        text += "    output reg  [WIDTH-1:0] dout = 0\n";
        text += ");\n";
        text += "    reg [WIDTH-1:0] mem [0:DEPTH-1];\n";
        text += "    function [WIDTH-1:0] swap; input [WIDTH-1:0] v; swap = ~v; endfunction\n";
        text += "    always @(posedge clk) begin\n";
        text += "        if (rst) dout <= 0; else dout <= swap(din) ^ mem[0];\n";
        text += "    end\n";
        text += "endmodule\n\n";
    }
    return text;
}

std::string DirectiveModules(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        std::string n = std::to_string(i);
        text += "`include <defs" + n + ".vh\n";
        text += "`define HAS_" + n + "\n";
        text += "`ifdef HAS_" + n + "\n";
        text += "module d" + n + " (input wire clk,\n";
        text += "`ifndef NARROW\n";
        text += "    input wire [7:0] wide,\n";
        text += "`else\n";
        text += "    input wire narrow,\n";
        text += "`endif\n";
        text += "    output wire q);\n";
        text += "endmodule\n";
        text += "`endif\n";
        text += "`undef HAS_" + n + "\n\n";
    }
    return text;
}

std::string WidePortModule(int ports) {
    std::string text = "module wide #(parameter W = 8) (\n";
    for (int i = 0; i < ports; ++i) {
        text += i % 3 == 0   ? "    input  wire [W-1:0] "
                : i % 3 == 1 ? "    output reg  [7:0] "
                             : "    input  wire ";
        text += "p" + std::to_string(i) + (i + 1 < ports ? ",\n" : "\n");
    }
    text += ");\nendmodule\n";
    return text;
}

std::string LongDeclaration(int names) {
    std::string text = "module longdecl (clk";
    for (int i = 0; i < names; ++i)
        text += ", n" + std::to_string(i);
    text += ");\n  input clk;\n  input [3:0] ";
    for (int i = 0; i < names; ++i)
        text += (i ? ", n" : "n") + std::to_string(i);
    text += ";\nendmodule\n";
    return text;
}

std::string VhdlEntities(int count) {
    std::string text = "library ieee;\nuse ieee.std_logic_1164.all;\n\n";
    for (int i = 0; i < count; ++i) {
        std::string n = "e" + std::to_string(i);
        text += "-- Entity " + n + ": a registered pass-through\n";
        text += "library ieee;\nuse ieee.std_logic_1164.all;\n";
        text += "entity " + n + " is\n";
        text += "  generic (WIDTH : natural := 8; DEPTH : natural := 16);\n";
        text += "  port (\n";
        text += "    clk  : in  std_logic; -- clock\n";
        text += "    din  : in  std_logic_vector(WIDTH-1 downto 0);\n";
        text += "    dout : out std_logic_vector(WIDTH-1 downto 0)\n";
        text += "  );\n";
        text += "end entity " + n + ";\n\n";
        text += "architecture rtl of " + n + " is\n";
        text += "begin\n";
        text += "  process (clk) begin\n";
        text += "    if rising_edge(clk) then dout <= din; end if;\n";
        text += "  end process;\n";
        text += "end architecture rtl;\n\n";
    }
    return text;
}

std::string AssignBody(int lines) {
    std::string text = "module big(input a, input b, output y);\n";
    for (int i = 0; i < lines; ++i)
        text += "  assign w" + std::to_string(i) + " = a & b | ~a ^ b;\n";
    text += "endmodule\nmodule small(input c); endmodule\n";
    return text;
}

std::string UnclosedEntities(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "entity e is port (a : in std_logic);\n";
    text += "entity last is port (b : in std_logic); end last;\n";
    return text;
}

} // namespace bench
