// The Properties window's two pages: the clicked port's connections and names, and an instance's
// parameters.
#include "editor/canvas/PropertiesPresenter.h"

#include "editor/model/ListSort.h"
#include "editor/model/Nets.h"
#include "editor/model/TopLevel.h"

namespace {

const char* const Caption = "ZUN2012";

// A name typed in either edit as it is stored: without blanks, TABs and line ends, and an escaped
// one as the mapping writes it.
std::string TypedName(const std::string& text) {
    return EscapedNameAsStored(NormalizeBlanks(text, false));
}

} // namespace

const std::string& ConnectionRow::Column(int column) const {
    switch (column) {
    case 0:
        return Module;
    case 1:
        return Port;
    case 2:
        return IO;
    default:
        return Bits;
    }
}

PropertiesPresenter::PropertiesPresenter(ProjectModel& model, Prompt& prompt,
                                         WidthConfirmation& widths)
    : model_(model), prompt_(prompt), widths_(widths) {}

void PropertiesPresenter::Notify() {
    if (Changed)
        Changed();
}

bool PropertiesPresenter::ValidPort() const {
    return CurPrtIdx >= 0 && static_cast<std::size_t>(CurPrtIdx) < model_.PortList.size();
}

void PropertiesPresenter::ShowPrtInfo(bool show) {
    if (!show || !ValidPort()) {
        Label1 = "Port: ";
        Edit1Visible = false;
        Label2 = "Module: ";
        Label3 = "Connected to:";
        ListView1.clear();
        LabeledEdit1.clear();
        WireEnabled = false;
        Btn1Enabled = false;
        Btn2Enabled = false;
        CurPrtIdx = -1;
        Notify();
        return;
    }
    const port p = model_.PortList[CurPrtIdx];
    WireEnabled = true;
    // A combined bus shows no wire name, every other port its own (empty while it has no wire).
    WireVisible = !p.Combined;
    ShownPortName = p.Name;
    const std::string width = p.WidthText.empty() ? std::string() : "[" + p.WidthText + "]";
    const std::string word = PortTypeWord(model_.Log, p.Kind, ' ', false);
    const bool top = p.Owner >= 0 && static_cast<std::size_t>(p.Owner) < model_.MduList.size() &&
                     model_.MduList[p.Owner].ModuleName.empty();
    if (top) {
        Label1 = word + " Port: " + width + " ";
        Edit1 = p.Name;
        Edit1Visible = true;
    } else {
        Label1 = word + " Port: " + p.Name + " " + width;
        Edit1Visible = false;
    }
    Label2 = "Module: " + p.OwnerName;

    ListView1.clear();
    LabeledEdit1.clear();
    ShownWireName.clear();
    int count = 0;
    auto addRow = [&](const ProjectLine& line, const std::string& inst, const std::string& name) {
        ConnectionRow row;
        row.Module = inst;
        row.Port = name;
        const int at = MarkedPortLine(model_, inst, name);
        const std::string keyword = at < 0 ? std::string() : model_.LineList[at][0];
        if (keyword.empty())
            model_.LogError("Data damaged. Can't find port.");
        else
            row.IO = keyword.substr(0, 1);
        // A port that is not there has no width; its error is logged by the lookup.
        const int k = model_.FindPortIndex(inst, name);
        if (k >= 0)
            row.Bits = model_.PortList[k].WidthText;
        ListView1.push_back(std::move(row));
        LabeledEdit1 = line[5];
        ShownWireName = line[5];
        ++count;
    };
    for (const ProjectLine& line : model_.LineList) {
        if (line[FieldKind] != "W" || line[FieldSuggestion] == "S")
            continue;
        if (line[1] == p.OwnerName && line[2] == p.Name)
            addRow(line, line[3], line[4]);
        if (line[3] == p.OwnerName && line[4] == p.Name)
            addRow(line, line[1], line[2]);
    }
    Label3 = "Connected to:(" + std::to_string(count) + ")";
    Btn1Enabled = false;
    WireEnabled = !LabeledEdit1.empty() && model_.CheckTopPortName(LabeledEdit1, nullptr, true);
    Notify();
}

void PropertiesPresenter::SetCurPrtIdx(int index) {
    CurPrtIdx = index;
}

