// Small seeded designs for tests that compare a command with its step-by-step description: a top
// module and a few instances whose ports share names from a small pool (so mapped names collide),
// of every direction, one bit, eight bits or a width that is not a number, wired by the editor's
// own ConnectPorts and MapPortToTop.
#pragma once

#include "editor/model/Nets.h"
#include "editor/model/ProjectModel.h"
#include "editor/model/TopLevel.h"

#include <random>
#include <string>

inline void LoadRandomDesign(ProjectModel& m, unsigned seed, int instances = 5, int wires = 8) {
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    static const char* const names[] = {"clk", "d", "q", "en", "data", "irq", "pad", "sel"};
    static const char* const keywords[] = {"INPUT", "OUTPUT", "BIDIR", "KVAR", "OUTPUT_B"};
    m.LineList.clear();
    m.LineList.push_back(MakeLine({"TOP", "", "top"}));
    const int topPorts = pick(3);
    for (int k = 0; k < topPorts; ++k)
        m.LineList.push_back(MakeLine({keywords[pick(4)], "", "", std::string("t") + names[k]}));
    for (int i = 0; i < instances; ++i) {
        const std::string inst = "u" + std::to_string(i);
        m.LineList.push_back(
            MakeLine({"MODULE", "m" + std::to_string(pick(3)), inst, "/src/m.v", "verilog"}));
        const int ports = 1 + pick(6);
        for (int k = 0; k < ports; ++k) {
            const int width = pick(5);
            const std::string msb = width == 0 ? "" : width == 1 ? "NA" : "7";
            const std::string lsb = width == 0 ? "" : width == 1 ? "NA" : "0";
            // Names repeat within the pool, never within one instance.
            m.LineList.push_back(MakeLine({keywords[pick(5)], msb, lsb, names[(k + i) % 8], "",
                                           width == 1 ? "W-1" : "", width == 1 ? "0" : ""}));
        }
    }
    m.PrjOpen = true;
    m.UpdatePicExecute(RebuildSender::MainWindow);
    m.StrictRule = pick(2) == 0;
    for (int w = 0; w < wires && m.PortList.size() > 1; ++w) {
        const port a = m.PortList[pick(static_cast<int>(m.PortList.size()))];
        const port b = m.PortList[pick(static_cast<int>(m.PortList.size()))];
        if (ConnectPorts(m, a, b))
            m.UpdatePicExecute(RebuildSender::MainWindow);
    }
    m.ClearLog();
}
