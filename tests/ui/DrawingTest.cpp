// The schematic drawn headless into the off-screen picture and probed at the layout's
// coordinates: box fills and outlines, lone ports, wire dots, collapsed ports, suggestion marks,
// the rubber band and the empty-project background.
#include "editor/canvas/Picture.h"
#include "editor/canvas/ui/SchematicDrawer.h"
#include "editor/widgets/WinColor.h"

#include "model/ModelText.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

// Colours chosen so that every role is told apart by its pixel (0x00BBGGRR).
constexpr int kBack = 0xF0F0F0;
constexpr int kPortBrush = 0x00C0FF;
constexpr int kPortPen = 0x004080;
constexpr int kHeadBrush = 0xFFC000;
constexpr int kHeadPen = 0x800000;
constexpr int kLone = 0x00FF00;
constexpr int kWire = 0x808000;
constexpr int kWireEnd = 0x0000C0;
constexpr int kSmartWire = 0x00A000;
constexpr int kSmartMark = 0x0000FF;
constexpr int kUnmatched = 0xA0A0A0;

// u1.q is wired to u2.d; u1.clk and the top's ports are lone; u2.spare is collapsed; a
// suggestion runs from u1.clk to u2.e.
const char* const kProject = "TOP\t\ttop\n"
                             "INPUT\t\t\tclk\n"
                             "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
                             "INPUT\t\t\tclk\t\t\t\t\t%PB%\t%PP%\n"
                             "OUTPUT\t7\t0\tq\n"
                             "MODULE\tsink\tu2\t/src/sink.v\tverilog\t\t\t\t%HB%\t%HP%\n"
                             "INPUT\t7\t0\td\n"
                             "INPUT\t\t\te\n"
                             "INPUT\t\t\tspare\t\t\t\t\t\t\t\t\t\tY\n"
                             "WIRE\tu1\tq\tu2\td\tnet_q\n"
                             "WIRE\tu1\tclk\tu2\te\tsug\t\t\t\t\t\t\tS\n";

std::string Expand(std::string text) {
    const std::pair<const char*, int> keys[] = {
        {"%PB%", kPortBrush}, {"%PP%", kPortPen}, {"%HB%", kHeadBrush}, {"%HP%", kHeadPen}};
    for (const auto& [key, value] : keys) {
        for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key))
            text.replace(at, std::string(key).size(), std::to_string(value));
    }
    return text;
}

class Drawing : public testing::Test {
protected:
    void SetUp() override {
        model.LineList = LinesFromText(Expand(kProject));
        model.PrjOpen = true;
        model.BackColor = kBack;
        model.LoneColor = kLone;
        model.WireColor = kWire;
        model.WireEndColor = kWireEnd;
        model.SmartWireColor = kSmartWire;
        model.SmartMarkColor = kSmartMark;
        model.UnmatchedColor = kUnmatched;
        view.LonePorts = false;
    }

    // Rebuilds and draws into a picture of at least the given client size.
    QImage Draw(int clientW = 400, int clientH = 300) {
        model.UpdatePicExecute(RebuildSender::MainWindow);
        const PictureExtent e = FitCanvasExtent(model, clientW, clientH);
        QImage picture(e.Width, e.Height, QImage::Format_RGB32);
        drawer.Draw(picture, {model, view, mouseMode, rubber, clientW, clientH});
        return picture;
    }

    const port& Port(const std::string& owner, const std::string& name) const {
        for (const port& p : model.PortList)
            if (p.OwnerName == owner && p.Name == name)
                return p;
        ADD_FAILURE() << "no port " << owner << "." << name;
        return model.PortList.front();
    }
    const mdu& Instance(const std::string& name) const {
        return model.MduList[static_cast<std::size_t>(model.FindInstance(name))];
    }
    const wire& Wire(const std::vector<wire>& list, const std::string& name) const {
        for (const wire& w : list)
            if (w.Name == name)
                return w;
        ADD_FAILURE() << "no wire " << name;
        return list.front();
    }

