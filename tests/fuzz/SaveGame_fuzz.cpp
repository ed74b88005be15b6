// Fuzzes the saved-game reader: the input is loaded into a small running game.
// A refused load must leave the game exactly as it was (its own save before
// and after compare equal); an accepted one replaces it, and a frame's step
// and its room switch then run on what the load applied.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "Runner/Run_Step.h"
#include "SaveGame_world.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        savegame::StartWorld();
        return true;
    }();
    (void)ready;
    if (size > 65536) return 0;
    PendingRoomCode = -1;
    const std::vector<uint8_t> before = savegame::Save();
    std::vector<uint8_t> bytes(data, data + size);
    IBuffer buffer(bytes.data(), static_cast<int32_t>(bytes.size()), eBuffer_Fixed, 1, false);
    if (!Game_ReadSave(&buffer)) {
        PendingRoomCode = -1;
        if (savegame::Save() != before) std::abort();
        return 0;
    }
    DoAStep();
    if (PendingRoomCode >= 0) SwitchRoom(PendingRoomCode);
    return 0;
}
