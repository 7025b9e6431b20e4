// Test helpers: project lines written as text (lines by newline, fields by TAB), a model that
// holds them, and the names of table cases.
#pragma once

#include "editor/model/ProjectModel.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>
#include <vector>

inline ProjectLines LinesFromText(std::string_view text) {
    ProjectLines lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view row = text.substr(start, end - start);
        start = end + 1;
        if (row.empty())
            continue;
        ProjectLine line;
        std::size_t f = 0;
        std::size_t from = 0;
        while (f < ProjectLineFields) {
            std::size_t tab = row.find('\t', from);
            line[f++] =
                std::string(row.substr(from, tab == std::string_view::npos ? tab : tab - from));
            if (tab == std::string_view::npos)
                break;
            from = tab + 1;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

// Field 0 of every line, in order: enough to compare projects in most tests.
inline std::vector<std::string> Keywords(const ProjectLines& lines) {
    std::vector<std::string> out;
    for (const ProjectLine& l : lines)
        out.push_back(l[0]);
    return out;
}

// Fields 0 to 7 of every line joined by TAB: the stored part of a project.
inline std::vector<std::string> StoredText(const ProjectLines& lines) {
    std::vector<std::string> out;
    for (const ProjectLine& l : lines) {
        std::string s = l[0];
        for (std::size_t f = 1; f < 8; ++f)
            s += "\t" + l[f];
        out.push_back(s);
    }
    return out;
}

// A small open project: a top module with two ports, two instances and a wire.
inline const char* const SmallProject = "TOP\t\ttop\n"
                                        "INPUT\t\t\tclk\n"
                                        "OUTPUT\t7\t0\tdout\n"
                                        "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
                                        "PARAMETER\t\t\tW\t8\t\tK\n"
                                        "INPUT\t\t\tclk\n"
                                        "OUTPUT\t7\t0\tq\n"
                                        "MODULE\tsink\tu2\t/src/sink.v\tverilog\n"
                                        "INPUT\t7\t0\td\n"
                                        "WIRE\tu1\tq\tu2\td\tnet_q\n";

// The model opened on the lines of text and rebuilt, with the rebuild's log lines cleared.
inline void LoadProject(ProjectModel& model, std::string_view text) {
    model.LineList = LinesFromText(text);
    model.PrjOpen = true;
    model.UpdatePicExecute(RebuildSender::MainWindow);
    model.ClearLog();
}

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
