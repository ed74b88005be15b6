#pragma once
// The game's options from the "OPTN" chunk, with its named constants.
#include <cstdint>

struct GameOptionsRecord {
    bool fullScreen;
    bool newAudioEngine;             // voices, groups and emitters instead of the legacy sound layer
    bool showCursor;
    uint32_t windowColour;
    bool displayModeChange;
    uint32_t colourDepthCode;
    uint32_t resolutionCode;
    uint32_t frequencyCode;
    bool altEnterFullScreen;
    bool pauseWhenInactive;
    bool allErrorsFatal;
    bool unsetVariablesAreErrors;
    bool collisionMode;
    bool collisionCompatibility;
    uint32_t drawColour;             // set only by the constant "@@DrawColour"
    bool drawColourSet;              // the last options chunk read set it
    int32_t versionMajor;
    int32_t versionMinor;
    uint32_t constantCount;          // the game's constants, copies owned through the memory manager
    char** constantNames;
    char** constantValues;
};
extern GameOptionsRecord GameOptions;

void Option_SetDefaults();
// False for a newer layout with a version other than 2 (every option stays at
// its default) and, with a message, for a malformed payload.
bool Option_Load(const uint8_t* payload, uint32_t length);
// Reader of the chunk pass: false only for a malformed payload.
bool OPTN_Load(const uint8_t* payload, uint32_t length, const uint8_t* data);
// Frees the constant copies.
void Option_Free();
