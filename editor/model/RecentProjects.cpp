// The recent-projects list: recording, the submenu content and a click on an item.
#include "editor/model/RecentProjects.h"

#include "editor/model/ClosePrj.h"
#include "editor/model/Documents.h"
#include "editor/model/ProjectFile.h"
#include "editor/model/Prompt.h"
#include "editor/model/Settings.h"
#include "platform/TextFile.h"

#include <algorithm>

void RecordRecentProject(ProjectModel& model, const std::string& path) {
    auto& list = model.RecentList;
    auto found = std::find(list.begin(), list.end(), path);
    if (found != list.end())
        list.erase(found);
    list.insert(list.begin(), path);
}

std::vector<RecentMenuItem> BuildRecentMenu(const ProjectModel& model) {
    std::vector<RecentMenuItem> items;
    std::size_t n = std::min<std::size_t>(model.RecentList.size(), 9);
    for (std::size_t i = 0; i < n; ++i)
        items.push_back({std::to_string(i + 1) + " " + model.RecentList[i], static_cast<int>(i)});
    return items;
}

RecentClickResult RecentProjectClick(ProjectModel& model, EditorServices& services, int tag) {
    RecentClickResult r;
    if (tag < 0 || static_cast<std::size_t>(tag) >= model.RecentList.size())
        return r;
    std::string path = model.RecentList[tag];
    if (platform::FileExists(path)) {
        ClosePrjResult closed = ClosePrjExecute(model, services);
        r.MenuChanged = closed.RecentChanged;
        if (closed.Tag == 0)
            return r;
        r.Opened = OpenProjectFile(model, services, path, &r.Rebuild);
        return r;
    }
    if (services.prompt)
        services.prompt->Message("File does not exist.");
    model.RecentList.erase(model.RecentList.begin() + tag);
    SaveSettings(model, services, 'R');
    r.MenuChanged = true;
    return r;
}
