// Leaf modules in the Verilog 1995 style: port names in the header, declarations in the body.
module gen95_count (clk, rst, q);
    parameter W = 4;
    input clk;
    input rst;
    output [W-1:0] q;
    reg [W-1:0] q;

    always @(posedge clk)
        if (rst)
            q <= 0;
        else
            q <= q + 1;
endmodule

module gen95_gate (a, b, y);
    input [7:0] a;
    input [7:0] b;
    output [7:0] y;

    assign y = a & b;
endmodule
