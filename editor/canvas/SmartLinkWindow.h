// The Smart Link window without its widgets: the rule grid, the six options, Apply and its
// enabled state, the row commands and the rule files. The window shows this state and calls the
// handlers by name.
#pragma once

#include "editor/canvas/SmartLink.h"
#include "editor/canvas/SmartLinkGrid.h"

#include <array>
#include <string>

class ProjectModel;
class Prompt;
struct EditorServices;

// Logged at creation when "default.qvs" cannot be read, whatever the cause.
extern const char* const DefaultRulesMissing;
extern const char* const DefaultRulesFile;   // "default.qvs", in the program directory
extern const char* const SmartLinkLoadError; // "Load error."
extern const char* const SmartLinkSaveError; // "Save error."

// Grid columns: "Ena", then the texts of a rule in the order SLRules holds them.
inline constexpr int ColEna = 0;
inline constexpr int ColOnce = RuleOnce + 1;
inline constexpr int ColMenuDes = RuleMenuCaption + 1;
inline constexpr int ColSrcInstance = RuleSrcInstance + 1;
inline constexpr int ColSrcPort = RuleSrcPort + 1;
inline constexpr int ColDesInstance = RuleDesInstance + 1;
inline constexpr int ColDesPort = RuleDesPort + 1;
inline constexpr int ColDescription = ColDesPort + 1;
inline constexpr int SmartLinkColumns = 8;

// Items of the option list, in order.
enum SmartLinkOption {
    OptFindOne,       // SLFindOne
    OptHideUnmatched, // SLHideUnmatched
    OptNoSelfWire,    // NoSelfWire
    OptHiddenNoSpace, // HiddenNoSpace
    OptStopFirstRule, // SLStopFirstRule
    OptCaseSensitive, // SLCaseSensitive
    SmartLinkOptionCount
};

struct SmartLinkOptionItem {
    std::string Text;
    bool Checked = false;
    bool Enabled = true; // a greyed item keeps its tick and cannot be clicked
};

// The grid of a new window: the header, the two built-in rules and two empty rows.
SmartLinkGrid DefaultSmartLinkGrid();

class SmartLinkWindow {
public:
    SmartLinkWindow(ProjectModel& model, SmartLink& engine);

    SmartLinkGrid StringGrid1;
    std::array<SmartLinkOptionItem, SmartLinkOptionCount> CheckListBox1;
    bool Btn1Enabled = true; // "Apply"
    bool TwoColumns = false; // "Show Check Boxes in 2 Columns" is down
    int RuleCounter = 0;     // names added rows; counts for the whole run, across Opens
    int MouseDownCol = 0;    // the cell under the last button press
    int MouseDownRow = 0;

    // Ticks and grid of a new window, the rules of AppDir + "default.qvs" over them (the error
    // logged and the built-in rules kept when it cannot be read), then Apply.
    void FormCreate();
    // Apply: drops trailing empty rows, validates and takes the enabled rows into SLRules, copies
    // the ticks into the six options and disables itself. A row with a bad pattern gets "ERR".
    void Btn1Click();
    // Add a Row: "Yes", no "Once", "Rule " and the counter.
    void Btn6Click();
    // Delete Last Row, while more than the header and one rule remain.
    void SpeedButton1Click();
    void Deletelastone1Click() { SpeedButton1Click(); }
    // Save As and Open through the prompt's file choosers and message boxes.
    void Btn4Click(Prompt& prompt);
    void Btn5Click(Prompt& prompt);
    // Help: the SmartLink help page.
    void Btn7Click(EditorServices& services);
    void SpeedButton2Click(bool down) { TwoColumns = down; }
    // A click on an option's box: ignored on a greyed item; otherwise the tick changes and the
    // dependencies follow.
    void ClickOption(int item, bool checked);
    // The dependencies between the ticks, run on every tick change.
    void CheckListBox1ClickCheck();
    // The click toggle of columns 0 and 1: a release over the pressed cell flips "Yes".
    void StringGrid1MouseDown(int col, int row);
    void StringGrid1MouseUp(int col, int row);
    // Starting to edit a cell, the grid getting the focus.
    void StringGrid1GetEditText() { Btn1Enabled = true; }
    void StringGrid1Enter() { Btn1Enabled = true; }
    // A cell typed into; the fixed columns 0 and 1 change by clicking only.
    void EditCell(int col, int row, std::string text);
    // A row dragged to another place.
    void MoveRow(int from, int to);

    // Writes the grid to a rule file; Save As shows "Save error." when this fails.
    bool SaveSmartLinkFile(const std::string& fileName, int columns = 0, int rows = 0) const;
    // Reads a rule file into the grid; false, with the grid as it was, when it cannot.
    bool LoadSmartLinkFile(const std::string& fileName);

private:
    ProjectModel& model_;
    SmartLink& engine_;
};
