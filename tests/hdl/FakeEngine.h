// The stand-in engine installed as "qve" in a program directory of a test's own, and told through
// the environment what to do with the job it is given.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

class FakeEngine {
public:
    explicit FakeEngine(std::filesystem::path programDir) : program_(programDir / "qve") {
        std::filesystem::create_directories(programDir);
        Install();
    }
    ~FakeEngine() {
        unsetenv("ZUN_FAKE_ENGINE");
        unsetenv("ZUN_FAKE_ENGINE_TEXT");
    }
    FakeEngine(const FakeEngine&) = delete;
    FakeEngine& operator=(const FakeEngine&) = delete;

    // "write" writes text as the job's output; "nothing", "echo", "crash" and "sleep" as the
    // stand-in's own comment says.
    void Mode(const char* mode, const std::string& text = "") const {
        setenv("ZUN_FAKE_ENGINE", mode, 1);
        setenv("ZUN_FAKE_ENGINE_TEXT", text.c_str(), 1);
    }
    // The program directory with and without the engine.
    void Install() const {
        if (!std::filesystem::exists(program_))
            std::filesystem::copy_file(std::filesystem::path(ZUN_FAKE_ENGINE_DIR) / "qve",
                                       program_);
    }
    void Remove() const { std::filesystem::remove(program_); }

private:
    std::filesystem::path program_;
};
