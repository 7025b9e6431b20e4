// The rebuild of instance, port and wire records from the project lines, the repairs it makes in
// the lines, and what it hands back to the window.
#include "ModelText.h"

#include <gtest/gtest.h>

namespace {

struct Rebuilt {
    ProjectModel m;
    RebuildResult r;
    explicit Rebuilt(const char* text, RebuildSender sender = RebuildSender::MainWindow,
                     bool open = true) {
        m.LineList = LinesFromText(text);
        m.PrjOpen = open;
        r = m.UpdatePicExecute(sender);
    }
};

} // namespace

TEST(Rebuild, MakesOneRecordPerInstancePortAndWireInLineOrder) {
    Rebuilt b(SmallProject);
    ProjectModel& m = b.m;
    ASSERT_TRUE(b.r.Completed);
    EXPECT_EQ(b.r.CountsText, "I/P/W:3/5/1");
    EXPECT_TRUE(b.r.RunScrollBoxResize);
    EXPECT_FALSE(b.r.ClosePrjRequested);
    EXPECT_TRUE(m.Log.Lines().empty());

    ASSERT_EQ(m.MduList.size(), 3u);
    EXPECT_EQ(m.TopName, "top");
    EXPECT_EQ(m.TopMdu, 0);
    const mdu& top = m.MduList[0];
    EXPECT_TRUE(top.IsTop());
    EXPECT_EQ(top.Title, "top") << "an empty title is the name";
    EXPECT_EQ(top.FirstPort, 0);
    EXPECT_EQ(top.LastPort, 1);
    const mdu& u1 = m.MduList[1];
    EXPECT_EQ(u1.ModuleName, "core");
    EXPECT_EQ(u1.InstName, "u1");
    EXPECT_EQ(u1.SrcPath, "/src/core.v");
    EXPECT_EQ(u1.Language, "verilog");
    EXPECT_EQ(u1.LineIndex, 3);
    EXPECT_EQ(u1.FirstPort, 2);
    EXPECT_EQ(u1.LastPort, 3);
    EXPECT_EQ(u1.ParaCount, 1);
    EXPECT_EQ(u1.Params, (std::vector<std::string>{"", "", "W", "8", "", "K", ""}));
    EXPECT_EQ(m.FirstMduLine, 3);

    ASSERT_EQ(m.PortList.size(), 5u);
    const port& q = m.PortList[3];
    EXPECT_EQ(q.Name, "q");
    EXPECT_EQ(q.OwnerName, "u1");
    EXPECT_EQ(q.Owner, 1);
    EXPECT_EQ(q.Kind, 'O');
    EXPECT_EQ(q.LineIndex, 6);
    EXPECT_FALSE(q.Lone) << "the wire ends on it";
    EXPECT_TRUE(m.PortList[2].Lone);

    ASSERT_EQ(m.WireList.size(), 1u);
    const wire& w = m.WireList[0];
    EXPECT_EQ(w.Name, "net_q");
    EXPECT_EQ(w.InstA, "u1");
    EXPECT_EQ(w.PortA, "q");
    EXPECT_EQ(w.InstB, "u2");
    EXPECT_EQ(w.PortB, "d");
    EXPECT_EQ(w.DotColor, m.WireEndColor);
    EXPECT_EQ(w.LineColor, m.WireColor);
}

TEST(Rebuild, WritesTheRecordKindAndIndexIntoFields10And11) {
    Rebuilt b(SmallProject);
    struct Mark {
        int line;
        const char* kind;
        const char* index;
    } marks[] = {{0, "M", "0"}, {1, "P", "0"}, {2, "P", "1"}, {3, "M", "1"}, {4, "R", ""},
                 {5, "P", "2"}, {6, "P", "3"}, {7, "M", "2"}, {8, "P", "4"}, {9, "W", "0"}};
    for (const Mark& k : marks) {
        EXPECT_EQ(b.m.LineList[k.line][10], k.kind) << "line " << k.line;
        EXPECT_EQ(b.m.LineList[k.line][11], k.index) << "line " << k.line;
    }
}

