// The update of modules from re-read definitions: the comparison with the project, the report, and
// what OK does to every instance of a changed module; and the preparation of an added instance.
#include "editor/hdl/ModuleUpdate.h"

#include "editor/model/Nets.h"
#include "model/ModelText.h"
#include "platform/Paths.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Two instances of core: u1 as the module was, u2 diverged (its q and new_in are the new ones
// already, and it has a port of its own).
const char* const UpdateProject = "TOP\t\ttop\n"
                                  "INPUT\t\t\tclk\n"
                                  "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
                                  "PARAMETER\t\t\tW\t 8\t16\tK\n"
                                  "PARAMETER\t\t\tDEPTH\t 4\n"
                                  "INPUT\t\t\tclk\n"
                                  "INPUT\t15\t0\td\t\tW-1\t0\n"
                                  "OUTPUT\t7\t0\tq\t\t7\t0\n"
                                  "OUTPUT_B\t\t\tbuf\n"
                                  "INPUT\t\t\tgone\n"
                                  "MODULE\tcore\tu2\t/src/core.v\tverilog\n"
                                  "PARAMETER\t\t\tW\t 8\t\tK\n"
                                  "PARAMETER\t\t\tDEPTH\t 4\n"
                                  "INPUT\t\t\tclk\n"
                                  "INPUT\t7\t0\td\t\tW-1\t0\n"
                                  "OUTPUT\tNA\t0\tq\t\tW-1\t0\n"
                                  "OUTPUT_B\t\t\tbuf\n"
                                  "INPUT\t\t\tnew_in\n"
                                  "INPUT\t\t\town\n"
                                  "MODULE\tsink\ts1\t/src/sink.v\tverilog\n"
                                  "INPUT\t7\t0\ta\n"
                                  "INPUT\t7\t0\tb\n"
                                  "INPUT\t\t\tc\n"
                                  "WIRE\tu1\tq\ts1\ta\tnet_a\n"
                                  "WIRE\tu2\tq\ts1\tb\tnet_b\n"
                                  "WIRE\tu1\tbuf\ts1\tc\tnet_c\n"
                                  "WIRE\ttop\tclk\tu1\tclk\tclk\n"
                                  "WIRE\ttop\tclk\tu2\tclk\tclk\n";

// The definitions the engine read again: core from a moved file with a new default, q and buf
// ranged by W, a new input and gone dropped; sink as it was.
const char* const UpdateDefinitions = "MODULE\tcore\tu_core_0\t/src/core2.v\tverilog\n"
                                      "PARAMETER\t\t\tW\t 8\t\tK\n"
                                      "PARAMETER\t\t\tDEPTH\t 16\n"
                                      "INPUT\t\t\tclk\n"
                                      "INPUT\tNA\t0\td\t\tW-1\t0\n"
                                      "OUTPUT\tNA\t0\tq\t\tW-1\t0\n"
                                      "OUTPUT_B\tNA\t0\tbuf\t\tW-1\t0\n"
                                      "INPUT\t\t\tnew_in\n"
                                      "MODULE\tsink\tu_sink_0\t/src/sink.v\tverilog\n"
                                      "INPUT\t7\t0\ta\n"
                                      "INPUT\t7\t0\tb\n"
                                      "INPUT\t\t\tc\n";

class ModuleUpdateTest : public ::testing::Test {
protected:
    void SetUp() override { Load(UpdateProject, UpdateDefinitions); }
    void Load(const std::string& project, const std::string& definitions) {
        model.LineList = LinesFromText(project);
        model.PrjOpen = true;
        model.UpdatePicExecute(RebuildSender::MainWindow);
        model.ClearLog();
        update.DefLines = LinesFromText(definitions);
        update.UpdatePicture = [this] {
            ++pictures;
            model.UpdatePicExecute(RebuildSender::MainWindow);
        };
        update.CheckAddedInstance = [this](const std::string& inst, bool first) {
            checked.push_back(inst + (first ? " first" : ""));
        };
    }
    std::vector<std::string> Rows() const {
        std::vector<std::string> out;
        for (const CompareRow& r : update.ListView1) {
            std::string s;
            for (int c = 0; c < 6; ++c)
                s += (c ? "|" : "") + r.Column(c);
            out.push_back(s + (r.Image == CompareRow::NewImage    ? " new"
                               : r.Image == CompareRow::GoneImage ? " gone"
                                                                  : ""));
        }
        return out;
    }
    std::vector<std::string> Stored() const {
        std::vector<std::string> out;
        for (std::string s : StoredText(model.LineList)) {
            while (!s.empty() && s.back() == '\t')
                s.pop_back();
            out.push_back(s);
        }
        return out;
    }

