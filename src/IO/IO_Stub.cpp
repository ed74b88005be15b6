#include "IO/IO_Stub.h"

// No input state is kept yet.
void IO_Clear() {}