    static QRgb Rgb(int winColor) { return WinColor(winColor).rgb(); }

    ProjectModel model;
    ViewState view = ViewState::Initial();
    SchematicDrawer drawer;
    char mouseMode = '0';
    std::array<int, 4> rubber{};
};

TEST_F(Drawing, APortBoxIsFilledWithItsBrushAndOutlinedWithItsPenLeavingOutTheRightAndBottom) {
    const QImage pic = Draw();
    const port& p = Port("u1", "clk");
    const int w = model.PrtWidth;
    const int h = model.PrtHeight;
    EXPECT_EQ(pic.pixel(p.X, p.Y), Rgb(kPortPen));
    EXPECT_EQ(pic.pixel(p.X + w - 1, p.Y + h - 1), Rgb(kPortPen));
    EXPECT_EQ(pic.pixel(p.X + w - 2, p.Y + h - 2), Rgb(kPortBrush));
    // The box's right and bottom edges are not part of it.
    EXPECT_NE(pic.pixel(p.X + w, p.Y + 1), Rgb(kPortPen));
}

TEST_F(Drawing, AnInstanceHeaderIsFilledWithoutOutline) {
    const QImage pic = Draw();
    const mdu& m = Instance("u2");
    EXPECT_EQ(pic.pixel(m.X, m.Y + model.TitleHeight - 1), Rgb(kHeadBrush));
    EXPECT_EQ(pic.pixel(m.X + m.Width - 1, m.Y + model.TitleHeight - 1), Rgb(kHeadBrush));
    EXPECT_NE(pic.pixel(m.X + m.Width, m.Y + 1), Rgb(kHeadBrush));
}

TEST_F(Drawing, LonePortsTakeTheLoneColourOnlyWhileShownWhateverTheirHighlight) {
    QImage pic = Draw();
    const port& lone = Port("u1", "clk");
    const port& wired = Port("u1", "q");
    EXPECT_NE(pic.pixel(lone.X + 38, lone.Y + 13), Rgb(kLone));
    view.LonePorts = true;
    pic = Draw();
    EXPECT_EQ(pic.pixel(lone.X + 38, lone.Y + 13), Rgb(kLone));
    EXPECT_EQ(pic.pixel(wired.X + 38, wired.Y + 13), Rgb(kBack));
}

TEST_F(Drawing, AWireHasDotsOutsideBothPortsAndALineBetween) {
    QImage pic = Draw();
    const wire& w = Wire(model.WireList, "net_q");
    EXPECT_EQ(pic.pixel(w.X1 + 2, w.Y1), Rgb(kWireEnd));
    EXPECT_EQ(pic.pixel(w.X2 - 2, w.Y2), Rgb(kWireEnd));
    const int midX = (w.X1 + w.X2) / 2;
    auto lineInColumn = [&](const QImage& img) {
        for (int y = std::min(w.Y1, w.Y2); y <= std::max(w.Y1, w.Y2); ++y)
            if (img.pixel(midX, y) == Rgb(kWire))
                return true;
        return false;
    };
    EXPECT_TRUE(lineInColumn(pic));
    // Ports are drawn after wires and cover the ends inside them.
    EXPECT_NE(pic.pixel(w.X1 - 2, w.Y1), Rgb(kWireEnd));

    view.Wires = false;
    pic = Draw();
    EXPECT_NE(pic.pixel(w.X1 + 2, w.Y1), Rgb(kWireEnd));
    EXPECT_FALSE(lineInColumn(pic));
}

TEST_F(Drawing, ACollapsedPortLeavesNoPixels) {
    const QImage pic = Draw();
    const port& p = Port("u2", "spare");
    ASSERT_TRUE(p.Collapsed);
    for (int y = p.Y; y < p.Y + model.PrtHeight; ++y)
        for (int x = p.X; x < p.X + model.PrtWidth; ++x)
            ASSERT_EQ(pic.pixel(x, y), Rgb(kBack)) << x << "," << y;
}

