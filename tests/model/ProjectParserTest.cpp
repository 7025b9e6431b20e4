// The project-text parser: rows and fields, duplicate and empty-module checks, and where each
// mode puts the rows.
#include "editor/model/ProjectParser.h"

#include "ModelFileFixture.h"

#include <iterator>
#include <random>

using Texts = std::vector<std::string>;

namespace {

std::vector<ProjectLine> Split(const std::string& text, MessageLog& log) {
    return SplitProjectText(text, log);
}

} // namespace

TEST(SplitProjectText, AcceptsEveryLineEndAndStopsAtNul) {
    struct Case {
        const char* name;
        std::string text;
        Texts rows;
    };
    const Case cases[] = {
        {"CR LF", "A\r\nB\r\n", {"A", "B"}},
        {"LF only", "A\nB\n", {"A", "B"}},
        {"lone CR", "A\rB\r", {"A", "B"}},
        {"mixed", "A\r\nB\nC\rD", {"A", "B", "C", "D"}},
        {"no end on the last line", "A\r\nB", {"A", "B"}},
        {"empty lines kept", "A\r\n\r\n\nB", {"A", "", "", "B"}},
        {"CR CR LF is an empty line", "A\r\r\nB", {"A", "", "B"}},
        {"NUL ends the text", std::string("A\r\nB\0C\r\nD", 10), {"A", "B"}},
        {"empty text", "", {}},
        {"single line end", "\r\n", {""}},
    };
    for (const Case& c : cases) {
        MessageLog log;
        Texts got;
        for (const ProjectLine& row : Split(c.text, log))
            got.push_back(row[0]);
        EXPECT_EQ(got, c.rows) << c.name;
        EXPECT_TRUE(log.Lines().empty()) << c.name;
    }
}

TEST(SplitProjectText, SplitsFieldsAtEveryTab) {
    MessageLog log;
    auto rows = Split("WIRE\tu1\ta\tu2\tb\tn1\r\nWIRE\tu1\ta\tu2\tb\tn1\t\r\n"
                      "WIRE\tu1\ta\tu2\tb\tn1\tx\r\n\t\tc",
                      log);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][5], "n1"); // six fields
    EXPECT_EQ(rows[0][6], "");
    EXPECT_EQ(rows[1][5], "n1"); // seven, the last empty
    EXPECT_EQ(rows[1][6], "");
    EXPECT_EQ(rows[2][6], "x");
    EXPECT_EQ(rows[3][0], "");
    EXPECT_EQ(rows[3][2], "c");
}

TEST(SplitProjectText, ALineOf21FieldsWarnsWithItsIndexAndKeepsFields0To16) {
    std::string line;
    for (int i = 0; i < 21; ++i)
        line += (i ? "\t" : "") + std::string(i == 0 ? "XX" : "f" + std::to_string(i));
    MessageLog log;
    auto rows = Split(line + "\r\nN\t1\r\n", log);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(log.Lines(), Texts{"Warning: Too many parameters in line 0."});
    EXPECT_EQ(rows[0][16], "f16");
    EXPECT_EQ(rows[0][17], ""); // read and dropped
    EXPECT_EQ(rows[0][19], "");
    EXPECT_EQ(rows[1][1], "1");
}

TEST(SplitProjectText, ALineOfExactly20FieldsIsNotWarnedAbout) {
    std::string line = "XX";
    for (int i = 1; i < 20; ++i)
        line += "\t" + std::to_string(i);
    MessageLog log;
    auto rows = Split(line, log);
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_EQ(rows[0][16], "16");
}

// A stray "S" in field 12 used to make a saved wire a suggestion, dropped at the next save.
TEST(SplitProjectText, ClearsRunTimeFieldsOfRecordLinesButNotOfSettingsLines) {
    std::string wire = "WIRE\tu1\ta\tu2\tb\tn1\t\t\t255\t0\tW\t3\tS\tY\t14";
    std::string fs = "FS";
    for (int i = 1; i <= 16; ++i)
        fs += "\t" + std::to_string(i * 10);
    MessageLog log;
    auto rows = Split(wire + "\r\n" + fs + "\r\n", log);
    for (std::size_t f = FieldBrush; f <= FieldCollapsed; ++f)
        EXPECT_EQ(rows[0][f], "") << "field " << f;
    EXPECT_EQ(rows[0][14], "14");
    EXPECT_EQ(rows[1][8], "80");
    EXPECT_EQ(rows[1][16], "160");
}

