// Writes the seed corpus of the data-structure text fuzzer: known texts of
// each structure, as raw text (first byte with bit 7 set) and as hex bytes.
#include <cstdio>
#include <string>

namespace {
bool WriteSeed(const std::string& path, const std::string& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

std::string FromHex(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += char(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    struct Seed {
        char mode;  // the structure ((mode & 0x3F) % 7) and flags
        const char* text;
    } const kSeeds[] = {
        {0, "66000000020000000000000000000000F03F0100000002000000686905000000"},
        {1, "CA0000000300000001000000040000000100000001000000610100000001000000620500000005000000"},
        {2, "2E0100000100000000000000000000000000F03F"},
        {2, "2E0100000100000002000000010000000200000007000000050000000A0000000100000000000000"},
        {3, "920100000100000001000000010000006100000000000000000000F03F"},
        {4, "F6010000010000000000000000000000000014400100000001000000780000"},
        {5, "5A020000010000000200000000000000000000000000F03F0700000005000000"},
        {6, "0000000000000000000000F03F07000000050000000D00000000000000000000000300000001000000"},
        {char(0x80 | 3), "1:61:3FF0,3:6B:7676,0:4004000000000000:3FF"},
        {char(0x40 | 2), "2D0100000100000000000000000000000000F03F0000000000"},
    };
    bool ok = true;
    int n = 0;
    for (const Seed& seed : kSeeds) {
        const std::string body = seed.mode & 0x80 ? std::string(seed.text) : FromHex(seed.text);
        ok &= WriteSeed(std::string(argv[1]) + "/seed" + std::to_string(n++), std::string(1, seed.mode) + body);
    }
    return ok ? 0 : 1;
}
