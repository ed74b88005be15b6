#include "IO/IO_Input.h"

bool Kivo_PauseRegistered = false;

void Kivo_RegisterPauseEvent() { Kivo_PauseRegistered = true; }
