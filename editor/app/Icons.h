// The program's icon and the glyph icons of the tool bar, painted at run time.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

QPixmap ProgramIconPixmap(int size);
// A small icon showing a short text, for a tool button.
QIcon GlyphIcon(const QString& glyph);
