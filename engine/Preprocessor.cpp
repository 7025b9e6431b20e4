// One left-to-right pass per text with a stack of branches; included files are read once each.
#include "engine/Preprocessor.h"

#include "engine/Definitions.h"
#include "engine/SourceText.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <sys/stat.h>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace qve {
namespace {

enum class DirectiveKind {
    Ifdef,
    Ifndef,
    Elsif,
    Else,
    Endif,
    Define,
    Undef,
    Undefineall,
    Include,
    Other,
};

// How much of the line a directive takes after its keyword.
enum class DirectiveReach { KeywordOnly, OneWord, IncludeName, RestOfLine, DefineBody };

struct Directive {
    std::string_view keyword;
    DirectiveKind kind;
    DirectiveReach reach;
};

constexpr std::array kDirectives = {
    Directive{"ifdef", DirectiveKind::Ifdef, DirectiveReach::OneWord},
    Directive{"ifndef", DirectiveKind::Ifndef, DirectiveReach::OneWord},
    Directive{"elsif", DirectiveKind::Elsif, DirectiveReach::OneWord},
    Directive{"else", DirectiveKind::Else, DirectiveReach::KeywordOnly},
    Directive{"endif", DirectiveKind::Endif, DirectiveReach::KeywordOnly},
    Directive{"define", DirectiveKind::Define, DirectiveReach::DefineBody},
    Directive{"undef", DirectiveKind::Undef, DirectiveReach::OneWord},
    Directive{"undefineall", DirectiveKind::Undefineall, DirectiveReach::KeywordOnly},
    Directive{"include", DirectiveKind::Include, DirectiveReach::IncludeName},
    Directive{"timescale", DirectiveKind::Other, DirectiveReach::RestOfLine},
    Directive{"resetall", DirectiveKind::Other, DirectiveReach::KeywordOnly},
    Directive{"celldefine", DirectiveKind::Other, DirectiveReach::KeywordOnly},
    Directive{"endcelldefine", DirectiveKind::Other, DirectiveReach::KeywordOnly},
    Directive{"default_nettype", DirectiveKind::Other, DirectiveReach::OneWord},
    Directive{"unconnected_drive", DirectiveKind::Other, DirectiveReach::OneWord},
    Directive{"nounconnected_drive", DirectiveKind::Other, DirectiveReach::KeywordOnly},
    Directive{"pragma", DirectiveKind::Other, DirectiveReach::RestOfLine},
    Directive{"line", DirectiveKind::Other, DirectiveReach::RestOfLine},
    Directive{"begin_keywords", DirectiveKind::Other, DirectiveReach::RestOfLine},
    Directive{"end_keywords", DirectiveKind::Other, DirectiveReach::KeywordOnly},
    Directive{"default_decay_time", DirectiveKind::Other, DirectiveReach::OneWord},
    Directive{"default_trireg_strength", DirectiveKind::Other, DirectiveReach::OneWord},
    Directive{"delay_mode_distributed", DirectiveKind::Other, DirectiveReach::KeywordOnly},
    Directive{"delay_mode_path", DirectiveKind::Other, DirectiveReach::KeywordOnly},
    Directive{"delay_mode_unit", DirectiveKind::Other, DirectiveReach::KeywordOnly},
    Directive{"delay_mode_zero", DirectiveKind::Other, DirectiveReach::KeywordOnly},
};

const Directive* FindDirective(std::string_view word) {
    for (const Directive& directive : kDirectives)
        if (directive.keyword == word)
            return &directive;
    return nullptr;
}

std::size_t SkipSpacesOnLine(std::string_view text, std::size_t i) {
    while (i < text.size() && text[i] != '\n' && IsBlank(text[i]))
        ++i;
    return i;
}

std::size_t NameEnd(std::string_view text, std::size_t i) {
    while (i < text.size() && IsVerilogNameByte(text[i]))
        ++i;
    return i;
}

// The name that follows a directive keyword ending at i, on the same line; empty when none does.
std::string_view NameAfter(std::string_view text, std::size_t i) {
    std::size_t start = SkipSpacesOnLine(text, i);
    return text.substr(start, NameEnd(text, start) - start);
}

// Where the file name of an `include whose keyword ends at i closes: the quote or angle bracket
// that ends it on the same line, or npos. The search never leaves the line, so a run of
// unclosed names costs no more than reading them.
std::size_t IncludedNameClose(std::string_view text, std::size_t i) {
    std::size_t j = SkipSpacesOnLine(text, i);
    if (j >= text.size() || (text[j] != '"' && text[j] != '<'))
        return std::string_view::npos;
    char close = text[j] == '"' ? '"' : '>';
    std::string_view line = text.substr(0, LineEnd(text, j));
    return line.find(close, j + 1);
}

// The file name of an `include whose keyword ends at i: between quotes or angle brackets on the
// same line; empty for any other form (a macro naming the file cannot be resolved here).
std::string_view IncludedName(std::string_view text, std::size_t i) {
    std::size_t end = IncludedNameClose(text, i);
    if (end == std::string_view::npos)
        return {};
    std::size_t open = SkipSpacesOnLine(text, i);
    return text.substr(open + 1, end - open - 1);
}

// The end of a directive whose keyword ends at i.
std::size_t DirectiveEnd(std::string_view text, std::size_t i, DirectiveReach reach) {
    switch (reach) {
    case DirectiveReach::KeywordOnly:
        return i;
    case DirectiveReach::OneWord: {
        std::size_t start = SkipSpacesOnLine(text, i);
        std::size_t end = NameEnd(text, start);
        return end == start ? i : end;
    }
    case DirectiveReach::IncludeName: {
        std::size_t end = IncludedNameClose(text, i);
        return end == std::string_view::npos ? LineEnd(text, i) : end + 1;
    }
    case DirectiveReach::RestOfLine:
        return LineEnd(text, i);
    case DirectiveReach::DefineBody: {
        // A macro body goes on over lines that end in a backslash.
        std::size_t j = i;
        for (;;) {
            std::size_t end = LineEnd(text, j);
            if (end < text.size() && end > j && text[end - 1] == '\\') {
                j = end + 1;
                continue;
            }
            return end;
        }
    }
    }
    return i;
}

// The folder part of a path with its "/", or "" for a bare file name.
std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

class Preprocessor {
public:
    Preprocessor(const FileReader& read, const std::vector<std::string>& predefined)
        : read_(read), defined_(predefined.begin(), predefined.end()) {}

