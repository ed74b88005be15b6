// Writes the seed corpus of the buffer fuzz target: a length-prefixed zlib
// payload, and operation lists on each buffer kind.
#include <zlib.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {
bool WriteSeed(const std::string& folder, const char* name, const std::vector<uint8_t>& bytes)
{
    const std::string path = folder + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    std::string text;
    for (int i = 0; i < 200; ++i) text += "seed " + std::to_string(i) + "\n";
    uLongf packedSize = compressBound(uLong(text.size()));
    std::vector<uint8_t> packed(packedSize);
    compress(packed.data(), &packedSize, reinterpret_cast<const Bytef*>(text.data()), uLong(text.size()));
    packed.resize(packedSize);
    std::vector<uint8_t> payload = {uint8_t(packedSize), uint8_t(packedSize >> 8), 0, 0};
    payload.insert(payload.end(), packed.begin(), packed.end());
    bool ok = WriteSeed(folder, "payload", payload);

    for (uint8_t kind = 0; kind < 4; ++kind) {
        // kind, alignment, size (2 bytes), other buffer's size and kind, then
        // operations of 4 to 8 bytes each.
        std::vector<uint8_t> ops = {kind, 4, 16, 0, 8, 1};
        for (uint8_t op = 0; op < 14; ++op) {
            const uint8_t more[] = {op, uint8_t(op % 13 + 1), 3, 0, 14, 0, 2, 0};
            ops.insert(ops.end(), more, more + 8);
        }
        const std::string name = "ops" + std::to_string(kind);
        ok = WriteSeed(folder, name.c_str(), ops) && ok;
    }
    return ok ? 0 : 1;
}
