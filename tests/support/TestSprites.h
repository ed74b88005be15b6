#pragma once
// Sprites made for tests: an empty run-time slot of the real sprite table
// given the fields a test needs, without frames to draw.
#include <cstdint>

#include "Sprite/Sprite_Main.h"

struct TestSpriteFields {
    int32_t frames;
    int32_t width;
    int32_t height;
    int32_t kind = 0;
    const void* skeleton = nullptr;
    int32_t xorigin = 0;
    int32_t yorigin = 0;
    float speed = 1;        // image frames per game frame
    int32_t speedType = 1;
};

// Appends the sprite to the table; its index.
int32_t TestSprite_Add(const TestSpriteFields& fields);
