#pragma once
// Shared between the overlay's modules.
#include "Graphics/TexturesM.h"

// The frame of markers ends with the overlay's draw.
void Timing_EndFrame();
bool Timing_FrameStarted();
// The overlay font texture (made when missing), null without a device.
D3DTexture* DebugOverlay_FontTexture();
// The audio displays: the playing sources (0x10) and the sync groups (0x20).
void Audio_DrawDebug();
void Audio_DebugDumpOgg();