    ProjectModel model;
    ModuleUpdate update{model};
    int pictures = 0;
    std::vector<std::string> checked;
};

} // namespace

TEST(LinesEqual, AllowsOnlyAPortsNumericWidthAndAParametersOwnValueAndType) {
    const ProjectLine port = MakeLine({"INPUT", "7", "0", "d", "", "W-1", "0"});
    const ProjectLine param = MakeLine({"PARAMETER", "", "", "W", "8", "", "K", "integer"});
    struct Case {
        const char* what;
        ProjectLine a;
        ProjectLine b;
        bool equal;
    } cases[] = {
        {"the same port", port, port, true},
        {"another numeric width", port, MakeLine({"INPUT", "15", "0", "d", "", "W-1", "0"}), true},
        {"another width expression", port, MakeLine({"INPUT", "7", "0", "d", "", "W", "0"}), false},
        {"another direction", port, MakeLine({"OUTPUT", "7", "0", "d", "", "W-1", "0"}), false},
        {"a combined bus", port, MakeLine({"INPUT", "7", "0", "d", "Y", "W-1", "0"}), false},
        {"an own value and a VHDL type", param,
         MakeLine({"PARAMETER", "", "", "W", "8", "16", "K", "natural"}), true},
        {"another default", param, MakeLine({"PARAMETER", "", "", "W", "9", "", "K", "integer"}),
         false},
        {"no longer a key", param, MakeLine({"PARAMETER", "", "", "W", "8", "", "", "integer"}),
         false},
        {"a parameter's range", param,
         MakeLine({"PARAMETER", "3", "0", "W", "8", "", "K", "integer"}), false},
        {"the working fields do not count", port,
         MakeLine({"INPUT", "7", "0", "d", "", "W-1", "0", "", "255", "0", "P", "4"}), true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ModuleUpdate::LinesEqual(c.a, c.b), c.equal) << c.what;
}

TEST_F(ModuleUpdateTest, FindEqualLineLooksInTheFirstBlockOfTheModuleOnly) {
    const ProjectLine q = MakeLine({"OUTPUT", "NA", "0", "q", "", "W-1", "0"});
    EXPECT_TRUE(ModuleUpdate::FindEqualLine("core", q, model.LineList))
        << "u1's q differs; u2's equal one is in the second block";
    EXPECT_FALSE(ModuleUpdate::FindEqualLine("core", q, update.DefLines));
    EXPECT_TRUE(ModuleUpdate::FindEqualLine("nothing", q, model.LineList));
    EXPECT_TRUE(ModuleUpdate::FindEqualLine("sink", q, model.LineList));
}

TEST_F(ModuleUpdateTest, TheComparisonListsChangedNewAndDeletedLines) {
    EXPECT_TRUE(update.CompareModule("core"));
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          "W|||PARAM| 8|1",
                          "DEPTH|||PARAM| 16|2 new",
                          "clk|||IN||3",
                          "d|W-1|0|IN||4",
                          "q|W-1|0|OUT||5 new",
                          "buf|W-1|0|BUFFER||6 new",
                          "new_in|||IN||7 new",
                          "DEPTH|||PARAM| 4|-1 gone",
                          "q|7|0|OUT||-1 gone",
                          "buf|||BUFFER||-1 gone",
                          "gone|||IN||-1 gone",
                      }))
        << "only the first instance is compared; its own W value and d's numeric width are no "
           "change";
    EXPECT_EQ(update.RelatedInstances, (std::vector<std::string>{"u1", "u2"}));
    EXPECT_EQ(update.OldFile, "/src/core.v");
    EXPECT_EQ(update.NewFile, "/src/core2.v");
    EXPECT_EQ(update.UnchangedPorts, 2);
    EXPECT_EQ(update.UnchangedParams, 1);
    EXPECT_EQ(update.ChangedPorts, 3);
    EXPECT_EQ(update.ChangedParams, 1);
    EXPECT_EQ(update.DeletedPorts, 3);
    EXPECT_EQ(update.DeletedParams, 1);
    EXPECT_TRUE(update.NeedRecalc) << "q's new width needs W";

    EXPECT_FALSE(update.CompareModule("sink"));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a|||IN||9", "b|||IN||10", "c|||IN||11"}));
    EXPECT_FALSE(update.NeedRecalc);
}

