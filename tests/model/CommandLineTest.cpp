// The command-line walk of the editor's start-up: which settings file, which project, which
// sources and which log lines each argument list gives.
#include "editor/model/CommandLine.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using Kind = StartupStep::Kind;

const std::string kDefaultIni = "/opt/zun/zun2012.ini";

StartupStep Load(std::string path) {
    return {Kind::LoadSettings, std::move(path), {}};
}
StartupStep Open(std::string path) {
    return {Kind::OpenProject, std::move(path), {}};
}
StartupStep New(std::vector<std::string> sources) {
    return {Kind::NewProject, "", std::move(sources)};
}
StartupStep Error(std::string text) {
    return {Kind::LogError, std::move(text), {}};
}

// The files that exist for every case; relative names are made absolute under /home/u.
const std::set<std::string> kExisting = {"/p/a.zun", "/p/b.zun",    "/p/C.ZUN",       "/p/x.v",
                                         "/p/y.v",   "/etc/my.ini", "/home/u/rel.ini"};

CommandLineFiles Files() {
    return {[](const std::string& p) { return kExisting.count(p) > 0; },
            [](const std::string& p) { return p.front() == '/' ? p : "/home/u/" + p; }};
}

struct Case {
    const char* name;
    std::vector<std::string> args;
    std::vector<StartupStep> steps;
};

const std::vector<Case> kCases = {
    {"NoArgumentsLoadsTheDefaultSettingsAndOpensNothing", {}, {Load(kDefaultIni)}},
    {"ASingleOptionWordIsTakenAsAProjectName",
     {"-open"},
     {Load(kDefaultIni), Error("Can not open the project: -open.")}},
    {"ASingleExistingProjectIsOpened", {"/p/a.zun"}, {Load(kDefaultIni), Open("/p/a.zun")}},
    {"ASingleMissingProjectIsLogged",
     {"/p/gone.zun"},
     {Load(kDefaultIni), Error("Can not open the project: /p/gone.zun.")}},
    {"ASingleSourceFileIsNotAProject",
     {"/p/x.v"},
     {Load(kDefaultIni), Error("Can not open the project: /p/x.v.")}},
    {"TheExtensionTestIgnoresLetterCase", {"/p/C.ZUN"}, {Load(kDefaultIni), Open("/p/C.ZUN")}},
    {"OpenWithTwoProjectsOpensTheFirstOnly",
     {"-open", "/p/a.zun", "/p/b.zun"},
     {Load(kDefaultIni), Open("/p/a.zun")}},
    {"OpenOfAMissingProjectLogsTheOpenFileError",
     {"-open", "/p/gone.zun"},
     {Load(kDefaultIni), Error("Can not open the project file /p/gone.zun.")}},
    {"IniBeforeOpenLoadsTheNamedSettings",
     {"-ini", "/etc/my.ini", "-open", "/p/a.zun"},
     {Load("/etc/my.ini"), Open("/p/a.zun")}},
    {"IniAfterOpenIsIgnored",
     {"-open", "/p/a.zun", "-ini", "/etc/my.ini"},
     {Load(kDefaultIni), Open("/p/a.zun")}},
    {"IniIsMadeAFullPath",
     {"-ini", "rel.ini", "-open", "/p/b.zun"},
     {Load("/home/u/rel.ini"), Open("/p/b.zun")}},
    {"AMissingIniIsLoggedWithItsFullPathAndTheDefaultIsLoaded",
     {"-ini", "none.ini"},
     {Error("Can not find the INI file: /home/u/none.ini."), Load(kDefaultIni)}},
    {"ASecondIniAfterTheSettingsWereLoadedHasNoEffect",
     {"-ini", "none.ini", "-ini", "/etc/my.ini"},
     {Error("Can not find the INI file: /home/u/none.ini."), Load(kDefaultIni)}},
    {"TwoPlainArgumentsOpenNothingAndLoadTheSettingsOnce",
     {"/p/a.zun", "/p/b.zun"},
     {Load(kDefaultIni)}},
    {"NewInAnyLetterCaseHandsEveryFollowingArgumentToTheWizard",
     {"-NEW", "/p/x.v", "/p/y.v"},
     {Load(kDefaultIni), New({"/p/x.v", "/p/y.v"})}},
    {"ArgumentsAfterNewAreSourcesEvenWhenTheyAreOptions",
     {"-ini", "/etc/my.ini", "-new", "/p/x.v", "-open", "/p/a.zun"},
     {Load("/etc/my.ini"), New({"/p/x.v", "-open", "/p/a.zun"})}},
    {"AnOptionWithoutItsArgumentLoadsTheSettings", {"/p/a.zun", "-open"}, {Load(kDefaultIni)}},
};

class CommandLineWalk : public testing::TestWithParam<Case> {};

TEST_P(CommandLineWalk, GivesTheStepsInOrder) {
    const Case& c = GetParam();
    const std::vector<StartupStep> steps = WalkCommandLine(c.args, kDefaultIni, Files());
    ASSERT_EQ(steps.size(), c.steps.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(static_cast<int>(steps[i].kind), static_cast<int>(c.steps[i].kind)) << i;
        EXPECT_EQ(steps[i].path, c.steps[i].path) << i;
        EXPECT_EQ(steps[i].sources, c.steps[i].sources) << i;
    }
}

TEST_P(CommandLineWalk, LoadsTheSettingsExactlyOnce) {
    const std::vector<StartupStep> steps = WalkCommandLine(GetParam().args, kDefaultIni, Files());
    int loads = 0;
    for (const StartupStep& s : steps)
        loads += s.kind == Kind::LoadSettings;
    EXPECT_EQ(loads, 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineWalk, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& param) {
                             return std::string(param.param.name);
                         });

TEST(ProjectExtension, IsTheLastDotOfTheFileNameOnly) {
    EXPECT_TRUE(HasProjectExtension("a.Zun"));
    EXPECT_FALSE(HasProjectExtension("dir.zun/file"));
    EXPECT_FALSE(HasProjectExtension("a.zunx"));
    EXPECT_FALSE(HasProjectExtension("zun"));
}

} // namespace
