// The commands' icons: the theme's icon by name on every button and menu item that names one,
// the short caption on a button whose icon the theme lacks.
#include "MainWindowFixture.h"

#include "editor/app/Icons.h"
#include "editor/model/Commands.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>

namespace {

TEST(CommandIcons, EveryIconTheTableNamesIsInTheTheme) {
    QAction probe;
    SetCommandIcon(probe, "", "");
    ASSERT_EQ(QIcon::themeName().toStdString(), kIconTheme);
    int named = 0;
    for (const CommandDef& c : CommandTable()) {
        if (c.icon.empty())
            continue;
        ++named;
        EXPECT_TRUE(QIcon::hasThemeIcon(QString::fromUtf8(c.icon.data(), c.icon.size())))
            << c.name << ": " << c.icon;
    }
    EXPECT_GT(named, 30);
}

TEST(CommandIcons, AButtonWithoutAnIconInTheThemeShowsItsShortCaption) {
    QToolBar bar;
    QAction known(&bar), unknown(&bar), none(&bar);
    known.setText("Zoom In");
    unknown.setText("Zoom In Sideways");
    none.setText("Close Project");
    SetCommandIcon(known, "zoom-in", "Z+");
    SetCommandIcon(unknown, "zun-no-such-icon", "Z>");
    SetCommandIcon(none, "", "");
    bar.addAction(&known);
    bar.addAction(&unknown);
    bar.addAction(&none);
    bar.setToolButtonStyle(Qt::ToolButtonIconOnly);

    EXPECT_FALSE(known.icon().isNull());
    EXPECT_TRUE(unknown.icon().isNull());
    EXPECT_TRUE(none.icon().isNull());
    auto* unknownButton = qobject_cast<QToolButton*>(bar.widgetForAction(&unknown));
    ASSERT_NE(unknownButton, nullptr);
    EXPECT_EQ(unknownButton->text().toStdString(), "Z>");
    auto* noneButton = qobject_cast<QToolButton*>(bar.widgetForAction(&none));
    ASSERT_NE(noneButton, nullptr);
    EXPECT_EQ(noneButton->text().toStdString(), "Close Project");
    // A menu shows the full caption, icon or not.
    EXPECT_EQ(unknown.text().toStdString(), "Zoom In Sideways");
}

TEST_F(MainWindowTest, EveryToolButtonShowsTheThemeIconItsCommandNames) {
    for (const ToolSlot& s : ToolBarTable()) {
        if (s.button.empty())
            continue;
        const CommandDef& c = RequireCommand(s.command);
        QAction* a = form->Action(s.command);
        ASSERT_NE(a, nullptr) << s.button;
        EXPECT_EQ(a->icon().name().toStdString(), std::string(c.icon)) << s.button;
        // The theme's images are drawn, not only found (SVG needs Qt's SVG icon engine).
        const QImage image = a->icon().pixmap(22).toImage();
        ASSERT_FALSE(image.isNull()) << s.button;
        bool drawn = false;
        for (int y = 0; y < image.height() && !drawn; ++y)
            for (int x = 0; x < image.width() && !drawn; ++x)
                drawn = qAlpha(image.pixel(x, y)) != 0;
        EXPECT_TRUE(drawn) << s.button << ": the icon has no visible pixel";
    }
}

} // namespace
