#pragma once
// What the sound built-ins share: the registration entry, the lists each file
// contributes (registered in this order by InitSoundFunctions), and the shape
// of a routine: nothing at all under -noaudio, a report instead of reading
// arguments compiled code did not pass, then the back end.
#include <cstdint>
#include <span>

#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Options/Runner_Options.h"

struct AudioBuiltin {
    const char* name;
    BuiltinRoutine routine;
    int32_t args;
    uint8_t flag;
};

// Sounds, voices and engine settings; buffer sounds, queues, recording, sync groups and streams.
std::span<const AudioBuiltin> AudioEngineBuiltins();
// Emitters and the listener.
std::span<const AudioBuiltin> AudioEmitterBuiltins();
// Audio groups.
std::span<const AudioBuiltin> AudioGroupBuiltins();
// The legacy sound layer's built-ins.
std::span<const AudioBuiltin> LegacySoundBuiltins();
// CD audio and raw media commands.
std::span<const AudioBuiltin> CdAudioBuiltins();

#define AUDIO_ROUTINE_WITH(name, count, guard)                                                               \
    void name##_Body(ScriptValue* result, ScriptValue* args);                                               \
    void name(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)                     \
    {                                                                                                       \
        if (guard) return;                                                                                  \
        if (Arg_Need(argc, count, nullptr)) name##_Body(result, args);                                      \
    }                                                                                                       \
    void name##_Body([[maybe_unused]] ScriptValue* result, [[maybe_unused]] ScriptValue* args)

// A routine of the audio engine's built-ins.
#define AUDIO_ROUTINE(name, count) AUDIO_ROUTINE_WITH(name, count, NoAudio)

inline int32_t AudioArgI(ScriptValue* args, int n) { return Arg_Int32(args, n); }
inline double AudioArgR(ScriptValue* args, int n) { return Arg_Real(args, n); }
inline float AudioArgF(ScriptValue* args, int n) { return Arg_Float(args, n); }
inline void AudioReal(ScriptValue* result, double value) { ScriptValue_SetReal(result, value); }
inline void AudioBool(ScriptValue* result, bool value) { ScriptValue_SetReal(result, value ? 1.0 : 0.0); }