TEST_F(ModuleUpdateTest, NeedRecalcFollowsWidthsThatNeedEvaluationAndKeyParameters) {
    struct Case {
        const char* what;
        const char* definitions;
        bool recalc;
    } cases[] = {
        {"a numeric width", "MODULE\tsink\tx\t/src/sink.v\tverilog\nINPUT\t3\t0\ta\n", false},
        {"a width to evaluate",
         "MODULE\tsink\tx\t/src/sink.v\tverilog\nINPUT\tNA\t0\ta\t\tW-1\t0\n", true},
        {"a plain parameter", "MODULE\tsink\tx\t/src/sink.v\tverilog\nPARAMETER\t\t\tP\t1\n",
         false},
        {"a key parameter", "MODULE\tsink\tx\t/src/sink.v\tverilog\nPARAMETER\t\t\tP\t1\t\tK\n",
         true},
    };
    for (const Case& c : cases) {
        Load(UpdateProject, c.definitions);
        EXPECT_TRUE(update.CompareModule("sink")) << c.what;
        EXPECT_EQ(update.NeedRecalc, c.recalc) << c.what;
    }
}

TEST_F(ModuleUpdateTest, TheDialogReportsEveryModuleAndTheFirstInDetail) {
    update.PrepareUpdateDialog();
    ASSERT_EQ(update.ComboBoxEx1.size(), 2u);
    EXPECT_EQ(update.ComboBoxEx1[0].Module, "core");
    EXPECT_TRUE(update.ComboBoxEx1[0].Changed);
    EXPECT_EQ(update.ComboBoxEx1[1].Module, "sink");
    EXPECT_FALSE(update.ComboBoxEx1[1].Changed);
    EXPECT_EQ(update.Label2, "Report: (Total Modules: 2; Modified Modules: 1)");
    EXPECT_EQ(update.ItemIndex, 0);
    EXPECT_EQ(update.Memo1, "File: /src/core2.v\r\n"
                            "--Changed from: /src/core.v\r\n"
                            "Type: verilog\r\n"
                            "--No change.\r\n"
                            "Number of unchanged ports/parameters: 2/1\r\n"
                            "Number of changed ports/parameters: 3/1\r\n"
                            "Number of deleted ports/parameters: 3/1\r\n"
                            "Related instances:\r\n"
                            "--u1\r\n"
                            "--u2\r\n"
                            "The variable port width will be recalculated for some changes.");

    update.ComboBoxEx1Change(1);
    EXPECT_EQ(update.Memo1, "File: /src/sink.v\r\n"
                            "--No change.\r\n"
                            "Type: verilog\r\n"
                            "--No change.\r\n"
                            "Number of unchanged ports/parameters: 3/0\r\n"
                            "Number of changed ports/parameters: 0/0\r\n"
                            "Number of deleted ports/parameters: 0/0\r\n"
                            "Related instances:\r\n"
                            "--s1\r\n"
                            "No variable port width need to be recalculated.");
    EXPECT_EQ(Rows().size(), 3u);
}

TEST_F(ModuleUpdateTest, WithoutDefinitionsTheDialogFindsNoModule) {
    update.DefLines.clear();
    update.PrepareUpdateDialog();
    EXPECT_EQ(update.Label2, "Report: (No module found)");
    EXPECT_TRUE(update.ComboBoxEx1.empty());
    EXPECT_TRUE(update.ListView1.empty());
    EXPECT_TRUE(update.Memo1.empty());
}

