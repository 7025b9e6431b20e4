// PCRE2 owners, the global match and substitution loops, and pattern escaping.
#define PCRE2_CODE_UNIT_WIDTH 8
#include "regex/Regex.h"

#include <pcre2.h>

#include <cstdio>

namespace rx {
namespace {

// The JIT stack is shared by every pattern: large enough for the long lazy scans over whole
// source files, and only reserved, not touched, until a match needs it.
constexpr std::size_t kJitStackStart = 64 * 1024;
constexpr std::size_t kJitStackMax = 64 * 1024 * 1024;

struct CompileContext {
    pcre2_compile_context* context = nullptr;
    CompileContext() {
        context = pcre2_compile_context_create(nullptr);
        if (context == nullptr)
            throw std::bad_alloc();
        // Line ends are LF alone: the engine reads in text mode, so CR LF has become LF, and
        // names have none.
        pcre2_set_newline(context, PCRE2_NEWLINE_LF);
        // No tables are set: the library's built-in tables are those of the C locale, and a locale
        // set by the process (a Qt program sets one) cannot change what \w or \s means.
    }
    ~CompileContext() { pcre2_compile_context_free(context); }
};

struct MatchContext {
    pcre2_match_context* context = nullptr;
    pcre2_jit_stack* stack = nullptr;
    MatchContext() {
        context = pcre2_match_context_create(nullptr);
        stack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
        if (context == nullptr || stack == nullptr)
            throw std::bad_alloc();
        pcre2_jit_stack_assign(context, nullptr, stack);
    }
    ~MatchContext() {
        pcre2_jit_stack_free(stack);
        pcre2_match_context_free(context);
    }
};

pcre2_compile_context* SharedCompileContext() {
    static CompileContext shared;
    return shared.context;
}

pcre2_match_context* SharedMatchContext() {
    static MatchContext shared;
    return shared.context;
}

// Matching steps a bounded pattern may take: far more than any pattern needs on a name or a line,
// far fewer than a pattern that backtracks without end would take.
constexpr std::uint32_t kBoundedMatchLimit = 200000;

pcre2_match_context* BoundedMatchContext() {
    static MatchContext bounded;
    static const int limited = pcre2_set_match_limit(bounded.context, kBoundedMatchLimit);
    (void)limited; // set once, before the first bounded search
    return bounded.context;
}

std::string ErrorText(int code) {
    PCRE2_UCHAR buffer[256];
    if (pcre2_get_error_message(code, buffer, sizeof buffer) < 0)
        return "regular expression error " + std::to_string(code);
    return reinterpret_cast<const char*>(buffer);
}

} // namespace

bool RegexMatch::IsSet(int group) const {
    return group >= 0 && group < GroupCount() && offsets_[2 * group] != kUnset;
}

std::string_view RegexMatch::Group(std::string_view subject, int group) const {
    if (!IsSet(group))
        return {};
    return subject.substr(Begin(group), End(group) - Begin(group));
}

Regex::Regex(std::string_view pattern, std::uint32_t flags, std::uint32_t pairs)
    : pattern_(pattern), bounded_((flags & kRegexBounded) != 0) {
    std::uint32_t options = PCRE2_NEVER_UTF | PCRE2_NEVER_UCP;
    if (flags & kRegexCaseless)
        options |= PCRE2_CASELESS;
    if (flags & kRegexDotAll)
        options |= PCRE2_DOTALL;
    if (flags & kRegexMultiline)
        options |= PCRE2_MULTILINE;
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern_.data()), pattern_.size(), options,
                          &error, &errorOffset, SharedCompileContext());
    if (code_ == nullptr)
        throw RegexCompileError("pattern \"" + pattern_ + "\" at " + std::to_string(errorOffset) +
                                ": " + ErrorText(error));
    // Without JIT support, or when the JIT compiler refuses, the interpreter runs the pattern.
    if (!(flags & kRegexNoJit))
        (void)pcre2_jit_compile(code_, PCRE2_JIT_COMPLETE);
    data_ = pairs == 0 ? pcre2_match_data_create_from_pattern(code_, nullptr)
                       : pcre2_match_data_create(pairs, nullptr);
    if (data_ == nullptr) {
        pcre2_code_free(code_);
        throw std::bad_alloc();
    }
}

std::optional<Regex> Regex::TryCompile(std::string_view pattern, std::uint32_t flags,
                                       std::uint32_t pairs) {
    try {
        return std::optional<Regex>(std::in_place, pattern, flags, pairs);
    } catch (const RegexCompileError&) {
        return std::nullopt;
    }
}

Regex::~Regex() {
    pcre2_match_data_free(data_);
    pcre2_code_free(code_);
}

Regex::Regex(Regex&& other) noexcept
    : pattern_(std::move(other.pattern_)), code_(other.code_), data_(other.data_),
      bounded_(other.bounded_) {
    other.code_ = nullptr;
    other.data_ = nullptr;
}

