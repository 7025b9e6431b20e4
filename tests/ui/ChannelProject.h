// A project for SmartLink in the main window: three instances with a channel port each; u1's
// drives the other two and the top's output, so the shipped rules propose three wires from it.
#pragma once

inline const char* const kChannels = "TOP\t\tt\n"
                                     "OUTPUT\t\t\ttx_1_2data\n"
                                     "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
                                     "OUTPUT\t\t\ttx_1_2data\n"
                                     "MODULE\tsink\tu2\t/src/sink.v\tverilog\n"
                                     "INPUT\t\t\ttx_1_2data\n"
                                     "MODULE\tsink\tu3\t/src/sink.v\tverilog\n"
                                     "INPUT\t\t\ttx_1_2data\n";
