// What every net in the lines must keep after any edit: each port on at most one net (a combined
// bus of the top on one net per slice), one name for all lines of a head, never a top-level port
// as a head, and every name an assignment speaks of a live net or a top-level port.
#pragma once

#include "editor/model/ProjectLine.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

// The names in an assignment text: its blank-separated words that begin like an identifier, an
// escaped one with the blank that closes it. Operators, ranges and literals ("==1'b0)?", "8'bz:",
// "[7:0]") are no names.
inline std::vector<std::string> AssignedNames(const std::string& text) {
    std::vector<std::string> names;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find(' ', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(at, end - at);
        at = end + 1;
        if (word.empty())
            continue;
        const char c = word.front();
        if (c == '\\')
            names.push_back(word + " ");
        else if (c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            names.push_back(word);
    }
    return names;
}

inline ::testing::AssertionResult NetsAreSound(const ProjectLines& lines,
                                               const std::string& topName) {
    // The top module's ports by their keywords, so that lines added since the last rebuild count.
    std::set<std::string> topPorts;
    std::set<std::string> combined;
    bool inTop = false;
    for (const ProjectLine& l : lines) {
        const char kind = LineKind(l[0]);
        if (kind == 'M')
            inTop = l[0].starts_with('T') && l[2] == topName;
        else if (inTop && kind == 'P') {
            topPorts.insert(l[3]);
            if (l[4] == "Y")
                combined.insert(l[3]);
        }
    }
    std::map<std::string, std::string> nameOfHead;
    std::map<std::string, std::string> headOfPort;
    std::set<std::string> nets;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ProjectLine& l = lines[i];
        if (l[0] != "WIRE" || l[FieldSuggestion] == "S")
            continue;
        const std::string head = l[1] + "." + l[2];
        const std::string tail = l[3] + "." + l[4];
        const std::string at = " (line " + std::to_string(i) + ")";
        if (l[1] == topName)
            return ::testing::AssertionFailure() << "top port " << head << " heads a net" << at;
        auto [named, fresh] = nameOfHead.try_emplace(head, l[5]);
        if (!fresh && named->second != l[5])
            return ::testing::AssertionFailure()
                   << head << " heads nets " << named->second << " and " << l[5] << at;
        nets.insert(l[5]);
        for (const std::string& end : {head, tail}) {
            // A combined bus ends one net for each of its slices.
            if (end == tail && l[3] == topName && combined.count(l[4]))
                continue;
            auto [on, first] = headOfPort.try_emplace(end, head);
            if (!first && on->second != head)
                return ::testing::AssertionFailure()
                       << end << " is on the nets of " << on->second << " and " << head << at;
        }
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ProjectLine& l = lines[i];
        if (l[0] != "ASSIGN")
            continue;
        for (const std::string& name : AssignedNames(l[1]))
            if (!nets.count(name) && !topPorts.count(name))
                return ::testing::AssertionFailure()
                       << "the assignment \"" << l[1] << "\" names " << name
                       << ", which is neither a net nor a top port (line " << i << ")";
    }
    return ::testing::AssertionSuccess();
}
