#pragma once
// Texture handles of texture-page entries: game code receives an image as a
// number, a game texture index or, above 16384, a handle from this table.
// A handle is never a pointer, so a number from game code can only name an
// entry that was handed out and not forgotten.
#include <cstdint>

struct STexturePageEntry;

constexpr int kTexturePageHandleBase = 16385;

// The entry's handle, made on first request; -1 for null.
int TPE_GetHandle(const STexturePageEntry* entry);
// The entry of a handle; null for a number that is no live handle.
const STexturePageEntry* TPE_FromHandle(int handle);
// An entry going away: its handle stops naming anything.
void TPE_ForgetEntry(const STexturePageEntry* entry);
void TPE_ForgetAllHandles();
