// The flat name index behind the lookups of instances and ports by name.
#include "editor/model/RecordIndex.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// "u" and 7 give "u7".
std::string Numbered(const char* prefix, int k) {
    return std::string(prefix).append(std::to_string(k));
}

// Records as the index sees them: an instance and a port name per position.
struct Names {
    std::vector<std::pair<std::string, std::string>> records;
    RecordIndex index;

    void Add(const std::string& inst, const std::string& port) {
        records.emplace_back(inst, port);
        const int at = static_cast<int>(records.size()) - 1;
        index.Add(RecordIndex::Hash(inst, port), at,
                  [&](int k) { return records[k] == records[at]; });
    }
    int Find(const std::string& inst, const std::string& port) const {
        return index.Find(RecordIndex::Hash(inst, port), [&](int k) {
            return records[k].first == inst && records[k].second == port;
        });
    }
};

} // namespace

TEST(RecordIndex, FindsEveryNameAfterTheTableGrewManyTimes) {
    Names n;
    for (int k = 0; k < 5000; ++k)
        n.Add(Numbered("u", k / 20), Numbered("p", k % 20));
    EXPECT_EQ(n.index.Size(), 5000u);
    for (int k = 0; k < 5000; k += 7)
        EXPECT_EQ(n.Find(Numbered("u", k / 20), Numbered("p", k % 20)), k);
    EXPECT_EQ(n.Find("u250", "p0"), -1);
    EXPECT_EQ(n.Find("u1", "p20"), -1);
}

TEST(RecordIndex, TheFirstRecordOfANameKeepsIt) {
    Names n;
    n.Add("u1", "d");
    n.Add("u2", "d");
    n.Add("u1", "d");
    EXPECT_EQ(n.Find("u1", "d"), 0);
    EXPECT_EQ(n.Find("u2", "d"), 1);
    EXPECT_EQ(n.index.Size(), 2u);
}

TEST(RecordIndex, KeepsTheTwoPartsOfANameApart) {
    Names n;
    n.Add("ab", "c");
    n.Add("a", "bc");
    n.Add("", "abc");
    EXPECT_EQ(n.Find("ab", "c"), 0);
    EXPECT_EQ(n.Find("a", "bc"), 1);
    EXPECT_EQ(n.Find("", "abc"), 2);
    EXPECT_EQ(n.Find("abc", ""), -1);
}

TEST(RecordIndex, ClearForgetsEveryEntryAndTheTableServesAgain) {
    Names n;
    for (int k = 0; k < 1000; ++k)
        n.Add(Numbered("u", k), "p");
    n.index.Clear();
    EXPECT_EQ(n.index.Size(), 0u);
    EXPECT_EQ(n.Find("u3", "p"), -1);
    n.records.clear();
    n.Add("v", "q");
    EXPECT_EQ(n.Find("v", "q"), 0);
    EXPECT_EQ(n.Find("u0", "p"), -1);
}
