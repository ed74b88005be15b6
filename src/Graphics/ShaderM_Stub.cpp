// Stand-ins: see ShaderM.h.
#include "Graphics/ShaderM.h"

namespace {
int g_Pending = -1;
}  // namespace

int Shader_GetPending() { return g_Pending; }
void Shader_SetPending(int shader) { g_Pending = shader; }
void Shader_Apply() {}
int Shader_GetCurrent() { return -1; }
void Shader_SetUniformMatrix(const float*, int) {}

int Shader_Find(const char*) { return -1; }
