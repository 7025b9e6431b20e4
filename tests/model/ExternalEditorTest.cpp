// The external editor's argument vector: the parameter text split into words, the path put in
// for "%F", and the start through the services.
#include "editor/model/ExternalEditor.h"
#include "editor/model/ProjectModel.h"

#include <gtest/gtest.h>

namespace {

using Words = std::vector<std::string>;

struct SplitCase {
    const char* params;
    Words words;
};

const SplitCase SplitCases[] = {
    {"", {}},
    {"   ", {}},
    {"-n %F", {"-n", "%F"}},
    {"  -a\t\t-b  ", {"-a", "-b"}},
    {"\"%F\"", {"%F"}},
    {"--title \"my file\" +1", {"--title", "my file", "+1"}},
    {"pre\"fix word\"end", {"prefix wordend"}},
    {"-x \"\" -y", {"-x", "", "-y"}},
    {"\"unclosed quote", {"unclosed quote"}},
};

} // namespace

TEST(ExternalEditor, ParametersSplitAtBlanksAndGroupInQuotes) {
    for (const SplitCase& c : SplitCases)
        EXPECT_EQ(SplitEditorParams(c.params), c.words) << c.params;
}

TEST(ExternalEditor, ThePathGoesForEveryPlaceholderInEachWord) {
    ProjectModel m;
    m.EditorProgram = "/opt/ed %F/bin/ed";
    m.EditorParams = "-f %F \"--both=%F,%F\" -q";
    EXPECT_EQ(ExternalEditorCommand(m, "/src/a b.v"),
              (Words{"/opt/ed /src/a b.v/bin/ed", "-f", "/src/a b.v",
                     "--both=/src/a b.v,/src/a b.v", "-q"}));
}

TEST(ExternalEditor, StartsThroughTheServicesAndLogsAFailure) {
    ProjectModel m;
    EditorServices services;
    std::vector<Words> started;
    services.Spawn = [&](const Words& argv) {
        started.push_back(argv);
        return IoStatus::Fail("not found");
    };
    m.EditorProgram = "kate";
    m.EditorParams = "%F";
    EXPECT_FALSE(StartExternalEditor(m, services, "/src/top.v"));
    EXPECT_EQ(started, (std::vector<Words>{{"kate", "/src/top.v"}}));
    EXPECT_EQ(m.Log.Lines(),
              Words{"Error: Can not start the editor kate for /src/top.v: not found"});
    m.EditorProgram.clear();
    EXPECT_FALSE(StartExternalEditor(m, services, "/src/top.v"));
    EXPECT_EQ(started.size(), 1u) << "no program, nothing started";
}
