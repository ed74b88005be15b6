#include "Variable/Variable_GameInfo.h"

#include <cstring>

#include "Code/Code_Value.h"
#include "GameData/GameHeader.h"

namespace {
bool GetGameId(CInstance*, int32_t, ScriptValue* out)
{
    ScriptValue_SetReal(out, static_cast<double>(GameGeneral.gameId));
    return true;
}

bool GetDisplayName(CInstance*, int32_t, ScriptValue* out)
{
    ScriptValue_SetString(out, GameGeneral_DisplayName());
    return true;
}

// The game's name (offset 40 of the header), not the project name at offset 4.
bool GetProjectName(CInstance*, int32_t, ScriptValue* out)
{
    ScriptValue_SetString(out, GameGeneral.gameName ? GameGeneral.gameName : "");
    return true;
}

const struct {
    const char* name;
    BuiltinGetter getter;
} kGetters[] = {
    {"game_id", GetGameId},
    {"game_display_name", GetDisplayName},
    {"game_project_name", GetProjectName},
};
}  // namespace

BuiltinGetter Variable_GameInfoGetter(const char* name)
{
    for (const auto& entry : kGetters)
        if (std::strcmp(entry.name, name) == 0) return entry.getter;
    return nullptr;
}
