#pragma once
// The body of a seed program: writes each seed as a file of its own into the
// corpus folder named by the one argument.
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

// 32-bit words in the byte order of the machine (little-endian), for seeds
// of binary formats.
inline std::string SeedWords(std::initializer_list<uint32_t> words)
{
    std::string out;
    for (uint32_t w : words) out.append(reinterpret_cast<const char*>(&w), 4);
    return out;
}

// Seeds of any bytes, zero bytes included.
inline int WriteByteSeeds(int argc, char** argv, const std::vector<std::string>& seeds)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    bool ok = true;
    int n = 0;
    for (const std::string& bytes : seeds) {
        const std::string path = std::string(argv[1]) + "/seed" + std::to_string(n++);
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) return 1;
        ok &= std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        ok &= std::fclose(file) == 0;
    }
    return ok ? 0 : 1;
}

inline int WriteTextSeeds(int argc, char** argv, std::initializer_list<const char*> seeds)
{
    return WriteByteSeeds(argc, argv, std::vector<std::string>(seeds.begin(), seeds.end()));
}
