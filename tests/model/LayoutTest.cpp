// Placement of instances, ports and wire ends in the normal, compact and custom views.
#include "ModelText.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// A top module with topPorts inputs and instances u1 ... each with the given number of ports.
std::string Project(int topPorts, std::initializer_list<int> instancePorts,
                    std::initializer_list<bool> compact = {}) {
    std::string text = "TOP\t\ttop\n";
    for (int p = 0; p < topPorts; ++p)
        text += "INPUT\t\t\tt" + std::to_string(p) + "\n";
    int k = 0;
    auto c = compact.begin();
    for (int ports : instancePorts) {
        ++k;
        const bool isCompact = c != compact.end() && *c++;
        text += "MODULE\tm\tu" + std::to_string(k) + "\t\t\t" + (isCompact ? "Y" : "") + "\n";
        for (int p = 0; p < ports; ++p)
            text += "INPUT\t\t\tp" + std::to_string(p) + "\n";
    }
    return text;
}

std::unique_ptr<ProjectModel> Laid(const std::string& text, char viewMode = '1') {
    auto m = std::make_unique<ProjectModel>();
    m->LineList = LinesFromText(text);
    m->PrjOpen = true;
    m->ViewMode = viewMode;
    m->UpdatePicExecute(RebuildSender::MainWindow);
    return m;
}

} // namespace

TEST(Layout, PlacesInstancesSideBySideAndPortsBelowTheTitle) {
    auto held = Laid(Project(1, {2, 1}));
    ProjectModel& m = *held;
    EXPECT_EQ(m.MduList[0].X, 6);
    EXPECT_EQ(m.MduList[0].Y, 6);
    EXPECT_EQ(m.MduList[1].X, 56);
    EXPECT_EQ(m.MduList[1].Y, 6);
    EXPECT_EQ(m.MduList[2].X, 106);
    const port& top0 = m.PortList[0];
    EXPECT_EQ(top0.X, 6);
    EXPECT_EQ(top0.Y, 24);
    EXPECT_EQ(m.PortList[1].X, 56);
    EXPECT_EQ(m.PortList[1].Y, 24);
    EXPECT_EQ(m.PortList[2].Y, 39);
    EXPECT_EQ(m.PortList[3].X, 106);
    EXPECT_EQ(m.PortList[3].Y, 24);
}

TEST(Layout, AnInstanceWithoutPortsStillTakesOneColumn) {
    auto held = Laid(Project(0, {0, 0}));
    EXPECT_EQ(held->MduList[1].X, 56);
    EXPECT_EQ(held->MduList[2].X, 106);
}

TEST(Layout, AColumnThatWouldPassTheMaximumHeightWrapsAndPushesLaterInstancesRight) {
    // Port k of u1 stands at 24 + 15k; 24 + 15 * 52 + 6 passes 800, so port 52 wraps.
    auto held = Laid(Project(0, {53, 1}));
    ProjectModel& m = *held;
    const port& last = m.PortList[51];
    EXPECT_EQ(last.X, 56);
    EXPECT_EQ(last.Y, 24 + 15 * 51);
    const port& wrapped = m.PortList[52];
    EXPECT_EQ(wrapped.X, 106);
    EXPECT_EQ(wrapped.Y, 24);
    EXPECT_EQ(m.MduList[1].Columns, 2);
    EXPECT_EQ(m.MduList[2].X, 56 + 50 + 50) << "the next instance moves 50 to the right";
    EXPECT_EQ(m.PortList[53].X, 156);

    m.ComputeModuleWidths();
    EXPECT_EQ(m.MduList[1].Width, 90);
    EXPECT_EQ(m.MduList[2].Width, 40);
}

TEST(Layout, APortWhoseBottomSlackReachesExactlyTheMaximumHeightStaysInItsColumn) {
    // Port 51 of u1 stands at 24 + 15 * 51 = 789, so 789 + 6 = 795.
    struct Case {
        int maxViewHeight;
        int x;
        int y;
    } cases[] = {{795, 56, 789}, {794, 106, 24}};
    for (const Case& c : cases) {
        auto m = std::make_unique<ProjectModel>();
        m->LineList = LinesFromText(Project(0, {52}));
        m->MaxViewHeight = c.maxViewHeight;
        m->UpdatePicExecute(RebuildSender::MainWindow);
        EXPECT_EQ(m->PortList[51].X, c.x) << "MaxViewHeight " << c.maxViewHeight;
        EXPECT_EQ(m->PortList[51].Y, c.y) << "MaxViewHeight " << c.maxViewHeight;
    }
}

TEST(Layout, ANewColumnStartsAtTheTopOfThePictureWhateverTheOwnersY) {
    // In the compact view u3 stacks below u2's last port; its ports wrap to the picture's top.
    auto held = Laid(Project(0, {1, 1, 60}), '2');
    ProjectModel& m = *held;
    const mdu& u3 = m.MduList[3];
    EXPECT_GT(u3.Y, 6);
    // u3 stands at y 82, its ports from 100 on: port 47 at 805 is the first to wrap.
    EXPECT_EQ(u3.Y, 82);
    EXPECT_EQ(m.PortList[2 + 46].X, u3.X);
    const port& firstWrapped = m.PortList[2 + 47];
    EXPECT_EQ(m.PortList[2].Y, u3.Y + 15 + 3);
    EXPECT_EQ(firstWrapped.Y, 24);
    EXPECT_EQ(firstWrapped.X, u3.X + 50);
}

