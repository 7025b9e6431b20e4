// Every gesture that takes a short way (the marks refresh, the rebuild of the wires, a drawing
// left out) leaves the lines, the records, the status panels and the picture's pixels exactly as
// the whole rebuild after the same gesture leaves them.
#include "editor/canvas/CanvasController.h"
#include "editor/canvas/GestureRefresh.h"
#include "editor/canvas/Picture.h"
#include "editor/canvas/SmartLink.h"
#include "editor/canvas/ui/SchematicDrawer.h"

#include "model/ModelText.h"
#include "model/RecordsText.h"
#include "model/WiringFixture.h"

#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

// The wiring project with three nets: n_q headed by u1.q, clk from the top's clk through u1.clk
// to u2.clk, and two inout nets of which one is headed by a variant port.
const char* const kNets = "WIRE\tu1\tq\tu2\td\tn_q\n"
                          "WIRE\tu1\tclk\ttop\tclk\tclk\n"
                          "WIRE\tu1\tclk\tu2\tclk\tclk\n"
                          "WIRE\tu2\tpad\tu3\tpad\tnp\n"
                          "WIRE\tu1\tany\tu1\tpad\tnz\n";

constexpr int kClientWidth = 500;
constexpr int kClientHeight = 400;

struct Options {
    bool smartLink = false;
    bool hideUnmatched = true;
    bool hiddenNoSpace = false;
    bool strict = true;
    // A disabled instance block between the instances and the wires: its lines make no record.
    bool disabledBlock = false;
};

// A model with its canvas, drawn into a picture as the window draws it; fast takes the short
// ways, else every gesture ends with the whole rebuild.
struct Side {
    ProjectModel m;
    ViewState view = ViewState::Initial();
    CanvasHost host;
    SmartLink smart{m};
    SchematicDrawer drawer;
    QImage picture;
    CanvasController canvas{m, view, host};
    std::optional<GestureRefresh> refresh;
    std::map<int, std::string> panels;
    int rebuilds = 0;
    int draws = 0;

    Side(bool fast, const Options& o) {
        m.LineList = LinesFromText(std::string(WiringProject) +
                                   (o.disabledBlock ? "#MODULE\tx\tux\t/src/x.v\tverilog\n"
                                                      "INPUT\t\t\ta\nOUTPUT\t\t\tb\n"
                                                    : "") +
                                   kNets);
        m.PrjOpen = true;
        m.SLHideUnmatched = o.hideUnmatched;
        m.HiddenNoSpace = o.hiddenNoSpace;
        m.StrictRule = o.strict;
        m.SLRules = {"", "Same Link", "\\w+", "\\w+", "\\w+", "\\b%P0\\b", ""};
        view.SmartLink = o.smartLink;
        host.Rebuild = [this] {
            ++rebuilds;
            const RebuildResult r = m.UpdatePicExecute(RebuildSender::MainWindow);
            if (r.Completed)
                panels[2] = r.CountsText;
            Draw();
            if (refresh)
                refresh->Drawn();
        };
        host.SetStatusText = [this](int panel, const std::string& text) { panels[panel] = text; };
        host.StatusText = [this](int panel) { return panels[panel]; };
        host.Scroll = [] { return ScrollView{0, 0, kClientWidth, kClientHeight}; };
        host.ApplySmartLinkRules = [this](char kind, int index, int rule, std::string& summary) {
            return smart.ApplySmartLinkRules(kind, index, rule, summary);
        };
        if (fast) {
            refresh.emplace(
                m, canvas,
                GestureRefresh::Window{[this] { host.Rebuild(); },
                                       [this] { Draw(); },
                                       [this](const std::string& counts) { panels[2] = counts; },
                                       {},
                                       {}});
            refresh->Attach(host);
        }
        host.Rebuild();
        rebuilds = 0;
        draws = 0;
    }

