// The display tests' own Xvfb, started once by their main.
#pragma once

#include "support/InCi.h"

#include <gtest/gtest.h>

#include <string>

// Why the display could not be had; empty when it is there.
extern std::string DisplayProblem;

// Ends the test when there is no display: a failure in CI, which must have one, a skip elsewhere.
#define NEEDS_DISPLAY()                                                                            \
    do {                                                                                           \
        if (!DisplayProblem.empty()) {                                                             \
            if (InCi())                                                                            \
                FAIL() << DisplayProblem;                                                          \
            GTEST_SKIP() << DisplayProblem;                                                        \
        }                                                                                          \
    } while (false)
