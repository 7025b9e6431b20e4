// The project line, the lists of them, and the small text rules that every reader of lines shares.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t ProjectLineFields = 20;

// Field numbers of the run-time part of a line.
inline constexpr std::size_t FieldBrush = 8;
inline constexpr std::size_t FieldPen = 9;
inline constexpr std::size_t FieldKind = 10;
inline constexpr std::size_t FieldIndex = 11;
inline constexpr std::size_t FieldSuggestion = 12;
inline constexpr std::size_t FieldCollapsed = 13;

// A line could not be allocated as one of its copies was made its own: the report ("Not enough
// memory.") and the end of the program, by the model that holds the lines.
[[noreturn]] void LineMemoryFailed();

// One project line of 20 text fields. Fields 0 to 7 are stored in files; 8 to 13 are run-time
// state written by the editor (8, 9 highlight brush and pen, 10 record kind, 11 record index, 12
// suggestion flag "S", 13 collapsed flag "Y"); 14 to 19 are carried along.
//
// A copy shares fields 0 to 7 and 14 to 19 with the line it was copied from until either is
// written, so that an undo snapshot of a large project costs a reference per line, not twenty
// texts. Fields 8 to 13 are held in the line itself: every rebuild and every highlight writes them,
// and such a write must not make a shared line a copy of its own. A copy still behaves as a deep
// copy of all 20 fields. Lines belong to the one thread that edits the project.
class ProjectLine {
public:
    ProjectLine() noexcept = default;
    ProjectLine(const ProjectLine& other);
    ProjectLine(ProjectLine&& other) noexcept;
    ProjectLine& operator=(const ProjectLine& other);
    ProjectLine& operator=(ProjectLine&& other) noexcept;
    ~ProjectLine() { Release(); }

    // Reading never copies a shared line.
    const std::string& operator[](std::size_t field) const {
        if (field - FieldBrush < RunFields)
            return run_[field - FieldBrush];
        return stored_ ? stored_->Text[Slot(field)] : Empty();
    }
    // Access for writing: a stored field of a shared line first makes the line's own copy of
    // them. The access counts as an edit (see Edits()), or for fields 8, 9 and 13 as a mark
    // access (see MarkAccesses()), whether a write follows or not, so code that only reads should
    // read through a const line.
    std::string& operator[](std::size_t field) {
        if (field - FieldBrush < RunFields) {
            if (field == FieldBrush || field == FieldPen || field == FieldCollapsed)
                ++markAccesses_;
            return run_[field - FieldBrush];
        }
        ++edits_;
        Own();
        return stored_->Text[Slot(field)];
    }
    static constexpr std::size_t size() { return ProjectLineFields; }

    // Reading the fields in order, as of an array of texts.
    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = std::string;
        using difference_type = std::ptrdiff_t;
        using pointer = const std::string*;
        using reference = const std::string&;
        const_iterator() = default;
        const_iterator(const ProjectLine* line, std::size_t field) : line_(line), field_(field) {}
        reference operator*() const { return (*line_)[field_]; }
        pointer operator->() const { return &(*line_)[field_]; }
        reference operator[](difference_type n) const { return (*line_)[field_ + n]; }
        const_iterator& operator++() { return ++field_, *this; }
        const_iterator operator++(int) { return {line_, field_++}; }
        const_iterator& operator--() { return --field_, *this; }
        const_iterator operator--(int) { return {line_, field_--}; }
        const_iterator& operator+=(difference_type n) { return field_ += n, *this; }
        const_iterator& operator-=(difference_type n) { return field_ -= n, *this; }
        friend const_iterator operator+(const_iterator i, difference_type n) { return i += n; }
        friend const_iterator operator+(difference_type n, const_iterator i) { return i += n; }
        friend const_iterator operator-(const_iterator i, difference_type n) { return i -= n; }
        friend difference_type operator-(const_iterator a, const_iterator b) {
            return static_cast<difference_type>(a.field_) - static_cast<difference_type>(b.field_);
        }
        bool operator==(const const_iterator& o) const { return field_ == o.field_; }
        bool operator<(const const_iterator& o) const { return field_ < o.field_; }
        bool operator>(const const_iterator& o) const { return field_ > o.field_; }
        bool operator<=(const const_iterator& o) const { return field_ <= o.field_; }
        bool operator>=(const const_iterator& o) const { return field_ >= o.field_; }

