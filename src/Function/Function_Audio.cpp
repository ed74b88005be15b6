// The built-ins of the audio engine's sounds and voices, buffer sounds, play
// queues, recording, sync groups and streams: each reads its arguments and
// calls its back end, which answers bad ids with its neutral value.
#include "Function/Function_Audio.h"

#include "Base/Console.h"
#include "Function/Function_AudioRoutines.h"
#include "Sound/Audio_3D.h"
#include "Sound/Audio_BufferSound.h"
#include "Sound/Audio_Engine.h"
#include "Sound/Audio_Listener.h"
#include "Sound/Audio_Ogg.h"
#include "Sound/Audio_Recorder.h"

namespace {
using A = ScriptValue*;
int32_t I(A a, int n) { return AudioArgI(a, n); }
double R(A a, int n) { return AudioArgR(a, n); }
float F(A a, int n) { return AudioArgF(a, n); }

// ---------------------------------------------------------------- sounds and voices

AUDIO_ROUTINE(F_PlaySound, 3) { AudioReal(result, Audio_PlaySimple(I(args, 0), R(args, 1), I(args, 2))); }
AUDIO_ROUTINE(F_PlaySoundAt, 9)
{
    const float x = float(R(args, 1)), y = float(R(args, 2)), z = float(R(args, 3));
    const float reference = float(R(args, 4)), maximum = float(R(args, 5)), factor = float(R(args, 6));
    AudioReal(result, Audio_PlayAt(I(args, 0), x, y, z, reference, maximum, factor, I(args, 7), R(args, 8)));
}
AUDIO_ROUTINE(F_PlaySoundOn, 4) { AudioReal(result, Audio_PlayOn(I(args, 0), I(args, 1), I(args, 2), R(args, 3))); }
AUDIO_ROUTINE(F_StopSound, 1) { Audio_StopSound(I(args, 0)); }
AUDIO_ROUTINE(F_PauseSound, 1) { Audio_PauseSound(I(args, 0)); }
AUDIO_ROUTINE(F_ResumeSound, 1) { Audio_ResumeSound(I(args, 0)); }
AUDIO_ROUTINE(F_PauseAll, 0) { Audio_PauseAll(); }
AUDIO_ROUTINE(F_ResumeAll, 0) { Audio_ResumeAll(); }
AUDIO_ROUTINE(F_StopAll, 0) { Audio_StopAll(0); }
AUDIO_ROUTINE(F_IsPlaying, 1) { AudioBool(result, Audio_IsPlaying(I(args, 0))); }
AUDIO_ROUTINE(F_IsPaused, 1) { AudioBool(result, Audio_IsPaused(I(args, 0))); }
AUDIO_ROUTINE(F_Exists, 1) { AudioBool(result, Audio_SoundExists(I(args, 0))); }
AUDIO_ROUTINE(F_GetType, 1) { AudioReal(result, Audio_GetType(I(args, 0))); }
AUDIO_ROUTINE(F_GetName, 1) { ScriptValue_SetString(result, Audio_GetSoundName(I(args, 0))); }
AUDIO_ROUTINE(F_SoundGain, 3) { Audio_SetGain(I(args, 0), F(args, 1), I(args, 2)); }
AUDIO_ROUTINE(F_SoundPitch, 2) { Audio_SetPitch(I(args, 0), F(args, 1)); }
AUDIO_ROUTINE(F_SoundGetGain, 1) { AudioReal(result, Audio_GetGain(I(args, 0))); }
AUDIO_ROUTINE(F_SoundGetPitch, 1) { AudioReal(result, Audio_GetPitch(I(args, 0))); }
AUDIO_ROUTINE(F_SoundLength, 1) { AudioReal(result, Audio_GetLength(I(args, 0))); }
AUDIO_ROUTINE(F_SetTrackPosition, 2) { Audio_SetTrackPos(I(args, 0), F(args, 1)); }
AUDIO_ROUTINE(F_GetTrackPosition, 1) { AudioReal(result, Audio_GetTrackPos(I(args, 0))); }
AUDIO_ROUTINE(F_SoundGetListenerMask, 1) { AudioReal(result, Audio_GetVoiceListenerMask(I(args, 0))); }
AUDIO_ROUTINE(F_SoundSetListenerMask, 2) { Audio_SetVoiceListenerMask(I(args, 0), uint32_t(I(args, 1))); }
AUDIO_ROUTINE(F_MasterGain, 1) { Audio_SetMasterGain(0, float(R(args, 0))); }
AUDIO_ROUTINE(F_SetMasterGain, 2) { Audio_SetMasterGain(I(args, 0), float(R(args, 1))); }
AUDIO_ROUTINE(F_GetMasterGain, 1) { AudioReal(result, Audio_GetMasterGain(I(args, 0))); }
AUDIO_ROUTINE(F_ChannelNum, 1) { Audio_SetChannelCount(I(args, 0)); }
AUDIO_ROUTINE(F_FalloffSetModel, 1) { Audio_SetFalloffModel(I(args, 0)); }
AUDIO_ROUTINE(F_System, 0) { AudioBool(result, Audio_IsEnabled()); }
AUDIO_ROUTINE(F_Debug, 1) { Audio_SetDebug(I(args, 0) > 0); }

// The music built-ins of an older sound system only say that they are gone.
#define DEPRECATED_MUSIC(routine, name, resultValue)                                                         \
    AUDIO_ROUTINE(routine, 0)                                                                               \
    {                                                                                                       \
        LogConsole->Output(name " :: deprecated function\n");                                              \
        resultValue;                                                                                        \
    }
DEPRECATED_MUSIC(F_PlayMusic, "audio_play_music", (void)0)
DEPRECATED_MUSIC(F_StopMusic, "audio_stop_music", (void)0)
DEPRECATED_MUSIC(F_PauseMusic, "audio_pause_music", (void)0)
DEPRECATED_MUSIC(F_ResumeMusic, "audio_resume_music", (void)0)
DEPRECATED_MUSIC(F_MusicIsPlaying, "audio_music_is_playing", AudioReal(result, 0.0))
DEPRECATED_MUSIC(F_MusicGain, "audio_music_gain", (void)0)
#undef DEPRECATED_MUSIC

// ---------------------------------------------------------------- buffer sounds, queues, recording

AUDIO_ROUTINE(F_CreateBufferSound, 6)
{
    AudioReal(result,
              Audio_CreateBufferSound(I(args, 0), I(args, 1), I(args, 2), I(args, 3), I(args, 4), I(args, 5)));
}
AUDIO_ROUTINE(F_FreeBufferSound, 1) { AudioReal(result, Audio_FreeBufferSound(I(args, 0))); }
AUDIO_ROUTINE(F_CreatePlayQueue, 3) { AudioReal(result, Audio_CreatePlayQueue(I(args, 0), I(args, 1), I(args, 2))); }
AUDIO_ROUTINE(F_FreePlayQueue, 1) { AudioReal(result, Audio_FreePlayQueue(I(args, 0))); }
AUDIO_ROUTINE(F_QueueSound, 4)
{
    AudioReal(result, Audio_QueueSound(I(args, 0), I(args, 1), I(args, 2), I(args, 3)));
}
AUDIO_ROUTINE(F_StartRecording, 1) { AudioReal(result, Audio_StartRecording(I(args, 0))); }
// Stopping a recording runs under -noaudio as well.
AUDIO_ROUTINE_WITH(F_StopRecording, 1, false) { AudioReal(result, Audio_StopRecording(I(args, 0))); }
AUDIO_ROUTINE(F_GetRecorderCount, 0) { AudioReal(result, Audio_GetRecorderCount()); }
AUDIO_ROUTINE(F_GetRecorderInfo, 1) { AudioReal(result, Audio_GetRecorderInfo(I(args, 0))); }

// ---------------------------------------------------------------- sync groups and streams

AUDIO_ROUTINE(F_CreateSyncGroup, 1) { AudioReal(result, Audio_CreateSyncGroup(I(args, 0) > 0)); }
AUDIO_ROUTINE(F_DestroySyncGroup, 1) { Audio_DestroySyncGroup(I(args, 0)); }
AUDIO_ROUTINE(F_PlayInSyncGroup, 2) { AudioReal(result, Audio_PlayInSyncGroup(I(args, 0), I(args, 1))); }
AUDIO_ROUTINE(F_StartSyncGroup, 1) { Audio_StartSyncGroup(I(args, 0)); }
AUDIO_ROUTINE(F_PauseSyncGroup, 1) { Audio_PauseSyncGroup(I(args, 0)); }
AUDIO_ROUTINE(F_ResumeSyncGroup, 1) { Audio_ResumeSyncGroup(I(args, 0)); }
AUDIO_ROUTINE(F_StopSyncGroup, 1) { Audio_StopSyncGroup(I(args, 0)); }
AUDIO_ROUTINE(F_SyncGroupTrackPos, 1) { AudioReal(result, Audio_GetSyncGroupTrackPos(I(args, 0))); }
AUDIO_ROUTINE(F_SyncGroupDebug, 1) { Audio_SetSyncGroupDebug(I(args, 0)); }
AUDIO_ROUTINE(F_SyncGroupIsPlaying, 1) { AudioBool(result, Audio_SyncGroupIsPlaying(I(args, 0))); }
AUDIO_ROUTINE(F_CreateStream, 1)
{
    const char* name = Arg_String(args, 0);
    AudioReal(result, name ? Audio_CreateStream(name) : -1);
}
AUDIO_ROUTINE(F_DestroyStream, 1) { AudioReal(result, Audio_DestroyStream(I(args, 0))); }

// Argument counts as game code calls them; audio_free_play_queue reads its
// queue id, so it is registered with one argument.
const AudioBuiltin kEngine[] = {
    {"audio_play_sound", F_PlaySound, 3, 1},
    {"audio_play_sound_at", F_PlaySoundAt, 9, 1},
    {"audio_play_sound_on", F_PlaySoundOn, 4, 1},
    {"audio_stop_sound", F_StopSound, 1, 1},
    {"audio_pause_sound", F_PauseSound, 1, 1},
    {"audio_resume_sound", F_ResumeSound, 1, 1},
    {"audio_pause_all", F_PauseAll, 0, 1},
    {"audio_resume_all", F_ResumeAll, 0, 1},
    {"audio_stop_all", F_StopAll, 0, 1},
    {"audio_is_playing", F_IsPlaying, 1, 1},
    {"audio_is_paused", F_IsPaused, 1, 1},
    {"audio_exists", F_Exists, 1, 1},
    {"audio_get_type", F_GetType, 1, 1},
    {"audio_get_name", F_GetName, 1, 1},
    {"audio_sound_gain", F_SoundGain, 3, 1},
    {"audio_sound_pitch", F_SoundPitch, 2, 1},
    {"audio_sound_get_gain", F_SoundGetGain, 1, 1},
    {"audio_sound_get_pitch", F_SoundGetPitch, 1, 1},
    {"audio_sound_length", F_SoundLength, 1, 1},
    {"audio_sound_set_track_position", F_SetTrackPosition, 2, 1},
    {"audio_sound_get_track_position", F_GetTrackPosition, 1, 1},
    {"audio_sound_get_listener_mask", F_SoundGetListenerMask, 1, 1},
    {"audio_sound_set_listener_mask", F_SoundSetListenerMask, 2, 1},
    {"audio_master_gain", F_MasterGain, 1, 1},
    {"audio_set_master_gain", F_SetMasterGain, 2, 1},
    {"audio_get_master_gain", F_GetMasterGain, 1, 1},
    {"audio_channel_num", F_ChannelNum, 1, 1},
    {"audio_falloff_set_model", F_FalloffSetModel, 1, 1},
    {"audio_system", F_System, 0, 1},
    {"audio_debug", F_Debug, 1, 0},
    {"audio_play_music", F_PlayMusic, 2, 0},
    {"audio_stop_music", F_StopMusic, 0, 1},
    {"audio_pause_music", F_PauseMusic, 0, 1},
    {"audio_resume_music", F_ResumeMusic, 0, 1},
    {"audio_music_is_playing", F_MusicIsPlaying, 0, 1},
    {"audio_music_gain", F_MusicGain, 2, 1},
    {"audio_create_buffer_sound", F_CreateBufferSound, 6, 0},
    {"audio_free_buffer_sound", F_FreeBufferSound, 1, 0},
    {"audio_create_play_queue", F_CreatePlayQueue, 3, 0},
    {"audio_free_play_queue", F_FreePlayQueue, 1, 0},
    {"audio_queue_sound", F_QueueSound, 4, 0},
    {"audio_start_recording", F_StartRecording, 1, 0},
    {"audio_stop_recording", F_StopRecording, 1, 0},
    {"audio_get_recorder_count", F_GetRecorderCount, 0, 0},
    {"audio_get_recorder_info", F_GetRecorderInfo, 1, 0},
    {"audio_create_sync_group", F_CreateSyncGroup, 1, 0},
    {"audio_destroy_sync_group", F_DestroySyncGroup, 1, 0},
    {"audio_play_in_sync_group", F_PlayInSyncGroup, 4, 0},
    {"audio_start_sync_group", F_StartSyncGroup, 1, 0},
    {"audio_pause_sync_group", F_PauseSyncGroup, 1, 0},
    {"audio_resume_sync_group", F_ResumeSyncGroup, 1, 0},
    {"audio_stop_sync_group", F_StopSyncGroup, 1, 0},
    {"audio_sync_group_get_track_pos", F_SyncGroupTrackPos, 1, 0},
    {"audio_sync_group_debug", F_SyncGroupDebug, 1, 0},
    {"audio_sync_group_is_playing", F_SyncGroupIsPlaying, 1, 0},
    {"audio_create_stream", F_CreateStream, 1, 0},
    {"audio_destroy_stream", F_DestroyStream, 1, 0},
};
}  // namespace

std::span<const AudioBuiltin> AudioEngineBuiltins()
{
    return kEngine;
}

void InitSoundFunctions()
{
    for (auto list : {AudioEngineBuiltins(), AudioEmitterBuiltins(), AudioGroupBuiltins(), LegacySoundBuiltins(),
                      CdAudioBuiltins()})
        for (const AudioBuiltin& b : list) CodeFunction_Register(b.name, b.routine, b.args, b.flag);
}
