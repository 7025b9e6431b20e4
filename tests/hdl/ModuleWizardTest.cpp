// The module wizard's logic, headless: source list, module list, checks, request file, "OK".
#include "editor/hdl/ModuleWizard.h"

#include "support/EngineWorkFiles.h"
#include "support/FileFixtures.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// The main window as the wizard sees it, recording what the wizard asks of it.
class RecordingProject : public WizardProject {
public:
    std::string topName = "top";
    std::string rule = "u_%M_%D";
    std::set<std::string> usedModules;
    ProjectNames names;

    std::vector<std::pair<std::string, char>> parsed;
    std::unordered_set<std::string> added; // what the parse reports as put in
    std::vector<std::pair<char, std::string>> opened;
    int pictureUpdates = 0;
    std::vector<std::string> log;

    std::string TopName() const override { return topName; }
    std::string InstNameRule() const override { return rule; }
    bool ModuleNameUsed(const std::string& m) const override { return usedModules.count(m) > 0; }
    ProjectNames CurrentNames() const override { return names; }
    std::unordered_set<std::string> ParseProjectText(const std::string& text, char mode) override {
        parsed.emplace_back(text, mode);
        return added;
    }
    void ProjectTextParsed(char mode, const std::string& file) override {
        opened.emplace_back(mode, file);
    }
    void UpdatePicExecute() override { ++pictureUpdates; }
    void LogInfo(const std::string& t) override { log.push_back("Info: " + t); }
    void LogWarning(const std::string& t) override { log.push_back("Warning: " + t); }
    void LogError(const std::string& t) override { log.push_back("Error: " + t); }
};

class CountingHandOff : public WizardHandOff {
public:
    int closed = 0;
    void CloseHandOff() override { ++closed; }
};

class ModuleWizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        appDir_ = root_ / "app";
        workDir_ = root_ / "work";
        srcDir_ = root_ / "src";
        fs::create_directories(appDir_);
        fs::create_directories(workDir_);
        fs::create_directories(srcDir_);
        fs::copy_file(fs::path(ZUN_FAKE_ENGINE_DIR) / "qve", appDir_ / "qve");
        runner_.SetDirectories(appDir_.string(), workDir_.string());
        runner_.SetWatchdog(20s);
        wizard_.SetProject(&project_);
        oldCwd_ = fs::current_path();
    }
    void TearDown() override {
        fs::current_path(oldCwd_);
        unsetenv("ZUN_FAKE_ENGINE");
        unsetenv("ZUN_FAKE_ENGINE_TEXT");
    }

    std::string Source(const std::string& name, const std::string& text = "module m; endmodule\n") {
        fs::path p = srcDir_ / name;
        fs::create_directories(p.parent_path());
        WriteBytes(p, text);
        return p.string();
    }
    static void Engine(const char* mode, const std::string& text = "") {
        setenv("ZUN_FAKE_ENGINE", mode, 1);
        setenv("ZUN_FAKE_ENGINE_TEXT", text.c_str(), 1);
    }
    ModuleRow Row(std::string module, std::string count = "1", std::string path = "/s/a.v",
                  int kind = VerilogKind) {
        ModuleRow r;
        r.module = std::move(module);
        r.count = std::move(count);
        r.path = std::move(path);
        r.kind = kind;
        return r;
    }
    std::vector<std::string> WorkFilesLeft() const { return EngineWorkFilesLeft(workDir_); }
    void OnModulePage(char mode, std::vector<ModuleRow> rows) {
        wizard_.Open(mode, false);
        wizard_.Modules = std::move(rows);
        wizard_.FilePage = false;
        wizard_.SetupWizardPage();
    }

    TempDir scratch_;
    fs::path root_{scratch_.Root()}, appDir_, workDir_, srcDir_, oldCwd_;
    ScriptedPrompt prompt_;
    EngineRunner runner_{"/", "/"};
    RecordingProject project_;
    ModuleWizard wizard_{prompt_, runner_};
};

TEST(SourceKind, IsTakenFromTheFileNameAloneNeverFromItsFolders) {
    struct Case {
        const char* path;
        int kind;
    };
    const Case cases[] = {
        {"/p/a.v", VerilogKind},
        {"/p/a.vhd", VhdlKind},
        {"/p/A.VHDL", VhdlKind},
        {"/p/x.v.bak", VerilogKind},
        {"/p/c.vh", VerilogKind},
        {"/p/top.sv", AutoKind},
        {"/p/readme", AutoKind},
        // Regression: a hidden folder such as .venv or .vscode made every file in it Verilog.
        {"/home/u/.venv/lib/core.txt", AutoKind},
        {"/w/.vscode/notes", AutoKind},
        {"/w/a.vhdl/b.v", VerilogKind},
        {"/w/b.v1/c.txt", AutoKind},
        {"/w/src.v/entity.vhd", VhdlKind},
        {"plain.vhd", VhdlKind},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SourceKindOfName(c.path), c.kind) << c.path;
}