    void Draw() {
        ++draws;
        const PictureExtent e = FitCanvasExtent(m, kClientWidth, kClientHeight);
        if (picture.width() != e.Width || picture.height() != e.Height)
            picture = QImage(e.Width, e.Height, QImage::Format_RGB32);
        drawer.Draw(picture,
                    {m, view, canvas.MouseMode, canvas.RubberRect, kClientWidth, kClientHeight});
    }

    std::pair<int, int> At(const std::string& inst, const std::string& name) const {
        const port& p = m.PortList[static_cast<std::size_t>(m.FindPortQuiet(inst, name))];
        return {p.X + m.PrtWidth / 2, p.Y + m.PrtHeight / 2};
    }
    std::pair<int, int> Header(const std::string& inst) const {
        const mdu& d = m.MduList[static_cast<std::size_t>(m.FindInstance(inst))];
        return {d.X + 3, d.Y + 3};
    }
    std::pair<int, int> Empty() const {
        const mdu& last = m.MduList.back();
        return {last.X + last.Width + 20, m.TopMargin + 30};
    }
};

MouseShift Keys(bool shift = false, bool ctrl = false) {
    MouseShift s;
    s.Left = true;
    s.Shift = shift;
    s.Ctrl = ctrl;
    return s;
}

using Step = std::function<void(Side&)>;

Step Press(std::string inst, std::string name, MouseShift keys = Keys()) {
    return [=](Side& s) {
        const auto [x, y] = s.At(inst, name);
        s.canvas.PaintBox1MouseDown(MouseButton::Left, keys, x, y);
    };
}
Step Release(std::string inst, std::string name, MouseShift keys = Keys()) {
    return [=](Side& s) {
        const auto [x, y] = s.At(inst, name);
        s.canvas.PaintBox1MouseUp(MouseButton::Left, keys, x, y);
    };
}
Step MoveTo(std::string inst, std::string name, MouseShift keys = MouseShift{}) {
    return [=](Side& s) {
        const auto [x, y] = s.At(inst, name);
        s.canvas.Image1MouseMove(keys, x, y);
    };
}
Step Click(std::string inst, std::string name, MouseShift keys = Keys()) {
    return [=](Side& s) {
        Press(inst, name, keys)(s);
        Release(inst, name, keys)(s);
    };
}
Step HoverHeader(std::string inst) {
    return [=](Side& s) {
        const auto [x, y] = s.Header(inst);
        s.canvas.Image1MouseMove(MouseShift{}, x, y);
    };
}
Step HoverEmpty() {
    return [](Side& s) {
        const auto [x, y] = s.Empty();
        s.canvas.Image1MouseMove(MouseShift{}, x, y);
    };
}
// A rubber band from empty canvas to the point (x, y), with or without Ctrl, then released.
Step Band(int x, int y, bool ctrl, bool release = true) {
    return [=](Side& s) {
        const auto [x0, y0] = s.Empty();
        s.canvas.PaintBox1MouseDown(MouseButton::Left, Keys(false, ctrl), x0, y0);
        MouseShift held = Keys(false, ctrl);
        s.canvas.Image1MouseMove(held, x0 - 1, y0 + 1);
        s.canvas.Image1MouseMove(held, x, y);
        if (release)
            s.canvas.PaintBox1MouseUp(MouseButton::Left, held, x, y);
    };
}
Step LinkedPorts(bool down) {
    return [=](Side& s) {
        s.view.LinkedPorts = down;
        s.canvas.ToolButton19Click();
    };
}

struct Case {
    const char* name;
    Options options;
    std::vector<Step> steps;
    // Whole rebuilds the short ways still made on the fast side, for all the steps.
    int fastRebuilds;
    // Wires the steps made.
    int wiresMade = 0;
};

// What a side shows after a step.
struct Shown {
    std::vector<std::string> lines;
    std::vector<std::string> records;
    std::vector<int> selection;
    std::map<int, std::string> panels;
    std::vector<std::string> log;
    bool undo = false;
    std::vector<std::string> undoLines;
    QImage picture;

