#pragma once
// Maps and lists as JSON text. A JSON object is a map and an array a list;
// one nested in another is held there as its handle with the nested mark.
// Reals are written with six decimals ("1.000000"). Every conversion takes
// DsMutex itself.
#include <cstdint>

// Structures nested deeper than this are written as null, and texts nested
// deeper are not JSON to the reader, so whatever is written reads back.
constexpr int32_t JSON_MAX_DEPTH = 256;

// The JSON text of a map as a new memory-manager text in *out (the text *out
// held is freed); *out is left alone when the handle names no map. Keys that
// are neither strings nor reals have no JSON name: their entries are left
// out, with a line on the output console.
void JSON_EncodeDsMap(int32_t map, char** out);

// Parses a JSON object. With a map handle below 0 a new map holds its members
// and its handle is the result; otherwise the members are added to that map
// (a key already there keeps its value) and the result is -1. -1, nothing
// made, when the text is not a JSON object.
int32_t JSON_DecodeIntoMap(const char* text, int32_t map);

// What game code's json_decode makes of a text: a JSON object as it is; an
// array, or any other text, as the value of the one key "default" (an array
// as a list, other text as the string itself). The handle of a new map, or
// -1 when not even that parses.
int32_t JSON_DecodeText(const char* text);