TEST(LegalIdent, AcceptsLettersDigitsAndUnderscoreNotLeadingDigitOrDollar) {
    struct Case {
        const char* text;
        bool legal;
    };
    const Case cases[] = {
        {"mytop", true}, {"MyTop_2", true}, {"_lead", true},      {"u_top", true},
        {"", false},     {"9lives", false}, {"$top", false},      {"top$", false},
        {"a-b", false},  {"a b", false},    {"t\xc3\xa9", false}, {"0", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsLegalIdent(c.text), c.legal) << '"' << c.text << '"';
}

TEST(ModuleList, ParsingFollowsTheFileLinesAndStopsAtAnUnknownKind) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::tuple<std::string, std::string, int>> rows; // module, path, kind
        bool badFormat;
    };
    const Case cases[] = {
        {"CR LF lines",
         "F0-/s/a.v\r\nM-adder\r\nM-mux\r\nF1-/s/b c.vhd\r\nM-ent\r\n",
         {{"adder", "/s/a.v", 0}, {"mux", "/s/a.v", 0}, {"ent", "/s/b c.vhd", 1}},
         false},
        {"LF and lone CR",
         "F1-/s/x.vhd\nM-e1\rM-e2",
         {{"e1", "/s/x.vhd", 1}, {"e2", "/s/x.vhd", 1}},
         false},
        {"empty list", "", {}, false},
        {"other lines skipped", "F0-/s/a.v\r\nX-junk\r\n\r\nM-a\r\n", {{"a", "/s/a.v", 0}}, false},
        {"kind 2 stops the walk",
         "F0-/s/a.v\r\nM-a\r\nF2-/s/b\r\nM-b\r\n",
         {{"a", "/s/a.v", 0}},
         true},
        {"kind 2 first", "F2-/s/b\r\nM-b\r\n", {}, true},
        {"bare F", "F\r\nM-b\r\n", {}, true},
        {"escaped name kept whole",
         "F0-/s/a.v\r\nM-\\bus[0] \r\n",
         {{"\\bus[0] ", "/s/a.v", 0}},
         false},
    };
    for (const Case& c : cases) {
        ModuleListParse parse = ParseModuleList(c.text);
        EXPECT_EQ(parse.badFormat, c.badFormat) << c.name;
        ASSERT_EQ(parse.rows.size(), c.rows.size()) << c.name;
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(parse.rows[i].module, std::get<0>(c.rows[i])) << c.name;
            EXPECT_EQ(parse.rows[i].path, std::get<1>(c.rows[i])) << c.name;
            EXPECT_EQ(parse.rows[i].kind, std::get<2>(c.rows[i])) << c.name;
            EXPECT_EQ(parse.rows[i].count, "1") << c.name;
        }
    }
}

TEST(ModuleList, DefinedNamesGoWithTheVerilogModulesAfterThemAndNotesAreCollected) {
    ModuleListParse parse =
        ParseModuleList("F0-/s/a.v\r\nM-a\r\nD-W WIDE\r\nF0-/s/b.v\r\nM-b\r\nF1-/s/e.vhd\r\nM-e\r\n"
                        "F0-/s/c.v\r\nM-c\r\nD-\r\nF0-/s/d.v\r\nM-d\r\n"
                        "C0-f\t/s/f.v\tUSE_FEATURE\r\nC1-g\t/s/g.v\tNO_G\r\nC0-broken\r\n"
                        "B-/s/tool.bin\r\nL-/s/top.v\t33554432\r\n");
    EXPECT_FALSE(parse.badFormat);
    ASSERT_EQ(parse.rows.size(), 5u);
    const char* defined[] = {nullptr, "W WIDE", nullptr, "W WIDE", nullptr};
    for (std::size_t i = 0; i < parse.rows.size(); ++i) {
        SCOPED_TRACE(parse.rows[i].module);
        if (defined[i] == nullptr)
            EXPECT_EQ(parse.rows[i].defined, nullptr);
        else
            EXPECT_EQ(*parse.rows[i].defined, defined[i]);
    }
    ASSERT_EQ(parse.dropped.size(), 2u);
    EXPECT_EQ(parse.dropped[0].module, "f");
    EXPECT_EQ(parse.dropped[0].path, "/s/f.v");
    EXPECT_EQ(parse.dropped[0].macro, "USE_FEATURE");
    EXPECT_FALSE(parse.dropped[0].macroDefined);
    EXPECT_TRUE(parse.dropped[1].macroDefined);
    EXPECT_EQ(parse.binaryFiles, std::vector<std::string>{"/s/tool.bin"});
    ASSERT_EQ(parse.cappedSources.size(), 1u);
    EXPECT_EQ(parse.cappedSources[0].path, "/s/top.v");
    EXPECT_EQ(parse.cappedSources[0].bound, "33554432");
    EXPECT_EQ(ModuleListWarnings(parse),
              (std::vector<std::string>{
                  "The module f in /s/f.v is not listed: it stands in a branch that needs the "
                  "macro USE_FEATURE defined, and no source defines it.",
                  "The module g in /s/g.v is not listed: it stands in a branch that needs the "
                  "macro NO_G undefined, and a source defines it.",
                  "The source file /s/tool.bin holds a NUL byte; it was skipped as a binary file, "
                  "not HDL text.",
                  "The includes of the source file /s/top.v exceed 33554432 bytes of included "
                  "text; the includes past that were read as empty."}));
}