TEST(Rebuild, ReadsPortWidthsAsNumbersOrAsExpressions) {
    Rebuilt b("TOP\t\ttop\n"
              "INPUT\t7\t0\tbus\n"
              "INPUT\tNA\tNA\tgen\t\tW-1\t0\n"
              "INPUT\t\t\tbit\n"
              "INPUT\t0\t15\tup\n"
              "INPUT\t-3\t4\tneg\n"
              "KVAR\t\t\tv\n"
              "OUTPUT_B\t\t\tob\n"
              "BIDIR\t\t\tio\t Y\n"
              "OUTPUT\t8\tx\tmixed\tY\n");
    struct Case {
        int msb, lsb, span;
        bool numeric;
        const char* widthText;
        char kind;
    } cases[] = {
        {7, 0, 7, true, "7:0", 'I'},   {-1, -1, 0, false, "W-1:0", 'I'},
        {-1, -1, 0, true, "", 'I'},    {0, 15, 15, true, "0:15", 'I'},
        {-3, 4, 7, true, "-3:4", 'I'}, {-1, -1, 0, true, "", 'V'},
        {-1, -1, 0, true, "", 'O'},    {-1, -1, 0, true, "", 'B'},
        {-1, -1, 0, false, ":", 'O'},
    };
    ASSERT_EQ(b.m.PortList.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const port& p = b.m.PortList[i];
        const Case& c = cases[i];
        EXPECT_EQ(p.Numeric, c.numeric) << p.Name;
        if (c.numeric) {
            EXPECT_EQ(p.Msb, c.msb) << p.Name;
            EXPECT_EQ(p.Lsb, c.lsb) << p.Name;
            EXPECT_EQ(p.Span, c.span) << p.Name;
        }
        EXPECT_EQ(p.WidthText, c.widthText) << p.Name;
        EXPECT_EQ(p.Kind, c.kind) << p.Name;
    }
    EXPECT_EQ(b.m.PortList[1].MsbExpr, "W-1");
    EXPECT_EQ(b.m.PortList[1].LsbExpr, "0");
    EXPECT_TRUE(b.m.PortList[8].Combined);
    EXPECT_FALSE(b.m.PortList[7].Combined) << "only exactly Y marks a combined port";
}

TEST(Rebuild, RepairsDuplicateInstanceNamesWithARunningNumber) {
    Rebuilt b("TOP\t\ttop\n"
              "MODULE\tc\tu1\n"
              "MODULE\tc\tu1\n"
              "MODULE\tc\tu1\n"
              "MODULE\tc\ttop\n");
    EXPECT_EQ(b.m.LineList[1][2], "u1");
    EXPECT_EQ(b.m.LineList[2][2], "u10");
    EXPECT_EQ(b.m.LineList[3][2], "u11");
    EXPECT_EQ(b.m.LineList[4][2], "top0");
    EXPECT_EQ(b.m.MduList[3].InstName, "u11");
    EXPECT_EQ(b.m.Log.Lines(), (std::vector<std::string>{
                                   "Info: Improve the instance u10 automatically.",
                                   "Info: Improve the instance u11 automatically.",
                                   "Info: Improve the instance top0 automatically.",
                               }));
    // The lines now hold unique names: a second rebuild repairs nothing.
    b.m.ClearLog();
    b.m.UpdatePicExecute(RebuildSender::MainWindow);
    EXPECT_TRUE(b.m.Log.Lines().empty());
}

TEST(Rebuild, RepairSkipsCandidatesThatAreTakenAlready) {
    Rebuilt b("TOP\t\ttop\n"
              "MODULE\tc\tu10\n"
              "MODULE\tc\tu1\n"
              "MODULE\tc\tu1\n"
              "MODULE\tc\tu1\n");
    EXPECT_EQ(b.m.LineList[3][2], "u11");
    EXPECT_EQ(b.m.LineList[4][2], "u12");
}

