#pragma once
// Stand-ins for the services of subsystems not built yet that loading a game
// calls. Each keeps the declared interface and does nothing (or the least that
// keeps the load going); the owning subsystem replaces its entries.
#include <cstdint>

// Script object model (object mode only).
void JS_InitBuiltInObjects();
void JS_CreateResourceObject();

// Managers reset before the chunk pass, in the order the pass calls them.
void Sound_Clear();
void Sprite_Init();
void Background_DeleteAll();
void Font_Reset();

// Renderer: window clear colour.
void GR_Window_SetColour(uint32_t colour);

// Drawing: the current draw colour.
extern uint32_t DrawColour;

// Platform services: the orientation hook.
void Platform_LockOrientation(int landscape, int landscapeFlipped, int portrait, int portraitFlipped);

// Input: virtual buttons from options.ini.
class IniFile;
void IO_LoadVirtualButtons(IniFile* ini);

// Platform services: the options.ini section "Windows".
void ReadWindowsOptions(IniFile* ini);

// Chunk readers of subsystems not built yet: skips the chunk with one log line.
bool Chunk_ReaderNotBuilt(const uint8_t* payload, uint32_t length, const uint8_t* data);
