// Two-flop synchroniser: brings an asynchronous input into the clock domain.
module sync2 (
    input  wire clk,
    input  wire async_in,
    output wire sync_out
);
    reg [1:0] stages = 2'b00;

    always @(posedge clk)
        stages <= {stages[0], async_in};

    assign sync_out = stages[1];
endmodule
