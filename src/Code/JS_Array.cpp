#include "Code/JS_Array.h"

#include <algorithm>
#include <cmath>

#include "Code/Code_Value.h"
#include "Code/JS_Global.h"
#include "Code/JS_Main.h"
#include "Code/ObjectBase.h"

KVObjectBase* JS_ArrayPrototype = nullptr;

namespace {
constexpr uint32_t kElementFlags = VALUE_FLAG_CONFIGURABLE | VALUE_FLAG_WRITABLE;
constexpr char kTooLarge[] = "Array length too large";

template <typename F>
void* RoutinePointer(F routine)
{
    return reinterpret_cast<void*>(routine);
}

// The element store of an Array object (its slot 1), or null.
KVObjectBase* StoreOf(KVObjectBase* array)
{
    if (!array || !JS_HasClass(array, "Array")) return nullptr;
    const ScriptValue* slot = array->PeekSlot(1);
    return slot && slot->Kind() == VALUE_OBJECT ? slot->obj : nullptr;
}

// A name of decimal digits only ("" counts as 0), its value saturated at 2^32 - 1.
bool IndexName(const char* name, uint32_t* index)
{
    uint64_t n = 0;
    for (const char* c = name; *c; ++c) {
        if (*c < '0' || *c > '9') return false;
        n = std::min<uint64_t>(n * 10 + static_cast<uint64_t>(*c - '0'), UINT32_MAX);
    }
    *index = static_cast<uint32_t>(n);
    return true;
}

// The store holds at least count cells (new ones unset); RangeError when it cannot.
bool Reserve(KVObjectBase* store, uint32_t count)
{
    if (count > JS_ARRAY_MAX_ELEMENTS || !store->ReserveSlots(static_cast<int32_t>(std::max(count, 1u)))) {
        JS_RaiseRangeError(kTooLarge);
        return false;
    }
    return true;
}

// A new Array with an empty store of room cells; null (RangeError raised) when it cannot be made.
KVObjectBase* NewArray(ScriptValue* out, uint32_t room)
{
    KVObjectBase* store = KVObjectBase::Alloc(0, VALUE_UNSET, true);
    if (!Reserve(store, room)) {
        KVObjectBase::Free(store);
        return nullptr;
    }
    // A store from the pool keeps its cells, released but not unset.
    for (int32_t i = 0; i < store->m_slotCapacity; ++i) store->m_slots[i].kind = VALUE_UNSET;
    JS_NewWrapperObject(out, JS_ArrayPrototype, "Array", nullptr);
    KVObjectBase* array = out->obj;
    if (ScriptValue* holder = array->SlotAt(0)) holder->flags = 0;
    array->AddPointer("[[GetOwnProperty]]", RoutinePointer(JS_Array_GetOwnProperty), 0);
    array->AddPointer("[[DefineOwnProperty]]", RoutinePointer(JS_Array_DefineOwnProperty), 0);
    array->AddObject("length", JS_MakeNativeAccessorObject(JS_Array_GetLength, JS_Array_SetLength),
                     VALUE_FLAG_CONFIGURABLE | VALUE_FLAG_WRITABLE);
    if (ScriptValue* slot = array->SlotAt(1)) {
        ScriptValue_SetUndefined(slot);
        slot->obj = store;
        slot->kind = VALUE_OBJECT;
        slot->flags = 0;
    }
    return array;
}

// An element count argument: an integer in 0 .. 2^32 - 1, else RangeError "NoMessage".
bool LengthArgument(const ScriptValue* argument, uint32_t* length)
{
    const double d = argument->Kind() == VALUE_REAL    ? argument->real
                     : argument->Kind() == VALUE_INT32 ? argument->i32
                                                       : static_cast<double>(argument->i64);
    if (!(d >= 0.0 && d <= 4294967295.0 && d == std::trunc(d))) {
        JS_RaiseRangeError("NoMessage");
        return false;
    }
    *length = static_cast<uint32_t>(d);
    return true;
}

void SetBool(ScriptValue* out, bool truth)
{
    ScriptValue_SetUndefined(out);
    out->real = truth ? 1.0 : 0.0;
    out->kind = VALUE_BOOL;
}
}  // namespace

bool JS_ArrayStore_Set(KVObjectBase* store, uint32_t index, const ScriptValue* value)
{
    if (index >= JS_ARRAY_MAX_ELEMENTS) {
        JS_RaiseRangeError(kTooLarge);
        return false;
    }
    const uint32_t capacity = store->m_slots ? static_cast<uint32_t>(store->m_slotCapacity) : 0;
    if (index >= capacity) {
        const uint32_t grown = std::max(capacity + capacity / 2, index + 1);
        if (!Reserve(store, std::min(grown, JS_ARRAY_MAX_ELEMENTS))) return false;
    }
    const auto at = static_cast<int32_t>(index);
    if (at >= store->m_slotCount) {
        for (int32_t i = store->m_slotCount; i < at; ++i)
            if (store->m_slots[i].Kind() == VALUE_UNSET) store->m_slots[i].kind = VALUE_UNDEFINED;
        store->m_slotCount = at + 1;
    }
    ScriptValue* cell = &store->m_slots[at];
    cell->Assign(*value);
    cell->flags = kElementFlags;
    return true;
}

