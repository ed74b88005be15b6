#include "Variable/Code_VariableValue.h"

#include <algorithm>

#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Buffer/Buffer_Main.h"
#include "Code/Code_Function.h"
#include "Code/Code_ValueIndex.h"
#include "Code/Code_ValueSave.h"
#include "Code/Code_Variable.h"
#include "Code/ObjectBase.h"
#include "Code/VariableList.h"
#include "World/Instance.h"
#include "GameData/GameHeader.h"
#include "Variable/Variable_BuiltIn.h"

namespace {
CInstance* s_global = nullptr;

constexpr uint32_t kFlagsNewGlobal = VALUE_FLAG_ENUMERABLE | VALUE_FLAG_CONFIGURABLE | VALUE_FLAG_WRITABLE;

// The cell of variable id on object, null when the id names no slot of it.
ScriptValue* SlotCell(KVObjectBase* object, int32_t id)
{
    const int64_t slot = static_cast<int64_t>(id) - VARIABLE_ID_BASE;
    if (slot < 0) return nullptr;
    // An array holds exactly the object's slots; the slot hash holds any.
    if (object->m_slots && slot >= object->m_slotCount) return nullptr;
    return object->SlotAt(static_cast<int32_t>(slot));
}

bool UsesProperties(const KVObjectBase* object)
{
    return object->m_slotCount == 0 && object->m_properties;
}

}  // namespace

bool Variable_BuiltinAsObject(const char* name, ScriptValue* out)
{
    int32_t index = CALLID_NONE;
    if (!CodeFunction_Find(name, &index) || index < 0 || index >= CodeFunction_Count()) return false;
    const char* found = nullptr;
    BuiltinRoutine routine = nullptr;
    int32_t argc = 0;
    uint8_t flag = 0;
    CodeFunction_GetInfo(index, &found, &routine, &argc, &flag);
    KVObjectBase* object = KVObjectBase::Alloc(Variable_InstanceCount(), VALUE_UNSET, false);
    object->AddPointer("[[Call_Cpp]]", reinterpret_cast<void*>(routine), 0);
    if (out->MayOwn()) ScriptValue_FreePayload(out);
    out->obj = object;
    out->flags = 0;
    out->kind = VALUE_OBJECT;
    return true;
}

void Variable_CreateGlobalObject()
{
    Variable_FreeGlobalObject();
    // An instance (of no object, on no list) so that code can run with it as self.
    s_global = new CInstance(0, 0, 0, -1, false);
    Variable_SetGlobalObject(s_global, s_global);
    s_global->m_slotCount = std::max(Variable_GlobalCount(), Variable_InstanceCount());
    if (ObjectMode) {
        // The global object carries the game-wide built-in variables, not an instance's.
        delete s_global->m_properties;
        s_global->m_properties = new CVariableList();
        Variable_BuiltIn_AddAccessors(s_global, true);
    }
}

void Variable_FreeGlobalObject()
{
    if (!s_global) return;
    Variable_SetGlobalObject(nullptr, nullptr);
    KVObjectBase::Free(s_global);
    s_global = nullptr;
}


bool Variable_GetValue(CInstance* self, int32_t id, int32_t arrayIndex, ScriptValue* out)
{
    if (id < VARIABLE_BUILTIN_LIMIT) {
        const BuiltinVariable* variable = Variable_BuiltIn_At(id);
        return variable && variable->getter && variable->getter(self, arrayIndex, out);
    }
    if (!self) return false;
    if (UsesProperties(self)) return self->m_properties->GetById(id, arrayIndex, out);
    ScriptValue* cell = SlotCell(self, id);
    return cell && ScriptValue_GetIndexed(out, cell, arrayIndex);
}

bool Variable_SetValue(CInstance* self, int32_t id, int32_t arrayIndex, ScriptValue* value)
{
    if (id < VARIABLE_BUILTIN_LIMIT) {
        const BuiltinVariable* variable = Variable_BuiltIn_At(id);
        return variable && variable->canSet && variable->setter(self, arrayIndex, value);
    }
    if (!self) return false;
    if (UsesProperties(self)) {
        self->m_properties->SetById(id, arrayIndex, value);
        return true;
    }
    ScriptValue* cell = SlotCell(self, id);
    if (!cell) return false;
    ScriptValue_SetIndexed(cell, value, arrayIndex);
    return true;
}

