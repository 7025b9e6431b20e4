// The canvas's mouse handling without any window: the hit test, press, move and release in every
// edit mode and drag state, the port selection, highlighting of the pointed object and its linked
// ports, instance drag and drop, wires by dragging, port moves, panning, auto-scroll and the
// hover texts. It reads the model and the button state; what it shows goes through its host.
#pragma once

#include "editor/model/Documents.h"
#include "editor/model/ProjectModel.h"
#include "editor/model/ViewState.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

class NetIndex;

// Keys and buttons held during a mouse event, and the double-click flag.
struct MouseShift {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
    bool Left = false;
    bool Right = false;
    bool Middle = false;
    bool Double = false;
};

enum class MouseButton { Left, Right, Middle };

// Where the scroll box shows the picture: its scroll position and the size of its client area.
struct ScrollView {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

// What the mouse tells the Properties window; its pages come with the window.
class PropertiesLink {
public:
    virtual ~PropertiesLink() = default;
    // The Ports page shows the current port (true) or nothing.
    virtual void ShowPrtInfo(bool show) = 0;
    virtual void SetCurPrtIdx(int index) = 0;
    virtual void BringPortsPageToFront() = 0;
    // Fills the instance list, selects the instance and shows its parameters; false when the
    // instance is not in the list.
    virtual bool ShowInstance(const std::string& instance) = 0;
    // Before an instance is dragged: the float editor hidden, the parameter Apply disabled.
    virtual void PrepareInstanceDrag() = 0;
    virtual void BringInstancesPageToFront() = 0;
};

// The window side of the canvas.
struct CanvasHost {
    // The rebuild with its drawing (UpdatePicExecute with the canvas's picture).
    std::function<void()> Rebuild;
    // After a gesture that changed only highlight marks (and the rubber band): the model's
    // RefreshMarks and the picture, or the rebuild when the refresh cannot serve. Unset, the
    // canvas runs Rebuild.
    std::function<void()> RefreshMarks;
    // After a wire drawn between two module ports: the model's RebuildWires and the picture, or
    // the rebuild when that cannot serve. Unset, the canvas runs Rebuild.
    std::function<void()> RebuildWires;
    std::function<void(int panel, const std::string& text)> SetStatusText;
    std::function<std::string(int panel)> StatusText;
    // Cursor slot 1 to 9; 0 is the default cursor.
    std::function<void(int slot)> SetCursor;
    std::function<ScrollView()> Scroll;
    std::function<void(int x, int y)> SetScroll;
    // The view buttons show the model's ViewMode again.
    std::function<void()> ViewModeChanged;
    // Message boxes.
    Prompt* prompt = nullptr;
    EditorServices* services = nullptr;

    // Seams of windows and engines that come with other parts of the editor; unset, the canvas
    // does without them.
    // SmartLink proposes wires for the hovered object (kind 'M', 'P' or 'N', index), by every
    // rule (rule -1); summary receives the status text. True when it proposed something.
    std::function<bool(char kind, int index, int rule, std::string& summary)> ApplySmartLinkRules;
    // Width confirmation of the instance's parameterised widths, shown modally; true on OK.
    std::function<bool(const std::string& instance)> ConfirmWidths;
    // The generated-text window shows a source file (the internal editor).
    std::function<void(const std::string& path)> ShowSourceFile;
};

// Status bar panels.
inline constexpr int HoverPanel = 0;
inline constexpr int WirePanel = 1;
inline constexpr int SelectionPanel = 3;

// Cursor slots and their roles on the canvas.
inline constexpr int ViewModeCursor = 1;
inline constexpr int PanCursor = 2;
inline constexpr int DropRefusedCursor = 3;
inline constexpr int DropAllowedCursor = 4;
inline constexpr int WireCursor = 5;
inline constexpr int MoveAllowedCursor = 6;
inline constexpr int MoveRefusedCursor = 7;
inline constexpr int TopMapCursor = 8;
inline constexpr int BusyCursor = 9;

// Sort comparators of the selection: below zero when a comes first.
int CompareIntAsc(int a, int b);
int CompareIntDesc(int a, int b);

class CanvasController {
public:
    CanvasController(ProjectModel& model, const ViewState& view, CanvasHost& host);