    // Reads one text into the output as run `run`.
    void Run(std::string_view text, std::size_t run, int depth) {
        static constexpr ByteSet special("\"\\`");
        Resume(run);
        std::size_t i = 0;
        while (i < text.size()) {
            std::size_t plain = SkipPlain(text, i, special);
            Keep(text.substr(i, plain - i));
            i = plain;
            if (i >= text.size())
                break;
            char c = text[i];
            if (c != '`') {
                std::size_t end =
                    c == '"' ? VerilogStringEnd(text, i) : EscapedIdentifierEnd(text, i);
                Keep(text.substr(i, end - i));
                i = end;
                continue;
            }
            std::size_t wordEnd = NameEnd(text, i + 1);
            const Directive* directive = FindDirective(text.substr(i + 1, wordEnd - i - 1));
            if (directive == nullptr) {
                Keep(text.substr(i, wordEnd - i));
                i = wordEnd;
                continue;
            }
            std::size_t end = DirectiveEnd(text, wordEnd, directive->reach);
            // A directive may change the branch, and an include the run: what was dropped so far
            // is told with the cause that held for it.
            FlushDropped(run);
            out_.push_back(' ');
            Obey(*directive, text, wordEnd, run, depth);
            // The line ends of a macro body stay, as those of dropped text do.
            KeepLineEnds(text.substr(i, end - i));
            i = end;
        }
        FlushDropped(run);
    }

    PreparedVerilog Take() {
        PreparedVerilog prepared;
        prepared.text = std::move(out_);
        prepared.runs = std::move(runs_);
        prepared.pieces = std::move(pieces_);
        prepared.dropped = std::move(dropped_);
        prepared.includedBytesCapped = capped_;
        prepared.definedAtEnd = *Snapshot();
        return prepared;
    }

    // The first run, the source, as the caller names it.
    void StartSource(const std::string& path) { runs_.push_back({path, Snapshot()}); }

private:
    // Why a branch is not read: the macro and whether it is defined.
    struct Cause {
        std::string macro;
        bool defined = false;
    };

