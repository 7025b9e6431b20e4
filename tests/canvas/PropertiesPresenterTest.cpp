// The Properties window's pages without the window: what a clicked port shows, renaming and cutting
// off through them with the canvas selecting the port again, and an instance's parameters.
#include "editor/canvas/PropertiesPresenter.h"

#include "CanvasFixture.h"

#include "editor/model/TopLevel.h"

namespace {

// u1.q heads a net to two instances and a top output; din is wired under its own name; the
// combined bus cb has a wire; u1.any has a wire to a port that does not exist.
const char* const PortWires = "WIRE\tu1\tq\tu2\td\tnet_q\n"
                              "WIRE\tu1\tq\tu3\td\tnet_q\n"
                              "WIRE\tu1\tq\ttop\tdout\tnet_q\n"
                              "WIRE\tu1\td\ttop\tdin\tdin\n"
                              "WIRE\tu1\tirq_n\ttop\tcb\tcb\n";

class PropertiesPorts : public Canvas {
protected:
    void SetUp() override {
        Canvas::SetUp();
        Load(PortWires);
        c.Properties = &page;
        page.SimulateCanvasClick = [this](int x, int y) { c.SimulateCanvasClick(x, y); };
        page.UpdatePicture = host.Rebuild;
        page.Changed = [this] { ++changes; };
    }
    // A click on the port, as the canvas shows it on the page.
    void Show(const std::string& inst, const std::string& name) {
        Click(At(inst, name));
        m.ClearLog();
    }
    std::vector<std::string> Rows() const {
        std::vector<std::string> out;
        for (const ConnectionRow& r : page.ListView1)
            out.push_back(r.Module + " " + r.Port + " " + r.IO + " " + r.Bits);
        return out;
    }

    WidthConfirmation widths{m, prompt};
    PropertiesPresenter page{m, prompt, widths};
    int changes = 0;
};

} // namespace

TEST_F(PropertiesPorts, APortShowsEveryWireEndAndItsNet) {
    struct Case {
        const char* inst;
        const char* port;
        const char* label1;
        bool edit1;
        std::vector<std::string> rows;
        const char* wire;
        bool wireEnabled;
        bool wireVisible;
    } cases[] = {
        {"u1",
         "q",
         "Output Port: q [7:0]",
         false,
         {"u2 d I 7:0", "u3 d I 7:0", "top dout O 7:0"},
         "net_q",
         true,
         true},
        {"u2", "d", "Input Port: d [7:0]", false, {"u1 q O 7:0"}, "net_q", true, true},
        {"top", "din", "Input Port: [7:0] ", true, {"u1 d I 7:0"}, "din", false, true},
        {"u1", "pad", "Inout Port: pad ", false, {}, "", false, true},
        {"u1", "any", "Variant Port: any ", false, {}, "", false, true},
        {"top", "cb", "Input Port:  ", true, {"u1 irq_n O "}, "cb", false, false},
        {"u1", "wide", "Input Port: wide [W-1:0]", false, {}, "", false, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.inst) + "." + k.port);
        Show(k.inst, k.port);
        EXPECT_EQ(page.CurPrtIdx, Index(k.inst, k.port));
        EXPECT_EQ(page.Label1, k.label1);
        EXPECT_EQ(page.Edit1Visible, k.edit1);
        if (k.edit1) {
            EXPECT_EQ(page.Edit1, k.port);
        }
        EXPECT_EQ(page.Label2, std::string("Module: ") + k.inst);
        EXPECT_EQ(Rows(), k.rows);
        EXPECT_EQ(page.Label3, "Connected to:(" + std::to_string(k.rows.size()) + ")");
        EXPECT_EQ(page.LabeledEdit1, k.wire);
        EXPECT_EQ(page.ShownWireName, k.wire);
        EXPECT_EQ(page.WireEnabled, k.wireEnabled)
            << "disabled without a wire and for a wire named after a top port";
        EXPECT_EQ(page.WireVisible, k.wireVisible);
        EXPECT_FALSE(page.Btn1Enabled);
        page.UpdateCutOffAvailability(1);
        EXPECT_EQ(page.Btn2Enabled, std::string(k.port) != "cb")
            << "a combined bus is never cut off here";
        page.UpdateCutOffAvailability(0);
        EXPECT_FALSE(page.Btn2Enabled);
        EXPECT_TRUE(m.Log.Lines().empty());
    }
}

