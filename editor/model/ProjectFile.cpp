// Writing and reading project files.
#include "editor/model/ProjectFile.h"

#include "editor/model/ClosePrj.h"
#include "editor/model/Documents.h"
#include "editor/model/ProjectParser.h"
#include "editor/model/Prompt.h"
#include "editor/model/Scramble.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <array>
#include <cstring>

const char* const SettingsLineCodes[11] = {"HS", "GS", "CS", "DS", "ES", "FS",
                                           "JS", "LS", "NS", "QS", "RS"};

namespace {

// The letter of FormatSettingsLine for each code above.
const char SettingsLetters[11] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'L', 'N', 'Q', 'R'};

const char* const FileFailed = "File operation failed.";
const char* const ProjectFilter = "ZUN Project(*.zun)";

std::string Field(int value) {
    return "\t" + std::to_string(value);
}

const char* Flag(bool on) {
    return on ? "1" : "0";
}

const char* YesNoField(bool on) {
    return on ? "Y" : "N";
}

// A field as it may stand in the file; true when something had to be replaced.
bool CleanField(std::string& field) {
    bool changed = false;
    for (char& c : field) {
        if (c == '\t' || c == '\r' || c == '\n' || c == '\0') {
            c = ' ';
            changed = true;
        }
    }
    return changed;
}

bool HasExtension(const std::string& path) {
    std::size_t slash = path.rfind('/');
    std::size_t dot = path.rfind('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
}

SaveResult WriteProject(ProjectModel& model, const std::string& path) {
    SaveResult r;
    std::string text = BuildProjectText(model);
    ProjectScramble(text);
    if (IoStatus written = SaveTextFile(path, text, &model.Log); !written) {
        // The previous file is intact, so the project still differs from it.
        LogFailedWrite(model, written);
        return r;
    }
    r.Saved = true;
    model.Modified = false;
    return r;
}

} // namespace

std::string FontToText(const FontValue& f) {
    std::string s = Field(f.Charset) + "\t" + f.Face + Field(f.Color) + Field(f.Size);
    for (bool flag : {f.Bold, f.Italic, f.Underline, f.StrikeOut})
        s += std::string("\t") + Flag(flag);
    return s;
}

const FontValue* FontOf(const ProjectModel& m, char letter) {
    switch (letter) {
    case 'A':
        return &m.MduFont;
    case 'B':
        return &m.InFont;
    case 'C':
        return &m.OutFont;
    case 'D':
        return &m.InoutFont;
    case 'G':
        return &m.VarFont;
    case 'N':
        return &m.ParaMduFont;
    case 'Q':
        return &m.AppMisc.HdlFont;
    case 'R':
        return &m.AppMisc.MsgFont;
    default:
        return nullptr;
    }
}

std::string FormatSettingsLine(const ProjectModel& m, char letter) {
    if (const FontValue* font = FontOf(m, letter))
        return FontToText(*font);
    switch (letter) {
    case 'E': {
        std::string s;
        for (int c : {m.BackColor, m.PointedBrush, m.PointedPen, m.FriendBrush, m.FriendPen,
                      m.UnmatchedColor, m.WireColor, m.WireEndColor, m.SmartWireColor,
                      m.SmartMarkColor, m.LoneColor, m.MainPrtColor})
            s += Field(c);
        return s;
    }
    case 'F': {
        std::string s;
        for (int v :
             {m.AutoScrollStep, m.LeftMargin, m.TopMargin, m.MduMargin, m.ColMargin, m.MduPrtMargin,
              m.PrtMargin, m.WireEndSize, m.MaxViewHeight, m.CompactMargin, m.SizeF11,
              m.TitleHeight, m.PrtHeight, m.PrtWidth, m.RightSlack, m.BottomSlack})
            s += Field(v);
        return s;
    }
    case 'L':
        return std::string("\t\t") + YesNoField(m.ConfirmParam) + "\t" + m.ViewMode + "\t" +
               YesNoField(m.StrictRule) + "\t" + m.AssignOpenOut;
    default:
        return {};
    }
}

bool IsUnstoredLine(const ProjectLine& line) {
    const std::string& key = line[0];
    if (LineKind(key) == 'W' && line[FieldSuggestion] == "S")
        return true;
    if (key == "Version:")
        return true;
    for (const char* code : SettingsLineCodes) {
        if (key == code)
            return true;
    }
    return false;
}

std::string BuildProjectText(ProjectModel& model) {
    std::string text = "Version:\tZUN2012\t1.0\r\n";
    int fileLine = 1;
    auto warn = [&](int line) {
        model.LogWarning("Replaced TAB, line end or NUL characters by blanks in line " +
                         std::to_string(line) + " of the project file.");
    };
    for (int i = 0; i < 11; ++i) {
        ++fileLine;
        // Only a font's face name is free text here.
        std::string line = SettingsLineCodes[i];
        bool changed = false;
        if (const FontValue* font = FontOf(model, SettingsLetters[i])) {
            FontValue clean = *font;
            changed = CleanField(clean.Face);
            line += FontToText(clean);
        } else {
            line += FormatSettingsLine(model, SettingsLetters[i]);
        }
        if (changed)
            warn(fileLine);
        text += line + "\r\n";
    }
    for (const ProjectLine& src : model.LineList) {
        if (IsUnstoredLine(src))
            continue;
        ++fileLine;
        bool changed = false;
        for (std::size_t k = 0; k <= 7; ++k) {
            std::string field = src[k];
            changed = CleanField(field) || changed;
            if (k > 0)
                text += '\t';
            text += field;
        }
        text += "\r\n";
        if (changed)
            warn(fileLine);
    }
    return text;
}

