// Stand-ins: see Sprite_Main.h.
#include "Sprite/Sprite_Main.h"

namespace {
constexpr int32_t kMaxSprites = 64;
CSprite s_sprites[kMaxSprites];
int32_t s_count = 0;
}  // namespace

bool Sprite_Exists(int32_t index) { return index >= 0 && index < s_count; }

CSprite* Sprite_Get(int32_t index) { return Sprite_Exists(index) ? &s_sprites[index] : nullptr; }

int32_t Sprite_StubAdd(const CSprite& sprite)
{
    if (s_count >= kMaxSprites) return -1;
    s_sprites[s_count] = sprite;
    return s_count++;
}

void Sprite_StubClear() { s_count = 0; }

void Sprite_Init() {}
void Sprite_InitTextures() {}
void Sprite_FreeAll() {}
int Sprite_Find(const char*) { return -1; }
