// A full-source top generated from a project through the real engine, saved as the generated-
// text window saves it: the banner, then the text, every line ended by CR LF.
#pragma once

#include "editor/hdl/GenOptions.h"
#include "editor/hdl/TopGenerator.h"
#include "platform/TextLines.h"
#include "support/EngineWorkFiles.h"
#include "support/FileFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace zun::e2e {

// Generates the top of the model's last rebuild in workDir with the qve of the build and writes
// it to file. The generator must end with its line count and leave no work file behind.
inline void GenerateTop(ProjectModel& model, const std::filesystem::path& workDir, bool vhdl,
                        const std::filesystem::path& file) {
    EngineRunner runner(ZUN_BUILD_DIR, workDir.string());
    TopGenerator generator(model, runner);
    const std::size_t logStart = model.Log.Lines().size();
    const std::string text = vhdl ? generator.GenVhdlTop() : generator.GenVerilogTop();
    std::string log;
    for (std::size_t i = logStart; i < model.Log.Lines().size(); ++i)
        log += model.Log.Lines()[i] + "\n";
    EXPECT_NE(log.find("lines of code are generated."), std::string::npos) << log;
    EXPECT_EQ(log.find("Error: "), std::string::npos) << log;
    EXPECT_TRUE(EngineWorkFilesLeft(workDir).empty());
    WriteBytes(file.string(), platform::JoinLines(platform::SplitLines(
                                  (vhdl ? VhdlBanner : VerilogBanner) + text)));
}

} // namespace zun::e2e