TEST_F(ModuleWizardTest, NextLogsWhatTheScanLeftOutBeforeItsMessage) {
    // Regression: a file whose only module sat in a branch not taken, or a binary file, ended in
    // "Found no module in the files." and nothing said which file or why.
    std::string a = Source("feature.v");
    Engine("write", "C0-feature\t" + a + "\tUSE_FEATURE\r\nB-/s/tool.bin\r\n");
    std::vector<std::string> logAtMessage;
    prompt_.OnShow = [&](const std::string&) { logAtMessage = project_.log; };
    wizard_.Open('N', false);
    wizard_.AddSourceFile(a);
    prompt_.ExpectMessage("Found no module in the files.");
    EXPECT_FALSE(wizard_.Next());
    EXPECT_EQ(logAtMessage,
              (std::vector<std::string>{
                  "Warning: The module feature in " + a +
                      " is not listed: it stands in a branch that needs the macro USE_FEATURE "
                      "defined, and no source defines it.",
                  "Warning: The source file /s/tool.bin holds a NUL byte; it was skipped as a "
                  "binary file, not HDL text."}));
}

TEST_F(ModuleWizardTest, AddSourceFileStoresAbsolutePathsAndComparesThemExactly) {
    std::string lower = Source("a.v");
    std::string upper = Source("A.v");
    fs::current_path(srcDir_);
    EXPECT_EQ(wizard_.AddSourceFile("a.v"), AddSourceResult::Added);
    EXPECT_EQ(wizard_.AddSourceFile("./a.v"), AddSourceResult::Duplicate);
    EXPECT_EQ(wizard_.AddSourceFile(lower), AddSourceResult::Duplicate);
    // Two names in different letter case are two files here.
    EXPECT_EQ(wizard_.AddSourceFile("A.v"), AddSourceResult::Added);
    EXPECT_EQ(wizard_.AddSourceFile("missing.v"), AddSourceResult::Missing);
    EXPECT_EQ(wizard_.AddSourceFile(srcDir_.string()), AddSourceResult::Missing);
    EXPECT_EQ(wizard_.AddSourceFile(""), AddSourceResult::Missing);
    ASSERT_EQ(wizard_.Files.size(), 2u);
    EXPECT_EQ(wizard_.Files[0].path, lower);
    EXPECT_EQ(wizard_.Files[1].path, upper);
    EXPECT_EQ(wizard_.Files[0].kind, VerilogKind);
    // A later change of directory does not change what the rows name.
    fs::current_path(root_);
    EXPECT_TRUE(fs::exists(wizard_.Files[0].path));
}

TEST_F(ModuleWizardTest, AddSourceFileRefusesNamesThatWouldBreakTheRequestFile) {
    for (const char* name : {"tab\there.v", "line\nbreak.v", "carriage\rreturn.v"}) {
        std::string path = Source(name);
        EXPECT_EQ(wizard_.AddSourceFile(path), AddSourceResult::Refused) << name;
    }
    EXPECT_TRUE(wizard_.Files.empty());
    ASSERT_EQ(project_.log.size(), 3u);
    EXPECT_EQ(project_.log[0], "Warning: Ignore the source file " + srcDir_.string() +
                                   "/tab\\there.v: a TAB or a line break in its name is not "
                                   "supported.");
}

TEST_F(ModuleWizardTest, AddEmptiesTheFileFieldForTheNextPath) {
    // Regression: the field kept the path, and the next one typed was joined onto it.
    std::string a = Source("a.v");
    std::string b = Source("b.v");
    wizard_.Open('N', false);
    for (const std::string& path : {a, b, a}) {
        wizard_.SetAddFileText(path);
        wizard_.AddClick();
        EXPECT_EQ(wizard_.AddFileText, "");
        EXPECT_FALSE(wizard_.Layout().addEnabled);
    }
    ASSERT_EQ(wizard_.Files.size(), 2u);
    EXPECT_EQ(wizard_.Files[1].path, b);
}

TEST_F(ModuleWizardTest, GivenSourcesThatDoNotExistAreNamedOnceEachAndTheOthersListed) {
    std::string a = Source("a.v");
    std::string b = Source("b.vhd");
    const std::string gone = (srcDir_ / "gone.v").string();
    wizard_.Open('N', false);
    wizard_.AddGivenSources({gone, a, "also-gone.v", b, a});
    ASSERT_EQ(wizard_.Files.size(), 2u);
    EXPECT_EQ(wizard_.Files[0].path, a);
    EXPECT_EQ(wizard_.Files[1].path, b);
    EXPECT_EQ(project_.log,
              (std::vector<std::string>{
                  "Warning: The source file " + gone + " does not exist; it is not listed.",
                  "Warning: The source file also-gone.v does not exist; it is not listed."}));
}

