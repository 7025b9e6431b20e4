// Colour and font conversion for the windows.
#include "editor/widgets/WinColor.h"

#include "editor/model/ColorNames.h"

#include <QApplication>

namespace {

// The Windows system-colour indexes that have a palette role of the same meaning.
QPalette::ColorRole RoleOf(unsigned index) {
    switch (index) {
    case 1:
        return QPalette::Dark; // desktop
    case 4:
        return QPalette::Window; // menu
    case 5:
        return QPalette::Base; // window background
    case 6:
        return QPalette::Shadow; // window frame
    case 7:
        return QPalette::WindowText; // menu text
    case 8:
        return QPalette::Text; // window text
    case 12:
        return QPalette::Mid; // application workspace
    case 13:
        return QPalette::Highlight;
    case 14:
        return QPalette::HighlightedText;
    case 15:
        return QPalette::Button; // button face
    case 16:
        return QPalette::Dark; // button shadow
    case 17:
        return QPalette::PlaceholderText; // grey text
    case 18:
        return QPalette::ButtonText;
    case 20:
        return QPalette::Light; // button highlight
    case 21:
        return QPalette::Shadow; // 3-D dark shadow
    case 23:
        return QPalette::ToolTipText;
    case 24:
        return QPalette::ToolTipBase;
    default:
        return QPalette::Window;
    }
}

// The 3-D light colour: Windows makes it a little lighter than the button face. No palette
// role means that (styles make Midlight darker than the face), and the default picture
// background is this colour, on which the default silver wires must still show.
QColor Light3D(const QPalette& palette) {
    const QColor face = palette.color(QPalette::Active, QPalette::Button);
    const QColor light = palette.color(QPalette::Active, QPalette::Light);
    return QColor((face.red() + light.red()) / 2, (face.green() + light.green()) / 2,
                  (face.blue() + light.blue()) / 2);
}

} // namespace

QColor WinColor(int value, const QPalette& palette) {
    // "none" draws nothing; "default" is the colour box's default colour.
    if (value == ColorNone)
        return QColor(Qt::transparent);
    if (value == ColorDefault)
        return QColor(Qt::black);
    const auto bits = static_cast<unsigned>(value);
    if ((bits & 0x80000000u) && (bits & 0xFFu) == 22)
        return Light3D(palette);
    if (bits & 0x80000000u)
        return palette.color(QPalette::Active, RoleOf(bits & 0xFFu));
    return QColor(static_cast<int>(bits & 0xFFu), static_cast<int>((bits >> 8) & 0xFFu),
                  static_cast<int>((bits >> 16) & 0xFFu));
}

QColor WinColor(int value) {
    return WinColor(value, QApplication::palette());
}

QFont QFontOf(const FontValue& font) {
    QFont qfont(QString::fromStdString(font.Face));
    qfont.setPointSize(font.Size > 0 ? font.Size : 8);
    qfont.setBold(font.Bold);
    qfont.setItalic(font.Italic);
    qfont.setUnderline(font.Underline);
    qfont.setStrikeOut(font.StrikeOut);
    return qfont;
}

QFont QPixelFontOf(const FontValue& font) {
    QFont qfont = QFontOf(font);
    qfont.setPixelSize(font.Pixels());
    return qfont;
}
