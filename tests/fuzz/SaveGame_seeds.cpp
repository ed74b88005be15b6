// Writes the seed corpus of the saved-game fuzz target: the fuzz world's own
// save, and the same after a second current-room instance and a global string.
#include <cstdio>
#include <string>
#include <vector>

#include "SaveGame_world.h"

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
    savegame::StartWorld();
    bool ok = WriteSeed(argv[1], "world", savegame::Save());
    Run_Room->CreateInstance(5, 5, 1)->SetAlarm(0, 3);
    ScriptValue text = ScriptValue_Undefined();
    ScriptValue_SetString(&text, "global");
    Variable_SetGlobalValue(VARIABLE_ID_BASE + 1, ARRAY_INDEX_NONE, &text);
    ScriptValue_SetUndefined(&text);
    ok = WriteSeed(argv[1], "world_more", savegame::Save()) && ok;
    return ok ? 0 : 1;
}