TEST(Rebuild, PortsOfARepairedInstanceBelongToItsNewName) {
    Rebuilt b("TOP\t\ttop\n"
              "MODULE\tc\tu1\n"
              "INPUT\t\t\ta\n"
              "MODULE\tc\tu1\n"
              "INPUT\t\t\ta\n");
    ASSERT_EQ(b.m.PortList.size(), 2u);
    EXPECT_EQ(b.m.PortList[1].OwnerName, "u10");
    EXPECT_EQ(b.m.PortList[1].Owner, 2);
    EXPECT_EQ(b.m.PortList[1].X, b.m.MduList[2].X);
}

TEST(Rebuild, TheFirstModuleLineKeepsItsNameAndLogsNothing) {
    Rebuilt b("MODULE\tc\tu1\nTOP\t\tu1x\n");
    EXPECT_EQ(b.m.LineList[0][2], "u1");
    EXPECT_TRUE(b.m.Log.Lines().empty());
}

TEST(Rebuild, DisablesAPortLineWithOneWidthFieldAndNamesItsLineFromZero) {
    Rebuilt b("TOP\t\ttop\n"
              "INPUT\t\t\tclk\n"
              "INPUT\t7\t\tbad\n"
              "OUTPUT\t\t0\tbad2\n");
    EXPECT_EQ(b.m.LineList[2][0], "#INPUT");
    EXPECT_EQ(b.m.LineList[3][0], "#OUTPUT");
    EXPECT_EQ(b.m.LineList[2][3], "bad") << "the rest of the line is kept";
    EXPECT_EQ(b.m.Log.Lines(),
              (std::vector<std::string>{"Error: Wrong width declaration at line 2.",
                                        "Error: Wrong width declaration at line 3."}));
    ASSERT_EQ(b.m.PortList.size(), 1u);
    EXPECT_EQ(b.r.CountsText, "I/P/W:1/1/0");
    EXPECT_TRUE(b.m.LineList[2][10].empty()) << "a disabled line has no record to point at";
    // A disabled line is skipped from then on.
    b.m.ClearLog();
    b.m.UpdatePicExecute(RebuildSender::MainWindow);
    EXPECT_TRUE(b.m.Log.Lines().empty());
    EXPECT_EQ(b.m.LineList[2][0], "#INPUT");
}

TEST(Rebuild, RefusesASecondTopModuleAndGivesItsLinesNoOwner) {
    Rebuilt b("TOP\t\ttop\n"
              "INPUT\t\t\ta\n"
              "TOP\t\tother\n"
              "INPUT\t\t\tb\n"
              "PARAMETER\t\t\tP\t1\n"
              "MODULE\tc\tu1\n"
              "INPUT\t\t\tc\n");
    EXPECT_EQ(b.m.TopName, "top");
    ASSERT_EQ(b.m.MduList.size(), 2u);
    ASSERT_EQ(b.m.PortList.size(), 2u);
    EXPECT_EQ(b.m.PortList[0].Name, "a");
    EXPECT_EQ(b.m.PortList[1].Name, "c");
    EXPECT_EQ(b.m.MduList[0].ParaCount, 0);
    // The refused TOP line's own lines have a TOP line above them: the warning about lines
    // without one would mislead.
    EXPECT_EQ(b.m.Log.Lines(), (std::vector<std::string>{"Error: More than one top module."}));
    EXPECT_EQ(b.m.LineList.size(), 7u);
}

// Regression: lines before any TOP or MODULE line counted a parameter or set a first port on an
// instance that did not exist.
TEST(Rebuild, LinesBeforeAnyInstanceMakeNoRecordAndAreReportedOnce) {
    Rebuilt b("PARAMETER\t\t\tP\t1\n"
              "INPUT\t\t\tstray\n"
              "OUTPUT\t3\t0\tstray2\n"
              "TOP\t\ttop\n"
              "INPUT\t\t\ta\n");
    ASSERT_TRUE(b.r.Completed);
    ASSERT_EQ(b.m.PortList.size(), 1u);
    EXPECT_EQ(b.m.PortList[0].Name, "a");
    EXPECT_EQ(b.m.MduList[0].FirstPort, 0);
    EXPECT_EQ(b.m.MduList[0].ParaCount, 0);
    EXPECT_EQ(b.m.Log.Lines(),
              std::vector<std::string>{"Warning: Lines without a TOP or MODULE line above them are "
                                       "ignored, the first at line 0."});
    EXPECT_EQ(Keywords(b.m.LineList),
              (std::vector<std::string>{"PARAMETER", "INPUT", "OUTPUT", "TOP", "INPUT"}));
    EXPECT_TRUE(b.m.LineList[1][10].empty());
}

