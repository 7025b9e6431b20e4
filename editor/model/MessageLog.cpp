// The message log's lines and its listener.
#include "editor/model/MessageLog.h"

void MessageLog::Append(std::string_view prefix, std::string_view text) {
    if (muted_)
        return;
    std::string line;
    line.reserve(prefix.size() + text.size());
    line.append(prefix).append(text);
    lines_.push_back(std::move(line));
    if (listener_.Appended)
        listener_.Appended(lines_.back());
}

void MessageLog::ClearLog() {
    lines_.clear();
    if (listener_.Cleared)
        listener_.Cleared();
}
