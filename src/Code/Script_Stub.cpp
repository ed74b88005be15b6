#include "Code/Script_Stub.h"

int Script_FindByName(const char*) { return -1; }