TEST(IsInEmptyModule, AnswersForModuleAndParameterRowsOfPortlessModulesOnly) {
    MessageLog log;
    auto rows =
        Split("TOP\t\tt\nPARAMETER\t\t\tP\nMODULE\tm\tu1\nPARAMETER\t\t\tW\n"
              "Version:\nMODULE\tm\tu2\nPARAMETER\t\t\tW\nINPUT\t\t\ta\nWIRE\nMODULE\tm\tu3",
              log);
    std::vector<bool> expected = {false, false, true,  true,  false,
                                  false, false, false, false, true};
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        EXPECT_EQ(IsInEmptyModule(rows, r, log), expected[r]) << "row " << r;
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_TRUE(IsInEmptyModule(rows, 10, log));
    EXPECT_EQ(log.Lines(), Texts{"Error: Internal error. Illegal number."});
}

// A text, the keys of the lines it gives (ModelFileFixture::Keys) and the log.
struct ParsedCase {
    const char* name;
    std::string text;
    Texts keys;
    Texts log;
};

class ParserTest : public ModelFileFixture {
protected:
    // Each case's text replaces the project.
    void ExpectParsed(const std::vector<ParsedCase>& cases) {
        for (const ParsedCase& c : cases) {
            model.ClearLog();
            Scr_DrvClick(model, c.text, ParseMode::ReplaceAll);
            EXPECT_EQ(Keys(), c.keys) << c.name;
            EXPECT_EQ(Log(), c.log) << c.name;
        }
    }
};

TEST_F(ParserTest, ReplaceAllMakesTheRowsTheProjectAndLFParsesLikeCRLF) {
    OpenText("TOP\t\told\r\n");
    Scr_DrvClick(model, SampleProject, ParseMode::ReplaceAll);
    ProjectLines crlf = model.LineList;
    std::string lf = SampleProject;
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    ParseResult r = Scr_DrvClick(model, lf, ParseMode::ReplaceAll);
    EXPECT_EQ(model.LineList, crlf);
    EXPECT_EQ(r.Inserted, 8);
    EXPECT_FALSE(r.UndoTaken);
    EXPECT_EQ(Keys(), (Texts{"TOP top", "INPUT clk", "OUTPUT q", "MODULE u1", "PARAMETER W",
                             "INPUT clk", "OUTPUT count", "WIRE clk"}));
    EXPECT_TRUE(model.UndoList.empty());
}

TEST_F(ParserTest, AnEmptyTextEmptiesTheProjectAndChangesNoState) {
    OpenText(SampleProject);
    model.Modified = false;
    model.PrjFileName = "/p.zun";
    Scr_DrvClick(model, "", ParseMode::ReplaceAll);
    EXPECT_TRUE(model.LineList.empty());
    EXPECT_TRUE(model.PrjOpen);
    EXPECT_FALSE(model.Modified);
    EXPECT_EQ(model.PrjFileName, "/p.zun");
}

TEST_F(ParserTest, DropsADuplicatePortWithinOneBlockButNotAcrossTwo) {
    Scr_DrvClick(model,
                 "TOP\t\tt\nMODULE\tm\tu1\nINPUT\t\t\ta\nPARAMETER\t\t\ta\nOUTPUT\t\t\ta\n"
                 "PARAMETER\t\t\ta\nMODULE\tm\tu2\nINPUT\t\t\ta\n",
                 ParseMode::ReplaceAll);
    EXPECT_EQ(Keys(),
              (Texts{"TOP t", "MODULE u1", "INPUT a", "PARAMETER a", "MODULE u2", "INPUT a"}));
    EXPECT_EQ(Log(), (Texts{"Error: Found and ignored duplicate port a in the instance u1.",
                            "Error: Found and ignored duplicate parameter a in the instance u1."}));
}