    // One open conditional: whether the text around it is read, whether one of its branches was
    // taken, whether the current branch is read, why it is not, and what took an earlier one.
    struct Branch {
        bool enclosingActive;
        bool taken;
        bool active;
        Cause droppedBy;
        Cause takenBy;
    };

    bool Active() const { return branches_.empty() || branches_.back().active; }
    bool Defined(std::string_view name) const {
        return !name.empty() && defined_.count(std::string(name)) > 0;
    }

    void Keep(std::string_view piece) {
        if (Active()) {
            out_.append(piece);
            return;
        }
        KeepLineEnds(piece);
        droppedText_.append(piece);
    }

    void KeepLineEnds(std::string_view piece) {
        for (char c : piece)
            if (c == '\n')
                out_.push_back('\n');
    }

    // The output goes on with run `run` from here.
    void Resume(std::size_t run) {
        if (!pieces_.empty() && pieces_.back().first == out_.size())
            pieces_.back().second = run;
        else if (pieces_.empty() || pieces_.back().second != run)
            pieces_.emplace_back(out_.size(), run);
    }

    // The module headers of the text dropped since the last directive, each with the cause of its
    // branch.
    void FlushDropped(std::size_t run) {
        if (droppedText_.empty())
            return;
        if (!branches_.empty() && !branches_.back().droppedBy.macro.empty()) {
            const Cause& cause = branches_.back().droppedBy;
            for (std::string& name : ModuleHeaderNames(droppedText_))
                dropped_.push_back({std::move(name), runs_[run].path, cause.macro, cause.defined});
        }
        droppedText_.clear();
    }

    void Define(std::string_view name) {
        if (defined_.emplace(name).second)
            ++version_;
    }
    void Undefine(std::string_view name) {
        if (defined_.erase(std::string(name)) > 0)
            ++version_;
    }
    void UndefineAll() {
        if (!defined_.empty())
            ++version_;
        defined_.clear();
    }

    // The defined names, sorted; taken again only when they changed since the last time.
    std::shared_ptr<const std::vector<std::string>> Snapshot() {
        if (!snapshot_ || snapshotVersion_ != version_) {
            auto names =
                std::make_shared<std::vector<std::string>>(defined_.begin(), defined_.end());
            std::sort(names->begin(), names->end());
            snapshot_ = std::move(names);
            snapshotVersion_ = version_;
        }
        return snapshot_;
    }

    // The directive whose keyword ends at i.
    void Obey(const Directive& directive, std::string_view text, std::size_t i, std::size_t run,
              int depth) {
        switch (directive.kind) {
        case DirectiveKind::Ifdef:
        case DirectiveKind::Ifndef: {
            bool enclosing = Active();
            std::string_view name = NameAfter(text, i);
            bool defined = Defined(name);
            bool holds = defined == (directive.kind == DirectiveKind::Ifdef);
            Branch branch{enclosing, enclosing && holds, enclosing && holds, {}, {}};
            if (!enclosing)
                branch.droppedBy = branches_.back().droppedBy;
            else if (holds)
                branch.takenBy = {std::string(name), defined};
            else
                branch.droppedBy = {std::string(name), defined};
            branches_.push_back(std::move(branch));
            break;
        }
        case DirectiveKind::Elsif:
            if (!branches_.empty()) {
                Branch& branch = branches_.back();
                std::string_view name = NameAfter(text, i);
                if (!branch.enclosingActive) {
                    branch.active = false;
                } else if (branch.taken) {
                    branch.active = false;
                    branch.droppedBy = branch.takenBy;
                } else if (Defined(name)) {
                    branch.active = branch.taken = true;
                    branch.takenBy = {std::string(name), true};
                } else {
                    branch.active = false;
                    branch.droppedBy = {std::string(name), false};
                }
            }
            break;
        case DirectiveKind::Else:
            if (!branches_.empty()) {
                Branch& branch = branches_.back();
                branch.active = branch.enclosingActive && !branch.taken;
                if (branch.enclosingActive && branch.taken)
                    branch.droppedBy = branch.takenBy;
                branch.taken = true;
            }
            break;
        case DirectiveKind::Endif:
            if (!branches_.empty())
                branches_.pop_back();
            break;
        case DirectiveKind::Define:
            if (std::string_view name = NameAfter(text, i); Active() && !name.empty())
                Define(name);
            break;
        case DirectiveKind::Undef:
            if (Active())
                Undefine(NameAfter(text, i));
            break;
        case DirectiveKind::Undefineall:
            if (Active())
                UndefineAll();
            break;
        case DirectiveKind::Include:
            if (Active())
                Include(IncludedName(text, i), run, depth);
            break;
        case DirectiveKind::Other:
            break;
        }
    }

