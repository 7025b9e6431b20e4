// Pulse-width modulator: the output is high while the counter is below the duty value.
module pwm (
    input  wire       clk,
    input  wire       rst_n,
    input  wire [7:0] count,
    input  wire [7:0] duty,
    output reg        pwm_out
);
    always @(posedge clk or negedge rst_n)
        if (!rst_n)
            pwm_out <= 1'b0;
        else
            pwm_out <= count < duty;
endmodule
