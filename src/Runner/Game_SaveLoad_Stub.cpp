// Stand-ins: see Game_SaveLoad.h.
#include "Runner/Game_SaveLoad.h"

void Game_ApplyQueuedLoad() {}
