// The main window's side of the canvas: its mouse events handed to the canvas controller, and
// what the controller shows through the window (picture, status bar, cursors, scrolling) and
// reaches through it (SmartLink's proposals).
#include "editor/app/TForm1.h"

#include "editor/app/TPaintBox.h"

#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>

namespace {

MouseShift ShiftOf(const QMouseEvent* e, bool doubleClick) {
    MouseShift s;
    const Qt::KeyboardModifiers keys = e->modifiers();
    const Qt::MouseButtons buttons = e->buttons() | e->button();
    s.Shift = keys.testFlag(Qt::ShiftModifier);
    s.Ctrl = keys.testFlag(Qt::ControlModifier);
    s.Alt = keys.testFlag(Qt::AltModifier);
    s.Left = buttons.testFlag(Qt::LeftButton);
    s.Right = buttons.testFlag(Qt::RightButton);
    s.Middle = buttons.testFlag(Qt::MiddleButton);
    s.Double = doubleClick;
    return s;
}

MouseButton ButtonOf(const QMouseEvent* e) {
    switch (e->button()) {
    case Qt::RightButton:
        return MouseButton::Right;
    case Qt::MiddleButton:
        return MouseButton::Middle;
    default:
        return MouseButton::Left;
    }
}

} // namespace

namespace {

// A picture up to this size is drawn whole, so that scrolling it only copies; a larger one is
// drawn where the scroll box shows it, since drawing all of a large project would make every
// gesture wait for parts nobody sees.
constexpr qsizetype WholePicturePixels = qsizetype{1} << 21;

} // namespace

void TForm1::DrawPicture() {
    if (PicBitmap.isNull())
        return;
    const QSize client = ScrollBox1->viewport()->size();
    PixelRect visible;
    if (qsizetype{PicBitmap.width()} * PicBitmap.height() > WholePicturePixels) {
        const int x = ScrollBox1->horizontalScrollBar()->value();
        const int y = ScrollBox1->verticalScrollBar()->value();
        visible = PixelRect{x, y, x + client.width(), y + client.height()};
    }
    drawer_.Draw(PicBitmap, {Model, View, Canvas->MouseMode, Canvas->RubberRect, client.width(),
                             client.height(), visible});
    if (CanvasRefresh)
        CanvasRefresh->Drawn();
    PaintBox1->update();
}

void TForm1::RegisterCanvasHandlers() {
    // A large picture holds what the scroll box shows; what scrolls into view is drawn then.
    for (QScrollBar* bar : {ScrollBox1->horizontalScrollBar(), ScrollBox1->verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this,
                [this] { Guarded([this] { DrawPicture(); }); });

    CanvasHooks.Rebuild = [this] { UpdatePicExecute(RebuildSender::MainWindow); };
    // After a gesture: the short way when it serves, then the picture; else the whole rebuild. A
    // picture that could not be allocated is tried again, as the rebuild's command does.
    CanvasRefresh = std::make_unique<GestureRefresh>(
        Model, *Canvas,
        GestureRefresh::Window{[this] { CanvasHooks.Rebuild(); }, [this] { DrawPicture(); },
                               [this](const std::string& counts) { SetStatusText(2, counts); },
                               [this] { GestureServed(); },
                               [this] { return !PicBitmap.isNull(); }});
    CanvasRefresh->Attach(CanvasHooks);
    CanvasHooks.SetStatusText = [this](int panel, const std::string& text) {
        SetStatusText(panel, text);
    };
    CanvasHooks.StatusText = [this](int panel) { return StatusText(panel); };
    CanvasHooks.SetCursor = [this](int slot) {
        if (slot > 0 && slot < static_cast<int>(CursorSlots.size()))
            PaintBox1->setCursor(CursorSlots[static_cast<std::size_t>(slot)]);
        else
            PaintBox1->unsetCursor();
    };
    CanvasHooks.Scroll = [this] {
        return ScrollView{ScrollBox1->horizontalScrollBar()->value(),
                          ScrollBox1->verticalScrollBar()->value(), ScrollBox1->viewport()->width(),
                          ScrollBox1->viewport()->height()};
    };
    CanvasHooks.SetScroll = [this](int x, int y) {
        ScrollBox1->horizontalScrollBar()->setValue(x);
        ScrollBox1->verticalScrollBar()->setValue(y);
    };
    CanvasHooks.ViewModeChanged = [this] { SyncCheckButtons(); };
    CanvasHooks.ApplySmartLinkRules = [this](char kind, int index, int rule, std::string& summary) {
        return ApplySmartLinkRules(kind, index, rule, summary);
    };
    CanvasHooks.prompt = &prompt;
    CanvasHooks.services = &Services;

    // Only an open project is edited with the mouse; without one the canvas shows its picture.
    PaintBox1->MouseDown = [this](QMouseEvent* e) {
        if (!Model.PrjOpen)
            return;
        const QPoint at = e->position().toPoint();
        Guarded(
            [&] { Canvas->PaintBox1MouseDown(ButtonOf(e), ShiftOf(e, false), at.x(), at.y()); });
    };
    PaintBox1->DoubleClick = [this](QMouseEvent* e) {
        if (!Model.PrjOpen)
            return;
        const QPoint at = e->position().toPoint();
        Guarded([&] { Canvas->PaintBox1MouseDown(ButtonOf(e), ShiftOf(e, true), at.x(), at.y()); });
    };
    PaintBox1->MouseMove = [this](QMouseEvent* e) {
        if (!Model.PrjOpen)
            return;
        const QPoint at = e->position().toPoint();
        Guarded([&] { Canvas->Image1MouseMove(ShiftOf(e, false), at.x(), at.y()); });
    };
    PaintBox1->MouseUp = [this](QMouseEvent* e) {
        if (!Model.PrjOpen)
            return;
        const QPoint at = e->position().toPoint();
        Guarded([&] { Canvas->PaintBox1MouseUp(ButtonOf(e), ShiftOf(e, false), at.x(), at.y()); });
    };

    SetHandler("ToolButton8", [this] { Canvas->ToolButton8Click(); });
    SetHandler("ToolButton9", [this] { Canvas->ToolButton9Click(); });
    SetHandler("ToolButton28", [this] { Canvas->ToolButton28Click(); });
    SetHandler("ToolButton19", [this] { Canvas->ToolButton19Click(); });
}
