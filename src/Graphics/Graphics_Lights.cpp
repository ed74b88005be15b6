#include "Graphics/Graphics_Lights.h"

#include <cmath>

#include "Graphics/RenderStateCache.h"
#include "Graphics/StateManagerM.h"

LightStateRecord LightState;

namespace {

constexpr float kByteToUnit = 0.003921569f;

bool ValidIndex(int32_t index) { return index >= 0 && index < LIGHT_COUNT; }

void SetColour(LightRecord& light, uint32_t colour)
{
    light.colour[0] = static_cast<float>(colour & 0xFF) * kByteToUnit;
    light.colour[1] = static_cast<float>((colour >> 8) & 0xFF) * kByteToUnit;
    light.colour[2] = static_cast<float>((colour >> 16) & 0xFF) * kByteToUnit;
    light.colour[3] = static_cast<float>(colour >> 24) * kByteToUnit;
}

uint32_t ToByte(float channel)
{
    const float scaled = channel * 255.0f;
    return scaled >= 255.0f ? 255u : scaled > 0.0f ? static_cast<uint32_t>(scaled) : 0u;
}

}  // namespace

void GR_Light_Reset() { LightState = LightStateRecord{}; }

bool GR_Light_DefineDirection(int32_t index, float dx, float dy, float dz, uint32_t colour)
{
    if (!ValidIndex(index)) return false;
    // A direction of length 0 gives a light that adds nothing, not NaNs that
    // would blacken everything lit.
    const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
    const float nx = length > 0.0f ? dx / length : 0.0f;
    const float ny = length > 0.0f ? dy / length : 0.0f;
    const float nz = length > 0.0f ? dz / length : 0.0f;
    LightRecord& light = LightState.lights[index];
    light.direction[0] = -nx;
    light.direction[1] = -ny;
    light.direction[2] = -nz;
    light.direction[3] = 1.0f;
    for (float& v : light.positionRange) v = 0.0f;
    SetColour(light, colour | 0xFF000000u);
    light.kind = 0;
    StateManagerM::SetDirectionalLight(index, nx, ny, nz, colour | 0xFF000000u);
    return true;
}

bool GR_Light_DefinePoint(int32_t index, float x, float y, float z, float range, uint32_t colour)
{
    if (!ValidIndex(index)) return false;
    LightRecord& light = LightState.lights[index];
    for (float& v : light.direction) v = 0.0f;
    light.positionRange[0] = x;
    light.positionRange[1] = y;
    light.positionRange[2] = z;
    light.positionRange[3] = range;
    SetColour(light, colour | 0xFF000000u);
    light.kind = 1;
    StateManagerM::SetPointLight(index, x, y, z, range, colour | 0xFF000000u);
    return true;
}

bool GR_Light_Enable(int32_t index, bool on)
{
    if (!ValidIndex(index)) return false;
    LightState.lights[index].enable = on ? 1.0f : 0.0f;
    StateManagerM::EnableLight(index, on);
    return true;
}

void GR_Light_SetAmbient(uint32_t colour)
{
    LightState.ambient = colour;
    StateManagerM::SetAmbientColour(colour);
}

void GR_Light_SetLighting(bool on)
{
    LightState.lighting = on ? 1 : 0;
    GR_SetLighting(on);
}

uint32_t GR_Light_GetColourWord(int32_t index)
{
    if (!ValidIndex(index)) return 0;
    const float* c = LightState.lights[index].colour;
    return ToByte(c[3]) << 24 | ToByte(c[2]) << 16 | ToByte(c[1]) << 8 | ToByte(c[0]);
}