TEST_F(ModuleWizardTest, FilePageCommandsKeepTheListAndItsButtonsInStep) {
    std::string a = Source("a.v");
    std::string b = Source("b.vhd");
    std::string c = Source("c.txt");
    wizard_.Open('N', false);
    EXPECT_EQ(wizard_.Layout().caption, "ZUN New Project - File Settings");
    EXPECT_FALSE(wizard_.Layout().nextEnabled);
    EXPECT_FALSE(wizard_.Layout().clearEnabled);
    EXPECT_EQ(wizard_.Layout().filesColumnCaption, "Selected Files (0)");

    wizard_.SetAddFileText(a + "x");
    EXPECT_FALSE(wizard_.Layout().addEnabled);
    wizard_.SetAddFileText(a);
    EXPECT_TRUE(wizard_.Layout().addEnabled);
    wizard_.AddClick();
    wizard_.AddChosenFiles({b, c, a});
    wizard_.DropFiles({c});
    EXPECT_EQ(wizard_.Layout().filesColumnCaption, "Selected Files (3)");
    EXPECT_TRUE(wizard_.Layout().nextEnabled);
    EXPECT_FALSE(wizard_.Layout().removeFilesEnabled);
    EXPECT_FALSE(wizard_.KindMenuVisible());
    EXPECT_EQ(wizard_.Files[1].kind, VhdlKind);
    EXPECT_EQ(wizard_.Files[2].kind, AutoKind);

    wizard_.Files[0].selected = true;
    wizard_.Files[2].selected = true;
    wizard_.SetupWizardPage();
    EXPECT_TRUE(wizard_.Layout().removeFilesEnabled);
    EXPECT_TRUE(wizard_.KindMenuVisible());
    wizard_.SetKindOfSelected(VhdlKind);
    EXPECT_EQ(wizard_.Files[0].kind, VhdlKind);
    EXPECT_EQ(wizard_.Files[1].kind, VhdlKind);
    EXPECT_EQ(wizard_.Files[2].kind, VhdlKind);
    wizard_.RemoveSelectedFiles();
    ASSERT_EQ(wizard_.Files.size(), 1u);
    EXPECT_EQ(wizard_.Files[0].path, b);
    wizard_.ClearFiles();
    EXPECT_TRUE(wizard_.Files.empty());
    EXPECT_EQ(wizard_.Layout().filesColumnCaption, "Selected Files (0)");

    // An opener that filled the list keeps it; every other one starts empty.
    wizard_.AddSourceFile(a);
    wizard_.Open('A', true);
    EXPECT_EQ(wizard_.Files.size(), 1u);
    wizard_.Open('A', false);
    EXPECT_TRUE(wizard_.Files.empty());
}

TEST_F(ModuleWizardTest, DropsAreTakenOnTheFilePageOnly) {
    std::string a = Source("a.v");
    OnModulePage('N', {Row("m")});
    EXPECT_FALSE(wizard_.Layout().acceptDrops);
    wizard_.DropFiles({a});
    EXPECT_TRUE(wizard_.Files.empty());
    wizard_.Prev();
    EXPECT_TRUE(wizard_.Layout().acceptDrops);
    wizard_.DropFiles({a});
    EXPECT_EQ(wizard_.Files.size(), 1u);
    EXPECT_EQ(wizard_.Modules.size(), 1u) << "Prev keeps the module list";
}

TEST_F(ModuleWizardTest, ModulePageLayoutByMode) {
    struct Case {
        char mode;
        const char* caption;
        std::string topText;
        bool topEnabled;
        int width;
        bool inherit;
        bool countLabels;
    };
    project_.topName = "chip";
    const Case cases[] = {
        {'N', "ZUN New Project - Module Settings", "mytop", true, 233, false, true},
        {'A', "Add New Modules - Module Settings", "chip", false, 233, false, true},
        {'T', "Import Top Port - Module Settings", "chip", false, 180, true, false},
        {'U', "Update Module - Module Settings", "chip", false, 233, false, false},
    };
    for (const Case& c : cases) {
        wizard_.TopModuleText = "mytop";
        OnModulePage(c.mode, {Row("m1"), Row("m2")});
        const WizardPageLayout& l = wizard_.Layout();
        EXPECT_EQ(l.caption, c.caption);
        EXPECT_EQ(wizard_.TopModuleText, c.topText) << c.mode;
        EXPECT_EQ(l.topNameEnabled, c.topEnabled) << c.mode;
        EXPECT_EQ(l.topNameWidth, c.width) << c.mode;
        EXPECT_EQ(l.inheritTypeVisible, c.inherit) << c.mode;
        EXPECT_EQ(l.countLabelsVisible, c.countLabels) << c.mode;
        EXPECT_TRUE(l.okEnabled) << c.mode;
        EXPECT_FALSE(l.removeModulesEnabled) << c.mode;
        EXPECT_FALSE(l.acceptDrops) << c.mode;
    }
    const char* fileCaptions[] = {"Add New Modules - File Settings",
                                  "Import Top Port - File Settings",
                                  "Update Module - File Settings"};
    const char modes[] = {'A', 'T', 'U'};
    for (int i = 0; i < 3; ++i) {
        wizard_.Open(modes[i], false);
        EXPECT_EQ(wizard_.Layout().caption, fileCaptions[i]);
    }
    OnModulePage('N', {Row("m1")});
    wizard_.Modules[0].selected = true;
    wizard_.SetupWizardPage();
    EXPECT_TRUE(wizard_.Layout().removeModulesEnabled);
    EXPECT_TRUE(wizard_.Layout().countButtonsEnabled);
    wizard_.RemoveSelectedModules();
    EXPECT_FALSE(wizard_.Layout().okEnabled);
}

