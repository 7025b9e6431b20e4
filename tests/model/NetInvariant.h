// What every net in the lines must keep after any edit: each port on at most one net, one name
// for all lines of a head, and never a top-level port as a head.
#pragma once

#include "editor/model/ProjectLine.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

inline ::testing::AssertionResult NetsAreSound(const ProjectLines& lines,
                                               const std::string& topName) {
    std::map<std::string, std::string> nameOfHead;
    std::map<std::string, std::string> headOfPort;
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
        for (const std::string& end : {head, tail}) {
            auto [on, first] = headOfPort.try_emplace(end, head);
            if (!first && on->second != head)
                return ::testing::AssertionFailure()
                       << end << " is on the nets of " << on->second << " and " << head << at;
        }
    }
    return ::testing::AssertionSuccess();
}
