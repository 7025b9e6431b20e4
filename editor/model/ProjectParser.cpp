// The project-text parser: row splitting, duplicate and empty-module checks, and the four ways
// of putting the rows into the project.
#include "editor/model/ProjectParser.h"

#include "editor/model/MessageLog.h"
#include "editor/model/ProjectModel.h"

#include <iterator>
#include <optional>
#include <string>
#include <unordered_set>

namespace {

bool EndsBlock(const ProjectLine& row) {
    const char kind = LineKind(row[0]);
    return kind == 'M' || kind == 'W' || kind == 'A' || IsDisabledHead(row[0]);
}

// A port line, or one disabled by hand or by the rebuild: either keeps its module from being
// empty, so that a port the rebuild disables does not take its module away at the next open.
bool IsPortRow(const ProjectLine& row) {
    return LineKind(row[0]) == 'P' || DisabledKind(row[0]) == 'P';
}

ProjectLine SplitRow(std::string_view line, int r, MessageLog& log) {
    ProjectLine row{};
    std::size_t field = 0;
    std::size_t start = 0;
    for (;;) {
        std::size_t tab = line.find('\t', start);
        std::string_view text = line.substr(
            start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
        if (field == ProjectLineFields) {
            log.LogWarning("Too many parameters in line " + std::to_string(r) + ".");
            break;
        }
        if (field <= 16)
            row[field] = std::string(text);
        ++field;
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
    // On record lines fields 8 to 13 are the editor's run-time state (a stray "S" would make a
    // wire a suggestion); settings lines use them for values.
    if (LineKind(row[0]) != 'N') {
        for (std::size_t f = FieldBrush; f <= FieldCollapsed; ++f)
            row[f].clear();
    }
    return row;
}

// Per row: the head whose block it is in, and per head whether a port line stands in its block;
// both in one pass, so the empty-module test stays linear. A head is told by its first letter,
// as the rebuild tells it: a line the rebuild takes as a MODULE is tested as one.
struct BlockFacts {
    std::vector<int> owner;        // the head at or above the row; -1 none (or a disabled head)
    std::vector<bool> portInBlock; // for a head: a port line stands between it and its block end
};

BlockFacts FindBlockFacts(const std::vector<ProjectLine>& rows) {
    BlockFacts f;
    const std::size_t n = rows.size();
    f.owner.assign(n, -1);
    f.portInBlock.assign(n, false);
    int head = -1;
    bool inBlock = false;
    for (std::size_t r = 0; r < n; ++r) {
        const ProjectLine& row = rows[r];
        const char kind = LineKind(row[0]);
        if (kind == 'M') {
            head = static_cast<int>(r);
            inBlock = true;
        } else if (IsDisabledHead(row[0])) {
            head = -1;
            inBlock = false;
        } else if (kind == 'W' || kind == 'A') {
            inBlock = false;
        } else if (inBlock && head >= 0 && IsPortRow(row)) {
            f.portInBlock[static_cast<std::size_t>(head)] = true;
        }
        f.owner[r] = head;
    }
    return f;
}

// A module's head, or a parameter line of it, when no port line stands in the module's block.
// Whether a port follows the row itself does not matter: a parameter line after the ports is
// still in a module with ports.
bool EmptyModuleRow(const std::vector<ProjectLine>& rows, const BlockFacts& f, std::size_t r) {
    const char kind = LineKind(rows[r][0]);
    if (kind != 'M' && kind != 'R')
        return false;
    const int head = f.owner[r];
    if (head < 0 || rows[static_cast<std::size_t>(head)][0].front() != 'M')
        return false;
    return !f.portInBlock[static_cast<std::size_t>(head)];
}

// The lines that went with an empty module beyond its own block, and why.
std::string FurtherLinesOfEmptyModule(int count, std::size_t headRow) {
    return "Ignore " + std::to_string(count) + (count == 1 ? " further line" : " further lines") +
           " of the empty module in line " + std::to_string(headRow) +
           ": port and parameter lines belong to the nearest TOP or MODULE line above them.";
}

} // namespace

std::vector<ProjectLine> SplitProjectText(std::string_view text, MessageLog& log) {
    std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    std::vector<ProjectLine> rows;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        std::string_view line = text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        rows.push_back(SplitRow(line, static_cast<int>(rows.size()), log));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    return rows;
}

bool IsInEmptyModule(const std::vector<ProjectLine>& rows, int row, MessageLog& log) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) {
        log.LogError("Internal error. Illegal number.");
        return true;
    }
    return EmptyModuleRow(rows, FindBlockFacts(rows), static_cast<std::size_t>(row));
}

