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

TEST(MessageLog, ABatchHoldsTheListenerBackUntilItsOutermostEndAndKeepsTheOrder) {
    MessageLog log;
    std::vector<std::string> single;
    std::vector<std::vector<std::string>> many;
    log.SetListener({[&](const std::string& line) { single.push_back(line); }, [] {},
                     [&](const std::vector<std::string>& lines) { many.push_back(lines); }});
    {
        MessageLog::Batch outer(log);
        log.LogInfo("a");
        {
            MessageLog::Batch inner(log);
            log.LogWarning("b");
        }
        EXPECT_TRUE(single.empty() && many.empty()) << "an inner batch's end tells nothing";
        EXPECT_EQ(log.Lines().size(), 2u) << "the lines are in the log at once";
        log.LogError("c");
    }
    EXPECT_TRUE(single.empty());
    EXPECT_EQ(many, (std::vector<std::vector<std::string>>{{"Info: a", "Warning: b", "Error: c"}}));
    log.LogLine("d");
    EXPECT_EQ(single, std::vector<std::string>{"d"}) << "outside a batch each line goes alone";
}

TEST(MessageLog, AFlushInsideABatchTellsWhatIsHeldAndAClearingDropsIt) {
    MessageLog log;
    std::vector<std::string> seen;
    int cleared = 0;
    // Without a listener for many lines, each held line goes to Appended.
    log.SetListener({[&](const std::string& line) { seen.push_back(line); }, [&] { ++cleared; }});
    MessageLog::Batch batch(log);
    log.LogInfo("before a box");
    log.LogInfo("also before");
    log.Flush();
    EXPECT_EQ(seen, (std::vector<std::string>{"Info: before a box", "Info: also before"}));
    log.LogInfo("gone with the clearing");
    log.ClearLog();
    log.LogInfo("after");
    log.Flush();
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(seen.back(), "Info: after");
    EXPECT_EQ(seen.size(), 3u);
}
