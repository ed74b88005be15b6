#pragma once
// Environment variables, in UTF-8.

// A new copy of the variable's value (free it with QS_FREE), or null when the
// variable is not set or name is null.
char* Platform_GetEnvironmentVariable(const char* name);
