// Stand-ins: see VertexFormat.h.
#include "Graphics/VertexFormat.h"

namespace {
int g_TestId = 0;
VertexFormat* g_TestFormat = nullptr;
}  // namespace

VertexFormat* VertexFormat_Get(int id) { return (g_TestFormat && id == g_TestId) ? g_TestFormat : nullptr; }

void VertexFormat_SetForTest(int id, VertexFormat* format)
{
    g_TestId = id;
    g_TestFormat = format;
}

void VertexFormat_Shutdown() {}
void VertexFormat_FreeList() {}