TEST(Rebuild, SuggestionWiresNeitherClearLoneFlagsNorCount) {
    Rebuilt b("TOP\t\ttop\n"
              "MODULE\tc\tu1\n"
              "OUTPUT\t\t\to\n"
              "MODULE\tc\tu2\n"
              "INPUT\t\t\ti\n"
              "WIRE\tu1\to\tu2\ti\tW0\t\t\t\t\told\t7\tS\n");
    EXPECT_EQ(b.r.CountsText, "I/P/W:3/2/0");
    EXPECT_TRUE(b.m.WireList.empty());
    ASSERT_EQ(b.m.SuggestList.size(), 1u);
    EXPECT_TRUE(b.m.PortList[0].Lone);
    EXPECT_TRUE(b.m.PortList[1].Lone);
    const wire& s = b.m.SuggestList[0];
    EXPECT_EQ(s.DotColor, b.m.SmartMarkColor);
    EXPECT_EQ(s.LineColor, b.m.SmartWireColor);
    EXPECT_EQ(s.X1, b.m.PortList[0].X + b.m.PrtWidth) << "its ends are placed all the same";
    EXPECT_EQ(b.m.LineList[5][10], "old") << "fields 10 and 11 of a suggestion stay";
    EXPECT_EQ(b.m.LineList[5][11], "7");
}

// Regression: the rebuild closed the project itself when the TOP line was missing, and every
// paint ran it again.
TEST(Rebuild, AnOpenProjectWithoutATopLineIsReportedForTheCallerToClose) {
    Rebuilt b("MODULE\tc\tu1\nINPUT\t\t\ta\n");
    EXPECT_TRUE(b.r.ClosePrjRequested);
    EXPECT_FALSE(b.r.Completed);
    EXPECT_FALSE(b.r.RunScrollBoxResize);
    EXPECT_TRUE(b.r.CountsText.empty());
    EXPECT_EQ(b.m.Log.Lines(), std::vector<std::string>{"Error: Illegal project."});
    EXPECT_TRUE(b.m.PrjOpen) << "the core does not close the project itself";
    EXPECT_EQ(b.m.LineList.size(), 2u);

    Rebuilt closed("", RebuildSender::MainWindow, false);
    EXPECT_FALSE(closed.r.ClosePrjRequested);
    EXPECT_TRUE(closed.r.Completed);
    EXPECT_EQ(closed.r.CountsText, "I/P/W:0/0/0");
    EXPECT_TRUE(closed.m.Log.Lines().empty());
}

TEST(Rebuild, TheCanvasAsSenderAsksForNoResize) {
    Rebuilt b(SmallProject, RebuildSender::PaintBox1);
    EXPECT_TRUE(b.r.Completed);
    EXPECT_FALSE(b.r.RunScrollBoxResize);
}

TEST(Rebuild, FirstMduLineIsTheFirstModuleLineOrElseTheLastLine) {
    EXPECT_EQ(Rebuilt("TOP\t\tt\nINPUT\t\t\ta\nMODULE\tc\tu1\nMODULE\tc\tu2\n").m.FirstMduLine, 2);
    EXPECT_EQ(Rebuilt("TOP\t\tt\nINPUT\t\t\ta\nINPUT\t\t\tb\n").m.FirstMduLine, 2);
    EXPECT_EQ(Rebuilt("", RebuildSender::MainWindow, false).m.FirstMduLine, -1);
}

