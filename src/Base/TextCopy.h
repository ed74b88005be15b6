#pragma once
// Tracked copies of text: trimmed, or narrowed from UTF-16; text made safe to echo.
#include <string>

// Replaces the text held by *slot (freed through the memory manager) with a
// new tracked copy of text without its leading and trailing blanks and
// control bytes (0x01..0x20). An all-blank or null text gives "". The slot
// may hold text itself.
void TrimString(char** slot, const char* text);

// A new tracked 8-bit text holding the low byte of each UTF-16 unit; null for
// a null text.
char* WideToNarrow(const char16_t* text);

// The text with every control byte (0x01..0x1F and 0x7F) written as "\xNN",
// so that echoing a name from outside cannot drive the terminal.
std::string EscapeControlBytes(const char* text);
