// The module scan: one left-to-right pass per file and language, the module list in file order.
#include "engine/ModuleScan.h"

#include "engine/Definitions.h"
#include "engine/SourceText.h"
#include "engine/TextFile.h"
#include "platform/Paths.h"

#include <charconv>
#include <set>
#include <sys/stat.h>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

namespace qve {
namespace {

// A kind digit as the job reads it: not a number, or missing, counts as Verilog.
int KindOf(const std::vector<std::string>& arguments, std::size_t index) {
    if (index >= arguments.size())
        return 0;
    const std::string& text = arguments[index];
    long value = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (begin < end && *begin == '+')
        ++begin;
    auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end || begin == end)
        return 0;
    if (value == 0 || value == 1)
        return static_cast<int>(value);
    return 2;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        if (!text.empty())
            text += ' ';
        text += name;
    }
    return text;
}

// The module list as it grows: the modules in order, the notes, the dropped modules. The list
// is written at the end, when it is known which files were read more than once: only their
// modules need a look at what was listed before, so a job whose files are each read once spends
// nothing on it.
class ModuleList {
public:
    // The modules and notes that follow are those of the source at this path.
    void BeginSource(const std::string& path) {
        sourcePath_ = path;
        sourceRuns_.clear();
    }

    // One module of a Verilog source, under the file whose text holds it.
    void AddModule(const PreparedVerilog& prepared, const ModuleDefinition& definition) {
        const TextRun& run = prepared.RunAt(definition.keyword);
        std::size_t index = static_cast<std::size_t>(&run - prepared.runs.data());
        if (sourceRuns_.size() <= index)
            sourceRuns_.resize(index + 1, kNoRun);
        if (sourceRuns_[index] == kNoRun) {
            sourceRuns_[index] = runs_.size();
            std::size_t file = File(run.path);
            runs_.push_back({ListedPath(run.path), file, run.definedAtStart});
            ++readings_[file];
        }
        entries_.push_back({sourceRuns_[index],
                            std::string(std::string_view(prepared.text)
                                            .substr(definition.nameBegin,
                                                    definition.nameEnd - definition.nameBegin))});
    }

    void AddEntity(const std::string& path, const std::string& name) {
        runs_.push_back({path, kNoFile, nullptr});
        entries_.push_back({runs_.size() - 1, name});
    }

    void AddDropped(const std::vector<DroppedModule>& dropped) {
        for (DroppedModule module : dropped) {
            module.path = ListedPath(module.path);
            if (droppedSeen_.emplace(module.name, module.path, module.macro, module.macroDefined)
                    .second)
                dropped_.push_back(std::move(module));
        }
    }

    // A note on the current source, with what it says beyond the path.
    void AddNote(const char* kind, const std::string& more = {}) {
        notes_ += kind + sourcePath_ + (more.empty() ? "" : "\t" + more) + "\n";
    }

    // The whole list: the pairs with the defined-names lines before them, then the notes, then
    // the dropped modules that no other definition of the same name stands in for.
    std::string Take() {
        std::string text;
        std::shared_ptr<const std::vector<std::string>> lastNames;
        std::string lastDefined;
        // For files read more than once: the definitions of each name a reading has met, and
        // those the file has listed; the n-th definition of a name in one reading is the same in
        // every reading, and a file's definitions of a name are listed in order.
        std::unordered_map<std::size_t, std::unordered_map<std::string, int>> met;
        std::unordered_map<std::size_t, std::unordered_map<std::string, int>> listed;
        std::unordered_set<std::string> names;
        for (const Entry& entry : entries_) {
            const RunInfo& run = runs_[entry.run];
            if (run.file != kNoFile && readings_[run.file] > 1) {
                int occurrence = met[entry.run][entry.name]++;
                int& already = listed[run.file][entry.name];
                if (occurrence < already)
                    continue;
                ++already;
            }
            if (run.file == kNoFile) {
                text += "F1-" + run.path + "\nM-" + entry.name + "\n";
            } else {
                if (run.defined != lastNames) {
                    std::string defined = Joined(*run.defined);
                    if (defined != lastDefined) {
                        text += std::string(kDefinedLine) + defined + "\n";
                        lastDefined = std::move(defined);
                    }
                    lastNames = run.defined;
                }
                text += "F0-" + run.path + "\nM-" + entry.name + "\n";
            }
            if (!dropped_.empty())
                names.insert(entry.name);
        }
        text += notes_;
        for (const DroppedModule& module : dropped_) {
            if (names.count(module.name) > 0)
                continue;
            text += std::string(module.macroDefined ? kDroppedDefinedLine : kDroppedUndefinedLine) +
                    module.name + "\t" + module.path + "\t" + module.macro + "\n";
        }
        return text;
    }

private:
    static constexpr std::size_t kNoRun = static_cast<std::size_t>(-1);
    static constexpr std::size_t kNoFile = static_cast<std::size_t>(-1);