char DisabledKind(std::string_view keyword) {
    const std::size_t first = keyword.find_first_not_of('#');
    if (first == 0 || first == std::string_view::npos)
        return 'N';
    return LineKind(keyword.substr(first));
}

bool IsDisabledHead(std::string_view keyword) {
    return DisabledKind(keyword) == 'M';
}

int BlockEnd(const ProjectLines& lines, int start) {
    int n = static_cast<int>(lines.size());
    int i = start + 1;
    while (i < n && !EndsBlock(lines[i]))
        ++i;
    return i;
}

ParseResult ImportTopPortRows(ProjectModel& model, std::vector<ProjectLine> rows) {
    ParseResult result;
    // A long list gives a line for every name: the log's view takes them at once.
    MessageLog::Batch batch(model.Log);
    // The top module is the first line the rebuild takes as TOP: the first TOP line with a name.
    // Its block end is found by walking the lines, not by counting records, so disabled lines
    // inside it are passed.
    const int n = static_cast<int>(model.LineList.size());
    int top = -1;
    for (int i = 0; i < n && top < 0; ++i) {
        const ProjectLine& line = model.LineList[i];
        if (!line[0].empty() && line[0][0] == 'T' && !line[2].empty())
            top = i;
    }
    if (top < 0 || !model.TopRecord()) {
        model.LogError("Can not import top ports: the project has no top module.");
        result.Refused = true;
        return result;
    }
    const int position = BlockEnd(model.LineList, top);
    // Port names of the top block, and then of every row imported in this run.
    std::unordered_set<std::string> names;
    for (int i = top + 1; i < position; ++i) {
        if (LineKind(model.LineList[i][0]) == 'P')
            names.insert(model.LineList[i][3]);
    }
    // Accepted rows go in as one run, so a long list moves the lines after them once.
    ProjectLines accepted;
    for (ProjectLine& row : rows) {
        // Only port rows can become top-level ports; the rest of the engine's text (its
        // header and module line) is not for the project.
        if (LineKind(row[0]) != 'P')
            continue;
        const std::string name = row[3];
        if (names.count(name)) {
            model.LogInfo("Ignore duplicate top port: " + name + ".");
            continue;
        }
        std::string reason;
        if (!model.CheckTopPortName(name, &reason)) {
            model.LogInfo("Ignore top port: " + name + ". " + reason);
            continue;
        }
        if (!result.UndoTaken) {
            model.TakeUndoSnapshot();
            result.UndoTaken = true;
        }
        model.LogInfo("Import top port: " + name + ".");
        names.insert(name);
        accepted.push_back(std::move(row));
        ++result.Inserted;
    }
    model.LineList.insert(model.LineList.begin() + position,
                          std::make_move_iterator(accepted.begin()),
                          std::make_move_iterator(accepted.end()));
    return result;
}

