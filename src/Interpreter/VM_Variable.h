#pragma once
// The variable operand of pushes and stores, and the reads and writes by scope.
#include <cstdint>

#include "Interpreter/VM_Stack.h"

struct VMVariableOperand {
    int32_t id;
    int32_t scope;
    int32_t index;   // ARRAY_INDEX_NONE when the access has none
    uint32_t ref;
};

// Takes the index and the scope off the stack when the reference says so;
// false after an error.
bool VM_DecodeVariable(VMFrame* f, uint32_t word, const uint8_t* operand, uint8_t** sp, VMVariableOperand* out);
// The slot of local id, null (after the error) when the call's locals object has none.
ScriptValue* VM_LocalSlot(VMFrame* f, int32_t id);
// A copy of *src pushed as a new value (it takes its own references).
uint8_t* VM_PushCopy(VMFrame* f, uint8_t* sp, const ScriptValue* src);
// The scope's name in messages.
const char* VM_ScopeName(VMFrame* f, int32_t scope);

// The object-mode scopes: -9 a member of the object value on the stack, -10
// an element of it by the key value below it, -11 the scope chain's variable,
// -12 the first scope object out from the call's locals that holds the local,
// -13 an argument of an enclosing call.
inline bool VM_IsObjectScope(int32_t scope) { return scope <= -9 && scope >= -13; }
// Reads scopes -11 to -13; whether the variable was found.
bool VM_ReadScopeChain(VMFrame* f, const VMVariableOperand& v, ScriptValue* result);
// The push of scopes -9 and -10: the member replaces the object value (and the key).
uint8_t* VM_PushMember(VMFrame* f, uint8_t* sp, const VMVariableOperand& v);

// The object (and key) values a store of scope -9 or -10 consumes.
struct VMMemberOperands {
    ScriptValue object;
    ScriptValue key;
};
// Takes them off the stack (nothing for other scopes); false after an error.
bool VM_TakeMemberOperands(VMFrame* f, uint8_t** sp, const VMVariableOperand& v, VMMemberOperands* out);
// The store, delete (form VMT_DELETE, which pushes its outcome) or
// declaration (VMT_DECLARE) of the object-mode scopes; stored is false when
// the variable could not be set.
uint8_t* VM_StoreObjectScope(VMFrame* f, uint8_t* sp, const VMVariableOperand& v, int form,
                             VMMemberOperands* member, ScriptValue* value, bool* stored);
