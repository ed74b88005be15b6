// Asset look-up by name. The two built-ins search the tables in different
// orders, so a name used by a sprite and an object gives the sprite's index
// but the object's kind.
#include "Function/Function_Asset.h"

#include "Background/Background_Main.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Constant.h"
#include "Code/Code_Function.h"
#include "Font/Font_Main.h"
#include "Graphics/ShaderM.h"
#include "Path/Path_Main.h"
#include "Script/Script_Main.h"
#include "Sound/Audio_Sound.h"
#include "Sound/Sound_Main.h"
#include "Sprite/Sprite_Main.h"
#include "World/Object_Main.h"
#include "World/Room_Main.h"
#include "World/TimeLine_Main.h"

namespace {

using Args = ScriptValue*;

void F_GetIndex(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 1, "asset_get_index")) return;
    const char* name = Arg_String(a, 0);
    if (!name) return ScriptValue_SetReal(r, -1.0);
    Code_Constant_Lookup(name, r);
}

// The asset kinds of asset_get_type, in the order it searches them.
struct KindFinder {
    int (*find)(const char* name);
    int32_t kind;
};
int FindTimeLine(const char* name) { return TimeLine_Find(name); }
int FindScript(const char* name) { return Script_FindByName(name); }
int FindPath(const char* name) { return Path_Find(name); }
const KindFinder kKinds[] = {
    {Object_FindByName, 0}, {Sprite_Find, 1}, {Sound_Find, 2},   {Audio_FindSound, 2}, {Background_Find, 4},
    {FindPath, 5},          {Font_Find, 7},   {FindTimeLine, 8}, {FindScript, 6},      {Room_Find, 3},
    {Shader_Find, 10},
};

void F_GetType(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 1, "asset_get_type")) return;
    const char* name = Arg_String(a, 0);
    double kind = -1;
    for (const KindFinder& k : kKinds) {
        if (!name) break;
        if (k.find(name) >= 0) {
            kind = k.kind;
            break;
        }
    }
    ScriptValue_SetReal(r, kind);
}
}  // namespace

void InitAssetFunctions()
{
    CodeFunction_Register("asset_get_index", F_GetIndex, 1, 0);
    CodeFunction_Register("asset_get_type", F_GetType, 1, 0);
}
