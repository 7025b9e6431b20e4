// A hand-off clock that only moves when the code under test sleeps or waits, so bounded waits
// of seconds run in no time and their length can be read back.
#pragma once

#include "editor/hdl/handoff/HandOffProtocol.h"

#include <chrono>
#include <functional>
#include <vector>

class FakeHandOffClock : public HandOffClock {
public:
    std::chrono::steady_clock::time_point Now() const override { return now; }
    void Sleep(std::chrono::milliseconds duration) override {
        sleeps.push_back(duration);
        now += duration;
        if (onSleep)
            onSleep();
    }
    bool WaitForMessage(const platform::MessageWindow& window,
                        std::chrono::milliseconds timeout) override {
        if (window.Wait(std::chrono::milliseconds(0)))
            return true;
        now += timeout;
        if (onSleep)
            onSleep();
        return window.Wait(std::chrono::milliseconds(0));
    }
    // Everything slept, summed.
    std::chrono::milliseconds Slept() const {
        std::chrono::milliseconds total{0};
        for (auto d : sleeps)
            total += d;
        return total;
    }

    std::chrono::steady_clock::time_point now{};
    std::vector<std::chrono::milliseconds> sleeps;
    // Runs after every sleep and wait: the other side of the protocol acts there.
    std::function<void()> onSleep;
};
