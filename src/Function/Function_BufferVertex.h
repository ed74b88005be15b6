#pragma once
// buffer_create_from_vertex_buffer, its _ext form and
// buffer_copy_from_vertex_buffer (part of the "Buffers.." group).

void InitBufferVertexFunctions();
