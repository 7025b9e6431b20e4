// The context menu's items: what a right click offers on an instance header, a port and the
// empty canvas, by the edit mode, the selection and the SmartLink rules.
#include "MenuFixture.h"

#include "editor/canvas/SmartLinkWindow.h"

namespace {

void AddRules(ProjectModel& m, int count) {
    m.SLRules.clear();
    m.SLRuleWidth = 7;
    for (int r = 0; r < count; ++r) {
        const std::vector<std::string> rule = {
            "", "Rule " + std::to_string(r), "\\w+", "\\w+", "\\w+", "\\b%P0\\b", ""};
        m.SLRules.insert(m.SLRules.end(), rule.begin(), rule.end());
    }
}

} // namespace

TEST_F(Menu, ViewAndTopMapModesShowAnEmptyMenu) {
    for (char mode : {'V', 'T'}) {
        view.EditMode = mode;
        EXPECT_TRUE(OnHeader("u1").empty()) << mode;
        EXPECT_TRUE(OnPort("u1", "q").empty()) << mode;
        EXPECT_TRUE(RightClick({5000, 400}).empty()) << mode;
    }
}

TEST_F(Menu, AnInstanceHeaderOffersTheInstanceCommands) {
    const auto& items = OnHeader("u1");
    EXPECT_EQ(Captions(items),
              (Lines{"Isolate", "Update Module...", "Open QEM Project...", "View Source...",
                     "Duplicate", "Delete", "Summary", "List Connections"}));
    EXPECT_EQ(Tags(items), (std::vector<int>{0, 6, 8, 4, 2, 1, 3, 7}));
    EXPECT_EQ(menu.PopupHitKind, 'M');
    EXPECT_EQ(menu.PopupHitIdx, m.FindInstance("u1"));
    // The commands other parts of the editor bring show disabled until they are there.
    for (const PopupItem& i : items)
        EXPECT_EQ(i.Enabled, i.Tag != 6 && i.Tag != 4 && i.Tag != 3) << i.Caption;
    menu.Hooks.MakeModuleSummary = [](const std::string&) {};
    menu.Hooks.UpdateModuleDefinition = [](const std::string&) {};
    host.ShowSourceFile = [](const std::string&) {};
    for (const PopupItem& i : OnHeader("u1"))
        EXPECT_TRUE(i.Enabled) << i.Caption;
}

TEST_F(Menu, TheTopHeaderOffersTheImportOfTopPorts) {
    const auto& items = OnHeader("top");
    EXPECT_EQ(Captions(items),
              (Lines{"Isolate", "Import Top Port", "Summary", "List Connections"}));
    EXPECT_EQ(Tags(items), (std::vector<int>{0, 5, 3, 7}));
    ASSERT_EQ(items[1].Children.size(), 2u);
    EXPECT_EQ(items[1].Children[0].Caption, "From HDL Source");
    EXPECT_EQ(items[1].Children[0].Action, "ImptTopPrt_HDL");
    EXPECT_EQ(items[1].Children[1].Caption, "From Custom Ports List");
    EXPECT_EQ(items[1].Children[1].Action, "ImptTopPrt_Cstm");
}

TEST_F(Menu, TheEmptyCanvasOffersTheMaxHeightOnlyBelowAThirdOfTheClientHeight) {
    EXPECT_EQ(Captions(RightClick({5000, 200})), (Lines{"Add Module", "New Module"}))
        << "200 is not more than 600 / 3";
    const auto& items = RightClick({5000, 201});
    EXPECT_EQ(Captions(items), (Lines{"Here as max client height.", "Add Module", "New Module"}));
    EXPECT_EQ(Tags(items), (std::vector<int>{100, 101, 102}));
    EXPECT_EQ(items[1].Action, "AddMdu") << "Add Module is the action's, not the dispatcher's";
    EXPECT_EQ(menu.PopupHitKind, 'N');
}

TEST_F(Menu, AnUnwiredModulePortOffersMappingAndListingOnly) {
    EXPECT_EQ(Captions(OnPort("u1", "q")), (Lines{"Map to top", "List Connections"}));
    EXPECT_EQ(Tags(menu.Items), (std::vector<int>{1000, 1010}));
    Load("WIRE\tu1\tq\tu2\td\tnq\n");
    EXPECT_EQ(Captions(OnPort("u1", "q")),
              (Lines{"Map to top", "Isolate", "Set as Main Port", "List Connections"}));
    EXPECT_EQ(Tags(menu.Items), (std::vector<int>{1000, 1001, 1008, 1010}));
}

TEST_F(Menu, OneRuleGivesOneSeparatorAndNoApplyAll) {
    AddRules(m, 1);
    EXPECT_EQ(Captions(OnPort("u1", "q")),
              (Lines{"Map to top", "List Connections", "-", "Rule 0"}));
    EXPECT_EQ(menu.Items.back().Tag, 1100);
    EXPECT_EQ(menu.Items.back().Rule, 0);
}

