// Leaf modules of the end-to-end designs that the finishing job completes.
module e2e_counter #(
    parameter W = 8
) (
    input  wire         clk,
    input  wire         rst,
    input  wire         en,
    output reg  [W-1:0] q
);
    always @(posedge clk)
        if (rst)
            q <= {W{1'b0}};
        else if (en)
            q <= q + {{(W - 1) {1'b0}}, 1'b1};
endmodule

module inv (
    input  wire [7:0] a,
    output wire [7:0] y
);
    assign y = ~a;
endmodule

module e2e_parity (
    input  wire [7:0] d,
    output wire       p
);
    assign p = ^d;
endmodule
