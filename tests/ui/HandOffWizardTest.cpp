// The wizard window in the hand-off, offscreen: a handed file shows up while the wizard runs
// its own modal loop, and a second editor whose file was taken cancels its wizard and closes.
#include "editor/app/ModuleWizardHost.h"
#include "editor/hdl/EditorHandOff.h"
#include "editor/hdl/ui/TFormNewPrj.h"

#include "MainWindowFixture.h"
#include "support/EventPump.h"
#include "support/HandOffSandbox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <functional>

namespace {

// Another editor, without windows: its wizard's logic and its hand-off.
struct OtherEditor {
    OtherEditor() { handOff.CreateWindow(); }
    bool Start(const std::string& file) {
        wizard.Files.clear();
        wizard.AddSourceFile(file);
        wizard.Open('N', true);
        return handOff.HandOverNewFile(wizard);
    }
    EditorHandOff handOff;
    ScriptedPrompt prompt;
    EngineRunner runner{"/nonexistent/", "/nonexistent/"};
    ModuleWizard wizard{prompt, runner};
};

class HandOffWizardTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(handOff_.CreateWindow());
        host = std::make_unique<ModuleWizardHost>(*form, prompt);
        host->AttachHandOff(handOff_);
        a_ = files_.Path("a.v");
        b_ = files_.Path("b.v");
        WriteBytes(a_, "module a; endmodule\n");
        WriteBytes(b_, "module b; endmodule\n");
    }
    void TearDown() override {
        host.reset();
        MainWindowTest::TearDown();
        EXPECT_TRUE(sandbox_.Objects().empty());
    }
    bool Logged(const std::string& line) const {
        const auto& lines = form->Model.Log.Lines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    HandOffSandbox sandbox_;
    TempDir files_;
    EditorHandOff handOff_;
    std::unique_ptr<ModuleWizardHost> host;
    std::string a_, b_;
};

TEST_F(HandOffWizardTest, AHandedFileShowsUpInTheRunningWizard) {
    OtherEditor second;
    bool answered = false;
    host->ShowModal = [&](TFormNewPrj& w) {
        EXPECT_TRUE(handOff_.Receiving());
        EXPECT_TRUE(second.Start(b_));
        EXPECT_TRUE(PumpEventsUntil([&] { return w.ListView1->topLevelItemCount() == 2; }));
        EXPECT_EQ(w.ListView1->headerItem()->text(0), "Selected Files (2)");
        EXPECT_EQ(w.ListView1->topLevelItem(1)->text(0).toStdString(), b_);
        EXPECT_TRUE(PumpEventsUntil([&] {
            answered = second.handOff.HandlePendingMessages(second.wizard) ==
                       OpenRequestOutcome::CloseMainWindow;
            return answered;
        }));
        w.BitBtn3->click();
        return w.result();
    };
    form->FileNewPrjExecute(true, {a_});
    EXPECT_TRUE(answered);
    EXPECT_FALSE(handOff_.Receiving()) << "the closed wizard still takes files";
}

TEST_F(HandOffWizardTest, TheSecondEditorCancelsItsWizardAndClosesOnceItsFileIsTaken) {
    OtherEditor first;
    ASSERT_TRUE(first.Start(a_));
    form->show();
    QTimer serve;
    QObject::connect(&serve, &QTimer::timeout,
                     [&] { first.handOff.HandlePendingMessages(first.wizard); });
    serve.start(10);
    QElapsedTimer t;
    t.start();
    form->FileNewPrjExecute(true, {b_}); // the real modal loop
    EXPECT_LT(t.elapsed(), 5000);
    EXPECT_FALSE(host->Window().isVisible());
    EXPECT_TRUE(PumpEventsUntil([&] { return !form->isVisible(); })) << "the main window stayed";
    EXPECT_EQ(first.wizard.Files.size(), 2u);
    EXPECT_FALSE(form->Model.PrjOpen);
}

// The wizard looks after its own request while it runs: once the receiver it was handed to has
// gone, this editor becomes the receiver in its place.
TEST_F(HandOffWizardTest, AWizardWhoseReceiverWentTakesItsPlace) {
    OtherEditor first;
    ASSERT_TRUE(first.Start(a_));
    bool tookOver = false;
    host->ShowModal = [&](TFormNewPrj& w) {
        EXPECT_TRUE(handOff_.RequestOutstanding());
        first.handOff.Window().Destroy(); // killed before it read the request
        tookOver = PumpEventsUntil([&] { return handOff_.Receiving(); });
        w.BitBtn3->click();
        return w.result();
    };
    form->FileNewPrjExecute(true, {b_});
    EXPECT_TRUE(tookOver) << "the wizard still waits for an answer that cannot come";
    EXPECT_FALSE(handOff_.RequestOutstanding());
    first.handOff.CloseHandOff();
}

TEST_F(HandOffWizardTest, ARequestThatCameAsTheWizardClosedIsRefusedBeforeTheEditorGoesOn) {
    OtherEditor second;
    host->ShowModal = [&](TFormNewPrj& w) {
        EXPECT_TRUE(second.Start(b_)); // posted; the wizard closes before it looks
        w.done(QDialog::Accepted);
        return int(QDialog::Accepted);
    };
    form->FileNewPrjExecute(true, {a_});
    EXPECT_EQ(host->Wizard().Files.size(), 1u);
    EXPECT_EQ(second.handOff.HandlePendingMessages(second.wizard), OpenRequestOutcome::Nothing);
    EXPECT_TRUE(second.handOff.Receiving()) << "the refused editor did not take over";
}

TEST_F(HandOffWizardTest, AWizardThatCannotRegisterLogsItAndStillOpens) {
    ::setenv("ZUN_HANDOFF_NS", "not/usable", 1);
    EditorHandOff broken;
    EXPECT_FALSE(broken.CreateWindow());
    ::setenv("ZUN_HANDOFF_NS", sandbox_.Namespace().c_str(), 1);
    host->AttachHandOff(broken);
    bool shown = false;
    host->ShowModal = [&](TFormNewPrj&) {
        shown = true;
        return int(QDialog::Rejected);
    };
    form->FileNewPrjExecute(true, {a_});
    EXPECT_TRUE(shown);
    EXPECT_TRUE(Logged("Error: Memory allocation failed.")) << form->Model.Log.Lines().size();
    host->AttachHandOff(handOff_);
}

} // namespace