IoStatus SaveTextFile(const std::string& path, const std::string& text, MessageLog* log) {
    platform::WriteWay way = platform::WriteWay::None;
    IoStatus status = platform::WriteFileReplacing(path, text, way);
    if (way == platform::WriteWay::InPlace && log)
        LogWrittenInPlace(*log, path);
    return status;
}

void LogWrittenInPlace(MessageLog& log, const std::string& path) {
    log.LogWarning("Saved " + path +
                   " without a temporary copy: its folder can not be written, so the file was "
                   "rewritten in place.");
}

void LogFailedWrite(ProjectModel& model, const IoStatus& status) {
    model.LogError(FileFailed);
    // The platform's words name the file and the system's reason ("cannot write /a/b.zun:
    // Permission denied"); the log writes sentences.
    std::string reason = status.message;
    if (!reason.empty() && reason.front() >= 'a' && reason.front() <= 'z')
        reason.front() = static_cast<char>(reason.front() - 'a' + 'A');
    if (!reason.empty() && reason.back() != '.')
        reason += '.';
    model.LogError(reason);
}

bool LoadTextFile(const std::string& path, std::string& text) {
    return platform::ReadWholeFile(path, text).ok;
}

SaveResult FileSavePrjExecute(ProjectModel& model, EditorServices& services) {
    if (model.PrjUntitled)
        return FileSaveAs1Execute(model, services);
    SaveResult r = WriteProject(model, model.PrjFileName);
    UpdateProjectStateCore(model);
    return r;
}

SaveResult FileSaveAs1Execute(ProjectModel& model, EditorServices& services) {
    SaveResult r;
    if (!services.prompt) {
        r.Canceled = true;
        return r;
    }
    // The untitled project is the wizard's work file, which the next engine run replaces: its
    // name is not offered, nor its folder, the work directory, which is no place for a design.
    const bool named = !model.PrjUntitled && !model.PrjFileName.empty();
    const std::string folder =
        named ? platform::DirectoryOf(model.PrjFileName) : FirstSaveFolder(model);
    const std::string name = named ? model.PrjFileName.substr(folder.size()) : std::string();
    FileChooser chooser{"Save Project As", ProjectFilter, folder, name, "zun"};
    std::optional<std::string> chosen = services.prompt->SaveFile(chooser);
    if (!chosen || chosen->empty()) {
        r.Canceled = true;
        return r;
    }
    return FileSaveAs1Accept(model, *chosen);
}

SaveResult FileSaveAs1Accept(ProjectModel& model, const std::string& fileName) {
    std::string path = platform::AbsolutePath(fileName);
    if (!HasExtension(path))
        path += ".zun";
    SaveResult r = WriteProject(model, path);
    if (r.Saved) {
        model.PrjFileName = path;
        model.PrjUntitled = false;
    }
    UpdateProjectStateCore(model);
    return r;
}

std::string FirstSaveFolder(const ProjectModel& model) {
    const std::string start =
        model.StartDir.empty() ? platform::CurrentDirectory() : model.StartDir;
    const auto first = std::find_if(model.MduList.begin(), model.MduList.end(),
                                    [](const mdu& m) { return !m.IsTop() && !m.SrcPath.empty(); });
    if (first == model.MduList.end())
        return start;
    // Source paths resolve against the folder the editor runs in.
    const std::string source =
        first->SrcPath.front() == '/' ? first->SrcPath : start + first->SrcPath;
    const std::string folder = platform::DirectoryOf(platform::AbsolutePath(source));
    return !folder.empty() && platform::DirectoryExists(folder) ? folder : start;
}

std::optional<std::string> ChooseProjectToOpen(ProjectModel& model, EditorServices& services) {
    if (!services.prompt)
        return std::nullopt;
    FileChooser chooser{"Open ZUN Project", ProjectFilter, platform::DirectoryOf(model.PrjFileName),
                        "", "zun"};
    std::optional<std::string> chosen = services.prompt->OpenFile(chooser);
    if (chosen && chosen->empty())
        return std::nullopt;
    return chosen;
}

bool OpenProjectFile(ProjectModel& model, EditorServices& services, const std::string& given,
                     RebuildResult* rebuild) {
    // The caption and the recent list name the file wherever the editor runs next.
    const std::string path = platform::AbsolutePath(given);
    std::size_t logStart = model.Log.Lines().size();
    std::string text;
    if (!LoadTextFile(path, text)) {
        model.LogError(FileFailed);
        return false;
    }
    ProjectScramble(text);
    Scr_DrvClick(model, text, ParseMode::ReplaceAll);
    model.PrjOpen = true;
    model.PrjFileName = path;
    model.PrjUntitled = false;
    model.Modified = false;
    UpdateProjectStateCore(model);
    RebuildResult r = model.UpdatePicExecute(RebuildSender::FileNewPrj);
    // What reading the file reported is why it did not open. A file that is no project is not
    // offered again from the recent list.
    if (r.ClosePrjRequested) {
        CloseIllegalProject(model, services, logStart, false);
        if (services.prompt)
            services.prompt->Message(std::string(IllegalProjectText) + "\n" + path, "",
                                     MessageKind::Error);
    }
    if (rebuild)
        *rebuild = r;
    return true;
}

void UpdateProjectStateCore(ProjectModel& model) {
    model.SetSaveEnabled(model.PrjOpen && model.Modified);
    model.SetUndoRedoEnabled(false, false);
}