TEST_F(ModuleWizardTest, InstanceCountsStayWholeNumbersInTheirRange) {
    struct Case {
        const char* name;
        std::string before;
        char action; // '+', '-', or 'e' for an edit in place with `typed`
        std::string typed;
        std::string after;
        bool accepted;
    };
    const std::string max = std::to_string(MaxInstanceCount);
    const Case cases[] = {
        {"plus", "1", '+', "", "2", true},
        {"minus stops at one", "1", '-', "", "1", true},
        {"minus", "5", '-', "", "4", true},
        {"plus on text gives one", "abc", '+', "", "1", true},
        {"minus on text gives one", "x", '-', "", "1", true},
        {"plus stops at the maximum", max, '+', "", max, true},
        {"edit a number", "1", 'e', "7", "7", true},
        {"edit with plus sign", "1", 'e', "+3", "3", true},
        // Regression: an edited count was stored unchecked and the module logged as added.
        {"edit text refused", "3", 'e', "abc", "3", false},
        {"edit negative refused", "3", 'e', "-2", "3", false},
        {"edit zero refused", "3", 'e', "0", "3", false},
        {"edit huge refused", "3", 'e', "99999999999999999999", "3", false},
        {"edit over maximum refused", "3", 'e', std::to_string(MaxInstanceCount + 1), "3", false},
        {"edit empty refused", "3", 'e', "", "3", false},
        {"edit with blank refused", "3", 'e', "4 ", "3", false},
    };
    for (const Case& c : cases) {
        OnModulePage('N', {Row("m", c.before), Row("other", "5")});
        wizard_.Modules[0].selected = true;
        bool accepted = true;
        if (c.action == '+')
            wizard_.Plus();
        else if (c.action == '-')
            wizard_.Minus();
        else
            accepted = wizard_.EditCount(0, c.typed);
        EXPECT_EQ(wizard_.Modules[0].count, c.after) << c.name;
        EXPECT_EQ(accepted, c.accepted) << c.name;
        EXPECT_EQ(wizard_.Modules[1].count, "5") << c.name << ": an unselected row changed";
    }
    EXPECT_FALSE(wizard_.EditCount(9, "2"));
}

TEST_F(ModuleWizardTest, SortAlternatesWithOneFlagForBothListsAndIgnoresLetterCase) {
    OnModulePage('N', {Row("beta", "9", "/s/b.v"), Row("Alpha", "10", "/s/c.v"),
                       Row("gamma", "2", "/s/A.v")});
    auto modules = [this] {
        std::vector<std::string> m;
        for (const ModuleRow& r : wizard_.Modules)
            m.push_back(r.module);
        return m;
    };
    EXPECT_FALSE(wizard_.SortAscending);
    wizard_.SortModules(1); // the first sort after start-up is descending
    EXPECT_EQ(modules(), (std::vector<std::string>{"gamma", "beta", "Alpha"}));
    EXPECT_EQ(wizard_.SortColumn, 1);
    EXPECT_TRUE(wizard_.SortAscending);
    wizard_.SortModules(0); // counts compare as text: "10" < "2" < "9"
    EXPECT_EQ(modules(), (std::vector<std::string>{"Alpha", "gamma", "beta"}));
    wizard_.SortModules(2);
    EXPECT_EQ(modules(), (std::vector<std::string>{"Alpha", "beta", "gamma"}))
        << "descending by path: c.v, b.v, A.v";
    EXPECT_EQ(wizard_.SortColumn, 2);

    wizard_.Files = {{"/s/b.v", 0, false}, {"/s/A.v", 0, false}, {"/s/c.v", 0, false}};
    wizard_.SortFiles(0); // the flag is shared: now ascending
    EXPECT_EQ(wizard_.Files[0].path, "/s/A.v");
    EXPECT_EQ(wizard_.Files[2].path, "/s/c.v");
    EXPECT_EQ(wizard_.SortColumn, 0);
}