Regex& Regex::operator=(Regex&& other) noexcept {
    if (this != &other) {
        pcre2_match_data_free(data_);
        pcre2_code_free(code_);
        pattern_ = std::move(other.pattern_);
        code_ = other.code_;
        data_ = other.data_;
        bounded_ = other.bounded_;
        other.code_ = nullptr;
        other.data_ = nullptr;
    }
    return *this;
}

int Regex::RunRaw(std::string_view subject, std::size_t start, std::uint32_t options,
                  RegexMatch& match) const {
    // An empty view may have no data at all, which the library takes for a missing subject.
    static const char kEmpty = '\0';
    const char* bytes = subject.data() != nullptr ? subject.data() : &kEmpty;
    int rc = pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(bytes), subject.size(), start, options,
                         data_, bounded_ ? BoundedMatchContext() : SharedMatchContext());
    if (rc < 0)
        return rc;
    std::uint32_t pairs = pcre2_get_ovector_count(data_);
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data_);
    match.offsets_.assign(ovector, ovector + 2 * pairs);
    // Groups beyond the highest one that took part are left over from earlier matches; 0 tells
    // that every pair is filled.
    const std::size_t set = rc == 0 ? pairs : static_cast<std::size_t>(rc);
    for (std::size_t i = 2 * set; i < match.offsets_.size(); ++i)
        match.offsets_[i] = RegexMatch::kUnset;
    for (auto& offset : match.offsets_)
        if (offset == PCRE2_UNSET)
            offset = RegexMatch::kUnset;
    return rc;
}

bool Regex::Run(std::string_view subject, std::size_t start, std::uint32_t options,
                RegexMatch& match) const {
    const int rc = RunRaw(subject, start, options, match);
    if (rc == PCRE2_ERROR_NOMATCH)
        return false;
    if (rc < 0)
        throw RegexResourceError("matching \"" + pattern_ + "\": " + ErrorText(rc));
    return true;
}

int Regex::Exec(std::string_view subject, RegexMatch& match) const {
    return RunRaw(subject, 0, 0, match);
}

bool Regex::Search(std::string_view subject, std::size_t start, RegexMatch& match) const {
    return Run(subject, start, 0, match);
}

bool Regex::MatchAt(std::string_view subject, std::size_t start, RegexMatch& match) const {
    return Run(subject, start, PCRE2_ANCHORED, match);
}

bool Regex::MatchNonEmptyAt(std::string_view subject, std::size_t start, RegexMatch& match) const {
    return Run(subject, start, PCRE2_ANCHORED | PCRE2_NOTEMPTY_ATSTART, match);
}

bool Regex::Contains(std::string_view subject) const {
    RegexMatch match;
    return Search(subject, 0, match);
}

namespace {

// Walks the matches of a global operation. After an empty match the same position is tried once
// more for a non-empty match, and then left by one character, as PCRE's own global loop does.
template <typename Visit>
void WalkMatches(const Regex& regex, std::string_view subject, std::size_t limit, Visit visit) {
    RegexMatch match;
    std::size_t position = 0;
    std::size_t found = 0;
    bool afterEmpty = false;
    while (position <= subject.size() && found < limit) {
        if (afterEmpty && regex.MatchNonEmptyAt(subject, position, match)) {
            afterEmpty = false;
        } else {
            if (afterEmpty)
                ++position;
            if (position > subject.size() || !regex.Search(subject, position, match))
                break;
        }
        ++found;
        visit(match);
        position = match.End();
        afterEmpty = match.End() == match.Begin();
    }
}

} // namespace

void ForEachMatch(const Regex& regex, std::string_view subject,
                  const std::function<void(const RegexMatch&)>& visit) {
    WalkMatches(regex, subject, static_cast<std::size_t>(-1), visit);
}

namespace {

std::string Substitute(const Regex& regex, std::string_view subject, std::size_t limit,
                       const std::function<std::string(const RegexMatch&)>& replacement) {
    std::string result;
    result.reserve(subject.size());
    std::size_t copied = 0;
    WalkMatches(regex, subject, limit, [&](const RegexMatch& match) {
        result.append(subject.substr(copied, match.Begin() - copied));
        result.append(replacement(match));
        copied = match.End();
    });
    result.append(subject.substr(copied));
    return result;
}

} // namespace

std::string ReplaceAll(const Regex& regex, std::string_view subject,
                       const std::function<std::string(const RegexMatch&)>& replacement) {
    return Substitute(regex, subject, static_cast<std::size_t>(-1), replacement);
}

std::string ReplaceAll(const Regex& regex, std::string_view subject, std::string_view literal) {
    std::string text(literal);
    return Substitute(regex, subject, static_cast<std::size_t>(-1),
                      [&](const RegexMatch&) { return text; });
}

std::string ReplaceFirst(const Regex& regex, std::string_view subject,
                         const std::function<std::string(const RegexMatch&)>& replacement) {
    return Substitute(regex, subject, 1, replacement);
}

std::string EscapeForPattern(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size() * 2);
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                     (byte >= '0' && byte <= '9') || byte == '_';
        if (plain) {
            escaped.push_back(c);
            continue;
        }
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "\\x{%02x}", byte);
        escaped.append(buffer);
    }
    return escaped;
}

} // namespace rx
