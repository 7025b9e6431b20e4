// The project model: the core half of the main window TForm1, without any window. It owns the
// project lines, their undo and redo copies, the records derived from them, the settings the
// rebuild and layout read, and the message log.
#pragma once

#include "editor/model/FontValue.h"
#include "editor/model/MessageLog.h"
#include "editor/model/ProjectLine.h"
#include "editor/model/Prompt.h"
#include "editor/model/RecordIndex.h"
#include "editor/model/Records.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class NetIndex;
struct RecordColumns;

// Who runs the rebuild: only the new-project case applies a project's settings lines, and the
// canvas's own resize handling runs it without asking for another resize.
enum class RebuildSender { MainWindow, FileNewPrj, PaintBox1 };

// What the rebuild logs for an open project without a TOP line.
inline constexpr const char* IllegalProjectText = "Illegal project.";

// What a rebuild asks of the window that ran it.
struct RebuildResult {
    // An open project without a TOP line: "Illegal project." is logged and the records are not
    // laid out further; the command that ran the rebuild closes the project, once.
    bool ClosePrjRequested = false;
    // The records are complete: draw the picture and show CountsText in status panel 2.
    bool Completed = false;
    std::string CountsText; // "I/P/W:" + instances + "/" + ports + "/" + wires
    // The scroll box's resize handling must run (every sender but the canvas).
    bool RunScrollBoxResize = false;
    // Settings lines were applied (new-project case); the window updates what shows them.
    bool SettingsApplied = false;
    bool HdlFontChanged = false;  // give the generated-text memo the look of HdlFont
    bool MsgFontChanged = false;  // give the message memo the look of MsgFont
    bool ViewModeChanged = false; // press the view button of ViewMode
    // Extent of the laid-out picture (before the scroll box's size is taken into account).
    int PictureWidth = 0;
    int PictureHeight = 0;
};

class ProjectModel {
public:
    ProjectModel();
    ~ProjectModel();
    ProjectModel(const ProjectModel&) = delete;
    ProjectModel& operator=(const ProjectModel&) = delete;

    // Project lines and their undo and redo copies.
    ProjectLines LineList;
    ProjectLines UndoList;
    ProjectLines RedoList;

    // Derived records, rebuilt by UpdatePicExecute and valid until the next rebuild.
    std::vector<mdu> MduList; // instances, top included, in line order
    std::vector<port> PortList;
    std::vector<wire> WireList;    // ordinary wires
    std::vector<wire> SuggestList; // SmartLink suggestion wires
    std::vector<int> SelList;      // PortList indices of the selected ports, in selection order

    std::string TopName;  // TOP field 2; empty when there is none
    int TopMdu = -1;      // index of the top module's record in MduList; -1 when there is none
    int FirstMduLine = 0; // smallest index of a MODULE line, else the index of the last line

    bool PrjOpen = false;
    std::string PrjFileName;
    bool PrjUntitled = false;
    bool Modified = false;

    char ViewMode = '1'; // '1' normal, '2' compact, '3' custom view

    // Layout sizes in pixels.
    int AutoScrollStep = 2;
    int LeftMargin = 6;
    int TopMargin = 6;
    int MduMargin = 10;
    int ColMargin = 10;
    int MduPrtMargin = 3;
    int PrtMargin = 0;
    int WireEndSize = 4;
    int MaxViewHeight = 800;
    int CompactMargin = 5;
    int SizeF11 = 60;
    int TitleHeight = 15;
    int PrtHeight = 15;
    int PrtWidth = 40;
    int RightSlack = 6;
    int BottomSlack = 6;

    // Colours of the picture, Windows colour values (negative for system colours).
    int BackColor = static_cast<int>(0x80000016u);
    int PointedBrush = 0xFF8080;
    int PointedPen = 0x0000FF;
    int FriendBrush = 0x93D8EC;
    int FriendPen = 0x275242;
    int UnmatchedColor = 0xE1E1E1;
    int WireColor = 0xC0C0C0;
    int WireEndColor = 0x408000;
    int SmartWireColor = 0x0000FF;
    int SmartMarkColor = 0x0000FF;
    int LoneColor = 0x0000FF;
    int MainPrtColor = 0x0000FF;

    // Fonts of instance boxes, of input, output, inout and variant ports, and of instances with
    // parameters.
    FontValue MduFont;
    FontValue InFont;
    FontValue OutFont;
    FontValue InoutFont;
    FontValue VarFont;
    FontValue ParaMduFont;

    bool ConfirmParam = true;
    bool StrictRule = true;
    char AssignOpenOut = 'N'; // '0', '1', 'Z' or 'N'