// One row per message of "OK", in the order the checks run.
TEST_F(ModuleWizardTest, OkChecksRefuseWithTheirMessages) {
    struct Case {
        const char* name;
        char mode;
        std::vector<std::string> modules;
        std::string top;
        std::set<std::string> used;
        std::optional<std::string> message;
    };
    const Case cases[] = {
        {"duplicate module",
         'N',
         {"a", "b", "a", "b"},
         "mytop",
         {},
         "Error: Only one \"a\" module can exist."},
        {"first duplicate pair wins",
         'N',
         {"x", "b", "c", "b", "x"},
         "mytop",
         {},
         "Error: Only one \"x\" module can exist."},
        {"duplicates compare with case", 'N', {"a", "A"}, "mytop", {}, std::nullopt},
        {"add: module already used",
         'A',
         {"a", "b"},
         "top",
         {"b"},
         "The module b already exists in the project."},
        {"update: module not used",
         'U',
         {"a", "b"},
         "top",
         {"a"},
         "Can not update the module b for it does not exist in the project."},
        {"module named as the top",
         'N',
         {"a", "mytop"},
         "mytop",
         {},
         "The module mytop can not be identical to the top module."},
        {"update: module named as the top",
         'U',
         {"top"},
         "top",
         {"top"},
         "The module top can not be identical to the top module."},
        {"import: module may share the top's name", 'T', {"top"}, "top", {}, std::nullopt},
        {"top name illegal", 'N', {"a"}, "9top", {}, "Invalid top module name."},
        {"add without a top module", 'A', {"a"}, "", {}, "Invalid top module name."},
        {"top name with U_", 'N', {"a"}, "U_top", {}, "Top module name can not begin with \"U_\"."},
        {"top name with u_ passes", 'N', {"a"}, "u_top", {}, std::nullopt},
        {"top name with underscore passes", 'N', {"a"}, "_top", {}, std::nullopt},
        {"all well", 'A', {"a", "b"}, "top", {"c"}, std::nullopt},
    };
    for (const Case& c : cases) {
        project_.usedModules = c.used;
        project_.topName = c.top;
        std::vector<ModuleRow> rows;
        for (const std::string& m : c.modules)
            rows.push_back(Row(m));
        OnModulePage(c.mode, rows);
        wizard_.TopModuleText = c.top;
        EXPECT_EQ(wizard_.ValidateOk(), c.message) << c.name;
    }
}

TEST_F(ModuleWizardTest, RefusedOkShowsItsMessageAndStaysOnTheModulePage) {
    OnModulePage('N', {Row("a")});
    wizard_.TopModuleText = "U_x";
    prompt_.ExpectMessage("Top module name can not begin with \"U_\".");
    EXPECT_FALSE(wizard_.Ok());
    EXPECT_FALSE(wizard_.FilePage);
    EXPECT_TRUE(WorkFilesLeft().empty()) << "nothing is written before the checks pass";
}

TEST_F(ModuleWizardTest, RequestFileByMode) {
    project_.rule = "u_%M_%D";
    project_.names.instances = {{"top", ""}, {"u_add_0", "add"}};
    project_.names.wires = {"w1", "w2"};
    project_.names.topPorts = {"clk", "rst"};
    std::vector<ModuleRow> rows = {Row("add", "3", "/s/a.v", 0), Row("ent", "2", "/s/b.vhd", 1)};
    struct Case {
        char mode;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {'N', {"R-u_%M_%D", "EI-mytop", "F0-/s/a.v", "M-add\t3", "F1-/s/b.vhd", "M-ent\t2"}},
        {'A',
         {"R-u_%M_%D", "EI-top", "ET-", "EI-u_add_0", "ET-add", "EW-w1", "EW-w2", "EP-clk",
          "EP-rst", "F0-/s/a.v", "M-add\t3", "F1-/s/b.vhd", "M-ent\t2"}},
        {'T', {"R-u_%M_%D", "F0-/s/a.v", "M-add\t1", "F1-/s/b.vhd", "M-ent\t1"}},
        {'U', {"R-u_%M_%D", "F0-/s/a.v", "M-add\t1", "F1-/s/b.vhd", "M-ent\t1"}},
    };
    for (const Case& c : cases) {
        wizard_.TopModuleText = "mytop";
        OnModulePage(c.mode, rows);
        if (c.mode == 'N')
            wizard_.TopModuleText = "mytop";
        EXPECT_EQ(wizard_.ModuleRequestLines(), c.lines) << c.mode;
    }
}

TEST_F(ModuleWizardTest, RequestHandsBackTheNamesTheScanSawWhereTheyChange) {
    auto names = [](const char* text) { return std::make_shared<const std::string>(text); };
    std::vector<ModuleRow> rows = {Row("a", "1", "/s/a.v"), Row("b", "1", "/s/b.v"),
                                   Row("c", "1", "/s/c.v"), Row("e", "1", "/s/e.vhd", VhdlKind),
                                   Row("d", "1", "/s/d.v"), Row("f", "1", "/s/f.v")};
    rows[1].defined = names("WIDE");
    rows[2].defined = names("WIDE");
    rows[3].defined = names("IGNORED");
    rows[5].defined = names("W WIDE");
    OnModulePage('U', rows);
    EXPECT_EQ(
        wizard_.ModuleRequestLines(),
        (std::vector<std::string>{"R-u_%M_%D", "F0-/s/a.v", "M-a\t1", "D-WIDE", "F0-/s/b.v",
                                  "M-b\t1", "F0-/s/c.v", "M-c\t1", "F1-/s/e.vhd", "M-e\t1", "D-",
                                  "F0-/s/d.v", "M-d\t1", "D-W WIDE", "F0-/s/f.v", "M-f\t1"}));
}

TEST_F(ModuleWizardTest, TopSelectorByMode) {
    struct Case {
        char mode;
        bool inherit;
        const char* selector;
    };
    const Case cases[] = {{'N', true, "chip"},
                          {'A', true, ""},
                          {'U', false, ""},
                          {'T', true, "*T"},
                          {'T', false, "*t"}};
    for (const Case& c : cases) {
        wizard_.PrjMode = c.mode;
        wizard_.InheritType = c.inherit;
        wizard_.TopModuleText = "chip";
        EXPECT_EQ(wizard_.TopSelector(), c.selector) << c.mode << c.inherit;
    }
}

