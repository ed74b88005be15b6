#pragma once
// The buffer built-ins (the "Buffers.." group): buffers by id through the
// buffer table, with the surface, vertex-buffer and asynchronous save and
// load built-ins of their own files.

void InitBufferFunctions();
