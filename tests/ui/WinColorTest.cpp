// Windows colour values as the windows paint them: plain values by their byte order, system
// colours by the palette role of the same meaning.
#include "editor/widgets/WinColor.h"
#include "editor/canvas/ui/SchematicDrawer.h"
#include "editor/model/ColorNames.h"
#include "editor/model/ProjectModel.h"
#include "model/ModelText.h"

#include <QApplication>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

TEST(WinColor, APlainValueIsBlueGreenRedFromTheHighByteDown) {
    EXPECT_EQ(WinColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(WinColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(WinColor(0xD8E9EC), QColor(236, 233, 216));
}

TEST(WinColor, SystemColoursTakeThePaletteRoleOfTheSameMeaning) {
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(200, 200, 200));
    palette.setColor(QPalette::Light, QColor(250, 250, 250));
    palette.setColor(QPalette::Midlight, QColor(100, 100, 100));
    palette.setColor(QPalette::Dark, QColor(90, 90, 90));
    palette.setColor(QPalette::Text, QColor(1, 2, 3));
    palette.setColor(QPalette::Base, QColor(4, 5, 6));
    struct Case {
        const char* name;
        unsigned value;
        QColor expected;
    };
    const Case cases[] = {
        {"button face", 0x8000000Fu, QColor(200, 200, 200)},
        {"button highlight", 0x80000014u, QColor(250, 250, 250)},
        {"button shadow", 0x80000010u, QColor(90, 90, 90)},
        {"window text", 0x80000008u, QColor(1, 2, 3)},
        {"window background", 0x80000005u, QColor(4, 5, 6)},
        // Lighter than the face, as Windows has it, whatever the style makes of Midlight.
        {"3-D light", 0x80000016u, QColor(225, 225, 225)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WinColor(static_cast<int>(c.value), palette), c.expected) << c.name;
}

// The picture's default background is the 3-D light colour; mapped to Midlight it came out
// darker than the default silver wires, which then vanished into it.
TEST(WinColor, DefaultWiresStandOutFromTheDefaultBackground) {
    const ProjectModel defaults;
    const QColor back = WinColor(defaults.BackColor);
    const QColor wire = WinColor(defaults.WireColor);
    EXPECT_GE(back.lightness() - wire.lightness(), 40)
        << back.name().toStdString() << " behind " << wire.name().toStdString();
}

// The colour boxes offer "none" and "default": none draws nothing, default draws black.
TEST(WinColor, NoneIsTransparentAndDefaultIsBlack) {
    EXPECT_EQ(WinColor(ColorNone).alpha(), 0);
    EXPECT_EQ(WinColor(ColorDefault), QColor(Qt::black));
    EXPECT_EQ(ColorName(ColorNone), "none");
    EXPECT_EQ(ColorName(ColorDefault), "default");
    EXPECT_EQ(ColorName(static_cast<int>(0x80000016u)), "3D Light");
    EXPECT_EQ(ColorName(0x123456), "");
}

TEST(WinColor, AWireOfColourNoneLeavesTheBackgroundAndABackgroundOfNoneIsWhite) {
    ProjectModel model;
    model.LineList = LinesFromText(SmallProject);
    model.PrjOpen = true;
    model.WireColor = 0x00FF00;
    model.UpdatePicExecute(RebuildSender::MainWindow);
    ASSERT_FALSE(model.WireList.empty());
    SchematicDrawer drawer;
    ViewState view = ViewState::Initial();
    QImage picture(800, 600, QImage::Format_RGB32);
    drawer.Draw(picture, {model, view, '0', {}, 800, 600});
    std::vector<QPoint> onWire;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (QColor(picture.pixel(x, y)) == QColor(0, 255, 0))
                onWire.emplace_back(x, y);
    ASSERT_GT(onWire.size(), 3u);
    model.WireColor = ColorNone;
    model.UpdatePicExecute(RebuildSender::MainWindow);
    drawer.Draw(picture, {model, view, '0', {}, 800, 600});
    const QColor back = WinColor(model.BackColor);
    const QColor dot = WinColor(model.WireEndColor);
    for (const QPoint& p : onWire) {
        const QColor now(picture.pixel(p));
        EXPECT_TRUE(now == back || now == dot) << p.x() << "," << p.y();
    }

    model.BackColor = ColorNone;
    drawer.Draw(picture, {model, view, '0', {}, 800, 600});
    EXPECT_EQ(QColor(picture.pixel(picture.width() - 1, picture.height() - 1)), QColor(Qt::white));
}

} // namespace
