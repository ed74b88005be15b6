#include "Code/JS_Object.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Base/ErrorReport.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Code/JS_Call.h"
#include "Code/JS_Main.h"
#include "Code/ObjectBase.h"
#include "Code/VariableList.h"

KVObjectBase* GlobalScopeObject = nullptr;
KVObjectBase* JS_ObjectPrototype = nullptr;
KVObjectBase* JS_FunctionPrototype = nullptr;

namespace {
// A prototype chain longer than this is a cycle made by game code: the walk
// ends there instead of hanging the runner.
constexpr int kChainLimit = 10000;
// Element stores grow no further: a stray huge index must not exhaust memory.
constexpr uint32_t kMaxElements = 1u << 26;

void SetUnset(ScriptValue* out)
{
    ScriptValue_SetUndefined(out);
    out->kind = VALUE_UNSET;
}

bool Absent(const ScriptValue& v) { return v.kind == VALUE_UNSET || v.kind == VALUE_UNDEFINED; }

CVariableListNode* OwnNode(KVObjectBase* object, const char* name)
{
    return object && object->m_properties ? object->m_properties->Find(name) : nullptr;
}

// The cell of a declared variable's slot: looked at only (null when it was
// never made), or made.
ScriptValue* DeclaredSlot(KVObjectBase* object, const char* name, bool make)
{
    const int32_t slot = object == Variable_GlobalObject() ? Variable_FindGlobal(name) : Variable_FindInstance(name);
    if (slot < 0 || slot >= object->m_slotCount) return nullptr;
    return make ? object->SlotAt(slot) : object->PeekSlot(slot);
}

// The first own node of that name along the prototype chain.
CVariableListNode* FindOnChain(KVObjectBase* object, const char* name)
{
    for (int depth = 0; object && depth < kChainLimit; ++depth, object = JS_PrototypeOf(object)) {
        if (CVariableListNode* node = OwnNode(object, name)) return node;
    }
    return nullptr;
}

// An object made for the object model: its named-property list exists even
// when the object came from the pool before object mode was switched on.
KVObjectBase* NewObject()
{
    KVObjectBase* object = KVObjectBase::Alloc(Variable_InstanceCount(), VALUE_UNSET, false);
    if (!object->m_properties) object->m_properties = new CVariableList();
    return object;
}

void AddPrototype(KVObjectBase* object, KVObjectBase* prototype)
{
    if (prototype) object->AddObject("[[Prototype]]", prototype, 0);
    else object->AddNull("[[Prototype]]", 0);
}

template <typename F>
void* RoutinePointer(F routine)
{
    return reinterpret_cast<void*>(routine);
}

KVObjectBase* NewFunctionObject(const char* callSlot, void* routine, int32_t length, bool constructible)
{
    KVObjectBase* function = NewObject();
    AddPrototype(function, JS_FunctionPrototype);
    function->AddString("[[Class]]", "Function", 0);
    function->AddBool("[[Extensible]]", true, 0);
    function->AddPointer(callSlot, routine, 0);
    function->AddPointer("[[HasInstance]]", RoutinePointer(JS_HasInstance), 0);
    if (constructible) function->AddPointer("[[Construct]]", RoutinePointer(JS_NewStandardObject), 0);
    function->AddReal("length", length, 0);
    return function;
}

KVObjectBase* NewAccessorPair(KVObjectBase* getter, KVObjectBase* setter)
{
    KVObjectBase* pair = KVObjectBase::Alloc(2, VALUE_UNSET, true);
    pair->m_kind = OBJECT_KIND_ACCESSOR;
    KVObjectBase* functions[2] = {getter, setter};
    for (int32_t i = 0; i < 2; ++i) {
        if (!functions[i]) continue;
        ScriptValue* cell = pair->SlotAt(i);
        cell->obj = functions[i];
        cell->flags = 0;
        cell->kind = VALUE_ACCESSOR;
    }
    return pair;
}

// desc goes into the property's cell: the declared variable's slot, else the
// named node (through the adder, which leaves a closed object unchanged).
// Only the value that made an owned pointer owns it.
void StoreProperty(KVObjectBase* object, const char* name, const ScriptValue* desc)
{
    const uint32_t flags = desc->flags & ~VALUE_FLAG_OWNED_PTR;
    if (ScriptValue* slot = DeclaredSlot(object, name, true)) {
        slot->Assign(*desc);
        slot->flags = flags;
        return;
    }
    object->AddValue(name, desc, flags);
}

// All decimal digits; an empty name is no index.
bool IsIndexName(const char* name)
{
    if (!name || !*name) return false;
    for (const char* c = name; *c; ++c)
        if (*c < '0' || *c > '9') return false;
    return true;
}

// The value of a digits-only name, saturated far above any element count.
uint32_t IndexOfName(const char* name)
{
    uint64_t n = 0;
    for (const char* c = name; *c >= '0' && *c <= '9'; ++c) {
        n = n * 10 + static_cast<uint64_t>(*c - '0');
        if (n > UINT32_MAX) return UINT32_MAX;
    }
    return static_cast<uint32_t>(n);
}

// The element store of an array or arguments object (its slot 1), or null.
KVObjectBase* ElementStore(KVObjectBase* object)
{
    ScriptValue* slot = object->PeekSlot(1);
    return slot && slot->Kind() == VALUE_OBJECT ? slot->obj : nullptr;
}

// A key as an element index; false for anything that is no index.
bool KeyIndex(const ScriptValue* key, uint32_t* index)
{
    double d = NAN;
    switch (key->Kind()) {
    case VALUE_REAL: d = std::trunc(key->real); break;
    case VALUE_INT32: d = key->i32; break;
    case VALUE_INT64: d = static_cast<double>(key->i64); break;
    default: {
        ScriptValue n = ScriptValue_Undefined();
        if (JS_ConvertToNumber(&n, key) == JS_CONVERTED && n.Kind() == VALUE_REAL) d = std::trunc(n.real);
        ScriptValue_SetUndefined(&n);
        break;
    }
    }
    if (!(d >= 0.0 && d < 4294967295.0)) return false;
    *index = static_cast<uint32_t>(d);
    return true;
}
}  // namespace

