// The naming and combining dialogs of the context menu without their widgets: the Duplicate
// dialog's suggested name, the Combine dialog's bus slices and name check, and the Combine to
// inout dialog's preview, enable condition and name check. The windows show this state, let the
// user edit it and call the handlers by name; the menu shows them through MenuDialogs.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

class ProjectModel;
class Prompt;
struct port;

// A free instance name for a copy of instance (of module): the first free name of InstNameRule
// ("%M" the module, "%D" 0 to 999), else the name with its last digit replaced by 0 to 9, else
// instance + "_dup_" + 0 to 999, the last of which stays when every one is taken. Nothing for an
// empty instance name.
std::optional<std::string> SuggestInstanceName(const ProjectModel& model,
                                               const std::string& instance,
                                               const std::string& module);

// The "Duplicate" dialog.
struct DupNameDialog {
    std::string LabeledEdit1; // "Input an instance name:"
};

// One port taken into a bus, as the Combine dialog's table shows it.
struct CombineRow {
    int Msb = 0; // the bus bits it covers
    int Lsb = 0;
    std::string Port; // "Current Ports"
    std::string Bits; // the port's width text
    int Span = 0;     // its width minus one
};

// The "Combine" dialog.
class CombineDialog {
public:
    CombineDialog(ProjectModel& model, Prompt& prompt) : model_(model), prompt_(prompt) {}

    std::string LabeledEdit1;          // "Combined port name:"
    int Msb = 0;                       // "Port Width:"
    int Lsb = 0;                       // ":"
    std::array<std::string, 4> Header; // the grid's fixed row
    std::vector<CombineRow> Rows;      // the grid's rows under it, the highest bits first

    void FormCreate();
    // The dispatcher's filling: the bus name and one row per port, in the order given.
    void Fill(const std::string& busName, const std::vector<port>& ports);
    // A row dragged from grid row from to grid row to (the header is row 0 and never moves):
    // the slices follow the new order, contiguous, the top row highest.
    void StringGrid1RowMoved(int from, int to);
    // OK: true when the dialog may close; a refused name is told in a message box.
    bool BitBtn1Click();
    // The typed name as the bus gets it: blanks and TABs removed.
    std::string BusName() const;

private:
    void ComputeSlices();

    ProjectModel& model_;
    Prompt& prompt_;
};

// What the Combine to inout dialog draws: the buffer picture, the enable's low-active circle and
// the port names in their fonts.
struct PreviewText {
    int X = 0;
    int Y = 0;
    std::string Text;
    char Font = 'O';      // the port fonts: 'I' input, 'O' output, 'B' inout
    bool EndsAtX = false; // the text ends at X instead of starting there
};

struct InoutPreview {
    int PictureX = 88;
    int PictureY = 24;
    bool EnableCircle = false;
    std::array<int, 4> Circle{175, 43, 183, 51}; // left, top, right, bottom
    std::vector<PreviewText> Texts;
};

// The "Combine to inout" dialog: a top-level input, a data output and a one-bit output enable
// become one inout with a tri-state assignment.
class CinoutDialog {
public:
    CinoutDialog(ProjectModel& model, Prompt& prompt) : model_(model), prompt_(prompt) {}

    // PortList indices of the three ports, set by the context menu before the dialog opens.
    int InPrtIdx = -1;
    int OutPrtIdx = -1;
    int EnPrtIdx = -1;
    // The middle of the tri-state expression.
    std::string EnCondition;

    std::string LabeledEdit1 = "iosig"; // "Inout port name:"
    bool CheckBox1 = false;             // "Reverse EN": the enable is active low
    bool BitBtn1Enabled = false;        // "Swap outputs"
    bool BitBtn2Enabled = true;         // OK
    std::vector<std::string> Memo1;     // the code preview
    InoutPreview Preview;

    // The opening: the three ports, the name "iosig", the preview.
    void Prepare(int in, int out, int enable);
    void DrawInoutPreview();
    void LabeledEdit1Change();
    void CheckBox1Click() { DrawInoutPreview(); }
    // "Swap outputs": the data output and the enable change places.
    void BitBtn1Click();
    // OK: true when the dialog may close; a refused name is told in a message box.
    bool BitBtn2Click();
    std::string InoutName() const;

private:
    const port* Port(int index) const;

    ProjectModel& model_;
    Prompt& prompt_;
};

// The one way the context menu shows its dialogs: modally, over the state above, which the
// controls edit and whose handlers the buttons call. True when the dialog closed with OK.
class MenuDialogs {
public:
    virtual ~MenuDialogs() = default;
    virtual bool ShowDupName(DupNameDialog& dialog) = 0;
    virtual bool ShowComb(CombineDialog& dialog) = 0;
    virtual bool ShowCinout(CinoutDialog& dialog) = 0;
};
