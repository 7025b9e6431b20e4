// Closing the open project: the save question, the recent list, and the empty project after.
#pragma once

#include "editor/model/ProjectModel.h"

#include <cstddef>

struct EditorServices;

// The file of the project that the module wizard builds; it is never entered in RecentList.
inline constexpr const char* TemporaryProjectName = "qvprj.zun";

struct ClosePrjResult {
    // The Tag of the ClosePrj action: 1 when the project was closed or none was open, 0 when the
    // user cancelled (or the save they asked for did not happen). Callers stop on 0.
    int Tag = 1;
    bool RecentChanged = false; // the project was recorded: build the submenu again
    bool Closed = false;        // a project was open and is closed now
    RebuildResult Rebuild;      // of the empty project, when Closed
};

// The Close Project command. The window then runs UpdateProjectState('n'), disables ClosePrj,
// and shows Rebuild. recordRecent false keeps the project's file out of RecentList (a file that
// turned out to be no project).
ClosePrjResult ClosePrjExecute(ProjectModel& model, EditorServices& services,
                               bool recordRecent = true);

// Closes a project that the rebuild found illegal (it has no TOP line). The close clears the
// log, but the lines from keepFrom on tell the user why the project went, so once it is closed
// they are written to the log again. Shown like ClosePrjExecute's result.
ClosePrjResult CloseIllegalProject(ProjectModel& model, EditorServices& services,
                                   std::size_t keepFrom, bool recordRecent = true);
