// The Qt prompt's font chooser, confirmed as it opens: what it answers is the font it was
// started at, in a face the chooser offers.
#include "editor/app/QtPrompt.h"

#include <QApplication>
#include <QDialog>
#include <QFontDatabase>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Confirms the font chooser as soon as it shows, without a change.
std::optional<FontValue> ChooseUnchanged(const FontValue& initial, bool fixedPitch) {
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    QtPrompt prompt;
    return prompt.ChooseFont(initial, fixedPitch);
}

TEST(QtPromptFontChooser, AFixedPitchChoiceConfirmedAsItOpensKeepsTheStylesItWasStartedWith) {
    // Started at a face it does not list, the chooser selected the first style of its first
    // fixed-pitch face, an oblique one: confirming it made the HDL font italic.
    struct Case {
        const char* face;
        bool bold;
        bool italic;
    } cases[] = {
        {"MS Sans Serif", false, false},
        {"MS Sans Serif", true, false},
        {"Courier New", false, true},
    };
    for (const Case& c : cases) {
        FontValue initial;
        initial.Face = c.face;
        initial.SetPoints(10);
        initial.Bold = c.bold;
        initial.Italic = c.italic;
        initial.Color = 0x123456;
        const std::optional<FontValue> chosen = ChooseUnchanged(initial, true);
        ASSERT_TRUE(chosen) << c.face;
        EXPECT_TRUE(QFontDatabase::isFixedPitch(QString::fromStdString(chosen->Face)))
            << chosen->Face;
        EXPECT_EQ(chosen->Italic, c.italic) << c.face;
        EXPECT_EQ(chosen->Bold, c.bold) << c.face;
        EXPECT_EQ(chosen->Size, 10) << c.face;
        EXPECT_EQ(chosen->Color, 0x123456) << c.face;
    }
}

TEST(QtPromptFontChooser, AnyFaceChoiceConfirmedAsItOpensKeepsSizeStylesAndColour) {
    FontValue initial;
    initial.SetPoints(14);
    initial.Bold = true;
    initial.Color = 0x0000FF;
    const std::optional<FontValue> chosen = ChooseUnchanged(initial, false);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->Size, 14);
    EXPECT_TRUE(chosen->Bold);
    EXPECT_FALSE(chosen->Italic);
    EXPECT_EQ(chosen->Color, 0x0000FF);
}

TEST(QtPromptFontChooser, AZoomedFontConfirmedAsItOpensKeepsItsPixelHeight) {
    // 14 px is 10.5 pt, shown as 11 pt: taking the chooser's points made it 15 px.
    for (int pixels : {13, 14, 17}) {
        FontValue initial;
        initial.SetPixels(pixels);
        const std::optional<FontValue> chosen = ChooseUnchanged(initial, false);
        ASSERT_TRUE(chosen) << pixels;
        EXPECT_EQ(chosen->Pixels(), pixels);
        EXPECT_EQ(chosen->Size, initial.Size) << pixels;
    }
}

} // namespace
