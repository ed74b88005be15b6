#include "Runner/GameLoad_Stub.h"

#include <cstdio>

#include "Base/Console.h"

void JS_InitBuiltInObjects() {}
void JS_CreateResourceObject() {}

void Sound_Clear() {}
void Sprite_Init() {}
void Background_DeleteAll() {}
void Font_Reset() {}

void GR_Window_SetColour(uint32_t) {}

uint32_t DrawColour = 0xFF000000u;

void Platform_LockOrientation(int, int, int, int) {}
void IO_LoadVirtualButtons(IniFile*) {}

void ReadWindowsOptions(IniFile*) {}

bool Chunk_ReaderNotBuilt(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    // The tag stands eight bytes before the payload in the checked container.
    VerboseConsole->Output("Chunk %.4s skipped (%u bytes): its reader is not built yet\n",
                           reinterpret_cast<const char*>(payload - 8), length);
    return true;
}