TEST(Rebuild, TakesHighlightColoursFromFields8And9OnlyWhenBothAreNumbers) {
    Rebuilt b("TOP\t\ttop\n"
              "INPUT\t\t\ta\t\t\t\t\t255\t16711680\n"
              "INPUT\t\t\tb\t\t\t\t\t255\n"
              "INPUT\t\t\tc\t\t\t\t\t255\tred\n");
    b.m.InFont.Color = 0x123456;
    b.m.MduFont.Color = 0x654321;
    b.m.UpdatePicExecute(RebuildSender::MainWindow);
    EXPECT_EQ(b.m.PortList[0].BrushColor, 255);
    EXPECT_EQ(b.m.PortList[0].PenColor, 16711680);
    for (int i : {1, 2}) {
        EXPECT_EQ(b.m.PortList[i].BrushColor, b.m.BackColor) << i;
        EXPECT_EQ(b.m.PortList[i].PenColor, 0x123456) << i;
    }
    EXPECT_EQ(b.m.MduList[0].BrushColor, b.m.BackColor);
    EXPECT_EQ(b.m.MduList[0].PenColor, 0x654321);
}

TEST(Rebuild, KeepsTheTitleOfTheTopModule) {
    Rebuilt b("TOP\t\ttop\tMy chip\n");
    EXPECT_EQ(b.m.MduList[0].Title, "My chip");
    EXPECT_EQ(b.m.MduList[0].InstName, "top");
}

TEST(Rebuild, MarksCompactInstancesAndCollapsedPorts) {
    Rebuilt b("TOP\t\ttop\n"
              "INPUT\t\t\ta\t\t\t\t\t\t\t\t\t\tY\n"
              "MODULE\tc\tu1\t\t\tY\n"
              "MODULE\tc\tu2\t\t\ty\n");
    EXPECT_TRUE(b.m.PortList[0].Collapsed);
    EXPECT_TRUE(b.m.MduList[1].Compact);
    EXPECT_FALSE(b.m.MduList[2].Compact);
}

TEST(Rebuild, LooksUpInstancesModulesAndPortsByName) {
    Rebuilt b(SmallProject);
    EXPECT_EQ(b.m.FindInstance("u2"), 2);
    EXPECT_EQ(b.m.FindInstance("top"), 0);
    EXPECT_EQ(b.m.FindInstance("U2"), -1) << "names compare exactly";
    EXPECT_TRUE(b.m.ModuleNameUsed("sink"));
    EXPECT_FALSE(b.m.ModuleNameUsed("Sink"));
    EXPECT_FALSE(b.m.ModuleNameUsed("u1"));
    EXPECT_EQ(b.m.FindPortIndex("u1", "clk"), 2);
    EXPECT_EQ(b.m.FindPortIndex("top", "clk"), 0);
    EXPECT_TRUE(b.m.Log.Lines().empty());
    EXPECT_EQ(b.m.FindPortIndex("u2", "clk"), -1);
    EXPECT_EQ(b.m.Log.Lines(),
              std::vector<std::string>{"Error: Internal Error. Can't find port ID."});
}

TEST(Rebuild, LookupsFollowRecordsChangedAfterTheRebuild) {
    Rebuilt b(SmallProject);
    EXPECT_EQ(b.m.FindInstance("u1"), 1);
    EXPECT_EQ(b.m.FindPortIndex("u2", "d"), 4);
    // A caller that reorders or adds records by hand must still get the list's own answer.
    std::swap(b.m.MduList[1], b.m.MduList[2]);
    EXPECT_EQ(b.m.FindInstance("u1"), 2);
    b.m.PortList.push_back(b.m.PortList[0]);
    b.m.PortList.back().OwnerName = "u9";
    EXPECT_EQ(b.m.FindPortIndex("u9", "clk"), 5);
    b.m.PortList.clear();
    EXPECT_EQ(b.m.FindPortIndex("u2", "d"), -1);
}

TEST(Rebuild, IgnoresLinesOfNoKind) {
    Rebuilt b("Version:\tZUN2012\t1.0\n"
              "TOP\t\ttop\n"
              "\t\tnot a line\n"
              "ASSIGN\t x = y\n"
              "#INPUT\t\t\tgone\n"
              "input\t\t\tlower\n"
              "S\t1\n"
              "INPUT\t\t\ta\n");
    EXPECT_EQ(b.r.CountsText, "I/P/W:1/1/0");
    EXPECT_TRUE(b.m.Log.Lines().empty());
}

