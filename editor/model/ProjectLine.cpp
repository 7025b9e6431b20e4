// Line construction and the shared text rules of project lines.
#include "editor/model/ProjectLine.h"

#include "platform/AsciiCase.h"

#include <charconv>
#include <new>
#include <utility>

thread_local std::uint64_t ProjectLine::edits_ = 0;
thread_local std::uint64_t ProjectLine::markAccesses_ = 0;

ProjectLine::ProjectLine(const ProjectLine& other) : run_(other.run_), stored_(other.stored_) {
    if (stored_)
        ++stored_->Refs;
}

ProjectLine::ProjectLine(ProjectLine&& other) noexcept
    : run_(std::move(other.run_)), stored_(std::exchange(other.stored_, nullptr)) {}

ProjectLine& ProjectLine::operator=(const ProjectLine& other) {
    if (other.CarriesMarks() || CarriesMarks())
        ++markAccesses_;
    run_ = other.run_;
    if (stored_ != other.stored_) {
        Release();
        stored_ = other.stored_;
        if (stored_)
            ++stored_->Refs;
    }
    return *this;
}

ProjectLine& ProjectLine::operator=(ProjectLine&& other) noexcept {
    // A move onto a line in place changes which line stands where.
    ++edits_;
    if (other.CarriesMarks() || CarriesMarks())
        ++markAccesses_;
    if (this != &other) {
        run_ = std::move(other.run_);
        Release();
        stored_ = std::exchange(other.stored_, nullptr);
    }
    return *this;
}

void swap(ProjectLine& a, ProjectLine& b) noexcept {
    ++ProjectLine::edits_;
    if (a.CarriesMarks() || b.CarriesMarks())
        ++ProjectLine::markAccesses_;
    a.run_.swap(b.run_);
    std::swap(a.stored_, b.stored_);
}

bool ProjectLine::operator==(const ProjectLine& other) const {
    if (run_ != other.run_)
        return false;
    if (stored_ == other.stored_)
        return true;
    for (std::size_t f = 0; f < ProjectLineFields; ++f)
        if (f - FieldBrush >= RunFields && (*this)[f] != other[f])
            return false;
    return true;
}

const std::string& ProjectLine::Empty() {
    static const std::string empty;
    return empty;
}

void ProjectLine::Own() {
    if (stored_ && stored_->Refs == 1)
        return;
    try {
        StoredFields* own = stored_ ? new StoredFields{1, stored_->Text} : new StoredFields;
        Release();
        stored_ = own;
    } catch (const std::bad_alloc&) {
        LineMemoryFailed();
    }
}

ProjectLine MakeLine(std::initializer_list<std::string_view> fields) {
    // A fresh line: its fields are filled in directly, which is no edit of a project's line.
    ProjectLine line;
    std::size_t i = 0;
    for (std::string_view f : fields) {
        if (i == ProjectLineFields)
            break;
        const std::size_t field = i++;
        if (field - FieldBrush < ProjectLine::RunFields) {
            line.run_[field - FieldBrush] = std::string(f);
        } else if (!f.empty()) {
            if (!line.stored_)
                line.stored_ = new ProjectLine::StoredFields;
            line.stored_->Text[ProjectLine::Slot(field)] = std::string(f);
        }
    }
    return line;
}

char LineKind(std::string_view keyword) {
    if (keyword.empty())
        return 'N';
    switch (keyword.front()) {
    case 'A':
        return 'A';
    case 'B':
    case 'I':
    case 'K':
    case 'O':
        return 'P';
    case 'M':
    case 'T':
        return 'M';
    case 'P':
        return 'R';
    case 'W':
        return 'W';
    default:
        return 'N';
    }
}

std::string NormalizeBlanks(std::string_view text, bool keepBlanks) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\r' || c == '\n')
            continue;
        if (c == '\t') {
            if (keepBlanks)
                out.push_back(' ');
            continue;
        }
        if (c == ' ' && !keepBlanks)
            continue;
        out.push_back(c);
    }
    return out;
}

std::optional<int> ParseDecimal(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    std::size_t start = 0;
    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        start = 1;
    }
    if (start == text.size())
        return std::nullopt;
    // Up to nine digits cannot leave 32 bits: the marks, indexes and sizes the rebuild and the
    // highlighting read by the thousand are summed up directly.
    if (text.size() - start <= 9) {
        int value = 0;
        for (std::size_t i = start; i < text.size(); ++i) {
            const unsigned digit = static_cast<unsigned char>(text[i]) - '0';
            if (digit > 9)
                return std::nullopt;
            value = value * 10 + static_cast<int>(digit);
        }
        return negative ? -value : value;
    }
    // from_chars takes no '+' and would take "-" itself; the digits alone are parsed, wider than
    // int so that the most negative value still fits before the sign is applied.
    long long value = 0;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last || *first == '-')
        return std::nullopt;
    if (negative)
        value = -value;
    if (value < -2147483648LL || value > 2147483647LL)
        return std::nullopt;
    return static_cast<int>(value);
}

bool HoldsDecimal(std::string_view text, long long value) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return text == std::string_view(digits, static_cast<std::size_t>(end - digits));
}

bool IsLegalIdent(const std::string& text) {
    if (text.empty())
        return false;
    if ((text[0] >= '0' && text[0] <= '9') || text[0] == '$')
        return false;
    for (char c : text) {
        char u = platform::AsciiUpper(c);
        if (!((u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_'))
            return false;
    }
    return true;
}
