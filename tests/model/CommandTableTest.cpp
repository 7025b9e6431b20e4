// The command table as the code relies on it: each name once, every command the code names by
// hand present, and a name that is not there failing loudly.
#include "editor/model/Commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

TEST(CommandTable, EveryNameIsThereOnceAndFindsItsOwnRow) {
    std::set<std::string_view> seen;
    for (const CommandDef& c : CommandTable()) {
        EXPECT_TRUE(seen.insert(c.name).second) << c.name << " twice";
        EXPECT_EQ(FindCommand(c.name), &c) << c.name;
        EXPECT_EQ(&RequireCommand(c.name), &c) << c.name;
    }
    EXPECT_EQ(FindCommand("Undo "), nullptr);
    EXPECT_EQ(FindCommand("undo"), nullptr);
}

TEST(CommandTable, MenusAndToolBarShowOnlyCommandsOfTheTable) {
    std::vector<const MenuNode*> open;
    for (const MenuNode& m : MainMenuTable())
        open.push_back(&m);
    while (!open.empty()) {
        const MenuNode* n = open.back();
        open.pop_back();
        if (!n->command.empty() && n->command != "-") {
            EXPECT_NE(FindCommand(n->command), nullptr) << n->command;
        }
        for (const MenuNode& child : n->children)
            open.push_back(&child);
    }
    for (const ToolSlot& s : ToolBarTable())
        if (!s.command.empty()) {
            EXPECT_NE(FindCommand(s.command), nullptr) << s.button;
        }
}

using CommandTableDeathTest = testing::Test;

TEST(CommandTableDeathTest, ANameMissingFromTheTableFailsLoudly) {
#ifdef NDEBUG
    EXPECT_THROW(RequireCommand("FileSavePrjj"), std::logic_error);
#else
    EXPECT_DEATH(RequireCommand("FileSavePrjj"),
                 "no command \"FileSavePrjj\" in the command table");
#endif
}

// Every command name the editor's sources write as a literal where a command is meant: given a
// handler, looked up, pressed or enabled by name.
std::vector<std::pair<std::string, std::string>> CommandNamesInSources() {
    static const std::vector<std::string> calls = {
        "SetHandler(\"", "Action(\"",         "Down(\"",       "ClickButton(\"",
        "RunCommand(\"", "RefreshEnabled(\"", "HasHandler(\"", "RequireCommand(\""};
    std::vector<std::pair<std::string, std::string>> names;
    const fs::path root = fs::path(ZUN_TEST_DATA).parent_path().parent_path() / "editor";
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const fs::path& p = entry.path();
        if (!entry.is_regular_file() || (p.extension() != ".cpp" && p.extension() != ".h"))
            continue;
        std::ifstream in(p);
        std::stringstream text;
        text << in.rdbuf();
        const std::string s = text.str();
        for (const std::string& call : calls)
            for (std::size_t at = s.find(call); at != std::string::npos;
                 at = s.find(call, at + 1)) {
                // A longer name ending in the call's (SetHandlerX) is another function.
                if (at > 0 &&
                    (std::isalnum(static_cast<unsigned char>(s[at - 1])) || s[at - 1] == '_'))
                    continue;
                const std::size_t begin = at + call.size();
                const std::size_t end = s.find('"', begin);
                names.emplace_back(s.substr(begin, end - begin),
                                   p.lexically_relative(root).string());
            }
    }
    return names;
}

TEST(CommandTable, EveryCommandTheSourcesNameByHandIsInTheTable) {
    const auto names = CommandNamesInSources();
    // The main window alone gives more than ten handlers by name: a scan that finds fewer read
    // nothing.
    ASSERT_GT(names.size(), 10u);
    for (const auto& [name, file] : names)
        EXPECT_NE(FindCommand(name), nullptr) << "\"" << name << "\" in " << file;
}

} // namespace
