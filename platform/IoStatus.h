// The outcome of a file or process operation: success, or a failure with a message for the log.
#pragma once

#include <string>
#include <utility>

struct IoStatus {
    bool ok = true;
    std::string message;

    static IoStatus Ok() { return {}; }
    static IoStatus Fail(std::string text) { return {false, std::move(text)}; }
    explicit operator bool() const { return ok; }
};
