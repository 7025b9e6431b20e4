// The one reader of project text: splits it into rows and puts them into the project in the way
// the command that started it asks for.
#pragma once

#include "editor/model/ProjectLine.h"

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class MessageLog;
class ProjectModel;

// What the parser does with the rows it read.
enum class ParseMode {
    ReplaceAll,       // every project line goes; the rows become the project (open, new, close)
    AddModules,       // rows go right after the last instance's block (add module)
    ImportTopPorts,   // port rows go right after the top module's block (import top ports)
    UpdateDefinition, // rows go to the update dialog's definition list; the project is untouched
};

struct ParseResult {
    int Inserted = 0;       // rows that went into the project or the definition list
    bool UndoTaken = false; // the undo snapshot was taken
    bool Refused = false;   // nothing could be done (top-port import without a top module)
    // Module names of the MODULE rows that went in; a module ignored as empty is not among them.
    std::unordered_set<std::string> AddedModules;
};

// First pass: the rows of a project text. Lines end at CR LF, LF or a lone CR (a line end at the
// very end of the text opens no further row); the text ends at its end or at a NUL. Fields are
// split at TABs; a line with more than 20 fields logs "Too many parameters in line r." and keeps
// its first 20. Fields 17 to 19 are dropped; on record lines (every kind but 'N') so are fields
// 8 to 13, the editor's run-time state, which no text may set. Settings lines keep them.
std::vector<ProjectLine> SplitProjectText(std::string_view text, MessageLog& log);

// Whether row is the MODULE line, or a PARAMETER line, of a module block without any port line
// (before or after the row); a disabled port line counts as one. A line the rebuild takes as a
// head (first letter "M" or "T") heads a block; only a module's block can be empty.
bool IsInEmptyModule(const std::vector<ProjectLine>& rows, int row, MessageLog& log);

// Scr_DrvClick: parses the text and applies its rows as mode says. An empty module is left out
// with every port and parameter line that belongs to it, also those after its WIRE and ASSIGN
// lines, so that none of them joins another instance. It neither rebuilds the
// derived records nor changes PrjOpen, Modified or the file name: its callers do. defLines is
// the update dialog's definition list (UpdateDefinition only; emptied first).
ParseResult Scr_DrvClick(ProjectModel& model, std::string_view text, ParseMode mode,
                         ProjectLines* defLines = nullptr);

// Puts port rows into the top module, right after its block, in their order: a name the top
// module has (or an earlier row had) and a name CheckTopPortName refuses are skipped with an info
// line each; the undo snapshot is taken before the first row that goes in. Rows of other kinds
// are passed over. Refused without a top module.
ParseResult ImportTopPortRows(ProjectModel& model, std::vector<ProjectLine> rows);

// The kind a disabled line had before its "#" marks: LineKind of the keyword without them; 'N'
// for a line that is not disabled. A disabled TOP or MODULE line still heads its block.
char DisabledKind(std::string_view keyword);
// A head disabled with "#" still heads its block: the port and parameter lines under it are its,
// not the instance's above.
bool IsDisabledHead(std::string_view keyword);

// Index right after the block that starts at line start: the block runs up to the next line of
// kind 'M', 'W' or 'A', or a disabled head. Other disabled lines and other lines of kind 'N'
// inside it belong to it.
int BlockEnd(const ProjectLines& lines, int start);
