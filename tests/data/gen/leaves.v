// Leaf modules of the projects that the generation tests build through the module wizard.
module gen_addr #(
    parameter AW = 4
) (
    input  wire          clk,
    input  wire          rst,
    output reg  [AW-1:0] addr
);
    always @(posedge clk)
        if (rst)
            addr <= {AW{1'b0}};
        else
            addr <= addr + {{(AW - 1) {1'b0}}, 1'b1};
endmodule

module gen_mix (
    input  wire [7:0] a,
    input  wire [7:0] b,
    output wire [7:0] y,
    output wire       flag
);
    assign y = a ^ b;
    assign flag = &y;
endmodule
