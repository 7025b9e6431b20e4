// The names of the top module's ports, in port order, as the last rebuild made them.
#pragma once

#include "editor/model/ProjectModel.h"

#include <string>
#include <vector>

inline std::vector<std::string> TopPortNames(const ProjectModel& m) {
    std::vector<std::string> out;
    const mdu* top = m.TopRecord();
    if (top && top->FirstPort >= 0)
        for (int i = top->FirstPort; i <= top->LastPort; ++i)
            out.push_back(m.PortList[i].Name);
    return out;
}