TEST_F(PropertiesPorts, AWireToAMissingPortShowsItsRowWithoutTypeAndWidth) {
    Load(std::string(PortWires) + "WIRE\tu1\tany\tu9\tghost\tnet_g\n");
    Show("u1", "any");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"u9 ghost  "}));
    EXPECT_EQ(page.Label3, "Connected to:(1)");
    // The click logged the errors before the log was cleared; show the page again to read them.
    page.ShowPrtInfo(true);
    EXPECT_EQ(m.Log.Lines(),
              (std::vector<std::string>{"Error: Data damaged. Can't find port.",
                                        "Error: Internal Error. Can't find port ID."}));
}

TEST_F(PropertiesPorts, ClearingTheRecordsOrTheIndexEmptiesThePage) {
    Show("u1", "q");
    page.ShowPrtInfo(false);
    EXPECT_EQ(page.Label1, "Port: ");
    EXPECT_EQ(page.Label2, "Module: ");
    EXPECT_EQ(page.Label3, "Connected to:");
    EXPECT_TRUE(page.ListView1.empty());
    EXPECT_TRUE(page.LabeledEdit1.empty());
    EXPECT_FALSE(page.WireEnabled);
    EXPECT_EQ(page.CurPrtIdx, -1);
    page.SetCurPrtIdx(9999);
    page.ShowPrtInfo(true);
    EXPECT_EQ(page.CurPrtIdx, -1) << "an index out of range shows nothing";
}

TEST_F(PropertiesPorts, RenamingTheWireRenamesTheNetAndShowsThePortAgain) {
    Show("u1", "q");
    page.NamesEdited(" net \tnew\r\n", "");
    EXPECT_TRUE(page.Btn1Enabled);
    const Lines before = StoredText(m.LineList);
    page.Btn1Click();
    EXPECT_EQ(page.LabeledEdit1, "netnew") << "blanks, tabs and line ends go";
    EXPECT_EQ(page.CurPrtIdx, Index("u1", "q")) << "the canvas selected the port again";
    EXPECT_EQ(page.ShownWireName, "netnew");
    EXPECT_EQ(Wires()[0], "u1 q u2 d netnew");
    EXPECT_TRUE(m.Log.Lines().empty());
    ExpectUndoable(before);
}

TEST_F(PropertiesPorts, ARefusedRenameIsToldAndChangesNothing) {
    Show("u1", "q");
    page.NamesEdited("dout", "");
    const Lines before = StoredText(m.LineList);
    prompt.ExpectMessage("Wire name already exists.");
    page.Btn1Click();
    EXPECT_TRUE(prompt.Done());
    EXPECT_EQ(StoredText(m.LineList), before);
    EXPECT_EQ(page.LabeledEdit1, "net_q") << "the page shows the lines again";
    EXPECT_TRUE(m.UndoEnabled()) << "the snapshot was taken before the refusal";
}

TEST_F(PropertiesPorts, ATopPortIsRenamedThroughItsOwnName) {
    Show("top", "din");
    const Lines before = StoredText(m.LineList);
    page.NamesEdited("din", "data_in");
    page.Btn1Click();
    EXPECT_EQ(Wires()[3], "u1 d top data_in data_in");
    EXPECT_EQ(page.Edit1, "data_in");
    EXPECT_EQ(page.CurPrtIdx, Index("top", "data_in"));
    ExpectUndoable(before);

    Show("top", "din");
    page.NamesEdited("din", "clk");
    prompt.ExpectMessage("Port or Wire name already exists.");
    page.Btn1Click();
    EXPECT_TRUE(prompt.Done());
    EXPECT_EQ(Wires()[3], "u1 d top din din");
}

TEST_F(PropertiesPorts, CutOffDeletesTheSelectedRowsOnly) {
    Show("u1", "q");
    const Lines before = StoredText(m.LineList);
    page.Btn2Click({0, 2});
    EXPECT_EQ(Wires(), (Lines{"u1 q u3 d Wire_u1_q", "u1 d top din din", "u1 irq_n top cb cb"}));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"u3 d I 7:0"}));
    EXPECT_EQ(page.Label3, "Connected to:(1)");
    EXPECT_EQ(page.LabeledEdit1, "Wire_u1_q") << "the net left the top port and its name";
    ExpectUndoable(before);
}

