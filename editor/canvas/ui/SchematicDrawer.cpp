// Drawing of the schematic: wires, ports, instance headers, rubber band, suggestions and the
// empty-project background.
#include "editor/canvas/ui/SchematicDrawer.h"

#include "editor/canvas/Picture.h"
#include "editor/model/RecordColumns.h"
#include "editor/widgets/WinColor.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

QRect ToQRect(const PixelRect& r) {
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

// Canvas fonts draw without antialiasing, so that labels are crisp at every zoom.
QFont CanvasFont(const FontValue& font) {
    QFont qfont = QPixelFontOf(font);
    qfont.setStyleStrategy(QFont::NoAntialias);
    return qfont;
}

const FontValue& PortFont(const ProjectModel& model, char kind) {
    switch (kind) {
    case 'I':
        return model.InFont;
    case 'O':
        return model.OutFont;
    case 'B':
        return model.InoutFont;
    default:
        return model.VarFont;
    }
}

const FontValue& HeaderFont(const ProjectModel& model, const mdu& m) {
    return m.ParaCount >= 1 ? model.ParaMduFont : model.MduFont;
}

// A filled rectangle with a one-pixel outline that, as the drawing routines count, leaves out
// the right and bottom edge; an empty rectangle draws nothing.
void DrawBox(QPainter& p, const PixelRect& r, const QColor& pen, const QColor& brush) {
    if (r.Empty())
        return;
    const QRect q = ToQRect(r);
    if (r.Width() <= 2 || r.Height() <= 2) {
        p.fillRect(q, pen);
        return;
    }
    p.fillRect(q, pen);
    p.fillRect(q.adjusted(1, 1, -1, -1), brush);
}

// A filled circle inside the box; the box excludes its right and bottom edge.
void DrawDot(QPainter& p, const PixelRect& r, const QColor& color) {
    if (r.Empty())
        return;
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(ToQRect(r));
    p.setBrush(Qt::NoBrush);
}

void DrawLine(QPainter& p, int x1, int y1, int x2, int y2, const QColor& color) {
    p.setPen(QPen(color, 0));
    p.drawLine(x1, y1, x2, y2);
}

// Text on a filled clip rectangle, its top-left corner at (x, y); ascent is the painter's font's.
// The text is set on its baseline, which draws the same pixels as a top-aligned line of a
// layout without making the layout.
// outer is the clip of the whole drawing (none when it draws the whole picture), set again after.
void DrawClippedText(QPainter& p, const PixelRect& clip, int x, int y, const QString& text,
                     const QColor& background, const QColor& color, qreal ascent,
                     const QRect* outer) {
    if (clip.Empty())
        return;
    const QRect q = ToQRect(clip);
    p.fillRect(q, background);
    p.setClipRect(q);
    p.setPen(color);
    p.drawText(QPointF(x, y + ascent), text);
    if (outer)
        p.setClipRect(*outer);
    else
        p.setClipping(false);
}

// The canvas fonts of one drawing, each made and measured once: a font made anew for every label
// has Qt look its face up again for each.
class CanvasFonts {
public:
    struct Font {
        QFont Value;
        qreal Ascent = 0;
    };
    CanvasFonts(const ProjectModel& model, const QPaintDevice* device)
        : model_(model), device_(device) {}
    const Font& Port(char kind, bool italic) {
        const int k = kind == 'I' ? 0 : kind == 'O' ? 1 : kind == 'B' ? 2 : 3;
        std::optional<Font>& f = ports_[k][italic ? 1 : 0];
        if (!f) {
            QFont font = CanvasFont(PortFont(model_, kind));
            if (italic)
                font.setItalic(true);
            f = Measured(font);
        }
        return *f;
    }
    const Font& Header(const mdu& m) {
        const bool parameters = &HeaderFont(model_, m) == &model_.ParaMduFont;
        std::optional<Font>& f = headers_[parameters ? 1 : 0];
        if (!f)
            f = Measured(CanvasFont(HeaderFont(model_, m)));
        return *f;
    }

private:
    Font Measured(const QFont& font) const {
        return Font{font, QFontMetricsF(font, device_).ascent()};
    }
    const ProjectModel& model_;
    const QPaintDevice* device_;
    std::optional<Font> ports_[4][2];
    std::optional<Font> headers_[2];
};

// Labels are measured on an image, as they are drawn, so that both use the same resolution.
const QImage& MeasuringDevice() {
    static const QImage device(1, 1, QImage::Format_RGB32);
    return device;
}

QImage MakeBackgroundImage() {
    QImage image(BackgroundPictureWidth, BackgroundPictureHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    QFont title("Sans Serif");
    title.setPixelSize(44);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0x7A, 0x8C, 0xA8));
    p.drawText(QRect(0, 10, BackgroundPictureWidth - 16, 60), Qt::AlignRight | Qt::AlignVCenter,
               "ZUN2012");
    QFont small("Sans Serif");
    small.setPixelSize(14);
    p.setFont(small);
    p.drawText(QRect(0, 70, BackgroundPictureWidth - 16, 24), Qt::AlignRight | Qt::AlignVCenter,
               "Top-level assembly for Verilog and VHDL");
    // A sketch of two instances joined by a wire.
    p.setPen(QPen(QColor(0x7A, 0x8C, 0xA8), 2));
    p.drawRect(170, 108, 70, 44);
    p.drawRect(330, 108, 70, 44);
    p.drawLine(240, 130, 330, 130);
    p.setBrush(QColor(0x7A, 0x8C, 0xA8));
    p.drawEllipse(QPoint(240, 130), 4, 4);
    p.drawEllipse(QPoint(330, 130), 4, 4);
    return image;
}

} // namespace

