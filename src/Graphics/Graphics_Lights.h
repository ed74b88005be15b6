#pragma once
// The eight lights, the ambient colour and the lighting switch as game code
// defined them. Game-shader uniforms are filled from this copy and
// draw_light_get reads it; every definition is forwarded at once to the state
// manager's light slots, which feed the built-in lit program.
#include <cstdint>

constexpr int LIGHT_COUNT = 8;

struct LightRecord {
    float enable;          // 1.0 on, 0.0 off
    int32_t kind;          // 0 directional, 1 point
    float direction[4];    // directional: the unit direction negated, w 1; point: zeros
    float positionRange[4];  // point: x, y, z, range; directional: zeros
    float colour[4];       // channel bytes / 255, alpha 1.0
};

struct LightStateRecord {
    LightRecord lights[LIGHT_COUNT] = {};
    uint32_t ambient = 0xFFFFFFFFu;  // as given, red in the low byte
    uint8_t lighting = 0;
};
extern LightStateRecord LightState;

// Back to the start values (all lights off, white ambient, lighting off).
void GR_Light_Reset();
// False for an index outside 0..7 (nothing changes then).
bool GR_Light_DefineDirection(int32_t index, float dx, float dy, float dz, uint32_t colour);
bool GR_Light_DefinePoint(int32_t index, float x, float y, float z, float range, uint32_t colour);
bool GR_Light_Enable(int32_t index, bool on);
void GR_Light_SetAmbient(uint32_t colour);
void GR_Light_SetLighting(bool on);
// The light's colour as a word (alpha in the top byte) built back from its floats.
uint32_t GR_Light_GetColourWord(int32_t index);
