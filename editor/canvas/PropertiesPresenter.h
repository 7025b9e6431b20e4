// The Properties window's logic without the window: the Ports page (what the clicked port is
// connected to, renaming its wire or, for a top-level port, the port, cutting wires off) and the
// Instances page (an instance's parameters, their new values and VHDL types, and Apply through
// width confirmation). The window TPortForm shows this state and forwards its events here.
#pragma once

#include "editor/canvas/CanvasController.h"
#include "editor/hdl/ModuleUpdate.h"
#include "editor/hdl/WidthConfirmation.h"
#include "editor/model/ProjectModel.h"
#include "editor/model/Prompt.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

// One row of the Ports page's connection list: the port at the other end of a wire.
struct ConnectionRow {
    std::string Module; // the other instance
    std::string Port;
    std::string IO;   // first letter of the other port's keyword: I, O, B or K
    std::string Bits; // the other port's width text

    // The list's columns: "Module", "Port", "I/O", "Bits".
    const std::string& Column(int column) const;
};

// The two lists of the window, for the shared sort.
enum class PropertiesList { Connections, Parameters };

// The columns of the parameter list that take an in-place edit.
inline constexpr int ValueColumn = 4;
inline constexpr int VhdlTypeColumn = 5;

class PropertiesPresenter : public PropertiesLink, public InstancesPage {
public:
    PropertiesPresenter(ProjectModel& model, Prompt& prompt, WidthConfirmation& widths);

    // The Ports page.
    std::string Label1 = "Port:";
    bool Edit1Visible = false;
    std::string Edit1; // a top-level port's name, editable
    std::string Label2 = "In Module:";
    std::string LabeledEdit1; // the port's wire name
    bool WireEnabled = false;
    bool WireVisible = true;
    std::string Label3 = "Connected to:";
    bool Btn1Enabled = false; // Apply (Enter)
    bool Btn2Enabled = false; // Cut Off (Del)
    std::vector<ConnectionRow> ListView1;

    // The Instances page.
    std::vector<std::string> ComboBox1; // instance names
    std::string ComboText;              // the selected instance name
    bool Btn3Enabled = false;           // Apply
    std::vector<ParamRow> ListView2;

    int CurPrtIdx = -1;
    std::string ShownWireName;
    std::string ShownPortName;
    std::string CurInstName;
    int SortColumn = 0;
    bool SortAscending = true;

    // A click on the canvas at a picture point, as the Properties window selects a port again.
    std::function<void(int x, int y)> SimulateCanvasClick;
    // The rebuild and drawing of the picture.
    std::function<void()> UpdatePicture;
    // Width confirmation shown modally for the list filled last; true when it closed with OK.
    std::function<bool()> ShowWidthDialog;
    // The window brings a page to the front: 0 Ports, 1 Instances.
    std::function<void(int page)> ShowPage;
    // The window hides its in-place editor without storing its text.
    std::function<void()> HideFloatEdit;
    // The state changed from outside the window (the canvas, the main window): show it again.
    std::function<void()> Changed;

    // The canvas's calls.
    void ShowPrtInfo(bool show) override;
    void SetCurPrtIdx(int index) override;
    void BringPortsPageToFront() override;
    bool ShowInstance(const std::string& instance) override;
    void PrepareInstanceDrag() override;
    void BringInstancesPageToFront() override;

    // The Instances page as an added instance is shown on it.
    void FillInstList() override;
    bool SelectInstance(const std::string& inst) override;
    void ShowInstParas(const std::string& inst, bool addVhdlTypes) override;
    std::vector<ParamRow> ParamRows() const override { return ListView2; }

    // After undo, redo or a project change: 'A' both pages, '0' the Ports page, '1' the
    // Instances page.
    void RefreshPages(char what);

    // Handlers of the window's controls.
    // A change in either name edit: the texts as they are now.
    void NamesEdited(const std::string& wireName, const std::string& portName);
    void Btn1Click();
    // The selected rows of the connection list, in row order.
    void Btn2Click(const std::vector<int>& selectedRows);
    // Cut Off is possible with rows selected on a port that is no combined bus (the window's
    // show, and every key press and mouse move in the list).
    void UpdateCutOffAvailability(int selectedRowCount);
    void ListView1DblClick(int row);
    void ListColumnClick(PropertiesList list, int column);
    void ComboBox1Change(const std::string& text);
    void ComboBox1DropDown();
    void Btn3Click();
    static bool IsEditableParamColumn(int column);
    // The in-place editor left: only while it was shown over exactly one selected row.
    void FloatEditExit(int row, int column, const std::string& text, bool cancelled);

    // A double click on a port whose width is not numeric: width confirmation of its instance,
    // with the values of the Instances page when it shows that instance; true on OK.
    bool ConfirmWidths(const std::string& instance);

private:
    bool ValidPort() const;
    void Notify();

    ProjectModel& model_;
    Prompt& prompt_;
    WidthConfirmation& widths_;
    std::unordered_map<std::string, std::size_t> itemIndex_;
};