TEST_F(ParserTest, DropsEmptyModulesWithWarningsAndKeepsTheRestInOrder) {
    Scr_DrvClick(model,
                 "TOP\t\tt\nMODULE\tram\tu1\nPARAMETER\t\t\tD\nPARAMETER\t\t\tA\n"
                 "MODULE\tfifo\tu2\nINPUT\t\t\tclk\nWIRE\tt\tx\tu1\ty\tn\n",
                 ParseMode::ReplaceAll);
    EXPECT_EQ(Keys(), (Texts{"TOP t", "MODULE u2", "INPUT clk", "WIRE n"}));
    EXPECT_EQ(Log(), (Texts{"Warning: Ignore the empty module: ram.",
                            "Warning: Ignore the item in the empty module.",
                            "Warning: Ignore the item in the empty module."}));
}

TEST_F(ParserTest, AddModulesInsertsAfterTheLastInstanceBlockAndTakesTheUndoSnapshot) {
    OpenText(SampleProject);
    ProjectLines before = model.LineList;
    ParseResult r =
        Scr_DrvClick(model,
                     "Version:\tZUN2012\nMODULE\tadd\tu2\tadd.v\tverilog\n"
                     "INPUT\t\t\ta\nMODULE\tempty\tu3\nMODULE\tsub\tu4\nOUTPUT\t\t\ty\n",
                     ParseMode::AddModules);
    EXPECT_TRUE(r.UndoTaken);
    EXPECT_EQ(model.UndoList, before);
    EXPECT_EQ(r.Inserted, 5);
    EXPECT_EQ(Keys(), (Texts{"TOP top", "INPUT clk", "OUTPUT q", "MODULE u1", "PARAMETER W",
                             "INPUT clk", "OUTPUT count", "Version:", "MODULE u2", "INPUT a",
                             "MODULE u4", "OUTPUT y", "WIRE clk"}));
}

// The insertion point used to count records only, so a disabled port line in the last block
// put the new instance before that block's last ports, which it then took over.
TEST_F(ParserTest, AddModulesFindsTheBlockEndPastADisabledPortLine) {
    OpenText("TOP\t\tt\nMODULE\tm\tu1\nINPUT\t\t\ta\nINPUT\t3\t\tbad\nINPUT\t\t\tb\n"
             "WIRE\tt\tx\tu1\ta\tx\n");
    ASSERT_EQ(model.LineList[3][0], "#INPUT"); // disabled by the rebuild
    Scr_DrvClick(model, "MODULE\tn\tu2\nINPUT\t\t\tc\n", ParseMode::AddModules);
    EXPECT_EQ(Keys(), (Texts{"TOP t", "MODULE u1", "INPUT a", "#INPUT bad", "INPUT b", "MODULE u2",
                             "INPUT c", "WIRE x"}));
    model.UpdatePicExecute(RebuildSender::MainWindow);
    const mdu& u1 = model.MduList[model.FindInstance("u1")];
    ASSERT_EQ(u1.LastPort - u1.FirstPort, 1);
    EXPECT_EQ(model.PortList[u1.LastPort].Name, "b");
}

TEST_F(ParserTest, AddModulesIntoAProjectWithoutInstancesAppends) {
    Scr_DrvClick(model, "MODULE\tm\tu1\nINPUT\t\t\ta\n", ParseMode::AddModules);
    EXPECT_EQ(Keys(), (Texts{"MODULE u1", "INPUT a"}));
}

