#pragma once
// The process environment.

// The variable's value, or null when it is not set. The text stays valid
// until the environment is changed.
const char* Host_GetEnvironment(const char* name);