TEST_F(ModuleWizardTest, NextListsTheScannedModulesWithCountOne) {
    std::string a = Source("a.v");
    std::string b = Source("b.vhd");
    wizard_.Open('N', false);
    wizard_.AddChosenFiles({a, b});
    wizard_.Modules = {Row("old", "7")};
    Engine("write", "F0-" + a + "\r\nM-adder\r\nM-mux\r\nF1-" + b + "\r\nM-ent\r\n");
    EXPECT_TRUE(wizard_.Next());
    EXPECT_FALSE(wizard_.FilePage);
    EXPECT_EQ(wizard_.Layout().caption, "ZUN New Project - Module Settings");
    ASSERT_EQ(wizard_.Modules.size(), 3u);
    EXPECT_EQ(wizard_.Modules[0].module, "adder");
    EXPECT_EQ(wizard_.Modules[2].module, "ent");
    EXPECT_EQ(wizard_.Modules[2].path, b);
    EXPECT_EQ(wizard_.Modules[2].kind, VhdlKind);
    EXPECT_EQ(wizard_.Modules[0].count, "1");
    EXPECT_TRUE(WorkFilesLeft().empty());
}

TEST_F(ModuleWizardTest, NextFailuresKeepTheFilePage) {
    struct Case {
        const char* name;
        const char* engine; // nullptr: no engine in the program directory
        std::string output;
        std::vector<std::string> messages;
        std::size_t rows;
    };
    const Case cases[] = {
        {"engine missing", nullptr, "", {"Can't read HDL source files."}, 0},
        {"engine crashes", "crash", "", {"Can't read HDL source files."}, 0},
        {"unreadable sources", "nothing", "", {"Operation failed."}, 0},
        {"no module", "write", "", {"Found no module in the files."}, 0},
        {"unknown kind first",
         "write",
         "F2-/s/x\r\nM-a\r\n",
         {"Error: Unrecognized Format.", "Found no module in the files."},
         0},
    };
    std::string a = Source("a.v");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.engine == nullptr) {
            fs::remove(appDir_ / "qve");
        } else {
            if (!fs::exists(appDir_ / "qve"))
                fs::copy_file(fs::path(ZUN_FAKE_ENGINE_DIR) / "qve", appDir_ / "qve");
            Engine(c.engine, c.output);
        }
        wizard_.Open('N', false);
        wizard_.AddSourceFile(a);
        ScriptedPrompt prompt;
        for (const std::string& m : c.messages)
            prompt.ExpectMessage(m);
        EngineRunner runner(appDir_.string(), workDir_.string());
        runner.SetWatchdog(20s);
        ModuleWizard wizard(prompt, runner);
        wizard.SetProject(&project_);
        wizard.Files = wizard_.Files;
        EXPECT_FALSE(wizard.Next());
        EXPECT_TRUE(wizard.FilePage);
        EXPECT_EQ(wizard.Modules.size(), c.rows);
        EXPECT_EQ(wizard.Layout().caption, "ZUN New Project - File Settings");
    }
}

TEST_F(ModuleWizardTest, AnEngineThatCannotStartIsNamedInTheLogBeforeEitherJobsMessage) {
    fs::remove(appDir_ / "qve");
    std::string started = "Error: The HDL engine " + (appDir_ / "qve").string() +
                          " could not be started: No such file or directory.";
    std::vector<std::string> logAtMessage;
    prompt_.OnShow = [&](const std::string&) { logAtMessage = project_.log; };

    wizard_.Open('N', false);
    wizard_.AddSourceFile(Source("a.v"));
    prompt_.ExpectMessage("Can't read HDL source files.");
    EXPECT_FALSE(wizard_.Next());
    EXPECT_EQ(logAtMessage, std::vector<std::string>{started});

    project_.log.clear();
    OnModulePage('N', {Row("m")});
    prompt_.ExpectMessage("Can't read HDL source files.");
    EXPECT_TRUE(wizard_.Ok());
    EXPECT_EQ(logAtMessage, std::vector<std::string>{started});
}

TEST_F(ModuleWizardTest, UnknownKindAfterSomeModulesStillShowsThem) {
    Engine("write", "F0-/s/a.v\r\nM-a\r\nF2-/s/b\r\nM-b\r\n");
    wizard_.Open('N', false);
    wizard_.AddSourceFile(Source("a.v"));
    prompt_.ExpectMessage("Error: Unrecognized Format.");
    EXPECT_TRUE(wizard_.Next());
    ASSERT_EQ(wizard_.Modules.size(), 1u);
    EXPECT_EQ(wizard_.Modules[0].module, "a");
}

TEST_F(ModuleWizardTest, NextAndEveryCloseEndTheHandOff) {
    CountingHandOff handOff;
    wizard_.SetHandOff(&handOff);
    wizard_.SharedOpen = true;
    Engine("write", "");
    wizard_.Open('N', false);
    prompt_.ExpectMessage("Found no module in the files.");
    wizard_.Next();
    EXPECT_FALSE(wizard_.SharedOpen);
    EXPECT_EQ(handOff.closed, 1);
    wizard_.FormClose();
    EXPECT_EQ(handOff.closed, 1) << "closed once only";
    wizard_.SharedOpen = true;
    wizard_.FormClose();
    EXPECT_EQ(handOff.closed, 2);
    EXPECT_FALSE(wizard_.SharedOpen);
}

