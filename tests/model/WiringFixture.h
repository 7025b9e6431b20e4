// A project to wire: a top module and three instances with ports of every kind, rebuilt, and
// helpers to name a port, to read the wire lines and to check an edit's undo.
#pragma once

#include "ModelText.h"
#include "NetInvariant.h"

#include "editor/model/ProjectFile.h"

#include <gtest/gtest.h>

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

using Lines = std::vector<std::string>;

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
    // A project of its own, rebuilt, unmodified, without undo and with a clean log.
    void LoadText(const std::string& text) {
        m.LineList = LinesFromText(text);
        m.PrjOpen = true;
        Rebuild();
        m.Modified = false;
        m.SetUndoRedoEnabled(false, false);
    }

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
    // The stored fields of every line, TABs shown as "|", the empty fields at the end left out.
    Lines Text() const {
        Lines out;
        for (std::string line : StoredText(m.LineList)) {
            while (!line.empty() && line.back() == '\t')
                line.pop_back();
            for (char& ch : line)
                if (ch == '\t')
                    ch = '|';
            out.push_back(line);
        }
        return out;
    }
    const std::vector<std::string>& LogLines() const { return m.Log.Lines(); }
    ::testing::AssertionResult Sound() const { return NetsAreSound(m.LineList, m.TopName); }
    // The project as its file holds it, before scrambling.
    std::string ProjectText() { return BuildProjectText(m); }
    // After an edit that took the undo snapshot: Undo gives back the project text of before,
    // byte for byte.
    void ExpectUndoRestores(const std::string& before) {
        ASSERT_TRUE(m.UndoEnabled());
        m.UndoExecute();
        EXPECT_EQ(ProjectText(), before);
        EXPECT_TRUE(Sound());
    }

    ProjectModel m;
};
