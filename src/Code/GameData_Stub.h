#pragma once
// Stand-ins for the game data's general header flags and the options
// chunk's constant list until the game data reader is merged.
#include <cstdint>

// Major version 2 or later: room layers, cameras and their constants.
extern bool LayerMode;

struct GameOptionsConstants {
    int32_t count;
    const char* const* names;
    const char* const* values;
};
extern GameOptionsConstants GameOptions;
