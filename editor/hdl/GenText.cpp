// The generated-text window's logic.
#include "editor/hdl/GenText.h"

#include "editor/model/ProjectFile.h"
#include "editor/model/ProjectModel.h"
#include "editor/model/Prompt.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "platform/TextLines.h"

#include <algorithm>

const std::array<std::string_view, GenColumnCount> GenColumnWords = {
    "", "Type", "[", "MSB", ":", "LSB", "]", "Port", " ", ".Port", "("};

namespace {

// "*.*" is every file where names have extensions; here a name need not have a dot.
const char* const SaveDialogFilter = "Verilog HDL File(*.v);;VHDL File(*.vhd);;All Files(*)";
const char* const OpenDialogFilter = "All Files(*)";
const char* const NoExternalEditor = "No external editor defined.";
const char* const TmpFileName = "zuntmp.tmp";
const char* const ItemWidth = "Item Width: ";
const char* const RegenerateOverEdits =
    "The text has been edited. Regenerate it from the project and lose the changes?";

// HeaderControl1 shows the port table of the top module's header, HeaderControl2 the table of an
// instance's ports. VHDL writes the name before the direction and the type.
constexpr std::array<std::size_t, 8> VerilogHeaderColumns = {0, 1, 2, 3, 4, 5, 6, 7};
constexpr std::array<std::size_t, 8> VhdlHeaderColumns = {0, 7, 1, 2, 3, 4, 5, 6};
constexpr std::array<std::size_t, 3> InstanceHeaderColumns = {8, 9, 10};

} // namespace

void GenTextModel::SetText(std::string_view text) {
    Lines = platform::SplitLines(text);
    edited_ = false;
}

std::string GenTextModel::Text() const {
    return platform::JoinLines(Lines);
}

void GenTextModel::TextEdited(std::string_view text) {
    Lines = platform::SplitLines(text);
    edited_ = true;
}

bool GenTextModel::ShowSourceFile(const std::string& path) {
    std::string text;
    if (!LoadTextFile(path, text)) {
        prompt_.Message("Can't read the file " + path + ".", "", MessageKind::Error);
        return false;
    }
    Caption = path;
    SetText(text);
    CstmPrtMode = false;
    GenStyle = PlainTextStyle;
    SaveFileName = path;
    SaveFilterIndex = AllFilesFilter;
    if (Show)
        Show();
    return true;
}

void GenTextModel::FormShow() {
    SfoeEnabled = !model_.InternalEditor && bool(StartExternalEditor);
    Label1.clear();
    HeadersVisible = GenStyle != PlainTextStyle;
}

bool GenTextModel::WriteFile(const std::string& path) {
    if (SaveTextFile(path, Text(), &model_.Log))
        return true;
    prompt_.Message("Can't write the file " + path + ".", "", MessageKind::Error);
    return false;
}

bool GenTextModel::BitBtn2Click() {
    FileChooser chooser;
    chooser.title = "Save As";
    chooser.filter = SaveDialogFilter;
    chooser.fileName = SaveFileName;
    chooser.filterIndex = SaveFilterIndex;
    // A bare name would open wherever the file chooser likes: the design's folder is where
    // generated text belongs.
    chooser.initialDir = platform::DirectoryOf(SaveFileName);
    if (chooser.initialDir.empty())
        chooser.initialDir = saveFolder_.empty() ? FirstSaveFolder(model_) : saveFolder_;
    const std::optional<std::string> path = prompt_.SaveFile(chooser);
    if (!path || !WriteFile(*path))
        return false;
    saveFolder_ = platform::DirectoryOf(platform::AbsolutePath(*path));
    return true;
}

bool GenTextModel::BitBtn3Click() {
    FileChooser chooser;
    chooser.title = "Open";
    chooser.filter = OpenDialogFilter;
    const std::optional<std::string> path = prompt_.OpenFile(chooser);
    if (!path)
        return false;
    std::string text;
    if (!LoadTextFile(*path, text)) {
        prompt_.Message("Can't read the file " + *path + ".", "", MessageKind::Error);
        return false;
    }
    SetText(text);
    // What was opened is no framework code: a column drag must not regenerate over it.
    GenStyle = PlainTextStyle;
    HeadersVisible = false;
    return true;
}

