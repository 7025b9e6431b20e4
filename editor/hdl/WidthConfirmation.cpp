// Width confirmation: parameter substitution, evaluation, the list and its application to the
// project lines.
#include "editor/hdl/WidthConfirmation.h"

#include "editor/model/ListSort.h"
#include "editor/model/Nets.h"
#include "editor/model/TopLevel.h"
#include "platform/AsciiCase.h"

#include <climits>
#include <cstdint>
#include <unordered_map>
#include <utility>

namespace {

const char* const NotEvaluated = "NA";

// Within a parameter's seven texts (its fields 1 to 7): field 5, the instance's own value.
constexpr int ParamOwnValue = 4;

bool IsIdentChar(char c) {
    return c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// An integer as an expression takes it: a negative one in parentheses, so that "8-W" with -5
// reads 8-(-5).
std::string IntegerOperand(int value) {
    const std::string text = std::to_string(value);
    return value < 0 ? "(" + text + ")" : text;
}

// The parameters' names put into a text. A row gives its Value when that is an integer, else its
// Default, and with neither its name stays; a default that is an expression has the names in it put
// in as well, whichever row they belong to (a parameter declared as ((DATA_WIDTH+7)/8) follows
// DATA_WIDTH, as in the module itself). A name met again while its own text is being made (a
// default that names its own parameter, or two that name each other) stays, so the expression fails
// rather than the substitution running on; a text that would grow past MaxResolvedText stays
// unexpanded. With anyCase the names are compared in lower case.
class ParamSubstitution {
public:
    ParamSubstitution(const std::vector<ParamRow>& params, bool anyCase)
        : params_(params), anyCase_(anyCase), resolved_(params.size()),
          state_(params.size(), Unresolved) {
        if (anyCase_) {
            lowered_.reserve(params.size());
            for (const ParamRow& row : params)
                lowered_.push_back(platform::AsciiLower(row.Name));
        }
        // Of two rows of one name the first is taken.
        for (std::size_t r = 0; r < params.size(); ++r)
            if (!params[r].Name.empty())
                rowOf_.emplace(anyCase_ ? std::string_view(lowered_[r]) : params[r].Name, r);
    }

    std::string Apply(std::string_view text) {
        std::string out;
        out.reserve(text.size());
        for (std::size_t i = 0; i < text.size();) {
            if (!IsIdentChar(text[i])) {
                out.push_back(text[i++]);
                continue;
            }
            // A whole word: the longest run of identifier characters.
            std::size_t end = i;
            while (end < text.size() && IsIdentChar(text[end]))
                ++end;
            const std::string_view word = text.substr(i, end - i);
            if (anyCase_)
                word_ = platform::AsciiLower(word);
            const auto row = rowOf_.find(anyCase_ ? std::string_view(word_) : word);
            if (row != rowOf_.end() && state_[row->second] != InProgress &&
                !Unvalued(params_[row->second]))
                out += Resolved(row->second);
            else
                out += word;
            i = end;
        }
        return out;
    }

private:
    static constexpr std::size_t MaxResolvedText = 4096;

    // A parameter with neither an integer value nor a default stays by its name: the list
    // shows which one the designer has to set, and the evaluation fails on it.
    static bool Unvalued(const ParamRow& row) {
        return !IntStrValue(row.Value) && row.Default.find_first_not_of(' ') == std::string::npos;
    }
    enum State : char { Unresolved, InProgress, Done };

    const std::string& Resolved(std::size_t r) {
        if (state_[r] == Done)
            return resolved_[r];
        const ParamRow& row = params_[r];
        if (auto v = IntStrValue(row.Value)) {
            resolved_[r] = IntegerOperand(*v);
        } else if (auto d = IntStrValue(row.Default)) {
            resolved_[r] = IntegerOperand(*d);
        } else {
            state_[r] = InProgress;
            std::string text = "(" + Apply(row.Default) + ")";
            resolved_[r] =
                text.size() <= MaxResolvedText ? std::move(text) : "(" + row.Default + ")";
        }
        state_[r] = Done;
        return resolved_[r];
    }

    const std::vector<ParamRow>& params_;
    const bool anyCase_;
    std::vector<std::string> lowered_; // the rows' names in lower case, with anyCase
    std::string word_;                 // the word looked up, in lower case
    std::unordered_map<std::string_view, std::size_t> rowOf_;
    std::vector<std::string> resolved_;
    std::vector<State> state_;
};

// The bound a row writes: the hand-set one when it is an integer, else the evaluated one.
int ChosenBound(const std::string& set, const std::string& evaluated) {
    if (auto v = IntStrValue(set))
        return *v;
    return IntStrValue(evaluated).value_or(0);
}

} // namespace

const std::string& ParamRow::Column(int column) const {
    switch (column) {
    case 0:
        return Name;
    case 1:
        return Msb;
    case 2:
        return Lsb;
    case 3:
        return Default;
    case 4:
        return Value;
    default:
        return VhdlType;
    }
}

const std::string& WidthRow::Column(int column) const {
    return const_cast<WidthRow*>(this)->Column(column);
}

std::string& WidthRow::Column(int column) {
    switch (column) {
    case 0:
        return Port;
    case 1:
        return MsbExp;
    case 2:
        return LsbExp;
    case 3:
        return MsbVal;
    case 4:
        return LsbVal;
    case SetMsbColumn:
        return SetMsb;
    default:
        return SetLsb;
    }
}

std::vector<ParamRow> ParamRowsOf(const mdu& instance) {
    std::vector<ParamRow> rows;
    const std::vector<std::string>& t = instance.Params;
    for (std::size_t at = 0; at + ParamTexts <= t.size(); at += ParamTexts) {
        ParamRow row;
        row.Name = t[at + ParamName];
        row.Msb = t[at + ParamMsb];
        row.Lsb = t[at + ParamLsb];
        row.Default = t[at + ParamValue];
        row.Value = t[at + ParamOwnValue];
        row.VhdlType = t[at + ParamVhdlType];
        row.Key = !t[at + ParamKey].empty();
        rows.push_back(std::move(row));
    }
    return rows;
}

std::optional<int> IntStrValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        return std::nullopt;
    // The magnitude may reach 2^31 for the most negative value; one more digit is out of range.
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT_MIN) : INT_MAX;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int d = platform::AsciiHexDigit(text[i]);
        if (d < 0 || d >= base)
            return std::nullopt;
        magnitude = magnitude * base + d;
        if (magnitude > limit)
            return std::nullopt;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