TEST_F(PropertiesPorts, ApplyAndCutOffStopWhenThePortIsGone) {
    struct Case {
        const char* warning;
        std::function<void()> run;
    } cases[] = {
        {"Warning: Port does not exist.", [this] { page.Btn1Click(); }},
        {"Warning: Wire does not exist.", [this] { page.Btn2Click({0}); }},
    };
    for (const Case& k : cases) {
        Show("u1", "q");
        page.CurPrtIdx = static_cast<int>(m.PortList.size());
        const Lines before = StoredText(m.LineList);
        const int rebuildsBefore = rebuilds;
        k.run();
        EXPECT_EQ(m.Log.Lines(), (std::vector<std::string>{k.warning}));
        EXPECT_EQ(page.Label1, "Port: ");
        EXPECT_EQ(rebuilds, rebuildsBefore) << k.warning;
        ExpectUntouched(before);
    }
}

TEST_F(PropertiesPorts, ADoubleClickedRowMovesToItsPort) {
    Show("u1", "q");
    page.ListView1DblClick(1);
    EXPECT_EQ(page.CurPrtIdx, Index("u3", "d"));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"u1 q O 7:0"}));
    page.ListView1DblClick(5);
    EXPECT_EQ(page.CurPrtIdx, Index("u3", "d")) << "no row, no move";
}

TEST_F(PropertiesPorts, ADoubleClickedRowWhosePortIsGoneIsLogged) {
    Load(std::string(PortWires) + "WIRE\tu1\tany\tu9\tghost\tnet_g\n");
    Show("u1", "any");
    page.ListView1DblClick(0);
    EXPECT_EQ(m.Log.Lines(), (std::vector<std::string>{"Error: Internal Error. Can't find port ID.",
                                                       "Error: File damaged. Port missing."}));
    EXPECT_EQ(page.CurPrtIdx, Index("u1", "any"));
}

TEST_F(PropertiesPorts, BothListsShareOneSortThatGoesUpFirst) {
    Show("u1", "q");
    page.ListColumnClick(PropertiesList::Connections, 0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"top dout O 7:0", "u2 d I 7:0", "u3 d I 7:0"}));
    page.ListColumnClick(PropertiesList::Connections, 0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"u3 d I 7:0", "u2 d I 7:0", "top dout O 7:0"}));
    page.ListColumnClick(PropertiesList::Connections, 2);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"u3 d I 7:0", "u2 d I 7:0", "top dout O 7:0"}))
        << "ascending again, by I/O";
    EXPECT_EQ(page.SortColumn, 2);
    page.ListColumnClick(PropertiesList::Parameters, 0);
    EXPECT_TRUE(page.SortAscending) << "the parameter list took the shared turn, descending";
    EXPECT_EQ(page.SortColumn, 0);
}

namespace {

const char* const ParamProject = "TOP\t\ttop\n"
                                 "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
                                 "PARAMETER\t\t\tW\t 8\t\tK\n"
                                 "PARAMETER\t\t\tNAME\t\"abc\"\n"
                                 "PARAMETER\t7\t0\tN\t3\t\t\tnatural\n"
                                 "INPUT\tNA\t0\td\t\tW-1\t0\n"
                                 "OUTPUT\t7\t0\tq\t\t7\t0\n"
                                 "MODULE\tcore\tu2\t/src/core.v\tverilog\n"
                                 "PARAMETER\t\t\tW\t 8\t4\tK\n"
                                 "INPUT\tNA\t0\td\t\tW-1\t0\n"
                                 "OUTPUT\t7\t0\tq\t\t7\t0\n"
                                 "MODULE\tplain\tu3\t/src/plain.v\tverilog\n"
                                 "INPUT\t\t\tclk\n";

class PropertiesParameters : public ::testing::Test {
protected:
    void SetUp() override {
        m.LineList = LinesFromText(ParamProject);
        m.PrjOpen = true;
        m.ConfirmParam = false;
        Rebuild();
        page.UpdatePicture = [this] {
            ++pictures;
            Rebuild();
        };
        page.ShowWidthDialog = [this] {
            ++dialogs;
            return dialogAnswer;
        };
        m.ClearLog();
    }
    void Rebuild() { m.UpdatePicExecute(RebuildSender::MainWindow); }
    void Choose(const std::string& inst) {
        page.ComboBox1DropDown();
        page.ComboBox1Change(inst);
    }
    int Row(const std::string& name) const {
        for (std::size_t i = 0; i < page.ListView2.size(); ++i)
            if (page.ListView2[i].Name == name)
                return static_cast<int>(i);
        return -1;
    }
    std::vector<std::string> Rows() const {
        std::vector<std::string> out;
        for (const ParamRow& r : page.ListView2) {
            std::string s;
            for (int c = 0; c < 6; ++c)
                s += (c ? "|" : "") + r.Column(c);
            out.push_back(s + (r.Key ? " key" : ""));
        }
        return out;
    }