void PropertiesPresenter::BringPortsPageToFront() {
    if (ShowPage)
        ShowPage(0);
}

void PropertiesPresenter::BringInstancesPageToFront() {
    if (ShowPage)
        ShowPage(1);
}

bool PropertiesPresenter::ShowInstance(const std::string& instance) {
    FillInstList();
    if (!SelectInstance(instance)) {
        Notify();
        return false;
    }
    ShowInstParas(instance, false);
    return true;
}

void PropertiesPresenter::PrepareInstanceDrag() {
    if (HideFloatEdit)
        HideFloatEdit();
    Btn3Enabled = false;
    Notify();
}

void PropertiesPresenter::FillInstList() {
    ComboBox1.clear();
    itemIndex_.clear();
    for (const mdu& m : model_.MduList) {
        if (m.ModuleName.empty())
            continue;
        itemIndex_.emplace(m.InstName, ComboBox1.size());
        ComboBox1.push_back(m.InstName);
    }
    if (!itemIndex_.count(ComboText))
        ComboText.clear();
    Notify();
}

bool PropertiesPresenter::SelectInstance(const std::string& inst) {
    if (!itemIndex_.count(inst))
        return false;
    ComboText = inst;
    return true;
}

void PropertiesPresenter::ShowInstParas(const std::string& inst, bool addVhdlTypes) {
    CurInstName = inst;
    ListView2.clear();
    const int k = inst.empty() ? -1 : model_.FindInstance(inst);
    if (k < 0) {
        Notify();
        return;
    }
    ListView2 = ParamRowsOf(model_.MduList[k]);
    if (addVhdlTypes) {
        for (ParamRow& row : ListView2) {
            if (!row.VhdlType.empty())
                continue;
            row.VhdlType = row.Default.find('"') != std::string::npos ? "string" : "integer";
            if (!model_.SetPortLineFields(inst, row.Name, "R", 7, row.VhdlType))
                model_.LogError("Fail to add VHDL type.");
        }
    }
    Notify();
}

void PropertiesPresenter::RefreshPages(char what) {
    if (what == 'A' || what == '0')
        ShowPrtInfo(false);
    if (what == 'A' || what == '1') {
        FillInstList();
        ComboText.clear();
        // The values typed for the instance that went are gone with its list.
        Btn3Enabled = false;
        if (HideFloatEdit)
            HideFloatEdit();
        ShowInstParas("", false);
    }
}

void PropertiesPresenter::NamesEdited(const std::string& wireName, const std::string& portName) {
    LabeledEdit1 = wireName;
    Edit1 = portName;
    Btn1Enabled = true;
}

void PropertiesPresenter::Btn1Click() {
    if (!ValidPort()) {
        model_.LogWarning("Port does not exist.");
        ShowPrtInfo(false);
        return;
    }
    const port p = model_.PortList[CurPrtIdx];
    model_.TakeUndoSnapshot();
    // A name is changed only when the text differs from the shown one as stored: an Apply
    // that left an edit alone renames nothing, an escaped name with its closing blank included.
    LabeledEdit1 = TypedName(LabeledEdit1);
    if (LabeledEdit1 != TypedName(ShownWireName) &&
        !RenameNet(model_, ShownWireName, LabeledEdit1, false))
        prompt_.Message("Wire name already exists.");
    if (Edit1Visible) {
        Edit1 = TypedName(Edit1);
        if (Edit1 != TypedName(ShownPortName) && !ModifyWire(model_, CurPrtIdx, Edit1))
            prompt_.Message("Port or Wire name already exists.");
    }
    if (UpdatePicture)
        UpdatePicture();
    if (SimulateCanvasClick)
        SimulateCanvasClick(p.X + 1, p.Y + 1);
    Notify();
}

void PropertiesPresenter::Btn2Click(const std::vector<int>& selectedRows) {
    if (!ValidPort()) {
        model_.LogWarning("Wire does not exist.");
        ShowPrtInfo(false);
        return;
    }
    const port p = model_.PortList[CurPrtIdx];
    model_.TakeUndoSnapshot();
    const std::vector<ConnectionRow> rows = ListView1;
    for (int r : selectedRows)
        if (r >= 0 && static_cast<std::size_t>(r) < rows.size())
            DeleteWire(model_, p.OwnerName, p.Name, rows[r].Module, rows[r].Port);
    if (UpdatePicture)
        UpdatePicture();
    if (SimulateCanvasClick)
        SimulateCanvasClick(p.X + 1, p.Y + 1);
    Notify();
}

