// The Close Project command.
#include "editor/model/ClosePrj.h"

#include "editor/model/Documents.h"
#include "editor/model/ProjectFile.h"
#include "editor/model/ProjectParser.h"
#include "editor/model/Prompt.h"
#include "editor/model/RecentProjects.h"
#include "editor/model/Settings.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <string>
#include <vector>

ClosePrjResult ClosePrjExecute(ProjectModel& model, EditorServices& services, bool recordRecent) {
    ClosePrjResult r;
    r.Tag = 1;
    if (!model.PrjOpen)
        return r;

    if (model.Modified) {
        PromptAnswer answer =
            services.prompt
                ? services.prompt->YesNoCancel("Save the current project?", "ZUN2012 Report")
                : PromptAnswer::Cancel;
        if (answer == PromptAnswer::Cancel) {
            r.Tag = 0;
            return r;
        }
        // A save that did not happen (Save As cancelled, or the write failed) would lose the
        // project: it counts as Cancel.
        if (answer == PromptAnswer::Yes && !FileSavePrjExecute(model, services).Saved) {
            r.Tag = 0;
            return r;
        }
    }

    if (recordRecent && platform::FileExists(model.PrjFileName) &&
        model.PrjFileName != model.WorkDir + TemporaryProjectName) {
        RecordRecentProject(model, model.PrjFileName);
        SaveSettings(model, services, 'R');
        r.RecentChanged = true;
    }

    Scr_DrvClick(model, "", ParseMode::ReplaceAll);
    model.CopyLineList(nullptr, model.UndoList);
    model.CopyLineList(nullptr, model.RedoList);
    model.ClearLog();
    model.PrjOpen = false;
    model.Modified = false;
    model.PrjFileName.clear();
    UpdateProjectStateCore(model);
    r.Rebuild = model.UpdatePicExecute(RebuildSender::MainWindow);
    r.Closed = true;
    return r;
}

ClosePrjResult CloseIllegalProject(ProjectModel& model, EditorServices& services,
                                   std::size_t keepFrom, bool recordRecent) {
    const std::vector<std::string>& log = model.Log.Lines();
    const std::vector<std::string> kept(
        log.begin() + static_cast<long>(std::min(keepFrom, log.size())), log.end());
    ClosePrjResult r = ClosePrjExecute(model, services, recordRecent);
    // A cancelled close left the log as it was.
    if (r.Closed)
        for (const std::string& line : kept)
            model.LogLine(line);
    return r;
}
