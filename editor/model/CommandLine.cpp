// The walk of the editor's command line into start-up steps.
#include "editor/model/CommandLine.h"

#include "platform/AsciiCase.h"

namespace {

// The extension test of a project file: the name's last dot onwards, compared lower-cased.
std::string LowerExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    return platform::AsciiLower(path.substr(dot));
}

class Walk {
public:
    Walk(const std::string& defaultIni, const CommandLineFiles& files)
        : iniPath_(defaultIni), files_(files) {}

    void LoadOnce() {
        if (loaded_)
            return;
        steps_.push_back({StartupStep::Kind::LoadSettings, iniPath_, {}});
        loaded_ = true;
    }
    void Error(std::string text) {
        steps_.push_back({StartupStep::Kind::LogError, std::move(text), {}});
    }
    bool IsProjectFile(const std::string& path) const {
        return files_.fileExists(path) && HasProjectExtension(path);
    }

    std::string iniPath_;
    const CommandLineFiles& files_;
    bool loaded_ = false;
    std::vector<StartupStep> steps_;
};

} // namespace

bool HasProjectExtension(const std::string& path) {
    return LowerExtension(path) == ".zun";
}

std::vector<StartupStep> WalkCommandLine(const std::vector<std::string>& args,
                                         const std::string& defaultIni,
                                         const CommandLineFiles& files) {
    Walk walk(defaultIni, files);
    if (args.empty()) {
        walk.LoadOnce();
        return walk.steps_;
    }
    if (args.size() == 1) {
        // A single argument is always a project file, even when it reads like an option.
        walk.LoadOnce();
        if (walk.IsProjectFile(args[0]))
            walk.steps_.push_back({StartupStep::Kind::OpenProject, args[0], {}});
        else
            walk.Error("Can not open the project: " + args[0] + ".");
        return walk.steps_;
    }

    enum class State { None, Open, New, Ini } state = State::None;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::string word = platform::AsciiLower(arg);
        if (word == "-open") {
            state = State::Open;
            continue;
        }
        if (word == "-new") {
            state = State::New;
            continue;
        }
        if (word == "-ini") {
            state = State::Ini;
            continue;
        }
        switch (state) {
        case State::Ini: {
            const std::string full = files.fullPath(arg);
            if (!files.fileExists(full)) {
                walk.Error("Can not find the INI file: " + full + ".");
                walk.LoadOnce();
            } else if (!walk.loaded_) {
                walk.iniPath_ = full;
                walk.LoadOnce();
            }
            state = State::None;
            break;
        }
        case State::Open:
            walk.LoadOnce();
            if (walk.IsProjectFile(arg))
                walk.steps_.push_back({StartupStep::Kind::OpenProject, arg, {}});
            else
                walk.Error("Can not open the project file " + arg + ".");
            return walk.steps_;
        case State::New:
            walk.LoadOnce();
            walk.steps_.push_back(
                {StartupStep::Kind::NewProject, "",
                 std::vector<std::string>(args.begin() + static_cast<long>(i), args.end())});
            return walk.steps_;
        case State::None:
            break;
        }
    }
    walk.LoadOnce();
    return walk.steps_;
}