// ------------------------------------------------------------------ making objects

void JS_NewStandardObject(ScriptValue* out, CInstance*, CInstance*, int, ScriptValue*)
{
    KVObjectBase* object = NewObject();
    AddPrototype(object, JS_ObjectPrototype);
    object->AddString("[[Class]]", "Object", 0);
    object->AddBool("[[Extensible]]", true, 0);
    object->AddPointer("[[GetOwnProperty]]", RoutinePointer(JS_DefaultGetOwnProperty), 0);
    object->AddPointer("[[Delete]]", RoutinePointer(JS_DefaultDelete), 0);
    object->AddPointer("[[DefineOwnProperty]]", RoutinePointer(JS_DefaultDefineOwnProperty), 0);
    ScriptValue_SetUndefined(out);
    out->obj = object;
    out->kind = VALUE_OBJECT;
}

KVObjectBase* JS_NewNativeFunction(BuiltinRoutine routine, int32_t length, bool constructible)
{
    return NewFunctionObject("[[Call_Cpp]]", RoutinePointer(routine), length, constructible);
}

KVObjectBase* JS_NewBuiltinAccessorFunction(void* accessor, int32_t length)
{
    return NewFunctionObject("[[Call_Cpp_Builtin]]", accessor, length, true);
}

KVObjectBase* JS_MakeAccessorObject(BuiltinGetter getter, BuiltinSetter setter)
{
    return NewAccessorPair(getter ? JS_NewBuiltinAccessorFunction(RoutinePointer(getter), 0) : nullptr,
                           setter ? JS_NewBuiltinAccessorFunction(RoutinePointer(setter), 1) : nullptr);
}

KVObjectBase* JS_MakeNativeAccessorObject(BuiltinRoutine getter, BuiltinRoutine setter)
{
    return NewAccessorPair(getter ? JS_NewNativeFunction(getter, 0, false) : nullptr,
                           setter ? JS_NewNativeFunction(setter, 0, false) : nullptr);
}

// ------------------------------------------------------------------ reading

KVObjectBase* JS_PrototypeOf(KVObjectBase* object)
{
    const CVariableListNode* node = OwnNode(object, "[[Prototype]]");
    return node && node->value.Kind() == VALUE_OBJECT ? node->value.obj : nullptr;
}

bool JS_HasClass(KVObjectBase* object, const char* className)
{
    const CVariableListNode* node = OwnNode(object, "[[Class]]");
    const char* text = node ? ScriptValue_StringText(&node->value) : nullptr;
    return text && std::strcmp(text, className) == 0;
}

