// Window-test helpers: run the event loop until something holds, and click a widget as a user
// would.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QWidget>

#include <functional>

// Processes events until done() holds; false when ms went by first.
inline bool PumpEventsUntil(const std::function<bool()>& done, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// A mouse click in the middle of the widget, through the application's event dispatch.
inline void ClickCentre(QWidget* w) {
    QPointF centre(w->width() / 2.0, w->height() / 2.0);
    QPointF global = w->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}
