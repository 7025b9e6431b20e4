// The loop of a bounded random driver: its rounds by seed, each failure reported with the seed
// that makes it again, and the table of seeds that once failed.
#pragma once

#include "support/RandomDriver.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>

// What one round found: what did not hold (empty when everything did), and whether the mutated
// input was taken (a project opened, a grid read, a value given) rather than refused.
struct RoundOutcome {
    std::string failure;
    bool taken = false;
};

// A seed that once failed, with the fault it found; it runs on every build.
struct FixedSeed {
    std::uint64_t seed;
    const char* fault;
};

// Runs round(seed) for `rounds` rounds of the driver and answers how many inputs were taken. A
// round that fails is reported with its seed; after five the run stops, so that one fault does
// not bury the log.
template <class Round>
std::size_t RunDriverRounds(std::uint64_t driver, std::size_t rounds, Round round) {
    std::size_t taken = 0;
    int failures = 0;
    for (std::size_t r = 0; r < rounds && failures < 5; ++r) {
        const std::uint64_t seed = RoundSeed(driver, r);
        const RoundOutcome outcome = round(seed);
        taken += outcome.taken ? 1 : 0;
        if (!outcome.failure.empty()) {
            ++failures;
            ADD_FAILURE() << "seed " << seed << ": " << outcome.failure;
        }
    }
    return taken;
}

template <class Round, std::size_t N> void RunFixedSeeds(const FixedSeed (&seeds)[N], Round round) {
    for (const FixedSeed& f : seeds) {
        const RoundOutcome outcome = round(f.seed);
        EXPECT_TRUE(outcome.failure.empty())
            << "seed " << f.seed << " (" << f.fault << "): " << outcome.failure;
    }
}
