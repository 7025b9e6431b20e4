// Regular expressions for the engine and the editor: PCRE2 (8-bit, no UTF, LF line ends) held in
// RAII owners.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct pcre2_real_code_8;
struct pcre2_real_match_data_8;

namespace rx {

// A match that could not be decided (match limit, JIT stack, heap): the caller fails its work
// rather than taking it for "no match".
class RegexResourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A pattern the library refuses. For a fixed pattern a programming error; for a pattern that
// pastes a name, a name too long to search for; for a user's pattern, a mistake to report.
class RegexCompileError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// Compile options of a pattern; they combine with |.
enum RegexFlags : std::uint32_t {
    kRegexPlain = 0,
    kRegexCaseless = 1u << 0,
    kRegexDotAll = 1u << 1,
    kRegexMultiline = 1u << 2,
    // A pattern used for one search only (a pasted name): JIT compiling it costs more than it
    // saves.
    kRegexNoJit = 1u << 3,
    // A pattern the user typed: its searches stop at a match limit, so one that backtracks
    // without end gives up at once rather than hanging the program.
    kRegexBounded = 1u << 4,
};

// The offsets of one match: group 0 is the whole match; an unset group has no offsets.
class RegexMatch {
public:
    static constexpr std::size_t kUnset = static_cast<std::size_t>(-1);

    bool IsSet(int group) const;
    std::size_t Begin(int group = 0) const { return offsets_[2 * group]; }
    std::size_t End(int group = 0) const { return offsets_[2 * group + 1]; }
    // The group's text in the subject that was matched; empty for an unset group.
    std::string_view Group(std::string_view subject, int group) const;
    int GroupCount() const { return static_cast<int>(offsets_.size() / 2); }

private:
    friend class Regex;
    std::vector<std::size_t> offsets_;
};

// One compiled pattern. Compiled once (a refused pattern throws RegexCompileError), JIT-compiled
// where the library can, matched by the interpreter otherwise. Not for use by two threads at once:
// the match data is kept with the pattern.
class Regex {
public:
    // pairs is the number of offset pairs a match keeps (the whole match and pairs - 1 groups);
    // 0 keeps as many as the pattern has groups.
    explicit Regex(std::string_view pattern, std::uint32_t flags = kRegexPlain,
                   std::uint32_t pairs = 0);
    // The same without the exception: nothing when the library refuses the pattern.
    static std::optional<Regex> TryCompile(std::string_view pattern,
                                           std::uint32_t flags = kRegexPlain,
                                           std::uint32_t pairs = 0);
    ~Regex();
    Regex(const Regex&) = delete;
    Regex& operator=(const Regex&) = delete;
    Regex(Regex&&) noexcept;
    Regex& operator=(Regex&&) noexcept;

    // The leftmost match at or after start. Throws RegexResourceError when the library gives up.
    bool Search(std::string_view subject, std::size_t start, RegexMatch& match) const;
    bool Search(std::string_view subject, RegexMatch& match) const {
        return Search(subject, 0, match);
    }
    // A match that begins exactly at start (characters before start still count for \b).
    bool MatchAt(std::string_view subject, std::size_t start, RegexMatch& match) const;
    // A non-empty match that begins exactly at start: the retry after an empty match.
    bool MatchNonEmptyAt(std::string_view subject, std::size_t start, RegexMatch& match) const;
    bool Contains(std::string_view subject) const;
    // One search of the whole subject from its start, as the library answers it: the number of
    // pairs set (the last group that took part, plus one), 0 when more groups took part than the
    // match keeps (then all its pairs are filled), or a negative code (no match, or the library
    // gave up). Never throws for a match.
    int Exec(std::string_view subject, RegexMatch& match) const;

    const std::string& Pattern() const { return pattern_; }

private:
    bool Run(std::string_view subject, std::size_t start, std::uint32_t options,
             RegexMatch& match) const;
    int RunRaw(std::string_view subject, std::size_t start, std::uint32_t options,
               RegexMatch& match) const;

    std::string pattern_;
    pcre2_real_code_8* code_ = nullptr;
    pcre2_real_match_data_8* data_ = nullptr;
    bool bounded_ = false;
};

// Every non-overlapping match from left to right, resuming after each one; an empty match moves
// on by one character, so the walk always ends.
void ForEachMatch(const Regex& regex, std::string_view subject,
                  const std::function<void(const RegexMatch&)>& visit);

// Global substitution by our own loop: the replacement is computed per match and pasted as it is,
// so its text is never read as substitution syntax.
std::string ReplaceAll(const Regex& regex, std::string_view subject,
                       const std::function<std::string(const RegexMatch&)>& replacement);
std::string ReplaceAll(const Regex& regex, std::string_view subject, std::string_view literal);
// The first match only, replaced as ReplaceAll would.
std::string ReplaceFirst(const Regex& regex, std::string_view subject,
                         const std::function<std::string(const RegexMatch&)>& replacement);

// A name made safe to paste into a pattern: every character stands for itself. Letters, digits
// and underscores pass unchanged; every other byte is written as \x{hh}, so no quoting stretch
// (\Q...\E) is needed and a name holding "\E" cannot end one.
std::string EscapeForPattern(std::string_view text);

} // namespace rx