TEST_F(Menu, EachRuleIsAnItemTaggedByItsFirstText) {
    AddRules(m, 3);
    EXPECT_EQ(Captions(OnPort("u1", "q")),
              (Lines{"Map to top", "List Connections", "-", "Apply all rules", "-", "Rule 0",
                     "Rule 1", "Rule 2"}));
    EXPECT_EQ(Tags(menu.Items), (std::vector<int>{1000, 1010, 1009, 1100, 1107, 1114}));
    Select({{"u1", "q"}, {"u2", "q"}});
    OnPort("u1", "q");
    EXPECT_EQ(Tags(menu.Items), (std::vector<int>{2000, 2010, 2009, 2100, 2107, 2114}));
    for (const PopupItem& i : menu.Items)
        EXPECT_TRUE(i.IsSeparator() || i.Multi);
}

TEST_F(Menu, TheSelectionOffsetNeedsTheClickedPortSelectedAmongOthers) {
    Select({{"u2", "q"}, {"u3", "q"}});
    EXPECT_EQ(Tags(OnPort("u1", "q")), (std::vector<int>{1000, 1010})) << "u1.q is not selected";
    Select({{"u1", "q"}});
    EXPECT_EQ(Tags(OnPort("u1", "q")), (std::vector<int>{1000, 1010})) << "only one selected";
}

TEST_F(Menu, TheRuleWhoseTagIsListConnectionsOfTheSelectionStaysARule) {
    // Rule 131 starts at text 910: its Tag on a selection is 1100 + 910 + 1000 = 3010, and on one
    // port 2010, the Tag of List Connections of the selection.
    AddRules(m, 131);
    OnPort("u1", "pad");
    const PopupItem& last = menu.Items.back();
    EXPECT_EQ(last.Caption, "Rule 130");
    EXPECT_EQ(last.Tag, 2010);
    EXPECT_EQ(last.Command, CmdRule);
    EXPECT_EQ(last.Rule, 910);
    std::vector<int> ran;
    menu.Hooks.ApplySmartLinkRules = [&](int, int rule, std::string&) {
        ran.push_back(rule);
        return false;
    };
    menu.PopupItemClick(&last);
    EXPECT_EQ(ran, std::vector<int>{910});
    for (const std::string& line : LogLines())
        EXPECT_EQ(line.find("List Connections"), std::string::npos) << line;
}

TEST_F(Menu, ATopPortOffersItsCommandsByItsWiresAndKind) {
    EXPECT_EQ(Captions(OnPort("top", "din")),
              (Lines{"Delete", "List Connections", "Set to Variant"}));
    EXPECT_EQ(Tags(menu.Items), (std::vector<int>{1005, 1010, 1006}));
    EXPECT_EQ(Captions(OnPort("top", "v")), (Lines{"Delete", "List Connections"}))
        << "already variant";
    Load("WIRE\tu1\td\ttop\tdin\tdin\n");
    EXPECT_EQ(Captions(OnPort("top", "din")), (Lines{"Isolate", "Delete", "List Connections"}));
}

namespace {

struct OutEnCase {
    const char* name;
    const char* assign;  // the project's assignment line, or empty
    const char* caption; // empty: no item
    const char* error;
};

const OutEnCase OutEnCases[] = {
    {"enable compared with one", "ASSIGN\t io = ( W0 ==1'b1)? 1'bz: W2 \n", "OutEn from 0 to 1",
     ""},
    {"enable compared with zero", "ASSIGN\t io = ( W0 ==1'b0)? 1'bz: W2 \n", "OutEn from 1 to 0",
     ""},
    {"no assignment", "", "", "Error: Internal error. Can not find assignment for io."},
};

class OutEnCaptions : public Menu, public ::testing::WithParamInterface<OutEnCase> {};

} // namespace

TEST_P(OutEnCaptions, FollowTheAssignmentOfTheCombinedInout) {
    const OutEnCase& tc = GetParam();
    LoadText(std::string("TOP\t\ttop\nBIDIR\t\t\tio\tY\nMODULE\tcore\tu1\t/s.v\tverilog\n"
                         "BIDIR\t\t\tpad\nWIRE\tu1\tpad\ttop\tio\tW1\n") +
             tc.assign);
    const Lines captions = Captions(OnPort("top", "io"));
    if (*tc.caption)
        EXPECT_EQ(captions.back(), tc.caption);
    else
        EXPECT_EQ(captions, (Lines{"Isolate", "Delete", "List Connections"}));
    EXPECT_EQ(LogLines(), *tc.error ? Lines{tc.error} : Lines{});
    EXPECT_EQ(menu.Items.back().Tag, *tc.caption ? 1007 : 1010);
}

INSTANTIATE_TEST_SUITE_P(ContextMenu, OutEnCaptions, ::testing::ValuesIn(OutEnCases), CaseName());