TEST_F(Drawing, ASuggestionHasOneDotAndAQuestionMarkNearItsSecondEnd) {
    QImage pic = Draw();
    ASSERT_EQ(model.SuggestList.size(), 1u);
    const wire& s = model.SuggestList.front();
    EXPECT_EQ(pic.pixel(s.X1 + 2, s.Y1 + 2), Rgb(kSmartMark));
    int x = 0;
    int y = 0;
    SuggestionMarkOrigin(model, s, x, y);
    int mark = 0;
    int glyph = 0;
    for (int yy = y; yy < y + 10; ++yy)
        for (int xx = x; xx < x + 4; ++xx) {
            mark += pic.pixel(xx, yy) == Rgb(kSmartMark);
            glyph += pic.pixel(xx, yy) == Rgb(model.MduFont.Color);
        }
    EXPECT_GT(mark, 0);
    EXPECT_GT(glyph, 0) << "the \"?\" in the header font's colour";
    // No dot at the second end, only the mark above it.
    EXPECT_NE(pic.pixel(s.X2 + 3, s.Y2 + 3), Rgb(kSmartMark));

    view.SmartLink = false;
    pic = Draw();
    EXPECT_NE(pic.pixel(s.X1 + 2, s.Y1 + 2), Rgb(kSmartMark));
}

TEST_F(Drawing, SuggestionsAreDrawnWhileWiresAreHidden) {
    view.Wires = false;
    const QImage pic = Draw();
    const wire& s = model.SuggestList.front();
    EXPECT_EQ(pic.pixel(s.X1 + 2, s.Y1 + 2), Rgb(kSmartMark));
}

TEST_F(Drawing, AnUnmatchedPortShowsItsLabelInTheUnmatchedColour) {
    model.LineList = LinesFromText(Expand(kProject));
    // The pen colour of u1.clk becomes the unmatched colour.
    model.LineList[3][9] = std::to_string(kUnmatched);
    model.PrjOpen = true;
    const QImage pic = Draw();
    const port& p = Port("u1", "clk");
    int label = 0;
    for (int y = p.Y + 1; y < p.Y + model.PrtHeight - 1; ++y)
        for (int x = p.X + 1; x < p.X + model.PrtWidth - 1; ++x)
            label += pic.pixel(x, y) == Rgb(kUnmatched);
    EXPECT_GT(label, 3);
}

TEST_F(Drawing, ThePortWidthLabelIsWiderThanTheName) {
    QImage pic = Draw();
    const port& p = Port("u1", "q");
    auto inked = [&](const QImage& img) {
        int right = 0;
        for (int y = p.Y + 1; y < p.Y + model.PrtHeight - 1; ++y)
            for (int x = p.X + 1; x < p.X + model.PrtWidth - 1; ++x)
                if (img.pixel(x, y) != Rgb(kBack))
                    right = std::max(right, x);
        return right;
    };
    const int nameOnly = inked(pic);
    view.PortWidth = true;
    pic = Draw();
    EXPECT_GT(inked(pic), nameOnly);
}

TEST_F(Drawing, APortWhoseWidthIsAnExpressionIsLabelledInItalics) {
    auto labelPixels = [&](const char* msb, const char* lsb) {
        model.LineList = LinesFromText(Expand(kProject));
        model.LineList[4][1] = msb; // u1.q
        model.LineList[4][2] = lsb;
        model.LineList[4][5] = "W-1";
        model.LineList[4][6] = "0";
        const QImage pic = Draw();
        const port& p = Port("u1", "q");
        return pic.copy(p.X + 1, p.Y + 1, model.PrtWidth - 2, model.PrtHeight - 2);
    };
    const QImage upright = labelPixels("7", "0");
    ASSERT_TRUE(Port("u1", "q").Numeric);
    const QImage italic = labelPixels("NA", "NA");
    ASSERT_FALSE(Port("u1", "q").Numeric);
    EXPECT_NE(upright, italic);
}

