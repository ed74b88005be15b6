#pragma once
// The game's audio groups as the group chunk names them, with the state of
// each. Group 0 lives in the game data and is always loaded. Every other group
// has its audio data in "audiogroup<N>.dat" beside the game: loading reads the
// file, binds the group's sounds to it and prepares them on a loader thread;
// the per-frame update declares the group Loaded once the thread has ended
// (posting the "audiogroup_load" event) and lets an unloaded group's data go
// once none of its voices plays any more.
#include <cstdint>

enum AudioGroupState : int32_t {
    kAudioGroupUnloaded = 0,
    kAudioGroupLoading = 1,
    kAudioGroupLoaded = 2,
    kAudioGroupUnloading = 3,
};

// The asynchronous event a finished load posts.
constexpr int32_t kAudioGroupLoadEvent = 72;

// The "AGRP" reader: every entry offset and name checked; false with a message otherwise.
bool AudioGroup_Load(const uint8_t* payload, uint32_t length, const uint8_t* base);
int32_t AudioGroup_Count();
// The group's name, null when it has none or the index is out of range.
const char* AudioGroup_Name(int32_t group);
// The name for game code: "<undefined>" for an index out of range or a group without a name.
const char* AudioGroupTable_GetName(int32_t group);
// The group's state; Unloaded for an index out of range.
int32_t AudioGroup_State(int32_t group);
// Stores a state, logging "Audio group N -> <state>" when it changes;
// nothing for an index out of range or a value that is no state.
void AudioGroup_SetState(int32_t group, int32_t state);
// Whether the group's sounds may play: group 0 always (even with no groups),
// another group of the table when its state is Loaded.
bool AudioGroup_IsLoaded(int32_t group);

// Starts loading an Unloaded group other than 0 that has sounds: its file is
// read from the bundle and checked, its sounds are bound to it and a loader
// thread prepares them. False, with a log line for a file that cannot be read
// or is malformed, when nothing was started.
bool AudioGroupTable_Load(int32_t group);
// Checks a group file (the container header, then the group's audio chunk at
// byte 8 with every offset counted from the start of the file, all within
// the file) and binds the group's sounds to it. False, with nothing bound,
// for a file that is malformed.
bool AudioGroup_BindFile(int32_t group, const uint8_t* image, uint32_t size);
// A Loaded group other than 0 becomes Unloading and its voices are
// soft-stopped; its data goes once none of them plays. False otherwise.
bool AudioGroupTable_Unload(int32_t group);
// Percent of the group's sounds prepared: 100 for group 0 and a Loaded group,
// the loader's figure while Loading, 0 otherwise.
double AudioGroupTable_GetProgress(int32_t group);
// Once per frame, before anything else of the engine: finishes loads whose
// loader has ended and unloads whose voices have all stopped.
void AudioGroupTable_Update();
// Called on the loader thread before each of the group's sounds is counted
// as prepared, so that a test can hold the loader between steps. Null (the
// default) for none; returns the one it replaces.
using AudioGroupLoaderStep = void (*)(int32_t group);
AudioGroupLoaderStep AudioGroup_SetLoaderStep(AudioGroupLoaderStep step);

// Waits for the loader threads, then deletes the table with the group files
// (engine shutdown, before the sounds go).
void AudioGroup_Free();
