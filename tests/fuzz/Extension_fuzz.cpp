// Fuzzes the reader of the "EXTN" chunk: the input is a game data image
// whose "EXTN" chunk is read as the chunk pass reads it, then looked up by name.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Base/Console.h"
#include "GameData/GameData.h"
#include "Platform/Extension_Main.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = [] {
        Console_SetStdoutSuppressed(true);
        return true;
    }();
    (void)quiet;
    if (size > (1u << 20)) return 0;
    // An exact-size copy, so that any read past the end is caught.
    std::vector<uint8_t> image(data, data + size);
    const uint32_t n = static_cast<uint32_t>(size);
    GameData_SetImage(image.data(), n);
    if (GameData_CheckContainer(image.data(), n)) {
        uint32_t pos = 8;
        GameChunk chunk;
        while (GameData_NextChunk(image.data(), n, &pos, &chunk)) {
            if (chunk.tag[0] != 'E' || chunk.tag[1] != 'X' || chunk.tag[2] != 'T' || chunk.tag[3] != 'N') continue;
            if (Extension_Load(chunk.payload, chunk.length, image.data())) Extension_FindFunction("ext_add");
        }
    }
    Extension_Free();
    GameData_SetImage(nullptr, 0);
    GameData_ClearError();
    return 0;
}
