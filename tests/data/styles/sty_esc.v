// Ports with escaped identifiers, as netlists name them.
module sty_esc (
    input  wire       \clk.in ,
    output wire [1:0] \data.out ,
    output wire       valid
);
    reg [1:0] n = 2'b00;
    always @(posedge \clk.in )
        n <= ~n;
    assign \data.out = n;
    assign valid = n[0];
endmodule

module sty_esc_sink (
    input  wire [1:0] \data.in ,
    output wire       seen
);
    assign seen = ^\data.in ;
endmodule
