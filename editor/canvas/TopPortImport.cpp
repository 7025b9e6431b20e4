// Top-level ports from a custom list.
#include "editor/canvas/TopPortImport.h"

#include "editor/model/ProjectParser.h"
#include "platform/AsciiCase.h"
#include "platform/TextFile.h"
#include "platform/TextLines.h"

const char* const KeywordsFile = "keywords.txt";

bool IsIdentChar(bool first, char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_')
        return true;
    return !first && c >= '0' && c <= '9';
}

std::unordered_set<std::string> KeywordSet(std::string_view text) {
    std::unordered_set<std::string> words;
    for (const std::string& line : platform::SplitLines(text)) {
        const std::size_t from = line.find_first_not_of(" \t");
        if (from == std::string::npos)
            continue;
        const std::size_t to = line.find_last_not_of(" \t");
        words.insert(platform::AsciiLower(std::string_view(line).substr(from, to - from + 1)));
    }
    return words;
}

std::vector<std::string> ParseCustomPortList(ProjectModel& model, std::string_view text) {
    std::unordered_set<std::string> keywords;
    const std::string path = model.AppDir + KeywordsFile;
    std::string list;
    if (platform::FileExists(path) && platform::ReadWholeFile(path, list))
        keywords = KeywordSet(list);
    else
        model.LogError(std::string("Missing sys file: ") + KeywordsFile + ".");

    std::vector<std::string> names;
    std::string word;
    auto close = [&] {
        if (!word.empty() && !keywords.count(platform::AsciiLower(word)))
            names.push_back(word);
        word.clear();
    };
    for (char c : text) {
        if (IsIdentChar(word.empty(), c))
            word += c;
        else
            close();
    }
    close(); // a word at the very end of the text
    return names;
}

int ImptTopPrt_CstmExecute(ProjectModel& model, const CustomPortListWindow& window,
                           const std::function<void()>& rebuild) {
    if (!window)
        return 0;
    const std::optional<std::string> text = window();
    if (!text)
        return 0;
    std::vector<ProjectLine> rows;
    for (const std::string& name : ParseCustomPortList(model, *text))
        rows.push_back(MakeLine({"KVAR", "", "", name}));
    const ParseResult result = ImportTopPortRows(model, std::move(rows));
    if (rebuild)
        rebuild();
    return result.Inserted;
}
