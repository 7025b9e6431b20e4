// check_layers ROOT: prints every #include under ROOT that crosses the layers the wrong way and
// fails when there is one, or when it found no source to read.
#include "layering/check/LayerRules.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: check_layers ROOT\n");
        return 2;
    }
    const layering::CheckResult result = layering::CheckTree(argv[1]);
    if (result.filesRead == 0) {
        std::fprintf(stderr, "check_layers: no source files under %s\n", argv[1]);
        return 2;
    }
    for (const layering::Violation& v : result.violations)
        std::printf("%s\n", layering::Describe(v).c_str());
    std::printf("check_layers: %d files read, %zu forbidden includes\n", result.filesRead,
                result.violations.size());
    return result.violations.empty() ? 0 : 1;
}