    explicit Shown(const Side& s)
        : lines(AllFields(s.m.LineList)), records(RecordsText(s.m)), selection(s.m.SelList),
          panels(s.panels), log(s.m.Log.Lines()), undo(s.m.UndoEnabled()),
          undoLines(AllFields(s.m.UndoList)), picture(s.picture.copy()) {}
};

void ExpectSame(const Shown& full, const Shown& fast, const std::string& where) {
    EXPECT_EQ(fast.lines, full.lines) << where;
    EXPECT_EQ(fast.records, full.records) << where;
    EXPECT_EQ(fast.selection, full.selection) << where;
    EXPECT_EQ(fast.panels, full.panels) << where;
    EXPECT_EQ(fast.log, full.log) << where;
    EXPECT_EQ(fast.undo, full.undo) << where;
    EXPECT_EQ(fast.undoLines, full.undoLines) << where;
    ASSERT_EQ(fast.picture.size(), full.picture.size()) << where;
    EXPECT_TRUE(fast.picture == full.picture) << where << ": the pixels differ";
}

} // namespace

TEST(GestureFastPath, EveryGestureLeavesLinesRecordsAndPictureAsTheWholeRebuildDoes) {
    const Options withSmartLink{true, true, false};
    const Options noSpace{true, true, true};
    const Options plain{false, false, false};
    const Case cases[] = {
        {"hover on a port", plain, {MoveTo("u1", "q"), MoveTo("u2", "d"), MoveTo("top", "clk")}, 0},
        {"hover on a port with SmartLink proposals",
         withSmartLink,
         {MoveTo("top", "clk"), MoveTo("u3", "q"), MoveTo("top", "clk")},
         3},
        {"hover on an instance",
         plain,
         {HoverHeader("u2"), HoverHeader("u3"), HoverHeader("top")},
         0},
        {"hover on empty canvas", plain, {MoveTo("u1", "clk"), HoverEmpty(), MoveTo("u2", "d")}, 0},
        {"Ctrl adds and removes",
         plain,
         {Click("u1", "q"), Click("u2", "pad", Keys(false, true)),
          Click("u3", "d", Keys(false, true)), Click("u2", "pad", Keys(false, true))},
         0},
        {"Shift range down and up",
         plain,
         {Click("u1", "d"), Click("u2", "q", Keys(true)), Click("u1", "clk", Keys(true)),
          Click("top", "din", Keys(true))},
         0},
        {"band without Ctrl", plain, {Band(0, 500, false)}, 0},
        {"band with Ctrl", plain, {Click("u1", "q"), Band(0, 500, true)}, 0},
        {"band still dragged", plain, {Band(10, 10, false, false)}, 0},
        {"press with unmatched hidden", withSmartLink, {Press("u1", "q"), Release("u1", "q")}, 0},
        {"press with unmatched hidden taking no space",
         noSpace,
         {Press("u1", "q"), Release("u1", "q"), Press("u2", "d")},
         2},
        {"press without hiding", plain, {Press("u1", "clk"), Release("u1", "clk")}, 0},
        {"release on the pressed port",
         plain,
         {Press("u3", "q"), MoveTo("u3", "q", Keys()), Release("u3", "q")},
         0},
        {"Show Ports Linked Together",
         plain,
         {Click("u1", "clk"), Click("u2", "d", Keys(false, true)), LinkedPorts(false),
          LinkedPorts(true)},
         0},
        {"wire between lone ports",
         plain,
         {Press("u1", "o_valid"), MoveTo("u3", "clk", Keys()), Release("u3", "clk")},
         0,
         1},
        {"wire from a net to a lone port",
         withSmartLink,
         {MoveTo("u3", "d"), Press("u3", "d"), MoveTo("u1", "q", Keys()), Release("u1", "q")},
         0,
         1},
        {"wire drawn while SmartLink proposals show",
         Options{true, true, false, false},
         {MoveTo("u1", "d"), Press("u1", "d"), MoveTo("u3", "d", Keys()), Release("u3", "d")},
         1,
         1},
        {"wire between lone ports past a disabled block",
         Options{false, false, false, true, true},
         {Press("u1", "irq_n"), MoveTo("u3", "clk", Keys()), Release("u3", "clk")},
         0,
         1},
        {"wire joining two nets",
         plain,
         {Press("u1", "pad"), MoveTo("u2", "pad", Keys()), Release("u2", "pad")},
         0,
         1},
        {"wire onto a top port falls back",
         plain,
         {Press("u3", "q"), MoveTo("top", "dout", Keys()), Release("top", "dout")},
         1,
         1},
        {"a refused wire", plain, {Press("u2", "d"), Release("u3", "d")}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // One side after the other: each runs as it would alone in the editor.
        std::vector<Shown> expected;
        {
            Side full(false, c.options);
            expected.emplace_back(full);
            for (const Step& step : c.steps) {
                step(full);
                expected.emplace_back(full);
            }
            EXPECT_GT(full.rebuilds, 0);
        }
        Side fast(true, c.options);
        const std::size_t wires = fast.m.WireList.size();
        ExpectSame(expected[0], Shown(fast), "before");
        for (std::size_t k = 0; k < c.steps.size(); ++k) {
            c.steps[k](fast);
            ExpectSame(expected[k + 1], Shown(fast), "after step " + std::to_string(k + 1));
        }
        EXPECT_EQ(fast.rebuilds, c.fastRebuilds) << "whole rebuilds on the short ways";
        EXPECT_EQ(fast.m.WireList.size(), wires + static_cast<std::size_t>(c.wiresMade));
    }
}

TEST(GestureFastPath, ThePictureIsDrawnAgainOnlyWhenAColourOrTheBandChanged) {
    auto moveTo = [](int x, int y, MouseShift keys) {
        return [=](Side& s) { s.canvas.Image1MouseMove(keys, x, y); };
    };
    auto emptyPlus = [](int d) {
        return [=](Side& s) {
            const auto [x, y] = s.Empty();
            s.canvas.Image1MouseMove(MouseShift{}, x + d, y + d);
        };
    };
    struct DrawCase {
        const char* name;
        std::vector<Step> before;
        Step step;
        bool draws;
    } cases[] = {
        {"the same port hovered again", {MoveTo("u1", "q")}, MoveTo("u1", "q"), false},
        {"a release on the pressed port", {Press("u1", "clk")}, Release("u1", "clk"), false},
        {"a release on the pressed port of a net",
         {MoveTo("u1", "q"), Press("u1", "q")},
         Release("u1", "q"),
         false},
        {"a press on another port", {Click("u1", "clk")}, Press("u2", "d"), true},
        {"another port hovered", {MoveTo("u1", "q")}, MoveTo("u3", "clk"), true},
        {"a port left for empty canvas", {MoveTo("u1", "q")}, HoverEmpty(), true},
        {"empty canvas crossed", {HoverEmpty()}, emptyPlus(5), false},
        {"the same instance hovered again", {HoverHeader("u2")}, HoverHeader("u2"), false},
        {"a band held still", {Band(10, 10, false, false)}, moveTo(10, 10, Keys()), false},
        {"a band dragged further", {Band(10, 10, false, false)}, moveTo(60, 60, Keys()), true},
        {"a band released",
         {Band(10, 10, false, false)},
         [](Side& s) { s.canvas.PaintBox1MouseUp(MouseButton::Left, Keys(), 10, 10); },
         true},
    };
    for (const DrawCase& c : cases) {
        SCOPED_TRACE(c.name);
        Side fast(true, Options{});
        for (const Step& step : c.before)
            step(fast);
        fast.draws = 0;
        c.step(fast);
        EXPECT_EQ(fast.rebuilds, 0);
        EXPECT_EQ(fast.draws > 0, c.draws);
    }
}
