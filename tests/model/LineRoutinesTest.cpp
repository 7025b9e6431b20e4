// The line routines every edit goes through: insert, delete, find and change the lines of one
// instance, and the checks and generator of top-level names.
#include "ModelText.h"

#include <gtest/gtest.h>

namespace {

class LineRoutines : public ::testing::Test {
protected:
    void SetUp() override {
        m.LineList = LinesFromText(SmallProject);
        m.PrjOpen = true;
        m.UpdatePicExecute(RebuildSender::MainWindow);
        m.ClearLog();
    }
    ProjectModel m;
};

} // namespace

TEST_F(LineRoutines, InsertLineInsertsBeforeTheIndexOrAppendsAtMinusOne) {
    ProjectModel e;
    e.InsertLine(-1, {"A"});
    e.InsertLine(-1, {"C"});
    e.InsertLine(1, {"B", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14",
                     "15", "16"});
    e.InsertLine(99, {"D"});
    EXPECT_EQ(Keywords(e.LineList), (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_EQ(e.LineList[1][16], "16");
    EXPECT_TRUE(e.LineList[1][17].empty());
}

TEST_F(LineRoutines, DeleteLineRecordRemovesOneLineAndRefusesAMissingIndex) {
    const std::size_t n = m.LineList.size();
    EXPECT_TRUE(m.DeleteLineRecord(0));
    EXPECT_EQ(m.LineList.size(), n - 1);
    EXPECT_EQ(m.LineList[0][3], "clk");
    EXPECT_FALSE(m.DeleteLineRecord(-1));
    EXPECT_FALSE(m.DeleteLineRecord(static_cast<int>(n)));
    EXPECT_EQ(m.LineList.size(), n - 1);
}

TEST_F(LineRoutines, DeletePortLineDeletesOnlyThePortOfTheNamedInstance) {
    EXPECT_TRUE(m.DeletePortLine("u1", "clk", true, false));
    EXPECT_EQ(m.LineList.size(), 10u) << "a test deletes nothing";
    EXPECT_TRUE(m.DeletePortLine("u1", "clk", false, false));
    ASSERT_EQ(m.LineList.size(), 9u);
    // The top module's clk (line 1) is untouched, u1's clk is gone.
    EXPECT_EQ(m.LineList[1][3], "clk");
    EXPECT_EQ(StoredText(m.LineList)[5], "OUTPUT\t7\t0\tq\t\t\t\t");
    EXPECT_FALSE(m.DeletePortLine("u1", "clk", false, false));
    EXPECT_FALSE(m.DeletePortLine("nobody", "clk", false, false));
}

TEST_F(LineRoutines, DeletePortLineWithParameterIgnoresAPortOfTheSameName) {
    m.LineList = LinesFromText("TOP\t\ttop\n"
                               "MODULE\tcore\tu1\n"
                               "INPUT\t\t\tW\n"
                               "PARAMETER\t\t\tW\t8\n"
                               "MODULE\tcore\tu2\n"
                               "PARAMETER\t\t\tW\t8\n");
    EXPECT_TRUE(m.DeletePortLine("u1", "W", false, true));
    EXPECT_EQ(Keywords(m.LineList),
              (std::vector<std::string>{"TOP", "MODULE", "INPUT", "MODULE", "PARAMETER"}));
    EXPECT_FALSE(m.DeletePortLine("u1", "W", false, true));
}

TEST_F(LineRoutines, DeletePortLineStopsAtTheEndOfTheBlock) {
    // u2's d must not be found as u1's: the block of u1 ends at the MODULE line of u2.
    EXPECT_FALSE(m.DeletePortLine("u1", "d", false, false));
    EXPECT_EQ(m.LineList.size(), 10u);
}

TEST_F(LineRoutines, GetPortLineFieldReadsTheFieldOfThePortWithinItsInstance) {
    EXPECT_EQ(m.GetPortLineField("u1", "q", 1), "7");
    EXPECT_EQ(m.GetPortLineField("u1", "q", 0), "OUTPUT");
    EXPECT_EQ(m.GetPortLineField("top", "clk", 0), "INPUT");
    EXPECT_EQ(m.GetPortLineField("u1", "W", 3), "") << "a parameter is not a port";
    EXPECT_EQ(m.GetPortLineField("u1", "d", 3), "") << "d belongs to u2";
    EXPECT_EQ(m.GetPortLineField("u9", "q", 3), "");
    EXPECT_EQ(m.GetPortLineField("u1", "q", 25), "");
}

TEST_F(LineRoutines, SetPortLineFieldsChangesOnlyWhatDiffers) {
    EXPECT_TRUE(m.SetPortLineFields("u1", "q", "P", 1, "15"));
    EXPECT_EQ(m.LineList[6][1], "15");
    EXPECT_EQ(m.LineList[6][2], "0");
    EXPECT_FALSE(m.SetPortLineFields("u1", "q", "P", 1, "15")) << "same value is no change";
    EXPECT_TRUE(m.SetPortLineFields("u1", "q", "P", 1, "15", 2, "8", 5, "W-1"));
    EXPECT_EQ(m.LineList[6][2], "8");
    EXPECT_EQ(m.LineList[6][5], "W-1");
    EXPECT_TRUE(m.SetPortLineFields("u1", "W", "R", 4, "16"));
    EXPECT_EQ(m.LineList[4][4], "16");
    EXPECT_TRUE(m.SetPortLineFields("u1", "", "M", 5, "Y"));
    EXPECT_EQ(m.LineList[3][5], "Y");
    EXPECT_FALSE(m.SetPortLineFields("u1", "d", "P", 1, "3")) << "d is u2's port";
    EXPECT_FALSE(m.SetPortLineFields("u1", "q", "R", 1, "3")) << "q is no parameter";
    EXPECT_FALSE(m.SetPortLineFields("nobody", "q", "P", 1, "3"));
}

TEST_F(LineRoutines, SetPortLineFieldsFindsTheInstanceWhenLinesMovedSinceTheRebuild) {
    // The records still point at the lines of the last rebuild; the lines have moved under them.
    struct Case {
        const char* what;
        int insertAt; // a line inserted here (marked as no instance) before the call
        bool removeFirst;
    } cases[] = {
        {"a line inserted above u1", 1, false},
        {"a line removed above u1", -1, true},
        {"a line inserted between u1 and u2", 7, false},
    };
    for (const Case& c : cases) {
        SetUp();
        if (c.removeFirst)
            m.LineList.erase(m.LineList.begin() + 1);
        else
            m.InsertLine(c.insertAt, {"MODULE", "core", "stranger"});
        EXPECT_TRUE(m.SetPortLineFields("u2", "d", "P", 1, "31")) << c.what;
        EXPECT_TRUE(m.SetPortLineFields("u1", "q", "P", 1, "15")) << c.what;
        int changed = 0;
        for (const ProjectLine& line : m.LineList) {
            if (line[3] == "d" && line[1] == "31")
                ++changed;
            if (line[3] == "q" && line[1] == "15")
                ++changed;
        }
        EXPECT_EQ(changed, 2) << c.what;
        EXPECT_EQ(m.GetPortLineField("u2", "d", 1), "31") << c.what;
        EXPECT_FALSE(m.SetPortLineFields("stranger", "q", "P", 1, "3"))
            << c.what << ": a line the rebuild never marked belongs to no instance";
    }
}

TEST_F(LineRoutines, CheckTopPortNameGivesTheReasonOfARefusal) {
    struct Case {
        const char* name;
        bool skipWireCheck;
        bool ok;
        const char* reason;
    } cases[] = {
        {"", false, false, "Empty wire."},
        {"clk", false, false, "Port already exists in top module."},
        {"dout", true, false, "Port already exists in top module."},
        {"net_q", false, false, "The wire is already used by the port: q(u1)."},
        {"net_q", true, true, "unchanged"},
        {"q", false, true, "unchanged"},
    };
    for (const Case& c : cases) {
        std::string reason = "unchanged";
        EXPECT_EQ(m.CheckTopPortName(c.name, &reason, c.skipWireCheck), c.ok) << c.name;
        EXPECT_EQ(reason, c.reason) << c.name;
        EXPECT_EQ(m.CheckTopPortName(c.name, nullptr, c.skipWireCheck), c.ok) << c.name;
    }
    EXPECT_TRUE(m.Log.Lines().empty());
}

TEST_F(LineRoutines, CheckTopPortNameWithoutATopModuleRefusesWithAnInternalError) {
    ProjectModel e;
    std::string reason = "unchanged";
    EXPECT_FALSE(e.CheckTopPortName("x", &reason));
    EXPECT_EQ(reason, "unchanged");
    EXPECT_EQ(e.Log.Lines(),
              std::vector<std::string>{"Error: Internal error. Can not find pointer."});
}

TEST_F(LineRoutines, CheckTopPortNameIgnoresSuggestionWires) {
    m.InsertLine(-1, {"WIRE", "u1", "clk", "u2", "d", "sugg", "", "", "", "", "", "", "S"});
    m.UpdatePicExecute(RebuildSender::MainWindow);
    EXPECT_TRUE(m.CheckTopPortName("sugg"));
}

TEST_F(LineRoutines, FreeWireNameSkipsTopPortsAndNetNamesAndCountsFromOne) {
    m.LineList = LinesFromText("TOP\t\ttop\n"
                               "INPUT\t\t\tW0\n"
                               "MODULE\tc\tu1\n"
                               "INPUT\t\t\ta\n"
                               "OUTPUT\t\t\tb\n"
                               "WIRE\tu1\tb\tu1\ta\tW2\n");
    m.UpdatePicExecute(RebuildSender::MainWindow);
    EXPECT_EQ(m.FreeWireName(1), "W1");
    EXPECT_EQ(m.FreeWireName(2), "W3");
    EXPECT_EQ(m.FreeWireName(3), "W4");
    EXPECT_TRUE(m.Log.Lines().empty());
}

TEST_F(LineRoutines, FreeWireNameReportsTooManyWiresWhenTheRangeIsUsedUp) {
    EXPECT_EQ(m.FreeWireName(99999), "W99998") << "W0 to W99999 are all free here";
    EXPECT_EQ(m.FreeWireName(100000), "W99999");
    EXPECT_TRUE(m.Log.Lines().empty());
    EXPECT_EQ(m.FreeWireName(100001), "");
    EXPECT_EQ(m.Log.Lines(), std::vector<std::string>{"Error: Too many wires."});
}

// Regression: without a top module every one of the 100000 candidates logged the internal error.
TEST_F(LineRoutines, FreeWireNameWithoutATopModuleLogsTheInternalErrorOnce) {
    ProjectModel e;
    EXPECT_EQ(e.FreeWireName(1), "");
    EXPECT_EQ(e.Log.Lines(),
              std::vector<std::string>{"Error: Internal error. Can not find pointer."});
}

TEST_F(LineRoutines, ClearMarksEmptiesTheHighlightFieldsOnly) {
    for (ProjectLine& l : m.LineList) {
        l[8] = "255";
        l[9] = "0";
        l[13] = "Y";
        l[14] = "keep";
    }
    m.ClearMarks();
    for (const ProjectLine& l : m.LineList) {
        EXPECT_TRUE(l[8].empty() && l[9].empty() && l[13].empty());
        EXPECT_EQ(l[14], "keep");
    }
    EXPECT_EQ(m.LineList[3][10], "M") << "the rebuild's marks stay";
}

TEST_F(LineRoutines, NormalizeBlanksIsAlsoAMemberOfTheModel) {
    EXPECT_EQ(ProjectModel::NormalizeBlanks("a b\tc\r\n", false), "abc");
    EXPECT_EQ(ProjectModel::LineKind("KVAR"), 'P');
}