TEST(Rebuild, AWireWithAMissingEndIsKeptUnplaced) {
    Rebuilt b("TOP\t\ttop\n"
              "MODULE\tc\tu1\n"
              "OUTPUT\t\t\to\n"
              "WIRE\tu1\to\tu9\tx\tn\n");
    ASSERT_EQ(b.m.WireList.size(), 1u);
    EXPECT_EQ(b.m.WireList[0].X1, 0);
    EXPECT_TRUE(b.m.PortList[0].Lone) << "a wire that is not placed touches no port";
    EXPECT_EQ(b.r.CountsText, "I/P/W:2/1/1");
}

TEST(Rebuild, RepairTriesThirtyThousandNumberedNamesAndThenGivesUp) {
    // u1 and then u1 followed by 0, 1, ... up to taken - 1 are all in use before the last u1.
    struct Case {
        const char* name;
        int taken;
        const char* repairedTo;
        const char* logLine;
    } cases[] = {
        {"the last number left", 29999, "u129999",
         "Info: Improve the instance u129999 automatically."},
        {"every number taken", 30000, "u1",
         "Error: Found duplicate instance name and failed to fix it."},
    };
    for (const Case& c : cases) {
        ProjectModel m;
        m.PrjOpen = true;
        m.LineList.push_back(MakeLine({"TOP", "", "top"}));
        m.LineList.push_back(MakeLine({"MODULE", "c", "u1"}));
        for (int n = 0; n < c.taken; ++n)
            m.LineList.push_back(MakeLine({"MODULE", "c", "u1" + std::to_string(n)}));
        m.LineList.push_back(MakeLine({"MODULE", "c", "u1"}));
        m.UpdatePicExecute(RebuildSender::MainWindow);
        EXPECT_EQ(m.LineList.back()[2], c.repairedTo) << c.name;
        EXPECT_EQ(m.Log.Lines(), std::vector<std::string>{c.logLine}) << c.name;
    }
}

// Regression: a first TOP line without a name made the top record, so the named TOP line after it
// was refused with "More than one top module." and the project closed as "Illegal project.".
TEST(Rebuild, ANamedTopLineAfterATopLineWithoutANameIsTheTopModule) {
    Rebuilt b("TOP\t\t\n"
              "INPUT\t\t\ta\n"
              "TOP\t\ttop2\n"
              "INPUT\t\t\tb\n"
              "MODULE\tc\tu1\n"
              "INPUT\t\t\tx\n");
    EXPECT_FALSE(b.r.ClosePrjRequested);
    EXPECT_TRUE(b.r.Completed);
    EXPECT_EQ(b.m.TopName, "top2");
    ASSERT_GE(b.m.TopMdu, 0);
    EXPECT_EQ(b.m.MduList[b.m.TopMdu].InstName, "top2");
    int tops = 0;
    for (const mdu& i : b.m.MduList)
        tops += i.IsTop() ? 1 : 0;
    EXPECT_EQ(tops, 1) << "the nameless TOP line makes no second top module";
    // Its port is no port of any instance.
    ASSERT_EQ(b.m.PortList.size(), 2u);
    EXPECT_EQ(b.m.PortList[0].Name, "b");
    EXPECT_EQ(b.m.PortList[0].OwnerName, "top2");
    EXPECT_EQ(b.m.LineList[1][FieldKind], "");
    EXPECT_EQ(b.m.Log.Lines(),
              (std::vector<std::string>{"Warning: A TOP line without a name at line 0 is ignored "
                                        "with its port and parameter lines."}));
}

TEST(Rebuild, ATopLineWithoutANameAloneIsStillNoLegalProject) {
    Rebuilt b("TOP\t\t\nINPUT\t\t\ta\nMODULE\tc\tu1\n");
    EXPECT_TRUE(b.r.ClosePrjRequested);
    EXPECT_TRUE(b.m.TopName.empty());
    EXPECT_EQ(b.m.Log.Lines().back(), "Error: Illegal project.");
}