    ProjectModel m;
    ScriptedPrompt prompt;
    WidthConfirmation widths{m, prompt};
    PropertiesPresenter page{m, prompt, widths};
    int pictures = 0;
    int dialogs = 0;
    bool dialogAnswer = false;
};

} // namespace

TEST_F(PropertiesParameters, TheInstanceListLeavesOutTheTopModule) {
    page.FillInstList();
    EXPECT_EQ(page.ComboBox1, (std::vector<std::string>{"u1", "u2", "u3"}));
    EXPECT_TRUE(page.SelectInstance("u2"));
    EXPECT_EQ(page.ComboText, "u2");
    EXPECT_FALSE(page.SelectInstance("top"));
    EXPECT_FALSE(page.SelectInstance("u9"));
}

TEST_F(PropertiesParameters, AnInstanceShowsItsParametersAsTheLinesHoldThem) {
    Choose("u1");
    EXPECT_EQ(page.CurInstName, "u1");
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          "W||| 8|| key",
                          "NAME|||\"abc\"||",
                          "N|7|0|3||natural",
                      }));
    Choose("u3");
    EXPECT_TRUE(page.ListView2.empty());
    page.ShowInstParas("u9", false);
    EXPECT_TRUE(page.ListView2.empty());
    EXPECT_EQ(page.CurInstName, "u9");
    EXPECT_FALSE(m.UndoEnabled());
}

TEST_F(PropertiesParameters, AnAddedInstanceGetsItsVhdlTypesInferred) {
    page.ShowInstParas("u1", true);
    EXPECT_EQ(m.LineList[2][7], "integer");
    EXPECT_EQ(m.LineList[3][7], "string") << "a default with a double quote";
    EXPECT_EQ(m.LineList[4][7], "natural") << "a type of its own stays";
    EXPECT_EQ(page.ListView2[1].VhdlType, "string");
    EXPECT_TRUE(m.Log.Lines().empty());
}

TEST_F(PropertiesParameters, AKeyParameterTakesOnlyAnInteger) {
    Choose("u1");
    struct Case {
        const char* param;
        const char* text;
        bool refused;
        const char* stored;
    } cases[] = {
        {"W", "abc", true, ""},         {"W", "1.5", true, ""}, {"W", "$1F", false, "$1F"},
        {"W", " 16 ", true, ""},        {"W", "", false, ""},   {"NAME", "x y", false, "x y"},
        {"NAME", "a\tb", false, "a b"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.param) + " <- \"" + k.text + "\"");
        page.Btn3Enabled = false;
        Choose("u1");
        if (k.refused)
            prompt.ExpectMessage("You should enter a decimal integer here.");
        page.FloatEditExit(Row(k.param), ValueColumn, k.text, false);
        EXPECT_TRUE(prompt.Done());
        EXPECT_EQ(page.ListView2[Row(k.param)].Value, k.stored);
        EXPECT_EQ(page.Btn3Enabled, !k.refused);
    }
}

TEST_F(PropertiesParameters, EscapeKeepsTheCellAsItWas) {
    Choose("u1");
    page.FloatEditExit(Row("W"), ValueColumn, "abc", true);
    page.FloatEditExit(Row("N"), VhdlTypeColumn, "positive", true);
    EXPECT_EQ(page.ListView2[Row("W")].Value, "");
    EXPECT_EQ(page.ListView2[Row("N")].VhdlType, "natural");
    EXPECT_FALSE(page.Btn3Enabled);
    EXPECT_FALSE(m.Modified);
    for (int c : {0, 1, 2, 3})
        EXPECT_FALSE(PropertiesPresenter::IsEditableParamColumn(c)) << c;
}

