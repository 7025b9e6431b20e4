// Which of the engine's work files a directory still holds, for the runner and wizard tests.
#pragma once

#include "editor/hdl/EngineRunner.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The names of the work files found in the directory, in the runner's order.
inline std::vector<std::string> EngineWorkFilesLeft(const std::filesystem::path& dir) {
    std::vector<std::string> left;
    for (std::string_view name : EngineWorkFiles)
        if (std::filesystem::exists(dir / name))
            left.emplace_back(name);
    return left;
}
