#include "Code/Extension_Stub.h"

int Extension_FindFunction(const char*) { return -1; }