TEST_F(ModuleUpdateTest, OkUpdatesEveryInstanceWithoutADuplicateLineAndUndoRestoresIt) {
    const std::vector<std::string> before = Stored();
    update.PrepareUpdateDialog();
    update.BitBtn1Click();
    EXPECT_EQ(Stored(), (std::vector<std::string>{
                            "TOP\t\ttop",
                            "INPUT\t\t\tclk",
                            "MODULE\tcore\tu1\t/src/core2.v\tverilog",
                            "PARAMETER\t\t\tW\t 8\t16\tK",
                            "PARAMETER\t\t\tDEPTH\t 16",
                            "INPUT\t\t\tclk",
                            "INPUT\t15\t0\td\t\tW-1\t0",
                            "OUTPUT\tNA\t0\tq\t\tW-1\t0",
                            "OUTPUT_B\tNA\t0\tbuf\t\tW-1\t0",
                            "INPUT\t\t\tnew_in",
                            "MODULE\tcore\tu2\t/src/core2.v\tverilog",
                            "PARAMETER\t\t\tW\t 8\t\tK",
                            "PARAMETER\t\t\tDEPTH\t 16",
                            "INPUT\t\t\tclk",
                            "INPUT\t7\t0\td\t\tW-1\t0",
                            "OUTPUT\tNA\t0\tq\t\tW-1\t0",
                            "INPUT\t\t\tnew_in",
                            "INPUT\t\t\town",
                            "OUTPUT_B\tNA\t0\tbuf\t\tW-1\t0",
                            "MODULE\tsink\ts1\t/src/sink.v\tverilog",
                            "INPUT\t7\t0\ta",
                            "INPUT\t7\t0\tb",
                            "INPUT\t\t\tc",
                            "WIRE\tu2\tq\ts1\tb\tnet_b",
                            "WIRE\ttop\tclk\tu1\tclk\tclk",
                            "WIRE\ttop\tclk\tu2\tclk\tclk",
                        }))
        << "u1's old q and buf go with their wires; u2 keeps the q and new_in it has";
    EXPECT_EQ(checked, (std::vector<std::string>{"u1 first", "u2"}));
    EXPECT_EQ(model.Log.Lines(), (std::vector<std::string>{"Info: Module update done."}));
    EXPECT_TRUE(update.DefLines.empty()) << "the definitions are used up";
    for (const ProjectLine& line : model.LineList)
        for (std::size_t f = 8; f < ProjectLineFields; ++f)
            if (f != FieldKind && f != FieldIndex) {
                EXPECT_TRUE(line[f].empty()) << line[3] << " field " << f;
            }

    ASSERT_TRUE(model.UndoExecute());
    EXPECT_EQ(Stored(), before);
}

TEST_F(ModuleUpdateTest, AnUnchangedModuleIsLeftAsItIs) {
    Load(UpdateProject, "MODULE\tsink\tu_sink_0\t/src/sink.v\tverilog\n"
                        "INPUT\t7\t0\ta\n"
                        "INPUT\t7\t0\tb\n"
                        "INPUT\t\t\tc\n");
    const std::vector<std::string> before = Stored();
    update.PrepareUpdateDialog();
    EXPECT_EQ(update.Label2, "Report: (Total Modules: 1; Modified Modules: 0)");
    EXPECT_TRUE(update.ApplyModuleUpdate());
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(pictures, 0) << "nothing to apply, nothing rebuilt";
    EXPECT_TRUE(checked.empty());
}

TEST_F(ModuleUpdateTest, APortWhoseWireToACombinedTopBusStaysIsNotReplaced) {
    std::string project = UpdateProject;
    project.insert(project.find("MODULE"), "OUTPUT\t7\t0\tbus\tY\n");
    project += "WIRE\tu1\tq\ttop\tbus\tbus\n";
    Load(project, UpdateDefinitions);
    update.PrepareUpdateDialog();
    update.BitBtn1Click();
    const std::vector<std::string> lines = Stored();
    auto count = [&](const std::string& text) {
        return std::count(lines.begin(), lines.end(), text);
    };
    EXPECT_EQ(count("OUTPUT\t7\t0\tq\t\t7\t0"), 1) << "u1's q stays for the bus";
    EXPECT_EQ(count("OUTPUT\tNA\t0\tq\t\tW-1\t0"), 1) << "only u2 has the new q";
    EXPECT_EQ(count("WIRE\tu1\tq\ttop\tbus\tbus"), 1);
    EXPECT_EQ(count("OUTPUT_B\tNA\t0\tbuf\t\tW-1\t0"), 2) << "the other changes go on";
    const std::vector<std::string>& log = model.Log.Lines();
    EXPECT_NE(std::find(log.begin(), log.end(), std::string("Error: ") + CombinedBusWire),
              log.end());
    EXPECT_EQ(log.back(), "Info: Module update done.");
}