void PropertiesPresenter::UpdateCutOffAvailability(int selectedRowCount) {
    Btn2Enabled = selectedRowCount > 0 && ValidPort() && !model_.PortList[CurPrtIdx].Combined;
}

void PropertiesPresenter::ListView1DblClick(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= ListView1.size())
        return;
    const int k = model_.FindPortIndex(ListView1[row].Module, ListView1[row].Port);
    if (k < 0) {
        model_.LogError("File damaged. Port missing.");
        return;
    }
    if (SimulateCanvasClick)
        SimulateCanvasClick(model_.PortList[k].X + 1, model_.PortList[k].Y + 1);
}

void PropertiesPresenter::ListColumnClick(PropertiesList list, int column) {
    if (list == PropertiesList::Connections)
        SortListByColumn(
            ListView1, column, SortColumn, SortAscending,
            [](const ConnectionRow& r, int c) -> const std::string& { return r.Column(c); });
    else
        SortListByColumn(
            ListView2, column, SortColumn, SortAscending,
            [](const ParamRow& r, int c) -> const std::string& { return r.Column(c); });
}

void PropertiesPresenter::ComboBox1Change(const std::string& text) {
    if (Btn3Enabled &&
        !prompt_.YesNo("Discard the parameter changes to the current instance?", Caption)) {
        if (SelectInstance(CurInstName)) {
            ComboText = CurInstName;
        } else {
            ComboText.clear();
            model_.LogWarning("Missing the last instance.");
        }
        Notify();
        return;
    }
    Btn3Enabled = false;
    ComboText = text;
    ShowInstParas(text, false);
}

void PropertiesPresenter::ComboBox1DropDown() {
    FillInstList();
}

void PropertiesPresenter::Btn3Click() {
    auto confirm = [this] {
        if (ShowWidthDialog && ShowWidthDialog())
            Btn3Enabled = false;
        Notify();
    };
    if (!widths_.FillWidList(CurInstName, ListView2, false) || model_.ConfirmParam) {
        confirm();
        return;
    }
    int ports = 0;
    int params = 0;
    if (!widths_.ApplyPortWidths(ports, params, false, true)) {
        confirm();
        return;
    }
    LogWidthUpdates(model_, CurInstName, params, ports);
    if (UpdatePicture)
        UpdatePicture();
    Btn3Enabled = false;
    Notify();
}

bool PropertiesPresenter::IsEditableParamColumn(int column) {
    return column == ValueColumn || column == VhdlTypeColumn;
}

void PropertiesPresenter::FloatEditExit(int row, int column, const std::string& text,
                                        bool cancelled) {
    if (row < 0 || static_cast<std::size_t>(row) >= ListView2.size() ||
        !IsEditableParamColumn(column) || cancelled)
        return;
    ParamRow& r = ListView2[row];
    if (column == ValueColumn) {
        if (!text.empty() && !IsIntStr(text) && r.Key) {
            prompt_.Message("You should enter a decimal integer here.");
            return;
        }
        r.Value = NormalizeBlanks(text, true);
        Btn3Enabled = true;
        Notify();
        return;
    }
    const std::string type = NormalizeBlanks(text, true);
    if (type == r.VhdlType)
        return;
    // The type goes into the project at once: an edit like any other, undone as one.
    model_.TakeUndoSnapshot();
    r.VhdlType = type;
    if (!model_.SetPortLineFields(CurInstName, r.Name, "R", 7, type))
        model_.LogError("Fail to modify VHDL type.");
    if (UpdatePicture)
        UpdatePicture();
    Notify();
}

bool PropertiesPresenter::ConfirmWidths(const std::string& instance) {
    std::vector<ParamRow> params;
    if (instance == CurInstName)
        params = ListView2;
    else if (const int k = model_.FindInstance(instance); k >= 0)
        params = ParamRowsOf(model_.MduList[k]);
    widths_.FillWidList(instance, std::move(params), false);
    return ShowWidthDialog && ShowWidthDialog();
}
