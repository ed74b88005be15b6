#pragma once
// Owned text for the runner's global strings (memory-manager copies).

// Copy of text (null gives null).
char* Runner_CopyText(const char* text);
// Frees *slot and stores a copy of text in it.
void Runner_ReplaceText(char** slot, const char* text);
// Frees *slot and clears it.
void Runner_FreeText(char** slot);
