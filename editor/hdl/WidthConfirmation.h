// Width confirmation: the parameterised port widths of one instance evaluated with the values of
// its parameters, set by hand where an expression fails, and written into the project lines. The
// window TFormConfWid shows this state and forwards its controls' events here.
#pragma once

#include "editor/expr/ExprEvaluator.h"
#include "editor/model/ProjectModel.h"
#include "editor/model/Prompt.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One parameter of an instance as the Properties window's Instances page shows it.
struct ParamRow {
    std::string Name;     // PARAMETER field 3
    std::string Msb;      // field 1
    std::string Lsb;      // field 2
    std::string Default;  // field 4, the declared value
    std::string Value;    // field 5, or the value typed on the page; empty = the default
    std::string VhdlType; // field 7
    bool Key = false;     // field 6 is not empty: the parameter is used in port widths

    // The page's columns: "Parameter", "MSB", "LSB", "Default", "Value", "VHDL Type".
    const std::string& Column(int column) const;
};

// The rows of an instance's parameters, in line order, as the rebuild recorded them.
std::vector<ParamRow> ParamRowsOf(const mdu& instance);

// The integer a text stands for: leading blanks, an optional sign, then decimal digits, or
// hexadecimal digits after "$", "x", "X", "0x" or "0X"; the value must lie in the 32-bit range
// (so "$FFFFFFFF" is refused rather than read as -1). Nothing for any other text.
std::optional<int> IntStrValue(std::string_view text);
// A text IntStrValue accepts: what the windows call a decimal integer.
bool IsIntStr(std::string_view text);

// An expression that, without its blanks, is neither empty nor a decimal integer.
bool UsesParameter(std::string_view expr);

// The expression with every whole-word occurrence of a parameter's name replaced. A row gives its
// Value when that is an integer, else its Default: an integer as decimal text (in parentheses when
// negative), any other default in parentheses, so that it keeps its own precedence and an empty
// one fails. The names in such a default are replaced too, from rows before or after it; a name
// whose own text is being made (a default naming its own parameter, or a cycle) is left as it
// stands, so the substitution ends and the expression fails. Names match as written (Verilog);
// with anyCase a name matches in any ASCII letter case (VHDL, whose "width" is its "WIDTH").
std::string SubstituteParams(std::string_view expr, const std::vector<ParamRow>& params,
                             bool anyCase = false);

// One row of the dialog's list.
struct WidthRow {
    std::string Port;
    std::string MsbExp; // the expressions with the parameters put in
    std::string LsbExp;
    std::string MsbVal; // the evaluated bounds as decimal text, or "NA"
    std::string LsbVal;
    std::string SetMsb; // a bound set by hand; checked at OK
    std::string SetLsb;
    bool Failed = false; // an expression could not be evaluated (the row's failure image)

    // The list's columns: "Port", "MSB Exp", "LSB Exp", "MSB Val", "LSB Val", "Set MSB",
    // "Set LSB".
    const std::string& Column(int column) const;
    std::string& Column(int column);
};

inline constexpr int SetMsbColumn = 5;
inline constexpr int SetLsbColumn = 6;

// Logs the parameter and port counts of an applied instance ("Update 2 parameters in instance
// u1.", "Update 1 port's width in instance u1."); nothing for a count of 0.
void LogWidthUpdates(ProjectModel& model, const std::string& inst, int paraCount, int prtCount);

class WidthConfirmation {
public:
    WidthConfirmation(ProjectModel& model, Prompt& prompt);
    ~WidthConfirmation();

    // The dialog's state by the names of its members and controls.
    std::string ConfInst;
    std::string Caption = "Width Confirmation";
    bool CheckBox1 = false; // "Do not show this again."
    std::vector<WidthRow> Rows;
    int SortColumn = 0;
    bool SortAscending = true;
    // The Instances page's rows at the last fill: the names and values the expressions use.
    std::vector<ParamRow> Params;
    // The instance of the last fill is a VHDL one: its names match in any letter case.
    bool ParamsAnyCase = false;

    // The rebuild with the dialog as the sender, run by OK.
    std::function<void()> UpdatePicture;

    // Substitutes, evaluates and truncates toward zero; false (and value 0) when the evaluator
    // refuses the expression.
    bool EvaluateWidthExpression(std::string_view expr, int& value);

    // Fills the list for inst with the page's parameter rows; true when every listed expression
    // evaluated.
    bool FillWidList(const std::string& inst, std::vector<ParamRow> params, bool logFailures);
    // Writes the list's widths and the instance's parameter values into the project lines; false,
    // with nothing changed, at the first row without a usable bound.
    bool ApplyPortWidths(int& outPrtCount, int& outParaCount, bool reportInvalid, bool pushUndo);

    // While a batch is open the wires of module ports whose width changed are found in one index
    // of the wire lines, made when it opens, and removed together when it closes, so that many
    // instances evaluated again in a row (an update of a module they share) walk the lines once
    // rather than once per wired port. No line may be inserted or deleted meanwhile.
    void OpenIsolationBatch();
    void CloseIsolationBatch();

    // "OK": true when the dialog closes with OK; false keeps it open.
    bool BitBtn1Click();
    void ListView1ColumnClick(int column);
    // Only "Set MSB" and "Set LSB" are edited in place.
    static bool IsEditableColumn(int column);
    // An in-place edit that was not cancelled: the typed text goes into the cell as it is.
    void SetCell(int row, int column, const std::string& text);

private:
    struct IsolationBatch;
    // Removes the wires of a changed port in the open batch; false when it cannot (a top port).
    bool IsolateInBatch(const port& p);

    ProjectModel& model_;
    Prompt& prompt_;
    expr::TExpressionEvaluator ExpE;
    std::unique_ptr<IsolationBatch> batch_;
};
