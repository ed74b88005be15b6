#pragma once
// Typed operands of the arithmetic, comparison and conversion instructions:
// an item or a value read as its effective type.
#include <cstdint>

#include "Interpreter/VM_Stack.h"

struct VMOperand {
    int type;        // effective type: VMT_DOUBLE, VMT_INT, VMT_LONG, VMT_BOOL, VMT_STRING, VMT_ERROR (undefined)
    uint32_t kind;   // the value's kind for a 16-byte operand
    double d;
    int64_t l;       // int, long and bool operands, and a value's raw payload
    RefString* s;
};

// How a refused value kind is named in messages.
const char* VM_RefusalText(uint32_t kind);

// Reads the item of written type at p. Value kinds map as the instruction
// family wants (arrays, pointers and objects by their payload when asked).
// False for a kind that has no effective type (the caller reports it).
bool VM_ReadOperand(VMFrame* f, uint8_t* p, int writtenType, bool payloadKinds, VMOperand* out);
