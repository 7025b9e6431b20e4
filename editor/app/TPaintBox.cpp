// The canvas widget.
#include "editor/app/TPaintBox.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

TPaintBox::TPaintBox(const QImage& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
    setObjectName("PaintBox1");
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPaintBox::paintEvent(QPaintEvent* event) {
    ++paints_;
    QPainter painter(this);
    const QRect r = event->rect();
    painter.fillRect(r, Qt::white);
    if (!picture_.isNull())
        painter.drawImage(r.topLeft(), picture_, r);
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
    if (MouseDown)
        MouseDown(event);
}
void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    if (MouseMove)
        MouseMove(event);
}
void TPaintBox::mouseReleaseEvent(QMouseEvent* event) {
    if (MouseUp)
        MouseUp(event);
}
void TPaintBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (DoubleClick)
        DoubleClick(event);
    else if (MouseDown)
        MouseDown(event);
}
void TPaintBox::contextMenuEvent(QContextMenuEvent* event) {
    if (ContextMenu)
        ContextMenu(event);
}