ParseResult Scr_DrvClick(ProjectModel& model, std::string_view text, ParseMode mode,
                         ProjectLines* defLines) {
    // A damaged text can give a warning for every row: the log's view takes them at once.
    MessageLog::Batch batch(model.Log);
    std::vector<ProjectLine> rows = SplitProjectText(text, model.Log);
    if (mode == ParseMode::ImportTopPorts)
        return ImportTopPortRows(model, std::move(rows));
    ParseResult result;
    int n = static_cast<int>(model.LineList.size());

    // Set-up: where the rows go.
    int position = -1;
    switch (mode) {
    case ParseMode::UpdateDefinition:
        if (defLines)
            defLines->clear();
        break;
    case ParseMode::AddModules: {
        int last = -1;
        for (int i = n - 1; i >= 0 && last < 0; --i) {
            if (LineKind(model.LineList[i][0]) == 'M')
                last = i;
        }
        position = last < 0 ? -1 : BlockEnd(model.LineList, last);
        model.TakeUndoSnapshot();
        result.UndoTaken = true;
        break;
    }
    case ParseMode::ReplaceAll:
        model.LineList.clear();
        break;
    case ParseMode::ImportTopPorts:
        break;
    }

    // Accepted rows are gathered and put in as one run, so adding many rows to a large project
    // moves the lines after them once, not once per row.
    ProjectLines accepted;
    accepted.reserve(rows.size());
    // Each row is taken over once it is accepted; nothing reads it afterwards.
    auto insert = [&](ProjectLine& row) {
        accepted.push_back(std::move(row));
        ++result.Inserted;
    };
    auto commit = [&] {
        if (mode == ParseMode::UpdateDefinition) {
            if (defLines)
                defLines->insert(defLines->end(), std::make_move_iterator(accepted.begin()),
                                 std::make_move_iterator(accepted.end()));
            return;
        }
        auto at = position < 0 || position >= static_cast<int>(model.LineList.size())
                      ? model.LineList.end()
                      : model.LineList.begin() + position;
        model.LineList.insert(at, std::make_move_iterator(accepted.begin()),
                              std::make_move_iterator(accepted.end()));
    };

    BlockFacts facts = FindBlockFacts(rows);
    std::string instance;
    std::unordered_set<std::string> portNames;
    std::unordered_set<std::string> paramNames;
    // An empty module that was left out, while its lines are read: the port and parameter lines
    // after its WIRE or ASSIGN lines are still its, and go with it; kept, they would join the
    // instance above at the next save.
    struct DroppedHead {
        std::size_t row = 0;
        bool pastBlock = false;
        int later = 0;
    };
    std::optional<DroppedHead> dropped;
    auto endDropped = [&] {
        if (dropped && dropped->later > 0)
            model.LogWarning(FurtherLinesOfEmptyModule(dropped->later, dropped->row));
        dropped.reset();
    };
    for (std::size_t r = 0; r < rows.size(); ++r) {
        ProjectLine& row = rows[r];
        if (row[0].empty())
            continue;
        const char kind = LineKind(row[0]);
        if (kind == 'M' || IsDisabledHead(row[0]))
            endDropped();
        if (dropped) {
            if (kind == 'W' || kind == 'A') {
                dropped->pastBlock = true;
            } else if (dropped->pastBlock && (kind == 'P' || kind == 'R')) {
                ++dropped->later;
                continue;
            }
        }
        switch (kind) {
        case 'M':
            portNames.clear();
            paramNames.clear();
            instance = row[2];
            break;
        case 'P':
            if (!portNames.insert(row[3]).second) {
                model.LogError("Found and ignored duplicate port " + row[3] + " in the instance " +
                               instance + ".");
                continue;
            }
            break;
        case 'R':
            if (!paramNames.insert(row[3]).second) {
                model.LogError("Found and ignored duplicate parameter " + row[3] +
                               " in the instance " + instance + ".");
                continue;
            }
            break;
        default:
            // The lines under a disabled head are checked as a block of their own.
            if (IsDisabledHead(row[0])) {
                portNames.clear();
                paramNames.clear();
                instance = row[2];
            }
            break;
        }
        if (EmptyModuleRow(rows, facts, r)) {
            if (row[0] == "MODULE")
                model.LogWarning("Ignore the empty module: " + row[1] + ".");
            else
                model.LogWarning("Ignore the item in the empty module.");
            if (kind == 'M')
                dropped = DroppedHead{r};
            continue;
        }
        if (row[0] == "MODULE")
            result.AddedModules.insert(row[1]);
        insert(row);
    }
    endDropped();
    commit();
    return result;
}
