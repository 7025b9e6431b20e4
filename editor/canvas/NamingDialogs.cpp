// The naming and combining dialogs' logic.
#include "editor/canvas/NamingDialogs.h"

#include "editor/model/ProjectModel.h"
#include "editor/model/Prompt.h"
#include "editor/model/TopLevel.h"

namespace {

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// A new top-level port name, blanks removed, must be free: no port line of the top module has
// it (told by taken), it is not empty, it is an identifier, and CheckTopPortName takes it (told
// by its reason).
bool NewTopPortNameAccepted(ProjectModel& model, Prompt& prompt, const std::string& name,
                            const char* taken) {
    if (model.DeletePortLine(model.TopName, name, true, false)) {
        prompt.Message(taken);
        return false;
    }
    if (name.empty()) {
        prompt.Message(EmptyTopPortName);
        return false;
    }
    // The port is declared by this name in the generated HDL and named in its assignments.
    if (!IsLegalIdent(name)) {
        prompt.Message("Illegal port name.");
        return false;
    }
    std::string reason;
    if (!model.CheckTopPortName(name, &reason)) {
        prompt.Message(reason);
        return false;
    }
    return true;
}

} // namespace

std::optional<std::string> SuggestInstanceName(const ProjectModel& model,
                                               const std::string& instance,
                                               const std::string& module) {
    if (instance.empty())
        return std::nullopt;
    auto free = [&](const std::string& name) {
        return !name.empty() && model.FindInstance(name) == -1;
    };
    const std::string rule = ReplaceAll(model.InstNameRule, "%M", module);
    const bool numbered = rule.find("%D") != std::string::npos;
    std::string candidate;
    for (int k = 0; k <= (numbered ? 999 : 0); ++k) {
        candidate = ReplaceAll(rule, "%D", std::to_string(k));
        if (free(candidate))
            return candidate;
    }
    const char last = instance.back();
    if (last >= '0' && last <= '9') {
        for (char d = '0'; d <= '9'; ++d) {
            candidate = instance.substr(0, instance.size() - 1) + d;
            if (free(candidate))
                return candidate;
        }
    }
    for (int k = 0; k <= 999; ++k) {
        candidate = instance + "_dup_" + std::to_string(k);
        if (free(candidate))
            break;
    }
    return candidate;
}

void CombineDialog::FormCreate() {
    Header = {"MSB", "LSB", "Current Ports", "Bits"};
}

void CombineDialog::Fill(const std::string& busName, const std::vector<port>& ports) {
    LabeledEdit1 = busName;
    Rows.clear();
    for (const port& p : ports)
        Rows.push_back({0, 0, p.Name, p.WidthText, p.Span});
    ComputeSlices();
}

void CombineDialog::ComputeSlices() {
    int total = 0;
    for (const CombineRow& r : Rows)
        total += r.Span + 1;
    Msb = total - 1;
    Lsb = 0;
    int next = Msb;
    for (CombineRow& r : Rows) {
        r.Msb = next;
        r.Lsb = next - r.Span;
        next = r.Lsb - 1;
    }
}

void CombineDialog::StringGrid1RowMoved(int from, int to) {
    const int rows = static_cast<int>(Rows.size());
    if (from < 1 || to < 1 || from > rows || to > rows)
        return;
    if (from != to) {
        CombineRow moved = std::move(Rows[from - 1]);
        Rows.erase(Rows.begin() + (from - 1));
        Rows.insert(Rows.begin() + (to - 1), std::move(moved));
    }
    // Every slice from the final order: a drop in place or a long way moves no bit twice.
    ComputeSlices();
}

std::string CombineDialog::BusName() const {
    return NormalizeBlanks(LabeledEdit1, false);
}

bool CombineDialog::BitBtn1Click() {
    return NewTopPortNameAccepted(model_, prompt_, BusName(), "The bus name already exists.");
}

const port* CinoutDialog::Port(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < model_.PortList.size()
               ? &model_.PortList[index]
               : nullptr;
}

void CinoutDialog::Prepare(int in, int out, int enable) {
    InPrtIdx = in;
    OutPrtIdx = out;
    EnPrtIdx = enable;
    LabeledEdit1 = "iosig";
    LabeledEdit1Change();
}

void CinoutDialog::DrawInoutPreview() {
    const port* in = Port(InPrtIdx);
    const port* out = Port(OutPrtIdx);
    const port* en = Port(EnPrtIdx);
    if (!in || !out || !en)
        return;
    EnCondition =
        std::string(CheckBox1 ? "==1'b1)? " : "==1'b0)? ") + std::to_string(in->Span + 1) + "'bz:";
    Preview.EnableCircle = CheckBox1;
    Preview.Texts = {{266, 24, en->Name, 'O', false},
                     {266, 52, out->Name, 'O', false},
                     {266, 90, in->Name, 'I', false},
                     {86, 52, LabeledEdit1, 'B', true}};
    BitBtn1Enabled = out->Span == 0;
    Memo1 = {"assign " + LabeledEdit1 + " = (" + en->Name + EnCondition + out->Name + ";",
             "assign " + in->Name + " = " + LabeledEdit1 + ";"};
}

void CinoutDialog::LabeledEdit1Change() {
    BitBtn2Enabled = !LabeledEdit1.empty();
    DrawInoutPreview();
}

void CinoutDialog::BitBtn1Click() {
    std::swap(OutPrtIdx, EnPrtIdx);
    DrawInoutPreview();
}

std::string CinoutDialog::InoutName() const {
    return NormalizeBlanks(LabeledEdit1, false);
}

bool CinoutDialog::BitBtn2Click() {
    return NewTopPortNameAccepted(model_, prompt_, InoutName(),
                                  "The inout port name already exists.");
}
