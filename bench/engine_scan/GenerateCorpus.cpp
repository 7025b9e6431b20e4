// gen_engine_corpus DIR [SCALE]: writes the benchmark's synthetic sources into DIR.
#include "SyntheticCorpus.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [SCALE]\n", argv[0]);
        return 2;
    }
    std::string dir = argv[1];
    int scale = argc > 2 ? std::atoi(argv[2]) : 1;
    if (scale < 1)
        scale = 1;
    struct File {
        const char* name;
        std::string text;
    } files[] = {
        {"small_modules.v", bench::SmallModules(1000 * scale)},
        {"wide_ports.v", bench::WidePortModule(20000 * scale)},
        {"long_declaration.v", bench::LongDeclaration(10000 * scale)},
        {"entities.vhd", bench::VhdlEntities(5000 * scale)},
    };
    for (const File& file : files) {
        std::string path = dir + "/" + file.name;
        std::ofstream out(path, std::ios::binary);
        out << file.text;
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s: %zu bytes\n", path.c_str(), file.text.size());
    }
    return 0;
}
