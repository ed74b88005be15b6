#pragma once
// The font resource built-ins (part of the "Resource.." group): queries,
// fonts from font files and from sprites, replacement and deletion.
void InitFontFunctions();