TEST_F(Drawing, TheRubberBandIsABlueFrameWhileItIsDragged) {
    mouseMode = '1';
    rubber = {20, 100, 120, 160};
    QImage pic = Draw();
    const QRgb blue = Rgb(RubberBandColor);
    EXPECT_EQ(pic.pixel(20, 130), blue);
    EXPECT_EQ(pic.pixel(120, 130), blue);
    EXPECT_EQ(pic.pixel(70, 100), blue);
    EXPECT_EQ(pic.pixel(70, 160), blue);
    EXPECT_NE(pic.pixel(70, 130), blue);
    mouseMode = '0';
    pic = Draw();
    EXPECT_NE(pic.pixel(20, 130), blue);
}

TEST_F(Drawing, WithoutAProjectTheVisibleAreaIsFlatWithThePictureAtTheLowerRight) {
    model.LineList.clear();
    model.PrjOpen = false;
    QImage pic = Draw(800, 400);
    const QRgb flat = qRgb(236, 233, 216);
    EXPECT_EQ(pic.pixel(0, 0), flat);
    EXPECT_EQ(pic.pixel(800 - 447, 400 - 1), flat);
    int inked = 0;
    for (int y = 400 - 165; y < 400; ++y)
        for (int x = 800 - 446; x < 800; ++x)
            inked += pic.pixel(x, y) != flat;
    EXPECT_GT(inked, 100);

    // A narrow box: the picture starts at x 0, still 165 pixels above the bottom.
    pic = Draw(300, 200);
    EXPECT_EQ(pic.pixel(299, 0), flat);
    const QImage& image1 = drawer.BackgroundImage();
    int probes = 0;
    for (int y = 0; y < 165 && probes < 20; ++y)
        for (int x = 0; x < 300 && probes < 20; ++x)
            if (qAlpha(image1.pixel(x, y)) == 255) {
                EXPECT_EQ(pic.pixel(x, 200 - 165 + y), image1.pixel(x, y)) << x << "," << y;
                ++probes;
            }
    EXPECT_EQ(probes, 20);
}

TEST_F(Drawing, MeasuringGivesThreeMoreThanTheLargestLabelAndThreeWithoutPorts) {
    model.UpdatePicExecute(RebuildSender::MainWindow);
    const QSize labels = drawer.MeasurePortLabels(model, view);
    const QSize names = drawer.MeasureModuleNames(model);
    EXPECT_GT(labels.width(), 3);
    EXPECT_GT(labels.height(), 3);
    EXPECT_GT(names.width(), 3);
    view.PortWidth = true;
    EXPECT_GT(drawer.MeasurePortLabels(model, view).width(), labels.width());

    ProjectModel empty;
    empty.UpdatePicExecute(RebuildSender::MainWindow);
    EXPECT_EQ(drawer.MeasurePortLabels(empty, view), QSize(3, 3));
    EXPECT_EQ(drawer.MeasureModuleNames(empty), QSize(3, 3));
}

// Pixels of a colour inside a rectangle of the picture.
int CountColour(const QImage& pic, int left, int top, int right, int bottom, QRgb colour) {
    int n = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, pic.height()); ++y)
        for (int x = std::max(left, 0); x < std::min(right, pic.width()); ++x)
            n += pic.pixel(x, y) == colour;
    return n;
}

