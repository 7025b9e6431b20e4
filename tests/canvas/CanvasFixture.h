// The canvas controller on the wiring project, with a host that records what the window would
// show: status panels, cursor, scroll position and rebuilds.
#pragma once

#include "editor/canvas/CanvasController.h"
#include "model/WiringFixture.h"
#include "support/ScriptedPrompt.h"

#include <map>

class Canvas : public Wiring {
protected:
    void SetUp() override {
        view = ViewState::Initial();
        host.Rebuild = [this] {
            ++rebuilds;
            m.UpdatePicExecute(RebuildSender::MainWindow);
        };
        host.SetStatusText = [this](int panel, const std::string& text) { panels[panel] = text; };
        host.StatusText = [this](int panel) { return panels[panel]; };
        host.SetCursor = [this](int slot) { cursor = slot; };
        host.Scroll = [this] { return scroll; };
        host.SetScroll = [this](int x, int y) {
            scroll.X = x;
            scroll.Y = y;
        };
        host.ViewModeChanged = [this] { ++viewModeChanges; };
        host.prompt = &prompt;
        Load();
    }

    // A point inside the port's box and inside the instance's header.
    std::pair<int, int> At(const std::string& inst, const std::string& name) {
        const port& p = P(inst, name);
        return {p.X + m.PrtWidth / 2, p.Y + m.PrtHeight / 2};
    }
    std::pair<int, int> Header(const std::string& inst) {
        const mdu& d = m.MduList[m.FindInstance(inst)];
        return {d.X + 3, d.Y + 3};
    }
    int Index(const std::string& inst, const std::string& name) {
        return m.FindPortQuiet(inst, name);
    }

    static MouseShift Keys(bool shift = false, bool ctrl = false, bool alt = false) {
        MouseShift s;
        s.Left = true;
        s.Shift = shift;
        s.Ctrl = ctrl;
        s.Alt = alt;
        return s;
    }
    void Press(std::pair<int, int> at, MouseShift keys = Keys()) {
        c.PaintBox1MouseDown(MouseButton::Left, keys, at.first, at.second);
    }
    void Move(std::pair<int, int> at, MouseShift keys = Keys()) {
        c.Image1MouseMove(keys, at.first, at.second);
    }
    void Release(std::pair<int, int> at, MouseShift keys = Keys()) {
        c.PaintBox1MouseUp(MouseButton::Left, keys, at.first, at.second);
    }
    void Drag(std::pair<int, int> from, std::pair<int, int> to, MouseShift keys = Keys()) {
        Press(from, keys);
        Move(to, keys);
        Release(to, keys);
    }
    void Click(std::pair<int, int> at, MouseShift keys = Keys()) {
        Press(at, keys);
        Release(at, keys);
    }
    void DoubleClick(std::pair<int, int> at) {
        MouseShift keys = Keys();
        keys.Double = true;
        c.PaintBox1MouseDown(MouseButton::Left, keys, at.first, at.second);
        c.PaintBox1MouseUp(MouseButton::Left, Keys(), at.first, at.second);
    }

    // After a gesture that edited the project: the nets are sound, the project is modified, and
    // Undo gives back exactly the text before it.
    void ExpectUndoable(const Lines& before) {
        EXPECT_TRUE(Sound());
        EXPECT_TRUE(m.Modified);
        ASSERT_TRUE(m.UndoEnabled());
        m.UndoExecute();
        EXPECT_EQ(StoredText(m.LineList), before);
    }
    // After a gesture that must not have edited the project.
    void ExpectUntouched(const Lines& before) {
        EXPECT_EQ(StoredText(m.LineList), before);
        EXPECT_FALSE(m.Modified);
        EXPECT_FALSE(m.UndoEnabled());
    }

    ViewState view;
    CanvasHost host;
    ScriptedPrompt prompt;
    CanvasController c{m, view, host};
    std::map<int, std::string> panels;
    int cursor = -1;
    ScrollView scroll{0, 0, 800, 600};
    int rebuilds = 0;
    int viewModeChanges = 0;
};
