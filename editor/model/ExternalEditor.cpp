// The external editor's command line and its start.
#include "editor/model/ExternalEditor.h"

#include "editor/model/ProjectModel.h"

namespace {

std::string ReplacePath(const std::string& word, const std::string& path) {
    std::string out;
    std::size_t start = 0;
    for (std::size_t at = word.find("%F"); at != std::string::npos; at = word.find("%F", start)) {
        out.append(word, start, at - start).append(path);
        start = at + 2;
    }
    return out.append(word, start, std::string::npos);
}

} // namespace

std::vector<std::string> SplitEditorParams(std::string_view params) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (char c : params) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word.push_back(c);
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

std::vector<std::string> ExternalEditorCommand(const ProjectModel& model, const std::string& path) {
    std::vector<std::string> argv{ReplacePath(model.EditorProgram, path)};
    for (const std::string& word : SplitEditorParams(model.EditorParams))
        argv.push_back(ReplacePath(word, path));
    return argv;
}

bool StartExternalEditor(ProjectModel& model, EditorServices& services, const std::string& path) {
    const std::vector<std::string> argv = ExternalEditorCommand(model, path);
    const IoStatus st = argv.front().empty()
                            ? IoStatus::Fail("no external editor is set in the settings")
                            : services.Spawn(argv);
    if (!st)
        model.LogError("Can not start the editor " + argv.front() + " for " + path + ": " +
                       st.message);
    return static_cast<bool>(st);
}
