#pragma once
// Comma-separated text as a grid of strings: one row per line (CR, LF or
// CR LF ends one), as many columns as the first line has fields. A field in
// double quotes may hold commas, and two quote marks in a row stand for one.
// A quoted field ends with its line. Every cell that comes from the text is a
// string; cells a short row leaves are the real 0, fields past the width are
// dropped.
#include <cstddef>
#include <cstdint>

// The handle of a new grid of length bytes of text (no terminator needed);
// -1 when the text has no lines or its grid cannot be made. A grid far larger
// than the text (a wide first line over many short ones) is refused with a
// line on the output console.
int32_t CSV_LoadText(const char* text, size_t length);