TEST_F(PropertiesParameters, AVhdlTypeEditIsAnEditThatUndoes) {
    Choose("u1");
    const Lines before = StoredText(m.LineList);
    page.FloatEditExit(Row("N"), VhdlTypeColumn, "positive", false);
    EXPECT_EQ(m.LineList[4][7], "positive");
    EXPECT_TRUE(m.Modified);
    EXPECT_TRUE(m.UndoEnabled());
    EXPECT_EQ(pictures, 1);
    EXPECT_FALSE(page.Btn3Enabled) << "a type is no pending value";
    m.UndoExecute();
    EXPECT_EQ(StoredText(m.LineList), before);

    // The main window shows the pages again after an undo.
    page.RefreshPages('A');
    Choose("u1");
    m.Modified = false;
    m.SetUndoRedoEnabled(false, false);
    page.FloatEditExit(Row("N"), VhdlTypeColumn, "natural", false);
    EXPECT_FALSE(m.Modified) << "the same type again is no edit";
    EXPECT_TRUE(m.Log.Lines().empty());
}

TEST_F(PropertiesParameters, ChoosingAnotherInstanceWithPendingValuesAsksFirst) {
    Choose("u1");
    page.FloatEditExit(Row("W"), ValueColumn, "16", false);
    prompt.ExpectYesNo("Discard the parameter changes to the current instance?", false);
    Choose("u2");
    EXPECT_EQ(page.ComboText, "u1");
    EXPECT_EQ(page.CurInstName, "u1");
    EXPECT_EQ(page.ListView2[Row("W")].Value, "16");
    EXPECT_TRUE(page.Btn3Enabled);

    prompt.ExpectYesNo("Discard the parameter changes to the current instance?", true);
    Choose("u2");
    EXPECT_EQ(page.CurInstName, "u2");
    EXPECT_EQ(page.ListView2[0].Value, "4");
    EXPECT_FALSE(page.Btn3Enabled);
}

TEST_F(PropertiesParameters, NoAfterTheInstanceWentWarnsOfIt) {
    Choose("u1");
    page.FloatEditExit(Row("W"), ValueColumn, "16", false);
    m.LineList.erase(m.LineList.begin() + 1, m.LineList.begin() + 7);
    Rebuild();
    prompt.ExpectYesNo("", false);
    Choose("u2");
    EXPECT_EQ(m.Log.Lines(), (std::vector<std::string>{"Warning: Missing the last instance."}));
    EXPECT_EQ(page.ComboText, "");
}

TEST_F(PropertiesParameters, ApplyWritesTheValuesSilentlyWhenEveryWidthEvaluates) {
    Choose("u1");
    page.FloatEditExit(Row("W"), ValueColumn, "16", false);
    const Lines before = StoredText(m.LineList);
    page.Btn3Click();
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(m.LineList[2][5], "16");
    EXPECT_EQ(m.LineList[5][1], "15");
    EXPECT_EQ(m.Log.Lines(),
              (std::vector<std::string>{"Info: Update 1 parameter in instance u1.",
                                        "Info: Update 1 port's width in instance u1."}));
    EXPECT_EQ(pictures, 1);
    EXPECT_FALSE(page.Btn3Enabled);
    ASSERT_TRUE(m.UndoExecute());
    EXPECT_EQ(StoredText(m.LineList), before);
}

TEST_F(PropertiesParameters, ApplyAsksThroughTheDialogWhenToldOrWhenAWidthFails) {
    struct Case {
        const char* what;
        bool confirm;
        const char* msbExpr;
        bool answer;
    } cases[] = {
        {"the option asks", true, "W-1", true},
        {"a failed width asks", false, "X-1", false},
    };
    for (const Case& k : cases) {
        SetUp();
        m.ConfirmParam = k.confirm;
        m.LineList[5][5] = k.msbExpr;
        Rebuild();
        dialogAnswer = k.answer;
        dialogs = 0;
        Choose("u1");
        page.FloatEditExit(Row("W"), ValueColumn, "16", false);
        const Lines before = StoredText(m.LineList);
        page.Btn3Click();
        EXPECT_EQ(dialogs, 1) << k.what;
        EXPECT_EQ(widths.ConfInst, "u1");
        EXPECT_EQ(widths.Params[0].Value, "16") << "the dialog evaluates the typed values";
        EXPECT_EQ(page.Btn3Enabled, !k.answer) << k.what;
        EXPECT_EQ(StoredText(m.LineList), before) << k.what << ": only the dialog's OK writes";
    }
}