    // SmartLink options.
    bool SLFindOne = false;
    bool SLHideUnmatched = true;
    bool NoSelfWire = false;
    bool HiddenNoSpace = false;
    bool SLStopFirstRule = false;
    bool SLCaseSensitive = false;
    // SmartLink rules as the Smart Link window's Apply left them: SLRuleWidth texts per rule,
    // rule after rule, a rule addressed by the index of its first text.
    std::vector<std::string> SLRules;
    int SLRuleWidth = 7;
    // Captures of the current rule's source-instance and source-port patterns: entry 0 the whole
    // match, entries 1 to 9 the groups.
    std::vector<std::string> MduCaptures;
    std::vector<std::string> PrtCaptures;

    // Naming rules.
    std::string InstNameRule = "u_%M_%D";
    std::string WireNameRule = "%P";
    std::array<std::string, 3> ReplaceFrom;
    std::array<std::string, 3> ReplaceWith;
    // Name of a new top-level port ("Top name:"): "%P" the module port's name, "%M" its instance.
    std::string TopNameRule = "%P";

    std::string WorkDir;
    std::string AppDir; // directory of the program, ending with "/"
    std::string StartDir; // the folder the editor was started in, ending with "/"
    StructAppMisc AppMisc;

    // Further members of the settings file.
    bool InternalEditor = true;
    std::string EditorProgram;
    std::string EditorParams;
    bool DirectConn = true;
    std::string ProxyHost;
    int ProxyPort = 8080;
    std::string ProxyUser;
    std::string ProxyPassword;
    std::string IniPath;
    std::vector<std::string> RecentList;

    MessageLog Log;
    // Shows "Not enough memory." when a project line cannot be allocated, just before the program
    // ends with exit code 1; while none is set the text goes to the standard error.
    Prompt* MemoryPrompt = nullptr;

    // Line routines.
    // Inserts a line of up to 20 texts before index, or appends it when index is -1 (or past the
    // end).
    void InsertLine(int index, std::initializer_list<std::string_view> fields);
    void InsertLine(int index, ProjectLine line);
    // Removes the line at index; false when there is none.
    bool DeleteLineRecord(int index);
    static char LineKind(std::string_view keyword) { return ::LineKind(keyword); }
    bool DeletePortLine(const std::string& instance, const std::string& name, bool testOnly,
                        bool isParameter);
    std::string GetPortLineField(const std::string& instance, const std::string& portName,
                                 int field) const;
    bool SetPortLineFields(const std::string& instance, const std::string& name,
                           const std::string& kind, int i1, const std::string& v1, int i2 = -1,
                           const std::string& v2 = {}, int i3 = -1, const std::string& v3 = {});
    // May name become a new top-level port or net name? reason, when given, receives why not.
    bool CheckTopPortName(const std::string& name, std::string* reason = nullptr,
                          bool skipWireCheck = false);
    // The n-th (from 1) free name "W" + number; empty when none of W0 ... W99999 is free.
    std::string FreeWireName(int n);
    static std::string NormalizeBlanks(std::string_view text, bool keepBlanks) {
        return ::NormalizeBlanks(text, keepBlanks);
    }
    // Empties fields 8, 9 and 13 of every line. It walks only the lines that carry marks (those
    // the last rebuild found and those SetMark wrote since); all lines when the count changed or
    // the lines moved so that the ones it knows no longer hold the marks.
    void ClearMarks();
    // Writes a highlight mark (field 8, 9 or 13) of the line at index and remembers the line for
    // ClearMarks and RefreshMarks; true when the field changed.
    bool SetMark(std::size_t index, std::size_t field, std::string_view value);
    // A project line could not be allocated: nothing sensible can go on without it.
    [[noreturn]] void NotEnoughMemory() const;
    // The same for a line that knows no model (a shared line made a copy of its own): the newest
    // model with a prompt shows it.
    [[noreturn]] static void ReportLineMemory();

    // Undo and redo.
    // Empties target; with a source, fills it with a deep copy of source and marks the project
    // modified (and, for UndoList, enables Undo and saving and disables Redo).
    void CopyLineList(const ProjectLines* source, ProjectLines& target);
    void TakeUndoSnapshot() { CopyLineList(&LineList, UndoList); }
    // Nothing (and no change) while the step is not possible.
    std::optional<RebuildResult> UndoExecute();
    std::optional<RebuildResult> RedoExecute();
    bool UndoEnabled() const { return undoEnabled_; }
    bool RedoEnabled() const { return redoEnabled_; }
    bool SaveEnabled() const { return saveEnabled_; }
    void SetUndoRedoEnabled(bool undo, bool redo) {
        undoEnabled_ = undo;
        redoEnabled_ = redo;
    }
    void SetSaveEnabled(bool enabled) { saveEnabled_ = enabled; }