TEST(Layout, TheCompactViewStacksInstancesBelowThePreviousLastPort) {
    auto held = Laid(Project(1, {2, 1}), '2');
    ProjectModel& m = *held;
    EXPECT_EQ(m.MduList[1].X, 56) << "the first module stands beside the top";
    const port& lastOfU1 = m.PortList[2];
    EXPECT_EQ(m.MduList[2].X, lastOfU1.X);
    EXPECT_EQ(m.MduList[2].Y, lastOfU1.Y + 15 + 5);
    EXPECT_EQ(m.PortList[3].Y, m.MduList[2].Y + 15 + 3);
    m.ComputeModuleWidths();
    for (const mdu& i : m.MduList)
        EXPECT_EQ(i.Width, 40);
}

TEST(Layout, TheCompactViewStacksUpToExactlyTheMaximumHeight) {
    // u1's last port is at 24 + 15 * 50 = 774; 774 + 15 + 5 + 6 is exactly 800, which still fits.
    auto held = Laid(Project(0, {51, 1}), '2');
    EXPECT_EQ(held->MduList[2].X, 56);
    EXPECT_EQ(held->MduList[2].Y, 794);
}

TEST(Layout, TheCompactViewStartsANewColumnWhenTheStackWouldBeTooHigh) {
    // u1's last port is at 24 + 15 * 51 = 789; 789 + 15 + 5 + 6 passes 800.
    auto held = Laid(Project(0, {52, 1}), '2');
    ProjectModel& m = *held;
    const port& last = m.PortList[51];
    EXPECT_EQ(last.Y, 789);
    EXPECT_EQ(m.MduList[2].X, last.X + 50);
    EXPECT_EQ(m.MduList[2].Y, 6);
}

TEST(Layout, AStackedInstanceCountsACollapsedLastPortAsZeroHigh) {
    std::string text = Project(0, {2, 1});
    ProjectLines lines = LinesFromText(text);
    lines[3][13] = "Y"; // u1's last port is collapsed
    auto m = std::make_unique<ProjectModel>();
    m->LineList = lines;
    m->ViewMode = '2';
    m->UpdatePicExecute(RebuildSender::MainWindow);
    EXPECT_EQ(m->MduList[2].Y, m->PortList[1].Y + 5);
}

TEST(Layout, TheCustomViewStacksOnlyInstancesMarkedCompact) {
    auto held = Laid(Project(1, {2, 1, 1}, {false, true, false}), '3');
    ProjectModel& m = *held;
    const port& lastOfU1 = m.PortList[2];
    EXPECT_EQ(m.MduList[2].X, lastOfU1.X) << "u2 is marked compact";
    EXPECT_EQ(m.MduList[2].Y, lastOfU1.Y + 20);
    const port& lastOfU2 = m.PortList[3];
    EXPECT_EQ(m.MduList[3].X, lastOfU2.X + 50) << "u3 is not: a new column at the top";
    EXPECT_EQ(m.MduList[3].Y, 6);
    m.ComputeModuleWidths();
    EXPECT_EQ(m.MduList[2].Width, 40);
    EXPECT_EQ(m.MduList[1].Width, 40);
}

TEST(Layout, StackingWithoutAnyPortYetIsReportedAndKeepsTheRowPlace) {
    auto held = Laid(Project(0, {0, 0}), '2');
    EXPECT_EQ(held->MduList[2].X, 106);
    EXPECT_EQ(held->MduList[2].Y, 6);
    EXPECT_EQ(held->Log.Lines(), std::vector<std::string>{"Error: Found empty module."});
}

TEST(Layout, GapsAndCollapsedPortsSetThePlaceOfTheNextPort) {
    std::string text = Project(3, {});
    ProjectLines lines = LinesFromText(text);
    lines[1][13] = "Y";
    auto m = std::make_unique<ProjectModel>();
    m->LineList = lines;
    m->PrtMargin = 2;
    m->UpdatePicExecute(RebuildSender::MainWindow);
    EXPECT_EQ(m->PortList[0].Y, 24);
    EXPECT_EQ(m->PortList[1].Y, 24 + 2) << "a collapsed port takes no height";
    EXPECT_EQ(m->PortList[2].Y, 24 + 2 + 15 + 2);
}

