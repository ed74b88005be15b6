// The sound built-ins: the audio engine answers the two queries of a game
// that uses it; every other built-in here edits the legacy sound list.
#include "Function/Function_Sound.h"

#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "GameData/GameOptions.h"
#include "Sound/Audio_Engine.h"
#include "Sound/Sound_Main.h"

namespace {

using Args = ScriptValue*;

bool UseNewAudio() { return GameOptions.newAudioEngine; }
bool Need(int argc, int count) { return Arg_Need(argc, count, "sound"); }
int I(Args a, int n) { return Arg_Int32(a, n); }

void F_Exists(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const int32_t index = I(a, 0);
    ScriptValue_SetReal(r, (UseNewAudio() ? Audio_SoundExists(index) : Sound_Exists(index)) ? 1.0 : 0.0);
}
void F_GetName(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const int32_t index = I(a, 0);
    ScriptValue_SetString(r, UseNewAudio() ? Audio_GetSoundName(index) : Sound_Name(index));
}
void F_GetKind(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    ScriptValue_SetReal(r, Sound_GetKind(I(a, 0)));
}
void F_GetPreload(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    ScriptValue_SetReal(r, Sound_GetPreload(I(a, 0)) ? 1.0 : 0.0);
}

void F_Add(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (UseNewAudio() || !Need(argc, 3)) return;
    const char* name = Arg_String(a, 0);
    const int32_t kind = I(a, 1);
    const bool preload = Arg_Bool(a, 2);
    ScriptValue_SetReal(r, name ? Sound_Add(name, kind, preload) : -1.0);
}
void F_Replace(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (UseNewAudio() || !Need(argc, 4)) return;
    const int32_t index = I(a, 0);
    const char* name = Arg_String(a, 1);
    const int32_t kind = I(a, 2);
    const bool preload = Arg_Bool(a, 3);
    ScriptValue_SetReal(r, Sound_Exists(index) && name && Sound_Replace(index, name, kind, preload) ? 1.0 : 0.0);
}
void F_Delete(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (UseNewAudio() || !Need(argc, 1)) return;
    const int32_t index = I(a, 0);
    if (!Sound_Exists(index)) {
        ReportRuntimeError("Trying to delete non-existing sound.", false);
        return ScriptValue_SetReal(r, 0.0);
    }
    ScriptValue_SetReal(r, Sound_Delete(index) ? 1.0 : 0.0);
}
void F_Discard(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (UseNewAudio() || !Need(argc, 1)) return;
    const int32_t index = I(a, 0);
    if (Sound_Exists(index)) Sound_Discard(index);
}
void F_Restore(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (UseNewAudio() || !Need(argc, 1)) return;
    const int32_t index = I(a, 0);
    if (Sound_Exists(index)) Sound_Restore(index);
}

struct Entry {
    const char* name;
    BuiltinRoutine routine;
    int32_t args;
};
const Entry kSound[] = {
    {"sound_name", F_GetName, 1},     {"sound_exists", F_Exists, 1},       {"sound_get_name", F_GetName, 1},
    {"sound_get_kind", F_GetKind, 1}, {"sound_get_preload", F_GetPreload, 1}, {"sound_discard", F_Discard, 1},
    {"sound_restore", F_Restore, 1},  {"sound_add", F_Add, 3},             {"sound_replace", F_Replace, 4},
    {"sound_delete", F_Delete, 1},    {"audio_delete", F_Delete, 1},
};
}  // namespace

void InitSoundResourceFunctions()
{
    for (const Entry& e : kSound) CodeFunction_Register(e.name, e.routine, e.args, 0);
}
