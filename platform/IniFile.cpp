// The INI file layer: parsing, case-blind lookup, in-place rewrite and atomic save.
#include "platform/IniFile.h"

#include "platform/AsciiCase.h"
#include "platform/TextFile.h"

#include <limits>

namespace platform {

namespace {

std::string Trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

} // namespace

std::optional<std::int32_t> ParseIniInteger(const std::string& raw) {
    std::string text = Trim(raw);
    if (text.empty())
        return std::nullopt;
    std::size_t pos = 0;
    bool hex = false;
    if (text[0] == '$') {
        hex = true;
        pos = 1;
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        hex = true;
        pos = 2;
    }
    if (hex) {
        if (pos >= text.size())
            return std::nullopt;
        std::uint64_t value = 0;
        for (; pos < text.size(); ++pos) {
            int d = AsciiHexDigit(text[pos]);
            if (d < 0)
                return std::nullopt;
            value = value * 16 + static_cast<std::uint64_t>(d);
            if (value > 0xFFFFFFFFull)
                return std::nullopt;
        }
        // Hexadecimal gives the 32-bit pattern, so system colours come back negative.
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        pos = 1;
    }
    if (pos >= text.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max() ||
        value < std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

IniFile::IniFile(std::string path) : path_(std::move(path)), sections_(1) {}

bool IniFile::Load() {
    sections_.clear();
    sections_.push_back({});
    std::string text;
    if (!ReadWholeFile(path_, text))
        return false;
    std::size_t crlf = text.find("\r\n");
    if (crlf != std::string::npos && crlf == text.find('\n') - 1)
        lineEnd_ = "\r\n";
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        std::string raw = text.substr(start, end == std::string::npos ? end : end - start);
        if (end == std::string::npos)
            start = text.size();
        else
            start = end +
                    ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
        std::string trimmed = Trim(raw);
        if (!trimmed.empty() && trimmed[0] == '[') {
            std::size_t close = trimmed.find(']');
            if (close != std::string::npos) {
                sections_.push_back({Trim(trimmed.substr(1, close - 1)), {{raw, {}, {}}}});
                continue;
            }
        }
        Line line{raw, {}, {}};
        std::size_t eq = raw.find('=');
        if (eq != std::string::npos && !trimmed.empty() && trimmed[0] != ';') {
            line.key = Trim(raw.substr(0, eq));
            line.value = Trim(raw.substr(eq + 1));
        }
        sections_.back().lines.push_back(std::move(line));
    }
    return true;
}

std::string IniFile::Text() const {
    std::string out;
    for (const Section& s : sections_) {
        for (const Line& l : s.lines) {
            out += l.raw;
            out += lineEnd_;
        }
    }
    return out;
}

IoStatus IniFile::Save(WriteWay* way) const {
    WriteWay taken = WriteWay::None;
    IoStatus status = WriteFileReplacing(path_, Text(), taken);
    if (way)
        *way = taken;
    return status;
}

const IniFile::Section* IniFile::FindSection(const std::string& name) const {
    for (const Section& s : sections_) {
        if (!s.name.empty() && SameIgnoringAsciiCase(s.name, name))
            return &s;
    }
    return nullptr;
}

IniFile::Section& IniFile::SectionFor(const std::string& name) {
    if (sections_.empty())
        sections_.push_back({});
    if (const Section* found = FindSection(name))
        return const_cast<Section&>(*found);
    // A new section is set off from the one before by an empty line, as editors of such files do.
    Section& last = sections_.back();
    if (!last.lines.empty() && !Trim(last.lines.back().raw).empty())
        last.lines.push_back({});
    sections_.push_back({name, {{"[" + name + "]", {}, {}}}});
    return sections_.back();
}

std::optional<std::string> IniFile::Find(const std::string& section, const std::string& key) const {
    const Section* s = FindSection(section);
    if (!s)
        return std::nullopt;
    for (const Line& l : s->lines) {
        if (!l.key.empty() && SameIgnoringAsciiCase(l.key, key))
            return l.value.substr(0, MaxValueLength);
    }
    return std::nullopt;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& fallback) const {
    return Find(section, key).value_or(fallback);
}

std::int32_t IniFile::ReadInteger(const std::string& section, const std::string& key,
                                  std::int32_t fallback) const {
    std::optional<std::string> text = Find(section, key);
    if (!text)
        return fallback;
    return ParseIniInteger(*text).value_or(fallback);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
    std::string clean = value;
    for (char& c : clean) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    // Blanks around a value are not read back: written, they would make the next read differ
    // from this one (a value cut at MaxValueLength may end in one).
    clean = Trim(clean);
    Section& s = SectionFor(section);
    for (Line& l : s.lines) {
        if (!l.key.empty() && SameIgnoringAsciiCase(l.key, key)) {
            l.value = clean;
            l.raw = l.key + "=" + clean;
            return;
        }
    }
    // After the section's last non-empty line, so the empty line before the next section stays.
    std::size_t at = s.lines.size();
    while (at > 1 && Trim(s.lines[at - 1].raw).empty())
        --at;
    s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(at),
                   Line{key + "=" + clean, key, clean});
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, std::int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

} // namespace platform
