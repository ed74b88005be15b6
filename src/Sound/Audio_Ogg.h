#pragma once
// Ogg-played sounds (streamed from a file, or kept compressed in memory):
// the engine's voices hand them to decoder threads that feed the voices'
// sources; streams made at run time; sync groups, which play several such
// sounds in lock-step as one mixed stream on a source of their own.
#include <cstdint>

struct AudioSound;

void OggAudio_Init(int32_t threads, int32_t sources);
// Stops and joins every decoder thread and sync group.
void OggAudio_Quit();
// Once per frame: frees the voices whose channel finished, prints what the
// threads reported, deletes destroyed streams and failed groups.
void OggAudio_Update();
// Starts the sound on the source's channel; -1 when it cannot.
int32_t OggAudio_PlaySound(int32_t sourceIndex, AudioSound* sound, bool loop, float startSeconds);
void OggAudio_Stop(int32_t sourceIndex);
// A voice paused before its thread started it stays paused once started.
void OggAudio_Pause(int32_t sourceIndex);
void OggAudio_Resume(int32_t sourceIndex);
void OggAudio_SetPosition(int32_t sourceIndex, double seconds);
// Seconds played on the source's channel; 0 when no channel plays.
double OggAudio_GetPosition(int32_t sourceIndex, AudioSound* sound);
// Fills the sound's length, rate, channels and total samples; false when they cannot be read.
bool OggAudio_ReadSoundInfo(AudioSound* sound);
// Slots of the sync-group table, empty ones included.
int32_t OggAudio_SyncGroupCount();

// A stream of the named file (save area first, then the bundle): its id, or
// -1 when there is no such file.
int32_t Audio_CreateStream(const char* name);
// Stops the stream's voices; its record goes once no channel uses it. 1, or
// -1 for an id that names no stream.
int32_t Audio_DestroyStream(int32_t id);

// Sync groups, by id; an id that names no group does nothing.
int32_t Audio_CreateSyncGroup(bool loop);
void Audio_DestroySyncGroup(int32_t group);
// Adds the sound as the group's next track: its channel index, -1 when it
// cannot (no such group or sound, an uncompressed sound, its audio group not
// loaded, the group full).
int32_t Audio_PlayInSyncGroup(int32_t group, int32_t soundId);
void Audio_StartSyncGroup(int32_t group);
void Audio_StopSyncGroup(int32_t group);
void Audio_PauseSyncGroup(int32_t group);
void Audio_ResumeSyncGroup(int32_t group);
bool Audio_SyncGroupIsPlaying(int32_t group);
// Seconds the group has played since its start; -1 for no group.
double Audio_GetSyncGroupTrackPos(int32_t group);
// The overlay's sync-group panel shows the group; -1 hides it.
void Audio_SetSyncGroupDebug(int32_t group);
