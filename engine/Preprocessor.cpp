// One left-to-right pass per text with a stack of branches; included files are read once each.
#include "engine/Preprocessor.h"

#include "engine/SourceText.h"

#include <array>
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
    explicit Preprocessor(const FileReader& read) : read_(read) {}

    void Run(std::string_view text, const std::string& path, int depth) {
        static constexpr ByteSet special("\"\\`");
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
            out_.push_back(' ');
            Obey(*directive, text, wordEnd, path, depth);
            // The line ends of a macro body stay, as those of dropped text do.
            KeepLineEnds(text.substr(i, end - i));
            i = end;
        }
    }

    std::string Take() { return std::move(out_); }

private:
    // One open conditional: whether the text around it is read, whether one of its branches was
    // taken, and whether the current branch is read.
    struct Branch {
        bool enclosingActive;
        bool taken;
        bool active;
    };

    bool Active() const { return branches_.empty() || branches_.back().active; }
    bool Defined(std::string_view name) const {
        return !name.empty() && defined_.count(std::string(name)) > 0;
    }

    void Keep(std::string_view piece) {
        if (Active())
            out_.append(piece);
        else
            KeepLineEnds(piece);
    }

    void KeepLineEnds(std::string_view piece) {
        for (char c : piece)
            if (c == '\n')
                out_.push_back('\n');
    }

    // The directive whose keyword ends at i.
    void Obey(const Directive& directive, std::string_view text, std::size_t i,
              const std::string& path, int depth) {
        switch (directive.kind) {
        case DirectiveKind::Ifdef:
        case DirectiveKind::Ifndef: {
            bool enclosing = Active();
            bool holds = Defined(NameAfter(text, i)) == (directive.kind == DirectiveKind::Ifdef);
            branches_.push_back({enclosing, enclosing && holds, enclosing && holds});
            break;
        }
        case DirectiveKind::Elsif:
            if (!branches_.empty()) {
                Branch& branch = branches_.back();
                branch.active =
                    branch.enclosingActive && !branch.taken && Defined(NameAfter(text, i));
                branch.taken = branch.taken || branch.active;
            }
            break;
        case DirectiveKind::Else:
            if (!branches_.empty()) {
                Branch& branch = branches_.back();
                branch.active = branch.enclosingActive && !branch.taken;
                branch.taken = true;
            }
            break;
        case DirectiveKind::Endif:
            if (!branches_.empty())
                branches_.pop_back();
            break;
        case DirectiveKind::Define:
            if (std::string_view name = NameAfter(text, i); Active() && !name.empty())
                defined_.emplace(name);
            break;
        case DirectiveKind::Undef:
            if (Active())
                defined_.erase(std::string(NameAfter(text, i)));
            break;
        case DirectiveKind::Undefineall:
            if (Active())
                defined_.clear();
            break;
        case DirectiveKind::Include:
            if (Active())
                Include(IncludedName(text, i), path, depth);
            break;
        case DirectiveKind::Other:
            break;
        }
    }

    void Include(std::string_view name, const std::string& includer, int depth) {
        if (name.empty() || depth + 1 > kMaxIncludeDepth)
            return;
        std::string file(name);
        std::string found;
        const std::string* text = nullptr;
        if (file.front() != '/') {
            std::string beside = FolderOf(includer) + file;
            if ((text = Load(beside)) != nullptr)
                found = beside;
        }
        if (text == nullptr && (text = Load(file)) != nullptr)
            found = file;
        if (text == nullptr || ++includeCounts_[found] > kMaxIncludesOfOneFile)
            return;
        std::size_t before = out_.size();
        Run(*text, found, depth + 1);
        if (out_.size() > before)
            out_.push_back(' ');
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
    std::vector<Branch> branches_;
    std::unordered_map<std::string, int> includeCounts_;
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

std::string PreprocessVerilog(std::string_view text, const IncludeFiles& includes) {
    if (text.find('`') == std::string_view::npos)
        return std::string(text);
    Preprocessor preprocessor(includes.read);
    preprocessor.Run(text, includes.sourcePath, 0);
    return preprocessor.Take();
}

} // namespace qve
