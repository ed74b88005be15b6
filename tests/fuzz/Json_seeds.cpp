// Writes the seed corpus of the json_decode fuzzer.
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const char* const kSeeds[] = {
        "{ \"a\": 1, \"b\": [1, 2.5, \"three\", null, true], \"c\": { \"d\": {} } }",
        "[[1,2],[3,[4,{\"deep\":\"x\"}]]]",
        "17",
        "{x",
        "{\"s\":\"\\u00e9\\n\\\"\",\"n\":-12345678901,\"e\":1e300,\"z\":-0.0}",
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