TEST_F(ModuleUpdateTest, AnInstanceWithoutPortsTakesNewParametersThenNewPorts) {
    // An instance without ports takes new parameters after its own and new ports after those.
    Load("TOP\t\ttop\n"
         "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
         "PARAMETER\t\t\tA\t1\n"
         "MODULE\tsink\ts1\t/src/sink.v\tverilog\n"
         "INPUT\t\t\ta\n",
         "MODULE\tcore\tx\t/src/core.v\tverilog\n"
         "PARAMETER\t\t\tA\t1\n"
         "INPUT\t\t\tp\n"
         "PARAMETER\t\t\tB\t2\n");
    update.PrepareUpdateDialog();
    EXPECT_TRUE(update.ApplyModuleUpdate());
    EXPECT_EQ(Stored(), (std::vector<std::string>{
                            "TOP\t\ttop",
                            "MODULE\tcore\tu1\t/src/core.v\tverilog",
                            "PARAMETER\t\t\tA\t1",
                            "PARAMETER\t\t\tB\t2",
                            "INPUT\t\t\tp",
                            "MODULE\tsink\ts1\t/src/sink.v\tverilog",
                            "INPUT\t\t\ta",
                        }));
}

TEST_F(ModuleUpdateTest, CancelLetsTheDefinitionsGo) {
    update.PrepareUpdateDialog();
    update.BitBtn2Click();
    EXPECT_TRUE(update.DefLines.empty());
    EXPECT_TRUE(update.ListView1.empty());
    EXPECT_TRUE(model.Log.Lines().empty());
    EXPECT_FALSE(model.UndoEnabled());
}

TEST_F(ModuleUpdateTest, DefinitionLinesAreAddedAndDeletedByIndex) {
    update.DefLines.clear();
    update.AddDefLine(-1, {"MODULE", "m"});
    update.AddDefLine(0, {"A"});
    update.AddDefLine(
        99, {"INPUT", "", "", "x", "", "", "", "", "", "", "", "", "", "", "", "", "16", "17"});
    EXPECT_EQ(Keywords(update.DefLines), (std::vector<std::string>{"A", "MODULE", "INPUT"}));
    EXPECT_EQ(update.DefLines[2][16], "16");
    EXPECT_TRUE(update.DefLines[2][17].empty()) << "fields 17 to 19 stay empty";
    EXPECT_FALSE(update.DeleteDefLine(3));
    EXPECT_FALSE(update.DeleteDefLine(-1));
    EXPECT_TRUE(update.DeleteDefLine(0));
    EXPECT_EQ(Keywords(update.DefLines), (std::vector<std::string>{"MODULE", "INPUT"}));
    EXPECT_TRUE(update.ClearDefLines());
    EXPECT_TRUE(update.DefLines.empty());
}

TEST_F(ModuleUpdateTest, ShowReportAddsOrReplaces) {
    update.ShowReport("one", true);
    update.ShowReport("two\r\nthree", false);
    EXPECT_EQ(update.Memo1, "one\r\ntwo\r\nthree");
    update.ShowReport("four", true);
    EXPECT_EQ(update.Memo1, "four");
}

TEST_F(ModuleUpdateTest, SortingTheListGoesUpFirstThenDown) {
    update.CompareModule("core");
    auto names = [this] {
        std::string s;
        for (const CompareRow& r : update.ListView1)
            s += r.Name + " ";
        return s;
    };
    update.ListView1ColumnClick(3);
    EXPECT_EQ(names(), "buf buf clk d new_in gone q q W DEPTH DEPTH ")
        << "by type, stable within a type";
    update.ListView1ColumnClick(5);
    EXPECT_EQ(update.SortColumn, 5);
    EXPECT_EQ(names().substr(0, 6), "new_in") << "PID descending as text: 7 first";
}

