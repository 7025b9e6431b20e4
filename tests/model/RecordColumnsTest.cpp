// Filing by columns: every item that covers some of the columns asked about is met once, short
// and long items alike, wherever they lie and however far apart they are spread.
#include "editor/model/RecordColumns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

TEST(ColumnIndex, MeetsEveryItemThatCoversTheColumnsAskedAboutOnce) {
    std::mt19937 rng(11);
    for (int round = 0; round < 40; ++round) {
        const int n = 1 + static_cast<int>(rng() % 300);
        // Mostly short boxes, some long spans, spread over a little or over the whole int range.
        const long long spread = round % 4 == 0 ? 2000000000LL : 5000;
        std::vector<long long> left(static_cast<std::size_t>(n));
        std::vector<long long> right(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            const long long x = static_cast<long long>(rng() % static_cast<unsigned>(spread)) - 50;
            const long long w = rng() % 10 == 0 ? static_cast<long long>(rng() % 4000) : rng() % 60;
            left[static_cast<std::size_t>(i)] = x;
            right[static_cast<std::size_t>(i)] = x + w;
        }
        ColumnIndex index;
        index.Build(left, right);
        ASSERT_EQ(index.Size(), static_cast<std::size_t>(n));
        for (int q = 0; q < 50; ++q) {
            const long long x0 =
                static_cast<long long>(rng() % static_cast<unsigned>(spread)) - 100;
            const long long x1 = x0 + static_cast<long long>(rng() % (q % 2 ? 3 : 1300));
            std::vector<int> met;
            index.Near(x0, x1, [&](int i) { met.push_back(i); });
            std::sort(met.begin(), met.end());
            EXPECT_EQ(std::adjacent_find(met.begin(), met.end()), met.end()) << "each item once";
            for (int i = 0; i < n; ++i) {
                const bool covers = left[static_cast<std::size_t>(i)] <= x1 &&
                                    right[static_cast<std::size_t>(i)] >= x0;
                if (covers) {
                    EXPECT_TRUE(std::binary_search(met.begin(), met.end(), i))
                        << "round " << round << " item " << i << " query " << x0 << ".." << x1;
                }
            }
            // What is met lies near: no short item far from the columns asked about.
            for (int i : met) {
                const std::size_t k = static_cast<std::size_t>(i);
                if (right[k] - left[k] < 60 && spread < 10000) {
                    EXPECT_GE(right[k], x0 - 256);
                    EXPECT_LE(left[k], x1 + 256);
                }
            }
        }
    }
}

TEST(ColumnIndex, WithoutItemsMeetsNothing) {
    ColumnIndex index;
    index.Build({}, {});
    int met = 0;
    index.Near(-10, 10, [&](int) { ++met; });
    EXPECT_EQ(met, 0);
}
