// New Project, Add Module and Update Module through the main window and the real engine: each new
// instance gets its widths from its parameters, and an update re-reads a changed source, reports
// it and applies it to the project, undoably.
#include "editor/app/ModuleWizardHost.h"
#include "editor/canvas/ui/TPortForm.h"
#include "editor/hdl/ui/TFormUpdateMduDef.h"

#include "WizardWindowFixture.h"
#include "model/ModelText.h"
#include "support/EngineWorkFiles.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* const kCore = "module core #(parameter W = 8) (input clk, input [W-1:0] d,\n"
                          "                              output [7:0] q);\n"
                          "endmodule\n";
const char* const kCoreWider = "module core #(parameter W = 8) (input clk, input [W-1:0] d,\n"
                               "                              output [W-1:0] q);\n"
                               "endmodule\n";
const char* const kSink = "module sink (input [7:0] a);\nendmodule\n";

class ModuleCommands : public WizardWindowTest {
protected:
    void SetUp() override {
        SetUpWizard("modules");
        core_ = Source("core.v", kCore);
        sink_ = Source("sink.v", kSink);
        // Every wizard run: the file page as the command filled it, Next, then OK.
        host->ShowModal = [this](TFormNewPrj& w) {
            ++wizardRuns;
            wizardFiles.clear();
            for (const SourceFileRow& row : host->Wizard().Files)
                wizardFiles.push_back(row.path);
            wizardMode = host->Wizard().PrjMode;
            w.BitBtn2Click();
            w.LabeledEdit2->setText("chip");
            w.BitBtn8Click();
            return w.result();
        };
    }
    std::string Field(const std::string& inst, const std::string& port, int field) {
        return form->Model.GetPortLineField(inst, port, field);
    }
    bool Logged(const std::string& line) const {
        const std::vector<std::string>& log = form->Model.Log.Lines();
        return std::find(log.begin(), log.end(), line) != log.end();
    }

    std::string core_, sink_;
    int wizardRuns = 0;
    std::vector<std::string> wizardFiles;
    char wizardMode = 0;
};

} // namespace

TEST_F(ModuleCommands, ANewProjectsInstancesGetTheirWidthsFromTheirParameters) {
    form->FileNewPrjExecute(true, {core_, sink_});
    ASSERT_TRUE(form->Model.PrjOpen);
    EXPECT_EQ(Field("u_core_0", "d", 1) + ":" + Field("u_core_0", "d", 2), "7:0");
    EXPECT_EQ(form->Model.PortList[form->Model.FindPortQuiet("u_core_0", "d")].WidthText, "7:0");
    EXPECT_FALSE(Logged("Warning: Found undefined port width in the instance: u_core_0."));
    // The last instance prepared is the one the Instances page shows.
    EXPECT_EQ(form->Properties.ComboText, "u_sink_0");
    EXPECT_EQ(form->Properties.ComboBox1, (std::vector<std::string>{"u_core_0", "u_sink_0"}));
    // The parameters got their VHDL types.
    EXPECT_EQ(form->Model.LineList[3][0], "PARAMETER");
    EXPECT_EQ(form->Model.LineList[3][7], "integer");
}

TEST_F(ModuleCommands, DroppedSourcesAddTheirModulesToTheOpenProject) {
    form->FileNewPrjExecute(true, {core_});
    ASSERT_TRUE(form->Model.PrjOpen);
    form->Model.ClearLog();
    form->HandleDroppedFiles({sink_});
    EXPECT_EQ(wizardMode, 'A');
    EXPECT_EQ(wizardFiles, (std::vector<std::string>{sink_}));
    ASSERT_GE(form->Model.FindInstance("u_sink_0"), 0);
    EXPECT_EQ(form->Properties.ComboText, "u_sink_0");
    EXPECT_TRUE(form->Model.Modified);
    EXPECT_TRUE(form->Action("ClosePrj")->isEnabled());
    EXPECT_TRUE(form->Action("Undo")->isEnabled()) << "the added lines undo";
    EXPECT_TRUE(Logged("Info: Add 1 module (sink). Sourec file:" + sink_));
    EXPECT_EQ(form->StatusText(2).rfind("I/P/W:3/", 0), 0u) << form->StatusText(2);
}

TEST_F(ModuleCommands, AddModuleFromTheMenuStartsWithAnEmptyFileList) {
    form->FileNewPrjExecute(true, {core_});
    ASSERT_TRUE(form->Action("AddMdu")->isEnabled());
    host->ShowModal = [this](TFormNewPrj& w) {
        wizardFiles.clear();
        for (const SourceFileRow& row : host->Wizard().Files)
            wizardFiles.push_back(row.path);
        EXPECT_EQ(w.windowTitle(), "Add New Modules - File Settings");
        w.reject();
        return w.result();
    };
    const std::vector<std::string> before = StoredText(form->Model.LineList);
    form->Action("AddMdu")->trigger();
    EXPECT_TRUE(wizardFiles.empty());
    EXPECT_EQ(StoredText(form->Model.LineList), before) << "a cancelled wizard adds nothing";
}

