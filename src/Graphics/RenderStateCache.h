#pragma once
// The render-state cache: the engine's render states with their defaults,
// handed to the state manager before each draw.

class RenderStateCache {
public:
    void Reset();
};
extern RenderStateCache g_RenderStateCache;

// Re-establishes every render state on a new or reset device.
void GR_D3D_RestoreStates();
