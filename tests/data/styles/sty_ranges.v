// Vectors whose bounds are not those of a byte's low half: a high nibble, one counted upwards,
// and a bit of a vector.
module sty_nib (
    input  wire [3:0] lo,
    input  wire [0:3] up,
    output wire [7:4] hi,
    output wire [2:2] bit2
);
    assign hi = lo ^ up;
    assign bit2 = lo[2];
endmodule
