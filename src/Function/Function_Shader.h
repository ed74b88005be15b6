#pragma once
// The shader built-ins and the texture-stage built-ins ("Shaders.." group).

void InitShaderFunctions();