void JS_Object_GetOwnProperty(KVObjectBase* object, ScriptValue* out, const char* name)
{
    // Objects that carry no internal methods (instances, the global object,
    // activation objects, objects made before the built-in objects exist)
    // are ordinary objects.
    const CVariableListNode* method = FindOnChain(object, "[[GetOwnProperty]]");
    if (!method || method->value.Kind() != VALUE_PTR) {
        JS_DefaultGetOwnProperty(object, out, name);
        return;
    }
    if (auto routine = reinterpret_cast<JSGetOwnPropertyFn>(method->value.ptr)) routine(object, out, name);
}

void JS_DefaultGetOwnProperty(KVObjectBase* object, ScriptValue* out, const char* name)
{
    SetUnset(out);
    if (const CVariableListNode* node = OwnNode(object, name)) {
        out->Assign(node->value);
    } else if (const ScriptValue* slot = DeclaredSlot(object, name, false)) {
        out->Assign(*slot);
    }
}

int JS_Object_GetProperty(KVObjectBase* object, ScriptValue* out, const char* name)
{
    for (int depth = 0; object && depth < kChainLimit; ++depth, object = JS_PrototypeOf(object)) {
        JS_Object_GetOwnProperty(object, out, name);
        if (out->Kind() != VALUE_UNSET) return static_cast<int>(out->Kind());
    }
    SetUnset(out);
    return VALUE_UNSET;
}

void JS_Object_Get(KVObjectBase* object, ScriptValue* out, const char* name)
{
    JS_Object_GetProperty(object, out, name);
    if (Absent(*out) || !JS_IsAccessorValue(out)) return;
    const ScriptValue pair = *out;  // object references are not counted
    JS_CallGetter(object, out, &pair);
}

// ------------------------------------------------------------------ writing

bool JS_Object_CanPut(KVObjectBase* object, const char* name)
{
    ScriptValue own = ScriptValue_Undefined();
    JS_Object_GetOwnProperty(object, &own, name);
    bool answer = false;
    if (Absent(own)) {
        answer = object->IsExtensible();
        if (JS_PrototypeOf(object)) {
            ScriptValue inherited = ScriptValue_Undefined();
            JS_Object_GetProperty(object, &inherited, name);
            if (JS_IsDataValue(&inherited)) answer = (inherited.flags & VALUE_FLAG_WRITABLE) != 0;
            ScriptValue_SetUndefined(&inherited);
        }
    } else if (JS_IsAccessorValue(&own)) {
        const ScriptValue* setter = own.obj->PeekSlot(1);
        answer = setter && setter->kind != VALUE_UNDEFINED && setter->kind != VALUE_UNSET;
    } else {
        answer = (own.flags & VALUE_FLAG_WRITABLE) != 0;
    }
    ScriptValue_SetUndefined(&own);
    return answer;
}

int JS_Object_Put(KVObjectBase* object, const ScriptValue* value, const char* name, bool throwOnFailure)
{
    if (!JS_Object_CanPut(object, name)) {
        if (throwOnFailure) JS_RaiseTypeError("NoMessage");
        return JS_DEFINE_REJECTED;
    }
    ScriptValue own = ScriptValue_Undefined();
    JS_Object_GetOwnProperty(object, &own, name);
    ScriptValue copy = ScriptValue_Undefined();
    copy.Assign(*value);
    int result = JS_DEFINE_DONE;
    if (JS_IsDataValue(&own)) {
        copy.flags = own.flags;
        if (JS_HasClass(object, "Arguments")) result = JS_Arguments_Put(object, &copy, name);
        else result = JS_Object_DefineOwnProperty(object, name, &copy, throwOnFailure);
    } else {
        ScriptValue found = ScriptValue_Undefined();
        JS_Object_GetProperty(object, &found, name);
        if (JS_IsAccessorValue(&found)) {
            JS_CallSetter(object, value, &found);
        } else {
            copy.flags = VALUE_FLAG_ENUMERABLE | VALUE_FLAG_CONFIGURABLE | VALUE_FLAG_WRITABLE;
            result = JS_Object_DefineOwnProperty(object, name, &copy, throwOnFailure);
        }
        ScriptValue_SetUndefined(&found);
    }
    ScriptValue_SetUndefined(&copy);
    ScriptValue_SetUndefined(&own);
    return result;
}

int JS_Object_DefineOwnProperty(KVObjectBase* object, const char* name, const ScriptValue* desc, bool throwOnReject)
{
    const CVariableListNode* method = FindOnChain(object, "[[DefineOwnProperty]]");
    auto routine = method && method->value.Kind() == VALUE_PTR
                       ? reinterpret_cast<JSDefineOwnPropertyFn>(method->value.ptr)
                       : nullptr;
    if (!routine) routine = JS_DefaultDefineOwnProperty;
    return routine(object, name, desc, throwOnReject);
}

