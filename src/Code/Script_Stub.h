#pragma once
// Stand-in for the script table until scripts are built.

// Index of the highest script with that exact name, -1 when none.
int Script_FindByName(const char* name);