SchematicDrawer::SchematicDrawer() : image1_(MakeBackgroundImage()) {}

void SchematicDrawer::Draw(QImage& picture, const DrawInput& in) {
    const ProjectModel& model = in.Model;
    // A background of "none" leaves the picture white, as it is without a project.
    const QColor back = WinColor(model.BackColor);
    const QColor background = model.PrjOpen && back.alpha() == 255 ? back : QColor(Qt::white);
    // Only what the scroll box shows is drawn: a large project has far more ports than a gesture
    // can afford to draw, and the window draws the part that scrolls into view.
    const QRect whole = picture.rect();
    const QRect area = in.Visible.Empty() ? whole : ToQRect(in.Visible).intersected(whole);
    const bool partial = area != whole;
    auto shows = [&](const QRect& r) { return !partial || r.intersects(area); };
    if (!partial)
        picture.fill(background);
    QPainter p(&picture);
    if (partial) {
        p.fillRect(area, background);
        p.setClipRect(area);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    // The suggestion marks use whatever font the canvas holds last, as the headers leave it.
    QFont current = CanvasFont(model.MduFont);
    QColor currentColor = Qt::black;
    CanvasFonts fonts(model, &picture);
    const CanvasFonts::Font* painterFont = nullptr;
    const QRect* outer = partial ? &area : nullptr;
    // The records in list order: all of them for the whole picture; for a part, only those filed
    // near the columns it shows, so that a large project costs what its visible part holds.
    std::vector<int> near;
    auto each = [&](const ColumnIndex* index, std::size_t count, auto draw) {
        if (!partial) {
            for (std::size_t i = 0; i < count; ++i)
                draw(i);
            return;
        }
        near.clear();
        index->Near(area.left(), area.right(), [&](int i) { near.push_back(i); });
        std::sort(near.begin(), near.end());
        for (int i : near)
            draw(static_cast<std::size_t>(i));
    };
    const RecordColumns* columns = partial ? &model.Columns() : nullptr;

    if (in.View.Wires) {
        each(columns ? &columns->Wires : nullptr, model.WireList.size(), [&](std::size_t k) {
            const wire& w = model.WireList[k];
            const QRect ends =
                ToQRect(WireDot(model, w.X1, w.Y1))
                    .united(ToQRect(WireDot(model, w.X2, w.Y2)))
                    .united(QRect(QPoint(std::min(w.X1, w.X2), std::min(w.Y1, w.Y2)),
                                  QPoint(std::max(w.X1, w.X2), std::max(w.Y1, w.Y2))));
            if (!shows(ends))
                return;
            DrawLine(p, w.X1, w.Y1, w.X2, w.Y2, WinColor(w.LineColor));
            DrawDot(p, WireDot(model, w.X1, w.Y1), WinColor(w.DotColor));
            DrawDot(p, WireDot(model, w.X2, w.Y2), WinColor(w.DotColor));
        });
    }

    each(columns ? &columns->Ports : nullptr, model.PortList.size(), [&](std::size_t k) {
        const port& pt = model.PortList[k];
        if (!shows(ToQRect(PortBox(model, pt))))
            return;
        const FontValue& font = PortFont(model, pt.Kind);
        const CanvasFonts::Font& qfont = fonts.Port(pt.Kind, !pt.Numeric);
        QColor textColor = WinColor(font.Color);
        if (pt.PenColor == model.UnmatchedColor)
            textColor = WinColor(model.UnmatchedColor);
        const int brush = in.View.LonePorts && pt.Lone ? model.LoneColor : pt.BrushColor;
        DrawBox(p, PortBox(model, pt), WinColor(pt.PenColor), WinColor(brush));
        if (painterFont != &qfont) {
            p.setFont(qfont.Value);
            painterFont = &qfont;
            current = qfont.Value;
        }
        currentColor = textColor;
        DrawClippedText(p, PortLabelClip(model, pt), pt.X + 2, pt.Y + 2,
                        QString::fromStdString(PortLabel(pt, in.View.PortWidth)), WinColor(brush),
                        textColor, qfont.Ascent, outer);
    });

    each(columns ? &columns->Instances : nullptr, model.MduList.size(), [&](std::size_t k) {
        const mdu& m = model.MduList[k];
        if (!shows(ToQRect(HeaderRect(model, m))))
            return;
        const FontValue& font = HeaderFont(model, m);
        const CanvasFonts::Font& qfont = fonts.Header(m);
        currentColor = WinColor(font.Color);
        if (painterFont != &qfont) {
            p.setFont(qfont.Value);
            painterFont = &qfont;
            current = qfont.Value;
        }
        DrawClippedText(p, HeaderRect(model, m), m.X, m.Y, QString::fromStdString(m.InstName),
                        WinColor(m.BrushColor), WinColor(font.Color), qfont.Ascent, outer);
    });
    // The marks take the last header's font, drawn or not.
    if (partial && !model.MduList.empty()) {
        const FontValue& font = HeaderFont(model, model.MduList.back());
        current = CanvasFont(font);
        currentColor = WinColor(font.Color);
    }

    if (in.MouseMode == '1') {
        const auto& r = in.RubberRect;
        const QColor blue = WinColor(RubberBandColor);
        DrawLine(p, r[0], r[1], r[2], r[1], blue);
        DrawLine(p, r[2], r[1], r[2], r[3], blue);
        DrawLine(p, r[2], r[3], r[0], r[3], blue);
        DrawLine(p, r[0], r[3], r[0], r[1], blue);
    }

    if (in.View.SmartLink) {
        p.setFont(current);
        const QFontMetrics metrics(current, &picture);
        for (const wire& w : model.SuggestList) {
            const QColor dot = WinColor(w.DotColor);
            DrawLine(p, w.X1, w.Y1, w.X2, w.Y2, WinColor(w.LineColor));
            DrawDot(p, WireDot(model, w.X1, w.Y1), dot);
            int x = 0;
            int y = 0;
            SuggestionMarkOrigin(model, w, x, y);
            const QRect box(x, y, metrics.horizontalAdvance('?'), metrics.height());
            p.fillRect(box, dot);
            p.setPen(currentColor);
            p.drawText(box, Qt::AlignLeft | Qt::AlignTop, "?");
        }
    }

    if (!model.PrjOpen) {
        p.fillRect(QRect(0, 0, picture.width(), picture.height()), WinColor(BackgroundFillColor));
        int x = 0;
        int y = 0;
        BackgroundPictureOrigin(in.ClientWidth, in.ClientHeight, x, y);
        p.drawImage(x, y, image1_);
    }
}

QSize SchematicDrawer::MeasurePortLabels(const ProjectModel& model, const ViewState& view) {
    int w = 0;
    int h = 0;
    // One font per port kind: each metrics object is made once, not once per port.
    const QFontMetrics input(CanvasFont(PortFont(model, 'I')), &MeasuringDevice());
    const QFontMetrics output(CanvasFont(PortFont(model, 'O')), &MeasuringDevice());
    const QFontMetrics inout(CanvasFont(PortFont(model, 'B')), &MeasuringDevice());
    const QFontMetrics variant(CanvasFont(PortFont(model, 'V')), &MeasuringDevice());
    for (const port& pt : model.PortList) {
        const QFontMetrics& metric = pt.Kind == 'I'   ? input
                                     : pt.Kind == 'O' ? output
                                     : pt.Kind == 'B' ? inout
                                                      : variant;
        const QString label = QString::fromStdString(PortLabel(pt, view.PortWidth));
        w = std::max(w, metric.horizontalAdvance(label));
        h = std::max(h, metric.height());
    }
    return QSize(w + 3, h + 3);
}

QSize SchematicDrawer::MeasureModuleNames(const ProjectModel& model) {
    int w = 0;
    int h = 0;
    const QFontMetrics plain(CanvasFont(model.MduFont), &MeasuringDevice());
    const QFontMetrics parameterised(CanvasFont(model.ParaMduFont), &MeasuringDevice());
    for (const mdu& m : model.MduList) {
        const QFontMetrics& metrics =
            &HeaderFont(model, m) == &model.MduFont ? plain : parameterised;
        w = std::max(w, metrics.horizontalAdvance(QString::fromStdString(m.InstName)));
        h = std::max(h, metrics.height());
    }
    return QSize(w + 3, h + 3);
}
