// A scratch directory for engine runs: source files in, the output file's raw bytes out.
#pragma once

#include "engine/Engine.h"

#include "support/FileFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qve::testing {

class EngineFixture : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

    // Writes the bytes exactly as given (no text-mode change).
    std::string Write(const std::string& name, const std::string& bytes) const {
        WriteBytes(PathOf(name), bytes);
        return PathOf(name);
    }

    // The output file's raw bytes, or nothing when the run left none.
    std::optional<std::string> Output(const std::string& name = "out.tmp") const {
        if (!std::filesystem::exists(dir_ / name))
            return std::nullopt;
        return ReadBytes(PathOf(name));
    }

    EngineOutcome Run(const std::vector<std::string>& arguments) const {
        return RunEngine(arguments);
    }

    // Module scan of one text given with its kind digit; the module list's raw bytes.
    std::optional<std::string> Scan(const std::string& source, const std::string& kind,
                                    const std::string& fileName = "src.v") {
        std::string path = Write(fileName, source);
        EngineOutcome outcome = Run({"0x1898a5" + PathOf("out.tmp"), path, kind});
        EXPECT_EQ(outcome.standardError, "");
        return Output();
    }

    // Project-text job for one module of one source; the project text's raw bytes.
    std::optional<std::string> ProjectText(const std::string& source, const std::string& module,
                                           char language, const std::string& top = "",
                                           int count = 1, const std::string& rule = "u_%M_%D") {
        std::string path = Write(language == '1' ? "src.vhd" : "src.v", source);
        std::string request = "R-" + rule + "\r\nF" + std::string(1, language) + "-" + path +
                              "\r\nM-" + module + "\t" + std::to_string(count) + "\r\n";
        std::string cfg = Write("cfg.tmp", request);
        EngineOutcome outcome = Run({"0x1898b5" + PathOf("out.tmp"), top, cfg});
        EXPECT_EQ(outcome.standardError, "");
        return Output();
    }

    // Replaces every "$P" by the source path, and every LF by CR LF: golden texts stay readable.
    std::string Golden(const std::string& text, const std::string& path) const {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text.compare(i, 2, "$P") == 0) {
                out += path;
                ++i;
            } else if (text[i] == '\n') {
                out += "\r\n";
            } else {
                out += text[i];
            }
        }
        return out;
    }

    TempDir scratch_;
    std::filesystem::path dir_{scratch_.Root()};
};

} // namespace qve::testing
