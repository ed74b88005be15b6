#include "Code/Code_Link.h"

// The engine library must link into an executable that carries no game
// module (the tools, a runner that reads its game from a file). A module's own
// definition overrides this weak one at link time; without one the runner
// finds no link record and runs the game data's code, if any.
__attribute__((weak)) GameLinkRecord* GameModule_GetLinkRecord(GameLinkRecord*)
{
    return nullptr;
}

__attribute__((weak)) const uint8_t* GameModule_GetIcon(uint32_t* size)
{
    *size = 0;
    return nullptr;
}
