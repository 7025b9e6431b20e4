// Settings files of sections and "key=value" lines, read and rewritten without losing what the
// program does not know.
#pragma once

#include "platform/IoStatus.h"
#include "platform/TextFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Reads an integer setting: signed decimal, or hexadecimal after "0x", "0X" or "$" (up to 32
// bits, so "0x80000016" is -2147483626). Nothing for an empty text, a text that is not a
// number, or a decimal outside the 32-bit range.
std::optional<std::int32_t> ParseIniInteger(const std::string& text);

// An INI file held in memory. Section and key names ignore letter case; a value is everything
// after the first "=", without the blanks around it. Lines the program does not touch (other
// sections and keys, comments) are written back as they were read. Changes stay in memory until
// Save, which replaces the file atomically.
class IniFile {
public:
    // Longest value handed out; longer values are cut, as the settings readers always did.
    static constexpr std::size_t MaxValueLength = 2047;

    explicit IniFile(std::string path);

    // Reads the file; false when it does not exist or cannot be read (then it starts empty).
    bool Load();
    // Replaces the file as WriteFileReplacing does; way tells whether it went in place.
    IoStatus Save(WriteWay* way = nullptr) const;

    const std::string& Path() const { return path_; }

    std::optional<std::string> Find(const std::string& section, const std::string& key) const;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    std::int32_t ReadInteger(const std::string& section, const std::string& key,
                             std::int32_t fallback) const;
    bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;

    // Line ends inside a value would split it into two lines: they are written as blanks.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, std::int32_t value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // The file's text as Save would write it.
    std::string Text() const;

private:
    struct Line {
        std::string raw; // the line as read or last written
        std::string key; // empty for a line that holds no setting
        std::string value;
    };
    struct Section {
        std::string name; // empty for the lines before the first section
        std::vector<Line> lines;
    };

    const Section* FindSection(const std::string& name) const;
    Section& SectionFor(const std::string& name);

    std::string path_;
    std::string lineEnd_ = "\n";
    std::vector<Section> sections_;
};

} // namespace platform
