#pragma once
// The text of the last error shown (the built-in `error_last`):
// a private copy of the last error text, null at start.

const char* ErrorLast_Get();
// Replaces the text with a copy of text (null forgets it).
void ErrorLast_Set(const char* text);