    // One reading of a file (a source, or one include of a file), or the file of a VHDL entity.
    struct RunInfo {
        std::string path;
        std::size_t file;
        std::shared_ptr<const std::vector<std::string>> defined;
    };
    struct Entry {
        std::size_t run;
        std::string name;
    };

    // The source's path as the job received it; an included file's own path, made absolute (it
    // was found relative to its includer or to the current directory).
    std::string ListedPath(const std::string& runPath) const {
        if (runPath == sourcePath_)
            return sourcePath_;
        std::string path = platform::AbsolutePath(runPath);
        return IsWritablePath(path) ? path : sourcePath_;
    }

    // The file behind a path, numbered: two paths of one file (a relative include and the
    // absolute source path, a link) are one file.
    std::size_t File(const std::string& path) {
        struct stat info {};
        std::string identity = ::stat(path.c_str(), &info) == 0
                                   ? std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino)
                                   : "path:" + platform::AbsolutePath(path);
        auto [entry, inserted] = files_.try_emplace(std::move(identity), files_.size());
        if (inserted)
            readings_.push_back(0);
        return entry->second;
    }

    std::string sourcePath_;
    std::string notes_;
    std::unordered_map<std::string, std::size_t> files_;
    // How often each file was read in the job.
    std::vector<int> readings_;
    std::vector<RunInfo> runs_;
    // The current source's runs by their index in its prepared text.
    std::vector<std::size_t> sourceRuns_;
    std::vector<Entry> entries_;
    std::set<std::tuple<std::string, std::string, std::string, bool>> droppedSeen_;
    std::vector<DroppedModule> dropped_;
};

} // namespace

std::vector<std::string> ScanVerilogModules(std::string_view source, const IncludeFiles& includes) {
    std::string text = PreprocessVerilog(StripVerilogComments(source), includes);
    std::vector<std::string> names;
    for (const ModuleDefinition& definition : FindModuleDefinitions(text))
        names.emplace_back(
            text.substr(definition.nameBegin, definition.nameEnd - definition.nameBegin));
    return names;
}

std::vector<std::string> ScanVhdlEntities(std::string_view source) {
    std::vector<std::string> names;
    for (EntityDefinition& definition : FindEntityDefinitions(StripVhdlComments(source)))
        names.push_back(std::move(definition.name));
    return names;
}

bool IsWritablePath(std::string_view path) {
    return path.find_first_of("\t\r\n") == std::string_view::npos;
}

JobResult ModuleScanJob(const std::vector<std::string>& arguments) {
    ModuleList list;
    // The names the sources so far left defined: the next Verilog source starts with them.
    std::vector<std::string> defined;
    for (std::size_t index = 1; index < arguments.size(); index += 2) {
        const std::string& path = arguments[index];
        if (!IsWritablePath(path))
            return JobResult::Failure(EngineError::InputUnreadable);
        std::optional<std::string> source = ReadTextFile(path);
        if (!source)
            return JobResult::Failure(EngineError::InputUnreadable);
        std::string text = std::move(*source);
        // A file that is not text lists nothing, whatever its bytes happen to spell; the editor
        // is told which file it was.
        list.BeginSource(path);
        if (IsBinaryText(text)) {
            list.AddNote(kBinaryLine);
            continue;
        }
        TabsToBlanksInPlace(text);
        // A lone CR ends a line here as it does for the project-text job, so a line comment ends
        // there and the list offers no less than that job can read.
        for (char& c : text)
            if (c == '\r')
                c = '\n';
        int kind = KindOf(arguments, index + 1);
        PreparedVerilog prepared;
        std::vector<ModuleDefinition> modules;
        if (kind != 1) {
            prepared = PrepareVerilog(StripVerilogComments(text),
                                      {path, RegularFilesOnly(ReadTextFile), defined});
            modules = FindModuleDefinitions(prepared.text);
        }
        if (kind == 1 || (kind == 2 && modules.empty())) {
            std::vector<EntityDefinition> entities = FindEntityDefinitions(StripVhdlComments(text));
            for (const EntityDefinition& entity : entities)
                list.AddEntity(path, entity.name);
            // A VHDL file defines no Verilog names; an auto file that is neither still may (a
            // header of defines).
            if (kind == 1 || !entities.empty())
                continue;
        }
        for (const ModuleDefinition& module : modules)
            list.AddModule(prepared, module);
        list.AddDropped(prepared.dropped);
        if (prepared.includedBytesCapped)
            list.AddNote(kIncludeCapLine, std::to_string(kMaxIncludedBytes));
        defined = std::move(prepared.definedAtEnd);
    }
    return JobResult::Output(list.Take());
}

} // namespace qve
