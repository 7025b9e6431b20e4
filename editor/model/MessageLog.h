// The message log: one line per event, with the prefixes the user reads them by.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class MessageLog {
public:
    // Told of every line as it is appended and of every clearing; the Information window shows
    // the log through it. One listener at a time: setting another replaces it.
    struct Listener {
        std::function<void(const std::string& line)> Appended;
        std::function<void()> Cleared;
        // Lines that a batch held back, in order, in one call; without it each goes to Appended.
        std::function<void(const std::vector<std::string>& lines)> AppendedLines = nullptr;
    };

    // While a batch lives, the lines still go into the log at once, but the listener hears of
    // them together when the outermost batch ends: a view that is redrawn once for a command
    // that logs thousands of lines. Anything that shows the log to the user meanwhile (a message
    // box) calls Flush first.
    class Batch {
    public:
        explicit Batch(MessageLog& log) : log_(log) { ++log_.batches_; }
        ~Batch() {
            if (--log_.batches_ == 0)
                log_.Flush();
        }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        MessageLog& log_;
    };

    void LogError(std::string_view text) { Append("Error: ", text); }
    void LogWarning(std::string_view text) { Append("Warning: ", text); }
    void LogInfo(std::string_view text) { Append("Info: ", text); }
    void LogAction(std::string_view text) { Append("--Action: ", text); }
    void LogLine(std::string_view text) { Append("", text); }
    void ClearLog();

    // While muted, lines are dropped: a command that repeats a step many times (the zoom's
    // fitting loops) reports what the step logs once, not at every turn.
    void SetMuted(bool muted) { muted_ = muted; }
    bool Muted() const { return muted_; }
    // Tells the listener of the lines a batch holds back so far.
    void Flush();

    const std::vector<std::string>& Lines() const { return lines_; }
    // How many lines were written, muted ones too: what tells whether a step reported anything.
    std::uint64_t Written() const { return written_; }
    void SetListener(Listener listener) { listener_ = std::move(listener); }

private:
    void Append(std::string_view prefix, std::string_view text);

    std::vector<std::string> lines_;
    Listener listener_;
    bool muted_ = false;
    int batches_ = 0;
    // Index in lines_ of the first line the listener has not heard of.
    std::size_t told_ = 0;
    std::uint64_t written_ = 0;
};
