// The message log's prefixes, its listener and its clearing.
#include "editor/model/MessageLog.h"

#include <gtest/gtest.h>

TEST(MessageLog, WritesEachLineWithTheWritersPrefix) {
    MessageLog log;
    log.LogError("e");
    log.LogWarning("w");
    log.LogInfo("i");
    log.LogAction("a");
    log.LogLine("plain");
    log.LogWarning("");
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"Error: e", "Warning: w", "Info: i",
                                                     "--Action: a", "plain", "Warning: "}));
}

TEST(MessageLog, TellsItsListenerOfEveryLineInOrderAndOfTheClearing) {
    MessageLog log;
    log.LogInfo("before the listener");
    std::vector<std::string> seen;
    int cleared = 0;
    log.SetListener({[&](const std::string& line) { seen.push_back(line); }, [&] { ++cleared; }});
    log.LogError("one");
    log.LogLine("two");
    log.ClearLog();
    EXPECT_EQ(seen, (std::vector<std::string>{"Error: one", "two"}));
    EXPECT_EQ(cleared, 1);
    EXPECT_TRUE(log.Lines().empty());
    log.LogAction("after");
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"--Action: after"});
    EXPECT_EQ(seen.back(), "--Action: after");
}
