#pragma once
// What the layer built-ins share: the count check with its message, the layer
// and element arguments looked up in the target room, log lines, results.
#include <cstdint>
#include <span>

#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "World/Room_Layers.h"

class CGameRoom;

struct LayerRoutine {
    const char* name;
    BuiltinRoutine routine;
};

// The routines of each family, looked up by name when they are registered.
std::span<const LayerRoutine> LayerPropertyRoutines();
std::span<const LayerRoutine> LayerElementRoutines();
std::span<const LayerRoutine> LayerBackgroundRoutines();
std::span<const LayerRoutine> LayerSpriteRoutines();
std::span<const LayerRoutine> LayerTileRoutines();
std::span<const LayerRoutine> TilemapRoutines();
std::span<const LayerRoutine> TileDataRoutines();

// Shows "<name>() - wrong number of arguments" (not fatal).
void LayerFn_WrongCount(const char* name);
// Shows a count message of its own (not fatal).
void LayerFn_Error(const char* text);
// Writes a log line as it stands.
void LayerFn_Log(const char* text);

// Presets the result to the real preset; false, with the standard count
// message, when argc is not count.
bool LayerFn_Begin(ScriptValue* result, double preset, int argc, int count, const char* name);

// The layer named by argument n: a string names it (ignoring case), any other
// value is its id. Null when room is null or nothing matches.
RoomLayer* LayerFn_LayerArg(CGameRoom* room, ScriptValue* args, int n);

// The element of kind T whose id argument n holds; null when missing or of
// another kind. The out layer (when asked) is the element's layer.
template <typename T>
T* LayerFn_ElementArg(CGameRoom* room, ScriptValue* args, int n, RoomLayer** layer = nullptr)
{
    if (!room) return nullptr;
    LayerElement* element = Layer_FindElement(room, Arg_Int32(args, n), layer);
    return element && element->kind == T::kKind ? static_cast<T*>(element) : nullptr;
}

// The result becomes a new array of one row holding the n ids (empty for 0).
void LayerFn_IdArray(ScriptValue* result, const int32_t* ids, int32_t n);
// Real results of unsigned and signed 32-bit fields.
inline void LayerFn_SetUnsigned(ScriptValue* result, uint32_t v) { ScriptValue_SetReal(result, static_cast<double>(v)); }
inline void LayerFn_SetSigned(ScriptValue* result, uint32_t v)
{
    ScriptValue_SetReal(result, static_cast<double>(static_cast<int32_t>(v)));
}

// Adds an element made by a built-in to a layer of the target room; it is
// resolved at once only in the running room. The element id, -1 when none.
int32_t LayerFn_AddElement(CGameRoom* room, RoomLayer* layer, LayerElement* element);

// The element with the id of argument 0 removed whatever its kind (instances
// kept), then its layer too when that is dynamic and now empty.
void LayerFn_DestroyElement(ScriptValue* args);