    // Log writers.
    void LogError(std::string_view text) { Log.LogError(text); }
    void LogWarning(std::string_view text) { Log.LogWarning(text); }
    void LogInfo(std::string_view text) { Log.LogInfo(text); }
    void LogAction(std::string_view text) { Log.LogAction(text); }
    void LogLine(std::string_view text) { Log.LogLine(text); }
    void ClearLog() { Log.ClearLog(); }

    // Rebuild of the derived records.
    RebuildResult UpdatePicExecute(RebuildSender sender);
    // In place of the rebuild after a gesture that changed only highlight marks: the colours of
    // the records are read again from the lines whose marks changed. False when it cannot serve
    // and the caller rebuilds: the lines were written, moved, inserted or deleted since the last
    // rebuild (suggestion lines that came or went among them), a collapsed flag changed (the
    // layout moves), or the last rebuild reported something (it would report it again).
    // changed tells whether a record's colour changed.
    bool RefreshMarks(bool& changed);
    // In place of the rebuild after an edit that changed only wire lines (and assignments,
    // suggestions and marks), as a wire drawn between two module ports: the wire and suggestion
    // records and the lone flags are made again, the instance and port records kept with their
    // colours read again. False when it cannot serve and the caller rebuilds: an instance or port
    // line is not where its record was made from, a collapsed flag changed, a line would make a
    // record the records lack, or the last rebuild reported something. result as the rebuild's,
    // but for the picture's extent, which it leaves at zero.
    bool RebuildWires(RebuildResult& result);
    // "I/P/W:" with the numbers of instances, ports and wires.
    std::string CountsText() const;
    void ClearModel();
    void GetLineColors(char kind, int lineIndex, int& brush, int& pen) const;
    int FindInstance(const std::string& instance) const;
    bool ModuleNameUsed(const std::string& module) const;
    // Logs "Internal Error. Can't find port ID." and answers -1 when there is no such port.
    int FindPortIndex(const std::string& instance, const std::string& portName);
    // FindPortIndex without the log line, for callers that only ask whether the port exists.
    int FindPortQuiet(const std::string& instance, const std::string& portName) const;
    const mdu* TopRecord() const { return TopMdu >= 0 ? &MduList[TopMdu] : nullptr; }

    // Layout.
    bool PlaceInstance(int index, int brush, int pen);
    bool PlacePort(int index, int brush, int pen);
    bool PlaceWire(wire& w, int dotColor, int lineColor, bool isSuggestion);

    // The ends of an ordinary wire as the last rebuild placed it: the PortList indexes of the
    // ports its end A and end B name (-1 for an end that names no port), its line, and whether its
    // keyword is "WIRE" itself. One per WireList record, in the same order.
    struct WireEnds {
        int A = -1;
        int B = -1;
        int Line = -1;
        bool WireKeyword = false;
    };
    const std::vector<WireEnds>& RebuildWireEnds() const { return wireEnds_; }
    // Counts the rebuilds: what was derived from one is stale after the next.
    std::uint64_t RebuildSerial() const { return rebuildSerial_; }
    // The lines are those the last rebuild read, but for lines appended since that carry no wire
    // mark and suggestion lines dropped from the end since: what it found of the nets still holds.
    bool NetsAsRebuilt() const;
    // No two ports share an instance name and a port name.
    bool PortNamesUnique() const;
    // Suggestion lines (which the nets never count) were dropped; before is the line count and
    // editsBefore ProjectLine::Edits() before they went. Dropped from the end, no other line moved.
    void NoteLinesDropped(std::size_t before, std::uint64_t editsBefore);
    // Box widths of every instance, as the view mode draws them.
    void ComputeModuleWidths();
    // Width and height the picture needs, at least minWidth and minHeight; the wide form is not
    // capped, so the window can tell a picture too large to draw.
    std::pair<long long, long long> WidePictureExtent(long long minWidth,
                                                      long long minHeight) const;
    std::pair<int, int> PictureExtent(int minWidth, int minHeight) const;
    // The records of the last rebuild filed by the columns they cover, made when first asked for
    // after a rebuild (or after the sizes it uses changed).
    const RecordColumns& Columns() const;

    // Keeps the layout sizes within the ranges the layout works with; true when one was changed.
    bool ClampLayoutSizes();
    // The value of open top-level outputs: '0', '1', 'Z' or 'N'; anything else gives 'N'.
    static char NormalAssignOpenOut(char c);

private:
    friend const NetIndex& NetsOf(const ProjectModel& model, std::optional<NetIndex>& scratch);