TEST_F(ModuleWizardTest, OkWritesTheRequestRunsTheJobAndHandsTheTextToTheParser) {
    // The echo engine shows the job's arguments, and the request is saved beside them.
    OnModulePage('N', {Row("add", "2", "/s/a.v"), Row("mux", "1", "/s/a.v")});
    wizard_.TopModuleText = "chip";
    project_.added = {"add", "mux"};
    Engine("echo");
    EXPECT_TRUE(wizard_.Ok());
    EXPECT_TRUE(wizard_.FilePage);
    EXPECT_TRUE(wizard_.ProjectChanged());
    ASSERT_EQ(project_.parsed.size(), 1u);
    std::string w = workDir_.string() + "/";
    EXPECT_EQ(project_.parsed[0].first,
              "[0x1898b5" + w + "qvprj.zun]\n[chip]\n[" + w + "cfg.tmp]\n");
    EXPECT_EQ(project_.parsed[0].second, 'N');
    ASSERT_EQ(project_.opened.size(), 1u);
    EXPECT_EQ(project_.opened[0], std::make_pair('N', w + "qvprj.zun"));
    EXPECT_EQ(project_.pictureUpdates, 1);
    EXPECT_EQ(project_.log,
              (std::vector<std::string>{"Info: Add 2 modules (add). Sourec file:/s/a.v",
                                        "Info: Add 1 module (mux). Sourec file:/s/a.v"}));
    EXPECT_TRUE(WorkFilesLeft().empty());
}

TEST_F(ModuleWizardTest, RequestFileOnDiskHasCrLfLineEnds) {
    OnModulePage('T', {Row("add", "4", "/s/a.v")});
    Engine("nothing");
    prompt_.ExpectMessage("Operation failed.");
    EXPECT_TRUE(wizard_.Ok());
    // A job that left no output keeps its request, so it can be read here.
    EXPECT_EQ(ReadBytes(workDir_ / "cfg.tmp"), "R-u_%M_%D\r\nF0-/s/a.v\r\nM-add\t1\r\n");
}

TEST_F(ModuleWizardTest, EngineFailureAtOkStillClosesWithOkButChangesNothing) {
    struct Case {
        const char* name;
        const char* engine;
        const char* message;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {"engine missing", nullptr, "Can't read HDL source files.", {}},
        {"no output", "nothing", "Operation failed.", {"cfg.tmp"}},
        {"crash", "crash", "Can't read HDL source files.", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.engine == nullptr) {
            fs::remove(appDir_ / "qve");
        } else {
            if (!fs::exists(appDir_ / "qve"))
                fs::copy_file(fs::path(ZUN_FAKE_ENGINE_DIR) / "qve", appDir_ / "qve");
            Engine(c.engine);
        }
        fs::remove(workDir_ / "cfg.tmp");
        project_.log.clear();
        OnModulePage('A', {Row("add")});
        ScriptedPrompt prompt;
        prompt.ExpectMessage(c.message);
        ModuleWizard wizard(prompt, runner_);
        wizard.SetProject(&project_);
        wizard.PrjMode = 'A';
        wizard.Modules = {Row("add")};
        wizard.FilePage = false;
        EXPECT_TRUE(wizard.Ok());
        EXPECT_TRUE(wizard.FilePage);
        EXPECT_FALSE(wizard.ProjectChanged());
        EXPECT_TRUE(project_.parsed.empty());
        EXPECT_EQ(project_.pictureUpdates, 0);
        EXPECT_EQ(WorkFilesLeft(), c.left);
    }
    ASSERT_FALSE(project_.log.empty());
    EXPECT_EQ(project_.log.back(), "Error: The HDL engine did not finish its job (signal 11).");
}

TEST_F(ModuleWizardTest, RequestFileThatCannotBeSavedKeepsTheWizardOpen) {
    runner_.SetDirectories(appDir_.string(), (root_ / "no such dir").string());
    OnModulePage('N', {Row("add")});
    EXPECT_FALSE(wizard_.Ok());
    EXPECT_FALSE(wizard_.FilePage);
    EXPECT_EQ(project_.log,
              (std::vector<std::string>{"Error: Internal Error. Maybe out of memory."}));
}

TEST_F(ModuleWizardTest, ImportAndUpdateLogNoAddedModules) {
    for (char mode : {'T', 'U'}) {
        project_.log.clear();
        project_.usedModules = {"add"};
        OnModulePage(mode, {Row("add", "3")});
        Engine("write", "INPUT\t\t\tclk\r\n");
        EXPECT_TRUE(wizard_.Ok()) << mode;
        EXPECT_TRUE(project_.log.empty()) << mode;
        EXPECT_EQ(project_.parsed.back().second, mode);
        EXPECT_EQ(project_.parsed.back().first, "INPUT\t\t\tclk\r\n");
    }
}

} // namespace
