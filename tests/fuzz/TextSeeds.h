#pragma once
// The body of a seed program whose seeds are texts: writes each text as a
// file of its own into the corpus folder named by the one argument.
#include <cstdio>
#include <initializer_list>
#include <string>

inline int WriteTextSeeds(int argc, char** argv, std::initializer_list<const char*> seeds)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    bool ok = true;
    int n = 0;
    for (const std::string bytes : seeds) {
        const std::string path = std::string(argv[1]) + "/seed" + std::to_string(n++);
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) return 1;
        ok &= std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        ok &= std::fclose(file) == 0;
    }
    return ok ? 0 : 1;
}