    struct RebuildState;
    void RebuildLine(RebuildState& st, int i);
    // Reads the colours of the record of line i from its marks again; Moved when the line is not
    // the one the record was made from (or a collapsed flag changed), None for a line of no record.
    enum class RecordLine { None, Port, Instance, Moved };
    RecordLine RereadRecordColours(std::size_t i, bool& changed);
    void BuildWire(int i);
    void BuildPort(RebuildState& st, int i);
    void BuildInstance(RebuildState& st, int i, bool isTop);
    void RepairInstanceName(RebuildState& st, int i);
    void ApplySettingsLine(RebuildState& st, int i, RebuildResult& result);
    long long RowWidthOf(int count) const;

    int FindInstanceIndexed(const std::string& instance) const;
    int FindPortIndexed(const std::string& instance, const std::string& portName) const;
    void ResetIndexes();
    bool PlaceWireEnds(wire& w, int a, int b, int dotColor, int lineColor, bool isSuggestion);
    // A line the rebuild leaves unmarked may still carry a wire mark of an earlier one.
    void NoteUnmarkedLine(const ProjectLine& line) {
        if (line[FieldKind] == "W")
            staleWireMarks_ = true;
    }

    // A line's marks were written or emptied: it goes into the lists of ClearMarks and of
    // RefreshMarks.
    void NoteMarked(std::size_t index);
    void NoteMarksChanged(std::size_t index);
    // The list of the lines that carry marks is exact.
    bool MarksKnown() const;
    // Lines were inserted or deleted.
    void NoteStructure() { ++structure_; }
    // The records are those of the lines now; reported: the rebuild logged something.
    void NoteRebuilt(bool reported);

    // The models alive, in the order they were made.
    ProjectModel* older_ = nullptr;
    ProjectModel* newer_ = nullptr;

    bool undoEnabled_ = false;
    bool redoEnabled_ = false;
    bool saveEnabled_ = false;

    // Name lookups over the derived records, rebuilt when the lists no longer match them, so that
    // lookups stay cheap inside loops over ports and wires.
    mutable RecordIndex instIndex_;
    mutable std::size_t instIndexed_ = 0;
    mutable RecordIndex portIndex_;
    mutable std::size_t portIndexed_ = 0;
    // Sum over the first rowCounted_ instances of their column width plus MduMargin, kept
    // current as ports open columns, so that placing an instance does not walk all earlier ones.
    long long rowWidth_ = 0;
    int rowCounted_ = 0;
    // While the rebuild runs the indexes are exact, so a miss needs no second look.
    bool rebuilding_ = false;
    // No two records made by this rebuild share an instance name (so far): a port's owner is then
    // the first instance of its owner's name without a lookup.
    bool namesUnique_ = true;
    // A port was indexed under a name pair an earlier port has already.
    mutable bool portDuplicates_ = false;

    // What the last rebuild found of the nets, and what tells whether the lines are still those.
    std::vector<WireEnds> wireEnds_;
    bool staleWireMarks_ = false; // a line it did not mark carries a wire mark
    std::uint64_t rebuildSerial_ = 0;
    std::uint64_t editsAtRebuild_ = 0; // ProjectLine::Edits() when it ended
    std::size_t netsLines_ = 0;        // the line count that goes with them
    std::uint64_t structure_ = 0;      // inserts and deletes through the line routines
    // What RefreshMarks needs of the last rebuild: the lines it read and whether it reported.
    std::size_t recordsLines_ = static_cast<std::size_t>(-1);
    std::uint64_t structureAtRebuild_ = 0;
    bool rebuildReported_ = false;
    // The lines whose marks changed since the records were made, each once.
    std::vector<int> dirtyLines_;
    std::vector<char> dirtyIn_;
    // The lines that carry marks, each once, while the line count is markedLines_'s; with the
    // edits and structure counts of when the list was last known to be exact.
    std::vector<int> markedLines_;
    std::vector<char> markedIn_;
    std::size_t markedCount_ = static_cast<std::size_t>(-1);
    std::uint64_t markedStructure_ = 0;
    std::uint64_t markAccesses_ = 0; // ProjectLine::MarkAccesses() as far as the model knows them
    // The records by columns, and what they were made from.
    mutable std::unique_ptr<RecordColumns> columns_;
    mutable std::array<long long, 6> columnsRecords_{};
    mutable std::array<long long, 3> columnsWires_{};
    std::uint64_t recordsSerial_ = 0; // whole rebuilds
    // The net index made from them, for the rebuild it was made from.
    mutable std::unique_ptr<NetIndex> netsCache_;
    mutable std::uint64_t netsCacheSerial_ = 0;
};
