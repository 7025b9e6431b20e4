// The bounded random driver over SmartLink rule files: a mutated file is read as a grid of rules
// or refused with the grid left as it was; a grid that was read writes back to the same grid,
// and its rules apply and run on a small design without a crash or a hang. (No seed has failed
// yet; one that does goes into a table of fixed cases, as in the other drivers.)
#include "editor/canvas/SmartLink.h"
#include "editor/canvas/SmartLinkGrid.h"
#include "editor/canvas/SmartLinkWindow.h"
#include "editor/model/ProjectModel.h"

#include "model/ModelText.h"
#include "support/DriverRounds.h"
#include "support/FileFixtures.h"

#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

namespace {

// Words of rule files and of the patterns in them, so that mutations make patterns that compile
// as well as ones that do not, and capture tokens with and without a capture.
const std::vector<std::string> kRuleTokens = {
    "\r\n",  "\n",  "2",   "3", "8",   "9",  "Yes",  "ERR",   "\\w+", "\\d", "%P0",
    "%P1",   "%M1", "%P9", "(", ")",   "(?", "\\",   "*",     "+",    "{",   "[",
    "(\\d)", ".*",  "^",   "$", "\\b", "|",  "(?i)", "(a+)+", "\\1",  "%M0"};

std::vector<std::string> RuleStarts() {
    std::vector<std::string> starts;
    starts.push_back(ReadBytes(std::string(ZUN_TEST_DATA) + "/../../res/default.qvs"));
    starts.push_back(SmartLinkText(DefaultSmartLinkGrid()));
    // A grid as a user leaves it: a rejected rule, a "Once" rule, an added row and a ninth column.
    SmartLinkGrid g(9, 0);
    g.AppendRow({"Ena", "Once", "Menu Des", "Src Instance", "Src Port", "Des Instance", "Des Port",
                 "Description", "Note"});
    g.AppendRow({"Yes", "", "Same Link", "\\w+", "\\w+", "\\w+", "\\b%P0\\b", "same", ""});
    g.AppendRow({"ERR", "Yes", "Broken", "(", "\\w+", "\\w+", "x", "", "n"});
    g.AppendRow({"Yes", "Yes", "Channel", "u(\\d)", "\\w\\w_(\\d)_(\\d)\\w+", "u%M1",
                 "\\w+%P1_%P2\\w+", "", ""});
    g.AppendRow({"Yes", "", "Rule 1", "", "", "", "", "", ""});
    starts.push_back(SmartLinkText(g));
    return starts;
}

RoundOutcome RuleRound(std::uint64_t seed, const std::vector<std::string>& starts) {
    Mutator mutator(seed, kRuleTokens);
    const std::string& start = starts[mutator.Rng().Below(starts.size())];
    const std::string text = mutator.Mutate(start, 6);

    const SmartLinkGrid before = DefaultSmartLinkGrid();
    SmartLinkGrid grid = before;
    if (!ParseSmartLinkText(text, grid)) {
        if (!(grid == before))
            return {"a refused file changed the grid"};
        return {};
    }
    if (grid.ColCount() < ColDesPort + 1 || grid.RowCount() < 2)
        return {"a grid that cannot hold rules was taken"};
    SmartLinkGrid back;
    if (!ParseSmartLinkText(SmartLinkText(grid), back) || !(back == grid))
        return {"the grid did not read back from its own file"};

    // Its rules, applied and run from every port of a small design.
    ProjectModel model;
    model.LineList = LinesFromText(SmallProject);
    model.PrjOpen = true;
    model.UpdatePicExecute(RebuildSender::MainWindow);
    SmartLink engine(model);
    SmartLinkWindow window(model, engine);
    window.StringGrid1 = grid;
    window.Btn1Click();
    const int rules = SmartLinkRuleCount(model);
    if (model.SLRuleWidth != window.StringGrid1.ColCount() - 1 ||
        model.SLRules.size() != static_cast<std::size_t>(rules * model.SLRuleWidth))
        return {"Apply left rules of another width than the grid's"};
    const std::size_t lines = model.LineList.size();
    for (int p = 0; p < static_cast<int>(model.PortList.size()); ++p) {
        std::string summary;
        engine.ApplySmartLinkRules('P', p, -1, summary);
        // The proposals of one port are dropped before the next, as the canvas does.
        model.LineList.resize(lines);
    }
    if (!ParseSmartLinkText(SmartLinkText(window.StringGrid1), back) ||
        !(back == window.StringGrid1))
        return {"the applied grid did not read back from its own file"};
    return {{}, true};
}

constexpr std::uint64_t kRuleDriver = 3;

} // namespace

TEST(RandomRuleFiles, MutatedRuleFilesAreReadOrRefusedAndTheirRulesRun) {
    const std::vector<std::string> starts = RuleStarts();
    const std::size_t rounds = RandomRounds(600);
    const std::size_t taken = RunDriverRounds(
        kRuleDriver, rounds, [&](std::uint64_t seed) { return RuleRound(seed, starts); });
    // A driver whose inputs are all refused tests the refusal only.
    std::cout << taken << " of " << rounds << " mutated rule files read\n";
    EXPECT_GT(taken, rounds / 4);
}