TEST(Layout, AWireLeavesTheRightEdgeOfTheEarlierPortAndEntersTheLeftOfTheLater) {
    auto held = Laid("TOP\t\ttop\n"
                     "MODULE\tm\tu1\n"
                     "OUTPUT\t\t\ta\n"
                     "INPUT\t\t\tb\n"
                     "MODULE\tm\tu2\n"
                     "INPUT\t\t\tc\n"
                     "WIRE\tu1\ta\tu1\tb\tn1\n"
                     "WIRE\tu2\tc\tu1\ta\tn2\n");
    ProjectModel& m = *held;
    const wire& same = m.WireList[0];
    EXPECT_EQ(same.X1, 56 + 40);
    EXPECT_EQ(same.Y1, 24 + 7);
    EXPECT_EQ(same.X2, 56);
    EXPECT_EQ(same.Y2, 39 + 7);
    const wire& back = m.WireList[1]; // end A (u2.c) comes after end B (u1.a)
    EXPECT_EQ(back.X1, 106);
    EXPECT_EQ(back.Y1, 24 + 7);
    EXPECT_EQ(back.X2, 56 + 40);
    EXPECT_EQ(back.Y2, 24 + 7);
}

// Ports of one name sit on many instances, and an instance may have more ports than are searched
// in place: every wire end must still land on the port of the instance it names.
TEST(Layout, EveryWireEndLandsOnThePortOfTheInstanceItNames) {
    std::string text = Project(1, {3, 70, 1});
    const std::pair<const char*, const char*> ends[][2] = {
        {{"u1", "p2"}, {"u2", "p69"}}, {{"u3", "p0"}, {"u1", "p0"}}, {{"top", "t0"}, {"u3", "p0"}},
        {{"u1", "p1"}, {"u2", "p5"}},  {{"u2", "p0"}, {"u2", "p1"}},
    };
    int n = 0;
    for (const auto& w : ends)
        text += std::string("WIRE\t") + w[0].first + "\t" + w[0].second + "\t" + w[1].first + "\t" +
                w[1].second + "\tn" + std::to_string(n++) + "\n";
    auto held = Laid(text);
    const ProjectModel& m = *held;
    ASSERT_EQ(m.WireList.size(), std::size(ends));
    auto portOf = [&](const char* inst, const char* name) -> const port* {
        for (const port& p : m.PortList)
            if (p.OwnerName == inst && p.Name == name)
                return &p;
        return nullptr;
    };
    for (std::size_t i = 0; i < std::size(ends); ++i) {
        const wire& w = m.WireList[i];
        const port* a = portOf(ends[i][0].first, ends[i][0].second);
        const port* b = portOf(ends[i][1].first, ends[i][1].second);
        ASSERT_TRUE(a && b) << "wire " << i;
        EXPECT_EQ(w.Y1, a->Y + m.PrtHeight / 2) << "wire " << i;
        EXPECT_EQ(w.Y2, b->Y + m.PrtHeight / 2) << "wire " << i;
        EXPECT_TRUE(w.X1 == a->X || w.X1 == a->X + m.PrtWidth) << "wire " << i;
        EXPECT_TRUE(w.X2 == b->X || w.X2 == b->X + m.PrtWidth) << "wire " << i;
        EXPECT_FALSE(a->Lone || b->Lone) << "wire " << i;
    }
}

TEST(Layout, AWireEndsInTheMiddleOfAPortOrAtTheTopOfACollapsedOne) {
    ProjectLines lines = LinesFromText("TOP\t\ttop\n"
                                       "MODULE\tm\tu1\n"
                                       "OUTPUT\t\t\ta\n"
                                       "INPUT\t\t\tb\n"
                                       "WIRE\tu1\ta\tu1\tb\tn1\n");
    lines[3][13] = "Y";
    auto m = std::make_unique<ProjectModel>();
    m->LineList = lines;
    m->PrtHeight = 16;
    m->UpdatePicExecute(RebuildSender::MainWindow);
    EXPECT_EQ(m->WireList[0].Y1, m->PortList[0].Y + 8);
    EXPECT_EQ(m->WireList[0].Y2, m->PortList[1].Y);
}

TEST(Layout, ThePictureExtentCoversEveryBoxWithTheSlack) {
    auto held = Laid(Project(1, {2}));
    ProjectModel& m = *held;
    m.ComputeModuleWidths();
    EXPECT_EQ(m.PictureExtent(0, 0), std::make_pair(56 + 40 + 6, 39 + 15 + 6));
    EXPECT_EQ(m.PictureExtent(500, 400), std::make_pair(500, 400));
    RebuildResult r = m.UpdatePicExecute(RebuildSender::MainWindow);
    EXPECT_EQ(r.PictureWidth, 102);
    EXPECT_EQ(r.PictureHeight, 60);
}

// Regression: sizes from the settings file are not range checked, and a port below a very tall
// one overflowed its y instead of opening a new column.
TEST(Layout, HugeSizesFromTheSettingsFileWrapInsteadOfOverflowing) {
    auto m = std::make_unique<ProjectModel>();
    m->LineList = LinesFromText(Project(3, {}));
    m->PrtHeight = 2000000000;
    m->MaxViewHeight = 2147483647;
    m->UpdatePicExecute(RebuildSender::MainWindow);
    EXPECT_EQ(m->PortList[1].Y, 24 + 2000000000);
    EXPECT_EQ(m->PortList[2].Y, 24) << "the third port would stand past the maximum height";
    EXPECT_EQ(m->PortList[2].X, 6 + 40 + 10);
    EXPECT_EQ(m->MduList[0].Columns, 2);
}