bool IsIntStr(std::string_view text) {
    return IntStrValue(text).has_value();
}

bool UsesParameter(std::string_view expr) {
    std::string packed;
    for (char c : expr)
        if (c != ' ')
            packed.push_back(c);
    return !packed.empty() && !IsIntStr(packed);
}

std::string SubstituteParams(std::string_view expr, const std::vector<ParamRow>& params,
                             bool anyCase) {
    return ParamSubstitution(params, anyCase).Apply(expr);
}

void LogWidthUpdates(ProjectModel& model, const std::string& inst, int paraCount, int prtCount) {
    const std::string tail = " in instance " + inst + ".";
    if (paraCount == 1)
        model.LogInfo("Update 1 parameter" + tail);
    else if (paraCount > 1)
        model.LogInfo("Update " + std::to_string(paraCount) + " parameters" + tail);
    if (prtCount == 1)
        model.LogInfo("Update 1 port's width" + tail);
    else if (prtCount > 1)
        model.LogInfo("Update " + std::to_string(prtCount) + " ports' width" + tail);
}

WidthConfirmation::WidthConfirmation(ProjectModel& model, Prompt& prompt)
    : model_(model), prompt_(prompt) {
    ExpE.DecimalPoint = '.';
}

bool WidthConfirmation::EvaluateWidthExpression(std::string_view expr, int& value) {
    std::string s = SubstituteParams(expr, Params, ParamsAnyCase);
    if (!s.empty() && (s.front() == '+' || s.front() == '-'))
        s.insert(s.begin(), '0');
    // A sign right after an opening parenthesis gets a 0 before it, "(-1)" becoming "(0-1)".
    for (std::size_t i = 0; i + 1 < s.size(); ++i)
        if (s[i] == '(' && (s[i + 1] == '+' || s[i + 1] == '-'))
            s.insert(i + 1, 1, '0');
    const expr::TruncatedResult r = ExpE.EvaluateTruncated(s);
    value = r.Ok ? r.Value : 0;
    return r.Ok;
}

