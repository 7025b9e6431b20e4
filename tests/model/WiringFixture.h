// A project to wire: a top module and three instances with ports of every kind, rebuilt, and
// helpers to name a port and to read the wire lines.
#pragma once

#include "ModelText.h"
#include "NetInvariant.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

inline const char* const WiringProject = "TOP\t\ttop\n"
                                         "INPUT\t\t\tclk\n"
                                         "INPUT\t7\t0\tdin\n"
                                         "OUTPUT\t7\t0\tdout\n"
                                         "BIDIR\t\t\tio\n"
                                         "KVAR\t\t\tv\n"
                                         "INPUT\t\t\tcb\tY\n"
                                         "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
                                         "INPUT\t\t\tclk\n"
                                         "INPUT\t7\t0\td\n"
                                         "OUTPUT\t7\t0\tq\n"
                                         "OUTPUT\t\t\to_valid\n"
                                         "OUTPUT\t\t\tirq_n\n"
                                         "BIDIR\t\t\tpad\n"
                                         "KVAR\t\t\tany\n"
                                         "INPUT\tNA\tNA\twide\t\tW-1\t0\n"
                                         "MODULE\tsink\tu2\t/src/sink.v\tverilog\n"
                                         "INPUT\t\t\tclk\n"
                                         "INPUT\t7\t0\td\n"
                                         "OUTPUT\t7\t0\tq\n"
                                         "BIDIR\t\t\tpad\n"
                                         "MODULE\tsink\tu3\t/src/sink.v\tverilog\n"
                                         "INPUT\t\t\tclk\n"
                                         "INPUT\t7\t0\td\n"
                                         "OUTPUT\t7\t0\tq\n"
                                         "BIDIR\t\t\tpad\n";

class Wiring : public ::testing::Test {
protected:
    // The project above plus extra lines (wires, assignments), rebuilt with a clean log.
    void Load(const std::string& extra = "") {
        m.LineList = LinesFromText(std::string(WiringProject) + extra);
        m.PrjOpen = true;
        Rebuild();
    }
    void Rebuild() {
        m.UpdatePicExecute(RebuildSender::MainWindow);
        m.ClearLog();
    }
    void SetUp() override { Load(); }

    const port& P(const std::string& inst, const std::string& name) {
        const int k = m.FindPortQuiet(inst, name);
        EXPECT_GE(k, 0) << inst << "." << name;
        return m.PortList[k < 0 ? 0 : k];
    }
    // Fields 1 to 5 of every ordinary WIRE line, joined by blanks, in line order.
    std::vector<std::string> Wires() const {
        std::vector<std::string> out;
        for (const ProjectLine& l : m.LineList)
            if (l[0] == "WIRE" && l[FieldSuggestion] != "S")
                out.push_back(l[1] + " " + l[2] + " " + l[3] + " " + l[4] + " " + l[5]);
        return out;
    }
    std::vector<std::string> Assigns() const {
        std::vector<std::string> out;
        for (const ProjectLine& l : m.LineList)
            if (l[0] == "ASSIGN")
                out.push_back(l[1]);
        return out;
    }
    const std::vector<std::string>& LogLines() const { return m.Log.Lines(); }
    ::testing::AssertionResult Sound() const { return NetsAreSound(m.LineList, m.TopName); }

    ProjectModel m;
};

using Lines = std::vector<std::string>;

// Names a case of a parameterised test by its name field, letters and digits only.
struct CaseName {
    template <class Case> std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        std::string n = info.param.name;
        for (char& ch : n)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return n;
    }
};
