#pragma once
// The sprite table: the sprite fields instances read, the look-up by name,
// textures and release. Until sprites load (Sprite_Stub.cpp) the table holds
// what tests add.
#include <cstdint>

constexpr int32_t SPRITE_KIND_SKELETON = 2;

struct CSprite {
    int32_t frameCount;
    int32_t width;
    int32_t height;
    int32_t kind;              // 2 = skeleton sprite
    const void* skeletonData;  // what a skeleton instance is made from
    int32_t xorigin = 0;
    int32_t yorigin = 0;
    float playbackSpeed = 1;         // image frames per step or per second
    int32_t playbackSpeedType = 1;   // 1 frames per game frame, 0 frames per second
};

bool Sprite_Exists(int32_t index);
CSprite* Sprite_Get(int32_t index);

void Sprite_Init();
void Sprite_InitTextures();
void Sprite_FreeAll();
// Index of the sprite of that name, -1 when there is none.
int Sprite_Find(const char* name);