void JS_NewArrayObject(ScriptValue* out, CInstance*, CInstance*, int count, ScriptValue*)
{
    const uint32_t length = count > 0 ? static_cast<uint32_t>(count) : 0;
    if (KVObjectBase* array = NewArray(out, length)) StoreOf(array)->m_slotCount = static_cast<int32_t>(length);
}

void JS_Array_Construct(ScriptValue* out, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (argc < 0) argc = 0;
    const uint32_t kind = argc == 1 ? args[0].Kind() : VALUE_UNSET;
    if (kind == VALUE_REAL || kind == VALUE_INT32 || kind == VALUE_INT64) {
        uint32_t length = 0;
        ScriptValue made = ScriptValue_Undefined();
        if (!LengthArgument(&args[0], &length) || !NewArray(&made, length)) return;
        StoreOf(made.obj)->m_slotCount = static_cast<int32_t>(length);
        ScriptValue_SetUndefined(out);
        *out = made;
        return;
    }
    ScriptValue made = ScriptValue_Undefined();
    KVObjectBase* array = NewArray(&made, static_cast<uint32_t>(argc));
    if (!array) return;
    KVObjectBase* store = StoreOf(array);
    for (int i = 0; i < argc; ++i) {
        ScriptValue* cell = &store->m_slots[i];
        cell->Assign(args[i]);
        cell->flags = argc == 1 ? args[i].flags & ~VALUE_FLAG_OWNED_PTR : kElementFlags;
    }
    store->m_slotCount = argc;
    ScriptValue_SetUndefined(out);
    *out = made;
}

void JS_Array_IsArray(ScriptValue* out, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    SetBool(out, argc > 0 && args[0].kind == VALUE_OBJECT && args[0].obj && JS_HasClass(args[0].obj, "Array"));
}

void JS_Array_GetLength(ScriptValue* out, CInstance* self, CInstance*, int, ScriptValue*)
{
    const KVObjectBase* store = StoreOf(reinterpret_cast<KVObjectBase*>(self));
    ScriptValue_SetReal(out, store ? store->m_slotCount : 0);
}

void JS_Array_SetLength(ScriptValue*, CInstance* self, CInstance*, int argc, ScriptValue* args)
{
    KVObjectBase* store = StoreOf(reinterpret_cast<KVObjectBase*>(self));
    if (!store || argc < 1) return;
    ScriptValue converted = ScriptValue_Real(0.0);
    if (JS_ConvertToUint32(&converted, &args[0]) != JS_CONVERTED) return;
    const auto length = static_cast<uint32_t>(converted.real);
    const int32_t count = store->m_slotCount;
    if (length > static_cast<uint32_t>(store->m_slotCapacity) && !Reserve(store, length)) return;
    const auto n = static_cast<int32_t>(length);
    for (int32_t i = n; i < count; ++i) {
        ScriptValue_SetUndefined(&store->m_slots[i]);
        store->m_slots[i].kind = VALUE_UNSET;
    }
    for (int32_t i = count; i < n; ++i) store->m_slots[i].kind = VALUE_UNDEFINED;
    store->m_slotCount = n;
}

void JS_Array_GetOwnProperty(KVObjectBase* object, ScriptValue* out, const char* name)
{
    uint32_t index = 0;
    if (!IndexName(name, &index)) {
        JS_DefaultGetOwnProperty(object, out, name);
        return;
    }
    ScriptValue self = ScriptValue_Undefined();
    self.obj = object;
    self.kind = VALUE_OBJECT;
    const ScriptValue key = ScriptValue_Real(index);
    JS_Object_GetByKey(&self, &key, out);
}

int JS_Array_Put(KVObjectBase* object, const ScriptValue* value, const char* name)
{
    uint32_t index = 0;
    if (!IndexName(name, &index)) return JS_Object_DefineOwnProperty(object, name, value, false);
    ScriptValue self = ScriptValue_Undefined();
    self.obj = object;
    self.kind = VALUE_OBJECT;
    const ScriptValue key = ScriptValue_Real(index);
    return JS_Object_PutByKey(&self, &key, value) ? JS_DEFINE_DONE : JS_DEFINE_REJECTED;
}

int JS_Array_DefineOwnProperty(KVObjectBase* object, const char* name, const ScriptValue* desc, bool throwOnReject)
{
    uint32_t index = 0;
    if (!IndexName(name, &index)) return JS_DefaultDefineOwnProperty(object, name, desc, throwOnReject);
    JS_Array_Put(object, desc, name);
    return JS_DEFINE_DONE;
}

void JS_InitArrayBuiltins()
{
    ScriptValue made = ScriptValue_Undefined();
    JS_NewStandardObject(&made, nullptr, nullptr, 0, nullptr);
    KVObjectBase* prototype = made.obj;
    prototype->AddString("[[Class]]", "[[Array]]", 0);
    JS_ArrayPrototype = prototype;
    KVObjectBase* constructor = JS_NewNativeFunction(JS_Array_Construct, 0, false);
    constructor->AddPointer("[[Construct]]", RoutinePointer(JS_Array_Construct), 0);
    JS_AddNativeMethod(constructor, "isArray", JS_Array_IsArray, 0, 0);
    JS_SetConstructorPrototype(constructor, prototype, 0);
    prototype->AddObject("constructor", constructor, 0);
    if (KVObjectBase* global = JS_GlobalObject()) global->AddObject("Array", constructor, 0);
}
