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
