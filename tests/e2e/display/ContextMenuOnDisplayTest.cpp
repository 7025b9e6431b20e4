// The canvas's context menu on a display: right clicks on an instance header, a port and the
// empty canvas of the example open PopupMenu1 with their items, and Duplicate, chosen in the
// menu with the mouse, goes through its dialog and draws the copy.
#include "NeedsDisplay.h"
#include "editor/app/TForm1.h"
#include "editor/app/TPaintBox.h"
#include "editor/canvas/ui/SchematicDrawer.h"
#include "editor/canvas/ui/TFormDupName.h"
#include "support/EventPump.h"
#include "support/FileFixtures.h"
#include "support/ScriptedPrompt.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

namespace {

class ContextMenuOnDisplay : public testing::Test {
protected:
    void SetUp() override {
        NEEDS_DISPLAY();
        const fs::path demo =
            (fs::path(ZUN_TEST_DATA) / ".." / ".." / "examples" / "demo" / "demo.zun")
                .lexically_normal();
        form = std::make_unique<TForm1>(prompt, drawer);
        ASSERT_TRUE(form->FatalError.empty()) << form->FatalError;
        form->FirstShowPending = false;
        form->Model.WorkDir = scratch.Dir();
        form->OpenProjectFile(demo.string());
        ASSERT_TRUE(form->Model.PrjOpen);
        form->resize(1100, 800);
        form->show();
        ASSERT_TRUE(PumpEventsUntil(
            [&] { return form->windowHandle() && form->windowHandle()->isExposed(); }));
        form->activateWindow();
        ASSERT_TRUE(PumpEventsUntil([&] { return QApplication::activeWindow() == form.get(); }));
        QApplication::processEvents();
    }
    void TearDown() override {
        if (form) {
            form->Model.Modified = false;
            form.reset();
        }
    }

    // A point of the picture as the main window's own coordinates.
    QPoint OnWindow(QPoint picture) const { return form->PaintBox1->mapTo(form.get(), picture); }
    QPoint PortAt(const std::string& inst, const std::string& name) const {
        const ProjectModel& m = form->Model;
        const port& p = m.PortList[m.FindPortQuiet(inst, name)];
        return {p.X + m.PrtWidth / 2, p.Y + m.PrtHeight / 2};
    }
    QPoint HeaderAt(const std::string& inst) const {
        const mdu& d = form->Model.MduList[form->Model.FindInstance(inst)];
        return {d.X + 4, d.Y + 4};
    }

    // Right-clicks the picture point with the real mouse; while the menu is up, inMenu gets it.
    // Answers whether the menu was seen.
    bool RightClick(QPoint picture, const std::function<void(QMenu&)>& inMenu) {
        bool seen = false;
        std::function<void()> look = [&] {
            if (!form->PopupMenu1->isVisible()) {
                QTimer::singleShot(20, look);
                return;
            }
            seen = true;
            inMenu(*form->PopupMenu1);
        };
        QTimer::singleShot(0, look);
        QTest::mouseClick(form->windowHandle(), Qt::RightButton, {}, OnWindow(picture));
        PumpEventsUntil([&] { return seen && !form->PopupMenu1->isVisible(); }, 5000);
        return seen;
    }
    static QStringList Captions(const QMenu& menu) {
        QStringList out;
        for (QAction* a : menu.actions())
            out << (a->isSeparator() ? QString("-") : a->text());
        return out;
    }
    // Clicks the menu's item with the real mouse.
    static void ClickItem(QMenu& menu, const QString& caption) {
        for (QAction* a : menu.actions())
            if (a->text() == caption) {
                QTest::mouseClick(menu.windowHandle(), Qt::LeftButton, {},
                                  menu.actionGeometry(a).center());
                return;
            }
        ADD_FAILURE() << "no item " << caption.toStdString();
        menu.close();
    }
    // Picture pixels unlike the background in a box of the shown canvas.
    int Ink(const QRect& box) const {
        const QImage shown = form->PaintBox1->grab(box).toImage();
        const QRgb back =
            form->PaintBox1
                ->grab(QRect(form->PaintBox1->width() - 2, form->PaintBox1->height() - 2, 1, 1))
                .toImage()
                .pixel(0, 0);
        int n = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                n += shown.pixel(x, y) != back;
        return n;
    }