TEST_F(ParserTest, ImportTopPortsInsertsNewPortRowsAfterTheTopBlockOnly) {
    OpenText(SampleProject);
    ProjectLines before = model.LineList;
    ParseResult r = Scr_DrvClick(model,
                                 "Version:\tZUN2012\nTOP\t\tother\nINPUT\t\t\tclk\n"
                                 "OUTPUT\t3\t0\tdata\nKVAR\t\t\tdata\nBIDIR\t\t\tio\n"
                                 "PARAMETER\t\t\tW\nWIRE\ta\tb\tc\td\te\n",
                                 ParseMode::ImportTopPorts);
    EXPECT_TRUE(r.UndoTaken);
    EXPECT_EQ(model.UndoList, before);
    EXPECT_EQ(r.Inserted, 2);
    EXPECT_EQ(Keys(), (Texts{"TOP top", "INPUT clk", "OUTPUT q", "OUTPUT data", "BIDIR io",
                             "MODULE u1", "PARAMETER W", "INPUT clk", "OUTPUT count", "WIRE clk"}));
    EXPECT_EQ(Log(),
              (Texts{"Info: Ignore duplicate top port: clk.", "Info: Import top port: data.",
                     "Info: Ignore duplicate top port: data.", "Info: Import top port: io."}));
}

TEST_F(ParserTest, ImportTopPortsReportsNamesTheTopRefusesAndTakesNoSnapshotForNothing) {
    OpenText(SampleProject);
    model.UndoList.clear();
    ParseResult r = Scr_DrvClick(model, "INPUT\t\t\tq\nINPUT\t\t\t\n", ParseMode::ImportTopPorts);
    EXPECT_EQ(r.Inserted, 0);
    EXPECT_FALSE(r.UndoTaken);
    EXPECT_TRUE(model.UndoList.empty());
    EXPECT_EQ(Log(), (Texts{"Info: Ignore duplicate top port: q.",
                            "Info: Ignore top port: . Empty wire."}));
}

TEST_F(ParserTest, ImportTopPortsRefusesWithAnErrorWhenThereIsNoTopModule) {
    OpenText("MODULE\tm\tu1\nINPUT\t\t\ta\n");
    model.Log.ClearLog();
    ProjectLines before = model.LineList;
    ParseResult r = Scr_DrvClick(model, "INPUT\t\t\tx\n", ParseMode::ImportTopPorts);
    EXPECT_TRUE(r.Refused);
    EXPECT_EQ(model.LineList, before);
    EXPECT_EQ(Log(), Texts{"Error: Can not import top ports: the project has no top module."});
}

TEST_F(ParserTest, ImportTopPortsGoesPastADisabledLineInTheTopBlock) {
    OpenText("TOP\t\tt\nINPUT\t\t\ta\nINPUT\t1\t\tbad\nINPUT\t\t\tb\nMODULE\tm\tu1\n"
             "INPUT\t\t\tx\n");
    Scr_DrvClick(model, "OUTPUT\t\t\tc\nOUTPUT\t\t\tc\n", ParseMode::ImportTopPorts);
    EXPECT_EQ(Keys(), (Texts{"TOP t", "INPUT a", "#INPUT bad", "INPUT b", "OUTPUT c", "MODULE u1",
                             "INPUT x"}));
}

TEST_F(ParserTest, UpdateDefinitionFillsOnlyTheDefinitionList) {
    OpenText(SampleProject);
    ProjectLines before = model.LineList;
    ProjectLines defLines = {MakeLine({"stale"})};
    ParseResult r = Scr_DrvClick(model, "MODULE\tm\tu9\nINPUT\t\t\ta\nINPUT\t\t\ta\n",
                                 ParseMode::UpdateDefinition, &defLines);
    EXPECT_EQ(r.Inserted, 2);
    EXPECT_EQ(Keys(defLines), (Texts{"MODULE u9", "INPUT a"}));
    EXPECT_EQ(model.LineList, before);
    EXPECT_FALSE(r.UndoTaken);
}

namespace {

// The second pass as the parser was first written: names kept in TAB-joined lists, the
// empty-module test scanning up and down from each row, and every accepted row inserted on its
// own at position + count - 1; with what was mended since: heads told by their first letter (and
// disabled heads heading blocks of their own), a module with a port anywhere in its block (a
// disabled one too) never empty, and the lines of a left-out module going with it. The parser's
// linear version must give the same lines and log.
struct SlowSecondPass {
    const std::vector<ProjectLine>& rows;
    std::vector<std::string> log;