// The lines under a head the rebuild refuses or that is disabled go with that head: none of them
// becomes a port or parameter of the instance above, which the generators would then connect.
TEST(Rebuild, TheLinesOfARefusedOrDisabledHeadBelongToNoInstance) {
    struct Case {
        const char* name;
        const char* head;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"a second TOP line", "TOP\t\tother", {"Error: More than one top module."}},
        {"a TOP line without a name after the top",
         "TOP\t\t",
         {"Error: More than one top module."}},
        {"a MODULE line without a module name",
         "MODULE\t\tu9\tx.v\tverilog",
         {"Warning: A MODULE line without a module name at line 3 is ignored with its port and "
          "parameter lines."}},
        {"a disabled MODULE line", "#MODULE\tc\tu9", {}},
        {"a MODULE line disabled twice", "##MODULE\tc\tu9", {}},
        {"a disabled TOP line", "#TOP\t\tother", {}},
    };
    for (const Case& c : cases) {
        const std::string text = std::string("TOP\t\ttop\nMODULE\tcore\tu1\nINPUT\t\t\tclk\n") +
                                 c.head + "\nPARAMETER\t\t\tW\t8\nINPUT\t\t\td\nOUTPUT\t\t\tq\n" +
                                 "MODULE\tsink\tu2\nINPUT\t\t\td\n";
        Rebuilt b(text.c_str());
        EXPECT_TRUE(b.r.Completed) << c.name;
        EXPECT_EQ(b.m.Log.Lines(), c.log) << c.name;
        ASSERT_EQ(b.m.MduList.size(), 3u) << c.name;
        const mdu& u1 = b.m.MduList[1];
        EXPECT_EQ(u1.InstName, "u1") << c.name;
        EXPECT_EQ(u1.ParaCount, 0) << c.name;
        EXPECT_EQ(u1.LastPort, u1.FirstPort) << c.name << ": u1 keeps its one port";
        ASSERT_EQ(b.m.PortList.size(), 2u) << c.name;
        EXPECT_EQ(b.m.PortList[1].OwnerName, "u2") << c.name;
        for (int line = 3; line <= 6; ++line)
            EXPECT_EQ(b.m.LineList[line][FieldKind], "") << c.name << " line " << line;
        EXPECT_EQ(b.m.LineList[3][0], Keywords(LinesFromText(c.head))[0]) << "kept as it was";
    }
}

// New top-level ports are inserted at FirstMduLine. Regression: after a refused second TOP line
// it was the first MODULE line, below the refused block, so a port mapped to the top joined that
// block and belonged to no instance.
TEST(Rebuild, NewTopPortsGoBeforeARefusedOrDisabledBlockAfterTheTop) {
    for (const char* head : {"TOP\t\tother", "MODULE\t\tu9", "#MODULE\tc\tu9"}) {
        const std::string text = std::string("TOP\t\ttop\nINPUT\t\t\tclk\n") + head +
                                 "\nINPUT\t\t\td\nMODULE\tcore\tu1\nINPUT\t\t\tx\n";
        Rebuilt b(text.c_str());
        EXPECT_EQ(b.m.FirstMduLine, 2) << head;
        b.m.InsertLine(b.m.FirstMduLine, {"OUTPUT", "", "", "new"});
        b.m.UpdatePicExecute(RebuildSender::MainWindow);
        ASSERT_EQ(b.m.PortList.size(), 3u) << head;
        EXPECT_EQ(b.m.PortList[1].Name, "new") << head;
        EXPECT_EQ(b.m.PortList[1].OwnerName, "top") << head;
    }
    // A TOP line without a name before the top bounds nothing.
    Rebuilt b("TOP\t\t\nINPUT\t\t\ta\nTOP\t\ttop\nINPUT\t\t\tb\nMODULE\tcore\tu1\n");
    EXPECT_EQ(b.m.FirstMduLine, 4);
}
