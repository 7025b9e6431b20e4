// The include rules between the layers, on single includes, on a planted tree and through the
// checker program that ctest runs on the real tree.
#include "layering/check/LayerRules.h"

#include "support/ChildProcess.h"
#include "support/FileFixtures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

namespace {

using layering::Forbidden;
using layering::Include;

struct EdgeCase {
    const char* source;
    const char* include;
    bool angle;
    bool allowed;
};

const EdgeCase kEdges[] = {
    // platform/ stands on nothing of ours.
    {"platform/TextFile.cpp", "platform/IoStatus.h", false, true},
    {"platform/TextFile.cpp", "engine/AsciiText.h", false, false},
    {"platform/IniFile.cpp", "editor/model/Settings.h", false, false},
    {"platform/IniFile.cpp", "res/cursors/101.xpm", false, false},
    // The shared PCRE2 wrapper stands on nothing of ours.
    {"regex/Regex.cpp", "regex/Regex.h", false, true},
    {"regex/Regex.cpp", "platform/TextFile.h", false, false},
    {"regex/Regex.cpp", "engine/Patterns.h", false, false},
    // The engine: itself, the platform and the regex wrapper only.
    {"engine/ModuleScan.cpp", "engine/Patterns.h", false, true},
    {"engine/ModuleScan.cpp", "regex/Regex.h", false, true},
    {"engine/TextFile.cpp", "platform/TextFile.h", false, true},
    {"engine/Engine.cpp", "editor/model/ProjectLine.h", false, false},
    {"engine/Engine.cpp", "editor/hdl/EngineRunner.h", false, false},
    // The evaluator: itself and the platform.
    {"editor/expr/Chain.cpp", "platform/AsciiCase.h", false, true},
    {"editor/expr/Chain.cpp", "editor/model/ProjectLine.h", false, false},
    // The model stands below canvas, hdl and app.
    {"editor/model/Rebuild.cpp", "editor/expr/ExprEvaluator.h", false, true},
    {"editor/model/Rebuild.cpp", "platform/Paths.h", false, true},
    {"editor/model/Rebuild.cpp", "editor/canvas/Picture.h", false, false},
    {"editor/model/Rebuild.cpp", "editor/hdl/ModuleWizard.h", false, false},
    {"editor/model/ProjectModel.h", "editor/app/TForm1.h", false, false},
    {"editor/model/Rebuild.cpp", "engine/Patterns.h", false, false},
    {"editor/expr/Grammar.cpp", "regex/Regex.h", false, false},
    {"editor/canvas/SmartLink.cpp", "regex/Regex.h", false, true},
    // Canvas and hdl stand on the model, never on the app; the canvas stands on hdl, never the
    // other way round.
    {"editor/canvas/Picture.cpp", "editor/model/ProjectModel.h", false, true},
    {"editor/canvas/PropertiesPresenter.h", "editor/hdl/WidthConfirmation.h", false, true},
    {"editor/canvas/ui/TPortForm.cpp", "editor/hdl/ui/Hourglass.h", false, true},
    {"editor/hdl/ModuleUpdate.cpp", "editor/canvas/Picture.h", false, false},
    {"editor/hdl/ui/TFormConfWid.cpp", "editor/canvas/ui/TPortForm.h", false, false},
    {"editor/hdl/ui/TFormNewPrj.cpp", "editor/app/TForm1.h", false, false},
    {"editor/canvas/ui/SchematicDrawer.h", "editor/app/TForm1.h", false, false},
    // The shared window pieces: both subsystems' windows and the app use them; they stand on the
    // model and Qt only, and the model knows nothing of them.
    {"editor/canvas/ui/SchematicDrawer.cpp", "editor/widgets/WinColor.h", false, true},
    {"editor/hdl/ui/TFormConfWid.cpp", "editor/widgets/CellEditor.h", false, true},
    {"editor/app/TForm1.h", "editor/widgets/PictureDrawer.h", false, true},
    {"editor/widgets/WinColor.cpp", "editor/model/ColorNames.h", false, true},
    {"editor/widgets/WinColor.cpp", "QApplication", true, true},
    {"editor/widgets/PictureDrawer.h", "editor/canvas/Picture.h", false, false},
    {"editor/widgets/DialogButtons.cpp", "editor/hdl/ui/Hourglass.h", false, false},
    {"editor/widgets/DialogButtons.cpp", "editor/app/TForm1.h", false, false},
    {"editor/widgets/WinColor.cpp", "engine/AsciiText.h", false, false},
    {"editor/model/Settings.cpp", "editor/widgets/WinColor.h", false, false},
    {"editor/expr/Chain.cpp", "editor/widgets/WinColor.h", false, false},
    // The app stands on everything of the editor, never on the engine's code.
    {"editor/app/TForm1.cpp", "editor/canvas/Picture.h", false, true},
    {"editor/app/TForm1.cpp", "editor/hdl/ui/TFormNewPrj.h", false, true},
    {"editor/app/TForm1.cpp", "res/cursors/101.xpm", false, true},
    {"editor/app/TForm1.cpp", "engine/Engine.h", false, false},
    {"editor/main.cpp", "editor/app/TForm1.h", false, true},
    // Nothing includes the tests.
    {"editor/hdl/EngineRunner.cpp", "support/FileFixtures.h", false, false},
    // Qt only in the windows and the program mains.
    {"editor/app/TForm1.cpp", "QMainWindow", true, true},
    {"editor/canvas/ui/SchematicDrawer.cpp", "QPainter", true, true},
    {"editor/hdl/ui/TFormNewPrj.cpp", "QtWidgets/QDialog", true, true},
    {"editor/main.cpp", "QApplication", true, true},
    {"launcher/main.cpp", "QMessageBox", true, true},
    {"editor/model/Settings.cpp", "QSettings", true, false},
    {"editor/canvas/Picture.cpp", "QtCore", true, false},
    {"engine/main.cpp", "QCoreApplication", true, false},
    {"platform/Paths.cpp", "QDir", true, false},
    {"launcher/Launcher.cpp", "QString", true, false},
    {"editor/model/ui/Old.cpp", "QWidget", true, true},
    // Our headers in angle brackets reach the tree through the same include directory.
    {"editor/canvas/SmartLink.cpp", "editor/app/TForm1.h", true, false},
    {"engine/Engine.cpp", "editor/model/ProjectLine.h", true, false},
    {"editor/model/Rebuild.cpp", "editor/model/ProjectModel.h", true, true},
    {"editor/app/TForm1.cpp", "editor/canvas/Picture.h", true, true},
    // System headers and those of other libraries are free everywhere.
    {"platform/Process.cpp", "sys/wait.h", true, true},
    {"regex/Regex.cpp", "pcre2.h", true, true},
    {"editor/model/Rebuild.cpp", "Queue.h", true, true},
};

TEST(LayerRules, EachIncludeIsJudgedByTheLayersOfBothEnds) {
    for (const EdgeCase& c : kEdges) {
        const auto why = Forbidden(c.source, Include{c.include, c.angle});
        EXPECT_EQ(!why.has_value(), c.allowed)
            << c.source << " including " << c.include << (why ? ": " + *why : std::string());
    }
}

TEST(LayerRules, AFileNextToTheSourceIsItsOwnFolder) {
    EXPECT_FALSE(Forbidden("engine/Engine.cpp", Include{"Local.h", false}, true));
    EXPECT_TRUE(Forbidden("engine/Engine.cpp", Include{"Local.h", false}, false));
}

TEST(LayerRules, AFileReachedFromTheSourcesFolderIsJudgedByWhereItLies) {
    // Climbing out of the folder is no way round the layers.
    EXPECT_EQ(Forbidden("editor/canvas/SmartLink.cpp", Include{"../app/TForm1.h", false}, true),
              "editor/canvas may not include editor/app");
    EXPECT_EQ(
        Forbidden("editor/model/Rebuild.cpp", Include{"../../engine/Patterns.h", false}, true),
        "editor/model may not include engine");
    EXPECT_TRUE(Forbidden("platform/Paths.cpp", Include{"../tests/support/InCi.h", false}, true));
    EXPECT_FALSE(Forbidden("editor/app/TForm1.cpp", Include{"../canvas/Picture.h", false}, true));
    EXPECT_FALSE(Forbidden("editor/canvas/ui/TFormSL.cpp", Include{"../SmartLink.h", false}, true));
}

TEST(LayerRules, TheReasonNamesBothLayers) {
    EXPECT_EQ(Forbidden("editor/model/Rebuild.cpp", Include{"editor/canvas/Picture.h", false}),
              "editor/model may not include editor/canvas");
}

TEST(LayerRules, ReadsIncludesAsThePreprocessorDoes) {
    struct Case {
        const char* line;
        const char* path; // nullptr: no include
        bool angle;
    };
    const Case cases[] = {
        {"#include \"editor/model/ProjectLine.h\"", "editor/model/ProjectLine.h", false},
        {"#include <QWidget>", "QWidget", true},
        {"  #  include  <QtCore/QString> // why", "QtCore/QString", true},
        {"#\tinclude\t\"a.h\"", "a.h", false},
        {"// #include \"editor/app/TForm1.h\"", nullptr, false},
        {"#pragma once", nullptr, false},
        {"#include MACRO_HEADER", nullptr, false},
        {"#include \"unterminated", nullptr, false},
        {"", nullptr, false},
    };
    for (const Case& c : cases) {
        const auto include = layering::ParseInclude(c.line);
        if (!c.path) {
            EXPECT_FALSE(include) << c.line;
            continue;
        }
        ASSERT_TRUE(include) << c.line;
        EXPECT_EQ(include->path, c.path) << c.line;
        EXPECT_EQ(include->angle, c.angle) << c.line;
    }
}

// A small tree in the shape of ours, with one forbidden include planted on line 3.
class PlantedTree : public testing::Test {
protected:
    void SetUp() override {
        for (const char* dir : {"platform", "engine", "editor", "editor/model", "editor/app",
                                "editor/canvas", "editor/canvas/ui", "launcher", "tests"})
            ::mkdir(tmp.Path(dir).c_str(), 0755);
        WriteBytes(tmp.Path("platform/TextFile.h"), "#pragma once\n#include <string>\n");
        WriteBytes(tmp.Path("engine/Local.h"), "#pragma once\n");
        WriteBytes(tmp.Path("engine/Engine.cpp"),
                   "#include \"Local.h\"\n#include \"platform/TextFile.h\"\r\n");
        WriteBytes(tmp.Path("editor/model/Rebuild.cpp"),
                   "// The rebuild.\n#include \"editor/model/ProjectModel.h\"\n"
                   "#include \"editor/canvas/Picture.h\"\n#include <vector>\n");
        WriteBytes(tmp.Path("editor/canvas/ui/Drawer.cpp"), "#include <QPainter>\n");
        WriteBytes(tmp.Path("editor/app/TForm1.cpp"),
                   "#include \"editor/canvas/ui/Drawer.h\"\n#include <QMainWindow>\n");
        WriteBytes(tmp.Path("launcher/main.cpp"), "#include <QMessageBox>\n");
        // The tests are not a layer: what they include is theirs.
        WriteBytes(tmp.Path("tests/AnyTest.cpp"), "#include \"editor/app/TForm1.h\"\n");
        WriteBytes(tmp.Path("editor/model/notes.txt"), "#include \"editor/app/TForm1.h\"\n");
    }
    TempDir tmp;
};

TEST_F(PlantedTree, ThePlantedIncludeIsTheOneFoundWithItsFileAndLine) {
    const layering::CheckResult result = layering::CheckTree(tmp.Root());
    EXPECT_EQ(result.filesRead, 7);
    ASSERT_EQ(result.violations.size(), 1u);
    const layering::Violation& v = result.violations[0];
    EXPECT_EQ(v.file, "editor/model/Rebuild.cpp");
    EXPECT_EQ(v.line, 3);
    EXPECT_EQ(layering::Describe(v), "editor/model/Rebuild.cpp:3: #include "
                                     "\"editor/canvas/Picture.h\": editor/model may not include "
                                     "editor/canvas");
}

TEST_F(PlantedTree, QtInTheModelIsFoundToo) {
    WriteBytes(tmp.Path("editor/model/Settings.cpp"), "\n\n\n\n#include <QSettings>\n");
    const layering::CheckResult result = layering::CheckTree(tmp.Root());
    ASSERT_EQ(result.violations.size(), 2u);
    EXPECT_EQ(result.violations[1].file, "editor/model/Settings.cpp");
    EXPECT_EQ(result.violations[1].line, 5);
}

TEST_F(PlantedTree, AnHdlFileThatReachesIntoTheCanvasIsFound) {
    for (const char* dir : {"editor/hdl", "editor/hdl/ui", "editor/widgets"})
        ::mkdir(tmp.Path(dir).c_str(), 0755);
    // The canvas standing on hdl, and both on the shared pieces, pass.
    WriteBytes(tmp.Path("editor/canvas/Presenter.cpp"), "#include \"editor/hdl/Widths.h\"\n");
    WriteBytes(tmp.Path("editor/widgets/Buttons.cpp"), "#include <QPushButton>\n");
    WriteBytes(tmp.Path("editor/hdl/ui/Dialog.cpp"),
               "#include \"editor/widgets/Buttons.h\"\n#include \"editor/canvas/ui/Drawer.h\"\n");
    WriteBytes(tmp.Path("editor/hdl/Widths.cpp"), "\n#include <editor/canvas/Picture.h>\n");
    const layering::CheckResult result = layering::CheckTree(tmp.Root());
    std::vector<std::string> found;
    for (const layering::Violation& v : result.violations)
        found.push_back(layering::Describe(v));
    EXPECT_EQ(found, (std::vector<std::string>{
                         "editor/hdl/Widths.cpp:2: #include <editor/canvas/Picture.h>: editor/hdl "
                         "may not include editor/canvas",
                         "editor/hdl/ui/Dialog.cpp:2: #include \"editor/canvas/ui/Drawer.h\": "
                         "editor/hdl may not include editor/canvas",
                         "editor/model/Rebuild.cpp:3: #include \"editor/canvas/Picture.h\": "
                         "editor/model may not include editor/canvas"}));
}

TEST_F(PlantedTree, IncludesThatClimbOutOfTheirFolderOrUseAngleBracketsAreFoundToo) {
    WriteBytes(tmp.Path("editor/app/TForm1.h"), "#pragma once\n");
    WriteBytes(tmp.Path("editor/canvas/Picture.h"), "#pragma once\n");
    WriteBytes(tmp.Path("editor/canvas/Picture.cpp"),
               "#include \"Picture.h\"\n#include \"../app/TForm1.h\"\n"
               "#include <editor/app/TForm1.h>\n");
    const layering::CheckResult result = layering::CheckTree(tmp.Root());
    std::vector<std::string> found;
    for (const layering::Violation& v : result.violations)
        found.push_back(v.file + ":" + std::to_string(v.line) + ": " + v.reason);
    EXPECT_EQ(found,
              (std::vector<std::string>{
                  "editor/canvas/Picture.cpp:2: editor/canvas may not include editor/app",
                  "editor/canvas/Picture.cpp:3: editor/canvas may not include editor/app",
                  "editor/model/Rebuild.cpp:3: editor/model may not include editor/canvas"}));
}

std::string Program() {
    return std::string(ZUN_BUILD_DIR) + "/check_layers";
}

TEST_F(PlantedTree, TheCheckerFailsAndPrintsTheOffendingLine) {
    TempDir out;
    const int status =
        RunChild({{Program(), tmp.Root()}, out.Root(), out.Path("out"), out.Path("out")});
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string printed = ReadBytes(out.Path("out"));
    EXPECT_NE(printed.find("editor/model/Rebuild.cpp:3: #include \"editor/canvas/Picture.h\""),
              std::string::npos)
        << printed;
}

TEST_F(PlantedTree, TheCheckerFailsOnAnHdlFileThatIncludesTheCanvas) {
    WriteBytes(tmp.Path("editor/model/Rebuild.cpp"), "#include \"editor/model/ProjectModel.h\"\n");
    ::mkdir(tmp.Path("editor/hdl").c_str(), 0755);
    WriteBytes(tmp.Path("editor/hdl/Widths.cpp"), "#include \"editor/canvas/Picture.h\"\n");
    TempDir out;
    const int status =
        RunChild({{Program(), tmp.Root()}, out.Root(), out.Path("out"), out.Path("out")});
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(ReadBytes(out.Path("out"))
                  .find("editor/hdl/Widths.cpp:1: #include \"editor/canvas/Picture.h\": "
                        "editor/hdl may not include editor/canvas"),
              std::string::npos)
        << ReadBytes(out.Path("out"));
}

TEST_F(PlantedTree, TheCheckerPassesOnceTheIncludeIsGone) {
    WriteBytes(tmp.Path("editor/model/Rebuild.cpp"), "#include \"editor/model/ProjectModel.h\"\n");
    TempDir out;
    const int status =
        RunChild({{Program(), tmp.Root()}, out.Root(), out.Path("out"), out.Path("out")});
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << ReadBytes(out.Path("out"));
}

TEST(CheckLayersProgram, ATreeWithoutSourcesIsAFailureNotAPass) {
    TempDir empty, out;
    const int status =
        RunChild({{Program(), empty.Root()}, out.Root(), out.Path("out"), out.Path("out")});
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

} // namespace
