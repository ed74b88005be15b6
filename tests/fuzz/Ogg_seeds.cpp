// Writes the seed corpus of the Ogg fuzz target: short mono and stereo
// tones encoded by Debian's encoder; no seeds when it is not installed.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
bool Encode(const std::string& folder, const char* name, int channels, int frames)
{
    const std::string raw = folder + "/" + name + ".raw";
    FILE* f = std::fopen(raw.c_str(), "wb");
    if (!f) return false;
    std::vector<int16_t> samples;
    for (int i = 0; i < frames * channels; ++i) samples.push_back(static_cast<int16_t>((i / 20) % 2 ? 9000 : -9000));
    std::fwrite(samples.data(), 2, samples.size(), f);
    std::fclose(f);
    const std::string command = "oggenc -Q -r -B 16 -C " + std::to_string(channels) + " -R 8000 -o '" + folder + "/" +
                                name + "' '" + raw + "'";
    const bool ok = std::system(command.c_str()) == 0;
    std::remove(raw.c_str());
    return ok;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    if (std::system("command -v oggenc >/dev/null 2>&1") != 0) return 0;
    const std::string folder = argv[1];
    const bool ok = Encode(folder, "mono.ogg", 1, 800) && Encode(folder, "stereo.ogg", 2, 1200) &&
                    Encode(folder, "empty.ogg", 1, 0);
    return ok ? 0 : 1;
}
