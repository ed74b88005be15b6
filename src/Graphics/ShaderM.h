#pragma once
// Game shaders: the shader waiting to be applied, the current one, their
// uniforms, and the look-up by name. Until they exist (ShaderM_Stub.cpp) no
// game shader is ever current.

int Shader_GetPending();
void Shader_SetPending(int shader);
void Shader_Apply();
int Shader_GetCurrent();
void Shader_SetUniformMatrix(const float* matrices, int count);

// Index of the shader of that name, -1 when there is none.
int Shader_Find(const char* name);
