// The generated-text window TFormGenHDL without its widgets: the text and what its openers set,
// the column widths of framework code and their header sections, and what the buttons do with
// files, the clipboard and the external editor. The window shows this state and forwards its
// controls' events here.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ProjectModel;
class Prompt;

// GenStyle: what the text is, and so which column headers it has.
inline constexpr int PlainTextStyle = 0;
inline constexpr int Verilog2001Style = 1;
inline constexpr int Verilog1995Style = 2;
inline constexpr int VhdlFrameworkStyle = 3;

// Entries of the save dialog's filter, from 1.
inline constexpr int VerilogFilter = 1;
inline constexpr int VhdlFilter = 2;
inline constexpr int AllFilesFilter = 3;

// The generated columns of framework code, in the order of GenColWidths.
inline constexpr std::size_t GenColumnCount = 11;
using GenColumnWidths = std::array<int, GenColumnCount>;
// "", "Type", "[", "MSB", ":", "LSB", "]", "Port", " ", ".Port", "(": the first eight are the
// sections of HeaderControl1, the last three those of HeaderControl2.
extern const std::array<std::string_view, GenColumnCount> GenColumnWords;
inline constexpr GenColumnWidths VerilogColumnWidths = {5, 7, 1, 2, 1, 1, 2, 15, 5, 15, 5};
inline constexpr GenColumnWidths VhdlColumnWidths = {5, 9, 20, 2, 8, 2, 1, 15, 5, 15, 5};

// The framework generator: the text of a style (1 Verilog 2001, 2 Verilog 1995, 3 VHDL) laid
// out in the given column widths; report logs its warnings.
using FrameworkGenerator =
    std::function<std::string(int style, bool report, const GenColumnWidths& widths)>;

// A vertical scroll bar's state.
struct ScrollState {
    int position = 0;
    int minimum = 0;
    int maximum = 0;
};

class GenTextModel {
public:
    GenTextModel(ProjectModel& model, Prompt& prompt) : model_(model), prompt_(prompt) {}

    // Memo1, as lines; what the user typed reaches it through TextEdited.
    std::vector<std::string> Lines;
    std::string Caption = "Top Module";
    std::string SaveFileName;
    int SaveFilterIndex = VerilogFilter;
    bool CstmPrtMode = false;
    int GenStyle = PlainTextStyle;
    GenColumnWidths GenColWidths = VerilogColumnWidths;
    int CharPixels = 7;
    // The controls FormShow and the handlers set.
    std::string Label1;
    bool SfoeEnabled = false;
    bool HeadersVisible = false;

    // Set by the window: the pixel width of "WWWWWMMMMM" in the memo's font, the clipboard, and
    // showing the window modeless.
    std::function<int()> TenCharsWidth;
    std::function<void(const std::string& text)> SetClipboardText;
    std::function<void()> Show;
    // Seams of other parts of the editor. The framework generator regenerates framework code
    // after a column drag. The external editor start is the one the canvas uses for a module's
    // source; while it is missing "SFOE" stays disabled.
    FrameworkGenerator GenFramework;
    std::function<void(const std::string& path)> StartExternalEditor;

    // The openers' side: the text, split into lines at CR LF, LF or CR.
    void SetText(std::string_view text);
    // The text as it is saved: every line followed by CR LF.
    std::string Text() const;
    // The memo's text changed by the user.
    void TextEdited(std::string_view text);
    bool Edited() const { return edited_; }
    // Shows a file as plain text, as a double-click on an instance does: caption and save name
    // the path, all files in the save dialog. False, with the user told, when it cannot be read.
    bool ShowSourceFile(const std::string& path);

    void FormShow();
    // Closing forgets the style, so a later plain-text use shows no column headers.
    void FormClose() { GenStyle = PlainTextStyle; }

    // BitBtn2 "Save As", BitBtn3 "Open", BitBtn4 "SFOE", BitBtn5 "SFCN". Each answers whether it
    // did its work; a failed read or write is shown, and nothing after it happens. Save As opens
    // in the folder of a save name that has one, else where the last Save As wrote, else in
    // FirstSaveFolder.
    bool BitBtn2Click();
    bool BitBtn3Click();
    bool BitBtn4Click();
    bool BitBtn5Click();
    // "zuntmp.tmp" in the work directory.
    std::string TmpFilePath() const;

    // The column widths for the style and the header sections that show them.
    void SetupColumnHeaders();
    // The columns of the two header controls' sections, left to right, for the style.
    std::vector<std::size_t> HeaderColumns(int header) const;
    // The pixel widths of a header control's sections.
    std::vector<int> HeaderWidths(int header) const;

    // A section edge is being dragged: the scroll position is remembered at the drag's start,
    // and Label1 tells the width in characters.
    void HeaderControl1SectionTrack(int widthPixels, const ScrollState& scroll);
    // The drag ended on a section of header (0 HeaderControl1, 1 HeaderControl2): widths holds
    // the pixel widths of that header's sections, the dragged one's new, and gets those left of
    // it snapped to whole characters. True when the text was generated again for the new width
    // (after asking, when the user had edited it).
    bool HeaderControl1SectionResize(int header, std::size_t section, std::vector<int>& widths,
                                     const ScrollState& scroll);
    // Where to scroll the regenerated text: the remembered ratio of its range; nothing when the
    // drag began at the top, where the memo stays and is not hidden while it is refilled.
    std::optional<int> ScrollAfterRefill(const ScrollState& after) const;
    bool RefillHidden() const { return !atTop_; }

private:
    bool WriteFile(const std::string& path);
    void RememberScroll(const ScrollState& scroll);

    ProjectModel& model_;
    Prompt& prompt_;
    bool edited_ = false;
    // The folder the last Save As wrote to, where the next one opens; empty before the first.
    std::string saveFolder_;
    bool dragging_ = false;
    bool atTop_ = true;
    double scrollRatio_ = 0.0;
};
