// The canvas inside the scroll box: it shows the off-screen picture and hands its mouse events
// on. A paint only copies the picture; it never rebuilds.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

class TPaintBox : public QWidget {
    Q_OBJECT
public:
    TPaintBox(const QImage& picture, QWidget* parent = nullptr);

    // Mouse handlers of the canvas, set by the canvas's own code.
    std::function<void(QMouseEvent*)> MouseDown;
    std::function<void(QMouseEvent*)> MouseMove;
    std::function<void(QMouseEvent*)> MouseUp;
    std::function<void(QMouseEvent*)> DoubleClick;
    std::function<void(QContextMenuEvent*)> ContextMenu;

    // Paints counted, for the check that a paint does no more than copy.
    int PaintCount() const { return paints_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    const QImage& picture_;
    int paints_ = 0;
};