    static bool DisabledHead(const std::string& key) {
        std::size_t first = key.find_first_not_of('#');
        return first != 0 && first != std::string::npos && LineKind(key.substr(first)) == 'M';
    }
    static bool DisabledPort(const std::string& key) {
        std::size_t first = key.find_first_not_of('#');
        return first != 0 && first != std::string::npos && LineKind(key.substr(first)) == 'P';
    }

    bool InEmptyModule(std::size_t r) const {
        char kind = LineKind(rows[r][0]);
        if (kind != 'M' && kind != 'R')
            return false;
        std::size_t head = r + 1;
        for (std::size_t i = r + 1; i-- > 0;) {
            if (LineKind(rows[i][0]) == 'M') {
                head = i;
                break;
            }
            if (DisabledHead(rows[i][0]))
                return false;
        }
        if (head > r || rows[head][0][0] != 'M')
            return false;
        for (std::size_t i = head + 1; i < rows.size(); ++i) {
            char k = LineKind(rows[i][0]);
            if (k == 'P' || DisabledPort(rows[i][0]))
                return false;
            if (k == 'M' || k == 'W' || k == 'A' || DisabledHead(rows[i][0]))
                break;
        }
        return true;
    }

    void Apply(ProjectLines& lines, int position) {
        int count = 0;
        std::string instance;
        std::string ports = "\t";
        std::string params = "\t";
        int droppedHead = -1;
        bool pastBlock = false;
        int further = 0;
        auto endDropped = [&] {
            if (droppedHead >= 0 && further > 0)
                log.push_back("Warning: Ignore " + std::to_string(further) +
                              (further == 1 ? " further line" : " further lines") +
                              " of the empty module in line " + std::to_string(droppedHead) +
                              ": port and parameter lines belong to the nearest TOP or MODULE "
                              "line above them.");
            droppedHead = -1;
            pastBlock = false;
            further = 0;
        };
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const ProjectLine& row = rows[r];
            if (row[0].empty())
                continue;
            char kind = LineKind(row[0]);
            if (kind == 'M' || DisabledHead(row[0])) {
                endDropped();
                ports = params = "\t";
                instance = row[2];
            }
            if (droppedHead >= 0) {
                if (kind == 'W' || kind == 'A')
                    pastBlock = true;
                else if (pastBlock && (kind == 'P' || kind == 'R')) {
                    ++further;
                    continue;
                }
            }
            if (kind == 'P' || kind == 'R') {
                std::string& list = kind == 'P' ? ports : params;
                if (list.find("\t" + row[3] + "\t") != std::string::npos) {
                    log.push_back(std::string("Error: Found and ignored duplicate ") +
                                  (kind == 'P' ? "port " : "parameter ") + row[3] +
                                  " in the instance " + instance + ".");
                    continue;
                }
                list += row[3] + "\t";
            }
            if (InEmptyModule(r)) {
                log.push_back(row[0] == "MODULE"
                                  ? "Warning: Ignore the empty module: " + row[1] + "."
                                  : std::string("Warning: Ignore the item in the empty module."));
                if (kind == 'M')
                    droppedHead = static_cast<int>(r);
                continue;
            }
            ++count;
            int at = position < 0 ? static_cast<int>(lines.size()) : position + count - 1;
            lines.insert(lines.begin() + std::min(at, static_cast<int>(lines.size())), row);
        }
        endDropped();
    }
};

// Random project text over few keywords and names, so that duplicates, empty modules, disabled
// and unknown lines, empty lines and every line end come up often.
std::string RandomProjectText(std::mt19937& rng, int lines) {
    static const char* const keys[] = {
        "TOP",  "MODULE", "MODULE", "PARAMETER", "INPUT", "INPUT", "OUTPUT", "KVAR",
        "WIRE", "ASSIGN", "#INPUT", "Version:",  "",      "ES",    "Mx",     "#MODULE"};
    static const char* const names[] = {"a", "b", "c"};
    static const char* const ends[] = {"\r\n", "\n", "\r"};
    std::string text;
    for (int i = 0; i < lines; ++i) {
        std::string key = keys[rng() % std::size(keys)];
        std::string name = names[rng() % std::size(names)];
        std::string module = "m" + std::to_string(rng() % 3);
        text += key + "\t" + module + "\tu" + std::to_string(i) + "\t" + name;
        text += ends[rng() % std::size(ends)];
    }
    return text;
}

} // namespace

