#pragma once
// The demo game's data image and its window icon (a PNG image), generated at
// build time (quillstep_demo_gen).
#include <cstdint>

extern const uint8_t DemoGameData[];
extern const uint32_t DemoGameDataSize;
extern const uint8_t DemoIcon[];
extern const uint32_t DemoIconSize;
