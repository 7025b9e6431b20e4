// The hit test by columns answers as a walk of every instance and port in list order does, also
// where boxes overlap and after a zoom changed the sizes.
#include "CanvasFixture.h"

#include "RandomDesign.h"

namespace {

// The hit test as the lists give it: the first instance header, then the first port box.
char WalkHitTest(const ProjectModel& m, int x, int y, int& index) {
    if (x < m.LeftMargin || y < m.TopMargin)
        return 'N';
    for (std::size_t i = 0; i < m.MduList.size(); ++i) {
        const mdu& d = m.MduList[i];
        if (x >= d.X && x <= d.X + d.Width && y >= d.Y && y <= d.Y + m.TitleHeight) {
            index = static_cast<int>(i);
            return 'M';
        }
    }
    for (std::size_t i = 0; i < m.PortList.size(); ++i) {
        const port& p = m.PortList[i];
        if (x >= p.X && x <= p.X + m.PrtWidth && y >= p.Y &&
            y <= p.Y + (p.Collapsed ? 0 : m.PrtHeight)) {
            index = static_cast<int>(i);
            return 'P';
        }
    }
    return 'N';
}

} // namespace

TEST_F(Canvas, TheHitTestByColumnsAnswersAsAWalkOfTheLists) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        LoadRandomDesign(m, seed, 20 + static_cast<int>(seed) * 5, 30);
        // Compact and custom views stack instances, and large ports overlap their neighbours.
        m.ViewMode = "123"[seed % 3];
        if (seed % 4 == 0) {
            m.PrtWidth = 90;
            m.MaxViewHeight = 300;
        }
        m.UpdatePicExecute(RebuildSender::MainWindow);
        const auto [w, h] = m.PictureExtent(0, 0);
        int hits = 0;
        for (int x = 0; x <= w; x += 3) {
            for (int y = 0; y <= h; y += 4) {
                int expected = -1;
                int found = -1;
                const char kind = WalkHitTest(m, x, y, expected);
                ASSERT_EQ(c.HitTest(x, y, found), kind) << seed << " at " << x << "," << y;
                if (kind != 'N') {
                    ASSERT_EQ(found, expected) << seed << " at " << x << "," << y;
                }
                hits += kind != 'N';
            }
        }
        EXPECT_GT(hits, 100) << seed;
    }
}