TEST_F(Drawing, EachPortKindIsLabelledInTheFontOfItsKind) {
    model.LineList = LinesFromText("TOP\t\ttop\n"
                                   "INPUT\t\t\twwwin\n"
                                   "OUTPUT\t\t\twwwout\n"
                                   "BIDIR\t\t\twwwio\n"
                                   "KVAR\t\t\twwwvar\n");
    model.PrjOpen = true;
    model.InFont.Color = 0x0000C0;
    model.OutFont.Color = 0x00C000;
    model.InoutFont.Color = 0xC00000;
    model.VarFont.Color = 0xC000C0;
    struct Case {
        const char* name;
        int colour;
    };
    const Case cases[] = {
        {"wwwin", 0x0000C0}, {"wwwout", 0x00C000}, {"wwwio", 0xC00000}, {"wwwvar", 0xC000C0}};
    const QImage pic = Draw();
    for (const Case& c : cases) {
        const port& p = Port("top", c.name);
        const PixelRect clip = PortLabelClip(model, p);
        for (const Case& other : cases) {
            const int ink =
                CountColour(pic, clip.Left, clip.Top, clip.Right, clip.Bottom, Rgb(other.colour));
            if (other.colour == c.colour)
                EXPECT_GT(ink, 3) << c.name;
            else
                EXPECT_EQ(ink, 0) << c.name << " in the colour of " << other.name;
        }
    }
}

TEST_F(Drawing, AnInstanceWithParametersHasItsHeaderInTheParameterFont) {
    model.LineList = LinesFromText("TOP\t\ttop\n"
                                   "INPUT\t\t\tclk\n"
                                   "MODULE\tcore\tuwww1\t/src/core.v\tverilog\n"
                                   "PARAMETER\t\t\tW\t8\t\tK\n"
                                   "INPUT\t\t\tclk\n"
                                   "MODULE\tcore\tuwww2\t/src/core.v\tverilog\n"
                                   "INPUT\t\t\tclk\n");
    model.PrjOpen = true;
    model.MduFont.Color = 0x00C000;
    model.ParaMduFont.Color = 0xC00000;
    const QImage pic = Draw();
    const mdu& withParameter = Instance("uwww1");
    const mdu& without = Instance("uwww2");
    ASSERT_EQ(withParameter.ParaCount, 1);
    auto ink = [&](const mdu& m, int colour) {
        return CountColour(pic, m.X, m.Y, m.X + m.Width, m.Y + model.TitleHeight, Rgb(colour));
    };
    EXPECT_GT(ink(withParameter, 0xC00000), 3);
    EXPECT_EQ(ink(withParameter, 0x00C000), 0);
    EXPECT_GT(ink(without, 0x00C000), 3);
    EXPECT_EQ(ink(without, 0xC00000), 0);
}

TEST_F(Drawing, ALongLabelOrNameIsClippedInsideItsBoxAndHeader) {
    model.LineList = LinesFromText(Expand("TOP\t\ttop\n"
                                          "INPUT\t\t\tclk\n"
                                          "MODULE\tcore\tu_an_instance_name_far_too_long\t/c.v\t"
                                          "verilog\t\t\t\t%HB%\t%HP%\n"
                                          "INPUT\t\t\ta_port_name_much_wider_than_its_box\t\t\t"
                                          "\t\t%PB%\t%PP%\n"));
    model.PrjOpen = true;
    model.InFont.Color = 0x0000C0;
    model.MduFont.Color = 0x00C000;
    const QImage pic = Draw();
    const port& p = Port("u_an_instance_name_far_too_long", "a_port_name_much_wider_than_its_box");
    const int right = p.X + model.PrtWidth - 1;
    const int bottom = p.Y + model.PrtHeight - 1;
    // The label runs on up to the outline, and the outline stays whole.
    EXPECT_GT(CountColour(pic, right - 8, p.Y + 1, right, bottom, Rgb(0x0000C0)), 0);
    for (int y = p.Y; y <= bottom; ++y)
        EXPECT_EQ(pic.pixel(right, y), Rgb(kPortPen)) << "right outline at " << y;
    for (int x = p.X; x <= right; ++x)
        EXPECT_EQ(pic.pixel(x, bottom), Rgb(kPortPen)) << "bottom outline at " << x;
    EXPECT_EQ(CountColour(pic, right + 1, p.Y, right + 40, bottom + 1, Rgb(0x0000C0)), 0);

    const mdu& m = Instance("u_an_instance_name_far_too_long");
    EXPECT_GT(CountColour(pic, m.X, m.Y, m.X + m.Width, m.Y + model.TitleHeight, Rgb(0x00C000)), 3);
    EXPECT_EQ(CountColour(pic, m.X + m.Width, m.Y, m.X + m.Width + 60, m.Y + model.TitleHeight,
                          Rgb(0x00C000)),
              0);
}

