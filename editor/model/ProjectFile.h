// The project file ".zun": its plain content, the two writers, the reader and the whole-file
// routines they use.
#pragma once

#include "editor/model/FontValue.h"
#include "editor/model/ProjectModel.h"

#include "platform/IoStatus.h"

#include <optional>
#include <string>

struct EditorServices;

// The eleven settings codes, in the order the file holds them.
extern const char* const SettingsLineCodes[11];

// The font that a settings letter stands for ('A' MduFont ... 'R' MsgFont); null for the others.
const FontValue* FontOf(const ProjectModel& model, char letter);
// The eight font fields, each preceded by a TAB.
std::string FontToText(const FontValue& font);
// Fields of one settings line without its code, each preceded by a TAB: 'A', 'B', 'C', 'D',
// 'G', 'N', 'Q', 'R' a font, 'E' the colours, 'F' the sizes, 'L' the options; otherwise empty.
std::string FormatSettingsLine(const ProjectModel& model, char letter);

// Whether a line of LineList is left out of the file: a SmartLink suggestion wire, the header,
// or a settings line (fresh ones are written from the members).
bool IsUnstoredLine(const ProjectLine& line);

// The plain (unscrambled) content: header, eleven settings lines, the project lines' fields 0
// to 7. A TAB, CR, LF or NUL inside a field would split it on reading: each is written as a
// blank, with a warning naming the file line.
std::string BuildProjectText(ProjectModel& model);

// Writes the bytes as the file's whole content; the old file stays intact on failure, and the
// status names the file and the system's reason. A file whose folder cannot take a temporary
// copy is rewritten in place, which is logged to log when one is given.
IoStatus SaveTextFile(const std::string& path, const std::string& text, MessageLog* log = nullptr);

// The warning that a file was saved in place, without a temporary copy.
void LogWrittenInPlace(MessageLog& log, const std::string& path);
// Reads the whole file; false with text emptied on any failure.
bool LoadTextFile(const std::string& path, std::string& text);

// A write that failed: the error "File operation failed." and, after it, the file and the
// system's reason.
void LogFailedWrite(ProjectModel& model, const IoStatus& status);

// What a save did; the window then runs UpdateProjectState('n').
struct SaveResult {
    bool Saved = false;    // the file was written
    bool Canceled = false; // the Save As dialog was cancelled
};

// Save: an untitled project goes through Save As (its dialog on services.prompt). A failed write
// logs "File operation failed." and keeps Modified and the file name.
SaveResult FileSavePrjExecute(ProjectModel& model, EditorServices& services);
// Save As: the dialog, then FileSaveAs1Accept with the chosen name.
SaveResult FileSaveAs1Execute(ProjectModel& model, EditorServices& services);
// Writes to fileName, made absolute; only on success it becomes the project's name.
SaveResult FileSaveAs1Accept(ProjectModel& model, const std::string& fileName);

// The folder where the first Save As of a project that has no file yet, and of generated text,
// opens: that of the project's first source file (made absolute against the folder the editor
// was started in) when it exists, else the folder the editor was started in.
std::string FirstSaveFolder(const ProjectModel& model);

// The open dialog of the Open Project command: the chosen path, or nothing.
std::optional<std::string> ChooseProjectToOpen(ProjectModel& model, EditorServices& services);

// Reads a project file into the (closed) project and rebuilds with the file's settings. The path
// is made absolute first: it is the project's name from then on. False when the file could not
// be read ("File operation failed." logged; no project is opened). A file without a TOP line is
// closed again by the rebuild's request, shown as "Illegal project." with its path in a message
// box, and not entered in RecentList.
bool OpenProjectFile(ProjectModel& model, EditorServices& services, const std::string& path,
                     RebuildResult* rebuild = nullptr);

// The model's part of UpdateProjectState: saving is possible exactly while the project is
// modified, and Undo and Redo start disabled.
void UpdateProjectStateCore(ProjectModel& model);