int JS_DefaultDefineOwnProperty(KVObjectBase* object, const char* name, const ScriptValue* desc, bool throwOnReject)
{
    const int reject = throwOnReject ? JS_DEFINE_THROW : JS_DEFINE_REJECTED;
    ScriptValue current = ScriptValue_Undefined();
    JS_Object_GetOwnProperty(object, &current, name);
    ScriptValue extensible = ScriptValue_Undefined();
    JS_Object_GetProperty(object, &extensible, "[[Extensible]]");
    const double open = extensible.Kind() == VALUE_UNSET ? 0.0 : ScriptValue_ToReal(&extensible);
    ScriptValue_SetUndefined(&extensible);

    const uint32_t had = current.flags;
    const uint32_t wants = desc->flags;
    const bool same = JS_SameValue(&current, desc);
    const bool currentData = JS_IsDataValue(&current);
    const bool absent = Absent(current);
    ScriptValue_SetUndefined(&current);

    if (absent) {
        if (!(open > 0.5)) return reject;
        StoreProperty(object, name, desc);
        return JS_DEFINE_DONE;
    }
    if (desc->kind == VALUE_UNSET) return JS_DEFINE_DONE;
    if (same && had == wants) return JS_DEFINE_DONE;
    const bool configurable = (had & VALUE_FLAG_CONFIGURABLE) != 0;
    if (!configurable) {
        if (wants & VALUE_FLAG_CONFIGURABLE) return reject;
        if ((wants & VALUE_FLAG_ENUMERABLE) && !(had & VALUE_FLAG_ENUMERABLE)) return reject;
    }
    if (currentData != JS_IsDataValue(desc)) {
        FatalRuntimeError("one of these is an accessor i guess??");
        if (!configurable) return reject;
    } else if (!currentData) {
        FatalRuntimeError("these are both accessors i guess??");
    } else if (!configurable && !(had & VALUE_FLAG_WRITABLE)) {
        if ((wants & VALUE_FLAG_WRITABLE) || !same) return reject;
    }
    StoreProperty(object, name, desc);
    return JS_DEFINE_DONE;
}

bool JS_Object_Delete(KVObjectBase* object, const char* name, bool strict)
{
    const CVariableListNode* method = FindOnChain(object, "[[Delete]]");
    auto routine = method && method->value.Kind() == VALUE_PTR ? reinterpret_cast<JSDeleteFn>(method->value.ptr)
                                                                : nullptr;
    if (!routine) routine = JS_DefaultDelete;
    ScriptValue gone = ScriptValue_Undefined();
    routine(object, &gone, name ? name : "", strict);
    return gone.Kind() == VALUE_BOOL && gone.real != 0.0;
}

void JS_DefaultDelete(KVObjectBase* object, ScriptValue* out, const char* name, bool strict)
{
    auto answer = [out](bool gone) {
        ScriptValue_SetUndefined(out);
        out->real = gone ? 1.0 : 0.0;
        out->kind = VALUE_BOOL;
    };
    if (IsIndexName(name) && (JS_HasClass(object, "Array") || JS_HasClass(object, "Arguments"))) {
        KVObjectBase* store = ElementStore(object);
        const uint32_t index = IndexOfName(name);
        const bool inside = store && index < static_cast<uint32_t>(store->m_slotCount);
        if (inside) ScriptValue_SetUndefined(store->SlotAt(static_cast<int32_t>(index)));
        answer(inside);
        return;
    }
    CVariableListNode* node = OwnNode(object, name);
    ScriptValue* slot = node ? nullptr : DeclaredSlot(object, name, false);
    const ScriptValue* cell = node ? &node->value : slot;
    if (!cell || cell->Kind() == VALUE_UNSET) {
        answer(true);
        return;
    }
    if (!(cell->flags & VALUE_FLAG_CONFIGURABLE)) {
        if (strict) JS_RaiseTypeError("Trying to delete a non-configurable variable in a strict mode script.");
        answer(false);
        return;
    }
    if (node) {
        object->m_properties->Remove(node);
    } else {
        SetUnset(slot);
    }
    answer(true);
}

// ------------------------------------------------------------------ keyed access

