// Writes the seed corpus of the physics shape fuzz target: a square polygon,
// its reverse, an open chain, a loop, an edge, a circle and a box.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "TextSeeds.h"

namespace {
std::string Seed(uint8_t kind, std::vector<float> values)
{
    std::string bytes = {static_cast<char>(kind), 16};
    for (float v : values) {
        char raw[4];
        std::memcpy(raw, &v, sizeof raw);
        bytes.append(raw, 4);
    }
    return bytes;
}
}  // namespace

int main(int argc, char** argv)
{
    return WriteByteSeeds(argc, argv, {
        Seed(0, {0, 0, 1, 0, 1, 1, 0, 1}),
        Seed(0, {0, 1, 1, 1, 1, 0, 0, 0}),
        Seed(1, {0, 0, 1, 0, 2, 1, 3, 1, 4, 0}),
        Seed(2, {0, 0, 1, 0, 1, 1}),
        Seed(3, {0, 0, 2, 0}),
        Seed(4, {0.5f}),
        Seed(5, {1, 0.5f}),
    });
}
