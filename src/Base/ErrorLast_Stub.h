#pragma once
// Stand-in for the `error_last` string until reference-counted strings exist:
// a private copy of the last error text, null at start.

const char* ErrorLast_Get();
// Replaces the text with a copy of text (null forgets it).
void ErrorLast_Set(const char* text);
