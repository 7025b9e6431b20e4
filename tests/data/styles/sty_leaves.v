// Leaves in the styles of public Verilog libraries: parameters with a localparam, ANSI and
// non-ANSI headers, a port inside `ifdef, wide and one-bit ports, an output read inside, inouts.
`timescale 1ns / 1ps

module sty_acc #(
    parameter integer WIDTH = 8,
    parameter DEPTH = 16,
    parameter [7:0] INIT = 8'h00
) (
    input  wire             clk,
    input  wire             rst_n,
`ifdef STY_WITH_TEST
    input  wire             test_mode,
`endif
    input  wire [WIDTH-1:0] din,
    input  wire             din_valid,
    output reg  [WIDTH-1:0] acc,
    output wire             zero,
    output wire [63:0]      wide
);
    localparam AW = 4;
    reg [AW-1:0] count;

    always @(posedge clk or negedge rst_n)
        if (!rst_n) begin
            acc <= {WIDTH{INIT[0]}};
            count <= {AW{1'b0}};
        end else if (din_valid) begin
            acc <= acc + din;
            count <= count + 1'b1;
        end
    assign zero = (acc == {WIDTH{1'b0}}) && (count != DEPTH[AW-1:0]);
    assign wide = {{(64 - WIDTH) {1'b0}}, acc};
endmodule

// The 1995 header: ports listed, then declared; a localparam between the declarations.
module sty_reg95 (clk, d, q, q_n, bus, oe);
    parameter W = 4;
    localparam MSB = W - 1;
    input clk;
    input [MSB:0] d;
    output [MSB:0] q;
    output q_n;
    inout [W-1:0] bus;
    input oe;

    reg [MSB:0] q;
    always @(posedge clk)
        q <= d;
    assign q_n = ~q[0];
    assign bus = oe ? q : {W{1'bz}};
endmodule

// A bidirectional pin of one bit and a sink that reads it.
module sty_pin (
    inout  wire pin,
    input  wire drive,
    input  wire value,
    output wire seen
);
    assign pin = drive ? value : 1'bz;
    assign seen = pin;
endmodule
