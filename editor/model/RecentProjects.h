// The recent-projects list and the content of its submenu.
#pragma once

#include "editor/model/ProjectModel.h"

#include <string>
#include <vector>

struct EditorServices;

// Moves path to the front of RecentList, or puts it there. Paths compare exactly: on Linux two
// names that differ in letter case are two files.
void RecordRecentProject(ProjectModel& model, const std::string& path);

// One item of the "Recent Projects" submenu.
struct RecentMenuItem {
    std::string Caption; // "1 /path/to/file.zun"
    int Tag = 0;         // its index in RecentList
};

// BuildRecentMenu's content: at most nine items, numbered from 1; none disables the submenu.
std::vector<RecentMenuItem> BuildRecentMenu(const ProjectModel& model);

struct RecentClickResult {
    bool Opened = false;      // the project was closed and the file opened
    bool MenuChanged = false; // the submenu must be built again (BuildRecentMenu)
    RebuildResult Rebuild;    // of the open, when Opened
};

// A click on the submenu item with this tag: closes the project and opens the file; a file that
// has gone is reported and its entry removed, leaving the open project as it was.
RecentClickResult RecentProjectClick(ProjectModel& model, EditorServices& services, int tag);
