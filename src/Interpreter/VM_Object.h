#pragma once
// The object-mode forms of the operator, comparison and conversion
// instructions: both operands become values and the script object model's
// conversions and comparisons apply (Code/JS_Main.h). Unset operands throw
// ReferenceErrors and failed conversions TypeErrors; the handler then returns
// at once with its operands consumed, and the loop takes the throw.
#include <cstdint>

#include "Interpreter/VM_Stack.h"

// Moves the item of written type at p into out as a value (typed numbers
// become numbers, ints and longs too, bools bools, strings keep their
// reference); the slot no longer owns anything. False after an error when the
// slot holds no item of that type.
bool VM_TakeItemValue(VMFrame* f, uint8_t* p, int type, ScriptValue* out);

// "add" ... "shr" with the form in bits 8-11 (the opcode names the operation).
uint8_t* VM_ObjectBinary(const char* name, uint32_t word, uint8_t* sp, VMFrame* f);
// "neg" and "not" with the form in bits 8-11.
uint8_t* VM_ObjectUnary(const char* name, uint32_t word, uint8_t* sp, VMFrame* f);
// "set" with comparison kinds 7-15.
uint8_t* VM_ObjectCompare(uint32_t word, uint8_t* sp, VMFrame* f);
// "conv" with sub-code bit 8 (truth) or bit 9 (number).
uint8_t* VM_ObjectConvert(uint32_t word, uint8_t* sp, VMFrame* f);
