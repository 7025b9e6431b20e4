// The Smart Link window's state and handlers, without widgets.
#include "editor/canvas/SmartLinkWindow.h"

#include "editor/canvas/SmartLink.h"
#include "editor/model/Documents.h"
#include "editor/model/ProjectModel.h"
#include "editor/model/Prompt.h"

const char* const DefaultRulesMissing =
    "Can't load default SmartLink settings. File missing: default.qvs.";
const char* const DefaultRulesFile = "default.qvs";
const char* const SmartLinkLoadError = "Load error.";
const char* const SmartLinkSaveError = "Save error.";

namespace {

const char* const kYes = "Yes";
const char* const kRejected = "ERR";
const char* const kRuleName = "Rule ";
// Windows' "SmartLink File(*.qvs)|*.qvs" in the chooser's form.
const char* const kFilter = "SmartLink File(*.qvs)";
const char* const kSaveTitle = "Save SmartLink File";
const char* const kOpenTitle = "Open SmartLink File";
const char* const kExtension = "qvs";

constexpr int kDefaultRows = 5;

const std::array<const char*, SmartLinkOptionCount> kOptionTexts = {
    "Find only one result",
    "Hide ports owned unmatched width",
    "Can't draw wires in one instance",
    "Hidden ports occupy no space",
    "Stop when a rule matched",
    "Match case",
};
constexpr std::array<bool, SmartLinkOptionCount> kTickedAtStart = {false, true,  true,
                                                                   false, false, false};

// The pattern columns, in the order Apply validates them.
constexpr std::array<int, 4> kPatternColumns = {ColSrcInstance, ColSrcPort, ColDesInstance,
                                                ColDesPort};

} // namespace

SmartLinkGrid DefaultSmartLinkGrid() {
    SmartLinkGrid g(SmartLinkColumns, 0);
    g.AppendRow({"Ena", "Once", "Menu Des", "Src Instance", "Src Port", "Des Instance", "Des Port",
                 "Description"});
    g.AppendRow({"Yes", "", "Same Link", "\\w+", "\\w+", "\\w+", "\\b%P0\\b",
                 "Link to the same ports, located in any instance."});
    g.AppendRow({"Yes", "", "Channel Link", "\\w+", "\\w\\w_(\\d)_(\\d)\\w+", "\\w+",
                 "\\w+%P1_%P2\\w+", "Link to the same channel ports, located in any instance."});
    while (g.RowCount() < kDefaultRows)
        g.AppendRow({});
    return g;
}

SmartLinkWindow::SmartLinkWindow(ProjectModel& model, SmartLink& engine)
    : model_(model), engine_(engine) {
    for (int i = 0; i < SmartLinkOptionCount; ++i)
        CheckListBox1[static_cast<std::size_t>(i)].Text = kOptionTexts[static_cast<std::size_t>(i)];
}

void SmartLinkWindow::FormCreate() {
    for (int i = 0; i < SmartLinkOptionCount; ++i) {
        CheckListBox1[static_cast<std::size_t>(i)].Checked =
            kTickedAtStart[static_cast<std::size_t>(i)];
        CheckListBox1[static_cast<std::size_t>(i)].Enabled = true;
    }
    StringGrid1 = DefaultSmartLinkGrid();
    if (!LoadSmartLinkFile(model_.AppDir + DefaultRulesFile))
        model_.LogError(DefaultRulesMissing);
    Btn1Click();
}

void SmartLinkWindow::Btn1Click() {
    SmartLinkGrid& g = StringGrid1;
    while (g.RowCount() > 2 && g.RowEmptyFrom(g.RowCount() - 1, ColOnce))
        g.DeleteRow(g.RowCount() - 1);

    model_.SLRules.clear();
    model_.SLRuleWidth = g.ColCount() - 1;
    // A grid narrower than the rules the engine reads holds no rules.
    if (model_.SLRuleWidth >= MinRuleWidth) {
        for (int r = 1; r < g.RowCount(); ++r) {
            if (g.Cell(ColEna, r) != kYes)
                continue;
            bool valid = true;
            for (int c : kPatternColumns)
                if (!engine_.ValidatePattern(g.Cell(c, r))) {
                    valid = false;
                    break;
                }
            if (!valid) {
                g.SetCell(ColEna, r, kRejected);
                continue;
            }
            for (int c = ColOnce; c < g.ColCount(); ++c)
                model_.SLRules.push_back(g.Cell(c, r));
        }
    }

    model_.SLFindOne = CheckListBox1[OptFindOne].Checked;
    model_.SLHideUnmatched = CheckListBox1[OptHideUnmatched].Checked;
    model_.NoSelfWire = CheckListBox1[OptNoSelfWire].Checked;
    model_.HiddenNoSpace = CheckListBox1[OptHiddenNoSpace].Checked;
    model_.SLStopFirstRule = CheckListBox1[OptStopFirstRule].Checked;
    model_.SLCaseSensitive = CheckListBox1[OptCaseSensitive].Checked;
    engine_.CompileRules();
    Btn1Enabled = false;
}