TEST_F(ParserTest, EveryModeButTheImportMatchesTheRowByRowInsertionOnRandomTexts) {
    std::mt19937 rng(20261210);
    for (int round = 0; round < 300; ++round) {
        const bool add = round % 2 == 1;
        const std::string before = RandomProjectText(rng, 8);
        const std::string text = RandomProjectText(rng, static_cast<int>(rng() % 14));
        model.Log.ClearLog();
        model.LineList.clear();
        if (add)
            OpenText(before);
        model.Log.ClearLog();

        ProjectLines expected = add ? model.LineList : ProjectLines{};
        int position = -1;
        if (add) {
            // Right after the block of the last instance line, whatever lines that block holds;
            // a disabled head starts a block of its own.
            for (int i = static_cast<int>(expected.size()) - 1; i >= 0 && position < 0; --i) {
                if (LineKind(expected[i][0]) == 'M') {
                    position = i + 1;
                    while (position < static_cast<int>(expected.size()) &&
                           std::string("MWA").find(LineKind(expected[position][0])) ==
                               std::string::npos &&
                           !SlowSecondPass::DisabledHead(expected[position][0]))
                        ++position;
                }
            }
        }
        MessageLog splitLog;
        std::vector<ProjectLine> rows = SplitProjectText(text, splitLog);
        SlowSecondPass slow{rows, {}};
        slow.Apply(expected, position);

        Scr_DrvClick(model, text, add ? ParseMode::AddModules : ParseMode::ReplaceAll);
        ASSERT_EQ(Keys(), Keys(expected)) << "round " << round << "\n" << before << "--\n" << text;
        ASSERT_EQ(model.LineList, expected) << "round " << round;
        ASSERT_EQ(Log(), slow.log) << "round " << round << "\n" << text;
        if (!add) {
            // An update's definition list gets the same rows; the project keeps its lines.
            ProjectLines project = model.LineList;
            ProjectLines defLines = {MakeLine({"stale"})};
            model.Log.ClearLog();
            Scr_DrvClick(model, text, ParseMode::UpdateDefinition, &defLines);
            ASSERT_EQ(defLines, expected) << "round " << round;
            ASSERT_EQ(model.LineList, project) << "round " << round;
            ASSERT_EQ(Log(), slow.log) << "round " << round;
        }
    }
}

// Port and parameter lines belong to the nearest TOP or MODULE line above them. Regression: an
// empty module was left out while its port lines after a WIRE line stayed, so they joined the
// instance above and the next open dropped one of them as a duplicate (a fuzzed file of 542
// bytes saved as 525).
TEST_F(ParserTest, AnEmptyModuleThatIsLeftOutTakesEveryLineThatBelongsToIt) {
    const std::string further = ": port and parameter lines belong to the nearest TOP or MODULE "
                                "line above them.";
    ExpectParsed({
        {"the fuzzed file",
         "TOP\t\tdemo_top\nINPUT\t\t\tclk\nMODULE\tpwm\tuE\tpwm.v\tverilog\n"
         "WIRE\ta\tb\tc\td\tn\nINPUT\t\t\tclk\n",
         {"TOP demo_top", "INPUT clk", "WIRE n"},
         {"Warning: Ignore the empty module: pwm.",
          "Warning: Ignore 1 further line of the empty module in line 2" + further}},
        {"parameters and ports after an ASSIGN and a WIRE line",
         "TOP\t\tt\nMODULE\tram\tu1\nPARAMETER\t\t\tD\nASSIGN\t x = y\nPARAMETER\t\t\tA\n"
         "WIRE\tt\tx\tu1\ty\tn\nOUTPUT\t\t\tq\nKVAR\t\t\tv\nMODULE\tfifo\tu2\nINPUT\t\t\tq\n",
         {"TOP t", "ASSIGN", "WIRE n", "MODULE u2", "INPUT q"},
         {"Warning: Ignore the empty module: ram.", "Warning: Ignore the item in the empty module.",
          "Warning: Ignore 3 further lines of the empty module in line 1" + further}},
        {"a line the rebuild takes as a module, under a module",
         "TOP\t\tt\nMODULE\tm\tu1\nINPUT\t\t\ta\nMx\tn\tu2\nWIRE\tu1\ta\tu2\tb\tw\nINPUT\t\t\ta\n",
         {"TOP t", "MODULE u1", "INPUT a", "WIRE w"},
         {"Warning: Ignore the item in the empty module.",
          "Warning: Ignore 1 further line of the empty module in line 3" + further}},
        {"the last module of the text",
         "TOP\t\tt\nINPUT\t\t\ta\nMODULE\tm\tu1\nASSIGN\t a = b\nINPUT\t\t\ta\nOUTPUT\t\t\tb\n",
         {"TOP t", "INPUT a", "ASSIGN"},
         {"Warning: Ignore the empty module: m.",
          "Warning: Ignore 2 further lines of the empty module in line 2" + further}},
        {"other lines after the wire stay",
         "TOP\t\tt\nMODULE\tm\tu1\nWIRE\tt\ta\tu1\tb\tn\n#INPUT\t\t\tz\nES\t1\n",
         {"TOP t", "WIRE n", "#INPUT z", "ES"},
         {"Warning: Ignore the empty module: m."}},
    });
}

