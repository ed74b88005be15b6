#pragma once
// Tracked copies of text: trimmed, or narrowed from UTF-16.

// Replaces the text held by *slot (freed through the memory manager) with a
// new tracked copy of text without its leading and trailing blanks and
// control bytes (0x01..0x20). An all-blank or null text gives "". The slot
// may hold text itself.
void TrimString(char** slot, const char* text);

// A new tracked 8-bit text holding the low byte of each UTF-16 unit; null for
// a null text.
char* WideToNarrow(const char16_t* text);