bool WidthConfirmation::FillWidList(const std::string& inst, std::vector<ParamRow> params,
                                    bool logFailures) {
    bool ok = true;
    Rows.clear();
    Params = std::move(params);
    ConfInst = inst;
    Caption = "Confirm the port width of the instance " + inst;
    CheckBox1 = !model_.ConfirmParam;
    ParamsAnyCase = false;

    const int k = model_.FindInstance(inst);
    if (k < 0 || model_.MduList[k].FirstPort < 0)
        return true;
    const mdu& m = model_.MduList[k];
    ParamsAnyCase = platform::SameIgnoringAsciiCase(m.Language, "vhdl");
    const int last = std::min(m.LastPort, static_cast<int>(model_.PortList.size()) - 1);
    for (int i = m.FirstPort; i <= last; ++i) {
        const port& p = model_.PortList[i];
        if (!UsesParameter(p.MsbExpr) && !UsesParameter(p.LsbExpr))
            continue;
        WidthRow row;
        row.Port = p.Name;
        row.MsbExp = SubstituteParams(p.MsbExpr, Params, ParamsAnyCase);
        row.LsbExp = SubstituteParams(p.LsbExpr, Params, ParamsAnyCase);
        auto evaluate = [&](const std::string& expr, std::string& val, const char* bound) {
            int v = 0;
            if (EvaluateWidthExpression(expr, v)) {
                val = std::to_string(v);
                return true;
            }
            val = NotEvaluated;
            row.Failed = true;
            ok = false;
            if (logFailures)
                model_.LogWarning(std::string("Fail to evaluate the ") + bound + " of port " +
                                  p.Name + " (" + p.OwnerName +
                                  "). Double click it to set the width manually.");
            return false;
        };
        const bool msbOk = evaluate(p.MsbExpr, row.MsbVal, "MSB");
        const bool lsbOk = evaluate(p.LsbExpr, row.LsbVal, "LSB");
        if (!msbOk && p.Numeric)
            row.SetMsb = std::to_string(p.Msb);
        if (!lsbOk && p.Numeric)
            row.SetLsb = std::to_string(p.Lsb);
        Rows.push_back(std::move(row));
    }
    return ok;
}

bool WidthConfirmation::ApplyPortWidths(int& outPrtCount, int& outParaCount, bool reportInvalid,
                                        bool pushUndo) {
    outPrtCount = 0;
    outParaCount = 0;
    for (const WidthRow& row : Rows) {
        std::string refusal;
        if (!row.SetMsb.empty() && !IsIntStr(row.SetMsb))
            refusal = "No valid Set MSB value found fot port: ";
        else if (!row.SetLsb.empty() && !IsIntStr(row.SetLsb))
            refusal = "No valid Set LSB value found fot port: ";
        else if ((!IsIntStr(row.SetMsb) && !IsIntStr(row.MsbVal)) ||
                 (!IsIntStr(row.SetLsb) && !IsIntStr(row.LsbVal)))
            refusal = "No valid MSB/LSB value found fot port: ";
        if (!refusal.empty()) {
            if (reportInvalid)
                prompt_.Message(refusal + row.Port);
            return false;
        }
    }
    if (pushUndo)
        model_.TakeUndoSnapshot();

    for (const ParamRow& p : Params) {
        // A value equal to the default, or none, leaves the instance on the default: an old own
        // value in the line must not outlive it, or the instance would be generated with a value
        // its widths were not computed for.
        std::string value = p.Value == p.Default ? std::string() : p.Value;
        // An integer goes into the line as the decimal text it stands for: the generated top
        // writes the value as it stands, and "$1F" or "0x1F" is no number to Verilog or VHDL.
        if (auto v = IntStrValue(value))
            value = std::to_string(*v);
        if (model_.SetPortLineFields(ConfInst, p.Name, "R", 5, value))
            ++outParaCount;
    }
    for (const WidthRow& row : Rows) {
        const std::string msb = std::to_string(ChosenBound(row.SetMsb, row.MsbVal));
        const std::string lsb = std::to_string(ChosenBound(row.SetLsb, row.LsbVal));
        if (!model_.SetPortLineFields(ConfInst, row.Port, "P", 1, msb, 2, lsb))
            continue;
        ++outPrtCount;
        // The port's record knows from the last rebuild whether a wire ends on it. No wire is
        // made here, so a lone port is still lone; only for a wired one are the lines asked, as
        // an earlier port's isolation may have taken its wire.
        const int k0 = model_.FindPortQuiet(ConfInst, row.Port);
        if (k0 >= 0 && model_.PortList[k0].Lone)
            continue;
        if (batch_ && k0 >= 0 && IsolateInBatch(model_.PortList[k0]))
            continue;
        if (IsLonePort(model_, ConfInst, row.Port))
            continue;
        const int k = model_.FindPortIndex(ConfInst, row.Port);
        if (k < 0) {
            model_.LogError("Can not find port: " + row.Port);
            continue;
        }
        const port p = model_.PortList[k];
        if (IsolatePort(model_, p, false))
            model_.LogInfo("Isolate port " + row.Port + " (" + ConfInst + ") due to width change.");
    }
    return true;
}