// What heads a block, and what makes a module's block empty, are read as the rebuild reads them.
TEST_F(ParserTest, HeadsAndPortsAreToldAsTheRebuildTellsThem) {
    ExpectParsed({
        // Regression: the rebuild disables a port line with one width field; a module whose
        // ports were all disabled was then dropped at the next open.
        {"a module whose only port is disabled is kept",
         "TOP\t\tt\nMODULE\tm\tu1\n#INPUT\t1\t\ta\n",
         {"TOP t", "MODULE u1", "#INPUT a"},
         {}},
        // Regression (found by the random driver): a parameter line after the module's ports
        // was taken for a line of an empty module once no port line followed it.
        {"a parameter line after the ports is in a module with ports",
         "TOP\t\tt\nMODULE\tm\tu1\nINPUT\t\t\ta\nPARAMETER\t\t\tW\nWIRE\nPARAMETER\t\t\tV\n",
         {"TOP t", "MODULE u1", "INPUT a", "PARAMETER W", "WIRE", "PARAMETER V"},
         {}},
        {"a line the rebuild takes as a top module is never empty",
         "TOP\t\tt\nMODULE\tm\tu1\nINPUT\t\t\ta\nTOPX\t\tt2\nWIRE\n",
         {"TOP t", "MODULE u1", "INPUT a", "TOPX t2", "WIRE"},
         {}},
        {"a disabled module heads its own block for the duplicate check",
         "TOP\t\tt\nMODULE\tm\tu1\nINPUT\t\t\ta\n#MODULE\tm\tu2\nINPUT\t\t\ta\n",
         {"TOP t", "MODULE u1", "INPUT a", "#MODULE", "INPUT a"},
         {}},
        {"a disabled module ends the block that the empty test looks at",
         "TOP\t\tt\nMODULE\tm\tu1\n##MODULE\tm\tu2\nINPUT\t\t\ta\n",
         {"TOP t", "##MODULE", "INPUT a"},
         {"Warning: Ignore the empty module: m."}},
    });
}

TEST(DisabledKind, IsTheKindOfTheKeywordWithoutItsMarks) {
    EXPECT_EQ(DisabledKind("#MODULE"), 'M');
    EXPECT_EQ(DisabledKind("##TOP"), 'M');
    EXPECT_EQ(DisabledKind("#INPUT"), 'P');
    EXPECT_EQ(DisabledKind("#PARAMETER"), 'R');
    EXPECT_EQ(DisabledKind("MODULE"), 'N') << "not disabled";
    EXPECT_EQ(DisabledKind("#"), 'N');
    EXPECT_EQ(DisabledKind(""), 'N');
}
