#pragma once
// buffer_get_surface and buffer_set_surface (part of the "Buffers.." group):
// a surface's pixels copied into a buffer and back.

void InitBufferSurfaceFunctions();