namespace {

// The Instances page reduced to what CheckAddedInstance reads.
class FakePage : public InstancesPage {
public:
    explicit FakePage(ProjectModel& model) : model_(model) {}
    void FillInstList() override {
        ++fills;
        items.clear();
        for (const mdu& m : model_.MduList)
            if (!m.ModuleName.empty())
                items.push_back(m.InstName);
    }
    bool SelectInstance(const std::string& inst) override {
        return std::find(items.begin(), items.end(), inst) != items.end();
    }
    void ShowInstParas(const std::string& inst, bool addVhdlTypes) override {
        shown.push_back(inst + (addVhdlTypes ? " with types" : ""));
        rows = ParamRowsOf(model_.MduList[model_.FindInstance(inst)]);
    }
    std::vector<ParamRow> ParamRows() const override { return rows; }

    int fills = 0;
    std::vector<std::string> items;
    std::vector<std::string> shown;
    std::vector<ParamRow> rows;

private:
    ProjectModel& model_;
};

} // namespace

TEST_F(ModuleUpdateTest, AnAddedInstanceGetsItsWidthsFromItsOwnValues) {
    ScriptedPrompt prompt;
    WidthConfirmation widths(model, prompt);
    FakePage page(model);
    CheckAddedInstance(model, page, widths, "u1", true);
    CheckAddedInstance(model, page, widths, "u2", false);
    EXPECT_EQ(page.fills, 1) << "the box is filled for the first only";
    EXPECT_EQ(page.shown, (std::vector<std::string>{"u1 with types", "u2 with types"}));
    EXPECT_EQ(model.GetPortLineField("u1", "d", 1), "15") << "u1's own W is 16";
    EXPECT_EQ(model.GetPortLineField("u2", "q", 1), "7") << "u2 takes the default 8";
    EXPECT_EQ(model.Log.Lines(),
              (std::vector<std::string>{"Info: Isolate port q (u2) due to width change."}))
        << "u2's q had a wire while its width was not known";
    EXPECT_FALSE(model.UndoEnabled()) << "no snapshot for an added instance";
}

TEST_F(ModuleUpdateTest, AnAddedInstanceThatCannotBePreparedIsLogged) {
    ScriptedPrompt prompt;
    WidthConfirmation widths(model, prompt);
    FakePage page(model);
    model.LineList[6][1] = "NA"; // u1's d has no width yet and cannot be evaluated
    model.LineList[6][5] = "X-1";
    model.UpdatePicExecute(RebuildSender::MainWindow);
    model.ClearLog();
    CheckAddedInstance(model, page, widths, "", true);
    CheckAddedInstance(model, page, widths, "top", true);
    CheckAddedInstance(model, page, widths, "u9", true);
    CheckAddedInstance(model, page, widths, "u1", false);
    EXPECT_EQ(model.Log.Lines(),
              (std::vector<std::string>{
                  "Error: Internal error. Illegal instance .",
                  "Error: Internal error. Illegal instance top.",
                  "Warning: Missing the instance u9.",
                  "Warning: Fail to evaluate the MSB of port d (u1). Double click it to set the "
                  "width manually.",
                  "Warning: Found undefined port width in the instance: u1.",
              }));
    EXPECT_EQ(page.fills, 1) << "an illegal instance stops before the box is filled";
}

TEST_F(ModuleUpdateTest, ASourceNamedRelativeToTheEditorIsTheSameFileByItsAbsolutePath) {
    // The wizard hands the engine absolute paths; the example project names its sources relative
    // to the directory the editor runs in.
    const std::string absolute = platform::AbsolutePath("demo/sink.v");
    Load("TOP\t\ttop\n"
         "MODULE\tsink\ts1\tdemo/sink.v\tverilog\n"
         "INPUT\t\t\ta\n",
         "MODULE\tsink\tx\t" + absolute +
             "\tverilog\n"
             "INPUT\t\t\ta\n");
    update.PrepareUpdateDialog();
    EXPECT_FALSE(update.ComboBoxEx1[0].Changed);
    EXPECT_NE(update.Memo1.find("File: " + absolute + "\r\n--No change.\r\n"), std::string::npos)
        << update.Memo1;
    EXPECT_TRUE(update.ApplyModuleUpdate());
    EXPECT_EQ(model.LineList[1][3], "demo/sink.v") << "the project keeps its own name of the file";

    Load("TOP\t\ttop\n"
         "MODULE\tsink\ts1\tdemo/sink.v\tverilog\n"
         "INPUT\t\t\ta\n",
         "MODULE\tsink\tx\t" + absolute +
             "\tvhdl\n"
             "INPUT\t\t\ta\n");
    update.PrepareUpdateDialog();
    EXPECT_TRUE(update.ComboBoxEx1[0].Changed) << "another language is a change";
    EXPECT_TRUE(update.ApplyModuleUpdate());
    EXPECT_EQ(model.LineList[1][3], absolute);
    EXPECT_EQ(model.LineList[1][4], "vhdl");
}

