// Whether the tests run in CI (CI=true), where a missing HDL tool, corpus or display is a failure
// and not a skip.
#pragma once

#include <cstdlib>
#include <string_view>

inline bool InCi() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::string_view(ci) == "true";
}