TEST_F(Drawing, APictureSmallerThanTheProjectShowsWhatTheWholeDrawingShowsThere) {
    // What lies wholly off the picture is left out of the drawing: every pixel that is on it
    // must still be what a picture large enough for everything shows.
    std::string text = "TOP\t\ttop\nINPUT\t\t\tclk\nOUTPUT\t7\t0\tq\n";
    for (int i = 0; i < 40; ++i) {
        const std::string n = std::to_string(i);
        text +=
            "MODULE\tcore\tu" + n + "\t/c.v\tverilog\nINPUT\t\t\tclk\nOUTPUT\t7\t0\tq" + n + "\n";
        if (i > 0)
            text += "WIRE\tu" + std::to_string(i - 1) + "\tq" + std::to_string(i - 1) + "\tu" + n +
                    "\tclk\tn" + n + "\n";
    }
    model.LineList = LinesFromText(Expand(text));
    model.PrjOpen = true;
    view.LonePorts = true;
    const QImage whole = Draw();
    ASSERT_GT(whole.width(), 300);
    for (const QSize size : {QSize(97, 61), QSize(whole.width() / 2 + 3, whole.height() - 7)}) {
        QImage part(size, QImage::Format_RGB32);
        drawer.Draw(part, {model, view, mouseMode, rubber, 400, 300});
        EXPECT_EQ(part, whole.copy(0, 0, size.width(), size.height()))
            << size.width() << " x " << size.height();
    }
}

TEST_F(Drawing, APartDrawnWhereTheScrollBoxShowsItIsWhatTheWholeDrawingShowsThere) {
    // Long wires cross the view with both ends outside it; headers and ports are cut at its
    // edges; the view lies at the left, in the middle, at the right and on a collapsed port.
    std::string text = "TOP\t\ttop\nINPUT\t\t\tclk\nOUTPUT\t7\t0\tq\n";
    for (int i = 0; i < 120; ++i) {
        const std::string n = std::to_string(i);
        text += "MODULE\tcore\tu" + n + "\t/c.v\tverilog\nINPUT\t\t\tclk\nOUTPUT\t7\t0\tq" + n +
                "\n" + (i % 7 == 3 ? "INPUT\t\t\tspare\t\t\t\t\t\t\t\t\t\tY\n" : "");
        if (i > 0)
            text += "WIRE\tu" + std::to_string(i - 1) + "\tq" + std::to_string(i - 1) + "\tu" + n +
                    "\tclk\tn" + n + "\n";
        if (i % 10 == 9)
            text += "WIRE\tu" + n + "\tq" + n + "\tu" + std::to_string(i / 3) + "\tclk\tlong" + n +
                    "\n";
    }
    model.LineList = LinesFromText(Expand(text));
    model.PrjOpen = true;
    view.LonePorts = true;
    const QImage whole = Draw();
    ASSERT_GT(whole.width(), 3000);
    for (const QRect shown :
         {QRect(0, 0, 400, 300), QRect(1500, 20, 333, 200),
          QRect(whole.width() - 250, 0, 250, whole.height()), QRect(777, 5, 1, 400)}) {
        QImage part(whole.size(), QImage::Format_RGB32);
        part.fill(Qt::magenta);
        drawer.Draw(part,
                    {model, view, mouseMode, rubber, 400, 300,
                     PixelRect{shown.left(), shown.top(), shown.right() + 1, shown.bottom() + 1}});
        EXPECT_EQ(part.copy(shown), whole.copy(shown)) << shown.x() << "," << shown.y();
    }
}

} // namespace
