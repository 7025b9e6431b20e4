// Test helper: every field of every derived record as text, so that two models' records compare
// in one expectation and a difference names the record and the field.
#pragma once

#include "editor/model/ProjectModel.h"

#include <string>
#include <vector>

inline std::vector<std::string> RecordsText(const ProjectModel& m) {
    std::vector<std::string> out;
    auto n = [](long long v) { return std::to_string(v); };
    for (std::size_t i = 0; i < m.MduList.size(); ++i) {
        const mdu& d = m.MduList[i];
        std::string s = "mdu " + n(static_cast<long long>(i)) + ": " + d.ModuleName + "|" +
                        d.InstName + "|" + d.Title + "|" + n(d.Columns) + "|" + n(d.X) + "," +
                        n(d.Y) + "|" + n(d.BrushColor) + "," + n(d.PenColor) + "|" +
                        n(d.LineIndex) + "|" + n(d.Width) + "|" + n(d.FirstPort) + "-" +
                        n(d.LastPort) + "|" + d.SrcPath + "|" + d.Language + "|" + n(d.ParaCount) +
                        "|" + (d.Compact ? "compact" : "");
        for (const std::string& p : d.Params)
            s += "|" + p;
        out.push_back(s);
    }
    for (std::size_t i = 0; i < m.PortList.size(); ++i) {
        const port& p = m.PortList[i];
        out.push_back("port " + n(static_cast<long long>(i)) + ": " + n(p.Msb) + ":" + n(p.Lsb) +
                      "|" + n(p.Span) + "|" + p.Kind + "|" + p.Name + "|" + p.OwnerName + "|" +
                      p.WidthText + "|" + n(p.X) + "," + n(p.Y) + "|" + n(p.BrushColor) + "," +
                      n(p.PenColor) + "|" + n(p.Owner) + "|" + (p.Collapsed ? "C" : "") +
                      (p.Combined ? "B" : "") + (p.Numeric ? "N" : "") + (p.Lone ? "L" : "") + "|" +
                      p.MsbExpr + "|" + p.LsbExpr + "|" + n(p.LineIndex));
    }
    for (const auto* list : {&m.WireList, &m.SuggestList}) {
        for (std::size_t i = 0; i < list->size(); ++i) {
            const wire& w = (*list)[i];
            out.push_back(std::string(list == &m.WireList ? "wire " : "suggestion ") +
                          n(static_cast<long long>(i)) + ": " + w.Name + "|" + w.InstA + "." +
                          w.PortA + "|" + w.InstB + "." + w.PortB + "|" + n(w.X1) + "," + n(w.Y1) +
                          "-" + n(w.X2) + "," + n(w.Y2) + "|" + n(w.DotColor) + "," +
                          n(w.LineColor));
        }
    }
    out.push_back("top " + m.TopName + " " + n(m.TopMdu) + " first module line " +
                  n(m.FirstMduLine));
    return out;
}

// Every field of every line: the lines of two models compare in one expectation.
inline std::vector<std::string> AllFields(const ProjectLines& lines) {
    std::vector<std::string> out;
    for (const ProjectLine& l : lines) {
        std::string s = l[0];
        for (std::size_t f = 1; f < ProjectLineFields; ++f)
            s += "\t" + l[f];
        out.push_back(s);
    }
    return out;
}
