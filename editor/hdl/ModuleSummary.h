// The HTML module summary: for each instance (the top module included) its names, source file,
// bit totals and a table of its ports, made from our template res/summary.htm, written to
// "summary.htm" in the work directory and opened in the user's browser.
#pragma once

#include <string>
#include <vector>

class ProjectModel;
struct EditorServices;
struct mdu;

// res/summary.htm, built into the program. A section between the lines holding
// TEM_INSTANCE_BEGIN and TEM_INSTANCE_END is filled once per instance; the part before it and
// the part after it stand once in a page.
extern const char* const SummaryTemplate;

extern const char* const SummaryFileName; // "summary.htm"

class ModuleSummary {
public:
    explicit ModuleSummary(const ProjectModel& model) : model_(model) {}

    // Fills the template's section for one instance of the last rebuild and adds it to the page;
    // first starts a new page. Every value is escaped, and no value is read for tags again.
    void MakeModuleSummary(const mdu& instance, bool first);
    // The page so far: its head, a section per instance, its foot; every line ends with CR LF.
    std::string HtmlBuf() const;
    std::vector<std::string> HtmlBufLines() const;

private:
    const ProjectModel& model_;
    std::string sections_;
};

// Makes the summary of one instance (an index in MduList) or, with -1, of every instance in
// list order, saves it as WorkDir + "summary.htm" and opens it with the desktop. A page that
// cannot be written is logged as an error and nothing is opened, so the browser never shows an
// older page as if it were this one. False when nothing was opened.
bool ShowModuleSummary(ProjectModel& model, EditorServices& services, int instance = -1);

// Tools > "All I/O Summary".
inline bool ViewModuleSummary1Click(ProjectModel& model, EditorServices& services) {
    return ShowModuleSummary(model, services, -1);
}
