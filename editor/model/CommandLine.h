// The editor's command line, walked into the ordered steps of the first-show start-up: which
// settings file is loaded, which project is opened, which sources start the wizard, which errors
// are logged. Pure: the file system is reached through the two callbacks only.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct StartupStep {
    enum class Kind {
        LoadSettings, // load the settings from path (happens at most once)
        OpenProject,  // open the project file path
        NewProject,   // start the module wizard with sources as its selected files
        LogError      // log text as an error (without the "Error: " prefix)
    };
    Kind kind;
    std::string path; // settings file or project file; the error text for LogError
    std::vector<std::string> sources;

    bool operator==(const StartupStep&) const = default;
};

struct CommandLineFiles {
    std::function<bool(const std::string&)> fileExists;
    // The argument made an absolute path (the "-ini" option's file is named by it).
    std::function<std::string(const std::string&)> fullPath;
};

// args are the arguments after the program name; defaultIni the settings file used unless a
// "-ini" option names another one before the first "-open" or "-new".
std::vector<StartupStep> WalkCommandLine(const std::vector<std::string>& args,
                                         const std::string& defaultIni,
                                         const CommandLineFiles& files);

// Whether a file name ends in ".zun", in any letter case.
bool HasProjectExtension(const std::string& path);