    private:
        const ProjectLine* line_ = nullptr;
        std::size_t field_ = 0;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, ProjectLineFields}; }

    bool operator==(const ProjectLine& other) const;

    // Whether the two lines share their stored fields (so neither was written since one was
    // copied from the other).
    bool SharesStoredFields(const ProjectLine& other) const {
        return stored_ && stored_ == other.stored_;
    }

    // How many times, on this thread, a line's stored fields were opened for writing or a line was
    // moved or swapped onto another; a fresh line (MakeLine, a copy) counts nothing. The rebuild
    // notes it, so that what it derived can tell whether the lines are still those it read.
    static std::uint64_t Edits() { return edits_; }
    // How many times, on this thread, a highlight mark (field 8, 9 or 13) was opened for writing,
    // or a line carrying marks was copied or moved onto another: the model tells by it whether it
    // knows every line that carries marks.
    static std::uint64_t MarkAccesses() { return markAccesses_; }
    // Any of fields 8, 9 and 13 is not empty.
    bool CarriesMarks() const {
        return !run_[FieldBrush - FieldBrush].empty() || !run_[FieldPen - FieldBrush].empty() ||
               !run_[FieldCollapsed - FieldBrush].empty();
    }

    friend void swap(ProjectLine& a, ProjectLine& b) noexcept;
    friend ProjectLine MakeLine(std::initializer_list<std::string_view> fields);

private:
    static constexpr std::size_t RunFields = 6;
    struct StoredFields {
        std::size_t Refs = 1;
        std::array<std::string, ProjectLineFields - RunFields> Text;
    };
    static constexpr std::size_t Slot(std::size_t field) {
        return field < FieldBrush ? field : field - RunFields;
    }
    static const std::string& Empty();
    // Makes the stored fields this line's own, allocating them when there are none yet.
    void Own();
    void Release() noexcept {
        if (stored_ && --stored_->Refs == 0)
            delete stored_;
        stored_ = nullptr;
    }

    std::array<std::string, RunFields> run_;
    StoredFields* stored_ = nullptr;
    static thread_local std::uint64_t edits_;
    static thread_local std::uint64_t markAccesses_;
};

// The type of `LineList`, `UndoList` and `RedoList` (the members carry the editor's long-standing
// names, so the type needs another one).
using ProjectLines = std::vector<ProjectLine>;

// A line of up to 20 texts; missing fields stay empty, texts beyond the 20th are dropped.
ProjectLine MakeLine(std::initializer_list<std::string_view> fields);

// Kind letter of a keyword by its first character: 'A' assignment, 'P' port (B, I, K, O),
// 'M' instance or top module (M, T), 'R' parameter (P), 'W' wire, 'N' anything else.
char LineKind(std::string_view keyword);

// With keepBlanks every TAB becomes a blank, without it every TAB and blank goes; CR and LF go in
// both cases.
std::string NormalizeBlanks(std::string_view text, bool keepBlanks);

// A decimal integer as the project and settings lines write them: an optional sign and digits,
// nothing else, within 32 bits.
std::optional<int> ParseDecimal(std::string_view text);

// The text is value in decimal as the editor writes it (no sign for zero and up, no leading zero),
// without making a text of value.
bool HoldsDecimal(std::string_view text, long long value);

// Letters (either case), digits and "_", not beginning with a digit or "$": a top name, or a
// naming rule with its placeholders taken out. ASCII only, whatever the locale.
bool IsLegalIdent(const std::string& text);
