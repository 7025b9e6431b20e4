// The context menu over the canvas fixture, with dialogs that a test scripts as a user would use
// them: each step edits the open dialog and presses OK or Cancel; a refused OK keeps the dialog
// open for the next step.
#pragma once

#include "CanvasFixture.h"
#include "TopPortNames.h"

#include "editor/canvas/ContextMenu.h"
#include "editor/canvas/SmartLink.h"

#include <deque>
#include <functional>

// What the user does in an open dialog: true presses OK, false Cancel.
template <typename Dialog> using DialogStep = std::function<bool(Dialog&)>;

class ScriptedDialogs : public MenuDialogs {
public:
    std::deque<DialogStep<DupNameDialog>> Dup;
    std::deque<DialogStep<CombineDialog>> Comb;
    std::deque<DialogStep<CinoutDialog>> Cinout;
    // What each dialog showed when it opened.
    std::vector<std::string> DupShown;
    std::vector<std::vector<CombineRow>> CombShown;
    std::vector<std::vector<std::string>> CinoutShown; // the code preview

    ~ScriptedDialogs() override {
        EXPECT_TRUE(Dup.empty() && Comb.empty() && Cinout.empty()) << "dialog steps never used";
    }

    bool ShowDupName(DupNameDialog& d) override {
        DupShown.push_back(d.LabeledEdit1);
        if (Dup.empty()) {
            ADD_FAILURE() << "unexpected Duplicate dialog";
            return false;
        }
        const DialogStep<DupNameDialog> step = Dup.front();
        Dup.pop_front();
        return step(d);
    }
    bool ShowComb(CombineDialog& d) override {
        CombShown.push_back(d.Rows);
        return Run(Comb, d, [](CombineDialog& c) { return c.BitBtn1Click(); });
    }
    bool ShowCinout(CinoutDialog& d) override {
        CinoutShown.push_back(d.Memo1);
        return Run(Cinout, d, [](CinoutDialog& c) { return c.BitBtn2Click(); });
    }

private:
    template <typename Dialog, typename Ok>
    static bool Run(std::deque<DialogStep<Dialog>>& steps, Dialog& d, Ok ok) {
        while (!steps.empty()) {
            const DialogStep<Dialog> step = steps.front();
            steps.pop_front();
            if (!step(d))
                return false;
            if (ok(d))
                return true;
        }
        ADD_FAILURE() << "the dialog is still open when the script ends";
        return false;
    }
};

inline DialogStep<DupNameDialog> TypeName(std::string name) {
    return [name](DupNameDialog& d) {
        d.LabeledEdit1 = name;
        return true;
    };
}
template <typename Dialog> DialogStep<Dialog> Cancel() {
    return [](Dialog&) { return false; };
}

class Menu : public Canvas {
protected:
    void SetUp() override {
        Canvas::SetUp();
        menu.Hooks.ApplySmartLinkRules = [this](int k, int rule, std::string& summary) {
            return engine.ApplySmartLinkRules('P', k, rule, summary);
        };
        host.services = &services;
        services.Spawn = [this](const std::vector<std::string>& argv) {
            spawned.push_back(argv);
            return IoStatus{};
        };
    }

    // After an edit: the nets are sound (a combined bus ends one net per slice), the project is
    // modified, and Undo gives back exactly the text before it.
    void ExpectUndoGivesBack(const Lines& before) {
        EXPECT_TRUE(Sound());
        EXPECT_TRUE(m.Modified);
        ASSERT_TRUE(m.UndoEnabled());
        m.UndoExecute();
        EXPECT_EQ(StoredText(m.LineList), before);
    }

    // The items of a right click on the object.
    const std::vector<PopupItem>& RightClick(std::pair<int, int> at) {
        return menu.PopupMenu1Popup(at.first, at.second, scroll.Height);
    }
    const std::vector<PopupItem>& OnPort(const std::string& inst, const std::string& name) {
        return RightClick(At(inst, name));
    }
    const std::vector<PopupItem>& OnHeader(const std::string& inst) {
        return RightClick(Header(inst));
    }
    static Lines Captions(const std::vector<PopupItem>& items) {
        Lines out;
        for (const PopupItem& i : items)
            out.push_back(i.Caption);
        return out;
    }
    static std::vector<int> Tags(const std::vector<PopupItem>& items) {
        std::vector<int> out;
        for (const PopupItem& i : items)
            if (!i.IsSeparator())
                out.push_back(i.Tag);
        return out;
    }
    // Clicks the item of that caption in the last menu built.
    void Choose(const std::string& caption) {
        for (const PopupItem& i : menu.Items)
            if (i.Caption == caption) {
                menu.PopupItemClick(&i);
                return;
            }
        ADD_FAILURE() << "no item " << caption << " in "
                      << ::testing::PrintToString(Captions(menu.Items));
    }
    void Select(std::initializer_list<std::pair<const char*, const char*>> ports) {
        m.SelList.clear();
        for (const auto& [inst, name] : ports)
            m.SelList.push_back(Index(inst, name));
    }
    ScriptedDialogs dialogs;
    SmartLink engine{m};
    EditorServices services;
    std::vector<std::vector<std::string>> spawned;
    ContextMenu menu{m, view, c, host, dialogs, prompt};
};