    // Drag state: '0' idle, '1' rubber band, '2' dragging an instance, '3' drawing a wire,
    // '4' moving ports. The drawing reads it and the band.
    char MouseMode = '0';
    std::array<int, 4> RubberRect{}; // x0, y0 where the band started; x1, y1 the moving corner
    bool PrtMoveOk = false;
    bool MduDropOk = false;
    int PanX = 0;
    int PanY = 0;
    int DragMduIdx = 0;
    int DropMduIdx = 0;
    int DragPrtIdx = 0;

    PropertiesLink* Properties = nullptr;

    // Object under a picture point: 'M' an instance header, 'P' a port box, 'N' nothing.
    char HitTest(int x, int y, int& index) const;

    void PaintBox1MouseDown(MouseButton button, const MouseShift& shift, int x, int y);
    void Image1MouseMove(const MouseShift& shift, int x, int y);
    void PaintBox1MouseUp(MouseButton button, const MouseShift& shift, int x, int y);
    // A press and release of the left button at (x, y), as a click would select a port.
    void SimulateCanvasClick(int x, int y);

    // The canvas cursor of the edit mode: slot 1 View, the default WireEdit, slot 8 TopMap.
    void ToolButton8Click();
    void ToolButton9Click();
    void ToolButton28Click();
    // "Show Ports Linked Together": every selected port highlighted again.
    void ToolButton19Click();

    void ClearSelection();
    int SelectionIndexOf(int portIndex) const;
    bool PortInRubberBand(const port& p) const;
    // Marks the object (kind 'M' or 'P', index) and its linked ports; true when the picture must
    // be drawn again. nets, when given, is the index of the present lines.
    bool HighlightObject(char kind, int index, bool hideUnmatched, const NetIndex* nets = nullptr);
    bool MarkObjectAndLinks(const std::string& key, int selfBrush, int selfPen, int linkBrush,
                            int linkPen, int portIndex, bool hideUnmatched,
                            const NetIndex* nets = nullptr);
    // Marks the ports of indexes as highlighting each of them in turn does (without unmatched
    // marks), in time linear in the ports and the nets they reach.
    void HighlightPorts(const std::vector<int>& indexes);
    // Moves the dragged instance's block of lines directly before the target instance's line.
    void MoveModuleLines(const mdu& dragged, const mdu& target);

    // The hover text of an object: "Module:u1 (core)", "Output:dout[7:0](u_fifo)", or empty.
    std::string HoverText(char kind, int index);

private:
    void DoubleClick(char kind, int index);
    void PressPort(const MouseShift& shift, int index);
    void ShowSelectionCount();
    void SetCursor(int slot);
    void SetStatus(int panel, const std::string& text);
    void Rebuild();
    void RefreshMarks();
    void RebuildWires();
    bool ComputePrtMoveOk(char kind, int index) const;
    bool ComputeMduDropOk(char kind, int index) const;
    void ReleaseInstance(char kind, int index);
    void MovePorts(int index);
    // Runs an edit that may be refused: the undo snapshot is the lines before it, taken only
    // when the edit answers true.
    bool UndoableEdit(const std::function<bool()>& edit);
    void RestoreModeCursor();

    ProjectModel& model_;
    const ViewState& view_;
    CanvasHost& host_;
    // Where the left button went down: a release there is a click on what was pressed, even when
    // the press's redraw put another port under the mouse.
    int pressX_ = -1;
    int pressY_ = -1;
    char lastHitKind_ = 'N';
    int lastHitIndex_ = 0;
    std::string lastHighlightKey_ = "NULL";
    // The lines before an edit that may be refused; kept between edits for its memory.
    ProjectLines undoScratch_;
};
