// Stand-in: see VertexFormat_Stub.h.
#include "Graphics/VertexFormat_Stub.h"

VertexFormat* VertexFormat_Get(int) { return nullptr; }