TEST_F(PropertiesParameters, ConfirmWidthsTakesThePageOnlyForTheInstanceItShows) {
    Choose("u1");
    page.FloatEditExit(Row("W"), ValueColumn, "16", false);
    EXPECT_FALSE(page.ConfirmWidths("u1"));
    EXPECT_EQ(widths.Rows[0].MsbVal, "15");
    page.ConfirmWidths("u2");
    EXPECT_EQ(widths.ConfInst, "u2");
    EXPECT_EQ(widths.Rows[0].MsbVal, "3") << "u2's own W of 4";
    EXPECT_EQ(dialogs, 2);
}

TEST_F(PropertiesParameters, RefreshEmptiesTheInstancesPage) {
    Choose("u1");
    page.FloatEditExit(Row("W"), ValueColumn, "16", false);
    page.RefreshPages('1');
    EXPECT_EQ(page.ComboBox1.size(), 3u);
    EXPECT_EQ(page.ComboText, "");
    EXPECT_TRUE(page.ListView2.empty());
    EXPECT_EQ(page.CurInstName, "");
    EXPECT_FALSE(page.Btn3Enabled);
}

// Regression: after mapping u1.q, whose net reached the top output dout, the net carried the new
// port's name q; renaming dout here renamed its own wire's net alone, and u1.q headed two nets.
TEST_F(PropertiesPorts, RenamingATopPortOnANetNamedAfterAnotherKeepsTheNetOneNet) {
    Load("WIRE\tu1\tq\tu2\td\tdout\n"
         "WIRE\tu1\tq\ttop\tdout\tdout\n");
    m.TopNameRule = "%P";
    ASSERT_TRUE(MapPortToTop(m, P("u1", "q"), m.FirstMduLine, "", true));
    Rebuild();
    Show("top", "dout");
    EXPECT_EQ(page.LabeledEdit1, "q");
    EXPECT_FALSE(page.WireEnabled) << "the net carries a top port's name";
    const std::string before = ProjectText();
    page.NamesEdited(page.LabeledEdit1, "dout2");
    page.Btn1Click();
    EXPECT_TRUE(Sound());
    EXPECT_EQ(Wires(), (Lines{"u1 q u2 d q", "u1 q top dout2 q", "u1 q top q q"}));
    EXPECT_EQ(page.CurPrtIdx, Index("top", "dout2"));
    EXPECT_EQ(page.Edit1, "dout2");
    EXPECT_TRUE(m.Log.Lines().empty());
    ExpectUndoRestores(before);
}

// Regression: Apply took the blanks out of both names and compared them with the shown ones, so
// an escaped name lost its closing blank and its net was renamed away from the port.
TEST_F(PropertiesPorts, AnEscapedNameKeepsItsClosingBlankThroughApply) {
    Load();
    m.TopNameRule = "%P[0]";
    ASSERT_TRUE(MapPortToTop(m, P("u1", "irq_n"), m.FirstMduLine, "", true));
    Rebuild();
    const std::string escaped = "\\irq_n[0] ";
    Show("top", escaped);
    EXPECT_EQ(page.Edit1, escaped);
    const std::string before = ProjectText();
    page.NamesEdited(page.LabeledEdit1, page.Edit1);
    page.Btn1Click();
    EXPECT_EQ(Wires(), Lines{"u1 irq_n top " + escaped + " " + escaped});
    EXPECT_EQ(page.Edit1, escaped);

    page.NamesEdited(page.LabeledEdit1, "\\irq[0]");
    page.Btn1Click();
    EXPECT_EQ(Wires(), Lines{"u1 irq_n top \\irq[0]  \\irq[0] "}) << "the new name is closed too";
    EXPECT_TRUE(Sound());

    ExpectUndoRestores(before);
}

// Regression: Apply gave every name that begins with a backslash a closing blank, so a VHDL
// extended identifier, closed by its own backslash, became another name than the mapping gives.
TEST_F(PropertiesPorts, AVhdlExtendedNameIsAppliedAsItIsTyped) {
    Load();
    m.TopNameRule = "%P[0]";
    ASSERT_TRUE(MapPortToTop(m, P("u1", "irq_n"), m.FirstMduLine, "", true));
    Rebuild();
    Show("top", "\\irq_n[0] ");
    const std::string before = ProjectText();
    page.NamesEdited(page.LabeledEdit1, "\\irq\\");
    page.Btn1Click();
    EXPECT_EQ(Wires(), Lines{"u1 irq_n top \\irq\\ \\irq\\"});
    EXPECT_EQ(page.Edit1, "\\irq\\");
    EXPECT_TRUE(Sound());
    ExpectUndoRestores(before);
}
