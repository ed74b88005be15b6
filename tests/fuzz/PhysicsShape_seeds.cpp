// Writes the seed corpus of the physics shape fuzz target: a square polygon,
// its reverse, an open chain, a loop, an edge, a circle and a box.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {
std::vector<uint8_t> Seed(uint8_t kind, std::vector<float> values)
{
    std::vector<uint8_t> bytes = {kind, 16};
    for (float v : values) {
        uint8_t raw[4];
        std::memcpy(raw, &v, sizeof raw);
        bytes.insert(bytes.end(), raw, raw + 4);
    }
    return bytes;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::vector<std::vector<uint8_t>> seeds = {
        Seed(0, {0, 0, 1, 0, 1, 1, 0, 1}),
        Seed(0, {0, 1, 1, 1, 1, 0, 0, 0}),
        Seed(1, {0, 0, 1, 0, 2, 1, 3, 1, 4, 0}),
        Seed(2, {0, 0, 1, 0, 1, 1}),
        Seed(3, {0, 0, 2, 0}),
        Seed(4, {0.5f}),
        Seed(5, {1, 0.5f}),
    };
    for (size_t i = 0; i < seeds.size(); ++i) {
        const std::string path = std::string(argv[1]) + "/seed" + std::to_string(i);
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return 1;
        std::fwrite(seeds[i].data(), 1, seeds[i].size(), f);
        std::fclose(f);
    }
    return 0;
}