bool JS_Object_GetByKey(const ScriptValue* object, const ScriptValue* key, ScriptValue* out)
{
    if (object->kind != VALUE_OBJECT || !object->obj) return false;
    KVObjectBase* target = object->obj;
    if (JS_HasClass(target, "Array")) {
        KVObjectBase* store = ElementStore(target);
        uint32_t index = 0;
        ScriptValue_SetUndefined(out);
        if (store && KeyIndex(key, &index) && index < static_cast<uint32_t>(store->m_slotCount)) {
            if (const ScriptValue* element = store->PeekSlot(static_cast<int32_t>(index))) out->Assign(*element);
            else out->kind = VALUE_UNSET;
        }
        return true;
    }
    const CVariableListNode* node = target->m_properties ? target->m_properties->FindKey(key) : nullptr;
    if (!node) {
        SetUnset(out);
        return false;
    }
    ScriptValue_SetUndefined(out);
    out->Assign(node->value);
    return true;
}

bool JS_Object_PutByKey(const ScriptValue* object, const ScriptValue* key, const ScriptValue* value)
{
    if (object->kind != VALUE_OBJECT || !object->obj) return false;
    KVObjectBase* target = object->obj;
    if (JS_HasClass(target, "Array") && key->Kind() == VALUE_REAL && key->real >= 0.0 &&
        key->real == std::trunc(key->real) && key->real < 4294967295.0) {
        KVObjectBase* store = ElementStore(target);
        return store && JS_ArrayStore_Set(store, static_cast<uint32_t>(key->real), value);
    }
    if (!target->m_properties) return false;
    // A key written again replaces its node's value: keeping shadowed nodes
    // would let a loop of writes grow the list without end.
    CVariableListNode* node = target->m_properties->FindKey(key);
    if (!node) {
        node = CVariableList::NewKeyNode(key);
        if (!node) return false;
        target->m_properties->Insert(node);
    }
    node->value.Assign(*value);
    node->value.flags = value->flags & ~VALUE_FLAG_OWNED_PTR;
    return false;
}

bool JS_ArrayStore_Set(KVObjectBase* store, uint32_t index, const ScriptValue* value)
{
    if (index >= kMaxElements) return false;
    const auto at = static_cast<int32_t>(index);
    const int32_t capacity = store->m_slots ? store->m_slotCapacity : 0;
    if (at >= capacity && !store->ReserveSlots(std::max(capacity * 3 / 2, at + 1))) return false;
    if (at >= store->m_slotCount) {
        for (int32_t i = store->m_slotCount; i < at; ++i)
            if (store->m_slots[i].kind == VALUE_UNSET) store->m_slots[i].kind = VALUE_UNDEFINED;
        store->m_slotCount = at + 1;
    }
    ScriptValue* cell = &store->m_slots[at];
    cell->Assign(*value);
    cell->flags = VALUE_FLAG_CONFIGURABLE | VALUE_FLAG_WRITABLE;
    return true;
}

// ------------------------------------------------------------------ tests of values

bool JS_SameValue(const ScriptValue* x, const ScriptValue* y)
{
    const uint32_t kind = x->Kind();
    if (kind != y->Kind() || kind > VALUE_NULL) return false;
    switch (kind) {
    case VALUE_REAL:
    case VALUE_INT32:
    case VALUE_INT64: return ScriptValue_ToReal(x) == ScriptValue_ToReal(y);
    case VALUE_STRING: {
        const char* a = ScriptValue_StringText(x);
        const char* b = ScriptValue_StringText(y);
        return std::strcmp(a ? a : "", b ? b : "") == 0;
    }
    case VALUE_UNDEFINED:
    case VALUE_NULL: return true;
    case VALUE_OBJECT: return x->obj == y->obj;
    default: return false;
    }
}

bool JS_IsAccessorValue(const ScriptValue* value)
{
    return value->Kind() == VALUE_OBJECT && value->obj && value->obj->m_kind == OBJECT_KIND_ACCESSOR;
}

bool JS_IsDataValue(const ScriptValue* value)
{
    return !Absent(*value) && !JS_IsAccessorValue(value);
}

bool JS_IsCallable(const ScriptValue* value)
{
    switch (value->Kind()) {
    case VALUE_REAL:
    case VALUE_STRING:
    case VALUE_UNDEFINED:
    case VALUE_UNSET:
    case VALUE_INT32:
    case VALUE_INT64:
    case VALUE_NULL:
    case VALUE_BOOL: return false;
    case VALUE_OBJECT: return value->obj && JS_HasCallSlot(value->obj);
    default:
        FatalRuntimeError("unhandled type for JS_IsCallable");
        return false;
    }
}

bool JS_HasCallSlot(KVObjectBase* object)
{
    return OwnNode(object, "[[Call_Script]]") || OwnNode(object, "[[Call_Cpp]]");
}