namespace {

// Top ports a, b, c (8-bit outputs), e (1-bit output), i (8-bit input), j (1-bit input), x (an
// unwired output), cb (a combined output), io (an inout), each wired to a port of u1 but x.
const char* const CombineProject = "TOP\t\ttop\n"
                                   "OUTPUT\t7\t0\ta\n"
                                   "OUTPUT\t7\t0\tb\n"
                                   "OUTPUT\t7\t0\tc\n"
                                   "OUTPUT\t\t\te\n"
                                   "INPUT\t7\t0\ti\n"
                                   "INPUT\t\t\tj\n"
                                   "OUTPUT\t\t\tx\n"
                                   "OUTPUT\t\t\tcb\tY\n"
                                   "BIDIR\t\t\tio\n"
                                   "MODULE\tcore\tu1\t/src/core.v\tverilog\n"
                                   "OUTPUT\t7\t0\tqa\n"
                                   "OUTPUT\t7\t0\tqb\n"
                                   "OUTPUT\t7\t0\tqc\n"
                                   "OUTPUT\t\t\tqe\n"
                                   "INPUT\t7\t0\tdi\n"
                                   "INPUT\t\t\tdj\n"
                                   "OUTPUT\t\t\tqcb\n"
                                   "BIDIR\t\t\tpad\n"
                                   "WIRE\tu1\tqa\ttop\ta\ta\n"
                                   "WIRE\tu1\tqb\ttop\tb\tb\n"
                                   "WIRE\tu1\tqc\ttop\tc\tc\n"
                                   "WIRE\tu1\tqe\ttop\te\te\n"
                                   "WIRE\tu1\tdi\ttop\ti\ti\n"
                                   "WIRE\tu1\tdj\ttop\tj\tj\n"
                                   "WIRE\tu1\tqcb\ttop\tcb\tcb\n"
                                   "WIRE\tu1\tpad\ttop\tio\tio\n";

struct CombineCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> selection; // the first is clicked
    bool combine;
    bool inout;
};

const CombineCase CombineCases[] = {
    {"three outputs", {{"top", "a"}, {"top", "b"}, {"top", "c"}}, true, false},
    {"two inputs", {{"top", "i"}, {"top", "j"}}, true, false},
    {"input, output and enable", {{"top", "i"}, {"top", "a"}, {"top", "e"}}, false, true},
    {"enable first", {{"top", "e"}, {"top", "i"}, {"top", "a"}}, false, true},
    {"a lone port", {{"top", "a"}, {"top", "x"}}, false, false},
    {"a combined port", {{"top", "a"}, {"top", "cb"}}, false, false},
    {"an inout", {{"top", "io"}, {"top", "a"}}, false, false},
    {"mixed directions", {{"top", "a"}, {"top", "i"}}, false, false},
    {"a module port", {{"top", "a"}, {"u1", "qb"}}, false, false},
    {"a module port among the inout's three",
     {{"top", "i"}, {"top", "a"}, {"u1", "qe"}},
     false,
     false},
    {"no one-bit enable", {{"top", "i"}, {"top", "a"}, {"top", "b"}}, false, false},
    {"input and output of other widths", {{"top", "j"}, {"top", "a"}, {"top", "e"}}, false, false},
    {"four ports", {{"top", "i"}, {"top", "a"}, {"top", "e"}, {"top", "b"}}, false, false},
    {"a lone enable", {{"top", "i"}, {"top", "a"}, {"top", "x"}}, false, false},
};

class CombineOffers : public Menu, public ::testing::WithParamInterface<CombineCase> {};

} // namespace

TEST_P(CombineOffers, FollowTheSelection) {
    const CombineCase& tc = GetParam();
    LoadText(CombineProject);
    m.SelList.clear();
    for (const auto& [inst, name] : tc.selection)
        if (std::find(m.SelList.begin(), m.SelList.end(), Index(inst, name)) == m.SelList.end())
            m.SelList.push_back(Index(inst, name));
    const Lines captions =
        Captions(OnPort(tc.selection.front().first, tc.selection.front().second));
    auto has = [&](const char* caption) {
        return std::find(captions.begin(), captions.end(), caption) != captions.end();
    };
    EXPECT_EQ(has("Combine..."), tc.combine) << ::testing::PrintToString(captions);
    EXPECT_EQ(has("Combine to inout..."), tc.inout) << ::testing::PrintToString(captions);
}

INSTANTIATE_TEST_SUITE_P(ContextMenu, CombineOffers, ::testing::ValuesIn(CombineCases), CaseName());

TEST_F(Menu, TheInoutRolesTakeTheFirstOneBitOutputAsTheEnable) {
    LoadText(CombineProject);
    Select({{"top", "e"}, {"top", "i"}, {"top", "a"}});
    const auto roles = InoutRoles(m);
    ASSERT_TRUE(roles);
    EXPECT_EQ(*roles,
              (std::array<int, 3>{Index("top", "i"), Index("top", "a"), Index("top", "e")}));
}
