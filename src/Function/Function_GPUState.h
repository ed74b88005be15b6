#pragma once
// The gpu_ built-ins of games of the new format (render and sampler states
// read and written one by one, pushed and popped, exchanged as a ds_map) and
// the legacy switches for alpha blending, culling, hidden surfaces and depth
// writes.
void InitGpuStateFunctions();
