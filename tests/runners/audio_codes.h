#pragma once
// Code indices of the audio test runner's game module.
enum AudioCode : int {
    AUDIO_CREATE,  // loads audio group 1 and plays through every kind of sound a game can make
    AUDIO_STEP,    // the group's progress; once it has unloaded, loads it again and ends the game
    AUDIO_LOADED,  // the "audiogroup_load" event: plays a sound of the group, then unloads it
    AUDIO_CODE_COUNT
};
