// Stand-ins: see DebugOverlay.h.
#include "Graphics/DebugOverlay.h"

#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"

int32_t DrawnFrameCount = 0;

void Timing_Reset()
{
    GR_D3D_DrawCallCount = 0;
    GR_D3D_TextureSwitchCount = 0;
}
void DebugOverlay_Init() {}
void DebugOverlay_Draw() { ++DrawnFrameCount; }
void Timing_PrintFPSStats() {}

void Timing_Push(uint32_t, const char*) {}
void Timing_Pop() {}
