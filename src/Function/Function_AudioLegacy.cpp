// The legacy sound layer's built-ins, for games that do not use the audio
// engine (most do nothing for a game that does), and the CD built-ins.
#include "Base/ErrorReport.h"
#include "Function/Function_AudioRoutines.h"
#include "GameData/GameOptions.h"
#include "Sound/MCI_Main.h"
#include "Sound/Sound_Main.h"

namespace {
using A = ScriptValue*;
int32_t I(A a, int n) { return AudioArgI(a, n); }

bool SkipLegacy() { return NoAudio || GameOptions.newAudioEngine; }

// The sound of argument 0, or false after the report every legacy built-in gives.
bool Exists(A a)
{
    if (Sound_Exists(I(a, 0))) return true;
    ReportRuntimeError("Sound does not exist.", false);
    return false;
}

// A legacy routine: nothing under -noaudio or, unless `always`, for a game on the audio engine.
#define LEGACY_ROUTINE(name, count) AUDIO_ROUTINE_WITH(name, count, SkipLegacy())
#define LEGACY_ROUTINE_ALWAYS(name, count) AUDIO_ROUTINE_WITH(name, count, NoAudio)

LEGACY_ROUTINE(F_Play, 1)
{
    if (Exists(args)) Sound_Play(I(args, 0), false);
}
LEGACY_ROUTINE(F_Loop, 1)
{
    if (Exists(args)) Sound_Play(I(args, 0), true);
}
LEGACY_ROUTINE(F_Stop, 1)
{
    if (Exists(args)) Sound_Stop(I(args, 0));
}
LEGACY_ROUTINE(F_StopAll, 0) { Sound_StopAll(); }
LEGACY_ROUTINE(F_IsPlaying, 1) { AudioBool(result, Sound_IsPlaying(I(args, 0))); }
LEGACY_ROUTINE(F_Volume, 2)
{
    if (Exists(args)) Sound_SetVolume(I(args, 0), AudioArgR(args, 1));
}
LEGACY_ROUTINE(F_Fade, 3)
{
    if (Exists(args)) Sound_Fade(I(args, 0), AudioArgR(args, 1), I(args, 2));
}
LEGACY_ROUTINE(F_BackgroundTempo, 1) { AudioArgR(args, 0); }
LEGACY_ROUTINE(F_GlobalVolume, 1) { Sound_SetMasterVolume(AudioArgF(args, 0)); }
LEGACY_ROUTINE(F_SetSearchDirectory, 1) { Arg_String(args, 0); }
// Pan, effects and 3D settings: the sound is prepared and nothing more happens.
LEGACY_ROUTINE(F_Prepare, 1)
{
    if (Exists(args)) Sound_PrepareHardware(I(args, 0));
}
LEGACY_ROUTINE_ALWAYS(F_PrepareAlways, 1)
{
    if (Exists(args)) Sound_PrepareHardware(I(args, 0));
}

// ---------------------------------------------------------------- CD audio

#define CD_ROUTINE(name, count) AUDIO_ROUTINE_WITH(name, count, false)
CD_ROUTINE(F_CdInit, 0) { CD_Init(); }
CD_ROUTINE(F_CdPresent, 0) { AudioBool(result, CD_Present()); }
CD_ROUTINE(F_CdNumber, 0) { AudioReal(result, CD_TrackCount()); }
CD_ROUTINE(F_CdPlaying, 0) { AudioBool(result, CD_Playing()); }
CD_ROUTINE(F_CdPaused, 0) { AudioBool(result, CD_Paused()); }
CD_ROUTINE(F_CdTrack, 0) { AudioReal(result, CD_Track()); }
CD_ROUTINE(F_CdLength, 0) { AudioReal(result, CD_Length()); }
CD_ROUTINE(F_CdTrackLength, 1) { AudioReal(result, CD_TrackLength(I(args, 0))); }
CD_ROUTINE(F_CdPosition, 0) { AudioReal(result, CD_Position()); }
CD_ROUTINE(F_CdTrackPosition, 0) { AudioReal(result, CD_TrackPosition()); }
CD_ROUTINE(F_CdPlay, 2) { CD_Play(I(args, 0), I(args, 1)); }
CD_ROUTINE(F_CdStop, 0) { CD_Stop(); }
CD_ROUTINE(F_CdPause, 0) { CD_Pause(); }
CD_ROUTINE(F_CdResume, 0) { CD_Resume(); }
CD_ROUTINE(F_CdSetPosition, 1) { CD_SetPosition(I(args, 0)); }
CD_ROUTINE(F_CdSetTrackPosition, 1) { CD_SetTrackPosition(I(args, 0)); }
CD_ROUTINE(F_CdOpenDoor, 0) { CD_OpenDoor(); }
CD_ROUTINE(F_CdCloseDoor, 0) { CD_CloseDoor(); }
CD_ROUTINE(F_MciCommand, 1)
{
    char reply[256] = {};
    const char* command = Arg_String(args, 0);
    if (command) Mci_SendString(command, reply, 255);
    ScriptValue_SetString(result, reply);
}

const AudioBuiltin kLegacy[] = {
    {"sound_play", F_Play, 1, 0},
    {"sound_loop", F_Loop, 1, 0},
    {"sound_stop", F_Stop, 1, 0},
    {"sound_stop_all", F_StopAll, 0, 0},
    {"sound_isplaying", F_IsPlaying, 1, 0},
    {"sound_volume", F_Volume, 2, 0},
    {"sound_fade", F_Fade, 3, 0},
    {"sound_pan", F_Prepare, 2, 0},
    {"sound_background_tempo", F_BackgroundTempo, 1, 0},
    {"sound_global_volume", F_GlobalVolume, 1, 0},
    {"sound_set_search_directory", F_SetSearchDirectory, 1, 0},
    {"sound_effect_set", F_Prepare, 2, 1},
    {"sound_effect_chorus", F_Prepare, 8, 1},
    {"sound_effect_compressor", F_Prepare, 7, 1},
    {"sound_effect_echo", F_Prepare, 6, 1},
    {"sound_effect_flanger", F_Prepare, 8, 1},
    {"sound_effect_gargle", F_Prepare, 3, 1},
    {"sound_effect_equalizer", F_Prepare, 4, 1},
    {"sound_effect_reverb", F_Prepare, 5, 1},
    {"sound_3d_set_sound_position", F_Prepare, 4, 1},
    {"sound_3d_set_sound_velocity", F_PrepareAlways, 4, 1},
    {"sound_3d_set_sound_distance", F_PrepareAlways, 3, 1},
    {"sound_3d_set_sound_cone", F_PrepareAlways, 7, 1},
};

const AudioBuiltin kCd[] = {
    {"cd_init", F_CdInit, 0, 1},
    {"cd_present", F_CdPresent, 0, 1},
    {"cd_number", F_CdNumber, 0, 1},
    {"cd_playing", F_CdPlaying, 0, 1},
    {"cd_paused", F_CdPaused, 0, 1},
    {"cd_track", F_CdTrack, 0, 1},
    {"cd_length", F_CdLength, 0, 1},
    {"cd_track_length", F_CdTrackLength, 1, 1},
    {"cd_position", F_CdPosition, 0, 1},
    {"cd_track_position", F_CdTrackPosition, 0, 1},
    {"cd_play", F_CdPlay, 2, 1},
    {"cd_stop", F_CdStop, 0, 1},
    {"cd_pause", F_CdPause, 0, 1},
    {"cd_resume", F_CdResume, 0, 1},
    {"cd_set_position", F_CdSetPosition, 1, 1},
    {"cd_set_track_position", F_CdSetTrackPosition, 1, 1},
    {"cd_open_door", F_CdOpenDoor, 0, 1},
    {"cd_close_door", F_CdCloseDoor, 0, 1},
    {"MCI_command", F_MciCommand, 1, 1},
};
}  // namespace

std::span<const AudioBuiltin> LegacySoundBuiltins()
{
    return kLegacy;
}

std::span<const AudioBuiltin> CdAudioBuiltins()
{
    return kCd;
}
