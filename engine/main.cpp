// qve: the HDL engine program, a thin shell over the engine library.
#include "engine/Engine.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    qve::EngineOutcome outcome = qve::RunEngine(arguments);
    if (!outcome.standardError.empty()) {
        std::fwrite(outcome.standardError.data(), 1, outcome.standardError.size(), stderr);
        std::fflush(stderr);
    }
    return outcome.exitStatus;
}
