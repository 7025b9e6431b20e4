// Windows colour values (0x00BBGGRR, negative for system colours) and model fonts as Qt sees them.
#pragma once

#include "editor/model/FontValue.h"

#include <QColor>
#include <QFont>
#include <QPalette>

// A system colour (0x80000000 + index) comes from the palette; "none" (ColorNone) is transparent,
// so that nothing drawn in it shows; "default" (ColorDefault) is black; any other value is
// 0x00BBGGRR.
QColor WinColor(int value, const QPalette& palette);
QColor WinColor(int value);
// The font of a model font value, without its colour (WinColor of FontValue::Color gives that).
QFont QFontOf(const FontValue& font);
// The same font sized by its pixel height, as the picture (96 DPI) draws and measures it.
QFont QPixelFontOf(const FontValue& font);
