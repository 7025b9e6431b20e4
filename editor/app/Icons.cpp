// Icons painted by the program itself, so that no image file has to travel with it.
#include "editor/app/Icons.h"

#include <QFont>
#include <QPainter>

QPixmap ProgramIconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x20, 0x50, 0x90));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
    p.setPen(QPen(QColor(0xF0, 0xC0, 0x30), size / 16.0));
    // Three boxes joined by wires: the picture of a top level.
    const double u = size / 8.0;
    p.drawLine(QPointF(2.5 * u, 3 * u), QPointF(5.5 * u, 2.5 * u));
    p.drawLine(QPointF(2.5 * u, 5 * u), QPointF(5.5 * u, 5.5 * u));
    p.setBrush(Qt::white);
    p.setPen(QPen(Qt::black, size / 32.0));
    p.drawRect(QRectF(1 * u, 2 * u, 1.5 * u, 4 * u));
    p.drawRect(QRectF(5.5 * u, 1.5 * u, 1.5 * u, 2 * u));
    p.drawRect(QRectF(5.5 * u, 4.5 * u, 1.5 * u, 2 * u));
    return pixmap;
}

QIcon GlyphIcon(const QString& glyph) {
    const int size = 22;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(QColor(0x30, 0x30, 0x30));
    p.setBrush(QColor(0xE8, 0xEE, 0xF6));
    p.drawRect(1, 1, size - 3, size - 3);
    QFont font;
    font.setPixelSize(glyph.size() > 2 ? 8 : 10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0x10, 0x30, 0x70));
    p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, glyph);
    return QIcon(pixmap);
}