TEST_F(ModuleUpdateTest, ANewKeyDefaultTakesTheWiresOfEveryInstanceWhoseWidthsFollowIt) {
    // Each wired port whose width changed walked all the lines twice; an update of a module
    // shared by many wired instances grew with the square of the project. The wires now go in one
    // pass, with the same result as port by port.
    const char* const project = "TOP\t\ttop\n"
                                "INPUT\t7\t0\tbus\tY\n"
                                "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
                                "PARAMETER\t\t\tW\t 8\t\tK\n"
                                "INPUT\t7\t0\td\t\tW-1\t0\n"
                                "OUTPUT\t7\t0\tq\t\tW-1\t0\n"
                                "OUTPUT\t\t\tdone\n"
                                "MODULE\tcore\tu2\t/src/core.v\tverilog\n"
                                "PARAMETER\t\t\tW\t 8\t\tK\n"
                                "INPUT\t7\t0\td\t\tW-1\t0\n"
                                "OUTPUT\t7\t0\tq\t\tW-1\t0\n"
                                "OUTPUT\t\t\tdone\n"
                                "MODULE\tsink\ts1\t/src/sink.v\tverilog\n"
                                "INPUT\t7\t0\ta\n"
                                "INPUT\t7\t0\tb\n"
                                "INPUT\t\t\tc\n"
                                "WIRE\tu1\tq\ts1\ta\tnet_a\n"
                                "WIRE\tu1\tq\tu2\td\tnet_a\n"
                                "WIRE\tu2\tq\ts1\tb\tnet_b\n"
                                "WIRE\tu1\tdone\ts1\tc\tnet_c\n"
                                "WIRE\tu1\td\ttop\tbus\tbus\n";
    const char* const definition = "MODULE\tcore\tu_core_0\t/src/core.v\tverilog\n"
                                   "PARAMETER\t\t\tW\t 16\t\tK\n"
                                   "INPUT\tNA\t0\td\t\tW-1\t0\n"
                                   "OUTPUT\tNA\t0\tq\t\tW-1\t0\n"
                                   "OUTPUT\t\t\tdone\n";
    ScriptedPrompt prompt;
    WidthConfirmation widths(model, prompt);
    FakePage page(model);
    auto run = [&](bool batched) {
        Load(project, definition);
        update.CheckAddedInstance = [&](const std::string& inst, bool first) {
            ::CheckAddedInstance(model, page, widths, inst, first);
        };
        update.Widths = batched ? &widths : nullptr;
        update.PrepareUpdateDialog();
        update.BitBtn1Click();
        return std::make_pair(Stored(), model.Log.Lines());
    };
    const auto [lines, log] = run(true);
    EXPECT_EQ(model.GetPortLineField("u1", "q", 1) + ":" + model.GetPortLineField("u2", "d", 1),
              "15:15");
    std::vector<std::string> wires;
    for (const std::string& line : lines)
        if (line.rfind("WIRE", 0) == 0)
            wires.push_back(line);
    EXPECT_EQ(wires, (std::vector<std::string>{"WIRE\tu1\tdone\ts1\tc\tnet_c",
                                               "WIRE\tu1\td\ttop\tbus\tbus"}))
        << "a one-bit port keeps its wire; one to a combined top bus stays";
    EXPECT_EQ(log, (std::vector<std::string>{
                       std::string("Error: ") + CombinedBusWire,
                       "Info: Isolate port q (u1) due to width change.",
                       "Info: Isolate port q (u2) due to width change.",
                       "Info: Module update done.",
                   }))
        << "u1's d keeps its wire to the bus; u2's d lost its only wire with u1's q";
    EXPECT_EQ(run(false), std::make_pair(lines, log)) << "port by port, as without a batch";
}