void SmartLinkWindow::Btn6Click() {
    ++RuleCounter;
    StringGrid1.AppendRow({kYes, "", kRuleName + std::to_string(RuleCounter)});
    Btn1Enabled = true;
}

void SmartLinkWindow::SpeedButton1Click() {
    if (StringGrid1.RowCount() <= 2)
        return;
    StringGrid1.DeleteRow(StringGrid1.RowCount() - 1);
    Btn1Enabled = true;
}

void SmartLinkWindow::Btn4Click(Prompt& prompt) {
    const std::optional<std::string> name =
        prompt.SaveFile({kSaveTitle, kFilter, "", "", kExtension});
    if (!name || name->empty())
        return;
    if (!SaveSmartLinkFile(*name))
        prompt.Message(SmartLinkSaveError);
}

void SmartLinkWindow::Btn5Click(Prompt& prompt) {
    const std::optional<std::string> name = prompt.OpenFile({kOpenTitle, kFilter, "", "", ""});
    if (!name || name->empty())
        return;
    if (!LoadSmartLinkFile(*name)) {
        prompt.Message(SmartLinkLoadError);
        return;
    }
    Btn1Click();
}

void SmartLinkWindow::Btn7Click(EditorServices& services) {
    OpenDocument(model_, services, SmartLinkDocument, false);
}

void SmartLinkWindow::ClickOption(int item, bool checked) {
    if (item < 0 || item >= SmartLinkOptionCount)
        return;
    SmartLinkOptionItem& option = CheckListBox1[static_cast<std::size_t>(item)];
    if (!option.Enabled || option.Checked == checked)
        return;
    option.Checked = checked;
    CheckListBox1ClickCheck();
}

void SmartLinkWindow::CheckListBox1ClickCheck() {
    SmartLinkOptionItem& stop = CheckListBox1[OptStopFirstRule];
    if (CheckListBox1[OptFindOne].Checked) {
        stop.Checked = true;
        stop.Enabled = false;
    } else {
        stop.Enabled = true;
    }
    SmartLinkOptionItem& hidden = CheckListBox1[OptHiddenNoSpace];
    if (CheckListBox1[OptHideUnmatched].Checked) {
        hidden.Enabled = true;
    } else {
        hidden.Checked = false;
        hidden.Enabled = false;
    }
    Btn1Enabled = true;
}

void SmartLinkWindow::StringGrid1MouseDown(int col, int row) {
    MouseDownCol = col;
    MouseDownRow = row;
}

void SmartLinkWindow::StringGrid1MouseUp(int col, int row) {
    if (col != MouseDownCol || row != MouseDownRow)
        return;
    if (row < 1 || row >= StringGrid1.RowCount() || (col != ColEna && col != ColOnce))
        return;
    StringGrid1.SetCell(col, row, StringGrid1.Cell(col, row) == kYes ? "" : kYes);
    Btn1Enabled = true;
}

void SmartLinkWindow::EditCell(int col, int row, std::string text) {
    if (col == ColEna || col == ColOnce || row < 1)
        return;
    StringGrid1.SetCell(col, row, std::move(text));
    Btn1Enabled = true;
}

void SmartLinkWindow::MoveRow(int from, int to) {
    if (from < 1 || to < 1)
        return;
    StringGrid1.MoveRow(from, to);
    Btn1Enabled = true;
}

bool SmartLinkWindow::SaveSmartLinkFile(const std::string& fileName, int columns, int rows) const {
    return ::SaveSmartLinkFile(StringGrid1, fileName, columns, rows, &model_.Log);
}

bool SmartLinkWindow::LoadSmartLinkFile(const std::string& fileName) {
    return ::LoadSmartLinkFile(StringGrid1, fileName);
}
