#pragma once
// Stand-in for the extension packages until platform services are built.

// Id of the first extension function with that name, -1 when none.
int Extension_FindFunction(const char* name);