    TempDir scratch;
    ScriptedPrompt prompt;
    SchematicDrawer drawer;
    std::unique_ptr<TForm1> form;
};

TEST_F(ContextMenuOnDisplay, RightClicksShowTheItemsOfAHeaderAPortAndTheEmptyCanvas) {
    QStringList headerItems, portItems, emptyItems;
    ASSERT_TRUE(RightClick(HeaderAt("u_counter"), [&](QMenu& m) {
        headerItems = Captions(m);
        m.close();
    }));
    EXPECT_EQ(headerItems,
              (QStringList{"Isolate", "Update Module...", "Open QEM Project...", "View Source...",
                           "Duplicate", "Delete", "Summary", "List Connections"}));
    const ProjectModel& m = form->Model;
    // A wired port of an instance, with the two SmartLink rules the program ships.
    const port* wired = nullptr;
    for (const port& p : m.PortList)
        if (!p.Lone && p.OwnerName != m.TopName && !wired)
            wired = &p;
    ASSERT_NE(wired, nullptr);
    ASSERT_TRUE(RightClick(PortAt(wired->OwnerName, wired->Name), [&](QMenu& menu) {
        portItems = Captions(menu);
        menu.close();
    }));
    EXPECT_EQ(portItems,
              (QStringList{"Map to top", "Isolate", "Set as Main Port", "List Connections", "-",
                           "Apply all rules", "-", "Same Link", "Channel Link"}));
    const QPoint below(form->PaintBox1->width() - 20,
                       std::min(form->PaintBox1->height(), form->ScrollBox1->viewport()->height()) -
                           20);
    ASSERT_TRUE(RightClick(below, [&](QMenu& menu) {
        emptyItems = Captions(menu);
        menu.close();
    }));
    EXPECT_EQ(emptyItems, (QStringList{"Here as max client height.", "Add Module", "New Module"}));
    EXPECT_TRUE(prompt.Done());
}

TEST_F(ContextMenuOnDisplay, DuplicateChosenInTheMenuGoesThroughItsDialogAndDrawsTheCopy) {
    const std::size_t before = form->Model.MduList.size();
    bool answered = false;
    std::function<void()> answer = [&] {
        if (!FormDupName || !FormDupName->isVisible()) {
            QTimer::singleShot(20, answer);
            return;
        }
        EXPECT_EQ(FormDupName->windowTitle(), "Duplicate");
        FormDupName->LabeledEdit1->setText("u_counter_copy");
        answered = true;
        QTest::mouseClick(FormDupName->BitBtn1, Qt::LeftButton);
    };
    ASSERT_TRUE(RightClick(HeaderAt("u_counter"), [&](QMenu& menu) {
        QTimer::singleShot(0, answer);
        ClickItem(menu, "Duplicate");
    }));
    ASSERT_TRUE(PumpEventsUntil([&] { return answered && form->Model.MduList.size() > before; }));
    QApplication::processEvents();
    const int k = form->Model.FindInstance("u_counter_copy");
    ASSERT_GE(k, 0);
    const mdu& copy = form->Model.MduList[k];
    EXPECT_EQ(copy.ModuleName, "counter");
    form->ScrollBox1->ensureVisible(copy.X, copy.Y);
    QApplication::processEvents();
    EXPECT_GT(Ink(QRect(copy.X, copy.Y, copy.Width, form->Model.TitleHeight)), 30)
        << "the copy's header is drawn";
    EXPECT_TRUE(form->Action("Undo")->isEnabled());
}

} // namespace
