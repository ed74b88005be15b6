// Fuzzes the game data loader: both passes over the input as a game file, with
// the checking and pre-decoding of its bytecode, and the debug-information
// reader over the same bytes.
#include <cstdint>
#include <cstring>
#include <vector>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Function.h"
#include "Code/Code_Main.h"
#include "Code/CodeChunks.h"
#include "GameData/DebugInfo.h"
#include "Runner/GameChunks.h"
#include "GameData/GameHeader.h"
#include "Runner/Runner_LoadGame.h"
#include "Runner/GameHeader_Load.h"
#include "Runner/Runner_Hooks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = [] {
        Console_SetStdoutSuppressed(true);
        Runner_InstallHooks();
        // A name the code uses that the runner lacks ends a game's process;
        // a child game goes on, which lets the fuzzer go on too.
        ChildGame = true;
        // As in the runner without a game module: the file's bytecode is the code.
        CompiledCodeMode = false;
        return true;
    }();
    (void)quiet;
    if (size > (1u << 20)) return 0;
    // An exact-size copy, so that any read past the end is caught.
    std::vector<uint8_t> image(data, data + size);
    const uint32_t n = static_cast<uint32_t>(size);
    // Each pass must hold on its own, so the chunk pass runs even after the header pass refused.
    LoadGameHeader(image.data(), n);
    LoadGameChunks(image.data(), n);
    CODE_PrepareEntries();
    // The header pass registers every built-in function; left registered, the
    // table grows with every input and each lookup slows.
    CodeFunction_FreeAll();
    // Again with the container's length word made to agree, so that inputs
    // cut or grown by the fuzzer still reach the chunk readers.
    if (size >= 8) {
        const uint32_t rest = n - 8;
        for (int i = 0; i < 4; ++i) image[4 + i] = static_cast<uint8_t>(rest >> (8 * i));
        LoadGameHeader(image.data(), n);
        LoadGameChunks(image.data(), n);
        CODE_PrepareEntries();
        CodeFunction_FreeAll();
    }

    uint8_t* debug = static_cast<uint8_t*>(QS_ALLOC(size ? size : 1, false));
    if (size) std::memcpy(debug, data, size);
    LoadDebugInfo(debug, n);
    for (uint32_t i = 0; i < DebugInfo.debugTableCount; ++i) {
        const uint8_t* words = nullptr;
        uint32_t count = 0;
        if (DebugInfo_GetDebugTable(i, &words, &count) && count) (void)words[4 * count - 1];
    }
    for (uint32_t i = 0; i < DebugInfo.sourceCount; ++i) {
        const char* text = DebugInfo_GetSource(i);
        if (text) (void)std::strlen(text);
    }
    UnloadGameData();
    return 0;
}
