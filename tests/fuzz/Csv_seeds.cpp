// Writes the seed corpus of the comma-separated reader's fuzzer.
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const char* const kSeeds[] = {
        "a,b\nc,d",
        "a,b\r\nc,d\r\n",
        "1,2,3\n4\n",
        "\"x,y\",z\n\"a\"\"b\",\"\"\n",
        "\xEF\xBB\xBFname,score\r\nada,3\r\n\r\nbob",
    };
    bool ok = true;
    int n = 0;
    for (const char* seed : kSeeds) {
        const std::string path = std::string(argv[1]) + "/seed" + std::to_string(n++);
        FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) return 1;
        const std::string bytes = seed;
        ok &= std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        ok &= std::fclose(file) == 0;
    }
    return ok ? 0 : 1;
}
