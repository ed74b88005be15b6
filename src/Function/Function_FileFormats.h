#pragma once
// The data-format built-ins of the "File.." group: load_csv, json_encode and
// json_decode.

#include <cstdint>

struct ScriptValue;
class CInstance;

// The handle of a new grid of strings of the comma-separated file found in
// the save area, else in the bundle; -1 when it is in neither, has no lines,
// or its grid cannot be made.
int32_t CSV_Load(const char* name);

// A file of comma-separated fields as a new grid of strings (-1 when none).
void F_LoadCsv(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
// A map as JSON text ("" for a handle that names no map).
void F_JsonEncode(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
// JSON text (or a number, as the text of its two-decimal form under the key
// "default") as a new map.
void F_JsonDecode(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
