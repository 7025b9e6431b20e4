// The benchmarks' synthetic project: a top and n instances of 16 ports chained by wires.
#pragma once

#include "editor/model/ProjectModel.h"

#include <string>

// A top module with 16 ports and n instances of 16 ports each; the output of every instance
// drives an input of the next.
inline ProjectLines SyntheticProject(int n, bool sameNames) {
    ProjectLines lines;
    lines.push_back(MakeLine({"TOP", "", "top"}));
    for (int p = 0; p < 16; ++p)
        lines.push_back(MakeLine({p % 2 ? "OUTPUT" : "INPUT", "7", "0", "t" + std::to_string(p)}));
    for (int k = 0; k < n; ++k) {
        const std::string inst = sameNames ? "u" : "u" + std::to_string(k);
        lines.push_back(MakeLine({"MODULE", "core", inst, "/src/core.v", "verilog"}));
        lines.push_back(MakeLine({"PARAMETER", "", "", "W", "8", "", "K"}));
        for (int p = 0; p < 16; ++p)
            lines.push_back(MakeLine(
                {p % 2 ? "OUTPUT" : "INPUT", "W-1", "0", "p" + std::to_string(p), "", "W-1", "0"}));
    }
    for (int k = 0; k + 1 < n && !sameNames; ++k)
        lines.push_back(MakeLine({"WIRE", "u" + std::to_string(k), "p1",
                                  "u" + std::to_string(k + 1), "p0", "n" + std::to_string(k)}));
    return lines;
}
