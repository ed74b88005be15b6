#include "GameData/GameHeader.h"

#include <cstring>

#include "Base/MemoryManager.h"
#include "GameData/GameData.h"
#include "Options/Runner_Strings.h"

int FormatVersion = 0;
bool NewCodeFormat = false;
bool LayerMode = false;
bool ObjectMode = false;
GameGeneralInfo GameGeneral;
GameDataTables GameTables;

namespace {
constexpr uint32_t kDefaultWidth = 800;
constexpr uint32_t kDefaultHeight = 480;
constexpr uint32_t kDefaultInfoFlags = 2;
constexpr const char* kDefaultDisplayName = "Quillstep";
}  // namespace

const char* GameGeneral_DisplayName()
{
    return GameGeneral.displayName ? GameGeneral.displayName : kDefaultDisplayName;
}

void GameHeader_Reset()
{
    FormatVersion = 0;
    NewCodeFormat = false;
    LayerMode = false;
    ObjectMode = false;
    Runner_ReplaceText(&GameGeneral.configName, nullptr);
    Runner_ReplaceText(&GameGeneral.gameName, nullptr);
    Runner_ReplaceText(&GameGeneral.displayName, nullptr);
    GameGeneral = GameGeneralInfo{};
    GameGeneral.windowWidth = GameGeneral.appSurfaceWidth = kDefaultWidth;
    GameGeneral.windowHeight = GameGeneral.appSurfaceHeight = kDefaultHeight;
    GameGeneral.infoFlags = kDefaultInfoFlags;
    GameGeneral.featureMask = ~0ull;
    GameTables = GameDataTables{};
}

const char* GameData_StringTableText(uint32_t index)
{
    if (index >= GameTables.stringCount) return nullptr;
    return reinterpret_cast<const char*>(GameData + GameData_U32(GameTables.stringOffsets + 4 * index) + 4);
}
