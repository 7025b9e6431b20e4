// Random keyword soup: any order of the real keywords with random fields must rebuild without a
// crash, give every port an owner, and leave the lines stable for the next rebuild.
#include "ModelText.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const char* const Keywords_[] = {
    "TOP",    "MODULE", "PARAMETER", "INPUT",  "OUTPUT",   "OUTPUT_B", "BIDIR", "KVAR",
    "WIRE",   "WIRE",   "INPUT",     "ASSIGN", "Version:", "HS",       "GS",    "CS",
    "DS",     "ES",     "FS",        "JS",     "LS",       "NS",       "QS",    "RS",
    "#INPUT", "",       "input",     "X",      "M",        "T",        "W",     "P"};

const char* const Fields[] = {"",    "",    "",  "u1", "u2", "u10", "top",  "a",
                              "b",   "clk", "0", "7",  "-1", "NA",  "Y",    "S",
                              "W-1", "15",  "1", "2",  "3",  "-5",  "0x10", "99999999999",
                              "800", "Z",   "q", "M",  "P"};

ProjectLines Soup(std::mt19937& rng, int count) {
    std::uniform_int_distribution<std::size_t> kw(0, std::size(Keywords_) - 1);
    std::uniform_int_distribution<std::size_t> fd(0, std::size(Fields) - 1);
    std::uniform_int_distribution<int> width(0, 19);
    ProjectLines lines;
    for (int i = 0; i < count; ++i) {
        ProjectLine line;
        line[0] = Keywords_[kw(rng)];
        const int filled = width(rng);
        for (int f = 1; f <= filled; ++f)
            line[f] = Fields[fd(rng)];
        lines.push_back(line);
    }
    return lines;
}

void ExpectConsistent(const ProjectModel& m, unsigned seed) {
    for (std::size_t i = 0; i < m.PortList.size(); ++i) {
        const port& p = m.PortList[i];
        ASSERT_GE(p.Owner, 0) << "seed " << seed << " port " << i;
        ASSERT_LT(p.Owner, static_cast<int>(m.MduList.size())) << "seed " << seed;
        const mdu& owner = m.MduList[p.Owner];
        EXPECT_EQ(owner.InstName, p.OwnerName) << "seed " << seed << " port " << i;
        EXPECT_LE(owner.FirstPort, static_cast<int>(i)) << "seed " << seed;
        EXPECT_GE(owner.LastPort, static_cast<int>(i)) << "seed " << seed;
        ASSERT_LT(p.LineIndex, static_cast<int>(m.LineList.size()));
        EXPECT_EQ(m.LineList[p.LineIndex][10], "P") << "seed " << seed;
        EXPECT_EQ(m.LineList[p.LineIndex][11], std::to_string(i)) << "seed " << seed;
    }
    for (std::size_t k = 0; k < m.MduList.size(); ++k) {
        const mdu& i = m.MduList[k];
        EXPECT_EQ(i.Params.size(), static_cast<std::size_t>(i.ParaCount) * ParamTexts);
        EXPECT_GE(i.Columns, 1);
        EXPECT_EQ(m.LineList[i.LineIndex][10], "M") << "seed " << seed;
    }
    if (m.TopMdu >= 0) {
        EXPECT_EQ(m.MduList[m.TopMdu].InstName, m.TopName);
    }
}

} // namespace

TEST(RebuildSoup, RandomKeywordSoupNeverBreaksTheRebuildAndEveryPortHasAnOwner) {
    const RebuildSender senders[] = {RebuildSender::MainWindow, RebuildSender::FileNewPrj,
                                     RebuildSender::PaintBox1};
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 rng(seed);
        ProjectModel m;
        m.LineList = Soup(rng, 10 + static_cast<int>(seed % 90));
        m.PrjOpen = seed % 2 == 0;
        m.ViewMode = "123"[seed % 3];
        const std::size_t lineCount = m.LineList.size();
        const RebuildSender sender = senders[seed % 3];
        RebuildResult r = m.UpdatePicExecute(sender);
        ASSERT_EQ(m.LineList.size(), lineCount) << "seed " << seed;
        EXPECT_EQ(r.ClosePrjRequested, m.PrjOpen && m.TopName.empty()) << "seed " << seed;
        ExpectConsistent(m, seed);

        // The repairs are done once: the next rebuild finds nothing left to change.
        const ProjectLines once = m.LineList;
        const std::size_t ports = m.PortList.size();
        m.UpdatePicExecute(sender);
        EXPECT_EQ(StoredText(m.LineList), StoredText(once)) << "seed " << seed;
        EXPECT_EQ(m.PortList.size(), ports) << "seed " << seed;
        ExpectConsistent(m, seed);
        if (HasFailure())
            return;
    }
}
