#pragma once
// Shared between the texture records and the stage and target bookkeeping
// of the texture layer; not for other modules.

struct D3DTexture;

// Forgets the stages that hold the texture, so the next bind of it reaches
// the device again (its device objects are going away).
void Textures_ForgetStageBinding(D3DTexture* texture);
// Binds the white texture at every stage that holds the texture.
void Textures_UnbindFromStages(D3DTexture* texture);
// True when the texture is a colour target of any level up to the current one.
bool Textures_IsActiveColourTarget(D3DTexture* texture);
void Textures_RemoveFromAllLevels(D3DTexture* texture);
// True when the texture is a colour target of the current level (it may
// have been drawn into since it was last resolved).
bool Textures_IsCurrentColourTarget(const D3DTexture* texture);