TEST_F(ModuleCommands, UpdateModuleReadsTheChangedSourceReportsItAndAppliesIt) {
    form->FileNewPrjExecute(true, {core_, sink_});
    ASSERT_TRUE(form->Model.PrjOpen);
    ProjectModel& m = form->Model;
    m.LineList.push_back(MakeLine({"WIRE", "u_core_0", "q", "u_sink_0", "a", "net_q"}));
    form->UpdatePicExecute();
    const std::vector<std::string> before = StoredText(m.LineList);
    Source("core.v", kCoreWider);
    m.ClearLog();

    TFormUpdateMduDef* dialog = form->UpdateMduDefForm;
    ASSERT_EQ(FormUpdateMduDef, dialog);
    bool shown = false;
    dialog->ShowModal = [&](TFormUpdateMduDef& d) {
        shown = true;
        EXPECT_EQ(d.windowTitle(), "Update Module");
        d.show();
        QApplication::processEvents();
        EXPECT_LE(d.ListView1->header()->sectionViewportPosition(5) +
                      d.ListView1->header()->sectionSize(5),
                  d.ListView1->viewport()->width())
            << "every column shows without scrolling";
        EXPECT_EQ(d.Label2->text(), "Report: (Total Modules: 2; Modified Modules: 1)");
        EXPECT_EQ(d.ComboBoxEx1->count(), 2);
        EXPECT_EQ(d.ComboBoxEx1->currentText(), "core");
        EXPECT_NE(d.ComboBoxEx1->itemIcon(0).cacheKey(), d.ComboBoxEx1->itemIcon(1).cacheKey())
            << "a changed and an unchanged module look alike";
        const QString report = d.Memo1->toPlainText();
        EXPECT_TRUE(report.contains("Number of changed ports/parameters: 1/0\n"))
            << report.toStdString();
        EXPECT_TRUE(report.contains("Number of deleted ports/parameters: 1/0\n"));
        EXPECT_TRUE(report.contains("Related instances:\n--u_core_0\n"));
        EXPECT_TRUE(
            report.endsWith("The variable port width will be recalculated for some changes."));
        QStringList rows;
        for (int i = 0; i < d.ListView1->topLevelItemCount(); ++i)
            if (!d.ListView1->topLevelItem(i)->icon(0).isNull())
                rows << d.ListView1->topLevelItem(i)->text(0) + " " +
                            d.ListView1->topLevelItem(i)->text(1) + " " +
                            d.ListView1->topLevelItem(i)->text(5);
        // The changed q: the definition's new line and the project's old one.
        EXPECT_EQ(rows.size(), 2) << rows.join(", ").toStdString();
        if (rows.size() == 2) {
            EXPECT_TRUE(rows[0].startsWith("q W-1 ")) << rows[0].toStdString();
            EXPECT_NE(rows[0], "q W-1 -1");
            EXPECT_EQ(rows[1], "q 7 -1");
        }

        // The other module's report, and back.
        d.ComboBoxEx1Change(1);
        EXPECT_TRUE(d.Memo1->toPlainText().startsWith("File: " + QString::fromStdString(sink_) +
                                                      "\n--No change."));
        d.ComboBoxEx1Change(0);
        d.BitBtn1->click();
        return d.result();
    };
    form->Action("UpdateMduDef")->trigger();
    EXPECT_TRUE(shown);
    EXPECT_EQ(wizardMode, 'U');
    EXPECT_EQ(wizardFiles, (std::vector<std::string>{core_, sink_}));
    EXPECT_EQ(Field("u_core_0", "q", 5), "W-1");
    EXPECT_EQ(Field("u_core_0", "q", 1) + ":" + Field("u_core_0", "q", 2), "7:0")
        << "the new width is evaluated";
    EXPECT_EQ(m.WireList.size(), 0u) << "the replaced port lost its wire";
    EXPECT_TRUE(Logged("Info: Module update done."));
    EXPECT_TRUE(dialog->Update().DefLines.empty());
    EXPECT_TRUE(EngineWorkFilesLeft(root_ / "work").empty());

    form->Action("Undo")->trigger();
    EXPECT_EQ(StoredText(m.LineList), before);
}

TEST_F(ModuleCommands, ACancelledUpdateChangesNothing) {
    form->FileNewPrjExecute(true, {core_});
    const std::vector<std::string> before = StoredText(form->Model.LineList);
    Source("core.v", kCoreWider);
    form->UpdateMduDefForm->ShowModal = [](TFormUpdateMduDef& d) {
        d.BitBtn2->click();
        return d.result();
    };
    form->Action("UpdateMduDef")->trigger();
    EXPECT_EQ(StoredText(form->Model.LineList), before);
    EXPECT_TRUE(form->UpdateMduDefForm->Update().DefLines.empty());
}
