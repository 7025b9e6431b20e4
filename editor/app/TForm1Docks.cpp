// The main window's dock panels and the tool windows in them: the check buttons that show and
// close them, the opening of a panel for its first client and its closing with its last.
#include "editor/app/TForm1.h"

#include "editor/canvas/Docking.h"

#include <QAction>
#include <QDockWidget>
#include <QEvent>
#include <QToolBar>

namespace {

DockPanel PanelOf(Qt::DockWidgetArea area) {
    if (area == Qt::LeftDockWidgetArea)
        return DockPanel::Left;
    if (area == Qt::RightDockWidgetArea)
        return DockPanel::Right;
    return DockPanel::Bottom;
}

bool IsDockPanel(Qt::DockWidgetArea area) {
    return area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea ||
           area == Qt::BottomDockWidgetArea;
}

} // namespace

void TForm1::RegisterDockClient(QDockWidget* window, const std::string& button) {
    if (!window)
        return;
    window->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea |
                            Qt::BottomDockWidgetArea);
    Qt::DockWidgetArea panel = window->isFloating() ? Qt::NoDockWidgetArea : dockWidgetArea(window);
    dockClients_.push_back({window, button, panel, window->isHidden()});
    window->installEventFilter(this);
    connect(window, &QDockWidget::dockLocationChanged, this,
            [this, window](Qt::DockWidgetArea area) {
                for (DockClient& c : dockClients_) {
                    if (c.window != window || window->isFloating())
                        continue;
                    const Qt::DockWidgetArea old = c.panel;
                    c.panel = area;
                    if (old != area && IsDockPanel(old))
                        LeftPanelUnDock(old, window);
                    if (old != area && IsDockPanel(area))
                        LeftPanelDockDrop(area, window);
                }
            });
    connect(window, &QDockWidget::topLevelChanged, this, [this, window](bool floating) {
        for (DockClient& c : dockClients_) {
            if (c.window != window || !floating)
                continue;
            const Qt::DockWidgetArea old = c.panel;
            c.panel = Qt::NoDockWidgetArea;
            if (IsDockPanel(old))
                LeftPanelUnDock(old, window);
        }
    });
    connect(window, &QObject::destroyed, this, [this, window] {
        std::erase_if(dockClients_, [window](const DockClient& c) { return c.window == window; });
    });
    SetHandler(button, [this, button] { ToolWindowButtonClick(button); });
    // From now on the button shows whether the window is shown.
    ::SetDown(View, Model.ViewMode, button, !window->isHidden());
    SyncCheckButtons();
}

void TForm1::ReleaseDockClients() {
    for (const DockClient& c : dockClients_) {
        c.window->removeEventFilter(this);
        disconnect(c.window, nullptr, this, nullptr);
    }
    dockClients_.clear();
}

int TForm1::VisibleDockClients(Qt::DockWidgetArea panel, const QDockWidget* except) const {
    int n = 0;
    for (const DockClient& c : dockClients_)
        if (c.window != except && c.panel == panel && !c.window->isFloating() &&
            !c.window->isHidden())
            ++n;
    return n;
}

int TForm1::DockPanelExtent(Qt::DockWidgetArea panel) const {
    int extent = 0;
    for (const DockClient& c : dockClients_) {
        if (c.panel != panel || c.window->isFloating() || c.window->isHidden())
            continue;
        const int size = panel == Qt::BottomDockWidgetArea ? c.window->height() : c.window->width();
        extent = std::max(extent, size);
    }
    return extent;
}

void TForm1::SetDockPanelVisible(Qt::DockWidgetArea panel, bool visible, QDockWidget* client) {
    if (!IsDockPanel(panel))
        return;
    if (!visible) {
        // A panel is open exactly while it shows a client: closing it hides its last one. With
        // more than one visible client it stays as it is.
        if (VisibleDockClients(panel, nullptr) > 1)
            return;
        for (const DockClient& c : dockClients_)
            if (c.panel == panel && !c.window->isFloating() && !c.window->isHidden())
                c.window->hide();
        return;
    }
    if (client)
        client->show();
    QList<QDockWidget*> shown;
    for (const DockClient& c : dockClients_)
        if (c.panel == panel && !c.window->isFloating() && !c.window->isHidden())
            shown.push_back(c.window);
    if (shown.isEmpty())
        return;
    const int extent = DockPanelOpenExtent(PanelOf(panel), width(), height());
    QList<int> sizes;
    for (int i = 0; i < shown.size(); ++i)
        sizes.push_back(extent);
    resizeDocks(shown, sizes, panel == Qt::BottomDockWidgetArea ? Qt::Vertical : Qt::Horizontal);
}

void TForm1::LeftPanelDockDrop(Qt::DockWidgetArea panel, QDockWidget* client) {
    if (!IsDockPanel(panel) || !client || client->isHidden())
        return;
    if (VisibleDockClients(panel, client) == 0)
        SetDockPanelVisible(panel, true, nullptr);
}

void TForm1::LeftPanelUnDock(Qt::DockWidgetArea panel, QDockWidget* client) {
    // The leaving client no longer counts; when none is left the panel is closed already, as
    // Qt gives an area without a visible dock no room.
    if (VisibleDockClients(panel, client) == 0)
        SetDockPanelVisible(panel, false, nullptr);
}

bool TForm1::ControlBar1DockOver(const QWidget* source) const {
    if (!source)
        return false;
    for (const DockClient& c : dockClients_)
        if (c.window == source)
            return false;
    return qobject_cast<const QToolBar*>(source) != nullptr;
}

void TForm1::ToolWindowButtonClick(const std::string& button) {
    for (const DockClient& c : dockClients_) {
        if (c.button != button)
            continue;
        if (!Down(button)) {
            c.window->close();
            return;
        }
        if (!c.window->isFloating() && IsDockPanel(c.panel) &&
            VisibleDockClients(c.panel, c.window) == 0)
            SetDockPanelVisible(c.panel, true, c.window);
        else
            c.window->show();
        c.window->raise();
        return;
    }
}

void TForm1::ToolButton18Click() {
    ToolWindowButtonClick("ToolButton18");
}

void TForm1::ToolButton25Click() {
    ToolWindowButtonClick("ToolButton25");
}

void TForm1::ToolButton27Click() {
    ToolWindowButtonClick("ToolButton27");
}

bool TForm1::DockClientEvent(QObject* watched, QEvent* event) {
    if (event->spontaneous() || (event->type() != QEvent::Show && event->type() != QEvent::Hide))
        return false;
    for (DockClient& c : dockClients_) {
        if (c.window != watched)
            continue;
        // Only a close or show of the window itself counts, not the main window's own.
        const bool shown = event->type() == QEvent::Show;
        if (shown ? !c.closed : !c.window->isHidden())
            return false;
        c.closed = !shown;
        if (Down(c.button) != shown) {
            ::SetDown(View, Model.ViewMode, c.button, shown);
            SyncCheckButtons();
        }
        if (!c.window->isFloating() && IsDockPanel(c.panel)) {
            if (!shown)
                LeftPanelUnDock(c.panel, c.window);
            else if (VisibleDockClients(c.panel, c.window) == 0)
                SetDockPanelVisible(c.panel, true, nullptr);
        }
        return false;
    }
    return false;
}
