// The message log's lines, its listener and its batches.
#include "editor/model/MessageLog.h"

void MessageLog::Append(std::string_view prefix, std::string_view text) {
    ++written_;
    if (muted_)
        return;
    std::string line;
    line.reserve(prefix.size() + text.size());
    line.append(prefix).append(text);
    lines_.push_back(std::move(line));
    if (batches_ == 0)
        Flush();
}

void MessageLog::Flush() {
    if (told_ >= lines_.size())
        return;
    if (listener_.AppendedLines && lines_.size() - told_ > 1) {
        std::vector<std::string> lines(lines_.begin() + static_cast<long>(told_), lines_.end());
        told_ = lines_.size();
        listener_.AppendedLines(lines);
        return;
    }
    while (told_ < lines_.size()) {
        std::size_t line = told_++;
        if (listener_.Appended)
            listener_.Appended(lines_[line]);
    }
}

void MessageLog::ClearLog() {
    lines_.clear();
    told_ = 0;
    if (listener_.Cleared)
        listener_.Cleared();
}
