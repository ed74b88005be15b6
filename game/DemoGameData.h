#pragma once
// The demo game's data image, generated at build time (quillstep_demo_gen).
#include <cstdint>

extern const uint8_t DemoGameData[];
extern const uint32_t DemoGameDataSize;
