#pragma once
// The vertex format built-ins ("Shaders.." group) and the vertex buffer
// built-ins ("Buffers.." group).

void InitVertexFormatFunctions();
// Registers the checked writers.
void InitVertexFunctions();
// Installs the checked writers (true) or the fast ones that test nothing
// and write elements in the order they come (release mode).
void SetVertexBuilderMode(bool checks);
