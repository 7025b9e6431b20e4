// Just enough JSON to read what the HDL tools write (yosys write_json): objects with their members
// in document order, arrays, strings, numbers, true, false and null.
#pragma once

#include <cctype>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace support {

struct Json {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    std::string text; // a string, or a number's digits
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> members; // in document order

    const Json* Member(const std::string& name) const {
        for (const auto& [key, value] : members)
            if (key == name)
                return &value;
        return nullptr;
    }
};

class JsonReader {
public:
    explicit JsonReader(const std::string& text) : text_(text) {}

    // The whole document, or nothing when it is not well formed.
    std::optional<Json> Read() {
        Json value;
        if (!Value(value))
            return std::nullopt;
        Blank();
        if (at_ != text_.size())
            return std::nullopt;
        return value;
    }

private:
    void Blank() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\n' ||
                                      text_[at_] == '\r' || text_[at_] == '\t'))
            ++at_;
    }
    bool Literal(const char* word) {
        std::string w(word);
        if (text_.compare(at_, w.size(), w) != 0)
            return false;
        at_ += w.size();
        return true;
    }
    bool String(std::string& out) {
        if (at_ >= text_.size() || text_[at_] != '"')
            return false;
        ++at_;
        while (at_ < text_.size() && text_[at_] != '"') {
            char c = text_[at_++];
            if (c == '\\') {
                if (at_ >= text_.size())
                    return false;
                char e = text_[at_++];
                switch (e) {
                case 'n':
                    out += '\n';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'u':
                    // Names in HDL are ASCII; keep the escape as text.
                    out += "\\u" + text_.substr(at_, 4);
                    at_ += 4;
                    break;
                default:
                    out += e;
                }
            } else {
                out += c;
            }
        }
        if (at_ >= text_.size())
            return false;
        ++at_;
        return true;
    }
    bool Value(Json& value) {
        Blank();
        if (at_ >= text_.size())
            return false;
        char c = text_[at_];
        if (c == '{') {
            value.kind = Json::Kind::Object;
            ++at_;
            Blank();
            if (at_ < text_.size() && text_[at_] == '}')
                return ++at_, true;
            while (true) {
                Blank();
                std::string name;
                if (!String(name))
                    return false;
                Blank();
                if (at_ >= text_.size() || text_[at_++] != ':')
                    return false;
                value.members.emplace_back(std::move(name), Json());
                if (!Value(value.members.back().second))
                    return false;
                Blank();
                if (at_ < text_.size() && text_[at_] == ',') {
                    ++at_;
                    continue;
                }
                return at_ < text_.size() && text_[at_++] == '}';
            }
        }
        if (c == '[') {
            value.kind = Json::Kind::Array;
            ++at_;
            Blank();
            if (at_ < text_.size() && text_[at_] == ']')
                return ++at_, true;
            while (true) {
                value.items.emplace_back();
                if (!Value(value.items.back()))
                    return false;
                Blank();
                if (at_ < text_.size() && text_[at_] == ',') {
                    ++at_;
                    continue;
                }
                return at_ < text_.size() && text_[at_++] == ']';
            }
        }
        if (c == '"') {
            value.kind = Json::Kind::String;
            return String(value.text);
        }
        if (Literal("true") || Literal("false")) {
            value.kind = Json::Kind::Bool;
            return true;
        }
        if (Literal("null"))
            return true;
        value.kind = Json::Kind::Number;
        std::size_t start = at_;
        while (at_ < text_.size() &&
               (std::isdigit(static_cast<unsigned char>(text_[at_])) || text_[at_] == '-' ||
                text_[at_] == '+' || text_[at_] == '.' || text_[at_] == 'e' || text_[at_] == 'E'))
            ++at_;
        value.text = text_.substr(start, at_ - start);
        return at_ > start;
    }

    const std::string& text_;
    std::size_t at_ = 0;
};

} // namespace support
