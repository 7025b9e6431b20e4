// The hourglass and the held user input of a long command.
#include "editor/app/BusyScope.h"

#include <QApplication>
#include <QEvent>

namespace {

bool IsUserInput(const QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Drop:
        return true;
    case QEvent::Close:
        return event->spontaneous(); // the close box, not a window closing itself
    default:
        return false;
    }
}

} // namespace

BusyScope::BusyScope() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    qApp->installEventFilter(this);
}

BusyScope::~BusyScope() {
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    for (auto& [receiver, event] : held_)
        if (receiver)
            QCoreApplication::postEvent(receiver, event.release());
}

void BusyScope::PendingEvents() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                    QEventLoop::ExcludeSocketNotifiers);
}

bool BusyScope::eventFilter(QObject* watched, QEvent* event) {
    if (!IsUserInput(event))
        return false;
    held_.emplace_back(watched, event->clone());
    return true;
}
