// Whether the tests run in CI (CI=true), where a missing HDL tool, corpus or display is a failure
// and not a skip.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string_view>

inline bool InCi() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::string_view(ci) == "true";
}

// The shared corpus is read where the build found it; a checkout without it skips, CI fails.
#define REQUIRE_CORPUS(file)                                                                       \
    do {                                                                                           \
        if (!std::filesystem::exists(file)) {                                                      \
            if (InCi())                                                                            \
                FAIL() << (file) << " is missing, and CI requires the corpus";                     \
            GTEST_SKIP() << (file) << " is missing: set ZUN_CORPUS_DIR to the shared corpus";      \
        }                                                                                          \
    } while (false)