struct WidthConfirmation::IsolationBatch {
    explicit IsolationBatch(const ProjectModel& model)
        : Nets(model), Drop(model.LineList.size(), 0) {}
    NetIndex Nets;
    std::vector<char> Drop; // per line: a wire that goes when the batch closes
};

WidthConfirmation::~WidthConfirmation() = default;

void WidthConfirmation::OpenIsolationBatch() {
    batch_ = std::make_unique<IsolationBatch>(model_);
}

void WidthConfirmation::CloseIsolationBatch() {
    if (!batch_)
        return;
    const std::vector<char> drop = std::move(batch_->Drop);
    batch_.reset();
    ProjectLines& lines = model_.LineList;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i < drop.size() && drop[i])
            continue;
        if (kept != i)
            lines[kept] = std::move(lines[i]);
        ++kept;
    }
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(kept), lines.end());
}

bool WidthConfirmation::IsolateInBatch(const port& p) {
    // A top port's isolation renames nets and deletes assignments; it is not batched, and the
    // batch is closed first, as it changes the lines under the index.
    if (IsTopPort(model_, p)) {
        CloseIsolationBatch();
        return false;
    }
    // As IsolatePort does for a module port: every ordinary wire goes but one to a combined bus
    // port of the top module.
    bool wired = false;
    bool stayed = false;
    for (int i : batch_->Nets.LinesOf(p.OwnerName, p.Name)) {
        const ProjectLine& line = model_.LineList[static_cast<std::size_t>(i)];
        if (batch_->Drop[static_cast<std::size_t>(i)] || line[FieldSuggestion] == "S")
            continue;
        wired = true;
        if (WireOfModulePortStays(model_, line))
            stayed = true;
        else
            batch_->Drop[static_cast<std::size_t>(i)] = 1;
    }
    if (wired && !stayed)
        model_.LogInfo("Isolate port " + p.Name + " (" + ConfInst + ") due to width change.");
    return true;
}

bool WidthConfirmation::BitBtn1Click() {
    model_.ConfirmParam = !CheckBox1;
    int ports = 0;
    int params = 0;
    if (!ApplyPortWidths(ports, params, true, true))
        return false;
    LogWidthUpdates(model_, ConfInst, params, ports);
    if (UpdatePicture)
        UpdatePicture();
    return true;
}

void WidthConfirmation::ListView1ColumnClick(int column) {
    SortListByColumn(Rows, column, SortColumn, SortAscending,
                     [](const WidthRow& r, int c) -> const std::string& { return r.Column(c); });
}

bool WidthConfirmation::IsEditableColumn(int column) {
    return column == SetMsbColumn || column == SetLsbColumn;
}

void WidthConfirmation::SetCell(int row, int column, const std::string& text) {
    if (row < 0 || static_cast<std::size_t>(row) >= Rows.size() || !IsEditableColumn(column))
        return;
    Rows[static_cast<std::size_t>(row)].Column(column) = text;
}