std::string GenTextModel::TmpFilePath() const {
    return model_.WorkDir + TmpFileName;
}

bool GenTextModel::BitBtn4Click() {
    if (model_.InternalEditor) {
        prompt_.Message(NoExternalEditor);
        return false;
    }
    if (!StartExternalEditor)
        return false;
    const std::string path = TmpFilePath();
    if (!WriteFile(path))
        return false;
    model_.LogInfo("Tmp file saved to " + path + ".");
    StartExternalEditor(path);
    return true;
}

bool GenTextModel::BitBtn5Click() {
    const std::string path = TmpFilePath();
    if (!WriteFile(path))
        return false;
    model_.LogInfo("Tmp file saved to " + path + ".");
    if (SetClipboardText)
        SetClipboardText(path);
    return true;
}

void GenTextModel::SetupColumnHeaders() {
    const int measured = TenCharsWidth ? TenCharsWidth() : 70;
    // A font too small to measure must not leave a width to divide by.
    CharPixels = std::max(1, measured / 10);
    GenColWidths = GenStyle == VhdlFrameworkStyle ? VhdlColumnWidths : VerilogColumnWidths;
}

std::vector<std::size_t> GenTextModel::HeaderColumns(int header) const {
    if (header != 0)
        return {InstanceHeaderColumns.begin(), InstanceHeaderColumns.end()};
    const auto& columns = GenStyle == VhdlFrameworkStyle ? VhdlHeaderColumns : VerilogHeaderColumns;
    return {columns.begin(), columns.end()};
}

std::vector<int> GenTextModel::HeaderWidths(int header) const {
    std::vector<int> widths;
    for (std::size_t column : HeaderColumns(header))
        widths.push_back(GenColWidths[column] * CharPixels);
    return widths;
}

void GenTextModel::RememberScroll(const ScrollState& scroll) {
    const int range = scroll.maximum - scroll.minimum;
    atTop_ = scroll.position == scroll.minimum || range <= 0;
    scrollRatio_ = range > 0 ? double(scroll.position - scroll.minimum) / range : 0.0;
}

void GenTextModel::HeaderControl1SectionTrack(int widthPixels, const ScrollState& scroll) {
    if (GenStyle == PlainTextStyle)
        return;
    if (!dragging_) {
        dragging_ = true;
        RememberScroll(scroll);
    }
    Label1 = ItemWidth + std::to_string(widthPixels / std::max(1, CharPixels));
}

bool GenTextModel::HeaderControl1SectionResize(int header, std::size_t section,
                                               std::vector<int>& widths,
                                               const ScrollState& scroll) {
    // A resize without a drag before it keeps the position of now.
    if (!dragging_)
        RememberScroll(scroll);
    dragging_ = false;
    const std::vector<std::size_t> columns = HeaderColumns(header);
    if (GenStyle == PlainTextStyle || section >= columns.size() || section >= widths.size())
        return false;
    const int pixels = std::max(1, CharPixels);
    const int n = widths[section] / pixels;
    // The section stands for its column, as its caption names it.
    const std::size_t column = columns[section];
    if (GenColWidths[column] == n)
        return false;
    GenColWidths[column] = n;
    for (std::size_t left = 0; left < section; ++left)
        widths[left] = widths[left] + 1 - widths[left] % pixels;
    Label1 = ItemWidth + std::to_string(n);
    if (!GenFramework)
        return false;
    if (edited_ && !prompt_.YesNo(RegenerateOverEdits))
        return false;
    SetText(GenFramework(GenStyle, false, GenColWidths));
    return true;
}

std::optional<int> GenTextModel::ScrollAfterRefill(const ScrollState& after) const {
    if (atTop_)
        return std::nullopt;
    return after.minimum + static_cast<int>((after.maximum - after.minimum) * scrollRatio_);
}