    void Include(std::string_view name, std::size_t includer, int depth) {
        if (name.empty() || depth + 1 > kMaxIncludeDepth)
            return;
        std::string file(name);
        std::string found;
        const std::string* text = nullptr;
        if (file.front() != '/') {
            std::string beside = FolderOf(runs_[includer].path) + file;
            if ((text = Load(beside)) != nullptr)
                found = beside;
        }
        if (text == nullptr && (text = Load(file)) != nullptr)
            found = file;
        if (text == nullptr || ++includeCounts_[found] > kMaxIncludesOfOneFile)
            return;
        if (text->size() > kMaxIncludedBytes - includedBytes_) {
            capped_ = true;
            return;
        }
        includedBytes_ += text->size();
        std::size_t run = runs_.size();
        runs_.push_back({found, Snapshot()});
        std::size_t before = out_.size();
        Run(*text, run, depth + 1);
        if (out_.size() > before)
            out_.push_back(' ');
        Resume(includer);
    }

    // The prepared text of a file, read once however often it is included; nothing when it
    // cannot be read. A file that is not text reads as empty.
    const std::string* Load(const std::string& path) {
        auto [entry, inserted] = files_.try_emplace(path);
        if (inserted && read_) {
            entry->second = read_(path);
            if (entry->second) {
                std::string& text = *entry->second;
                if (IsBinaryText(text))
                    text.clear();
                TabsToBlanksInPlace(text);
                text = StripVerilogComments(CrToLf(text));
            }
        }
        return entry->second ? &*entry->second : nullptr;
    }

    const FileReader& read_;
    std::string out_;
    std::unordered_set<std::string> defined_;
    std::size_t version_ = 0;
    std::shared_ptr<const std::vector<std::string>> snapshot_;
    std::size_t snapshotVersion_ = 0;
    std::vector<Branch> branches_;
    std::unordered_map<std::string, int> includeCounts_;
    std::size_t includedBytes_ = 0;
    bool capped_ = false;
    std::vector<TextRun> runs_;
    std::vector<std::pair<std::size_t, std::size_t>> pieces_;
    std::string droppedText_;
    std::vector<DroppedModule> dropped_;
    // Node-based, so a text stays where it is while later files are added.
    std::unordered_map<std::string, std::optional<std::string>> files_;
};

} // namespace

FileReader RegularFilesOnly(FileReader read) {
    return [read = std::move(read)](const std::string& path) -> std::optional<std::string> {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            return std::nullopt;
        return read(path);
    };
}

const TextRun& PreparedVerilog::RunAt(std::size_t position) const {
    auto after =
        std::upper_bound(pieces.begin(), pieces.end(), position,
                         [](std::size_t at, const std::pair<std::size_t, std::size_t>& piece) {
                             return at < piece.first;
                         });
    if (after == pieces.begin())
        return runs.front();
    return runs[std::prev(after)->second];
}

PreparedVerilog PrepareVerilog(std::string_view text, const IncludeFiles& includes) {
    Preprocessor preprocessor(includes.read, includes.predefined);
    preprocessor.StartSource(includes.sourcePath);
    if (text.find('`') == std::string_view::npos) {
        // Nothing to follow: the text is its own result, and the names stay as they came.
        PreparedVerilog prepared = preprocessor.Take();
        prepared.text = std::string(text);
        prepared.pieces = {{0, 0}};
        return prepared;
    }
    preprocessor.Run(text, 0, 0);
    return preprocessor.Take();
}

std::string PreprocessVerilog(std::string_view text, const IncludeFiles& includes) {
    if (text.find('`') == std::string_view::npos)
        return std::string(text);
    return PrepareVerilog(text, includes).text;
}

} // namespace qve