bool Variable_GetGlobalValue(int32_t id, int32_t arrayIndex, ScriptValue* out)
{
    if (!s_global) return false;
    if (UsesProperties(s_global)) return s_global->m_properties->GetById(id, arrayIndex, out);
    ScriptValue* cell = SlotCell(s_global, id);
    const bool result = cell && ScriptValue_GetIndexed(out, cell, arrayIndex);
    if (!s_global->m_properties || out->kind != VALUE_UNSET) return result;
    const char* name = Variable_GetName(nullptr, -5, id);
    if (const CVariableListNode* node = s_global->m_properties->Find(name)) {
        out->Assign(node->value);
        return true;
    }
    if (Variable_BuiltinAsObject(name, out)) return true;
    return result;
}

bool Variable_SetGlobalValue(int32_t id, int32_t arrayIndex, ScriptValue* value)
{
    if (!s_global) return false;
    if (UsesProperties(s_global)) {
        s_global->m_properties->SetById(id, arrayIndex, value);
        return true;
    }
    ScriptValue* cell = SlotCell(s_global, id);
    if (!cell) return false;
    const uint32_t flags = cell->Kind() == VALUE_UNSET ? kFlagsNewGlobal : cell->flags;
    ScriptValue_SetIndexed(cell, value, arrayIndex);
    cell->flags = flags;
    return true;
}

void Variable_SaveGlobals(IBuffer* buffer)
{
    const int32_t count = Variable_GlobalCount();
    ScriptValue number = ScriptValue_Real(count);
    buffer->Write(eBuffer_S32, &number);
    for (int32_t i = 0; i < count; ++i) {
        ScriptValue* cell = s_global ? SlotCell(s_global, VARIABLE_ID_BASE + i) : nullptr;
        ScriptValue unset = ScriptValue_Undefined();
        unset.kind = VALUE_UNSET;
        ScriptValue_WriteToBuffer(cell ? cell : &unset, buffer);
    }
    number.real = Variable_GlobalFlags.length;
    buffer->Write(eBuffer_S32, &number);
    for (int32_t i = 0; i < Variable_GlobalFlags.length; ++i) {
        number.real = Variable_GlobalFlags.bytes[i];
        buffer->Write(eBuffer_S32, &number);
    }
}

bool Variable_LoadGlobals(IBuffer* buffer)
{
    ScriptValue number = ScriptValue_Real(0);
    if (buffer->Read(eBuffer_S32, &number) != 0) return false;
    const int32_t count = static_cast<int32_t>(number.real);
    if (count != Variable_GlobalCount()) {
        FatalRuntimeError("Save game format has changed");
        return false;  // a child game goes on: nothing of another layout is read
    }
    for (int32_t i = 0; i < count; ++i) {
        ScriptValue value = ScriptValue_Undefined();
        if (!ScriptValue_ReadFromBuffer(&value, buffer)) return false;
        ScriptValue* cell = s_global ? SlotCell(s_global, VARIABLE_ID_BASE + i) : nullptr;
        if (cell) cell->Assign(value);
        if (value.MayOwn()) ScriptValue_FreePayload(&value);
    }
    if (buffer->Read(eBuffer_S32, &number) != 0) return false;
    const double length = number.real;
    // Every flag is one element of at least four bytes.
    if (!(length >= 0) || length > static_cast<double>(buffer->Remaining() / 4)) return false;
    QS_FREE(Variable_GlobalFlags.bytes);
    Variable_GlobalFlags = {nullptr, 0};
    const int32_t n = static_cast<int32_t>(length);
    if (n == 0) return true;
    Variable_GlobalFlags.bytes = static_cast<uint8_t*>(QS_ALLOC(static_cast<size_t>(n), true));
    Variable_GlobalFlags.length = n;
    for (int32_t i = 0; i < n; ++i) {
        if (buffer->Read(eBuffer_S32, &number) != 0) return false;
        Variable_GlobalFlags.bytes[i] = number.real != 0 ? 1 : 0;
    }
    return true;
}
