// The module scan: one left-to-right pass per file and language, the module list in file order.
#include "engine/ModuleScan.h"

#include "engine/Definitions.h"
#include "engine/SourceText.h"
#include "engine/TextFile.h"
#include "platform/Paths.h"

#include <charconv>
#include <map>
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

// The module list as it grows: the pairs, the defined-names lines before them, and the notes.
class ModuleList {
public:
    // The modules and notes that follow are those of the source at this path.
    void BeginSource(const std::string& path) {
        sourcePath_ = path;
        occurrences_.clear();
    }

    // One module of a Verilog source: listed unless the same definition of the same file was
    // listed before (a file included many times, or included and also named as a source).
    void AddModule(const PreparedVerilog& prepared, const ModuleDefinition& definition) {
        const TextRun& run = prepared.RunAt(definition.keyword);
        std::string name(
            std::string_view(prepared.text)
                .substr(definition.nameBegin, definition.nameEnd - definition.nameBegin));
        std::string path = ListedPath(run.path);
        // The n-th definition of a name in one reading of a file is the same definition in every
        // reading of that file.
        int occurrence =
            occurrences_[{static_cast<std::size_t>(&run - prepared.runs.data()), name}]++;
        if (!listed_.emplace(Identity(run.path), name, occurrence).second)
            return;
        std::string defined = Joined(*run.definedAtStart);
        if (defined != lastDefined_) {
            text_ += std::string(kDefinedLine) + defined + "\n";
            lastDefined_ = std::move(defined);
        }
        text_ += "F0-" + path + "\nM-" + name + "\n";
        names_.insert(std::move(name));
    }

    void AddEntity(const std::string& path, const std::string& name) {
        text_ += "F1-" + path + "\nM-" + name + "\n";
        names_.insert(name);
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

    // The whole list: the pairs, then the notes, then the dropped modules that no other
    // definition of the same name stands in for.
    std::string Take() {
        std::string text = std::move(text_);
        text += notes_;
        for (const DroppedModule& module : dropped_) {
            if (names_.count(module.name) > 0)
                continue;
            text += std::string(module.macroDefined ? kDroppedDefinedLine : kDroppedUndefinedLine) +
                    module.name + "\t" + module.path + "\t" + module.macro + "\n";
        }
        return text;
    }

private:
    // The source's path as the job received it; an included file's own path, made absolute (it
    // was found relative to its includer or to the current directory).
    std::string ListedPath(const std::string& runPath) const {
        if (runPath == sourcePath_)
            return sourcePath_;
        std::string path = platform::AbsolutePath(runPath);
        return IsWritablePath(path) ? path : sourcePath_;
    }

    // The file behind a path: two paths of one file (a relative include and the absolute source
    // path, a link) are one file.
    const std::string& Identity(const std::string& path) {
        auto [entry, inserted] = identities_.try_emplace(path);
        if (inserted) {
            struct stat info {};
            if (::stat(path.c_str(), &info) == 0)
                entry->second = std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
            else
                entry->second = "path:" + platform::AbsolutePath(path);
        }
        return entry->second;
    }

    std::string sourcePath_;
    std::string text_;
    std::string notes_;
    std::string lastDefined_;
    std::unordered_map<std::string, std::string> identities_;
    std::map<std::pair<std::size_t, std::string>, int> occurrences_;
    std::set<std::tuple<std::string, std::string, int>> listed_;
    std::unordered_set<std::string> names_;
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
