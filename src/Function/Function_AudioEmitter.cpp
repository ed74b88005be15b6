// The built-ins of emitters, the listener and audio groups. Bad emitter,
// listener and group ids get the back ends' neutral values.
#include "Function/Function_AudioRoutines.h"
#include "Sound/Audio_Emitter.h"
#include "Sound/Audio_Group.h"
#include "Sound/Audio_GroupSounds.h"
#include "Sound/Audio_Listener.h"

namespace {
using A = ScriptValue*;
int32_t I(A a, int n) { return AudioArgI(a, n); }
float R(A a, int n) { return float(AudioArgR(a, n)); }  // the engine keeps positions in single precision

// ---------------------------------------------------------------- emitters

AUDIO_ROUTINE(F_EmitterCreate, 0) { AudioReal(result, Audio_CreateEmitter()); }
AUDIO_ROUTINE(F_EmitterFree, 1) { Audio_FreeEmitter(I(args, 0)); }
AUDIO_ROUTINE(F_EmitterExists, 1) { AudioBool(result, Audio_EmitterExists(I(args, 0))); }
AUDIO_ROUTINE(F_EmitterPosition, 4) { Audio_SetEmitterPosition(I(args, 0), R(args, 1), R(args, 2), R(args, 3)); }
AUDIO_ROUTINE(F_EmitterVelocity, 4) { Audio_SetEmitterVelocity(I(args, 0), R(args, 1), R(args, 2), R(args, 3)); }
AUDIO_ROUTINE(F_EmitterGain, 2) { Audio_SetEmitterGain(I(args, 0), R(args, 1)); }
AUDIO_ROUTINE(F_EmitterPitch, 2) { Audio_SetEmitterPitch(I(args, 0), R(args, 1)); }
AUDIO_ROUTINE(F_EmitterFalloff, 4) { Audio_SetEmitterFalloff(I(args, 0), R(args, 1), R(args, 2), R(args, 3)); }
AUDIO_ROUTINE(F_EmitterGetGain, 1) { AudioReal(result, Audio_GetEmitterGain(I(args, 0))); }
AUDIO_ROUTINE(F_EmitterGetPitch, 1) { AudioReal(result, Audio_GetEmitterPitch(I(args, 0))); }

// One coordinate of the emitter's position or velocity.
template <void (*get)(int32_t, float[3]), int axis>
void EmitterAxis(ScriptValue* result, ScriptValue* args)
{
    float v[3];
    get(I(args, 0), v);
    AudioReal(result, v[axis]);
}
AUDIO_ROUTINE(F_EmitterGetX, 1) { EmitterAxis<Audio_GetEmitterPosition, 0>(result, args); }
AUDIO_ROUTINE(F_EmitterGetY, 1) { EmitterAxis<Audio_GetEmitterPosition, 1>(result, args); }
AUDIO_ROUTINE(F_EmitterGetZ, 1) { EmitterAxis<Audio_GetEmitterPosition, 2>(result, args); }
AUDIO_ROUTINE(F_EmitterGetVx, 1) { EmitterAxis<Audio_GetEmitterVelocity, 0>(result, args); }
AUDIO_ROUTINE(F_EmitterGetVy, 1) { EmitterAxis<Audio_GetEmitterVelocity, 1>(result, args); }
AUDIO_ROUTINE(F_EmitterGetVz, 1) { EmitterAxis<Audio_GetEmitterVelocity, 2>(result, args); }
AUDIO_ROUTINE(F_EmitterGetListenerMask, 1) { AudioReal(result, Audio_GetEmitterListenerMask(I(args, 0))); }
AUDIO_ROUTINE(F_EmitterSetListenerMask, 2) { Audio_SetEmitterListenerMask(I(args, 0), uint32_t(I(args, 1))); }

// ---------------------------------------------------------------- the listener

AUDIO_ROUTINE(F_ListenerPosition, 3) { Audio_SetListenerPosition(0, R(args, 0), R(args, 1), R(args, 2)); }
AUDIO_ROUTINE(F_ListenerVelocity, 3) { Audio_SetListenerVelocity(0, R(args, 0), R(args, 1), R(args, 2)); }
void Orientation(int32_t listener, ScriptValue* args, int first)
{
    Audio_SetListenerOrientation(listener, R(args, first), R(args, first + 1), R(args, first + 2),
                                 R(args, first + 3), R(args, first + 4), R(args, first + 5));
}
AUDIO_ROUTINE(F_ListenerOrientation, 6) { Orientation(0, args, 0); }
AUDIO_ROUTINE(F_ListenerSetPosition, 4)
{
    Audio_SetListenerPosition(I(args, 0), R(args, 1), R(args, 2), R(args, 3));
}
AUDIO_ROUTINE(F_ListenerSetVelocity, 4)
{
    Audio_SetListenerVelocity(I(args, 0), R(args, 1), R(args, 2), R(args, 3));
}
AUDIO_ROUTINE(F_ListenerSetOrientation, 7) { Orientation(I(args, 0), args, 1); }
AUDIO_ROUTINE(F_ListenerGetData, 1) { AudioReal(result, Audio_GetListenerData(I(args, 0))); }
AUDIO_ROUTINE(F_GetListenerCount, 0) { AudioReal(result, Audio_GetListenerCount()); }
AUDIO_ROUTINE(F_GetListenerInfo, 1) { AudioReal(result, Audio_GetListenerInfo(I(args, 0))); }
AUDIO_ROUTINE(F_GetListenerMask, 0) { AudioReal(result, Audio_GetListenerMask()); }
AUDIO_ROUTINE(F_SetListenerMask, 1) { Audio_SetListenerMask(uint32_t(I(args, 0))); }

// ---------------------------------------------------------------- audio groups

AUDIO_ROUTINE(F_GroupLoad, 1) { AudioBool(result, AudioGroupTable_Load(I(args, 0))); }
AUDIO_ROUTINE(F_GroupUnload, 1) { AudioBool(result, AudioGroupTable_Unload(I(args, 0))); }
AUDIO_ROUTINE(F_GroupIsLoaded, 1) { AudioBool(result, AudioGroup_IsLoaded(I(args, 0))); }
AUDIO_ROUTINE(F_GroupLoadProgress, 1) { AudioReal(result, AudioGroupTable_GetProgress(I(args, 0))); }
AUDIO_ROUTINE(F_GroupName, 1) { ScriptValue_SetString(result, AudioGroupTable_GetName(I(args, 0))); }
AUDIO_ROUTINE(F_GroupStopAll, 1) { Audio_StopGroup(I(args, 0)); }
AUDIO_ROUTINE(F_GroupSetGain, 3) { Audio_SetGroupGain(I(args, 0), AudioArgF(args, 1), I(args, 2)); }

// audio_get_listener_info reads the listener's index, so it is registered with one argument.
const AudioBuiltin kEmitter[] = {
    {"audio_emitter_create", F_EmitterCreate, 0, 1},
    {"audio_emitter_free", F_EmitterFree, 1, 1},
    {"audio_emitter_exists", F_EmitterExists, 1, 1},
    {"audio_emitter_position", F_EmitterPosition, 4, 1},
    {"audio_emitter_velocity", F_EmitterVelocity, 4, 1},
    {"audio_emitter_gain", F_EmitterGain, 2, 1},
    {"audio_emitter_pitch", F_EmitterPitch, 2, 1},
    {"audio_emitter_falloff", F_EmitterFalloff, 4, 1},
    {"audio_emitter_get_gain", F_EmitterGetGain, 1, 1},
    {"audio_emitter_get_pitch", F_EmitterGetPitch, 1, 1},
    {"audio_emitter_get_x", F_EmitterGetX, 1, 1},
    {"audio_emitter_get_y", F_EmitterGetY, 1, 1},
    {"audio_emitter_get_z", F_EmitterGetZ, 1, 1},
    {"audio_emitter_get_vx", F_EmitterGetVx, 1, 1},
    {"audio_emitter_get_vy", F_EmitterGetVy, 1, 1},
    {"audio_emitter_get_vz", F_EmitterGetVz, 1, 1},
    {"audio_emitter_get_listener_mask", F_EmitterGetListenerMask, 1, 1},
    {"audio_emitter_set_listener_mask", F_EmitterSetListenerMask, 2, 1},
    {"audio_listener_position", F_ListenerPosition, 3, 1},
    {"audio_listener_velocity", F_ListenerVelocity, 3, 1},
    {"audio_listener_orientation", F_ListenerOrientation, 6, 1},
    {"audio_listener_set_position", F_ListenerSetPosition, 4, 1},
    {"audio_listener_set_velocity", F_ListenerSetVelocity, 4, 1},
    {"audio_listener_set_orientation", F_ListenerSetOrientation, 7, 1},
    {"audio_listener_get_data", F_ListenerGetData, 1, 1},
    {"audio_get_listener_count", F_GetListenerCount, 0, 1},
    {"audio_get_listener_info", F_GetListenerInfo, 1, 1},
    {"audio_get_listener_mask", F_GetListenerMask, 0, 1},
    {"audio_set_listener_mask", F_SetListenerMask, 1, 1},
};

const AudioBuiltin kGroup[] = {
    {"audio_group_load", F_GroupLoad, 1, 0},
    {"audio_group_unload", F_GroupUnload, 1, 0},
    {"audio_group_is_loaded", F_GroupIsLoaded, 1, 0},
    {"audio_group_load_progress", F_GroupLoadProgress, 1, 0},
    {"audio_group_name", F_GroupName, 1, 0},
    {"audio_group_stop_all", F_GroupStopAll, 1, 0},
    {"audio_group_set_gain", F_GroupSetGain, 3, 0},
};
}  // namespace

std::span<const AudioBuiltin> AudioEmitterBuiltins()
{
    return kEmitter;
}

std::span<const AudioBuiltin> AudioGroupBuiltins()
{
    return kGroup;
}
