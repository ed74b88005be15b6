#include "Variable/Variable_GameInfo.h"

#include "Code/Code_Value.h"
#include "GameData/GameHeader.h"
#include "IO/LoadSave.h"
#include "Variable/Variable_BuiltIn.h"

namespace {
bool GetGameId(CInstance*, int32_t, ScriptValue* out)
{
    ScriptValue_SetReal(out, static_cast<double>(GameGeneral.gameId));
    return true;
}

bool GetText(ScriptValue* out, const char* text)
{
    ScriptValue_SetString(out, text ? text : "");
    return true;
}

// The header's identifier bytes are kept but not shown.
bool GetGuid(CInstance*, int32_t, ScriptValue* out) { return GetText(out, ""); }

bool GetDisplayName(CInstance*, int32_t, ScriptValue* out) { return GetText(out, GameGeneral_DisplayName()); }

// The game's name (offset 40 of the header), not the project name at offset 4.
bool GetProjectName(CInstance*, int32_t, ScriptValue* out) { return GetText(out, GameGeneral.gameName); }

bool GetSaveId(CInstance*, int32_t, ScriptValue* out) { return GetText(out, SavePrePend()); }

const BuiltinAccessors kAccessors[] = {
    {"game_id", GetGameId, nullptr},
    {"game_guid", GetGuid, nullptr},
    {"game_display_name", GetDisplayName, nullptr},
    {"game_project_name", GetProjectName, nullptr},
    {"game_save_id", GetSaveId, nullptr},
};
}  // namespace

bool Variable_GameInfoAccessors(const char* name, BuiltinGetter* getter, BuiltinSetter* setter)
{
    return Variable_FindAccessors(kAccessors, name, getter, setter);
}
